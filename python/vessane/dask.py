"""vessane.risk over every partition of a Dask DataFrame, lazily, on any cluster:
``ddf.pipe(vessane.dask.risk).compute()``."""

import numbers

import dask.dataframe as dd

from . import _risk


def risk(ddf, *, jobs=None, **scalars):
    """A Dask DataFrame of vessane.risk's columns for every row of ddf, partition by
    partition, with ddf's divisions and index. Keyword columns apply to every row and
    must be scalars; jobs is the number of threads for each partition."""
    if not isinstance(ddf, dd.DataFrame):
        raise ValueError(f"expected a Dask DataFrame, not {type(ddf).__name__}")
    for name, value in scalars.items():
        if value is not None and not isinstance(value, (str, bytes, numbers.Number)):
            raise ValueError(f"column '{name}': only a scalar can apply to every partition")
    # The result of the same call on the empty frame has the right columns and types.
    meta = _risk.risk(ddf._meta, jobs=1, **scalars)
    return ddf.map_partitions(_risk.risk, jobs=jobs, meta=meta, **scalars)
