#!/usr/bin/env bash
# Installs what building and testing need, then
#  1. builds the Release configuration users get (./run.sh, tools/package.sh)
#     in build/, and the Debian package from it, which lintian checks,
#  2. builds everything with AddressSanitizer and UndefinedBehaviorSanitizer
#     in build-test/ and the fuzz targets with clang in build-fuzz/,
#  3. runs every test with ctest.
# A compiler warning in either build fails the run. Trees left by an earlier
# run are reused: only what changed is built again.
set -euo pipefail
cd "$(dirname "$0")"
source tools/deps.sh
qelm_install_deps "${QELM_BUILD_PACKAGES[@]}" "${QELM_TEST_PACKAGES[@]}"
jobs=$(nproc)

# build_without_warnings DIR [TARGET...]: builds, showing the output, and
# fails if the compiler warned.
build_without_warnings() {
  local dir=$1
  shift
  local targets=()
  if [ $# -gt 0 ]; then targets=(--target "$@"); fi
  local log="$dir/build-output.log"
  cmake --build "$dir" -j "$jobs" "${targets[@]}" 2>&1 | tee "$log"
  if grep -q "warning:" "$log"; then
    echo "The build in $dir warned (see above); the project's code builds without warnings." >&2
    grep "warning:" "$log" >&2
    exit 1
  fi
}

qelm_configure_release build
build_without_warnings build
# The Debian package from that tree: lintian finds no error and no warning.
DEBFULLNAME=${DEBFULLNAME:-"QELM test"} DEBEMAIL=${DEBEMAIL:-qelm-test@example.org} tools/package.sh
lintian --pedantic --fail-on error,warning build/qelm_*.deb

cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQELM_SANITIZE=ON >/dev/null
build_without_warnings build-test
# The fuzz targets need clang's libFuzzer: a build of their own, without the
# windows (it also shows that qelm-report builds without them).
CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQELM_BUILD_UI=OFF -DQELM_BUILD_TESTS=OFF -DQELM_BUILD_BENCH=OFF -DQELM_BUILD_FUZZ=ON >/dev/null
cmake --build build-fuzz -j "$jobs" --target qelm_fuzz_targets qelm-report
export QT_QPA_PLATFORM=offscreen
export QELM_FUZZ_DIR="$PWD/build-fuzz"
cd build-test
ctest --output-on-failure -j "$jobs"
