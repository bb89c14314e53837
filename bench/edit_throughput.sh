#!/usr/bin/env bash
# Opening a 1 GiB document to look at it or change it, timed beside `cp` of the same file in
# the same run, each step from the same page-cache state (medians of ROUNDS runs, 5 unless
# set): the first picture written by the command line (`frames export --first 1 --last 1`),
# the desktop program's first picture (under Xvfb, when xvfb-run is there), and open + one
# blank frame + save (`frames insert --after 1`, also beside `cp` to a new name renamed over
# the old file, which is what a safe save does), with the peak memory of each.
# Usage: bench/edit_throughput.sh [BUILD_DIR] [WORK_DIR]
source "$(dirname "$0")/common.sh"
S="$WORK/edit"
trap 'rm -rf "$S"' EXIT
mkdir -p "$S"
ROUNDS=${ROUNDS:-5}
FIRST="$(cd "$BUILD" && pwd)/bench/corvantine-first-picture"

# 512 x 256 pixels: 393,216 bytes a frame; 2731 frames make 1 GiB.
"$CLI" new-project "$S/big.cvn" --width 512 --height 256 --frames 2731 --color 3366CC >/dev/null
echo "document: $(stat -c %s "$S/big.cvn") bytes"

for i in $(seq "$ROUNDS"); do
  rm -f "$S/copy.cvn"
  timed cp "$S/big.cvn" cp "$S/big.cvn" "$S/copy.cvn"
  # What a safe save does beside it: a new file renamed over the old one (the file system
  # then starts writing the new file's blocks out before the rename).
  timed cp-mv "$S/big.cvn" sh -c 'cp "$1" "$2.new" && mv "$2.new" "$2"' - "$S/big.cvn" "$S/copy.cvn"
  # The insert changes the copy; the next round starts from a fresh one.
  timed insert "$S/copy.cvn" "$CLI" frames insert "$S/copy.cvn" --after 1
  [ "$(stat -c %s "$S/copy.cvn")" -eq $(($(stat -c %s "$S/big.cvn") + 393216)) ] || { echo "insert: wrong size"; exit 1; }
  rm -rf "$S/pictures"; mkdir "$S/pictures"
  timed export "$S/big.cvn" "$CLI" frames export "$S/big.cvn" "$S/pictures" --first 1 --last 1
  [ "$(ls "$S/pictures" | wc -l)" -eq 1 ] || { echo "export: not one picture"; exit 1; }
  if command -v xvfb-run >/dev/null && [ -x "$FIRST" ]; then
    settle "$S/big.cvn"
    "$CLI" --version >/dev/null 2>&1 || true
    xvfb-run -a -s "-screen 0 1600x1000x24" /usr/bin/time -f "%U %S %M" -o "$S/time.out" "$FIRST" "$S/big.cvn" >"$S/out.txt"
    awk '$1 == "first-picture" {print $2}' "$S/out.txt" >>"$S/desktop.times"
    tail -n 1 "$S/time.out" >>"$S/desktop.use"
  fi
done

M_CP=$(median <"$S/cp.times")
report() {
  [ -f "$S/$1.times" ] || return 0
  local m p
  m=$(median <"$S/$1.times")
  p=$(awk '{print $3}' "$S/$1.use" | sort -n | tail -n 1)
  printf '  %-8s %s s\n' "$1:" "$(tr '\n' ' ' <"$S/$1.times")"
  printf '  median %.3f s, %.2f x cp (target at most %s x), peak %d KiB\n' "$m" "$(ratio "$m" "$M_CP")" "$2" "$p"
}
printf '  %-8s %s s\n  median %.3f s\n' "cp:" "$(tr '\n' ' ' <"$S/cp.times")" "$M_CP"
report export 0.2
report desktop 0.2
report cp-mv -
report insert 1.3
M_CP=$(median <"$S/cp-mv.times")
printf '  insert beside cp-mv: %.2f x\n' "$(ratio "$(median <"$S/insert.times")" "$M_CP")"
