#!/usr/bin/env python3
"""Throughput of vessane.risk over 1,000,000 rows: float64 numpy columns and text columns,
results as numpy arrays (as_frame=False) and as a DataFrame, with 1 and 2 threads.

Run with a Python that imports vessane, e.g. the test step's venv:
    build/python/release/venv/bin/python bench/python_bench.py [ROWS] [REPEATS]
Prints the median and the best of REPEATS timed calls, and rows per CPU-second (all
threads together); run it on a quiet machine.
"""

import os
import statistics
import sys
import time

import numpy as np

import vessane


def cohort(rows, seed=1991):
    """Forms of a plausible cohort, as float64 columns."""
    r = np.random.default_rng(seed)
    return {
        "sex": r.integers(0, 2, rows).astype(np.float64),
        "age": r.integers(30, 75, rows).astype(np.float64),
        "systolic": r.integers(100, 200, rows).astype(np.float64),
        "diastolic": r.integers(60, 90, rows).astype(np.float64),
        "total": r.uniform(1.6, 3.2, rows).round(2),
        "hdl": r.uniform(0.3, 0.9, rows).round(2),
        "unit": np.ones(rows),
        "years": r.integers(2, 11, rows).astype(np.float64),
        "smoker": r.integers(0, 2, rows).astype(np.float64),
        "diabetes": (r.random(rows) < 0.1).astype(np.float64),
        "lvh": (r.random(rows) < 0.05).astype(np.float64),
    }


def as_typed(columns):
    """The same forms as pandas users hold them: integer ages and pressures, bool choices,
    float32 cholesterol."""
    typed = {}
    for name, values in columns.items():
        if name in ("sex", "unit", "smoker", "diabetes", "lvh"):
            typed[name] = values.astype(np.bool_)
        elif name in ("total", "hdl"):
            typed[name] = values.astype(np.float32)
        else:
            typed[name] = values.astype(np.int64)
    return typed


def as_texts(columns):
    """The same forms as the texts a window would hold."""
    texts = {}
    for name, values in columns.items():
        if name == "sex":
            texts[name] = np.where(values == 1, "Homme", "Femme").astype(object)
        elif name == "unit":
            texts[name] = np.full(len(values), "g/L", dtype=object)
        else:
            texts[name] = np.array([f"{x:g}" for x in values], dtype=object)
    return texts


def measure(label, columns, rows, repeats, **options):
    """Rows per second of elapsed time, and per second of CPU time of all the threads
    (which a busy machine disturbs less)."""
    rates, cpu_rates = [], []
    for _ in range(repeats):
        start, cpu_start = time.perf_counter(), time.process_time()
        vessane.risk(**columns, **options)
        rates.append(rows / (time.perf_counter() - start))
        cpu_rates.append(rows / (time.process_time() - cpu_start))
    print(f"{label:<44} median {statistics.median(rates) / 1e6:5.2f}  "
          f"best {max(rates) / 1e6:5.2f} M rows/s;  "
          f"per CPU second {statistics.median(cpu_rates) / 1e6:5.2f} M rows")


def main():
    rows = int(sys.argv[1]) if len(sys.argv) > 1 else 1_000_000
    repeats = int(sys.argv[2]) if len(sys.argv) > 2 else 15
    numbers = cohort(rows)
    typed = as_typed(numbers)
    texts = as_texts(numbers)
    # The same results whatever the columns' kind and the number of threads.
    first = vessane.risk(**numbers, jobs=1, as_frame=False)
    for other in (vessane.risk(**numbers, jobs=2, as_frame=False),
                  vessane.risk(**texts, jobs=2, as_frame=False)):
        assert all(np.array_equal(first[k], other[k]) for k in ("result", "p_sys", "error"))
    print(f"vessane {vessane.__version__}, {rows:,} rows, {repeats} calls each, "
          f"load average {os.getloadavg()[0]:.2f} on {os.cpu_count()} cores")
    for jobs in (1, 2):
        measure(f"float64 columns, numpy results, {jobs} thread(s)", numbers, rows, repeats,
                jobs=jobs, as_frame=False)
        measure(f"int64/bool/float32 columns, numpy results, {jobs} thread(s)", typed, rows,
                repeats, jobs=jobs, as_frame=False)
    measure("float64 columns, DataFrame result, 2 threads", numbers, rows, repeats, jobs=2)
    for jobs in (1, 2):
        measure(f"text columns, numpy results, {jobs} thread(s)", texts, rows, repeats // 3 or 1,
                jobs=jobs, as_frame=False)
    print(f"load average after: {os.getloadavg()[0]:.2f}")


if __name__ == "__main__":
    main()
