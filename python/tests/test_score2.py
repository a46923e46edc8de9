"""vessane.score2: the papers' own figures, and the very cells vessane-cli --batch --score2
writes for the same rows (regions from a column, rows it refuses, the diastolic absent)."""

import csv
import io
import subprocess

import numpy as np
import pandas as pd
import pytest

import vessane

MAN_50 = dict(sex="Homme", age=50, systolic=140, total=5.5, hdl=1.3, unit="mmol/L", smoker=True,
              diabetes=False)


@pytest.mark.parametrize("form, region, shown", [
    (MAN_50, "bas", "5.9 %"),
    (dict(MAN_50, sex="Femme"), "bas", "4.2 %"),
    (MAN_50, "très élevé", "14.0 %"),
    (dict(MAN_50, sex="Femme"), "very high", "13.7 %"),
])
def test_published_figures(form, region, shown):
    assert vessane.score2(region=region, **form)["score2"].tolist() == [shown]


ROWS = """id,sex,age,systolic,total,hdl,unit,smoker,diabetes,region
a,Homme,50,140,5.5,1.3,mmol/L,oui,non,
b,Femme,50,140,5.5,1.3,mmol/L,oui,non,très élevé
c,F,80,140,2.2,0.5,g/L,non,non,modéré
d,H,55,140,5.5,1.3,mmol/L,oui,oui,
e,H,55,140,5.5,1.3,mmol/L,oui,non,moyen
f,x,55,140,5.5,1.3,mmol/L,oui,non,
g,H,39,140,5.5,1.3,mmol/L,oui,non,
h,F,62,120/80,5.5,1.3,mmol/L,oui,non,
i,,,,,,,,,
j,H,66,185,8.2,1.3,mmol/L,non,non,élevé
"""


def test_the_batchs_cells(cli):
    run = subprocess.run([cli, "--batch", "-", "--score2", "--quiet"], input=ROWS.encode(),
                         capture_output=True)
    assert run.returncode == 0, run.stderr
    batch = list(csv.reader(io.StringIO(run.stdout.decode())))
    header, rows = batch[0], batch[1:]
    frame = pd.read_csv(io.StringIO(ROWS), dtype=str, keep_default_na=False)
    got = vessane.score2(frame)
    assert list(got.columns) == list(vessane.SCORE2_COLUMNS)
    at = header.index("score2")
    assert got["score2"].tolist() == [r[at] for r in rows]
    expected = np.array([float(r[at + 1]) if r[at + 1] else np.nan for r in rows])
    assert np.array_equal(got["p_score2"].to_numpy(), expected, equal_nan=True)
    assert got["model"].tolist() == [r[at + 2] for r in rows]
    assert got["category"].tolist() == [r[at + 3] for r in rows]
    assert got["error"].tolist() == [r[at + 4] for r in rows]
    # The published figures, and what says why there is no number.
    assert got["score2"].tolist()[:2] == ["5.9 %", "13.7 %"]
    assert got["error"][3].startswith("SCORE2 ne s'applique pas au diabète")
    assert got["error"][4].startswith("région invalide : « moyen »")
    assert got["error"][7] == "systolic : « 120/80 » n'est pas un nombre"
    assert (got["score2"][8], got["error"][8]) == ("", "valeurs manquantes")  # an id alone


def test_required_columns_and_regions():
    with pytest.raises(ValueError, match=r"diabète \(diabetes\)"):
        vessane.score2(pd.DataFrame({k: [v] for k, v in MAN_50.items() if k != "diabetes"}))
    with pytest.raises(ValueError, match="région invalide"):
        vessane.score2(region="moyen", **MAN_50)
    both = vessane.score2(region=["bas", "très-élevé"], **{k: [v, v] for k, v in MAN_50.items()})
    assert both["score2"].tolist() == ["5.9 %", "14.0 %"]
