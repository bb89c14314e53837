#!/usr/bin/env bash
# Opening and saving a 1 GiB project document, timed beside `cp` of the same file in the
# same run. Every timed step starts after a sync, so none pays for the write-back of the
# data an earlier step left in the page cache. Usage: bench/document_throughput.sh [BUILD_DIR] [WORK_DIR]
set -euo pipefail
BUILD="${1:-build}"
WORK="${2:-$(mktemp -d)}"
CLI="$BUILD/bin/corvantine-cli"
DOCIO="$BUILD/bench/corvantine-docio"
mkdir -p "$WORK"
trap 'rm -f "$WORK"/big.cvn "$WORK"/copy.cvn "$WORK"/saved.cvn' EXIT

# 512 x 256 pixels: 393,216 bytes a frame; 2731 frames make 1 GiB.
"$CLI" new-project "$WORK/big.cvn" --width 512 --height 256 --frames 2731 --color 3366CC
size=$(stat -c %s "$WORK/big.cvn")
echo "document: $size bytes"

now() { date +%s.%N; }
# Every timed step starts from the same state: nothing dirty, the page cache emptied (where
# allowed) and the document read once, so that cp copies from the cache as the program opens
# from it.
settle() {
  sync
  echo 3 >/proc/sys/vm/drop_caches 2>/dev/null || true
  cat "$WORK/big.cvn" >/dev/null
}
runs=5
best_cp=999; best_open=999; best_save=999
for i in $(seq $runs); do
  rm -f "$WORK/copy.cvn" "$WORK/saved.cvn"
  settle
  t0=$(now); cp "$WORK/big.cvn" "$WORK/copy.cvn"; t1=$(now)
  cp_s=$(echo "$t1 - $t0" | bc -l)
  rm -f "$WORK/copy.cvn"
  settle
  times=$("$DOCIO" "$WORK/big.cvn" "$WORK/saved.cvn")
  open_s=$(echo "$times" | awk '$1 == "open" {print $2}')
  save_s=$(echo "$times" | awk '$1 == "save" {print $2}')
  cmp -s "$WORK/big.cvn" "$WORK/saved.cvn" || { echo "saved document differs"; exit 1; }
  printf 'run %d: cp %.3f s, open %.3f s, save %.3f s\n' "$i" "$cp_s" "$open_s" "$save_s"
  best_cp=$(echo "if ($cp_s < $best_cp) $cp_s else $best_cp" | bc -l)
  best_open=$(echo "if ($open_s < $best_open) $open_s else $best_open" | bc -l)
  best_save=$(echo "if ($save_s < $best_save) $save_s else $best_save" | bc -l)
done
printf 'best: cp %.3f s, open %.3f s (%.2f x cp), save %.3f s (%.2f x cp)\n' \
  "$best_cp" "$best_open" "$(echo "$best_open / $best_cp" | bc -l)" \
  "$best_save" "$(echo "$best_save / $best_cp" | bc -l)"
