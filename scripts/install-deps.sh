#!/usr/bin/env bash
# Installs the Debian packages the build, the tests or the benchmarks need, only when missing.
# Usage: scripts/install-deps.sh [run|test|bench]
# bench adds the peers only the benchmarks run (timidity with its free patch set).
set -euo pipefail
purpose=${1:-test}
packages=(cmake ninja-build g++ clang qt6-base-dev qt6-multimedia-dev libgl-dev libgtest-dev
          libgmock-dev libbenchmark-dev fonts-liberation2 pulseaudio pulseaudio-utils)
if [ "$purpose" = test ] || [ "$purpose" = bench ]; then
    packages+=(sox libpugixml-dev libfftw3-dev libclang-rt-14-dev xvfb xauth clang-format)
fi
if [ "$purpose" = bench ]; then
    packages+=(timidity freepats)
fi
missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing missing packages: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
