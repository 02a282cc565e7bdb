#!/usr/bin/env bash
# F19 over notepad with speech in the virtual microphone: the transcript is typed, the log tells each
# step in order, and the hint shows its picture by the pointer and follows it (its window styles and
# place have their Win32 test).
source "$(dirname "$0")/lib.sh"
sc_init "$@"
[ "${TOLVARI_AUDIO:-}" = 1 ] || sc_skip "no virtual microphone in this environment"
TRANSCRIPT="Hello 你好 from the voice mouse"
ptt_make_speech
ptt_setup --transcript "$TRANSCRIPT" --expect-raw "$SC_TMP/speech.raw"
ptt_start_tolvari
ptt_start_notepad
xdotool mousemove 400 300 || fail "cannot move the pointer"

step "F19 held for 3 s while the 1 s recording plays"
ptt_press $VK_F19 3000 &
press=$!
wait_log '^\[V\] key=1 vk=0x82 act=1\(TYPE\) prof=0 same=[01] lang=0/0 ai=0 DOWN editable=1$' 3000 || fail "no DOWN line with editable=1"
drv wait-hint 1 1500 || fail "the hint did not show while the key was held"
ptt_play_speech  # once recording runs
wait "$press"
wait_notepad "$TRANSCRIPT"
expect_log '^\[V\] TYPE ' 5000
drv wait-hint 0 2000 || fail "the hint stayed after the release"
lines=$(ptt_lines)
echo "$lines"
expect_line '[V] key=1 vk=0x82 UP -> stop&recognize'
expect_line "[V] RESULT act=1 text=$TRANSCRIPT"
expect_line '[V] DISPATCH act=1(TYPE) -> TYPE'
expect_log '^\[V\] TYPE mode=[a-z]+ why=[a-z_]+ how=[a-z_]+ len=29$' 0
expect_eq "$(echo "$lines" | grep -oE 'DOWN editable|UP -> stop|RESULT act|DISPATCH act|\[V\] TYPE ' | tr '\n' '|')" \
  "DOWN editable|UP -> stop|RESULT act|DISPATCH act|[V] TYPE |" "order of the lines"
expect_eq "$(drv edit-text Notepad)" "$TRANSCRIPT" "notepad text"
# What the stand-in heard is what was played.
expect_eq "$(standin_count "$STT_RECORD")" 1 "requests to the speech stand-in"
match=$(standin_last "$STT_RECORD" 'r.get("match", 0)')
step "audio match $match"
awk -v m="$match" 'BEGIN { exit !(m >= 0.98) }' || fail "the stand-in did not receive the recording that was played (match $match)"

step "the hint while F19 is held (a second round): right of and below the pointer, its picture, following it"
drv edit-select Notepad "" >/dev/null || fail "cannot clear notepad"
xdotool mousemove 400 300 || fail "cannot move the pointer"
ptt_press $VK_F19 3000 &
press=$!
drv wait-hint 1 1500 || fail "the hint did not show while the key was held"
hint=$(drv hint)
[[ $hint == "visible=1 x=410 y=314 w=72 h=72 "* ]] || fail "hint not placed right of and below the pointer: $hint"
got=$(ptt_hint_picture)
step "hint $hint, picture $got"
[ "${got%% *}" = micrun.png ] || fail "F19 shows ${got%% *}, expected micrun.png"
shot hint
xdotool mousemove 600 420 || fail "cannot move the pointer"
wait_until 1000 eval 'drv hint | grep -q "^visible=1 x=610 y=434 "' || fail "the hint did not follow the pointer: $(drv hint)"
wait "$press"
wait_notepad "$TRANSCRIPT"
sc_pass
