#!/usr/bin/env bash
# Start-up to the first painted main window: the program against a bare,
# desktop-sized main window, run alternately so both see the same machine.
# Usage: bench/startup.sh <build folder> [runs] (default 20). Uses the
# platform in QT_QPA_PLATFORM (offscreen when unset); set DISPLAY and
# QT_QPA_PLATFORM=xcb to measure under an X server.
set -eu
build=$(cd "${1:?build folder}" && pwd)
runs=${2:-20}
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
program=$build/bench/startup_purlwise
bare=$build/bench/startup_bare
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
# The program reads its yarn list from the current folder; start it in an empty one.
cd "$scratch"

measure() { # wall time in nanoseconds
    local start end
    start=$(date +%s%N)
    "$1" >/dev/null 2>&1
    end=$(date +%s%N)
    echo $((end - start))
}

: >"$scratch/times"
for ((i = 0; i < runs; ++i)); do
    echo "bare $(measure "$bare")" >>"$scratch/times"
    echo "purlwise $(measure "$program")" >>"$scratch/times"
done
peak_bare=$(/usr/bin/time -f '%M' "$bare" 2>&1 >/dev/null | tail -1)
peak_program=$(/usr/bin/time -f '%M' "$program" 2>&1 >/dev/null | tail -1)

python3 - "$scratch/times" "$peak_bare" "$peak_program" <<'PY'
import statistics, sys
times = {"bare": [], "purlwise": []}
pairs = []
for line in open(sys.argv[1]):
    name, ns = line.split()
    times[name].append(int(ns) / 1e6)
for b, p in zip(times["bare"], times["purlwise"]):
    pairs.append(p / b)
mb = statistics.median(times["bare"])
mp = statistics.median(times["purlwise"])
print(f"runs              {len(pairs)} of each, alternating")
print(f"bare window       median {mb:7.1f} ms   peak {int(sys.argv[2]) / 1024:6.1f} MB")
print(f"purlwise          median {mp:7.1f} ms   peak {int(sys.argv[3]) / 1024:6.1f} MB")
print(f"ratio of medians  {mp / mb:.2f}")
print(f"median of ratios  {statistics.median(pairs):.2f}")
PY
