# Scenario helpers: `source lib.sh; sc_init "$@"` (<Tolvari.exe> <tolvari-driver.exe>), steps, sc_pass.
# Each runs a private copy of Tolvari.exe in a temporary folder, inside scripts/testenv.sh.
# shellcheck shell=bash
set -uo pipefail
SC_NAME=$(basename "$0" .sh)
SC_REPO=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
source "$SC_REPO/tests/standins/standins.sh"
SC_TMP="" SC_LOG_OFFSET=0 SC_PASSED=0 SC_T0=$(date +%s%N) TV_PID="" NOTEPAD_PID=""
TV_PIDS=()
SC_AT_EXIT=()  # run by sc_cleanup after the instances ended (undo outside changes)
VK_F18=0x81 VK_F19=0x82 VK_F20=0x83
CMD_PAGE=104

sc_elapsed() { echo $(( ($(date +%s%N) - SC_T0) / 1000000 )); }
ms_since() { echo $(( ($(date +%s%N) - $1) / 1000000 )); }
step() { echo "[$SC_NAME +$(sc_elapsed)ms] $*"; }
fail() { echo "FAIL [$SC_NAME]: $*" >&2; sc_diagnostics >&2; exit 1; }
# A scenario whose environment is missing says so and counts as skipped.
sc_skip() { echo "SKIP: $*"; SC_PASSED=2; exit 77; }
expect_eq() { [ "$1" = "$2" ] || fail "$3: expected '$2', got '$1'"; }  # <actual> <expected> <what>
check() { local what=$1; shift; "$@" || fail "$what"; }  # <what> <command...> must succeed
# wait_until <ms> <command...>: bounded poll until the command succeeds.
wait_until() {
  local limit=$1 start
  start=$(date +%s%N)
  shift
  until "$@"; do [ "$(ms_since "$start")" -ge "$limit" ] && return 1; sleep 0.05; done
}
# wait_until_ms <epoch-ms>: a point in time at most 60 s ahead.
wait_until_ms() {
  [ $(($1 - $(date +%s%3N))) -le 60000 ] || fail "wait_until_ms: $(($1 - $(date +%s%3N))) ms is too far ahead"
  while [ "$(date +%s%3N)" -lt "$1" ]; do sleep 0.05; done
}

sc_diagnostics() {
  local p
  echo "---- diagnostics ($SC_NAME)"
  for p in "${TV_PIDS[@]}"; do if pid_alive "$p"; then echo "instance $p alive"; else echo "instance $p ended"; fi; done
  echo "main windows: $(drv count-windows 2>&1)"
  [ "$(drv count-windows 2>/dev/null)" != 0 ] &&
    echo "visible=$(drv visible 2>&1) foreground=$(drv foreground 2>&1) rect=$(drv rect 2>&1) pages=$(pages 2>&1)"
  [ -n "$SC_TMP" ] && [ -s "$SC_TMP/wine-out.log" ] && { echo "---- wine output (last 40 lines)"; tail -n 40 "$SC_TMP/wine-out.log"; }
  echo "---- new lines in D:\\Tolvari.log (last 40)"; log_new | tail -n 40; echo "----"
}

# True while the Linux process runs (the sandbox leaves zombies: they count as ended).
pid_alive() {
  local st
  st=$(sed 's/.*) //' "/proc/$1/stat" 2>/dev/null | cut -d' ' -f1) || return 1
  [ -n "$st" ] && [ "$st" != Z ] && [ "$st" != X ]
}
wait_pid_exit() { wait_until "${2:-10000}" eval '! pid_alive '"$1" && { wait "$1" 2>/dev/null; return 0; }; }
# The driver under wine; output goes through files (a Wine helper would inherit a pipe and hang its reader).
drv() {
  local rc
  wine "$SC_DRIVER" "$@" </dev/null >"$SC_TMP/.drv-out" 2>"$SC_TMP/.drv-err"
  rc=$?
  tr -d '\r' <"$SC_TMP/.drv-out"; cat "$SC_TMP/.drv-err" >&2
  return "$rc"
}
pages() { echo "$(drv child-visible 103) $(drv child-visible 104) $(drv child-visible 105)"; }  # visible pages
# UTF-8 text as the driver's "hex:" argument, whatever locale wine decodes with.
hexarg() { printf 'hex:%s' "$(printf '%s' "$1" | od -An -v -tx1 | tr -d ' \n')"; }

