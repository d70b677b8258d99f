#!/usr/bin/env bash
# Builds the Debian package with `cpack -G DEB` from the Release tree in
# build/ (the one ./run.sh builds; another folder in QELM_PACKAGE_BUILD): a
# current tree is reused as it is. The package lands in that folder as
# qelm_<version>_<arch>.deb; install it with
#   sudo apt install ./build/qelm_*.deb
# The package names who answers for it: by Debian's convention, set
# DEBFULLNAME and DEBEMAIL (else git's user.name and user.email are taken).
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/deps.sh

name=${DEBFULLNAME:-$(git config user.name 2>/dev/null || true)}
email=${DEBEMAIL:-$(git config user.email 2>/dev/null || true)}
if [ -z "$name" ] || [ -z "$email" ]; then
  cat >&2 <<'EOF'
The package's Maintainer field names who answers for it. Set your name and
address, e.g.
  DEBFULLNAME="Lin Mei" DEBEMAIL=lin.mei@example.org tools/package.sh
EOF
  exit 2
fi

qelm_install_deps "${QELM_BUILD_PACKAGES[@]}" "${QELM_PACKAGE_PACKAGES[@]}"
build=${QELM_PACKAGE_BUILD:-build}
qelm_configure_release "$build" "-DQELM_MAINTAINER=$name <$email>"
cmake --build "$build"
rm -f "$build"/qelm_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
ls "$build"/qelm_*.deb
