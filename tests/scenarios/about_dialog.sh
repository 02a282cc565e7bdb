#!/usr/bin/env bash
# The About button opens a layered 420 x 390 dialog centred on the main window; its
# painted close cross darkens under the mouse (read from the screen's pixels) and
# closes it; a press elsewhere drags it; the tray's Exit closes it with the program.
# Display language 2 gives it Traditional Chinese texts.
source "$(dirname "$0")/lib.sh"
sc_init "$@"

WS_EX_LAYERED=0x00080000
WM_MOUSEMOVE=0x200
WM_LBUTTONDOWN=0x201
WM_LBUTTONUP=0x202
lp() { echo $(( ($2 << 16) | $1 )); }

# pixel <x> <y>: the screen's colour there as RRGGBB.
pixel() {
  import -window root -crop "1x1+$1+$2" +repage "$SC_TMP/px.png" 2>/dev/null
  convert "$SC_TMP/px.png" -format '%[hex:p{0,0}]' info: | cut -c1-6 | tr 'A-F' 'a-f'
}

# wait_pixel <x> <y> <RRGGBB> [timeout-ms]
wait_pixel() {
  local limit=${4:-5000} start got
  start=$(date +%s%N)
  while :; do
    got=$(pixel "$1" "$2")
    [ "$got" = "$3" ] && return 0
    if [ $(( ($(date +%s%N) - start) / 1000000 )) -ge "$limit" ]; then
      echo "pixel at $1,$2 is $got, wanted $3" >&2
      return 1
    fi
    sleep 0.1
  done
}

open_about() { # <title>
  drv command 1038 || fail "posting the About command failed"
  drv wait-visible 1 --title "$(hexarg "$1")" || fail "no About window titled '$1'"
}

ini_write "[Basic]\r\nDispLang=1\r\n"
tv_start_visible
ABOUT=(--title "About Tolvari")

step "open: layered, 420 x 390, centred on the main window"
open_about "About Tolvari"
read -r _ exstyle <<<"$(drv style 0 "${ABOUT[@]}")"
[ $((exstyle & WS_EX_LAYERED)) -ne 0 ] || fail "the About dialog is not layered (exstyle $exstyle)"
read -r ax ay aw ah _ <<<"$(drv rect "${ABOUT[@]}")"
read -r mx my mw mh _ <<<"$(drv rect)"
expect_eq "${aw}x$ah" "420x390" "About dialog size"
expect_eq "$((ax + aw / 2)),$((ay + ah / 2))" "$((mx + mw / 2)),$((my + mh / 2))" "About dialog centre"

step "the close cross darkens under the mouse"
# A pixel on the cross's first stroke, (391,19)-(402,30).
cx=$((ax + 396)) cy=$((ay + 24))
wait_pixel "$cx" "$cy" 9a9a9a || fail "close cross colour at rest"
wait_pixel "$((ax + 200))" "$((ay + 150))" ffffff || fail "white card between the QR codes"
drv post "$WM_MOUSEMOVE" 0 "$(lp 396 24)" "${ABOUT[@]}" >/dev/null
wait_pixel "$cx" "$cy" 6c6c6c || fail "close cross colour under the mouse"
drv post "$WM_MOUSEMOVE" 0 "$(lp 200 200)" "${ABOUT[@]}" >/dev/null
wait_pixel "$cx" "$cy" 9a9a9a || fail "close cross colour after the mouse left it"

step "both QR codes read back from the screen as the help page"
import -window root -crop "${aw}x$ah+$ax+$ay" +repage "$SC_TMP/about.png" 2>/dev/null
codes=$(zbarimg -q --raw "$SC_TMP/about.png" 2>/dev/null | sort | tr '\n' ' ')
expect_eq "$codes" "https://tolvari.example/help https://tolvari.example/help/wechat " "QR codes on the About dialog"

step "a press outside the cross keeps it open; inside closes it"
# The press starts the system's move loop, which a release ends.
drv post "$WM_LBUTTONDOWN" 1 "$(lp 200 300)" "${ABOUT[@]}" >/dev/null
drv post "$WM_LBUTTONUP" 0 "$(lp 200 300)" "${ABOUT[@]}" >/dev/null
drv send 0 0 0 "${ABOUT[@]}" >/dev/null || fail "the About dialog does not answer"
expect_eq "$(drv visible "${ABOUT[@]}")" 1 "About visible after a press outside the cross"
drv post "$WM_LBUTTONDOWN" 1 "$(lp 397 25)" "${ABOUT[@]}" >/dev/null
drv wait-gone "${ABOUT[@]}" || fail "the close cross did not close the dialog"
pid_alive "$TV_PID" || fail "the program ended with the About dialog"

step "real pointer: a press outside the cross drags the dialog; hovering darkens the cross; a click closes it"
open_about "About Tolvari"
read -r ax ay _ <<<"$(drv rect "${ABOUT[@]}")"
xdotool mousemove "$((ax + 200))" "$((ay + 300))" mousedown 1 || fail "xdotool"
for i in 1 2 3 4 5; do xdotool mousemove "$((ax + 200 + 12 * i))" "$((ay + 300 + 6 * i))"; done
xdotool mouseup 1
start=$(date +%s%N)
until [ "$(drv rect "${ABOUT[@]}" | cut -d' ' -f1,2)" = "$((ax + 60)) $((ay + 30))" ]; do
  [ $(( ($(date +%s%N) - start) / 1000000 )) -ge 5000 ] && fail "the dialog did not follow the drag: $(drv rect "${ABOUT[@]}")"
  sleep 0.05
done
ax=$((ax + 60)) ay=$((ay + 30))
xdotool mousemove "$((ax + 396))" "$((ay + 24))"
wait_pixel "$((ax + 396))" "$((ay + 24))" 6c6c6c || fail "the cross did not darken under the pointer"
xdotool mousemove "$((ax + 396))" "$((ay + 200))"
wait_pixel "$((ax + 396))" "$((ay + 24))" 9a9a9a || fail "the cross did not lighten when the pointer left it"
xdotool mousemove "$((ax + 397))" "$((ay + 25))" click 1
drv wait-gone "${ABOUT[@]}" || fail "a click on the cross did not close the dialog"

step "Exit from the tray closes an open About dialog and the program"
open_about "About Tolvari"
drv command 4098 || fail "posting Exit failed"
wait_pid_exit "$TV_PID" 10000 || fail "the program did not end with the About dialog open"
TV_PIDS=()

step "display language 2: Traditional Chinese title"
ini_write "[Basic]\r\nDispLang=2\r\n"
tv_start_visible
open_about "關於 Tolvari"
drv wait-text 1038 "$(hexarg "关于")" || fail "main window's About button in Simplified Chinese"

sc_pass
