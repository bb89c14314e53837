#!/usr/bin/env bash
# End-to-end tests of the movie commands: import-video, output-from, export-video, capture.
set -u
CLI="$(realpath "$1")"
source "$(dirname "$0")/../checks.sh"
export CORVANTINE_HOME="$WORK/home"
export QT_QPA_PLATFORM=offscreen
cd "$WORK" || exit 1
probe() { ffprobe -v error -count_frames -show_entries stream=codec_name,width,height,nb_read_frames,r_frame_rate -of csv=p=0 "$1"; }

# A movie by the ffmpeg program: 40 pictures of 160 x 90, red on the left, blue on the right.
ffmpeg -hide_banner -loglevel error -f lavfi -i "color=red:s=80x90:r=20,format=rgb24[l];color=blue:s=80x90:r=20,format=rgb24[r];[l][r]hstack" \
  -frames:v 40 -c:v ffv1 bars.avi || { echo "FAIL: ffmpeg could not make the movie"; exit 1; }

check "import into a new document" 0 "$CLI" import-video bars.avi d.cvn --width 64 --height 32 --fit stretch
contains "says" out "40 frames of 64 x 32 added to clip 1 of d.cvn"
frames_of "forty" d.cvn 40
expect_pixel "red left" d.cvn 1 5 16 FF0000
expect_pixel "blue right" d.cvn 40 60 16 0000FF
check "a part, centred" 0 "$CLI" import-video bars.avi d.cvn --first 31 --count 5
frames_of "forty-five" d.cvn 45
# Centred: 160 x 90 in 64 x 32 keeps its proportions (57 x 32), black columns at the sides.
expect_pixel "black side" d.cvn 45 1 16 000000
expect_pixel "red inside" d.cvn 45 10 16 FF0000

# Export: the container and codec asked for, read back by ffprobe.
check "export ffv1" 0 "$CLI" export-video d.cvn out.avi --codec ffv1 --fps 25
[ "$(probe out.avi)" = "ffv1,64,32,25/1,45" ] && pass=$((pass + 1)) || { fail=$((fail + 1)); echo "FAIL: ffv1 export: $(probe out.avi)"; }
check "export uncompressed by default" 0 "$CLI" export-video d.cvn raw.avi --first 2 --last 11
[ "$(probe raw.avi)" = "rawvideo,64,32,20/1,10" ] && pass=$((pass + 1)) || { fail=$((fail + 1)); echo "FAIL: raw export: $(probe raw.avi)"; }
check "export gif" 0 "$CLI" export-video d.cvn show.gif --last 5
[ "$(probe show.gif | cut -d, -f1-3,5)" = "gif,64,32,5" ] && pass=$((pass + 1)) || { fail=$((fail + 1)); echo "FAIL: gif export: $(probe show.gif)"; }
# The lossless round trip is byte-exact: import the export again and compare the documents' frames.
check "round trip" 0 "$CLI" import-video out.avi back.cvn
check "frames of the original" 0 "$CLI" frames export d.cvn a
check "frames of the round trip" 0 "$CLI" frames export back.cvn b
if diff -rq a b >/dev/null; then pass=$((pass + 1)); else fail=$((fail + 1)); echo "FAIL: the lossless round trip changed pixels"; fi
check "codecs listed" 0 "$CLI" export-video --list-codecs
contains "mjpeg listed" out "mjpeg"
check "list with an export's option" 2 "$CLI" export-video --list-codecs --fps 5
contains "the listing takes none" err "--fps does not apply to export-video --list-codecs (it belongs to export-video DOC.cvn OUT); export-video --list-codecs takes --list-codecs"

# Controller files straight from the movie and from a document (streamed, never whole).
check "layout" 0 "$CLI" layout new w.lnf --rows 32 --cols 64
check "wire" 0 "$CLI" layout add w.lnf --from 0,0 --to 63,0
check "output from the movie" 0 "$CLI" output-from bars.avi --lines w.lnf --out m.led --seed 1
[ -s m.led ] && pass=$((pass + 1)) || { fail=$((fail + 1)); echo "FAIL: no controller file from the movie"; }
check "output from the document" 0 "$CLI" output-from d.cvn --lines w.lnf --out d.led --seed 1 --last 40 --fit stretch
check "output of the same document" 0 "$CLI" output d.cvn --lines w.lnf --out e.led --seed 1 --last 40 --card none
cmp -s d.led e.led && pass=$((pass + 1)) || { fail=$((fail + 1)); echo "FAIL: output-from a document differs from output"; }
check "document of another size" 1 "$CLI" output-from d.cvn --lines w.lnf --out x.led --width 32 --height 32
contains "refused" err "The file or the file version is not supported!"

# Bad input: a clear message, exit 1 or 2, the document untouched.
cp d.cvn kept.cvn
head -c 3000 bars.avi > cut.avi
# A truncated movie gives the pictures that are whole, or a clear refusal; never a crash.
"$CLI" import-video cut.avi cut.cvn --width 8 --height 8 >/dev/null 2>"$WORK/err"
st=$?; [ $st -le 1 ] && pass=$((pass + 1)) || { fail=$((fail + 1)); echo "FAIL: truncated movie: exit $st"; cat "$WORK/err"; }
"$CLI" new-project odd.cvn --width 9 --height 9 --frames 1 >/dev/null
printf 'FWS\006\025\000\000\000\120\000\005\334\000\000\014\001\000\100\000\000\000' > vector.swf
check "vector flash" 1 "$CLI" import-video vector.swf d.cvn
contains "vector named" err "vector"
echo "words" > words.mp4
check "not a movie" 1 "$CLI" import-video words.mp4 d.cvn
contains "open fail" err "Open file fail!"
check "size mismatch" 1 "$CLI" import-video bars.avi d.cvn --width 10
check "bad fit" 2 "$CLI" import-video bars.avi d.cvn --fit zoom
check "unknown codec" 2 "$CLI" export-video d.cvn y.avi --codec nothing
check "odd size for mpeg4" 1 "$CLI" export-video odd.cvn y.mp4 --codec mpeg4
contains "even named" err "even width and height"
check "unknown container" 1 "$CLI" export-video d.cvn y.webm
[ ! -e y.mp4 ] && [ ! -e y.webm ] && pass=$((pass + 1)) || { fail=$((fail + 1)); echo "FAIL: a failed export left a file"; }
cmp -s d.cvn kept.cvn && pass=$((pass + 1)) || { fail=$((fail + 1)); echo "FAIL: bad input changed the document"; }

# Capture from a real X server: a black root window, 10 pictures at 50 a second.
if command -v xvfb-run >/dev/null; then
  check "capture" 0 xvfb-run -a -s "-screen 0 320x240x24 -br" "$CLI" capture cap.cvn --region 10,10,32,16 --rate 50 --frames 10
  frames_of "ten pictures" cap.cvn 10
  expect_pixel "black root" cap.cvn 10 5 5 000000
  check "a second run adds" 0 xvfb-run -a -s "-screen 0 320x240x24 -br" "$CLI" capture cap.cvn --region 0,0,32,16 --rate 50 --frames 5
  frames_of "fifteen" cap.cvn 15
  check "another size" 1 xvfb-run -a -s "-screen 0 320x240x24" "$CLI" capture cap.cvn --region 0,0,8,8 --frames 1
fi
env -u DISPLAY "$CLI" capture z.cvn --region 0,0,8,8 >/dev/null 2>"$WORK/err"; [ $? -eq 1 ] && pass=$((pass + 1)) || { fail=$((fail + 1)); echo "FAIL: capture without a display"; }
contains "needs X11" err "X11"
finish
