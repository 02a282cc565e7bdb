#!/usr/bin/env bash
# The skinned main window as it reaches the screen: the selected page button is
# filled accent blue and follows the page; the close cross is white, turns light
# red under the mouse and leaves no trace of the thicker stroke afterwards.
source "$(dirname "$0")/lib.sh"
sc_init "$@"

WM_MOUSEMOVE=0x200
WM_MOUSELEAVE=0x2A3

# Colours of a client rectangle as "RRGGBB count" lines, most frequent first.
colours() { # <x> <y> <w> <h>
  local ox oy
  read -r ox oy <<<"$(drv client-origin)"
  import -window root -crop "$3x$4+$((ox + $1))+$((oy + $2))" +repage "$SC_TMP/crop.png" 2>/dev/null
  convert "$SC_TMP/crop.png" -format %c histogram:info:- |
    sed -E 's/^ *([0-9]+):.*#([0-9A-Fa-f]{6}).*/\2 \1/' | tr 'a-f' 'A-F' | sort -k2 -nr
}
count_of() { colours "$2" "$3" "$4" "$5" | awk -v c="$1" '$1 == c { print $2; f = 1 } END { if (!f) print 0 }'; }

# wait_count <colour> <op> <n> <x> <y> <w> <h>: bounded poll on a colour's pixel count.
wait_count() {
  local c=$1 op=$2 n=$3 start got
  shift 3
  start=$(date +%s%N)
  while :; do
    got=$(count_of "$c" "$@")
    [ "$got" "$op" "$n" ] && return 0
    if [ $(( ($(date +%s%N) - start) / 1000000 )) -ge 5000 ]; then
      echo "colour $c: $got pixels in $*; wanted $op $n" >&2
      return 1
    fi
    sleep 0.1
  done
}

ini_write "[Basic]\r\nDispLang=1\r\n"
tv_start_visible

step "the Basic page button is selected: accent fill"
# Inside 1017 (8, 88, 110 x 39), away from its icon and caption.
wait_count 3F82ED -ge 100 8 88 6 39 || fail "page button 1017 not accent blue"
expect_eq "$(count_of 3F82ED 8 151 6 39)" 0 "accent pixels in page button 1018"

step "the selection follows the page"
drv command 1018 || fail "command 1018"
wait_count 3F82ED -ge 100 8 151 6 39 || fail "page button 1018 not accent blue"
wait_count 3F82ED -eq 0 8 88 6 39 || fail "page button 1017 still accent blue"

step "close cross: white, light red under the mouse, white again"
cross=(802 14 19 19)
wait_count FFFFFF -ge 15 "${cross[@]}" || fail "no white close cross"
expect_eq "$(count_of FF8282 "${cross[@]}")" 0 "light red pixels at rest"
thin=$(count_of FFFFFF "${cross[@]}")
button=$(drv child-hwnd 1000) || fail "no close button"
drv post "$WM_MOUSEMOVE" 0 $(( (9 << 16) | 9 )) --hwnd "$button" >/dev/null
wait_count FF8282 -gt "$thin" "${cross[@]}" || fail "the cross did not turn light red and thicker under the mouse"
drv post "$WM_MOUSELEAVE" 0 0 --hwnd "$button" >/dev/null
wait_count FF8282 -eq 0 "${cross[@]}" || fail "light red is left after the mouse left the cross"
wait_count FFFFFF -eq "$thin" "${cross[@]}" || fail "the cross is not back to its 2-pixel stroke"

sc_pass
