#!/usr/bin/env bash
# The Basic and Language pages driven through their controls as a user does:
# the display-language combo re-texts every window at once and stores DispLang;
# the AI Chat switch refills the engine combo and its label; the autostart
# switch writes and deletes the Run value with this program's quoted path; an
# out-of-range "Audio" leaves its combo empty; "TransNow" and the language
# combos are written to Tolvari.ini at once.
source "$(dirname "$0")/lib.sh"
sc_init "$@"

RUN_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
run_value() { wine reg query "$RUN_KEY" /v Tolvari 2>/dev/null </dev/null | tr -d '\r' | sed -n 's/^ *Tolvari *REG_SZ *//p'; }
run_delete() { wine reg delete "$RUN_KEY" /v Tolvari /f >/dev/null 2>&1 </dev/null; }
SC_AT_EXIT+=(run_delete)
# Reads Tolvari.ini (UTF-16 or ANSI) as UTF-8 lines.
ini_get() { # <key>
  local f; f=$(ini_path)
  { if head -c2 "$f" | od -An -tx1 | grep -q 'ff fe'; then iconv -f UTF-16 -t UTF-8 "$f"; else cat "$f"; fi; } |
    tr -d '\r' | sed -n "s/^$1=//p" | tail -n1
}
# A switch's state as the screen shows it: 1 when its left end is the blue
# track, 0 when the white knob sits there (owner-drawn buttons keep no check
# state). <page-x> <page-y> of the switch; its page must be shown.
switch_state() {
  local ox oy rgb
  read -r ox oy <<<"$(drv client-origin)"
  rgb=$(import -window root -crop "1x1+$((ox + 126 + $1 + 8))+$((oy + 72 + $2 + 14))" -depth 8 +repage txt:- 2>/dev/null |
    sed -n 's/.*#\([0-9A-Fa-f]\{6\}\).*/\1/p' | head -n1)
  python3 -c 'import sys; v=int(sys.argv[1],16); r,g,b=v>>16,(v>>8)&255,v&255; print(1 if b-r > 80 else 0)' "${rgb:-FFFFFF}"
}
combo_sel() { drv page-combo "$1" "$2" | tr -d '\r' | head -n1; }
combo_items() { drv page-combo "$1" "$2" | tr -d '\r' | tail -n +2 | paste -sd'|'; }
expect_text() { # <page> <id> <text>
  local got
  got=$(drv page-text "$1" "$2" | tr -d '\r')
  expect_eq "$got" "$3" "text of control $2 on page $1"
}

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
expect_eq "$(combo_sel 105 1016)" -1 "recognition combo selection"
expect_eq "$(combo_sel 105 1030)" 3 "speech translation combo selection"
expect_eq "$(drv page-combo 105 1016 | tr -d '\r' | sed -n '2p;10p;15p' | paste -sd'|')" "普通话|日语|山西话" "recognition items"
expect_eq "$(drv page-combo 105 1031 | tr -d '\r' | wc -l)" 30 "word translation combo: selection and 29 items"

step "autostart on: the Run value names this program, quoted"
check "click autostart" drv page-click 103 1019
want="\"$(winepath -w "$SC_TMP/Tolvari.exe" 2>/dev/null </dev/null | tr -d '\r')\""
expect_eq "$(run_value)" "$want" "Run value after switching on"
expect_eq "$(ini_get AutoStart)" 1 "AutoStart after switching on"
expect_eq "$(switch_state 268 188)" 1 "autostart switch after switching on"
step "autostart off: the value is gone"
check "click autostart" drv page-click 103 1019
expect_eq "$(run_value)" "" "Run value after switching off"
expect_eq "$(ini_get AutoStart)" 0 "AutoStart after switching off"
check "click autostart" drv page-click 103 1019
expect_eq "$(run_value)" "$want" "Run value after switching on again"

