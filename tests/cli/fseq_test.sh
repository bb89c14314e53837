#!/usr/bin/env bash
# End-to-end tests of `corvantine-cli export-fseq`, `import-fseq` and `info` on sequence
# files: a layout and a document of known colours exported with zstd, zlib and without
# compression, every block decoded by the outside zstd program and python's zlib and compared
# with the channels the test works out itself; per-controller and sparse files; the import
# round trip; refused files and options.
set -u
CLI="$(realpath "$1")"
source "$(dirname "$0")/../checks.sh"
export CORVANTINE_HOME="$WORK/home"
export QT_QPA_PLATFORM=offscreen
cd "$WORK" || exit 1
if ! command -v zstd >/dev/null 2>&1; then
  echo "FAIL: the zstd program is needed (package zstd)"
  exit 1
fi

same() {  # same NAME GOT EXPECTED
  if [ "$2" = "$3" ]; then pass=$((pass + 1)); else fail=$((fail + 1)); echo "FAIL: $1: $2, expected $3"; fi
}
py_check() {  # py_check NAME SCRIPT ARGS...: the script prints what is wrong and exits 1, or exits 0
  local name="$1" script="$2"
  shift 2
  if python3 "$script" "$@" >"$WORK/py" 2>&1; then pass=$((pass + 1)); else fail=$((fail + 1)); echo "FAIL: $name:"; cat "$WORK/py"; fi
}

# --- A 32 x 16 layout of two lines of 256 LEDs (s-shaped, each starting at its --to corner),
# output levels that send the frames' bytes as they are (RGB lamps), and a document of a black
# frame followed by 100 known frames.
check "layout" 0 "$CLI" layout new w.lnf --rows 16 --cols 32
check "line 1" 0 "$CLI" layout add w.lnf --from 0,0 --to 31,7 --line 1
check "line 2" 0 "$CLI" layout add w.lnf --from 31,8 --to 0,15 --line 2
check "levels" 0 "$CLI" layout set w.lnf --gamma 1.0 --brightness 100 --red 100 --green 100 --blue 100
"$CLI" info --json w.lnf >layout.json
cat >frames.py <<'EOF'
# The pixels of frame k (1..100) at (x, y), as red, green, blue.
import sys
W, H, FRAMES = 32, 16, 100
def pixel(k, x, y):
    return ((k * 40 + x * 9 + y * 50) % 256, (k * 70 + x * 13 + y * 3 + 1) % 256, (k * 20 + x * 5 + y * 90 + 2) % 256)
if __name__ == "__main__":
    for k in range(1, FRAMES + 1):
        with open("f%03d.ppm" % k, "wb") as f:
            f.write(b"P6 %d %d 255\n" % (W, H) + bytes(c for y in range(H) for x in range(W) for c in pixel(k, x, y)))
EOF
python3 frames.py
check "document" 0 "$CLI" new-project d.cvn --width 32 --height 16 --frames 1
check "frames" 0 "$CLI" frames import d.cvn f*.ppm
frames_of "101 frames" d.cvn 101
same "RGB lamps at gamma 1" "$(python3 -c 'import json; l = json.load(open("layout.json")); s = l["slaves"][0]; print(len(l["lines"]), [len(x) for x in l["lines"]], s["lightTypeName"], s["gammaValue"], s["brightnessPercent"])')" "2 [256, 256] RGB 1.0 100"

# The channels of frame k of the given lines, worked out here: each line in number order, its
# LEDs in wiring order, red, green, blue an LED.
cat >expect.py <<'EOF'
import json
from frames import pixel
def channels(layout, lines, k):
    out = []
    for line in lines:
        for row, col in layout["lines"][line - 1]:
            out.extend(pixel(k, col, row))
    return bytes(out)
EOF

