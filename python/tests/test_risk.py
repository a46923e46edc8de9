"""vessane.risk's reading of columns: numbers against texts, choices, missing and hostile
values, shapes, indexes and threads."""

import decimal
import functools
import importlib.metadata
import io
import os
import random
import subprocess
import sys

import numpy as np
import pandas as pd
import pytest

import vessane

# Most tests give a few columns and let the others take the window's defaults.
risk = functools.partial(vessane.risk, defaults=True)
from conftest import assert_same_results, run_batch

AGE_ERROR = "âge hors de l'intervalle [30-74] ans"


def one(**columns):
    """The only row of vessane.risk on the columns, as a dict."""
    frame = risk(**columns)
    assert len(frame) == 1
    return frame.iloc[0].to_dict()


def short_numbers(r, low, high, count):
    """Numbers whose shortest text has at most six characters, some beyond [low, high]."""
    out = []
    while len(out) < count:
        x = float(round(r.uniform(low * 0.9, high * 1.1), r.choice([0, 1, 2, 3])))
        if r.random() < 0.05:
            x = r.choice([0.0, -0.0, 1e-05, 7e1, 5e-324, 1e300])
        if len(repr(x)) <= 6:
            out.append(x)
    return out


def test_numbers_give_the_texts_results():
    # Each column, and each cell of an object column, as a number or as its text: a number
    # whose shortest text fits the field's six characters gives that text's result.
    r = random.Random(7)
    n = 20_000
    numbers = {
        "age": short_numbers(r, 30, 74, n), "systolic": short_numbers(r, 110, 200, n),
        "diastolic": short_numbers(r, 60, 100, n), "total": short_numbers(r, 2, 4.6, n),
        "hdl": short_numbers(r, 0.3, 1.2, n), "years": short_numbers(r, 2, 10, n),
    }
    for name in ("sex", "unit", "smoker", "diabetes", "lvh"):
        numbers[name] = [float(r.random() < 0.5) for _ in range(n)]
    texts = {name: [repr(x) if name in ("age", "systolic", "diastolic", "total", "hdl", "years")
                    else str(int(x)) for x in values] for name, values in numbers.items()}
    mixed = {}
    for name in numbers:
        kind = r.choice(["numbers", "texts", "cells"])
        if kind == "numbers":
            mixed[name] = np.array(numbers[name])
        elif kind == "texts":
            mixed[name] = pd.Series(texts[name], dtype=object)
        else:
            mixed[name] = [r.choice([x, t]) for x, t in zip(numbers[name], texts[name])]
    expected = risk(pd.DataFrame(texts, dtype=object))
    assert (expected.result != "ERREUR").sum() > n // 4
    assert_same_results(risk(pd.DataFrame(numbers)), expected)
    assert_same_results(risk(mixed), expected)


@pytest.mark.parametrize("columns, text_columns, same", [
    # Texts are read in full, as numbers are (not to the field's six characters).
    ({"age": 73.0000001}, {"age": "73.0000001"}, True),
    ({"systolic": 123.4567}, {"systolic": "123.4567"}, True),
    ({"total": 2.4411947408047183}, {"total": "2,4411947408047183"}, True),
    ({"age": 50.0}, {"age": "50"}, True),
    # Selector indices and flags as numbers or bools.
    ({"sex": 0}, {"sex": "Femme"}, True),
    ({"sex": True, "smoker": np.True_}, {"sex": "Homme", "smoker": "1"}, True),
    ({"unit": 0, "total": 5.2, "hdl": 1.2}, {"unit": "mmol/L", "total": "5.2", "hdl": "1.2"}, True),
    ({"diabetes": np.float32(1), "lvh": -0.0}, {"diabetes": "1", "lvh": ""}, True),
    # pandas' own column types.
    ({"sex": pd.Categorical(["Femme"]), "age": pd.array([62], dtype="Int64")},
     {"sex": "Femme", "age": "62"}, True),
    ({"smoker": pd.array([True], dtype="boolean"), "age": pd.array(["62"], dtype="string")},
     {"smoker": "1", "age": "62"}, True),
])
def test_numbers_and_texts(columns, text_columns, same):
    got, text = one(**columns), one(**text_columns)
    assert (got == text) is same, (got, text)


