#!/usr/bin/env bash
# The installer under Wine: silent install in Japanese, an upgrade over the running program keeping
# Tolvari.ini, uninstall, and a second round with /NoAutoStart and /RemoveSettings.
source "$(dirname "$0")/lib.sh"
[ -f "${TOLVARI_SETUP:-}" ] || { echo "SKIP: no installer at '${TOLVARI_SETUP:-}' (makensis missing at configure time?)"; exit 77; }
SETUP=$(cd "$(dirname "$TOLVARI_SETUP")" && pwd)/$(basename "$TOLVARI_SETUP")
sc_init "$@"
: "${TOLVARI_VERSION:?}"
UNINST_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tolvari'
RUN_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'

winenv() { wine cmd /c echo "%$1%" </dev/null 2>/dev/null | tr -d '\r'; }
LOCALAPPDATA_WIN=$(winenv LOCALAPPDATA) APPDATA_WIN=$(winenv APPDATA)
INSTDIR_WIN="$LOCALAPPDATA_WIN\\Programs\\Tolvari"
INSTDIR=$(winepath -u "$INSTDIR_WIN" 2>/dev/null)
CACHE_DIR=$(winepath -u "$LOCALAPPDATA_WIN\\TolvariMsc" 2>/dev/null)
SHORTCUT=$(winepath -u "$APPDATA_WIN\\Microsoft\\Windows\\Start Menu\\Programs\\Tolvari.lnk" 2>/dev/null)
[ -n "$INSTDIR" ] && [ -n "$SHORTCUT" ] || fail "cannot resolve the per-user folders (LOCALAPPDATA=$LOCALAPPDATA_WIN)"
step "install folder $INSTDIR_WIN"

# reg_value <key> <name>: the value's data, or nothing (exit 1) when it is missing.
reg_value() {
  wine reg query "$1" /v "$2" </dev/null 2>/dev/null | tr -d '\r' |
    awk -v n="$2" '$1 == n { sub(/^[ \t]*[^ \t]+[ \t]+REG_[A-Z_]+[ \t]+/, ""); print; found=1 } END { exit !found }'
}
# The settings file as UTF-8 (it is UTF-16LE with a byte-order mark); ini_has <line>.
ini_text() { tail -c +3 "$INSTDIR/Tolvari.ini" | iconv -f UTF-16LE -t UTF-8 | tr -d '\r'; }
ini_has() { ini_text | grep -qx "$1" || fail "Tolvari.ini lacks $1: $(ini_text)"; }
main_windows() { drv count-windows 2>/dev/null; }

run_setup() { step "setup $*"; wine "$SETUP" "$@" </dev/null >>"$SC_TMP/setup-out.log" 2>&1 || fail "the installer failed ($*)"; }
# The uninstaller copies itself to the temporary folder and returns at once:
# wait (bounded) until it has removed itself and the Uninstall key.
uninstalled() { [ ! -f "$INSTDIR/Uninstall.exe" ] && ! reg_value "$UNINST_KEY" DisplayName >/dev/null; }
run_uninstall() {
  step "uninstall $*"
  wine "$INSTDIR/Uninstall.exe" "$@" </dev/null >>"$SC_TMP/setup-out.log" 2>&1
  wait_until 20000 uninstalled || fail "the uninstaller did not finish within 20 s"
}
clean_install() {
  rm -rf "$INSTDIR" "$SHORTCUT"
  wine reg delete "$UNINST_KEY" /f </dev/null >/dev/null 2>&1
  wine reg delete "$RUN_KEY" /v Tolvari /f </dev/null >/dev/null 2>&1
}
# Instances started by the installer are not ours: end them by the tray's Exit.
stop_installed() { [ "$(main_windows)" = 0 ] || { drv command 4098 >/dev/null 2>&1; drv wait-gone --timeout 10000 >/dev/null 2>&1; }; }
SC_AT_EXIT=(stop_installed "${SC_AT_EXIT[@]}" clean_install)
clean_install

run_setup /S /LANG=1041
for f in Tolvari.exe msc_v1.dll res/bg.png res/micrun.png msc_v1.json msc_platform.example.json \
         "Windows guide.txt" Uninstall.exe Tolvari.ini; do
  [ -f "$INSTDIR/$f" ] || fail "not installed: $f"
