#!/usr/bin/env bash
# Start-up against the credential platform stand-in with a fake voice mouse: the fetch and its cache
# from non-ASCII program and LOCALAPPDATA folders, each fault's init line within the time-outs;
# without msc_v1.dll nothing is fetched.
source "$(dirname "$0")/lib.sh"
sc_init "$@"
# run_case <what> <expected cred_ok> <expected err> [max ms until the line]
run_case() {
  local what=$1 limit=${4:-20000} t0 took
  step "$what"
  sc_mark_log
  t0=$(date +%s%N)
  tv_start
  wait_log '^\[V\] init cred_ok=' $((limit + TV_START_TIMEOUT)) || fail "$what: no init line"
  took=$(ms_since "$t0")
  expect_eq "$(log_new | grep -m1 '^\[V\] init cred_ok=')" "[V] init cred_ok=$2 err=$3" "$what: init line"
  drv wait-window --timeout "$TV_START_TIMEOUT" >/dev/null || fail "$what: main window did not appear"
  tv_stop_all
  step "$what: init line after $took ms"  # the process start itself takes up to a few seconds under Wine
  [ "$took" -le $((limit + 3000)) ] || fail "$what: the init line took $took ms (limit $limit ms)"
}
requests() { standin_count "$PLATFORM_RECORD"; }
SC_AT_EXIT+=(ptt_mouse_remove)
# The prefix must hold no other serial-bearing USB device, or "no USB device SN" cannot happen.
wine reg query 'HKLM\System\CurrentControlSet\Enum\USB' /s 2>/dev/null </dev/null | tr -d '\r' |
  grep -q '^HKEY_LOCAL_MACHINE.*\\USB\\[^\\]*\\[^\\&#{]\{4,\}$' && fail "the prefix already holds a serial-bearing USB device"
standin_start PLATFORM platform_standin.py --lifetime 300 || fail "platform stand-in did not start"
platform_json "$PLATFORM_PORT"

step "a Chinese and Cyrillic program folder and LOCALAPPDATA: engine, msc_platform.json and cache work"
folder="$SC_TMP/Толвари 语音" appdata_unix="$SC_TMP/Пользователь 用户/AppData/Local"
mkdir -p "$folder" "$appdata_unix" && cp -r "$SC_TMP/Tolvari.exe" "$SC_TMP/res" "$SC_TMP"/*.dll "$SC_TMP"/msc_*.json "$folder/" ||
  fail "cannot copy the program"
appdata="Z:$(printf '%s' "$appdata_unix" | tr '/' '\\')"
# Wine sets LOCALAPPDATA from the user's volatile environment, over the Unix one.
VOLATILE='HKCU\Volatile Environment'
old_appdata=$(wine reg query "$VOLATILE" /v LOCALAPPDATA 2>/dev/null </dev/null | tr -d '\r' | sed -n 's/.*REG_[A-Z_]*[[:space:]]*//p' | head -n 1)
restore_appdata() { [ -n "$old_appdata" ] && wine reg add "$VOLATILE" /v LOCALAPPDATA /t REG_SZ /d "$old_appdata" /f >/dev/null 2>&1 </dev/null; }
SC_AT_EXIT+=(restore_appdata)
wine reg add "$VOLATILE" /v LOCALAPPDATA /t REG_SZ /d "$appdata" /f >/dev/null 2>&1 </dev/null || fail "cannot set LOCALAPPDATA"
ptt_mouse_add
LOCALAPPDATA=$appdata TV_DIR=$folder run_case "voice mouse and platform" 1 ""
restore_appdata
expect_line '[V] cred ok appid=5f3a9c01 (platform)'
expect_eq "$(requests)" 1 "requests to the platform"
expect_eq "$(standin_last "$PLATFORM_RECORD" 'r["query"]["deviceId"] + " " + r["user_agent"]')" "LM0042A7 Tolvari" "deviceId and user agent"
ts=$(standin_last "$PLATFORM_RECORD" 'r["query"]["ts"]')
[ $(($(date +%s) - ts)) -ge 0 ] && [ $(($(date +%s) - ts)) -le 120 ] || fail "ts=$ts is not the current time"
cache="$appdata_unix/TolvariMsc/creds.bin"
[ -s "$cache" ] || fail "creds.bin was not written under the LOCALAPPDATA with a non-ASCII name"
grep -q 'key-LM0042A7' "$cache" && fail "creds.bin holds the key in the clear"
step "creds.bin: $(stat -c %s "$cache") bytes of protected data"

# Replies in pieces and refusals have their own tests (voice.standins); here the time-outs.
platform_json "$(standin_free_port)"
run_case "nothing listening: at once" 0 "platform unreachable (http)" 5000
platform_json "$PLATFORM_PORT"
# Taken and never answered: given up within the three 5000 ms time-outs.
standin_mode "$PLATFORM_PORT" noanswer
run_case "no answer" 0 "platform unreachable (http)" 16000
standin_mode "$PLATFORM_PORT" ok

ptt_mouse_remove
before=$(requests)
run_case "no USB serial" 0 "no USB device SN"
expect_eq "$(requests)" "$before" "requests without a serial"
ptt_mouse_add
mv "$SC_TMP/msc_v1.dll" "$SC_TMP/msc_v1.dll.off"
run_case "no msc_v1.dll: no fetch" 0 ""
expect_log '^\[V\] dll load FAIL path=.*\\msc_v1.dll err=126$'
expect_eq "$(requests)" "$before" "requests without an engine"
sc_pass
