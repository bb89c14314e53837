#!/usr/bin/env bash
# Installs a build into a temporary prefix and checks the installed tree: programs, shared
# data, desktop entry, document type, icons, manual pages, and that an installed program
# seeds its application home from PREFIX/share/corvantine.
#
#   tests/install/install_test.sh BUILD_DIR
set -euo pipefail

BUILD="$(cd "${1:?usage: install_test.sh BUILD_DIR}" && pwd)"
SOURCE="$(cd "$(dirname "$0")/../.." && pwd)"
WORK="$(mktemp -d)"
# cmake --install records what it installed in BUILD/install_manifest.txt, which is how a
# real install is removed again: keep the one that was there.
MANIFEST="$BUILD/install_manifest.txt"
if [ -f "$MANIFEST" ]; then cp -p "$MANIFEST" "$WORK/manifest.saved"; fi
cleanup() {
  if [ -f "$WORK/manifest.saved" ]; then cp -p "$WORK/manifest.saved" "$MANIFEST"; else rm -f "$MANIFEST"; fi
  chmod -R u+w "$WORK" 2>/dev/null
  rm -rf "$WORK"
}
trap cleanup EXIT
P="$WORK/prefix"
export QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8
unset CORVANTINE_HOME

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }
need_file() { if [ -f "$P/$1" ] && [ -s "$P/$1" ]; then pass "$1"; else fail "$1 is missing or empty"; fi; }

# --- install ---------------------------------------------------------------------------
if ! cmake --install "$BUILD" --prefix "$P" >"$WORK/install.log" 2>&1; then
  cat "$WORK/install.log" >&2
  echo "FAIL: cmake --install $BUILD --prefix $P" >&2
  exit 1
fi
pass "cmake --install into $P"

# --- programs --------------------------------------------------------------------------
for program in corvantine corvantine-cli fusebind; do
  if [ -x "$P/bin/$program" ]; then
    pass "bin/$program"
    if ldd "$P/bin/$program" | grep -q 'not found'; then
      fail "bin/$program misses libraries: $(ldd "$P/bin/$program" | grep 'not found' | tr '\n' ' ')"
    fi
  else
    fail "bin/$program is not installed"
  fi
done
# The movie code's FFmpeg module, loaded by the installed programs from their own tree (the
# build tree's module is not looked at): the installed command line writes a movie and reads it
# back through it.
module="$(find "$P" -name libcorvantine-ffmpeg.so -path '*/corvantine/*' | head -n1)"
if [ -n "$module" ]; then
  pass "${module#"$P/"}"
  if ldd "$module" | grep -q 'not found'; then fail "${module#"$P/"} misses libraries"; fi
else
  fail "libcorvantine-ffmpeg.so is not installed"
fi
if ldd "$P/bin/corvantine-cli" | grep -q 'libavcodec'; then
  fail "bin/corvantine-cli links FFmpeg itself"
else
  pass "bin/corvantine-cli starts without FFmpeg"
fi
movie() { CORVANTINE_HOME="$WORK/moviehome" "$P/bin/corvantine-cli" "$@"; }
if movie new-project "$WORK/m.cvn" --width 8 --height 4 --frames 3 >/dev/null 2>"$WORK/movie.err" &&
   movie export-video "$WORK/m.cvn" "$WORK/m.avi" >/dev/null 2>>"$WORK/movie.err" &&
   movie import-video "$WORK/m.avi" "$WORK/back.cvn" >/dev/null 2>>"$WORK/movie.err" &&
   movie info "$WORK/back.cvn" 2>>"$WORK/movie.err" | grep -q '8 x 4, 3 frames'; then
  pass "installed corvantine-cli writes and reads a movie through the module"
else
  fail "installed corvantine-cli movie round trip: $(cat "$WORK/movie.err")"
fi
# Without the module the movie commands fail with the reason and leave no file.
if [ -n "$module" ]; then
  mv "$module" "$module.away"
  if movie export-video "$WORK/m.cvn" "$WORK/m2.avi" >/dev/null 2>"$WORK/nomodule.err"; then
    fail "export-video succeeded without the FFmpeg module"
  elif grep -q "FFmpeg module cannot be loaded" "$WORK/nomodule.err" && [ ! -e "$WORK/m2.avi" ]; then
    pass "without the module export-video fails with the reason"
  else
    fail "without the module export-video said: $(cat "$WORK/nomodule.err")"
  fi
  mv "$module.away" "$module"
fi
version="$(grep -m1 -E '^project\(Corvantine VERSION' "$SOURCE/CMakeLists.txt" | sed -E 's/.*VERSION ([0-9.]+).*/\1/')"
if out="$("$P/bin/corvantine-cli" --version)" && [ "$out" = "corvantine-cli $version" ]; then
  pass "installed corvantine-cli --version: $out"
else
  fail "installed corvantine-cli --version printed \"${out:-}\", expected \"corvantine-cli $version\""
fi
if out="$("$P/bin/fusebind" --version)" && [ "$out" = "fusebind $version" ]; then
  pass "installed fusebind --version: $out"
