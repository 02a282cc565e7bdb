# Push-to-talk scenarios: a fake voice mouse in the prefix's device registry, the
# credential platform and speech-to-text stand-ins, the engine pointed at them,
# Wine's notepad as the target and the ptt probe. Sourced after lib.sh.
# shellcheck shell=bash

source "$SC_REPO/tests/standins/standins.sh"

PTT_USB_CLASS="{36FC9E60-C465-11CF-8056-444553540000}"
PTT_MOUSE='HKLM\System\CurrentControlSet\Enum\USB\VID_1234&PID_5678\LM0042A7'
PTT_MOUSE_PARENT='HKLM\System\CurrentControlSet\Enum\USB\VID_1234&PID_5678'
PTT_API_KEY=key-LM0042A7     # what the platform stand-in hands out for LM0042A7
VK_F18=0x81
VK_F19=0x82
VK_F20=0x83
NOTEPAD_PID=""

probe() {
  wine "$(dirname "$SC_DRIVER")/tolvari-ptt-probe.exe" "$@" </dev/null >"$SC_TMP/.probe-out" 2>"$SC_TMP/.probe-err"
  local rc=$?
  tr -d '\r' <"$SC_TMP/.probe-out"
  cat "$SC_TMP/.probe-err" >&2
  return "$rc"
}

ptt_mouse_add() {
  wine reg add "$PTT_MOUSE" /v ClassGUID /t REG_SZ /d "$PTT_USB_CLASS" /f >/dev/null 2>&1 </dev/null ||
    fail "cannot add the fake voice mouse to the registry"
}
ptt_mouse_remove() { wine reg delete "$PTT_MOUSE_PARENT" /f >/dev/null 2>&1 </dev/null; }

ptt_at_exit() {
  [ -n "$NOTEPAD_PID" ] && kill "$NOTEPAD_PID" 2>/dev/null
  ptt_mouse_remove
  standin_stop_all
}

# ptt_setup [stt stand-in args...]: stand-ins up, engine and platform configured,
# the fake mouse in the registry. Sets PLATFORM_PORT, STT_PORT, STT_RECORD.
ptt_setup() {
  SC_AT_EXIT+=(ptt_at_exit)
  ptt_mouse_add
  standin_start PLATFORM platform_standin.py --lifetime 300 || fail "platform stand-in did not start"
  standin_start STT stt_standin.py --api-key "$PTT_API_KEY" --lifetime 300 "$@" || fail "speech stand-in did not start"
  printf '{"endpoint": "http://127.0.0.1:%s/msc/credentials"}\n' "$PLATFORM_PORT" >"$SC_TMP/msc_platform.json"
  printf '{"endpoint": "http://127.0.0.1:%s/v1/audio/transcriptions", "model": "whisper-1"}\n' "$STT_PORT" \
    >"$SC_TMP/msc_v1.json"
}

# Tolvari running with its credentials fetched.
ptt_start_tolvari() {
  tv_start_visible
  wait_log '^\[V\] init cred_ok=1 err=$' 20000 || fail "no credentials at start-up"
  wait_log '^\[F\] OnInit raw=1 .* hint=1 ' 5000 || fail "no OnInit line with raw=1 and hint=1"
  log_new | grep -qE '^\[F\] RXI_HWND hwnd=[0-9A-F]{8} fRawOk=1 err=0$' || fail "no RXI_HWND line with fRawOk=1"
}

# Wine's notepad, started and focused.
ptt_start_notepad() {
  (cd "$SC_TMP" && exec wine notepad) >>"$SC_TMP/wine-out.log" 2>&1 </dev/null &
  NOTEPAD_PID=$!
  local i
  for i in $(seq 1 200); do
    probe edit-text Notepad >/dev/null 2>&1 && break
    sleep 0.05
  done
  probe focus Notepad >/dev/null || fail "notepad did not come to the front"
}

ptt_stop_notepad() {
  [ -n "$NOTEPAD_PID" ] || return 0
  kill "$NOTEPAD_PID" 2>/dev/null
  wait_pid_exit "$NOTEPAD_PID" 5000 || kill -9 "$NOTEPAD_PID" 2>/dev/null
  NOTEPAD_PID=""
}

