#!/usr/bin/env bash
# Writes the hostile-picture folder (or, with --crowd FILES PICTURES, a crowded one) for trying the program
# by hand. Usage: make_hostile_pictures.sh <folder> [--path-length N | --crowd FILES PICTURES]
# --path-length: the length of the folder's path as the program sees it (a Windows path with its trailing
# backslash), so the long names end exactly at the path-length limit there.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${PRISMATA_BUILD:-$root/build}/native
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$build" --target make_hostile_pictures >/dev/null
exec "$build/bin/make_hostile_pictures" "$@"
