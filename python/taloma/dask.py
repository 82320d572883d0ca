"""Taloma on a Dask cluster: `s.taloma` on a Dask Series, partition by partition, and files scanned
and redacted (or pseudonymized) one task a file, streamed, through fsspec (local paths, file://,
and any protocol the cluster installs).

    from distributed import Client
    import taloma.dask
    client = Client("scheduler:8786")
    report = taloma.dask.scan_files(client, paths, "redacted/", "found/", kinds="national,mobile")
    found = taloma.dask.read_found(report)

Each worker imports taloma, so it must be installed where the workers run.
"""
from __future__ import annotations

import contextlib
import posixpath

import dask.dataframe as dd
import fsspec
import pandas as pd

from . import _taloma, read_key
from . import pandas as _pandas  # noqa: F401, the accessor that Accessor maps

__all__ = ["Accessor", "check_column", "read_found", "scan_file", "scan_files"]

PIECE = 1 << 20  # what a file is read in: a worker holds a few of them at a time
_PART = ".taloma-part"  # an output being written, renamed when whole
_REPORT = ["input", "copy", "found", "numbers", "status", "error"]
_SCAN_FIELDS = ["file", "line", "column", "offset", "length", "input", *_taloma.FIELDS]
_HEADER = (",".join(_SCAN_FIELDS) + "\n").encode()


def _apply(part: pd.Series, method: str, options: dict, key_file: str | None = None):
    if key_file is not None:
        options = dict(options, key=_key(key_file) if len(part) else bytes(32))
    return getattr(part.taloma, method)(**options)


def _key(key_file: str | None) -> bytes | None:
    """The key in key_file, read where the work is done: a key never travels in a task."""
    return None if key_file is None else read_key(key_file)


@dd.extensions.register_series_accessor("taloma")
class Accessor:
    """`s.taloma` on a Dask Series: the pandas accessor's valid, check, redact, pseudonymize and
    reveal, partition by partition, lazily. The pseudonyms' key is a key file's path, read by each
    worker, so that the key itself is in no task graph."""

    def __init__(self, series: dd.Series):
        series._meta.taloma  # a Series that is not of strings is refused here, before any work
        self._series = series

    def _map(self, method: str, options: dict, key_file: str | None = None):
        meta = _apply(self._series._meta, method, options, key_file)
        return self._series.map_partitions(_apply, method, options, key_file, meta=meta)

    def valid(self, kinds: str | None = None, before_2023: bool = False) -> dd.Series:
        return self._map("valid", dict(kinds=kinds, before_2023=before_2023))

    def check(self, kinds: str | None = None, before_2023: bool = False) -> dd.DataFrame:
        return self._map("check", dict(kinds=kinds, before_2023=before_2023))

    def redact(self, **options) -> dd.Series:
        return self._map("redact", options)

    def pseudonymize(self, key_file: str, context: str | None = None, **options) -> dd.Series:
        return self._map("pseudonymize", dict(options, context=context), key_file)

    def reveal(self, key_file: str, context: str | None = None, **options) -> dd.Series:
        return self._map("reveal", dict(options, context=context), key_file)


def check_column(column: dd.Series, kinds: str | None = None, before_2023: bool = False) -> dd.DataFrame:
    """column.taloma.check(kinds=kinds, before_2023=before_2023)."""
    return column.taloma.check(kinds=kinds, before_2023=before_2023)


def scan_file(path: str, copy: str | None = None, found: str | None = None, *, kinds: str | None = None,
              near_misses: bool = False, labelled: bool = False, before_2023: bool = False,
              normalize: bool = False, key_file: str | None = None, context: str | None = None,
              reveal: bool = False, storage_options: dict | None = None) -> dict:
    """Scans one file as taloma-id scan does, reading it a piece at a time: its redacted copy
    written to `copy`, byte for byte as taloma-id scan --redact writes it (UTF-16 and Big5 in their
    own encoding, bytes of no encoding as they came), or given a key file each valid number replaced
    by its pseudonym under its key and `context` (turned back with `reveal`) as taloma-id scan
    --pseudonymize and --reveal write it; and the numbers found to `found` as CSV, the
    columns of taloma-id scan -f csv, as they are found. Each is written under a temporary name and
    renamed once whole; when every output asked for is there already, the file is skipped. Returns
    its row of scan_files' report; an input or output that cannot be read or written raises
    OSError."""
    storage_options = storage_options or {}
    targets = [(fsspec.core.url_to_fs(target, **storage_options), kind) for target, kind in
               ((copy, "copy"), (found, "found")) if target is not None]
    row = dict(input=path, copy=copy, found=found, numbers=None, status="skipped", error=None)
    if targets and all(fs.exists(target) for (fs, target), _ in targets):
        return row
    fs, source = fsspec.core.url_to_fs(path, **storage_options)
    scanner = _taloma._Scanner(kinds=kinds, near_misses=near_misses, labelled=labelled, before_2023=before_2023,
                               normalize=normalize, redact=copy is not None, file=path if found else None,
                               key=_key(key_file), context=context, reveal=reveal)
    numbers = 0
    with fs.open(source, "rb") as text, contextlib.ExitStack() as outputs:
        files = {kind: outputs.enter_context(_writing(*target)) for target, kind in targets}
        if "found" in files:
            files["found"].write(_HEADER)
        for settled in map(scanner.feed, iter(lambda: text.read(PIECE), b"")):
            numbers += _hand_on(settled, files)
        numbers += _hand_on(scanner.finish(), files)
    return dict(row, numbers=numbers, status="done")


