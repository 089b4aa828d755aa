#!/usr/bin/env bash
# Benchmarks the display engine's frame under Wine at 320x240 and 1024x768 and prints the table.
# Not part of the test suite. PRISMATA_BUILD picks the build folder, as for scripts/test.sh.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/wine-session.sh"
begin_windows_bench prismata_frame_bench bench-engine-session || exit 1
wine "$windows_bin/prismata_frame_bench.exe"
