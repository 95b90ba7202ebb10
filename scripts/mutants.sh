#!/usr/bin/env bash
# Mutation check: puts one known fault at a time into a scratch copy of the tree, rebuilds it and
# runs the test suite, to show which faults the tests catch. Not part of CI (30 s to 2 min per
# fault).
#
# Usage: scripts/mutants.sh [-k PATTERN] [-c | -d] [LIST]
#   LIST        the faults to try (default: scripts/mutants.txt; its head tells the format)
#   -k PATTERN  only the lines of LIST that match PATTERN (grep -E), e.g. -k 'reply_framer|port/'
#   -c          only check that every "find" text occurs exactly once; no build, no tests
#   -d          only show each fault as a diff against the work tree; no build, no tests
#
# The scratch copy lives in $KXLT_MUTANTS_DIR (default /tmp/kxlt-mutants): src/ is refreshed from
# the work tree (tracked and untracked, not ignored files) at every start, build/ is a Debug build
# like the dev preset's, kept between runs, with ccache when it is installed. The work tree itself
# is never written. Logs of every build and test run are kept in logs/.
#
# Each fault ends as one of: killed (a test failed or timed out), survived (every test passed),
# build-failed (the fault does not compile: neither killed nor survived), invalid (the file is
# missing or the text does not occur exactly once). Exit status: 0 when every fault was killed,
# 1 when any survived, failed to build or was invalid, 2 when the run could not start.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
pattern=""
check_only=false
show_diff=false
while getopts "k:cdh" option; do
    case "$option" in
    k) pattern="$OPTARG" ;;
    c) check_only=true ;;
    d) check_only=true show_diff=true ;;
    h)
        sed -n '2,/^set -euo/p' "$0" | sed '$d; s/^# \{0,1\}//'
        exit 0
        ;;
    *) exit 2 ;;
    esac
done
shift $((OPTIND - 1))
list="$(realpath "${1:-$root/scripts/mutants.txt}")"
[ -f "$list" ] || { echo "mutants.sh: no list $list" >&2; exit 2; }

scratch="${KXLT_MUTANTS_DIR:-/tmp/kxlt-mutants}"
src="$scratch/src"
build="$scratch/build"
logs="$scratch/logs"
test_timeout="${KXLT_MUTANTS_TEST_TIMEOUT:-120}"

# --- The list ------------------------------------------------------------------------------------

# Reads the list into parallel arrays: line number, file, find, replace, fault.
ids=() files=() finds=() replaces=() faults=()
unescape() {
    # \n line break, \t tab, \| pipe, \\ backslash.
    local text="$1" out="" c
    while [ -n "$text" ]; do
        c="${text:0:1}"
        if [ "$c" = '\' ] && [ ${#text} -gt 1 ]; then
            case "${text:1:1}" in
            n) out+=$'\n' ;;
            t) out+=$'\t' ;;
            '|') out+='|' ;;
            '\') out+='\' ;;
            *) out+="\\${text:1:1}" ;;
            esac
            text="${text:2}"
        else
            out+="$c"
            text="${text:1}"
        fi
    done
    printf '%s' "$out"
}

