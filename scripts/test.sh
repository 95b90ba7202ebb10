#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test. No display needed.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh dev
ctest --preset dev
