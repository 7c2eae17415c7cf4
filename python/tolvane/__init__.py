# SPDX-License-Identifier: Apache-2.0
"""Tolvane, the teaching simulator of human respiration, in Python.

Run, compare and plot lessons in a script or a notebook::

    import tolvane
    with tolvane.Session(inspired_o2=12) as s:   # the standard subject on 12 % O2
        run = s.run(minutes=10)                    # every second since 00:00
    run["arterial_po2"]                            # numpy array, in run.units: mm Hg
    tolvane.factors(), tolvane.displays()          # the catalogue

The module runs the simulation core through the session library
(libtolvane.so.1): the numbers are the window's and tolvane-batch's, bit for
bit. Values are in the model's units (pressures in mm Hg; KPA_PER_MMHG
converts). pandas (Run.to_dataframe) and matplotlib (Run.plot) are used
when installed.

The library is found through the environment variable TOLVANE_LIBRARY (a
path to libtolvane.so.1), else in the build tree beside this package's
source (build/lib), else where the system installs it.
"""

from ._library import library as _loaded_library
from .catalogue import (
    KPA_PER_MMHG,
    Variable,
    displays,
    factors,
    find_display,
    find_factor,
    format_time,
    parse_time,
    passport_limits,
)
from .errors import (
    ClampedValueWarning,
    InvalidValueError,
    MissingFileError,
    ScriptError,
    SessionBusyError,
    SessionClosedError,
    StepFailedError,
    SubjectDeadError,
    SubjectFileError,
    SubjectFormatError,
    TimeOutOfRangeError,
    TolvaneError,
    UnknownNameError,
)
from .run import Event, Note, Run
from .session import BAG_STATES, Passport, Respiration, Session
from .sweep import run_script, sweep

_loaded_library()  # fails here, with what to do, when the library cannot be found


def library_version() -> str:
    """The loaded session library's version ("1.0.0")."""
    return _loaded_library().tolvane_session_version().decode()


def model_version() -> str:
    """The model's identification text ("Model version 2.01")."""
    return _loaded_library().tolvane_model_version().decode()


__all__ = [
    "BAG_STATES",
    "KPA_PER_MMHG",
    "ClampedValueWarning",
    "Event",
    "InvalidValueError",
    "MissingFileError",
    "Note",
    "Passport",
    "Respiration",
    "Run",
    "ScriptError",
    "Session",
    "SessionBusyError",
    "SessionClosedError",
    "StepFailedError",
    "SubjectDeadError",
    "SubjectFileError",
    "SubjectFormatError",
    "TimeOutOfRangeError",
    "TolvaneError",
    "UnknownNameError",
    "Variable",
    "displays",
    "factors",
    "find_display",
    "find_factor",
    "format_time",
    "library_version",
    "model_version",
    "parse_time",
    "passport_limits",
    "run_script",
    "sweep",
]
