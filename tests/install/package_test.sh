#!/usr/bin/env bash
# Builds the Debian package from a build folder with CPack and checks it the way a machine
# that installs it would see it: its control fields and declared dependencies, its contents
# unpacked into a scratch root with dpkg -x, the libraries every program needs (ldd), the
# unpacked programs running, and the bash completion it installs.
#
#   tests/install/package_test.sh BUILD_DIR
set -euo pipefail

BUILD="$(cd "${1:?usage: package_test.sh BUILD_DIR}" && pwd)"
WORK="$(mktemp -d)"
cleanup() { chmod -R u+w "$WORK" 2>/dev/null; rm -rf "$WORK"; }
trap cleanup EXIT
export QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8
unset CORVANTINE_HOME

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

# --- build the package -----------------------------------------------------------------
if ! (cd "$WORK" && cpack --config "$BUILD/CPackConfig.cmake" -G DEB -B "$WORK/out") >"$WORK/cpack.log" 2>&1; then
  cat "$WORK/cpack.log" >&2
  echo "FAIL: cpack" >&2
  exit 1
fi
shopt -s nullglob
debs=("$WORK"/out/corvantine_*.deb)
if [ ${#debs[@]} -ne 1 ]; then
  echo "FAIL: cpack made ${#debs[@]} packages named corvantine_*.deb: $(ls "$WORK/out")" >&2
  exit 1
fi
DEB="${debs[0]}"
pass "cpack made $(basename "$DEB")"

# --- control fields --------------------------------------------------------------------
field() { dpkg-deb -f "$DEB" "$1"; }
[ "$(field Package)" = corvantine ] && pass "Package: corvantine" || fail "Package is $(field Package)"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] && pass "Architecture: $(field Architecture)" ||
  fail "Architecture is $(field Architecture)"
version="$(grep -m1 -E '^project\(Corvantine VERSION' "$(dirname "$0")/../../CMakeLists.txt" | sed -E 's/.*VERSION ([0-9.]+).*/\1/')"
[ "$(field Version)" = "$version" ] && pass "Version: $version" || fail "Version is $(field Version), expected $version"
depends="$(field Depends)"
# The dependencies come from the libraries the programs really link.
for lib in libqt6widgets6 libqt6gui6 libqt6core6 libavcodec libavformat libswscale libarchive13 libopencc libblkid1 libc6 libstdc++6; do
  if grep -q "\b$lib" <<<"$depends"; then pass "Depends names $lib"; else fail "Depends lacks $lib: $depends"; fi
done
# Every declared dependency must be a package this system knows and has (the build needed them).
IFS=',' read -ra alternatives <<<"$depends"
for d in "${alternatives[@]}"; do
  name="$(sed -E 's/^ *([^ (|]+).*/\1/' <<<"$d")"
  if dpkg-query -W -f='${Status}' "$name" 2>/dev/null | grep -q 'install ok installed'; then :; else
    fail "dependency $name is not an installed package here"
  fi
done
pass "every dependency is a known package"
if command -v apt-get >/dev/null && [ "$(id -u)" -eq 0 ]; then
  if apt-get install -s -y "$DEB" >"$WORK/apt.log" 2>&1 && grep -q '^Inst corvantine' "$WORK/apt.log"; then
    pass "apt-get would install it (simulated)"
  else
    fail "apt-get install -s: $(tail -5 "$WORK/apt.log")"
  fi
fi

# --- contents --------------------------------------------------------------------------
ROOT="$WORK/root"
dpkg -x "$DEB" "$ROOT"
for f in usr/bin/corvantine usr/bin/corvantine-cli usr/bin/fusebind usr/bin/corvantine-player; do
  if [ -x "$ROOT/$f" ]; then pass "/$f"; else fail "/$f is not in the package"; fi
done
for f in usr/share/corvantine/DrICtype.ict usr/share/corvantine/Help_e.pdf usr/share/corvantine/demo/demo.cvn \
         usr/share/applications/corvantine.desktop usr/share/mime/packages/corvantine.xml \
         usr/share/man/man1/corvantine-cli.1 usr/share/bash-completion/completions/corvantine-cli \
         usr/share/bash-completion/completions/fusebind; do
  if [ -s "$ROOT/$f" ]; then pass "/$f"; else fail "/$f is not in the package"; fi
done
if find "$ROOT" -path '*/tests/*' -o -name '*_tests' -o -name '*bench*' | grep -q .; then
  fail "the package holds test or benchmark files: $(find "$ROOT" -path '*/tests/*' -o -name '*_tests' -o -name '*bench*' | head -3)"
fi
if [ -e "$ROOT/usr/bin/corvantine.portable" ]; then fail "the package marks /usr/bin portable"; fi

# --- libraries and running the unpacked programs -----------------------------------------
for program in corvantine corvantine-cli fusebind corvantine-player; do
  if missing="$(ldd "$ROOT/usr/bin/$program" | grep 'not found')"; then
    fail "$program misses libraries: $missing"
  else
    pass "ldd $program: every library found"
  fi
done
export HOME="$WORK/home" XDG_DATA_HOME="$WORK/home/.local/share"
mkdir -p "$HOME"
if out="$("$ROOT/usr/bin/corvantine-cli" --version)" && [ "$out" = "corvantine-cli $version" ]; then
  pass "unpacked corvantine-cli --version"
else
  fail "unpacked corvantine-cli --version printed \"${out:-}\""
fi
if "$ROOT/usr/bin/corvantine-cli" info "$ROOT/usr/share/corvantine/demo/demo.cvn" >"$WORK/info.txt" 2>&1; then
  pass "unpacked corvantine-cli reads the packaged demo"
else
  fail "corvantine-cli info demo.cvn: $(cat "$WORK/info.txt")"
fi
# The desktop program starts and keeps running on the demo until it is stopped.
"$ROOT/usr/bin/corvantine" "$ROOT/usr/share/corvantine/demo/demo.cvn" >"$WORK/gui.log" 2>&1 &
gui=$!
sleep 3
if kill -0 "$gui" 2>/dev/null; then
  pass "unpacked corvantine starts"
  kill -TERM "$gui"; wait "$gui" 2>/dev/null || true
else
  wait "$gui" 2>/dev/null || true
  fail "unpacked corvantine ended at once: $(tail -5 "$WORK/gui.log")"
fi

# --- bash completion -------------------------------------------------------------------
BC=/usr/share/bash-completion/bash_completion
if [ -r "$BC" ]; then
  complete_words() {  # script, then the words of the line; prints the candidates
    local script="$1"; shift
    bash -c '
      source "$1"; source "$2"; shift 2
      COMP_WORDS=("$@"); COMP_CWORD=$(( $# - 1 ))
      COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}
      f="$(complete -p "$(basename "$1")" | sed -E "s/.*-F ([^ ]+).*/\1/")"
      "$f" "$1" "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD-1]}"
      printf "%s\n" "${COMPREPLY[@]}"' _ "$BC" "$script" "$@"
  }
  CC="$ROOT/usr/share/bash-completion/completions/corvantine-cli"
  FC="$ROOT/usr/share/bash-completion/completions/fusebind"
  got="$(complete_words "$CC" "$ROOT/usr/bin/corvantine-cli" in)"
  if [ "$(echo $got)" = "info" ]; then pass "corvantine-cli in<Tab> offers info alone"; else fail "corvantine-cli in<Tab>: $got"; fi
  got="$(complete_words "$CC" "$ROOT/usr/bin/corvantine-cli" generate --mo)"
  if [ "$(echo $got)" = "--mode" ]; then pass "corvantine-cli generate --mo<Tab> offers --mode"; else fail "generate --mo<Tab>: $got"; fi
  got="$(complete_words "$CC" "$ROOT/usr/bin/corvantine-cli" --lang "")"
  if [ "$(echo $got)" = "1 2 3" ]; then pass "corvantine-cli --lang <Tab> offers 1 2 3"; else fail "--lang <Tab>: $got"; fi
  got="$(complete_words "$FC" "$ROOT/usr/bin/fusebind" merge-dat --mode "")"
  if [ "$(echo $got)" = "frames slaves" ]; then pass "fusebind merge-dat --mode <Tab>"; else fail "fusebind merge-dat --mode <Tab>: $got"; fi
  got="$(complete_words "$FC" "$ROOT/usr/bin/fusebind" me)"
  if [ "$(echo $got)" = "merge-dat merge-vid" ]; then pass "fusebind me<Tab>"; else fail "fusebind me<Tab>: $got"; fi
else
  echo "skip: bash-completion is not installed"
fi

echo
if [ "$failures" -eq 0 ]; then echo "package: all checks passed"; else echo "package: $failures checks failed"; exit 1; fi
