#!/usr/bin/env bash
# End-to-end tests of the merge tool's command line on files made by corvantine-cli.
set -u
FUSE="$1"
CLI="$2"
source "$(dirname "$0")/../checks.sh"
export CORVANTINE_HOME="$WORK/home"
export LC_ALL=C.UTF-8  # English messages unless --lang says otherwise
# Runs with a small address space where the system can limit it.
# Sanitizer builds reserve terabytes of address space: no limit there.
if command -v prlimit >/dev/null 2>&1 && [ "${CORV_SANITIZED:-0}" != "1" ]; then SMALL=(prlimit --as=536870912); else SMALL=(); fi

check "version" 0 "$FUSE" --version
check "usage" 2 "$FUSE" merge-dat --mode frames
contains "usage: no output" err "fusebind merge-dat: no output file: name it with -o"

# Help on standard output, exit 0; usage mistakes named exactly on stderr, exit 2.
check "help" 0 "$FUSE" --help
contains "help text" out "Usage: fusebind [--lang 1|2|3]"
contains "help languages" out "1 Simplified Chinese,"
contains "help languages 2" out "2 Traditional Chinese, 3 English"
empty() {  # empty NAME FILE
  if [ -s "$WORK/$2" ]; then
    fail=$((fail + 1))
    echo "FAIL: $1: $2 is not empty:"
    cat "$WORK/$2"
  else
    pass=$((pass + 1))
  fi
}
empty "help stderr" err
check "merge-dat help" 0 "$FUSE" merge-dat --help
contains "merge-dat help text" out "Usage: fusebind [--lang 1|2|3] merge-dat --mode frames|slaves"
check "merge-vid help" 0 "$FUSE" merge-vid --help
contains "merge-vid help text" out "merge-vid --mode horizontal|vertical"
check "unknown option" 2 "$FUSE" merge-dat --mode frames --foo -o "$WORK/x.dat" a.dat b.dat
contains "unknown option text" err "fusebind merge-dat: unknown option --foo"
empty "unknown option stdout" out
check "-o without name" 2 "$FUSE" merge-dat --mode frames a.dat b.dat -o
contains "-o without name text" err "-o needs a file name"
check "bad mode" 2 "$FUSE" merge-dat --mode time -o "$WORK/x.dat" a.dat b.dat
contains "bad mode text" err "--mode takes frames or slaves"
check "bad vid mode" 2 "$FUSE" merge-vid --mode frames -o "$WORK/x.vid" a.vid b.vid
contains "bad vid mode text" err "--mode takes horizontal or vertical"
check "unknown command" 2 "$FUSE" join a.dat
contains "unknown command text" err 'unknown command "join"'
check "bad lang" 2 "$FUSE" --lang 5
contains "bad lang text" err "--lang takes 1 (Simplified Chinese), 2 (Traditional Chinese) or 3 (English)"
check "lang chinese mistake" 2 "$FUSE" --lang 1 merge-dat --foo
contains "lang chinese mistake text" err "未知选项 --foo"
check "lang chinese help" 0 "$FUSE" --lang 2 --help
contains "lang traditional help" out "1 簡體中文, 2 繁體中文, 3 英文"
"$CLI" layout new "$WORK/a.lnf" --rows 1 --cols 4 >/dev/null
"$CLI" layout add "$WORK/a.lnf" --from 0,0 --to 3,0 >/dev/null
"$CLI" new-project "$WORK/p1.cvn" --width 4 --height 1 --frames 3 --color 102030
"$CLI" new-project "$WORK/p2.cvn" --width 4 --height 1 --frames 5 --color 405060
"$CLI" output "$WORK/p1.cvn" --lines "$WORK/a.lnf" --out "$WORK/one.dat" --card none >/dev/null
"$CLI" output "$WORK/p2.cvn" --lines "$WORK/a.lnf" --out "$WORK/two.dat" --card none >/dev/null
check "merge frames" 0 "$FUSE" merge-dat --mode frames -o "$WORK/m.dat" "$WORK/one.dat" "$WORK/two.dat"
contains "merge frames message" out "Merge file is successfully!"
cp "$WORK/m.dat" "$WORK/m.led"
check "merged info" 0 "$CLI" info --json "$WORK/m.led"
contains "merged frames" out '"frames":8'
check "merge slaves without yes" 1 "$FUSE" merge-dat --mode slaves -o "$WORK/s.dat" "$WORK/one.dat" "$WORK/two.dat"
contains "question" err "Frame number vary!"
check "merge slaves yes" 0 "$FUSE" merge-dat --mode slaves -o "$WORK/s.dat" "$WORK/one.dat" "$WORK/two.dat" --yes
cp "$WORK/s.dat" "$WORK/s.led"
check "slaves info" 0 "$CLI" info --json "$WORK/s.led"
contains "slaves count" out '"slaveCount":2'
contains "slaves frames" out '"frames":5'
check "too few" 1 "$FUSE" merge-dat --mode frames -o "$WORK/x.dat" "$WORK/one.dat"
contains "too few message" err "File number is too small!"
check "vid too few" 1 "$FUSE" merge-vid --mode horizontal -o "$WORK/x.vid" "$WORK/none.vid"

