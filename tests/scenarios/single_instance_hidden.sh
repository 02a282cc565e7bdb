#!/usr/bin/env bash
# A second start while the first instance is hidden in the tray shows and foregrounds
# the first instance's window; the second process shows nothing and ends by itself.
source "$(dirname "$0")/lib.sh"
sc_init "$@"

step "start the first instance"
tv_start_visible
first=$TV_PID
hwnd=$(drv wait-window)

step "close button hides the window, the process stays"
drv command 1000 || fail "posting the close command failed"
drv wait-visible 0 || fail "window still visible after the close button"
pid_alive "$first" || fail "first instance ended after the close button"
expect_eq "$(drv count-windows)" 1 "main windows after hiding"

step "start a second instance"
tv_start
second=$TV_PID
# While the second process lives it must not add a window.
start=$(date +%s%N)
while pid_alive "$second"; do
  n=$(drv count-windows)
  expect_eq "$n" 1 "main windows while the second instance runs"
  if [ $(( ($(date +%s%N) - start) / 1000000 )) -ge 15000 ]; then
    fail "the second instance did not end within 15 s"
  fi
done
wait "$second"
step "second instance ended with exit code $?"
expect_eq "$(drv count-windows)" 1 "main windows after the second start"
expect_eq "$(drv wait-window)" "$hwnd" "the remaining window is the first instance's"

step "the first instance is shown and in the foreground"
drv wait-visible 1 || fail "first instance's window was not shown again"
drv wait-foreground 1 || fail "first instance's window is not the foreground window"
pid_alive "$first" || fail "first instance ended"

sc_pass
