"""Taloma on a Dask cluster: a column checked partition by partition, and files scanned and
redacted one task a file, the redacted copies written beside the findings.

    from distributed import Client
    import taloma.dask
    client = Client("scheduler:8786")
    findings = taloma.dask.scan_files(client, paths, "redacted/", kinds="national,mobile")

Each worker imports taloma, so it must be installed where the workers run.
"""
import os

import pandas as pd

import taloma
from taloma._taloma import _scan_table

_FIELDS = list(taloma.FIELDS)


def check_series(series, kinds=None, before_2023=False):
    """The verdicts on a pandas Series of strings: a DataFrame with taloma-id's fields (and the
    input), on the Series' index."""
    rows = taloma.check(series.astype(str).tolist(), kinds=kinds, before_2023=before_2023)
    frame = pd.DataFrame(rows, columns=["input"] + _FIELDS)
    frame.index = series.index
    return frame


def check_column(column, kinds=None, before_2023=False):
    """check_series over a Dask Series, partition by partition (lazily, as Dask does)."""
    meta = pd.DataFrame({name: pd.Series(dtype="object") for name in ["input"] + _FIELDS})
    return column.map_partitions(check_series, kinds=kinds, before_2023=before_2023, meta=meta)


def scan_file(path, out_dir=None, kinds=None, near_misses=False, labelled=False, before_2023=False):
    """The numbers in one UTF-8 file as a DataFrame of taloma-id scan -f jsonl's fields (file
    first, None where a field does not apply); with out_dir, its redacted copy written there
    under the same name, as taloma-id scan --redact."""
    with open(path, "rb") as source:
        text = source.read()
    options = dict(kinds=kinds, labelled=labelled, before_2023=before_2023)
    table = pd.DataFrame(_scan_table(text, near_misses=near_misses, **options))
    table.insert(0, "file", path)
    if out_dir is not None:
        target = os.path.join(out_dir, os.path.basename(path))
        if os.path.exists(target) and os.path.samefile(target, path):
            raise ValueError(f"taloma: the redacted copy would overwrite {path}")
        redacted = taloma.redact(text, **options)
        with open(target, "wb") as copy:
            copy.write(redacted.encode("utf-8"))
    return table


def scan_files(client, paths, out_dir=None, **options):
    """scan_file for every path, one task a file across the client's workers; the findings of all
    in one DataFrame, in the order of the paths."""
    if out_dir is not None:
        os.makedirs(out_dir, exist_ok=True)
    futures = client.map(scan_file, list(paths), out_dir=out_dir, pure=False, **options)
    return pd.concat(client.gather(futures), ignore_index=True)
