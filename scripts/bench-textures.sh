#!/usr/bin/env bash
# Face-texture loading speed: JPEG pictures of 2, 12 and 24 megapixels to 128, 256 and 512 pixel
# textures, natively and under Wine, in release builds. Not part of the test suite.
# Usage: bench-textures.sh [repeats]   (PRISMATA_BUILD chooses the build folder, as for test.sh)
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${PRISMATA_BUILD:-$root/build}/bench
repeats=${1:-5}
status=0

echo "== native"
cmake -S "$root" -B "$build/native" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null || exit 1
cmake --build "$build/native" --target TextureBench >/dev/null || exit 1
"$build/native/bin/TextureBench" "$repeats" || status=1

echo "== Windows build under Wine"
. "$root/scripts/wine-session.sh"
begin_windows_bench TextureBench || exit 1
wine "$windows_bin/TextureBench.exe" "$repeats" || status=1
end_session
exit $status
