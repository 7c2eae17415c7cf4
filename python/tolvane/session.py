# SPDX-License-Identifier: Apache-2.0
"""Session: one simulated subject and its run, over the session library."""

import ctypes
import math
import os
import threading
import warnings
import weakref
from typing import Dict, List, NamedTuple, Optional, Tuple, Union

import numpy as np

from . import _library
from ._library import library, take_buffer, text
from .catalogue import displays, factors, find_in, format_time, parse_time
from .errors import (
    ERR_DIED,
    ERR_NULL,
    ERR_STEP,
    ERR_VALUE,
    OK,
    ClampedValueWarning,
    StepFailedError,
    error_for,
)
from .run import Event, Note, Run

PathLike = Union[str, "os.PathLike[str]"]
Time = Union[str, int]

# tolvane_copy_log's display that asks for every variable.
_ALL_DISPLAYS = -1

_EVENT_KINDS = ("factor", "respiration", "passport", "rerun", "load", "reset")

#: Bag states by the names scenario scripts use, with their numbers.
BAG_STATES = {"glottis": 9, "standard": 10, "collect": 11, "rebreathe": 12, "absorber": 13}
_BAG_NAMES = {number: name for name, number in BAG_STATES.items()}

_SEXES = {"female": 0, "male": 1}


class Passport(NamedTuple):
    """The subject's passport: height (cm), weight (kg), age (years), sex ("female" or "male")."""

    height: float
    weight: float
    age: float
    sex: str


class Respiration(NamedTuple):
    """The respiration settings: natural breathing or the ventilator's rate
    (cycles/minute), tidal volume (ml BTPS) and PEEP (cm water); the bag's
    state (a BAG_STATES name), volume (ml BTPS) and gases (%)."""

    natural: bool
    rate: float
    tidal: float
    peep: float
    bag: str
    bag_volume: float
    bag_co2: float
    bag_o2: float


def _as_shown(settings: "Respiration") -> "Respiration":
    """The settings as the respiration dialog's fields show them: rate with 2
    decimals, the other numbers with 1. OK enters a field left alone from its
    text, so a setting not given is rounded so."""
    one_decimal = ("tidal", "peep", "bag_volume", "bag_co2", "bag_o2")
    return settings._replace(
        rate=float(f"{settings.rate:.2f}"), **{name: float(f"{getattr(settings, name):.1f}") for name in one_decimal}
    )


def _with_given(settings: NamedTuple, **changes):
    """settings with the items given (those not None) replaced."""
    return settings._replace(**{name: value for name, value in changes.items() if value is not None})


