# SPDX-License-Identifier: Apache-2.0
"""Every value the module hands out equals, bit for bit, what tolvane-batch
writes for the shipped scenarios and teaching subjects."""

import pathlib
import subprocess

import numpy as np
import pytest

import tolvane

CHECKOUT = pathlib.Path(__file__).resolve().parents[2]
SCENARIOS = sorted((CHECKOUT / "scenarios").glob("*.txt"))
SUBJECTS = sorted((CHECKOUT / "subjects").glob("*.sbj"))


def batch_csv(batch, digits, arguments, tmp_path):
    """tolvane-batch's CSV for these arguments: (seconds, header, values as numbers)."""
    csv = tmp_path / "batch.csv"
    digit_option = ["--digits", str(digits)] if digits != 7 else []
    subprocess.run([str(batch), *arguments, *digit_option, "--csv", str(csv)], check=True, capture_output=True)
    lines = csv.read_text(encoding="utf-8").splitlines()
    table = np.array([line.split(",") for line in lines[1:]], dtype=np.float64)
    return table[:, 0].astype(np.int64), lines[0], table[:, 1:]


def written_as(written: np.ndarray, values: np.ndarray, digits: int) -> np.ndarray:
    """Where the numbers read from text with digits significant digits are
    values written: at 9 digits, the single-precision numbers read back are
    values' bit for bit (and values are single-precision numbers); below, the
    text is values correctly rounded (either way at an exact tie)."""
    if digits == 9:
        single = values.astype(np.float32)
        return (written.astype(np.float32).view(np.uint32) == single.view(np.uint32)) & (single == values)
    magnitude = np.abs(values)
    exponent = np.floor(np.log10(np.where(magnitude > 0, magnitude, 1.0)))
    half_unit = 0.5 * 10.0 ** (exponent - (digits - 1))
    return np.abs(written - values) <= half_unit * (1 + 1e-9)


def assert_run_equals_csv(run: tolvane.Run, csv, digits: int):
    seconds, header, written = csv
    assert header.split(",")[0] == "time_s"
    assert written.shape[1] == len(tolvane.displays())
    np.testing.assert_array_equal(run.time, seconds)
    same = written_as(written, run.values.T, digits)
    if not same.all():
        second, index = np.argwhere(~same)[0]
        name = tolvane.displays()[index].name
        pytest.fail(f"{(~same).sum()} values differ; first {name} at {second} s: "
                    f"module {run.values[index, second]!r}, CSV {written[second, index]!r} ({digits} digits)")


@pytest.mark.parametrize("script", SCENARIOS)
def test_scenario_equals_batch(script, batch, batch_digits, tmp_path):
    run = tolvane.run_script(script.read_text(), base_dir=script.parent)
    assert_run_equals_csv(run, batch_csv(batch, batch_digits, ["--script", str(script)], tmp_path), batch_digits)


def test_bag_lessons_through_calls_equal_batch(batch, batch_digits, tmp_path):
    """The bag scenarios done with the module's calls instead of a script."""
    with tolvane.Session() as s:
        s.run(minutes=1)
        s.set_bag("rebreathe", volume=6000, o2=20.93, co2=0)
        s.run(minutes=3)
        s.set_bag("standard")
        s.run(minutes=4)
        s.set_bag("absorber", volume=6000, o2=20.93, co2=0)
        s.run(minutes=3)
        s.set_bag("standard")
        rebreathing = s.run(minutes=4)
    with tolvane.Session() as s:
        s.run(minutes=3)
        s.rerun(to="2:30")
        s.set_bag("glottis")
        s.run(seconds=90)
        s.set_bag("standard")
        breath_hold = s.run(minutes=6)
    for run, name in ((rebreathing, "rebreathing"), (breath_hold, "breath_hold")):
        arguments = ["--script", str(CHECKOUT / "scenarios" / f"{name}.txt")]
        assert_run_equals_csv(run, batch_csv(batch, batch_digits, arguments, tmp_path), batch_digits)


VENTILATION_SCRIPT = (
    "at 1:00 ventilation artificial rate 20\n"
    "at 3:00 bag collect volume 3000\n"
    "at 4:00 ventilation natural\n"
    "run until 6:00\n"
)


@pytest.mark.parametrize("through", ["calls", "script"])
def test_settings_left_out_are_entered_as_the_dialog_shows_them(through, batch, batch_digits, tmp_path):
    """ventilate() and set_bag() with some settings left out, or the script
    lines doing the same: those keep the value the dialog's field shows
    (natural breathing leaves the tidal volume with more decimals than the
    field's one), as tolvane-batch's lines do."""
    script = tmp_path / "ventilation.txt"
    script.write_text(VENTILATION_SCRIPT)
    if through == "script":
        run = tolvane.run_script(VENTILATION_SCRIPT)
    else:
        with tolvane.Session() as s:
            s.run(minutes=1)
            tidal = s.respiration.tidal
            assert tidal != round(tidal, 1)
            s.ventilate(rate=20)
            assert s.respiration.tidal == pytest.approx(round(tidal, 1), abs=1e-4)
            s.run(minutes=2)
            s.set_bag("collect", volume=3000)
            s.run(minutes=1)
            s.breathe_naturally()
            run = s.run(minutes=2)
    assert_run_equals_csv(run, batch_csv(batch, batch_digits, ["--script", str(script)], tmp_path), batch_digits)


@pytest.mark.parametrize("subject", SUBJECTS, ids=[path.stem for path in SUBJECTS])
def test_teaching_subject_equals_batch(subject, batch, batch_digits, tmp_path):
    with tolvane.Session(subject=subject) as s:
        run = s.run(minutes=10)
        # The single values agree with the Run's arrays, now and in the past.
        assert s.value("arterial_po2") == run["arterial_po2"][-1]
        assert s.value("heart_rate", at="0:30") == run["heart_rate"][30]
    arguments = ["--subject", str(subject), "--minutes", "10"]
    assert_run_equals_csv(run, batch_csv(batch, batch_digits, arguments, tmp_path), batch_digits)


def test_set_factor_equals_batch_set(batch, batch_digits, tmp_path):
    with tolvane.Session(inspired_o2=12) as s:
        run = s.run(minutes=5)
        csv_text = s.csv(digits=batch_digits if batch_digits != 7 else 0)
    arguments = ["--set", "inspired_o2=12", "--minutes", "5"]
    assert_run_equals_csv(run, batch_csv(batch, batch_digits, arguments, tmp_path), batch_digits)
    # The session's own CSV is the batch runner's, byte for byte.
    assert csv_text == (tmp_path / "batch.csv").read_text(encoding="utf-8")


def test_written_as_tells_digits_apart():
    # 1.0000001 needs 8 digits to come back as the same single-precision number.
    value = np.array([float(np.float32(1.0000001)), 0.5, float(np.float32(1e-5) * 3)])
    assert written_as(np.array(["%.9g" % v for v in value], dtype=float), value, 9).all()
    assert not written_as(np.array(["%.7g" % v for v in value], dtype=float), value, 9)[0]
    assert written_as(np.array(["%.7g" % v for v in value], dtype=float), value, 7).all()
    assert not written_as(np.array([1.000001, 0.5, 3e-5]), value, 7)[0]
    # A value that is no single-precision number cannot be written at 9 digits.
    assert not written_as(np.array([0.1]), np.array([0.1]), 9)[0]
