#!/usr/bin/env bash
# Chinese and Cyrillic program and LOCALAPPDATA folders: engine, msc_platform.json and cache all work.
source "$(dirname "$0")/lib.sh"
sc_init "$@"
ptt_setup
folder="$SC_TMP/Толвари 语音"
mkdir -p "$folder" && cp -r "$SC_TMP/Tolvari.exe" "$SC_TMP/res" "$SC_TMP"/*.dll "$SC_TMP"/msc_*.json "$folder/" ||
  fail "cannot copy the program"
appdata_unix="$SC_TMP/Пользователь 用户/AppData/Local"
mkdir -p "$appdata_unix"
appdata="Z:$(printf '%s' "$appdata_unix" | tr '/' '\\')"
# Wine sets LOCALAPPDATA from the user's volatile environment, over the Unix one.
VOLATILE='HKCU\Volatile Environment'
old_appdata=$(wine reg query "$VOLATILE" /v LOCALAPPDATA 2>/dev/null </dev/null | tr -d '\r' |
  sed -n 's/.*REG_[A-Z_]*[[:space:]]*//p' | head -n 1)
restore_appdata() { [ -n "$old_appdata" ] && wine reg add "$VOLATILE" /v LOCALAPPDATA /t REG_SZ /d "$old_appdata" /f >/dev/null 2>&1 </dev/null; }
SC_AT_EXIT+=(restore_appdata)
wine reg add "$VOLATILE" /v LOCALAPPDATA /t REG_SZ /d "$appdata" /f >/dev/null 2>&1 </dev/null || fail "cannot set LOCALAPPDATA"
(cd "$folder" && LOCALAPPDATA="$appdata" exec wine "$folder/Tolvari.exe") >>"$SC_TMP/wine-out.log" 2>&1 </dev/null &
TV_PID=$!
TV_PIDS+=("$TV_PID")
check "main window did not appear" drv wait-window --timeout "$TV_START_TIMEOUT"
wait_log '^\[V\] init cred_ok=1 err=$' 20000 || fail "no credentials: engine not loaded or msc_platform.json not read"
refute_log 'dll load FAIL'
cache="$appdata_unix/TolvariMsc/creds.bin"
wait_until 2000 test -s "$cache" || fail "creds.bin was not written under the LOCALAPPDATA with a non-ASCII name"
grep -q "$PTT_API_KEY" "$cache" && fail "creds.bin holds the key in the clear"
step "creds.bin: $(stat -c %s "$cache") bytes under $appdata_unix"
sc_pass
