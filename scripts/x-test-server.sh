#!/usr/bin/env bash
# A private X server (Xvfb) with a window manager (openbox) for the tests that need the stacking
# a real window manager gives, apart from any display the machine has: its own display number,
# home and runtime directories in one temporary directory.
#
#   eval "$(scripts/x-test-server.sh start)"   starts both and prints the exports:
#       KELVORN_X_DISPLAY (":N"), KELVORN_X_DIR
#   scripts/x-test-server.sh stop              stops the pair KELVORN_X_DIR names
#   scripts/x-test-server.sh run CMD [ARGS]    starts a pair, runs CMD with it, stops it
#
# When KELVORN_X_DIR already names a live pair, start reuses it. A failed start says why on
# standard error and exits non-zero; the tests then skip what needs the server.
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/test-server-lib.sh"

alive() {
    local dir=${1:-}
    [ -n "$dir" ] && [ -f "$dir/xvfb.pid" ] && [ -f "$dir/wm.pid" ] &&
        kill -0 "$(cat "$dir/xvfb.pid")" 2>/dev/null && kill -0 "$(cat "$dir/wm.pid")" 2>/dev/null
}

# Whether the window manager has announced itself on the display's root window.
wm_ready() {
    xprop -display "$1" -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"
}

print_exports() {
    local dir=$1
    printf 'export KELVORN_X_DISPLAY=%q\n' ":$(cat "$dir/display")"
    printf 'export KELVORN_X_DIR=%q\n' "$dir"
}

stop_server() {
    local dir=${1:-}
    [ -n "$dir" ] && [ -d "$dir" ] || return 0
    # The window manager ends with its display.
    stop_pids "$dir/xvfb.pid" "$dir/wm.pid"
    rm -rf "$dir"
}

start_server() {
    if alive "${KELVORN_X_DIR:-}"; then
        print_exports "$KELVORN_X_DIR"
        return 0
    fi
    local tool
    for tool in Xvfb openbox xprop; do
        if ! command -v "$tool" >/dev/null; then
            echo "$tool is not installed (scripts/install-deps.sh installs it)" >&2
            return 1
        fi
    done
    local dir
    dir=$(mktemp -d "${TMPDIR:-/tmp}/kelvorn-x-XXXXXX") || return 1
    mkdir -p "$dir/home" "$dir/run"
    chmod 700 "$dir/run"
    # Xvfb picks a free display and writes its number once it accepts clients.
    setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp \
        3>"$dir/display" </dev/null >"$dir/xvfb.log" 2>&1 &
    echo $! >"$dir/xvfb.pid"
    if ! wait_until "$dir/xvfb.pid" test -s "$dir/display"; then
        echo "Xvfb did not start: $(tail -n 1 "$dir/xvfb.log" 2>/dev/null)" >&2
        stop_server "$dir"
        return 1
    fi
    local display
    display=":$(cat "$dir/display")"
    DISPLAY=$display HOME="$dir/home" XDG_RUNTIME_DIR="$dir/run" XDG_CONFIG_HOME="$dir/home" \
        XDG_CACHE_HOME="$dir/home" setsid openbox --sm-disable \
        </dev/null >"$dir/wm.log" 2>&1 &
    echo $! >"$dir/wm.pid"
    if ! wait_until "$dir/wm.pid" wm_ready "$display"; then
        echo "the window manager did not start: $(tail -n 1 "$dir/wm.log" 2>/dev/null)" >&2
        stop_server "$dir"
        return 1
    fi
    print_exports "$dir"
}

server_main KELVORN_X_DIR "$@"
