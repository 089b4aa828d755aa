#!/usr/bin/env bash
# Benchmarks the display engine's frame under Wine at 320x240 and 1024x768 and prints the table.
# Not part of the test suite. PRISMATA_BUILD picks the build folder, as for scripts/test.sh.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"

build=${PRISMATA_BUILD:-$root/build}
cmake -S "$root" -B "$build/win" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build/win" --target prismata_frame_bench

session=$build/bench-engine-session
. "$root/scripts/wine-session.sh"
begin_session || exit 1
wineserver -p
wine "$build/win/bin/prismata_frame_bench.exe"
