#!/usr/bin/env bash
# End-to-end tests of the command line on real files.
set -u
CLI="$1"
DATA="$2"
source "$(dirname "$0")/../checks.sh"
# The application home is private to this run: nothing is read from or written to the build's
# program folder, which other runs may be using.
export CORVANTINE_HOME="$WORK/home"

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
# A configuration is text of sections and keys; a program or loose text is none, whatever its name.
check "info of a program" 1 "$CLI" info /bin/ls
contains "program not a configuration" err "/bin/ls: unknown file type"
cp /bin/ls "$WORK/ls.ini"
check "info of a program named .ini" 1 "$CLI" info "$WORK/ls.ini"
printf 'Dear reader,\nthese are notes [1] = none.\n' >"$WORK/notes.ldc"
check "info of loose text" 1 "$CLI" info "$WORK/notes.ldc"
contains "loose text unknown" err "unknown file type"
printf 'x=1\n[Main]\nRows=2\n' >"$WORK/keyfirst.txt"
check "info of a key before any section" 1 "$CLI" info "$WORK/keyfirst.txt"
printf '; settings\n\n[Main]\nRows=12\n' >"$WORK/plain.txt"
check "info of a configuration by another name" 0 "$CLI" info "$WORK/plain.txt"
contains "plain text configuration" out "configuration file"
: >"$WORK/empty.ldc"
check "info of an empty configuration" 0 "$CLI" info "$WORK/empty.ldc"
contains "empty configuration" out "(default)"
: >"$WORK/empty.bin"
check "info of an empty file" 1 "$CLI" info "$WORK/empty.bin"

# Project documents.
check "new-project 1x1" 0 "$CLI" new-project "$WORK/one.cvn" --width 1 --height 1
size=$(stat -c %s "$WORK/one.cvn")
if [ "$size" -eq 308 ]; then pass=$((pass + 1)); else fail=$((fail + 1)); echo "FAIL: 1x1 document is $size bytes"; fi
check "new-project colour" 0 "$CLI" new-project "$WORK/red.cvn" --width 3 --height 2 --frames 4 --color FF0000
# Frame 1 pixel bytes start after header 18 + count 4 + size 8 + path 260 + frame count 4 = 294: B G R.
pixel=$(od -An -tx1 -j294 -N3 "$WORK/red.cvn" | tr -d ' ')
if [ "$pixel" = "0000ff" ]; then pass=$((pass + 1)); else fail=$((fail + 1)); echo "FAIL: first pixel $pixel"; fi
check "new-project needs size" 2 "$CLI" new-project "$WORK/x.cvn" --width 3
check "new-project bad colour" 2 "$CLI" new-project "$WORK/x.cvn" --width 3 --height 3 --color red
check "new-project bad size" 2 "$CLI" new-project "$WORK/x.cvn" --width 0 --height 3
check "info document" 0 "$CLI" info "$WORK/red.cvn"
contains "info clip line" out "Scene1: 3 x 2, 4 frames"
check "info document json" 0 "$CLI" info --json "$WORK/red.cvn"
contains "json clips" out '"clips":[{"width":3,"height":2,"frames":4,"lineFile":""}]'
check "info chinese" 0 "$CLI" --lang 1 info "$WORK/red.cvn"
contains "chinese scene" out "场景1: 3 x 2"

check "append" 0 "$CLI" append-frames "$WORK/red.cvn" "$WORK/red.cvn" --first 2 --last 4
contains "append count" out "7"
check "append bad range" 2 "$CLI" append-frames "$WORK/red.cvn" "$WORK/red.cvn" --first 3 --last 99
contains "append range message" err "Parameter mistake!"
check "append other size" 1 "$CLI" append-frames "$WORK/red.cvn" "$WORK/one.cvn" --first 1 --last 1
contains "append size message" err "Width: 1 ,Height: 1"
check "append traditional" 1 "$CLI" --lang 2 append-frames "$WORK/red.cvn" "$WORK/one.cvn" --first 1 --last 1
contains "append traditional message" err "參數錯誤！"

