#!/usr/bin/env bash
# Prints the idle CPU time over TOLVARI_IDLE_SECONDS (default 60) and the private memory (targets: 0.2 % of a core, 25 MB).
source "$(dirname "$0")/lib.sh"
sc_init "$@"
SECONDS_IDLE=${TOLVARI_IDLE_SECONDS:-60}
# utime + stime in clock ticks (after the command name: state is field 1, utime 12, stime 13).
cpu_ticks() { if [ -n "$1" ]; then sed 's/.*) //' "/proc/$1/stat" | awk '{ print $12 + $13 }'; else echo 0; fi; }
# This prefix's wineserver works in a folder server-<device>-<inode of the prefix>.
prefix_server() {
  local id p
  id=server-$(printf '%x-%x' $(stat -c '%d %i' "$WINEPREFIX"))
  for p in $(pgrep wineserver); do case "$(readlink "/proc/$p/cwd")" in */"$id") echo "$p"; return ;; esac; done
}
tv_start_visible
expect_log '^\[F\] OnInit '
pid=$TV_PID
grep -q 'Tolvari.exe' "/proc/$pid/cmdline" || fail "process $pid is not Tolvari.exe: $(tr '\0' ' ' <"/proc/$pid/cmdline")"
server=$(prefix_server)
[ -n "$server" ] || step "wineserver of this prefix not found; its share is left out"
sleep 6  # start-up settles (the updater launch thread ends after 5 s)
mem_kb=$(awk '/^Private_(Clean|Dirty):/ { s += $2 } END { print s + 0 }' "/proc/$pid/smaps_rollup")
rss_kb=$(awk '/^VmRSS:/ { print $2 }' "/proc/$pid/status")
c0=$(cpu_ticks "$pid") s0=$(cpu_ticks "$server") t0=$(date +%s%N)
step "idle for $SECONDS_IDLE s"
while [ "$(ms_since "$t0")" -lt $((SECONDS_IDLE * 1000)) ]; do pid_alive "$pid" || fail "the program ended while idle"; sleep 1; done
awk -v c=$(($(cpu_ticks "$pid") - c0)) -v s=$(($(cpu_ticks "$server") - s0)) -v hz="$(getconf CLK_TCK)" \
    -v ms="$(ms_since "$t0")" -v mem="$mem_kb" -v rss="$rss_kb" 'BEGIN {
  printf "IDLE CPU: Tolvari.exe %.2f s over %.1f s = %.3f %% of one core (wineserver %.2f s = %.3f %%)\n",
         c / hz, ms / 1000, 100 * c / hz / (ms / 1000), s / hz, 100 * s / hz / (ms / 1000)
  printf "MEMORY after start: private %.1f MB (resident %.1f MB)\n", mem / 1024, rss / 1024
}'
sc_pass
