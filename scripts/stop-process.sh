# shellcheck shell=bash
# stop_process PID: asks a process of ours to end, waits up to five seconds,
# then ends it. Nothing for an empty PID or a process already gone. Sourced by
# the session launcher and the tests that start the program.
stop_process() {
    local pid=$1
    [ -n "$pid" ] || return 0
    kill "$pid" 2>/dev/null || return 0
    for _ in $(seq 50); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}
