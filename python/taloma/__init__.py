"""Taloma's rules for Python: Taiwanese identity-card and resident-certificate numbers, and the
other numbers a form asks for (統一編號, 自然人憑證, 手機條碼, 捐贈碼, mobile numbers).

check, decode, generate, scan, redact and places give plain Python objects with the field names
of taloma-id's JSON rows (a verdict's are FIELDS, the kinds' names KINDS); pseudonymize and reveal
write a text with valid pseudonyms in its numbers' place and back, under a key that read_key reads;
`import taloma.pandas` gives a Series of strings the accessor s.taloma (valid, check, redact,
pseudonymize, reveal) with columns made in C; and taloma.dask takes it to Dask Series, and scans,
redacts and pseudonymizes files across a Dask cluster.
"""
import os
import warnings

from ._taloma import _read_key
from ._taloma import FIELDS, KINDS, __version__, check, decode, generate, places, pseudonymize, redact, reveal, scan

__all__ = ["FIELDS", "KINDS", "__version__", "check", "decode", "generate", "places", "pseudonymize",
           "read_key", "redact", "reveal", "scan"]


def read_key(path: str | os.PathLike) -> bytes:
    """The key in a file that taloma-id key wrote: 64 hexadecimal characters and a newline, nothing
    else (ValueError otherwise, OSError for a file that cannot be read). A file that other users may
    read gets a warning, as in taloma-id."""
    key, exposed = _read_key(os.fspath(path))
    if exposed:
        warnings.warn(f"other users may read the key file {os.fspath(path)}; run chmod 600 on it", stacklevel=2)
    return key
