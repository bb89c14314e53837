#!/usr/bin/env bash
# Sequence files (.fseq) of a 1 GiB document through a layout that covers every pixel: export
# with zstd beside the zstd program compressing the same channel bytes (on both cores, and on
# one), uncompressed export beside `cp` of a file of the same size, and import of either file
# into a new document beside `zstd -d` and `cp`, all in the same run; with the peak memory.
# Two documents: a moving test picture (when ffmpeg is there), which compresses as a show
# does, and one colour throughout, which leaves the compressor next to nothing to do.
# Usage: bench/fseq_throughput.sh [BUILD_DIR] [WORK_DIR]
source "$(dirname "$0")/common.sh"
S="$WORK/fseq"
trap 'rm -rf "$S"' EXIT
mkdir -p "$S"
ROUNDS=${ROUNDS:-5}

# 512 x 256 pixels, 2731 frames: 1 GiB. One line per row: 256 slaves of 512 LEDs, gamma 1.0 at
# full brightness, so the 393,216 channels of a frame are its bytes in wiring order.
make_facade "$S/facade.lnf"
FRAME_BYTES=393216
FRAMES=2731

# Each step removes what the last run of it wrote before it settles, so that every run writes
# a new file into the same folder.
export_zstd() { rm -f "$S/z.fseq"; timed export-zstd "$DOC" "$CLI" export-fseq "$DOC" --lines "$S/facade.lnf" "$S/z.fseq"; }
zstd_t2() { rm -f "$S/raw.zst"; timed zstd-T2 "$S/raw" zstd -2 -T2 -q -f "$S/raw" -o "$S/raw.zst"; }
zstd_t1() { rm -f "$S/raw1.zst"; timed zstd-single "$S/raw" zstd -2 --single-thread -q -f "$S/raw" -o "$S/raw1.zst"; }
export_none() {
  rm -f "$S/n.fseq"
  timed export-none "$DOC" "$CLI" export-fseq "$DOC" --lines "$S/facade.lnf" "$S/n.fseq" --compression none
}
cp_export() { rm -f "$S/copy"; timed cp-export "$S/plain.fseq" cp "$S/plain.fseq" "$S/copy"; }
import_zstd() {
  rm -f "$S/iz.cvn"
  timed import-zstd "$S/z.fseq" "$CLI" import-fseq "$S/z.fseq" --lines "$S/facade.lnf" --into "$S/iz.cvn"
}
zstd_d() { rm -f "$S/unpacked"; timed zstd-d "$S/raw.zst" zstd -d -q -f "$S/raw.zst" -o "$S/unpacked"; }
import_none() {
  rm -f "$S/in.cvn"
  timed import-none "$S/plain.fseq" "$CLI" import-fseq "$S/plain.fseq" --lines "$S/facade.lnf" --into "$S/in.cvn"
}
cp_import() { rm -f "$S/copy"; timed cp-import "$S/plain.fseq" cp "$S/plain.fseq" "$S/copy"; }

# The figures of NAME: its runs, and "MEDIAN_S CPU_S PEAK_KIB" (median seconds, median user +
# system seconds, largest peak) in the variables M, C and P.
figures() {
  M=$(median <"$S/$1.times")
  C=$(awk '{print $1 + $2}' "$S/$1.use" | median)
  P=$(awk 'BEGIN {p = 0} $3 > p {p = $3} END {print p}' "$S/$1.use")
  printf '  %-12s %s s\n' "$1:" "$(tr '\n' ' ' <"$S/$1.times")"
}
# compare OURS RIVAL [TARGET]: the medians and their ratio.
compare() {
  figures "$1"; local m=$M c=$C p=$P
  figures "$2"
  printf '  median: %s %.3f s (CPU %.2f s, peak %d KiB), %s %.3f s (CPU %.2f s, peak %d KiB): %.2f x %s%s\n' \
    "$1" "$m" "$c" "$p" "$2" "$M" "$C" "$P" "$(ratio "$m" "$M")" "$2" "${3:+ (target at most $3 x)}"
}