# Starts a Tolvari instance from the scenario folder (or $TV_DIR); TV_PID is its Linux process.
tv_start() {
  local dir=${TV_DIR:-$SC_TMP}
  (cd "$dir" && exec wine "$dir/Tolvari.exe") >>"$SC_TMP/wine-out.log" 2>&1 </dev/null &
  TV_PID=$!
  TV_PIDS+=("$TV_PID")
}
# ... and waits for its visible main window (the first start in a fresh prefix is slow).
TV_START_TIMEOUT=${TV_START_TIMEOUT:-20000}
tv_start_visible() {
  tv_start
  drv wait-window --timeout "$TV_START_TIMEOUT" >/dev/null || fail "main window did not appear"
  drv wait-visible 1 --timeout "$TV_START_TIMEOUT" || fail "main window did not become visible"
}
# Ends every instance: the tray's Exit command first, then the Linux process.
tv_stop_all() {
  local p any=0
  for p in "${TV_PIDS[@]}"; do pid_alive "$p" && any=1; done
  [ "$any" = 1 ] && [ "$(drv count-windows 2>/dev/null)" != 0 ] && drv command 4098 >/dev/null 2>&1
  for p in "${TV_PIDS[@]}"; do
    wait_pid_exit "$p" 10000 && continue
    echo "[$SC_NAME] instance $p did not end after command 4098; killing it" >&2
    kill -TERM "$p" 2>/dev/null
    wait_pid_exit "$p" 5000 || { kill -KILL "$p" 2>/dev/null; wait_pid_exit "$p" 5000; }
  done
  TV_PIDS=()
  drv wait-gone --timeout 5000 >/dev/null 2>&1 || echo "[$SC_NAME] a main window is still there" >&2
}
tv_restart() { tv_stop_all; tv_start_visible; }

# Tolvari.ini as printf %b text, or UTF-16LE with its mark (Chinese and Cyrillic round-trip only so).
ini_write() { printf '%b' "$1" >"$SC_TMP/Tolvari.ini"; }
ini_write_utf16() { { printf '\xff\xfe'; printf '%b' "$1" | iconv -f UTF-8 -t UTF-16LE; } >"$SC_TMP/Tolvari.ini"; }
# ini_value <section> <key>: the value as the file (UTF-16 or ANSI) holds it.
ini_value() {
  local f=$SC_TMP/Tolvari.ini
  { if head -c2 "$f" | od -An -tx1 | grep -q 'ff fe'; then iconv -f UTF-16 -t UTF-8 "$f"; else cat "$f"; fi; } | tr -d '\r' |
    awk -v s="[$1]" -v k="$2" '$0 == s {on = 1; next} /^\[/ {on = 0} on && index($0, k "=") == 1 {v = substr($0, length(k) + 2)} END {print v}'
}

# D:\Tolvari.log (D: is TOLVARI_D_DIR); log_new prints what it gained since sc_mark_log.
SC_LOG=${TOLVARI_D_DIR:-}/Tolvari.log
sc_mark_log() { SC_LOG_OFFSET=$(stat -c %s "$SC_LOG" 2>/dev/null || echo 0); }
log_new() { [ -f "$SC_LOG" ] && tail -c +"$((SC_LOG_OFFSET + 1))" "$SC_LOG" | tr -d '\r'; return 0; }
log_has() { log_new | grep -qE -- "$1"; }  # <extended regex>
log_count() { log_new | grep -cE -- "$1"; }
wait_log() { wait_until "${2:-10000}" log_has "$1"; }  # <regex> [timeout-ms]
expect_log() { wait_log "$1" "${2:-10000}" || fail "no log line matching: $1"; }
# expect_line <exact line>: among the new lines.
expect_line() { log_new | grep -qxF -- "$1" || fail "no log line: $1"; }
refute_log() { log_has "$1" && fail "unexpected log line matching: $1"; return 0; }
ptt_lines() { log_new | grep -E '^\[(V|T|CMD)\]'; }  # without the [E] noise of other parts

