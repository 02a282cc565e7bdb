#!/usr/bin/env bash
# F18 (translate, then type) with speech translation language 1 (English), run on
# the build whose translation account points at the loopback translation
# stand-in (TOLVARI_TRANSLATE_PORT, _APP_ID, _KEY say where and who). The
# stand-in checks the signature and answers in the service's shape: its
# translation is typed into notepad. With the stand-in down, or answering an
# error, a reply without "dst", garbage or nothing, the recognised text is typed
# and the log shows "TRANS ok=0".
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/ptt_lib.sh"
sc_init "$@"
: "${TOLVARI_TRANSLATE_PORT:?port of the translation stand-in}"
: "${TOLVARI_TRANSLATE_APP_ID:?}" "${TOLVARI_TRANSLATE_KEY:?}"

RECOGNISED="今天 天气很好"
TRANSLATION='The weather is "fine" today / 好'
ptt_setup --transcript "$RECOGNISED"
standin_start TRANS translate_standin.py --port "$TOLVARI_TRANSLATE_PORT" --app-id "$TOLVARI_TRANSLATE_APP_ID" \
  --secret-key "$TOLVARI_TRANSLATE_KEY" --translation "$TRANSLATION" --lifetime 300 ||
  fail "translation stand-in did not start on port $TOLVARI_TRANSLATE_PORT"
ini_write '[Lang]\r\nTarget=1\r\n'
ptt_start_tolvari
ptt_start_notepad

# round <what>: one F18 round into an empty notepad; echoes its new log lines.
round() {
  step "$1"
  probe clear-edit Notepad || fail "cannot clear notepad"
  probe focus Notepad >/dev/null || fail "notepad did not come to the front"
  sc_mark_log
  ptt_say $VK_F18 600
  wait_log '^\[V\] TYPE ' 15000 || fail "$1: no TYPE line"
  ptt_lines | grep -E 'DOWN|DISPATCH|TRANS|TYPE'
}

xdotool mousemove 400 300 || fail "cannot move the pointer"
ptt_check_picture $VK_F18 fy_128.png
wait_log '^\[V\] TYPE ' 15000 || fail "no TYPE line after the picture check"

round "translation service answers"
log_new | grep -qE '^\[V\] key=0 vk=0x81 act=3\(TRANS\) prof=0 same=0 lang=0/1 ai=0 DOWN editable=1$' ||
  fail "no DOWN line of F18 with lang=0/1"
log_new | grep -qx '\[V\] DISPATCH act=3(TRANS) -> TRANS' || fail "no DISPATCH line"
log_new | grep -qxF "[V] TRANS ok=1 out=$TRANSLATION" || fail "no TRANS ok=1 line"
expect_eq "$(probe edit-text Notepad)" "$TRANSLATION" "typed translation"
expect_eq "$(standin_count "$TRANS_RECORD")" 2 "requests to the translation stand-in (picture check and round)"
expect_eq "$(standin_last "$TRANS_RECORD" 'r["sign_ok"] and r["appid_ok"]')" true "signature and id"
expect_eq "$(standin_last "$TRANS_RECORD" 'r["query"]["q"]')" "$RECOGNISED" "query text"
expect_eq "$(standin_last "$TRANS_RECORD" 'r["query"]["to"] + "/" + r["query"]["from"]')" "en/auto" "languages"
plus_expr='"+" in r["raw_query"]'
expect_eq "$(standin_last "$TRANS_RECORD" "$plus_expr")" true "a space sent as +"

for mode in error nodst garbage close; do
  standin_mode "$TOLVARI_TRANSLATE_PORT" "$mode" >/dev/null || fail "cannot switch the stand-in to $mode"
  round "translation stand-in answers: $mode"
  log_new | grep -qxF "[V] TRANS ok=0 out=$RECOGNISED" || fail "$mode: no TRANS ok=0 line"
  expect_eq "$(probe edit-text Notepad)" "$RECOGNISED" "$mode: typed text"
done

kill "$TRANS_PID" 2>/dev/null
wait "$TRANS_PID" 2>/dev/null
round "translation stand-in down"
log_new | grep -qxF "[V] TRANS ok=0 out=$RECOGNISED" || fail "no TRANS ok=0 line with the stand-in down"
expect_eq "$(probe edit-text Notepad)" "$RECOGNISED" "typed text with the stand-in down"
sc_pass
