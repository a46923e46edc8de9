"""Coronary heart disease risk (Framingham equations of 1991) for whole cohorts, with the
very numbers of the Vessane window: ``vessane.risk`` over pandas data frames, numpy arrays
or plain values, and ``vessane.dask.risk`` over Dask data frames; ``vessane.score2`` gives
SCORE2 and SCORE2-OP (ESC 2021) beside them."""

import importlib

from ._core import __version__
from ._risk import COLUMNS, RESULT_COLUMNS, SCORE2_COLUMNS, risk, score2

__all__ = ["COLUMNS", "RESULT_COLUMNS", "SCORE2_COLUMNS", "__version__", "risk", "score2"]


def __getattr__(name):
    # vessane.dask needs Dask, which stays optional: loaded on first use only.
    if name == "dask":
        return importlib.import_module(".dask", __name__)
    raise AttributeError(f"module {__name__!r} has no attribute {name!r}")