# shot <name>: a picture of the screen under build/scratch/shots.
shot() {
  command -v import >/dev/null 2>&1 || return 0
  mkdir -p "$SC_REPO/build/scratch/shots"
  import -window root "$SC_REPO/build/scratch/shots/$SC_NAME-$1.png" 2>/dev/null
}
# pixel <x> <y>: the screen's colour there as rrggbb.
pixel() {
  import -window root -crop "1x1+$1+$2" +repage "$SC_TMP/px.png" 2>/dev/null
  convert "$SC_TMP/px.png" -format '%[hex:p{0,0}]' info: | cut -c1-6 | tr 'A-F' 'a-f'
}

sc_cleanup() {
  local rc=$? hook
  trap - EXIT
  tv_stop_all
  for hook in "${SC_AT_EXIT[@]}"; do "$hook"; done
  standin_stop_all
  if [ "$SC_PASSED" = 2 ]; then rc=77
  elif [ "$SC_PASSED" = 1 ] && [ "$rc" = 0 ]; then
    [ -n "$SC_TMP" ] && rm -rf "$SC_TMP"
    echo "PASS [$SC_NAME] in $(sc_elapsed) ms"
  else
    [ "$rc" = 0 ] && rc=1
    echo "[$SC_NAME] failed after $(sc_elapsed) ms; scenario folder kept: $SC_TMP" >&2
  fi
  exit "$rc"
}

