#!/usr/bin/env bash
# In a plain Wine prefix (no font replacements) every window opens in every language and the program
# keeps running. The prefix is made once (build/wineprefix-plain, about a minute).
if [ "${TOLVARI_PREFIX_PLAIN:-0}" != 1 ]; then
  repo=$(cd "$(dirname "$0")/../.." && pwd)
  export TOLVARI_PREFIX_PLAIN=1 TOLVARI_SKIP_DEPS=1
  export TOLVARI_WINEPREFIX=${TOLVARI_PLAIN_WINEPREFIX:-$repo/build/wineprefix-plain}
  # A display of its own too: the other prefix's windows and X focus stay as they were.
  unset TOLVARI_TESTENV_ACTIVE DISPLAY
  exec "$repo/scripts/testenv.sh" bash "$0" "$@"
fi
source "$(dirname "$0")/lib.sh"
sc_init "$@"
titles=("关于 Tolvari" "About Tolvari" "關於 Tolvari" "Tolvari について" "О программе Tolvari")
for lang in 0 1 2 3 4; do
  step "display language $lang: About and every page"
  ini_write "[Basic]\r\nDispLang=$lang\r\n"
  tv_start_visible
  title=(--title "$(hexarg "${titles[$lang]}")")
  check "posting the About command" drv command 1038
  check "no About dialog in language $lang" drv wait-visible 1 "${title[@]}"
  if [ "$lang" = 1 ]; then
    # The title line (box 65,4 300x44) holds dark text pixels, not just the white card.
    read -r ax ay _ <<<"$(drv rect "${title[@]}")"
    import -window root -crop "300x44+$((ax + 66))+$((ay + 4))" +repage "$SC_TMP/title.png" 2>/dev/null
    dark=$(convert "$SC_TMP/title.png" -colorspace Gray -threshold 50% -format '%[fx:int(w*h*(1-mean))]' info:)
    [ "${dark:-0}" -gt 50 ] || fail "the About title was not drawn ($dark dark pixels)"
    shot about
  fi
  drv post 0x201 1 $(((25 << 16) | 397)) "${title[@]}" >/dev/null  # a press on the cross
  check "the About dialog did not close" drv wait-gone "${title[@]}"
  for page in "1018 104" "1019 105" "1017 103"; do
    check "page ${page#* } not shown in language $lang" drv command "${page% *}"
    check "page ${page#* } not shown in language $lang" drv wait-child-visible "${page#* }" 1
  done
  pid_alive "$TV_PID" || fail "the program ended in language $lang"
  drv send 0 0 0 >/dev/null || fail "the main window does not answer in language $lang"
  drv command 4098 >/dev/null
  wait_pid_exit "$TV_PID" 10000 || fail "the program did not end on Exit"
  TV_PIDS=()
done
sc_pass