else
  fail "installed fusebind --version printed \"${out:-}\""
fi

# --- shared data: every file of data/ plus the demo document the build makes -------------
while IFS= read -r -d '' f; do
  rel="${f#"$SOURCE/data/"}"
  if cmp -s "$f" "$P/share/corvantine/$rel"; then
    pass "share/corvantine/$rel"
  else
    fail "share/corvantine/$rel is missing or differs from data/$rel"
  fi
done < <(find "$SOURCE/data" -type f -print0)
need_file share/corvantine/demo/demo.cvn

# --- desktop entry ---------------------------------------------------------------------
DESKTOP="$P/share/applications/corvantine.desktop"
need_file share/applications/corvantine.desktop
key() { sed -n "/^\[Desktop Entry\]/,/^\[/ s/^$1=//p" "$DESKTOP" | head -n1; }
expect_key() {
  local v
  v="$(key "$1")"
  if [ "$v" = "$2" ]; then pass "desktop $1=$v"; else fail "desktop $1 is \"$v\", expected \"$2\""; fi
}
if [ -f "$DESKTOP" ]; then
  expect_key Type Application
  expect_key Name Corvantine
  expect_key Exec "corvantine %f"
  expect_key Icon corvantine
  expect_key Categories "Graphics;Engineering;"
  case ";$(key MimeType);" in
    *";application/x-corvantine-project;"*) pass "desktop MimeType has application/x-corvantine-project" ;;
    *) fail "desktop MimeType lacks application/x-corvantine-project" ;;
  esac
  if [ -n "$(key Comment)" ]; then pass "desktop Comment"; else fail "desktop entry has no Comment"; fi
  if command -v desktop-file-validate >/dev/null; then
    if msg="$(desktop-file-validate "$DESKTOP" 2>&1)" && [ -z "$msg" ]; then
      pass "desktop-file-validate"
    else
      fail "desktop-file-validate: $msg"
    fi
  else
    echo "skip: desktop-file-validate not installed"
  fi
fi

# --- document type ---------------------------------------------------------------------
MIME="$P/share/mime/packages/corvantine.xml"
need_file share/mime/packages/corvantine.xml
if [ -f "$MIME" ]; then
  if grep -q 'type="application/x-corvantine-project"' "$MIME" && grep -q 'pattern="\*\.cvn"' "$MIME"; then
    pass "mime type application/x-corvantine-project for *.cvn"
  else
    fail "corvantine.xml does not map *.cvn to application/x-corvantine-project"
  fi
  if command -v xmllint >/dev/null; then
    if xmllint --noout "$MIME"; then pass "corvantine.xml is well-formed"; else fail "corvantine.xml is not well-formed"; fi
  fi
  if command -v update-mime-database >/dev/null; then
    # Build a database from the installed package file alone, as a desktop would.
    mkdir -p "$WORK/mime/packages"
    cp "$MIME" "$WORK/mime/packages/"
    if update-mime-database "$WORK/mime" >"$WORK/mime.log" 2>&1 &&
       grep -q 'application/x-corvantine-project:\*\.cvn' "$WORK/mime/globs" &&
       [ -f "$WORK/mime/application/x-corvantine-project.xml" ]; then
      pass "update-mime-database accepts corvantine.xml"
    else
      fail "update-mime-database: $(cat "$WORK/mime.log")"
    fi
  fi
fi

# --- icons -----------------------------------------------------------------------------
SVG="$P/share/icons/hicolor/scalable/apps/corvantine.svg"
PNG="$P/share/icons/hicolor/256x256/apps/corvantine.png"
need_file share/icons/hicolor/scalable/apps/corvantine.svg
need_file share/icons/hicolor/256x256/apps/corvantine.png
if [ -f "$SVG" ] && command -v xmllint >/dev/null; then
  if xmllint --noout "$SVG" && grep -q '<svg ' "$SVG"; then pass "corvantine.svg is an SVG"; else fail "corvantine.svg is not an SVG"; fi
fi
if [ -f "$PNG" ]; then
  # PNG signature, then the IHDR chunk: width and height as big-endian 32-bit numbers.
  sig="$(od -An -tx1 -N8 "$PNG" | tr -d ' \n')"
  size="$(od -An -tu1 -j16 -N8 "$PNG" | awk '{ print $1*16777216+$2*65536+$3*256+$4 "x" $5*16777216+$6*65536+$7*256+$8 }')"
  if [ "$sig" = 89504e470d0a1a0a ] && [ "$size" = 256x256 ]; then
    pass "corvantine.png is a 256x256 PNG"
  else
    fail "corvantine.png: signature $sig, size $size"
  fi
fi

