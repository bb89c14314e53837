#!/usr/bin/env bash
# End-to-end tests of the message language: with --lang 1 (Simplified Chinese) and --lang 2
# (Traditional Chinese) every message on stderr is in that one language, the command line's own
# messages as much as the program's texts; with --lang 3 they stay English. Each case checks the
# exit code, a Chinese text it expects and that no English word is left in the message.
set -u
CLI="$(realpath "$1")"
DATA="$(realpath "$2")"
source "$(dirname "$0")/../checks.sh"
export CORVANTINE_HOME="$WORK/home"
cd "$WORK" || exit 1

lacks() {  # lacks NAME FILE TEXT: TEXT must not be in the file
  if grep -qF -- "$3" "$WORK/$2"; then
    fail=$((fail + 1))
    echo "FAIL: $1: \"$3\" in $2:"
    cat "$WORK/$2"
  else
    pass=$((pass + 1))
  fi
}

# no_english NAME [ALLOWED...]: the message lines of stderr hold no English word (a run of 4 or
# more ASCII letters) once the "corvantine-cli COMMAND: " prefix, option names, file names, the
# system's reason and the ALLOWED words (fixed technical words) are taken out.
no_english() {
  local name="$1"
  shift
  local lines text w
  lines=$(grep '^corvantine-cli' "$WORK/err")
  text=$(printf '%s\n' "$lines" | sed -E \
    -e 's/^corvantine-cli[a-z -]*: //' \
    -e 's/--[a-z][a-z-]*//g' \
    -e 's#[^ :"()]*\.(cvn|lnf|dxf|led|mde|rar|png|map)##g' \
    -e 's/No such file or directory//g')
  for w in "$@"; do
    text=${text//"$w"/}
  done
  if [ -z "$lines" ]; then
    fail=$((fail + 1))
    echo "FAIL: $name: no message on stderr"
  elif printf '%s\n' "$text" | grep -qE '[A-Za-z]{4,}'; then
    fail=$((fail + 1))
    echo "FAIL: $name: English left in the message:"
    printf '%s\n' "$text" | grep -E '[A-Za-z]{4,}'
  else
    pass=$((pass + 1))
  fi
}

# no_chinese NAME: stderr is plain ASCII (English only).
no_chinese() {
  if LC_ALL=C grep -q $'[\x80-\xff]' "$WORK/err"; then
    fail=$((fail + 1))
    echo "FAIL: $1: non-English text on stderr:"
    cat "$WORK/err"
  else
    pass=$((pass + 1))
  fi
}

# no_simplified NAME: none of these Simplified characters is left in Traditional output.
no_simplified() {
  local c
  for c in 为 范 围 网 个 选 项 开 败 图 纸 没 数 块 记 录 导 单 误 间 减 帧 后; do
    if grep -qF -- "$c" "$WORK/err"; then
      fail=$((fail + 1))
      echo "FAIL: $1: Simplified \"$c\" in Traditional output:"
      cat "$WORK/err"
      return
    fi
  done
  pass=$((pass + 1))
}

# The files the cases work on.
"$CLI" new-project a.cvn --width 4 --height 3 --frames 2 >/dev/null
"$CLI" layout new l.lnf --rows 2 --cols 3 >/dev/null
"$CLI" layout add l.lnf --from 0,0 --to 2,0 >/dev/null
: >empty.dxf
printf '\0\1' >cut.mde
cp l.lnf outside.lnf
# The first point of line 1 sits right after the line count: move it far outside the 2 x 3 grid.
printf '\xff\xff\xff\xff' | dd of=outside.lnf bs=1 seek=28 conv=notrunc 2>/dev/null
"$CLI" output a.cvn --lines l.lnf --out five.led --card none --seed 3 >/dev/null
cp five.led claim.led
printf '\x00\x00\x00\xf0' | dd of=claim.led bs=1 seek=8 conv=notrunc 2>/dev/null

for lang in 1 2; do
  if [ "$lang" = 1 ]; then
    t_range="--rows 的取值范围为 1..65535"
    t_option="未知选项 --bogus"
    t_integer="选项 --width 需要一个整数, 而不是 \"q\""
    t_frames="参数错误！ (--first 和 --last 取第 1..2 帧, 起始帧不能在结束帧之后)"
    t_open="打开文件失败! missing/l.lnf: No such file or directory"
    t_dxf="empty.dxf: 不是 DXF 图纸 (没有 ENTITIES 段)"
    t_grid="5000 行 x 5000 列的网格有 25000000 个单元格; 程序最多支持 16777216 个单元格"
    t_shared="警告: 按每格 100000 x 100000 个图纸单位, 32 个 LED 中有 32 个与其他 LED 共用一个单元格"
    t_outside="警告: outside.lnf 中有 1 个 LED 位于其 2 x 3 网格之外"
    t_module="cut.mde: 第 1 个模块记录不完整; 未导入任何模块"
    t_block="此版本LED文件不支持! (claim.led: 帧块大小"
    t_command="未知命令 \"frob\""
    t_doc_type="类型:        工程文档"
    t_doc_frames=": 4 x 3, 2 帧"
    t_slave="  1: 灯具 0 (RGB), 芯片 3 (有使能), 时钟 "
    t_led="帧块大小:    "
    t_checksum="校验和正确"
    t_lamp="0: RGB (3 个引脚) R1G1B1  [内置]"
    t_scope="--blocks 不适用于 --mode jalousie --style 1 (它属于 --mode other --style 4)"
  else
    t_range="--rows 的取值範圍爲 1..65535"
    t_option="未知選項 --bogus"
    t_integer="選項 --width 需要一個整數, 而不是 \"q\""
    t_frames="參數錯誤！ (--first 和 --last 取第 1..2 幀, 起始幀不能在結束幀之後)"
    t_open="打開文件失敗! missing/l.lnf: No such file or directory"
    t_dxf="empty.dxf: 不是 DXF 圖紙 (沒有 ENTITIES 段)"
    t_grid="5000 行 x 5000 列的網格有 25000000 個單元格; 程序最多支持 16777216 個單元格"
    t_shared="警告: 按每格 100000 x 100000 個圖紙單位, 32 個 LED 中有 32 個與其他 LED 共用一個單元格"
    t_outside="警告: outside.lnf 中有 1 個 LED 位於其 2 x 3 網格之外"
    t_module="cut.mde: 第 1 個模塊記錄不完整; 未導入任何模塊"
    t_block="此版本LED文件不支持! (claim.led: 幀塊大小"
    t_command="未知命令 \"frob\""
    t_doc_type="類型:        工程文檔"
    t_doc_frames=": 4 x 3, 2 幀"
    t_slave="  1: 燈具 0 (RGB), 芯片 3 (有使能), 時鐘 "
    t_led="幀塊大小:    "
    t_checksum="校驗和正確"
    t_lamp="0: RGB (3 個引腳) R1G1B1  [內置]"
    t_scope="--blocks 不適用於 --mode jalousie --style 1 (它屬於 --mode other --style 4)"
  fi
  L="--lang $lang"

  # shellcheck disable=SC2086
  check "$L range" 2 "$CLI" $L layout new x.lnf --rows 0 --cols 3
  contains "$L range text" err "corvantine-cli layout new: $t_range"
  no_english "$L range"
  [ "$lang" = 2 ] && no_simplified "$L range"

  # shellcheck disable=SC2086
  check "$L unknown option" 2 "$CLI" $L layout new x.lnf --rows 2 --cols 2 --bogus
  contains "$L unknown option text" err "corvantine-cli layout: $t_option"
  contains "$L usage reminder" err "用法: corvantine-cli layout new OUT.lnf"
  lacks "$L usage lead-in" err "Usage:"
  no_english "$L unknown option"
  [ "$lang" = 2 ] && no_simplified "$L unknown option"

  # shellcheck disable=SC2086
  check "$L not an integer" 2 "$CLI" $L new-project x.cvn --width q --height 2
  contains "$L not an integer text" err "$t_integer"
  no_english "$L not an integer"

  # shellcheck disable=SC2086
  check "$L frame range" 2 "$CLI" $L append-frames a.cvn a.cvn --first 2 --last 9
  contains "$L frame range text" err "$t_frames"
  no_english "$L frame range"
  [ "$lang" = 2 ] && no_simplified "$L frame range"

  # shellcheck disable=SC2086
  check "$L missing file" 1 "$CLI" $L export-map missing/l.lnf m.map
  contains "$L missing file text" err "$t_open"
  no_english "$L missing file"

  # shellcheck disable=SC2086
  check "$L refused DXF" 1 "$CLI" $L dxf empty.dxf e.lnf
  contains "$L refused DXF text" err "$t_dxf"
  no_english "$L refused DXF" ENTITIES
  [ "$lang" = 2 ] && no_simplified "$L refused DXF"

  # shellcheck disable=SC2086
  check "$L huge grid" 2 "$CLI" $L layout new x.lnf --rows 5000 --cols 5000
  contains "$L huge grid text" err "$t_grid"
  no_english "$L huge grid"
  [ "$lang" = 2 ] && no_simplified "$L huge grid"
  if [ -e x.lnf ]; then fail=$((fail + 1)); echo "FAIL: $L huge grid wrote x.lnf"; else pass=$((pass + 1)); fi

  # shellcheck disable=SC2086
  check "$L shared cells warning" 0 "$CLI" $L dxf "$DATA/dxf/led_grid_r12.dxf" w.lnf --space-x 100000 --space-y 100000
  contains "$L shared cells text" err "corvantine-cli dxf: $t_shared"
  no_english "$L shared cells warning"
  [ "$lang" = 2 ] && no_simplified "$L shared cells warning"

  # shellcheck disable=SC2086
  check "$L outside warning" 0 "$CLI" $L export-map outside.lnf o.map
  contains "$L outside text" err "corvantine-cli export-map: $t_outside"
  no_english "$L outside warning"

  # Reasons handed up by the engine come in the same language.
  # shellcheck disable=SC2086
  check "$L damaged module file" 1 "$CLI" $L module import cut.mde
  contains "$L damaged module text" err "$t_module"
  no_english "$L damaged module file"
  [ "$lang" = 2 ] && no_simplified "$L damaged module file"

  # shellcheck disable=SC2086
  check "$L block size claim" 1 "$CLI" $L import-led claim.led --lines l.lnf --into a.cvn
  contains "$L block size text" err "$t_block"
  no_english "$L block size claim"

  # shellcheck disable=SC2086
  check "$L unknown command" 2 "$CLI" $L frob
  contains "$L unknown command text" err "corvantine-cli: $t_command"
  no_english "$L unknown command" frob

  # An option of another mode is refused in the language too.
  # shellcheck disable=SC2086
  check "$L option of another mode" 2 "$CLI" $L generate a.cvn --mode jalousie --style 1 --blocks 2
  contains "$L option of another mode text" err "$t_scope"
  [ "$lang" = 2 ] && no_simplified "$L option of another mode"

  # The reports' labels follow the language; names, numbers and the --json keys stay as they are.
  # shellcheck disable=SC2086
  check "$L info document" 0 "$CLI" $L info a.cvn
  contains "$L document labels" out "$t_doc_type"
  contains "$L document frames" out "$t_doc_frames"
  lacks "$L no English document label" out "Type:"
  lacks "$L no English frames" out " frames"
  # shellcheck disable=SC2086
  check "$L info line file" 0 "$CLI" $L info l.lnf
  contains "$L slave labels and names" out "$t_slave"
  lacks "$L no English slave label" out "Slaves:"
  # shellcheck disable=SC2086
  check "$L info controller file" 0 "$CLI" $L info five.led
  contains "$L controller file labels" out "$t_led"
  contains "$L checksum word" out "$t_checksum"
  lacks "$L no English controller label" out "Block size:"
  # shellcheck disable=SC2086
  check "$L lamp list" 0 "$CLI" $L lamp list
  contains "$L lamp list labels" out "$t_lamp"
  # shellcheck disable=SC2086
  check "$L info json" 0 "$CLI" $L info --json l.lnf
  contains "$L json keys and names stay English" out '"lightTypeName":"RGB","icTypeName":"HasEnable"}'
  lacks "$L json has no Chinese chip name" out "有使能"
done

# --- English stays English, word for word. ---
check "--lang 3 range" 2 "$CLI" --lang 3 layout new x.lnf --rows 0 --cols 3
contains "--lang 3 range text" err "corvantine-cli layout new: --rows takes 1..65535"
no_chinese "--lang 3 range"
check "--lang 3 unknown option" 2 "$CLI" --lang 3 layout new x.lnf --rows 2 --cols 2 --bogus
contains "--lang 3 unknown option text" err "corvantine-cli layout: unknown option --bogus"
contains "--lang 3 usage reminder" err "Usage: corvantine-cli layout new OUT.lnf"
no_chinese "--lang 3 unknown option"
check "--lang 3 missing file" 1 "$CLI" --lang 3 export-map missing/l.lnf m.map
contains "--lang 3 missing file text" err "Open file fail! missing/l.lnf: No such file or directory"
no_chinese "--lang 3 missing file"
check "--lang 3 refused DXF" 1 "$CLI" --lang 3 dxf empty.dxf e.lnf
contains "--lang 3 refused DXF text" err "empty.dxf: not a DXF drawing (it has no ENTITIES section)"
no_chinese "--lang 3 refused DXF"
check "--lang 3 huge grid" 2 "$CLI" --lang 3 layout new x.lnf --rows 5000 --cols 5000
contains "--lang 3 huge grid text" err \
  "a grid of 5000 rows x 5000 cols has 25000000 cells; the program takes at most 16777216 cells and 65535 rows or cols"
no_chinese "--lang 3 huge grid"
check "--lang 3 warning" 0 "$CLI" --lang 3 dxf "$DATA/dxf/led_grid_r12.dxf" w.lnf --space-x 100000 --space-y 100000
contains "--lang 3 warning text" err \
  "corvantine-cli dxf: warning: 32 of 32 LEDs share a cell with another LED at 100000 x 100000 drawing units a cell"
no_chinese "--lang 3 warning"
check "--lang 3 damaged module file" 1 "$CLI" --lang 3 module import cut.mde
contains "--lang 3 damaged module text" err "cut.mde: module record 1 is cut short; nothing was imported"
no_chinese "--lang 3 damaged module file"
check "--lang 3 info line file" 0 "$CLI" --lang 3 info l.lnf
contains "--lang 3 labels" out "Type:        line file, version 3"
contains "--lang 3 slave named" out "  1: lamp 0 (RGB), chip 3 (HasEnable), clock "
check "--lang 3 info document" 0 "$CLI" --lang 3 info a.cvn
contains "--lang 3 document labels" out "Type:        project document"
contains "--lang 3 document frames" out ": 4 x 3, 2 frames"
check "default is English" 2 "$CLI" layout new x.lnf --rows 0 --cols 3
contains "default text" err "corvantine-cli layout new: --rows takes 1..65535"
no_chinese "default is English"

finish
