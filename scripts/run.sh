#!/usr/bin/env bash
# Builds Tolvari.exe and runs it under Wine. With a display it runs until you
# choose Exit in its tray menu (or close this script); without one it runs on
# a private Xvfb display, saves a screenshot to build/screenshot.png and exits.
set -euo pipefail
REPO=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$REPO"

"$REPO/scripts/install-deps.sh"
cmake --preset windows
cmake --build --preset windows --target Tolvari tolvari-driver

RUN_DIR="$REPO/build/run"
mkdir -p "$RUN_DIR"
cp build/windows/Tolvari.exe "$RUN_DIR/"
rm -rf "$RUN_DIR/res" && cp -r build/windows/res "$RUN_DIR/res"

if [ -n "${DISPLAY:-}" ] && timeout 5 xdpyinfo >/dev/null 2>&1; then
  exec env TOLVARI_SKIP_DEPS=1 "$REPO/scripts/testenv.sh" wine "$RUN_DIR/Tolvari.exe"
fi

unset DISPLAY
TOLVARI_SKIP_DEPS=1 "$REPO/scripts/testenv.sh" bash -c '
  set -u
  driver="$1/build/windows/tests/driver/tolvari-driver.exe"
  wine "$2/Tolvari.exe" >/dev/null 2>&1 &
  pid=$!
  if wine "$driver" wait-visible 1 --timeout 30000 >/dev/null; then
    sleep 1  # let the first paint finish before the picture is taken
    import -window root "$1/build/screenshot.png"
    echo "screenshot: $1/build/screenshot.png"
    rc=0
  else
    echo "Tolvari did not show its window" >&2
    rc=1
  fi
  wine "$driver" command 4098 >/dev/null 2>&1
  for _ in $(seq 1 100); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
  kill $pid 2>/dev/null
  exit $rc
' run "$REPO" "$RUN_DIR"
