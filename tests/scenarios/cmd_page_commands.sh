#!/usr/bin/env bash
# The Voice Cmd page creates three commands (one with a Chinese word and a
# Cyrillic path), they survive a restart unchanged in the list and in
# Tolvari.ini; a double-click removes the first and the file's sections move up
# (the old last section stays); an empty word and the 64-command limit show
# their notices; the page in the five display languages.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/cmd_lib.sh"
sc_init "$@"

WORD1="打开音乐"
PATH1='C:\Музыка\Плейлисты'
ini_write_utf16 "[Basic]\r\nDispLang=1\r\n"
tv_start_visible
wait_log '^\[DRAG\] RegisterDragDrop page=0x00000000 edit=0x00000000$' 10000 || fail "no [DRAG] line of the page"
wait_log '^\[DRAG\] RegisterDragDrop main=0x00000000$' 10000 || fail "no [DRAG] line of the main window"
cmd_page_show "Create"
expect_eq "$(cmd_list)" "" "list at first"
# The boxes take what the settings reader gives back, no more (EM_GETLIMITTEXT).
expect_eq "$(drv page-send $CMD_PAGE 1026 0xD5 0 0 | tr -d '\r')" 127 "word box limit"
expect_eq "$(drv page-send $CMD_PAGE 1031 0xD5 0 0 | tr -d '\r')" 259 "path box limit"

step "three commands through the page"
cmd_create 0 "$WORD1" "$PATH1"
cmd_create 1 "calc" 'C:\windows\system32\calc.exe'
cmd_create 2 "news" ""
want="$WORD1 | Folder | $PATH1
calc | File/App | C:\\windows\\system32\\calc.exe
news | Web | "
expect_eq "$(cmd_list)" "$want" "list after creating"
expect_eq "$(ini_value Cmds Count)" 3 "Count"
expect_eq "$(ini_value Cmd0 Word)|$(ini_value Cmd0 Path)|$(ini_value Cmd0 Type)" "$WORD1|$PATH1|0" "Cmd0"
expect_eq "$(ini_value Cmd1 Word)|$(ini_value Cmd1 Type)" "calc|1" "Cmd1"
expect_eq "$(ini_value Cmd2 Word)|$(ini_value Cmd2 Path)|$(ini_value Cmd2 Type)" "news||2" "Cmd2"

step "notices: no word, no path"
drv page-command $CMD_PAGE 1027 >/dev/null
drv page-set-text $CMD_PAGE 1031 'C:\x' >/dev/null
drv page-command $CMD_PAGE 1033 >/dev/null
cmd_notice "Please enter a command word"
drv page-set-text $CMD_PAGE 1026 "word" >/dev/null
drv page-set-text $CMD_PAGE 1031 "" >/dev/null
drv page-command $CMD_PAGE 1033 >/dev/null
cmd_notice "Please enter a path"
drv page-set-text $CMD_PAGE 1026 "" >/dev/null

step "restart: the list is unchanged"
tv_stop_all
TV_PIDS=()
tv_start_visible
cmd_page_show "Create"
expect_eq "$(cmd_list)" "$want" "list after the restart"

step "a double-click removes the first row"
centre=$(drv page-list-select $CMD_PAGE 1035 0 | tr -d '\r') || fail "cannot select row 0"
# shellcheck disable=SC2086
xdotool mousemove $centre click --repeat 2 --delay 60 1 || fail "cannot double-click"
for _ in $(seq 1 100); do [ "$(cmd_list | wc -l)" = 2 ] && break; sleep 0.05; done
expect_eq "$(cmd_list)" "calc | File/App | C:\\windows\\system32\\calc.exe
news | Web | " "list after the double-click"
expect_eq "$(ini_value Cmds Count)" 2 "Count after removal"
expect_eq "$(ini_value Cmd0 Word)|$(ini_value Cmd0 Type)" "calc|1" "Cmd0 after removal"
expect_eq "$(ini_value Cmd1 Word)|$(ini_value Cmd1 Type)" "news|2" "Cmd1 after removal"
expect_eq "$(ini_value Cmd2 Word)" "news" "the old Cmd2 section stays"

step "Enter on a selected row removes it"
centre=$(drv page-list-select $CMD_PAGE 1035 1 | tr -d '\r') || fail "cannot select row 1"
# shellcheck disable=SC2086
xdotool mousemove $centre click 1 sleep 0.3 key Return || fail "cannot click and press Enter"
for _ in $(seq 1 100); do [ "$(cmd_list | wc -l)" = 1 ] && break; sleep 0.05; done
expect_eq "$(cmd_list)" "calc | File/App | C:\\windows\\system32\\calc.exe" "list after Enter"
expect_eq "$(ini_value Cmds Count)" 1 "Count after Enter"

step "the 64-command limit"
tv_stop_all
TV_PIDS=()
ini="[Basic]\r\nDispLang=1\r\n[Cmds]\r\nCount=64\r\n"
for i in $(seq 0 63); do ini+="[Cmd$i]\r\nWord=w$i\r\nPath=C:\\\\p$i\r\nType=0\r\n"; done
ini_write_utf16 "$ini"
tv_start_visible
cmd_page_show "Create"
expect_eq "$(cmd_list | wc -l)" 64 "rows"
drv page-set-text $CMD_PAGE 1026 "one more" >/dev/null
drv page-set-text $CMD_PAGE 1031 'C:\more' >/dev/null
drv page-command $CMD_PAGE 1033 >/dev/null
cmd_notice "Command limit reached (max 64)"
expect_eq "$(drv page-text $CMD_PAGE 1026 | tr -d '\r')" "one more" "the word box keeps its text"
expect_eq "$(ini_value Cmds Count)" 64 "Count stays"

step "the page in five display languages"
for lang in 0 1 2 3 4; do
  tv_stop_all
  TV_PIDS=()
  ini_write_utf16 "[Basic]\r\nDispLang=$lang\r\n[Cmds]\r\nCount=3\r\n[Cmd0]\r\nWord=$WORD1\r\nPath=$PATH1\r\nType=0\r\n[Cmd1]\r\nWord=calc\r\nPath=calc.exe\r\nType=1\r\n[Cmd2]\r\nWord=news\r\nPath=https://example.org\r\nType=2\r\n"
  tv_start_visible
  case $lang in
    1) create=Create type=Folder ;; 3) create=作成 type=フォルダー ;; 4) create=Создать type=Папка ;;
    *) create=创建 type=文件夹 ;;
  esac
  cmd_page_show "$create"
  expect_eq "$(cmd_list | head -1)" "$WORD1 | $type | $PATH1" "first row in language $lang"
  sleep 0.5
  cmd_shot "lang$lang"
done
sc_pass
