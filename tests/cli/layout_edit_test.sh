#!/usr/bin/env bash
# End-to-end tests of the layout editing tools of `corvantine-cli layout`.
set -u
CLI="$(realpath "$1")"
source "$(dirname "$0")/../checks.sh"
export CORVANTINE_HOME="$WORK/home"
cd "$WORK" || exit 1

lines() {  # lines FILE: the lines of a layout as JSON
  "$CLI" info --json "$1" | grep -o '"lines":\[.*\]\],"slaves"' | sed 's/,"slaves"//'
}
same() {  # same NAME GOT EXPECTED
  if [ "$2" = "$3" ]; then pass=$((pass + 1)); else fail=$((fail + 1)); echo "FAIL: $1: $2, expected $3"; fi
}

check "new" 0 "$CLI" layout new w.lnf --rows 4 --cols 6
check "row 0" 0 "$CLI" layout add w.lnf --from 5,0 --to 0,0 --mode z-h --line 1
check "row 2" 0 "$CLI" layout add w.lnf --from 5,2 --to 0,2 --mode z-h --line 2
same "start" "$(lines w.lnf)" '"lines":[[[0,0],[0,1],[0,2],[0,3],[0,4],[0,5]],[[2,0],[2,1],[2,2],[2,3],[2,4],[2,5]]]'
# Reverse the run between columns 1 and 3 of line 1.
check "reverse" 0 "$CLI" layout reverse w.lnf --a 1,0 --b 3,0
same "reversed" "$(lines w.lnf)" '"lines":[[[0,0],[0,3],[0,2],[0,1],[0,4],[0,5]],[[2,0],[2,1],[2,2],[2,3],[2,4],[2,5]]]'
# Transfer from the third point of line 2 onto line 1.
check "transfer" 0 "$CLI" layout transfer w.lnf --at 2,2 --line 1
same "transferred" "$(lines w.lnf)" '"lines":[[[0,0],[0,3],[0,2],[0,1],[0,4],[0,5],[2,2],[2,3],[2,4],[2,5]],[[2,0],[2,1]]]'
# Cut a zone to a clip file and paste it two rows down into line 3.
check "cut" 0 "$CLI" layout cut w.lnf --from 0,0 --to 1,0 --clip z.clip
check "paste" 0 "$CLI" layout paste w.lnf --clip z.clip --at 0,3 --line 3
contains "pasted" out "2 LEDs pasted"
check "repeat" 0 "$CLI" layout repeat w.lnf --from 0,3 --to 0,3 --times 2
check "exchange" 0 "$CLI" layout line-op w.lnf exchange --a 1 --and 2
check "delete lines" 0 "$CLI" layout line-op w.lnf delete --a 3
check "copy lines" 0 "$CLI" layout line-op w.lnf copy --a 1 --to 2 --clip l.clip
check "move lines" 0 "$CLI" layout line-op w.lnf move --a 1 --offset 0,1
check "move point" 0 "$CLI" layout move-point w.lnf --from 0,3 --to 5,3

# Array copy: the zone's first line (two LEDs) as 2 x 2 tiles of 2 x 1 cells.
check "array new" 0 "$CLI" layout new a.lnf --rows 6 --cols 8
check "array seed" 0 "$CLI" layout add a.lnf --from 1,0 --to 0,0 --mode z-h
check "array copy" 0 "$CLI" layout array-copy a.lnf --from 0,0 --to 1,0 --at 2,2 --tiles 2,2 --line 2
contains "laid" out "8 LEDs laid"
check "array empty zone" 1 "$CLI" layout array-copy a.lnf --from 5,5 --to 6,5 --at 0,4 --tiles 1,1
contains "choice" err "The choice of pixel points for 1 - 4096 points!"

