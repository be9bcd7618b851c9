#!/usr/bin/env bash
# overlay_rects.sh SKIN.png OUT.png: draws the settings dialog's control
# rectangles over a rendered skin, so a person can see that every face,
# label, check box and slider piece lies where the dialog cuts it.
# Red: push buttons. Yellow: toggles, cyan: their check cells (20 x 15 at the
# right, vertically centred). Green: sliders and slider cuts. Magenta: the
# list box. Orange: the delay seconds text. White: the About dialog's cut.
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: $0 SKIN.png OUT.png" >&2; exit 2; }
skin=$1 out=$2
convert=/usr/bin/convert
[ -x "$convert" ] || convert=convert

draw=()
box() {  # colour x y w h
  draw+=(-stroke "$1" -draw "rectangle $2,$3 $(($2 + $4 - 1)),$(($3 + $5 - 1))")
}
for r in "513 124 83 44" "171 404 60 33" "27 352 71 37" "539 218 71 37" "104 387 60 33" \
         "17 100 150 21" "17 128 150 21" "17 156 150 21" "476 387 62 32" "408 404 62 32"; do
  box red $r
done
for r in "359 274 160 15" "364 294 155 15" "426 314 93 15" "412 334 107 15" "391 354 128 15" \
         "394 94 111 15" "419 127 85 15" "418 147 86 15" "391 185 146 15" "14 295 102 34"; do
  read -r x y w h <<<"$r"
  box yellow $r
  box cyan $((x + w - 20)) $((y + h / 2 - 7)) 20 15
done
box lime 601 94 18 108
box lime 367 245 108 18
box lime 614 275 15 94
box magenta 522 275 92 94
box orange 477 245 42 17
box white 14 94 154 28
"$convert" "$skin" -fill none -strokewidth 1 "${draw[@]}" "$out"
