#!/usr/bin/env bash
# End-to-end tests of `corvantine-cli frames` on real documents: the range operations of the
# frame view without a window.
set -u
CLI="$(realpath "$1")"
source "$(dirname "$0")/../checks.sh"
export CORVANTINE_HOME="$WORK/home"
cd "$WORK" || exit 1


# Three frames of 10 x 8: red, green, blue.
check "red" 0 "$CLI" new-project a.cvn --width 10 --height 8 --color FF0000
check "green" 0 "$CLI" new-project g.cvn --width 10 --height 8 --color 00FF00
check "blue" 0 "$CLI" new-project b.cvn --width 10 --height 8 --color 0000FF
check "append green" 0 "$CLI" append-frames g.cvn a.cvn --first 1 --last 1
check "append blue" 0 "$CLI" append-frames b.cvn a.cvn --first 1 --last 1
cp a.cvn rgb.cvn

# Copy puts the marked block of the range on a file.
check "copy 2..3" 0 "$CLI" frames copy a.cvn --first 2 --last 3 --block gb.blk
size=$(stat -c %s gb.blk)
if [ "$size" -eq $((7 + 2 * 8 * 32)) ]; then pass=$((pass + 1)); else fail=$((fail + 1)); echo "FAIL: block is $size bytes"; fi
if [ "$(head -c1 gb.blk | od -An -tx1 | tr -d ' ')" = "ff" ]; then pass=$((pass + 1)); else fail=$((fail + 1)); echo "FAIL: no marker"; fi
same_doc() { if cmp -s "$1" "$2"; then pass=$((pass + 1)); else fail=$((fail + 1)); echo "FAIL: $3"; fi; }
same_doc a.cvn rgb.cvn "copy left the document alone"

# Repeat 2 gives A A A B B B C C C.
cp rgb.cvn r.cvn
check "repeat" 0 "$CLI" frames repeat r.cvn --first 1 --last 3 --times 2
contains "status" out "Frames: 9"
frames_of "repeat count" r.cvn 9
expect_pixel "repeat third" r.cvn 3 0 0 FF0000
expect_pixel "repeat fourth" r.cvn 4 0 0 00FF00
expect_pixel "repeat ninth" r.cvn 9 0 0 0000FF

# Spacing 1 over frames 1..6 removes 2, 4 and 6.
check "delete spacing" 0 "$CLI" frames delete r.cvn --first 1 --last 6 --spacing 1
frames_of "spacing count" r.cvn 6
expect_pixel "kept second" r.cvn 2 0 0 FF0000
expect_pixel "kept third" r.cvn 3 0 0 00FF00
# Deleting every frame leaves one background frame.
check "delete all" 0 "$CLI" frames delete r.cvn --first 1 --last 6
frames_of "one frame left" r.cvn 1
expect_pixel "background frame" r.cvn 1 0 0 000000
# With an edit area only the area is cleared.
cp rgb.cvn e.cvn
check "delete area" 0 "$CLI" frames delete e.cvn --first 1 --last 1 --rect 2,2,5,5
frames_of "area keeps frames" e.cvn 3
expect_pixel "area cleared" e.cvn 1 3 3 000000
expect_pixel "outside kept" e.cvn 1 0 0 FF0000

# Paste inserts after the place, overlays and mixes.
cp rgb.cvn p.cvn
check "paste insert twice" 0 "$CLI" frames paste p.cvn --block gb.blk --place 1 --times 2
frames_of "paste count" p.cvn 7
expect_pixel "pasted green" p.cvn 2 0 0 00FF00
expect_pixel "pasted blue" p.cvn 5 0 0 0000FF
check "paste overlay or" 0 "$CLI" frames paste p.cvn --block gb.blk --place 1 --overlay --combine or
expect_pixel "red or green" p.cvn 1 0 0 FFFF00
check "paste adding" 0 "$CLI" frames paste p.cvn --block gb.blk --place 7 --overlay --combine adding
frames_of "overlay appends past the end" p.cvn 8
check "paste reverse" 0 "$CLI" frames paste p.cvn --block gb.blk --place 8 --reverse-order
expect_pixel "reverse first" p.cvn 9 0 0 0000FF
check "paste bad direction" 2 "$CLI" frames paste p.cvn --block gb.blk --place 1 --direction sideways
contains "direction names" err "--direction takes original, horizontal, vertical, center"
# A picture with a marked corner mirrors to the opposite corner.
check "corner" 0 "$CLI" new-project c.cvn --width 4 --height 2 --color 000000
check "corner block" 0 "$CLI" frames copy rgb.cvn --first 1 --last 1 --rect 0,0,1,1 --block dot.blk
check "paste a dot" 0 "$CLI" frames paste c.cvn --block dot.blk --place 1 --overlay
contains "size differs" err "dissimilar"
check "corner copy" 0 "$CLI" frames copy c.cvn --first 1 --last 1 --block corner.blk
check "centre mirror" 0 "$CLI" frames paste c.cvn --block corner.blk --place 1 --direction center
expect_pixel "mirrored corner" c.cvn 2 3 1 FF0000
expect_pixel "original corner empty" c.cvn 2 0 0 000000

