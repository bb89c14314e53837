#!/usr/bin/env bash
# End-to-end tests of the command line on bad input: targets that are links, pipes, devices or
# folders; values out of range; files that claim more than they hold; damaged files. Each case
# checks the exit code, the message and that no file was destroyed.
set -u
CLI="$(realpath "$1")"
DATA="$(realpath "$2")"
source "$(dirname "$0")/../checks.sh"
export CORVANTINE_HOME="$WORK/home"
cd "$WORK" || exit 1

same() {  # same NAME FILE1 FILE2: the two files hold the same bytes
  if cmp -s "$2" "$3"; then pass=$((pass + 1)); else fail=$((fail + 1)); echo "FAIL: $1: $2 and $3 differ"; fi
}
is() {  # is NAME TEST ARGS...: a shell test that must hold
  local name="$1"
  shift
  if test "$@"; then pass=$((pass + 1)); else fail=$((fail + 1)); echo "FAIL: $name: test $*"; fi
}
# Runs a command with its address space limited (to show that a file's claims do not decide the
# memory taken). Sanitizer builds reserve terabytes of address space: there the limit is left out.
limited() {
  local bytes="$1"
  shift
  if [ "${CORV_SANITIZED:-0}" = "1" ] || ! command -v prlimit >/dev/null; then "$@"; else prlimit --as="$bytes" "$@"; fi
}

# --- Every command keeps the exit-code promise: 0 for help, 2 for bad usage. ---
commands=$("$CLI" --help | sed -n '/^Commands:/,/^$/p' | awk 'NR > 1 && NF {print $1}')
is "command list" -n "$commands"
for c in $commands; do
  check "$c --help" 0 "$CLI" "$c" --help
  contains "$c help" out "Usage: corvantine-cli $c"
  check "$c unknown option" 2 "$CLI" "$c" --no-such-option x
done
for c in $commands; do
  [ "$c" = card ] && continue  # takes no argument: lists the devices
  check "$c without arguments" 2 "$CLI" "$c"
done
check "help explains the languages" 0 "$CLI" --help
contains "languages named" out "1 Simplified Chinese"

# --- Writes never destroy the wrong thing. ---
check "document" 0 "$CLI" new-project a.cvn --width 4 --height 3 --frames 2
mkdir -p real
cp a.cvn real/target.cvn
ln -s real/target.cvn link.cvn
check "save over a link" 0 "$CLI" new-project link.cvn --width 2 --height 2 --frames 5
is "link stays a link" -L link.cvn
check "link target replaced" 0 "$CLI" info real/target.cvn
contains "target holds the new document" out "2 x 2, 5 frames"
mkfifo pipe.cvn
check "save over a pipe" 1 "$CLI" new-project pipe.cvn --width 2 --height 2
contains "pipe named" err "pipe.cvn: is not a regular file"
is "pipe stays a pipe" -p pipe.cvn
mkdir folder.cvn
check "save over a folder" 1 "$CLI" new-project folder.cvn --width 2 --height 2
contains "folder named" err "folder.cvn: is a folder"
if [ "$(id -u)" = 0 ]; then
  mknod fakefull c 1 7
  check "save over a device" 1 "$CLI" new-project fakefull --width 2 --height 2
  is "device stays a device" -c fakefull
  check "layout over a device" 1 "$CLI" layout new fakefull --rows 2 --cols 2
  is "device still a device" -c fakefull
fi
check "save into a missing folder" 1 "$CLI" new-project nodir/x.cvn --width 2 --height 2
contains "reason given" err "Save file fail! nodir/x.cvn: No such file or directory"
check "layout" 0 "$CLI" layout new l.lnf --rows 2 --cols 3
check "wire" 0 "$CLI" layout add l.lnf --from 0,0 --to 2,0
for target in pipe.cvn folder.cvn; do
  check "export-map to $target" 1 "$CLI" export-map l.lnf "$target"
  check "pack to $target" 1 "$CLI" pack a.cvn "$target" --builtin
  check "output to $target" 1 "$CLI" output a.cvn --lines l.lnf --out "$target" --card none
  check "render-layout to $target" 1 "$CLI" render-layout l.lnf "$target"
