#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it.
set -euo pipefail
cd "$(dirname "$0")"
source tools/deps.sh
qelm_install_deps
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DQELM_BUILD_TESTS=OFF -DQELM_BUILD_BENCH=OFF >/dev/null
cmake --build build --target qelm qelm-report
exec ./build/qelm "$@"
