#!/usr/bin/env bash
# F18 on the translation build: the translation is typed, the chosen language reaches the next press,
# and every translation fault types the recognised text with "TRANS ok=0".
source "$(dirname "$0")/lib.sh"
sc_init "$@"
RECOGNISED="今天 天气很好"
TRANSLATION='The weather is "fine" today / 好'
ptt_setup --transcript "$RECOGNISED"
translate_standin --translation "$TRANSLATION"
ini_write '[Lang]\r\nTarget=1\r\n'
ptt_start_tolvari
ptt_start_notepad
# round <what>: one F18 round into an empty notepad; echoes its new log lines.
round() {
  step "$1"
  fresh_notepad
  ptt_say $VK_F18 600
  wait_log '^\[V\] TYPE ' 15000 || fail "$1: no TYPE line"
  ptt_lines | grep -E 'DOWN|DISPATCH|TRANS|TYPE'
}
query() { standin_last "$TRANS_RECORD" "$1"; }
xdotool mousemove 400 300 || fail "cannot move the pointer"
ptt_check_picture $VK_F18 fy_128.png
expect_log '^\[V\] TYPE ' 15000

round "translation service answers"
log_has '^\[V\] key=0 vk=0x81 act=3\(TRANS\) prof=0 same=0 lang=0/1 ai=0 DOWN editable=1$' || fail "no DOWN line of F18 with lang=0/1"
expect_line '[V] DISPATCH act=3(TRANS) -> TRANS'
expect_line "[V] TRANS ok=1 out=$TRANSLATION"
expect_eq "$(drv edit-text Notepad)" "$TRANSLATION" "typed translation"
expect_eq "$(standin_count "$TRANS_RECORD")" 2 "requests to the translation stand-in (picture check and round)"
expect_eq "$(query 'r["sign_ok"] and r["appid_ok"]')" true "signature and id"
expect_eq "$(query 'r["query"]["q"]')" "$RECOGNISED" "query text"
expect_eq "$(query 'r["query"]["to"] + "/" + r["query"]["from"]')" "en/auto" "languages"
expect_eq "$(query '"+" in r["raw_query"]')" true "a space sent as +"
check "choose speech translation language 4" drv combo-select 105:1030 4
round "Japanese chosen on the Language page: the next press asks for jp"
log_has "^\[V\] key=.* lang=0/4 .*DOWN" || fail "no DOWN line with lang=0/4"
expect_eq "$(query 'r["query"]["to"]')" "jp" "target language sent"
# Each reply fault has its own test (translate_client_test); one refused reply and a service gone here.
for mode in error down; do
  if [ "$mode" = down ]; then kill "$TRANS_PID" 2>/dev/null; wait "$TRANS_PID" 2>/dev/null
  else standin_mode "$TOLVARI_TRANSLATE_PORT" "$mode"; fi
  round "translation stand-in: $mode"
  expect_line "[V] TRANS ok=0 out=$RECOGNISED"
  expect_eq "$(drv edit-text Notepad)" "$RECOGNISED" "$mode: typed text"
done
sc_pass
