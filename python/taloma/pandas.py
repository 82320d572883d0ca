"""Taloma's accessor for pandas: `import taloma.pandas` gives every Series of strings `s.taloma`.

    s.taloma.valid()                 # a boolean Series: NA where s holds None or NaN
    s.taloma.check(kinds="business") # a DataFrame of the verdicts' fields, on s's index
    s.taloma.redact()                # s with every number in it masked
    s.taloma.pseudonymize(key=taloma.read_key("crm.key"))  # ... or replaced by its pseudonym

The columns are made in C with the GIL released, not a dict a row: a text field is categorical
(its categories every text it can hold), a boolean a nullable boolean, a number a nullable integer.
A Series of object, string or category dtype is taken; any other dtype is a TypeError.
"""
from __future__ import annotations

import numpy as np
import pandas as pd

from . import _taloma

__all__ = ["Accessor", "frame"]

# Each text field's categories: every text the library says it can hold, in its order.
_CATEGORIES = {name: pd.CategoricalDtype(values) for name, values in zip(_taloma.FIELDS, _taloma._FIELD_VALUES)
               if values}


def frame(columns: dict, index=None) -> pd.DataFrame:
    """A DataFrame of the module's columns: codes become categoricals, values and masks nullable
    booleans and integers; any other column (a scan's line, input, ...) as it is."""
    data = {}
    for name, column in columns.items():
        if name in _CATEGORIES:
            column = pd.Categorical.from_codes(column, dtype=_CATEGORIES[name])
        elif isinstance(column, tuple):
            values, mask = column
            array = pd.arrays.BooleanArray if values.dtype == bool else pd.arrays.IntegerArray
            column = array(values, mask)
        data[name] = column
    return pd.DataFrame(data, index=index)


def _spread(columns: dict, codes: np.ndarray) -> dict:
    """Columns made for a categorical's categories and a missing row after them, taken for each of
    its codes (-1, a missing value, takes the last row)."""
    take = lambda array: array.take(codes)
    return {name: tuple(map(take, column)) if isinstance(column, tuple) else take(column)
            for name, column in columns.items()}


@pd.api.extensions.register_series_accessor("taloma")
class Accessor:
    """`s.taloma` on a pandas Series of strings (object, string or category dtype)."""

    def __init__(self, series: pd.Series):
        dtype = series.dtype
        strings = dtype.categories.dtype if isinstance(dtype, pd.CategoricalDtype) else dtype
        if not (strings == object or isinstance(strings, pd.StringDtype)):
            raise TypeError(f"taloma: s.taloma takes a Series of strings (object, string or category dtype), "
                            f"not {dtype}; numbers kept as integers have lost their leading zeros")
        self._series = series

    def _run(self, work, **options):
        """`work` over the Series' values as an object array; for a categorical, over its
        categories and one missing value, spread over the codes."""
        series = self._series
        if isinstance(series.dtype, pd.CategoricalDtype):
            categories = np.append(series.cat.categories.to_numpy(dtype=object), None)
            return work(categories, **options), series.cat.codes.to_numpy()
        return work(series.to_numpy(dtype=object), **options), None

    def valid(self, kinds: str | None = None, before_2023: bool = False) -> pd.Series:
        """Whether each string is a valid number of `kinds` (the identity kinds when None): a
        nullable boolean Series on the same index, NA where the Series holds no string."""
        columns, codes = self._run(_taloma._check_columns, kinds=kinds, before_2023=before_2023,
                                   valid_only=True, na=pd.NA)
        if codes is not None:
            columns = _spread(columns, codes)
        return pd.Series(frame(columns)["valid"].array, index=self._series.index, name=self._series.name)

    def check(self, kinds: str | None = None, before_2023: bool = False) -> pd.DataFrame:
        """The verdict on each string: a DataFrame of taloma.FIELDS on the Series' index, the text
        fields categorical, valid nullable boolean, position a nullable integer; a row of NA where
        the Series holds no string."""
        columns, codes = self._run(_taloma._check_columns, kinds=kinds, before_2023=before_2023, na=pd.NA)
        if codes is not None:
            columns = _spread(columns, codes)
        return frame(columns, index=self._series.index)

    def redact(self, kinds: str | None = None, before_2023: bool = False, near_misses: bool = False,
               normalize: bool = False, labelled: bool = False) -> pd.Series:
        """Each string with every number of `kinds` in it masked, as taloma.redact masks it; of
        the same dtype and index, NA where it was."""
        return self._rewrite(dict(kinds=kinds, before_2023=before_2023, near_misses=near_misses,
                                  normalize=normalize, labelled=labelled))

    def pseudonymize(self, key: bytes, context: str | None = None, **options) -> pd.Series:
        """Each string with every valid number in it replaced by its pseudonym under the 32 bytes
        of `key` (taloma.read_key reads a key file) and `context`, as taloma.pseudonymize does;
        `options` are redact's."""
        return self._rewrite(dict(options, key=key, context=context))

    def reveal(self, key: bytes, context: str | None = None, **options) -> pd.Series:
        """Each string with its pseudonyms turned back into their numbers, as taloma.reveal does."""
        return self._rewrite(dict(options, key=key, context=context, reveal=True))

    def _rewrite(self, options: dict) -> pd.Series:
        series = self._series
        options["na"] = pd.NA
        if isinstance(series.dtype, pd.CategoricalDtype):
            categories = _taloma._redact_each(series.cat.categories.to_numpy(dtype=object), **options)
            values = pd.Series(categories + [None], dtype=series.cat.categories.dtype).take(series.cat.codes)
            return pd.Series(values.to_numpy(), index=series.index, name=series.name, dtype="category")
        redacted = _taloma._redact_each(series.to_numpy(dtype=object), **options)
        return pd.Series(redacted, index=series.index, name=series.name, dtype=series.dtype)
