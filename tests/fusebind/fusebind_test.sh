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
check "huge claim" 1 "${SMALL[@]}" "$FUSE" merge-vid --mode vertical --yes -o "$WORK/h.vid" "$WORK/long.vid" "$WORK/huge.vid"
contains "huge claim text" err "Merge file failed! $WORK/h.vid: not enough free space: the merged file needs"
[ ! -e "$WORK/h.vid" ] && [ -z "$(ls -A "$WORK" | grep '^\.h\.vid')" ] && pass=$((pass + 1)) || { fail=$((fail + 1)); echo "FAIL: huge output written"; }
# The 294-byte file beside five small frames: 16 GB to write. With files limited to 100 MiB the
# write fails with the system's reason, in little memory, and leaves nothing behind.
{ vidhead 4 4 5; head -c 320 /dev/zero; } >"$WORK/five.vid"
if command -v prlimit >/dev/null 2>&1 && [ "${CORV_SANITIZED:-0}" != "1" ]; then
  check "huge output, size limit" 1 prlimit --as=536870912 --fsize=104857600 "$FUSE" merge-vid --mode vertical --yes \
    -o "$WORK/h.vid" "$WORK/five.vid" "$WORK/huge.vid"
  contains "huge output, size limit text" err "Merge file failed! $WORK/h.vid: File too large"
  [ -z "$(ls -A "$WORK" | grep 'h\.vid')" ] && pass=$((pass + 1)) || { fail=$((fail + 1)); echo "FAIL: huge output left"; }
fi
check "huge side" 1 "${SMALL[@]}" "$FUSE" merge-vid --mode vertical --yes -o "$WORK/h.vid" "$WORK/huge.vid" "$WORK/huge.vid"
contains "huge side text" err "the merged picture would be 32767 x 65522 pixels"
{ vidhead 4 2 3; head -c 60 /dev/zero; } >"$WORK/short.vid"
check "frames claimed not there" 1 "$FUSE" merge-vid --mode horizontal -o "$WORK/h.vid" "$WORK/short.vid" "$WORK/short.vid"
contains "frames claimed text" err "$WORK/short.vid: claims 3 frames of 4 x 2 pixels, but holds only 60 bytes of frames."
# A wide picture without frames beside a small one: written a band at a time.
vidhead 32767 600 0 >"$WORK/wide.vid"
{ vidhead 2 2 2; head -c 32 /dev/zero; } >"$WORK/small.vid"
check "wide picture" 0 "${SMALL[@]}" "$FUSE" merge-vid --mode vertical --yes -o "$WORK/w.vid" "$WORK/small.vid" "$WORK/wide.vid"
[ "$(stat -c %s "$WORK/w.vid")" -eq $((294 + 2 * 98304 * 602)) ] && pass=$((pass + 1)) || { fail=$((fail + 1)); echo "FAIL: wide output size"; }
rm -f "$WORK/w.vid"

# Progress: quiet when stderr is no terminal, a bar when it is.
check "quiet progress" 0 "$FUSE" merge-dat --mode frames -o "$WORK/q.dat" "$WORK/one.dat" "$WORK/two.dat"
empty "quiet progress stderr" err
if command -v script >/dev/null 2>&1; then
  script -qec "\"$FUSE\" merge-dat --mode frames -o \"$WORK/t.dat\" \"$WORK/one.dat\" \"$WORK/two.dat\"" /dev/null >"$WORK/tty" 2>&1
  grep -qF "] 100%" "$WORK/tty" && pass=$((pass + 1)) || { fail=$((fail + 1)); echo "FAIL: no progress bar on a terminal:"; cat "$WORK/tty"; }
  grep -qF "Merge file is successfully!" "$WORK/tty" && pass=$((pass + 1)) || { fail=$((fail + 1)); echo "FAIL: terminal merge"; }
fi
finish
