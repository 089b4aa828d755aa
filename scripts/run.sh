#!/usr/bin/env bash
# The main job: build Prismata, install it into a private Wine prefix and run the show.
# Usage: scripts/run.sh [seconds]   (default 20). Screenshots land in out/screenshots.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-20}
bash "$root/scripts/setup.sh"

build=$root/build
cmake -S "$root" -B "$build/win" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build/win" -j "$(nproc)" --target Prismata PrismataLogger

session=$build/run-session
mkdir -p "$session"
. "$root/scripts/wine-session.sh"
trap end_session EXIT
# Show on the user's display when there is one; otherwise in a display of our own.
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
    start_xvfb
fi
make_prefix

install_dir=$WINEPREFIX/drive_c/Program\ Files/Prismata
mkdir -p "$install_dir"
cp "$build/win/bin/Prismata.scr" "$install_dir/"
set_install_folder 'C:\Program Files\Prismata'

shots=$root/out/screenshots
mkdir -p "$shots"
wine "$install_dir/Prismata.scr" /t &
saver=$!
for i in $(seq 1 "$seconds"); do
    sleep 1
    if [ $((i % 5)) -eq 0 ]; then
        import -window root "$shots/show-$i.png" 2>/dev/null || true
    fi
done
# Any key ends the show.
xdotool search --name "Prismata Screen Saver" windowactivate --sync key a 2>/dev/null || xdotool key a || true
wait "$saver" || true
echo "run: screenshots in $shots"
