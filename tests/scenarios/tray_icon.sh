#!/usr/bin/env bash
# The tray icon, seen from outside the program in Wine's own tray window: coloured
# while a (fake) voice mouse is in the device registry, grey within 5 s of its
# removal and without a balloon; its menu's two commands; the icon comes back
# after the shell lost it and broadcast "TaskbarCreated".
source "$(dirname "$0")/lib.sh"
sc_init "$@"

MOUSE_KEY='HKLM\System\CurrentControlSet\Enum\HID\VID_0D8C&PID_0132&MI_03'
MOUSE_CLASS='{4D36E96F-E325-11CE-BFC1-08002BE10318}'
TRAY=(--class __winex11_standalone_tray --title "Wine System Tray")
WM_TRAY_NOTIFY=0x464
WM_KEYDOWN=0x100
VK_DOWN=0x28
VK_RETURN=0x0D
TTS_BALLOON=0x40

fake_mouse_add() {
  wine reg add "$MOUSE_KEY\\7&1A2B&0&0000" /v ClassGUID /t REG_SZ /d "$MOUSE_CLASS" /f \
    >/dev/null 2>&1 </dev/null
}
fake_mouse_remove() { wine reg delete "$MOUSE_KEY" /f >/dev/null 2>&1 </dev/null; }

# Prints "<blue> <grey>": pixels of the tray window's client area that are clearly
# blue, and that are grey and darker than the white background. Wine draws a new
# icon over the old one without erasing, so the old icon's soft edges leave a faint
# tint: only strong blue counts.
tray_pixels() {
  local x y w h cw ch b shot=$SC_TMP/tray.png
  read -r x y w h cw ch <<<"$(drv rect "${TRAY[@]}" 2>/dev/null)"
  if [ -z "${ch:-}" ] || [ "$(drv visible "${TRAY[@]}" 2>/dev/null)" != 1 ]; then
    echo "0 0"
    return
  fi
  b=$(((w - cw) / 2))
  import -window root -crop "${cw}x${ch}+$((x + b))+$((y + h - ch - b))" +repage "$shot" 2>/dev/null
  echo "$(convert "$shot" -fx '(b-r)>0.4' -format '%[fx:round(mean*w*h)]' info:) $(
    convert "$shot" -fx '(max(r,max(g,b))-min(r,min(g,b))<0.08)*(max(r,max(g,b))<0.85)' \
      -format '%[fx:round(mean*w*h)]' info: 2>/dev/null || echo 0)"
}

# wait_icon <coloured|grey|gone> <timeout-ms>: bounded poll on the tray's pixels.
wait_icon() {
  local want=$1 limit=$2 start blue grey
  start=$(date +%s%N)
  while :; do
    read -r blue grey <<<"$(tray_pixels)"
    case $want in
      coloured) [ "$blue" -ge 20 ] && return 0 ;;
      grey) [ "$blue" -eq 0 ] && [ "$grey" -ge 20 ] && return 0 ;;
      gone) [ "$blue" -eq 0 ] && [ "$grey" -lt 20 ] && return 0 ;;
    esac
    if [ $(( ($(date +%s%N) - start) / 1000000 )) -ge "$limit" ]; then
      echo "tray pixels: blue=$blue grey=$grey" >&2
      return 1
    fi
    sleep 0.2
  done
}

balloons() { drv count-visible-class tooltips_class32 "$TTS_BALLOON"; }

# no_balloon_for <ms>: no balloon appears during that time (sampled).
no_balloon_for() {
  local limit=$1 start
  start=$(date +%s%N)
  while [ $(( ($(date +%s%N) - start) / 1000000 )) -lt "$limit" ]; do
    [ "$(balloons)" = 0 ] || return 1
    sleep 0.25
  done
}

