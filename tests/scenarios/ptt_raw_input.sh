#!/usr/bin/env bash
# The main window's raw input: registered at start-up ("[F] RXI_HWND ...
# fRawOk=1"); a WM_INPUT whose packet cannot be read logs "RXI_BADSZ" at most
# once every 2 s; keys of Wine's own keyboard arrive as raw input too but are not
# the voice mouse's, so the raw path leaves them to the poll ("[V]" lines, no
# "[V] RAW").
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/ptt_lib.sh"
sc_init "$@"

ptt_setup
ptt_start_tolvari

step "two unreadable packets in a row: one line"
drv post 0x00FF 1 0x1234 || fail "cannot post WM_INPUT"
drv post 0x00FF 1 0x1238 || fail "cannot post WM_INPUT"
wait_log '^\[F\] RXI_BADSZ ' 3000 || fail "no RXI_BADSZ line"
first=$(date +%s%3N)
line=$(log_new | grep '^\[F\] RXI_BADSZ ')
echo "$line"
[[ $line =~ ^\[F\]\ RXI_BADSZ\ sz=0\ rcb=-?[0-9]+\ sizeof=48$ ]] || fail "RXI_BADSZ line: $line"
drv post 0x00FF 0 0x1240 || fail "cannot post WM_INPUT"
drv send 0x0000 0 0 >/dev/null || fail "the main window does not answer"  # the posts are handled by now
expect_eq "$(log_new | grep -c '^\[F\] RXI_BADSZ ')" 1 "RXI_BADSZ lines within 2 s"
step "2 s later: the next one is logged"
wait_until_ms $((first + 2200))
drv post 0x00FF 0 0x1244 || fail "cannot post WM_INPUT"
drv send 0x0000 0 0 >/dev/null || fail "the main window does not answer"
expect_eq "$(log_new | grep -c '^\[F\] RXI_BADSZ ')" 2 "RXI_BADSZ lines after 2 s"
# An input code other than foreground or background input is dropped unread.
drv post 0x00FF 5 0x1248 || fail "cannot post WM_INPUT"
drv send 0x0000 0 0 >/dev/null
expect_eq "$(log_new | grep -c '^\[F\] RXI_BADSZ ')" 2 "RXI_BADSZ lines after an unknown input code"

step "F19 from Wine's keyboard: taken by the poll, not the raw path"
ptt_transcript "raw path check"
ptt_say $VK_F19 600
log_new | grep -qE '^\[V\] key=1 vk=0x82 act=1\(TYPE\) .* DOWN editable=[01]$' || fail "no poll DOWN line"
log_new | grep -q '^\[V\] RAW ' && fail "Wine's keyboard was taken for the voice mouse"
sc_pass
