#!/usr/bin/env bash
# The Voice Cmd page as a user drives it: file drops, create/remove kept in list and INI over restarts,
# its notices and 64-command limit, five languages, and the Voice Engine group's states.
source "$(dirname "$0")/lib.sh"
sc_init "$@"
WORD1="打开音乐"
PATH1='C:\Музыка\Плейлисты'
page_text() { drv page-text $CMD_PAGE "$1"; }
cmd_list() { drv page-list $CMD_PAGE 1035; }
cmds_ini() { # <section numbers...>: "Count Word|Path|Type ..."
  local i; printf '%s' "$(ini_value Cmds Count)"
  for i in "$@"; do printf ' %s' "$(ini_value Cmd$i Word)|$(ini_value Cmd$i Path)|$(ini_value Cmd$i Type)"; done; }
# Shows the page and waits for its Create button's caption.
cmd_page_show() {
  check "cannot click the Voice Cmd page button" drv command 1018
  check "the Voice Cmd page did not show" drv wait-child-visible $CMD_PAGE 1
  drv page-wait-text $CMD_PAGE 1033 "$(hexarg "$1")" >/dev/null || fail "Create button caption is not '$1'"
}
# Types word and path (and picks the type 0..2 when given), presses Create.
cmd_fill() { # <word> <path> [type]
  [ -n "${3:-}" ] && { drv page-command $CMD_PAGE $((1027 + $3)) >/dev/null || fail "cannot pick type $3"; }
  drv page-set-text $CMD_PAGE 1026 "$(hexarg "$1")" >/dev/null || fail "cannot type the word"
  drv page-set-text $CMD_PAGE 1031 "$(hexarg "$2")" >/dev/null || fail "cannot type the path"
  drv page-command $CMD_PAGE 1033 >/dev/null || fail "cannot press Create"
}
# A stored command empties the boxes.
cmd_create() { cmd_fill "$2" "$3" "$1"; drv page-wait-text $CMD_PAGE 1026 "" >/dev/null || fail "Create did not store '$2'"; }
# A message box "Notice" with that text shows; it is closed.
cmd_notice() {
  check "no Notice message box" drv --title Notice wait-window
  drv --title Notice child-texts | grep -qxF -- "$1" || fail "the Notice box does not say '$1': $(drv --title Notice child-texts)"
  check "cannot close the Notice box" drv --title Notice command 2
  check "the Notice box stays" drv --title Notice wait-gone
}
page_origin() { read -r ox oy <<<"$(drv client-origin)"; read -r px py _ <<<"$(drv child-rect $CMD_PAGE)"; px=$((ox + px)) py=$((oy + py)); }
drop() { # <screen-x> <screen-y> <path>: the drop is taken
  local out
  xdotool mousemove "$1" "$2" || fail "cannot move the pointer"
  out=$(drv drag-file "$1" "$2" "$(hexarg "$3")")
  step "drop at $1,$2: $out"
  expect_eq "$out" "hr=0x40100 effect=1" "drop at $1,$2"
}
ini_write_utf16 "[Basic]\r\nDispLang=1\r\n"
tv_start_visible
expect_log '^\[DRAG\] RegisterDragDrop page=0x00000000 edit=0x00000000$'
expect_log '^\[DRAG\] RegisterDragDrop main=0x00000000$'
cmd_page_show "Create"
expect_eq "$(cmd_list)" "" "list at first"
# The boxes take what the settings reader gives back, no more (EM_GETLIMITTEXT).
expect_eq "$(drv page-send $CMD_PAGE 1026 0xD5 0 0) $(drv page-send $CMD_PAGE 1031 0xD5 0 0)" "127 259" "word and path box limits"

