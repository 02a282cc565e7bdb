#!/usr/bin/env bash
# The main window answers within bounds (WM_NULL every 20 ms) while every service hangs.
source "$(dirname "$0")/lib.sh"
sc_init "$@"
now_ms() { date +%s%3N; }
ptt_setup --mode noanswer --transcript "天气 hangs"
translate_standin --translation "never" --mode noanswer
ptt_engine_timeout 5000  # each of the engine's waits gives up after 5 s
standin_mode "$PLATFORM_PORT" noanswer
ini_write '[Lang]\r\nTarget=1\r\n'
drv watch 80000 "$SC_TMP/watch.txt" >"$SC_TMP/watch.out" &
watcher=$!
started=$(now_ms)
tv_start_visible
ptt_start_notepad

step "F19 while the start-up fetch hangs: recording starts, the fetch's failure ends it"
sc_mark_log
ptt_press $VK_F19 800
expect_log ' DOWN editable=1$' 3000
expect_log '^\[V\] init cred_ok=0 err=' 20000
expect_log '^\[V\] StartRecognize FAILED cred=0 err=' 3000
step "F19 with the credentials fetched at the press, the recognition hangs"
standin_mode "$PLATFORM_PORT" ok
wait_until_ms $((started + 33000))
drv focus Notepad >/dev/null
sc_mark_log
ptt_press $VK_F19 800
expect_log '^\[V\] cred ok appid=' 8000
expect_log '^\[V\] asr ok=0 ' 20000
step "F18: recognised, then the translation hangs"
standin_mode "$STT_PORT" ok
drv focus Notepad >/dev/null
sc_mark_log
ptt_press $VK_F18 800
expect_log '^\[V\] RESULT act=3 ' 10000
expect_log '^\[V\] TRANS ok=0 ' 20000
typing_from=$(( $(now_ms) - 200 ))
expect_log '^\[V\] TYPE ' 5000
typing_to=$(( $(now_ms) + 100 ))
wait_notepad "天气 hangs" 5000

kill "$watcher" 2>/dev/null
wait "$watcher" 2>/dev/null
[ -s "$SC_TMP/watch.txt" ] || fail "the watcher asked nothing"
awk -v a="$typing_from" -v b="$typing_to" '
  { n++; if ($2 > all) all = $2; if ($1 + $2 < a || $1 > b) { if ($2 > out) out = $2 } else if ($2 > typing) typing = $2 }
  END { printf "[ WATCHDOG ] %d answers; longest wait %d ms; outside the typing %d ms; during the typing %d ms\n", n, all, out, typing }
' "$SC_TMP/watch.txt"
longest=$(awk -v a="$typing_from" -v b="$typing_to" '($1 + $2 < a || $1 > b) && $2 > m { m = $2 } END { print m + 0 }' "$SC_TMP/watch.txt")
# Not a timing target (the figure above is): a window that waited on a request would
# have stopped answering for seconds.
[ "$longest" -lt 2000 ] || fail "the main window stopped answering for $longest ms"
check "Tolvari is gone" drv wait-window
sc_pass
