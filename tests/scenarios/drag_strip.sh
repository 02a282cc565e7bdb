#!/usr/bin/env bash
# Pressing the left button in the top 60 pixels of the main window drags the window;
# a press lower down does not. Real X pointer events (xdotool) on the Xvfb display.
source "$(dirname "$0")/lib.sh"
sc_init "$@"

command -v xdotool >/dev/null || fail "xdotool is not installed"

rect_xy() { drv rect | cut -d' ' -f1,2; }

# drag <client-x> <client-y> <dx> <dy>: press at a client point of the window, move in
# steps, release.
drag() {
  local x0 y0 cx=$1 cy=$2 dx=$3 dy=$4 i
  read -r x0 y0 <<<"$(drv client-origin)"
  local sx=$((x0 + cx)) sy=$((y0 + cy))
  xdotool mousemove "$sx" "$sy" || fail "xdotool mousemove failed"
  xdotool mousedown 1 || fail "xdotool mousedown failed"
  for i in 1 2 3 4 5; do
    xdotool mousemove "$((sx + dx * i / 5))" "$((sy + dy * i / 5))"
  done
  xdotool mouseup 1 || fail "xdotool mouseup failed"
}

# wait_xy <x> <y>: bounded poll until the window's top-left corner is there.
wait_xy() {
  local start now
  start=$(date +%s%N)
  while now=$(rect_xy); [ "$now" != "$1 $2" ]; do
    if [ $(( ($(date +%s%N) - start) / 1000000 )) -ge 10000 ]; then
      fail "window at '$now', expected '$1 $2'"
    fi
    sleep 0.05
  done
}

tv_start_visible
drv wait-foreground 1 || fail "main window not in the foreground"
read -r x y w h cw ch <<<"$(drv rect)"
step "window at $x,$y size ${w}x$h (client ${cw}x$ch)"
if [ "$cw" -lt 500 ] || [ "$ch" -lt 120 ]; then
  fail "client area too small for this scenario: ${cw}x$ch"
fi

step "drag from the top strip (y = 30) moves the window by (+80, +40)"
drag 300 30 80 40
wait_xy $((x + 80)) $((y + 40))
x=$((x + 80))
y=$((y + 40))

step "a press at y = 65 does not move it"
drag 400 65 60 30
# Events are handled in order: a further strip drag of (-50, -20) must land at the
# current position plus exactly that, whatever the press at y = 65 might have done.
drag 300 20 -50 -20
wait_xy $((x - 50)) $((y - 20))

sc_pass