bench_document() {
  local name="$1"
  DOC="$S/$name.cvn"
  echo "$name: document $(stat -c %s "$DOC") bytes, $FRAMES frames of $FRAME_BYTES channels"
  # The raw channel bytes the sequence file holds, for the zstd program: the uncompressed
  # file without its header (the data offset is the 16-bit number at byte 4).
  "$CLI" export-fseq "$DOC" --lines "$S/facade.lnf" "$S/plain.fseq" --compression none >/dev/null
  local offset
  offset=$(od -An -tu2 -j4 -N2 "$S/plain.fseq" | tr -d ' ')
  tail -c +$((offset + 1)) "$S/plain.fseq" >"$S/raw"
  [ "$(stat -c %s "$S/raw")" -eq $((FRAMES * FRAME_BYTES)) ] || { echo "raw channels: wrong size"; exit 1; }
  rm -f "$S"/*.times "$S"/*.use

  # Rounds with the order alternating, so that neither side always meets the other's
  # write-back; medians are compared.
  for i in $(seq $ROUNDS); do
    if [ $((i % 2)) -eq 1 ]; then
      export_zstd; zstd_t2; zstd_t1; export_none; cp_export
      import_zstd; zstd_d; import_none; cp_import
    else
      zstd_t1; zstd_t2; export_zstd; cp_export; export_none
      zstd_d; import_zstd; cp_import; import_none
    fi
  done
  # (The headers differ in their unique ids: the channels are compared.)
  cmp -s -i "$offset" "$S/n.fseq" "$S/plain.fseq" || echo "$name: the uncompressed exports differ"
  cmp -s "$S/iz.cvn" "$S/in.cvn" || echo "$name: the imports of the two files differ"
  cmp -s "$S/unpacked" "$S/raw" || echo "$name: zstd -d did not give the channels back"
  echo "$name: zstd file $(stat -c %s "$S/z.fseq") bytes (zstd -2: $(stat -c %s "$S/raw.zst")), uncompressed $(stat -c %s "$S/n.fseq") bytes"
  echo "$name export, zstd level 2:"
  compare export-zstd zstd-T2 1.2
  figures zstd-single
  printf '  median: zstd-single %.3f s: export %.2f x zstd-single\n' "$M" "$(ratio "$(median <"$S/export-zstd.times")" "$M")"
  echo "$name export, uncompressed:"
  compare export-none cp-export 1.5
  echo "$name import:"
  compare import-zstd zstd-d 1.2
  compare import-none cp-import 1.5
  # The document's frames are held whole by both commands; what they hold beyond that.
  local frames_kib=$((FRAMES * FRAME_BYTES / 1024)) e i
  e=$(awk 'BEGIN {p = 0} $3 > p {p = $3} END {print p}' "$S/export-zstd.use" "$S/export-none.use")
  i=$(awk 'BEGIN {p = 0} $3 > p {p = $3} END {print p}' "$S/import-zstd.use" "$S/import-none.use")
  printf '%s peak memory: frames %d KiB; export %d KiB (%d KiB beyond), import %d KiB (%d KiB beyond)\n' \
    "$name" "$frames_kib" "$e" $((e - frames_kib)) "$i" $((i - frames_kib))
  rm -f "$S"/*.fseq "$S"/*.zst "$S/raw" "$S/copy" "$S/unpacked" "$S/iz.cvn" "$S/in.cvn" "$DOC"
}

if command -v ffmpeg >/dev/null; then
  ffmpeg -hide_banner -loglevel error -y -f lavfi -i testsrc2=size=512x256:rate=25 -frames:v $FRAMES -c:v ffv1 "$S/src.mkv"
  "$CLI" import-video "$S/src.mkv" "$S/moving.cvn" >/dev/null
  rm -f "$S/src.mkv"
  bench_document moving
else
  echo "moving: skipped (no ffmpeg)"
fi
"$CLI" new-project "$S/flat.cvn" --width 512 --height 256 --frames $FRAMES --color 3366CC >/dev/null
bench_document flat
