#!/usr/bin/env bash
# Saves Kelvorn's main window, as it opens, to docs/main-window.png: builds the program
# (Release, into build/) and starts it once under a virtual X server (xvfb-run).
# Usage: scripts/screenshot.sh [output.png] [file to open]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh test
out=${1:-docs/main-window.png}
shift || true
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build --target kelvorn -j4 >/dev/null
mkdir -p "$(dirname "$out")"
out_abs="$(cd "$(dirname "$out")" && pwd)/$(basename "$out")"
KELVORN_SCREENSHOT="$out_abs" QT_QPA_PLATFORM=xcb \
    xvfb-run --auto-servernum --server-args="-screen 0 1280x900x24" build/src/kelvorn "$@"
echo "Saved $out"
