#!/usr/bin/env bash
# Decoding JPEG pictures of 2, 12 and 24 megapixels to 256 and 1024 pixel squares, streamed against a
# whole decode then scale, natively in a release build: time and peak heap. Not part of the test suite.
# Usage: bench-decode.sh [repeats]   (PRISMATA_BUILD chooses the build folder, as for test.sh)
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${PRISMATA_BUILD:-$root/build}/bench
repeats=${1:-3}

cmake -S "$root" -B "$build/native" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null || exit 1
cmake --build "$build/native" -j2 --target DecodeBench >/dev/null || exit 1
"$build/native/bin/DecodeBench" "$repeats"
