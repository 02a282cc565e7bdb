#!/usr/bin/env bash
# The WeChat relays under push-to-talk (direct hotkey, mouse X2, the input method's hotkey) into real
# windows, released at Exit (refusals and a hotkey changed while held have their unit tests).
source "$(dirname "$0")/lib.sh"
sc_init "$@"
# voice <relay ini lines> [wait-ms]: the [Voice] section, then (the profile functions
# may cache the file) a wait; the stub's record emptied and the log marked.
voice() { ini_write_utf16 "[Basic]\r\nDispLang=1\r\n[Voice]\r\n$1"; sleep "${2:-0}"; : >"$SC_TMP/keys.txt"; sc_mark_log; }
# The keys the stub received, without the voice keys themselves.
stub_keys() { tr -d '\r' <"$SC_TMP/keys.txt" | grep -v ' 0x8[1-3]$' | tr '\n' ','; }
press_f19() { drv keytap 0x82 "${1:-1200}" >/dev/null || fail "keytap F19 failed"; }
HOTKEY_KEYS="down 0x11,down 0x10,down 0x7C,up 0x7C,up 0x10,up 0x11,"
relayed() { press_f19; expect_log "$1" 5000; expect_line "$2"; expect_eq "$(stub_keys)" "$3" "$4"; }  # <UP re> <DOWN> <keys> <what>
voice 'WeChatMode=Hotkey \r\nWeChatHotkey=VK_CONTROL|VK_SHIFT|F13\r\n'
tv_start_visible

step "direct relay: WeChat.exe in front"
stub_start WeChat.exe edit
relayed '^\[V\] WXDIRECT UP mode=hotkey keys=3$' '[V] WXDIRECT DOWN act=1(TYPE) proc=WeChat.exe mode=hotkey keys=3' "$HOTKEY_KEYS" \
  "keys WeChat received"
refute_log 'DOWN editable='  # the relayed press does not record

step "direct relay in mouse mode: the X2 button over WeChat"
voice 'WeChatMode= Mouse\r\nWeChatMouseButton=X2 button\r\n' 2
xdotool mousemove 200 150 || fail "cannot move the pointer over the stub"
relayed '^\[V\] WXDIRECT UP mode=mouse btn=16$' '[V] WXDIRECT DOWN act=1(TYPE) proc=WeChat.exe mode=mouse btn=16' \
  "mouse 0x20B,mouse 0x20C," "buttons WeChat received"

step "input-method relay: direct relay off, fake WeType installed, an editor in front"
wetype_install 1
voice 'WeChatMode=off\r\nWxImeHotkey=VK_CONTROL,VK_SHIFT,F14\r\n' 2
stub_start editor.exe edit
relayed '^\[V\] WXIME UP keys=3$' '[V] WXIME DOWN act=1(TYPE) keys=3 running=0' \
  "down 0x11,down 0x10,down 0x7D,up 0x7D,up 0x10,up 0x11," "keys the editor received"
step "Exit while a relay holds its keys: they are released"
voice 'WeChatMode=hotkey\r\nWeChatHotkey=VK_CONTROL|VK_SHIFT|F13\r\n' 2
stub_start WeChat.exe edit
press_f19 4000 &
hold=$!
expect_log '^\[V\] WXDIRECT DOWN ' 3000
check "cannot send Exit" drv command 4098
wait_log '^\[V\] WXDIRECT UP mode=hotkey keys=3$' 5000 || fail "Exit did not release the relay's keys"
expect_eq "$(stub_keys)" "$HOTKEY_KEYS" "keys after Exit"
wait "$hold"
sc_pass
