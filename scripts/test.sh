#!/usr/bin/env bash
# Installs what is needed, builds everything and runs all tests: once in a
# normal build, once more under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen
# Line tables only: enough for the sanitizers' and the debugger's backtraces,
# and a fifth quicker to compile than full debugging information.
lines_only=-g1

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPURLWISE_BENCH=ON -DPURLWISE_WERROR=ON \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 $lines_only -DNDEBUG" -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O2 $lines_only -DNDEBUG" >/dev/null
cmake --build build -j"$jobs"
(cd build && ctest --output-on-failure)

cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DPURLWISE_SANITIZE=ON -DPURLWISE_BENCH=OFF \
  -DCMAKE_CXX_FLAGS_DEBUG="$lines_only" -DCMAKE_C_FLAGS_DEBUG="$lines_only" >/dev/null
cmake --build build-sanitize -j"$jobs"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
(cd build-sanitize && ctest --output-on-failure)
