# SPDX-License-Identifier: Apache-2.0
"""Bad input raises a clear exception with the core's message and leaves the
session usable: the run after it equals a run that never saw the bad input."""

import math

import numpy as np
import pytest

import tolvane


def clean_run(minutes: int) -> np.ndarray:
    with tolvane.Session(inspired_o2=15) as s:
        s.run(minutes=1)
        return s.run(minutes=minutes - 1).values


BAD_CALLS = [
    # (what, call, exception, words the message holds)
    ("unknown factor", lambda s: s.set(inspired_02=12), tolvane.UnknownNameError, ["inspired_02", "inspired_o2"]),
    ("unknown display", lambda s: s.value("arterial_p02"), tolvane.UnknownNameError, ["arterial_p02", "arterial_po2"]),
    ("factor index", lambda s: s.factor(32), tolvane.UnknownNameError, ["32"]),
    ("NaN factor", lambda s: s.set(work_rate=math.nan), tolvane.InvalidValueError, ["nan"]),
    ("one bad of two", lambda s: s.set(work_rate=50, haemoglobn=7), tolvane.UnknownNameError, ["haemoglobin"]),
    ("infinite passport", lambda s: s.set_passport(height=math.inf), tolvane.InvalidValueError, []),
    ("NaN ventilator", lambda s: s.ventilate(rate=math.nan), tolvane.InvalidValueError, []),
    ("bag gases", lambda s: s.set_bag("collect", co2=20, o2=90), tolvane.InvalidValueError, []),
    ("bag state", lambda s: s.set_bag("bucket"), tolvane.InvalidValueError, ["absorber"]),
    ("sex", lambda s: s.set_passport(sex="other"), tolvane.InvalidValueError, ["female"]),
    ("time after now", lambda s: s.rerun(to="5:00"), tolvane.TimeOutOfRangeError, []),
    ("value after now", lambda s: s.value("heart_rate", at=61), tolvane.TimeOutOfRangeError, []),
    ("time text", lambda s: s.rerun(to="0:75"), tolvane.TimeOutOfRangeError, ["0:75"]),
    ("negative run", lambda s: s.run(minutes=-1), tolvane.InvalidValueError, []),
    ("missing file", lambda s: s.load("no/such/subject.sbj"), tolvane.MissingFileError, ["no/such/subject.sbj"]),
    ("no subject file", lambda s: s.load_bytes(b"hello\n", name="notes.txt"), tolvane.SubjectFormatError, []),
    ("unwritable file", lambda s: s.save("/no/such/folder/x.sbj"), tolvane.SubjectFileError, ["x.sbj"]),
    ("script line", lambda s: s.run_script("at 2:00 jump\nrun until 3:00\n"), tolvane.ScriptError, ["jump"]),
    ("script name", lambda s: s.run_script("at 2:00 set inspired_02 5\n"), tolvane.ScriptError, ["inspired_o2"]),
]


@pytest.mark.parametrize("what, call, exception, words", BAD_CALLS, ids=[row[0] for row in BAD_CALLS])
def test_bad_input_raises_and_changes_nothing(what, call, exception, words):
    with tolvane.Session(inspired_o2=15) as s:
        s.run(minutes=1)
        before = (s.factors, s.passport, s.respiration, s.panel, len(s.events), s.time)
        with pytest.raises(exception) as raised:
            call(s)
        message = str(raised.value)
        assert isinstance(raised.value, tolvane.TolvaneError) and message
        for word in words:
            assert word in message, (word, message)
        assert (s.factors, s.passport, s.respiration, s.panel, len(s.events), s.time) == before
        np.testing.assert_array_equal(s.run(minutes=2).values, clean_run(3))


def test_python_kinds_of_the_exceptions():
    # Programs catch the built-in kinds, as numpy's users do.
    assert issubclass(tolvane.UnknownNameError, ValueError)
    assert issubclass(tolvane.InvalidValueError, ValueError)
    assert issubclass(tolvane.TimeOutOfRangeError, ValueError)
    assert issubclass(tolvane.MissingFileError, FileNotFoundError)
    assert issubclass(tolvane.SubjectFileError, OSError)
    assert issubclass(tolvane.StepFailedError, RuntimeError)
    with tolvane.Session() as s, pytest.raises(FileNotFoundError) as raised:
        s.load("missing.sbj")
    assert raised.value.filename == "missing.sbj"


def test_a_time_before_the_history_is_refused(session):
    session.run(minutes=32)
    with pytest.raises(tolvane.TimeOutOfRangeError):
        session.rerun(to="2:00")
    session.rerun(to="2:01")  # the oldest second the 30 minutes hold: 32:00 - 1799 s
    assert session.time == 121
    # The log still reaches every second since the start.
    assert session.record().end == 121 and session.value("heart_rate", at=0) > 0


def test_a_closed_session_refuses_every_call():
    s = tolvane.Session()
    with s:
        s.run(minutes=1)
    assert s.closed
    for call in (lambda: s.run(minutes=1), lambda: s.set(inspired_o2=12), lambda: s.time, lambda: s.record()):
        with pytest.raises(tolvane.SessionClosedError, match="closed"):
            call()
    s.close()  # twice is harmless
    assert repr(s) == "<tolvane.Session closed>"
    # Other sessions are untouched.
    with tolvane.Session() as other:
        assert other.run(minutes=1).end == 60


def test_run_names_and_times_are_checked(session):
    run = session.run(minutes=1)
    with pytest.raises(tolvane.UnknownNameError, match="arterial_p02"):
        run["arterial_p02"]
    with pytest.raises(tolvane.TimeOutOfRangeError):
        run.at("1:01")
    with pytest.raises(TypeError):
        session.run(minutes=1, seconds=5)
    assert run["arterial_po2"] is not None and "arterial_po2" in run and "x" not in run
