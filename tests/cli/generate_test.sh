#!/usr/bin/env bash
# End-to-end tests of `corvantine-cli generate`: the pattern generators on real documents.
set -u
CLI="$(realpath "$1")"
source "$(dirname "$0")/../checks.sh"
export CORVANTINE_HOME="$WORK/home"
cd "$WORK" || exit 1


check "doc" 0 "$CLI" new-project a.cvn --width 16 --height 8
# Moving left with two colours: the entering column takes the current colour, one per frame.
check "moving" 0 "$CLI" generate a.cvn --mode moving --style 1 --frames 3 --colors FF0000,0000FF --steps 16
contains "says" out "Moving Left(1): 3 frames made, 4 frames in the clip"
frames_of "four" a.cvn 4
expect_pixel "first colour enters" a.cvn 2 15 0 FF0000
expect_pixel "next one a frame later" a.cvn 3 15 0 F0000F
expect_pixel "moved on" a.cvn 3 14 0 FF0000
# Only the rectangle changes; the same seed gives the same frames.
check "dropping" 0 "$CLI" generate a.cvn --mode dropping --style 3 --frames 6 --rect 4,0,8,8 --seed 3 --background 102030
expect_pixel "outside: background" a.cvn 6 0 0 102030
cp a.cvn b.cvn
check "again a" 0 "$CLI" generate a.cvn --mode sound-wave --style 1 --frames 5 --seed 8
check "again b" 0 "$CLI" generate b.cvn --mode sound-wave --style 1 --frames 5 --seed 8
cmp -s a.cvn b.cvn && pass=$((pass + 1)) || { fail=$((fail + 1)); echo "FAIL: the same seed made other frames"; }
# Cover mode after the last frame appends (the command runs after the clip's last frame).
check "doc 2" 0 "$CLI" new-project c.cvn --width 8 --height 4 --frames 5
check "cover" 0 "$CLI" generate c.cvn --mode gradual-changing --style 6 --frames 3 --cover --colors 00FF00
frames_of "cover appends after the last" c.cvn 8
expect_pixel "cover drew" c.cvn 8 0 0 00FF00
# A library list as the colours; the jalousie's block number.
check "library" 0 "$CLI" colors add --colors 112233,445566 --steps 16 --library lib.clb
check "jalousie" 0 "$CLI" generate c.cvn --mode jalousie --style 2 --block-number 2 --colors lib.clb:1
contains "four frames" out "4 frames made"
# The port styles follow the wiring.
check "layout" 0 "$CLI" layout new wall.lnf --rows 4 --cols 8
check "wire" 0 "$CLI" layout add wall.lnf --from 0,0 --to 7,0 --mode s-h
check "inter-port" 0 "$CLI" generate c.cvn --mode moving --style 10 --frames 2 --lines wall.lnf --colors FFFF00
expect_pixel "port painted" c.cvn 13 3 0 FFFF00

# Toy bricks pile up until the wall is full: 8 x 4 with 2 x 1 bricks fills columns 0, 1, 3, 4, 6, 7.
check "doc 3" 0 "$CLI" new-project t.cvn --width 8 --height 4
check "bricks" 0 "$CLI" generate t.cvn --mode toy-bricks --style 4 --brick-width 2 --brick-height 1 --space 1 --frequency 1 --rebound 0 --colors 00FFFF
contains "bricks say" out "Toy bricks Down(4):"
n=$("$CLI" info --json t.cvn | grep -o '"frames":[0-9]*' | head -1 | cut -d: -f2)
expect_pixel "wall" t.cvn "$n" 6 0 00FFFF
expect_pixel "gap" t.cvn "$n" 5 3 000000
check "bad brick" 2 "$CLI" generate t.cvn --mode toy-bricks --style 1 --brick-width 0

# V shape: the colour list laid cycles times, interval pixels a colour.
check "v shape" 0 "$CLI" generate t.cvn --mode v-shape --style 2 --v-kind turn --steps-interval 1 --color-pad-cycles 2 --colors FF0000,00FF00,0000FF
contains "v frames" out "130 frames made"  # 65 colours (grade 8 runs between the three) twice

# The "Other" styles with their values.
check "diffuse" 0 "$CLI" generate t.cvn --mode other --style 2 --frames 3 --center-x 0 --center-y 0 --shape square --inward
check "linetype" 0 "$CLI" generate t.cvn --mode other --style 3 --frames 3 --angle 90 --line-width 2
check "random" 0 "$CLI" generate t.cvn --mode other --style 4 --frames 3 --min-size 1 --max-size 2 --blocks 4 --keep
check "bad shape" 2 "$CLI" generate t.cvn --mode other --style 2 --shape star
check "bad angle" 2 "$CLI" generate t.cvn --mode other --style 3 --angle 360

