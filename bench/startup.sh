#!/usr/bin/env bash
# Start-up until the main window is painted and the event loop is idle (the
# program has made every window by then), against a bare desktop-sized main
# window showing one line of text, run alternately so both see the same machine.
# Reports wall-clock and processor time (user + system) of the whole process.
# Usage: bench/startup.sh <build folder> [runs] (default 20). Uses the
# platform in QT_QPA_PLATFORM (offscreen when unset); set DISPLAY and
# QT_QPA_PLATFORM=xcb to measure under an X server.
set -eu
build=$(cd "${1:?build folder}" && pwd)
runs=${2:-20}
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
# The program reads its yarn list from the current folder; start it in an empty one.
cd "$scratch"

python3 - "$build/bench/startup_bare" "$build/bench/startup_purlwise" "$runs" <<'PY'
import os, statistics, subprocess, sys, time

bare, program, runs = sys.argv[1], sys.argv[2], int(sys.argv[3])

def run(path, attempts=5):
    with open("stderr", "w+") as errors:
        start = time.perf_counter()
        child = subprocess.Popen([path], stdout=subprocess.DEVNULL, stderr=errors)
        _, status, usage = os.wait4(child.pid, 0)
        wall = time.perf_counter() - start
        if status != 0:
            errors.seek(0)
            text = errors.read()
            # A busy X server sometimes turns a connection away; that run does not count.
            if "could not connect to display" in text and attempts > 1:
                time.sleep(0.2)
                return run(path, attempts - 1)
            sys.exit(f"{path} ended with status {status}:\n{text}")
    return wall * 1e3, (usage.ru_utime + usage.ru_stime) * 1e3, usage.ru_maxrss / 1024

results = {"bare": [], "purlwise": []}
for _ in range(runs):
    results["bare"].append(run(bare))
    results["purlwise"].append(run(program))

print(f"runs  {runs} of each, alternating")
for column, label in ((0, "wall"), (1, "cpu")):
    b = [r[column] for r in results["bare"]]
    p = [r[column] for r in results["purlwise"]]
    pairs = statistics.median(x / y for x, y in zip(p, b))
    print(f"{label:5} bare {statistics.median(b):7.1f} ms  purlwise {statistics.median(p):7.1f} ms  "
          f"ratio of medians {statistics.median(p) / statistics.median(b):.2f}  median of ratios {pairs:.2f}")
print(f"peak  bare {max(r[2] for r in results['bare']):.1f} MB  purlwise {max(r[2] for r in results['purlwise']):.1f} MB")
PY
