#!/usr/bin/env bash
# Builds qelm-shots and grabs the windows into docs/ under a virtual X server.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${QELM_SHOTS_BUILD:-build}
out=${1:-docs}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQELM_BUILD_TESTS=OFF -DQELM_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target qelm-shots
xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96" "$build/qelm-shots" "$out"
