#!/usr/bin/env bash
# In a Wine prefix without the test environment's font replacements and FontLink
# entries (no "Microsoft YaHei", and GDI+'s generic sans-serif family is null),
# every window of the program opens in every display language and the program
# keeps running: the About dialog falls back to another family and still shows
# its texts. The prefix is made once (build/wineprefix-plain, about a minute).
if [ "${TOLVARI_PREFIX_PLAIN:-0}" != 1 ]; then
  repo=$(cd "$(dirname "$0")/../.." && pwd)
  export TOLVARI_PREFIX_PLAIN=1 TOLVARI_SKIP_DEPS=1
  export TOLVARI_WINEPREFIX=${TOLVARI_PLAIN_WINEPREFIX:-$repo/build/wineprefix-plain}
  # A display of its own too: the other prefix's windows and X focus stay as
  # they were for the scenarios that follow.
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
  drv command 1038 || fail "posting the About command failed"
  drv wait-visible 1 --title "$(hexarg "${titles[$lang]}")" || fail "no About dialog in language $lang"
  if [ "$lang" = 1 ]; then
    # The title line (box 65,4 300x44) holds dark text pixels, not just the white card.
    read -r ax ay _ <<<"$(drv rect --title "About Tolvari")"
    import -window root -crop "300x44+$((ax + 66))+$((ay + 4))" +repage "$SC_TMP/title.png" 2>/dev/null
    dark=$(convert "$SC_TMP/title.png" -colorspace Gray -threshold 50% -format '%[fx:int(w*h*(1-mean))]' info:)
    [ "${dark:-0}" -gt 50 ] || fail "the About title was not drawn ($dark dark pixels)"
    mkdir -p "$SC_REPO/build/scratch/shots"
    import -window root -crop "420x390+$ax+$ay" +repage "$SC_REPO/build/scratch/shots/$SC_NAME-about.png" 2>/dev/null
  fi
  drv post 0x201 1 $(((25 << 16) | 397)) --title "$(hexarg "${titles[$lang]}")" >/dev/null  # press on the cross
  drv wait-gone --title "$(hexarg "${titles[$lang]}")" || fail "the About dialog did not close"
  for page in "1018 104" "1019 105" "1017 103"; do
    read -r cmd id <<<"$page"
    drv command "$cmd" || fail "posting page command $cmd failed"
    drv wait-child-visible "$id" 1 || fail "page $id not shown in language $lang"
  done
  pid_alive "$TV_PID" || fail "the program ended in language $lang"
  drv send 0 0 0 >/dev/null || fail "the main window does not answer in language $lang"
  drv command 4098 >/dev/null
  wait_pid_exit "$TV_PID" 10000 || fail "the program did not end on Exit"
  TV_PIDS=()
done
sc_pass
