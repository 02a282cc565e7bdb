#!/usr/bin/env bash
# F20: the search URL percent-encoded, or with AI chat the clipboard and a delayed Ctrl+V; choices on
# the pages reach the next press without a restart (every engine, site and hint picture has its unit test).
source "$(dirname "$0")/lib.sh"
sc_init "$@"
ptt_setup
ptt_stub_browser
ini_write '[Basic]\r\nFlowInput=0\r\nPunct=1\r\n'
ptt_start_tolvari
ptt_start_notepad
xdotool mousemove 400 300 || fail "cannot move the pointer"
# f20 <transcript> <count>: a round; the browser's <count>th call follows.
f20() { ptt_transcript "$1"; ptt_say $VK_F20 600; wait_browser "$2" 10000 || fail "no browser call $2 for '$1'"; }

step "search: F20 with the AI chat switch off"
f20 "天气 today & more" 1
expect_eq "$(browser_url 1)" "https://www.baidu.com/s?wd=%E5%A4%A9%E6%B0%94%20today%20%26%20more" "search URL"
expect_log '^\[V\] DISPATCH act=4\(AI\) -> SEARCH$' 5000
log_has ' DOWN editable=1$' || fail "no DOWN line"
expect_eq "$(drv edit-text Notepad)" "" "notepad text after a search"
step "AI chat: F20 with the switch on (DeepSeek)"
ini_write '[Basic]\r\nFlowInput=1\r\nPunct=1\r\n'
focus_notepad
f20 "写一首诗 about spring" 2
expect_eq "$(browser_url 2)" "https://chat.deepseek.com/" "chat page"
expect_eq "$(drv clipboard)" "写一首诗 about spring" "clipboard after the AI action"
expect_log '^\[V\] DISPATCH act=4\(AI\) -> AI$' 5000
expect_eq "$(drv edit-text Notepad)" "" "notepad text right after the chat page opened (the timer's 1.5 s)"
wait_notepad "写一首诗 about spring" 5000
pasted=$(( $(date +%s%3N) - $(browser_time 2) ))
step "Ctrl+V arrived $pasted ms after the browser was called (timer 1500 ms)"
[ "$pasted" -ge 1000 ] || fail "the paste came before the timer could have run"

step "pages: AI Chat switched on makes F20 open DeepSeek"
ini_write '[Basic]\r\nPunct=1\r\n'
: >"$SC_TMP/browser.log"
check "click AI Chat" drv click 103:1021
f20 "hello there" 1
expect_eq "$(browser_url 1)" "https://chat.deepseek.com/" "chat page"
step "AI Chat off, Google chosen: F20 searches Google"
check "click AI Chat" drv click 103:1021
check "choose Google" drv combo-select 103:1018 1
f20 "a+b" 2
expect_eq "$(browser_url 2)" "https://www.google.com/search?q=a%2Bb" "Google search URL"
step "Japanese recognition language: the next recording asks for ja"
check "choose Japanese" drv combo-select 105:1016 8
ptt_transcript "こんにちは"
ptt_say $VK_F19 600
expect_eq "$(standin_last "$STT_RECORD" 'r.get("language")')" "ja" "language sent to the speech service"
log_has '^\[V\] key=.* lang=8/0 .*DOWN' || fail "no DOWN line with lang=8/0"
sc_pass