# A sequence file read by the test's own reader: the header fields, the variable headers, and
# every frame (zstd blocks through `zstd -d`, zlib blocks through python's zlib). Arguments:
# FILE LAYOUT LINES (such as 1,2) FIRST_K VERSION COMPRESSION STEP [RANGES first:count,...].
cat >fseq_check.py <<'EOF'
import json, subprocess, sys, zlib
from expect import channels
path, layout, lines, first_k, version, compression, step = sys.argv[1:8]
ranges = [tuple(int(v) for v in r.split(":")) for r in sys.argv[8].split(",")] if len(sys.argv) > 8 else []
layout = json.load(open(layout))
lines = [int(v) for v in lines.split(",")]
first_k, version, step = int(first_k), int(version), int(step)
comp = {"none": 0, "zstd": 1, "zlib": 2}[compression]
b = open(path, "rb").read()
u16 = lambda o: int.from_bytes(b[o:o + 2], "little")
u32 = lambda o: int.from_bytes(b[o:o + 4], "little")
u24 = lambda o: int.from_bytes(b[o:o + 3], "little")
bad = []
def want(name, got, exp):
    if got != exp:
        bad.append("%s: %r, expected %r" % (name, got, exp))
frames = 100
expect = [channels(layout, lines, k) for k in range(first_k, first_k + frames)]
n = len(expect[0])
want("magic", b[0:4], b"PSEQ")
data = u16(4)
want("data offset a multiple of 4", data % 4, 0)
want("version", (b[7], b[6]), (version, 2 if version == 2 else 0))
want("channels", u32(10), n)
want("frames", u32(14), frames)
if version == 1:
    want("fixed header", u16(8), 28)
    want("v1 step", u16(18), step)
    want("v1 universes, gamma, encoding", (u16(20), u16(22), b[24], b[25], u16(26)), (0, 0, 1, 2, 0))
    var = 28
    blocks = []
else:
    want("step", b[18], step)
    want("flags", b[19], 0)
    want("compression", b[20] & 15, comp)
    count = b[21] | (b[20] >> 4) << 8
    want("sparse ranges", [(u24(32 + 8 * count + 6 * i), u24(32 + 8 * count + 6 * i + 3)) for i in range(b[22])], ranges)
    var = 32 + 8 * count + 6 * b[22]
    want("variable headers offset", u16(8), var)
    if u32(24) == 0 and u32(28) == 0:
        bad.append("unique id 0")
    blocks = [(u32(32 + 8 * i), u32(36 + 8 * i)) for i in range(count)]
    if comp == 0:
        want("no block index", count, 0)
headers = {}
o = var
while o + 4 <= data and u16(o) != 0:
    headers[b[o + 2:o + 4].decode()] = b[o + 4:o + u16(o)]
    o += u16(o)
producer = headers.get("sp", b"")
if not producer.startswith(b"Corvantine ") or not producer.endswith(b"\0"):
    bad.append("producer %r" % producer)
got = []
if comp == 0:
    want("file size", len(b), data + n * frames)
    got = [b[data + i * n:data + (i + 1) * n] for i in range(frames)]
else:
    if len(blocks) < 2:
        bad.append("only %d blocks" % len(blocks))
    want("first frames ascending from 0", [f for f, _ in blocks], sorted(set(f for f, _ in blocks)))
    want("first block's first frame", blocks[0][0] if blocks else None, 0)
    second = (blocks[2][0] if len(blocks) > 2 else frames) - blocks[1][0] if len(blocks) > 1 else 0
    if len(blocks) > 1 and not 2 <= blocks[1][0] < second:
        bad.append("the first block (%d frames) is not smaller than the next (%d)" % (blocks[1][0], second))
    want("blocks end the file", data + sum(l for _, l in blocks), len(b))
    at = data
    for i, (f, length) in enumerate(blocks):
        raw = b[at:at + length]
        at += length
        if comp == 1:
            want("block %d zstd magic" % i, raw[:4], b"\x28\xb5\x2f\xfd")
            done = subprocess.run(["zstd", "-d", "-c", "-q"], input=raw, capture_output=True)
            if done.returncode != 0:
                bad.append("zstd -d refused block %d: %s" % (i, done.stderr.decode()))
            raw = done.stdout
        else:
            raw = zlib.decompress(raw)
        end = blocks[i + 1][0] if i + 1 < len(blocks) else frames
        want("block %d bytes" % i, len(raw), (end - f) * n)
        got.extend(raw[j * n:(j + 1) * n] for j in range(end - f))
for i, (g, e) in enumerate(zip(got, expect)):
    if g != e:
        bad.append("frame %d differs from byte %d" % (i, next(j for j in range(n) if g[j:j + 1] != e[j:j + 1])))
        break