# --- manual pages ----------------------------------------------------------------------
# The command list of the installed command line, as its help prints it.
commands="$("$P/bin/corvantine-cli" --help | awk '/^Commands:/ { on = 1; next } on && /^[ \t]+[^ \t]/ { print $1; next } on { on = 0 }')"
if [ -n "$commands" ]; then pass "corvantine-cli --help lists $(echo "$commands" | wc -l) commands"; else fail "corvantine-cli --help lists no commands"; fi
for program in corvantine corvantine-cli fusebind; do
  page="$P/share/man/man1/$program.1"
  need_file "share/man/man1/$program.1"
  [ -f "$page" ] || continue
  upper="$(printf '%s' "$program" | tr '[:lower:]' '[:upper:]')"
  if head -n1 "$page" | grep -q "^\.TH $upper 1 "; then pass "$program.1 starts with .TH"; else fail "$program.1 does not start with .TH $upper 1"; fi
  for section in NAME SYNOPSIS DESCRIPTION "EXIT STATUS" ENVIRONMENT FILES; do
    grep -q "^\.SH $section\$" "$page" || fail "$program.1 has no $section section"
  done
  grep -q 'CORVANTINE_HOME' "$page" || fail "$program.1 does not mention CORVANTINE_HOME"
  if [ "$program" = corvantine-cli ]; then
    grep -q '^\.SH COMMANDS$' "$page" || fail "corvantine-cli.1 has no COMMANDS section"
    missing=""
    for c in $commands; do
      grep -Fqx ".SS $(printf '%s' "$c" | sed 's/-/\\-/g')" "$page" || missing="$missing $c"
    done
    if [ -z "$missing" ]; then pass "corvantine-cli.1 has a subsection for every command"; else fail "corvantine-cli.1 lacks commands:$missing"; fi
  fi
  # Render it the way a reader would, and let groff report what it cannot parse.
  if command -v groff >/dev/null; then
    warnings="$(groff -man -Tutf8 -ww -z "$page" 2>&1 || true)"
    if [ -z "$warnings" ]; then pass "$program.1 renders without groff warnings"; else fail "$program.1: $warnings"; fi
  fi
  if command -v man >/dev/null; then
    text="$(MANWIDTH=80 man -l "$page" 2>"$WORK/man.err" | col -b || true)"
    if grep -q "^EXIT STATUS" <<<"$text" && grep -q "$program" <<<"$text"; then
      pass "man -l $program.1"
    else
      fail "man -l $program.1 did not render: $(cat "$WORK/man.err")"
    fi
  elif command -v groff >/dev/null; then
    if groff -man -Tutf8 "$page" | grep -q "EXIT STATUS"; then pass "groff renders $program.1"; else fail "groff does not render $program.1"; fi
  fi
done

# --- application home of the installed command line ------------------------------------
# An installed program whose folder the user cannot write keeps its home in
# $XDG_DATA_HOME/corvantine, default ~/.local/share/corvantine, seeded from
# PREFIX/share/corvantine. Root can write anywhere, so as root the program runs as nobody.
as_user=()
if [ "$(id -u)" -eq 0 ]; then
  if command -v setpriv >/dev/null; then
    as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
  fi
fi
if [ "$(id -u)" -eq 0 ] && [ ${#as_user[@]} -eq 0 ]; then
  echo "skip: running as root without setpriv, cannot check the seeded home"
else
  USERHOME="$WORK/user"
  mkdir -p "$USERHOME"
  chmod 755 "$WORK" "$P"
  if [ "$(id -u)" -eq 0 ]; then
    chown 65534:65534 "$USERHOME"
  fi
  chmod a-w "$P/bin"
  before="$(find "$P/bin" -mindepth 1 | sort)"
  if env -u XDG_DATA_HOME -u CORVANTINE_HOME HOME="$USERHOME" "${as_user[@]}" \
       "$P/bin/corvantine-cli" lamp list >"$WORK/lamps.out" 2>"$WORK/lamps.err"; then
    pass "installed corvantine-cli lamp list runs with a fresh HOME"
  else
    fail "installed corvantine-cli lamp list failed: $(cat "$WORK/lamps.err")"
  fi
  chmod u+w "$P/bin"
  seeded="$USERHOME/.local/share/corvantine"
  ok=1
  while IFS= read -r -d '' f; do
    rel="${f#"$P/share/corvantine/"}"
    cmp -s "$f" "$seeded/$rel" || { ok=0; fail "home was not seeded with $rel"; }
  done < <(find "$P/share/corvantine" -type f -print0)
  [ $ok -eq 1 ] && pass "home ~/.local/share/corvantine seeded from $P/share/corvantine"
  if [ "$(find "$P/bin" -mindepth 1 | sort)" = "$before" ]; then
    pass "nothing written beside the installed programs"
  else
    fail "the installed bin folder changed: $(find "$P/bin" -mindepth 1 | tr '\n' ' ')"
  fi
fi

# CORVANTINE_HOME wins over everything and is seeded the same way.
if env CORVANTINE_HOME="$WORK/explicit" HOME="$WORK/nohome" "$P/bin/corvantine-cli" lamp list >/dev/null 2>"$WORK/lamps.err" &&
   cmp -s "$P/share/corvantine/DrICtype.ict" "$WORK/explicit/DrICtype.ict"; then
  pass "CORVANTINE_HOME is used and seeded"
else
  fail "CORVANTINE_HOME was not seeded: $(cat "$WORK/lamps.err")"
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "all install checks passed"
