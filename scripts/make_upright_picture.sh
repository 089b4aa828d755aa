#!/usr/bin/env bash
# Makes the picture of the keep-upright test with ImageMagick: 256 x 256, a red band along its top
# quarter with a green top-left corner, a photo of sky over land across the middle half, a blue band
# along its bottom quarter. The bands tell a test which way the picture lies; the photo tells a person.
#
# Usage: make_upright_picture.sh OUTPUT.bmp
set -euo pipefail

out=$1
photo=/usr/share/backgrounds/mate/nature/Storm.jpg
middle=(-size 256x128 gradient:'#6080c0-#404830')
[ -r "$photo" ] && middle=("$photo" -resize 256x -gravity center -crop 256x128+0+0 +repage)

convert -size 256x256 xc:'#0000ff' \
    \( "${middle[@]}" \) -gravity northwest -geometry +0+64 -composite \
    -fill '#ff0000' -draw 'rectangle 0,0 255,63' \
    -fill '#00ff00' -draw 'rectangle 0,0 63,63' \
    -type TrueColor "BMP3:$out"