want("frames decoded", len(got), frames)
print("\n".join(bad))
sys.exit(1 if bad else 0)
EOF

# --- Version 2 with zstd (the default), zlib, none; version 1. Frames 2..101 are k = 1..100.
check "export zstd" 0 "$CLI" export-fseq d.cvn --lines w.lnf z.fseq --first 2 --last 101 --fps 40
contains "export said" out "z.fseq: 100 frames of 1536 channels written"
py_check "zstd file, every block through zstd -d" fseq_check.py z.fseq layout.json 1,2 1 2 zstd 25
check "export zlib" 0 "$CLI" export-fseq d.cvn --lines w.lnf l.fseq --first 2 --last 101 --fps 20 --compression zlib --level 9
py_check "zlib file, every block through python's zlib" fseq_check.py l.fseq layout.json 1,2 1 2 zlib 50
check "export none" 0 "$CLI" export-fseq d.cvn --lines w.lnf n.fseq --first 2 --last 101 --fps 40 --compression none
py_check "uncompressed version 2" fseq_check.py n.fseq layout.json 1,2 1 2 none 25
check "export v1" 0 "$CLI" export-fseq d.cvn --lines w.lnf v1.fseq --first 2 --last 101 --fps 3 --version 1
py_check "version 1" fseq_check.py v1.fseq layout.json 1,2 1 1 none 333
same "the producer names this version" "$(python3 -c "
b = open('z.fseq', 'rb').read(); o = int.from_bytes(b[8:10], 'little')
print(b[o + 4:o + int.from_bytes(b[o:o + 2], 'little') - 1].decode())")" "Corvantine $("$CLI" --version | cut -d' ' -f2)"

# --- info describes the file.
check "info" 0 "$CLI" info z.fseq
contains "info type" out "Type:         sequence file"
contains "info channels" out "Channels:     1536 a frame"
contains "info frames" out "Frames:       100"
contains "info step" out "Step:         25 ms (40 frames a second)"
contains "info compression" out "Compression:  zstd"
contains "info headers" out "Headers:      sp \"Corvantine "
check "info json" 0 "$CLI" info --json l.fseq
contains "info json fields" out '"type":"sequence","major":2,"minor":2,"channels":1536,"frames":100,"stepMs":50,"compression":"zlib"'
check "info v1" 0 "$CLI" info v1.fseq
contains "info v1 version" out "Version:      1.0"

# --- The import round trip: a new document of the layout's grid with every LED's pixel.
check "import new" 0 "$CLI" import-fseq z.fseq --lines w.lnf --into back.cvn
contains "import said" out "100 frames imported into clip 1 of back.cvn (32 x 16)"
frames_of "back: 100 frames" back.cvn 100
cat >pixels_check.py <<'EOF'
# Every LED's pixel of frames FIRST.. of a document's export (one raw RGB picture of the frames
# stacked) against frame k = FIRST_K.. of the known frames; pixels no LED shows must be black.
# Arguments: RAW LAYOUT FIRST_K FRAMES LINES.
import json, sys
from frames import pixel, W, H
raw = open(sys.argv[1], "rb").read()
layout = json.load(open(sys.argv[2]))
first_k, frames = int(sys.argv[3]), int(sys.argv[4])
lines = [int(v) for v in sys.argv[5].split(",")]
leds = {(row, col) for line in lines for row, col in layout["lines"][line - 1]}
bad = []
if len(raw) != W * H * 3 * frames:
    bad.append("%d bytes of pixels, expected %d" % (len(raw), W * H * 3 * frames))
for i in range(frames):
    for y in range(H):
        for x in range(W):
            o = ((i * H + y) * W + x) * 3
            want = pixel(first_k + i, x, y) if (y, x) in leds else (0, 0, 0)
            if tuple(raw[o:o + 3]) != want:
                bad.append("frame %d pixel %d,%d: %s, expected %s" % (i + 1, x, y, tuple(raw[o:o + 3]), want))
    if len(bad) > 5:
        break
