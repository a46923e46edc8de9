"""vessane.risk: columns of any usual kind turned into the arrays the compiled core reads."""

import collections.abc
import numbers
import os
import warnings

import numpy as np

try:
    import pandas as pd
except ImportError:  # pandas is optional: results then come as numpy arrays
    pd = None

from . import _core

COLUMNS = _core.COLUMNS
RESULT_COLUMNS = ("result", "bar", "p_sys", "p_dia", "error")


def risk(data=None, *, sex=None, age=None, systolic=None, diastolic=None, total=None,
         hdl=None, unit=None, years=None, smoker=None, diabetes=None, lvh=None, jobs=None,
         as_frame=None, defaults=False):
    """Evaluates one form per row, exactly as the Vessane window and ``vessane-cli --batch``.

    data: a pandas DataFrame or a mapping of columns named as in the batch, in English or
    French (any case, with or without accents: "Âge", "PAS", "Cholestérol HDL", "Fumeur"...;
    the first of a repeated name is read, other columns are named in a warning; a unit in
    brackets, "Cholestérol total (mmol/L)", is the rows' unit when there is no unit column,
    and mg/dL reads as g/L divided by 100). Keyword columns override it. sex, age,
    systolic, diastolic, total, hdl, unit, smoker and diabetes are required: without one of
    them ValueError is raised, unless defaults names it (defaults=["diabetes"], French
    names too) or is True (every field), which gives it the default form's value. lvh
    (non) and years (10) may be absent, and are said to be in a warning.
    Each column is a scalar, a list, a 1-D numpy array or a pandas Series. A text is a
    number (a decimal comma as a point) with spaces around it, perhaps followed by its
    column's unit ("150 mm Hg", "58 ans", "5,2 mmol/L" on a row in mmol/L); anything else
    is ERREUR for its row. Numbers are used as they are.
    sex: "Femme"/"Homme"/"F"/"H"/"M"/"female"/"male"/0/1; unit: "g/L"/"mmol/L"/1/0; flags:
    bool, 0/1, "oui"/"non", "vrai"/"faux", "x"/"" (any case).
    jobs: threads to use (default: every available core).
    as_frame: return a DataFrame (the default when pandas is installed) or a dict of
    numpy arrays.

    Returns the columns result (the window's text or "ERREUR"), bar (integer, missing on
    ERREUR), p_sys, p_dia (NaN on ERREUR) and error (the reason in French, or ""), one row
    per input row in order, with the data's index. A value that cannot be taken gives
    ERREUR in its row; a row whose form values are all missing gives empty results when
    the row is empty, ERREUR ("valeurs manquantes") when another column holds something; a
    column of the wrong shape, length or type raises ValueError.
    """
    keywords = dict(sex=sex, age=age, systolic=systolic, diastolic=diastolic, total=total,
                    hdl=hdl, unit=unit, years=years, smoker=smoker, diabetes=diabetes, lvh=lvh)
    supplied = [keywords[name] is not None for name in COLUMNS]
    given, rows, index, names, cholesterol, others = _columns_of(data, supplied,
                                                                 _field_set(defaults))
    given.pop("region", None)
    entries, rows, index = _entries(given, keywords, names, rows, index)
    if rows is None:
        rows = 1  # scalars only: one form

    if others is not None and len(others) != rows:
        others = None  # scalars only: nothing but the form
    raw = _core.evaluate(entries, rows, _jobs(jobs), _MISSING,
                         [names.get(name) for name in COLUMNS], cholesterol, others)
    return _results(raw, index, as_frame)


SCORE2_COLUMNS = ("score2", "p_score2", "model", "category", "error")


