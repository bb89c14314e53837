#!/usr/bin/env bash
# End-to-end tests of `corvantine-cli transition`: pictures and documents through the
# transition kinds.
set -u
CLI="$(realpath "$1")"
source "$(dirname "$0")/../checks.sh"
export CORVANTINE_HOME="$WORK/home"
cd "$WORK" || exit 1


convert -size 40x20 xc:'#FF0000' red.png
convert -size 80x40 xc:'#0000FF' blue.png  # scaled to the old picture's size

# LeftOver in 4 steps: the old picture, then a quarter more blue each step, the last all blue.
check "left over" 0 "$CLI" transition red.png blue.png lo.cvn --kind 2 --steps 4
contains "named" out "transition 2 (LeftOver): 5 frames"
frames_of "five frames" lo.cvn 5
expect_pixel "old first" lo.cvn 1 0 0 FF0000
expect_pixel "step 1 left" lo.cvn 2 9 5 0000FF
expect_pixel "step 1 right" lo.cvn 2 10 5 FF0000
expect_pixel "last whole" lo.cvn 5 39 19 0000FF

# Every kind ends on the new picture.
for kind in $(seq 0 57); do
  "$CLI" transition red.png blue.png k.cvn --kind "$kind" --steps 3 >/dev/null 2>&1 || { fail=$((fail + 1)); echo "FAIL: kind $kind"; continue; }
  expect_pixel "kind $kind ends blue" k.cvn 4 0 0 0000FF
done

# A document as the new end: its frames in turn; random kinds come from the seed.
check "doc" 0 "$CLI" new-project green.cvn --width 40 --height 20 --color 00FF00
check "random" 0 "$CLI" transition red.png green.cvn r1.cvn --steps 3 --kind random --seed 9
cp out first.txt
check "random again" 0 "$CLI" transition red.png green.cvn r2.cvn --steps 3 --seed 9
cmp -s r1.cvn r2.cvn && pass=$((pass + 1)) || { fail=$((fail + 1)); echo "FAIL: the same seed gave another transition"; }
expect_pixel "doc end" r1.cvn 4 5 5 00FF00

# Bad input.
check "no steps" 2 "$CLI" transition red.png blue.png x.cvn
check "steps 0" 2 "$CLI" transition red.png blue.png x.cvn --steps 0
check "kind 58" 2 "$CLI" transition red.png blue.png x.cvn --steps 2 --kind 58
check "missing" 1 "$CLI" transition none.png blue.png x.cvn --steps 2
printf 'not a picture' > bad.png
check "unreadable" 1 "$CLI" transition red.png bad.png x.cvn --steps 2
contains "unreadable says so" err "neither a document nor a picture"
[ ! -e x.cvn ] && pass=$((pass + 1)) || { fail=$((fail + 1)); echo "FAIL: a failed run wrote its output"; }

finish
