#!/usr/bin/env bash
# Makes docs/screenshot.png and docs/screenshot-log.png: the window, offscreen, talking to a
# simulated board. QT_SCALE_FACTOR=2 bash scripts/screenshot.sh shows it at 200 %.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh dev
suffix="${QT_SCALE_FACTOR:+-x$QT_SCALE_FACTOR}"

simulator_output="$(mktemp)"
build/dev/tools/boardsim/kxlt-boardsim --step-ms 400 >"$simulator_output" &
simulator=$!
trap 'kill "$simulator" 2>/dev/null || true; rm -f "$simulator_output"' EXIT
for _ in $(seq 50); do
    device="$(head -n 1 "$simulator_output")"
    [ -n "$device" ] && break
    sleep 0.1
done

mkdir -p docs
KXLT_COM1="$device" QT_QPA_PLATFORM=offscreen build/dev/tools/screenshot/kxlt-screenshot \
    "docs/screenshot$suffix.png" "docs/screenshot-log$suffix.png"
echo "Saved docs/screenshot$suffix.png and docs/screenshot-log$suffix.png"
