#!/usr/bin/env bash
# Runs every libFuzzer target for a bounded time over a copy of its committed seed corpus.
# Usage: scripts/fuzz.sh [seconds per target] [build folder] [pattern of target names, grep -E].
# Prints "fuzz: N passed, M failed".
# A longer hunt: scripts/fuzz.sh 600
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-10}
build=${2:-${PRISMATA_BUILD:-$root/build}/fuzz}
only=${3:-}

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPRISMATA_FUZZ=ON \
    >/dev/null || exit 1
cmake --build "$build" -j "$(nproc)" >/dev/null || exit 1

passed=0
failed=0
for target in "$build"/bin/Fuzz*; do
    [ -x "$target" ] || continue
    name=$(basename "$target")
    [ -n "$only" ] && ! echo "$name" | grep -qE -- "$only" && continue
    # FuzzCommandLine -> command_line
    corpus_name=$(echo "${name#Fuzz}" | sed -E 's/([a-z0-9])([A-Z])/\1_\2/g' | tr 'A-Z' 'a-z')
    seeds=$root/tests/fuzz/corpus/$corpus_name
    work=$build/corpus/$corpus_name
    mkdir -p "$work" "$build/crashes"
    [ -d "$seeds" ] && cp -n "$seeds"/* "$work"/ 2>/dev/null
    log=$build/$name.log
    # Decodes to a size stay within their working-memory budget (16 MB up to 256 x 256, and 128 MB more
    # for a progressive JPEG's coefficients); the target itself checks the total, libFuzzer any single
    # allocation.
    limits=(-rss_limit_mb=2048)
    case $name in
    FuzzPictureFile) limits+=(-malloc_limit_mb=144) ;;
    FuzzExifOrientation) limits+=(-malloc_limit_mb=16) ;;
    FuzzScale) limits+=(-malloc_limit_mb=64) ;;
    esac
    if "$target" "$work" -max_total_time="$seconds" -timeout=10 "${limits[@]}" \
        -artifact_prefix="$build/crashes/$name-" >"$log" 2>&1; then
        runs=$(grep -oE 'Done [0-9]+ runs' "$log" | grep -oE '[0-9]+')
        echo "fuzz $name: ${runs:-?} inputs, no crash"
        passed=$((passed + 1))
    else
        echo "fuzz $name: FAILED (see $log)"
        grep -E 'ERROR|SUMMARY|artifact' "$log" | head -n 5
        failed=$((failed + 1))
    fi
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