check "pack" 0 "$CLI" pack "$WORK/red.cvn" "$WORK/red.rar" --builtin
check "info packed" 0 "$CLI" info "$WORK/red.rar"
contains "packed" out "(compressed)"
contains "packed frames" out "7 frames"
check "unpack" 0 "$CLI" unpack "$WORK/red.rar" "$WORK/back.cvn"
check "unpack same bytes" 0 cmp "$WORK/red.cvn" "$WORK/back.cvn"
check "pack refuses non-document" 1 "$CLI" pack "$WORK/noise.bin" "$WORK/n.rar"
check "unpack refuses non-archive" 1 "$CLI" unpack "$WORK/red.cvn" "$WORK/n.cvn"
contains "unpack message" err "Open file fail!"
if command -v bsdtar >/dev/null; then
  mkdir -p "$WORK/bsd"
  check "bsdtar reads our archive" 0 bsdtar -xf "$WORK/red.rar" -C "$WORK/bsd"
  check "bsdtar bytes" 0 cmp "$WORK/red.cvn" "$WORK/bsd/Corvantinev.cvn"
fi
if command -v unrar-free >/dev/null; then
  mkdir -p "$WORK/free"
  check "unrar-free reads our archive" 0 unrar-free -x "$WORK/red.rar" "$WORK/free/"
  check "unrar-free bytes" 0 cmp "$WORK/red.cvn" "$WORK/free/Corvantinev.cvn"
fi
printf 'ledv\001\0\0\0\0\0' >"$WORK/v1.cvn"
check "refused version" 1 "$CLI" info "$WORK/v1.cvn"
contains "refused message" err "The file or the file version is not supported!"
check "refused version chinese" 1 "$CLI" --lang 1 info "$WORK/v1.cvn"
contains "refused chinese" err "不支持的文件或文件版本!"

