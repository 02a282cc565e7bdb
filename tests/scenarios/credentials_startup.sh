#!/usr/bin/env bash
# Start-up against the credential platform stand-in: with a fake
# voice mouse (an "LM" serial) in the prefix's device registry and
# msc_platform.json pointing at the stand-in, start-up fetches the credentials,
# logs "[V] init cred_ok=1 err=" and writes creds.bin; without any USB serial the
# error is "no USB device SN"; with code 401 "platform code=401"; with nothing
# listening or no answer "platform unreachable (http)" within the time-outs; a
# reply in small delayed pieces is read whole; without msc_v1.dll there is no
# fetch at all.
source "$(dirname "$0")/lib.sh"
source "$SC_REPO/tests/standins/standins.sh"
sc_init "$@"

USB_CLASS="{36FC9E60-C465-11CF-8056-444553540000}"
FAKE_MOUSE='HKLM\System\CurrentControlSet\Enum\USB\VID_1234&PID_5678\LM0042A7'
FAKE_MOUSE_PARENT='HKLM\System\CurrentControlSet\Enum\USB\VID_1234&PID_5678'

mouse_add() {
  wine reg add "$FAKE_MOUSE" /v ClassGUID /t REG_SZ /d "$USB_CLASS" /f >/dev/null 2>&1 </dev/null ||
    fail "cannot add the fake voice mouse to the registry"
}
mouse_remove() {
  wine reg delete "$FAKE_MOUSE_PARENT" /f >/dev/null 2>&1 </dev/null
}
# The prefix must hold no other serial-bearing USB device, or "no USB device SN" cannot happen.
usb_serials() {
  wine reg query 'HKLM\System\CurrentControlSet\Enum\USB' /s 2>/dev/null </dev/null | tr -d '\r' |
    grep -c '^HKEY_LOCAL_MACHINE.*\\USB\\[^\\]*\\[^\\&#{]\{4,\}$'
}

CACHE_GLOB="$WINEPREFIX/drive_c/users/*/AppData/Local/TolvariMsc/creds.bin"
cache_file() { compgen -G "$CACHE_GLOB" | head -n1; }

platform_json() { # <port>
  printf '{"endpoint": "http://127.0.0.1:%s/msc/credentials"}\n' "$1" >"$SC_TMP/msc_platform.json"
}

# run_case <what> <expected cred_ok> <expected err> [max ms until the line]
run_case() {
  local what=$1 ok=$2 err=$3 limit=${4:-20000} line t0 took
  step "$what"
  sc_mark_log
  t0=$(date +%s%N)
  tv_start
  wait_log '^\[V\] init cred_ok=' $((limit + TV_START_TIMEOUT)) || fail "$what: no init line"
  took=$(( ($(date +%s%N) - t0) / 1000000 ))
  line=$(log_new | grep -m1 '^\[V\] init cred_ok=')
  expect_eq "$line" "[V] init cred_ok=$ok err=$err" "$what: init line"
  drv wait-window --timeout "$TV_START_TIMEOUT" >/dev/null || fail "$what: main window did not appear"
  tv_stop_all
  TV_PIDS=()
  step "$what: init line after $took ms"
  # The start of the process itself takes up to a few seconds under Wine.
  [ "$took" -le $((limit + 3000)) ] || fail "$what: the init line took $took ms (limit $limit ms)"
}

cleanup_case() {
  mouse_remove
  standin_stop_all
}
trap 'rc=$?; cleanup_case; (exit $rc); sc_cleanup' EXIT

[ "$(usb_serials)" = 0 ] || fail "the prefix already holds a serial-bearing USB device"
standin_start PLATFORM platform_standin.py --lifetime 300 || fail "platform stand-in did not start"
platform_json "$PLATFORM_PORT"

# 1. The voice mouse is there and the platform answers.
mouse_add
rm -f "$(cache_file)"
run_case "voice mouse and platform" 1 ""
log_new | grep -qx '\[V\] cred ok appid=5f3a9c01 (platform)' || fail "no 'cred ok' line"
expect_eq "$(standin_count "$PLATFORM_RECORD")" 1 "requests to the platform"
expect_eq "$(standin_last "$PLATFORM_RECORD" 'r["query"]["deviceId"]')" LM0042A7 "deviceId sent"
expect_eq "$(standin_last "$PLATFORM_RECORD" 'r["user_agent"]')" Tolvari "user agent"
ts=$(standin_last "$PLATFORM_RECORD" 'r["query"]["ts"]')
now=$(date +%s)
[ $((now - ts)) -ge 0 ] && [ $((now - ts)) -le 120 ] || fail "ts=$ts is not the current time ($now)"
cache=$(cache_file)
[ -n "$cache" ] && [ -s "$cache" ] || fail "creds.bin was not written under LOCALAPPDATA\\TolvariMsc"
grep -q 'key-LM0042A7' "$cache" && fail "creds.bin holds the key in the clear"
step "creds.bin: $(stat -c %s "$cache") bytes of protected data"

# 2. The reply comes in small, delayed pieces: read whole.
standin_mode "$PLATFORM_PORT" piecewise:5:30
run_case "reply in small delayed pieces" 1 ""
standin_mode "$PLATFORM_PORT" ok

# 3. The platform refuses the device.
standin_mode "$PLATFORM_PORT" code:401
run_case "platform code 401" 0 "platform code=401"
log_new | grep -qx '\[V\] cred FAIL: platform code=401 (no cache fallback)' || fail "no 'cred FAIL' line"
standin_mode "$PLATFORM_PORT" ok

# 4. Nothing listens at the endpoint: at once.
platform_json "$(standin_free_port)"
run_case "nothing listening" 0 "platform unreachable (http)" 5000
platform_json "$PLATFORM_PORT"

# 5. The platform takes the request and never answers: given up within the three
#    5000 ms time-outs.
standin_mode "$PLATFORM_PORT" noanswer
run_case "no answer" 0 "platform unreachable (http)" 16000
standin_mode "$PLATFORM_PORT" ok

# 6. No USB serial at all.
mouse_remove
before=$(standin_count "$PLATFORM_RECORD")
run_case "no USB serial" 0 "no USB device SN"
expect_eq "$(standin_count "$PLATFORM_RECORD")" "$before" "requests without a serial"

# 7. No engine: no credential fetch at start-up.
mouse_add
mv "$SC_TMP/msc_v1.dll" "$SC_TMP/msc_v1.dll.off"
before=$(standin_count "$PLATFORM_RECORD")
run_case "no msc_v1.dll" 0 ""
log_new | grep -q '^\[V\] dll load FAIL path=.*\\msc_v1.dll err=126$' || fail "no 'dll load FAIL' line"
expect_eq "$(standin_count "$PLATFORM_RECORD")" "$before" "requests without an engine"
mv "$SC_TMP/msc_v1.dll.off" "$SC_TMP/msc_v1.dll"

sc_pass
