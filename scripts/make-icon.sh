#!/usr/bin/env bash
# Draws jkrescale's icon with ImageMagick: a small gold square that grows
# into a large white one along an arrow, on a rounded blue tile. Writes
#   resources/jkrescale.png  256x256, for the Linux package
#   resources/jkrescale.ico  16, 20, 24, 32, 40, 48, 64, 128 and 256 pixels,
#                            linked into jkrescale.exe
# Below 48 pixels the icon is shrunk from a drawing with thicker lines, so
# that it stays legible.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-packages.sh --no-recommends imagemagick
out=resources
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# draw FRAME SHAFT HEAD FILE: the icon at 256 pixels: the white frame
# FRAME pixels wide, the arrow's shaft SHAFT wide and its head HEAD long.
# Every shape is filled (no strokes), so that each is exactly that wide.
draw() {
  local t=$1 h=$(($2 / 2)) head=$3
  # The frame's inner top right corner, where the arrow points.
  local e=$((200 - t)) f=$((56 + t))
  # The shaft: a band from the gold square's corner (120,136) to the head.
  local x=$((e - head / 3)) y=$((f + head / 3))
  convert -size 256x256 xc:none \
    -fill '#123763' -draw 'roundrectangle 8,8 248,248 46,46' \
    -fill '#1d4f91' -draw 'roundrectangle 12,12 244,244 42,42' \
    -fill white -draw 'rectangle 56,56 200,200' \
    -fill '#1d4f91' -draw "rectangle $f,$f $e,$e" \
    -fill '#f5b82e' -draw "rectangle 56,$((136 - t / 2)) $((120 + t / 2)),200" \
    -fill white \
    -draw "polygon $((120 - h)),$((136 - h)) $((120 + h)),$((136 + h)) $((x + h)),$((y + h)) $((x - h)),$((y - h))" \
    -draw "polygon $e,$f $e,$((f + head)) $((e - head)),$f" \
    "PNG32:$4"
}

# The small sizes are shrunk from a drawing with heavier lines.
draw 14 16 60 "$work/fine.png"
draw 22 22 56 "$work/bold.png"
sizes=(16 20 24 32 40 48 64 128 256)
files=()
for size in "${sizes[@]}"; do
  if [ "$size" -lt 48 ]; then source="$work/bold.png"; else source="$work/fine.png"; fi
  convert "$source" -filter Lanczos -resize "${size}x${size}" "PNG32:$work/icon-$size.png"
  files+=("$work/icon-$size.png")
done
cp "$work/icon-256.png" "$out/jkrescale.png"
convert "${files[@]}" "$out/jkrescale.ico"
echo "make-icon: wrote $out/jkrescale.png and $out/jkrescale.ico (${sizes[*]} pixels)"