# An option of another mode or style is refused (usage 2) and the options that apply are named.
cp t.cvn t-before.cvn
check "blocks of jalousie" 2 "$CLI" generate t.cvn --mode jalousie --style 1 --blocks 2
contains "blocks belong to random" err "--blocks does not apply to --mode jalousie --style 1 (it belongs to --mode other --style 4)"
contains "jalousie's options" err "--mode jalousie --style 1 takes --frames, --block-number, --render and the common options --background, --clip, --colors, --cover, --grade, --mode, --rect, --seed, --steps, --style"
check "particle values on diffuse" 2 "$CLI" generate t.cvn --mode other --style 2 --particle y=top
contains "particle belongs to style 1" err "--particle does not apply to --mode other --style 2 (it belongs to --mode other --style 1)"
contains "diffuse's options" err "--mode other --style 2 takes --frames, --step, --render, --center-x, --center-y, --shape, --ring-width, --inward and"
check "inward on linetype" 2 "$CLI" generate t.cvn --mode other --style 3 --inward
contains "linetype's options" err "--mode other --style 3 takes --frames, --step, --render, --angle, --line-width, --speed and"
check "frames of toy bricks" 2 "$CLI" generate t.cvn --mode toy-bricks --style 1 --frames 5
contains "bricks decide their length" err "--frames does not apply to --mode toy-bricks --style 1"
check "lines of moving left" 2 "$CLI" generate t.cvn --mode moving --style 1 --lines wall.lnf
contains "lines belong to the port styles" err "(it belongs to --mode moving --style 9, --mode moving --style 10)"
check "block number of dropping" 2 "$CLI" generate t.cvn --mode dropping --style 1 --block-number 3
contains "dropping's options" err "--mode dropping --style 1 takes --frames, --filter-number, --render and"
check "v-shape values on moving" 2 "$CLI" generate t.cvn --mode moving --style 2 --v-kind turn
contains "v-shape's option" err "(it belongs to --mode v-shape)"
check "chinese" 2 "$CLI" --lang 1 generate t.cvn --mode jalousie --style 1 --blocks 2
contains "chinese text" err "--blocks 不适用于 --mode jalousie --style 1 (它属于 --mode other --style 4); --mode jalousie --style 1 可用 --frames、--block-number、--render 以及通用选项 --background、"
# The step, recycle and "Romance:" belong to the modes that paint with them.
check "render of moving" 2 "$CLI" generate t.cvn --mode moving --style 1 --frames 10 --render left
contains "render's modes" err "--render does not apply to --mode moving --style 1 (it belongs to --mode gradual-changing, --mode dropping, --mode picture-and-text, --mode toy-bricks, --mode sound-wave, --mode jalousie, --mode other)"
contains "moving's options" err "--mode moving --style 1 takes --frames, --step, --recycle and the common options --background, --clip, --colors, --cover, --grade, --mode, --rect, --seed, --steps, --style"
check "recycle of v-shape" 2 "$CLI" generate t.cvn --mode v-shape --style 1 --recycle
contains "recycle's modes" err "--recycle does not apply to --mode v-shape --style 1 (it belongs to --mode moving, --mode symmetry, --mode diffusing); --mode v-shape --style 1 takes --v-kind, --steps-interval, --color-pad-cycles and"
check "step of v-shape" 2 "$CLI" generate t.cvn --mode v-shape --style 1 --step 5
contains "step's modes" err "--step does not apply to --mode v-shape --style 1 (it belongs to --mode moving, --mode symmetry, --mode other)"
check "recycle of interleaving" 2 "$CLI" generate t.cvn --mode interleaving --style 1 --recycle
contains "interleaving's options" err "--mode interleaving --style 1 takes --frames and the common options"
check "step of diffusing" 2 "$CLI" generate t.cvn --mode diffusing --style 1 --step 2
contains "diffusing's options" err "--mode diffusing --style 1 takes --frames, --recycle and"
check "render of symmetry" 2 "$CLI" generate t.cvn --mode symmetry --style 1 --render up
check "step of rotation" 2 "$CLI" generate t.cvn --mode rotation --style 1 --step 2
check "recycle of sound-wave" 2 "$CLI" generate t.cvn --mode sound-wave --style 1 --recycle
check "step of toy bricks" 2 "$CLI" generate t.cvn --mode toy-bricks --style 1 --step 2
# Picture-and-text: the scrolled text decides its length; the list plays --kind in --frames steps.
check "frames of the text" 2 "$CLI" generate t.cvn --mode picture-and-text --style 1 --text AB --frames 5
contains "frames belong to the list" err "--frames does not apply to --mode picture-and-text --text ("
contains "text's options" err "--mode picture-and-text --text takes --font, --size, --render, --text, --direction, --text-color and"
check "kind of the text" 2 "$CLI" generate t.cvn --mode picture-and-text --style 1 --text AB --kind 3
contains "kind belongs to the list" err "--kind does not apply to --mode picture-and-text --text (it belongs to --mode picture-and-text --files)"
printf 'AB' > words.txt
check "direction of the list" 2 "$CLI" generate t.cvn --mode picture-and-text --style 1 --files words.txt --direction vertical
contains "direction belongs to the text" err "--direction does not apply to --mode picture-and-text --files (it belongs to --mode picture-and-text --text); --mode picture-and-text --files takes --font, --size, --render, --files, --frames, --kind and"
check "chinese scope" 2 "$CLI" --lang 1 generate t.cvn --mode v-shape --style 1 --step 5
contains "chinese step" err "--step 不适用于 --mode v-shape --style 1 (它属于 --mode moving、--mode symmetry、--mode other)"
cmp -s t.cvn t-before.cvn && pass=$((pass + 1)) || { fail=$((fail + 1)); echo "FAIL: a refused option changed the document"; }
# The right options of the same modes still work, with the common ones beside them.
check "jalousie with its own" 0 "$CLI" generate t.cvn --mode jalousie --style 1 --block-number 2 --render left --seed 2
check "random with its own" 0 "$CLI" generate t.cvn --mode other --style 4 --frames 2 --blocks 3 --keep --step 1
check "moving with step and recycle" 0 "$CLI" generate t.cvn --mode moving --style 5 --frames 2 --step 2 --recycle
check "diffusing with recycle" 0 "$CLI" generate t.cvn --mode diffusing --style 1 --frames 2 --recycle
check "toy bricks with render" 0 "$CLI" generate t.cvn --mode toy-bricks --style 1 --render left
check "particles with render" 0 "$CLI" generate t.cvn --mode other --style 1 --frames 2 --render up

