#!/usr/bin/env bash
# Starts the desktop program on the bundled demo, or the headless demo without a display.
set -euo pipefail
BUILD="${1:-build}"
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BIN="$ROOT/$BUILD/bin"
DEMO="$ROOT/$BUILD/share/corvantine/demo"

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$BIN/corvantine" "$DEMO/demo.cvn"
fi

echo "No display found (DISPLAY is not set): running the headless demo instead."
run() {
  echo
  echo "\$ corvantine-cli $*"
  "$BIN/corvantine-cli" "$@"
}
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
export CORVANTINE_HOME="$WORK/home"
run --version
run info "$DEMO/demo.cvn"
run new-project "$WORK/more.cvn" --width 64 --height 32 --frames 10 --color FF8000
run append-frames "$WORK/more.cvn" "$WORK/more.cvn" --first 1 --last 10
run pack "$WORK/more.cvn" "$WORK/more.rar"
run info "$WORK/more.rar"
run layout new "$WORK/facade.lnf" --rows 32 --cols 64
run layout add "$WORK/facade.lnf" --from 0,0 --to 63,15 --mode s-h --limit 512
run layout add "$WORK/facade.lnf" --from 0,16 --to 63,31 --mode z-v --line 3 --limit 512
run layout set "$WORK/facade.lnf" --ports-per-slave 2 --slaves all --chip 110 --clock 12.5 --gamma 2.2
run info "$WORK/facade.lnf"
run info "$ROOT/data/demo/Led Conf.ldc"
