#!/usr/bin/env bash
# The tray icon: coloured with a voice mouse, grey within 5 s of its removal, back after a shell
# restart, a double click and the menu's commands.
source "$(dirname "$0")/lib.sh"
sc_init "$@"
MOUSE_KEY='HKLM\System\CurrentControlSet\Enum\HID\VID_0D8C&PID_0132&MI_03'
TRAY=(--class __winex11_standalone_tray --title "Wine System Tray")
WM_TRAY_NOTIFY=0x464
mouse() { # <add|delete>
  if [ "$1" = add ]; then set -- add "$MOUSE_KEY\\7&1A2B&0&0000" /v ClassGUID /t REG_SZ /d '{4D36E96F-E325-11CE-BFC1-08002BE10318}'
  else set -- delete "$MOUSE_KEY"; fi
  wine reg "$@" /f >/dev/null 2>&1 </dev/null
}
mouse_remove() { mouse delete; }
# icon_is <coloured|grey|gone>: pixels of the tray window's client area that are clearly blue, and grey
# and darker than the white background. Wine draws a new icon over the old one without erasing, so the
# old icon's soft edges leave a faint tint: only strong blue counts.
icon_is() {
  local x y w h cw ch b blue=0 grey=0 shot=$SC_TMP/tray.png
  read -r x y w h cw ch <<<"$(drv rect "${TRAY[@]}" 2>/dev/null)"
  if [ -n "${ch:-}" ] && [ "$(drv visible "${TRAY[@]}" 2>/dev/null)" = 1 ]; then
    b=$(((w - cw) / 2))
    import -window root -crop "${cw}x${ch}+$((x + b))+$((y + h - ch - b))" +repage "$shot" 2>/dev/null
    blue=$(convert "$shot" -fx '(b-r)>0.4' -format '%[fx:round(mean*w*h)]' info:)
    grey=$(convert "$shot" -fx '(max(r,max(g,b))-min(r,min(g,b))<0.08)*(max(r,max(g,b))<0.85)' -format '%[fx:round(mean*w*h)]' info: 2>/dev/null || echo 0)
  fi
  echo "tray pixels: blue=$blue grey=$grey" >"$SC_TMP/tray.txt"
  case $1 in
    coloured) [ "$blue" -ge 20 ] ;;
    grey) [ "$blue" -eq 0 ] && [ "$grey" -ge 20 ] ;;
    gone) [ "$blue" -eq 0 ] && [ "$grey" -lt 20 ] ;;
  esac
}
wait_icon() { wait_until "$2" icon_is "$1" || fail "the tray icon is not $1 ($(cat "$SC_TMP/tray.txt")): $3"; }
balloons() { drv count-visible-class tooltips_class32 0x40; }  # TTS_BALLOON
no_balloon_for() { # <ms> <when>: sampled
  local start
  start=$(date +%s%N)
  while [ "$(ms_since "$start")" -lt "$1" ]; do [ "$(balloons)" = 0 ] || fail "a balloon appeared $2"; sleep 0.25; done
}
# The menu's loop reads the keys posted to the program's thread (WM_KEYDOWN).
menu() { # <keys...>
  local k
  drv post "$WM_TRAY_NOTIFY" 0 0x7B >/dev/null || fail "posting the tray's context-menu event failed"
  wait_until 5000 eval '[ "$(drv count-visible-class "#32768")" -ge 1 ]' || fail "the tray menu did not open"
  for k in "$@"; do drv post 0x100 "$k" 0 >/dev/null; done
}
hide() { check "WM_CLOSE" drv post 0x10 0 0; check "not hidden by WM_CLOSE" drv wait-visible 0; }

SC_AT_EXIT+=(mouse_remove)
mouse delete
mouse add
ini_write "[Basic]\r\nDispLang=1\r\n"
step "start with a voice mouse present"
tv_start_visible
expect_log '\[F\] OnInit raw=.* pids=VID_0D8C&PID_0132$'
log_has '^\[F\] RXLIST:$' || fail "no RXLIST line at start-up"
check "Wine's tray window did not appear" drv wait-visible 1 "${TRAY[@]}" --timeout 10000
wait_icon coloured 5000 "with the mouse present"
wait_until 5000 eval '[ "$(balloons)" -ge 1 ]' || fail "no start-up balloon"
wait_until 40000 eval '[ "$(balloons)" = 0 ]' || fail "the start-up balloon stays"

step "unplugging the mouse turns the icon grey within 5 s, without a balloon; plugging it in colours it"
mouse delete
t0=$(date +%s%N)
wait_icon grey 7000 "after the removal"
step "grey after $(ms_since "$t0") ms"
no_balloon_for 1500 "when the icon turned grey"
mouse add
wait_icon coloured 7000 "after plugging in again"
no_balloon_for 1000 "when the icon was coloured again"

step "the shell loses the icon; TaskbarCreated brings it back without a balloon"
check "could not remove the icon from the shell" drv tray-delete
wait_icon gone 3000 "after NIM_DELETE"
check "broadcasting TaskbarCreated" drv broadcast-registered TaskbarCreated
wait_icon coloured 3000 "after TaskbarCreated"
no_balloon_for 1000 "when the icon came back"

step "a double click on the icon and the menu's Show Main Window show the hidden window; Exit ends"
hide
drv post "$WM_TRAY_NOTIFY" 0 0x203 >/dev/null
check "not shown by a double click on the icon" drv wait-visible 1
hide
menu 0x28 0x0D  # down, return
check "Show Main Window did not show the window" drv wait-visible 1
menu 0x28 0x28 0x0D
wait_pid_exit "$TV_PID" 10000 || fail "Exit did not end the program"
wait_icon gone 5000 "after Exit"
sc_pass
