#!/usr/bin/env bash
# Builds qelm-shots and grabs the windows into docs/ under a virtual X server.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/deps.sh
qelm_install_deps "${QELM_BUILD_PACKAGES[@]}" "${QELM_XVFB_PACKAGES[@]}" poppler-utils
build=${QELM_SHOTS_BUILD:-build}
out=${1:-docs}
qelm_configure_release "$build"
cmake --build "$build" --target qelm-shots qelm-report
xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96" "$build/qelm-shots" "$out"
# The first page of the chart saved as PDF (the same document the program
# prints), as a picture.
pdf=$(mktemp --suffix=.pdf)
trap 'rm -f "$pdf"' EXIT
"$build/qelm-report" chart --name 王小明 --sex 男 --birth "1990-05-17 14:30" --at "2024-06-15 10:30" \
  --pdf "$pdf" 2>/dev/null
pdftoppm -f 1 -l 1 -r 72 -png -singlefile "$pdf" "$out/chart_pdf_page1"
echo "$out/chart_pdf_page1.png"
