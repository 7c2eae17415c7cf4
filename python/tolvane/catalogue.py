# SPDX-License-Identifier: Apache-2.0
"""The catalogue: the subject factors and display variables, the same for every session."""

import atexit
import ctypes
import functools
import threading
from dataclasses import dataclass
from typing import Dict, Optional, Tuple, Union

from . import _library
from ._library import library, text
from .errors import ERR_TIME, OK, error_for

#: kPa per mm Hg, as the window converts. Values are always in mm Hg; a
#: program that shows kPa multiplies by this at its edge.
KPA_PER_MMHG = 0.1332


@dataclass(frozen=True)
class Variable:
    """One factor or display variable of the catalogue.

    ``name`` is the short name programs use ("inspired_o2"), ``long_name``
    the window's ("Inspired O2 percentage"); ``unit``, ``minimum``,
    ``maximum`` and ``standard`` (the value in the built-in standard
    subject) are in mm Hg terms. For a pressure a window may show in kPa,
    ``kpa_unit``, ``kpa_minimum`` and ``kpa_maximum`` give that scale, else
    they are None.
    """

    index: int
    name: str
    long_name: str
    unit: str
    minimum: float
    maximum: float
    standard: float
    kpa_unit: Optional[str] = None
    kpa_minimum: Optional[float] = None
    kpa_maximum: Optional[float] = None

    @property
    def is_pressure(self) -> bool:
        """True when a window may show this variable in kPa."""
        return self.kpa_unit is not None


def _variable(kind: str, i: int) -> Variable:
    lib = library()
    minimum, maximum, standard = ctypes.c_double(), ctypes.c_double(), ctypes.c_double()
    getattr(lib, f"tolvane_{kind}_limits")(i, ctypes.byref(minimum), ctypes.byref(maximum))
    getattr(lib, f"tolvane_{kind}_standard")(i, ctypes.byref(standard))
    kpa = {}
    if getattr(lib, f"tolvane_{kind}_is_pressure")(i):
        unit, low, high = ctypes.c_char_p(), ctypes.c_double(), ctypes.c_double()
        getattr(lib, f"tolvane_{kind}_kpa_limits")(i, ctypes.byref(unit), ctypes.byref(low), ctypes.byref(high))
        kpa = {"kpa_unit": text(unit.value), "kpa_minimum": low.value, "kpa_maximum": high.value}
    return Variable(
        index=i,
        name=text(getattr(lib, f"tolvane_{kind}_short_name")(i)),
        long_name=text(getattr(lib, f"tolvane_{kind}_long_name")(i)),
        unit=text(getattr(lib, f"tolvane_{kind}_unit")(i)),
        minimum=minimum.value,
        maximum=maximum.value,
        standard=standard.value,
        **kpa,
    )


@functools.lru_cache(maxsize=None)
def factors() -> Tuple[Variable, ...]:
    """The subject factors (the subject's adjustable inputs), in index order."""
    return tuple(_variable("factor", i) for i in range(library().tolvane_factor_count()))


@functools.lru_cache(maxsize=None)
def displays() -> Tuple[Variable, ...]:
    """The display variables (the model's outputs), in index order."""
    return tuple(_variable("display", i) for i in range(library().tolvane_display_count()))


def passport_limits() -> Dict[str, Tuple[float, float]]:
    """The limits (minimum, maximum) of the passport's height (cm), weight (kg) and age (years)."""
    limits = {}
    for item, name in enumerate(("height", "weight", "age")):
        minimum, maximum = ctypes.c_double(), ctypes.c_double()
        library().tolvane_passport_limits(item, ctypes.byref(minimum), ctypes.byref(maximum))
        limits[name] = (minimum.value, maximum.value)
    return limits


class _LookupSession:
    """A session kept only to carry the messages of name look-ups made outside one."""

    def __init__(self):
        self._lock = threading.Lock()
        self._handle = None

    def find(self, kind: str, name: str) -> int:
        lib = library()
        with self._lock:
            if self._handle is None:
                handle = _library.session_p()
                result = lib.tolvane_create(ctypes.byref(handle))
                if result != OK:
                    raise error_for(result, text(lib.tolvane_result_text(result)))
                self._handle = handle
                atexit.register(self.close)
            return find_in(self._handle, kind, name)

    def close(self):
        with self._lock:
            if self._handle is not None:
                library().tolvane_destroy(self._handle)
                self._handle = None


_lookup = _LookupSession()


def find_in(handle, kind: str, name: Union[str, int]) -> int:
    """The index of a factor or display variable (kind "factor" or "display")
    named by short name or index, looked up through the session handle, which
    carries the message of a failure (UnknownNameError, with the nearest names)."""
    index = ctypes.c_int()
    lib = library()
    result = getattr(lib, f"tolvane_find_{kind}")(handle, str(name).encode(), ctypes.byref(index))
    if result != OK:
        raise error_for(result, text(lib.tolvane_errmsg(handle)))
    return index.value


def find_factor(name: Union[str, int]) -> int:
    """The index of the factor with this short name (any case) or index.

    Raises UnknownNameError (a ValueError) naming the nearest names.
    """
    return _lookup.find("factor", name)


def find_display(name: Union[str, int]) -> int:
    """The index of the display variable with this short name (any case) or index.

    Raises UnknownNameError (a ValueError) naming the nearest names.
    """
    return _lookup.find("display", name)


def parse_time(time: Union[str, int]) -> int:
    """Seconds since the subject's start from "M:SS" or "MM:SS" text, or from
    a whole number of seconds (returned as it is).

    Raises TimeOutOfRangeError (a ValueError) for anything else.
    """
    wrong = error_for(ERR_TIME, f'a time is whole seconds or "M:SS" text, got {time!r}')
    if isinstance(time, float) and time.is_integer():
        return int(time)
    if isinstance(time, str):
        seconds = ctypes.c_int()
        if library().tolvane_parse_time(time.encode(), ctypes.byref(seconds)) != OK:
            raise wrong
        return seconds.value
    if isinstance(time, bool) or not hasattr(time, "__index__"):
        raise wrong
    return time.__index__()


def format_time(seconds: int) -> str:
    """Seconds as the clock shows them, "MM:SS" ("03:00")."""
    minutes, second = divmod(int(seconds), 60)
    return f"{minutes:02d}:{second:02d}"
