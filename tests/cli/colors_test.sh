#!/usr/bin/env bash
# End-to-end tests of `corvantine-cli colors`: the colour library in the application home.
set -u
CLI="$(realpath "$1")"
source "$(dirname "$0")/../checks.sh"
export CORVANTINE_HOME="$WORK/home"
cd "$WORK" || exit 1
LIB="$WORK/home/Clrlibnu.clb"

# A first listing creates the library: 800 bytes, 800 in the first four.
check "list empty" 0 "$CLI" colors list
contains "rainbow" out "0: 192Color  #FF0000"
if [ "$(stat -c %s "$LIB")" -eq 800 ] && [ "$(od -An -tu4 -N4 "$LIB" | tr -d ' ')" = "800" ]; then
  pass=$((pass + 1)); else fail=$((fail + 1)); echo "FAIL: new library is not 800 bytes with 800 first"; fi

# White after black at grade 8: 33 colours; fixed 16 between equal colours: 16 more.
check "add grade" 0 "$CLI" colors add --colors 000000,FFFFFF
contains "added 33" out "list 1 added: 33 colours"
check "add steps" 0 "$CLI" colors add --colors '#102030,#102030' --steps 16
contains "added 17" out "list 2 added: 17 colours"
check "add third" 0 "$CLI" colors add --colors FF0000,0000FF --grade 32
check "list" 0 "$CLI" colors list
contains "list 1" out "1: 33Color  #000000 .. #FFFFFF"
contains "list 2" out "2: 17Color  #102030 .. #102030"
check "json" 0 "$CLI" colors list --json
contains "json colours" out '"number":1,"builtIn":"no","colors":["#000000","#070707"'

# Removing list 2: list 3 becomes list 2 and its end offset drops by 17 colours.
before=$(od -An -tu4 -j12 -N4 "$LIB" | tr -d ' ')
check "remove 2" 0 "$CLI" colors remove 2
after=$(od -An -tu4 -j8 -N4 "$LIB" | tr -d ' ')
if [ "$after" -eq $((before - 17 * 4)) ]; then pass=$((pass + 1)); else fail=$((fail + 1)); echo "FAIL: end offset $after, expected $((before - 68))"; fi
check "list after remove" 0 "$CLI" colors list
contains "moved down" out "2: 9Color  #FF0000 .. #0000FF"

# Bad input: usage errors (2), failures (1), the library untouched.
cp "$LIB" kept.clb
check "no colours" 2 "$CLI" colors add
check "bad colour" 2 "$CLI" colors add --colors 12345G
check "bad grade" 2 "$CLI" colors add --colors 000000 --grade 7
check "both modes" 2 "$CLI" colors add --colors 000000 --grade 8 --steps 16
check "remove 0" 2 "$CLI" colors remove 0
check "remove missing" 1 "$CLI" colors remove 9
contains "no list" err "there is no list 9"
check "unknown" 2 "$CLI" colors mix
# An option of another subcommand is refused, naming the ones that apply.
check "colours of list" 2 "$CLI" colors list --colors FF0000
contains "list's options" err "--colors does not apply to colors list (it belongs to colors add); colors list takes --json and the common options --library"
check "json of remove" 2 "$CLI" colors remove 1 --json
contains "remove's options" err "colors remove takes only the common options --library"
check "chinese" 2 "$CLI" --lang 1 colors add --colors 000000 --json
contains "chinese text" err "--json 不适用于 colors add (它属于 colors list); colors add 可用 --colors、--grade、--steps 以及通用选项 --library"
cmp -s "$LIB" kept.clb && pass=$((pass + 1)) || { fail=$((fail + 1)); echo "FAIL: bad input changed the library"; }

# A damaged library is refused and left as it is.
printf 'short' > damaged.clb
check "damaged list" 1 "$CLI" colors list --library damaged.clb
contains "damaged" err "damaged colour library"
check "damaged add" 1 "$CLI" colors add --colors 000000 --library damaged.clb
if [ "$(cat damaged.clb)" = "short" ]; then pass=$((pass + 1)); else fail=$((fail + 1)); echo "FAIL: damaged library was changed"; fi

finish
