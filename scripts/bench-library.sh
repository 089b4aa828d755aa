#!/usr/bin/env bash
# Benchmarks the picture conversion and a whole library rebuild under Wine and prints the tables.
# Not part of the test suite. PRISMATA_BUILD picks the build folder, as for scripts/test.sh.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/wine-session.sh"
begin_windows_bench prismata_conversion_bench || exit 1
wine "$windows_bin/prismata_conversion_bench.exe"
