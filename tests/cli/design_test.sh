#!/usr/bin/env bash
# End-to-end tests of `corvantine-cli design` and the self-playing effect file.
set -u
CLI="$(realpath "$1")"
PLAYER="$(realpath "$2")"
source "$(dirname "$0")/../checks.sh"
export CORVANTINE_HOME="$WORK/home"
export QT_QPA_PLATFORM=offscreen
cd "$WORK" || exit 1

check "doc" 0 "$CLI" new-project d.cvn --width 16 --height 12 --frames 2
check "rectangle" 0 "$CLI" design d.cvn add rectangle --box 0,0,800,600 --color 00FF00
check "text on a second layer" 0 "$CLI" design d.cvn add text --box 10,10,200,50 --text "Hi" --layer 2
check "mask" 0 "$CLI" design d.cvn add ellipse --box 0,0,400,300 --layer 2 --mask
check "list" 0 "$CLI" design d.cvn list
contains "canvas and layers" out "canvas 800 x 600, 2 layers"
contains "mask shown" out "(mask)"
check "json" 0 "$CLI" design d.cvn list --json
contains "json text" out '"text":"Hi"'
# Rendered frames: the green canvas scaled to 16 x 12, after the clip's frames.
check "render" 0 "$CLI" design d.cvn render --frames 3
contains "says" out "3 frames of the design appended, 5 frames in the clip"
frames_of "five" d.cvn 5
expect_pixel "green" d.cvn 5 8 6 00FF00
# The exported file plays itself; --dump reads back what it holds.
check "export" 0 "$CLI" design d.cvn export show.run --player "$PLAYER"
[ -x show.run ] && pass=$((pass + 1)) || { fail=$((fail + 1)); echo "FAIL: the exported file is not executable"; }
check "dump" 0 ./show.run --dump
contains "template length" out "template $(stat -c %s "$PLAYER") bytes"
contains "clip" out "clip 1: 16 x 12, 5 frames"
contains "masked layer" out "layer 2: 2Th layer, 2 items, masked"
# Bad input: usage 2, failure 1, the document untouched.
cp d.cvn kept.cvn
check "render without frames" 2 "$CLI" design d.cvn render
check "unknown sub-command" 2 "$CLI" design d.cvn paint
check "unknown kind" 2 "$CLI" design d.cvn add hexagon
check "bad box" 2 "$CLI" design d.cvn add rectangle --box 1,2,3
check "no player" 1 "$CLI" design d.cvn export x.run --player "$WORK/none"
check "a plain document is no effect file" 1 "$PLAYER" --dump d.cvn
cmp -s d.cvn kept.cvn && pass=$((pass + 1)) || { fail=$((fail + 1)); echo "FAIL: bad input changed the document"; }
finish
