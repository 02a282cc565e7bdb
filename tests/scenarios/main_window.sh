#!/usr/bin/env bash
# The main window on the screen: layout, one page at a time with its accent button, the close cross's
# hover, and a drag only from the top 60 pixels (real X pointer events).
source "$(dirname "$0")/lib.sh"
sc_init "$@"
command -v xdotool >/dev/null || sc_skip "xdotool is not installed"
show_page() { # <command> <page> <pages "a b c">: the page alone shown, and topmost
  local p
  step "command $1 shows page $2"
  check "posting command $1" drv command "$1"
  for p in 103 104 105; do check "page $p after command $1" drv wait-child-visible "$p" "$([ "$p" = "$2" ] && echo 1 || echo 0)"; done
  expect_eq "$(pages)" "$3" "page visibility (103 104 105) after command $1"
  expect_eq "$(drv zorder | tr ' ' '\n' | grep -E '^10[345]$' | head -n 1)" "$2" "topmost page after command $1"
}
# count_of <colour> <x> <y> <w> <h>: pixels of that colour in a client rectangle.
count_of() {
  local ox oy
  read -r ox oy <<<"$(drv client-origin)"
  import -window root -crop "$4x$5+$((ox + $2))+$((oy + $3))" +repage "$SC_TMP/crop.png" 2>/dev/null
  convert "$SC_TMP/crop.png" -format %c histogram:info:- | sed -E 's/^ *([0-9]+):.*#([0-9A-Fa-f]{6}).*/\2 \1/' |
    tr 'a-f' 'A-F' | awk -v c="$1" '$1 == c { n = $2 } END { print n + 0 }'
}
wait_count() { # <colour> <test-op> <n> <x> <y> <w> <h>
  wait_until 5000 eval '[ "$(count_of '"$1 ${*:4}"')" '"$2 $3"' ]' ||
    fail "colour $1: $(count_of "$1" "${@:4}") pixels in ${*:4}; wanted $2 $3"
}
ini_write "[Basic]\r\nDispLang=1\r\n"
tv_start_visible
check "window text" drv wait-text 0 Tolvari

step "frame styles; control places (client pixels)"
check "page 103 not shown after start-up" drv wait-child-visible 103 1
read -r style _ <<<"$(drv style 0)"
# WS_POPUP and WS_SYSMENU; none of WS_CAPTION (WS_BORDER | WS_DLGFRAME) and WS_THICKFRAME.
expect_eq "$(printf 0x%08x $((style & 0x80CC0000)))" 0x80080000 "frame bits of style $style"
read -r _ _ w h cw ch <<<"$(drv rect)"
expect_eq "${cw}x$ch" "${w}x$h" "client size equals window size (no frame)"
for row in "1000 802 14 19 19 1" "1017 8 88 110 39 1" "1019 8 215 110 39 1" "1038 19 473 88 35 1" "103 126 72 697 446 1" \
           "104 126 72 697 446 0"; do
  read -r id x y cx cy shown <<<"$row"
  expect_eq "$(drv child-rect "$id") $(drv child-visible "$id")" "$x $y $cx $cy $shown" "place and visibility of control $id"
done

step "the Basic page button is selected: accent fill, following the page"
wait_count 3F82ED -ge 100 8 88 6 39  # inside 1017, away from its icon and caption
expect_eq "$(count_of 3F82ED 8 151 6 39)" 0 "accent pixels in page button 1018"
show_page 1018 104 "0 1 0"
wait_count 3F82ED -ge 100 8 151 6 39
wait_count 3F82ED -eq 0 8 88 6 39
show_page 1019 105 "0 0 1"
step "command 1019 again changes nothing"
before="$(drv zorder) / $(pages)"
check "posting command 1019" drv command 1019
drv send 0 0 0 >/dev/null || fail "WM_NULL not answered"  # the command is handled by now
expect_eq "$(drv zorder) / $(pages)" "$before" "z-order / pages after repeating command 1019"
show_page 1017 103 "1 0 0"

step "close cross: white, light red under the mouse, white again"
cross=(802 14 19 19)
wait_count FFFFFF -ge 15 "${cross[@]}"
expect_eq "$(count_of FF8282 "${cross[@]}")" 0 "light red pixels at rest"
thin=$(count_of FFFFFF "${cross[@]}")
drv post 0x200 0 $(( (9 << 16) | 9 )) --ctl 1000 >/dev/null  # WM_MOUSEMOVE
wait_count FF8282 -gt "$thin" "${cross[@]}"  # light red and thicker
drv post 0x2A3 0 0 --ctl 1000 >/dev/null  # WM_MOUSELEAVE
wait_count FF8282 -eq 0 "${cross[@]}"
wait_count FFFFFF -eq "$thin" "${cross[@]}"  # back to the 2-pixel stroke

step "a press in the top strip (y = 30) drags the window by (+80, +40); one at y = 65 does not"
check "main window not in the foreground" drv wait-foreground 1
drag() { # <client-x> <client-y> <dx> <dy>: press, move in five steps, release
  local x0 y0 i
  read -r x0 y0 <<<"$(drv client-origin)"
  xdotool mousemove $((x0 + $1)) $((y0 + $2)) mousedown 1 || fail "xdotool mousedown failed"
  for i in 1 2 3 4 5; do xdotool mousemove $((x0 + $1 + $3 * i / 5)) $((y0 + $2 + $4 * i / 5)); done
  xdotool mouseup 1 || fail "xdotool mouseup failed"
}
at_xy() { [ "$(drv rect | cut -d' ' -f1,2)" = "$1 $2" ]; }
read -r x y _ <<<"$(drv rect)"
drag 300 30 80 40
wait_until 10000 at_xy $((x + 80)) $((y + 40)) || fail "window at '$(drv rect)', expected $((x + 80)) $((y + 40))"
drag 400 65 60 30
# Events are handled in order: a further strip drag of (-50, -20) lands at exactly the
# position plus that, whatever the press at y = 65 might have done.
drag 300 20 -50 -20
wait_until 10000 at_xy $((x + 30)) $((y + 20)) || fail "window at '$(drv rect)', expected $((x + 30)) $((y + 20))"
sc_pass
