#!/usr/bin/env bash
# End-to-end tests of `corvantine-cli play`: a clip sent live to a real E1.31 receiver (olad,
# on private ports and a private configuration) and to UDP listeners of the test's own, which
# record what arrives. Everything goes to 127.0.0.1, never to a multicast group; every step
# is bounded in time.
set -u
CLI="$(realpath "$1")"
if ! command -v olad >/dev/null 2>&1; then
  echo "SKIP: olad is not installed (package ola); the live output is not tested"
  exit 77
fi
source "$(dirname "$0")/../checks.sh"
export CORVANTINE_HOME="$WORK/home"
export QT_QPA_PLATFORM=offscreen
cd "$WORK" || exit 1

OLADIR="$(mktemp -d)"
OLAD_PID=""
LISTENER_PID=""
cleanup() {
  [ -n "$LISTENER_PID" ] && kill "$LISTENER_PID" 2>/dev/null && wait "$LISTENER_PID" 2>/dev/null
  if [ -n "$OLAD_PID" ]; then
    kill "$OLAD_PID" 2>/dev/null
    for _ in $(seq 50); do kill -0 "$OLAD_PID" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$OLAD_PID" 2>/dev/null
  fi
  rm -rf "$OLADIR" "$WORK"
}
trap cleanup EXIT