done
check "output failure message" 1 "$CLI" output a.cvn --lines l.lnf --out nodir/x.led --card none
contains "write failure names the file" err "Write file fail! nodir/x.led: No such file or directory"
if grep -q "Output File finished" "$WORK/out" "$WORK/err"; then
  fail=$((fail + 1)); echo "FAIL: finished reported after a failure"
else pass=$((pass + 1)); fi

# A failing write (a file size limit) leaves the old picture whole.
check "render" 0 "$CLI" render-layout l.lnf pic.png --cell 40
cp pic.png pic.before
( trap '' XFSZ; ulimit -f 1; exec "$CLI" render-layout l.lnf pic.png --cell 64 ) >"$WORK/out" 2>"$WORK/err"
is "failed render reports failure" "$?" -eq 1
same "old picture untouched" pic.png pic.before

# Several masters: names are made from the chosen name without its extension, never its folder.
check "two slaves" 0 "$CLI" layout add l.lnf --from 0,1 --to 2,1 --line 2
check "two masters" 0 "$CLI" layout set l.lnf --groups 1
mkdir -p od
check "output without extension" 0 "$CLI" output a.cvn --lines l.lnf --out od/x --card none --seed 1
is "first master in its folder" -f od/x1.led
is "second master in its folder" -f od/x2.led
is "nothing in the current folder" ! -e 1.led
check "output with extension" 0 "$CLI" output a.cvn --lines l.lnf --out od/001.led --card none --seed 1
is "described name kept" -f od/0011.led

# dxf with a picture that cannot be written writes no line file either.
check "dxf picture into a missing folder" 1 "$CLI" dxf "$DATA/dxf/led_grid_r12.dxf" d.lnf --picture nodir/p.png --width 40 --height 40
is "no line file" ! -e d.lnf

# dxf with a picture that cannot be written out in full (a file size limit) writes neither file.
( trap '' XFSZ; ulimit -f 2; exec "$CLI" dxf "$DATA/dxf/led_grid_r12.dxf" aon.lnf --picture aon.bmp --width 40 --height 40 ) \
  >"$WORK/out" 2>"$WORK/err"
is "dxf with a picture too large fails" "$?" -eq 1
is "no line file without its picture" ! -e aon.lnf
is "no picture either" ! -e aon.bmp

# The outside archiver follows the same rules: a link is followed, a device refused.
mkdir -p fakebin tgt
cat >fakebin/rar <<'EOS'
#!/bin/sh
# Stands in for the outside archiver: writes a marked file where the archive is asked for.
for a; do archive=$prev; prev=$a; done
printf 'Rar!\032\007\000fake' >"$archive"
EOS
chmod +x fakebin/rar
cp a.cvn tgt/target.rar
ln -s tgt/target.rar lnk.rar
check "outside archiver through a link" 0 env PATH="$WORK/fakebin:$PATH" "$CLI" pack a.cvn lnk.rar
is "link kept" -L lnk.rar
if head -c 4 tgt/target.rar | grep -q 'Rar!'; then pass=$((pass + 1)); else fail=$((fail + 1)); echo "FAIL: link target not replaced"; fi
if [ "$(id -u)" = 0 ]; then
  check "outside archiver onto a device" 1 env PATH="$WORK/fakebin:$PATH" "$CLI" pack a.cvn fakefull
  is "device kept" -c fakefull
fi

# import-led into a compressed document updates the archive; nothing else is written.
check "single master layout" 0 "$CLI" layout set l.lnf --groups ""
check "data file" 0 "$CLI" output a.cvn --lines l.lnf --out one.led --card none --seed 2
check "pack target" 0 "$CLI" pack a.cvn show.rar --builtin
cp a.cvn show.cvn
check "import into an archive" 0 "$CLI" import-led one.led --lines l.lnf --into show.rar
same "plain document beside it untouched" show.cvn a.cvn
check "archive updated" 0 "$CLI" info show.rar
contains "archive has the imported frames" out "(compressed)"
contains "frames appended" out "4 x 3, 3 frames"

