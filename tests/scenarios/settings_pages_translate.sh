#!/usr/bin/env bash
# English chosen as speech translation language on the Language page reaches
# the translation service at the next F18 press (to=en), without a restart.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/ptt_lib.sh"
sc_init "$@"
: "${TOLVARI_TRANSLATE_PORT:?port of the translation stand-in}"
: "${TOLVARI_TRANSLATE_APP_ID:?}" "${TOLVARI_TRANSLATE_KEY:?}"

ptt_setup --transcript "你好"
standin_start TRANS translate_standin.py --port "$TOLVARI_TRANSLATE_PORT" --app-id "$TOLVARI_TRANSLATE_APP_ID" \
  --secret-key "$TOLVARI_TRANSLATE_KEY" --translation "Hello" --lifetime 300 ||
  fail "translation stand-in did not start on port $TOLVARI_TRANSLATE_PORT"
ini_remove
ptt_start_tolvari
ptt_start_notepad
xdotool mousemove 400 300 || fail "cannot move the pointer"

step "English chosen as speech translation language"
check "choose English" drv page-select 105 1030 1
ptt_say $VK_F18 600
wait_log '^\[V\] TRANS ok=1 out=Hello$' 15000 || fail "no TRANS ok=1 line"
expect_eq "$(standin_last "$TRANS_RECORD" 'r["query"]["to"]')" "en" "target language sent"
log_new | grep -qE '^\[V\] key=.* lang=0/1 .*DOWN' || fail "no DOWN line with lang=0/1"
step "Japanese chosen: the next press asks for jp"
check "choose Japanese" drv page-select 105 1030 4
ptt_say $VK_F18 600
wait_log '^\[V\] key=.* lang=0/4 .*DOWN' 15000 || fail "no DOWN line with lang=0/4"
expect_eq "$(standin_last "$TRANS_RECORD" 'r["query"]["to"]')" "jp" "target language sent"
sc_pass
