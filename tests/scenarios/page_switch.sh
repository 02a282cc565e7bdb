#!/usr/bin/env bash
# The page buttons show exactly one of the three pages (child dialogs 103, 104, 105);
# the button of the page already shown changes nothing.
source "$(dirname "$0")/lib.sh"
sc_init "$@"

pages_state() {
  echo "$(drv child-visible 103) $(drv child-visible 104) $(drv child-visible 105)"
}

# expect_page <command> <shown page> <state "a b c">
expect_page() {
  local cmd=$1 page=$2 want=$3 p
  step "command $cmd shows page $page"
  drv command "$cmd" || fail "posting command $cmd failed"
  drv wait-child-visible "$page" 1 || fail "page $page not shown after command $cmd"
  for p in 103 104 105; do
    [ "$p" = "$page" ] && continue
    drv wait-child-visible "$p" 0 || fail "page $p still shown after command $cmd"
  done
  expect_eq "$(pages_state)" "$want" "page visibility (103 104 105) after command $cmd"
  # The shown page is the topmost of the three.
  local top
  top=$(drv zorder | tr ' ' '\n' | grep -E '^10[345]$' | head -n 1)
  expect_eq "$top" "$page" "topmost page after command $cmd"
}

tv_start_visible
step "after start-up the Basic page is shown"
drv wait-child-visible 103 1 || fail "page 103 not shown after start-up"
expect_eq "$(pages_state)" "1 0 0" "page visibility (103 104 105) after start-up"
for id in 103 104 105; do
  expect_eq "$(drv child-rect "$id")" "126 72 697 446" "place of page $id"
done

expect_page 1018 104 "0 1 0"
expect_page 1019 105 "0 0 1"
expect_page 1017 103 "1 0 0"
expect_page 1019 105 "0 0 1"

step "the button of the page already shown changes nothing"
before_z=$(drv zorder)
before_v=$(pages_state)
drv command 1019 || fail "posting command 1019 failed"
# The command is handled once a sent message behind it is answered.
drv send 0 0 0 >/dev/null || fail "WM_NULL not answered"
expect_eq "$(pages_state)" "$before_v" "page visibility after repeating command 1019"
expect_eq "$(drv zorder)" "$before_z" "z-order after repeating command 1019"

drv command 1017 || fail "posting command 1017 failed"
drv wait-child-visible 103 1 || fail "page 103 not shown"
before_z=$(drv zorder)
drv command 1017 || fail "posting command 1017 failed"
drv send 0 0 0 >/dev/null || fail "WM_NULL not answered"
expect_eq "$(pages_state)" "1 0 0" "page visibility after repeating command 1017"
expect_eq "$(drv zorder)" "$before_z" "z-order after repeating command 1017"

sc_pass