# Bad input: usage 2, failure 1, the document untouched.
cp c.cvn kept.cvn
check "no mode" 2 "$CLI" generate c.cvn --style 1
check "unknown mode" 2 "$CLI" generate c.cvn --mode sparkle --style 1
contains "lists the modes" err "gradual-changing"
check "style 0" 2 "$CLI" generate c.cvn --mode moving --style 0
check "style 11" 2 "$CLI" generate c.cvn --mode moving --style 11
check "picture-and-text without a list or text" 2 "$CLI" generate c.cvn --mode picture-and-text --style 1
check "picture-and-text of a missing file" 1 "$CLI" generate c.cvn --mode picture-and-text --style 1 --files gone.png
# Particles: the same seed gives the same frames; a template of the home's library; bad values.
check "particles" 0 "$CLI" generate c.cvn --mode other --style 1 --frames 12 --seed 4 --particle y=middle,vy=0,vx=0,send=50
contains "particles made" out "Other Particle(1): 12 frames made"
cp c.cvn p1.cvn
cp kept.cvn p2.cvn
check "particles again" 0 "$CLI" generate p2.cvn --mode other --style 1 --frames 12 --seed 4 --particle y=middle,vy=0,vx=0,send=50
cmp -s p1.cvn p2.cvn && pass=$((pass + 1)) || { fail=$((fail + 1)); echo "FAIL: the same seed made other particles"; }
cp kept.cvn c.cvn
mkdir -p home
printf '[Main]\nNumber=1\nName1=Rain\n[Rain]\nComboSel_1=0\nSpeed=25\n' > home/ParticleLib.ptb
check "template" 0 "$CLI" generate c.cvn --mode other --style 1 --frames 4 --template Rain
check "no such template" 1 "$CLI" generate c.cvn --mode other --style 1 --template Hail
check "bad particle value" 2 "$CLI" generate c.cvn --mode other --style 1 --particle wind=north
check "bad particle key" 2 "$CLI" generate c.cvn --mode other --style 1 --particle colour=5
printf 'not a picture' > dot.bmp
check "unreadable particle picture" 1 "$CLI" generate c.cvn --mode other --style 1 --particle-picture dot.bmp
cp kept.cvn c.cvn
check "bad v kind" 2 "$CLI" generate c.cvn --mode v-shape --style 1 --v-kind sideways
check "bad render" 2 "$CLI" generate c.cvn --mode dropping --style 3 --render sideways
check "bad colours" 2 "$CLI" generate c.cvn --mode moving --style 1 --colors 12
check "empty colours" 2 "$CLI" generate c.cvn --mode moving --style 1 --colors ""
check "ports without lines" 2 "$CLI" generate c.cvn --mode moving --style 9
check "big layout" 0 "$CLI" layout new big.lnf --rows 40 --cols 40
check "layout too large" 1 "$CLI" generate c.cvn --mode moving --style 9 --lines big.lnf
check "damaged library" 1 "$CLI" generate c.cvn --mode moving --style 1 --colors kept.cvn:1
check "missing" 1 "$CLI" generate none.cvn --mode moving --style 1
cmp -s c.cvn kept.cvn && pass=$((pass + 1)) || { fail=$((fail + 1)); echo "FAIL: bad input changed the document"; }

finish
