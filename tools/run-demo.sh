#!/usr/bin/env bash
# Starts the desktop program on the bundled demo, or the headless demo without a display.
set -euo pipefail
BUILD="${1:-build}"
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BIN="$ROOT/$BUILD/bin"
DEMO="$ROOT/data/demo"

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$BIN/corvantine"
fi

echo "No display found (DISPLAY is not set): running the headless demo instead."
echo
echo "\$ corvantine-cli --version"
"$BIN/corvantine-cli" --version
echo
echo "\$ corvantine-cli info \"data/demo/Led Conf.ldc\""
"$BIN/corvantine-cli" info "$DEMO/Led Conf.ldc"