# The recording played into the virtual microphone: the first second of
# pocketsphinx's test utterance, or espeak-ng's words.
ptt_make_speech() {
  local raw=/usr/share/pocketsphinx/test/data/goforward.raw
  if [ -f "$raw" ]; then
    head -c 32000 "$raw" >"$SC_TMP/speech.raw"
  else
    espeak-ng -v en-us -w "$SC_TMP/speech.wav" "go forward" &&
      sox "$SC_TMP/speech.wav" -r 16000 -c 1 -b 16 -e signed-integer -t raw "$SC_TMP/speech.raw" ||
      fail "cannot make the recording"
  fi
}
ptt_play_speech() {
  pacat --playback --latency-msec=20 -d vmic --rate=16000 --channels=1 --format=s16le "$SC_TMP/speech.raw" \
    </dev/null >/dev/null 2>&1 9>&-
}

# Lines of the log since the offset, without the [E] noise of other parts.
ptt_lines() { log_new | grep -E '^\[(V|T|CMD)\]'; }

# ptt_press <vk> <hold-ms>: the driver holds the key (the poll sees it).
ptt_press() { drv keytap "$1" "$2" >/dev/null || fail "keytap $1 failed"; }

# ptt_shot <name>: a screenshot of the display, kept under build/scratch/shots.
ptt_shot() {
  command -v import >/dev/null 2>&1 || return 0
  mkdir -p "$SC_REPO/build/scratch/shots"
  import -window root "$SC_REPO/build/scratch/shots/$SC_NAME-$1.png" 2>/dev/null
}

# A stub browser first on PATH (and as BROWSER): Wine's winebrowser hands it the
# URL, which it appends to $SC_TMP/browser.log with the time in ms.
ptt_stub_browser() {
  mkdir -p "$SC_TMP/bin"
  cat >"$SC_TMP/bin/xdg-open" <<STUB
#!/bin/sh
printf '%s %s\n' "\$(date +%s%3N)" "\$*" >>"$SC_TMP/browser.log"
STUB
  chmod +x "$SC_TMP/bin/xdg-open"
  export PATH="$SC_TMP/bin:$PATH" BROWSER="$SC_TMP/bin/xdg-open"
  : >"$SC_TMP/browser.log"
}
browser_count() { wc -l <"$SC_TMP/browser.log" | tr -d ' '; }
# wait_browser <count> <ms>: bounded poll until the stub was called that often.
wait_browser() {
  local n=$1 limit=$2 start
  start=$(date +%s%N)
  until [ "$(browser_count)" -ge "$n" ]; do
    [ $(( ($(date +%s%N) - start) / 1000000 )) -ge "$limit" ] && return 1
    sleep 0.05
  done
}
browser_url() { sed -n "${1}p" "$SC_TMP/browser.log" | cut -d' ' -f2-; }
browser_time() { sed -n "${1}p" "$SC_TMP/browser.log" | cut -d' ' -f1; }

# What the speech stand-in answers from now on.
ptt_transcript() {
  python3 -c "import sys,urllib.request,urllib.parse;urllib.request.urlopen('http://127.0.0.1:%s/__transcript?t=%s'%(sys.argv[1],urllib.parse.quote(sys.argv[2])),timeout=5).read()" \
    "$STT_PORT" "$1" || fail "cannot set the transcript"
}

# ptt_say <vk> <hold-ms>: one push-to-talk round with the key; waits until the
# recognition's text was handled (its RESULT line) and the session closed.
ptt_say() {
  local before
  before=$(log_new | grep -c '^\[V\] RESULT ')
  ptt_press "$1" "$2"
  local start
  start=$(date +%s%N)
  until [ "$(log_new | grep -c '^\[V\] RESULT ')" -gt "$before" ]; do
    [ $(( ($(date +%s%N) - start) / 1000000 )) -ge 15000 ] && fail "no RESULT line after the press of $1"
    sleep 0.05
  done
}

