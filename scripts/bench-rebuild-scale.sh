#!/usr/bin/env bash
# The rebuild's scale row: whole rebuilds (the settings dialog's OK flow to the "Processed" box) of 1,000, 4,000
# and 16,000 small pictures, time per picture; and the real program's start as a preview up to its first picture with
# 16 and with 16,000 list entries, in each picture order. Not part of the test suite. PRISMATA_BUILD picks the build
# folder.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/wine-session.sh"
begin_windows_bench prismata_rebuild_bench rebuild-scale-session || exit 1
bench=$windows_bin/prismata_rebuild_bench.exe

work=$session/scale
rm -rf "$work"
mkdir -p "$work"
echo "load before: $(uptime)"
wine "$bench" --scale "$(winepath -w "$work")" | tr -d '\r' | tee "$session/bench.log"
echo "load after: $(uptime)"
value() { sed -n "s/.*\b$1=\([0-9.]*\).*/\1/p" "$session/bench.log" | head -n 1; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

printf '\nWhole rebuild of small pictures (16 x 12 BMP, cached at 32 pixels)\n\n'
printf '| pictures | ms | µs per picture | per picture against 1,000 |\n|---|---|---|---|\n'
for n in 1000 4000 16000; do
    printf '| %s | %s | %s | %s |\n' "$n" "$(value "scale_${n}_ms")" "$(value "scale_${n}_us_per_picture")" \
        "$(ratio "$(value "scale_${n}_us_per_picture")" "$(value scale_1000_us_per_picture)")"
done
printf '\nThe show (Prismata.scr /p) from its start to its first picture, the two lists in turns (median of 7, ms;\n'
printf 'in brackets: to the loader thread'"'"'s start)\n\n'
printf '| order | 16 entries | 16,000 entries | ratio |\n|---|---|---|---|\n'
names=("from the first picture" "continue" "shuffled")
for mode in 0 1 2; do
    a=$(value "first_picture_16_order${mode}_ms")
    b=$(value "first_picture_16000_order${mode}_ms")
    printf '| %s | %s (%s) | %s (%s) | %s |\n' "${names[$mode]}" "$a" "$(value "loader_start_16_order${mode}_ms")" "$b" \
        "$(value "loader_start_16000_order${mode}_ms")" "$(ratio "$b" "$a")"
done
