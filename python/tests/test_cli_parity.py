"""Text input gives, column for column, what vessane-cli --batch writes for the same rows."""

import csv
import glob
import io
import os
import random
import warnings

import pytest

import vessane
from conftest import assert_same_results, run_batch

ROOT = os.path.join(os.path.dirname(__file__), "..", "..")
BATCH_FILES = sorted(glob.glob(os.path.join(ROOT, "fuzz", "corpus", "batch_fuzzer", "*")))
BATCH_FILES += sorted(glob.glob(os.path.join(os.path.dirname(__file__), "data", "*.csv")))


def compare(cli, csv_bytes, jobs=None):
    inputs, expected = run_batch(cli, csv_bytes)
    if inputs is None:
        # Only a file without a row may give nothing back.
        assert not csv_bytes.removeprefix(b"\xef\xbb\xbf").strip(b"\r\n"), \
            "the batch wrote nothing for a file with rows"
        return 0
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")  # the columns not read, as the batch says them
        assert_same_results(vessane.risk(inputs, jobs=jobs, defaults=True), expected)
    return len(inputs)


@pytest.mark.parametrize("path", BATCH_FILES, ids=os.path.basename)
def test_batch_files(cli, path):
    with open(path, "rb") as f:
        compare(cli, f.read())


# Cells of every kind the window may be given: usual values, other spellings of them,
# values at and beyond the ranges' ends, and text that is no number at all.
NUMBERS = ["50", "50.0", " 50", "+50", "5e1", "5E+1", "050", "50abc", "", "   ", "-0", "0x10",
           "nan", "inf", "1e999", "74.0001", "29.9999", "30", "74", "1234567", "12345.6789",
           ".5", "5.", ".", "-", "e5", "1,5", "5\x000", "é", "\u00a050", '5"0', "5\n0"]
FIELDS = {
    "age": ["35", "50", "62", "74", "30"],
    "systolic": ["110", "150", "185", "120.5"],
    "diastolic": ["70", "90", "95", "85.25"],
    "total": ["2.30", "1.8", "5.2", "7.0", "3.1"],
    "hdl": ["0.50", "0.35", "1.2", "0.9"],
    "years": ["10", "4", "2", "5.5"],
}
CHOICES = {  # the accepted spellings, then refused ones
    "sex": (["Homme", "Femme", "femme", "HOMME", "0", "1", "H", "f", "male"],
            ["2", "", " Homme", "homme\x00"]),
    "unit": (["g/L", "mmol/L", "G/L", "MMOL/l", "0", "1"], ["", "mg/dL", "g/L "]),
    "smoker": (["0", "1", "", "VRAI", "non", "x"], ["2", " 1", "peut-être"]),
    "diabetes": (["0", "1", "", "oui", "FAUX"], ["-1"]),
    "lvh": (["0", "1", "", "true", "N"], ["01", "1.0"]),
}


def generated_rows(count, seed=1991):
    r = random.Random(seed)
    for _ in range(count):
        row = {}
        for name, usual in FIELDS.items():
            row[name] = r.choice(usual) if r.random() < 0.95 else r.choice(NUMBERS)
        for name, (accepted, refused) in CHOICES.items():
            row[name] = r.choice(accepted) if r.random() < 0.97 else r.choice(refused)
        yield row


def test_generated_file(cli):
    out = io.StringIO(newline="")
    names = list(vessane.COLUMNS)
    writer = csv.DictWriter(out, fieldnames=names, lineterminator="\n")
    writer.writeheader()
    writer.writerows(generated_rows(100_000))
    assert compare(cli, out.getvalue().encode("utf-8"), jobs=2) == 100_000
