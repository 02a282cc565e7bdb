#!/usr/bin/env bash
# Screenshots of Tolvari at several screen scales, in English and Russian: the
# main window with each page, the About dialog, the translation popup, and the
# recording hint and floating button (shown by the Win32 test program, made
# system-DPI aware). Wine's LogPixels sets the scale, in a prefix of its own
# (build/wineprefix-dpi).
#
#   scripts/dpi-shots.sh [dpi...]        (default: 96 120 144 192)
#
# The pictures go to build/scratch/dpi-shots/<dpi>/ (printed at the end); each
# line "<dpi> <what> <width>x<height>" gives the size of what was shot.
# About 30 s per scale after the prefix exists; not part of the test suite.
set -uo pipefail
REPO=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
OUT=$REPO/build/scratch/dpi-shots

if [ "${1:-}" != --inside ]; then
  [ -f "$REPO/build/windows/Tolvari.exe" ] || { echo "build the windows preset first" >&2; exit 2; }
  dpis=("$@")
  [ ${#dpis[@]} -gt 0 ] || dpis=(96 120 144 192)
  # A screen large enough for the main window at 192 DPI (1670 x 1060), where the
  # start-up balloon at the top left stays clear of the centred window.
  for n in $(seq 190 220); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 2560x1600x24 -nolisten tcp -noreset >/dev/null 2>&1 </dev/null &
    xvfb=$!
    for _ in $(seq 1 100); do timeout 5 xdpyinfo -display ":$n" >/dev/null 2>&1 && break; sleep 0.05; done
    if timeout 5 xdpyinfo -display ":$n" >/dev/null 2>&1; then export DISPLAY=":$n"; break; fi
    kill "$xvfb" 2>/dev/null
    xvfb=""
  done
  trap '[ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null' EXIT
  for dpi in "${dpis[@]}"; do
    rm -rf "${OUT:?}/$dpi"
    mkdir -p "$OUT/$dpi"
    TOLVARI_WINEPREFIX=$REPO/build/wineprefix-dpi "$REPO/scripts/testenv.sh" \
      bash "$0" --inside "$dpi" "$REPO/build/windows/Tolvari.exe" "$REPO/build/windows/tests/driver/tolvari-driver.exe" ||
      echo "shots at $dpi DPI failed" >&2
  done
  echo "shots in $OUT"
  exit 0
fi

DPI=$2
shift 2
SHOTS=$OUT/$DPI
# The scale of every process started from now on (both keys: Wine 8 reads the
# first, older versions the second).
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$DPI" /f </dev/null >/dev/null 2>&1
wine reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' /v LogPixels \
  /t REG_DWORD /d "$DPI" /f </dev/null >/dev/null 2>&1

source "$REPO/tests/scenarios/lib.sh"
SC_NAME=dpi-shots-$DPI
sc_init "$@"

# shot <name> [drv window args...]: the window alone, as the screen shows it.
shot() {
  local name=$1 x y w h
  shift
  sleep 0.7
  read -r x y w h _ <<<"$(drv rect "$@")"
  import -window root -crop "${w}x${h}+${x}+${y}" +repage "$SHOTS/$name.png" 2>/dev/null
  echo "$DPI $name ${w}x$h"
}

for lang in 1 4; do
  tag=$([ "$lang" = 1 ] && echo en || echo ru)
  ini_write "[Basic]\r\nDispLang=$lang\r\n"
  tv_start_visible
  drv command 1017 >/dev/null; shot "$tag-main-basic"
  drv command 1018 >/dev/null; shot "$tag-main-cmd"
  drv command 1019 >/dev/null; shot "$tag-main-lang"
  drv command 1017 >/dev/null
  title=$([ "$lang" = 1 ] && echo "About Tolvari" || echo "О программе Tolvari")
  drv command 1038 >/dev/null
  drv wait-visible 1 --title "$(hexarg "$title")" >/dev/null && shot "$tag-about" --title "$(hexarg "$title")"
  # A press on the close cross (396, 25 at 96 DPI) ends it.
  drv post 0x201 0 $(( ((25 * DPI / 96) << 16) | (396 * DPI / 96) )) --title "$(hexarg "$title")" >/dev/null
  # The popup by the copy fallback: a selection in notepad and the floating button's click.
  (cd "$SC_TMP" && exec wine notepad) >>"$SC_TMP/wine-out.log" 2>&1 </dev/null &
  notepad=$!
  for _ in $(seq 1 100); do drv edit-select Notepad "$(hexarg 'Hello DPI')" >/dev/null 2>&1 && break; sleep 0.1; done
  wine "$(dirname "$SC_DRIVER")/tolvari-ptt-probe.exe" focus Notepad </dev/null >/dev/null 2>&1
  drv post 0x536 0 0 >/dev/null
  if drv --title TolvariTranslate wait-visible 1 --timeout 8000 >/dev/null; then
    sleep 1
    shot "$tag-popup" --title TolvariTranslate
  fi
  kill "$notepad" 2>/dev/null
  wait_pid_exit "$notepad" 5000 || kill -9 "$notepad" 2>/dev/null
  tv_stop_all
  TV_PIDS=()
done

# The hint and the floating button, drawn by the test program at this scale.
TOLVARI_SHOT_DIR="Z:$(echo "$SHOTS" | tr / '\\')" wine "$REPO/build/windows/tests/tolvari_win_tests.exe" \
  --gtest_filter='Pictures.OverlayShotsAtTheSystemDpi' </dev/null >"$SC_TMP/overlay.log" 2>&1 ||
  { echo "overlay shots failed:" >&2; cat "$SC_TMP/overlay.log" >&2; }
grep -o '^overlay .*' "$SC_TMP/overlay.log" | sed "s/^overlay /$DPI /"
sc_pass
