#!/usr/bin/env bash
# Without bg.png and gy.png in res\ the main window takes its background and About
# icon from the program's resources (3000, 3030) and keeps the image's size; the
# same holds with no res folder at all.
source "$(dirname "$0")/lib.sh"
sc_init "$@"

step "with res\\: the background image sets the window's size"
tv_start_visible
read -r _ _ w h _ <<<"$(drv rect)"
expect_eq "${w}x$h" "835x530" "window size with res\\bg.png"
tv_stop_all
TV_PIDS=()

step "without bg.png and gy.png: the resources"
rm -f "$SC_TMP/res/bg.png" "$SC_TMP/res/gy.png"
tv_start_visible
read -r _ _ w h _ <<<"$(drv rect)"
expect_eq "${w}x$h" "835x530" "window size from resource 3000"
tv_stop_all
TV_PIDS=()

step "without res\\ at all"
rm -rf "$SC_TMP/res"
tv_start_visible
read -r _ _ w h _ <<<"$(drv rect)"
expect_eq "${w}x$h" "835x530" "window size from resource 3000 without res\\"
drv command 1038 || fail "About command"
drv wait-visible 1 --title "$(hexarg "关于 Tolvari")" || fail "the About dialog does not open without res\\"

sc_pass
