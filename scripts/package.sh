#!/usr/bin/env bash
# Builds a Debian package of Purlwise (build-package/purlwise_<version>_<arch>.deb)
# that installs the program with its menu entry, icons, AppStream description,
# the pattern file type and its thumbnailer.
# Install it with: apt install ./build-package/purlwise_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
if ! command -v cpack >/dev/null || ! command -v dpkg-shlibdeps >/dev/null; then
  echo "cpack and dpkg-shlibdeps (package dpkg-dev) are needed to build the package" >&2
  exit 1
fi
# Only what is installed is built: no tests, no benchmarks.
cmake -S . -B build-package -DCMAKE_BUILD_TYPE=Release -DPURLWISE_BENCH=OFF -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
cmake --build build-package -j"$(nproc)" --target purlwise purlwise_printing purlwise-thumbnailer purlwise-convert purlwise_icon_files
(cd build-package && cpack -G DEB)
ls build-package/*.deb
