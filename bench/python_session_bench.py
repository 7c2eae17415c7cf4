#!/usr/bin/env python3
# SPDX-License-Identifier: Apache-2.0
"""The Python module against tolvane-batch: a simulated day without CSV.

    /usr/bin/python3 bench/python_session_bench.py [BUILD_DIR]

Times, best of --repeat runs, wall clock and CPU time (user + system; on a
machine shared with other work the CPU time is the steadier figure):
  batch    tolvane-batch --minutes 1440 (no CSV), the whole process;
  run      session.run(minutes=1440) on an open Session, in this process;
  arrays   reading the Run's values: every display variable at every
           second (64 x 86,401, float32) copied into one numpy array by one
           library call. The Run copies them when first read or when its
           session changes its past, so the expression
           Session().run(minutes=1440) costs run + arrays;
  minutes  1440 calls of session.run(minutes=1), what a notebook loop
           pays per call on top of the simulation.
Targets: run at most 1.2 x batch (wall clock, and CPU time); arrays at most
50 ms. Exit status 1 when one is missed.
"""

import argparse
import os
import pathlib
import resource
import subprocess
import sys
import time

CHECKOUT = pathlib.Path(__file__).resolve().parents[1]


def cpu_seconds(who=resource.RUSAGE_SELF):
    usage = resource.getrusage(who)
    return usage.ru_utime + usage.ru_stime


def best_of(repeat, prepare, work, who=resource.RUSAGE_SELF):
    """The shortest wall and CPU times (seconds) of repeat calls of
    work(prepare()); prepare's own cost is not counted."""
    best_wall, best_cpu = float("inf"), float("inf")
    for _ in range(repeat):
        thing = prepare()
        cpu, start = cpu_seconds(who), time.perf_counter()
        work(thing)
        best_wall = min(best_wall, time.perf_counter() - start)
        best_cpu = min(best_cpu, cpu_seconds(who) - cpu)
    return best_wall, best_cpu


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("build", nargs="?", default=CHECKOUT / "build", type=pathlib.Path)
    parser.add_argument("--minutes", type=int, default=1440)
    parser.add_argument("--repeat", type=int, default=5)
    options = parser.parse_args()
    minutes = options.minutes

    os.environ.setdefault("TOLVANE_LIBRARY", str(options.build / "lib" / "libtolvane.so.1"))
    sys.path.insert(0, str(CHECKOUT / "python"))
    import tolvane

    command = [str(options.build / "bin" / "tolvane-batch"), "--minutes", str(minutes)]
    batch = best_of(
        options.repeat,
        lambda: None,
        lambda _: subprocess.run(command, check=True, stdout=subprocess.DEVNULL),
        resource.RUSAGE_CHILDREN,
    )
    run = best_of(options.repeat, tolvane.Session, lambda session: session.run(minutes=minutes))
    arrays = best_of(options.repeat, lambda: tolvane.Session().run(minutes=minutes), lambda run: run.values)
    loop = best_of(options.repeat, tolvane.Session, lambda session: [session.run(minutes=1) for _ in range(minutes)])

    ratio_wall, ratio_cpu = run[0] / batch[0], run[1] / batch[1]
    ms = 1000.0
    seconds = minutes * 60 + 1
    print(f"simulated minutes              {minutes}")
    print("                               wall ms    CPU ms")
    print(f"tolvane-batch, no CSV         {batch[0] * ms:8.1f}  {batch[1] * ms:8.1f}")
    print(
        f"session.run()                 {run[0] * ms:8.1f}  {run[1] * ms:8.1f}   "
        f"{ratio_wall:.2f} / {ratio_cpu:.2f} x batch (target <= 1.20)"
    )
    print(f"numpy arrays 64 x {seconds:<11} {arrays[0] * ms:8.1f}  {arrays[1] * ms:8.1f}   (target <= 50)")
    print(
        f"{minutes} x run(minutes=1)        {loop[0] * ms:8.1f}  {loop[1] * ms:8.1f}   "
        f"{(loop[1] - run[1]) / minutes * 1e6:.0f} us CPU a call beyond one run()"
    )
    return 0 if max(ratio_wall, ratio_cpu) <= 1.2 and arrays[0] <= 0.05 else 1


if __name__ == "__main__":
    sys.exit(main())
