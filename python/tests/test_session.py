# SPDX-License-Identifier: Apache-2.0
"""A session's run, RE-RUN, files, settings, notes and events, and the catalogue."""

import os
import pickle
import pydoc
import subprocess
import sys
import sysconfig
import threading
import warnings

import numpy as np
import pytest

import tolvane


def test_catalogue_names_units_limits_and_standard_values():
    factors, displays = tolvane.factors(), tolvane.displays()
    assert len(factors) == 32 and len(displays) == 64
    for table in (factors, displays):
        assert [v.index for v in table] == list(range(len(table)))
        assert len({v.name for v in table}) == len(table)
    # A factor is held to its limits; a display variable's are only the plot's scale.
    for v in factors:
        assert v.minimum <= v.standard <= v.maximum, v
    o2 = factors[tolvane.find_factor("inspired_o2")]
    assert (o2.index, o2.unit, o2.minimum, o2.maximum) == (16, "%", 0.0, 100.0)
    assert o2.standard == pytest.approx(20.93) and not o2.is_pressure
    pao2 = displays[tolvane.find_display("arterial_po2")]
    assert pao2.unit == "mm Hg" and pao2.is_pressure and "kPa" in pao2.kpa_unit
    # The kPa scale is the mm Hg one converted, then rounded to a plot's steps.
    assert pao2.kpa_maximum == pytest.approx(pao2.maximum * tolvane.KPA_PER_MMHG, rel=0.05)
    assert tolvane.find_factor("16") == 16  # an index written as text


def test_names_are_found_in_any_case():
    assert tolvane.find_factor("Inspired_O2") == tolvane.find_factor("inspired_o2")
    assert tolvane.find_display("ARTERIAL_PO2") == tolvane.find_display("arterial_po2")


def test_an_unknown_display_names_the_nearest():
    with pytest.raises(tolvane.UnknownNameError, match="nearest: .*arterial_po2"):
        tolvane.find_display("arterial_p02")


def test_run_holds_every_second_since_the_start_as_arrays(session):
    first = session.run(minutes=2)
    assert session.time == 120 and session.clock == "02:00"
    np.testing.assert_array_equal(first.time, np.arange(121))
    pao2 = first["arterial_po2"]
    assert pao2.shape == (121,) and pao2.dtype == np.float32
    assert 85 < pao2[-1] < 100  # the standard subject at rest
    assert first.units["arterial_po2"] == "mm Hg" and first.units["heart_rate"]
    # Values are the model's single-precision numbers as they are; the
    # library's doubles for one second hold the same numbers.
    assert first.values.shape == (64, 121) and first.values.dtype == np.float32
    assert [float(v) for v in first.values[:, 90]] == list(session.values(at=90).values())

    second = session.run(seconds=30)
    assert second.end == 150 and session.time == 150
    # The first Run is a copy: running on leaves it as it was, and it is read-only.
    assert first.end == 120
    np.testing.assert_array_equal(second["arterial_po2"][:121], pao2)
    with pytest.raises(ValueError):
        pao2[0] = 1.0
    assert second.at("2:30")["heart_rate"] == second["heart_rate"][150] == session.value("heart_rate")
    assert session.values(at=60)["arterial_po2"] == pao2[60]


def test_a_long_run_is_copied_whole_across_blocks(session):
    run = session.run(minutes=140)  # 8,401 seconds: past the library's first block of 8,192
    for second in (0, 2047, 2048, 8191, 8192, 8193, 8400):
        assert run.at(second) == session.values(at=second), second


def test_runs_keep_their_values_through_rerun_reset_and_close():
    with tolvane.Session() as clean:
        three, six = clean.run(minutes=3).values, clean.run(minutes=3).values
    s = tolvane.Session()
    first, second = s.run(minutes=3), s.run(minutes=3)  # neither read yet
    s.rerun(to="1:00")
    s.set(inspired_o2=10)
    third = s.run(minutes=2)
    s.reset()
    s.close()
    np.testing.assert_array_equal(first.values, three)
    np.testing.assert_array_equal(second.values, six)
    np.testing.assert_array_equal(third.values[:, :61], three[:, :61])
    assert third.end == 180 and third["arterial_po2"][-1] < three[tolvane.find_display("arterial_po2"), -1]


def test_rerun_repeats_the_straight_run_bit_for_bit(session):
    session.set(inspired_o2=12)
    straight = session.run(minutes=6)
    session.rerun(to="3:00")
    assert (session.time, session.latest) == (180, 360)
    again = session.run(minutes=3)
    np.testing.assert_array_equal(again.values, straight.values)
    assert [e.kind for e in session.events][-1] == "rerun"


