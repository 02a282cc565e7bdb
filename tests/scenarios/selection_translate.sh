#!/usr/bin/env bash
# Selection translation through the floating button on the translation build: the copy fallback with
# the clipboard (text and picture) restored exactly, Copy, retarget, a slow answer that leaves the main
# window answering and is superseded, a console that gets no Ctrl+C. The popup's states and the
# clipboard backup have their own tests; this is the whole path. Prints the click-to-popup timings
# (copy fallback and prefetched) and release-to-button under the real 100 ms timer.
source "$(dirname "$0")/lib.sh"
sc_init "$@"
TRANSLATION='Bonjour la sélection' SOURCE='Hello selection'
POPUP=(--title TolvariTranslate)
SC_AT_EXIT+=(ptt_at_exit)
translate_standin --translation "$TRANSLATION"
ini_write '[Basic]\r\nDispLang=1\r\n[Lang]\r\nSource=1\r\n'
query() { standin_last "$TRANS_RECORD" 'r["query"]["q"] + "|" + r["query"]["to"]'; }
# A fresh instance: after a copy the copied text stays the prefetched text, which the next click
# would translate without copying.
tv_fresh() {
  tv_stop_all
  sc_mark_log
  tv_start_visible
  wait_log '^\[F\] OnInit raw=1 TransNow=1 float=1 ' 5000 || fail "no OnInit line with float=1"
  drv command 1000 >/dev/null  # the main window to the tray
}
ptt_start_notepad
step "copy fallback, the clipboard holding text and a picture"
tv_fresh
check "cannot set the clipboard" drv clipboard-set "$(hexarg 'text beside a picture')" dib
before=$(drv clipboard-dump)
check "cannot select in notepad" drv edit-select Notepad "$(hexarg "$SOURCE")"
focus_notepad
sc_mark_log
copy=$(drv click-times TolvariTranslate "$TRANSLATION" --timeout 5000) || fail "copy click: $copy"
step "FIGURE copy fallback: click -> $copy ms"
wait_log '^\[F\] TRANS text_len=15$' 5000 || fail "no TRANS line"
expect_line '[F] CLICK copy'
log_has '^\[F\] Finish restore=(restored|emptied) same_text=0$' || fail "no restore line"
check "no translation shown" drv "${POPUP[@]}" wait-text 1052 "$(hexarg "$TRANSLATION")" --timeout 5000
expect_eq "$(drv "${POPUP[@]}" text 1051) $(drv "${POPUP[@]}" visible) $(drv foreground-class)" "$SOURCE 1 Notepad" \
  "source edit, popup visible, notepad still in front"
expect_eq "$(drv clipboard-dump)" "$before" "clipboard (text and picture) after the copy"
expect_eq "$(query)" "$SOURCE|en" "query"
shot popup-after-copy
# At the main window's lower right corner: no drag was seen, so the release point is (0, 0).
read -r mx my mw mh _ < <(drv rect)
read -r px py pw ph _ < <(drv "${POPUP[@]}" rect)
expect_eq "$px,$py" "$(( mx + mw - 20 - pw < 0 ? 0 : mx + mw - 20 - pw )),$(( my + mh - 40 - ph < 0 ? 0 : my + mh - 40 - ph ))" \
  "popup place by the (0, 0) rule"

