#!/usr/bin/env bash
# Opening and saving a 1 GiB project document, timed beside `cp` of the same file in the same
# run, each step from the same page-cache state.
# Usage: bench/document_throughput.sh [BUILD_DIR] [WORK_DIR]
source "$(dirname "$0")/common.sh"
DOCIO="$(cd "$BUILD" && pwd)/bench/corvantine-docio"
trap 'rm -f "$WORK"/big.cvn "$WORK"/copy.cvn "$WORK"/saved.cvn' EXIT

# 512 x 256 pixels: 393,216 bytes a frame; 2731 frames make 1 GiB.
"$CLI" new-project "$WORK/big.cvn" --width 512 --height 256 --frames 2731 --color 3366CC
echo "document: $(stat -c %s "$WORK/big.cvn") bytes"

cps=""; opens=""; saves=""
best_cp=999; best_open=999; best_save=999
for i in 1 2 3 4 5; do
  rm -f "$WORK/copy.cvn" "$WORK/saved.cvn"
  settle "$WORK/big.cvn"
  t0=$(now); cp "$WORK/big.cvn" "$WORK/copy.cvn"; t1=$(now)
  cp_s=$(echo "$t1 - $t0" | bc -l)
  rm -f "$WORK/copy.cvn"
  settle "$WORK/big.cvn"
  times=$("$DOCIO" "$WORK/big.cvn" "$WORK/saved.cvn")
  open_s=$(echo "$times" | awk '$1 == "open" {print $2}')
  save_s=$(echo "$times" | awk '$1 == "save" {print $2}')
  cmp -s "$WORK/big.cvn" "$WORK/saved.cvn" || { echo "saved document differs"; exit 1; }
  printf 'run %d: cp %.3f s, open %.3f s, save %.3f s\n' "$i" "$cp_s" "$open_s" "$save_s"
  best_cp=$(least "$cp_s" "$best_cp"); best_open=$(least "$open_s" "$best_open"); best_save=$(least "$save_s" "$best_save")
  cps="$cps $cp_s"; opens="$opens $open_s"; saves="$saves $save_s"
done
med() { echo $1 | tr ' ' '\n' | median; }
printf 'best: cp %.3f s, open %.3f s (%.2f x cp), save %.3f s (%.2f x cp)\n' "$best_cp" \
  "$best_open" "$(ratio "$best_open" "$best_cp")" "$best_save" "$(ratio "$best_save" "$best_cp")"
m_cp=$(med "$cps"); m_open=$(med "$opens"); m_save=$(med "$saves")
printf 'median: cp %.3f s, open %.3f s (%.2f x cp), save %.3f s (%.2f x cp)\n' "$m_cp" \
  "$m_open" "$(ratio "$m_open" "$m_cp")" "$m_save" "$(ratio "$m_save" "$m_cp")"
