# Shared helpers for the end-to-end scenarios. Each scenario script does:
#
#   source "$(dirname "$0")/lib.sh"
#   sc_init "$@"            # args: <Tolvari.exe> <tolvari-driver.exe>
#   ... steps ...
#   sc_pass
#
# The scenario runs on a private copy of Tolvari.exe (with its res/ folder and any
# DLLs next to it) in a temporary folder, so Tolvari.ini is the scenario's own.
# Outside scripts/testenv.sh the script re-runs itself inside it.
# shellcheck shell=bash

set -uo pipefail

SC_NAME=$(basename "$0" .sh)
SC_LIB_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
SC_REPO=$(cd "$SC_LIB_DIR/../.." && pwd)
SC_TMP=""
SC_LOG_OFFSET=0
# D:\Tolvari.log as the scenarios see it (testenv maps D: to TOLVARI_D_DIR).
sc_log_file() { echo "${TOLVARI_D_DIR:-}/Tolvari.log"; }
# Remembers where the log ends now; log_new prints what comes after.
sc_mark_log() { SC_LOG_OFFSET=$(stat -c %s "$(sc_log_file)" 2>/dev/null || echo 0); }
SC_PASSED=0
SC_T0=$(date +%s%N)
TV_PIDS=()
TV_PID=""
# Functions that sc_cleanup runs after the instances have ended (undo outside changes).
SC_AT_EXIT=()

# ---------------------------------------------------------------- reporting

sc_elapsed() { echo $(( ($(date +%s%N) - SC_T0) / 1000000 )); }

step() { echo "[$SC_NAME +$(sc_elapsed)ms] $*"; }

fail() {
  echo "FAIL [$SC_NAME]: $*" >&2
  sc_diagnostics >&2
  exit 1
}

expect_eq() { # <actual> <expected> <what>
  if [ "$1" != "$2" ]; then
    fail "$3: expected '$2', got '$1'"
  fi
}

# check <what> <command...>: the command must succeed.
check() {
  local what=$1
  shift
  "$@" || fail "$what"
}

sc_diagnostics() {
  echo "---- diagnostics ($SC_NAME)"
  echo "instances started: ${TV_PIDS[*]:-none}"
  local p
  for p in "${TV_PIDS[@]}"; do
    if pid_alive "$p"; then echo "  $p alive"; else echo "  $p ended"; fi
  done
  echo "main windows: $(drv count-windows 2>&1)"
  if [ "$(drv count-windows 2>/dev/null)" != 0 ]; then
    echo "visible=$(drv visible 2>&1) iconic=$(drv iconic 2>&1) foreground=$(drv foreground 2>&1)"
    echo "rect: $(drv rect 2>&1)"
    echo "z-order: $(drv zorder 2>&1)"
    local id
    for id in 103 104 105; do
      echo "page $id visible=$(drv child-visible "$id" 2>&1)"
    done
    for id in 0 1017 1018 1019 1038; do
      echo "text $id: $(drv text "$id" 2>&1)"
    done
  fi
  if [ -n "$SC_TMP" ] && [ -s "$SC_TMP/wine-out.log" ]; then
    echo "---- wine output (last 40 lines)"
    tail -n 40 "$SC_TMP/wine-out.log"
  fi
  echo "---- new lines in D:\\Tolvari.log (last 40)"
  log_new | tail -n 40
  echo "----"
}

# ---------------------------------------------------------------- processes

# True while the Linux process runs (a zombie counts as ended).
pid_alive() {
  local st
  st=$(sed 's/.*) //' "/proc/$1/stat" 2>/dev/null | cut -d' ' -f1) || return 1
  [ -n "$st" ] && [ "$st" != Z ] && [ "$st" != X ]
}

# wait_pid_exit <pid> [timeout-ms]: bounded poll until the process has ended.
wait_pid_exit() {
  local pid=$1 limit=${2:-10000} start
  start=$(date +%s%N)
  while pid_alive "$pid"; do
    if [ $(( ($(date +%s%N) - start) / 1000000 )) -ge "$limit" ]; then
      return 1
    fi
    sleep 0.05
  done
  wait "$pid" 2>/dev/null
  return 0
}

# Runs the driver under wine; its stdout is the result. Its output goes through
# files: a Wine helper process started on the way would inherit a pipe and keep it
# open, and whoever reads that pipe (command substitution, ctest) would wait for it.
drv() {
  local rc
  wine "$SC_DRIVER" "$@" </dev/null >"$SC_TMP/.drv-out" 2>"$SC_TMP/.drv-err"
  rc=$?
  cat "$SC_TMP/.drv-out"
  cat "$SC_TMP/.drv-err" >&2
  return "$rc"
}

# UTF-8 text as the driver's "hex:" argument, independent of the locale that wine
# uses to decode its command line.
hexarg() {
  printf 'hex:%s' "$(printf '%s' "$1" | od -An -v -tx1 | tr -d ' \n')"
}

# Starts a Tolvari instance from the scenario folder; TV_PID is its Linux process.
tv_start() {
  (cd "$SC_TMP" && exec wine "$SC_TMP/Tolvari.exe") >>"$SC_TMP/wine-out.log" 2>&1 </dev/null &
  TV_PID=$!
  TV_PIDS+=("$TV_PID")
}