# Failures name the file and the system's reason.
check "missing input" 1 "$FUSE" merge-dat --mode frames -o "$WORK/x.dat" "$WORK/one.dat" "$WORK/none.dat"
contains "missing input text" err "Open file fail! $WORK/none.dat: No such file or directory"
check "missing input chinese" 1 "$FUSE" --lang 1 merge-dat --mode frames -o "$WORK/x.dat" "$WORK/one.dat" "$WORK/none.dat"
contains "missing input chinese text" err "打开文件失败! $WORK/none.dat: No such file or directory"
check "output folder missing" 1 "$FUSE" merge-dat --mode frames -o "$WORK/no/x.dat" "$WORK/one.dat" "$WORK/two.dat"
contains "output folder missing text" err "$WORK/no/x.dat: No such file or directory"
# Outputs that are no regular file are refused, and nothing is written.
if [ -e /dev/full ]; then
  check "output device" 1 "$FUSE" merge-dat --mode frames -o /dev/full "$WORK/one.dat" "$WORK/two.dat"
  contains "output device text" err "/dev/full: is not a regular file"
fi
mkdir "$WORK/folder.dat"
check "output folder" 1 "$FUSE" merge-dat --mode slaves --yes -o "$WORK/folder.dat" "$WORK/one.dat" "$WORK/two.dat"
contains "output folder text" err "$WORK/folder.dat: is a folder, not a file"
[ -z "$(ls -A "$WORK/folder.dat")" ] && pass=$((pass + 1)) || { fail=$((fail + 1)); echo "FAIL: folder written"; }

# A partial frame block at the end of an input is left out, and the merge says so.
size=$(stat -c %s "$WORK/two.dat")
head -c $((size - 5)) "$WORK/two.dat" >"$WORK/cut.dat"
check "cut frames" 0 "$FUSE" merge-dat --mode frames -o "$WORK/c.dat" "$WORK/one.dat" "$WORK/cut.dat"
contains "cut warning" err "$WORK/cut.dat: the data ends inside a frame block; the partial block is left out and 4 whole frames are kept."
cp "$WORK/c.dat" "$WORK/c.led"
check "cut info" 0 "$CLI" info --json "$WORK/c.led"
contains "cut frames kept" out '"frames":7'
[ $(( ($(stat -c %s "$WORK/c.dat") - 512) % 512 )) -eq 0 ] && pass=$((pass + 1)) || { fail=$((fail + 1)); echo "FAIL: partial block written"; }
check "cut slaves" 0 "$FUSE" merge-dat --mode slaves --yes -o "$WORK/cs.dat" "$WORK/one.dat" "$WORK/cut.dat"
contains "cut slaves warning" err "$WORK/cut.dat: the data ends inside a frame block"
head -c 612 "$WORK/two.dat" >"$WORK/stub.dat"
check "no whole frame" 1 "$FUSE" merge-dat --mode frames -o "$WORK/s2.dat" "$WORK/one.dat" "$WORK/stub.dat"
contains "no whole frame text" err "$WORK/stub.dat: the data ends inside the first frame block; no whole frame is left."
[ ! -e "$WORK/s2.dat" ] && pass=$((pass + 1)) || { fail=$((fail + 1)); echo "FAIL: refused merge wrote"; }

