#!/usr/bin/env bash
# Live output of 100,000 LEDs at 40 frames a second, by E1.31 (592 universes of 510 channels a
# frame) and by DDP (209 packets a frame), to a UDP sink of the script's own on 127.0.0.1 that
# counts what arrives: the frames and seconds of the run, the packets a second received, the
# CPU time a frame and the share of one core. A run of one frame of the same document gives
# the fixed cost (start, reading the document, the layout), taken off for the net figures.
# Everything goes to 127.0.0.1; every run is bounded (400 frames: 10 s; at most 60 s).
# Usage: bench/net_throughput.sh [BUILD_DIR] [WORK_DIR]
source "$(dirname "$0")/common.sh"
SINK_PID=""
stop_sink() {
  if [ -n "$SINK_PID" ]; then
    kill "$SINK_PID" 2>/dev/null || true
    wait "$SINK_PID" 2>/dev/null || true
    SINK_PID=""
  fi
}
trap 'stop_sink; rm -f "$WORK"/net.cvn "$WORK"/net.lnf "$WORK"/net-*.net "$WORK"/sink.* "$WORK"/play.*' EXIT

FRAMES=400
FPS=40

# 200 lines of 500 LEDs (one a row), 400 frames of 500 x 200 pixels.
"$CLI" layout new "$WORK/net.lnf" --rows 200 --cols 500 >/dev/null
"$CLI" layout add "$WORK/net.lnf" --from 0,0 --to 499,199 --mode z-h --limit 500 >/dev/null
"$CLI" new-project "$WORK/net.cvn" --width 500 --height 200 --frames $FRAMES --color 3366CC >/dev/null
echo "layout: 200 lines x 500 LEDs (300,000 channels); document: $FRAMES frames, $(stat -c %s "$WORK/net.cvn") bytes"

# The sink: one UDP socket on 127.0.0.1 (its port written to a file) with a large receive
# buffer, counting datagrams and bytes until SIGTERM or its time is up; then "COUNT BYTES
# FIRST LAST" (the arrival times of the first and the last datagram).
cat >"$WORK/sink.py" <<'EOF'
import os, signal, socket, sys, time
portfile, limit = sys.argv[1], float(sys.argv[2])
s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
for option in (getattr(socket, "SO_RCVBUFFORCE", 33), socket.SO_RCVBUF):
    try:
        s.setsockopt(socket.SOL_SOCKET, option, 64 << 20)
        break
    except OSError:
        pass
s.bind(("127.0.0.1", 0))
s.settimeout(0.2)
stop = False
def on_stop(sig, frame):
    global stop
    stop = True
signal.signal(signal.SIGTERM, on_stop)
with open(portfile + ".tmp", "w") as f:
    f.write("%d\n" % s.getsockname()[1])
os.rename(portfile + ".tmp", portfile)
count = total = 0
first = last = 0.0
buf = bytearray(65536)
end = time.monotonic() + limit
while not stop and time.monotonic() < end:
    try:
        n = s.recv_into(buf)
    except (socket.timeout, InterruptedError):
        continue
    last = time.monotonic()
    if count == 0:
        first = last
    count += 1
    total += n
print(count, total, "%.6f" % first, "%.6f" % last)
EOF

start_sink() {
  rm -f "$WORK/sink.port" "$WORK/sink.out"
  python3 "$WORK/sink.py" "$WORK/sink.port" 90 >"$WORK/sink.out" &
  SINK_PID=$!
  for _ in $(seq 50); do [ -s "$WORK/sink.port" ] && break; sleep 0.1; done
  [ -s "$WORK/sink.port" ] || { echo "the sink did not start"; exit 1; }
  SINK_PORT=$(cat "$WORK/sink.port")
}
udp_drops() { awk '/^Udp:/ && $2 ~ /^[0-9]+$/ {print $6}' /proc/net/snmp; }

