#!/usr/bin/env bash
# Builds the libFuzzer harnesses with clang and runs each for SECONDS (default 10), starting from
# the seed corpora in fuzz/corpus. Findings are written to build/fuzz/findings.
# Usage: scripts/fuzz.sh [SECONDS [HARNESS...]], harnesses: receive text_input reply_line.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-10}"
harnesses=("${@:2}")
[ ${#harnesses[@]} -eq 0 ] && harnesses=(receive text_input reply_line)
scripts/install-deps.sh clang-14 libclang-rt-14-dev
# As in scripts/build.sh: with CI=true a compiler warning fails the build.
werror=OFF
[ "${CI:-}" = true ] && werror=ON
cmake --preset fuzz -DCMAKE_COMPILE_WARNING_AS_ERROR="$werror" >/dev/null
cmake --build --preset fuzz --target fuzz_receive fuzz_text_input fuzz_reply_line
rm -rf build/fuzz/findings
mkdir -p build/fuzz/findings
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp"
for name in "${harnesses[@]}"; do
    work="build/fuzz/corpus/$name"
    mkdir -p "$work"
    echo "== fuzz_$name for ${seconds}s"
    QT_QPA_PLATFORM=offscreen "build/fuzz/fuzz/fuzz_$name" -max_total_time="$seconds" -max_len=4096 \
        -artifact_prefix=build/fuzz/findings/ -print_final_stats=1 "$work" "fuzz/corpus/$name" 2>&1 |
        grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb|#[0-9]+ *DONE)|ERROR|SUMMARY' || true
done
ls build/fuzz/findings | grep -q . && { echo "Findings in build/fuzz/findings"; exit 1; }
echo "No findings."
