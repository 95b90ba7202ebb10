# Sourced by the scripts that need a simulated board: start_simulator ARGS... starts
# kxlt-boardsim with ARGS, sets $device to its port and ends it when the script exits.
start_simulator() {
    local output
    output="$(mktemp)"
    build/dev/tools/boardsim/kxlt-boardsim "$@" >"$output" &
    local simulator=$!
    trap "kill $simulator 2>/dev/null || true; rm -f '$output'" EXIT
    device=""
    for _ in $(seq 50); do
        device="$(head -n 1 "$output")"
        [ -n "$device" ] && return 0
        sleep 0.1
    done
    echo "The simulated board did not start." >&2
    return 1
}