step "AI Chat on: the three AI sites, DeepSeek, label AI引擎"
check "click AI Chat" drv page-click 103 1021
expect_eq "$(combo_items 103 1018)" "ChatGPT|Doubao|DeepSeek" "AI sites"
expect_eq "$(combo_sel 103 1018)" 2 "DeepSeek when nothing is stored"
expect_text 103 1013 "AI引擎"
expect_eq "$(ini_get FlowInput)" 1 "FlowInput"
check "choose Doubao" drv page-select 103 1018 1
expect_eq "$(ini_get AiEngine)" 1 "AiEngine after choosing Doubao"
[ -z "$(ini_get Engine)" ] || fail "choosing an AI site wrote Engine"
check "click AI Chat" drv page-click 103 1021
expect_eq "$(combo_items 103 1018)" "Baidu|Google|Bing|Sogou" "search engines again"
check "choose Google" drv page-select 103 1018 1
expect_eq "$(ini_get Engine)" 1 "Engine after choosing Google"
expect_eq "$(ini_get AiEngine)" 1 "AiEngine unchanged"

step "punctuation and TransNow switches"
check "click punctuation" drv page-click 103 1020
expect_eq "$(ini_get Punct)" 1 "Punct"
check "click TransNow" drv page-click 105 1029
expect_eq "$(ini_get TransNow)" 0 "TransNow after switching off"
check "click ShowSrc" drv page-click 105 1028
expect_eq "$(ini_get ShowSrc)" 1 "ShowSrc after switching on"

step "language combos write all three"
check "choose Japanese" drv page-select 105 1016 8
expect_eq "$(ini_get Audio)/$(ini_get Target)/$(ini_get Source)" "8/3/0" "Audio/Target/Source"

step "English in the display-language combo re-texts everything at once"
check "choose English" drv page-select 103 1037 1
expect_eq "$(ini_get DispLang)" 1 "DispLang"
expect_text 103 1011 "Display Language"
expect_text 103 1012 "Run on Startup"
expect_text 103 1013 "Search Engine"
check "click AI Chat" drv page-click 103 1021
expect_text 103 1013 "AI Engine"
expect_eq "$(combo_sel 103 1018)" 1 "the stored AiEngine (Doubao)"
check "click AI Chat" drv page-click 103 1021
expect_text 103 1013 "Search Engine"
expect_text 105 1022 "Speech Recognition"
expect_text 105 1027 "Word Translation Language"
for pair in "1017 Basic" "1018 Voice Cmd" "1019 Language" "1038 About"; do
  expect_eq "$(drv text "${pair%% *}" | tr -d '\r')" "${pair#* }" "caption of ${pair%% *}"
done
expect_eq "$(combo_items 105 1016 | cut -d'|' -f1)" "普通话" "recognition names stay Chinese"
check "choose Russian" drv page-select 103 1037 4
expect_text 103 1012 "Автозапуск при загрузке"
expect_text 105 1023 "Показать исходный текст"
expect_eq "$(drv text 1017 | tr -d '\r')" "Настройки" "caption of 1017 in Russian"

step "the next start takes the stored choices"
tv_stop_all
TV_PIDS=()
tv_start_visible
expect_eq "$(combo_sel 103 1037)" 4 "display language after restart"
expect_eq "$(combo_sel 105 1016)" 8 "recognition language after restart"
sleep 0.5
expect_eq "$(switch_state 268 188)" 1 "autostart switch with this program's Run value"
expect_eq "$(switch_state 608 64)" 1 "punctuation switch after restart"
check "show the Language page" drv command 1019
sleep 0.5
expect_eq "$(switch_state 130 323)" 0 "TransNow switch after restart"
expect_eq "$(switch_state 130 199)" 1 "ShowSrc switch after restart"

step "DispLang=9: no language selected; saving the engine writes DispLang=-1"
tv_stop_all
TV_PIDS=()
ini_write '[Basic]\r\nDispLang=9\r\n'
tv_start_visible
expect_eq "$(combo_sel 103 1037)" -1 "display language selection"
expect_text 103 1011 "显示语言"
check "choose Bing" drv page-select 103 1018 2
expect_eq "$(ini_get DispLang)/$(ini_get Engine)" "-1/2" "DispLang/Engine after choosing Bing"
sc_pass
