#!/usr/bin/env bash
# Installs what is missing, builds the benchmarks optimised, and prints their figures.
# Arguments go to every benchmark binary, e.g. --benchmark_filter=Flood.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh libbenchmark-dev
cmake --preset release >/dev/null
cmake --build --preset release --target bench_protocol bench_window bench_line
for bench in bench_protocol bench_window bench_line; do
    QT_QPA_PLATFORM=offscreen "build/release/bench/$bench" "$@"
done
