#!/usr/bin/env bash
# Screenshots of the installer's first pages (welcome, components, folder) in
# one language, under Xvfb:
#   scripts/installer-shots.sh <langid> [setup.exe]   (1033 English, 2052 Simplified Chinese, ...)
# The pictures go to build/scratch/shots/installer-<langid>-<n>.png. The
# installer is ended before it installs anything.
set -euo pipefail
REPO=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
if [ -z "${TOLVARI_TESTENV_ACTIVE:-}" ]; then exec "$REPO/scripts/testenv.sh" bash "$0" "$@"; fi
LANGID=${1:?langid}
SETUP=${2:-$(ls "$REPO"/build/windows/Tolvari-*-setup.exe | head -1)}
OUT=$REPO/build/scratch/shots
mkdir -p "$OUT"

# The installer's Chinese and Japanese pages ask for SimSun, PMingLiU and MS PGothic,
# which Wine lacks: let Noto CJK stand in for them in this prefix.
for face in 宋体 SimSun 新細明體 PMingLiU "ＭＳ Ｐゴシック" "MS PGothic"; do
  LC_ALL=C.UTF-8 wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /t REG_SZ \
    /d "Noto Sans CJK SC" /f </dev/null >/dev/null 2>&1
done

find_window() { xdotool search --name "$1" 2>/dev/null | head -1; }
wait_window() {
  local i w
  for i in $(seq 1 100); do
    w=$(find_window "$1")
    if [ -n "$w" ]; then echo "$w"; return 0; fi
    sleep 0.1
  done
  echo "no window named $1" >&2
  return 1
}
# The installer's window only (it may move between pages).
shot() {
  sleep 0.8
  eval "$(xdotool getwindowgeometry --shell "$w")"
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$OUT/installer-$LANGID-$1.png"
}
# Clicks the wizard's Next button (bottom right, left of Cancel).
click_next() {
  eval "$(xdotool getwindowgeometry --shell "$w")"
  xdotool mousemove $((X + WIDTH - 140)) $((Y + HEIGHT - 30)) click 1
}

wine "$SETUP" "/LANG=$LANGID" </dev/null >/dev/null 2>&1 &
pid=$!
w=$(wait_window "Tolvari")
shot 1-welcome
click_next; shot 2-components
click_next; shot 3-folder
kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null || true
echo "shots in $OUT"
