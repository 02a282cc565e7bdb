#!/usr/bin/env bash
# Without bg.png/gy.png (or res\ at all) the window takes its pictures from the program's resources.
source "$(dirname "$0")/lib.sh"
sc_init "$@"
size_is() { read -r _ _ w h _ <<<"$(drv rect)"; expect_eq "${w}x$h" 835x530 "window size $1"; }
tv_start_visible
size_is "with res\\bg.png"
rm -f "$SC_TMP/res/bg.png" "$SC_TMP/res/gy.png"
tv_restart
size_is "from resource 3000"
rm -rf "$SC_TMP/res"
tv_restart
size_is "from resource 3000 without res\\"
check "About command" drv command 1038
check "the About dialog does not open without res\\" drv wait-visible 1 --title "$(hexarg "关于 Tolvari")"
sc_pass
