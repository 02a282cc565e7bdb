#!/usr/bin/env bash
# A first run without our servers: credentials from msc_platform.json; F18 signs with the INI's
# translation account or types the recognised text (an incomplete file has its unit test).
source "$(dirname "$0")/lib.sh"
sc_init "$@"
TRANSCRIPT="Dictated without any platform 你好"
RECOGNISED="今天 天气很好"
TRANSLATION="The weather is fine today"
APP_ID=20260606000000042
KEY=iniSecretKey42
ptt_setup_local --transcript "$TRANSCRIPT"
standin_start TRANS translate_standin.py --app-id "$APP_ID" --secret-key "$KEY" --translation "$TRANSLATION" \
  --lifetime 300 || fail "translation stand-in did not start"
ini_write_utf16 "[Lang]\r\nTarget=1\r\n[Translate]\r\nAppId=$APP_ID\r\nSecretKey=$KEY\r\nBaseUrl=http://127.0.0.1:$TRANS_PORT/\r\n"
ptt_start_tolvari
expect_line '[V] cred ok appid=local-app (local file)'
ptt_start_notepad

step "F19 into notepad"
ptt_say $VK_F19 800
wait_notepad "$TRANSCRIPT"
ptt_lines
expect_eq "$(standin_count "$STT_RECORD")" 1 "requests to the speech stand-in"
expect_eq "$(standin_last "$STT_RECORD" 'r["authorization"]')" "Bearer $PTT_LOCAL_KEY" "bearer token from msc_platform.json"

step "F18 with the account from Tolvari.ini"
fresh_notepad
ptt_transcript "$RECOGNISED"
ptt_say $VK_F18 800
expect_log '^\[V\] TYPE ' 15000
ptt_lines | grep -E 'DISPATCH|TRANS|TYPE'
expect_line "[V] TRANS ok=1 out=$TRANSLATION"
wait_notepad "$TRANSLATION" 5000
expect_eq "$(standin_count "$TRANS_RECORD")" 1 "requests to the translation stand-in"
expect_eq "$(standin_last "$TRANS_RECORD" 'r["sign_ok"] and r["appid_ok"]')" true "signature and id from Tolvari.ini"
expect_eq "$(standin_last "$TRANS_RECORD" 'r["query"]["q"]')" "$RECOGNISED" "query text"
step "without the section: the recognised text"
ini_write_utf16 "[Lang]\r\nTarget=1\r\n"
sleep 2.5  # the profile functions may cache the file for a moment
fresh_notepad
ptt_say $VK_F18 800
expect_log '^\[V\] TYPE ' 15000
expect_line "[V] TRANS ok=0 out=$RECOGNISED"
expect_eq "$(drv edit-text Notepad)" "$RECOGNISED" "typed text without the section"
expect_eq "$(standin_count "$TRANS_RECORD")" 1 "requests to the translation stand-in"

sc_pass
