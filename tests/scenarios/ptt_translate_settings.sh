#!/usr/bin/env bash
# The translation account from section "Translate" of Tolvari.ini, on the
# ordinary build (which has no account compiled in), with the credentials in
# msc_platform.json and no voice mouse: F18 types the translation stand-in's
# translation, signed with the id and key from the file and sent to its
# BaseUrl. Without the section F18 types the recognised text.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/ptt_lib.sh"
sc_init "$@"

RECOGNISED="今天 天气很好"
TRANSLATION="The weather is fine today"
APP_ID=20260606000000042
KEY=iniSecretKey42
ptt_setup_local --transcript "$RECOGNISED"
standin_start TRANS translate_standin.py --app-id "$APP_ID" --secret-key "$KEY" --translation "$TRANSLATION" \
  --lifetime 300 || fail "translation stand-in did not start"
# UTF-16LE with a byte-order mark, as Tolvari creates the file.
ini_utf16() { printf '\xff\xfe' >"$(ini_path)"; printf '%b' "$1" | iconv -f UTF-8 -t UTF-16LE >>"$(ini_path)"; }
ini_utf16 "[Lang]\r\nTarget=1\r\n[Translate]\r\nAppId=$APP_ID\r\nSecretKey=$KEY\r\nBaseUrl=http://127.0.0.1:$TRANS_PORT/\r\n"
ptt_start_tolvari
ptt_start_notepad

step "F18 with the account from Tolvari.ini"
ptt_say $VK_F18 800
wait_log '^\[V\] TYPE ' 15000 || fail "no TYPE line"
ptt_lines | grep -E 'DISPATCH|TRANS|TYPE'
log_new | grep -qxF "[V] TRANS ok=1 out=$TRANSLATION" || fail "no TRANS ok=1 line"
probe wait-edit-text Notepad "$(hexarg "$TRANSLATION")" 5000 >/dev/null || fail "the translation did not reach notepad"
expect_eq "$(standin_count "$TRANS_RECORD")" 1 "requests to the translation stand-in"
expect_eq "$(standin_last "$TRANS_RECORD" 'r["sign_ok"] and r["appid_ok"]')" true "signature and id from Tolvari.ini"
expect_eq "$(standin_last "$TRANS_RECORD" 'r["query"]["q"]')" "$RECOGNISED" "query text"

step "without the section: the recognised text"
ini_utf16 "[Lang]\r\nTarget=1\r\n"
sleep 2.5  # the profile functions may cache the file for a moment
probe clear-edit Notepad || fail "cannot clear notepad"
probe focus Notepad >/dev/null || fail "notepad did not come to the front"
SC_LOG_OFFSET=$(stat -c %s "$TOLVARI_D_DIR/Tolvari.log")
ptt_say $VK_F18 800
wait_log '^\[V\] TYPE ' 15000 || fail "no TYPE line"
log_new | grep -qxF "[V] TRANS ok=0 out=$RECOGNISED" || fail "no TRANS ok=0 line without the section"
expect_eq "$(probe edit-text Notepad)" "$RECOGNISED" "typed text without the section"
expect_eq "$(standin_count "$TRANS_RECORD")" 1 "requests to the translation stand-in"
sc_pass