# --- One rule for every writer: a link is followed, the file it points to is replaced through a
# temporary file in that file's own folder, and the link stays a link. ---
PLAYER="$(dirname "$CLI")/corvantine-player"
export QT_QPA_PLATFORM=offscreen
mkdir -p lk far
echo old >old.txt
new_link() {  # new_link NAME FROM: far/NAME holds a copy of FROM, lk/l-NAME links to it
  cp "$2" "far/$1"
  cp "$2" "far.$1.orig"
  rm -f "lk/l-$1"
  ln -s "../far/$1" "lk/l-$1"
}
linked() {  # linked NAME FILE: FILE was written through lk/l-FILE
  is "$1: link kept" -L "lk/l-$2"
  is "$1: target a regular file" -f "far/$2"
  if cmp -s "far/$2" "far.$2.orig"; then fail=$((fail + 1)); echo "FAIL: $1: the link's target was not written"; else pass=$((pass + 1)); fi
  if [ -n "$(ls -A lk | grep -v '^l-')" ] || [ -n "$(ls -A far | grep '^\.')" ]; then
    fail=$((fail + 1)); echo "FAIL: $1: temporary file left:"; ls -A lk far
  else pass=$((pass + 1)); fi
}
writes_through() {  # writes_through FILE FROM COMMAND...: COMMAND (naming lk/l-FILE) writes through the link
  local file="$1" from="$2"
  shift 2
  new_link "$file" "$from"
  check "$file through a link" 0 "$@"
  linked "$file through a link" "$file"
}
writes_through np.cvn old.txt "$CLI" new-project lk/l-np.cvn --width 2 --height 2 --frames 1
writes_through ln.lnf old.txt "$CLI" layout new lk/l-ln.lnf --rows 2 --cols 2
writes_through rl.png old.txt "$CLI" render-layout l.lnf lk/l-rl.png
writes_through em.map old.txt "$CLI" export-map l.lnf lk/l-em.map
check "hmc layout" 0 "$CLI" layout new hm.lnf --rows 2 --cols 6
check "hmc line" 0 "$CLI" layout add hm.lnf --from 0,0 --to 5,0
writes_through eh.hmc old.txt "$CLI" export-hmc hm.lnf lk/l-eh.hmc
writes_through pk.rar old.txt "$CLI" pack a.cvn lk/l-pk.rar --builtin
writes_through up.cvn old.txt "$CLI" unpack show.rar lk/l-up.cvn
writes_through out.led old.txt "$CLI" output a.cvn --lines l.lnf --out lk/l-out.led --card none --seed 1
writes_through of.led old.txt "$CLI" output-from a.cvn --lines l.lnf --out lk/l-of.led --card none --seed 1
writes_through ev.avi old.txt "$CLI" export-video a.cvn lk/l-ev.avi
writes_through rp.png old.txt "$CLI" render-preview a.cvn l.lnf lk/l-rp.png
writes_through rp.gif old.txt "$CLI" render-preview a.cvn l.lnf lk/l-rp.gif
writes_through de.run old.txt "$CLI" design a.cvn export lk/l-de.run
is "exported file executable through the link" -x far/de.run
writes_through fb.blk old.txt "$CLI" frames copy a.cvn --first 1 --last 1 --block lk/l-fb.blk
writes_through me.mde old.txt "$CLI" module export lk/l-me.mde
writes_through dx.lnf old.txt "$CLI" dxf "$DATA/dxf/led_grid_r12.dxf" lk/l-dx.lnf
writes_through tr.cvn old.txt "$CLI" transition pic.png pic.png lk/l-tr.cvn --steps 2
check "empty layout" 0 "$CLI" layout new empty.lnf --rows 2 --cols 3
writes_through la.lnf empty.lnf "$CLI" layout add lk/l-la.lnf --from 0,0 --to 2,0
check "colour library" 0 "$CLI" colors add --colors 000000,FFFFFF --library cl.clb
writes_through cl.clb cl.clb "$CLI" colors add --colors FF0000,0000FF --library lk/l-cl.clb
# Documents changed in place through a link: the document it names is the one changed.
writes_through da.cvn a.cvn "$CLI" design lk/l-da.cvn add rectangle --box 0,0,10,10
writes_through dr.cvn a.cvn "$CLI" design lk/l-dr.cvn render --frames 1
writes_through af.cvn a.cvn "$CLI" append-frames a.cvn lk/l-af.cvn --first 1 --last 1
writes_through il.cvn a.cvn "$CLI" import-led one.led --lines l.lnf --into lk/l-il.cvn
check "document changed through a link reads back" 0 "$CLI" design far/da.cvn list
contains "design added through the link" out "1 items"

