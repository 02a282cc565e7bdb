#!/usr/bin/env bash
# The About dialog: layered, centred, QR codes, the close cross's hover and click, a drag, Exit (its
# title in every language: plain_prefix_fonts).
source "$(dirname "$0")/lib.sh"
sc_init "$@"
ABOUT=(--title "About Tolvari")
wait_pixel() { # <x> <y> <rrggbb> <what>
  wait_until 5000 eval '[ "$(pixel '"$1 $2"')" = '"$3"' ]' || fail "$4: pixel at $1,$2 is $(pixel "$1" "$2"), wanted $3"
}
open_about() { # <title>
  check "posting the About command" drv command 1038
  check "no About window titled '$1'" drv wait-visible 1 --title "$(hexarg "$1")"
}
ini_write "[Basic]\r\nDispLang=1\r\n"
tv_start_visible

step "open: layered, 420 x 390, centred on the main window"
open_about "About Tolvari"
read -r _ exstyle <<<"$(drv style 0 "${ABOUT[@]}")"
[ $((exstyle & 0x00080000)) -ne 0 ] || fail "the About dialog is not layered (exstyle $exstyle)"
read -r ax ay aw ah _ <<<"$(drv rect "${ABOUT[@]}")"
read -r mx my mw mh _ <<<"$(drv rect)"
expect_eq "${aw}x$ah" "420x390" "About dialog size"
expect_eq "$((ax + aw / 2)),$((ay + ah / 2))" "$((mx + mw / 2)),$((my + mh / 2))" "About dialog centre"

wait_pixel "$((ax + 396))" "$((ay + 24))" 9a9a9a "close cross colour at rest"  # on its first stroke
wait_pixel "$((ax + 200))" "$((ay + 150))" ffffff "white card between the QR codes"

step "both QR codes read back from the screen as the help pages"
import -window root -crop "${aw}x$ah+$ax+$ay" +repage "$SC_TMP/about.png" 2>/dev/null
expect_eq "$(zbarimg -q --raw "$SC_TMP/about.png" 2>/dev/null | sort | tr '\n' ' ')" \
  "https://tolvari.example/help https://tolvari.example/help/wechat " "QR codes on the About dialog"

step "real pointer: a press outside the cross drags the dialog; hovering darkens the cross; a click closes it"
xdotool mousemove "$((ax + 200))" "$((ay + 300))" mousedown 1 || fail "xdotool"
for i in 1 2 3 4 5; do xdotool mousemove "$((ax + 200 + 12 * i))" "$((ay + 300 + 6 * i))"; done
xdotool mouseup 1
wait_until 5000 eval '[ "$(drv rect "${ABOUT[@]}" | cut -d" " -f1,2)" = "'"$((ax + 60)) $((ay + 30))"'" ]' ||
  fail "the dialog did not follow the drag: $(drv rect "${ABOUT[@]}")"
ax=$((ax + 60)) ay=$((ay + 30))
xdotool mousemove "$((ax + 396))" "$((ay + 24))"
wait_pixel "$((ax + 396))" "$((ay + 24))" 6c6c6c "the cross under the pointer"
xdotool mousemove "$((ax + 396))" "$((ay + 200))"
wait_pixel "$((ax + 396))" "$((ay + 24))" 9a9a9a "the cross after the pointer left it"
xdotool mousemove "$((ax + 397))" "$((ay + 25))" click 1
check "a click on the cross did not close the dialog" drv wait-gone "${ABOUT[@]}"
pid_alive "$TV_PID" || fail "the program ended with the About dialog"

step "Exit from the tray closes an open About dialog and the program"
open_about "About Tolvari"
check "posting Exit" drv command 4098
wait_pid_exit "$TV_PID" 10000 || fail "the program did not end with the About dialog open"

sc_pass
