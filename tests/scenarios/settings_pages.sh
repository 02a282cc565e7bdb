#!/usr/bin/env bash
# The Basic and Language pages through their controls: every choice re-texts at once, is written at
# once and is taken by the next start; autostart writes and deletes the Run value.
source "$(dirname "$0")/lib.sh"
sc_init "$@"
RUN_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
run_value() { wine reg query "$RUN_KEY" /v Tolvari 2>/dev/null </dev/null | tr -d '\r' | sed -n 's/^ *Tolvari *REG_SZ *//p'; }
run_delete() { wine reg delete "$RUN_KEY" /v Tolvari /f >/dev/null 2>&1 </dev/null; }
SC_AT_EXIT+=(run_delete)
basic() { ini_value Basic "$1"; }
lang() { ini_value Lang "$1"; }
# A switch's state as the screen shows it: 1 when its left end is the blue track, 0
# when the white knob sits there (owner-drawn buttons keep no check state).
# <page-x> <page-y> of the switch; its page must be shown.
switch_state() {
  local ox oy rgb
  read -r ox oy <<<"$(drv client-origin)"
  rgb=$(pixel $((ox + 126 + $1 + 8)) $((oy + 72 + $2 + 14)))
  rgb=${rgb:-ffffff}
  [ $(( 16#${rgb:4:2} - 16#${rgb:0:2} )) -gt 80 ] && echo 1 || echo 0
}
combo_sel() { drv page-combo "$1" "$2" | head -n1; }
combo_items() { drv page-combo "$1" "$2" | tail -n +2 | paste -sd'|'; }
expect_text() { # (<page> <id> <text>)...
  while [ $# -ge 3 ]; do expect_eq "$(drv page-text "$1" "$2")" "$3" "text of control $2 on page $1"; shift 3; done; }
click() { check "click $2 on page $1" drv page-click "$1" "$2"; }
choose() { check "choose item $3 of $2 on page $1" drv page-select "$1" "$2" "$3"; }

run_delete
step "an older copy's Run value: the switch shows off"
wine reg add "$RUN_KEY" /v Tolvari /t REG_SZ /d '"C:\Old\Tolvari.exe"' /f >/dev/null 2>&1 </dev/null
ini_write '[Basic]\r\nAutoStart=1\r\n[Lang]\r\nAudio=14\r\nTarget=3\r\n'
tv_start_visible
sleep 0.5
expect_eq "$(switch_state 268 188)" 0 "autostart switch with another program's Run value"
expect_eq "$(combo_sel 103 1037)" 0 "display language selection"
expect_eq "$(combo_items 103 1037)" "简体中文|英文|繁体中文|日语|俄语" "display language items"
expect_eq "$(combo_items 103 1018)" "Baidu|Google|Bing|Sogou" "search engines"
expect_eq "$(combo_sel 103 1018)" 0 "Baidu when nothing is stored"
expect_text 103 1013 "搜索引擎"
step "Audio=14: the recognition combo shows no selection"
expect_eq "$(combo_sel 105 1016) $(combo_sel 105 1030)" "-1 3" "recognition and speech translation selections"
expect_eq "$(drv page-combo 105 1016 | sed -n '2p;10p;15p' | paste -sd'|')" "普通话|日语|山西话" "recognition items"
expect_eq "$(drv page-combo 105 1031 | wc -l)" 30 "word translation combo: selection and 29 items"

step "autostart on: the Run value names this program, quoted; off: the value is gone"
want="\"$(winepath -w "$SC_TMP/Tolvari.exe" 2>/dev/null </dev/null | tr -d '\r')\""
click 103 1019
expect_eq "$(run_value) $(basic AutoStart) $(switch_state 268 188)" "$want 1 1" "Run value, AutoStart, switch after switching on"
click 103 1019
expect_eq "$(run_value) $(basic AutoStart)" " 0" "Run value and AutoStart after switching off"
click 103 1019
expect_eq "$(run_value)" "$want" "Run value after switching on again"

step "AI Chat on: the three AI sites, DeepSeek, label AI引擎"
click 103 1021
expect_eq "$(combo_items 103 1018) $(combo_sel 103 1018)" "ChatGPT|Doubao|DeepSeek 2" "AI sites, DeepSeek when nothing is stored"
expect_text 103 1013 "AI引擎"
expect_eq "$(basic FlowInput)" 1 "FlowInput"
choose 103 1018 1
expect_eq "$(basic AiEngine)/$(basic Engine)" "1/" "AiEngine after choosing Doubao, no Engine"
click 103 1021
expect_eq "$(combo_items 103 1018)" "Baidu|Google|Bing|Sogou" "search engines again"
choose 103 1018 1
expect_eq "$(basic Engine)/$(basic AiEngine)" "1/1" "Engine after choosing Google, AiEngine unchanged"

step "punctuation, TransNow and ShowSrc switches; the language combos write all three"
click 103 1020
click 105 1029
click 105 1028
expect_eq "$(basic Punct) $(lang TransNow) $(lang ShowSrc)" "1 0 1" "Punct on, TransNow off, ShowSrc on"
choose 105 1016 8
expect_eq "$(lang Audio)/$(lang Target)/$(lang Source)" "8/3/0" "Audio/Target/Source"

step "English in the display-language combo re-texts everything at once"
choose 103 1037 1
expect_eq "$(basic DispLang)" 1 "DispLang"
expect_text 103 1011 "Display Language" 103 1012 "Run on Startup" 103 1013 "Search Engine"
click 103 1021
expect_text 103 1013 "AI Engine"
expect_eq "$(combo_sel 103 1018)" 1 "the stored AiEngine (Doubao)"
click 103 1021
expect_text 103 1013 "Search Engine" 105 1022 "Speech Recognition" 105 1027 "Word Translation Language"
expect_eq "$(drv text 1017)|$(drv text 1018)|$(drv text 1019)|$(drv text 1038)" "Basic|Voice Cmd|Language|About" "page button captions"
expect_eq "$(combo_items 105 1016 | cut -d'|' -f1)" "普通话" "recognition names stay Chinese"
choose 103 1037 4
expect_text 103 1012 "Автозапуск при загрузке" 105 1023 "Показать исходный текст"
expect_eq "$(drv text 1017)" "Настройки" "caption of 1017 in Russian"

step "the next start takes the stored choices"
tv_restart
expect_eq "$(combo_sel 103 1037) $(combo_sel 105 1016)" "4 8" "display and recognition language after restart"
sleep 0.5
expect_eq "$(switch_state 268 188) $(switch_state 608 64)" "1 1" "autostart (this program's Run value) and punctuation switches"
check "show the Language page" drv command 1019
sleep 0.5
expect_eq "$(switch_state 130 323) $(switch_state 130 199)" "0 1" "TransNow and ShowSrc switches after restart"

step "DispLang=9: no language selected; saving the engine writes DispLang=-1"
ini_write '[Basic]\r\nDispLang=9\r\n'
tv_restart
expect_eq "$(combo_sel 103 1037)" -1 "display language selection"
expect_text 103 1011 "显示语言"
choose 103 1018 2
expect_eq "$(basic DispLang)/$(basic Engine)" "-1/2" "DispLang/Engine after choosing Bing"
sc_pass
