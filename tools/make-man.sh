#!/usr/bin/env bash
# Writes the manual page (roff, section 1) of one of the programs from its own help text.
#
#   tools/make-man.sh PROGRAM OUT.1 [VERSION]
#
# Runs `PROGRAM --help` and, for every command its help lists under "Commands:",
# `PROGRAM COMMAND --help` (one subsection each). The help texts are the programs' own, so
# the page never drifts from them. A program that prints nothing useful (no "Usage:" line,
# a crash, a window that never closes) gets a short built-in description instead, so a
# build never fails over a manual page.
set -euo pipefail

if [ $# -lt 2 ]; then
  echo "usage: $0 PROGRAM OUT.1 [VERSION]" >&2
  exit 2
fi
PROGRAM="$1"
OUT="$2"
VERSION="${3:-}"
NAME="$(basename "$PROGRAM")"
UPPER="$(printf '%s' "$NAME" | tr '[:lower:]' '[:upper:]')"

WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
mkdir -p "$WORK/home" "$WORK/config" "$WORK/data" "$WORK/runtime"
chmod 700 "$WORK/runtime"

# The programs run without a display, with a private home and settings, in English, and
# for at most 10 seconds. The help is on stdout, or on stderr for a program that prints its
# usage there; Qt's start-up chatter and sanitizer reports are not part of it.
run_help() {
  env -u LANGUAGE -u DISPLAY -u WAYLAND_DISPLAY \
    QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8 LANG=C.UTF-8 ASAN_OPTIONS=detect_leaks=0 \
    CORVANTINE_HOME="$WORK/home" HOME="$WORK" XDG_CONFIG_HOME="$WORK/config" \
    XDG_DATA_HOME="$WORK/data" XDG_RUNTIME_DIR="$WORK/runtime" \
    timeout -k 2 10 "$PROGRAM" "$@" </dev/null >"$WORK/stdout" 2>"$WORK/stderr" || true
  if grep -q '^Usage:' "$WORK/stdout"; then
    cat "$WORK/stdout"
  else
    cat "$WORK/stdout" "$WORK/stderr" |
      grep -v -E '^(QStandardPaths: |qt\.[A-Za-z0-9_.]+: |This plugin does not support )' || true
  fi
}

useful() { grep -q '^Usage:' <<<"$1"; }

# Roff escapes: backslashes, hyphens (so options copy and search as typed), and a leading
# dot or quote, which roff would take for a request.
esc() { sed -e 's/\\/\\e/g' -e 's/-/\\-/g' -e "s/^[.']/\\\\\\&&/"; }

# Help text to roff. Blank lines start paragraphs. An indented line that starts with an
# option and a gap ("  --json   machine-readable output") is a tagged item; deeper lines
# after it continue its text. Other indented lines continue a hanging paragraph
# ("add: lays LEDs ...\n  (0-based, ..."), which gets a paragraph of its own.
body() {
  esc | awk '
    function item(s) { return s ~ /^[ \t]+\\-/ && s ~ /^[ \t]+([^ \t]| [^ \t])*[ \t][ \t]+[^ \t]/ }
    function hanging(s) { return s ~ /^[ \t]+[^ \t]/ && !item(s) }
    function lead(s) { return s ~ /^[.\047]/ ? "\\&" s : s }
    { line[++n] = $0 }
    END {
      for (i = 1; i <= n; i++) {
        s = line[i]
        if (s ~ /^[ \t]*$/) { if (printed) pp = 1; continue }
        if (item(s)) {
          sub(/^[ \t]+/, "", s)
          match(s, /[ \t][ \t]+/)
          tag = substr(s, 1, RSTART - 1); text = substr(s, RSTART + RLENGTH)
          gsub(/"/, "\\(dq", tag)
          print ".TP"; print ".B \"" tag "\""; print lead(text)
          initem = 1; hang = 0; pp = 0; printed = 1
          continue
        }
        if (s ~ /^[ \t]/) {
          sub(/^[ \t]+/, "", s)
          if (pp) { print (initem ? ".IP" : ".PP"); pp = 0 }
          print lead(s)
          if (!initem) hang = 1
          printed = 1
          continue
        }
        if (printed && (pp || initem || hang || (i < n && hanging(line[i + 1])))) print ".PP"
        pp = 0; initem = 0; hang = 0
        print s; printed = 1
      }
    }'
}

# Splits a help text into $WORK/$2.syn (the usage lines without "Usage: "), $WORK/$2.cmds
# ("name<TAB>summary" of a "Commands:" list) and $WORK/$2.desc (the rest, without the
# "Exit status:" line, which has its own section).
split_help() {
  awk -v name="$NAME" -v syn="$WORK/$2.syn" -v cmds="$WORK/$2.cmds" -v desc="$WORK/$2.desc" '
    BEGIN { printf "" > syn; printf "" > cmds; printf "" > desc }
    state == 0 && /^Usage:/ { match($0, /^Usage:[ \t]*/); indent = RLENGTH; print substr($0, indent + 1) > syn; state = 1; next }
    state == 1 && /^[ \t]+[^ \t]/ {
      # Further usage lines, and their wrapped options indented below them.
      line = $0
      for (k = 0; k < indent && line ~ /^[ \t]/; k++) line = substr(line, 2)
      print line > syn; next
    }
    state == 1 { state = 2 }
    /^Commands:[ \t]*$/ { incmds = 1; next }
    incmds && /^[ \t]+[^ \t]/ {
      line = $0; sub(/^[ \t]+/, "", line)
      cmd = line; sub(/[ \t].*/, "", cmd)
      sum = line; sub(/^[^ \t]+[ \t]*/, "", sum)
      print cmd "\t" sum > cmds; next
    }
    incmds { incmds = 0 }
    /^Exit status:/ { next }
    { print > desc }' <<<"$1"
}

case "$NAME" in
  corvantine)
    SUMMARY="lay out LED pixel installations and make their light shows"
    FALLBACK_SYNOPSIS="corvantine [DOCUMENT.cvn]"
    FALLBACK_DESCRIPTION="The desktop application of Corvantine. It lays out the LEDs of an installation
on a grid, wires them into controller lines, sets the controllers, makes the show as
clips of RGB frames, previews it and writes the controller data files (.led) that
stand-alone controllers play from an SD card. Given a project document (.cvn), it
opens it."
    ;;
  corvantine-cli)
    SUMMARY="the Corvantine engine without a window"
    FALLBACK_SYNOPSIS="corvantine-cli [--lang 1|2|3] COMMAND [OPTIONS]
corvantine-cli --version | --help"
    FALLBACK_DESCRIPTION="Inspects files, makes layouts and content, writes controller data, imports,
merges and exports, for batch work and scripts. Run \"corvantine-cli --help\" for the
commands and \"corvantine-cli COMMAND --help\" for a command's options."
    ;;
  fusebind)
    SUMMARY="merge controller data files and video project files"
    FALLBACK_SYNOPSIS="fusebind
