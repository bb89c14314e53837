#!/usr/bin/env bash
# End-to-end: a project folder moved to another place (or copied to another machine), whose
# document still names its line file by the old path.
set -u
CLI="$(realpath "$1")"
source "$(dirname "$0")/../checks.sh"
export CORVANTINE_HOME="$WORK/home"
mkdir -p "$WORK/moved" && cd "$WORK/moved" || exit 1
here="$(pwd -P)"

# The clip's 260-byte line-file path follows the header, the clip count and its size: byte 30.
stored() { dd if="$1" bs=1 skip=30 count=259 status=none | tr -d '\0'; }
same() {  # same NAME GOT WANT
  if [ "$2" = "$3" ]; then pass=$((pass + 1)); else fail=$((fail + 1)); echo "FAIL: $1: \"$2\", expected \"$3\""; fi
}
lacks() {  # lacks NAME FILE TEXT
  if grep -qF -- "$3" "$WORK/$2"; then fail=$((fail + 1)); echo "FAIL: $1: \"$3\" in $2"; cat "$WORK/$2"; else pass=$((pass + 1)); fi
}

check "layout" 0 "$CLI" layout new x.lnf --rows 8 --cols 10
check "document" 0 "$CLI" new-project show.cvn --width 10 --height 8 --frames 2 --color 102030
printf '/nonexistent/dir/x.lnf' | dd of=show.cvn bs=1 seek=30 conv=notrunc status=none
same "old path on disk" "$(stored show.cvn)" "/nonexistent/dir/x.lnf"
cp show.cvn before.cvn

# Reading the document finds x.lnf beside it and says so; info changes no file.
check "info" 0 "$CLI" info --json show.cvn
contains "info says so" err "the line file /nonexistent/dir/x.lnf does not exist; $here/x.lnf beside the document is used"
contains "info names the file used" out "$here/x.lnf"
if cmp -s show.cvn before.cvn; then pass=$((pass + 1)); else fail=$((fail + 1)); echo "FAIL: info changed the document"; fi

# In Chinese the message is Chinese.
check "info in Chinese" 0 "$CLI" --lang 1 info show.cvn
contains "Chinese message" err "线路文件 /nonexistent/dir/x.lnf 不存在"

# The next save stores the new path; after it nothing more is said.
check "save" 0 "$CLI" frames repeat show.cvn --first 1 --last 1 --times 1
contains "save says so" err "$here/x.lnf"
same "new path on disk" "$(stored show.cvn)" "$here/x.lnf"
frames_of "frames kept" show.cvn 3
check "info after save" 0 "$CLI" info show.cvn
lacks "nothing more said" err "does not exist"

# Without a file of that name beside the document the stored path stays as it was.
rm x.lnf
cp before.cvn lost.cvn
check "no stand-in" 0 "$CLI" frames repeat lost.cvn --first 1 --last 1 --times 1
lacks "no message" err "does not exist"
same "path kept" "$(stored lost.cvn)" "/nonexistent/dir/x.lnf"

finish
