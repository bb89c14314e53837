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

# Helpers of the scripts that check documents (they need `$CLI` and ImageMagick's `convert`).
frames_of() {  # frames_of NAME DOC COUNT: the document's first clip holds COUNT frames
  "$CLI" info --json "$2" >"$WORK/info" 2>&1
  if grep -qF "\"frames\":$3," "$WORK/info"; then pass=$((pass + 1)); else fail=$((fail + 1)); echo "FAIL: $1: not $3 frames"; cat "$WORK/info"; fi
}
pixel() {  # pixel DOC FRAME X Y: the RRGGBB of a pixel, through the PNG export
  rm -rf "$WORK/px" && "$CLI" frames export "$1" "$WORK/px" --first "$2" --last "$2" >/dev/null 2>&1
  convert "$WORK/px/"*.png -format "%[hex:u.p{$3,$4}]" info: 2>/dev/null | cut -c1-6 | tr 'a-f' 'A-F'
}
expect_pixel() {  # expect_pixel NAME DOC FRAME X Y RRGGBB
  local got want
  got=$(pixel "$2" "$3" "$4" "$5")
  want=$(echo "$6" | tr 'a-f' 'A-F')
  if [ "$got" = "$want" ]; then pass=$((pass + 1)); else fail=$((fail + 1)); echo "FAIL: $1: pixel $got, expected $6"; fi
}

finish() {
  echo "$pass passed, $fail failed"
  [ "$fail" -eq 0 ]
}