# Nothing to do, or bad input: exit 1 or 2 and the file unchanged.
cp w.lnf kept.lnf
check "empty zone" 1 "$CLI" layout delete w.lnf --from 0,0 --to 0,0
contains "unchanged" err "is unchanged"
check "no transfer" 1 "$CLI" layout transfer w.lnf --at 0,1 --line 1
check "outside" 2 "$CLI" layout delete w.lnf --from 0,0 --to 9,9
check "bad line" 2 "$CLI" layout transfer w.lnf --at 0,0 --line 300
printf 'QZ' > bad.clip
check "damaged clip" 1 "$CLI" layout paste w.lnf --clip bad.clip --at 0,0
check "same lines" 2 "$CLI" layout line-op w.lnf exchange --a 1 --and 1
check "unknown op" 2 "$CLI" layout line-op w.lnf shuffle --a 1
# An option of another subcommand or operation is refused, naming the ones that apply.
check "offset of delete" 2 "$CLI" layout line-op w.lnf delete --a 3 --offset 1,1
contains "offset belongs to move" err "--offset does not apply to layout line-op delete (it belongs to layout line-op move); layout line-op delete takes --a, --and, --to"
check "clip of move" 2 "$CLI" layout line-op w.lnf move --a 1 --offset 0,1 --clip l.clip
contains "move's options" err "layout line-op move takes --a, --and, --to, --offset"
check "times of delete" 2 "$CLI" layout delete w.lnf --from 0,0 --to 1,0 --times 2
contains "delete's options" err "--times does not apply to layout delete (it belongs to layout repeat); layout delete takes --from, --to"
check "clip of delete" 2 "$CLI" layout delete w.lnf --from 0,0 --to 1,0 --clip d.clip
contains "clip belongs to copy and cut" err "--clip does not apply to layout delete (it belongs to layout copy, layout cut, layout paste, layout line-op copy); layout delete takes --from, --to"
if [ -e d.clip ]; then fail=$((fail + 1)); echo "FAIL: a refused layout delete wrote d.clip"; else pass=$((pass + 1)); fi
# The usage says what each subcommand takes: --clip with copy and cut only, --offset with move.
check "layout help" 0 "$CLI" layout --help
contains "delete without a clip" out "corvantine-cli layout delete FILE.lnf --from COL,ROW --to COL,ROW"
grep -qF -- "delete|copy|cut" "$WORK/out" && { fail=$((fail + 1)); echo "FAIL: the usage gives delete the clip of copy and cut"; } || pass=$((pass + 1))
contains "copy and cut need a clip" out "corvantine-cli layout copy|cut FILE.lnf --from COL,ROW --to COL,ROW --clip OUT"
contains "offset with move" out "corvantine-cli layout line-op FILE.lnf move --a N [--and N | --to N] --offset DX,DY"
contains "clip with copy" out "corvantine-cli layout line-op FILE.lnf copy --a N [--and N | --to N] --clip OUT"
check "tiles of paste" 2 "$CLI" layout paste w.lnf --clip z.clip --at 0,3 --tiles 2,2
contains "tiles belong to add and array-copy" err "(it belongs to layout add, layout array-copy)"
check "chip of add" 2 "$CLI" layout add w.lnf --from 0,0 --to 1,0 --chip 3
contains "chip belongs to set" err "--chip does not apply to layout add (it belongs to layout set); layout add takes --from, --to, --line, --mode, --module, --limit, --repeat, --tiles"
check "from of new" 2 "$CLI" layout new x.lnf --rows 2 --cols 2 --from 0,0
contains "new's options" err "layout new takes --rows, --cols, --sphere"
if [ -e x.lnf ]; then fail=$((fail + 1)); echo "FAIL: a refused layout new wrote x.lnf"; else pass=$((pass + 1)); fi
check "traditional" 2 "$CLI" --lang 2 layout reverse w.lnf --a 1,0 --b 3,0 --line 2
contains "traditional text" err "--line 不適用於 layout reverse"
cmp -s w.lnf kept.lnf && pass=$((pass + 1)) || { fail=$((fail + 1)); echo "FAIL: bad input changed the line file"; }

finish
