"""Taloma's rules for Python: Taiwanese identity-card and resident-certificate numbers, and the
other numbers a form asks for (統一編號, 自然人憑證, 手機條碼, 捐贈碼, mobile numbers).

check, decode, generate, scan, redact and places give plain Python objects with the field names
of taloma-id's JSON rows (a verdict's are FIELDS, the kinds' names KINDS); `import taloma.pandas`
gives a Series of strings the accessor s.taloma (valid, check, redact) with columns made in C; and
taloma.dask takes it to Dask Series, and scans and redacts files across a Dask cluster.
"""
from ._taloma import FIELDS, KINDS, __version__, check, decode, generate, places, redact, scan

__all__ = ["FIELDS", "KINDS", "__version__", "check", "decode", "generate", "places", "redact", "scan"]
