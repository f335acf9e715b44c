#!/usr/bin/env bash
# Installs what is missing, builds Kelvorn (Release) into build/ and starts it with the file given.
set -euo pipefail
cd "$(dirname "$0")"
# The same test as the program's own, made first: without a display, building is minutes lost.
if [ -z "${QT_QPA_PLATFORM:-}" ] && [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "Kelvorn needs a display: neither DISPLAY nor WAYLAND_DISPLAY is set." >&2
    exit 1
fi
scripts/install-deps.sh run
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build --target kelvorn -j"$(nproc)"
exec build/src/kelvorn "$@"
