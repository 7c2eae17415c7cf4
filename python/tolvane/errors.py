# SPDX-License-Identifier: Apache-2.0
"""The exceptions and warnings of the tolvane module.

Every exception is a :class:`TolvaneError` and also the built-in kind a
Python program expects: an unknown name or a value that is not allowed is a
``ValueError``, an unreadable file an ``OSError`` (a missing one a
``FileNotFoundError``), a failed model step a ``RuntimeError``. The message
is the simulation core's own, as the command line prints it.
"""

import errno
import os

# tolvane_result codes (tolvane/session.h).
OK = 0
ERR_NULL = 1
ERR_NAME = 2
ERR_VALUE = 3
ERR_TIME = 4
ERR_FILE = 5
ERR_FORMAT = 6
ERR_SCRIPT = 7
ERR_DEAD = 8
ERR_DIED = 9
ERR_STEP = 10
ERR_MEMORY = 11
ERR_BUSY = 12


class TolvaneError(Exception):
    """A call into the simulation core failed.

    ``code`` is the core's result code, ``message`` its text.
    """

    def __init__(self, message: str, code: int = 0):
        super().__init__(message)
        self.message = message
        self.code = code

    def __str__(self) -> str:
        return self.message


class SessionClosedError(TolvaneError, ValueError):
    """The session was closed; open a new one."""


class UnknownNameError(TolvaneError, ValueError):
    """No factor or display variable has this name; the message lists the nearest."""


class InvalidValueError(TolvaneError, ValueError):
    """A value that is not a finite number, or not allowed here."""


class TimeOutOfRangeError(TolvaneError, ValueError):
    """A time outside the run or the 30-minute history RE-RUN can reach."""


class SubjectFileError(TolvaneError, OSError):
    """A subject file that cannot be opened, read or written."""


class MissingFileError(SubjectFileError, FileNotFoundError):
    """A subject file that does not exist."""


class SubjectFormatError(TolvaneError, ValueError):
    """A text that is not a valid subject file."""


class ScriptError(TolvaneError, ValueError):
    """A scenario script line that is not understood, or an action refused."""


class SubjectDeadError(TolvaneError, RuntimeError):
    """The subject has died and runs no more until reset() or load()."""


class StepFailedError(TolvaneError, RuntimeError):
    """A model step failed; the seconds before it are kept.

    ``item`` is the failure's item number (1 to 9); ``run`` is the run up to
    the last good second, when the failing call was a run.
    """

    def __init__(self, message: str, code: int = ERR_STEP, item: int = 0, run=None):
        super().__init__(message, code)
        self.item = item
        self.run = run


class SessionBusyError(TolvaneError, RuntimeError):
    """The session was called again from within one of its own steps."""


class ClampedValueWarning(UserWarning):
    """A value was held to its limits (the text names the value and what it became)."""


_CLASSES = {
    ERR_NULL: SessionClosedError,
    ERR_NAME: UnknownNameError,
    ERR_VALUE: InvalidValueError,
    ERR_TIME: TimeOutOfRangeError,
    ERR_FILE: SubjectFileError,
    ERR_FORMAT: SubjectFormatError,
    ERR_SCRIPT: ScriptError,
    ERR_DEAD: SubjectDeadError,
    ERR_STEP: StepFailedError,
    ERR_BUSY: SessionBusyError,
}


def error_for(code: int, message: str, path=None) -> Exception:
    """The exception for a failed call's result code and message.

    ``path`` is the file the call read, so that a missing one becomes a
    :class:`MissingFileError` (with errno and filename set).
    """
    if code == ERR_MEMORY:
        return MemoryError(message)
    if code == ERR_FILE and path is not None and not os.path.exists(path):
        error = MissingFileError(message, code)
        error.errno, error.filename = errno.ENOENT, os.fspath(path)
        return error
    return _CLASSES.get(code, TolvaneError)(message, code)
