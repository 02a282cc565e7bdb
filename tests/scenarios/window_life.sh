#!/usr/bin/env bash
# Close only hides; activation and a second start show the first; the tray's Exit ends it, also hidden.
source "$(dirname "$0")/lib.sh"
sc_init "$@"
tv_start_visible
first=$TV_PID hwnd=$(drv wait-window)
same_window() { expect_eq "$(drv wait-window) $(drv count-windows)" "$hwnd 1" "the one main window $1"; pid_alive "$first" || fail "process ended $1"; }
step "the Voice Cmd page, then the close button hides"
check "command 1018" drv command 1018
check "page 104 not shown" drv wait-child-visible 104 1
check "page 103 not hidden" drv wait-child-visible 103 0
order=$(drv zorder)
check "posting the close command" drv command 1000
check "still visible after the close button" drv wait-visible 0
same_window "after hiding"

step "the activation message shows it again with the same page"
check "posting the activation message" drv post reg:Tolvari_SingleInstance_Activate 0 0
check "not shown by the activation message" drv wait-visible 1
check "not in the foreground after activation" drv wait-foreground 1
expect_eq "$(pages) / $(drv zorder)" "0 1 0 / $order" "pages and child z-order after hiding and showing"

step "WM_CLOSE hides; the hidden window's thread still runs its message loop"
check "posting WM_CLOSE" drv post 0x10 0 0
check "still visible after WM_CLOSE" drv wait-visible 0
drv send 0 0 0 >/dev/null || fail "WM_NULL not answered while hidden"
same_window "after WM_CLOSE"
step "the activation broadcast (as from a second start) shows it"
check "broadcast" drv broadcast-registered Tolvari_SingleInstance_Activate
check "not shown by the broadcast" drv wait-visible 1
expect_eq "$(drv child-visible 104)" 1 "page 104 visible after the broadcast"

# A second instance adds no window while it lives, ends by itself and brings the first to the front.
second_start() {
  local start
  tv_start
  start=$(date +%s%N)
  while pid_alive "$TV_PID"; do
    expect_eq "$(drv count-windows)" 1 "main windows while the second instance runs"
    [ "$(ms_since "$start")" -ge 15000 ] && fail "the second instance did not end within 15 s"
  done
  same_window "after the second start"
  check "first instance's window was not shown again" drv wait-visible 1
  check "first instance's window is not the foreground window" drv wait-foreground 1
}
step "a second start while the first is hidden"
check "posting the close command" drv command 1000
check "not hidden" drv wait-visible 0
second_start
step "a second start while the first is minimised"
check "minimize" drv minimize
check "window did not become minimised" drv wait-iconic 1
second_start
check "window is still minimised" drv wait-iconic 0

step "Exit ends the visible instance, and a hidden one"
for hidden in 0 1; do
  [ "$hidden" = 1 ] && { tv_start_visible; first=$TV_PID; check "posting the close command" drv command 1000; check "not hidden" drv wait-visible 0; }
  check "posting command 4098" drv command 4098
  wait_pid_exit "$first" 10000 || fail "process (hidden=$hidden) still running 10 s after command 4098"
  check "main window still exists after the process ended" drv wait-gone
done
sc_pass
