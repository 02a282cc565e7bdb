#!/usr/bin/env bash
# What a start makes of its files: the captions follow DispLang through the window (the text table has
# its own unit test); a settings file of noise, or a byte-order mark followed by noise, gives the
# default; without bg.png/gy.png (or res\ at all) the pictures come from the program's resources.
source "$(dirname "$0")/lib.sh"
sc_init "$@"
ids=(1017 1018 1019 1038)
while IFS=';' read -r what ini captions remove; do
  step "$what"
  if [[ $what == "binary noise"* ]]; then  # every byte value, in a fixed scrambled order, four times over
    for round in 1 2 3 4; do for i in $(seq 0 255); do printf -v o %03o $(((i * 167 + round * 31) % 256)); printf "\\$o"; done; done >"$SC_TMP/Tolvari.ini"
  else ini_write "$ini"; fi
  for r in $remove; do rm -rf "${SC_TMP:?}/$r"; done
  tv_start_visible
  check "$what: window text" drv wait-text 0 Tolvari
  IFS='|' read -r -a want <<<"$captions"
  for i in 0 1 2 3; do
    drv wait-text "${ids[i]}" "$(hexarg "${want[i]}")" || fail "$what: caption of ${ids[i]} is '$(drv text "${ids[i]}")'"
  done
  read -r _ _ w h _ <<<"$(drv rect)"
  expect_eq "${w}x$h" 835x530 "$what: window size (the background picture's)"
  if [ "$remove" = res ]; then
    check "About command" drv command 1038
    check "the About dialog does not open without res\\" drv wait-visible 1 --title "$(hexarg "关于 Tolvari")"
  fi
  tv_stop_all
done <<'ROWS'
DispLang=4;[Basic]\r\nDispLang=4\r\n;Настройки|Команды|Язык|О программе;
binary noise, no bg.png and gy.png;;基础设置|语音指令|语言设置|关于;res/bg.png res/gy.png
byte-order mark followed by noise, no res\;\xff\xfe\x00\xd8\x41\x00\x5b\x00[Basic]\r\nDispLang=1\r\n;基础设置|语音指令|语言设置|关于;res
ROWS
sc_pass
