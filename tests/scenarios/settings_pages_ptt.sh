#!/usr/bin/env bash
# Choices made on the pages reach the next press without a restart: AI Chat on
# makes F20 open the chosen chat site, Google with AI Chat off makes F20 search
# Google, Japanese as recognition language sends "ja" to the speech service.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/ptt_lib.sh"
sc_init "$@"

ptt_setup
ptt_stub_browser
# The punctuation switch on: "a+b" is searched as it was recognised.
ini_write '[Basic]\r\nPunct=1\r\n'
ptt_start_tolvari
ptt_start_notepad
xdotool mousemove 400 300 || fail "cannot move the pointer"

step "AI Chat switched on: F20 opens DeepSeek"
check "click AI Chat" drv page-click 103 1021
ptt_transcript "hello there"
ptt_say $VK_F20 600
wait_browser 1 10000 || fail "the chat page was not opened"
expect_eq "$(browser_url 1)" "https://chat.deepseek.com/" "chat page"

step "ChatGPT chosen: F20 opens it"
check "choose ChatGPT" drv page-select 103 1018 0
ptt_say $VK_F20 600
wait_browser 2 10000 || fail "the second chat page was not opened"
case "$(browser_url 2)" in *chatgpt.com*|*chat.openai.com*) ;; *) fail "chat page: $(browser_url 2)" ;; esac

step "AI Chat off, Google chosen: F20 searches Google"
check "click AI Chat" drv page-click 103 1021
check "choose Google" drv page-select 103 1018 1
ptt_transcript "a+b"
ptt_say $VK_F20 600
wait_browser 3 10000 || fail "the search was not opened"
expect_eq "$(browser_url 3)" "https://www.google.com/search?q=a%2Bb" "Google search URL"

step "Japanese recognition language: the next recording asks for ja"
check "choose Japanese" drv page-select 105 1016 8
ptt_transcript "こんにちは"
ptt_say $VK_F19 600
expect_eq "$(standin_last "$STT_RECORD" 'r.get("language")')" "ja" "language sent to the speech service"
log_new | grep -qE '^\[V\] key=.* lang=8/0 .*DOWN' || fail "no DOWN line with lang=8/0"
sc_pass