# A slave record with a wrong checksum is merged with a warning naming the file and the slave.
cp "$WORK/two.dat" "$WORK/bad.dat"
byte=$(od -An -tu1 -j42 -N1 "$WORK/bad.dat" | tr -d ' ')
printf "\\x$(printf %02x $((byte ^ 128)))" | dd of="$WORK/bad.dat" bs=1 seek=42 conv=notrunc 2>/dev/null
cp "$WORK/bad.dat" "$WORK/bad.led"
check "bad checksum info" 0 "$CLI" info --json "$WORK/bad.led"
contains "bad checksum made" out '"checksumValid":false'
check "bad checksum merge" 0 "$FUSE" merge-dat --mode slaves --yes -o "$WORK/b.dat" "$WORK/one.dat" "$WORK/bad.dat"
contains "bad checksum warning" err "$WORK/bad.dat: the checksum of slave 1 is wrong; its record is kept as it is."
contains "bad checksum success" out "Merge file is successfully!"

# Video project files: a file may claim a picture it does not hold. Sizes are checked against
# the bytes there, memory stays small, and the output's size is checked against the free space.
le16() { printf '\\x%02x\\x%02x' $(($1 & 255)) $(($1 >> 8 & 255)); }
le32() { printf '\\x%02x\\x%02x\\x%02x\\x%02x' $(($1 & 255)) $(($1 >> 8 & 255)) $(($1 >> 16 & 255)) $(($1 >> 24 & 255)); }
scramble() {  # the stored frame count
  local base=$1 exponent=131 modulus=413856241 result=1
  base=$((base % modulus))
  while [ $exponent -gt 0 ]; do
    if [ $((exponent & 1)) -eq 1 ]; then result=$((result * base % modulus)); fi
    base=$((base * base % modulus))
    exponent=$((exponent >> 1))
  done
  echo $((result ^ 0xC3A95D76))
}
vidhead() {  # vidhead WIDTH HEIGHT FRAMES: the 294 bytes before the frames
  printf 'velt\0\0\0\0\0\0'
  printf "$(le16 $2)$(le16 $1)$(le16 1)$(le16 1)$(le32 1)$(le32 $1)$(le32 $2)"
  head -c 260 /dev/zero
  printf "$(le32 $(scramble $3))"
}
vidhead 32767 32761 0 >"$WORK/huge.vid"
[ "$(stat -c %s "$WORK/huge.vid")" -eq 294 ] && pass=$((pass + 1)) || { fail=$((fail + 1)); echo "FAIL: huge.vid size"; }
{ vidhead 1 1 100000; head -c 400000 /dev/zero; } >"$WORK/long.vid"
# A picture larger than the program opens (16,777,216 cells) is refused before anything is
# written, whatever the frames and the room.
check "huge claim" 1 "${SMALL[@]}" "$FUSE" merge-vid --mode vertical --yes -o "$WORK/h.vid" "$WORK/long.vid" "$WORK/huge.vid"
contains "huge claim text" err "Merge file failed! the merged picture would be 32767 x 32762 pixels, 1073512454 cells; the program opens pictures of at most 16777216 cells."
[ ! -e "$WORK/h.vid" ] && [ -z "$(ls -A "$WORK" | grep '^\.h\.vid')" ] && pass=$((pass + 1)) || { fail=$((fail + 1)); echo "FAIL: huge output written"; }
# The 294-byte file beside five small frames (16 GB to write before): refused the same way.
{ vidhead 4 4 5; head -c 320 /dev/zero; } >"$WORK/five.vid"
# (Files are limited to 100 MiB here, so that a regression cannot fill the disk.)
capped() { bash -c 'trap "" XFSZ; ulimit -f 102400; exec "$@"' capped "$@"; }
check "huge beside five frames" 1 capped "${SMALL[@]}" "$FUSE" merge-vid --mode vertical --yes -o "$WORK/h.vid" "$WORK/five.vid" "$WORK/huge.vid"
contains "huge beside five frames text" err "32767 x 32765 pixels, 1073610755 cells"
[ -z "$(ls -A "$WORK" | grep 'h\.vid')" ] && pass=$((pass + 1)) || { fail=$((fail + 1)); echo "FAIL: huge output left"; }
check "chinese cell limit" 1 capped "$FUSE" --lang 1 merge-vid --mode vertical --yes -o "$WORK/h.vid" "$WORK/five.vid" "$WORK/huge.vid"
contains "chinese cell limit text" err "程序最多打开16777216个点的画面"
# Within the limit (4096 x 4096) a large output still meets the system's limits: with files
# limited to 100 MiB the write fails with the system's reason, in little memory, and leaves
# nothing behind.
vidhead 4096 4092 0 >"$WORK/tall.vid"
if command -v prlimit >/dev/null 2>&1 && [ "${CORV_SANITIZED:-0}" != "1" ]; then
  check "large output, size limit" 1 prlimit --as=536870912 --fsize=104857600 "$FUSE" merge-vid --mode vertical --yes \
    -o "$WORK/h.vid" "$WORK/five.vid" "$WORK/tall.vid"
  contains "large output, size limit text" err "Merge file failed! $WORK/h.vid: File too large"
  [ -z "$(ls -A "$WORK" | grep 'h\.vid')" ] && pass=$((pass + 1)) || { fail=$((fail + 1)); echo "FAIL: large output left"; }