# --- An output that is one of the inputs is refused before anything is written. ---
cp a.cvn in.cvn
cp in.cvn in.before
ln -s in.cvn in-link.cvn
mkdir -p sub
for out in in.cvn in-link.cvn sub/../in.cvn "$WORK/in.cvn"; do
  check "export over its document: $out" 1 "$CLI" design in.cvn export "$out"
  contains "export over its document named: $out" err "$out is the same file as the input in.cvn; choose another output"
  same "document kept: $out" in.cvn in.before
done
is "document link kept" -L in-link.cvn
check "export over its document, chinese" 1 "$CLI" --lang 1 design in.cvn export in.cvn
contains "chinese same-file text" err "in.cvn 与输入文件 in.cvn 是同一个文件"
cp "$PLAYER" pl.copy
check "export over the player" 1 "$CLI" design in.cvn export pl.copy --player pl.copy
contains "player named" err "pl.copy is the same file as the input pl.copy"
same "player kept" pl.copy "$PLAYER"
# A player that is not ours: a text file, another program (an ELF file without the player's mark).
check "text file as player" 1 "$CLI" design in.cvn export e1.run --player old.txt
contains "text player refused" err "old.txt is not the effect player program"
is "no effect file from a text player" ! -e e1.run
check "another program as player" 1 "$CLI" design in.cvn export e2.run --player "$CLI"
contains "program refused" err "is not the effect player program"
is "no effect file from another program" ! -e e2.run
check "chinese player refusal" 1 "$CLI" --lang 1 design in.cvn export e3.run --player old.txt
contains "chinese player text" err "old.txt 不是效果播放程序"
check "the real player" 0 "$CLI" design in.cvn export e4.run --player pl.copy
is "effect file made" -x e4.run
same "document still kept" in.cvn in.before

# --- A failed write names the file and the system's reason (a file size limit: the write fails
# with EFBIG, the signal ignored). ---
# More frames than one gathered write takes: the failure comes in the middle of the write.
check "larger document" 0 "$CLI" new-project big.cvn --width 2 --height 2 --frames 1100
cp big.cvn big.before
limited_write() {  # limited_write NAME COMMAND...: COMMAND under a 1 KiB file size limit fails
  local name="$1"
  shift
  ( trap '' XFSZ; ulimit -f 1; exec "$@" ) >"$WORK/out" 2>"$WORK/err"
  is "$name fails" "$?" -eq 1
}
limited_write "design render" "$CLI" design big.cvn render --frames 4
contains "render failure named" err "Save file fail! big.cvn: File too large"
same "render left the document" big.cvn big.before
limited_write "design add" "$CLI" design big.cvn add ellipse --box 0,0,50,50
contains "add failure named" err "Save file fail! big.cvn: File too large"
same "add left the document" big.cvn big.before
echo old >ex.run
cp ex.run ex.before
limited_write "design export" "$CLI" design big.cvn export ex.run
contains "export failure named" err "Save file fail! ex.run: File too large"
same "export left the old file" ex.run ex.before
if grep -q "EffectBlock" "$WORK/err"; then fail=$((fail + 1)); echo "FAIL: the private copy named"; else pass=$((pass + 1)); fi
limited_write "chinese render" "$CLI" --lang 1 design big.cvn render --frames 4
contains "chinese failure named" err "保存文件失败! big.cvn: File too large"
limited_write "new document" "$CLI" new-project huge.cvn --width 64 --height 64 --frames 4
contains "new document failure named" err "Save file fail! huge.cvn: File too large"
is "no half document" ! -e huge.cvn
limited_write "video export" "$CLI" export-video big.cvn big.avi
contains "video failure named" err "big.avi"
contains "video failure reason" err "File too large"
is "no half movie" ! -e big.avi
limited_write "preview picture" "$CLI" render-preview big.cvn l.lnf big.png --size 1600,1200
contains "preview failure named" err "Save file fail! big.png: File too large"
if [ -n "$(ls -A | grep '^\.')" ]; then fail=$((fail + 1)); echo "FAIL: temporary files left:"; ls -A | grep '^\.'; else pass=$((pass + 1)); fi

