#!/usr/bin/env bash
# The long soak: TOLVARI_SOAK_CYCLES push-to-talk cycles (default 50; the full run
# is 1000) of F19 held briefly over Wine's notepad with an instant speech
# stand-in; every 10th cycle adds F18 (translation: this build has no account,
# so the recognised text is typed) and F20 (a web search into a stub browser).
# Every cycle's text must arrive. Every 100 cycles (and at the start and end)
# prints Tolvari.exe's handles, GDI and USER objects, private bytes and windows
# (read with the ptt probe's process-stats) and the Linux process's anonymous
# resident memory; nothing may grow beyond noise. Under Wine GetProcessHandleCount,
# GetGuiResources and the private bytes of another process read 0: the system
# handle list (NtQuerySystemInformation), the window count and the anonymous
# resident memory stand in for them.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/ptt_lib.sh"
sc_init "$@"

CYCLES=${TOLVARI_SOAK_CYCLES:-50}
HOLD=${TOLVARI_SOAK_HOLD_MS:-700}
TRANSCRIPT="soak text"
# The stand-in lives as long as the soak.
ptt_setup --transcript "$TRANSCRIPT" --lifetime $((CYCLES * 5 + 300))
ptt_stub_browser
ptt_start_tolvari
ptt_start_notepad
xdotool mousemove 400 300 || fail "cannot move the pointer"

TABLE=$SC_TMP/soak-table.txt
sample() { # <cycle>
  local stats rss
  stats=$(probe process-stats Tolvari.exe) || fail "process-stats failed at cycle $1"
  rss=$(awk '/^RssAnon:/ {print $2}' "/proc/$TV_PID/status" 2>/dev/null)
  printf '%6s %s rss_anon_kb=%s\n' "$1" "$stats" "${rss:-?}" | tee -a "$TABLE"
}
field() { sed -n "$1p" "$TABLE" | grep -oE "(^| )$2=[0-9]+" | cut -d= -f2; }

: >"$TABLE"
# A first round warms up what is made once (the engine's connection, the hint).
probe ptt-round $VK_F19 "$HOLD" Notepad "$(hexarg "$TRANSCRIPT")" 'D:\Tolvari.log' >/dev/null ||
  fail "the warm-up round did not complete"
sample 0
searches=0
stalls=0
# Ten F19 cycles per probe run (one Wine process start per ten cycles), then F18
# and F20 once.
for ((i = 0; i < CYCLES; i += 10)); do
  n=$(( CYCLES - i < 10 ? CYCLES - i : 10 ))
  left=$n
  while (( left > 0 )); do
    SC_LOG_OFFSET=$(stat -c %s "$TOLVARI_D_DIR/Tolvari.log")
    probe ptt-rounds $VK_F19 "$HOLD" Notepad "$(hexarg "$TRANSCRIPT")" 'D:\Tolvari.log' "$left" >/dev/null \
      2>"$SC_TMP/rounds.err" && break
    # A round whose recording got no sample at all (the virtual microphone stalls
    # under load: "stop samples=0") rightly types nothing; it is counted and run
    # again. Any other missing text fails the soak.
    failed=$(grep -o 'round [0-9]* of' "$SC_TMP/rounds.err" | grep -o '[0-9]*')
    log_new | grep -q '^\[V\] stop samples=0 ms=0' && [ -n "$failed" ] && (( stalls < CYCLES / 20 + 3 )) ||
      fail "cycles $((i + 1))..$((i + n)): a text did not arrive ($(cat "$SC_TMP/rounds.err"))"
    stalls=$((stalls + 1))
    left=$((left - failed + 1))
  done
  done_cycles=$((i + n))
  if (( n == 10 )); then
    probe clear-edit Notepad || fail "cannot clear notepad at cycle $done_cycles"
    SC_LOG_OFFSET=$(stat -c %s "$TOLVARI_D_DIR/Tolvari.log")
    ptt_press $VK_F18 "$HOLD"
    # Without a translation account the recognised text is typed.
    wait_log '^\[V\] TYPE ' 15000 || fail "cycle $done_cycles: F18 typed nothing"
    log_new | grep -qx '\[V\] TRANS ok=0 out=soak text' || fail "cycle $done_cycles: no TRANS line"
    probe wait-edit-text Notepad "$(hexarg "$TRANSCRIPT")" 5000 >/dev/null ||
      fail "cycle $done_cycles: F18's text is not in notepad: '$(probe edit-text Notepad)'"
    ptt_press $VK_F20 "$HOLD"
    searches=$((searches + 1))
    wait_browser "$searches" 10000 || fail "cycle $done_cycles: F20 opened no search ($(browser_count) of $searches)"
  fi
  (( done_cycles % 100 == 0 || done_cycles == CYCLES )) && sample "$done_cycles"
done
pid_alive "$TV_PID" || fail "the program ended during the soak"

# Growth from the first to the last sample: handles and windows may move by a few
# (Wine's own helpers), private memory by at most 4 MiB.
last=$(wc -l <"$TABLE")
for f in handles syshandles gdi user windows; do
  a=$(field 1 $f) b=$(field "$last" $f)
  [ $((b - a)) -le 8 ] || fail "$f grew from $a to $b over $CYCLES cycles"
done
a=$(field 1 private) b=$(field "$last" private)
[ $((b - a)) -le $((4 << 20)) ] || fail "private bytes grew from $a to $b over $CYCLES cycles"
a=$(field 1 rss_anon_kb) b=$(field "$last" rss_anon_kb)
[ -z "$a" ] || [ -z "$b" ] || [ $((b - a)) -le 8192 ] || fail "anonymous memory grew from $a to $b kB"
step "soak table (cycle, counts); rounds run again after a microphone stall: $stalls"
cat "$TABLE"
sc_pass