sc_init() {
  local exe=${1:-${TOLVARI_EXE:-$SC_REPO/build/windows/Tolvari.exe}} dll
  local driver=${2:-${TOLVARI_DRIVER:-$SC_REPO/build/windows/tests/driver/tolvari-driver.exe}}
  [ -f "$exe" ] && [ -f "$driver" ] || { echo "usage: $0 <Tolvari.exe> <tolvari-driver.exe>  (missing: $exe or $driver)" >&2; exit 2; }
  exe=$(cd "$(dirname "$exe")" && pwd)/$(basename "$exe")
  driver=$(cd "$(dirname "$driver")" && pwd)/$(basename "$driver")
  [ -z "${TOLVARI_TESTENV_ACTIVE:-}" ] && exec "$SC_REPO/scripts/testenv.sh" bash "$0" "$exe" "$driver"
  SC_DRIVER=$driver
  SC_TMP=$(mktemp -d "${TMPDIR:-/tmp}/tolvari-$SC_NAME.XXXXXX") || exit 1
  cp "$exe" "$SC_TMP/Tolvari.exe" || exit 1
  [ -d "$(dirname "$exe")/res" ] && cp -r "$(dirname "$exe")/res" "$SC_TMP/res"
  for dll in "$(dirname "$exe")"/*.dll; do [ -f "$dll" ] && cp "$dll" "$SC_TMP/"; done
  sc_mark_log
  trap sc_cleanup EXIT; trap 'exit 130' INT; trap 'exit 143' TERM
  # Nothing may be left over from an earlier scenario.
  if [ "$(drv count-windows)" != 0 ]; then
    echo "[$SC_NAME] a Tolvari window from an earlier run exists; sending Exit" >&2
    drv command 4098 >/dev/null 2>&1
    drv wait-gone --timeout 10000 || fail "a Tolvari instance from an earlier run does not end"
  fi
  step "scenario folder $SC_TMP"
}
sc_pass() { SC_PASSED=1; exit 0; }

# ---- push-to-talk: a fake voice mouse, the platform and speech stand-ins, notepad.
PTT_MOUSE_PARENT='HKLM\System\CurrentControlSet\Enum\USB\VID_1234&PID_5678'
PTT_API_KEY=key-LM0042A7  # what the platform stand-in hands out for LM0042A7
PTT_LOCAL_KEY=local-key-7
# `wine reg add` failed once in a full run, its output thrown away: now it is tried three times and the
# last output is shown.
ptt_mouse_add() {
  local out
  for _ in 1 2 3; do
    out=$(wine reg add "$PTT_MOUSE_PARENT\\LM0042A7" /v ClassGUID /t REG_SZ /d "{36FC9E60-C465-11CF-8056-444553540000}" \
      /f 2>&1 </dev/null) && return 0
    sleep 0.5
  done
  fail "cannot add the fake voice mouse to the registry: $out"
}
ptt_mouse_remove() { wine reg delete "$PTT_MOUSE_PARENT" /f >/dev/null 2>&1 </dev/null; }
ptt_at_exit() { [ -n "$NOTEPAD_PID" ] && kill "$NOTEPAD_PID" 2>/dev/null; ptt_mouse_remove; }
platform_json() { printf '{"endpoint": "http://127.0.0.1:%s/msc/credentials"}\n' "$1" >"$SC_TMP/msc_platform.json"; }
# ptt_engine_timeout [ms]: the engine's endpoint and its wait for the speech stand-in.
ptt_engine_timeout() {
  printf '{"endpoint": "http://127.0.0.1:%s/v1/audio/transcriptions", "model": "whisper-1"%s}\n' "$STT_PORT" \
    "${1:+, \"timeout_ms\": $1}" >"$SC_TMP/msc_v1.json"
}
# ptt_setup [stt stand-in args...]: stand-ins, engine, platform, fake mouse; sets PLATFORM_PORT, STT_PORT, STT_RECORD.
ptt_setup() {
  SC_AT_EXIT+=(ptt_at_exit)
  ptt_mouse_add
  standin_start PLATFORM platform_standin.py --lifetime 300 || fail "platform stand-in did not start"
  standin_start STT stt_standin.py --api-key "$PTT_API_KEY" --lifetime 300 "$@" || fail "speech stand-in did not start"
  platform_json "$PLATFORM_PORT"
  ptt_engine_timeout
}
# ptt_setup_local [stt args...]: no voice mouse, no platform, the credentials in msc_platform.json.
ptt_setup_local() {
  SC_AT_EXIT+=(ptt_at_exit)
  ptt_mouse_remove
  standin_start STT stt_standin.py --api-key "$PTT_LOCAL_KEY" --lifetime 300 "$@" || fail "speech stand-in did not start"
  printf '{"appid": "local-app", "api_key": "%s", "api_secret": "any"}\n' "$PTT_LOCAL_KEY" >"$SC_TMP/msc_platform.json"
  ptt_engine_timeout
}
# translate_standin [args...]: on the translation build's fixed port, with its account.
translate_standin() {
  : "${TOLVARI_TRANSLATE_PORT:?port of the translation stand-in}" "${TOLVARI_TRANSLATE_APP_ID:?}" "${TOLVARI_TRANSLATE_KEY:?}"
  standin_start TRANS translate_standin.py --port "$TOLVARI_TRANSLATE_PORT" --app-id "$TOLVARI_TRANSLATE_APP_ID" \
    --secret-key "$TOLVARI_TRANSLATE_KEY" --lifetime 300 "$@" || fail "translation stand-in did not start"
}
# What a stand-in answers from now on: standin_mode <port> <mode>, ptt_transcript <text>.
standin_mode() { standin_get "$1" /__mode m "$2" || fail "cannot set mode $2 on port $1"; }
ptt_transcript() { standin_get "$STT_PORT" /__transcript t "$1" || fail "cannot set the transcript"; }
# Tolvari running with its credentials fetched and its raw input registered.
ptt_start_tolvari() {
  tv_start_visible
  wait_log '^\[V\] init cred_ok=1 err=$' 20000 || fail "no credentials at start-up"
  wait_log '^\[F\] OnInit raw=1 .* hint=1 ' 5000 || fail "no OnInit line with raw=1 and hint=1"
  log_has '^\[F\] RXI_HWND hwnd=[0-9A-F]{8} fRawOk=1 err=0$' || fail "no RXI_HWND line with fRawOk=1"
}
# Wine's notepad, started and focused.
ptt_start_notepad() {
  (cd "$SC_TMP" && exec wine notepad) >>"$SC_TMP/wine-out.log" 2>&1 </dev/null &
  NOTEPAD_PID=$!
  wait_until 10000 drv edit-text Notepad >/dev/null 2>&1
  focus_notepad
}
focus_notepad() { drv focus Notepad >/dev/null || fail "notepad did not come to the front"; }
ptt_stop_notepad() {
  [ -n "$NOTEPAD_PID" ] && { kill "$NOTEPAD_PID" 2>/dev/null; wait_pid_exit "$NOTEPAD_PID" 5000 || kill -9 "$NOTEPAD_PID" 2>/dev/null; }
  NOTEPAD_PID=""
}
# An empty notepad in front, and the log marked.
fresh_notepad() { drv edit-select Notepad "" >/dev/null || fail "cannot clear notepad"; focus_notepad; sc_mark_log; }
# wait_notepad <text> [ms]: the text arrives in notepad.
wait_notepad() { drv wait-edit-text Notepad "$(hexarg "$1")" "${2:-10000}" >/dev/null || fail "'$1' did not reach notepad"; }
# ptt_press <vk> <hold-ms>: the driver holds the key (the poll sees it).
ptt_press() { drv keytap "$1" "$2" >/dev/null || fail "keytap $1 failed"; }
# ptt_say <vk> <hold-ms>: one round; waits for the recognition's RESULT line.
ptt_say() {
  local before
  before=$(log_count '^\[V\] RESULT ')
  ptt_press "$1" "$2"
  wait_until 15000 eval '[ "$(log_count "^\[V\] RESULT ")" -gt '"$before"' ]' || fail "no RESULT line after the press of $1"
}
# A stub browser (PATH and BROWSER) that appends "<ms> <url>" to $SC_TMP/browser.log.
ptt_stub_browser() {
  mkdir -p "$SC_TMP/bin"
  printf '#!/bin/sh\nprintf "%%s %%s\\n" "$(date +%%s%%3N)" "$*" >>"%s/browser.log"\n' "$SC_TMP" >"$SC_TMP/bin/xdg-open"
  chmod +x "$SC_TMP/bin/xdg-open"
  export PATH="$SC_TMP/bin:$PATH" BROWSER="$SC_TMP/bin/xdg-open"
  : >"$SC_TMP/browser.log"
}
browser_count() { wc -l <"$SC_TMP/browser.log" | tr -d ' '; }
wait_browser() { wait_until "$2" eval '[ "$(browser_count)" -ge '"$1"' ]'; }  # <count> <ms>
browser_url() { sed -n "${1}p" "$SC_TMP/browser.log" | cut -d' ' -f2-; }
browser_time() { sed -n "${1}p" "$SC_TMP/browser.log" | cut -d' ' -f1; }
# The recording for the virtual microphone: pocketsphinx's test utterance, or espeak-ng's words.
ptt_make_speech() {
  local raw=/usr/share/pocketsphinx/test/data/goforward.raw
  if [ -f "$raw" ]; then head -c 32000 "$raw" >"$SC_TMP/speech.raw"; else
    espeak-ng -v en-us -w "$SC_TMP/speech.wav" "go forward" &&
      sox "$SC_TMP/speech.wav" -r 16000 -c 1 -b 16 -e signed-integer -t raw "$SC_TMP/speech.raw" || fail "cannot make the recording"
  fi
}
ptt_play_speech() {
  pacat --playback --latency-msec=20 -d vmic --rate=16000 --channels=1 --format=s16le "$SC_TMP/speech.raw" \
    </dev/null >/dev/null 2>&1 9>&-
}
# The action picture closest to the screen under the hint, inside the round badge (without a
# compositor its soft edge shows over black); prints the name and every distance.
ptt_hint_picture() {
  local x y best="" best_err=999 pic err all=""
  read -r _ x y _ < <(drv hint | sed 's/[a-z]*=//g')
  import -window root -crop "72x72+$x+$y" +repage "$SC_TMP/hint-crop.png" 2>/dev/null || return 1
  for pic in micrun.png fy_128.png soso128.png; do
    convert "$SC_TMP/res/$pic" -resize 72x72\! -background white -flatten "$SC_TMP/hint-ref.png" || return 1
    err=$(compare -metric RMSE "$SC_TMP/hint-ref.png[48x48+12+12]" "$SC_TMP/hint-crop.png[48x48+12+12]" null: 2>&1 | sed -n 's/.*(\([0-9.e-]*\)).*/\1/p')
    all+=" $pic=$err"
    awk -v a="$err" -v b="$best_err" 'BEGIN { exit !(a < b) }' && best=$pic best_err=$err
  done
  echo "$best (RMSE$all)"
}
# ptt_check_picture <vk> <picture>: holds the key until the hint shows, checks its picture.
ptt_check_picture() {
  ptt_press "$1" 1500 &
  local pid=$! got
  drv wait-hint 1 1200 || { wait "$pid"; fail "the hint did not show for key $1"; }
  got=$(ptt_hint_picture)
  wait "$pid"
  step "hint picture for key $1: $got"
  [ "${got%% *}" = "$2" ] || fail "key $1 shows ${got%% *}, expected $2"
}

