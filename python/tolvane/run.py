# SPDX-License-Identifier: Apache-2.0
"""A Run: every display variable at every second of a run, as numpy arrays."""

from typing import Callable, Dict, Iterator, List, NamedTuple, Optional, Sequence, Union

import numpy as np

from .catalogue import displays, find_display, format_time, parse_time
from .errors import ERR_TIME, error_for


class Note(NamedTuple):
    """A clinical note: what the subject reported, and when (seconds)."""

    time: int
    text: str


class Event(NamedTuple):
    """Something done to the run: its time (seconds), kind ("factor",
    "respiration", "passport", "rerun", "load" or "reset") and a short text."""

    time: int
    kind: str
    text: str


class Run:
    """Every display variable at every second from the subject's start (0) to
    the end of a run, copied out of a session, so later calls on the session
    leave it as it is.

    ``run["arterial_po2"]`` is one variable as a read-only numpy array of
    float32 (the model's single-precision values as they are, in the units
    ``run.units`` names: pressures in mm Hg), ``run.time`` the seconds they
    belong to. A run that
    the subject's death ended has ``died`` set; ``notes`` and ``events`` are
    the session's at the end of the run.
    """

    def __init__(
        self,
        values: np.ndarray,
        notes: Sequence[Note] = (),
        events: Sequence[Event] = (),
        died: bool = False,
    ):
        self._values: Optional[np.ndarray] = None
        self._fetch: Optional[Callable[[], np.ndarray]] = None
        self._time: Optional[np.ndarray] = None
        self._keep(values)
        self.notes: List[Note] = list(notes)
        self.events: List[Event] = list(events)
        self.died = died

    @classmethod
    def _later(cls, fetch: Callable[[], np.ndarray], end: int, notes, events, died: bool) -> "Run":
        """A Run whose values are copied out only when first read: ``fetch``
        returns them, and the session calls ``_materialize()`` before anything
        that could change the seconds 0 to ``end`` (RE-RUN, RESET, load).
        Nothing is allocated for the seconds meanwhile, so a run() a minute
        costs the same on the first day as on the tenth."""
        run = cls.__new__(cls)
        run._values, run._fetch, run._time, run._end = None, fetch, None, end
        run.notes, run.events, run.died = list(notes), list(events), died
        return run

    def _keep(self, values: np.ndarray) -> None:
        self._values = values
        self._values.flags.writeable = False
        self._end = values.shape[1] - 1

    def _materialize(self) -> None:
        if self._fetch is not None:
            fetch, self._fetch = self._fetch, None
            self._keep(fetch())

    @property
    def time(self) -> np.ndarray:
        """The seconds since the subject's start, 0 to ``end``."""
        if self._time is None:
            self._time = np.arange(self._end + 1, dtype=np.int64)
            self._time.flags.writeable = False
        return self._time

    @property
    def minutes(self) -> np.ndarray:
        """``time`` in minutes, for plotting."""
        return self.time / 60.0

    @property
    def end(self) -> int:
        """The last second of the run."""
        return self._end

    @property
    def values(self) -> np.ndarray:
        """All variables: row i is display variable i (``tolvane.displays()[i]``)."""
        self._materialize()
        return self._values

    @property
    def names(self) -> List[str]:
        """The display variables' short names, in catalogue order."""
        return [variable.name for variable in displays()]

    @property
    def units(self) -> Dict[str, str]:
        """Each display variable's unit, by short name (pressures in mm Hg)."""
        return {variable.name: variable.unit for variable in displays()}

    def __getitem__(self, name: Union[str, int]) -> np.ndarray:
        """One display variable, by short name (any case) or index, at every second.

        Raises UnknownNameError (a ValueError) with the nearest names.
        """
        return self.values[find_display(name)]

    def __contains__(self, name: object) -> bool:
        return isinstance(name, str) and name.lower() in self.names

    def __iter__(self) -> Iterator[str]:
        return iter(self.names)

    def at(self, time: Union[str, int]) -> Dict[str, float]:
        """Every display variable at one second ("M:SS" or seconds), by short name.

        Raises TimeOutOfRangeError (a ValueError) for a second outside the run.
        """
        second = parse_time(time)
        if not 0 <= second <= self.end:
            message = f"time {format_time(second)} is outside the run (00:00 to {format_time(self.end)})"
            raise error_for(ERR_TIME, message)
        return {name: float(value) for name, value in zip(self.names, self.values[:, second])}

    def to_dataframe(self):
        """The run as a pandas DataFrame: one row a second (index ``time_s``),
        one column a display variable by short name. Needs pandas."""
        import pandas

        frame = pandas.DataFrame(self.values.T, columns=self.names, index=pandas.Index(self.time, name="time_s"))
        frame.attrs["units"] = self.units
        return frame

    def plot(self, *names: str, ax=None, label: Optional[str] = None):
        """Draws the named variables against minutes with matplotlib (on ``ax``,
        or the current axes) and returns the axes. ``label`` goes before each
        line's name in the legend. Needs matplotlib."""
        if ax is None:
            import matplotlib.pyplot

            ax = matplotlib.pyplot.gca()
        units = self.units
        for name in names:
            variable = displays()[find_display(name)]
            text = f"{variable.long_name} ({units[variable.name]})" if units[variable.name] else variable.long_name
            ax.plot(self.minutes, self[name], label=f"{label}: {text}" if label else text)
        ax.set_xlabel("time (min)")
        ax.legend()
        return ax

    def __repr__(self) -> str:
        ending = ", died" if self.died else ""
        return f"<tolvane.Run 00:00 to {format_time(self.end)}, {len(displays())} variables{ending}>"

    def __reduce__(self):
        # Picklable for sweep(): values and texts only.
        return (Run, (np.array(self.values), self.notes, self.events, self.died))