fusebind merge-dat | merge-vid ..."
    FALLBACK_DESCRIPTION="Joins controller data files (one after the other in time, or side by side as
more slaves) and video project files (side by side or stacked). Without arguments it
opens its dialog."
    ;;
  *)
    SUMMARY="part of Corvantine"
    FALLBACK_SYNOPSIS="$NAME"
    FALLBACK_DESCRIPTION="A program of Corvantine."
    ;;
esac

HELP="$(run_help --help)"
if useful "$HELP"; then
  split_help "$HELP" main
else
  echo "make-man: $NAME --help printed no usage; using the built-in description" >&2
  printf '%s\n' "$FALLBACK_SYNOPSIS" >"$WORK/main.syn"
  printf '%s\n' "$FALLBACK_DESCRIPTION" >"$WORK/main.desc"
  : >"$WORK/main.cmds"
fi

# A program without a "Commands:" list may still name commands in its synopsis
# ("fusebind merge-dat ..."): the word after the program name and its [options].
if [ ! -s "$WORK/main.cmds" ]; then
  awk -v name="$NAME" '{
      line = $0; gsub(/\[[^]]*\]/, "", line); split(line, t, /[ \t]+/)
      if (t[1] == name && t[2] ~ /^[a-z][a-z0-9-]*$/ && !seen[t[2]]++) print t[2] "\t"
    }' "$WORK/main.syn" >"$WORK/main.cmds"
fi

# One subsection per command, from `PROGRAM COMMAND --help`; the summary of the list when
# the command has no help of its own.
: >"$WORK/commands.roff"
while IFS=$'\t' read -r cmd summary; do
  [ -n "$cmd" ] || continue
  sub="$(run_help "$cmd" --help)"
  if useful "$sub"; then
    split_help "$sub" cmd
    {
      printf '.SS %s\n' "$(printf '%s' "$cmd" | esc)"
      printf '.nf\n'
      esc <"$WORK/cmd.syn"
      printf '.fi\n'
      if grep -q '[^[:space:]]' "$WORK/cmd.desc"; then
        printf '.PP\n'
        sed -e '/./,$!d' "$WORK/cmd.desc" | body
      fi
    } >>"$WORK/commands.roff"
  elif [ -n "$summary" ]; then
    printf '.SS %s\n%s\n' "$(printf '%s' "$cmd" | esc)" "$(printf '%s' "$summary" | esc)" >>"$WORK/commands.roff"
  fi
