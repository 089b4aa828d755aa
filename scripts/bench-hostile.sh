#!/usr/bin/env bash
# Benchmarks the scan and the whole library rebuild of a folder of 20,000 files (a handful of them
# pictures) and of the hostile-picture folder under Wine, against a folder of only the pictures, and
# prints the table. Not part of the test suite. PRISMATA_BUILD picks the build folder, as for test.sh.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/wine-session.sh"
begin_windows_bench prismata_hostile_bench || exit 1
wine "$windows_bin/prismata_hostile_bench.exe"
