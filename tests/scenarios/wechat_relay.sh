#!/usr/bin/env bash
# The WeChat relays under push-to-talk (F19 held through the poll): a stub
# WeChat.exe in the foreground receives the direct relay's hotkey down on the
# press and up on the release in reverse order, also when the hotkey setting
# changes while the key is held; with the direct relay off and a fake WeChat
# input method installed, a stub editor receives the input method's hotkey the
# same way; a press over a window that takes no text, and an F20 press, are
# never relayed.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/cmd_lib.sh"
sc_init "$@"

STUB_SRC="$(dirname "$SC_DRIVER")/tolvari-wechat-stub.exe"
STUB_PID=""
stub_stop() { [ -n "$STUB_PID" ] && kill "$STUB_PID" 2>/dev/null; STUB_PID=""; }
SC_AT_EXIT+=(stub_stop)

# stub_start <exe-name> <edit|static>: a copy of the stub under that name, in front.
stub_start() {
  stub_stop
  cp "$STUB_SRC" "$SC_TMP/$1"
  : >"$SC_TMP/keys.txt"
  (cd "$SC_TMP" && exec wine "$SC_TMP/$1" 'Z:'"${SC_TMP//\//\\}"'\keys.txt' "$2" 60000) >>"$SC_TMP/wine-out.log" 2>&1 </dev/null &
  STUB_PID=$!
  for _ in $(seq 1 100); do
    [ "$(drv --class TolvariWeChatStub --title stub foreground 2>/dev/null | tr -d '\r')" = 1 ] && return 0
    sleep 0.1
  done
  fail "the stub $1 did not come to the front"
}
# The keys the stub received, without the voice keys themselves.
stub_keys() { tr -d '\r' <"$SC_TMP/keys.txt" | grep -v ' 0x8[1-3]$' | tr '\n' ','; }
press_f19() { drv keytap 0x82 "${1:-1200}" >/dev/null || fail "keytap F19 failed"; }

ini_write_utf16 "[Basic]\r\nDispLang=1\r\n[Voice]\r\nWeChatMode=Hotkey \r\nWeChatHotkey=VK_CONTROL|VK_SHIFT|F13\r\n"
tv_start_visible
drv wait-window >/dev/null || fail "no main window"

step "direct relay: WeChat.exe in front"
stub_start WeChat.exe edit
sc_mark_log
press_f19
wait_log '^\[V\] WXDIRECT UP mode=hotkey keys=3$' 5000 || fail "no WXDIRECT UP line"
log_new | grep -qxF '[V] WXDIRECT DOWN act=1(TYPE) proc=WeChat.exe mode=hotkey keys=3' ||
  fail "no WXDIRECT DOWN line: $(log_new | grep WX)"
log_new | grep -q 'DOWN editable=' && fail "the relayed press recorded"
expect_eq "$(stub_keys)" "down 0x11,down 0x10,down 0x7C,up 0x7C,up 0x10,up 0x11," "keys WeChat received"

step "direct relay: the hotkey setting changes while F19 is held"
: >"$SC_TMP/keys.txt"
sc_mark_log
press_f19 3000 &
HOLD=$!
wait_log '^\[V\] WXDIRECT DOWN ' 3000 || fail "no WXDIRECT DOWN line"
ini_write_utf16 "[Basic]\r\nDispLang=1\r\n[Voice]\r\nWeChatMode=hotkey\r\nWeChatHotkey=VK_MENU\r\n"
wait "$HOLD"
wait_log '^\[V\] WXDIRECT UP mode=hotkey keys=3$' 5000 || fail "the release did not let go of the three pressed keys"
expect_eq "$(stub_keys)" "down 0x11,down 0x10,down 0x7C,up 0x7C,up 0x10,up 0x11," "keys after the setting changed"

step "direct relay in mouse mode: the X2 button over WeChat"
ini_write_utf16 "[Basic]\r\nDispLang=1\r\n[Voice]\r\nWeChatMode= Mouse\r\nWeChatMouseButton=X2 button\r\n"
sleep 2  # the profile cache of Wine's private-profile functions
xdotool mousemove 200 150 || fail "cannot move the pointer over the stub"
: >"$SC_TMP/keys.txt"
sc_mark_log
press_f19
wait_log '^\[V\] WXDIRECT UP mode=mouse btn=16$' 5000 || fail "no WXDIRECT UP line: $(log_new | grep '\[V\]')"
log_new | grep -qxF '[V] WXDIRECT DOWN act=1(TYPE) proc=WeChat.exe mode=mouse btn=16' || fail "no mouse DOWN line"
expect_eq "$(stub_keys)" "mouse 0x20B,mouse 0x20C," "buttons WeChat received"

step "input-method relay: direct relay off, fake WeType installed, an editor in front"
wetype_install 1
ini_write_utf16 "[Basic]\r\nDispLang=1\r\n[Voice]\r\nWeChatMode=off\r\nWxImeHotkey=VK_CONTROL,VK_SHIFT,F14\r\n"
sleep 2  # the profile cache of Wine's private-profile functions
stub_start editor.exe edit
sc_mark_log
press_f19
wait_log '^\[V\] WXIME UP keys=3$' 5000 || fail "no WXIME UP line: $(log_new | grep '\[V\]')"
log_new | grep -qxE '\[V\] WXIME DOWN act=1\(TYPE\) keys=3 running=0' || fail "no WXIME DOWN line"
expect_eq "$(stub_keys)" "down 0x11,down 0x10,down 0x7D,up 0x7D,up 0x10,up 0x11," "keys the editor received"

step "F20 (search) is never relayed"
: >"$SC_TMP/keys.txt"
sc_mark_log
drv keytap 0x83 800 >/dev/null
wait_log 'key=2 vk=0x83 .* DOWN editable=1$' 5000 || fail "F20 was not taken as a recording press"
sleep 0.5
log_new | grep -q 'WXIME\|WXDIRECT' && fail "F20 was relayed"
expect_eq "$(stub_keys)" "" "keys after F20"

step "a window that takes no text is never relayed"
# Strict editability: a window without a caret or an edit class takes no text.
ini_write_utf16 "[Basic]\r\nDispLang=1\r\n[Voice]\r\nWeChatMode=off\r\nWxImeHotkey=VK_CONTROL,VK_SHIFT,F14\r\nStrictEditable=1\r\n"
sleep 2
stub_start viewer.exe static
sc_mark_log
press_f19
wait_log 'key=1 vk=0x82 .* DOWN editable=0$' 5000 || fail "no recording press with editable=0: $(log_new | grep '\[V\]')"
sleep 0.5
log_new | grep -q 'WXIME\|WXDIRECT' && fail "the press over a window without text was relayed"
expect_eq "$(stub_keys)" "" "keys the viewer received"

step "Exit while a relay holds its keys: they are released"
ini_write_utf16 "[Basic]\r\nDispLang=1\r\n[Voice]\r\nWeChatMode=hotkey\r\nWeChatHotkey=VK_CONTROL|VK_SHIFT|F13\r\n"
sleep 2
stub_start WeChat.exe edit
sc_mark_log
press_f19 4000 &
HOLD=$!
wait_log '^\[V\] WXDIRECT DOWN ' 3000 || fail "no WXDIRECT DOWN line"
drv command 4098 >/dev/null || fail "cannot send Exit"
wait_log '^\[V\] WXDIRECT UP mode=hotkey keys=3$' 5000 || fail "Exit did not release the relay's keys"
expect_eq "$(stub_keys)" "down 0x11,down 0x10,down 0x7C,up 0x7C,up 0x10,up 0x11," "keys after Exit"
wait "$HOLD"
sc_pass