read_list() {
    local number=0 line rest field fields
    while IFS= read -r line || [ -n "$line" ]; do
        number=$((number + 1))
        line="${line%$'\r'}"
        [[ "$line" =~ ^[[:space:]]*(#|$) ]] && continue
        [ -n "$pattern" ] && ! grep -qE -- "$pattern" <<<"$line" && continue
        # An escaped pipe must not split a field.
        rest="${line//\\|/$'\x1f'}"
        fields=()
        while [[ "$rest" == *" | "* ]]; do
            field="${rest%%" | "*}"
            fields+=("$field")
            rest="${rest#*" | "}"
        done
        fields+=("$rest")
        if [ ${#fields[@]} -ne 4 ]; then
            echo "mutants.sh: $list:$number: want 4 fields separated by ' | ', found ${#fields[@]}" >&2
            exit 2
        fi
        ids+=("$number")
        files+=("${fields[0]}")
        finds+=("$(unescape "${fields[1]//$'\x1f'/\\|}")")
        replaces+=("$(unescape "${fields[2]//$'\x1f'/\\|}")")
        faults+=("${fields[3]//$'\x1f'/|}")
    done <"$list"
}

# How often FIND occurs in FILE, as a whole text (it may span lines).
occurrences() {
    FIND="$2" perl -0777 -ne '$n = () = /\Q$ENV{FIND}\E/g; print $n' -- "$1"
}

# Replaces the one occurrence of FIND in FILE by REPLACE.
apply() {
    FIND="$2" REPLACE="$3" perl -0777 -i -pe 's/\Q$ENV{FIND}\E/$ENV{REPLACE}/' -- "$1"
}

# --- The scratch tree ----------------------------------------------------------------------------

# Copies what changed, so that make rebuilds only that; removes what the work tree no longer has.
sync_tree() {
    mkdir -p "$src"
    local wanted="$scratch/wanted" present="$scratch/present" file
    (cd "$root" && git ls-files --cached --others --exclude-standard) | sort -u >"$wanted"
    while IFS= read -r file; do
        [ -f "$root/$file" ] || continue
        if ! cmp -s "$root/$file" "$src/$file"; then
            mkdir -p "$src/$(dirname "$file")"
            cp "$root/$file" "$src/$file"
        fi
    done <"$wanted"
    (cd "$src" && find . -type f | sed 's|^\./||' | sort) >"$present"
    comm -13 "$wanted" "$present" | while IFS= read -r file; do rm -f "$src/$file"; done
}

configure() {
    local launcher=()
    command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    cmake -S "$src" -B "$build" --preset dev "${launcher[@]}" >"$logs/configure.log" 2>&1
}

build_tree() { cmake --build "$build" -j2 >"$1" 2>&1 9>&-; }

run_tests() { ctest --test-dir "$build" -j2 --timeout "$test_timeout" >"$1" 2>&1 9>&-; }

# The names ctest lists under "The following tests FAILED:", comma-separated; never fails.
failed_tests() {
    sed -n '/The following tests FAILED:/,$p' "$1" |
        sed -nE 's/^[[:space:]]*[0-9]+ - ([^ ]+).*/\1/p' | paste -sd, - || true
}

# --- Restoring -----------------------------------------------------------------------------------

current=""
restore() {
    if [ -n "$current" ]; then
        # A plain copy gives the file a new time, so the next build recompiles it.
        cp "$scratch/original" "$src/$current"
        current=""
    fi
}
running=false
on_exit() {
    restore
    $running && echo "mutants.sh: stopped before the last fault; the scratch tree is restored" >&2
    return 0
}
trap 'on_exit' EXIT
trap 'restore; exit 130' INT
trap 'restore; exit 143' TERM HUP

# --- The run -------------------------------------------------------------------------------------

read_list
[ ${#ids[@]} -gt 0 ] || { echo "mutants.sh: no faults selected" >&2; exit 2; }

if $check_only; then
    bad=0
    for i in "${!ids[@]}"; do
        path="$root/${files[$i]}"
        count=0
        [ -f "$path" ] && count="$(occurrences "$path" "${finds[$i]}")"
        if [ "$count" != 1 ]; then
            echo "invalid  ${list##*/}:${ids[$i]}  ${files[$i]}: found $count times: ${faults[$i]}"
            bad=$((bad + 1))
        elif $show_diff; then
            copy="$(mktemp)"
            cp "$path" "$copy"
            apply "$copy" "${finds[$i]}" "${replaces[$i]}"
            echo "== ${list##*/}:${ids[$i]}  ${faults[$i]}"
            diff -U0 --label "a/${files[$i]}" --label "b/${files[$i]}" "$path" "$copy" | tail -n +3 || true
            rm -f "$copy"
        fi
    done
    echo "${#ids[@]} faults, $bad invalid"
    [ "$bad" -eq 0 ]
    exit
fi

mkdir -p "$scratch" "$logs"
exec 9>"$scratch/lock"
flock -n 9 || { echo "mutants.sh: another run holds $scratch" >&2; exit 2; }
rm -f "$logs"/*.log

echo "Scratch tree: $scratch"
sync_tree
configure || { echo "Configuring failed, see $logs/configure.log" >&2; exit 2; }
build_tree "$logs/build.log" || { echo "The unchanged tree does not build, see $logs/build.log" >&2; exit 2; }
if ! run_tests "$logs/test.log"; then
    echo "The unchanged tree fails its tests ($(failed_tests "$logs/test.log")), see $logs/test.log" >&2
    exit 2
fi
echo "Unchanged tree: builds, every test passes. ${#ids[@]} faults to try."

killed=0 survived=0 build_failed=0 invalid=0
running=true
survivors=() unbuilt=()
started=$SECONDS
for i in "${!ids[@]}"; do
    id="${list##*/}:${ids[$i]}"
    file="${files[$i]}"
    path="$src/$file"
    mutant_start=$SECONDS
    count=0
    [ -f "$path" ] && count="$(occurrences "$path" "${finds[$i]}")"
    if [ "$count" != 1 ]; then
        printf '%-12s %-18s %s (text found %s times in %s)\n' invalid "$id" "${faults[$i]}" \
            "$count" "$file"
        invalid=$((invalid + 1))
        continue
    fi
    cp "$path" "$scratch/original"
    current="$file"
    apply "$path" "${finds[$i]}" "${replaces[$i]}"
    log="$logs/${ids[$i]}"
    if ! build_tree "$log.build.log"; then
        outcome=build-failed
        build_failed=$((build_failed + 1))
        unbuilt+=("$id  $file: ${faults[$i]}")
    elif run_tests "$log.test.log"; then
        outcome=survived
        survived=$((survived + 1))
        survivors+=("$id  $file: ${faults[$i]}")
    else
        outcome="killed"
        killed=$((killed + 1))
    fi
    restore
    detail=""
    [ "$outcome" = killed ] && detail=" [$(failed_tests "$log.test.log")]"
    printf '%-12s %-18s %s%s (%ss)\n' "$outcome" "$id" "${faults[$i]}" "$detail" \
        "$((SECONDS - mutant_start))"
done
running=false
# Leave the scratch build matching the tree.
build_tree "$logs/build.log" || true

echo
echo "Faults: ${#ids[@]}  killed: $killed  survived: $survived  build-failed: $build_failed  invalid: $invalid  ($(((SECONDS - started) / 60)) min)"
if [ ${#survivors[@]} -gt 0 ]; then
    echo "Survivors:"
    printf '  %s\n' "${survivors[@]}"
fi
if [ ${#unbuilt[@]} -gt 0 ]; then
    echo "Did not build:"
    printf '  %s\n' "${unbuilt[@]}"
fi
[ $((survived + build_failed + invalid)) -eq 0 ]
