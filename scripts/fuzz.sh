#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each one for a while
# (FUZZ_SECONDS, 60 by default) from its seed corpus. Any crash, leak or
# sanitizer report stops the script with a failure.
#   scripts/fuzz.sh                  every target
#   scripts/fuzz.sh picture_wmf ...  only the targets named (without fuzz_)
# FUZZ_PARALLEL=1 runs the targets side by side, each logging to
# build-fuzz/log-<name>.txt, and fails if any of them fails.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${FUZZ_BUILD_DIR:-build-fuzz}
seconds=${FUZZ_SECONDS:-60}
jobs=${FUZZ_JOBS:-2}

cmake -S . -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DPURLWISE_FUZZ=ON -DPURLWISE_BENCH=OFF >/dev/null
names=("$@")
if ((${#names[@]})); then
  cmake --build "$build" -j"$jobs" --target "${names[@]/#/fuzz_}" purlwise_sample_pictures
else
  cmake --build "$build" -j"$jobs"
fi

# The picture readers' seeds are generated, not stored: one folder per target.
"$build/purlwise_sample_pictures" "$build/seeds" >/dev/null

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

if ((${#names[@]})); then
  targets=("${names[@]/#/$build/fuzz/fuzz_}")
else
  targets=("$build"/fuzz/fuzz_*)
fi
for target in "${targets[@]}"; do
  [ -f "$target" ] && [ -x "$target" ] || continue
  name=$(basename "$target")
  name=${name#fuzz_}
  # New inputs go to a working corpus in the build folder; the seeds stay as they are.
  work="$build/corpus/$name"
  mkdir -p "$work"
  seeds=()
  [ -d "fuzz/corpus/$name" ] && seeds+=("fuzz/corpus/$name")
  [ -d "$build/seeds/$name" ] && seeds+=("$build/seeds/$name")
  echo "== fuzz_$name for ${seconds}s"
  run=("$target" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$build/crash-$name-"
    "$work" "${seeds[@]}")
  if [ "${FUZZ_PARALLEL:-0}" = 1 ]; then
    "${run[@]}" >"$build/log-$name.txt" 2>&1 &
  else
    "${run[@]}"
  fi
done
if [ "${FUZZ_PARALLEL:-0}" = 1 ]; then
  failed=0
  for job in $(jobs -p); do wait "$job" || failed=1; done
  exit $failed
fi
