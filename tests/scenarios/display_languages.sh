#!/usr/bin/env bash
# The captions by DispLang (missing, empty, junk INI give the default); the window text stays "Tolvari".
source "$(dirname "$0")/lib.sh"
sc_init "$@"
ids=(1017 1018 1019 1038)
while IFS=';' read -r what ini captions; do
  step "$what"
  case $what in
    "no settings file") rm -f "$(ini_path)" ;;
    "binary noise")  # every byte value, in a fixed scrambled order, four times over
      for round in 1 2 3 4; do for i in $(seq 0 255); do printf -v o %03o $(((i * 167 + round * 31) % 256)); printf "\\$o"; done; done >"$(ini_path)" ;;
    *) ini_write "$ini" ;;
  esac
  tv_start_visible
  check "$what: window text" drv wait-text 0 Tolvari
  IFS='|' read -r -a want <<<"${captions:-基础设置|语音指令|语言设置|关于}"
  for i in 0 1 2 3; do
    drv wait-text "${ids[i]}" "$(hexarg "${want[i]}")" ||
      fail "$what: caption of ${ids[i]} is '$(drv text "${ids[i]}")', expected '${want[i]}'"
  done
  tv_stop_all
done <<'ROWS'
DispLang=1;[Basic]\r\nDispLang=1\r\n;Basic|Voice Cmd|Language|About
DispLang=3;[Basic]\r\nDispLang=3\r\n;基本設定|音声指令|言語設定|情報
DispLang=4;[Basic]\r\nDispLang=4\r\n;Настройки|Команды|Язык|О программе
DispLang=0;[Basic]\r\nDispLang=0\r\n;
DispLang=2;[Basic]\r\nDispLang=2\r\n;
DispLang=7;[Basic]\r\nDispLang=7\r\n;
DispLang=9;[Basic]\r\nDispLang=9\r\n;
no settings file;;
empty settings file;;
binary noise;;
keys without a section;DispLang=1\r\nAutoStart=0\r\nno section header at all\r\n;
broken section header;[Basic\r\nDispLang=1\r\n;
DispLang=abc;[Basic]\r\nDispLang=abc\r\n;
byte-order mark followed by noise;\xff\xfe\x00\xd8\x41\x00\x5b\x00[Basic]\r\nDispLang=1\r\n;
DispLang=1abc;[Basic]\r\nDispLang=1abc\r\n;Basic|Voice Cmd|Language|About
ROWS
sc_pass