def test_settings_are_recorded_as_events_at_their_time(session):
    session.run(minutes=1)
    assert session.set(inspired_co2=5, work_rate=50) == {"inspired_co2": 5.0, "work_rate": 50.0}
    session.ventilate(rate=20)
    session.set_bag("rebreathe", volume=6000, o2=20.93, co2=0)
    session.breathe_naturally()
    kinds = [(e.time, e.kind) for e in session.events]
    # Natural breathing is the dialog's OK: it enters the bag's fields as
    # they show them too, so O2 20.93 becomes 20.9, a change of the bag.
    assert kinds[-6:] == [(60, "factor")] * 2 + [(60, "respiration")] * 4
    assert [e.text for e in session.events][-6:] == [
        "set 15 5",
        "set 31 50",
        "ventilation artificial rate 20 tidal 467.3 peep 0",
        "bag 12 volume 6000 co2 0 o2 20.93",
        "ventilation natural",
        "bag 12 volume 6000 co2 0 o2 20.9",
    ]
    respiration = session.respiration
    assert respiration.natural and respiration.bag == "rebreathe" and respiration.bag_volume == 6000
    assert session.factor("inspired_co2") == 5.0 and session.factors["work_rate"] == 50.0


def test_ventilator_settings_left_out_keep_their_values(session):
    session.ventilate(rate=20, tidal=600, peep=5)
    session.ventilate(peep=0)
    respiration = session.respiration
    assert (respiration.natural, respiration.rate, respiration.tidal, respiration.peep) == (False, 20, 600, 0)


def test_values_outside_the_limits_are_held_with_a_warning(session):
    with pytest.warns(tolvane.ClampedValueWarning, match="inspired_o2"):
        assert session.set(inspired_o2=150) == {"inspired_o2": 100.0}
    with pytest.warns(tolvane.ClampedValueWarning):
        passport = session.set_passport(age=500)
    assert passport.age == tolvane.passport_limits()["age"][1] < 500
    assert session.factor("inspired_o2") == 100.0


def test_passport_items_left_out_keep_their_values(session):
    before = session.passport
    after = session.set_passport(weight=before.weight + 10, sex="female")
    assert (after.height, after.age, after.sex) == (before.height, before.age, "female")
    assert after.weight == before.weight + 10


def test_save_and_load_give_the_same_subject_and_run(session, checkout, tmp_path):
    subject = checkout / "subjects" / "altitude_450mmHg.sbj"
    session.load(subject)
    assert session.factor("barometric_pressure") == 450 and session.time == 0
    assert session.events[-1].kind == "load"
    session.save(tmp_path / "mine.sbj")
    assert (tmp_path / "mine.sbj").read_bytes() == session.subject_bytes(name=str(tmp_path / "mine.sbj"))
    first = session.run(minutes=2)
    with tolvane.Session(subject=tmp_path / "mine.sbj") as copy:
        np.testing.assert_array_equal(copy.run(minutes=2).values, first.values)
    with tolvane.Session() as from_bytes:
        from_bytes.load_bytes(subject.read_bytes(), name="altitude")
        np.testing.assert_array_equal(from_bytes.run(minutes=2).values, first.values)
    # RESET starts the loaded subject again, not the built-in one.
    session.reset()
    assert session.time == 0 and session.factor("barometric_pressure") == 450


def test_panel_rows_follow_the_subject_and_refuse_a_duplicate(session):
    rows = session.panel
    assert len(rows) == 8 and rows[0][1] == "arterial_po2"
    session.choose_panel(7, factor="haemoglobin", display="heart_rate")
    assert session.panel[7] == ("haemoglobin", "heart_rate")
    with pytest.raises(tolvane.InvalidValueError, match="duplicate"):
        session.choose_panel(6, factor="haemoglobin")
    session.choose_panel(7, factor=None, display=None)
    assert session.panel[7] == (None, None)


def test_a_death_ends_the_run_and_reset_revives(session):
    session.run(minutes=2)
    session.set(cardiac_performance=0)
    run = session.run(minutes=10)
    assert run.died and session.dead and run.end < 600
    assert any("died" in note.text.lower() or "death" in note.text.lower() for note in run.notes)
    with pytest.raises(tolvane.SubjectDeadError):
        session.run(minutes=1)
    session.reset()
    assert not session.dead and session.run(minutes=1).end == 60


