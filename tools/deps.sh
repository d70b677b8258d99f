#!/usr/bin/env bash
# Installs, with apt-get, whatever the build, the tests and the program need
# and this machine lacks. Sourced by run.sh and test.sh.
set -euo pipefail

QELM_PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev nlohmann-json3-dev rapidjson-dev libssl-dev
  fonts-noto-cjk qt6-translations-l10n
  python3 python3-ephem
  libhowardhinnant-date-dev tzdata
  libgeonames-dev libgeonames0 libgeonames-common r-cran-maps
  clang libclang-rt-14-dev
  xvfb xauth
  desktop-file-utils appstream man-db poppler-utils
  dpkg-dev fakeroot file
)

qelm_install_deps() {
  local missing=()
  local p
  for p in "${QELM_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$p")
    fi
  done
  if [ ${#missing[@]} -eq 0 ]; then
    return 0
  fi
  echo "Installing: ${missing[*]}"
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then sudo=(sudo); fi
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