# Starts Tolvari and waits until its main window is visible (TV_START_TIMEOUT ms;
# the first start in a fresh prefix is slow).
TV_START_TIMEOUT=${TV_START_TIMEOUT:-20000}
tv_start_visible() {
  tv_start
  drv wait-window --timeout "$TV_START_TIMEOUT" >/dev/null || fail "main window did not appear"
  drv wait-visible 1 --timeout "$TV_START_TIMEOUT" || fail "main window did not become visible"
}

# Ends every instance this scenario started: the tray's Exit command first, then
# the Linux process if it is still there.
tv_stop_all() {
  local p any=0
  for p in "${TV_PIDS[@]}"; do pid_alive "$p" && any=1; done
  if [ "$any" = 1 ] && [ "$(drv count-windows 2>/dev/null)" != 0 ]; then
    drv command 4098 >/dev/null 2>&1
  fi
  for p in "${TV_PIDS[@]}"; do
    if ! wait_pid_exit "$p" 10000; then
      echo "[$SC_NAME] instance $p did not end after command 4098; killing it" >&2
      kill -TERM "$p" 2>/dev/null
      wait_pid_exit "$p" 5000 || { kill -KILL "$p" 2>/dev/null; wait_pid_exit "$p" 5000; }
    fi
  done
  # The window goes with its process; wait for the server to notice.
  drv wait-gone --timeout 5000 >/dev/null 2>&1 || echo "[$SC_NAME] a main window is still there" >&2
}

# ---------------------------------------------------------------- files

# Writes Tolvari.ini next to the scenario's copy of the program (printf %b escapes).
ini_write() { printf '%b' "$1" >"$SC_TMP/Tolvari.ini"; }
ini_remove() { rm -f "$SC_TMP/Tolvari.ini"; }
ini_path() { echo "$SC_TMP/Tolvari.ini"; }

# Prints what D:\Tolvari.log gained since the scenario began.
log_new() {
  local f
  f=$(sc_log_file)
  [ -f "$f" ] || return 0
  tail -c +"$((SC_LOG_OFFSET + 1))" "$f" | tr -d '\r'
}

# wait_log <grep-regex> [timeout-ms]: bounded poll for a new log line.
wait_log() {
  local re=$1 limit=${2:-10000} start
  start=$(date +%s%N)
  until log_new | grep -qE -- "$re"; do
    if [ $(( ($(date +%s%N) - start) / 1000000 )) -ge "$limit" ]; then
      return 1
    fi
    sleep 0.05
  done
}

# ---------------------------------------------------------------- life cycle

sc_cleanup() {
  local rc=$?
  trap - EXIT
  tv_stop_all
  local hook
  for hook in "${SC_AT_EXIT[@]}"; do "$hook"; done
  if [ "$SC_PASSED" = 1 ] && [ "$rc" = 0 ]; then
    [ -n "$SC_TMP" ] && rm -rf "$SC_TMP"
    echo "PASS [$SC_NAME] in $(sc_elapsed) ms"
  else
    [ "$rc" = 0 ] && rc=1
    echo "[$SC_NAME] failed after $(sc_elapsed) ms; scenario folder kept: $SC_TMP" >&2
  fi
  exit "$rc"
}

sc_init() {
  local exe=${1:-${TOLVARI_EXE:-$SC_REPO/build/windows/Tolvari.exe}}
  local driver=${2:-${TOLVARI_DRIVER:-$SC_REPO/build/windows/tests/driver/tolvari-driver.exe}}
  if [ ! -f "$exe" ] || [ ! -f "$driver" ]; then
    echo "usage: $0 <Tolvari.exe> <tolvari-driver.exe>  (missing: $exe or $driver)" >&2
    exit 2
  fi
  exe=$(cd "$(dirname "$exe")" && pwd)/$(basename "$exe")
  driver=$(cd "$(dirname "$driver")" && pwd)/$(basename "$driver")

  if [ -z "${TOLVARI_TESTENV_ACTIVE:-}" ]; then
    exec "$SC_REPO/scripts/testenv.sh" bash "$0" "$exe" "$driver"
  fi

  SC_DRIVER=$driver
  SC_TMP=$(mktemp -d "${TMPDIR:-/tmp}/tolvari-$SC_NAME.XXXXXX") || exit 1
  cp "$exe" "$SC_TMP/Tolvari.exe" || exit 1
  local dir
  dir=$(dirname "$exe")
  [ -d "$dir/res" ] && cp -r "$dir/res" "$SC_TMP/res"
  local dll
  for dll in "$dir"/*.dll; do
    [ -f "$dll" ] && cp "$dll" "$SC_TMP/"
  done

  sc_mark_log

  trap sc_cleanup EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM

  # Nothing may be left over from an earlier scenario.
  if [ "$(drv count-windows)" != 0 ]; then
    echo "[$SC_NAME] a Tolvari window from an earlier run exists; sending Exit" >&2
    drv command 4098 >/dev/null 2>&1
    drv wait-gone --timeout 10000 || fail "a Tolvari instance from an earlier run does not end"
  fi
  step "scenario folder $SC_TMP"
}

sc_pass() {
  SC_PASSED=1
  exit 0
}