fi
check "huge side" 1 "${SMALL[@]}" "$FUSE" merge-vid --mode vertical --yes -o "$WORK/h.vid" "$WORK/huge.vid" "$WORK/huge.vid"
contains "huge side text" err "the merged picture would be 32767 x 65522 pixels"
{ vidhead 4 2 3; head -c 60 /dev/zero; } >"$WORK/short.vid"
check "frames claimed not there" 1 "$FUSE" merge-vid --mode horizontal -o "$WORK/h.vid" "$WORK/short.vid" "$WORK/short.vid"
contains "frames claimed text" err "$WORK/short.vid: claims 3 frames of 4 x 2 pixels, but holds only 60 bytes of frames."
# A wide picture without frames beside a small one: written a band at a time.
vidhead 32767 500 0 >"$WORK/wide.vid"
{ vidhead 2 2 2; head -c 32 /dev/zero; } >"$WORK/small.vid"
check "wide picture" 0 "${SMALL[@]}" "$FUSE" merge-vid --mode vertical --yes -o "$WORK/w.vid" "$WORK/small.vid" "$WORK/wide.vid"
[ "$(stat -c %s "$WORK/w.vid")" -eq $((294 + 2 * 98304 * 502)) ] && pass=$((pass + 1)) || { fail=$((fail + 1)); echo "FAIL: wide output size"; }
rm -f "$WORK/w.vid"

# The files corvantine writes (.led) merge as well; a merge takes files of one kind.
"$CLI" output "$WORK/p1.cvn" --lines "$WORK/a.lnf" --out "$WORK/one.led" --card none >/dev/null
"$CLI" output "$WORK/p2.cvn" --lines "$WORK/a.lnf" --out "$WORK/two.led" --card none >/dev/null
check "merge led frames" 0 "$FUSE" merge-dat --mode frames -o "$WORK/ml.led" "$WORK/one.led" "$WORK/two.led"
contains "merge led message" out "Merge file is successfully!"
check "merged led info" 0 "$CLI" info --json "$WORK/ml.led"
contains "merged led frames" out '"frames":8'
check "merge led slaves" 0 "$FUSE" merge-dat --mode slaves --yes -o "$WORK/sl.led" "$WORK/one.led" "$WORK/two.led"
check "led slaves info" 0 "$CLI" info --json "$WORK/sl.led"
contains "led slaves count" out '"slaveCount":2'
check "led with dat" 1 "$FUSE" merge-dat --mode frames -o "$WORK/mix.led" "$WORK/one.led" "$WORK/two.dat"
contains "led with dat text" err "File type is not consistent!"
[ ! -e "$WORK/mix.led" ] && pass=$((pass + 1)) || { fail=$((fail + 1)); echo "FAIL: mixed merge wrote"; }
check "output without extension" 0 "$FUSE" merge-dat --mode frames -o "$WORK/noext" "$WORK/one.led" "$WORK/two.led"
[ -f "$WORK/noext.led" ] && [ ! -e "$WORK/noext" ] && pass=$((pass + 1)) || { fail=$((fail + 1)); echo "FAIL: the inputs' extension not given"; }
check "dat output without extension" 0 "$FUSE" merge-dat --mode frames -o "$WORK/noext" "$WORK/one.dat" "$WORK/two.dat"
[ -f "$WORK/noext.dat" ] && pass=$((pass + 1)) || { fail=$((fail + 1)); echo "FAIL: the .dat extension not given"; }
check "merge-dat help names led" 0 "$FUSE" merge-dat --help
contains "led in help" out "all .dat or all .led"

