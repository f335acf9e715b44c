#!/usr/bin/env bash
# Saves four pictures of Kelvorn: the main window as it opens (docs/main-window.png), a wave
# window showing a sound the program generates (docs/wave-window.png), a music window showing
# the demo piece resources/demo/Demo.kvm (docs/music-window.png) and a factory window showing the
# small graph of resources/demo/Demo.kvf (docs/factory-window.png). Builds the program (Release,
# into build/) and starts it once for each under a virtual X server (xvfb-run).
# Usage: scripts/screenshot.sh [main-window.png [file to open]]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh test
out=${1:-docs/main-window.png}
shift || true
wave_out=docs/wave-window.png
music_out=docs/music-window.png
factory_out=docs/factory-window.png
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build --target kelvorn -j4 >/dev/null

# shoot <output.png> [arguments...]: one start of the program, saved once it has painted.
shoot() {
    local png=$1
    shift
    mkdir -p "$(dirname "$png")"
    local png_abs
    png_abs="$(cd "$(dirname "$png")" && pwd)/$(basename "$png")"
    KELVORN_SCREENSHOT="$png_abs" QT_QPA_PLATFORM=xcb \
        xvfb-run --auto-servernum --server-args="-screen 0 1280x900x24" build/src/kelvorn "$@"
    echo "Saved $png"
}

shoot "$out" "$@"

demo_dir=$(mktemp -d)
trap 'rm -rf "$demo_dir"' EXIT
KELVORN_DEMO_WAVE="$demo_dir/Demo.wav" shoot "$wave_out"
cp resources/demo/Demo.kvm "$demo_dir/Demo.kvm"
shoot "$music_out" "$demo_dir/Demo.kvm"
cp resources/demo/Demo.kvf "$demo_dir/Demo.kvf"
shoot "$factory_out" "$demo_dir/Demo.kvf"
