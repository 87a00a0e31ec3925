#!/usr/bin/env bash
# icons_test.sh ICON_DIR PNG_SIZES ICO_SIZES (sizes comma-separated)
# The rendered program icon: every PNG has its size and alpha, a clear
# corner, the accent tile and the white plug; the .ico holds every size.
set -uo pipefail
dir=$1 png_sizes=$2 ico_sizes=$3
failures=0
fail() { echo "icons test: $*" >&2; failures=$((failures + 1)); }
# Channels of one pixel as "r g b a", each 0..255.
pixel() { convert "$1" -format "%[fx:int(255*p{$2,$3}.r)] %[fx:int(255*p{$2,$3}.g)] %[fx:int(255*p{$2,$3}.b)] %[fx:int(255*p{$2,$3}.a)]" info:; }

IFS=, read -ra pngs <<<"$png_sizes"
for size in "${pngs[@]}"; do
  f=$dir/linewick-$size.png
  [[ -s $f ]] || { fail "$f is missing"; continue; }
  read -r w h channels <<<"$(identify -format '%w %h %[channels]' "$f")"
  [[ "$w x $h" == "$size x $size" ]] || fail "$f is $w x $h"
  [[ $channels == *a* ]] || fail "$f has no alpha ($channels)"
  read -r r g b a <<<"$(pixel "$f" 0 0)"
  ((a == 0)) || fail "$f: the corner is not clear ($r $g $b $a)"
  # Inside the plug's body, left of the middle: the accent green, opaque.
  read -r r g b a <<<"$(pixel "$f" $((size * 2 / 5)) $((size / 2)))"
  ((a == 255 && g > 140 && r < 60 && b < 110)) || fail "$f: no accent tile ($r $g $b $a)"
  # The body's left edge is stroked in white: some pixel along the middle row is near white.
  white=$(convert "$f" -crop "${size}x1+0+$((size / 2))" -alpha off -fx 'r>0.9&&g>0.9&&b>0.9' \
    -format '%[fx:int(w*mean+0.5)]' info:)
  ((white > 0)) || fail "$f: no white plug on the middle row"
done

ico=$dir/linewick.ico
IFS=, read -ra icos <<<"$ico_sizes"
want=$(for s in "${icos[@]}"; do printf '%sx%s ' "$s" "$s"; done)
got=$(identify -format '%wx%h ' "$ico" 2>/dev/null)
[[ $got == "$want" ]] || fail "$ico holds '$got' instead of '$want'"
# The bitmap frames carry the same picture as the PNGs.
for i in "${!icos[@]}"; do
  size=${icos[$i]}
  [[ -s $dir/linewick-$size.png ]] || continue
  diff=$(compare -metric AE "${ico}[$i]" "$dir/linewick-$size.png" null: 2>&1)
  [[ $diff == 0 ]] || fail "frame $i of $ico differs from linewick-$size.png in $diff pixels"
done

((failures == 0)) && echo "icons test: passed" || exit 1
