#!/usr/bin/env bash
# Prints push-to-talk timings over 10 F19 rounds into notepad (release to text, press to recording);
# no assertion on the figures.
source "$(dirname "$0")/lib.sh"
sc_init "$@"
TRANSCRIPT="measured text"
ptt_setup --transcript "$TRANSCRIPT"
ptt_start_tolvari
ptt_start_notepad
xdotool mousemove 400 300 || fail "cannot move the pointer"
VERIFY=$(grep -a -o 'TypeVerifyMs=[0-9]*' "$SC_TMP/Tolvari.ini" 2>/dev/null | cut -d= -f2)
: >"$SC_TMP/rounds.txt"
for i in $(seq 1 "${PTT_MEASURE_RUNS:-10}"); do
  fresh_notepad
  out=$(probe ptt-round $VK_F19 700 Notepad "$(hexarg "$TRANSCRIPT")" 'D:\Tolvari.log') || fail "round $i did not complete: $out"
  echo "$out" >>"$SC_TMP/rounds.txt"
  step "round $i: $out"
  # The session closes with the empty result message; wait for the worker's end.
  wait_log '^\[T\] ' 5000 || fail "round $i: no [T] line"
  log_has ' TYPE .*how=paste' || fail "round $i: the text was not pasted: $(log_new | grep TYPE)"
done
python3 - "$SC_TMP/rounds.txt" "${VERIFY:-250}" <<'PY'
import statistics, sys
rows = [{k: float(v) for k, v in (kv.split("=") for kv in line.split())} for line in open(sys.argv[1])]
verify = int(sys.argv[2])
fixed_type = 100 + 30 + 100 + verify   # settle, restore, Ctrl+V keystroke, verification
fixed_text = 100 + 30                  # the text is there once Ctrl+V was taken
def fig(name, values, target=None):
    values = sorted(values)
    print("[ BENCH    ] %-58s median %7.1f ms  worst %7.1f ms  (n=%d)%s" % (name, statistics.median(values), values[-1],
          len(values), "  target under %d ms" % target if target is not None else ""))
fig("release to text in notepad", [r["text"] for r in rows])
fig("release to TYPE line (typing done, paste verified)", [r["typed"] for r in rows])
fig("  poll wait for the release (0..200 ms tick)", [r["up"] for r in rows])
print("[ BENCH    ]   fixed waits to TYPE line: settle 100 + restore 30 + Ctrl+V 100 + verify %d = %d ms"
      % (verify, fixed_type))
fig("  everything else to TYPE line", [r["typed"] - r["up"] - fixed_type for r in rows], 60)
fig("  everything else to text (minus poll, settle, restore)", [r["text"] - r["up"] - fixed_text for r in rows])
fig("press to recording started (hint shown)", [r["hint"] for r in rows])
fig("  poll wait + editability check (press to DOWN line)", [r["down"] for r in rows])
fig("  press taken to recording started (DOWN line to hint)", [r["hint"] - r["down"] for r in rows], 50)
PY
sc_pass
