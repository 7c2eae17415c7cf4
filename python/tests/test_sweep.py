# SPDX-License-Identifier: Apache-2.0
"""tolvane.sweep spreads runs over processes and gives what a loop gives."""

import os

import numpy as np
import pytest

import tolvane


def end_values(o2):
    with tolvane.Session(inspired_o2=o2) as s:
        run = s.run(minutes=2)
    return os.getpid(), run


def test_sweep_over_processes_equals_a_loop_in_order():
    values = [21, 8, 16, 12]
    swept = tolvane.sweep(end_values, values, processes=2)
    looped = [end_values(v) for v in values]
    assert {pid for pid, _ in swept} - {os.getpid()}  # ran in workers
    for (_, a), (_, b) in zip(swept, looped):
        np.testing.assert_array_equal(a.values, b.values)
        assert a.events == b.events and a.notes == b.notes
    ends = [run["arterial_po2"][-1] for _, run in swept]
    assert ends[0] > ends[2] > ends[3] > ends[1]  # the order of the values


def test_sweep_takes_a_lambda_and_one_process_stays_here():
    here = os.getpid()
    assert tolvane.sweep(lambda v: (os.getpid(), v * 2), [1, 2], processes=1) == [(here, 2), (here, 4)]
    swept = tolvane.sweep(lambda v: tolvane.Session(work_rate=v).factor("work_rate"), [0, 50, 100], processes=2)
    assert swept == [0.0, 50.0, 100.0]
    assert tolvane.sweep(abs, [], processes=4) == []
    with pytest.raises(ValueError):
        tolvane.sweep(abs, [1], processes=0)


def test_an_error_in_a_worker_reaches_the_caller():
    with pytest.raises(tolvane.UnknownNameError, match="inspired_o2"):
        tolvane.sweep(lambda name: tolvane.Session().set(**{name: 1}), ["inspired_o2", "inspired_02"], processes=2)