SEX_LIST = "(attendu : Femme, Homme, F, H, M, female, male, 0 ou 1)"
FLAG_LIST = "(attendu : 1, oui, vrai, x ; 0, non, faux ou vide)"
AGE_MISSING = "age : valeur manquante"


@pytest.mark.parametrize("columns, error", [
    ({"sex": 2}, f'valeur de sex invalide : "2" {SEX_LIST}'),
    ({"unit": 0.5}, 'valeur de unit invalide : "0.5" (attendu : mmol/L, g/L, 0 ou 1)'),
    ({"lvh": -np.inf}, f'valeur de lvh invalide : "-inf" {FLAG_LIST}'),
    ({"sex": "x", "smoker": 3}, f'valeur de sex invalide : "x" {SEX_LIST}'),
    # A missing value says so (the sex is given: a row of missing values only is empty).
    ({"sex": 1, "age": np.nan}, AGE_MISSING),
    ({"sex": 1, "age": pd.NA}, AGE_MISSING),
    ({"sex": 1, "age": pd.array([None], dtype="Int64")}, AGE_MISSING),
    ({"sex": 1, "age": pd.array([None], dtype="string")}, AGE_MISSING),
    ({"sex": 1, "age": ""}, AGE_MISSING),
    ({"sex": [None], "age": 50}, "sex : valeur manquante"),
    ({"sex": [np.nan], "age": 50}, "sex : valeur manquante"),
    ({"unit": pd.array([None], dtype="string"), "age": 50}, "unit : valeur manquante"),
    ({"age": np.inf}, AGE_ERROR),
    ({"age": 10 ** 400}, AGE_ERROR),
    ({"age": -(10 ** 400)}, AGE_ERROR),
    ({"age": "\x0050"}, "age : « \x0050 » n'est pas un nombre"),
    ({"age": "soixante"}, "age : « soixante » n'est pas un nombre"),
    ({"systolic": "120/80"}, "systolic : « 120/80 » n'est pas un nombre"),
    ({"years": 1e308, "age": 50}, "horizon hors de l'intervalle [2-10] ans"),
])
def test_refused_values(columns, error):
    row = one(**columns)
    assert (row["result"], row["error"]) == ("ERREUR", error)
    assert row["bar"] is pd.NA and np.isnan(row["p_sys"]) and np.isnan(row["p_dia"])


@pytest.mark.parametrize("missing", [np.nan, None, pd.NA, pd.array([None], dtype="boolean"),
                                     pd.array([None], dtype="Int8")])
def test_missing_flag_is_unchecked(missing):
    # As the batch reads an empty flag cell.
    assert one(sex="Homme", smoker=[missing] if missing is None else missing)["result"] == "10.3 %"


def test_a_row_of_missing_values_is_empty():
    row = one(age=np.nan, smoker=None)
    assert (row["result"], row["error"], row["bar"]) == ("", "", pd.NA)


def test_read_csv_missing_cells_read_as_the_batch(cli):
    # pd.read_csv turns the empty flag cells into NaN and the column into float64.
    rows = b"sex,age,smoker,diabetes\nHomme,50,,1\nFemme,60,1,\n,55,0,0\n"
    _, expected = run_batch(cli, rows)
    assert_same_results(risk(pd.read_csv(io.BytesIO(rows))), expected)


def test_cells_of_any_kind():
    # One object column holding everything a data frame may hold: never an exception,
    # numbers and texts of 50 give the default form's result, the rest ERREUR.
    cells = [50, "50", b"50", 50.0, np.int64(50), np.float32(50), decimal.Decimal("50"),
             True, None, np.nan, pd.NA, pd.NaT, [50], {"a": 50}, object(), 50 + 0j, "\ud800",
             "\udcff", "5\x000", "50\x00abc", "٥٠"]
    frame = risk(age=pd.Series(cells, dtype=object), sex="Homme")
    default = one()["result"]
    assert list(frame.result[:7]) == [default] * 7
    assert list(frame.result[7:19]) == ["ERREUR"] * 12
    assert list(frame.result[19:]) == ["ERREUR", "ERREUR"]  # a text holding more than a number
    for error in frame.error[7:]:
        assert (error in (AGE_ERROR, AGE_MISSING) or error.startswith("valeur de age invalide")
                or error.endswith(" n'est pas un nombre"))


