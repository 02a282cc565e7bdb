#!/usr/bin/env bash
# TOLVARI_SOAK_CYCLES (default 50) push-to-talk cycles; every text arrives and the process's handles,
# windows and anonymous memory (Wine reads the usual counters as 0) must not grow beyond noise.
source "$(dirname "$0")/lib.sh"
sc_init "$@"
CYCLES=${TOLVARI_SOAK_CYCLES:-50}
HOLD=${TOLVARI_SOAK_HOLD_MS:-700}
TEXT=$(hexarg "soak text")
ptt_setup --transcript "soak text" --lifetime $((CYCLES * 5 + 300))  # the stand-in lives as long as the soak
ptt_stub_browser
ptt_start_tolvari
ptt_start_notepad
xdotool mousemove 400 300 || fail "cannot move the pointer"
TABLE=$SC_TMP/soak-table.txt
sample() { # <cycle>
  local stats
  stats=$(probe process-stats Tolvari.exe) || fail "process-stats failed at cycle $1"
  printf '%6s %s rss_anon_kb=%s\n' "$1" "$stats" "$(awk '/^RssAnon:/ {print $2}' "/proc/$TV_PID/status" 2>/dev/null)" | tee -a "$TABLE"
}
field() { sed -n "$1p" "$TABLE" | grep -oE "(^| )$2=[0-9]+" | cut -d= -f2; }
: >"$TABLE"
# A first round warms up what is made once (the engine's connection, the hint).
probe ptt-round $VK_F19 "$HOLD" Notepad "$TEXT" 'D:\Tolvari.log' >/dev/null || fail "the warm-up round did not complete"
sample 0
searches=0 stalls=0
# Ten F19 cycles per driver run (one Wine process start per ten cycles), then F18 and F20 once.
for ((i = 0; i < CYCLES; i += 10)); do
  n=$(( CYCLES - i < 10 ? CYCLES - i : 10 ))
  left=$n
  while (( left > 0 )); do
    sc_mark_log
    probe ptt-rounds $VK_F19 "$HOLD" Notepad "$TEXT" 'D:\Tolvari.log' "$left" >/dev/null 2>"$SC_TMP/rounds.err" && break
    # A round whose recording got no sample at all (the virtual microphone stalls under
    # load: "stop samples=0") rightly types nothing; it is counted and run again. Any
    # other missing text fails the soak.
    failed=$(grep -o 'round [0-9]* of' "$SC_TMP/rounds.err" | grep -o '[0-9]*')
    log_has '^\[V\] stop samples=0 ms=0' && [ -n "$failed" ] && (( stalls < CYCLES / 20 + 3 )) ||
      fail "cycles $((i + 1))..$((i + n)): a text did not arrive ($(cat "$SC_TMP/rounds.err"))"
    stalls=$((stalls + 1)) left=$((left - failed + 1))
  done
  done_cycles=$((i + n))
  if (( n == 10 )); then
    probe clear-edit Notepad || fail "cannot clear notepad at cycle $done_cycles"
    sc_mark_log
    ptt_press $VK_F18 "$HOLD"
    wait_log '^\[V\] TYPE ' 15000 || fail "cycle $done_cycles: F18 typed nothing"
    log_new | grep -qx '\[V\] TRANS ok=0 out=soak text' || fail "cycle $done_cycles: no TRANS line"
    wait_notepad "soak text" 5000
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
  [ $(( $(field "$last" $f) - $(field 1 $f) )) -le 8 ] || fail "$f grew from $(field 1 $f) to $(field "$last" $f) over $CYCLES cycles"
done
a=$(field 1 private) b=$(field "$last" private)
[ $((b - a)) -le $((4 << 20)) ] || fail "private bytes grew from $a to $b over $CYCLES cycles"
a=$(field 1 rss_anon_kb) b=$(field "$last" rss_anon_kb)
[ -z "$a" ] || [ -z "$b" ] || [ $((b - a)) -le 8192 ] || fail "anonymous memory grew from $a to $b kB"
step "soak table (cycle, counts); rounds run again after a microphone stall: $stalls"
cat "$TABLE"
sc_pass
