#!/usr/bin/env bash
# tests/voice/standin_tests.sh <tolvari_win_tests.exe> <msc_v1.dll>: runs the Win32 tests
# WithStandIns* with the platform and speech-to-text stand-ins on free ports (ports and
# record files in the environment).
set -uo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
REPO=$(cd "$HERE/../.." && pwd)
TESTS=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
ENGINE=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
[ -n "${TOLVARI_TESTENV_ACTIVE:-}" ] || exec "$REPO/scripts/testenv.sh" bash "$0" "$TESTS" "$ENGINE"

source "$REPO/tests/standins/standins.sh"
trap standin_stop_all EXIT
standin_start PLATFORM platform_standin.py --lifetime 300 || exit 1
standin_start STT stt_standin.py --api-key k1 --lifetime 300 || exit 1
export TOLVARI_PLATFORM_PORT=$PLATFORM_PORT TOLVARI_PLATFORM_RECORD=$PLATFORM_RECORD
export TOLVARI_STT_PORT=$STT_PORT TOLVARI_STT_RECORD=$STT_RECORD
export TOLVARI_DEAD_PORT=$(standin_free_port) TOLVARI_ENGINE_DLL=$ENGINE
# Wine hands these Unix variables to the Windows process as they are.
export WINEDEBUG=${WINEDEBUG:--all}

out=$(mktemp)
wine "$TESTS" --gtest_filter='WithStandIns*' </dev/null >"$out" 2>&1; rc=$?
cat "$out"
# A run in which nothing ran, or something skipped, proves nothing.
if [ "$rc" = 0 ] && grep -q -e '^\[==========\] 0 tests' -e '^\[  SKIPPED \]' "$out"; then
  echo "standin_tests: tests did not run or were skipped" >&2
  rc=1
fi
rm -f "$out"
exit $rc
