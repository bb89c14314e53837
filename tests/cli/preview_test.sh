#!/usr/bin/env bash
# End-to-end tests of render-sphere and render-preview: pictures of a show without a screen.
set -u
CLI="$(realpath "$1")"
DATA="$(realpath "$2")"
source "$(dirname "$0")/../checks.sh"
export CORVANTINE_HOME="$WORK/home"
export QT_QPA_PLATFORM=offscreen
cd "$WORK" || exit 1
at() { convert "$1" -format "%[hex:u.p{$2,$3}]" info: 2>/dev/null | cut -c1-6 | tr 'a-f' 'A-F'; }
expect_at() {  # expect_at NAME PICTURE X Y RRGGBB
  local got; got=$(at "$2" "$3" "$4")
  if [ "$got" = "$5" ]; then pass=$((pass + 1)); else fail=$((fail + 1)); echo "FAIL: $1: $got, expected $5"; fi
}

# A red sphere: the middle of the picture is the ball, the corner black.
check "sphere layout" 0 "$CLI" layout new s.lnf --rows 20 --cols 40 --sphere
check "red document" 0 "$CLI" new-project s.cvn --width 40 --height 20 --frames 3 --color FF0000
check "render sphere" 0 "$CLI" render-sphere s.cvn s.lnf ball.png --size 300,200
expect_at "ball" ball.png 150 100 FF0000
expect_at "around" ball.png 5 5 000000
check "turned" 0 "$CLI" render-sphere s.cvn s.lnf turned.png --frame 3 --rotate 45,-30
expect_at "still a ball" turned.png 400 400 FF0000
# Refusals: not a sphere, a frame past the clip, a damaged layout, bad sizes.
check "plain layout" 0 "$CLI" layout new p.lnf --rows 4 --cols 6
check "not a sphere" 1 "$CLI" render-sphere s.cvn p.lnf x.png
contains "says why" err "is not a sphere layout"
check "frame past the clip" 1 "$CLI" render-sphere s.cvn s.lnf x.png --frame 9
contains "names the frames" err "the clip has frames 1..3"
head -c 100 s.lnf > broken.lnf
check "damaged layout" 1 "$CLI" render-sphere s.cvn broken.lnf x.png
check "bad size" 2 "$CLI" render-sphere s.cvn s.lnf x.png --size 10,abc
check "bad turn" 2 "$CLI" render-sphere s.cvn s.lnf x.png --rotate 1
[ ! -e x.png ] && pass=$((pass + 1)) || { fail=$((fail + 1)); echo "FAIL: a refused picture was written"; }

# The LED preview: the first row wired, green frames; LEDs green, the unwired rows black.
check "wire a row" 0 "$CLI" layout add p.lnf --from 0,0 --to 5,0
check "green document" 0 "$CLI" new-project g.cvn --width 6 --height 4 --frames 3 --color 00FF00
check "preview" 0 "$CLI" render-preview g.cvn p.lnf leds.png
contains "counts the LEDs" out "6 LEDs"
expect_at "a lit LED" leds.png 4 4 00FF00
expect_at "an unwired cell" leds.png 4 12 000000
check "glow" 0 "$CLI" render-preview g.cvn p.lnf glow.png --glow --size 120,80
check "animated" 0 "$CLI" render-preview g.cvn p.lnf show.gif --frames 1-3 --glow
[ "$(ffprobe -v error -count_frames -show_entries stream=nb_read_frames -of csv=p=0 show.gif)" = "3" ] && pass=$((pass + 1)) \
  || { fail=$((fail + 1)); echo "FAIL: the GIF does not hold 3 frames"; }
check "a range wants a gif" 2 "$CLI" render-preview g.cvn p.lnf x.png --frames 1-2
contains "range belongs to a gif" err "--frames does not apply to render-preview OUT.png (it belongs to render-preview OUT.gif); render-preview OUT.png takes only the common options --frame, --glow, --size"
check "a speed wants a gif" 2 "$CLI" render-preview g.cvn p.lnf x.png --fps 5
contains "speed belongs to a gif" err "--fps does not apply to render-preview OUT.png"
[ -e x.png ] && { fail=$((fail + 1)); echo "FAIL: a refused preview wrote x.png"; } || pass=$((pass + 1))
check "a gif with its speed" 0 "$CLI" render-preview g.cvn p.lnf slow.gif --frames 1-2 --fps 5
check "frame past the clip" 1 "$CLI" render-preview g.cvn p.lnf x.png --frame 4
check "unknown output" 2 "$CLI" render-preview g.cvn p.lnf x.bmp
# The facade drawn from the DXF drawing lights its 120 LEDs.
check "facade" 0 "$CLI" dxf "$DATA/dxf/led_facade_r2018.dxf" facade.lnf
check "facade frames" 0 "$CLI" new-project f.cvn --width 41 --height 7 --frames 1 --color 3366CC
check "facade preview" 0 "$CLI" render-preview f.cvn facade.lnf facade.png --glow
contains "120 LEDs" out "120 LEDs"
finish
