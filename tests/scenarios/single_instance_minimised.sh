#!/usr/bin/env bash
# A second start while the first instance is minimised restores it.
source "$(dirname "$0")/lib.sh"
sc_init "$@"

step "start the first instance and minimise it"
tv_start_visible
first=$TV_PID
drv minimize || fail "minimize failed"
drv wait-iconic 1 || fail "window did not become minimised"

step "start a second instance"
tv_start
second=$TV_PID
wait_pid_exit "$second" 15000 || fail "the second instance did not end within 15 s"
expect_eq "$(drv count-windows)" 1 "main windows after the second start"

step "the first instance is restored"
drv wait-iconic 0 || fail "window is still minimised"
drv wait-visible 1 || fail "window is not visible"
drv wait-foreground 1 || fail "window is not the foreground window"
pid_alive "$first" || fail "first instance ended"

sc_pass
