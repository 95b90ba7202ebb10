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

simulator_output="$(mktemp)"
build/dev/tools/boardsim/kxlt-boardsim "$@" >"$simulator_output" &
simulator=$!
trap 'kill "$simulator" 2>/dev/null || true; rm -f "$simulator_output"' EXIT

for _ in $(seq 50); do
    device="$(head -n 1 "$simulator_output")"
    [ -n "$device" ] && break
    sleep 0.1
done
if [ -z "${device:-}" ]; then
    echo "The simulated board did not start." >&2
    exit 1
fi

echo "Simulated board on $device: press \"Open port\" with COM1 selected."
KXLT_COM1="$device" build/dev/src/app/kxlt