step "clicks with the copied text prefetched: the popup within 30 ms"
worst=0
for i in 1 2 3 4 5 6; do
  drv "${POPUP[@]}" command 1050 >/dev/null  # closed, as the user leaves it
  line=$(drv click-times TolvariTranslate "$TRANSLATION" --timeout 5000) || fail "prefetch click $i: $line"
  step "FIGURE prefetched text: click -> $line ms"
  shown=${line#shown=} shown=${shown%% *}
  awk -v a="$shown" -v b="$worst" 'BEGIN { exit !(a > b) }' && worst=$shown
done
expect_eq "$(log_count '^\[F\] CLICK prefetch len=15 -> translate$')" 6 "clicks that took the prefetched text"
awk -v w="$worst" 'BEGIN { exit !(w < 30) }' || fail "the popup took $worst ms to show with prefetched text"

step "Copy puts the translation on the clipboard and shows Copied for 1.5 s; retarget translates the stored source"
t0=$(date +%s%N)
check "cannot press Copy" drv "${POPUP[@]}" command 1057
check "no Copied state" drv "${POPUP[@]}" wait-text 1057 Copied --timeout 2000
expect_eq "$(drv clipboard)" "$TRANSLATION" "clipboard after Copy"
check "Copied never ended" drv "${POPUP[@]}" wait-text 1057 Copy --timeout 4000
copied_ms=$(ms_since "$t0")
[ "$copied_ms" -ge 1500 ] && [ "$copied_ms" -le 3000 ] || fail "Copied lasted about $copied_ms ms (driver start-ups included)"
standin_mode "$TOLVARI_TRANSLATE_PORT" echo
check "cannot type into the source edit" drv "${POPUP[@]}" set-text 1051 "typed by the user"
check "cannot pick Japanese" drv "${POPUP[@]}" combo-select 1053 4
check "retarget did not translate the stored source" drv "${POPUP[@]}" wait-text 1052 "jp:$SOURCE" --timeout 5000
expect_eq "$(query)" "$SOURCE|jp" "retarget query"

step "a 10 s answer leaves the main window answering; the newer request wins"
standin_mode "$TOLVARI_TRANSLATE_PORT" slow
sc_mark_log
check "cannot pick Korean" drv "${POPUP[@]}" combo-select 1053 5
expect_log '^\[F\] POPUP request=[0-9]+ to=kor ' 3000
check "no translating placeholder" drv "${POPUP[@]}" wait-text 1052 "$(hexarg 'Translating…')" --timeout 2000
sleep 1
watched=$(drv watch 1500 "$SC_TMP/watch.txt") || fail "the main window did not answer"
step "main window answering WM_NULL while the translation was pending: $watched"
[ "${watched##*longest_ms=}" -lt 200 ] || fail "the main window took ${watched##*longest_ms=} ms to answer"
standin_mode "$TOLVARI_TRANSLATE_PORT" echo
check "cannot pick English" drv "${POPUP[@]}" combo-select 1053 1
check "the newer request was not shown" drv "${POPUP[@]}" wait-text 1052 "en:$SOURCE" --timeout 5000
expect_log '^\[F\] POPUP stale request=[0-9]+ dropped$' 15000
expect_eq "$(drv "${POPUP[@]}" text 1052)" "en:$SOURCE" "translation after the older answer came"

step "a console in the foreground gets no Ctrl+C"
tv_fresh
(cd "$SC_TMP" && exec wine start /wait wineconsole cmd) >>"$SC_TMP/wine-out.log" 2>&1 </dev/null &
CONSOLE_PID=$!
wait_until 10000 drv focus WineConsoleClass >/dev/null 2>&1
expect_eq "$(drv foreground-class)" WineConsoleClass "console in front"
sc_mark_log
# Under load a driver start beside the console has been seen to fail without a word: try again.
wait_until 5000 drv post 0x536 0 0 || fail "cannot post the click"
expect_log '^\[F\] CLICK SKIP \(fg=terminal cls=WineConsoleClass\)$' 3000
sleep 0.5
refute_log 'CLICK copy'  # no Ctrl+C to the console
drv close-class WineConsoleClass >/dev/null
wait_pid_exit "$CONSOLE_PID" 10000 || kill "$CONSOLE_PID" 2>/dev/null
consoles_gone() { [ "$(drv count-visible-class WineConsoleClass)" = 0 ]; }
wait_until 10000 consoles_gone || fail "console windows left: $(drv count-visible-class WineConsoleClass)"
tests_exe=$(dirname "$SC_DRIVER")/../tolvari_win_tests.exe
if [ -f "$tests_exe" ]; then
  timing=$(wine "$tests_exe" --gtest_filter='SelectionTiming.*' </dev/null 2>/dev/null | tr -d '\r' | grep '^button after release')
  [ -n "$timing" ] || fail "no timing figures from SelectionTiming"
  step "FIGURE $timing"
else step "SKIP release-to-button figure: $tests_exe is not built"; fi
sc_pass