# --- Inputs are checked, not silently clamped. ---
check "rows below 1" 2 "$CLI" layout new x.lnf --rows -5 --cols 3
contains "rows range" err "--rows takes 1..65535"
check "rows 0" 2 "$CLI" layout new x.lnf --rows 0 --cols 3
check "grid past the cell limit" 2 "$CLI" layout new x.lnf --rows 5000 --cols 5000
contains "limit named" err "at most 16777216 cells"
is "nothing written" ! -e x.lnf
cp l.lnf l.before
check "gamma 1000" 2 "$CLI" layout set l.lnf --gamma 1000
contains "gamma range" err "--gamma takes 0.2..10"
check "gamma -2" 2 "$CLI" layout set l.lnf --gamma -2
check "clock 1000" 2 "$CLI" layout set l.lnf --clock 1000
contains "clock range" err "0.1 to 50"
check "chip not in the catalogue" 2 "$CLI" layout set l.lnf --chip 50
contains "chip list named" err "chip list"
check "slave 9 of 2" 2 "$CLI" layout set l.lnf --slaves 9 --gamma 2
contains "slave range" err "--slaves takes slaves 1..2"
check "groups beyond the slaves" 2 "$CLI" layout set l.lnf --groups 9,9
check "from outside the grid" 2 "$CLI" layout add l.lnf --from -1,0 --to 1,1
contains "grid range" err "--from takes COL 0..2,ROW 0..1"
check "to outside the grid" 2 "$CLI" layout add l.lnf --from 0,0 --to 7,7
check "add that places nothing" 1 "$CLI" layout add l.lnf --from 0,0 --to 2,0
contains "nothing placed" err "placed no LED"
same "refused edits leave the file" l.lnf l.before
check "chip list" 0 "$CLI" chip list
contains "chip codes listed" out "code 3"
check "chip list json" 0 "$CLI" chip list --json
contains "chip json" out '"code":3'
check "module list json" 0 "$CLI" module list --json
contains "module json" out '"name":"Single pixel"'
check "layout set help gives units" 0 "$CLI" layout --help
contains "units" out "0.1..50 MHz"
contains "wiring start" out "where the drag ends"

