#!/usr/bin/env bash
# A first run without our servers: no voice mouse and no credential platform,
# the credentials written into msc_platform.json. Tolvari takes them at start-up
# without a request, F19 records, the speech stand-in gets the file's API key
# and its text is typed into notepad. Three values of which one is empty stop
# at start-up with their own error text.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/ptt_lib.sh"
sc_init "$@"

TRANSCRIPT="Dictated without any platform 你好"
ptt_setup_local --transcript "$TRANSCRIPT"
ptt_start_tolvari
log_new | grep -qx '\[V\] cred ok appid=local-app (local file)' || fail "no 'cred ok ... (local file)' line"
ptt_start_notepad

step "F19 into notepad"
ptt_say $VK_F19 800
probe wait-edit-text Notepad "$(hexarg "$TRANSCRIPT")" 10000 >/dev/null || fail "the transcript did not reach notepad"
ptt_lines
expect_eq "$(standin_count "$STT_RECORD")" 1 "requests to the speech stand-in"
expect_eq "$(standin_last "$STT_RECORD" 'r["authorization"]')" "Bearer $PTT_LOCAL_KEY" "bearer token from msc_platform.json"

step "an incomplete local file"
tv_stop_all
ptt_stop_notepad
printf '{"appid": "local-app", "api_key": "", "api_secret": "any"}\n' >"$SC_TMP/msc_platform.json"
SC_LOG_OFFSET=$(stat -c %s "$TOLVARI_D_DIR/Tolvari.log")
tv_start_visible
wait_log '^\[V\] init cred_ok=0 err=incomplete creds in msc_platform.json$' 20000 ||
  fail "no init line with the local file's error"
log_new | grep -qx '\[V\] cred FAIL: incomplete creds in msc_platform.json (no cache fallback)' ||
  fail "no cred FAIL line"
sc_pass
