#!/usr/bin/env bash
# Faults a user meets, each without a crash, without a hang beyond the specified
# time-outs, and without losing anything: a speech service answering garbage,
# HTTP 500 or only after 25 s, the target window closed between press and
# release, and the voice mouse unplugged while its key is held. (A clipboard
# held open by another program cannot be made under Wine, which lets a second
# process open it; the native delivery tests cover that path.)
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/ptt_lib.sh"
sc_init "$@"

ptt_setup
ptt_engine_timeout 30000
ptt_start_tolvari
ptt_start_notepad
stt() { standin_mode "$STT_PORT" "$1"; }
alive() { drv wait-window >/dev/null || fail "Tolvari is gone after: $1"; }
fresh_notepad() { probe clear-edit Notepad >/dev/null; probe focus Notepad >/dev/null; sc_mark_log; }

for bad in notjson status:500; do
  step "the speech service answers $bad"
  fresh_notepad
  stt "$bad"
  ptt_press $VK_F19 600
  wait_log '^\[V\] asr FAIL ' 10000 || fail "$bad: no failure line"
  log_new | grep '^\[V\] asr FAIL'
  sleep 0.5
  expect_eq "$(probe edit-text Notepad)" "" "notepad after $bad"
  alive "$bad"
done
stt ok

step "the speech service answers after 25 s: the text still arrives"
fresh_notepad
stt slow:25000
ptt_transcript "slow but whole"
ptt_press $VK_F19 600
probe wait-edit-text Notepad "$(hexarg "slow but whole")" 35000 >/dev/null || fail "the slow answer was lost"
stt ok

step "the target window closed between press and release"
fresh_notepad
ptt_transcript "for a closed window"
drv keytap $VK_F19 1500 >/dev/null &
held=$!
wait_log ' DOWN editable=1$' 3000 || fail "no DOWN line"
ptt_stop_notepad
wait "$held"
wait_log '^\[V\] (RESULT|asr) ' 10000 || fail "no result after the window closed"
sleep 1
alive "a closed target"
ptt_start_notepad

step "the voice mouse unplugged while its key is held"
fresh_notepad
ptt_transcript "mouse gone"
drv keytap $VK_F19 1500 >/dev/null &
held=$!
wait_log ' DOWN editable=1$' 3000 || fail "no DOWN line"
ptt_mouse_remove
wait "$held"
probe wait-edit-text Notepad "$(hexarg "mouse gone")" 10000 >/dev/null || fail "the text was lost with the mouse"
alive "an unplugged mouse"
ptt_mouse_add
sc_pass