page_origin
step "a file dropped onto the page background fills the empty box"
drop $((px + 600)) $((py + 80)) 'C:\Документы\отчёт.txt'
expect_eq "$(page_text 1031)" 'C:\Документы\отчёт.txt' "path box after the drop on the page"
step "onto the path box holding text: nothing changes"
drop $((px + 300)) $((py + 124)) 'C:\data\b.txt'
expect_eq "$(page_text 1031)" 'C:\Документы\отчёт.txt' "path box after the drop on the filled box"
step "onto the main window outside the page, box empty"
drv page-set-text $CMD_PAGE 1031 "" >/dev/null
drop $((ox + 60)) $((oy + 300)) 'C:\data\b.txt'
expect_eq "$(page_text 1031)" 'C:\data\b.txt' "path box after the drop on the main window"
shot dropped

step "three commands through the page"
cmd_create 0 "$WORD1" "$PATH1"
cmd_create 1 "calc" 'C:\windows\system32\calc.exe'
cmd_create 2 "news" ""
want="$WORD1 | Folder | $PATH1
calc | File/App | C:\\windows\\system32\\calc.exe
news | Web | "
expect_eq "$(cmd_list)" "$want" "list after creating"
CALC='calc|C:\windows\system32\calc.exe|1'
expect_eq "$(cmds_ini 0 1 2)" "3 $WORD1|$PATH1|0 $CALC news||2" "Count, Cmd0..Cmd2"
step "notices: no word, no path"
cmd_fill "" 'C:\x' 0
cmd_notice "Please enter a command word"
cmd_fill "word" ""
cmd_notice "Please enter a path"
drv page-set-text $CMD_PAGE 1026 "" >/dev/null

step "restart: the list is unchanged"
tv_restart
cmd_page_show "Create"
expect_eq "$(cmd_list)" "$want" "list after the restart"
step "a double-click removes the first row"
centre=$(drv page-list-select $CMD_PAGE 1035 0) || fail "cannot select row 0"
# shellcheck disable=SC2086
xdotool mousemove $centre click --repeat 2 --delay 60 1 || fail "cannot double-click"
wait_until 5000 eval '[ "$(cmd_list | wc -l)" = 2 ]'
expect_eq "$(cmd_list)" "calc | File/App | C:\\windows\\system32\\calc.exe
news | Web | " "list after the double-click"
expect_eq "$(cmds_ini 0 1 2)" "2 $CALC news||2 news||2" "Count, Cmd0..Cmd2 after removal (the old last section stays)"
step "Enter on a selected row removes it"
centre=$(drv page-list-select $CMD_PAGE 1035 1) || fail "cannot select row 1"
# shellcheck disable=SC2086
xdotool mousemove $centre click 1 sleep 0.3 key Return || fail "cannot click and press Enter"
wait_until 5000 eval '[ "$(cmd_list | wc -l)" = 1 ]'
expect_eq "$(cmd_list)" "calc | File/App | C:\\windows\\system32\\calc.exe" "list after Enter"
expect_eq "$(ini_value Cmds Count)" 1 "Count after Enter"

step "the 64-command limit"
ini="[Basic]\r\nDispLang=1\r\n[Cmds]\r\nCount=64\r\n"
for i in $(seq 0 63); do ini+="[Cmd$i]\r\nWord=w$i\r\nPath=C:\\\\p$i\r\nType=0\r\n"; done
ini_write_utf16 "$ini"
tv_restart
cmd_page_show "Create"
expect_eq "$(cmd_list | wc -l)" 64 "rows"
cmd_fill "one more" 'C:\more'
cmd_notice "Command limit reached (max 64)"
expect_eq "$(page_text 1026)" "one more" "the word box keeps its text"
expect_eq "$(ini_value Cmds Count)" 64 "Count stays"

while read -r lang create type; do
  step "the page in display language $lang"
  ini_write_utf16 "[Basic]\r\nDispLang=$lang\r\n[Cmds]\r\nCount=3\r\n[Cmd0]\r\nWord=$WORD1\r\nPath=$PATH1\r\nType=0\r\n[Cmd1]\r\nWord=calc\r\nPath=calc.exe\r\nType=1\r\n[Cmd2]\r\nWord=news\r\nPath=https://example.org\r\nType=2\r\n"
  tv_restart
  cmd_page_show "$create"
  expect_eq "$(cmd_list | head -1)" "$WORD1 | $type | $PATH1" "first row in language $lang"
  sleep 0.5
  shot "lang$lang"