def test_a_failed_step_keeps_the_run_before_it(session):
    session.run(minutes=2)
    session.set(lung_volume=0)
    with pytest.raises(tolvane.StepFailedError) as failure:
        session.run(minutes=1)
    assert failure.value.item == 7 and "Item 7" in str(failure.value)
    # The first step after 2:00 failed: the run keeps 0:00 to 2:00.
    kept = failure.value.run
    assert kept.end == 120 and session.record().end == 120
    with tolvane.Session() as clean:
        np.testing.assert_array_equal(kept.values, clean.run(minutes=2).values)
    # Each further try fails again; the clock stays at the last second computed.
    with pytest.raises(tolvane.StepFailedError) as again:
        session.run(minutes=1)
    assert again.value.run.end == 120 and session.time == 120
    # The session stays usable: RESET starts the subject clean.
    session.reset()
    assert session.run(minutes=1).end == 60


def test_two_sessions_in_turn_equal_each_alone():
    def alone(**factors):
        with tolvane.Session(**factors) as s:
            return s.run(minutes=4).values

    with tolvane.Session() as rest, tolvane.Session(inspired_o2=12) as low:
        for _ in range(4):
            rest.run(minutes=1)
            low.run(minutes=1)
        np.testing.assert_array_equal(rest.record().values, alone())
        np.testing.assert_array_equal(low.record().values, alone(inspired_o2=12))


def test_sessions_in_threads_equal_each_alone():
    results = {}

    def work(o2):
        with tolvane.Session(inspired_o2=o2) as s:
            results[o2] = s.run(minutes=3).values

    threads = [threading.Thread(target=work, args=(o2,)) for o2 in (12, 16, 20.93)]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    for o2, values in results.items():
        with tolvane.Session(inspired_o2=o2) as s:
            np.testing.assert_array_equal(s.run(minutes=3).values, values)


def test_csv_and_scripts(session, checkout, tmp_path):
    run = session.run_script("at 1:00 set inspired_co2 5\nrun until 2:00\n")
    assert run.end == 120 and run["alveolar_pco2"][-1] > run["alveolar_pco2"][60]
    text = session.csv()
    lines = text.splitlines()
    assert lines[0].startswith("time_s,") and len(lines) == 122
    session.write_csv(tmp_path / "run.csv")
    assert (tmp_path / "run.csv").read_text(encoding="utf-8") == text
    script = checkout / "scenarios" / "co2_then_rerun.txt"
    scripted = tolvane.run_script(script.read_text(), base_dir=script.parent)
    assert scripted.end == 960 and [e.kind for e in scripted.events].count("rerun") == 1


def test_run_to_dataframe_and_pickle(session):
    run = session.run(minutes=1)
    copy = pickle.loads(pickle.dumps(run))
    np.testing.assert_array_equal(copy.values, run.values)
    assert copy.notes == run.notes and copy.events == run.events
    pandas = pytest.importorskip("pandas")
    frame = run.to_dataframe()
    assert isinstance(frame, pandas.DataFrame) and frame.shape == (61, 64)
    assert frame.index.name == "time_s" and frame["arterial_po2"].iloc[-1] == run["arterial_po2"][-1]
    assert frame.attrs["units"]["arterial_po2"] == "mm Hg"


def test_time_texts():
    assert [tolvane.parse_time(t) for t in ("3:00", "12:05", 90, np.int64(7))] == [180, 725, 90, 7]
    assert tolvane.format_time(725) == "12:05"
    for wrong in ("3:60", "3", "", "a:00", 1.5, True, None):
        with pytest.raises(tolvane.TimeOutOfRangeError):
            tolvane.parse_time(wrong)


def test_help_shows_the_docstrings():
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")
        text = pydoc.render_doc(tolvane.Session, renderer=pydoc.plaintext)
    for phrase in ("with", "run(self, *, minutes", "RE-RUN", "ClampedValueWarning", "-> tolvane.run.Run"):
        assert phrase in text, phrase
    assert "numpy" in pydoc.render_doc(tolvane.Run, renderer=pydoc.plaintext)
    assert tolvane.library_version().startswith("1.") and tolvane.model_version()


@pytest.mark.parametrize(
    "library, words",
    [
        ("/no/such/libtolvane.so.1", ["TOLVANE_LIBRARY", "no such file"]),
        (f"/usr/lib/{sysconfig.get_config_var('MULTIARCH')}/libm.so.6", ["not the Tolvane session library"]),
    ],
    ids=["missing", "another library"],
)
def test_a_wrong_library_fails_the_import_with_what_to_do(library, words, checkout):
    environment = dict(os.environ, TOLVANE_LIBRARY=library, PYTHONPATH=str(checkout / "python"))
    result = subprocess.run([sys.executable, "-c", "import tolvane"], env=environment, capture_output=True, text=True)
    assert result.returncode != 0 and "ImportError" in result.stderr
    for word in words:
        assert word in result.stderr
