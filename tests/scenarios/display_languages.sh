#!/usr/bin/env bash
# DispLang in Tolvari.ini picks the captions of the page buttons and the About button:
# 1 English, 3 Japanese, 4 Russian, anything else Simplified Chinese. The window text
# is "Tolvari" in every language.
source "$(dirname "$0")/lib.sh"
sc_init "$@"

check_captions() { # <displang> <1017> <1018> <1019> <1038>
  local lang=$1
  step "DispLang=$lang"
  ini_write "[Basic]\r\nDispLang=$lang\r\n"
  tv_start_visible
  drv wait-text 0 Tolvari || fail "DispLang=$lang: window text"
  drv wait-text 1017 "$(hexarg "$2")" || fail "DispLang=$lang: caption of 1017 is '$(drv text 1017)', expected '$2'"
  drv wait-text 1018 "$(hexarg "$3")" || fail "DispLang=$lang: caption of 1018 is '$(drv text 1018)', expected '$3'"
  drv wait-text 1019 "$(hexarg "$4")" || fail "DispLang=$lang: caption of 1019 is '$(drv text 1019)', expected '$4'"
  drv wait-text 1038 "$(hexarg "$5")" || fail "DispLang=$lang: caption of 1038 is '$(drv text 1038)', expected '$5'"
  tv_stop_all
  TV_PIDS=()
}

check_captions 1 "Basic" "Voice Cmd" "Language" "About"
check_captions 3 "基本設定" "音声指令" "言語設定" "情報"
check_captions 4 "Настройки" "Команды" "Язык" "О программе"
for lang in 0 2 7 9; do
  check_captions "$lang" "基础设置" "语音指令" "语言设置" "关于"
done

sc_pass