print("\n".join(bad[:6]))
sys.exit(1 if bad else 0)
EOF
pixels_of() {  # pixels_of DOC FIRST LAST OUT: frames FIRST..LAST stacked as raw RGB
  rm -rf "$WORK/px" && "$CLI" frames export "$1" "$WORK/px" --first "$2" --last "$3" >/dev/null 2>&1
  convert "$WORK/px/"frame*.png -append -depth 8 "rgb:$4"
}
pixels_of back.cvn 1 100 back.raw
py_check "every LED's pixel comes back" pixels_check.py back.raw layout.json 1 100 1,2
check "import zlib and v1 the same" 0 "$CLI" import-fseq l.fseq --lines w.lnf --into back2.cvn
check "import v1" 0 "$CLI" import-fseq v1.fseq --lines w.lnf --into back2.cvn
frames_of "both appended" back2.cvn 200
pixels_of back2.cvn 101 200 back2.raw
py_check "version 1 pixels appended" pixels_check.py back2.raw layout.json 1 100 1,2

# --- Per controller: one file a controller of the description, sparse ranges in the whole
# layout's channels; --controller N writes one.
cat >show.net <<'EOF'
[Controller1]
Protocol = ddp
Address = 127.0.0.1
Lines = 1

[Controller2]
Protocol = e131
Address = 127.0.0.1
Lines = 2
Universe = 63999
EOF
check "export per controller" 0 "$CLI" export-fseq d.cvn --lines w.lnf show.fseq --first 2 --last 101 --fps 40 --net show.net --sparse
contains "controller 1 said" out "show-Controller1.fseq: 100 frames of 768 channels written"
contains "controller 2 said" out "show-Controller2.fseq: 100 frames of 768 channels written"
[ ! -e show.fseq ] && pass=$((pass + 1)) || { fail=$((fail + 1)); echo "FAIL: show.fseq written"; }
py_check "controller 1, sparse" fseq_check.py show-Controller1.fseq layout.json 1 1 2 zstd 25 0:768
py_check "controller 2, sparse" fseq_check.py show-Controller2.fseq layout.json 2 1 2 zstd 25 768:768
check "export one controller" 0 "$CLI" export-fseq d.cvn --lines w.lnf one.fseq --first 2 --last 101 --fps 40 --net show.net --controller 2 --compression zlib
py_check "controller 2 alone, dense" fseq_check.py one.fseq layout.json 2 1 2 zlib 25
check "info ranges" 0 "$CLI" info show-Controller2.fseq
contains "info names the range" out "Ranges:       768..1535 (768)"
# A sparse file comes back in its place; a dense file of fewer channels is imported as far
# as it goes, with a warning naming both counts.
check "import sparse" 0 "$CLI" import-fseq show-Controller2.fseq --lines w.lnf --into part.cvn
pixels_of part.cvn 1 100 part.raw
py_check "line 2 in place, line 1 black" pixels_check.py part.raw layout.json 1 100 2
check "import dense part" 0 "$CLI" import-fseq one.fseq --lines w.lnf --into part2.cvn
contains "fewer channels warned of" err "warning: one.fseq has 768 channels a frame, the layout 1536"
pixels_of part2.cvn 1 100 part2.raw
cat >first_line.py <<'EOF'
# one.fseq holds line 2's channels: read as the whole layout's, they land on line 1's LEDs.
import json, sys
from frames import pixel, W, H
raw = open(sys.argv[1], "rb").read()
layout = json.load(open(sys.argv[2]))
one, two = layout["lines"][0], layout["lines"][1]
bad = []
for i in range(100):
    for (r1, c1), (r2, c2) in zip(one, two):
        o = ((i * H + r1) * W + c1) * 3
        if tuple(raw[o:o + 3]) != pixel(i + 1, c2, r2):
            bad.append("frame %d LED at %d,%d" % (i + 1, c1, r1))
print("\n".join(bad[:5]))
sys.exit(1 if bad else 0)
EOF
py_check "a dense part lands on the first channels" first_line.py part2.raw layout.json

