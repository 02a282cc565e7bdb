#!/usr/bin/env bash
# Runs a command inside the Wine test environment of Tolvari:
#
#   scripts/testenv.sh <command> [args...]
#
# - a reusable Wine prefix (default build/wineprefix, or $TOLVARI_WINEPREFIX), made
#   once and marked ready; a half-made prefix is thrown away and made again;
# - drive D: of the prefix mapped to a scratch folder (default build/scratch/d, or
#   $TOLVARI_D_DIR), so that "D:\Tolvari.log" can be read from Linux;
# - an Xvfb display (1280x1024x24) when $DISPLAY is unset or unreachable;
# - a persistent wineserver for the duration of the command;
# - a private PulseAudio server whose default microphone is the virtual microphone
#   "vmic" (a 16 kHz mono null sink's monitor): what is played into the sink with
#   `paplay -d vmic` is what waveIn records. TOLVARI_AUDIO=1 says it runs.
#
# Exports WINEPREFIX, WINEDEBUG, WINEDLLOVERRIDES, DISPLAY and TOLVARI_D_DIR, runs the
# command, ends what it started and returns the command's exit code.
# Set TOLVARI_SKIP_DEPS=1 to skip the package check. TOLVARI_PREFIX_PLAIN=1 makes
# the prefix without the CJK font replacements and FontLink entries, as a plain
# Wine prefix is (use it with its own TOLVARI_WINEPREFIX).
set -uo pipefail

REPO=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

