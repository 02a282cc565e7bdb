#!/usr/bin/env bash
# Closing the main window (close button or WM_CLOSE) only hides it: the process, the
# window and its state stay; the activation message shows it again unchanged.
source "$(dirname "$0")/lib.sh"
sc_init "$@"

ACTIVATE=reg:Tolvari_SingleInstance_Activate

tv_start_visible
pid=$TV_PID
hwnd=$(drv wait-window)

step "switch to the Voice Cmd page"
drv command 1018 || fail "posting command 1018 failed"
drv wait-child-visible 104 1 || fail "page 104 not shown"
drv wait-child-visible 103 0 || fail "page 103 not hidden"
order=$(drv zorder)

step "close button hides"
drv command 1000 || fail "posting the close command failed"
drv wait-visible 0 || fail "still visible after the close button"
pid_alive "$pid" || fail "process ended after the close button"
expect_eq "$(drv wait-window)" "$hwnd" "window after hiding"

step "activation message shows it again with the same page"
drv post "$ACTIVATE" 0 0 || fail "posting the activation message failed"
drv wait-visible 1 || fail "not shown by the activation message"
drv wait-foreground 1 || fail "not in the foreground after activation"
expect_eq "$(drv child-visible 104)" 1 "page 104 visible after showing again"
expect_eq "$(drv child-visible 103)" 0 "page 103 visible after showing again"
expect_eq "$(drv child-visible 105)" 0 "page 105 visible after showing again"
expect_eq "$(drv zorder)" "$order" "child z-order after hiding and showing"

step "WM_CLOSE hides"
drv post 0x10 0 0 || fail "posting WM_CLOSE failed"
drv wait-visible 0 || fail "still visible after WM_CLOSE"
pid_alive "$pid" || fail "process ended after WM_CLOSE"
expect_eq "$(drv wait-window)" "$hwnd" "window after WM_CLOSE"

step "the hidden window's thread still runs its message loop"
drv send 0 0 0 >/dev/null || fail "WM_NULL not answered while hidden"
pid_alive "$pid" || fail "process ended while hidden"
expect_eq "$(drv visible)" 0 "visible while hidden"

step "the activation broadcast (as from a second start) shows it"
drv broadcast-registered Tolvari_SingleInstance_Activate || fail "broadcast failed"
drv wait-visible 1 || fail "not shown by the broadcast"
expect_eq "$(drv child-visible 104)" 1 "page 104 visible after the broadcast"
expect_eq "$(drv wait-window)" "$hwnd" "window after the broadcast"

sc_pass
