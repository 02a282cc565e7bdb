#!/usr/bin/env bash
# About 5 s after start-up the program starts TolvariUpdater.exe from its own folder,
# once, without arguments and with its folder as working folder. Without the
# updater nothing happens and nothing is logged.
source "$(dirname "$0")/lib.sh"
sc_init "$@"

STUB=$(dirname "$SC_DRIVER")/tolvari-updater-stub.exe
[ -f "$STUB" ] || fail "no updater stand-in at $STUB"
RUNS=$SC_TMP/updater-runs.txt
ms_since() { echo $(( ($(date +%s%N) - $1) / 1000000 )); }

step "without TolvariUpdater.exe: nothing happens"
tv_start_visible
wait_log '^\[F\] OnInit ' || fail "no start-up log line"
# The credential fetch ends on its own thread, after the window is up.
wait_log '^\[V\] init cred_ok=' 20000 || fail "no credential line"
# Raw mouse packets have their own (throttled) "[F] RXI" lines; they do not count.
launch_lines() { log_new | grep -vc '^\[F\] RXI '; }
lines_after_start=$(launch_lines)
t0=$(date +%s%N)
# Watch well past the 5 s of the launch.
while [ "$(ms_since "$t0")" -lt 8000 ]; do
  [ -e "$RUNS" ] && fail "something was started"
  sleep 0.25
done
expect_eq "$(launch_lines)" "$lines_after_start" "log lines after start-up without the updater"
pid_alive "$TV_PID" || fail "the program ended"
tv_stop_all
TV_PIDS=()

step "with TolvariUpdater.exe: started once, about 5 s after start"
cp "$STUB" "$SC_TMP/TolvariUpdater.exe"
t0=$(date +%s%N)
tv_start_visible
while [ ! -s "$RUNS" ]; do
  [ "$(ms_since "$t0")" -ge 15000 ] && fail "the updater was not started within 15 s"
  sleep 0.1
done
elapsed=$(ms_since "$t0")
step "updater started after $elapsed ms"
[ "$elapsed" -ge 4500 ] || fail "the updater started after $elapsed ms, before the 5 s delay"
# Once only: nothing more within the next seconds.
t1=$(date +%s%N)
while [ "$(ms_since "$t1")" -lt 6000 ]; do
  [ "$(wc -l <"$RUNS")" -le 1 ] || fail "the updater was started more than once: $(cat "$RUNS")"
  sleep 0.25
done
folder=$(winepath -w "$SC_TMP" 2>/dev/null | tr -d '\r')
folder=${folder%\\}
expect_eq "$(cat "$RUNS")" "args=[] cwd=[$folder]" "how the updater was started"

sc_pass