: >empty.dxf
check "dxf of an empty file" 1 "$CLI" dxf empty.dxf e.lnf
contains "not a drawing" err "not a DXF drawing"
check "dxf of a picture" 1 "$CLI" dxf pic.png e.lnf
is "no layout from a non-drawing" ! -e e.lnf
full=$(stat -c %s "$DATA/dxf/led_grid_r12.dxf")
head -c $((full * 2 / 3)) "$DATA/dxf/led_grid_r12.dxf" >cut.dxf
check "dxf cut short imports what it holds" 0 "$CLI" dxf cut.dxf cut.lnf
contains "early end warned" err "ends before its ENTITIES section does"
printf '  0\nSECTION\n  2\nENTITIES\n  0\nCIRCLE\n 10\ninf\n 20\n0\n 40\n1\n  0\nCIRCLE\n 10\n1e300\n 20\nnan\n 40\n1\n  0\nCIRCLE\n 10\n0\n 20\n0\n 40\n1\n  0\nENDSEC\n' >absurd.dxf
check "dxf with absurd coordinates" 0 timeout 20 "$CLI" dxf absurd.dxf abs.lnf
contains "absurd entities named" err "2 entities with coordinates that are not finite"
check "dxf vertex drawing" 0 "$CLI" dxf "$DATA/dxf/led_vertex_lwpolyline_r2010.dxf" v.lnf --vertex-mode --json
contains "vertex LEDs kept apart" out '"sharedCells":0'

# --- Sizes claimed by a file never decide the memory taken. ---
cp l.lnf huge.lnf
printf '\xff\xff\xff\xff' | dd of=huge.lnf bs=1 seek=10 conv=notrunc 2>/dev/null
for c in "export-map huge.lnf m.map" "render-layout huge.lnf h.png" "export-hmc huge.lnf h.hmc" \
         "layout add huge.lnf --from 0,0 --to 1,1" "output a.cvn --lines huge.lnf --out h.led --card none"; do
  # shellcheck disable=SC2086
  check "huge grid: ${c%% *}" 1 limited 419430400 "$CLI" $c
  contains "huge grid refused: ${c%% *}" err "65535 rows x 65535 cols"
done
check "led data" 0 "$CLI" output a.cvn --lines l.lnf --out five.led --card none --seed 3
cp five.led claim.led
printf '\x00\x00\x00\xf0' | dd of=claim.led bs=1 seek=8 conv=notrunc 2>/dev/null
check "import of a 4 GB block claim" 1 limited 419430400 "$CLI" import-led claim.led --lines l.lnf --into a.cvn
contains "claim refused" err "disagrees with the slave records"
cp l.lnf outside.lnf
# The first point of line 1 sits right after the line count: move it far outside the 2 x 3 grid.
printf '\xff\xff\xff\xff' | dd of=outside.lnf bs=1 seek=28 conv=notrunc 2>/dev/null
check "export-hmc with a point outside the grid" 1 "$CLI" export-hmc outside.lnf o.hmc
contains "outside named" err "outside the grid"
check "map export of it warns" 0 "$CLI" export-map outside.lnf o.map
contains "loader tells" err "lie outside its 2 x 3 grid"

# --- Corrupt input that the format can notice is noticed. ---
check "pack" 0 "$CLI" pack a.cvn good.rar --builtin
cp good.rar flipped.rar
size=$(stat -c %s flipped.rar)
printf '\x5a' | dd of=flipped.rar bs=1 seek=$((size / 2)) conv=notrunc 2>/dev/null
check "flipped byte in an archive" 1 "$CLI" unpack flipped.rar out.cvn
contains "crc named" err "CRC error"
is "nothing extracted" ! -e out.cvn
# A damaged compressed document is named as the user gave it, never by its private working copy.
head -c 60 good.rar >short.rar
for c in "info flipped.rar" "design flipped.rar list" "frames repeat flipped.rar --first 1 --last 1 --times 1" "info short.rar"; do
  check "damaged archive: $c" 1 "$CLI" $c
  contains "$c: the archive named" err "Open file fail! $(echo "$c" | grep -o '[a-z]*\.rar'): "
  if grep -qF "/Corvantinev.cvn" "$WORK/err"; then fail=$((fail + 1)); echo "FAIL: $c names the working copy"; cat "$WORK/err"; else pass=$((pass + 1)); fi
