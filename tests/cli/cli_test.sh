#!/usr/bin/env bash
# End-to-end tests of the command line on real files.
set -u
CLI="$1"
DATA="$2"
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
pass=0
fail=0

check() {  # check NAME EXPECTED_STATUS COMMAND...
  local name="$1" want="$2"
  shift 2
  "$@" >"$WORK/out" 2>"$WORK/err"
  local got=$?
  if [ "$got" -eq "$want" ]; then
    pass=$((pass + 1))
  else
    fail=$((fail + 1))
    echo "FAIL: $name: exit $got, expected $want"
    cat "$WORK/out" "$WORK/err"
  fi
}

contains() {  # contains NAME FILE TEXT
  if grep -qF -- "$3" "$WORK/$2"; then
    pass=$((pass + 1))
  else
    fail=$((fail + 1))
    echo "FAIL: $1: \"$3\" not in $2:"
    cat "$WORK/$2"
  fi
}

check "version" 0 "$CLI" --version
contains "version text" out "corvantine-cli "
check "help" 0 "$CLI" --help
contains "help lists info" out "info"
check "no command" 2 "$CLI"
check "unknown command" 2 "$CLI" frobnicate
check "bad language" 2 "$CLI" --lang 9 info x
check "unknown option" 2 "$CLI" info --bogus x
check "command help" 0 "$CLI" info --help
contains "command help text" out "Usage: corvantine-cli info"

printf '[Main]\r\nRows=24\r\ncols=32\r\nSkin=2\r\n[AVIOption]\r\nRate=25\r\n' >"$WORK/Led Conf.ldc"
check "info config" 0 "$CLI" info "$WORK/Led Conf.ldc"
contains "info rows" out "Rows"
contains "info sections" out "AVIOption (1 keys)"
check "info config json" 0 "$CLI" info --json "$WORK/Led Conf.ldc"
contains "json rows" out '"Rows":{"value":24,"default":48,"set":true}'
contains "json default" out '"Compress":{"value":0,"default":0,"set":false}'
check "info missing" 1 "$CLI" info "$WORK/none.cvn"
contains "info missing message" err "no such file"
head -c 100 /dev/urandom >"$WORK/noise.bin"
check "info unknown" 1 "$CLI" info "$WORK/noise.bin"

echo "$pass passed, $fail failed"
[ "$fail" -eq 0 ]
