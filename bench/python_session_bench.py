#!/usr/bin/env python3
# SPDX-License-Identifier: Apache-2.0
"""The Python module against tolvane-batch: a simulated day without CSV.

    /usr/bin/python3 bench/python_session_bench.py [BUILD_DIR]

Times, best of --repeat runs (wall clock):
  batch    tolvane-batch --minutes 1440 (no CSV), the whole process;
  run      session.run(minutes=1440) on an open Session, in this process;
  arrays   reading the Run's values: every display variable at every
           second (64 x 86,401) copied into one numpy array. The Run copies
           them when first read or when its session closes, so the
           expression Session().run(minutes=1440) costs run + arrays.
Targets: run at most 1.2 x batch; arrays at most 50 ms. Exit status 1 when
one is missed.
"""

import argparse
import os
import pathlib
import subprocess
import sys
import time

CHECKOUT = pathlib.Path(__file__).resolve().parents[1]


def best_of(repeat, work):
    """The shortest of repeat timings of work() (seconds), with work's last result."""
    best, result = float("inf"), None
    for _ in range(repeat):
        start = time.perf_counter()
        result = work()
        best = min(best, time.perf_counter() - start)
    return best, result


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("build", nargs="?", default=CHECKOUT / "build", type=pathlib.Path)
    parser.add_argument("--minutes", type=int, default=1440)
    parser.add_argument("--repeat", type=int, default=3)
    options = parser.parse_args()

    os.environ.setdefault("TOLVANE_LIBRARY", str(options.build / "lib" / "libtolvane.so.1"))
    sys.path.insert(0, str(CHECKOUT / "python"))
    import tolvane

    batch = options.build / "bin" / "tolvane-batch"
    batch_time, _ = best_of(
        options.repeat, lambda: subprocess.run([str(batch), "--minutes", str(options.minutes)], check=True)
    )

    def run_only():
        session = tolvane.Session()
        start = time.perf_counter()
        run = session.run(minutes=options.minutes)
        return time.perf_counter() - start, run

    run_time, run = min((run_only() for _ in range(options.repeat)), key=lambda timed: timed[0])

    def arrays():
        with tolvane.Session() as session:
            session.run(minutes=options.minutes)
            start = time.perf_counter()
            values = session.record().values
            return time.perf_counter() - start, values.shape

    array_time = min(arrays()[0] for _ in range(options.repeat))
    shape = run.values.shape

    ratio = run_time / batch_time
    print(f"simulated minutes          {options.minutes}")
    print(f"tolvane-batch, no CSV      {batch_time * 1000:8.1f} ms")
    print(f"session.run()              {run_time * 1000:8.1f} ms   {ratio:.2f} x batch (target <= 1.20)")
    print(f"numpy arrays {shape[0]} x {shape[1]}  {array_time * 1000:8.1f} ms   (target <= 50)")
    return 0 if ratio <= 1.2 and array_time <= 0.05 else 1


if __name__ == "__main__":
    sys.exit(main())