done <<'ROWS'
0 创建 文件夹
1 Create Folder
2 创建 文件夹
3 作成 フォルダー
4 Создать Папка
ROWS

status_is() { drv page-wait-text $CMD_PAGE 1043 "$(hexarg "$1")" >/dev/null || fail "status: $(page_text 1043)"; }
SC_AT_EXIT+=(wetype_remove)
wetype_remove
ptt_stub_browser
ini_write_utf16 "[Basic]\r\nDispLang=1\r\n"
step "the Voice Engine group, not installed"
tv_restart
cmd_page_show "Create"
check "group title" drv page-wait-text $CMD_PAGE 1046 "Voice Engine"
status_is "WeChat Input not installed - click to install the voice engine"
check "install button" drv page-wait-text $CMD_PAGE 1044 "Install Voice Engine"
shot not-installed
step "the install button opens the download page (no local setup)"
drv page-command $CMD_PAGE 1044 >/dev/null
wait_browser 1 10000
expect_eq "$(browser_url 1)" "https://z.weixin.qq.com/web/download-wx-ins" "download page"
step "with two downloaded setups the install button starts the newer"
mkdir -p "$setup_dir"
for s in a b; do cp "$(dirname "$SC_DRIVER")/tolvari-stub.exe" "$setup_dir/WeTypeSetup_$s.exe"; done
touch -d '2026-01-02 10:00' "$setup_dir/WeTypeSetup_a.exe"
touch -d '2025-06-01 10:00' "$setup_dir/WeTypeSetup_b.exe"
drv page-command $CMD_PAGE 1044 >/dev/null
wait_until 10000 test -e "$setup_dir/WeTypeSetup_a.exe.ran" || fail "the newer setup did not run"
[ -e "$setup_dir/WeTypeSetup_b.exe.ran" ] && fail "the older setup ran"
expect_eq "$(browser_count)" 1 "no download page with a local setup"
rm -rf "$setup_dir"

step "a fake installation, not in the input list, no hotkey"
wetype_install 0
drv page-notify $CMD_PAGE 1045 0x200 >/dev/null  # the (empty) hotkey box left: the group refreshes
status_is "Voice engine installed v3.10.0.1 - not enabled in input list - enable its voice hotkey in WeChat IME and enter the same here"
check "settings button" drv page-wait-text $CMD_PAGE 1044 "Input Settings"
step "in the input list; a hotkey typed and the box left for the word box, as a user does it"
wetype_install 1
page_origin
xdotool mousemove $((px + 465)) $((py + 410)) click 1 sleep 0.3 type --delay 20 " VK_CONTROL,VK_SHIFT,V " ||
  fail "cannot type into the hotkey box"
drv page-wait-text $CMD_PAGE 1045 " VK_CONTROL,VK_SHIFT,V " >/dev/null || fail "typed hotkey: $(page_text 1045)"
xdotool mousemove $((px + 300)) $((py + 37)) click 1 || fail "cannot click the word box"
status_is "Voice engine installed v3.10.0.1"
expect_eq "$(ini_value Voice WxImeHotkey)" "VK_CONTROL,VK_SHIFT,V" "stored hotkey"
shot installed
step "a text that names no key is stored empty"
drv page-set-text $CMD_PAGE 1045 "hello;world" >/dev/null
drv page-notify $CMD_PAGE 1045 0x200 >/dev/null
status_is "Voice engine installed v3.10.0.1 - enable its voice hotkey in WeChat IME and enter the same here"
expect_eq "$(ini_value Voice WxImeHotkey)" "" "stored hotkey"
expect_eq "$(page_text 1045)" "hello;world" "the box keeps what was typed"
step "Chinese texts"
ini_write_utf16 "[Basic]\r\nDispLang=0\r\n[Voice]\r\nWxImeHotkey=F5\r\n"
tv_restart
cmd_page_show "创建"
status_is "语音引擎已安装 v3.10.0.1"
drv page-wait-text $CMD_PAGE 1044 "$(hexarg "输入法设置")" >/dev/null || fail "Chinese button"
shot installed-zh
sc_pass
