#!/usr/bin/env bash
# Fails when .clang-format would change any tracked C++ file, naming the files and lines.
# With --fix, formats those files in place instead.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
mode=(--dry-run -Werror)
[ "${1:-}" = --fix ] && mode=(-i)
git ls-files -z -- '*.cpp' '*.h' | xargs -0 clang-format --style=file "${mode[@]}"
[ "${1:-}" = --fix ] || echo "Formatting: every tracked .cpp and .h file matches .clang-format."
