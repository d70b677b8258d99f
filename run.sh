#!/usr/bin/env bash
# Builds QELM and starts it:
#   ./run.sh             installs what building and running need (apt-get,
#                        as root or through sudo), builds the Release
#                        configuration in build/, installs it into install/
#                        and starts install/bin/qelm
#   ./run.sh --xvfb      the same, started on a virtual display (xvfb-run):
#                        nothing to see, a check that it starts
#   ./run.sh --no-start  builds and installs, starts nothing
# Like any installed QELM, the program keeps the person list in the per-user
# data folder (~/.local/share/qelm), so it survives `rm -rf build install`.
set -euo pipefail
cd "$(dirname "$0")"
source tools/deps.sh

start=window
case "${1:-}" in
  "") ;;
  --xvfb) start=xvfb ;;
  --no-start) start=none ;;
  *)
    echo "usage: ./run.sh [--xvfb | --no-start]" >&2
    exit 2
    ;;
esac

# QELM's windows need a display: say so now rather than after the build.
if [ "$start" = window ] && [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] &&
  [ -z "${QT_QPA_PLATFORM:-}" ]; then
  cat >&2 <<'EOF'
QELM is a desktop program and this shell has no display (neither DISPLAY nor
WAYLAND_DISPLAY is set). Run ./run.sh from a terminal in your desktop session
(over ssh: ssh -X). Or:
  ./run.sh --no-start   build and install only
  ./run.sh --xvfb       start it on a virtual display, to check that it starts
EOF
  exit 1
fi

packages=("${QELM_BUILD_PACKAGES[@]}")
if [ "$start" = xvfb ]; then packages+=("${QELM_XVFB_PACKAGES[@]}"); fi
qelm_install_deps "${packages[@]}"

qelm_configure_release build
cmake --build build
prefix=$PWD/install
cmake --install build --prefix "$prefix" >/dev/null

# Earlier versions of this script ran the program from build/, which kept its
# list there: move such a list to the per-user data folder once.
data=${XDG_DATA_HOME:-$HOME/.local/share}/qelm
if [ -f build/User ] && [ ! -e "$data/User" ]; then
  mkdir -p "$data"
  cp -p build/User "$data/User"
  if [ -f build/User.places ]; then cp -p build/User.places "$data/User.places"; fi
  echo "The person list in build/ was copied to $data."
fi

case "$start" in
  window) exec "$prefix/bin/qelm" ;;
  xvfb) exec xvfb-run -a "$prefix/bin/qelm" ;;
  none) echo "Installed in $prefix; start it with $prefix/bin/qelm" ;;
esac
