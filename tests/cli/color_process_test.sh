#!/usr/bin/env bash
# End-to-end tests of `corvantine-cli color-process`: colours of a range of frames.
set -u
CLI="$(realpath "$1")"
source "$(dirname "$0")/../checks.sh"
export CORVANTINE_HOME="$WORK/home"
cd "$WORK" || exit 1


# Two frames of 6 x 4: dark red, then light blue-green.
check "dark red" 0 "$CLI" new-project a.cvn --width 6 --height 4 --color 800000
check "second" 0 "$CLI" new-project b.cvn --width 6 --height 4 --color 102030
check "append" 0 "$CLI" append-frames b.cvn a.cvn --first 1 --last 1
cp a.cvn start.cvn

# Pure red to yellow keeps the brightness; the second frame stays.
check "replace" 0 "$CLI" color-process a.cvn --replace FF0000,FFFF00
expect_pixel "dark yellow" a.cvn 1 0 0 808000
expect_pixel "other colour" a.cvn 2 0 0 102030
# An exact replace inside an edit area only.
check "exact in rect" 0 "$CLI" color-process a.cvn --first 2 --last 2 --replace 102030,FFFFFF --rect 0,0,3,4
expect_pixel "inside" a.cvn 2 1 1 FFFFFF
expect_pixel "outside" a.cvn 2 4 1 102030
# Swap twice restores; shade 50 % on red only.
cp a.cvn before-swap.cvn
check "swap" 0 "$CLI" color-process a.cvn --swap RBG
expect_pixel "swapped" a.cvn 2 4 1 103020
check "swap back" 0 "$CLI" color-process a.cvn --swap "R B G"
cmp -s a.cvn before-swap.cvn && pass=$((pass + 1)) || { fail=$((fail + 1)); echo "FAIL: RBG twice did not restore"; }
check "shade" 0 "$CLI" color-process a.cvn --shade 50 --channels r --first 2 --last 2
expect_pixel "half red" a.cvn 2 4 1 082030
check "shade up" 0 "$CLI" color-process a.cvn --shade 1000 --first 2 --last 2
expect_pixel "kept to 255" a.cvn 2 4 1 50FFFF

# Clear non-LED points through a layout of the frame size; clear by a frame.
check "layout" 0 "$CLI" layout new wall.lnf --rows 4 --cols 6
check "wire" 0 "$CLI" layout add wall.lnf --from 0,0 --to 5,0 --mode s-h
check "clear non-led" 0 "$CLI" color-process a.cvn --clear-non-led wall.lnf --background 000010
expect_pixel "LED kept" a.cvn 1 3 0 808000
expect_pixel "cleared" a.cvn 1 3 2 000010
# Clear by a frame: a mask frame black on its left half clears the left half of the others.
check "mask doc" 0 "$CLI" new-project m.cvn --width 6 --height 4 --color FFFFFF
check "mask left black" 0 "$CLI" color-process m.cvn --replace FFFFFF,000000 --rect 0,0,3,4
check "mask appended" 0 "$CLI" append-frames m.cvn a.cvn --first 1 --last 1
check "clear by frame" 0 "$CLI" color-process a.cvn --clear-by-frame 3 --first 2 --last 2 --background 0000FF
expect_pixel "by frame cleared" a.cvn 2 1 1 0000FF
expect_pixel "by frame kept" a.cvn 2 4 0 50FFFF

# Bad input: usage 2, failure 1, the document untouched.
cp a.cvn kept.cvn
check "no mode" 2 "$CLI" color-process a.cvn
check "two modes" 2 "$CLI" color-process a.cvn --swap RBG --shade 5
check "bad swap" 2 "$CLI" color-process a.cvn --swap RGB
check "bad replace" 2 "$CLI" color-process a.cvn --replace FF0000
check "bad channels" 2 "$CLI" color-process a.cvn --shade 5 --channels X
check "range" 2 "$CLI" color-process a.cvn --swap RBG --first 2 --last 9
check "frame 0" 2 "$CLI" color-process a.cvn --clear-by-frame 0
check "layout of another size" 0 "$CLI" layout new big.lnf --rows 8 --cols 8
check "other size" 1 "$CLI" color-process a.cvn --clear-non-led big.lnf
contains "must match" err "must match"
check "missing document" 1 "$CLI" color-process none.cvn --swap RBG
# An option of another way of processing is refused, naming the ones that apply.
check "channels of swap" 2 "$CLI" color-process a.cvn --swap RBG --channels R
contains "channels belong to shade" err "--channels does not apply to color-process --swap (it belongs to color-process --shade); color-process --swap takes --swap and the common options --clip, --first, --last, --rect"
check "background of replace" 2 "$CLI" color-process a.cvn --replace FF0000,00FF00 --background 000010
contains "background belongs to the clearing" err "(it belongs to color-process --clear-non-led, color-process --clear-by-frame)"
check "background of swap" 2 "$CLI" color-process a.cvn --swap RBG --background 000010
contains "swap's options" err "--background does not apply to color-process --swap (it belongs to color-process --clear-non-led, color-process --clear-by-frame); color-process --swap takes --swap and"
check "background of shade" 2 "$CLI" color-process a.cvn --shade 50 --background 000010
# The usage shows --background with the two ways that take it, not beside the common options.
check "help" 0 "$CLI" color-process --help
contains "background with clear-non-led" out "--clear-non-led LAYOUT.lnf [--background RRGGBB]"
contains "background with clear-by-frame" out "--clear-by-frame N [--background RRGGBB]"
grep -qF -- "[--clip N] [--background RRGGBB]" "$WORK/out" && { fail=$((fail + 1)); echo "FAIL: the usage shows --background as common"; } || pass=$((pass + 1))
cmp -s a.cvn kept.cvn && pass=$((pass + 1)) || { fail=$((fail + 1)); echo "FAIL: bad input changed the document"; }

finish
