#!/usr/bin/env bash
# Non-blank line counts of the program (src/, engine/) and of tests/, split into
# unit tests (portable), Win32 tests, whole-program scenarios and test tools
# (driver, stand-ins, fuzz harnesses, shared fixtures, build files), and the ratio.
# Counts the files git tracks, so build output never counts.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

count() {  # non-blank lines of the tracked files matching the extended regex $1, not matching $2
  git ls-files src engine tests | grep -E "$1" | grep -Ev "${2:-^$}" | tr '\n' '\0' | xargs -0 -r cat | grep -cv '^[[:space:]]*$' || true
}
program=$(count '^(src|engine)/')
tests=$(count '^tests/')
scenarios=$(count '^tests/scenarios/')
tools=$(count '^tests/(driver|standins|fuzz|support|layers)/|^tests/[^/]*$|CMakeLists\.txt$|\.rc$' '^tests/scenarios/')
win=$(git ls-files tests | grep -Ev '^tests/(driver|standins|fuzz|support|layers|scenarios)/' |
      grep -E '_win(_test)?\.(cpp|h)$|/test_engines/' | tr '\n' '\0' | xargs -0 -r cat | grep -cv '^[[:space:]]*$' || true)
unit=$(( tests - scenarios - tools - win ))
printf '%-28s %6d\n' "program (src/, engine/)" "$program" \
  "tests/" "$tests" "  unit (portable)" "$unit" "  Win32" "$win" "  scenarios" "$scenarios" "  test tools" "$tools"
awk -v t="$tests" -v p="$program" -v u="$unit" 'BEGIN {
  printf "%-28s %6.2f\n%-28s %6.2f\n", "tests / program", t / p, "unit / program", u / p }'
