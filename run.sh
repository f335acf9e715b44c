#!/usr/bin/env bash
# Installs what is missing, builds Kelvorn (Release) into build/ and starts it with the file given.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh run
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build --target kelvorn -j"$(nproc)"
exec build/src/kelvorn "$@"
