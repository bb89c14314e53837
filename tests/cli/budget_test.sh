#!/usr/bin/env bash
# End-to-end tests of `corvantine-cli budget`: the current, power and frame rate of a layout's
# lines, slaves and masters over a clip, its JSON and its refusals.
set -u
CLI="$(realpath "$1")"
source "$(dirname "$0")/../checks.sh"
export CORVANTINE_HOME="$WORK/home"
cd "$WORK" || exit 1

json_check() {  # json_check NAME PYTHON_EXPRESSION: true of the JSON in $WORK/out (as `j`)
  if python3 -c 'import json, sys; j = json.load(open(sys.argv[1])); sys.exit(0 if eval(sys.argv[2]) else 1)' \
      "$WORK/out" "$2" 2>"$WORK/py"; then
    pass=$((pass + 1))
  else
    fail=$((fail + 1))
    echo "FAIL: $1: not $2 in:"
    cat "$WORK/out" "$WORK/py"
  fi
}
near() { echo "abs(($1) - ($2)) < 1e-9"; }

# Four white LEDs on line 1: each 3 x 20 mA + 1 mA idle = 61 mA; 24 bits an LED at 1 MHz.
check "layout" 0 "$CLI" layout new s.lnf --rows 1 --cols 4
check "add" 0 "$CLI" layout add s.lnf --from 3,0 --to 0,0 --mode z-h --line 1
check "white document" 0 "$CLI" new-project white.cvn --width 4 --height 1 --frames 3 --color FFFFFF
check "black document" 0 "$CLI" new-project black.cvn --width 4 --height 1 --frames 2 --color 000000
check "append black" 0 "$CLI" append-frames black.cvn white.cvn --first 1 --last 1

check "json" 0 "$CLI" budget white.cvn --lines s.lnf --json
json_check "keys" 'sorted(j) == ["lines", "masters", "slaves", "total", "warnings"]'
json_check "line keys" 'sorted(j["lines"][0]) == ["leds", "line", "maxFps", "meanAmps", "peakAmps", "peakWatts"]'
json_check "slave keys" 'sorted(j["slaves"][0]) == ["lines", "maxFps", "meanAmps", "peakAmps", "slave"]'
json_check "total keys" 'sorted(j["total"]) == ["meanAmps", "peakAmps", "peakWatts"]'
json_check "one line" 'len(j["lines"]) == 1 and j["lines"][0]["line"] == 1 and j["lines"][0]["leds"] == 4'
# Frames 1-3 white, frame 4 black (4 mA idle): peak 0.244 A, mean (3 x 0.244 + 0.004) / 4.
json_check "peak" "$(near 'j["lines"][0]["peakAmps"]' 0.244)"
json_check "mean" "$(near 'j["lines"][0]["meanAmps"]' '(3 * 0.244 + 0.004) / 4')"
json_check "watts" "$(near 'j["lines"][0]["peakWatts"]' 1.22)"
json_check "max fps" "$(near 'j["lines"][0]["maxFps"]' '1 / (4 * 24 / 1e6)')"
json_check "slave" 'j["slaves"] and j["slaves"][0]["slave"] == 1 and j["slaves"][0]["lines"] == [1]'
json_check "slave peak" "$(near 'j["slaves"][0]["peakAmps"]' 0.244)"
json_check "master" 'j["masters"][0]["master"] == 1 and j["masters"][0]["slaves"] == [1]'
json_check "total" "$(near 'j["total"]["peakAmps"]' 0.244) and $(near 'j["total"]["peakWatts"]' 1.22)"
json_check "no warnings" 'j["warnings"] == []'

# A range of frames: the black one alone.
check "range" 0 "$CLI" budget white.cvn --lines s.lnf --first 4 --last 4 --json
json_check "black peak" "$(near 'j["total"]["peakAmps"]' 0.004)"
check "black clip" 0 "$CLI" budget black.cvn --lines s.lnf --json --last 2
json_check "idle only" "$(near 'j["lines"][0]["meanAmps"]' 0.004)"

# The values of the options.
check "options" 0 "$CLI" budget white.cvn --lines s.lnf --ma 10 --idle-ma 0 --volts 12 --json
json_check "ma" "$(near 'j["lines"][0]["peakAmps"]' 0.12) and $(near 'j["total"]["peakWatts"]' 1.44)"

# Warnings exactly above their limits: an equal value is none.
# A slave's own supply beside the line file: its watts follow it; a bad value is the common one.
printf '[Slave1]\r\nVolts=12\r\n' >s.power
check "slave volts" 0 "$CLI" budget white.cvn --lines s.lnf --json
json_check "slave volts watts" "$(near 'j["lines"][0]["peakWatts"]' '0.244 * 12') and $(near 'j["total"]["peakWatts"]' '0.244 * 12')"
check "slave volts and --volts" 0 "$CLI" budget white.cvn --lines s.lnf --volts 24 --json
json_check "the slave's own wins" "$(near 'j["total"]["peakWatts"]' '0.244 * 12')"
printf '[Slave1]\nVolts=-3\n[Slave999]\nVolts=9\n' >s.power
check "bad slave volts" 0 "$CLI" budget white.cvn --lines s.lnf --json
json_check "common supply" "$(near 'j["total"]["peakWatts"]' 1.22)"
rm -f s.power

