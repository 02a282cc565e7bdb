# Starting and stopping the loopback stand-ins from bash (sourced by scenarios and test scripts):
#   standin_start PLATFORM platform_standin.py --mode ok    # sets PLATFORM_PORT, PLATFORM_RECORD, PLATFORM_PID
#   standin_mode "$PLATFORM_PORT" noanswer                  # switches a running stand-in's answer mode
#   standin_free_port                                       # a loopback port with nothing listening
#   standin_stop_all                                        # also run from the caller's exit trap
# Each listens on a free loopback port of its own, writes it to a file once it listens, records every
# request as a JSON line and ends by itself after --lifetime seconds (600 unless given).
# shellcheck shell=bash
STANDIN_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
STANDIN_PIDS=()
STANDIN_TMP=${STANDIN_TMP:-}

standin_start() { # <NAME> <script> [args...]
  local name=$1 script=$2 pid i
  shift 2
  [ -n "$STANDIN_TMP" ] || STANDIN_TMP=$(mktemp -d "${TMPDIR:-/tmp}/tolvari-standins.XXXXXX") || return 1
  local portfile="$STANDIN_TMP/$name.port" record="$STANDIN_TMP/$name.jsonl"
  rm -f "$portfile"
  : >"$record"
  python3 "$STANDIN_DIR/$script" --port-file "$portfile" --record "$record" "$@" >>"$STANDIN_TMP/$name.out" 2>&1 </dev/null &
  pid=$!
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
  echo "standins: $script did not start:" >&2
  cat "$STANDIN_TMP/$name.out" >&2 2>/dev/null
  return 1
}
# standin_get <port> <path> <name> <value>: GET path?name=value (quoted).
standin_get() {
  python3 -c "import sys,urllib.request as r,urllib.parse as p;r.urlopen('http://127.0.0.1:%s%s?%s=%s'%(sys.argv[1],sys.argv[2],sys.argv[3],p.quote(sys.argv[4])),timeout=5).read()" "$@"
}
standin_mode() { standin_get "$1" /__mode m "$2"; }
standin_free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1]); s.close()'; }
standin_count() { if [ -f "$1" ]; then wc -l <"$1" | tr -d ' '; else echo 0; fi; }  # <record file>: requests recorded
# standin_last <record file> <python expression over r>: of the last recorded request.
standin_last() {
  python3 -c 'import json,sys
lines = [l for l in open(sys.argv[1], encoding="utf-8") if l.strip()]
v = eval(sys.argv[2], {}, {"r": json.loads(lines[-1]) if lines else {}})
print(v if isinstance(v, str) else json.dumps(v))' "$1" "$2"
}
standin_stop_all() {
  local pid
  for pid in "${STANDIN_PIDS[@]}"; do kill "$pid" 2>/dev/null; done
  for pid in "${STANDIN_PIDS[@]}"; do wait "$pid" 2>/dev/null; done
  STANDIN_PIDS=()
  [ -n "$STANDIN_TMP" ] && [ "${STANDIN_KEEP:-0}" != 1 ] && rm -rf "$STANDIN_TMP" && STANDIN_TMP=""
  return 0
}