class Session:
    """One simulated subject and its run: the clock, the 30-minute history
    RE-RUN reaches, every second since the start, the clinical notes and the
    events.

    ``Session()`` holds the standard subject at 00:00; ``Session(subject=PATH)``
    loads a subject file first, and keyword arguments set factors by short
    name (``Session(inspired_o2=12)``). Close it with ``close()`` or use it
    in a ``with`` block. Values are in the model's units: pressures in mm Hg.

    Bad input raises an exception carrying the simulation core's message
    (a ValueError for an unknown name, a value that is not a finite number or
    a time outside the history; an OSError for a file) and changes nothing,
    so the session stays usable. A value held to its limits gives a
    ClampedValueWarning.
    """

    _handle = None

    def __init__(self, subject: Optional[PathLike] = None, **factor_values: float):
        lib = library()
        self._lock = threading.RLock()
        self._runs: "weakref.WeakSet[Run]" = weakref.WeakSet()
        handle = _library.session_p()
        result = lib.tolvane_create(ctypes.byref(handle))
        if result != OK:
            raise error_for(result, text(lib.tolvane_result_text(result)))
        self._handle = handle
        if subject is not None:
            self.load(subject)
        if factor_values:
            self.set(**factor_values)

    # ---- life -----------------------------------------------------------

    def close(self) -> None:
        """Frees the session; later calls raise SessionClosedError. Closing twice does nothing."""
        with self._lock:
            if self._handle is not None:
                self._keep_runs()
                library().tolvane_destroy(self._handle)
                self._handle = None

    @property
    def closed(self) -> bool:
        """True once the session is closed."""
        return self._handle is None

    def __enter__(self) -> "Session":
        return self

    def __exit__(self, *exception) -> None:
        self.close()

    def __del__(self):
        if self._handle is not None and _library is not None:
            self.close()

    def __repr__(self) -> str:
        if self.closed:
            return "<tolvane.Session closed>"
        state = "dead" if self.dead else "alive"
        return f"<tolvane.Session at {self.clock}, {state}>"

    # ---- calls --------------------------------------------------------------

    def _live(self):
        if self._handle is None:
            raise error_for(ERR_NULL, "the session is closed")
        return self._handle

    def _check(self, result: int, path: Optional[PathLike] = None) -> None:
        """Raises the exception for a failed call, with the session's message;
        after a call that succeeded, warns of the values it held to their limits."""
        lib = library()
        if result != OK:
            raise error_for(result, text(lib.tolvane_errmsg(self._handle)), path)
        for line in text(lib.tolvane_warnings(self._handle)).splitlines():
            warnings.warn(line, ClampedValueWarning, stacklevel=3)

    def _keep_runs(self) -> None:
        """Copies out the values of the Runs handed out, before a call that
        may change the seconds they cover (RE-RUN, RESET, load, a script)."""
        for run in list(self._runs):
            run._materialize()
        self._runs.clear()

    def _factor_index(self, name: Union[str, int]) -> int:
        return find_in(self._live(), "factor", name)

    def _display_index(self, name: Union[str, int]) -> int:
        return find_in(self._live(), "display", name)

    # ---- the subject ----------------------------------------------------------

    def reset(self) -> None:
        """RESET: the session's standard subject (the built-in one, or the last
        subject file loaded) starts again at 00:00, breathing naturally with no bag."""
        with self._lock:
            self._keep_runs()
            self._check(library().tolvane_reset(self._live()))

    def load(self, path: PathLike) -> None:
        """Loads a subject file (.sbj), which becomes the session's standard
        subject, and starts it at 00:00. Values outside their limits are set to
        the nearest limit with a ClampedValueWarning.

        Raises MissingFileError (a FileNotFoundError) or SubjectFileError
        (an OSError) when the file cannot be read, SubjectFormatError (a
        ValueError) when it is no subject file; the run is then untouched.
        """
        with self._lock:
            self._keep_runs()
            self._check(library().tolvane_load_subject(self._live(), os.fsencode(path)), path)

    def load_bytes(self, data: bytes, name: Optional[str] = None) -> None:
        """Loads a subject file's bytes as load() loads the file; ``name`` stands
        for the file in the events and messages."""
        with self._lock:
            encoded = name.encode() if name is not None else None
            self._keep_runs()
            self._check(library().tolvane_load_subject_buffer(self._live(), data, len(data), encoded))

    def save(self, path: PathLike) -> None:
        """Writes the live subject with the panel rows to a subject file, as the
        window saves it. An existing file is replaced whole, or left as it was
        when writing fails (SubjectFileError, an OSError)."""
        with self._lock:
            self._check(library().tolvane_save_subject(self._live(), os.fsencode(path)))

    def subject_bytes(self, name: Optional[str] = None) -> bytes:
        """The subject file save() would write, as bytes (code page 1252)."""
        with self._lock:
            data, size = ctypes.c_void_p(), ctypes.c_size_t()
            encoded = name.encode() if name is not None else None
            result = library().tolvane_save_subject_buffer(
                self._live(), encoded, ctypes.byref(data), ctypes.byref(size)
            )
            buffer = take_buffer(data, size)
            self._check(result)
            return buffer

    @property
    def passport(self) -> Passport:
        """The live passport."""
        with self._lock:
            height, weight, age, sex = ctypes.c_double(), ctypes.c_double(), ctypes.c_double(), ctypes.c_int()
            self._check(
                library().tolvane_get_passport(
                    self._live(), ctypes.byref(height), ctypes.byref(weight), ctypes.byref(age), ctypes.byref(sex)
                )
            )
            return Passport(height.value, weight.value, age.value, "male" if sex.value else "female")

    def set_passport(
        self,
        *,
        height: Optional[float] = None,
        weight: Optional[float] = None,
        age: Optional[float] = None,
        sex: Optional[str] = None,
    ) -> Passport:
        """Sets the passport items given (height cm, weight kg, age years, sex
        "female" or "male"), each held to its limits; returns the passport taken."""
        with self._lock:
            if sex is not None and sex not in _SEXES:
                raise error_for(ERR_VALUE, f'sex must be "female" or "male", got {sex!r}')
            wanted = _with_given(self.passport, height=height, weight=weight, age=age, sex=sex)
            self._check(
                library().tolvane_set_passport(
                    self._live(), wanted.height, wanted.weight, wanted.age, _SEXES[wanted.sex]
                )
            )
            return self.passport

    # ---- factors ----------------------------------------------------------------

    def set(self, **factor_values: float) -> Dict[str, float]:
        """Sets factors by short name, as the panel takes a typed value:
        ``s.set(inspired_o2=12, work_rate=50)``. A value outside a factor's
        limits is held to them with a ClampedValueWarning. Returns the values
        taken, by name.

        Raises UnknownNameError for an unknown name and InvalidValueError for
        a value that is not a finite number (both ValueErrors); then no
        factor is set.
        """
        with self._lock:
            handle = self._live()
            indices = {name: self._factor_index(name) for name in factor_values}
            for name, value in factor_values.items():
                if not math.isfinite(value):
                    raise error_for(ERR_VALUE, f"{name}: {value} is not a finite number")
            taken = {}
            for name, value in factor_values.items():
                stored = ctypes.c_double()
                self._check(library().tolvane_set_factor(handle, indices[name], value, ctypes.byref(stored)))
                taken[factors()[indices[name]].name] = stored.value
            return taken

    def factor(self, name: Union[str, int]) -> float:
        """The live value of one factor, by short name or index."""
        with self._lock:
            value = ctypes.c_double()
            self._check(library().tolvane_get_factor(self._live(), self._factor_index(name), ctypes.byref(value)))
            return value.value

    @property
    def factors(self) -> Dict[str, float]:
        """Every factor's live value, by short name."""
        with self._lock:
            return {variable.name: self.factor(variable.index) for variable in factors()}

    # ---- the window's panel rows -----------------------------------------------

    @property
    def panel(self) -> List[Tuple[Optional[str], Optional[str]]]:
        """The panel rows saved in subject files: (factor, display) short names,
        None for an empty factor row or "No display"."""
        with self._lock:
            rows = []
            lib = library()
            for row in range(8):
                factor_index, display_index = ctypes.c_int(), ctypes.c_int()
                self._check(lib.tolvane_get_panel_factor(self._live(), row, ctypes.byref(factor_index)))
                self._check(lib.tolvane_get_panel_display(self._live(), row, ctypes.byref(display_index)))
                rows.append(
                    (
                        factors()[factor_index.value].name if factor_index.value >= 0 else None,
                        displays()[display_index.value].name if display_index.value < len(displays()) else None,
                    )
                )
            return rows

    def choose_panel(
        self, row: int, *, factor: Union[str, int, None] = "", display: Union[str, int, None] = ""
    ) -> None:
        """Chooses panel row ``row``'s factor and/or display variable by short
        name; None empties the factor row or shows "No display". A factor
        another row shows already is refused (InvalidValueError)."""
        with self._lock:
            lib = library()
            if factor != "":
                index = -1 if factor is None else self._factor_index(factor)
                self._check(lib.tolvane_choose_panel_factor(self._live(), row, index))
            if display != "":
                index = len(displays()) if display is None else self._display_index(display)
                self._check(lib.tolvane_choose_panel_display(self._live(), row, index))

    # ---- respiration ---------------------------------------------------------------

    @property
    def respiration(self) -> Respiration:
        """The live respiration settings."""
        with self._lock:
            natural, bag = ctypes.c_int(), ctypes.c_int()
            numbers = [ctypes.c_double() for _ in range(6)]
            rate, tidal, peep, volume, co2, o2 = numbers
            self._check(
                library().tolvane_get_respiration(
                    self._live(),
                    ctypes.byref(natural),
                    ctypes.byref(rate),
                    ctypes.byref(tidal),
                    ctypes.byref(peep),
                    ctypes.byref(bag),
                    ctypes.byref(volume),
                    ctypes.byref(co2),
                    ctypes.byref(o2),
                )
            )
            return Respiration(
                bool(natural.value),
                rate.value,
                tidal.value,
                peep.value,
                _BAG_NAMES.get(bag.value, str(bag.value)),
                volume.value,
                co2.value,
                o2.value,
            )

    def ventilate(
        self, *, rate: Optional[float] = None, tidal: Optional[float] = None, peep: Optional[float] = None
    ) -> None:
        """The ventilator, as the respiration dialog sets it: rate
        (cycles/minute), tidal volume (ml BTPS) and PEEP (cm water), each held
        to its limits; a setting left out keeps its current value as the
        dialog shows it (rate with 2 decimals, the others with 1)."""
        with self._lock:
            wanted = _with_given(_as_shown(self.respiration), rate=rate, tidal=tidal, peep=peep)
            self._check(library().tolvane_set_ventilation(self._live(), 0, wanted.rate, wanted.tidal, wanted.peep))

    def breathe_naturally(self) -> None:
        """Natural breathing, as the respiration dialog sets it; the bag is kept."""
        with self._lock:
            self._check(library().tolvane_set_ventilation(self._live(), 1, 0.0, 0.0, 0.0))

    def set_bag(
        self,
        state: Union[str, int],
        *,
        volume: Optional[float] = None,
        co2: Optional[float] = None,
        o2: Optional[float] = None,
    ) -> None:
        """The bag state as the respiration dialog sets it: "glottis" (breath
        held), "standard" (room air), "collect", "rebreathe" or "absorber"
        (or its number, 9 to 13). For the three bag states, the bag's volume
        (ml BTPS) and CO2 and O2 (%), held to their limits; a value left out
        keeps its current one as the dialog shows it (with 1 decimal), and so
        do the ventilator's settings."""
        with self._lock:
            number = BAG_STATES.get(state, state) if isinstance(state, str) else state
            if not isinstance(number, int):
                names = ", ".join(BAG_STATES)
                raise error_for(ERR_VALUE, f"unknown bag state {state!r} (one of {names}, or 9 to 13)")
            wanted = _with_given(_as_shown(self.respiration), bag_volume=volume, bag_co2=co2, bag_o2=o2)
            self._check(
                library().tolvane_set_bag(self._live(), number, wanted.bag_volume, wanted.bag_co2, wanted.bag_o2)
            )

    # ---- running ----------------------------------------------------------------------

    @property
    def time(self) -> int:
        """The current simulated time, in seconds since the subject's start."""
        return self._clock()[0]

    @property
    def latest(self) -> int:
        """The latest time reached since the subject's start (a RE-RUN goes back; this stays)."""
        return self._clock()[1]

    @property
    def clock(self) -> str:
        """The current time as the clock shows it ("MM:SS")."""
        return format_time(self.time)

    def _clock(self) -> Tuple[int, int]:
        with self._lock:
            now, latest = ctypes.c_int(), ctypes.c_int()
            self._check(library().tolvane_get_time(self._live(), ctypes.byref(now), ctypes.byref(latest)))
            return now.value, latest.value

    @property
    def dead(self) -> bool:
        """True once the subject has died (until reset() or load())."""
        with self._lock:
            return bool(library().tolvane_is_dead(self._live()))

    def run(self, *, minutes: Optional[int] = None, seconds: Optional[int] = None) -> Run:
        """RUN: ``minutes`` presses of RUN (each to the next whole minute), or
        ``seconds`` seconds. Returns the Run from 00:00 to the new time.

        A death ends the run early and the Run has ``died`` set. A failed
        model step raises StepFailedError (a RuntimeError) carrying the run up
        to the last good second; a later run may go on. A subject that died
        before raises SubjectDeadError.
        """
        if (minutes is None) == (seconds is None):
            raise TypeError("run() takes minutes= or seconds=, one of them")
        count = minutes if seconds is None else seconds
        if isinstance(count, bool) or not isinstance(count, int) or count < 0:
            raise error_for(ERR_VALUE, f"run() wants a whole number 0 or more, got {count!r}")
        with self._lock:
            lib = library()
            call = lib.tolvane_run_minutes if seconds is None else lib.tolvane_run_seconds
            return self._ran(call(self._live(), count, None))

    def _ran(self, result: int, path: Optional[PathLike] = None) -> Run:
        """The Run after a run call: a death is an outcome, a failed step an error."""
        if result == ERR_DIED:
            return self.record(died=True)
        if result == ERR_STEP:
            message = text(library().tolvane_errmsg(self._handle))
            raise StepFailedError(message, item=library().tolvane_failed_item(self._handle), run=self.record())
        self._check(result, path)
        return self.record()

    def rerun(self, *, to: Time) -> None:
        """RE-RUN: the run goes back to ``to`` ("M:SS" or seconds) with every
        value it had then, while what you set since keeps its value. ``to``
        must lie in the last 30 minutes reached and not after now, else
        TimeOutOfRangeError (a ValueError)."""
        with self._lock:
            self._keep_runs()
            self._check(library().tolvane_rerun(self._live(), parse_time(to)))

    # ---- values --------------------------------------------------------------------------

    def value(self, name: Union[str, int], *, at: Optional[Time] = None) -> float:
        """Display variable ``name`` now, or at second ``at`` of the run
        ("M:SS" or seconds); TimeOutOfRangeError for a time outside 00:00 to now."""
        with self._lock:
            index, value = self._display_index(name), ctypes.c_double()
            lib = library()
            if at is None:
                self._check(lib.tolvane_get_display(self._live(), index, ctypes.byref(value)))
            else:
                self._check(lib.tolvane_get_display_at(self._live(), index, parse_time(at), ctypes.byref(value)))
            return value.value

    def values(self, *, at: Optional[Time] = None) -> Dict[str, float]:
        """Every display variable now (or at ``at``), by short name."""
        with self._lock:
            return {variable.name: self.value(variable.index, at=at) for variable in displays()}

    def record(self, *, died: Optional[bool] = None) -> Run:
        """The run as it stands: every display variable at every second from
        00:00 to now, with the notes and events. The values are copied out
        when first read, or before a call that changes the past (RE-RUN,
        RESET, load, a script), whichever comes first."""
        with self._lock:
            end = self._last_recorded()
            run = Run._later(
                lambda: self._copy_values(end), end, self.notes, self.events, self.dead if died is None else died
            )
            self._runs.add(run)
            return run

    def _last_recorded(self) -> int:
        """The last second with values: now, or earlier when failed steps
        advanced the clock without recording (one second each)."""
        seconds = ctypes.c_int()
        self._check(library().tolvane_log_length(self._live(), ctypes.byref(seconds)))
        return seconds.value - 1

    def _copy_values(self, end: int) -> np.ndarray:
        """Seconds 0 to ``end`` of every display variable in one call: the
        library copies its log, a row of variables a second, into the numpy
        buffer; the Run's rows (one a variable) are that buffer's columns."""
        with self._lock:
            by_second = np.empty((end + 1, len(displays())), dtype=np.float32)
            self._check(
                library().tolvane_copy_log(
                    self._live(), _ALL_DISPLAYS, 0, end + 1, by_second.ctypes.data, by_second.size
                )
            )
            return by_second.T

    @property
    def notes(self) -> List[Note]:
        """The clinical notes, oldest first: what the subject reported, and when."""
        with self._lock:
            lib, handle = library(), self._live()
            notes = []
            for k in range(lib.tolvane_note_count(handle)):
                time, note = ctypes.c_int(), ctypes.c_char_p()
                self._check(lib.tolvane_get_note(handle, k, ctypes.byref(time), ctypes.byref(note)))
                notes.append(Note(time.value, text(note.value)))
            return notes

    @property
    def events(self) -> List[Event]:
        """What was done to the run, oldest first (factors set, respiration,
        passport, RE-RUN, load, reset), each with its time."""
        with self._lock:
            lib, handle = library(), self._live()
            events = []
            for k in range(lib.tolvane_event_count(handle)):
                time, kind, what = ctypes.c_int(), ctypes.c_int(), ctypes.c_char_p()
                self._check(
                    lib.tolvane_get_event(handle, k, ctypes.byref(time), ctypes.byref(kind), ctypes.byref(what))
                )
                name = _EVENT_KINDS[kind.value] if 0 <= kind.value < len(_EVENT_KINDS) else str(kind.value)
                events.append(Event(time.value, name, text(what.value)))
            return events

    # ---- CSV and scripts -------------------------------------------------------------------

    def csv(self, *, digits: int = 0) -> str:
        """The run as CSV text, as tolvane-batch --csv writes it: ``time_s`` and
        every display variable, one row a second, with ``digits`` significant
        digits (0: the default 7; 9 gives every value back exactly)."""
        with self._lock:
            data, size = ctypes.c_void_p(), ctypes.c_size_t()
            result = library().tolvane_csv_buffer(self._live(), digits, ctypes.byref(data), ctypes.byref(size))
            buffer = take_buffer(data, size)
            self._check(result)
            return buffer.decode("utf-8")

    def write_csv(self, path: PathLike, *, digits: int = 0) -> None:
        """Writes csv() to a file, replaced whole or left as it was on failure."""
        with self._lock:
            self._check(library().tolvane_write_csv(self._live(), os.fsencode(path), digits))

    def run_script(self, script: str, *, base_dir: Optional[PathLike] = None) -> Run:
        """Runs a scenario script (the text tolvane-batch --script reads) from
        now, and returns the Run as it stands at the end. A "load" line's
        relative path is taken from ``base_dir`` (default: the working folder).

        A line that is not understood raises ScriptError (a ValueError)
        before anything runs; a death ends the script with the Run's
        ``died`` set; a failed step raises StepFailedError.
        """
        with self._lock:
            folder = os.fsencode(base_dir) if base_dir is not None else None
            self._keep_runs()
            return self._ran(library().tolvane_run_script(self._live(), script.encode(), folder))
