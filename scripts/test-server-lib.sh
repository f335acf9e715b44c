# What the scripts of the private test servers share (x-test-server.sh, pulse-test-server.sh):
# they source it, define start_server and stop_server, and hand their command line to
# server_main.

# Waits up to ten seconds until the command given succeeds or the process in pidfile is gone;
# answers the command's last answer.
wait_until() {
    local pidfile=$1
    shift
    for _ in $(seq 200); do
        "$@" && return 0
        kill -0 "$(cat "$pidfile")" 2>/dev/null || break
        sleep 0.05
    done
    "$@"
}

# Ends the processes whose pid files are given: asked first, forced after five seconds.
stop_pids() {
    local pids=() file
    for file in "$@"; do
        [ -f "$file" ] && pids+=("$(cat "$file")")
    done
    [ ${#pids[@]} -eq 0 ] && return 0
    kill "${pids[@]}" 2>/dev/null
    local pid living
    for _ in $(seq 100); do
        living=()
        for pid in "${pids[@]}"; do
            kill -0 "$pid" 2>/dev/null && living+=("$pid")
        done
        [ ${#living[@]} -eq 0 ] && return 0
        sleep 0.05
    done
    kill -9 "${living[@]}" 2>/dev/null
}

# The command line of a server script, start|stop|run CMD [ARGS]; dir_variable names the
# variable that holds the running server's directory.
server_main() {
    local dir_variable=$1
    shift
    case "${1:-}" in
    start)
        start_server
        ;;
    stop)
        stop_server "${!dir_variable:-}"
        ;;
    run)
        shift
        local exports rc
        exports=$(start_server) || exit 1
        eval "$exports"
        "$@"
        rc=$?
        stop_server "${!dir_variable}"
        exit $rc
        ;;
    *)
        echo "usage: $0 start|stop|run CMD [ARGS]" >&2
        exit 2
        ;;
    esac
}
