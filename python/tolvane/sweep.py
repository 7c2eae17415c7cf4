# SPDX-License-Identifier: Apache-2.0
"""Runs beyond one session: a whole scenario script, and a sweep over processes."""

import multiprocessing
import os
import threading
from typing import Callable, Iterable, List, Optional, TypeVar

from .run import Run
from .session import PathLike, Session

Value = TypeVar("Value")
Result = TypeVar("Result")


def run_script(script: str, *, subject: Optional[PathLike] = None, base_dir: Optional[PathLike] = None) -> Run:
    """Runs a scenario script on a fresh session (the standard subject, or the
    subject file ``subject``) and returns the Run as it stands at the end, as
    ``tolvane-batch --script`` runs it. A "load" line's relative path is taken
    from ``base_dir`` (default: the working folder)."""
    with Session(subject=subject) as session:
        return session.run_script(script, base_dir=base_dir)


def sweep(
    function: Callable[[Value], Result], values: Iterable[Value], *, processes: Optional[int] = None
) -> List[Result]:
    """``[function(v) for v in values]``, spread over ``processes`` worker
    processes (default: one per processor) with multiprocessing.

    Each call runs in a worker process, so it makes its own sessions;
    results come back in the order of ``values`` and must be picklable (a
    Run, numbers and numpy arrays are). On Linux the workers are forked and
    inherit ``function``, so it may be a lambda or be defined in a notebook.
    ``processes=1`` calls ``function`` in this process, one value after the
    other.
    """
    values = list(values)
    if processes is not None and processes < 1:
        raise ValueError(f"processes must be 1 or more, got {processes}")
    workers = min(processes or os.cpu_count() or 1, len(values))
    if workers <= 1:
        return [function(value) for value in values]
    if "fork" not in multiprocessing.get_all_start_methods():
        with multiprocessing.get_context().Pool(workers) as pool:
            return pool.map(function, values, chunksize=1)
    # Forked workers inherit the function, so it need not be picklable (a
    # lambda, or a function of a notebook or an exec()).
    global _inherited
    with _inherited_lock:
        _inherited = function
        try:
            with multiprocessing.get_context("fork").Pool(workers) as pool:
                return pool.map(_call_inherited, values, chunksize=1)
        finally:
            _inherited = None


_inherited: Optional[Callable] = None
_inherited_lock = threading.Lock()


def _call_inherited(value):
    return _inherited(value)
