#!/usr/bin/env bash
# Installs what is missing, builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test with ctest.
set -euo pipefail
cd "$(dirname "$0")"
source tools/deps.sh
qelm_install_deps
jobs=$(nproc)
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQELM_SANITIZE=ON >/dev/null
cmake --build build-test -j "$jobs"
# The fuzz targets need clang's libFuzzer: a build of their own.
CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQELM_BUILD_UI=OFF -DQELM_BUILD_TESTS=OFF -DQELM_BUILD_BENCH=OFF -DQELM_BUILD_FUZZ=ON >/dev/null
cmake --build build-fuzz -j "$jobs" --target qelm_fuzz_targets
export QT_QPA_PLATFORM=offscreen
export QELM_FUZZ_DIR="$PWD/build-fuzz"
cd build-test
ctest --output-on-failure -j "$jobs"
