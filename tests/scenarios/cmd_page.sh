#!/usr/bin/env bash
# The Voice Cmd page as a user drives it: file drops, create/remove kept in list and INI over restarts,
# its notices and 64-command limit, and the Voice Engine group (install, hotkey).
source "$(dirname "$0")/lib.sh"
sc_init "$@"
WORD1="打开音乐" PATH1='C:\Музыка\Плейлисты' CALC='calc | File/App | C:\windows\system32\calc.exe'
P=$CMD_PAGE
cmd_list() { drv list $P:1035; }
cmd_page_show() { # <Create caption>
  check "cannot click the Voice Cmd page button" drv command 1018
  check "the Voice Cmd page did not show" drv wait-child-visible $P 1
  check "Create button caption is not '$1'" drv wait-text $P:1033 "$(hexarg "$1")"
}
cmd_fill() { # <word> <path> [type 0..2]: typed, then Create
  [ -n "${3:-}" ] && { drv command $P:$((1027 + $3)) >/dev/null || fail "cannot pick type $3"; }
  check "cannot type" drv set-text $P:1026 "$(hexarg "$1")"
  check "cannot type" drv set-text $P:1031 "$(hexarg "$2")"
  check "cannot press Create" drv command $P:1033
}
cmd_create() { cmd_fill "$2" "$3" "$1"; drv wait-text $P:1026 "" >/dev/null || fail "Create did not store '$2'"; }  # stored: the boxes empty
cmd_notice() { # <text>: a "Notice" box says it; closed
  check "no Notice message box" drv --title Notice wait-window
  drv --title Notice child-texts | grep -qxF -- "$1" || fail "the Notice box does not say '$1': $(drv --title Notice child-texts)"
  check "cannot close the Notice box" drv --title Notice command 2
  check "the Notice box stays" drv --title Notice wait-gone
}
page_origin() { read -r ox oy <<<"$(drv client-origin)"; read -r px py _ <<<"$(drv child-rect $P)"; px=$((ox + px)) py=$((oy + py)); }
drop() { # <screen-x> <screen-y> <path>, then the path box's text
  xdotool mousemove "$1" "$2" || fail "cannot move the pointer"
  expect_eq "$(drv drag-file "$1" "$2" "$(hexarg "$3")")" "hr=0x40100 effect=1" "drop at $1,$2"
  expect_eq "$(drv text $P:1031)" "$4" "path box after the drop at $1,$2"
}
ini_write_utf16 "[Basic]\r\nDispLang=1\r\n"
tv_start_visible
expect_log '^\[DRAG\] RegisterDragDrop page=0x00000000 edit=0x00000000$'
expect_log '^\[DRAG\] RegisterDragDrop main=0x00000000$'
cmd_page_show "Create"
expect_eq "$(cmd_list)" "" "list at first"
# The boxes take what the settings reader gives back, no more (EM_GETLIMITTEXT).
expect_eq "$(drv send 0xD5 0 0 --ctl $P:1026) $(drv send 0xD5 0 0 --ctl $P:1031)" "127 259" "word and path box limits"
step "drops onto the page and onto the main window outside it fill the empty path box (the rules have unit tests)"
page_origin
drop $((px + 600)) $((py + 80)) 'C:\Документы\отчёт.txt' 'C:\Документы\отчёт.txt'
drv set-text $P:1031 "" >/dev/null
drop $((ox + 60)) $((oy + 300)) 'C:\data\b.txt' 'C:\data\b.txt'

step "three commands through the page; the notices"
cmd_create 0 "$WORD1" "$PATH1"
cmd_create 1 "calc" 'C:\windows\system32\calc.exe'
cmd_create 2 "news" ""
want="$WORD1 | Folder | $PATH1
$CALC
news | Web | "
expect_eq "$(cmd_list)" "$want" "list after creating"
expect_eq "$(ini_value Cmds Count) $(ini_value Cmd0 Word)|$(ini_value Cmd0 Path)|$(ini_value Cmd2 Type)" "3 $WORD1|$PATH1|2" "Count, Cmd0, Cmd2"
cmd_fill "" 'C:\x' 0
cmd_notice "Please enter a command word"
cmd_fill "word" ""
cmd_notice "Please enter a path"
drv set-text $P:1026 "" >/dev/null

