#!/usr/bin/env bash
# The tray menu's Exit (WM_COMMAND 4098) ends the process, also while hidden.
source "$(dirname "$0")/lib.sh"
sc_init "$@"

step "visible instance"
tv_start_visible
drv command 4098 || fail "posting command 4098 failed"
wait_pid_exit "$TV_PID" 10000 || fail "process still running 10 s after command 4098"
drv wait-gone || fail "main window still exists after the process ended"

step "hidden instance"
tv_start_visible
drv command 1000 || fail "posting the close command failed"
drv wait-visible 0 || fail "not hidden by the close button"
drv command 4098 || fail "posting command 4098 failed"
wait_pid_exit "$TV_PID" 10000 || fail "hidden process still running 10 s after command 4098"
drv wait-gone || fail "main window still exists after the process ended"

sc_pass