# An output that is one of the inputs (by name, through a link, by another spelling) is refused
# and the input stays as it was.
cp "$WORK/two.led" "$WORK/two.before"
ln -s "$WORK/two.led" "$WORK/two-link.led"
mkdir -p "$WORK/sub"
for out in "$WORK/two.led" "$WORK/two-link.led" "$WORK/sub/../two.led"; do
  check "output is an input: $out" 1 "$FUSE" merge-dat --mode frames -o "$out" "$WORK/one.led" "$WORK/two.led"
  contains "output is an input text: $out" err "Merge file failed! $out: the output is the input $WORK/two.led, which the merge would overwrite"
  cmp -s "$WORK/two.led" "$WORK/two.before" && pass=$((pass + 1)) || { fail=$((fail + 1)); echo "FAIL: input replaced through $out"; }
done
check "vid output is an input" 1 "$FUSE" merge-vid --mode horizontal --yes -o "$WORK/small.vid" "$WORK/small.vid" "$WORK/five.vid"
contains "vid output is an input text" err "the output is the input $WORK/small.vid"
check "output is an input, chinese" 1 "$FUSE" --lang 1 merge-dat --mode frames -o "$WORK/two.led" "$WORK/one.led" "$WORK/two.led"
contains "output is an input, chinese text" err "输出文件就是输入文件$WORK/two.led"

# An output that is a link to another file: the file it points to is replaced, the link stays.
mkdir -p "$WORK/real"
echo old >"$WORK/real/target.led"
ln -s real/target.led "$WORK/out-link.led"
check "output through a link" 0 "$FUSE" merge-dat --mode frames -o "$WORK/out-link.led" "$WORK/one.led" "$WORK/two.led"
[ -L "$WORK/out-link.led" ] && pass=$((pass + 1)) || { fail=$((fail + 1)); echo "FAIL: output link replaced"; }
cmp -s "$WORK/real/target.led" "$WORK/ml.led" && pass=$((pass + 1)) || { fail=$((fail + 1)); echo "FAIL: link target not the merge"; }
[ -z "$(ls -A "$WORK/real" | grep -v '^target.led$')" ] && [ -z "$(ls -A "$WORK" | grep '^\.out-link')" ] && pass=$((pass + 1)) || { fail=$((fail + 1)); echo "FAIL: temporary file left"; }

# Inputs larger than one copy piece (64 MiB each): the merged frames are the first file and
# then the second's bytes past its header, exactly, in little memory.
"$CLI" layout new "$WORK/big.lnf" --rows 256 --cols 512 >/dev/null
"$CLI" layout add "$WORK/big.lnf" --from 0,0 --to 511,255 --mode z-h --limit 512 >/dev/null
for part in 1:171:884422 2:173:224466; do
  IFS=: read -r k frames color <<<"$part"
  "$CLI" new-project "$WORK/big.cvn" --width 512 --height 256 --frames "$frames" --color "$color" >/dev/null
  "$CLI" output "$WORK/big.cvn" --lines "$WORK/big.lnf" --out "$WORK/big$k.led" --card none >/dev/null
  rm -f "$WORK/big.cvn"
done
check "large inputs info" 0 "$CLI" info --json "$WORK/big2.led"
start=$(grep -o '"dataOffset":[0-9]*' "$WORK/out" | cut -d: -f2)
check "merge large frames" 0 "${SMALL[@]}" "$FUSE" merge-dat --mode frames -o "$WORK/big.led" "$WORK/big1.led" "$WORK/big2.led"
contains "merge large frames message" out "Merge file is successfully!"
{ cat "$WORK/big1.led"; tail -c +$((start + 1)) "$WORK/big2.led"; } | cmp -s - "$WORK/big.led" && pass=$((pass + 1)) || { fail=$((fail + 1)); echo "FAIL: large merge is not the first file and the second's frames"; }
rm -f "$WORK"/big*.led

# Progress: quiet when stderr is no terminal, a bar when it is.
check "quiet progress" 0 "$FUSE" merge-dat --mode frames -o "$WORK/q.dat" "$WORK/one.dat" "$WORK/two.dat"
empty "quiet progress stderr" err
if command -v script >/dev/null 2>&1; then
  script -qec "\"$FUSE\" merge-dat --mode frames -o \"$WORK/t.dat\" \"$WORK/one.dat\" \"$WORK/two.dat\"" /dev/null >"$WORK/tty" 2>&1
  grep -qF "] 100%" "$WORK/tty" && pass=$((pass + 1)) || { fail=$((fail + 1)); echo "FAIL: no progress bar on a terminal:"; cat "$WORK/tty"; }
  grep -qF "Merge file is successfully!" "$WORK/tty" && pass=$((pass + 1)) || { fail=$((fail + 1)); echo "FAIL: terminal merge"; }
fi
finish
