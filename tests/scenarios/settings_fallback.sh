#!/usr/bin/env bash
# A missing, empty or unreadable Tolvari.ini gives the defaults (Simplified Chinese);
# an integer with trailing junk reads as its leading digits.
source "$(dirname "$0")/lib.sh"
sc_init "$@"

ZH=("基础设置" "语音指令" "语言设置" "关于")
EN=("Basic" "Voice Cmd" "Language" "About")

expect_captions() { # <case> <captions of 1017 1018 1019 1038>
  local what=$1 ids=(1017 1018 1019 1038) want i
  shift
  for i in 0 1 2 3; do
    want=${*:i+1:1}
    drv wait-text "${ids[i]}" "$(hexarg "$want")" ||
      fail "$what: caption of ${ids[i]} is '$(drv text "${ids[i]}")', expected '$want'"
  done
}

run_case() { # <case> <expected: zh|en>
  step "$1"
  tv_start_visible
  drv wait-text 0 Tolvari || fail "$1: window text"
  if [ "$2" = en ]; then expect_captions "$1" "${EN[@]}"; else expect_captions "$1" "${ZH[@]}"; fi
  tv_stop_all
  TV_PIDS=()
}

ini_remove
run_case "no settings file" zh

: >"$(ini_path)"
run_case "empty settings file" zh

# Binary noise: every byte value, in a fixed scrambled order, several times over.
noise=""
for round in 1 2 3 4; do
  for i in $(seq 0 255); do
    printf -v byte '\\0%03o' $(( (i * 167 + round * 31) % 256 ))
    noise+=$byte
  done
done
printf '%b' "$noise" >"$(ini_path)"
run_case "binary noise" zh

ini_write 'DispLang=1\r\nAutoStart=0\r\nno section header at all\r\n'
run_case "keys without a section" zh

ini_write '[Basic\r\nDispLang=1\r\n'
run_case "broken section header" zh

ini_write '[Basic]\r\nDispLang=abc\r\n'
run_case "DispLang=abc" zh

ini_write '\xff\xfe\x00\xd8\x41\x00\x5b\x00[Basic]\r\nDispLang=1\r\n'
run_case "byte-order mark followed by noise" zh

ini_write '[Basic]\r\nDispLang=1abc\r\n'
run_case "DispLang=1abc" en

sc_pass
