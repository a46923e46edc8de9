"""The files spreadsheets write (tests/data/spreadsheets), read as a user reads them with
pandas: vessane.risk gives, row for row and bit for bit, what vessane-cli --batch writes
for the same file; a file the batch refuses raises the same message."""

import csv
import os
import subprocess
import warnings

import numpy as np
import pandas as pd
import pytest

import vessane

DATA = os.path.join(os.path.dirname(__file__), "..", "..", "tests", "data", "spreadsheets")
with open(os.path.join(DATA, "files.csv"), encoding="utf-8") as f:
    FILES = list(csv.DictReader(f, delimiter=";"))
SEPARATORS = {"semicolon": ";", "comma": ",", "tab": "\t"}
ENGLISH = ("formula-numbers.csv", "mg-dl.csv")  # English headers: English added columns


def read(path, entry, **options):
    sep = SEPARATORS[entry["delimiter"]]
    skip = 1 if open(path, "rb").read(4).lower() == b"sep=" else 0
    return pd.read_csv(path, sep=sep, encoding=entry["encoding"], skiprows=skip,
                       decimal="," if sep != "," else ".", float_precision="round_trip",
                       keep_default_na=False, na_values=[""], **options)


@pytest.mark.parametrize("entry", FILES, ids=lambda e: e["file"])
def test_spreadsheet(cli, tmp_path, entry):
    path = os.path.join(DATA, entry["file"])
    out = tmp_path / ("out-" + entry["file"])
    run = subprocess.run([cli, "--batch", path, "-o", str(out), "--quiet"], capture_output=True)
    frame = read(path, entry)
    if entry["refused"] == "1":
        assert run.returncode == 2
        message = run.stderr.decode().splitlines()[0].split(" : ", 1)[1]
        with pytest.raises(ValueError) as raised:
            vessane.risk(frame)
        assert str(raised.value).startswith(message)
        return
    assert run.returncode == 0, run.stderr
    batch = read(str(out), entry, dtype=str).fillna("")
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")  # the optional columns left at their default
        got = vessane.risk(frame)
    width = len(frame.columns)
    assert list(batch.columns[width:]) == (["résultat", "barre", "p_sys", "p_dia", "erreur"]
                                           if entry["file"] not in ENGLISH
                                           else list(vessane.RESULT_COLUMNS))
    sep = SEPARATORS[entry["delimiter"]]

    def number(text):
        return float(text.replace(",", ".")) if text else np.nan
    # The batch writes the file's decimal separator; vessane.risk the window's text.
    assert list(got["result"]) == [t.replace(",", ".") for t in batch.iloc[:, width]]
    assert [("" if pd.isna(b) else str(b)) for b in got["bar"]] == list(batch.iloc[:, width + 1])
    for k, name in ((2, "p_sys"), (3, "p_dia")):
        expected = np.array([number(t) for t in batch.iloc[:, width + k]])
        assert np.array_equal(got[name].to_numpy(), expected, equal_nan=True), name
        if sep != ",":  # numbers with decimal commas: written back with commas
            assert all("." not in t for t in batch.iloc[:, width + k])
    assert list(got["error"]) == list(batch.iloc[:, width + 4])
