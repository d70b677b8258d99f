#!/usr/bin/env bash
# What each job needs from Debian, and the Release configuration they share.
# Sourced by run.sh, test.sh, tools/package.sh and tools/screenshots.sh; each
# installs only its own lists, with apt-get, and only what this machine lacks.
set -euo pipefail

# Building and running QELM (./run.sh).
QELM_BUILD_PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev libgl-dev
  libcli11-dev rapidjson-dev
  libhowardhinnant-date-dev tzdata libgeonames-dev
  fonts-noto-cjk qt6-translations-l10n
)
# The Debian package (tools/package.sh): dpkg-shlibdeps and file for cpack.
QELM_PACKAGE_PACKAGES=(dpkg-dev file)
# The tests (./test.sh), on top of the above: test and benchmark libraries
# (and a JSON reader apart from the program's RapidJSON, to read its output),
# clang for the fuzz build, the validators of the installed files and of
# the package (lintian), and the generators' own tools, with which the tests
# check that the committed tables and place list are what the generators
# write (python3-ephem for the calendar tables; libgeonames, tzdata and
# ICU's uconv for the place list).
QELM_TEST_PACKAGES=(
  libgtest-dev libgmock-dev libbenchmark-dev libssl-dev nlohmann-json3-dev
  clang libclang-rt-14-dev
  desktop-file-utils appstream man-db poppler-utils
  "${QELM_PACKAGE_PACKAGES[@]}" lintian
  python3 python3-ephem libgeonames0 icu-devtools
)
# A virtual display: ./run.sh --xvfb and tools/screenshots.sh.
QELM_XVFB_PACKAGES=(xvfb xauth)

# qelm_install_deps PACKAGE...: installs those of the packages that are
# missing. Needs root, or sudo.
qelm_install_deps() {
  local missing=()
  local p
  for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$p")
    fi
  done
  if [ ${#missing[@]} -eq 0 ]; then
    return 0
  fi
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null 2>&1; then
      cat >&2 <<EOF
These Debian packages are needed and not installed:
  ${missing[*]}
Installing them needs root, and this user is not root and has no sudo.
As root, run
  apt-get install --no-install-recommends ${missing[*]}
then start ${BASH_SOURCE[-1]} again.
EOF
      exit 1
    fi
    sudo=(sudo)
    echo "Installing with sudo apt-get (sudo may ask for your password): ${missing[*]}"
  else
    echo "Installing with apt-get: ${missing[*]}"
  fi
  "${sudo[@]}" apt-get update
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends \
    -o Dpkg::Progress-Fancy=1 "${missing[@]}"
}

# qelm_configure_release DIR [CMAKE-ARGUMENTS...]: the Release configuration
# users get (optimised, Debian's hardening flags, no tests or benchmarks), in
# DIR. ./run.sh, tools/package.sh and test.sh configure it alike, so that
# each reuses the tree another one built.
qelm_configure_release() {
  local dir=$1
  shift
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DQELM_BUILD_TESTS=OFF -DQELM_BUILD_BENCH=OFF "$@" >/dev/null
}
