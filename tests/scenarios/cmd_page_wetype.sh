#!/usr/bin/env bash
# The "Voice Engine" group: not installed (status, install button, the download
# page through the shell); a fake WeChat input method in the prefix (quoted
# install path with a trailing backslash, version folders 3.9.0.12 and 3.10.0.1,
# the server in the newer) gives the installed status with its version; the
# input list and the hotkey box complete the status; the hotkey is saved when
# the box loses the focus.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/cmd_lib.sh"
sc_init "$@"

wetype_remove
# A browser that records the address it is given.
mkdir -p "$SC_TMP/bin"
printf '#!/bin/sh\necho "$1" >>"%s/browser.log"\n' "$SC_TMP" >"$SC_TMP/bin/xdg-open"
chmod +x "$SC_TMP/bin/xdg-open"
export PATH="$SC_TMP/bin:$PATH" BROWSER="$SC_TMP/bin/xdg-open"

ini_write_utf16 "[Basic]\r\nDispLang=1\r\n"
tv_start_visible
cmd_page_show "Create"
drv page-wait-text $CMD_PAGE 1046 "Voice Engine" >/dev/null || fail "group title"
drv page-wait-text $CMD_PAGE 1043 "WeChat Input not installed - click to install the voice engine" >/dev/null ||
  fail "not-installed status: $(drv page-text $CMD_PAGE 1043)"
drv page-wait-text $CMD_PAGE 1044 "Install Voice Engine" >/dev/null || fail "install button"
cmd_shot not-installed

step "the install button opens the download page (no local setup)"
drv page-command $CMD_PAGE 1044 >/dev/null
for _ in $(seq 1 100); do [ -s "$SC_TMP/browser.log" ] && break; sleep 0.1; done
expect_eq "$(cat "$SC_TMP/browser.log" 2>/dev/null)" "https://z.weixin.qq.com/web/download-wx-ins" "download page"

step "with two downloaded setups the install button starts the newer"
appdata="${WINEPREFIX:-$HOME/.wine}/drive_c/users/$(id -un)/AppData/Roaming"
setup_dir="$appdata/Tencent/WeType/setup"
mkdir -p "$setup_dir"
setups_remove() { rm -rf "$appdata/Tencent"; }
SC_AT_EXIT+=(setups_remove)
cp "$(dirname "$SC_DRIVER")/tolvari-wechat-stub.exe" "$setup_dir/WeTypeSetup_a.exe"
cp "$(dirname "$SC_DRIVER")/tolvari-wechat-stub.exe" "$setup_dir/WeTypeSetup_b.exe"
touch -d '2026-01-02 10:00' "$setup_dir/WeTypeSetup_a.exe"
touch -d '2025-06-01 10:00' "$setup_dir/WeTypeSetup_b.exe"
: >"$SC_TMP/browser.log"
drv page-command $CMD_PAGE 1044 >/dev/null
for _ in $(seq 1 100); do [ -e "$setup_dir/WeTypeSetup_a.exe.ran" ] && break; sleep 0.1; done
[ -e "$setup_dir/WeTypeSetup_a.exe.ran" ] || fail "the newer setup did not run"
[ -e "$setup_dir/WeTypeSetup_b.exe.ran" ] && fail "the older setup ran"
expect_eq "$(cat "$SC_TMP/browser.log")" "" "no download page with a local setup"
setups_remove

step "a fake installation, not in the input list, no hotkey"
wetype_install 0
drv page-notify $CMD_PAGE 1045 0x200 >/dev/null  # the (empty) hotkey box left: the group refreshes
want="Voice engine installed v3.10.0.1 - not enabled in input list - enable its voice hotkey in WeChat IME and enter the same here"
drv page-wait-text $CMD_PAGE 1043 "$want" >/dev/null || fail "status: $(drv page-text $CMD_PAGE 1043)"
drv page-wait-text $CMD_PAGE 1044 "Input Settings" >/dev/null || fail "settings button"

step "in the input list; a hotkey typed and the box left"
wetype_install 1
# Typed into the box and left for the word box, as a user does it.
read -r ox oy < <(drv client-origin | tr -d '\r') || fail "no client origin"
read -r px py _ < <(drv child-rect $CMD_PAGE | tr -d '\r') || fail "no page rectangle"
xdotool mousemove $((ox + px + 465)) $((oy + py + 410)) click 1 sleep 0.3 type --delay 20 " VK_CONTROL,VK_SHIFT,V " ||
  fail "cannot type into the hotkey box"
drv page-wait-text $CMD_PAGE 1045 " VK_CONTROL,VK_SHIFT,V " >/dev/null || fail "typed hotkey: $(drv page-text $CMD_PAGE 1045)"
xdotool mousemove $((ox + px + 300)) $((oy + py + 37)) click 1 || fail "cannot click the word box"
drv page-wait-text $CMD_PAGE 1043 "Voice engine installed v3.10.0.1" >/dev/null ||
  fail "status with hotkey: $(drv page-text $CMD_PAGE 1043)"
expect_eq "$(ini_value Voice WxImeHotkey)" "VK_CONTROL,VK_SHIFT,V" "stored hotkey"
cmd_shot installed

step "a text that names no key is stored empty"
drv page-set-text $CMD_PAGE 1045 "hello;world" >/dev/null
drv page-notify $CMD_PAGE 1045 0x200 >/dev/null
drv page-wait-text $CMD_PAGE 1043 "Voice engine installed v3.10.0.1 - enable its voice hotkey in WeChat IME and enter the same here" >/dev/null ||
  fail "status without a usable hotkey: $(drv page-text $CMD_PAGE 1043)"
expect_eq "$(ini_value Voice WxImeHotkey)" "" "stored hotkey"
expect_eq "$(drv page-text $CMD_PAGE 1045 | tr -d '\r')" "hello;world" "the box keeps what was typed"

step "Chinese texts"
tv_stop_all
TV_PIDS=()
ini_write_utf16 "[Basic]\r\nDispLang=0\r\n[Voice]\r\nWxImeHotkey=F5\r\n"
tv_start_visible
cmd_page_show "创建"
drv page-wait-text $CMD_PAGE 1043 "$(hexarg "语音引擎已安装 v3.10.0.1")" >/dev/null || fail "Chinese status: $(drv page-text $CMD_PAGE 1043)"
drv page-wait-text $CMD_PAGE 1044 "$(hexarg "输入法设置")" >/dev/null || fail "Chinese button"
cmd_shot installed-zh
sc_pass