# LED layouts, lamp types and modules.
check "layout new" 0 "$CLI" layout new "$WORK/a.lnf" --rows 24 --cols 32
check "layout add" 0 "$CLI" layout add "$WORK/a.lnf" --from 0,0 --to 2,0
contains "layout add result" out "added 3 points"
check "layout add line 2" 0 "$CLI" layout add "$WORK/a.lnf" --from 0,1 --to 3,2 --line 2 --mode z-v
check "info layout json" 0 "$CLI" info --json "$WORK/a.lnf"
contains "json lines" out '"lineCount":2,"lines":[[[0,2],[0,1],[0,0]],'
contains "json rows" out '"rows":24,"cols":32,"sphereMode":0'
size=$(stat -c %s "$WORK/a.lnf")
expected=$((10 + 5 + 4 + 5 + 4 + 12 + 4 + 32 + 4 + 64 + 2 + 22 + 4 + 4 + 243 * 6 + 4))
if [ "$size" -eq "$expected" ]; then pass=$((pass + 1)); else fail=$((fail + 1)); echo "FAIL: line file $size bytes, expected $expected"; fi
check "layout set" 0 "$CLI" layout set "$WORK/a.lnf" --slaves 1-2 --clock 50 --gamma 2.25 --gray 256 --reverse yes --lamp GRB --chip 110
check "info after set" 0 "$CLI" info --json "$WORK/a.lnf"
contains "slave values" out '{"lightType":2,"icType":110,"clock":1,"brightness":100,"grayReverse":135,"red":100,"green":100,"blue":100,"linePorts":1,"gamma":22,'
# A chip change selects the chip's own gray levels (WS2801: 256) unless --gray names others.
check "layout set many gray levels" 0 "$CLI" layout set "$WORK/a.lnf" --slaves 1 --gray 16384
check "info many gray levels" 0 "$CLI" info --json "$WORK/a.lnf"
contains "16384 levels" out '"icType":110,"clock":1,"brightness":100,"grayReverse":141,'
check "layout set chip" 0 "$CLI" layout set "$WORK/a.lnf" --slaves 1 --chip 20
check "info chip" 0 "$CLI" info --json "$WORK/a.lnf"
contains "chip's own gray levels" out '"icType":20,"clock":1,"brightness":100,"grayReverse":135,'
check "layout set chip and gray" 0 "$CLI" layout set "$WORK/a.lnf" --slaves 1 --chip 110 --gray 512
check "info chip and gray" 0 "$CLI" info --json "$WORK/a.lnf"
contains "named gray levels win" out '"icType":110,"clock":1,"brightness":100,"grayReverse":136,'
check "layout set gray back" 0 "$CLI" layout set "$WORK/a.lnf" --slaves 1 --gray 256
check "layout set defaults" 0 "$CLI" layout set "$WORK/a.lnf" --brightness 50
contains "defaults message" err "Please choose to modify the parameter of the slave."
check "layout set family" 0 "$CLI" layout set "$WORK/a.lnf" --family simple
check "info family" 0 "$CLI" info --json "$WORK/a.lnf"
contains "simple family" out '"controllerType":2,"portsPerSlave":4'
check "layout set groups beyond the slaves" 2 "$CLI" layout set "$WORK/a.lnf" --family ms --ports-per-slave 1 --groups 1,5
contains "groups range" err "add up to at most the layout's 2 slaves"
check "layout set groups" 0 "$CLI" layout set "$WORK/a.lnf" --family ms --ports-per-slave 1 --groups 1,1
check "info groups" 0 "$CLI" info --json "$WORK/a.lnf"
contains "groups normalised" out '"slaveGroups":[1]'
check "layout set bad gray" 2 "$CLI" layout set "$WORK/a.lnf" --gray 300
check "layout set bad slaves" 2 "$CLI" layout set "$WORK/a.lnf" --slaves 0-3 --brightness 5
check "layout sphere" 0 "$CLI" layout new "$WORK/s.lnf" --rows 5 --cols 10 --sphere
check "info sphere" 0 "$CLI" info --json "$WORK/s.lnf"
contains "sphere widths" out '"rowWidths":[6,9,10,9,6]'
check "lamp add" 0 "$CLI" lamp add Quad --pins R1,G1,B1,B2
contains "lamp saved" out "Save success!"
check "lamp add builtin" 1 "$CLI" lamp add RGB --pins B1,B1,B1
check "lamp add bad pin" 2 "$CLI" lamp add Bad --pins R1,B86
contains "pin error" err "Pin2 setting error!"
check "lamp list" 0 "$CLI" lamp list
contains "lamp listed" out "6: Quad (4 pins) R1G1B1B2"
check "lamp list with pins" 2 "$CLI" lamp list --pins R1
contains "lamp list's options" err "--pins does not apply to lamp list (it belongs to lamp add); lamp list takes --json"
check "module import with json" 2 "$CLI" module import "$WORK/none.mde" --json
contains "module import's options" err "--json does not apply to module import (it belongs to module list); module import takes no options"
check "info pinset" 0 "$CLI" info "$WORK/home/PinSet.pet"
contains "pinset lamp" out "Quad (4 pins)"
check "layout set lamp" 0 "$CLI" layout set "$WORK/a.lnf" --slaves 1 --lamp Quad
# `info` names the lamp types (the file's own list) and the chips (the catalogue) beside their numbers.
check "info names" 0 "$CLI" info "$WORK/a.lnf"
contains "lamp and chip named" out "  1: lamp 6 (Quad), chip 110 (SPI 10-bit word), clock "
check "info names json" 0 "$CLI" info --json "$WORK/a.lnf"
contains "json names" out '"lightTypeName":"Quad","icTypeName":"SPI 10-bit word"}'
check "lamp delete" 0 "$CLI" lamp delete Quad
check "lamp delete builtin" 1 "$CLI" lamp delete RGB
check "module list" 0 "$CLI" module list
contains "single pixel" out "0: Single pixel (1 x 1, 1 points)"
printf '\000zig\000\000\000\000\000\000\000\000\000\000\000\000\000\002\000\002\000\004\000\000\000\000\000\001\000\000\000\001\000\001\000\000\000\001\000' >"$WORK/zig.mde"
check "info modules" 0 "$CLI" info "$WORK/zig.mde"
contains "module record" out "zig: 2 x 2, 4 points"
check "module import" 0 "$CLI" module import "$WORK/zig.mde"
contains "imported" out "imported 1 modules"
check "module import again" 0 "$CLI" module import "$WORK/zig.mde"
contains "imported again" out "imported 0 modules"
check "layout add module" 0 "$CLI" layout add "$WORK/s.lnf" --from 0,0 --to 3,3 --module zig --mode s-h
contains "module points" out "added 16 points"
check "layout add tiles" 0 "$CLI" layout add "$WORK/a.lnf" --from 10,10 --to 20,20 --module zig --tiles 2,1 --line 5
contains "tile points" out "added 8 points; current line 5"
check "module export" 0 "$CLI" module export "$WORK/out.mde"
check "module export bytes" 0 cmp "$WORK/out.mde" "$WORK/home/DisplayModule.mde"
check "module delete" 0 "$CLI" module delete zig
check "unknown module" 1 "$CLI" layout add "$WORK/a.lnf" --from 0,0 --to 1,1 --module zig
printf 'LNF\011xxxxxxxx' >"$WORK/bad.lnf"
check "bad line file" 1 "$CLI" layout add "$WORK/bad.lnf" --from 0,0 --to 1,1
contains "bad line file message" err "The file or the file version is not supported!"

