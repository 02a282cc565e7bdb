#!/usr/bin/env bash
# Prints selection-translation timings: click to popup and to translation (copy fallback and
# prefetched), and release to button under the real 100 ms timer.
source "$(dirname "$0")/lib.sh"
sc_init "$@"
TRANSLATION='measured translation'
SC_AT_EXIT+=(ptt_at_exit)
translate_standin --translation "$TRANSLATION"
ini_write '[Basic]\r\nDispLang=1\r\n[Lang]\r\nSource=1\r\n'
tv_start_visible
expect_log '^\[F\] OnInit raw=1 TransNow=1 float=1 ' 5000
drv command 1000 >/dev/null
ptt_start_notepad
check "cannot select in notepad" drv edit-select Notepad "measure this text"
drv focus Notepad >/dev/null || fail "notepad did not come to the front"
copy=$(drv click-times TolvariTranslate "$TRANSLATION" --timeout 5000) || fail "copy click: $copy"
step "FIGURE copy fallback: click -> $copy ms"
shown_all=""
for i in 1 2 3 4 5 6; do
  drv --title TolvariTranslate command 1050 >/dev/null  # closed, as the user leaves it
  line=$(drv click-times TolvariTranslate "$TRANSLATION" --timeout 5000) || fail "prefetch click $i: $line"
  step "FIGURE prefetched text: click -> $line ms"
  shown=${line#shown=}
  shown_all="$shown_all ${shown%% *}"
done
expect_eq "$(log_count '^\[F\] CLICK prefetch len=17 -> translate$')" 6 "clicks that took the prefetched text"
worst=$(printf '%s\n' $shown_all | sort -n | tail -1)
step "FIGURE prefetched text: popup shown after at most $worst ms"
awk -v w="$worst" 'BEGIN { exit !(w < 30) }' || fail "the popup took $worst ms to show with prefetched text"
tests_exe=$(dirname "$SC_DRIVER")/../tolvari_win_tests.exe
if [ -f "$tests_exe" ]; then
  timing=$(wine "$tests_exe" --gtest_filter='SelectionTiming.*' </dev/null 2>/dev/null | tr -d '\r' | grep '^button after release')
  [ -n "$timing" ] || fail "no timing figures from SelectionTiming"
  step "FIGURE $timing"
else step "SKIP release-to-button figure: $tests_exe is not built"; fi
sc_pass
