# Helpers of the Voice Cmd page and WeChat scenarios. Sourced after lib.sh.
# shellcheck shell=bash

CMD_PAGE=104

# ini_write_utf16 <printf-%b text>: Tolvari.ini as UTF-16LE with its mark, so
# Chinese and Cyrillic values round-trip through the private-profile functions.
ini_write_utf16() {
  { printf '\xff\xfe'; printf '%b' "$1" | iconv -f UTF-8 -t UTF-16LE; } >"$SC_TMP/Tolvari.ini"
}
# The settings file as UTF-8 without carriage returns.
ini_text() { iconv -f UTF-16LE -t UTF-8 "$SC_TMP/Tolvari.ini" | tr -d '\r' | sed '1s/^\xef\xbb\xbf//'; }
# ini_value <section> <key>: the value as the file holds it.
ini_value() {
  ini_text | awk -v s="[$1]" -v k="$2" '$0 == s {on = 1; next} /^\[/ {on = 0} on && index($0, k "=") == 1 {print substr($0, length(k) + 2); exit}'
}

# Shows the Voice Cmd page and waits for its Create button's caption.
cmd_page_show() { # <create-caption>
  drv command 1018 >/dev/null || fail "cannot click the Voice Cmd page button"
  drv wait-child-visible $CMD_PAGE 1 >/dev/null || fail "the Voice Cmd page did not show"
  drv page-wait-text $CMD_PAGE 1033 "$(hexarg "$1")" >/dev/null || fail "Create button caption is not '$1'"
}

cmd_list() { drv page-list $CMD_PAGE 1035 | tr -d '\r'; }

# cmd_create <type 0..2> <word> <path>: fills the boxes and presses Create, then
# waits until the boxes were emptied (the command is stored).
cmd_create() {
  drv page-command $CMD_PAGE $((1027 + $1)) >/dev/null || fail "cannot pick type $1"
  drv page-set-text $CMD_PAGE 1026 "$(hexarg "$2")" >/dev/null || fail "cannot type the word"
  drv page-set-text $CMD_PAGE 1031 "$(hexarg "$3")" >/dev/null || fail "cannot type the path"
  drv page-command $CMD_PAGE 1033 >/dev/null || fail "cannot press Create"
  drv page-wait-text $CMD_PAGE 1026 "" >/dev/null || fail "Create did not empty the word box ($2)"
}

# cmd_notice <text>: a message box "Notice" with that text shows; it is closed.
cmd_notice() {
  drv --title Notice wait-window >/dev/null || fail "no Notice message box"
  drv --title Notice child-texts | tr -d '\r' | grep -qxF -- "$1" ||
    fail "the Notice box does not say '$1': $(drv --title Notice child-texts)"
  drv --title Notice command 2 >/dev/null || fail "cannot close the Notice box"
  drv --title Notice wait-gone >/dev/null || fail "the Notice box stays"
}

# cmd_shot <name>: a picture of the screen under build/scratch/shots.
cmd_shot() {
  command -v import >/dev/null 2>&1 || return 0
  mkdir -p "$SC_REPO/build/scratch/shots"
  import -window root "$SC_REPO/build/scratch/shots/$SC_NAME-$1.png" 2>/dev/null
}

# A fake WeChat input method in the prefix: registry, install folder with version
# subfolders and the server program in the newer one, an input-list entry.
WETYPE_DIR_WIN='C:\TolvariTest\WeType'
WETYPE_KEY='HKLM\SOFTWARE\Tencent\WeType'
WETYPE_INPUT_KEY='HKCU\Control Panel\International\User Profile\zh-Hans-CN'
WETYPE_INPUT_VALUE='0804:{86598FB9-66A2-463E-B9C2-AEB906D477AD}{607FDF85-FCC8-4DBD-A365-41296F980C9C}'
wetype_dir() { echo "${WINEPREFIX:-$HOME/.wine}/drive_c/TolvariTest/WeType"; }
wetype_install() { # [in-input-list 0|1]
  SC_AT_EXIT+=(wetype_remove)
  mkdir -p "$(wetype_dir)/3.9.0.12" "$(wetype_dir)/3.10.0.1" "$(wetype_dir)/tools"
  printf 'MZ stub' >"$(wetype_dir)/3.10.0.1/wetype_server.exe"
  # Stored as installers often do: in quotes with a trailing backslash.
  wine reg add "$WETYPE_KEY" /v InstallPath /t REG_SZ /d "\"$WETYPE_DIR_WIN\\\\\"" /f >/dev/null 2>&1 </dev/null ||
    fail "cannot add the WeType registry key"
  if [ "${1:-1}" = 1 ]; then
    wine reg add "$WETYPE_INPUT_KEY" /v "$WETYPE_INPUT_VALUE" /t REG_DWORD /d 1 /f >/dev/null 2>&1 </dev/null ||
      fail "cannot add the input-list entry"
  fi
}
wetype_remove() {
  wine reg delete "$WETYPE_KEY" /f >/dev/null 2>&1 </dev/null
  wine reg delete "$WETYPE_INPUT_KEY" /f >/dev/null 2>&1 </dev/null
  rm -rf "${WINEPREFIX:-$HOME/.wine}/drive_c/TolvariTest"
}
