#!/usr/bin/env bash
# Configures and builds one preset (default: dev) with two jobs. With CI=true every compiler
# warning is an error (CMAKE_COMPILE_WARNING_AS_ERROR), so CI keeps the tree free of them.
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-dev}"
werror=OFF
[ "${CI:-}" = true ] && werror=ON
cmake --preset "$preset" -DCMAKE_COMPILE_WARNING_AS_ERROR="$werror" >/dev/null
cmake --build --preset "$preset"