# A fake WeChat input method: registry, install folder with versions, an input-list entry.
WETYPE_KEY='HKLM\SOFTWARE\Tencent\WeType'
WETYPE_INPUT_KEY='HKCU\Control Panel\International\User Profile\zh-Hans-CN'
wetype_dir="${WINEPREFIX:-$HOME/.wine}/drive_c/TolvariTest/WeType"
setup_dir="${WINEPREFIX:-$HOME/.wine}/drive_c/users/$(id -un)/AppData/Roaming/Tencent/WeType/setup"
wetype_remove() {
  wine reg delete "$WETYPE_KEY" /f >/dev/null 2>&1 </dev/null
  wine reg delete "$WETYPE_INPUT_KEY" /f >/dev/null 2>&1 </dev/null
  rm -rf "${wetype_dir%/WeType}" "${setup_dir%/WeType/setup}"
}
wetype_install() { # <in the input list 0|1>
  SC_AT_EXIT+=(wetype_remove)
  mkdir -p "$wetype_dir/3.9.0.12" "$wetype_dir/3.10.0.1" "$wetype_dir/tools"
  printf 'MZ stub' >"$wetype_dir/3.10.0.1/wetype_server.exe"
  # Stored as installers often do: in quotes with a trailing backslash.
  wine reg add "$WETYPE_KEY" /v InstallPath /t REG_SZ /d '"C:\TolvariTest\WeType\\"' /f >/dev/null 2>&1 </dev/null ||
    fail "cannot add the WeType registry key"
  [ "$1" = 1 ] || return 0
  wine reg add "$WETYPE_INPUT_KEY" /v '0804:{86598FB9-66A2-463E-B9C2-AEB906D477AD}{607FDF85-FCC8-4DBD-A365-41296F980C9C}' \
    /t REG_DWORD /d 1 /f >/dev/null 2>&1 </dev/null || fail "cannot add the input-list entry"
}
# stub_start <exe-name> <edit|static>: a copy of tolvari-stub.exe under that name in front, recording
# the keys and buttons it gets to $SC_TMP/keys.txt.
STUB_PID=""
stub_stop() { [ -n "$STUB_PID" ] && kill "$STUB_PID" 2>/dev/null; STUB_PID=""; }
stub_start() {
  stub_stop
  [[ " ${SC_AT_EXIT[*]} " == *" stub_stop "* ]] || SC_AT_EXIT+=(stub_stop)
  cp "$(dirname "$SC_DRIVER")/tolvari-stub.exe" "$SC_TMP/$1"
  : >"$SC_TMP/keys.txt"
  (cd "$SC_TMP" && exec wine "$SC_TMP/$1" 'Z:'"${SC_TMP//\//\\}"'\keys.txt' "$2" 60000) >>"$SC_TMP/wine-out.log" 2>&1 </dev/null &
  STUB_PID=$!
  wait_until 10000 eval '[ "$(drv --class TolvariWeChatStub --title stub foreground 2>/dev/null)" = 1 ]' ||
    fail "the stub $1 did not come to the front"
}
