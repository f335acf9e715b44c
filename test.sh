#!/usr/bin/env bash
# Installs what is missing, checks the formatting, builds everything with warnings as errors and
# runs the whole suite:
#   0. scripts/check-format.sh: the C++ files changed on this branch (all of them without
#      origin/main) against .clang-format;
#   1. the model layers under AddressSanitizer + UndefinedBehaviorSanitizer (clang, build-asan/),
#      with the fuzz targets run as libFuzzer binaries for a few seconds each;
#   2. the threaded tests under ThreadSanitizer (build-tsan/): tests/threads.txt names each
#      test binary and the tests in it, so only those binaries are built;
#   3. every test of the test build (build-test/: g++ at -O1 without debug information, which
#      builds in half the time of an optimised build with it), with a private PulseAudio server
#      running for the audio device tests and a private X server with a window manager for the
#      stacking test; its ctest summary is the last line printed.
# ./run.sh keeps its own Release build in build/.
# Exits non-zero on any failure.
set -uo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh test || exit 1
jobs=$(nproc)
status=0
export QT_QPA_PLATFORM=offscreen

# configure_and_build DIR [cmake options...]; builds only $targets where that is set.
configure_and_build() {
    local dir=$1; shift
    cmake -S . -B "$dir" -G Ninja "$@" >/dev/null || return 1
    cmake --build "$dir" -j"$jobs" ${targets:+--target $targets} || return 1
}

echo "== Format check"
scripts/check-format.sh || status=1

echo "== Sanitizer build (AddressSanitizer + UndefinedBehaviorSanitizer)"
if configure_and_build build-asan -DCMAKE_BUILD_TYPE= "-DCMAKE_CXX_FLAGS=-O1 -gline-tables-only" \
        -DCMAKE_CXX_COMPILER=clang++ \
        -DKELVORN_MODEL_ONLY=ON -DKELVORN_SANITIZE=ON -DKELVORN_FUZZ=ON -DKELVORN_BENCH=OFF \
        -DKELVORN_WERROR=ON; then
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
        ctest --test-dir build-asan -j"$jobs" --output-on-failure --timeout 600 >build-asan/ctest.log 2>&1
    rc=$?
    grep -E "tests passed" build-asan/ctest.log
    [ $rc -eq 0 ] || { grep -E "Failed|\*\*\*" build-asan/ctest.log | head -40; status=1; }
else
    echo "sanitizer build failed"; status=1
fi

if [ -f tests/threads.txt ]; then
    echo "== ThreadSanitizer build"
    # Each line must find its tests: a line whose binary or name has gone stale fails the run
    # rather than letting a threaded test go unchecked.
    if targets=$(cut -d' ' -f1 tests/threads.txt | sort -u | paste -sd' ') \
        configure_and_build build-tsan -DCMAKE_BUILD_TYPE= "-DCMAKE_CXX_FLAGS=-O1 -gline-tables-only" \
            -DCMAKE_CXX_COMPILER=clang++ \
            -DKELVORN_MODEL_ONLY=ON -DKELVORN_TSAN=ON -DKELVORN_BENCH=OFF -DKELVORN_WERROR=ON; then
        : >build-tsan/ctest.log
        rc=0
        while read -r _ tests; do
            TSAN_OPTIONS=halt_on_error=1 ctest --test-dir build-tsan -j"$jobs" --output-on-failure \
                --timeout 600 --no-tests=error -R "$tests" </dev/null >>build-tsan/ctest.log 2>&1 ||
                rc=1
        done <tests/threads.txt
        grep -E "tests passed|No tests were found" build-tsan/ctest.log
        [ $rc -eq 0 ] || { grep -E "Failed|\*\*\*|WARNING: ThreadSanitizer" build-tsan/ctest.log | head -40; status=1; }
    else
        echo "thread sanitizer build failed"; status=1
    fi
fi

echo "== Test build"
if configure_and_build build-test -DCMAKE_BUILD_TYPE= -DCMAKE_CXX_FLAGS=-O1 -DKELVORN_WERROR=ON; then
    # A private sound server for the audio device tests and a private X server with a window
    # manager for the stacking test, both stopped when this script ends.
    if pulse_env=$(scripts/pulse-test-server.sh start); then
        eval "$pulse_env"
    else
        echo "No private PulseAudio server: the real audio device tests are skipped."
    fi
    if x_env=$(scripts/x-test-server.sh start); then
        eval "$x_env"
    else
        echo "No private X server with a window manager: the stacking test is skipped."
    fi
    trap 'scripts/pulse-test-server.sh stop; scripts/x-test-server.sh stop' EXIT
    ctest --test-dir build-test -j"$jobs" --output-on-failure --timeout 900 2>&1 |
        tee build-test/ctest.log
    [ "${PIPESTATUS[0]}" -eq 0 ] || status=1
    # ctest lists skipped tests after its summary: repeat the summary as the last line.
    grep -E "tests passed" build-test/ctest.log | tail -n 1
else
    echo "build failed"; status=1
fi
exit $status
