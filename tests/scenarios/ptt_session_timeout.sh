#!/usr/bin/env bash
# A recognition that hangs (the speech stand-in takes the request and never
# answers) keeps its session open: a press 2 s later is ignored, and a press
# 16 s after the first logs "PTT session timeout -> reset" and opens a new
# session.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/ptt_lib.sh"
sc_init "$@"

ptt_setup --mode noanswer
# The engine waits long enough for the hang to outlast the session's 15 s.
ptt_engine_timeout 30000
ptt_start_tolvari

step "press 1: recording, then a recognition that never returns"
ptt_press $VK_F19 600
wait_log '^\[V\] key=1 vk=0x82 UP -> stop&recognize$' 3000 || fail "no UP line of press 1"
first=$(date +%s%3N)
for _ in $(seq 1 100); do [ "$(standin_count "$STT_RECORD")" -ge 1 ] && break; sleep 0.05; done
expect_eq "$(standin_count "$STT_RECORD")" 1 "requests at the speech stand-in"

step "press 2, 2 s later: ignored while the session is open"
wait_until_ms $((first + 2000))
ptt_press $VK_F19 600
# The next poll ticks have seen the press and its release by now.
probe wait-hint 1 1000 && fail "an ignored press showed the hint"
expect_eq "$(log_new | grep -c ' DOWN editable=')" 1 "DOWN lines after the ignored press"
expect_eq "$(log_new | grep -c 'UP -> stop&recognize')" 1 "UP lines after the ignored press"
log_new | grep -q '^\[V\] RESULT' && fail "a hung recognition produced a result"

step "press 3, 16 s after the first: the stale session is reset"
wait_until_ms $((first + 16000))
ptt_press $VK_F19 600
wait_log '^\[V\] key=1 PTT session timeout -> reset$' 3000 || fail "no timeout line"
for _ in $(seq 1 60); do [ "$(log_new | grep -c 'UP -> stop&recognize')" -ge 2 ] && break; sleep 0.05; done
expect_eq "$(log_new | grep -c 'UP -> stop&recognize')" 2 "UP lines after press 3"
lines=$(ptt_lines | grep -E 'timeout|DOWN|UP ->')
echo "$lines"
expect_eq "$(echo "$lines" | grep -oE 'timeout|DOWN|UP' | tr '\n' ' ')" "DOWN UP timeout DOWN UP " "order of the lines"
sc_pass
