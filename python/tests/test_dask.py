"""vessane.dask.risk on a cluster of two worker processes gives vessane.risk's frame."""

import numpy as np
import pandas as pd
import pytest

import vessane
from conftest import assert_same_results

dd = pytest.importorskip("dask.dataframe")
distributed = pytest.importorskip("distributed")


def cohort(rows):
    r = np.random.default_rng(11)
    return pd.DataFrame({
        "sex": r.choice(np.array(["Femme", "Homme", "x"], dtype=object), rows, p=[.5, .49, .01]),
        "age": r.integers(28, 76, rows),
        "systolic": r.uniform(100, 200, rows).round(1),
        "diastolic": r.uniform(60, 95, rows).round(1),
        "total": r.uniform(1.5, 3.5, rows).round(2),
        "hdl": r.uniform(0.3, 0.9, rows).round(2),
        "unit": "g/L",
        "smoker": r.random(rows) < 0.3,
        "diabetes": r.random(rows) < 0.1,
    }, index=pd.RangeIndex(rows) * 3)


def test_local_cluster():
    frame = cohort(200_000)
    expected = vessane.risk(frame)
    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                                  dashboard_address=None) as cluster, \
            distributed.Client(cluster):
        ddf = dd.from_pandas(frame, npartitions=8)
        lazy = ddf.pipe(vessane.dask.risk)
        assert lazy._meta.dtypes.equals(expected.dtypes)
        got = lazy.compute()
    assert got.index.equals(expected.index)
    assert_same_results(got, expected)
    assert (expected.result != "ERREUR").mean() > 0.5


def test_scalar_columns_and_wrong_input():
    frame = cohort(1000)
    got = dd.from_pandas(frame, npartitions=3).pipe(vessane.dask.risk, years=5, jobs=1)
    assert_same_results(got.compute(scheduler="sync"), vessane.risk(frame, years=5))
    with pytest.raises(ValueError, match="scalar"):
        vessane.dask.risk(dd.from_pandas(frame, npartitions=2), age=frame.age)
    with pytest.raises(ValueError, match="Dask DataFrame"):
        vessane.dask.risk(frame)
