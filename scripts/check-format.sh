#!/usr/bin/env bash
# Checks the C++ files (*.cpp, *.h under src, tests, bench and fuzz) against .clang-format without
# changing them, prints each file that drifts and fails when any does.
# On a branch with origin/main it checks only the files changed since the merge base (committed or
# not), so the check follows the work at hand; without it, every tracked file.
# Usage: scripts/check-format.sh [--all]
set -uo pipefail
cd "$(dirname "$0")/.."

formatter=""
for candidate in clang-format-14 clang-format; do
    if command -v "$candidate" >/dev/null 2>&1; then
        formatter=$candidate
        break
    fi
done
if [ -z "$formatter" ]; then
    echo "check-format: no clang-format-14 or clang-format on PATH" >&2
    exit 2
fi
# A broken .clang-format would make every file look unformatted: say so instead.
if ! "$formatter" --dump-config >/dev/null; then
    echo "check-format: $formatter cannot read .clang-format" >&2
    exit 2
fi

patterns=('src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'bench/*.h'
          'fuzz/*.cpp' 'fuzz/*.h')

base=""
if [ "${1:-}" != --all ] && git rev-parse --verify -q origin/main >/dev/null; then
    base=$(git merge-base HEAD origin/main 2>/dev/null) || base=""
fi

files=()
if [ -n "$base" ]; then
    # Changed since the merge base (deleted files left out), and new files not yet added.
    while IFS= read -r f; do files+=("$f"); done < <(
        { git diff --name-only --diff-filter=d "$base" -- "${patterns[@]}"
          git ls-files --others --exclude-standard -- "${patterns[@]}"; } | sort -u)
    scope="changed since $(git rev-parse --short "$base")"
else
    while IFS= read -r f; do files+=("$f"); done < <(git ls-files -- "${patterns[@]}")
    scope="all tracked"
fi

drifting=0
for f in "${files[@]}"; do
    [ -f "$f" ] || continue
    if ! "$formatter" --dry-run -Werror "$f" >/dev/null 2>&1; then
        echo "not formatted: $f"
        drifting=$((drifting + 1))
    fi
done

if [ "$drifting" -ne 0 ]; then
    echo "check-format: $drifting of ${#files[@]} C++ files ($scope) differ from .clang-format" \
         "(fix with: $formatter -i FILE)"
    exit 1
fi
echo "check-format: ${#files[@]} C++ files ($scope) match .clang-format"
