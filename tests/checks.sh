# Shared by the end-to-end scripts: a private work folder and pass/fail counting.
# Source it after `set -u`; end the script with `finish`.
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

finish() {
  echo "$pass passed, $fail failed"
  [ "$fail" -eq 0 ]
}