# --- A cut-short file is refused on import and the document is left as it was.
size=$(stat -c %s z.fseq)
head -c $((size - 10)) z.fseq >cut.fseq
before=$(sha256sum d.cvn | cut -d' ' -f1)
check "import cut short" 1 "$CLI" import-fseq cut.fseq --lines w.lnf --into d.cvn
contains "cut short named" err "cut.fseq is cut short"
same "document untouched" "$(sha256sum d.cvn | cut -d' ' -f1)" "$before"
head -c 20 z.fseq >cut2.fseq
check "import header cut" 1 "$CLI" import-fseq cut2.fseq --lines w.lnf --into d.cvn
same "document untouched (header)" "$(sha256sum d.cvn | cut -d' ' -f1)" "$before"
check "info cut short" 1 "$CLI" info cut.fseq
# A damaged block: the file opens, its frames do not decode.
python3 -c "
b = bytearray(open('z.fseq', 'rb').read()); d = int.from_bytes(b[4:6], 'little')
for i in range(d + 40, d + 60): b[i] ^= 0x5A
open('bad.fseq', 'wb').write(b)"
check "import damaged block" 1 "$CLI" import-fseq bad.fseq --lines w.lnf --into d.cvn
contains "damaged named" err "bad.fseq is damaged: block 0 does not decompress"
same "document untouched (damaged)" "$(sha256sum d.cvn | cut -d' ' -f1)" "$before"
# Appending to an existing document's clip.
check "import appends" 0 "$CLI" import-fseq z.fseq --lines w.lnf --into d.cvn
frames_of "201 frames" d.cvn 201

# --- Bad usage: exit 2 with the reason; nothing written.
check "no --lines" 2 "$CLI" export-fseq d.cvn x.fseq
contains "--lines named" err "--lines LAYOUT.lnf is required"
check "bad compression" 2 "$CLI" export-fseq d.cvn --lines w.lnf x.fseq --compression lz4
contains "compression choices" err "--compression takes zstd, zlib or none"
check "bad version" 2 "$CLI" export-fseq d.cvn --lines w.lnf x.fseq --version 3
check "v1 compressed" 2 "$CLI" export-fseq d.cvn --lines w.lnf x.fseq --version 1 --compression zstd
contains "v1 not compressed" err "version 1 files are not compressed"
check "level range" 2 "$CLI" export-fseq d.cvn --lines w.lnf x.fseq --compression zlib --level 10
contains "level range named" err "--level takes 1..9"
check "level without compression" 2 "$CLI" export-fseq d.cvn --lines w.lnf x.fseq --compression none --level 3
check "fps range" 2 "$CLI" export-fseq d.cvn --lines w.lnf x.fseq --fps 3
contains "fps range named" err "--fps takes 4..1000"
check "sparse without net" 2 "$CLI" export-fseq d.cvn --lines w.lnf x.fseq --sparse
contains "sparse needs net" err "--sparse needs --net NAME.net"
check "controller without net" 2 "$CLI" export-fseq d.cvn --lines w.lnf x.fseq --controller 1
check "no such controller" 2 "$CLI" export-fseq d.cvn --lines w.lnf x.fseq --net show.net --controller 7
contains "no such controller named" err "show.net has no [Controller7] (it has [Controller1], [Controller2])"
check "frames out of range" 2 "$CLI" export-fseq d.cvn --lines w.lnf x.fseq --first 5 --last 900
check "output is the document" 2 "$CLI" export-fseq d.cvn --lines w.lnf d.cvn
contains "output is input" err "the output may not be the input d.cvn"
[ ! -e x.fseq ] && pass=$((pass + 1)) || { fail=$((fail + 1)); echo "FAIL: x.fseq written"; }
check "import: no --into" 2 "$CLI" import-fseq z.fseq --lines w.lnf
check "import: size of an existing clip" 2 "$CLI" import-fseq z.fseq --lines w.lnf --into d.cvn --width 8 --height 8
contains "size named" err "the clip's frames are 32 x 16"
check "import: no such clip" 2 "$CLI" import-fseq z.fseq --lines w.lnf --into d.cvn --clip 4
check "import: not a sequence" 1 "$CLI" import-fseq w.lnf --lines w.lnf --into new.cvn
contains "not a sequence named" err "w.lnf is not a sequence file"
[ ! -e new.cvn ] && pass=$((pass + 1)) || { fail=$((fail + 1)); echo "FAIL: new.cvn written"; }

finish
