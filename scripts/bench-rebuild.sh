#!/usr/bin/env bash
# Benchmarks a whole picture-library rebuild of the wallpaper photos of Debian's mate-backgrounds (the 16
# JPEG photos and copies of three of them stored with an EXIF orientation), in one run side by side with
# ImageMagick's mogrify over the same files (one thread and every core) and with the bare scaled decode
# (our decoder, one thread and spread over every core), and prints the table. Not part of the test suite.
# ROUNDS (default 3) repeats each measurement; the best of each is shown. PRISMATA_BUILD picks the build folder.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
rounds=${ROUNDS:-3}
. "$root/scripts/wine-session.sh"
begin_windows_bench prismata_rebuild_bench rebuild-bench-session || exit 1
bench=$windows_bin/prismata_rebuild_bench.exe

photos=$session/photos
rm -rf "$photos"
mkdir -p "$photos"
while IFS= read -r -d '' photo; do
    cp "$photo" "$photos/"
done < <(find /usr/share/backgrounds/mate -name '*.jpg' -print0 | sort -z)
# Three photos stored turned, with the EXIF orientation that sets them upright again.
orient=(6 8 3)
i=0
for name in Blinds Dune Storm; do
    exiftool -q -q -n -Orientation="${orient[$i]}" -o "$photos/$name-turned.jpg" "$photos/$name.jpg"
    i=$((i + 1))
done
count=$(find "$photos" -maxdepth 1 -name '*.jpg' | wc -l)

echo "load before: $(uptime)"
wine "$bench" "$(winepath -w "$photos")" "$rounds" | tr -d '\r' | tee "$session/bench.log"
value() { sed -n "s/.*\b$1=\([0-9]*\).*/\1/p" "$session/bench.log" | head -n 1; }

# ImageMagick's batch thumbnailer, the same options as the one-per-file comparison: DCT-scaled decode, then
# a thumbnail; the faster of one thread and every core counts.
magick_ms() {
    local best=
    for _ in $(seq 1 "$rounds"); do
        rm -rf "$session/thumbs"
        mkdir -p "$session/thumbs"
        local start ms
        start=$(date +%s%N)
        "$@" mogrify -path "$session/thumbs" -format bmp -define jpeg:size=512x512 -thumbnail 256x256 \
            "$photos"/*.jpg
        ms=$((($(date +%s%N) - start) / 1000000))
        if [ -z "$best" ] || [ "$ms" -lt "$best" ]; then best=$ms; fi
    done
    echo "$best"
}
# libjpeg-turbo's djpeg -scale 1/4 alone (libjpeg-turbo-progs), once per file: the bare scaled decode without
# our program around it, one file at a time and two at a time.
djpeg_ms() {
    local best=
    for _ in $(seq 1 "$rounds"); do
        local start ms
        start=$(date +%s%N)
        find "$photos" -maxdepth 1 -name '*.jpg' -print0 | xargs -0 -n 1 -P "$1" sh -c 'djpeg -scale 1/4 "$0" >/dev/null'
        ms=$((($(date +%s%N) - start) / 1000000))
        if [ -z "$best" ] || [ "$ms" -lt "$best" ]; then best=$ms; fi
    done
    echo "$best"
}
djpeg_1= djpeg_all=
if command -v djpeg >/dev/null; then
    djpeg_1=$(djpeg_ms 1)
    djpeg_all=$(djpeg_ms "$(nproc)")
fi
mogrify_1=$(magick_ms env MAGICK_THREAD_LIMIT=1)
mogrify_all=$(magick_ms env)
echo "load after: $(uptime)"

mogrify_best=$((mogrify_1 < mogrify_all ? mogrify_1 : mogrify_all))
rebuild_1=$(value rebuild_1_ms)
rebuild_all=$(value rebuild_all_ms)
decode_1=$(value bare_decode_1_ms)
decode_all=$(value bare_decode_all_ms)
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

printf '\nWhole rebuild of %s photos (best of %s rounds; %s cores)\n\n' "$count" "$rounds" "$(value cores)"
printf '| path | ms | against mogrify best | against bare decode, all cores |\n|---|---|---|---|\n'
printf '| our rebuild, all cores (OK flow to the "Processed" box) | %s | %s | %s |\n' "$rebuild_all" \
    "$(ratio "$rebuild_all" "$mogrify_best")" "$(ratio "$rebuild_all" "$decode_all")"
printf '| our rebuild, one core | %s | %s | %s |\n' "$rebuild_1" "$(ratio "$rebuild_1" "$mogrify_best")" \
    "$(ratio "$rebuild_1" "$decode_all")"
printf '| ImageMagick mogrify, one thread | %s | | |\n' "$mogrify_1"
printf '| ImageMagick mogrify, all cores | %s | | |\n' "$mogrify_all"
printf '| bare scaled decode (read + our decoder to size), one thread | %s | | |\n' "$decode_1"
printf '| bare scaled decode, spread over all cores | %s | | |\n' "$decode_all"
if [ -n "$djpeg_1" ]; then
    printf '| djpeg -scale 1/4, once per file, native, one at a time | %s | | |\n' "$djpeg_1"
    printf '| djpeg -scale 1/4, once per file, native, %s at a time | %s | | |\n' "$(nproc)" "$djpeg_all"
fi
printf '\nOne-core steps over the whole folder, wall ms / CPU ms: file reads alone %s / %s; read, header and decode '\
'to size %s / %s; bitmap, drawing and BMP file %s / %s. The flow over an empty folder (dialogs, scan, list): %s ms.\n'\
'CPU of the whole rebuild, every thread: one core %s ms, all cores %s ms.\n' \
    "$(value step_read_ms)" "$(value step_read_cpu_ms)" "$(value step_prepare_ms)" "$(value step_prepare_cpu_ms)" \
    "$(value step_finish_ms)" "$(value step_finish_cpu_ms)" "$(value rebuild_empty_ms)" "$(value rebuild_1_cpu_ms)" \
    "$(value rebuild_all_cpu_ms)"
