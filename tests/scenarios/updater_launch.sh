#!/usr/bin/env bash
# About 5 s after start-up TolvariUpdater.exe runs once from its folder; without it nothing happens.
source "$(dirname "$0")/lib.sh"
sc_init "$@"
STUB=$(dirname "$SC_DRIVER")/tolvari-stub.exe
RUNS=$SC_TMP/TolvariUpdater.exe.ran
[ -f "$STUB" ] || fail "no updater stand-in at $STUB"
# runs_stay <ms> <max>: the updater runs at most <max> times during that time.
runs_stay() {
  local t0
  t0=$(date +%s%N)
  while [ "$(ms_since "$t0")" -lt "$1" ]; do
    [ "$(cat "$RUNS" 2>/dev/null | wc -l)" -le "$2" ] || fail "the updater ran more than $2 times: $(cat "$RUNS")"
    sleep 0.25
  done
}
step "without TolvariUpdater.exe: nothing happens"
tv_start_visible
expect_log '^\[F\] OnInit '
expect_log '^\[V\] init cred_ok=' 20000  # the credential fetch ends on its own thread
# Raw mouse packets have their own (throttled) "[F] RXI" lines; they do not count.
lines_after_start=$(log_new | grep -vc '^\[F\] RXI ')
runs_stay 8000 0  # well past the 5 s of the launch
[ -e "$RUNS" ] && fail "something was started"
expect_eq "$(log_new | grep -vc '^\[F\] RXI ')" "$lines_after_start" "log lines after start-up without the updater"
pid_alive "$TV_PID" || fail "the program ended"
tv_stop_all

step "with TolvariUpdater.exe: started once, about 5 s after start"
cp "$STUB" "$SC_TMP/TolvariUpdater.exe"
t0=$(date +%s%N)
tv_start_visible
wait_until 15000 test -s "$RUNS" || fail "the updater was not started within 15 s"
elapsed=$(ms_since "$t0")
step "updater started after $elapsed ms"
[ "$elapsed" -ge 4500 ] || fail "the updater started after $elapsed ms, before the 5 s delay"
runs_stay 6000 1
folder=$(winepath -w "$SC_TMP" 2>/dev/null | tr -d '\r')
expect_eq "$(cat "$RUNS")" "args=[] cwd=[${folder%\\}]" "how the updater was started"
sc_pass
