#!/usr/bin/env bash
# Movies: import, export and controller output timed beside the ffmpeg program doing the same
# decoding or encoding in the same run, with the output's peak memory.
# Usage: bench/video_throughput.sh [BUILD_DIR] [WORK_DIR]
source "$(dirname "$0")/common.sh"
trap 'rm -rf "$WORK"/v' EXIT
mkdir -p "$WORK/v"
V="$WORK/v"
FF="ffmpeg -hide_banner -loglevel error -y"

# A 1080p H.264 movie of 10 seconds (250 pictures) with motion and detail.
$FF -f lavfi -i testsrc2=size=1920x1080:rate=25 -t 10 -c:v libx264 -preset veryfast -pix_fmt yuv420p "$V/hd.mp4"
echo "movie: $(stat -c %s "$V/hd.mp4") bytes, 250 pictures of 1920 x 1080"

best() {  # best NAME COMMAND...: the best of three wall-clock runs, in seconds
  local b=999 t0 t1 s
  for _ in 1 2 3; do
    settle "$V/hd.mp4"
    t0=$(now); "$@" >/dev/null; t1=$(now)
    s=$(echo "$t1 - $t0" | bc -l); b=$(least "$s" "$b")
  done
  echo "$b"
}

# Import into frames of the project's size (512 x 256), and at the movie's own size (100 pictures).
ff=$(best $FF -i "$V/hd.mp4" -vf scale=512:256 -pix_fmt bgr24 -f rawvideo "$V/ff.raw")
us=$(best sh -c "rm -f '$V/a.cvn'; '$CLI' import-video '$V/hd.mp4' '$V/a.cvn' --width 512 --height 256 --fit stretch")
printf 'import 1080p -> 512 x 256: ffmpeg %.3f s, import-video %.3f s (%.2f x ffmpeg)\n' "$ff" "$us" "$(ratio "$us" "$ff")"
ff=$(best $FF -i "$V/hd.mp4" -frames:v 100 -pix_fmt bgr24 -f rawvideo "$V/ff.raw")
us=$(best sh -c "rm -f '$V/b.cvn'; '$CLI' import-video '$V/hd.mp4' '$V/b.cvn' --count 100")
printf 'import 1080p -> 1920 x 1080, 100 pictures: ffmpeg %.3f s, import-video %.3f s (%.2f x ffmpeg)\n' "$ff" "$us" "$(ratio "$us" "$ff")"
rm -f "$V/b.cvn" "$V/ff.raw"

# Export of 1,000 frames of 512 x 256 with MJPEG at quality 65 (quantiser 12), beside ffmpeg
# encoding the same raw frames with the same quantiser.
$FF -f lavfi -i testsrc2=size=512x256:rate=25 -frames:v 1000 -c:v ffv1 "$V/src.mkv"
"$CLI" import-video "$V/src.mkv" "$V/e.cvn" >/dev/null
$FF -i "$V/src.mkv" -pix_fmt bgr24 -f rawvideo "$V/e.raw"
ff=$(best $FF -f rawvideo -pixel_format bgr24 -video_size 512x256 -framerate 20 -i "$V/e.raw" -c:v mjpeg -q:v 12 "$V/ff.avi")
us=$(best "$CLI" export-video "$V/e.cvn" "$V/us.avi" --codec mjpeg --quality 65)
printf 'export 1000 x 512 x 256 MJPEG: ffmpeg %.3f s, export-video %.3f s (%.2f x ffmpeg); files %s and %s bytes\n' \
  "$ff" "$us" "$(ratio "$us" "$ff")" "$(stat -c %s "$V/ff.avi")" "$(stat -c %s "$V/us.avi")"

# Controller files straight from the 1080p movie, and from a movie ten times as long: the
# peak memory stays the same (pictures are decoded one at a time).
make_facade "$V/facade.lnf"
for pictures in 250 2500; do
  $FF -f lavfi -i testsrc2=size=1920x1080:rate=25 -frames:v "$pictures" -c:v libx264 -preset ultrafast "$V/m.mp4"
  t0=$(now)
  /usr/bin/time -f "%M" -o "$V/mem" "$CLI" output-from "$V/m.mp4" --lines "$V/facade.lnf" --out "$V/show.led" --seed 1 >/dev/null
  t1=$(now)
  printf 'output-from %d pictures of 1080p: %.3f s, peak memory %d KiB, file %s bytes\n' "$pictures" \
    "$(echo "$t1 - $t0" | bc -l)" "$(cat "$V/mem")" "$(stat -c %s "$V/show.led")"
done
