#!/usr/bin/env bash
# End-to-end tests of `corvantine-cli design` and the self-playing effect file.
set -u
CLI="$(realpath "$1")"
PLAYER="$(realpath "$2")"
source "$(dirname "$0")/../checks.sh"
export CORVANTINE_HOME="$WORK/home"
export QT_QPA_PLATFORM=offscreen
cd "$WORK" || exit 1

check "doc" 0 "$CLI" new-project d.cvn --width 16 --height 12 --frames 2
check "rectangle" 0 "$CLI" design d.cvn add rectangle --box 0,0,800,600 --color 00FF00
check "text on a second layer" 0 "$CLI" design d.cvn add text --box 10,10,200,50 --text "Hi" --layer 2
check "mask" 0 "$CLI" design d.cvn add ellipse --box 0,0,400,300 --layer 2 --mask
check "list" 0 "$CLI" design d.cvn list
contains "canvas and layers" out "canvas 800 x 600, 2 layers"
contains "mask shown" out "(mask)"
check "json" 0 "$CLI" design d.cvn list --json
contains "json text" out '"text":"Hi"'
# Rendered frames: the green canvas scaled to 16 x 12, after the clip's frames.
check "render" 0 "$CLI" design d.cvn render --frames 3
contains "says" out "3 frames of the design appended, 5 frames in the clip"
frames_of "five" d.cvn 5
expect_pixel "green" d.cvn 5 8 6 00FF00
# The exported file plays itself; --dump reads back what it holds.
check "export" 0 "$CLI" design d.cvn export show.run --player "$PLAYER"
[ -x show.run ] && pass=$((pass + 1)) || { fail=$((fail + 1)); echo "FAIL: the exported file is not executable"; }
check "dump" 0 ./show.run --dump
contains "template length" out "template $(stat -c %s "$PLAYER") bytes"
contains "clip" out "clip 1: 16 x 12, 5 frames"
contains "masked layer" out "layer 2: 2Th layer, 2 items, masked"
# `info` knows an effect file for what it is.
check "info of the effect file" 0 "$CLI" info show.run
contains "effect type" out "effect file"
contains "effect frames" out "16 x 12, 5 frames"
contains "effect sizes" out "$(stat -c %s show.run) bytes, the player $(stat -c %s "$PLAYER") bytes"
check "info json of the effect file" 0 "$CLI" info --json show.run
contains "effect json" out '"type":"effect"'
contains "effect json frames" out '"width":16,"height":12,"frames":5'
check "info of the bare player" 1 "$CLI" info "$PLAYER"
contains "bare player unknown" err "unknown file type"
# Bad input: usage 2, failure 1, the document untouched.
cp d.cvn kept.cvn
check "render without frames" 2 "$CLI" design d.cvn render
check "unknown sub-command" 2 "$CLI" design d.cvn paint
check "unknown kind" 2 "$CLI" design d.cvn add hexagon
check "bad box" 2 "$CLI" design d.cvn add rectangle --box 1,2,3
check "no player" 1 "$CLI" design d.cvn export x.run --player "$WORK/none"
check "a plain document is no effect file" 1 "$PLAYER" --dump d.cvn
# An option of another subcommand or kind is refused, naming the ones that apply.
check "text of a rectangle" 2 "$CLI" design d.cvn add rectangle --box 0,0,10,10 --text Hi
contains "text belongs to text" err "--text does not apply to design add rectangle (it belongs to design add text); design add rectangle takes --box, --color, --angle, --outline, --layer, --mask"
check "frames of list" 2 "$CLI" design d.cvn list --frames 3
contains "list's options" err "--frames does not apply to design list (it belongs to design render); design list takes --json"
check "player of render" 2 "$CLI" design d.cvn render --frames 1 --player "$PLAYER"
contains "render's options" err "design render takes --frames, --clip"
cmp -s d.cvn kept.cvn && pass=$((pass + 1)) || { fail=$((fail + 1)); echo "FAIL: bad input changed the document"; }
# Bytes after the music (its length says 1, 100 bytes follow) outlive a save, unchanged.
check "designed doc" 0 "$CLI" new-project m.cvn --width 8 --height 6 --frames 1
check "its design" 0 "$CLI" design m.cvn add rectangle --box 0,0,100,100
head -c -4 m.cvn >long.cvn
printf '\001\000\000\000' >>long.cvn
for i in $(seq 1 100); do printf '%02d' $((i % 100)) | head -c 1; done >>long.cvn
tail -c 104 long.cvn >long.end
check "render keeps them" 0 "$CLI" design long.cvn render --frames 2
frames_of "rendered" long.cvn 3
tail -c 104 long.cvn >saved.end
cmp -s long.end saved.end && pass=$((pass + 1)) || { fail=$((fail + 1)); echo "FAIL: the bytes after the music were not kept"; }
# An item of 65,535 points (what the record allows; spikes between two radii, so that every
# row of the canvas crosses thousands of edges) renders in bounded time: the rectangle's
# record is turned into a polygon's (kind 10, or 2 for a polyline) with that point list.
spiky() {  # spiky DOC KIND
  perl -e '
    my ($doc, $kind) = @ARGV;
    local $/;
    open(my $f, "<:raw", $doc) or die "$doc: $!";
    my $d = <$f>;
    close $f;
    my $at = index($d, pack("f<4", 0, 0, 512, 512)) - 2;
    die "no rectangle record\n" if $at < 0 || ord(substr($d, $at, 1)) != 1;
    my $points = "";
    for my $i (0 .. 65534) {
      my $a = 6.283185307179586 * $i / 65535;
      my $r = $i % 2 ? 200 : 120;
      $points .= pack("f<2", 256 + $r * cos($a), 256 + $r * sin($a));
    }
    substr($d, $at, 36) = chr($kind) . substr($d, $at + 1, 35) . pack("v", 65535) . $points;
    open($f, ">:raw", $doc) or die "$doc: $!";
    print $f $d;
    close $f;' "$1" "$2"
}
for kind in 10 2; do
  check "spiky doc $kind" 0 "$CLI" new-project s$kind.cvn --width 16 --height 12 --frames 1
  check "its rectangle $kind" 0 "$CLI" design s$kind.cvn add rectangle --box 0,0,512,512 --color 00FF00
  spiky s$kind.cvn $kind && pass=$((pass + 1)) || { fail=$((fail + 1)); echo "FAIL: no spiky item of kind $kind"; }
  check "list of 65,535 points $kind" 0 timeout 60 "$CLI" design s$kind.cvn list
  [ "$kind" = 10 ] && name=polygon || name=polyline
  contains "the $name is read" out "$name"
  check "render of 65,535 points $kind" 0 timeout 60 "$CLI" design s$kind.cvn render --frames 1
  frames_of "rendered spikes $kind" s$kind.cvn 2
  expect_pixel "outside $kind" s$kind.cvn 2 15 11 000000
done
expect_pixel "inside the polygon" s10.cvn 2 5 5 00FF00
expect_pixel "inside the polyline" s2.cvn 2 5 5 000000
finish
