#!/usr/bin/env bash
# Controller output of a 1 GiB project whose layout covers every pixel, timed beside `cp` of
# the same document in the same run, with the peak memory of the output.
# Usage: bench/output_throughput.sh [BUILD_DIR] [WORK_DIR]
set -euo pipefail
BUILD="${1:-build}"
WORK="${2:-$(mktemp -d)}"
CLI="$(cd "$BUILD" && pwd)/bin/corvantine-cli"
mkdir -p "$WORK"
export CORVANTINE_HOME="$WORK/home"
trap 'rm -f "$WORK"/big.cvn "$WORK"/copy.cvn "$WORK"/show*.led' EXIT

# 512 x 256 pixels, 2731 frames: 1 GiB. One line per row: 256 slaves of 512 LEDs.
"$CLI" new-project "$WORK/big.cvn" --width 512 --height 256 --frames 2731 --color 3366CC
"$CLI" layout new "$WORK/facade.lnf" --rows 256 --cols 512 >/dev/null
"$CLI" layout add "$WORK/facade.lnf" --from 0,0 --to 511,255 --mode z-h --limit 512 >/dev/null
echo "document: $(stat -c %s "$WORK/big.cvn") bytes"

now() { date +%s.%N; }
# Both timed steps start from the same state: nothing dirty, the page cache emptied (where
# allowed) and the document read once.
settle() {
  sync
  echo 3 >/proc/sys/vm/drop_caches 2>/dev/null || true
  cat "$WORK/big.cvn" >/dev/null
}
best_cp=999; best_out=999; peak=0
for i in 1 2 3; do
  rm -f "$WORK/copy.cvn" "$WORK"/show*.led
  settle
  t0=$(now); cp "$WORK/big.cvn" "$WORK/copy.cvn"; t1=$(now)
  rm -f "$WORK/copy.cvn"
  settle
  t2=$(now)
  /usr/bin/time -f "%M" -o "$WORK/mem" "$CLI" output "$WORK/big.cvn" --lines "$WORK/facade.lnf" \
    --out "$WORK/show.led" --seed 1 --card none >/dev/null
  t3=$(now)
  cp_s=$(echo "$t1 - $t0" | bc -l); out_s=$(echo "$t3 - $t2" | bc -l); kib=$(cat "$WORK/mem")
  printf 'run %d: cp %.3f s, output %.3f s, peak memory %d KiB, file %s bytes\n' "$i" "$cp_s" "$out_s" "$kib" \
    "$(stat -c %s "$WORK/show.led")"
  best_cp=$(echo "if ($cp_s < $best_cp) $cp_s else $best_cp" | bc -l)
  best_out=$(echo "if ($out_s < $best_out) $out_s else $best_out" | bc -l)
  [ "$kib" -gt "$peak" ] && peak=$kib
done
printf 'best: cp %.3f s, output %.3f s (%.2f x cp); peak memory %d KiB\n' "$best_cp" "$best_out" \
  "$(echo "$best_out / $best_cp" | bc -l)" "$peak"
