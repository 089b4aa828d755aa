#!/usr/bin/env bash
# Benchmarks our picture loader against the system's under Wine, for 2, 12 and 24 megapixel JPEGs and
# the camera photos of any installed wallpaper package, then a whole rebuild of a folder of those photos
# against ImageMagick's thumbnail path over the same files, and prints the tables. Not part of the test
# suite. PRISMATA_BUILD picks the build folder, as for scripts/test.sh.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/wine-session.sh"
begin_windows_bench prismata_loader_bench || exit 1
bench=$windows_bin/prismata_loader_bench.exe

photos=$session/photos
rm -rf "$photos"
mkdir -p "$photos/rebuild"
wine "$bench" make "$(winepath -w "$photos")"
count=0
while IFS= read -r -d '' photo; do
    [ "$count" -lt 4 ] || break
    cp "$photo" "$photos/camera-$count.jpg"
    count=$((count + 1))
done < <(find /usr/share/backgrounds /usr/share/wallpapers -name '*.jpg' -print0 2>/dev/null | sort -z)

# The rebuild folder: several copies of each photo, each a file of its own.
for photo in "$photos"/*.jpg; do
    name=$(basename "$photo" .jpg)
    copies=4
    case $name in 12MP) copies=3 ;; 24MP) copies=2 ;; esac
    for i in $(seq 1 "$copies"); do cp "$photo" "$photos/rebuild/$name-$i.jpg"; done
done

wine "$bench" run "$(winepath -w "$photos")" | tr -d '\r' | tee "$session/bench.log"
ours_ms=$(sed -n 's/.*rebuild_ms=\([0-9]*\).*/\1/p' "$session/bench.log")

# ImageMagick's fastest path to the same size: DCT-scaled decode, then a thumbnail, one thread like ours.
thumbs=$session/thumbs
rm -rf "$thumbs"
mkdir -p "$thumbs"
start=$(date +%s%N)
for photo in "$photos"/rebuild/*.jpg; do
    MAGICK_THREAD_LIMIT=1 convert -define jpeg:size=256x256 "$photo" -thumbnail 256x256 \
        "$thumbs/$(basename "$photo" .jpg).bmp"
done
magick_ms=$((($(date +%s%N) - start) / 1000000))
pictures=$(find "$photos/rebuild" -name '*.jpg' | wc -l)

mix=$(cd "$photos/rebuild" && ls | sed 's/-[0-9]*\.jpg$//' | sort | uniq -c |
    awk '{printf "%s%d x %s", (NR > 1 ? ", " : ""), $1, $2}')
printf '\nWhole rebuild of a folder of %s photos (%s)\n\n' "$pictures" "$mix"
printf '| path | total ms | per picture ms |\n|---|---|---|\n'
printf '| our rebuild (dialog, worker, cache files, list) under Wine | %s | %s |\n' "$ours_ms" \
    "$((ours_ms / pictures))"
printf '| ImageMagick -define jpeg:size -thumbnail, native, 1 thread | %s | %s |\n' "$magick_ms" \
    "$((magick_ms / pictures))"
