#!/usr/bin/env bash
# Builds the Debian package: a Release build in build-pkg (or the folder given
# in QELM_PACKAGE_BUILD), then `cpack -G DEB`. The package lands in that
# folder as qelm_<version>_<arch>.deb; install it with
#   sudo apt install ./build-pkg/qelm_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/deps.sh
qelm_install_deps
build=${QELM_PACKAGE_BUILD:-build-pkg}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DQELM_BUILD_TESTS=OFF -DQELM_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target qelm qelm-report qelm_man
(cd "$build" && cpack -G DEB)
ls "$build"/qelm_*.deb
