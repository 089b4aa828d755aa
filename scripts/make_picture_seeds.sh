#!/usr/bin/env bash
# Makes the seed corpora of the picture decoders' fuzz targets: tiny BMP variants and JPEG variants,
# written with ImageMagick. The JPEG seeds carry one leading byte, the size the fuzz target covers.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
bmp=$root/tests/fuzz/corpus/bmp_decoder
jpeg=$root/tests/fuzz/corpus/jpeg_decoder
mkdir -p "$bmp" "$jpeg"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

source=(-size 12x6 gradient:red-blue)
convert "${source[@]}" -strip BMP3:"$bmp/rgb24.bmp"
convert "${source[@]}" -strip -colors 16 -type Palette BMP3:"$bmp/palette8.bmp"
convert "${source[@]}" -strip -colors 16 -type Palette -compress RLE BMP3:"$bmp/rle8.bmp"
convert "${source[@]}" -strip -monochrome BMP3:"$bmp/mono1.bmp"
convert "${source[@]}" -strip -define bmp:subtype=RGB565 BMP:"$bmp/bitfields16.bmp"
convert "${source[@]}" -strip -alpha on BMP:"$bmp/v5rgba32.bmp"
convert "${source[@]}" -strip BMP2:"$bmp/core24.bmp"

make_jpeg() { # name, convert options...
    local name=$1
    shift
    convert "${source[@]}" -strip "$@" "$tmp/$name.jpg"
    { printf '\x07'; cat "$tmp/$name.jpg"; } >"$jpeg/$name"
}
make_jpeg baseline -quality 90
make_jpeg progressive -quality 90 -interlace JPEG
make_jpeg grey -colorspace Gray
make_jpeg cmyk -colorspace CMYK
make_jpeg subsampled -sampling-factor 2x2 -quality 75