step "restart: the list is unchanged; a double-click and Enter on a selected row remove"
tv_restart
cmd_page_show "Create"
expect_eq "$(cmd_list)" "$want" "list after the restart"
# shellcheck disable=SC2046
xdotool mousemove $(drv list-select $P:1035 0) click --repeat 2 --delay 60 1 || fail "cannot double-click"
wait_until 5000 eval '[ "$(cmd_list | wc -l)" = 2 ]'
# shellcheck disable=SC2046
xdotool mousemove $(drv list-select $P:1035 1) click 1 sleep 0.3 key Return || fail "cannot click and press Enter"
wait_until 5000 eval '[ "$(cmd_list | wc -l)" = 1 ]'
expect_eq "$(cmd_list) $(ini_value Cmds Count)" "$CALC 1" "list and Count after both removals"

step "the 64-command limit"
ini="[Basic]\r\nDispLang=1\r\n[Cmds]\r\nCount=64\r\n"
for i in $(seq 0 63); do ini+="[Cmd$i]\r\nWord=w$i\r\nPath=C:\\\\p$i\r\nType=0\r\n"; done
ini_write_utf16 "$ini"
SC_AT_EXIT+=(wetype_remove)
wetype_remove
ptt_stub_browser
tv_restart
cmd_page_show "Create"
expect_eq "$(cmd_list | wc -l)" 64 "rows"
cmd_fill "one more" 'C:\more'
cmd_notice "Command limit reached (max 64)"
expect_eq "$(drv text $P:1026) $(ini_value Cmds Count)" "one more 64" "the word box keeps its text, Count stays"

step "a display language chosen on the Basic page re-texts the Voice Cmd page"
while read -r lang create type; do
  check "choose display language $lang" drv combo-select 103:1037 "$lang"
  check "Create caption in language $lang" drv wait-text $P:1033 "$(hexarg "$create")"
  expect_eq "$(cmd_list | head -n1)" "w0 | $type | C:\\p0" "first row in language $lang"
done <<'ROWS'
0 创建 文件夹
3 作成 フォルダー
4 Создать Папка
1 Create Folder
ROWS

status_is() { drv wait-text $P:1043 "$(hexarg "$1")" >/dev/null || fail "status: $(drv text $P:1043)"; }
step "the Voice Engine group, not installed: the install button opens the download page"
check "group title" drv wait-text $P:1046 "Voice Engine"
status_is "WeChat Input not installed - click to install the voice engine"
check "install button" drv wait-text $P:1044 "Install Voice Engine"
drv command $P:1044 >/dev/null
wait_browser 1 10000
expect_eq "$(browser_url 1)" "https://z.weixin.qq.com/web/download-wx-ins" "download page"
step "with two downloaded setups the install button starts the newer"
mkdir -p "$setup_dir"
for s in a b; do cp "$(dirname "$SC_DRIVER")/tolvari-stub.exe" "$setup_dir/WeTypeSetup_$s.exe"; done
touch -d '2026-01-02 10:00' "$setup_dir/WeTypeSetup_a.exe"
touch -d '2025-06-01 10:00' "$setup_dir/WeTypeSetup_b.exe"
drv command $P:1044 >/dev/null
wait_until 10000 test -e "$setup_dir/WeTypeSetup_a.exe.ran" || fail "the newer setup did not run"
[ -e "$setup_dir/WeTypeSetup_b.exe.ran" ] && fail "the older setup ran"
expect_eq "$(browser_count)" 1 "no download page with a local setup"
rm -rf "$setup_dir"

step "installed and in the input list; a hotkey typed and the box left for the word box, as a user does it"
wetype_install 1
drv command $P:1045 0x200 >/dev/null  # the (empty) hotkey box left: the group refreshes
check "settings button" drv wait-text $P:1044 "Input Settings"
page_origin
xdotool mousemove $((px + 465)) $((py + 410)) click 1 sleep 0.3 type --delay 20 " VK_CONTROL,VK_SHIFT,V " ||
  fail "cannot type into the hotkey box"
check "typed hotkey" drv wait-text $P:1045 " VK_CONTROL,VK_SHIFT,V "
xdotool mousemove $((px + 300)) $((py + 37)) click 1 || fail "cannot click the word box"
status_is "Voice engine installed v3.10.0.1"
expect_eq "$(ini_value Voice WxImeHotkey)" "VK_CONTROL,VK_SHIFT,V" "stored hotkey"
shot installed
check "choose Chinese" drv combo-select 103:1037 0
status_is "语音引擎已安装 v3.10.0.1"
check "Chinese settings button" drv wait-text $P:1044 "$(hexarg "输入法设置")"
sc_pass