# Steps paste: 3 pictures, interval 1, into 10 columns; the third new frame shows 3, 2, 1.
cp rgb.cvn s.cvn
check "block of three" 0 "$CLI" frames copy s.cvn --first 1 --last 3 --block three.blk
check "steps paste" 0 "$CLI" frames steps-paste s.cvn --block three.blk --start 3 --interval 1
frames_of "steps count" s.cvn 6
expect_pixel "third: column 1" s.cvn 6 0 0 0000FF
expect_pixel "third: column 2" s.cvn 6 1 0 00FF00
expect_pixel "third: column 3" s.cvn 6 2 0 FF0000
expect_pixel "third: column 4" s.cvn 6 3 0 000000
check "steps paste size error" 1 "$CLI" frames steps-paste s.cvn --block dot.blk --start 1 --interval 1
contains "size error" err "Size error!"

# Move, insert, row-col-delete, export and import.
check "move" 0 "$CLI" frames move c.cvn --first 2 --last 2 --direction left --ranks 1
expect_pixel "moved left" c.cvn 2 2 1 FF0000
check "insert" 0 "$CLI" frames insert rgb.cvn --after 1
frames_of "inserted" rgb.cvn 4
expect_pixel "blank inserted" rgb.cvn 2 0 0 000000
check "row col delete" 0 "$CLI" frames row-col-delete c.cvn --first 2 --last 2 --keep-rows 1 --delete-rows 1 --keep-cols 1 --delete-cols 1
check "export" 0 "$CLI" frames export rgb.cvn pngs
contains "exported" out "exported 4 frames"
if [ "$(ls pngs | wc -l)" -eq 4 ]; then pass=$((pass + 1)); else fail=$((fail + 1)); echo "FAIL: not 4 pictures"; fi
check "import" 0 "$CLI" frames import g.cvn pngs/frame1.png pngs/frame3.png
frames_of "imported" g.cvn 3
expect_pixel "imported red" g.cvn 2 5 5 FF0000
check "import noise" 1 "$CLI" frames import g.cvn gb.blk
contains "not a picture" err "not a picture"

# Compressed documents stay compressed.
check "pack" 0 "$CLI" pack rgb.cvn rgb.rar --builtin
check "edit archive" 0 "$CLI" frames repeat rgb.rar --first 1 --last 1 --times 1
check "archive info" 0 "$CLI" info rgb.rar
contains "still compressed" out "(compressed)"
contains "repeated inside" out "5 frames"

# Bad input: damaged blocks, ranges, missing documents; the document on disk untouched.
cp a.cvn keep.cvn
head -c 100 gb.blk >cut.blk
check "damaged block" 1 "$CLI" frames paste a.cvn --block cut.blk --place 1
contains "block refused" err "not a frame block"
check "first 0" 2 "$CLI" frames delete a.cvn --first 0 --last 1
contains "valid range" err "frames 1..3"
check "last past the end" 2 "$CLI" frames repeat a.cvn --first 1 --last 9999 --times 1
check "first after last" 2 "$CLI" frames copy a.cvn --first 3 --last 2 --block x.blk
check "rect outside" 2 "$CLI" frames delete a.cvn --first 1 --last 1 --rect 0,0,11,8
check "clip 2" 2 "$CLI" frames delete a.cvn --first 1 --last 1 --clip 2
check "missing document" 1 "$CLI" frames delete none.cvn --first 1 --last 1
contains "missing named" err "none.cvn: No such file or directory"
check "unknown subcommand" 2 "$CLI" frames shuffle a.cvn
# An option of another subcommand is refused, naming the ones that apply.
check "rect of repeat" 2 "$CLI" frames repeat a.cvn --first 1 --last 1 --times 1 --rect 0,0,1,1
contains "rect belongs elsewhere" err \
  "--rect does not apply to frames repeat (it belongs to frames copy, frames paste, frames steps-paste, frames delete, frames move, frames row-col-delete)"
contains "repeat's options" err "frames repeat takes --first, --last, --times and the common options --clip"
check "block of insert" 2 "$CLI" frames insert a.cvn --after 1 --block gb.blk
contains "insert's options" err "frames insert takes --after and the common options --clip"
check "range of import" 2 "$CLI" frames import a.cvn gb.blk --first 1
contains "import's options" err "frames import takes only the common options --clip"
check "chinese: spacing of move" 2 "$CLI" --lang 1 frames move a.cvn --first 1 --last 1 --direction left --ranks 1 --spacing 2
contains "chinese text" err "--spacing 不适用于 frames move (它属于 frames delete); frames move 可用 --first、--last、--direction、--ranks、--increments、--rect 以及通用选项 --clip"
same_doc a.cvn keep.cvn "refused commands left the document alone"

finish