@pytest.mark.parametrize("data, columns, message", [
    (None, {"age": np.zeros((2, 2))}, "one-dimensional"),
    (None, {"age": [[50, 60]]}, "one-dimensional"),
    (None, {"age": [50, 60], "sex": [0, 1, 1]}, "'age' has 2 rows, expected 3"),
    ({"age": [50]}, {"years": np.array([1, 2])}, "'years' has 2 rows, expected 1"),
    (pd.DataFrame({"x": [1, 2]}), {"age": [50]}, "'age' has 1 rows, expected 2"),
    (None, {"age": np.array(["2020-01-01"], dtype="datetime64[D]")}, "unsupported type"),
    (None, {"age": np.array([1 + 2j])}, "unsupported type"),
    (None, {"age": pd.Series(pd.to_datetime(["2020-01-01"]))}, "unsupported type"),
    (None, {"age": object()}, "unsupported type"),
    (None, {"age": {"a": 1}}, "unsupported type"),
    ([1, 2], {}, "DataFrame or a mapping"),
    (None, {"jobs": 0}, "jobs"),
    (None, {"jobs": 1.5}, "jobs"),
    (pd.DataFrame({"age": [50, 60]}, index=[3, 4]), {"sex": pd.Series([0, 1])}, "index"),
])
def test_wrong_input_raises(data, columns, message):
    with pytest.raises(ValueError, match=message):
        risk(data, **columns)


def test_columns_rows_and_index():
    frame = pd.DataFrame({"AGE": ["62", "29"], "Sex": ["Femme", "Homme"], "age": ["50", "50"],
                          "id": ["a", "b"]}, index=pd.Index([10, 20], name="patient"))
    got = risk(frame, systolic=pd.Series([150, 180], index=frame.index), years=5)
    expected = risk(age=["62", "29"], sex=["Femme", "Homme"], systolic=[150, 180],
                            years=5)
    assert got.index is frame.index
    assert_same_results(got, expected)
    assert list(got.columns) == list(vessane.RESULT_COLUMNS)
    assert got.dtypes.astype(str).tolist() == ["object", "Int64", "float64", "float64", "object"]

    empty = risk(frame.iloc[:0])
    assert len(empty) == 0 and empty.dtypes.equals(got.dtypes)
    assert len(risk(pd.DataFrame(index=range(3)))) == 3  # three default forms
    assert one(age=None)["result"] == "10.3 %"  # None takes the default


def test_numpy_results():
    got = risk({"age": np.array([50.0, 20.0])}, as_frame=False)
    assert list(got) == list(vessane.RESULT_COLUMNS)
    assert got["result"].tolist() == ["10.3 %", "ERREUR"]
    assert got["bar"].tolist() == [10, None]
    assert got["error"].tolist() == ["", AGE_ERROR]
    # Rows share one object per text, each row holding its own reference.
    shown = risk(age=np.full(10_000, 50.0), jobs=2, as_frame=False)["result"]
    text = shown[0]
    assert all(item is text for item in shown)
    assert sys.getrefcount(text) == 10_000 + 2
    del shown
    assert sys.getrefcount(text) == 2


def test_threads_give_the_same_results():
    r = np.random.default_rng(3)
    n = 50_001
    columns = {"age": r.uniform(25, 80, n), "systolic": r.integers(90, 200, n).astype(str),
               "total": r.uniform(1, 4, n).round(2), "smoker": r.integers(0, 3, n)}
    expected = risk(**columns, jobs=1)
    for jobs in (2, 3, 64, 10 ** 30):
        assert_same_results(risk(**columns, jobs=jobs), expected)


