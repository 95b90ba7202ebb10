#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test twice: in the normal build and under
# AddressSanitizer and UndefinedBehaviorSanitizer. No display needed.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh dev
ctest --preset dev
scripts/build.sh asan
ctest --preset asan