# Controller output end to end: layout, project, output, info, import back.
check "out layout" 0 "$CLI" layout new "$WORK/o.lnf" --rows 4 --cols 6
check "out wire 1" 0 "$CLI" layout add "$WORK/o.lnf" --from 0,0 --to 5,1
check "out wire 2" 0 "$CLI" layout add "$WORK/o.lnf" --from 0,2 --to 5,3 --line 2
check "out groups" 0 "$CLI" layout set "$WORK/o.lnf" --groups 1
check "out project" 0 "$CLI" new-project "$WORK/o.cvn" --width 6 --height 4 --frames 4 --color 0A141E
check "output" 0 "$CLI" output "$WORK/o.cvn" --lines "$WORK/o.lnf" --out "$WORK/show.led" --seed 5 --card none
contains "output files" out "show1.led"
contains "output second" out "show2.led"
contains "output done" out "Output File finished!"
# The detail after it: each file with its frames and size, and the card.
contains "output detail first" out "$WORK/show1.led: 4 frames, $(stat -c %s "$WORK/show1.led") bytes"
contains "output detail second" out "$WORK/show2.led: 4 frames, $(stat -c %s "$WORK/show2.led") bytes"
contains "output detail card" out "No card was looked for."
if [ "$(grep -nF "Output File finished!" "$WORK/out" | cut -d: -f1)" -lt "$(grep -nF "frames, " "$WORK/out" | head -1 | cut -d: -f1)" ]; then
  pass=$((pass + 1)); else fail=$((fail + 1)); echo "FAIL: the detail does not follow the finished line"; fi
check "output again" 0 "$CLI" output "$WORK/o.cvn" --lines "$WORK/o.lnf" --out "$WORK/again.led" --seed 5 --card none
check "seeded output identical" 0 cmp "$WORK/show1.led" "$WORK/again1.led"
check "info led" 0 "$CLI" info --json "$WORK/show1.led"
contains "led header" out '"family":0,"familyName":"master-slave","slaveCount":1,"dataOffset":512,"blockSize":512,"frames":4'
contains "led record" out '{"chipCode":3,"chipName":"HasEnable","W":9,"ports":1,"clockByte":25,"byte4":13,"byte5":8,"checksumValid":true}'
check "info led named" 0 "$CLI" info "$WORK/show1.led"
contains "led chip named" out "  1: chip 3 (HasEnable), W 9, ports 1, clock byte 25, byte 4 13, byte 5 8, checksum valid"
contains "led labels" out "Block size:  512"
block=$(od -An -tx1 -j512 -N6 "$WORK/show1.led" | tr -d ' ')
if [ "$block" = "0a141e0a141e" ]; then pass=$((pass + 1)); else fail=$((fail + 1)); echo "FAIL: first block $block"; fi
check "output range" 0 "$CLI" output "$WORK/o.cvn" --lines "$WORK/o.lnf" --out "$WORK/r.led" --first 3 --last 3 --card none
size=$(stat -c %s "$WORK/r1.led")
if [ "$size" -eq 1024 ]; then pass=$((pass + 1)); else fail=$((fail + 1)); echo "FAIL: one-block file is $size bytes"; fi
contains "output range detail" out "$WORK/r1.led: 1 frames, 1024 bytes"
check "output range in Chinese" 0 "$CLI" --lang 1 output "$WORK/o.cvn" --lines "$WORK/o.lnf" --out "$WORK/r.led" --first 2 --last 3 --card none
contains "Chinese output detail" out "$WORK/r1.led: 2 帧, $(stat -c %s "$WORK/r1.led") 字节"
contains "Chinese card detail" out "未查找存储卡。"
check "output bad range" 2 "$CLI" output "$WORK/o.cvn" --lines "$WORK/o.lnf" --out "$WORK/r.led" --first 3 --last 9
check "empty layout" 0 "$CLI" layout new "$WORK/e.lnf" --rows 4 --cols 6
check "output no layout" 1 "$CLI" output "$WORK/o.cvn" --lines "$WORK/e.lnf" --out "$WORK/n.led" --card none
contains "no layout message" err "Not set LED project line! "
check "blank project" 0 "$CLI" new-project "$WORK/b.cvn" --width 6 --height 4 --frames 1
check "import master 1" 0 "$CLI" import-led "$WORK/show1.led" --lines "$WORK/o.lnf" --into "$WORK/b.cvn"
contains "imported" out "imported 4 frames"
check "import master 2" 0 "$CLI" import-led "$WORK/show2.led" --lines "$WORK/o.lnf" --into "$WORK/b.cvn"
check "info imported" 0 "$CLI" info --json "$WORK/b.cvn"
contains "imported frames" out '"frames":5'
# Frame 2 of the imported project equals frame 1 of the source: compare the pixel bytes.
src=$(od -An -tx1 -j294 -N80 "$WORK/o.cvn" | tr -d ' \n')
dst=$(od -An -tx1 -j$((294 + 80)) -N80 "$WORK/b.cvn" | tr -d ' \n')
if [ "$src" = "$dst" ]; then pass=$((pass + 1)); else fail=$((fail + 1)); echo "FAIL: imported frame differs"; fi
check "card" 0 "$CLI" card --json
contains "card json" out '"devices":['

