#!/usr/bin/env bash
# Controller output of a 1 GiB project whose layout covers every pixel, timed beside `cp` of
# the same document in the same run (same page-cache state), with the output's peak memory.
# Usage: bench/output_throughput.sh [BUILD_DIR] [WORK_DIR]
source "$(dirname "$0")/common.sh"
trap 'rm -f "$WORK"/big.cvn "$WORK"/copy.cvn "$WORK"/show*.led "$WORK"/gamma.lnf' EXIT

# 512 x 256 pixels, 2731 frames: 1 GiB. One line per row: 256 slaves of 512 LEDs.
"$CLI" new-project "$WORK/big.cvn" --width 512 --height 256 --frames 2731 --color 3366CC
make_facade "$WORK/facade.lnf"
echo "document: $(stat -c %s "$WORK/big.cvn") bytes"

# Each layout is output ROUNDS times (5 unless set) beside cp, medians compared: the facade as drawn (gamma 1.0, full brightness:
# bytes go out as they are) and with gamma 2.2 on every slave (every byte through a table).
cp "$WORK/facade.lnf" "$WORK/gamma.lnf"
"$CLI" layout set "$WORK/gamma.lnf" --slaves all --gamma 2.2 >/dev/null
ROUNDS=${ROUNDS:-5}
for layout in facade gamma; do
  best_cp=999; best_out=999; peak=0; cps=""; outs=""
  for i in $(seq "$ROUNDS"); do
    rm -f "$WORK/copy.cvn" "$WORK"/show*.led
    settle "$WORK/big.cvn"
    t0=$(now); cp "$WORK/big.cvn" "$WORK/copy.cvn"; t1=$(now)
    rm -f "$WORK/copy.cvn"
    settle "$WORK/big.cvn"
    "$CLI" --version >/dev/null 2>&1 || true  # the program's libraries read, as cp's always are
    t2=$(now)
    /usr/bin/time -f "%M" -o "$WORK/mem" "$CLI" output "$WORK/big.cvn" --lines "$WORK/$layout.lnf" \
      --out "$WORK/show.led" --seed 1 --card none >/dev/null
    t3=$(now)
    cp_s=$(echo "$t1 - $t0" | bc -l); out_s=$(echo "$t3 - $t2" | bc -l); kib=$(cat "$WORK/mem")
    printf '%s run %d: cp %.3f s, output %.3f s, peak memory %d KiB, file %s bytes\n' "$layout" "$i" "$cp_s" \
      "$out_s" "$kib" "$(stat -c %s "$WORK/show.led")"
    best_cp=$(least "$cp_s" "$best_cp"); best_out=$(least "$out_s" "$best_out")
    cps="$cps $cp_s"; outs="$outs $out_s"
    [ "$kib" -gt "$peak" ] && peak=$kib
  done
  printf '%s best: cp %.3f s, output %.3f s (%.2f x cp); peak memory %d KiB\n' "$layout" "$best_cp" "$best_out" \
    "$(ratio "$best_out" "$best_cp")" "$peak"
  m_cp=$(echo $cps | tr ' ' '\n' | median); m_out=$(echo $outs | tr ' ' '\n' | median)
  printf '%s median: cp %.3f s, output %.3f s (%.2f x cp, target at most 1.0 x)\n' "$layout" "$m_cp" "$m_out" \
    "$(ratio "$m_out" "$m_cp")"
done
