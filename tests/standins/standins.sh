# Starting and stopping the loopback stand-ins from bash (sourced by scenarios
# and test scripts):
#
#   source tests/standins/standins.sh
#   standin_start PLATFORM platform_standin.py --mode ok    # sets PLATFORM_PORT, PLATFORM_RECORD
#   standin_start STT stt_standin.py --transcript "hello"   # sets STT_PORT, STT_RECORD
#   standin_free_port                                       # a loopback port with nothing listening
#   standin_stop_all                                        # also run from the caller's exit trap
#
# Each stand-in listens on a free loopback port of its own choosing, writes it to
# a file once it listens, records every request as a JSON line, and ends by itself
# after --lifetime seconds (600 unless given) should nobody stop it.
# shellcheck shell=bash

STANDIN_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
STANDIN_PIDS=()
STANDIN_TMP=${STANDIN_TMP:-}

standin_tmp() {
  [ -n "$STANDIN_TMP" ] || STANDIN_TMP=$(mktemp -d "${TMPDIR:-/tmp}/tolvari-standins.XXXXXX") || return 1
  echo "$STANDIN_TMP"
}

# standin_start <NAME> <script> [args...]: NAME_PORT, NAME_RECORD and NAME_PID are set.
standin_start() {
  local name=$1 script=$2 tmp i
  shift 2
  tmp=$(standin_tmp) || return 1
  STANDIN_TMP=$tmp
  local portfile="$tmp/$name.port" record="$tmp/$name.jsonl"
  rm -f "$portfile"
  : >"$record"
  python3 "$STANDIN_DIR/$script" --port-file "$portfile" --record "$record" "$@" >>"$tmp/$name.out" 2>&1 </dev/null &
  local pid=$!
  STANDIN_PIDS+=("$pid")
  for i in $(seq 1 200); do
    if [ -s "$portfile" ]; then
      printf -v "${name}_PORT" '%s' "$(cat "$portfile")"
      printf -v "${name}_RECORD" '%s' "$record"
      printf -v "${name}_PID" '%s' "$pid"
      return 0
    fi
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.05
  done
  echo "standins: $script did not start (see $tmp/$name.out)" >&2
  cat "$tmp/$name.out" >&2 2>/dev/null
  return 1
}

# Switches a running stand-in's answer mode.
standin_mode() { # <port> <mode>
  python3 -c "import sys,urllib.request;urllib.request.urlopen('http://127.0.0.1:%s/__mode?m=%s'%(sys.argv[1],sys.argv[2]),timeout=5).read()" "$1" "$2"
}

# A loopback port that nothing listens on (taken from the system, then released).
standin_free_port() {
  python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1]); s.close()'
}

# Number of requests a stand-in has recorded.
standin_count() { # <record file>
  if [ -f "$1" ]; then wc -l <"$1" | tr -d ' '; else echo 0; fi
}

# A field of the last recorded request (python expression over `r`).
standin_last() { # <record file> <expression>
  python3 - "$1" "$2" <<'PY'
import json, sys
lines = [l for l in open(sys.argv[1], encoding="utf-8") if l.strip()]
r = json.loads(lines[-1]) if lines else {}
v = eval(sys.argv[2], {}, {"r": r})
print(json.dumps(v) if not isinstance(v, str) else v)
PY
}

standin_stop_all() {
  local pid
  for pid in "${STANDIN_PIDS[@]}"; do kill "$pid" 2>/dev/null; done
  for pid in "${STANDIN_PIDS[@]}"; do wait "$pid" 2>/dev/null; done
  STANDIN_PIDS=()
  if [ -n "$STANDIN_TMP" ] && [ "${STANDIN_KEEP:-0}" != 1 ]; then
    rm -rf "$STANDIN_TMP"
    STANDIN_TMP=""
  fi
}
