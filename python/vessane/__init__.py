"""Coronary heart disease risk (Framingham equations of 1991) for whole cohorts, with the
very numbers of the Vessane window: ``vessane.risk`` over pandas data frames, numpy arrays
or plain values, and ``vessane.dask.risk`` over Dask data frames."""

import importlib

from ._core import __version__
from ._risk import COLUMNS, RESULT_COLUMNS, risk

__all__ = ["COLUMNS", "RESULT_COLUMNS", "__version__", "risk"]


def __getattr__(name):
    # vessane.dask needs Dask, which stays optional: loaded on first use only.
    if name == "dask":
        return importlib.import_module(".dask", __name__)
    raise AttributeError(f"module {__name__!r} has no attribute {name!r}")
