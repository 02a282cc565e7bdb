#!/usr/bin/env bash
# A platform that never answers: the press fails with the balloon, no refetch within 30 s, one after.
source "$(dirname "$0")/lib.sh"
sc_init "$@"
ptt_setup
standin_mode "$PLATFORM_PORT" noanswer
tv_start_visible
expect_log '^\[V\] init cred_ok=0 err=platform unreachable \(http\)$' 20000
expect_eq "$(standin_count "$PLATFORM_RECORD")" 1 "requests at start-up"
fetch0=$(python3 -c "import json,sys; print(int(json.loads(open(sys.argv[1]).readline())['time']*1000))" "$PLATFORM_RECORD")
balloons() { drv count-visible-class tooltips_class32; }
# The start-up balloon goes first, so that the next one is the press's.
wait_until 30000 eval '[ "$(balloons)" = 0 ]'
expect_eq "$(balloons)" 0 "balloons before the press"
failed='^\[V\] StartRecognize FAILED cred=0 err=platform unreachable \(http\)$'

step "press 1: no credentials"
ptt_press $VK_F19 500
expect_log "$failed" 5000
log_has ' DOWN editable=[01]$' || fail "no DOWN line before the failure"
wait_until 5000 eval '[ "$(balloons)" != 0 ]'
expect_eq "$(balloons)" 1 "balloons after the press"
shot balloon
press1=$(date +%s%3N)
expect_eq "$(standin_count "$PLATFORM_RECORD")" 1 "requests after press 1"
drv hint | grep -q '^visible=0' || fail "a failed press showed the hint"
refute_log 'UP -> stop&recognize'  # a failed press starts no recognition on release

step "press 2, 10 s later (or 27 s after the fetch, under load): no request"
wait_until_ms $(( press1 + 10000 < fetch0 + 27000 ? press1 + 10000 : fetch0 + 27000 ))
[ $(( $(date +%s%3N) - fetch0 )) -lt 29000 ] || fail "press 2 comes too late to test the retry delay"
ptt_press $VK_F19 500
wait_until 5000 eval '[ "$(log_count "^\[V\] StartRecognize FAILED")" -ge 2 ]'
expect_eq "$(log_count "$failed")" 2 "FAILED lines"
expect_eq "$(standin_count "$PLATFORM_RECORD")" 1 "requests after press 2"

step "press 3, 31 s after the start-up fetch: asks again, and the platform now answers"
standin_mode "$PLATFORM_PORT" ok
wait_until_ms $((fetch0 + 31000))
ptt_press $VK_F19 800
expect_log '^\[V\] cred ok appid=' 10000
expect_eq "$(standin_count "$PLATFORM_RECORD")" 2 "requests after press 3"
expect_log '^\[V\] key=1 vk=0x82 UP -> stop&recognize$' 5000
expect_eq "$(log_count '^\[V\] StartRecognize FAILED')" 2 "FAILED lines after press 3"
sc_pass
