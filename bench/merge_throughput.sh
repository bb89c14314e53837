#!/usr/bin/env bash
# Merging two 500 MiB controller data files one after the other (frames appended), timed
# beside `cat` of the same files into one in the same run.
# Usage: bench/merge_throughput.sh [BUILD_DIR] [WORK_DIR]
source "$(dirname "$0")/common.sh"
trap 'rm -f "$WORK"/part.cvn "$WORK"/one.dat "$WORK"/two.dat "$WORK"/cat.dat "$WORK"/merged.dat' EXIT

# 512 x 256 pixels, every pixel an LED: 393,216 bytes a block; 1334 blocks make 500 MiB.
"$CLI" new-project "$WORK/part.cvn" --width 512 --height 256 --frames 1334 --color 884422
make_facade "$WORK/f.lnf"
"$CLI" output "$WORK/part.cvn" --lines "$WORK/f.lnf" --out "$WORK/one.dat" --card none >/dev/null
cp "$WORK/one.dat" "$WORK/two.dat"
echo "inputs: 2 x $(stat -c %s "$WORK/one.dat") bytes"

: >"$WORK/cat.times"; : >"$WORK/merge.times"
run_cat() {
  rm -f "$WORK/cat.dat"; sync
  local t0; t0=$(now); cat "$WORK/one.dat" "$WORK/two.dat" >"$WORK/cat.dat"
  echo "$(now) - $t0" | bc -l >>"$WORK/cat.times"
}
run_merge() {
  rm -f "$WORK/merged.dat"; sync
  local t0; t0=$(now)
  "$BIN/fusebind" merge-dat --mode frames -o "$WORK/merged.dat" "$WORK/one.dat" "$WORK/two.dat" >/dev/null
  echo "$(now) - $t0" | bc -l >>"$WORK/merge.times"
}
# Seven rounds, the order alternating, so that neither side always meets the other's
# write-back; medians are compared.
for i in 1 2 3 4 5 6 7; do
  if [ $((i % 2)) -eq 1 ]; then run_cat; run_merge; else run_merge; run_cat; fi
done
c=$(median <"$WORK/cat.times"); m=$(median <"$WORK/merge.times")
printf 'cat:   %s\n' "$(tr '\n' ' ' <"$WORK/cat.times")"
printf 'merge: %s\n' "$(tr '\n' ' ' <"$WORK/merge.times")"
printf 'median: cat %.3f s, merge %.3f s (%.2f x cat)\n' "$c" "$m" "$(ratio "$m" "$c")"
