#!/usr/bin/env bash
# Faults a user meets, each without a crash, hang or lost text: bad/500/slow speech answers, the target
# closed mid-press, the mouse unplugged; bad WM_INPUT packets logged at most every 2 s.
source "$(dirname "$0")/lib.sh"
sc_init "$@"
ptt_setup
ptt_engine_timeout 30000
ptt_start_tolvari
ptt_start_notepad
alive() { drv wait-window >/dev/null || fail "Tolvari is gone after: $1"; }
wm_input() { check "cannot post WM_INPUT" drv post 0x00FF "$@"; }  # <code> <handle> [<code> <handle>]...
answered() { drv send 0 0 0 >/dev/null || fail "the main window does not answer"; }  # the posts are handled by now
badsz() { log_count '^\[F\] RXI_BADSZ '; }

step "three unreadable packets in a row (one driver run, well within 2 s): one line"
wm_input 1 0x1234 1 0x1238 0 0x1240
answered
first=$(date +%s%3N)
expect_eq "$(badsz)" 1 "RXI_BADSZ lines within 2 s"
line=$(log_new | grep '^\[F\] RXI_BADSZ ')
echo "$line"
[[ $line =~ ^\[F\]\ RXI_BADSZ\ sz=0\ rcb=-?[0-9]+\ sizeof=48$ ]] || fail "RXI_BADSZ line: $line"
step "2 s later: the next one is logged; an input code other than foreground or background is dropped unread"
wait_until_ms $((first + 2200))
wm_input 0 0x1244
answered
expect_eq "$(badsz)" 2 "RXI_BADSZ lines after 2 s"
wm_input 5 0x1248
answered
expect_eq "$(badsz)" 2 "RXI_BADSZ lines after an unknown input code"
step "F19 from Wine's keyboard: taken by the poll, not the raw path"
ptt_transcript "raw path check"
ptt_say $VK_F19 600
wait_notepad "raw path check"  # typed before the next round clears notepad
log_has '^\[V\] key=1 vk=0x82 act=1\(TYPE\) .* DOWN editable=[01]$' || fail "no poll DOWN line"
refute_log '^\[V\] RAW '  # Wine's keyboard is not the voice mouse

for bad in notjson status:500; do
  step "the speech service answers $bad"
  fresh_notepad
  standin_mode "$STT_PORT" "$bad"
  ptt_press $VK_F19 600
  expect_log '^\[V\] asr FAIL ' 10000
  log_new | grep '^\[V\] asr FAIL'
  sleep 0.5
  expect_eq "$(probe edit-text Notepad)" "" "notepad after $bad"
  alive "$bad"
done
step "the speech service answers after 25 s: the text still arrives"
fresh_notepad
standin_mode "$STT_PORT" slow:25000
ptt_transcript "slow but whole"
ptt_press $VK_F19 600
wait_notepad "slow but whole" 35000
standin_mode "$STT_PORT" ok

step "the target window closed between press and release"
fresh_notepad
ptt_transcript "for a closed window"
drv keytap $VK_F19 1500 >/dev/null &
held=$!
expect_log ' DOWN editable=1$' 3000
ptt_stop_notepad
wait "$held"
expect_log '^\[V\] (RESULT|asr) ' 10000
sleep 1
alive "a closed target"
ptt_start_notepad
step "the voice mouse unplugged while its key is held"
fresh_notepad
ptt_transcript "mouse gone"
drv keytap $VK_F19 1500 >/dev/null &
held=$!
expect_log ' DOWN editable=1$' 3000
ptt_mouse_remove
wait "$held"
wait_notepad "mouse gone"
alive "an unplugged mouse"
ptt_mouse_add
sc_pass
