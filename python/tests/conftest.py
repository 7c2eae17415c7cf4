# SPDX-License-Identifier: Apache-2.0
"""Shared fixtures: the checkout's folders, tolvane-batch, a fresh session.

ctest runs these tests with TOLVANE_LIBRARY (the built libtolvane.so.1) and
TOLVANE_BATCH (the built tolvane-batch) set; by hand they default to the
checkout's build/ folder.
"""

import os
import pathlib
import subprocess
import sys

import pytest

CHECKOUT = pathlib.Path(__file__).resolve().parents[2]
sys.path.insert(0, str(CHECKOUT / "python"))

import tolvane  # noqa: E402  (after the path above)


@pytest.fixture(scope="session")
def checkout() -> pathlib.Path:
    return CHECKOUT


@pytest.fixture(scope="session")
def batch() -> pathlib.Path:
    path = pathlib.Path(os.environ.get("TOLVANE_BATCH", CHECKOUT / "build" / "bin" / "tolvane-batch"))
    if not path.exists():
        pytest.fail(f"tolvane-batch not found at {path}; set TOLVANE_BATCH")
    return path


@pytest.fixture(scope="session")
def batch_digits(batch) -> int:
    """9 once tolvane-batch takes --digits, else the 7 it always writes."""
    probe = subprocess.run([str(batch), "--digits", "9", "--minutes", "0"], capture_output=True)
    return 9 if probe.returncode == 0 else 7


@pytest.fixture
def session():
    with tolvane.Session() as s:
        yield s
