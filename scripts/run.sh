#!/usr/bin/env bash
# Installs what is needed, builds the program and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DPURLWISE_BENCH=OFF >/dev/null
cmake --build build -j"$(nproc)" --target purlwise
exec ./build/purlwise "$@"
