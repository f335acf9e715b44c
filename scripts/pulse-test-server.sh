#!/usr/bin/env bash
# A private PulseAudio server for the audio device tests and benchmarks, apart from any sound
# server the machine runs: its own socket, runtime and home directories in one temporary
# directory, a null sink (the default, so a stray play never blocks), a pipe sink and a pipe
# source, both 16-bit stereo at 44100 Hz and timed by the clock.
#
#   eval "$(scripts/pulse-test-server.sh start)"   starts it and prints the exports:
#       PULSE_SERVER, KELVORN_PULSE_DIR, KELVORN_PULSE_SINK_PIPE, KELVORN_PULSE_SOURCE_PIPE
#   scripts/pulse-test-server.sh stop              stops the one KELVORN_PULSE_DIR names
#   scripts/pulse-test-server.sh run CMD [ARGS]    starts one, runs CMD in it, stops it
#
# When KELVORN_PULSE_DIR already names a live server, start reuses it. A failed start says why
# on standard error and exits non-zero; the tests then skip what needs the server.
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/test-server-lib.sh"

alive() {
    [ -n "${1:-}" ] && [ -f "$1/pid" ] && kill -0 "$(cat "$1/pid")" 2>/dev/null &&
        PULSE_SERVER="unix:$1/native" pactl info >/dev/null 2>&1
}

print_exports() {
    local dir=$1
    printf 'export PULSE_SERVER=%q\n' "unix:$dir/native"
    printf 'export KELVORN_PULSE_DIR=%q\n' "$dir"
    printf 'export KELVORN_PULSE_SINK_PIPE=%q\n' "$dir/sink.pipe"
    printf 'export KELVORN_PULSE_SOURCE_PIPE=%q\n' "$dir/source.pipe"
}

stop_server() {
    local dir=${1:-}
    [ -n "$dir" ] && [ -d "$dir" ] || return 0
    stop_pids "$dir/pid"
    rm -rf "$dir"
}

start_server() {
    if alive "${KELVORN_PULSE_DIR:-}"; then
        print_exports "$KELVORN_PULSE_DIR"
        return 0
    fi
    if ! command -v pulseaudio >/dev/null || ! command -v pactl >/dev/null; then
        echo "pulseaudio or pactl is not installed (scripts/install-deps.sh installs them)" >&2
        return 1
    fi
    local dir
    dir=$(mktemp -d "${TMPDIR:-/tmp}/kelvorn-pulse-XXXXXX") || return 1
    mkdir -p "$dir/run" "$dir/home"
    chmod 700 "$dir/run"
    local pipes="format=s16le rate=44100 channels=2"
    # --system=false with a private runtime and home: also runs as root, and never meets the
    # user's own server.
    XDG_RUNTIME_DIR="$dir/run" HOME="$dir/home" PULSE_SERVER="" \
        setsid pulseaudio --system=false -n --daemonize=no --exit-idle-time=-1 \
        --disallow-exit --use-pid-file=no --log-target="file:$dir/pulse.log" \
        -L "module-native-protocol-unix socket=$dir/native auth-anonymous=1" \
        -L "module-null-sink sink_name=kelvorn_null" \
        -L "module-pipe-sink sink_name=kelvorn_pipe_sink file=$dir/sink.pipe $pipes use_system_clock_for_timing=yes" \
        -L "module-pipe-source source_name=kelvorn_pipe_source file=$dir/source.pipe $pipes" \
        </dev/null >/dev/null 2>&1 &
    echo $! >"$dir/pid"
    if ! wait_until "$dir/pid" alive "$dir"; then
        local why
        why=$(grep -m1 "^E:" "$dir/pulse.log" 2>/dev/null)
        echo "the private PulseAudio server did not start${why:+: $why}" >&2
        stop_server "$dir"
        return 1
    fi
    PULSE_SERVER="unix:$dir/native" pactl set-default-sink kelvorn_null
    PULSE_SERVER="unix:$dir/native" pactl set-default-source kelvorn_null.monitor
    print_exports "$dir"
}

server_main KELVORN_PULSE_DIR "$@"
