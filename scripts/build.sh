#!/usr/bin/env bash
# Configures and builds one preset (default: dev) with two jobs.
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-dev}"
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
