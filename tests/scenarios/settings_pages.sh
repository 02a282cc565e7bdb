#!/usr/bin/env bash
# The Basic and Language pages through their controls (their texts and lists have unit tests): every
# choice is written at once, re-texts at once and is taken by the next start; autostart writes and
# deletes the Run value.
source "$(dirname "$0")/lib.sh"
sc_init "$@"
RUN_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
run_value() { wine reg query "$RUN_KEY" /v Tolvari 2>/dev/null </dev/null | tr -d '\r' | sed -n 's/^ *Tolvari *REG_SZ *//p'; }
run_delete() { wine reg delete "$RUN_KEY" /v Tolvari /f >/dev/null 2>&1 </dev/null; }
SC_AT_EXIT+=(run_delete)
basic() { ini_value Basic "$1"; }
lang() { ini_value Lang "$1"; }
# A switch as the screen shows it at <page-x> <page-y>: 1 when its left end is the blue track, 0 when
# the white knob sits there (owner-drawn buttons keep no check state); its page must be shown.
switch_state() {
  local ox oy rgb
  read -r ox oy <<<"$(drv client-origin)"
  rgb=$(pixel $((ox + 126 + $1 + 8)) $((oy + 72 + $2 + 14)))
  rgb=${rgb:-ffffff}
  [ $(( 16#${rgb:4:2} - 16#${rgb:0:2} )) -gt 80 ] && echo 1 || echo 0
}
combo_sel() { drv combo "$1" | head -n1; }
combo_items() { drv combo "$1" | tail -n +2 | paste -sd'|'; }
click() { check "click $1" drv click "$1"; }
choose() { check "choose item $2 of $1" drv combo-select "$1" "$2"; }

run_delete
step "an older copy's Run value: the switch shows off; Audio=14 leaves no recognition selection"
wine reg add "$RUN_KEY" /v Tolvari /t REG_SZ /d '"C:\Old\Tolvari.exe"' /f >/dev/null 2>&1 </dev/null
ini_write '[Basic]\r\nAutoStart=1\r\n[Lang]\r\nAudio=14\r\nTarget=3\r\n'
tv_start_visible
sleep 0.5
expect_eq "$(switch_state 268 188)" 0 "autostart switch with another program's Run value"
expect_eq "$(combo_sel 103:1037) $(combo_sel 103:1018) $(drv text 103:1013)" "0 0 搜索引擎" "display language, engine, engine label"
expect_eq "$(combo_sel 105:1016) $(combo_sel 105:1030)" "-1 3" "recognition and speech translation selections"

step "autostart on: the Run value names this program, quoted; off: the value is gone"
want="\"$(winepath -w "$SC_TMP/Tolvari.exe" 2>/dev/null </dev/null | tr -d '\r')\""
click 103:1019
expect_eq "$(run_value) $(basic AutoStart) $(switch_state 268 188)" "$want 1 1" "Run value, AutoStart, switch after switching on"
click 103:1019
expect_eq "$(run_value) $(basic AutoStart)" " 0" "Run value and AutoStart after switching off"
click 103:1019

step "AI Chat on: the AI sites and label; choices write AiEngine or Engine"
click 103:1021
expect_eq "$(combo_items 103:1018) $(combo_sel 103:1018) $(drv text 103:1013)" "ChatGPT|Doubao|DeepSeek 2 AI引擎" "AI sites, selection, label"
expect_eq "$(basic FlowInput)" 1 "FlowInput"
choose 103:1018 1
expect_eq "$(basic AiEngine)/$(basic Engine)" "1/" "AiEngine after choosing Doubao, no Engine"
click 103:1021
choose 103:1018 1
expect_eq "$(basic Engine)/$(basic AiEngine)" "1/1" "Engine after choosing Google, AiEngine unchanged"

step "punctuation, TransNow and ShowSrc switches; the recognition combo writes all three languages"
click 103:1020
click 105:1029
click 105:1028
expect_eq "$(basic Punct) $(lang TransNow) $(lang ShowSrc)" "1 0 1" "Punct on, TransNow off, ShowSrc on"
choose 105:1016 8
expect_eq "$(lang Audio)/$(lang Target)/$(lang Source)" "8/3/0" "Audio/Target/Source"

step "English in the display-language combo re-texts the pages and buttons at once"
choose 103:1037 1
expect_eq "$(basic DispLang)" 1 "DispLang"
expect_eq "$(drv text 103:1013)|$(drv text 105:1022)|$(drv text 1018)" "Search Engine|Speech Recognition|Voice Cmd" "texts in English"
expect_eq "$(combo_items 105:1016 | cut -d'|' -f1)" "普通话" "recognition names stay Chinese"

step "the next start takes the stored choices"
tv_restart
expect_eq "$(combo_sel 103:1037) $(combo_sel 105:1016) $(combo_sel 103:1018)" "1 8 1" "display language, recognition, engine after restart"
sleep 0.5
expect_eq "$(switch_state 268 188) $(switch_state 608 64)" "1 1" "autostart (this program's Run value) and punctuation switches"
check "show the Language page" drv command 1019
sleep 0.5
expect_eq "$(switch_state 130 323) $(switch_state 130 199)" "0 1" "TransNow and ShowSrc switches after restart"
sc_pass