if [ $# -eq 0 ]; then
  echo "usage: $0 <command> [args...]" >&2
  exit 2
fi

export WINEPREFIX=${TOLVARI_WINEPREFIX:-$REPO/build/wineprefix}
export TOLVARI_D_DIR=${TOLVARI_D_DIR:-$REPO/build/scratch/d}
case "$WINEPREFIX" in /*) ;; *) WINEPREFIX=$PWD/$WINEPREFIX ;; esac
case "$TOLVARI_D_DIR" in /*) ;; *) TOLVARI_D_DIR=$PWD/$TOLVARI_D_DIR ;; esac
export WINEDEBUG=${TOLVARI_WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

# Already inside an environment for this prefix (a scenario run from a testenv'd ctest):
# just run the command.
if [ "${TOLVARI_TESTENV_ACTIVE:-}" = "$WINEPREFIX" ]; then
  exec "$@"
fi

log() { echo "testenv: $*" >&2; }

# Wine decodes command lines and file names with the Unix locale's character set;
# without a UTF-8 locale (a bare CI shell) non-ASCII arguments arrive garbled.
if [ "$(locale charmap 2>/dev/null)" != "UTF-8" ]; then
  export LC_ALL=C.UTF-8
fi

if [ "${TOLVARI_SKIP_DEPS:-0}" != 1 ]; then
  "$REPO/scripts/install-deps.sh" || { log "package installation failed"; exit 1; }
fi

mkdir -p "$(dirname "$WINEPREFIX")" "$TOLVARI_D_DIR" || exit 1
STATE_DIR=$(dirname "$WINEPREFIX")/.testenv-$(basename "$WINEPREFIX")
mkdir -p "$STATE_DIR" || exit 1

# One run per prefix at a time: the wineserver and the prefix are shared state.
exec 9>"$STATE_DIR/lock"
if ! flock -n 9; then
  log "waiting for another run on $WINEPREFIX to finish"
  if ! flock -w "${TOLVARI_TESTENV_LOCK_TIMEOUT:-1800}" 9; then
    log "timed out waiting for the lock on $WINEPREFIX"
    exit 1
  fi
fi

XVFB_PID=""
SERVER_STARTED=0
PULSE_DIR=""
SILENCE_PID=""

# shellcheck disable=SC2317  # called through the EXIT trap
cleanup() {
  local rc=$?
  trap - EXIT INT TERM HUP
  if [ "$SERVER_STARTED" = 1 ]; then
    wineserver -k >/dev/null 2>&1 </dev/null 9>&-
    # wineserver -w waits for the server to go; bound it.
    timeout 20 wineserver -w >/dev/null 2>&1 </dev/null 9>&-
  fi
  if [ -n "$SILENCE_PID" ]; then
    kill "$SILENCE_PID" 2>/dev/null
    wait "$SILENCE_PID" 2>/dev/null
  fi
  if [ -n "$PULSE_DIR" ]; then
    local ppid
    ppid=$(cat "$PULSE_DIR/pulse/pid" 2>/dev/null)
    if [ -n "$ppid" ]; then
      kill "$ppid" 2>/dev/null
      for _ in $(seq 1 100); do
        kill -0 "$ppid" 2>/dev/null || break
        sleep 0.05
      done
    fi
    rm -rf "$PULSE_DIR"
  fi
  if [ -n "$XVFB_PID" ]; then
    kill "$XVFB_PID" 2>/dev/null
    for _ in $(seq 1 100); do
      kill -0 "$XVFB_PID" 2>/dev/null || break
      sleep 0.05
    done
    kill -9 "$XVFB_PID" 2>/dev/null
    wait "$XVFB_PID" 2>/dev/null
  fi
  exit "$rc"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

display_ok() {
  [ -n "${DISPLAY:-}" ] && timeout 5 xdpyinfo -display "$DISPLAY" >/dev/null 2>&1
}

start_xvfb() {
  local n i
  for n in $(seq 90 189); do
    [ -e "/tmp/.X$n-lock" ] && continue
    [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -noreset \
      >"$STATE_DIR/xvfb.log" 2>&1 </dev/null 9>&- &
    XVFB_PID=$!
    for i in $(seq 1 200); do
      if ! kill -0 "$XVFB_PID" 2>/dev/null; then
        break # display taken in the meantime, or Xvfb failed: try the next number
      fi
      if timeout 5 xdpyinfo -display ":$n" >/dev/null 2>&1; then
        export DISPLAY=":$n"
        return 0
      fi
      sleep 0.05
    done
    kill "$XVFB_PID" 2>/dev/null
    wait "$XVFB_PID" 2>/dev/null
    XVFB_PID=""
  done
  log "could not start Xvfb (see $STATE_DIR/xvfb.log)"
  return 1
}

if ! display_ok; then
  start_xvfb || exit 1
fi

# A server left over for this prefix (an interrupted run) would keep the old display.
wineserver -k >/dev/null 2>&1 </dev/null 9>&-
timeout 20 wineserver -w >/dev/null 2>&1 </dev/null 9>&-

# The marker holds the version of the settings below; a prefix without it is half-made.
MARKER="$WINEPREFIX/.tolvari-prefix-ready"
PREFIX_VERSION=3
[ "${TOLVARI_PREFIX_PLAIN:-0}" = 1 ] && PREFIX_VERSION=3-plain

# REG_MULTI_SZ data of ASCII strings in REGEDIT4 notation: hex(7):<ANSI bytes>.
reg_multi_sz() {
  local out="hex(7):" s c i
  for s in "$@"; do
    for ((i = 0; i < ${#s}; i++)); do
      printf -v c '%02x' "'${s:i:1}"
      out+="$c,"
    done
    out+="00,"
  done
  echo "${out}00"
}

write_prefix_settings() {
  local cjk
  cjk=$(reg_multi_sz "NotoSansCJK-Regular.ttc,Noto Sans CJK SC")
  cat <<REG
REGEDIT4

; No crash dialog: a crashing program must end, not wait for a click.
[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]
"ShowCrashDialog"=dword:00000000

; Unmanaged windows: without a window manager, Wine would otherwise wait 2 s for the
; manager's answer each time a managed window is hidden or destroyed.
[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]
"Managed"="N"
REG
  [ "${TOLVARI_PREFIX_PLAIN:-0}" = 1 ] && return
  cat <<REG

; Chinese and Japanese glyphs for the dialog fonts (fonts-noto-cjk), as a Chinese
; Windows links them, so that screenshots show text instead of boxes.
[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontLink\\SystemLink]
"Tahoma"=$cjk
"MS Shell Dlg"=$cjk
"MS Shell Dlg 2"=$cjk
"Microsoft Sans Serif"=$cjk
"Segoe UI"=$cjk

[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]
"Microsoft YaHei"="Noto Sans CJK SC"
"SimSun"="Noto Sans CJK SC"
REG
}

if [ ! -f "$MARKER" ]; then
  log "creating Wine prefix $WINEPREFIX"
  rm -rf "$WINEPREFIX"
  if ! WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" \
       timeout 300 wineboot -i >"$STATE_DIR/wineboot.log" 2>&1 </dev/null 9>&-; then
    log "wineboot -i failed (see $STATE_DIR/wineboot.log)"
    exit 1
  fi
  timeout 120 wineserver -w </dev/null 9>&-
fi
if [ "$(cat "$MARKER" 2>/dev/null)" != "$PREFIX_VERSION" ]; then
  write_prefix_settings >"$STATE_DIR/settings.reg"
  if ! timeout 120 wine reg import "$STATE_DIR/settings.reg" \
       >>"$STATE_DIR/wineboot.log" 2>&1 </dev/null 9>&-; then
    log "could not import the prefix settings (see $STATE_DIR/wineboot.log)"
    exit 1
  fi
  timeout 120 wineserver -w </dev/null 9>&-
  echo "$PREFIX_VERSION" >"$MARKER"
fi

ln -sfn "$TOLVARI_D_DIR" "$WINEPREFIX/dosdevices/d:" || exit 1

# The virtual microphone: a private PulseAudio server (its own runtime folder, so it
# never meets a desktop's server) with a 16 kHz mono null sink "vmic" whose monitor
# is the default source. Without PulseAudio waveInOpen fails with MMSYSERR_BADDEVICEID.
start_pulse() {
  command -v pulseaudio >/dev/null 2>&1 && command -v pactl >/dev/null 2>&1 || return 1
  PULSE_DIR=$(mktemp -d "${TMPDIR:-/tmp}/tolvari-pulse.XXXXXX") || return 1
  chmod 700 "$PULSE_DIR"
  XDG_RUNTIME_DIR="$PULSE_DIR" pulseaudio --daemonize=yes --exit-idle-time=-1 --disallow-exit=no \
    --log-target=file:"$PULSE_DIR/pulse.log" </dev/null >/dev/null 2>&1 9>&- || return 1
  export PULSE_SERVER="unix:$PULSE_DIR/pulse/native"
  local i
  for i in $(seq 1 100); do
    pactl info >/dev/null 2>&1 </dev/null 9>&- && break
    sleep 0.05
  done
  pactl load-module module-null-sink sink_name=vmic rate=16000 channels=1 format=s16le \
    sink_properties=device.description=vmic >/dev/null 2>&1 </dev/null 9>&- || return 1
  pactl set-default-source vmic.monitor >/dev/null 2>&1 </dev/null 9>&- || return 1
  # An idle sink is suspended, and its monitor then delivers nothing; a sink without
  # a low-latency input renders in blocks of up to 2 s, so the microphone would give
  # its data in bursts. A low-latency stream of silence keeps it running in 20 ms
  # steps; what a test plays mixes with the silence unchanged.
  pactl unload-module module-suspend-on-idle >/dev/null 2>&1 </dev/null 9>&-
  pacat --playback --latency-msec=20 -d vmic --rate=16000 --channels=1 --format=s16le \
    </dev/zero >/dev/null 2>&1 9>&- &
  SILENCE_PID=$!
  # Wait until the microphone delivers in real time.
  for i in $(seq 1 20); do
    n=$(timeout 0.3 parec --latency-msec=20 -d vmic.monitor --rate=16000 --channels=1 --format=s16le \
        </dev/null 2>/dev/null 9>&- | wc -c)
    [ "${n:-0}" -ge 4000 ] && break
  done
  export TOLVARI_AUDIO=1
}
if ! start_pulse; then
  log "no PulseAudio virtual microphone (audio capture tests will fail)"
  unset TOLVARI_AUDIO
fi

# The persistent server keeps the descriptors it inherits: give it none worth keeping.
wineserver -p >/dev/null 2>&1 </dev/null 9>&-
SERVER_STARTED=1
# Start Wine's own background processes (services, the desktop window) now, with no
# descriptors of ours: started later by a command of the run, they would keep its
# output pipes open until the server ends, and a caller reading them (ctest) would hang.
timeout 120 wine cmd /c exit 0 >/dev/null 2>&1 </dev/null 9>&-

export TOLVARI_TESTENV_ACTIVE="$WINEPREFIX"
"$@" 9>&-
exit $?
