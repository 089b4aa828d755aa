#!/usr/bin/env bash
# Benchmarks the scan and the whole library rebuild of a folder of 20,000 files (a handful of them
# pictures) and of the hostile-picture folder under Wine, against a folder of only the pictures, and
# prints the table. Not part of the test suite. PRISMATA_BUILD picks the build folder, as for test.sh.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"

build=${PRISMATA_BUILD:-$root/build}
cmake -S "$root" -B "$build/win" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build/win" --target prismata_hostile_bench

session=$build/bench-session
. "$root/scripts/wine-session.sh"
begin_session || exit 1
wineserver -p
wine "$build/win/bin/prismata_hostile_bench.exe"
