import csv
import io
import os
import re
import subprocess

import numpy as np
import pandas as pd
import pytest

import vessane


@pytest.fixture(scope="session")
def cli():
    """The vessane-cli to compare with, named by VESSANE_CLI (set by scripts/test-python.sh)."""
    path = os.environ.get("VESSANE_CLI")
    if not path:
        pytest.skip("VESSANE_CLI names no vessane-cli to compare with")
    assert os.access(path, os.X_OK), f"VESSANE_CLI={path} is not a program"
    return path


def decode(data):
    """Bytes as the batch reads them: UTF-8 when valid, else Windows-1252 (its five
    undefined bytes as the C1 controls of the same value)."""
    try:
        return data.decode("utf-8")
    except UnicodeDecodeError:
        return "".join(data[i:i + 1].decode("cp1252", "ignore") or chr(data[i])
                       for i in range(len(data)))


def run_batch(cli, csv_bytes):
    """vessane-cli --batch --defaults on csv_bytes: (input columns as a DataFrame of texts,
    expected results as vessane.risk gives them), rows of the wrong width left out."""
    run = subprocess.run([cli, "--batch", "-", "--defaults", "--decimal", "."], input=csv_bytes,
                         capture_output=True)
    assert run.returncode in (0, 1), run.stderr
    text = decode(run.stdout).removeprefix("\ufeff")  # a BOM back
    # The delimiter as the batch wrote it: the character before the last column it adds
    # ("error" or "erreur"), whatever the header's cells hold; a "sep=" line comes first.
    first, _, rest = text.partition("\n")
    if re.fullmatch(r"sep=[^\"]\r?", first):
        first, _, rest = rest.partition("\n")
        text = first + "\n" + rest
    last = first.rstrip("\r")
    name = "erreur" if last.endswith("erreur") else "error"
    assert last.endswith(name), first
    delimiter = last[-len(name) - 1]
    rows = list(csv.reader(io.StringIO(text, newline=""), delimiter=delimiter))
    if not rows:
        return None, None
    header, rows = rows[0], rows[1:]
    width = len(header) - len(vessane.RESULT_COLUMNS)
    assert header[width:] in (list(vessane.RESULT_COLUMNS),
                              ["résultat", "barre", "p_sys", "p_dia", "erreur"])
    rows = [r for r in rows if r and not r[-1].startswith("nombre de cellules incorrect")]
    inputs = pd.DataFrame([r[:width] for r in rows], columns=header[:width], dtype=object)
    expected = pd.DataFrame({
        "result": pd.Series([r[width] for r in rows], dtype=object),
        "bar": pd.array([int(r[width + 1]) if r[width + 1] else None for r in rows],
                        dtype="Int64"),
        "p_sys": np.array([float(r[width + 2]) if r[width + 2] else np.nan for r in rows]),
        "p_dia": np.array([float(r[width + 3]) if r[width + 3] else np.nan for r in rows]),
        "error": pd.Series([r[width + 4] for r in rows], dtype=object),
    })
    return inputs, expected


def assert_same_results(got, expected):
    """Every column equal, the probabilities bit for bit."""
    pd.testing.assert_frame_equal(got.reset_index(drop=True), expected.reset_index(drop=True),
                                  check_exact=True)


def pytest_configure(config):
    # The notices vessane.risk gives about the columns are asserted where they are tested
    # (pytest.warns); elsewhere they would only fill the summary.
    config.addinivalue_line("filterwarnings", "ignore:sans colonne:UserWarning")
    config.addinivalue_line("filterwarnings", "ignore:colonnes non lues:UserWarning")
