#!/usr/bin/env bash
# Makes the generator gallery (docs/gallery/generator-*.png): for each change mode a contact
# sheet of every other frame of a run, made with the command line.
set -euo pipefail
BUILD="${1:-build}"
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
CLI="$ROOT/$BUILD/bin/corvantine-cli"
OUT="$ROOT/docs/gallery"
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
export CORVANTINE_HOME="$WORK/home"

sheet() {  # sheet NAME ARGS...: a 48 x 24 clip, the run, frames 2, 4, ... 24 side by side
  local name="$1"
  shift
  # 24 frames, except where the mode decides the length of its run (toy bricks, V shape).
  local frames=(--frames 24)
  case "$name" in toy-bricks | v-shape) frames=() ;; esac
  "$CLI" new-project "$WORK/$name.cvn" --width 48 --height 24 >/dev/null
  "$CLI" generate "$WORK/$name.cvn" "${frames[@]}" "$@" >/dev/null
  rm -rf "$WORK/frames" && "$CLI" frames export "$WORK/$name.cvn" "$WORK/frames" --first 2 --last 25 >/dev/null
  local picked=()
  for i in $(seq 2 2 24); do picked+=("$WORK/frames/$(printf 'frame%02d.png' "$i")"); done
  montage "${picked[@]}" -filter point -resize 400% -tile 6x -geometry +4+4 -background '#202020' "$OUT/generator-$name.png"
  echo "docs/gallery/generator-$name.png"
}

sheet moving --mode moving --style 5 --step 2
sheet symmetry --mode symmetry --style 1
sheet interleaving --mode interleaving --style 1
sheet diffusing --mode diffusing --style 1 --colors rainbow --grade 32
sheet rotation --mode rotation --style 1
sheet gradual-changing --mode gradual-changing --style 6 --colors rainbow --grade 32
sheet dropping --mode dropping --style 3 --seed 4
sheet sound-wave --mode sound-wave --style 1 --seed 2
sheet jalousie --mode jalousie --style 2 --block-number 2 --colors rainbow --grade 32
sheet wave --mode other --style 5 --step 1
sheet diffuse --mode other --style 2 --center-x 20 --center-y 30 --shape diamond --colors rainbow --grade 24
sheet v-shape --mode v-shape --style 4 --steps-interval 2 --colors rainbow --grade 32
sheet toy-bricks --mode toy-bricks --style 4 --brick-width 5 --brick-height 3 --frequency 1 --rebound 2 --overpass 0

# Particles: a fountain of sparks on 80 x 56 as an animated GIF.
"$CLI" new-project "$WORK/particles.cvn" --width 80 --height 56 >/dev/null
"$CLI" generate "$WORK/particles.cvn" --mode other --style 1 --frames 72 --seed 5 --render up --colors rainbow --grade 16 \
  --particle x=40,y=bottom,vy=sqrt,ay=24,vx=random,min-vx=-40,max-vx=40,z=12,send=50 >/dev/null
rm -rf "$WORK/frames" && "$CLI" frames export "$WORK/particles.cvn" "$WORK/frames" --first 2 --last 73 >/dev/null
convert -delay 4 -loop 0 "$WORK"/frames/frame*.png -filter point -resize 300% "$OUT/particles.gif"
echo "docs/gallery/particles.gif"