def run_python(code):
    run = subprocess.run([sys.executable, "-c", code], capture_output=True, text=True)
    assert run.returncode == 0, run.stderr
    return run.stdout.strip()


def test_without_pandas_or_dask():
    # Arrays come back when pandas is missing; Dask is needed only by vessane.dask.
    assert run_python("import sys; sys.modules['pandas'] = None; import vessane; "
                      "r = vessane.risk(age=[50, 29], defaults=True); print(type(r).__name__, list(r['result']))"
                      ) == "dict ['10.3 %', 'ERREUR']"
    assert run_python("import sys; sys.modules['dask'] = None; import vessane\n"
                      "try: vessane.dask\nexcept ImportError: print('no dask')") == "no dask"


def test_version(cli):
    out = subprocess.run([cli, "--version"], capture_output=True, text=True).stdout
    assert out == f"vessane-cli {vessane.__version__}\n"
    assert importlib.metadata.version("vessane") == vessane.__version__


@pytest.mark.parametrize("dtype", ["bool", "int8", "int16", "int32", "int64", "uint8", "uint16",
                                   "uint32", "uint64", "float32"])
def test_columns_read_in_their_own_type(dtype):
    # Each column is read in place, as its float64 copy would be.
    r = np.random.default_rng(7)
    rows = 2000
    frame = pd.DataFrame({name: r.integers(0, 2, rows) for name in
                          ("sex", "unit", "smoker", "diabetes", "lvh")})
    if dtype != "bool":
        frame["age"] = r.integers(25, 80, rows)
        frame["years"] = r.integers(1, 12, rows)
    typed = risk(frame.astype(dtype))
    assert_same_results(typed, risk(frame.astype("float64")))
    assert typed["result"].nunique() > (1 if dtype == "bool" else 20)


def test_shared_cases():
    # The cases every front end's tests share, as texts typed in the window.
    path = os.path.join(os.path.dirname(__file__), "..", "..", "tests", "data",
                        "shared_cases.csv")
    cases = pd.read_csv(path, dtype=str, keep_default_na=False)
    assert risk(cases)["result"].tolist() == cases["result"].tolist()


# Columns named as a French spreadsheet names them; without a required input nothing is
# computed, with the message the batch gives; defaults=True gives it the window's default.
def test_french_names_and_required_columns():
    frame = pd.DataFrame({"Sexe": ["H"], "Âge": [59], "PAS": [152], "PAD": [90],
                          "Cholestérol total": ["6,0"], "Cholestérol HDL": [1.0],
                          "Unité": ["mmol/L"], "Fumeur": ["VRAI"], "Diabète": ["FAUX"]})
    assert vessane.risk(frame)["result"].tolist() == ["29. %"]
    # Diabetes is required; defaults names the fields it stands for.
    without = frame.drop(columns="Diabète")
    with pytest.raises(ValueError, match=r"colonnes nécessaires absentes : diabète \(diabetes\)"):
        vessane.risk(without)
    with pytest.raises(ValueError, match="champ inconnu"):
        vessane.risk(without, defaults=["glycémie"])
    with pytest.warns(UserWarning, match="valeur par défaut : diabète = non"):
        assert vessane.risk(without, defaults=["diabetes"])["result"].tolist() == ["29. %"]
    with pytest.raises(ValueError, match=r"colonnes nécessaires absentes : âge \(age\) ; "
                                         r"colonnes non lues : « Age patient »"):
        vessane.risk(frame.rename(columns={"Âge": "Age patient"}))
    with pytest.warns(UserWarning, match="« Age patient »"):
        assert vessane.risk(frame.rename(columns={"Âge": "Age patient"}),
                            defaults=True)["result"].tolist() == ["21.6 %"]
    # A keyword stands for the missing column; reasons name the column as the data do.
    got = vessane.risk(frame.assign(Fumeur="peut-être").rename(columns={"Âge": "x"}), age=59)
    assert got["error"].tolist()[0].startswith('valeur de Fumeur invalide : "peut-être"')