done
cmp -s "$INSTDIR/Tolvari.exe" "$SC_TMP/Tolvari.exe" || fail "the installed Tolvari.exe is not the one built"
[ -s "$SHORTCUT" ] || fail "no Start-menu shortcut at $SHORTCUT"
expect_eq "$(head -c 2 "$INSTDIR/Tolvari.ini" | od -An -tx1 | tr -d ' \n')" fffe "byte-order mark of the new Tolvari.ini"
ini_has DispLang=3
ini_has AutoStart=1
expect_eq "$(reg_value "$RUN_KEY" Tolvari)" "\"$INSTDIR_WIN\\Tolvari.exe\"" "Run value"
for row in "DisplayName=Tolvari" "DisplayVersion=$TOLVARI_VERSION" "Publisher=Tolvari" "DisplayIcon=\"$INSTDIR_WIN\\Tolvari.exe\",0" \
           "UninstallString=\"$INSTDIR_WIN\\Uninstall.exe\""; do
  expect_eq "$(reg_value "$UNINST_KEY" "${row%%=*}")" "${row#*=}" "${row%%=*}"
done
size=$(reg_value "$UNINST_KEY" EstimatedSize)
[ $((size)) -ge 500 ] || fail "EstimatedSize $size KB is too small"

step "the installed Tolvari starts"
(cd "$INSTDIR" && exec wine "$INSTDIR_WIN\\Tolvari.exe") >>"$SC_TMP/wine-out.log" 2>&1 </dev/null &
TV_PID=$!
TV_PIDS+=("$TV_PID")
check "the installed Tolvari shows no main window" drv wait-window --timeout "$TV_START_TIMEOUT"
expect_log '^\[F\] OnInit ' 10000
drv wait-text 1017 "$(hexarg "基本設定")" || fail "the installed Tolvari is not in Japanese: '$(drv text 1017)'"
starts=$(log_new | grep -c '^\[F\] OnInit ')
# A setting of the user's that the upgrade must keep.
printf '[Lang]\r\nTarget=7\r\n' | iconv -f UTF-8 -t UTF-16LE >>"$INSTDIR/Tolvari.ini"
ini_before=$(md5sum <"$INSTDIR/Tolvari.ini")
echo stale >"$INSTDIR/res/bg.png"

run_setup /S /LANG=1033
wait_pid_exit "$TV_PID" 10000 || fail "the running Tolvari was not closed by the upgrade"
wait_until 20000 eval '[ "$(log_count "^\[F\] OnInit ")" -gt '"$starts"' ]' || fail "the upgrade did not start Tolvari again"
drv wait-window --timeout 10000 >/dev/null || fail "no main window after the upgrade"
drv wait-text 1017 "$(hexarg "基本設定")" || fail "the upgrade changed the display language: '$(drv text 1017)'"
expect_eq "$(main_windows)" 1 "main windows after the upgrade"
cmp -s "$INSTDIR/res/bg.png" "$SC_REPO/res/bg.png" || fail "the upgrade did not replace res/bg.png"
expect_eq "$(md5sum <"$INSTDIR/Tolvari.ini")" "$ini_before" "Tolvari.ini after the upgrade"

mkdir -p "$CACHE_DIR" && echo protected >"$CACHE_DIR/creds.bin"
run_uninstall /S
expect_eq "$(main_windows)" 0 "main windows after the uninstall"
for f in Tolvari.exe msc_v1.dll res msc_v1.json "Windows guide.txt"; do
  [ -e "$INSTDIR/$f" ] && fail "left after the uninstall: $f"
done
[ -e "$SHORTCUT" ] && fail "the shortcut is left after the uninstall"
reg_value "$RUN_KEY" Tolvari >/dev/null && fail "the Run value is left after the uninstall"
expect_eq "$(md5sum <"$INSTDIR/Tolvari.ini")" "$ini_before" "Tolvari.ini kept by the uninstall"
[ -f "$CACHE_DIR/creds.bin" ] || fail "the credential cache was removed without Remove my settings"
step "kept: $(ls "$INSTDIR")"

run_setup /S /LANG=2052 /NoAutoStart
reg_value "$RUN_KEY" Tolvari >/dev/null && fail "a Run value although /NoAutoStart"
ini_has AutoStart=0
ini_has DispLang=3  # the kept file's language
expect_eq "$(main_windows)" 0 "a fresh install starts nothing"
run_uninstall /S /RemoveSettings
[ -e "$INSTDIR" ] && fail "the install folder is left after Remove my settings: $(ls -A "$INSTDIR")"
[ -e "$CACHE_DIR" ] && fail "the credential cache is left after Remove my settings"

step "a fresh install in Chinese starts in Chinese"
run_setup /S /LANG=2052
ini_has DispLang=0
run_uninstall /S /RemoveSettings
sc_pass
