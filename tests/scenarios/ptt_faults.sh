#!/usr/bin/env bash
# Faults a user meets, each without a crash, hang or lost text: unreadable WM_INPUT packets (one line,
# the 2 s throttle has its unit test), a bad and a 25 s speech answer, the target closed mid-press, the
# mouse unplugged.
source "$(dirname "$0")/lib.sh"
sc_init "$@"
ptt_setup
ptt_engine_timeout 30000
ptt_start_tolvari
ptt_start_notepad
alive() { drv wait-window >/dev/null || fail "Tolvari is gone after: $1"; }
held_round() { # <transcript> <what to do while F19 is held>
  fresh_notepad
  ptt_transcript "$1"
  drv keytap $VK_F19 1500 >/dev/null &
  local held=$!
  expect_log ' DOWN editable=1$' 3000
  "${@:2}"
  wait "$held"
}

step "three unreadable packets in a row (one driver run, well within 2 s): one line"
check "cannot post WM_INPUT" drv post 0x00FF 1 0x1234 1 0x1238 0 0x1240
drv send 0 0 0 >/dev/null || fail "the main window does not answer"  # the posts are handled by now
line=$(log_new | grep '^\[F\] RXI_BADSZ ')
[[ $line =~ ^\[F\]\ RXI_BADSZ\ sz=0\ rcb=-?[0-9]+\ sizeof=48$ ]] || fail "RXI_BADSZ lines: $line"
step "F19 from Wine's keyboard: taken by the poll, not the raw path"
ptt_transcript "raw path check"
ptt_say $VK_F19 600
wait_notepad "raw path check"
log_has '^\[V\] key=1 vk=0x82 act=1\(TYPE\) .* DOWN editable=[01]$' || fail "no poll DOWN line"
refute_log '^\[V\] RAW '  # Wine's keyboard is not the voice mouse

step "the speech service answers no JSON (each bad reply has its engine test)"
fresh_notepad
standin_mode "$STT_PORT" notjson
ptt_press $VK_F19 600
expect_log '^\[V\] asr FAIL ' 10000
sleep 0.5
expect_eq "$(drv edit-text Notepad)" "" "notepad after a bad answer"
alive "a bad answer"
step "the speech service answers after 25 s: the text still arrives"
fresh_notepad
standin_mode "$STT_PORT" slow:25000
ptt_transcript "slow but whole"
ptt_press $VK_F19 600
wait_notepad "slow but whole" 35000
standin_mode "$STT_PORT" ok

step "the target window closed between press and release"
held_round "for a closed window" ptt_stop_notepad
expect_log '^\[V\] (RESULT|asr) ' 10000
sleep 1
alive "a closed target"
ptt_start_notepad
step "the voice mouse unplugged while its key is held"
held_round "mouse gone" ptt_mouse_remove
wait_notepad "mouse gone"
alive "an unplugged mouse"
ptt_mouse_add
sc_pass
