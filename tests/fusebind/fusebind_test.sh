#!/usr/bin/env bash
# End-to-end tests of the merge tool's command line on files made by corvantine-cli.
set -u
FUSE="$1"
CLI="$2"
source "$(dirname "$0")/../checks.sh"
export CORVANTINE_HOME="$WORK/home"

check "version" 0 "$FUSE" --version
check "usage" 2 "$FUSE" merge-dat --mode frames
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
finish