def score2(data=None, *, sex=None, age=None, systolic=None, diastolic=None, total=None,
           hdl=None, unit=None, smoker=None, diabetes=None, region="bas", as_frame=None,
           defaults=False):
    """SCORE2 (ages 40 to 69) or SCORE2-OP (70 to 89) for each row, exactly as
    ``vessane-cli --batch --score2``: the ESC's 10-year risk of fatal and non-fatal
    cardiovascular disease, recalibrated to a European risk region.

    data and the keyword columns as for risk(); the columns read are sex, age, systolic,
    total, hdl, unit, smoker and diabetes (the diastolic only for the note on isolated
    factors). region: "bas" (France's, the default), "modéré", "élevé" or "très élevé"
    (English names too), for the rows whose data give none: a "region"/"région" column in
    data gives each row its own.

    Returns the columns score2 (the percentage with one decimal, "5.9 %", or ""), p_score2
    (the probability, NaN without one), model ("SCORE2", "SCORE2-OP" or ""), category
    ("faible à modéré", "élevé", "très élevé") and error (why there is no number, in
    French), one row per input row, with the data's index.
    """
    keywords = dict(sex=sex, age=age, systolic=systolic, diastolic=diastolic, total=total,
                    hdl=hdl, unit=unit, smoker=smoker, diabetes=diabetes)
    supplied = [keywords.get(name) is not None for name in COLUMNS]
    given, rows, index, names, cholesterol, others = _columns_of(
        data, supplied, _field_set(defaults), score2=True)
    regions = given.pop("region", None)
    entries, rows, index = _entries(given, keywords, names, rows, index)
    if rows is None:
        rows = 1
    if others is not None and len(others) != rows:
        others = None
    if not isinstance(region, str):  # a column of regions, one per row
        regions, region = region, "bas"
    region_texts = None
    if regions is not None:
        region_texts = ["" if _is_missing(r) or (isinstance(r, float) and np.isnan(r)) else str(r)
                        for r in (regions.tolist() if hasattr(regions, "tolist") else list(regions))]
    raw = _core.evaluate(entries, rows, 1, _MISSING, [names.get(name) for name in COLUMNS],
                         cholesterol, others, (region, region_texts))
    if as_frame is None:
        as_frame = pd is not None
    if not as_frame:
        return {name: (np.array(raw[name], dtype=object) if name != "p_score2" else raw[name])
                for name in SCORE2_COLUMNS}
    return pd.DataFrame({name: (pd.Series(raw[name], dtype=object, index=index)
                                if name != "p_score2" else pd.Series(raw[name], index=index))
                         for name in SCORE2_COLUMNS}, index=index)


def _entries(given, keywords, names, rows, index):
    """The core's entries in COLUMNS' order: the data's columns, keyword columns over them
    (a reason then names the keyword); with the number of rows and the index they give."""
    given.update((name, value) for name, value in keywords.items() if value is not None)
    for name, value in keywords.items():
        if value is not None:
            names.pop(name, None)
    entries = []
    for name in COLUMNS:
        value = given.get(name)
        if value is None:
            entries.append(None)
            continue
        array, length, column_index = _as_column(name, value)
        if length is not None:
            if rows is None:
                rows = length
            elif length != rows:
                raise ValueError(f"column '{name}' has {length} rows, expected {rows}")
            if column_index is not None:
                if index is None:
                    index = column_index
                elif not column_index.equals(index):
                    raise ValueError(f"column '{name}' has an index unlike the data's")
        entries.append(array)
    return entries, rows, index


def _field_set(defaults):
    """The fields defaults stands for: False none, True all, or those a list names."""
    if defaults is True:
        return [True] * len(COLUMNS)
    if defaults is False or defaults is None:
        return [False] * len(COLUMNS)
    if isinstance(defaults, str):
        defaults = [defaults]
    names = [str(name) for name in defaults]
    if not names:
        return [False] * len(COLUMNS)
    return _core.field_list(",".join(names))


def _others_given(items, read):
    """Per row, whether a column the form does not read holds something, or None."""
    given = None
    for (_, value), column in zip(items, read):
        if column >= 0:
            continue
        if pd is not None and isinstance(value, pd.Series):
            series = value
        elif pd is not None and isinstance(value, (list, tuple, np.ndarray)):
            series = pd.Series(list(value), dtype=object)
        else:
            continue
        held = series.notna().to_numpy() & ~(series.astype(object) == "").to_numpy()
        given = held if given is None else given | held
    return given


def _columns_of(data, supplied, defaults, score2=False):
    """The form's columns found in data by name (as the batch reads a header), its number
    of rows, its index, the data's names of the columns read, the cholesterol unit the
    names give and, per row, whether another column holds something. Raises ValueError when
    a required input is neither in data nor supplied nor among defaults."""
    is_frame = pd is not None and isinstance(data, pd.DataFrame)
    if data is not None and not is_frame and not isinstance(data, collections.abc.Mapping):
        raise ValueError(f"data must be a pandas DataFrame or a mapping of columns, "
                         f"not {type(data).__name__}")
    items = list(data.items()) if data is not None else []
    keys = [key if isinstance(key, str) else str(key) for key, _ in items]
    read, refusal, notices, cholesterol = _core.read_columns(keys, supplied, defaults, score2)
    if refusal:
        raise ValueError(refusal + " (defaults= prend la valeur par défaut des champs nommés)")
    for notice in notices:
        warnings.warn(notice, stacklevel=3)
    found, names = {}, {}
    for (key, value), column in zip(items, read):
        if column == _core.REGION_COLUMN:
            found["region"] = value  # SCORE2's region, read by score2 only
        elif column >= 0:
            found[COLUMNS[column]] = value
            names[COLUMNS[column]] = key
    others = _others_given(items, read)
    if is_frame:
        return found, len(data), data.index, names, cholesterol, others
    return found, None, None, names, cholesterol, others


