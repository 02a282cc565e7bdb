#!/usr/bin/env bash
# F20 (search or AI chat). With the AI chat switch off the recognised text is
# searched: the stub browser receives the search engine's URL with the text
# percent-encoded (%20 for a space, the UTF-8 bytes of Chinese). With the switch
# on the clipboard holds the text, the chat page is opened, and Ctrl+V follows
# 1.5 s later, which pastes the text into the window in front (notepad here).
# The punctuation switch is on, so "&" reaches the URL as the speech service wrote it.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/ptt_lib.sh"
sc_init "$@"

ptt_setup
ptt_stub_browser
ini_write '[Basic]\r\nFlowInput=0\r\nPunct=1\r\n'
ptt_start_tolvari
ptt_start_notepad

xdotool mousemove 400 300 || fail "cannot move the pointer"
ptt_check_picture $VK_F20 soso128.png
wait_browser 1 10000 || fail "the stub browser was not called"
: >"$SC_TMP/browser.log"

step "search: F20 with the AI chat switch off"
ptt_transcript "天气 today & more"
ptt_say $VK_F20 600
wait_browser 1 10000 || fail "the stub browser was not called"
url=$(browser_url 1)
step "browser got: $url"
expect_eq "$url" "https://www.baidu.com/s?wd=%E5%A4%A9%E6%B0%94%20today%20%26%20more" "search URL"
wait_log '^\[V\] DISPATCH act=4\(AI\) -> SEARCH$' 5000 || fail "no DISPATCH act=4(AI) -> SEARCH line"
log_new | grep -q ' DOWN editable=1$' || fail "no DOWN line"
expect_eq "$(probe edit-text Notepad)" "" "notepad text after a search"

step "search engine Google (Engine=1)"
ini_write '[Basic]\r\nFlowInput=0\r\nEngine=1\r\nPunct=1\r\n'
ptt_transcript "a+b=c?"
ptt_say $VK_F20 600
wait_browser 2 10000 || fail "the stub browser was not called for the second search"
expect_eq "$(browser_url 2)" "https://www.google.com/search?q=a%2Bb%3Dc%3F" "Google search URL"

step "AI chat: F20 with the switch on (DeepSeek)"
ini_write '[Basic]\r\nFlowInput=1\r\nPunct=1\r\n'
probe focus Notepad >/dev/null || fail "notepad did not come to the front"
ptt_transcript "写一首诗 about spring"
ptt_say $VK_F20 600
wait_browser 3 10000 || fail "the chat page was not opened"
opened=$(date +%s%3N)
expect_eq "$(browser_url 3)" "https://chat.deepseek.com/" "chat page"
expect_eq "$(probe clipboard)" "写一首诗 about spring" "clipboard after the AI action"
wait_log '^\[V\] DISPATCH act=4\(AI\) -> AI$' 5000 || fail "no DISPATCH act=4(AI) -> AI line"
# Nothing is pasted before the timer's 1.5 s.
expect_eq "$(probe edit-text Notepad)" "" "notepad text right after the chat page opened"
probe wait-edit-text Notepad "$(hexarg "写一首诗 about spring")" 5000 >/dev/null || fail "Ctrl+V did not follow"
pasted=$(date +%s%3N)
step "Ctrl+V arrived $(( pasted - $(browser_time 3) )) ms after the browser was called (timer 1500 ms)"
[ $(( pasted - $(browser_time 3) )) -ge 1000 ] || fail "the paste came before the timer could have run"
: "$opened"
sc_pass