done <"$WORK/main.cmds"

if [ -n "${SOURCE_DATE_EPOCH:-}" ]; then
  DATE="$(date -u -d "@$SOURCE_DATE_EPOCH" +%Y-%m-%d)"
else
  DATE="$(date -u +%Y-%m-%d)"
fi

{
  printf '.TH %s 1 "%s" "Corvantine %s" "User Commands"\n' "$UPPER" "$DATE" "$VERSION"
  # Left-aligned and unhyphenated: option names and file names stay whole.
  printf '.ad l\n.nh\n'
  printf '.SH NAME\n'
  printf '%s \\- %s\n' "$(printf '%s' "$NAME" | esc)" "$(printf '%s' "$SUMMARY" | esc)"

  printf '.SH SYNOPSIS\n.nf\n'
  esc <"$WORK/main.syn"
  printf '.fi\n'

  printf '.SH DESCRIPTION\n'
  body <"$WORK/main.desc"

  if [ -s "$WORK/commands.roff" ]; then
    printf '.SH COMMANDS\n'
    cat "$WORK/commands.roff"
  fi

  printf '.SH EXIT STATUS\n'
  printf '.TP\n.B 0\nsuccess\n'
  printf '.TP\n.B 1\nthe operation failed (the message says why)\n'
  printf '.TP\n.B 2\nbad usage\n'

  printf '.SH ENVIRONMENT\n'
  case "$NAME" in
    fusebind)
      printf '.TP\n.B CORVANTINE_HOME\n'
      printf 'Not read: the merge tool keeps no application home. Its language comes from\n'
      printf '.I Vorlane.ini\nbeside the program, else from the locale.\n'
      printf '.TP\n.BR LC_ALL ", " LC_MESSAGES ", " LANG\n'
      printf 'The language of the dialog and messages when\n.I Vorlane.ini\ndoes not set one.\n'
      ;;
    *)
      printf '.TP\n.B CORVANTINE_HOME\n'
      printf 'The application home (configuration, catalogues, libraries). When set, it is used\n'
      printf '(and made if missing); otherwise the home is the program'"'"'s own folder when that is\n'
      printf 'writable (a portable install, the build tree), else\n'
      # shellcheck disable=SC2016 # the variable's name, as the reader types it
      printf '.IR $XDG_DATA_HOME /corvantine.\n'
      printf 'Whichever it is, it is seeded with the installed data files it does not have yet.\n'
      printf '.TP\n.B XDG_DATA_HOME\n'
      printf 'Where the application home of an installed program lives, default\n'
      printf '.IR ~/.local/share .\n'
      ;;
  esac
  if [ "$NAME" != corvantine-cli ]; then
    printf '.TP\n.B QT_QPA_PLATFORM\n'
    printf 'The Qt platform of the window, for example\n.B offscreen\nfor runs without a display.\n'
  fi

  printf '.SH FILES\n'
  case "$NAME" in
    fusebind)
      printf '.TP\n.I Vorlane.ini\n'
      printf 'Beside the program: section Main, key Language picks the language of the dialog.\n'
      ;;
    *)
      printf '.TP\n.IR prefix /share/corvantine\n'
      printf 'The shipped data, which seeds the application home on first start.\n'
      printf '.TP\n.I ~/.local/share/corvantine\n'
      printf 'The application home of an installed program, holding\n'
      printf '.I "Led Conf.ldc"\n(configuration),\n.I DrICtype.ict\n(controller chips),\n'
      printf '.I PinSet.pet\n(lamp types) and\n.I DisplayModule.mde\n(display modules).\n'
      ;;
  esac
  if [ "$NAME" = corvantine ]; then
    printf '.TP\n.I ~/.config/Corvantine/Corvantine.conf\n'
    printf 'Settings and the recent files.\n'
  fi

  printf '.SH SEE ALSO\n'
  first=1
  for other in corvantine corvantine-cli fusebind; do
    [ "$other" = "$NAME" ] && continue
    [ $first -eq 1 ] || printf ',\n'
    printf '.BR %s (1)' "$(printf '%s' "$other" | esc)"
    first=0
  done
  printf '\n'
} >"$WORK/page.1"

# Replace the page in one step, so a stopped build never leaves half a page behind.
mkdir -p "$(dirname "$OUT")"
cp "$WORK/page.1" "$OUT.tmp"
mv -f "$OUT.tmp" "$OUT"