def _as_column(name, value):
    """(array for the core, number of rows or None for a scalar, pandas index or None)."""
    if pd is not None and isinstance(value, (pd.Series, pd.Index)):
        index = value.index if isinstance(value, pd.Series) else None
        return _from_pandas(name, value), len(value), index
    if pd is not None and isinstance(value, pd.api.extensions.ExtensionArray):
        return _from_pandas(name, pd.Series(value, copy=False)), len(value), None
    if isinstance(value, np.ndarray) and value.ndim != 0:
        if value.ndim != 1:
            raise ValueError(f"column '{name}' must be one-dimensional, not of shape "
                             f"{value.shape}")
        return _from_numpy(name, value), len(value), None
    if isinstance(value, (list, tuple, range)):
        array = np.empty(len(value), dtype=object)
        array[:] = value if not isinstance(value, range) else list(value)
        for item in array:
            if isinstance(item, (list, tuple, np.ndarray)):
                raise ValueError(f"column '{name}' must be one-dimensional: it holds a "
                                 f"{type(item).__name__}")
        return array, len(array), None
    if isinstance(value, np.ndarray):
        value = value.item()
    if isinstance(value, (str, bytes, numbers.Number, np.bool_)) or _is_missing(value):
        return np.array([value], dtype=object), None, None
    raise ValueError(f"column '{name}' has an unsupported type: {type(value).__name__}")


# Read in place by the core, without a conversion pass.
_NATIVE_NUMBERS = frozenset(np.dtype(t) for t in (
    np.bool_, np.int8, np.int16, np.int32, np.int64, np.uint8, np.uint16, np.uint32,
    np.uint64, np.float32, np.float64))


def _from_numpy(name, array):
    kind = array.dtype.kind
    if kind in "biuf":
        dtype = array.dtype if array.dtype in _NATIVE_NUMBERS else np.float64
        return np.ascontiguousarray(array, dtype=dtype)
    if kind in "OUS":
        return np.ascontiguousarray(array, dtype=object)
    raise ValueError(f"column '{name}' has an unsupported type: {array.dtype}")


def _from_pandas(name, series):
    dtype = series.dtype
    if isinstance(dtype, np.dtype) or isinstance(dtype, pd.CategoricalDtype):
        return _from_numpy(name, np.asarray(series))
    types = pd.api.types
    if types.is_bool_dtype(dtype) or types.is_numeric_dtype(dtype):
        return series.to_numpy(dtype=np.float64, na_value=np.nan)
    if types.is_string_dtype(dtype):
        return series.to_numpy(dtype=object)
    raise ValueError(f"column '{name}' has an unsupported type: {dtype}")


_MISSING = (pd.NA, pd.NaT) if pd is not None else ()


def _is_missing(value):
    return any(value is marker for marker in _MISSING)


_MAX_JOBS = 1024  # far beyond any use: more threads than cores only cost


def _jobs(jobs):
    if jobs is None:
        try:
            return max(len(os.sched_getaffinity(0)), 1)
        except AttributeError:  # not on every system
            return os.cpu_count() or 1
    if isinstance(jobs, bool) or not isinstance(jobs, numbers.Integral) or jobs < 1:
        raise ValueError(f"jobs must be a positive integer, not {jobs!r}")
    return min(int(jobs), _MAX_JOBS)


def _results(raw, index, as_frame):
    if as_frame is None:
        as_frame = pd is not None
    if as_frame and pd is None:
        raise ValueError("as_frame=True needs pandas, which is not installed")
    if not as_frame:
        bar = np.ma.MaskedArray(raw["bar"], mask=raw["bar_missing"])
        return {"result": raw["result"], "bar": bar, "p_sys": raw["p_sys"],
                "p_dia": raw["p_dia"], "error": raw["error"]}
    columns = {
        "result": raw["result"],
        "bar": pd.arrays.IntegerArray(raw["bar"], raw["bar_missing"]),
        "p_sys": raw["p_sys"],
        "p_dia": raw["p_dia"],
        "error": raw["error"],
    }
    return pd.DataFrame(columns, index=index, copy=False)