def _hand_on(settled, files):
    """Writes what a piece settled, its redacted bytes and its findings' rows; how many it found."""
    redacted, numbers, rows = settled
    if "copy" in files:
        files["copy"].write(redacted)
    if "found" in files:
        files["found"].write(rows)
    return numbers


@contextlib.contextmanager
def _writing(fs, target):
    """A file written under a temporary name and renamed to `target` once whole, or removed."""
    part = target + _PART
    fs.makedirs(posixpath.dirname(target), exist_ok=True)
    try:
        with fs.open(part, "wb") as file:
            yield file
    except BaseException:
        if fs.exists(part):
            fs.rm(part)
        raise
    fs.mv(part, target)


def _report(path, copy, found, options):
    """scan_file's row, or the input's error in it."""
    try:
        return scan_file(path, copy, found, **options)
    except OSError as error:
        return dict(input=path, copy=copy, found=found, numbers=None, status="failed",
                    error=f"{type(error).__name__}: {error}")


def _targets(paths, root, out_dir, found_dir, storage_options):
    """Each input's copy and findings: their path relative to `root` (by default the inputs' common
    folder) under out_dir and found_dir, None where no folder is given."""
    strip = lambda path: fsspec.core.url_to_fs(path, **storage_options)[1]
    inputs = [strip(path) for path in paths]
    if root is None:
        root = posixpath.commonpath([posixpath.dirname(path) for path in inputs]) if inputs else "/"
    else:
        root = strip(root)
    relative = [posixpath.relpath(path, root) for path in inputs]
    outside = [path for path, rel in zip(paths, relative) if rel.startswith("../")]
    if outside:
        raise ValueError(f"taloma: {outside[0]} is not under the root {root}")
    if len(set(relative)) < len(relative):
        twice = next(rel for rel in relative if relative.count(rel) > 1)
        raise ValueError(f"taloma: two inputs map to one output, {twice}")
    under = lambda folder, suffix: ([None] * len(paths) if folder is None else
                                    [f"{folder.rstrip('/')}/{rel}{suffix}" for rel in relative])
    copies, founds = under(out_dir, ""), under(found_dir, ".csv")
    overwritten = set(inputs) & {strip(copy) for copy in copies + founds if copy is not None}
    if overwritten:
        raise ValueError(f"taloma: an output would overwrite the input {overwritten.pop()}")
    return copies, founds


def scan_files(client, paths, out_dir: str | None = None, found_dir: str | None = None, *,
               root: str | None = None, storage_options: dict | None = None, **options) -> pd.DataFrame:
    """scan_file for every path, one task a file across the client's workers. Each file's redacted
    copy goes under out_dir and its findings under found_dir (as CSV, its name with .csv added), at
    the file's path relative to `root`, by default the inputs' common folder, so that no two inputs
    share an output. A file whose outputs are all there already is skipped, so a run that stopped
    goes on where it was. Returns the report, a row a path in their order: input, copy, found,
    numbers (how many found), status ("done", "skipped" or "failed") and error (why an input or an
    output failed); the other files finish whatever fails. `options` are scan_file's."""
    paths = list(paths)
    storage_options = storage_options or {}
    copies, founds = _targets(paths, root, out_dir, found_dir, storage_options)
    options = dict(options, storage_options=storage_options)
    futures = client.map(_report, paths, copies, founds, options=options, pure=False)
    report = pd.DataFrame(client.gather(futures), columns=_REPORT)
    report["numbers"] = report["numbers"].astype("Int64")
    return report


def read_found(report: pd.DataFrame, blocksize: int = 64 << 20) -> dd.DataFrame:
    """The findings that scan_files wrote, as one Dask DataFrame, read a block at a time: the
    files found in the report, their columns typed as taloma.pandas types them."""
    paths = [found for found, status in zip(report["found"], report["status"]) if found and status != "failed"]
    fields = pd.Series([], dtype=object).taloma.check().dtypes.to_dict()
    positions = dict.fromkeys(["line", "column", "offset", "length"], "int64")
    return dd.read_csv(paths, blocksize=blocksize, dtype=dict(fields, file=object, input=object, **positions))
