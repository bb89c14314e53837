#!/usr/bin/env bash
# End-to-end test of `corvantine-cli identify`: a photograph of dots made here becomes a wired
# layout.
set -u
CLI="$(realpath "$1")"
source "$(dirname "$0")/../checks.sh"
export CORVANTINE_HOME="$WORK/home"
cd "$WORK" || exit 1

# Seven columns and four rows of soft dots, 20 pixels apart, on uneven dark grey.
draw=()
for r in 0 1 2 3; do
  for c in 0 1 2 3 4 5 6; do
    x=$((30 + c * 20)); y=$((30 + r * 20))
    draw+=(-draw "circle $x,$y $((x + 3)),$y")
  done
done
convert -size 200x120 gradient:'#101010-#303030' -rotate 90 -resize 200x120! -fill '#f0e0c0' "${draw[@]}" -blur 0x1.5 dots.png
check "identify" 0 "$CLI" identify dots.png wall.lnf --picture leds.png
contains "found" out "28 LED dots, pitch 20 pixels: a grid of 7 cols x 4 rows, 28 LEDs wired"
if [ "$(identify -format '%wx%h' leds.png)" = "7x4" ]; then pass=$((pass + 1)); else fail=$((fail + 1)); echo "FAIL: LED picture size"; fi
check "layout reads" 0 "$CLI" info --json wall.lnf
contains "line 1 wired in bands" out '"lines":[[[0,0],[0,1],[0,2],[0,3],[0,4],[0,5],[0,6],[1,6],[1,5]'
check "nearest" 0 "$CLI" identify dots.png near.lnf --mode shortest

# Bad input.
convert -size 80x60 xc:'#151515' dark.png
check "no dots" 1 "$CLI" identify dark.png x.lnf
contains "says none" err "no LED dots found"
printf 'not a picture' > bad.png
check "unreadable" 1 "$CLI" identify bad.png x.lnf
check "missing" 1 "$CLI" identify none.png x.lnf
check "bad mode" 2 "$CLI" identify dots.png x.lnf --mode zigzag
[ ! -e x.lnf ] && pass=$((pass + 1)) || { fail=$((fail + 1)); echo "FAIL: a failed run wrote its output"; }

finish
