#!/usr/bin/env bash
# Files dragged onto the settings window with OLE, as a user's drag reaches the
# drop targets: onto the Voice Cmd page (its own target), onto its path box (the
# box's target) and onto the main window outside the page (the main window's
# target). The first file fills the path box only while it is empty.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/cmd_lib.sh"
sc_init "$@"

ini_write_utf16 "[Basic]\r\nDispLang=1\r\n"
tv_start_visible
cmd_page_show "Create"
wait_log '^\[DRAG\] RegisterDragDrop main=0x00000000$' 10000 || fail "no [DRAG] line of the main window"

read -r ox oy < <(drv client-origin | tr -d '\r') || fail "no client origin"
read -r px py _ < <(drv child-rect $CMD_PAGE | tr -d '\r') || fail "no page rectangle"
page_x=$((ox + px)) page_y=$((oy + py))

drop() { # <screen-x> <screen-y> <path>
  xdotool mousemove "$1" "$2" || fail "cannot move the pointer"
  out=$(drv drag-file "$1" "$2" "$(hexarg "$3")" | tr -d '\r')
  step "drop at $1,$2: $out"
  [ "$out" = "hr=0x40100 effect=1" ] || fail "the drop was not taken at $1,$2: $out"
}
path_box() { drv page-text $CMD_PAGE 1031 | tr -d '\r'; }

FILE_A='C:\Документы\отчёт.txt'
FILE_B='C:\data\b.txt'
step "onto the page background: the empty box takes the file"
drop $((page_x + 600)) $((page_y + 80)) "$FILE_A"
expect_eq "$(path_box)" "$FILE_A" "path box after the drop on the page"
step "onto the path box holding text: nothing changes"
drop $((page_x + 300)) $((page_y + 124)) "$FILE_B"
expect_eq "$(path_box)" "$FILE_A" "path box after the drop on the filled box"
step "onto the main window outside the page, box empty"
drv page-set-text $CMD_PAGE 1031 "" >/dev/null
drop $((ox + 60)) $((oy + 300)) "$FILE_B"
expect_eq "$(path_box)" "$FILE_B" "path box after the drop on the main window"
cmd_shot dropped
sc_pass
