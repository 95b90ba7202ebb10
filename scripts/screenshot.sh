#!/usr/bin/env bash
# Makes docs/screenshot.png and docs/screenshot-log.png: the window, offscreen, talking to a
# simulated board. QT_SCALE_FACTOR=2 bash scripts/screenshot.sh shows it at 200 %.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh dev
suffix="${QT_SCALE_FACTOR:+-x$QT_SCALE_FACTOR}"

source scripts/simulator.sh
start_simulator --step-ms 400

mkdir -p docs
KXLT_COM1="$device" QT_QPA_PLATFORM=offscreen build/dev/tools/screenshot/kxlt-screenshot \
    "docs/screenshot$suffix.png" "docs/screenshot-log$suffix.png"
echo "Saved docs/screenshot$suffix.png and docs/screenshot-log$suffix.png"
