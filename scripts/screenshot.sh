#!/usr/bin/env bash
# Saves PNG screenshots of the program's windows into the folder given
# (default: screenshots/). Runs on the offscreen platform; no display needed.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-screenshots}
bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target purlwise_screenshot
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} ./build/purlwise_screenshot "$out"