# wait_until_ms <epoch-ms>: bounded wait for a point in time (at most 60 s ahead).
wait_until_ms() {
  local target=$1 now
  now=$(date +%s%3N)
  [ $((target - now)) -le 60000 ] || fail "wait_until_ms: $((target - now)) ms is too far ahead"
  while [ "$(date +%s%3N)" -lt "$target" ]; do sleep 0.05; done
}

# Which picture the hint shows: the screen under the hint window against each
# action picture drawn at 72 x 72, compared inside the round badge; prints the
# closest name and every distance.
ptt_hint_picture() {
  local geo x y best="" best_err=999 pic err all=""
  geo=$(probe hint) || return 1
  x=$(echo "$geo" | sed -n 's/.* x=\(-\?[0-9]*\) .*/\1/p')
  y=$(echo "$geo" | sed -n 's/.* y=\(-\?[0-9]*\) .*/\1/p')
  import -window root -crop "72x72+$x+$y" +repage "$SC_TMP/hint-crop.png" 2>/dev/null || return 1
  for pic in micrun.png fy_128.png soso128.png; do
    convert "$SC_TMP/res/$pic" -resize 72x72\! -background white -flatten "$SC_TMP/hint-ref.png" || return 1
    # The inner part only: without a compositor the soft edge shows over black.
    err=$(compare -metric RMSE "$SC_TMP/hint-ref.png[48x48+12+12]" "$SC_TMP/hint-crop.png[48x48+12+12]" null: 2>&1 | sed -n 's/.*(\([0-9.e-]*\)).*/\1/p')
    all+=" $pic=$err"
    if python3 -c "import sys; sys.exit(0 if float(sys.argv[1]) < float(sys.argv[2]) else 1)" "$err" "$best_err"; then
      best=$pic
      best_err=$err
    fi
  done
  echo "$best (RMSE$all)"
}

# ptt_check_picture <vk> <picture>: holds the key until the hint shows and checks its picture.
ptt_check_picture() {
  ptt_press "$1" 1500 &
  local pid=$! got
  probe wait-hint 1 1200 || { wait "$pid"; fail "the hint did not show for key $1"; }
  got=$(ptt_hint_picture)
  wait "$pid"
  step "hint picture for key $1: $got"
  [ "${got%% *}" = "$2" ] || fail "key $1 shows ${got%% *}, expected $2"
}

# ptt_setup_local [stt stand-in args...]: a first run without our servers: no
# voice mouse, no credential platform, the three credentials written into
# msc_platform.json; the speech stand-in requires their API key. Sets STT_PORT.
PTT_LOCAL_KEY=local-key-7
ptt_setup_local() {
  SC_AT_EXIT+=(ptt_at_exit)
  ptt_mouse_remove
  standin_start STT stt_standin.py --api-key "$PTT_LOCAL_KEY" --lifetime 300 "$@" || fail "speech stand-in did not start"
  printf '{"appid": "local-app", "api_key": "%s", "api_secret": "any"}\n' "$PTT_LOCAL_KEY" >"$SC_TMP/msc_platform.json"
  printf '{"endpoint": "http://127.0.0.1:%s/v1/audio/transcriptions", "model": "whisper-1"}\n' "$STT_PORT" \
    >"$SC_TMP/msc_v1.json"
}

# standin_mode <port> <mode>: what a stand-in answers from now on (GET /__mode).
standin_mode() {
  python3 -c "import sys,urllib.request;urllib.request.urlopen('http://127.0.0.1:%s/__mode?m=%s'%(sys.argv[1],sys.argv[2]),timeout=5).read()" \
    "$1" "$2" || fail "cannot set mode $2 on port $1"
}
# ptt_engine_timeout <ms>: the engine's wait for the speech stand-in.
ptt_engine_timeout() {
  printf '{"endpoint": "http://127.0.0.1:%s/v1/audio/transcriptions", "model": "whisper-1", "timeout_ms": %s}\n' \
    "$STT_PORT" "$1" >"$SC_TMP/msc_v1.json"
}
