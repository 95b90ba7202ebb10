#!/usr/bin/env bash
# Installs what is missing, builds, and starts the tool on COM1 against a simulated board.
# Extra arguments go to the simulator (see: build/dev/tools/boardsim/kxlt-boardsim --help).
set -euo pipefail
cd "$(dirname "$0")/.."

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display: start it from a desktop session, or without one as: xvfb-run -a bash scripts/run.sh" >&2
    exit 1
fi

scripts/install-deps.sh
scripts/build.sh dev

source scripts/simulator.sh
start_simulator "$@"

echo "Simulated board on $device: press \"Open port\" with COM1 selected."
KXLT_COM1="$device" build/dev/src/app/kxlt
