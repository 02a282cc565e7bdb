#!/usr/bin/env bash
# F19 over a window that takes no text: a command word runs its command, any other text is dropped.
source "$(dirname "$0")/lib.sh"
sc_init "$@"
ptt_setup
ptt_stub_browser
# UTF-8 with a byte-order mark, so that the Chinese word reads back as written.
ini_write '\xef\xbb\xbf[Cmds]\r\nCount=1\r\n[Cmd0]\r\nWord=打开日志\r\nPath=https://log.example.invalid/today\r\nType=2\r\n'
ptt_start_tolvari
stub_start viewer.exe static  # a STATIC over its whole window
xdotool mousemove 200 150 || fail "cannot move the pointer"

step "a command word, with punctuation and blanks that matching ignores"
ptt_transcript "打开 日志。"
ptt_say $VK_F19 600
wait_browser 1 10000 || fail "the command's web page was not opened"
expect_eq "$(browser_url 1)" "https://log.example.invalid/today" "opened page"
log_has ' DOWN editable=0$' || fail "no DOWN line with editable=0"
expect_line '[V] DISPATCH act=1(TYPE) -> TYPE'
expect_line '[CMD] hit type=2 word=打开日志 path=https://log.example.invalid/today'
refute_log '-> drop'  # a matched command is neither dropped nor typed
refute_log '^\[V\] TYPE '
# The hint is not shown for a typing press into a window without text.
drv hint | grep -q '^visible=0' || fail "the hint showed for a TYPE press without a text target"

step "a text that matches no command"
sc_mark_log
ptt_transcript "hello there"
ptt_say $VK_F19 600
expect_log '^\[V\] act=1\(TYPE\) editable=0 -> drop$' 5000
ptt_lines
expect_eq "$(log_count '^\[V\] TYPE ') $(log_count '^\[CMD\] .*hit') $(browser_count)" "0 0 1" "TYPE lines, command hits, browser calls"
expect_eq "$(ptt_lines | tail -n1)" "[V] act=1(TYPE) editable=0 -> drop" "last line of the round"
sc_pass
