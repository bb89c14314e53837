# Shared by the benchmark scripts (sourced): arguments [BUILD_DIR] [WORK_DIR], the programs,
# a private application home, and the helpers below.
set -euo pipefail
BUILD="${1:-build}"
WORK="${2:-$(mktemp -d)}"
BIN="$(cd "$BUILD" && pwd)/bin"
CLI="$BIN/corvantine-cli"
mkdir -p "$WORK"
export CORVANTINE_HOME="$WORK/home"

now() { date +%s.%N; }

# A timed step starts from the same state as its rival: nothing dirty, the page cache emptied
# (where allowed) and the input read once.
settle() {
  sync
  echo 3 >/proc/sys/vm/drop_caches 2>/dev/null || true
  cat "$@" >/dev/null
}

# timed NAME INPUT COMMAND...: one run of COMMAND from a settled state (nothing dirty, INPUT
# read once, the program and its libraries read once, as `cp`'s and `cat`'s always are), its
# wall-clock seconds added to $S/NAME.times and "user system peak-KiB" to $S/NAME.use (S: the
# script's own folder); its output in $S/out.txt.
timed() {
  local name="$1" input="$2" t0 t1
  shift 2
  settle "$input"
  "$1" --version >/dev/null 2>&1 || true
  t0=$(now)
  /usr/bin/time -f "%U %S %M" -o "$S/time.out" "$@" >"$S/out.txt"
  t1=$(now)
  echo "$t1 - $t0" | bc -l >>"$S/$name.times"
  tail -n 1 "$S/time.out" >>"$S/$name.use"
}

# The median of numbers on standard input.
median() { sort -g | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }

# A 512 x 256 layout with every pixel an LED, one line of 512 LEDs per row.
make_facade() {
  "$CLI" layout new "$1" --rows 256 --cols 512 >/dev/null
  "$CLI" layout add "$1" --from 0,0 --to 511,255 --mode z-h --limit 512 >/dev/null
}

# The smaller of two numbers, and a ratio, for the summaries.
least() { echo "if ($1 < $2) $1 else $2" | bc -l; }
ratio() { echo "$1 / $2" | bc -l; }