# play NAME LAST: frames 1..LAST to the sink through net-NAME.net; sets FRAMES_SENT, PLAY_S
# (the run's seconds), WALL, CPU_USER, CPU_SYS, CPU (their sum), PEAK (KiB), RECEIVED, BYTES
# and DROPS (datagrams the system dropped for a full receive buffer meanwhile, all sockets).
play() {
  local name="$1" last="$2" before
  before=$(udp_drops)
  /usr/bin/time -f "%e %U %S %M" -o "$WORK/play.time" timeout 60 "$CLI" play "$WORK/net.cvn" \
    --lines "$WORK/net.lnf" --net "$WORK/net-$name.net" --fps $FPS --first 1 --last "$last" \
    >"$WORK/play.out" 2>"$WORK/play.err" || { echo "play failed:"; cat "$WORK/play.out" "$WORK/play.err"; exit 1; }
  sleep 0.5
  stop_sink
  DROPS=$(($(udp_drops) - before))
  read -r FRAMES_SENT PLAY_S < <(sed -n 's/^\([0-9]*\) frames sent in \([0-9.]*\) s.*/\1 \2/p' "$WORK/play.out")
  read -r WALL CPU_USER CPU_SYS PEAK <"$WORK/play.time"
  CPU=$(echo "$CPU_USER + $CPU_SYS" | bc -l)
  read -r RECEIVED BYTES _ _ <"$WORK/sink.out"
}

for protocol in e131 ddp; do
  start_sink
  if [ $protocol = e131 ]; then
    # Four controllers of 50 lines (75,000 channels: 148 universes each), universes 1..592.
    : >"$WORK/net-e131.net"
    for c in 0 1 2 3; do
      printf '[Controller%d]\nProtocol = e131\nAddress = 127.0.0.1\nPort = %s\nLines = %d-%d\nUniverse = %d\nChannelsPerUniverse = 510\n\n' \
        $((c + 1)) "$SINK_PORT" $((c * 50 + 1)) $((c * 50 + 50)) $((c * 148 + 1)) >>"$WORK/net-e131.net"
    done
    per_frame=592; extra=$((3 * 592))  # a stream ends with three terminated packets a universe
  else
    printf '[Controller1]\nProtocol = ddp\nAddress = 127.0.0.1\nPort = %s\nLines = 1-200\n' "$SINK_PORT" >"$WORK/net-ddp.net"
    per_frame=209; extra=0  # 300,000 bytes in packets of 1440
  fi
  play $protocol $FRAMES
  full_cpu=$CPU; full_s=$PLAY_S; frames=$FRAMES_SENT
  expected=$((frames * per_frame + extra))
  printf '%s: %d frames in %.2f s (wall %.2f s, peak memory %d KiB); received %d of %d packets (%s MB), %.0f packets a second; system drops %d\n' \
    $protocol "$frames" "$PLAY_S" "$WALL" "$PEAK" "$RECEIVED" "$expected" "$(echo "scale=1; $BYTES / 1000000" | bc)" \
    "$(ratio "$RECEIVED" "$PLAY_S")" "$DROPS"
  printf '%s: CPU %.3f s (user %.2f, sys %.2f): %.2f ms a frame, %.1f %% of one core\n' $protocol "$full_cpu" "$CPU_USER" "$CPU_SYS" \
    "$(echo "1000 * $full_cpu / $frames" | bc -l)" "$(echo "100 * $full_cpu / $WALL" | bc -l)"
  # The fixed cost: one frame of the same document (to a new sink, on a port of its own).
  start_sink
  sed -i "s/^Port = .*/Port = $SINK_PORT/" "$WORK/net-$protocol.net"
  play $protocol 1
  printf '%s: one frame: CPU %.3f s, wall %.2f s; net of it: %.2f ms a frame, %.1f %% of one core while sending\n' \
    $protocol "$CPU" "$WALL" "$(echo "1000 * ($full_cpu - $CPU) / ($frames - 1)" | bc -l)" \
    "$(echo "100 * ($full_cpu - $CPU) / ($full_s - $PLAY_S)" | bc -l)"
done