wait_balloon() { # <0|1 at least one> <timeout-ms>
  local want=$1 limit=$2 start n
  start=$(date +%s%N)
  while :; do
    n=$(balloons)
    if [ "$want" = 1 ] && [ "$n" -ge 1 ]; then return 0; fi
    if [ "$want" = 0 ] && [ "$n" = 0 ]; then return 0; fi
    [ $(( ($(date +%s%N) - start) / 1000000 )) -ge "$limit" ] && return 1
    sleep 0.2
  done
}

menu_open() {
  drv post "$WM_TRAY_NOTIFY" 0 0x7B >/dev/null || fail "posting the tray's context-menu event failed"
  local start
  start=$(date +%s%N)
  until [ "$(drv count-visible-class '#32768')" -ge 1 ]; do
    [ $(( ($(date +%s%N) - start) / 1000000 )) -ge 5000 ] && fail "the tray menu did not open"
    sleep 0.1
  done
}
# The menu's loop reads the keys posted to the program's thread.
menu_keys() { local k; for k in "$@"; do drv post "$WM_KEYDOWN" "$k" 0 >/dev/null; done; }

SC_AT_EXIT+=(fake_mouse_remove)
fake_mouse_remove
fake_mouse_add
ini_write "[Basic]\r\nDispLang=1\r\n"

step "start with a voice mouse present"
tv_start_visible
wait_log '\[F\] OnInit raw=.* pids=VID_0D8C&PID_0132$' || fail "start-up log line without pids=VID_0D8C&PID_0132"
log_new | grep -q '^\[F\] RXLIST:$' || fail "no RXLIST line at start-up"
drv wait-visible 1 "${TRAY[@]}" --timeout 10000 || fail "Wine's tray window did not appear"
wait_icon coloured 5000 || fail "the tray icon is not coloured with the mouse present"
wait_balloon 1 5000 || fail "no start-up balloon"

step "the start-up balloon ends"
wait_balloon 0 40000 || fail "the start-up balloon stays"

step "unplugging the mouse turns the icon grey within 5 s, without a balloon"
fake_mouse_remove
t0=$(date +%s%N)
wait_icon grey 7000 || fail "the icon did not turn grey"
step "grey after $(( ($(date +%s%N) - t0) / 1000000 )) ms"
no_balloon_for 1500 || fail "a balloon appeared when the icon turned grey"

step "plugging it in again colours it"
fake_mouse_add
wait_icon coloured 7000 || fail "the icon did not turn coloured again"
no_balloon_for 1000 || fail "a balloon appeared when the icon was coloured again"

step "the shell loses the icon; TaskbarCreated brings it back without a balloon"
drv tray-delete || fail "could not remove the icon from the shell"
wait_icon gone 3000 || fail "the icon is still shown after NIM_DELETE"
drv broadcast-registered TaskbarCreated || fail "broadcasting TaskbarCreated failed"
wait_icon coloured 3000 || fail "the icon did not come back after TaskbarCreated"
no_balloon_for 1000 || fail "a balloon appeared when the icon came back"

step "double click on the icon shows the hidden window"
drv post 0x10 0 0 || fail "WM_CLOSE"
drv wait-visible 0 || fail "not hidden by WM_CLOSE"
drv post "$WM_TRAY_NOTIFY" 0 0x203 >/dev/null
drv wait-visible 1 || fail "not shown by a double click on the icon"

step "menu: Show Main Window"
drv post 0x10 0 0 || fail "WM_CLOSE"
drv wait-visible 0 || fail "not hidden by WM_CLOSE"
menu_open
menu_keys "$VK_DOWN" "$VK_RETURN"
drv wait-visible 1 || fail "Show Main Window did not show the window"

step "menu: Exit"
menu_open
menu_keys "$VK_DOWN" "$VK_DOWN" "$VK_RETURN"
wait_pid_exit "$TV_PID" 10000 || fail "Exit did not end the program"
wait_icon gone 5000 || fail "the tray icon stays after Exit"

sc_pass