same() {  # same NAME GOT EXPECTED
  if [ "$2" = "$3" ]; then pass=$((pass + 1)); else fail=$((fail + 1)); echo "FAIL: $1: $2, expected $3"; fi
}
py_check() {  # py_check NAME SCRIPT ARGS...: the script prints what is wrong and exits 1, or exits 0
  local name="$1" script="$2"
  shift 2
  if python3 "$script" "$@" >"$WORK/py" 2>&1; then pass=$((pass + 1)); else fail=$((fail + 1)); echo "FAIL: $name:"; cat "$WORK/py"; fi
}
free_port() {  # a TCP port of 127.0.0.1 nobody listens on now
  python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

# --- The listener: UDP sockets on 127.0.0.1 (ports chosen by the system, written to a file),
# every datagram recorded as "SOCKET TIME HEX" a line.
cat >listener.py <<'EOF'
import os, select, socket, sys, time
out, portfile, count, limit = sys.argv[1], sys.argv[2], int(sys.argv[3]), float(sys.argv[4])
socks = []
for _ in range(count):
    s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    s.bind(("127.0.0.1", 0))
    socks.append(s)
with open(portfile + ".tmp", "w") as f:
    f.write(" ".join(str(s.getsockname()[1]) for s in socks) + "\n")
os.rename(portfile + ".tmp", portfile)
end = time.monotonic() + limit
with open(out, "a") as f:
    while time.monotonic() < end:
        ready, _, _ = select.select(socks, [], [], 0.2)
        for s in ready:
            data = s.recv(65535)
            f.write("%d %.6f %s\n" % (socks.index(s), time.monotonic(), data.hex()))
            f.flush()
EOF
: >packets
python3 listener.py packets ports 3 120 &
LISTENER_PID=$!
for _ in $(seq 50); do [ -s ports ] && break; sleep 0.1; done
read -r DDP_PORT E131_PORT ART_PORT <ports || { echo "FAIL: the listener did not start"; exit 1; }

# --- The receiver: olad with only its E1.31 and Art-Net plugins, on 127.0.0.1 (as nobody when
# root). Its Art-Net node takes the loopback interface only when allowed to (use_loopback; it
# otherwise passes lo over for another interface whatever ip says) and listens on 0.0.0.0:6454.
HTTP_PORT=$(free_port)
RPC_PORT=$(free_port)
chmod 777 "$OLADIR"
for p in dummy espnet ftdidmx gpio karate kinet milinst opendmx openpixelcontrol osc pathport renard \
         sandnet shownet spi stageprofi uartdmx usbdmx usbserial; do
  echo "enabled = false" >"$OLADIR/ola-$p.conf"
done
printf 'enabled = true\nip = 127.0.0.1\ninput_ports = 2\noutput_ports = 0\nignore_preview = true\nprepend_hostname = false\ndraft_discovery = false\ndscp = 0\nrevision = 0.46\n' \
  >"$OLADIR/ola-e131.conf"
printf 'enabled = true\nip = 127.0.0.1\nuse_loopback = true\nalways_broadcast = false\nuse_limited_broadcast = false\nnet = 0\nsubnet = 0\noutput_ports = 0\nshort_name = Test node\nlong_name = Test node\n' \
  >"$OLADIR/ola-artnet.conf"
chmod 666 "$OLADIR"/*.conf
as_receiver=()
[ "$(id -u)" = 0 ] && as_receiver=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
"${as_receiver[@]}" olad --config-dir "$OLADIR" --http-port "$HTTP_PORT" --rpc-port "$RPC_PORT" \
  --no-register-with-dns-sd -l 2 >"$OLADIR/log" 2>&1 &
OLAD_PID=$!
api() { curl -s --max-time 5 "$@"; }
for _ in $(seq 100); do api "http://127.0.0.1:$HTTP_PORT/json/server_stats" >/dev/null && break; sleep 0.1; done
api "http://127.0.0.1:$HTTP_PORT/json/server_stats" >/dev/null || { echo "FAIL: olad did not start:"; cat "$OLADIR/log"; exit 1; }
# Its two E1.31 input ports patched to universes 1 and 2, two Art-Net input ports to 3 and 4
# (olad offers the next free port of a device once the one before is patched).
input_port() {  # input_port DEVICE: the first free input port of olad's device DEVICE
  api "http://127.0.0.1:$HTTP_PORT/json/get_ports" >get_ports.json
  python3 -c '
import json, sys
ports = [p["id"] for p in json.load(open(sys.argv[1])) if not p.get("is_output") and sys.argv[2] in p.get("device", "")]
print(sorted(ports)[0] if ports else "")' get_ports.json "$1"
}
for u in 1 2 3 4; do
  device=E1.31
  [ "$u" -gt 2 ] && device=ArtNet
  port=$(input_port "$device")
  [ -n "$port" ] || { echo "FAIL: olad offers no $device input port for universe $u:"; cat get_ports.json "$OLADIR/log"; exit 1; }
  api -X POST -d "id=$u&name=u$u&add_ports=$port" "http://127.0.0.1:$HTTP_PORT/new_universe" >/dev/null
done
dmx() {  # dmx UNIVERSE: its first 16 channels, comma-separated
  api "http://127.0.0.1:$HTTP_PORT/get_dmx?u=$1" | python3 -c 'import json, sys; print(",".join(str(v) for v in (json.load(sys.stdin)["dmx"] + [0] * 16)[:16]))'
}

# --- A layout of two lines of four LEDs (the second wired right to left) with levels that
# send the frames' bytes as they are, and a document of three known frames after a black one.
check "layout" 0 "$CLI" layout new w.lnf --rows 2 --cols 4
check "line 1" 0 "$CLI" layout add w.lnf --from 0,0 --to 3,0 --line 1
check "line 2" 0 "$CLI" layout add w.lnf --from 3,1 --to 0,1 --line 2
check "levels" 0 "$CLI" layout set w.lnf --gamma 1.0 --brightness 100 --red 100 --green 100 --blue 100
"$CLI" info --json w.lnf >layout.json
cat >frames.py <<'EOF'
# The pixels of frame k (1..3) at (x, y): distinct bytes everywhere.
import sys
def pixel(k, x, y):
    return ((k * 40 + x * 9 + y * 50) % 256, (k * 70 + x * 13 + y * 3 + 1) % 256, (k * 20 + x * 5 + y * 90 + 2) % 256)
if __name__ == "__main__":
    for k in (1, 2, 3):
        with open("f%d.ppm" % k, "wb") as f:
            f.write(b"P6 4 2 255\n" + bytes(c for y in range(2) for x in range(4) for c in pixel(k, x, y)))
EOF
python3 frames.py
check "document" 0 "$CLI" new-project d.cvn --width 4 --height 2 --frames 1
check "frames" 0 "$CLI" frames import d.cvn f1.ppm f2.ppm f3.ppm
frames_of "four frames" d.cvn 4
cat >expect.py <<'EOF'
# The channels of a line for frame k (1..3): its LEDs in wiring order, each LED's components in
# its lamp type's pin order (pin v: component v % 3 of LED v // 3, 0 blue, 1 green, 2 red).
import json, sys
from frames import pixel
def channels(layout, line, k):
    lamps = {t["name"]: t["pins"] for t in layout["lampTypes"]}
    slave = (line - 1) // max(layout["portsPerSlave"], 1)
    pins = lamps[layout["slaves"][slave]["lightTypeName"]]
    out = []
    for row, col in layout["lines"][line - 1]:
        r, g, b = pixel(k, col, row)
        for v in pins:
            out.append((b, g, r)[v % 3])
    return out
if __name__ == "__main__":
    layout = json.load(open(sys.argv[1]))
    print(",".join(str(v) for v in channels(layout, int(sys.argv[2]), int(sys.argv[3]))))
EOF
same "levels as they are" "$(python3 -c 'import json; s = json.load(open("layout.json"))["slaves"][0]; print(s["gammaValue"], s["brightnessPercent"], s["red"], s["green"], s["blue"])')" "1.0 100 100 100 100"

# Controller 1 by E1.31 to olad: line 1 (12 channels) in universes of 6. Controller 2 by DDP,
# line 2, to the listener. Controller 3 by E1.31 to the listener, line 1 again (warned of).
cat >show.net <<EOF
[Controller1]
Protocol = e131
Address = 127.0.0.1
Lines = 1
Universe = 1
ChannelsPerUniverse = 6

[Controller2]
Protocol = ddp
Address = 127.0.0.1
Port = $DDP_PORT
Lines = 2

[Controller3]
Protocol = e131
Address = 127.0.0.1
Port = $E131_PORT
Lines = 1
Universe = 7
Priority = 150
EOF

# --- Frames 2..4 (the three known ones) at 10 a second.
start=$(date +%s.%N)
check "play" 0 timeout 30 "$CLI" play d.cvn --lines w.lnf --net show.net --fps 10 --first 2 --last 4
elapsed=$(python3 -c "import sys; print('%.2f' % ($(date +%s.%N) - $start))")
contains "said" out "3 frames sent in 0.3"
contains "dropped none" out "(0 dropped)"
contains "the line twice is warned of" err "warning: Lines 1 are driven by both [Controller1] and [Controller3]"
python3 -c "import sys; sys.exit(0 if 0.25 <= $elapsed <= 10 else 1)" && pass=$((pass + 1)) || { fail=$((fail + 1)); echo "FAIL: play took $elapsed s"; }
cp packets packets.run1

last1=$(python3 expect.py layout.json 1 3)
want_u1=$(python3 -c "v = '$last1'.split(','); print(','.join((v[:6] + ['0'] * 16)[:16]))")
want_u2=$(python3 -c "v = '$last1'.split(','); print(','.join((v[6:12] + ['0'] * 16)[:16]))")
same "olad universe 1 holds the last frame's first 6 channels" "$(dmx 1)" "$want_u1"
same "olad universe 2 holds the next 6" "$(dmx 2)" "$want_u2"

# The DDP packets: one a frame (12 bytes), version 1 with push, sequence 1, 2, 3, RGB 8-bit,
# display 1, offset 0, length 12, the line's channels; a frame period apart (arguments: the
# layout, the packets, the frames sent, the first sequence number, the frames a second).
cat >ddp_check.py <<'EOF'
import json, sys
from expect import channels
layout = json.load(open(sys.argv[1]))
rows = [l.split() for l in open(sys.argv[2]) if l.startswith("0 ")]
frames = [int(k) for k in sys.argv[3].split(",")]
first_seq = int(sys.argv[4])
period = 1.0 / float(sys.argv[5])
bad = []
if len(rows) != len(frames):
    bad.append("%d DDP packets, expected %d" % (len(rows), len(frames)))
for i, (row, k) in enumerate(zip(rows, frames)):
    p = bytes.fromhex(row[2])
    want = channels(layout, 2, k)
    seq = (first_seq + i - 1) % 15 + 1
    head = [p[0], p[1] & 0x0F, p[2], p[3], int.from_bytes(p[4:8], "big"), int.from_bytes(p[8:10], "big")]
    if head != [0x41, seq, 0x0B, 1, 0, len(want)]:
        bad.append("packet %d header %s, expected %s" % (i, head, [0x41, seq, 0x0B, 1, 0, len(want)]))
    if list(p[10:]) != want:
        bad.append("packet %d data %s, expected %s (frame %d)" % (i, list(p[10:]), want, k))
times = [float(r[1]) for r in rows]
for a, b in zip(times, times[1:]):
    if not 0.3 * period <= b - a <= period + 0.4:
        bad.append("packets %.3f s apart" % (b - a))
if len(times) > 1 and not 0.8 * period * (len(times) - 1) <= times[-1] - times[0] <= period * (len(times) - 1) + 0.25:
    bad.append("the frames took %.3f s" % (times[-1] - times[0]))
print("\n".join(bad))
sys.exit(1 if bad else 0)
EOF
py_check "DDP packets" ddp_check.py layout.json packets.run1 1,2,3 1 10

# The E1.31 packets of controller 3: per frame universe 7 (12 slots), sequence 0, 1, 2, then
# three terminated packets; root and framing vectors, CID, source name, priority, universe.
cat >e131_check.py <<'EOF'
import json, sys
from expect import channels
layout = json.load(open(sys.argv[1]))
rows = [l.split() for l in open(sys.argv[2]) if l.startswith("1 ")]
frames = [int(k) for k in sys.argv[3].split(",")]
bad = []
if len(rows) != len(frames) + 3:
    bad.append("%d E1.31 packets, expected %d" % (len(rows), len(frames) + 3))
cids = set()
for i, row in enumerate(rows):
    p = bytes.fromhex(row[2])
    want = channels(layout, 1, frames[min(i, len(frames) - 1)])
    n = len(want)
    if len(p) != 126 + n:
        bad.append("packet %d has %d bytes" % (i, len(p)))
        continue
    b16 = lambda o: int.from_bytes(p[o:o + 2], "big")
    b32 = lambda o: int.from_bytes(p[o:o + 4], "big")
    terminated = i >= len(frames)
    got = [b16(0), b16(2), p[4:16], b16(16), b32(18), b16(38), b32(40), p[44:108].rstrip(b"\0"), p[108], b16(109),
           p[111], p[112], b16(113), b16(115), p[117], p[118], b16(119), b16(121), b16(123), p[125]]
    exp = [0x10, 0, b"ASC-E1.17\0\0\0", 0x7000 | (110 + n), 4, 0x7000 | (88 + n), 2, b"Corvantine", 150, 0,
           i % 256, 0x40 if terminated else 0, 7, 0x7000 | (11 + n), 2, 0xA1, 0, 1, n + 1, 0]
    if got != exp:
        bad.append("packet %d: %s, expected %s" % (i, got, exp))
    if not terminated and list(p[126:]) != want:
        bad.append("packet %d slots %s, expected %s" % (i, list(p[126:]), want))
    cids.add(p[22:38])
if len(cids) != 1:
    bad.append("%d different CIDs" % len(cids))
print("\n".join(bad))
sys.exit(1 if bad else 0)
EOF
py_check "E1.31 packets" e131_check.py layout.json packets.run1 1,2,3

# --- Art-Net to olad's Art-Net node on 127.0.0.1, its default port (6454): lines 1 and 2 in
# universes of 12 channels, to the port addresses olad's universes 3 and 4 listen to (olad
# describes each port as "ArtNet Universe NET:SUBNET:UNIVERSE"). Each universe then holds the
# frame's channels of its line, byte for byte, whole (olad keeps as many channels as arrive).
art_address() {  # art_address UNIVERSE: the 15-bit port address olad's universe takes
  api "http://127.0.0.1:$HTTP_PORT/json/universe_info?id=$1" | python3 -c '
import json, re, sys
for port in json.load(sys.stdin).get("input_ports", []):
    m = re.search(r"(\d+):(\d+):(\d+)", port.get("description", ""))
    if m:
        print(int(m[1]) << 8 | int(m[2]) << 4 | int(m[3]))
        break'
}
dmx_all() {  # dmx_all UNIVERSE: all its channels, comma-separated
  api "http://127.0.0.1:$HTTP_PORT/get_dmx?u=$1" | python3 -c 'import json, sys; print(",".join(str(v) for v in json.load(sys.stdin)["dmx"]))'
}
ART_U=$(art_address 3)
same "olad's Art-Net universes are consecutive" "$(art_address 4)" "$((${ART_U:-0} + 1))"
printf '[Controller1]\nProtocol = artnet\nAddress = 127.0.0.1\nLines = 1-2\nUniverse = %s\nChannelsPerUniverse = 12\n' \
  "${ART_U:-0}" >artnet.net
for last in 3 4; do  # frames 2..3, then 2..4: the last frame the run sent each time
  check "Art-Net play to $last" 0 timeout 30 "$CLI" play d.cvn --lines w.lnf --net artnet.net --fps 20 --first 2 --last $last
  sleep 0.2
  same "olad Art-Net universe 3 holds line 1 of frame $((last - 1))" "$(dmx_all 3)" "$(python3 expect.py layout.json 1 $((last - 1)))"
  same "olad Art-Net universe 4 holds line 2 of frame $((last - 1))" "$(dmx_all 4)" "$(python3 expect.py layout.json 2 $((last - 1)))"
done

# --- Twice round frames 2..3; a new run is a new source (another CID).
: >packets
check "loop" 0 timeout 30 "$CLI" play d.cvn --lines w.lnf --net show.net --fps 20 --first 2 --last 3 --loop 2
contains "four frames" out "4 frames sent in"
py_check "DDP packets of the loops" ddp_check.py layout.json packets 1,2,1,2 1 20
py_check "E1.31 packets of the loops" e131_check.py layout.json packets 1,2,1,2
cid_of() { grep '^1 ' "$1" | head -1 | cut -d' ' -f3 | cut -c45-76; }
[ "$(cid_of packets)" != "$(cid_of packets.run1)" ] && pass=$((pass + 1)) || { fail=$((fail + 1)); echo "FAIL: two runs with the same CID"; }
same "olad shows the loop's last frame" "$(dmx 1)" "$(python3 -c "v = '$(python3 expect.py layout.json 1 2)'.split(','); print(','.join((v[:6] + ['0'] * 16)[:16]))")"

# --- Synchronised: E1.31 data naming universe 3 as the synchronisation universe, a
# synchronisation packet after each frame; Art-Net ArtDmx (port address 0x123, the data
# padded to an even length: line 1 of 12 channels cut into universes of 5) and an ArtSync.
cat >sync.net <<EOF
[Controller1]
Protocol = e131
Address = 127.0.0.1
Port = $E131_PORT
Lines = 1
Universe = 3
Sync = 1
SourceName = Bridge west

[Controller2]
Protocol = artnet
Address = 127.0.0.1
Port = $ART_PORT
Lines = 1
Universe = 291
ChannelsPerUniverse = 5
Sync = 1
EOF
: >packets
check "synchronised" 0 timeout 30 "$CLI" play d.cvn --lines w.lnf --net sync.net --fps 20 --first 2 --last 3
cat >sync_check.py <<'EOF'
import json, sys
from expect import channels
layout = json.load(open(sys.argv[1]))
rows = [l.split() for l in open(sys.argv[2])]
e131 = [bytes.fromhex(r[2]) for r in rows if r[0] == "1"]
art = [bytes.fromhex(r[2]) for r in rows if r[0] == "2"]
bad = []
b16 = lambda p, o: int.from_bytes(p[o:o + 2], "big")
b32 = lambda p, o: int.from_bytes(p[o:o + 4], "big")
# Two frames: data, sync, data, sync, then three terminated data packets.
kinds = ["sync" if len(p) == 49 else "data" for p in e131]
if kinds != ["data", "sync", "data", "sync", "data", "data", "data"]:
    bad.append("E1.31 packets %s" % kinds)
for i, p in enumerate(e131):
    if len(p) == 49:
        got = [b16(p, 0), b32(p, 18), b16(p, 38), b32(p, 40), p[44], b16(p, 45), b16(p, 47)]
        exp = [0x10, 8, 0x7000 | 11, 1, i // 2, 3, 0]
        if got != exp:
            bad.append("sync packet %d: %s, expected %s" % (i, got, exp))
    elif p[44:108].rstrip(b"\0") != b"Bridge west" or b16(p, 109) != 3 or b16(p, 113) != 3:
        bad.append("data packet %d: source %s, sync universe %d, universe %d" % (i, p[44:108].rstrip(b"\0"), b16(p, 109), b16(p, 113)))
# Art-Net: per frame universes 0x123, 0x124, 0x125 of 5, 5 and 2 channels (each universe
# counting its own sequence from 1), then an ArtSync.
expect = []
for k in (1, 2):
    ch = channels(layout, 1, k)
    for u, part in ((0x123, ch[0:5]), (0x124, ch[5:10]), (0x125, ch[10:12])):
        sequence = k
        data = part + [0] * (len(part) % 2)
        expect.append(b"Art-Net\0" + bytes([0x00, 0x50, 0, 14, sequence, 0, u & 0xFF, u >> 8, 0, len(data)]) + bytes(data))
    expect.append(b"Art-Net\0" + bytes([0x00, 0x52, 0, 14, 0, 0]))
if art != expect:
    bad.append("Art-Net packets\n%s\nexpected\n%s" % ([p.hex() for p in art], [p.hex() for p in expect]))
print("\n".join(bad))
sys.exit(1 if bad else 0)
EOF
py_check "synchronised packets" sync_check.py layout.json packets

# --- Until stopped: Ctrl+C (SIGINT) or SIGTERM ends the run cleanly, the E1.31 streams
# terminated. (The player starts with the signals' default actions, as from a terminal.)
cat >ends_check.py <<'EOF'
import sys
rows = [bytes.fromhex(l.split()[2]) for l in open(sys.argv[1]) if l.startswith("1 ")]
data = [p for p in rows if not p[112] & 0x40]
ends = [p for p in rows if p[112] & 0x40]
if len(data) < 5 or len(ends) != 3 or rows[-3:] != ends:
    print("%d data packets, %d terminated, the last three %s" % (len(data), len(ends), [p[112] for p in rows[-3:]]))
    sys.exit(1)
EOF
for sig in INT TERM; do
  : >packets
  python3 -c 'import os, signal, sys; signal.signal(signal.SIGINT, signal.SIG_DFL); signal.signal(signal.SIGTERM, signal.SIG_DFL); os.execv(sys.argv[1], sys.argv[1:])' \
    "$CLI" play d.cvn --lines w.lnf --net show.net --fps 20 --first 2 --last 4 --loop 0 >"$WORK/out" 2>"$WORK/err" &
  player=$!
  # Once frames are arriving (at most 10 s).
  for _ in $(seq 100); do [ "$(grep -c '^1 ' packets)" -ge 5 ] && break; sleep 0.1; done
  kill -"$sig" "$player"
  for _ in $(seq 100); do kill -0 "$player" 2>/dev/null || break; sleep 0.1; done
  kill -9 "$player" 2>/dev/null && echo "FAIL: SIG$sig did not end the run"
  wait "$player"
  same "stopped by SIG$sig: exit" "$?" "0"
  contains "SIG$sig: said" out "Stopped: "
  sleep 0.3
  py_check "SIG$sig: the streams terminated" ends_check.py packets
done

# --- The default speed is the configured play speed (20 a second when none is set).
seconds() { sed -n 's/.* frames sent in \([0-9.]*\) s.*/\1/p' "$WORK/out"; }
check "default speed" 0 timeout 30 "$CLI" play d.cvn --lines w.lnf --net show.net --first 2 --last 4
python3 -c "import sys; sys.exit(0 if 0.14 <= float('$(seconds)') < 0.3 else 1)" && pass=$((pass + 1)) || { fail=$((fail + 1)); echo "FAIL: 20 a second took $(seconds) s"; }
printf '\n[AVIOption]\nFramesPerSecond=40\n' >>"$CORVANTINE_HOME/Led Conf.ldc"
check "configured speed" 0 timeout 30 "$CLI" play d.cvn --lines w.lnf --net show.net --first 2 --last 4
python3 -c "import sys; sys.exit(0 if 0.07 <= float('$(seconds)') < 0.14 else 1)" && pass=$((pass + 1)) || { fail=$((fail + 1)); echo "FAIL: 40 a second took $(seconds) s"; }

# --- Pacing: 200 frames at 40 a second by DDP arrive within 5 % of the 199 frame periods from
# the first to the last (4.975 s); the spread of the gaps between frames is printed.
check "200 frames" 0 "$CLI" new-project p.cvn --width 4 --height 2 --frames 200 --color 3366CC
printf '[Controller1]\nProtocol = ddp\nAddress = 127.0.0.1\nPort = %s\nLines = 1-2\n' "$DDP_PORT" >pace.net
: >packets
check "paced play" 0 timeout 60 "$CLI" play p.cvn --lines w.lnf --net pace.net --fps 40
contains "paced: said" out "200 frames sent in"
sleep 0.3
cat >pace_check.py <<'EOF'
import statistics, sys
rows = [l.split() for l in open(sys.argv[1]) if l.startswith("0 ")]
frames, fps = int(sys.argv[2]), float(sys.argv[3])
times = [float(r[1]) for r in rows if bytes.fromhex(r[2])[0] & 0x01]  # the push packets
bad = [] if len(times) == frames else ["%d frames arrived, expected %d" % (len(times), frames)]
if len(times) > 2:
    due = (frames - 1) / fps
    span = times[-1] - times[0]
    gaps = [(b - a) * 1000 for a, b in zip(times, times[1:])]
    print("pacing: %d frames at %g a second arrived in %.3f s (%.3f s due, %+.2f %%); gaps min %.2f, median %.2f, "
          "max %.2f ms, standard deviation %.2f ms" % (len(times), fps, span, due, 100 * (span - due) / due, min(gaps),
                                                      statistics.median(gaps), max(gaps), statistics.pstdev(gaps)))
    if abs(span - due) > 0.05 * due:
        bad.append("the frames took %.3f s, not within 5 %% of %.3f s" % (span, due))
print("\n".join(bad))
sys.exit(1 if bad else 0)
EOF
if python3 pace_check.py packets 200 40 >"$WORK/py" 2>&1; then pass=$((pass + 1)); else fail=$((fail + 1)); echo "FAIL: pacing:"; fi
grep . "$WORK/py"

# --- A test pattern: white for a second, by DDP, both lines: every channel 255.
printf '[Controller1]\nProtocol = ddp\nAddress = 127.0.0.1\nPort = %s\nLines = 1-2\n' "$DDP_PORT" >pattern.net
: >packets
check "test pattern white" 0 timeout 30 "$CLI" test-pattern --lines w.lnf --net pattern.net --pattern white --seconds 1 --fps 10
contains "pattern said" out "frames sent in 1.0"
sleep 0.3
cat >white_check.py <<'EOF'
import sys
rows = [l.split() for l in open(sys.argv[1]) if l.startswith("0 ")]
bad = [] if rows else ["no DDP packets"]
for i, row in enumerate(rows):
    p = bytes.fromhex(row[2])
    if list(p[10:]) != [255] * 24:
        bad.append("packet %d data %s, expected 24 x 255" % (i, list(p[10:])))
print("\n".join(bad))
sys.exit(1 if bad else 0)
EOF
py_check "white pattern: all channels 255" white_check.py packets
check "bad pattern" 2 "$CLI" test-pattern --lines w.lnf --net pattern.net --pattern blue
contains "bad pattern named" err "Unknown test pattern blue"

# --- Bad usage and bad files: exit 2 naming the section and key; nothing is sent.
: >packets
check "no --net" 2 "$CLI" play d.cvn --lines w.lnf
contains "--net named" err "--net NAME.net is required"
check "fps 0" 2 "$CLI" play d.cvn --lines w.lnf --net show.net --fps 0
contains "fps range" err "--fps takes 1..100"
check "loop -1" 2 "$CLI" play d.cvn --lines w.lnf --net show.net --loop -1
check "no such frames" 2 "$CLI" play d.cvn --lines w.lnf --net show.net --first 3 --last 9
check "no such clip" 2 "$CLI" play d.cvn --lines w.lnf --net show.net --clip 2
check "no such file" 1 "$CLI" play d.cvn --lines w.lnf --net missing.net
contains "missing file named" err "missing.net"
bad_net() {  # bad_net NAME KEY=VALUE TEXT...: a description with one bad key
  local name="$1" line="$2"
  shift 2
  printf '[Controller1]\nProtocol = e131\nAddress = 127.0.0.1\nPort = %s\nLines = 1\n%s\n' "$E131_PORT" "$line" >bad.net
  check "$name" 2 timeout 30 "$CLI" play d.cvn --lines w.lnf --net bad.net --fps 10
  for text in "$@"; do contains "$name: names it" err "$text"; done
}
bad_net "universe 0" "Universe = 0" "[Controller1]" "Universe"
bad_net "unknown key" "Colour = red" "[Controller1]" "Colour"
bad_net "priority 201" "Priority = 201" "[Controller1]" "Priority"
bad_net "sync 2" "Sync = 2" "[Controller1]" "Sync"
printf '[Controller1]\nProtocol = e131\nAddress = 239.255.0.7\nLines = 1\n' >bad.net
check "multicast address" 2 timeout 30 "$CLI" play d.cvn --lines w.lnf --net bad.net --fps 10
contains "address named" err "Address"
printf '[Controller1]\nProtocol = e131\nAddress = 127.0.0.1\nLines = 1\n[Controller1]\nProtocol = ddp\nLines = 2\n' >bad.net
check "section twice" 2 timeout 30 "$CLI" play d.cvn --lines w.lnf --net bad.net --fps 10
printf '[Controller1]\nProtocol = sacn\nAddress = 127.0.0.1\nLines = 1\n' >bad.net
check "unknown protocol" 2 timeout 30 "$CLI" play d.cvn --lines w.lnf --net bad.net --fps 10
contains "protocols listed" err "e131, artnet or ddp"
sleep 0.3
same "nothing sent for bad files" "$(wc -l <packets)" "0"

# In Chinese the refusal is Chinese and names the same section and key.
bad_net "universe 0" "Universe = 0" "[Controller1]"
check "chinese" 2 "$CLI" --lang 1 play d.cvn --lines w.lnf --net bad.net --fps 10
contains "chinese names the key" err "Universe=0"

finish