done
check "damaged archive in Chinese" 1 "$CLI" --lang 1 info flipped.rar
contains "chinese reason" err "flipped.rar: \"Corvantinev.cvn\" 的 CRC 校验错误: 压缩包已损坏"
check "whole data file" 0 "$CLI" info --strict five.led
cp five.led cut.led
truncate -s -100 cut.led
check "info of a cut data file" 0 "$CLI" info cut.led
contains "partial block told" err "not a whole number of blocks"
check "strict info of a cut data file" 1 "$CLI" info --strict cut.led
cp five.led sum.led
# The checksum of slave 1 is the 13th record byte, spread over record bytes 24 and 25 (offset 18).
printf '\xff\xff' | dd of=sum.led bs=1 seek=42 conv=notrunc 2>/dev/null
check "info of a wrong checksum" 0 "$CLI" info sum.led
contains "checksum warned" err "slave 1 has a wrong checksum"
check "strict info of a wrong checksum" 1 "$CLI" info --strict sum.led
check "import of a wrong checksum" 0 "$CLI" import-led sum.led --lines l.lnf --into a.cvn
contains "import names the slave" err "slave 1 has a wrong checksum"
cp a.cvn stale.cvn
printf '\x09' | dd of=stale.cvn bs=1 seek=10 conv=notrunc 2>/dev/null
check "info of a stale header copy" 0 "$CLI" info stale.cvn
contains "stale copy warned" err "the header gives the first clip as"
check "output of a stale header copy" 0 "$CLI" output stale.cvn --lines l.lnf --out st.led --card none
contains "output warns too" err "the header gives the first clip as"
check "append to a stale header copy" 0 "$CLI" append-frames a.cvn stale.cvn --first 1 --last 1
contains "append warns too" err "header's copy of the clip size disagrees"
check "module file of the home" 0 "$CLI" module export mods.mde
check "module import of a picture" 1 "$CLI" module import pic.png
contains "picture refused" err "not a module file"
check "module list after the refusal" 0 "$CLI" module list
if [ "$(wc -l <"$WORK/out")" -eq 1 ]; then pass=$((pass + 1)); else fail=$((fail + 1)); echo "FAIL: junk module added"; fi
printf '\x02\x00\x02\x00' >cut.pet
head -c 300 /dev/zero >>cut.pet
check "lamp file cut below its count" 1 "$CLI" info cut.pet
contains "count named" err "states 2 lamp types but holds 1 whole records"

# --- Messages a user can act on. ---
check "clip 2 of one" 2 "$CLI" output a.cvn --lines l.lnf --out c.led --clip 2 --card none
contains "no clip 2" err "there is no clip 2"
check "first 0" 2 "$CLI" output a.cvn --lines l.lnf --out c.led --first 0 --card none
contains "range given" err "frames 1.."
check "last 9999" 2 "$CLI" output a.cvn --lines l.lnf --out c.led --last 9999 --card none
check "first after last" 2 "$CLI" output a.cvn --lines l.lnf --out c.led --first 2 --last 1 --card none
check "missing layout named" 1 "$CLI" import-led five.led --lines none.lnf --into a.cvn
contains "which input" err "none.lnf: No such file or directory"
check "missing document named" 1 "$CLI" import-led five.led --lines l.lnf --into none.cvn
contains "which document" err "none.cvn: No such file or directory"
check "line too long" 0 "$CLI" layout new long.lnf --rows 1 --cols 6000
check "long line" 0 "$CLI" layout add long.lnf --from 0,0 --to 5999,0 --limit 6000
check "document for it" 0 "$CLI" new-project long.cvn --width 6000 --height 1
check "output of a line too long" 1 "$CLI" output long.cvn --lines long.lnf --out long.led --card none
contains "too long named" err "more LEDs than a controller file can hold"
check "chinese save failure" 1 "$CLI" --lang 1 new-project nodir/x.cvn --width 2 --height 2
contains "chinese text" err "保存文件失败!"
check "pack prints no bar into a file" 0 "$CLI" pack a.cvn quiet.rar --builtin
if [ -s "$WORK/err" ]; then fail=$((fail + 1)); echo "FAIL: progress printed to a file"; else pass=$((pass + 1)); fi

finish
