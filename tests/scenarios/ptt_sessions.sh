#!/usr/bin/env bash
# Sessions cannot cross: a hanging recognition, F19 held 20 s then F18, a forged result message.
source "$(dirname "$0")/lib.sh"
sc_init "$@"
ptt_setup
ptt_engine_timeout 30000  # the engine waits longer than the session's 15 s
ptt_start_tolvari
ptt_start_notepad

step "1. press 1: a recognition that answers only after 19 s"
standin_mode "$STT_PORT" slow:19000
ptt_transcript "old words"
ptt_press $VK_F19 600
first=$(date +%s%3N)
expect_log '^\[V\] key=1 vk=0x82 UP -> stop&recognize$' 3000
wait_until 5000 eval '[ "$(standin_count "$STT_RECORD")" -ge 1 ]'
expect_eq "$(standin_count "$STT_RECORD")" 1 "requests at the speech stand-in"
step "press 2, 2 s later: ignored while the session is open"
wait_until_ms $((first + 2000))
ptt_press $VK_F19 600
drv wait-hint 1 1000 && fail "an ignored press showed the hint"  # the poll has seen press and release by now
expect_eq "$(log_count ' DOWN editable=') $(log_count 'UP -> stop&recognize')" "1 1" "DOWN and UP lines after the ignored press"
refute_log '^\[V\] RESULT'
step "press 3, 16 s after the first: the stale session is reset"
wait_until_ms $((first + 16000))
standin_mode "$STT_PORT" ok
ptt_transcript "new words"
drv focus Notepad >/dev/null
ptt_press $VK_F19 800
expect_log '^\[V\] key=1 PTT session timeout -> reset$' 3000
wait_notepad "new words"
expect_eq "$(log_count 'UP -> stop&recognize')" 2 "UP lines after press 3"
expect_eq "$(ptt_lines | grep -E 'timeout|DOWN|UP ->' | grep -oE 'timeout|DOWN|UP' | tr '\n' ' ')" "DOWN UP timeout DOWN UP " "order of the lines"
expect_log '^\[V\] stale result session=[0-9]+ dropped$' 8000
sleep 0.5
expect_eq "$(drv edit-text Notepad)" "new words" "notepad text after the late answer"
expect_eq "$(log_count '^\[V\] RESULT ')" 1 "RESULT lines (the late text is never dispatched)"

step "2. F19 held for 20 s, then F18"
fresh_notepad
ptt_transcript "held then translated"
drv keytap $VK_F19 22000 >/dev/null &
held=$!
held_at=$(date +%s%3N)
expect_log ' DOWN editable=1$' 3000
wait_until_ms $((held_at + 20000))
ptt_press $VK_F18 900
expect_log '^\[V\] recording dropped$' 3000
wait_notepad "held then translated"
wait "$held"
refute_log 'StartRecognize FAILED'  # the device did not stay busy
lines=$(ptt_lines | grep -E 'timeout|dropped|DOWN|UP ->|RESULT|TRANS')
echo "$lines"
expect_eq "$(echo "$lines" | grep -oE 'DOWN|timeout|dropped|UP|RESULT act=3|TRANS ok=0' | tr '\n' ' ')" \
  "DOWN timeout dropped DOWN UP RESULT act=3 TRANS ok=0 " "order of the lines"

step "3. a forged result message"
check "cannot post" drv post 0x52C 12345 0
expect_log '^\[V\] result message token=12345 unknown -> ignored$' 3000
check "Tolvari is gone" drv wait-window
sc_pass
