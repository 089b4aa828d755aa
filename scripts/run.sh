#!/usr/bin/env bash
# The main job: set up, build, install Prismata with its installer into a private Wine prefix, build a
# picture library through the configuration dialog and run the show.
#
# Usage: scripts/run.sh [--seconds N] [--window] [picture folder]
#   picture folder  a folder of BMP, JPEG, DIB or WMF pictures; without one, a small demo folder is made
#   --seconds N     how long the show runs (default 30); a lone number also counts as the seconds
#   --window        show in the 320x240 test window instead of full screen
# The show runs on the user's display when there is one, otherwise in an Xvfb display of its own.
# Screenshots land in out/screenshots, Prismata's trace lines in out/trace.log.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
seconds=30
mode=/s
pictures=
while [ $# -gt 0 ]; do
    case $1 in
        --seconds) seconds=${2:?--seconds needs a number}; shift 2 ;;
        --window) mode=/t; shift ;;
        -h|--help) sed -n '2,10p' "$0"; exit 0 ;;
        *)
            if [ -d "$1" ]; then
                pictures=$(cd "$1" && pwd)
            elif [[ $1 =~ ^[0-9]+$ ]]; then
                seconds=$1
            else
                echo "run: no such picture folder: $1" >&2
                exit 2
            fi
            shift ;;
    esac
done
[[ $seconds =~ ^[0-9]+$ ]] && [ "$seconds" -gt 0 ] || { echo "run: --seconds needs a positive number" >&2; exit 2; }

bash "$root/scripts/setup.sh"

echo "== build"
build=${PRISMATA_BUILD:-$root/build}
cmake -S "$root" -B "$build/win" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-i686.cmake" \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build/win" -j "$(nproc)" \
    --target Prismata PrismataPostInstall PrismataSetup PrismataLogger PrismataConfigDriver Win64Probe D3D8Probe
bin=$build/win/bin

# A small demo folder: photos, a portrait, a panorama (shown letter-boxed), a DIB and patterns.
make_demo_pictures() {
    local folder=$1
    [ -f "$folder/.complete" ] && return 0
    rm -rf "$folder"
    mkdir -p "$folder"
    convert logo: -quality 90 "$folder/logo.jpg"
    convert wizard: -quality 90 "$folder/wizard.jpg"
    convert -seed 3 -size 800x600 plasma:fractal -quality 85 "$folder/plasma-landscape.jpg"
    convert -seed 11 -size 480x720 plasma:fractal BMP3:"$folder/plasma-portrait.bmp"
    convert -size 1600x280 gradient:'#ff8c00-#4b0082' -fill '#ffffff80' -draw 'circle 800 140 800 40' \
        -quality 90 "$folder/panorama.jpg"
    convert -size 512x512 radial-gradient:'#ffffff-#003366' \
        \( -size 512x512 pattern:checkerboard -alpha set -channel A -evaluate set 35% \) -composite \
        BMP3:"$folder/target.bmp"
    convert rose: -filter Lanczos -resize 560x368 BMP3:"$folder/rose.dib"
    touch "$folder/.complete"
}

if [ -z "$pictures" ]; then
    pictures=$build/run-demo-pictures
    echo "== demo pictures in $pictures"
    make_demo_pictures "$pictures"
fi

session=$build/run-session
mkdir -p "$session"
. "$root/scripts/wine-session.sh"
trap end_session EXIT
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    echo "== showing on the display $DISPLAY"
    # The prefix gets a HOME of its own: keep the X authority of the real one.
    if [ -z "${XAUTHORITY:-}" ] && [ -f "$HOME/.Xauthority" ]; then
        export XAUTHORITY=$HOME/.Xauthority
    fi
else
    start_xvfb
    echo "== no display: showing in Xvfb on $DISPLAY"
fi
echo "== fresh Wine prefix"
make_prefix
wineserver -p

if runs_32bit_programs "$bin/probes/D3D8Probe.exe"; then
    shape_like_windows "$bin/win64/d3d8.dll"
    echo "== install"
    wine "$bin/PrismataSetup.exe" /S
    app_path=$(wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Prismata_is1' \
        /v 'Inno Setup: App Path' /reg:32 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ[[:space:]]*//p')
    if [ -z "$app_path" ]; then
        echo "run: the installer wrote no install folder" >&2
        exit 1
    fi
    # The copy the system's screen-saver settings start: 32-bit screen savers live in SysWOW64 on 64-bit Windows.
    saver='C:\windows\syswow64\Prismata.scr'
else
    # The installer and the programs it holds are 32-bit: here the 64-bit twin is laid out as it would install.
    echo "run: Wine on this machine starts no 32-bit program (see dmesg); showing the 64-bit twin of the build"
    cmake -S "$root" -B "$build/win64" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$build/win64" -j "$(nproc)" --target Prismata PrismataPostInstall PrismataLogger \
        PrismataConfigDriver PrismataHelp
    bin=$build/win64/bin
    echo "== install (by hand)"
    app_path='C:\Program Files\Prismata'
    folder=$(winepath -u "$app_path")
    mkdir -p "$folder/ImageCache"
    cp "$bin/Prismata.scr" "$bin/PrismataPostInstall.exe" "$bin/Prismata.hlp" "$bin/Prismata.chm" "$folder/"
    touch "$folder/Prismata.ini"
    wine reg add 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Prismata_is1' \
        /v 'Inno Setup: App Path' /t REG_SZ /d "$app_path" /f /reg:64 >/dev/null 2>&1
    saver="$app_path\\Prismata.scr"
fi
echo "installed in $app_path"

mkdir -p "$root/out/screenshots"
trace=$root/out/trace.log
: >"$trace"
wine "$bin/PrismataLogger.exe" "$(winepath -w "$trace")" &

echo "== picture library from $pictures"
if ! wine "$bin/PrismataConfigDriver.exe" "$saver" "$(winepath -w "$pictures")" 600; then
    echo "run: the picture library was not built; the show runs with what there is"
fi

echo "== the show, $seconds s"
shots=$root/out/screenshots
rm -f "$shots"/show-*.png
wine "$saver" "$mode" &
show=$!
sleep 3
for i in $(seq 1 "$seconds"); do
    kill -0 "$show" 2>/dev/null || { echo "run: the show ended by itself" >&2; break; }
    if [ $((i % 5)) -eq 0 ] || [ "$i" -eq 1 ]; then
        import -window root "$shots/show-$(printf %03d "$i").png" 2>/dev/null || true
    fi
    sleep 1
done
# A mouse movement of more than five pixels ends the show; a key as well.
xdotool mousemove_relative 40 40 2>/dev/null || true
sleep 1
kill -0 "$show" 2>/dev/null && { xdotool key a 2>/dev/null || true; }
for _ in $(seq 1 15); do
    kill -0 "$show" 2>/dev/null || break
    sleep 1
done
wait "$show" 2>/dev/null || true
echo "run: $(ls "$shots"/show-*.png 2>/dev/null | wc -l) screenshots in $shots, trace in $trace"
