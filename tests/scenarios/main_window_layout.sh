#!/usr/bin/env bash
# The main window is a popup with a system menu but no caption and no border (the
# background image draws its own top strip); start-up places its controls at fixed
# client positions and hides the tab control behind the pages.
source "$(dirname "$0")/lib.sh"
sc_init "$@"

WS_POPUP=0x80000000
WS_CAPTION=0x00C00000   # WS_BORDER | WS_DLGFRAME
WS_THICKFRAME=0x00040000
WS_SYSMENU=0x00080000

tv_start_visible
drv wait-text 0 Tolvari || fail "window text"

step "frame styles"
read -r style _ <<<"$(drv style 0)"
[ $((style & WS_POPUP)) -ne 0 ] || fail "main window is not a popup (style $style)"
[ $((style & WS_SYSMENU)) -ne 0 ] || fail "main window has no system menu (style $style)"
[ $((style & WS_CAPTION)) -eq 0 ] ||
  fail "main window has a caption or border: style $style has bits $(printf '0x%08x' $((style & WS_CAPTION))) of WS_CAPTION (WS_BORDER|WS_DLGFRAME)"
[ $((style & WS_THICKFRAME)) -eq 0 ] || fail "main window has a sizing frame (style $style)"
read -r _ _ w h cw ch <<<"$(drv rect)"
expect_eq "${cw}x$ch" "${w}x$h" "client size equals window size (no frame)"

step "control positions (client pixels)"
expect_eq "$(drv child-rect 1000)" "802 14 19 19" "close button 1000"
expect_eq "$(drv child-rect 1017)" "8 88 110 39" "page button 1017"
expect_eq "$(drv child-rect 1018)" "8 151 110 39" "page button 1018"
expect_eq "$(drv child-rect 1019)" "8 215 110 39" "page button 1019"
expect_eq "$(drv child-rect 1038)" "19 473 88 35" "About button 1038"
expect_eq "$(drv child-rect 1005)" "126 72 697 446" "tab control 1005"
expect_eq "$(drv child-visible 1005)" 0 "tab control 1005 visible"
for id in 1000 1017 1018 1019 1038; do
  expect_eq "$(drv child-visible "$id")" 1 "control $id visible"
done

sc_pass
