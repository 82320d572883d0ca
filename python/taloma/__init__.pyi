import os
from typing import Iterable, Literal, TypedDict, overload

__version__: str
KINDS: tuple[str, ...]
FIELDS: tuple[str, ...]

class Verdict(TypedDict, total=False):
    valid: bool
    kind: str
    sex: Literal["male", "female"]
    category: str
    letter: str
    place: str
    reason: Literal["length", "letter", "second", "digit", "check", "character"]
    position: int
    expected: str

class Row(Verdict, total=False):
    input: str

class ScanRow(Row, total=False):
    line: int
    column: int
    offset: int  # in code points of a str, bytes of bytes
    length: int

class Place(TypedDict, total=False):
    letter: str
    value: int
    place: str
    area_code: str
    postal_count: int
    last_issued: int

@overload
def check(input: str, *, kinds: str | None = ..., before_2023: bool = ...) -> Row: ...
@overload
def check(input: Iterable[str], *, kinds: str | None = ..., before_2023: bool = ...) -> list[Row]: ...
def decode(input: str, *, kinds: str | None = ..., before_2023: bool = ..., lang: str = ...) -> str: ...
def generate(*, count: int = ..., seed: int, kind: str = ..., places: str | Iterable[str] | None = ...,
             sex: Literal["male", "female"] | None = ..., categories: str | Iterable[str] | None = ...,
             unique: bool = ..., current: bool = ..., since_2023: bool = ...) -> list[str]: ...
def scan(text: str | bytes, *, kinds: str | None = ..., before_2023: bool = ..., near_misses: bool = ...,
         normalize: bool = ..., labelled: bool = ...) -> list[ScanRow]: ...
def redact(text: str | bytes, *, kinds: str | None = ..., before_2023: bool = ..., near_misses: bool = ...,
           normalize: bool = ..., labelled: bool = ...) -> str: ...
def pseudonymize(text: str | bytes, *, key: bytes, context: str | None = ..., kinds: str | None = ...,
                 before_2023: bool = ..., near_misses: bool = ..., normalize: bool = ...,
                 labelled: bool = ...) -> str: ...
def reveal(text: str | bytes, *, key: bytes, context: str | None = ..., kinds: str | None = ...,
           before_2023: bool = ..., near_misses: bool = ..., normalize: bool = ..., labelled: bool = ...) -> str: ...
def read_key(path: str | os.PathLike[str]) -> bytes: ...
def places(*, postal: bool = ...) -> list[Place] | list[dict[str, str]]: ...
