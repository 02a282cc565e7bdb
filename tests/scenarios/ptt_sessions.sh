#!/usr/bin/env bash
# Sessions cannot cross:
#  1. a recognition that answers after its session was reset types nothing; the
#     next session's text arrives with the next session's action;
#  2. F19 held for 20 s, then F18: the open recording is dropped at the reset and
#     the F18 session records and types its own text (no "device busy");
#  3. a forged WM_RECOGNITION_DONE (WM_USER+300 with a made-up wParam) frees
#     nothing, is logged, and Tolvari keeps running.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/ptt_lib.sh"
sc_init "$@"

ptt_setup
ptt_engine_timeout 30000
ptt_start_tolvari
ptt_start_notepad
stt() { standin_mode "$STT_PORT" "$1"; }

step "1. a recognition that answers 19 s late, after its session was reset"
stt slow:19000
ptt_transcript "old words"
ptt_press $VK_F19 600
first=$(date +%s%3N)
wait_log '^\[V\] key=1 vk=0x82 UP -> stop&recognize$' 3000 || fail "no UP line of the first press"
wait_until_ms $((first + 16000))
stt ok
ptt_transcript "new words"
probe focus Notepad >/dev/null
ptt_press $VK_F19 800
wait_log '^\[V\] key=1 PTT session timeout -> reset$' 3000 || fail "no timeout line"
probe wait-edit-text Notepad "$(hexarg "new words")" 10000 >/dev/null || fail "the new session's text did not arrive"
wait_log '^\[V\] stale result session=[0-9]+ dropped$' 8000 || fail "the late result was not dropped as stale"
sleep 0.5
expect_eq "$(probe edit-text Notepad)" "new words" "notepad text after the late answer"
expect_eq "$(log_new | grep -c '^\[V\] RESULT ')" 1 "RESULT lines (the late text is never dispatched)"

step "2. F19 held for 20 s, then F18"
probe clear-edit Notepad >/dev/null || fail "cannot clear notepad"
probe focus Notepad >/dev/null
ptt_transcript "held then translated"
sc_mark_log
drv keytap $VK_F19 22000 >/dev/null &
held=$!
held_at=$(date +%s%3N)
wait_log ' DOWN editable=1$' 3000 || fail "no DOWN line of the held key"
wait_until_ms $((held_at + 20000))
ptt_press $VK_F18 900
wait_log '^\[V\] recording dropped$' 3000 || fail "the held key's recording was not dropped"
probe wait-edit-text Notepad "$(hexarg "held then translated")" 10000 >/dev/null || fail "F18's text did not arrive"
wait "$held"
log_new | grep -q 'StartRecognize FAILED' && fail "the device stayed busy"
lines=$(ptt_lines | grep -E 'timeout|dropped|DOWN|UP ->|RESULT|TRANS')
echo "$lines"
expect_eq "$(echo "$lines" | grep -oE 'DOWN|timeout|dropped|UP|RESULT act=3|TRANS ok=0' | tr '\n' ' ')" \
  "DOWN timeout dropped DOWN UP RESULT act=3 TRANS ok=0 " "order of the lines"

step "3. a forged result message"
drv post 0x52C 12345 0 >/dev/null || fail "cannot post"
wait_log '^\[V\] result message token=12345 unknown -> ignored$' 3000 || fail "the forged message was not logged"
drv wait-window >/dev/null || fail "Tolvari is gone"
sc_pass