# Drawings, exports and pictures.
check "dxf" 0 "$CLI" dxf --json "$DATA/dxf/led_grid_r12.dxf" "$WORK/g.lnf"
contains "dxf result" out '"suggestedSpacing":[50,40],"spacing":[50,40],"rows":4,"cols":8,"circles":32,"chains":2,"linesMade":2,"leds":32'
check "dxf layout" 0 "$CLI" info --json "$WORK/g.lnf"
contains "dxf lines" out '"lineCount":5'
check "dxf vertex" 0 "$CLI" dxf "$DATA/dxf/led_vertex_lwpolyline_r2010.dxf" "$WORK/v.lnf" --vertex-mode
check "dxf missing" 1 "$CLI" dxf "$WORK/none.dxf" "$WORK/x.lnf"
check "dxf picture" 0 "$CLI" dxf "$DATA/dxf/led_grid_r12.dxf" "$WORK/g2.lnf" --picture "$WORK/p.png" --width 80 --height 40
check "dxf size without a picture" 2 "$CLI" dxf "$DATA/dxf/led_grid_r12.dxf" "$WORK/g4.lnf" --width 80
contains "size belongs to the picture" err "--width does not apply to dxf (it belongs to dxf --picture); dxf takes only the common options --json, --space-x, --space-y, --vertex-mode"
check "dxf picture too small" 1 "$CLI" dxf "$DATA/dxf/led_grid_r12.dxf" "$WORK/g3.lnf" --picture "$WORK/p.png" --width 2 --height 2
contains "too small message" err "Width or height is too small!"
check "export map" 0 "$CLI" export-map "$WORK/g.lnf" "$WORK/g.map"
size=$(stat -c %s "$WORK/g.map")
# 5 slaves of 12 channels (48 LED channels each for the two wired lines): 12 + 4 x channels.
if [ "$size" -gt 12 ]; then pass=$((pass + 1)); else fail=$((fail + 1)); echo "FAIL: map is $size bytes"; fi
check "export hmc refused" 1 "$CLI" export-hmc "$WORK/e.lnf" "$WORK/e.hmc"
contains "hmc refused message" err "Parameter mistake!"
check "hmc layout" 0 "$CLI" layout new "$WORK/h.lnf" --rows 8 --cols 8
check "hmc wire" 0 "$CLI" layout add "$WORK/h.lnf" --from 0,0 --to 7,0
check "export hmc" 0 "$CLI" export-hmc "$WORK/h.lnf" "$WORK/h.hmc" --colors 0A141E --selected FFFFFF
magic=$(head -c 3 "$WORK/h.hmc")
if [ "$magic" = "QZW" ]; then pass=$((pass + 1)); else fail=$((fail + 1)); echo "FAIL: hmc magic $magic"; fi
check "render" 0 "$CLI" render-layout "$WORK/g.lnf" "$WORK/g.png" --cell 10
png=$(od -An -tx1 -N4 "$WORK/g.png" | tr -d ' ')
if [ "$png" = "89504e47" ]; then pass=$((pass + 1)); else fail=$((fail + 1)); echo "FAIL: not a PNG ($png)"; fi
check "render jpeg" 0 "$CLI" render-layout "$WORK/g.lnf" "$WORK/g.jpeg"
check "render gif" 0 "$CLI" render-layout "$WORK/g.lnf" "$WORK/g.gif"
gif=$(head -c 6 "$WORK/g.gif")
if [ "$gif" = "GIF89a" ] || [ "$gif" = "GIF87a" ]; then pass=$((pass + 1)); else fail=$((fail + 1)); echo "FAIL: not a GIF ($gif)"; fi

finish
