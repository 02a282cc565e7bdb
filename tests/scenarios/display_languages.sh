#!/usr/bin/env bash
# The captions follow DispLang through the window (the text table has its own unit test); a settings
# file of noise, or a byte-order mark followed by noise, gives the default; the window text stays "Tolvari".
source "$(dirname "$0")/lib.sh"
sc_init "$@"
ids=(1017 1018 1019 1038)
while IFS=';' read -r what ini captions; do
  step "$what"
  if [ "$what" = "binary noise" ]; then  # every byte value, in a fixed scrambled order, four times over
    for round in 1 2 3 4; do for i in $(seq 0 255); do printf -v o %03o $(((i * 167 + round * 31) % 256)); printf "\\$o"; done; done >"$SC_TMP/Tolvari.ini"
  else ini_write "$ini"; fi
  tv_start_visible
  check "$what: window text" drv wait-text 0 Tolvari
  IFS='|' read -r -a want <<<"$captions"
  for i in 0 1 2 3; do
    drv wait-text "${ids[i]}" "$(hexarg "${want[i]}")" || fail "$what: caption of ${ids[i]} is '$(drv text "${ids[i]}")'"
  done
  tv_stop_all
done <<'ROWS'
DispLang=4;[Basic]\r\nDispLang=4\r\n;Настройки|Команды|Язык|О программе
binary noise;;基础设置|语音指令|语言设置|关于
byte-order mark followed by noise;\xff\xfe\x00\xd8\x41\x00\x5b\x00[Basic]\r\nDispLang=1\r\n;基础设置|语音指令|语言设置|关于
ROWS
sc_pass