check "fuse equal" 0 "$CLI" budget white.cvn --lines s.lnf --fuse-amps 0.244 --json
json_check "fuse equal: none" 'j["warnings"] == []'
check "fuse below" 0 "$CLI" budget white.cvn --lines s.lnf --fuse-amps 0.2439 --json
json_check "fuse warnings" 'len(j["warnings"]) == 2'
json_check "line over fuse" 'j["warnings"][0] == "Line 1 peaks at 0.244 A, above the fuse'"'"'s 0.2439 A"'
json_check "slave over fuse" 'j["warnings"][1].startswith("Slave 1 peaks at 0.244 A")'
check "fast show" 0 "$CLI" budget white.cvn --lines s.lnf --fps 10500 --json
json_check "too slow" 'len(j["warnings"]) == 1 and j["warnings"][0].startswith("Line 1 can show at most 10416.6667 frames a second, below the show'"'"'s 10500")'
check "slow show" 0 "$CLI" budget white.cvn --lines s.lnf --fps 10416 --json
json_check "fast enough" 'j["warnings"] == []'

# The table: on stdout, the warnings on stderr.
check "table" 0 "$CLI" budget white.cvn --lines s.lnf --fuse-amps 0.1
contains "lines title" out "Lines:"
contains "slaves title" out "Slaves:"
contains "masters title" out "Masters:"
contains "total" out "Total: peak 0.244 A, mean 0.184 A, peak 1.22 W (4 frames)"
contains "warning" err "corvantine-cli budget: warning: Line 1 peaks at 0.244 A, above the fuse's 0.1 A"
check "chinese table" 0 "$CLI" --lang 1 budget white.cvn --lines s.lnf
contains "chinese total" out "合计: 峰值 0.244 A"

# A slow line (100 LEDs at 0.1 MHz: 41.7 frames a second) against the configured play speed.
check "long layout" 0 "$CLI" layout new long.lnf --rows 1 --cols 100
check "long add" 0 "$CLI" layout add long.lnf --from 99,0 --to 0,0 --mode z-h --line 1 --limit 100
check "slow clock" 0 "$CLI" layout set long.lnf --slaves all --clock 0.1
check "long document" 0 "$CLI" new-project long.cvn --width 100 --height 1 --frames 1
check "default speed" 0 "$CLI" budget long.cvn --lines long.lnf --json
json_check "20 a second is fine" 'j["warnings"] == [] and abs(j["lines"][0]["maxFps"] - 1 / (100 * 24 / 1e5)) < 1e-9'
mkdir -p "$CORVANTINE_HOME"
printf '[AVIOption]\r\nFramesPerSecond=50\r\n' >>"$CORVANTINE_HOME/Led Conf.ldc"
check "configured speed" 0 "$CLI" budget long.cvn --lines long.lnf --json
json_check "50 a second is not" 'len(j["warnings"]) == 1 and "below the show'"'"'s 50" in j["warnings"][0]'
check "fps option wins" 0 "$CLI" budget long.cvn --lines long.lnf --fps 40 --json
json_check "40 is fine" 'j["warnings"] == []'

# A lamp type's own current, kept beside the lamp types; --ma sets every lamp type's.
printf '[main]\r\nRGB=10\r\n' >"$CORVANTINE_HOME/LampCurrent.ini"
check "lamp current" 0 "$CLI" budget white.cvn --lines s.lnf --json
json_check "own current" "$(near 'j["lines"][0]["peakAmps"]' 0.124)"
check "ma for all" 0 "$CLI" budget white.cvn --lines s.lnf --ma 20 --json
json_check "ma wins" "$(near 'j["lines"][0]["peakAmps"]' 0.244)"
rm -f "$CORVANTINE_HOME/LampCurrent.ini"

# Bad values: exit 2 with a clear message.
for bad in "--volts 0" "--volts -5" "--volts abc" "--ma nan" "--ma inf" "--ma -1" "--idle-ma x1" \
           "--fps 0" "--fps -inf" "--fuse-amps -1" "--fuse-amps 0" "--volts 1e999" "--ma 1,5"; do
  # shellcheck disable=SC2086
  check "refused $bad" 2 "$CLI" budget white.cvn --lines s.lnf $bad
done
check "volts message" 2 "$CLI" budget white.cvn --lines s.lnf --volts 0
contains "volts text" err "corvantine-cli budget: --volts takes a number above 0 (not 0)"
check "ma message" 2 "$CLI" budget white.cvn --lines s.lnf --ma -1
contains "ma text" err "--ma takes a number of 0 or more (not -1)"
check "empty value" 2 "$CLI" budget white.cvn --lines s.lnf --idle-ma ""
check "no lines" 2 "$CLI" budget white.cvn
check "no document" 2 "$CLI" budget --lines s.lnf
check "bad range" 2 "$CLI" budget white.cvn --lines s.lnf --first 3 --last 9
check "bad clip" 2 "$CLI" budget white.cvn --lines s.lnf --clip 2
check "missing document" 1 "$CLI" budget none.cvn --lines s.lnf
check "help" 0 "$CLI" budget --help
contains "help text" out "--fuse-amps"

finish
