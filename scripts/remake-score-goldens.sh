#!/bin/sh
# Remakes the stored score images of tests/music_ui/golden after a deliberate change to the
# score's drawing; look at the new images before committing them.
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-test}
cmake --build "$build" --target test_music_ui -j3
QT_QPA_PLATFORM=offscreen KELVORN_REMAKE_GOLDENS=1 "$build/tests/test_music_ui" --gtest_filter='ScoreGolden.*'
ls -l "$root/tests/music_ui/golden"
