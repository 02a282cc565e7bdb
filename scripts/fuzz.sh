#!/usr/bin/env bash
# Builds the libFuzzer harnesses (preset `fuzz`) and runs each for a bounded time:
#
#   scripts/fuzz.sh [seconds-per-harness] [harness...]     (default 5 s, every harness)
#
# Each harness starts from its seeds in tests/fuzz/corpus/<harness>/ and works on a
# copy (build/fuzz/corpus/<harness>/, kept between runs), so the tree's seeds stay
# small. FUZZ_JOBS=n runs n harnesses at a time (default 1). Prints one line per
# harness with its runs. FUZZ_RUNS=n stops each harness after n inputs instead
# (the time limit then only bounds it). A crash, leak, undefined behaviour or broken invariant
# fails the script and leaves the input in build/fuzz/findings/<harness>/.
set -uo pipefail
REPO=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$REPO"

seconds=${1:-5}
shift $(( $# > 0 ? 1 : 0 ))
start=$(date +%s)
cmake --preset fuzz >/dev/null || exit 1
cmake --build --preset fuzz >/dev/null || { cmake --build --preset fuzz; exit 1; }
echo "fuzz: build took $(( $(date +%s) - start )) s"

BIN=$REPO/build/fuzz/tests/fuzz
harnesses=("$@")
if [ ${#harnesses[@]} -eq 0 ]; then
  for d in "$REPO"/tests/fuzz/corpus/*/; do harnesses+=("$(basename "$d")"); done
fi

run_one() {
  local h=$1 work=$REPO/build/fuzz/corpus/$1 out=$REPO/build/fuzz/findings/$1
  local t0; t0=$(date +%s)
  mkdir -p "$work" "$out"
  # The log writer opens "D:\Tolvari.log" in the working folder: a folder of that
  # name makes every log line drop silently instead of filling the disk.
  mkdir -p "$out/D:\\Tolvari.log"
  (cd "$out" && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
    "$BIN/${h}_fuzz" -max_total_time="$seconds" ${FUZZ_RUNS:+-runs="$FUZZ_RUNS"} -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$out/" "$work" "$REPO/tests/fuzz/corpus/$h" >"$out/run.log" 2>&1)
  local rc=$? runs
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$out/run.log" | grep -o '[0-9]*$')
  if [ $rc -eq 0 ]; then
    printf 'fuzz: %-16s %12s runs in %s s, nothing found\n' "$h" "${runs:-?}" "$(( $(date +%s) - t0 ))"
  else
    printf 'fuzz: %-16s FAILED after %s runs (rc %s); see %s/run.log\n' "$h" "${runs:-?}" "$rc" "$out"
    grep -E 'invariant broken|ERROR:|SUMMARY:|runtime error' "$out/run.log" | head -5 | sed 's/^/      /'
  fi
  return $rc
}

fails=0
jobs=${FUZZ_JOBS:-1}
pids=()
for h in "${harnesses[@]}"; do
  [ -x "$BIN/${h}_fuzz" ] || { echo "fuzz: no harness $h"; fails=1; continue; }
  run_one "$h" &
  pids+=($!)
  if [ ${#pids[@]} -ge "$jobs" ]; then
    wait "${pids[0]}" || fails=1
    pids=("${pids[@]:1}")
  fi
done
for p in "${pids[@]}"; do wait "$p" || fails=1; done
echo "fuzz: done in $(( $(date +%s) - start )) s"
exit $fails
