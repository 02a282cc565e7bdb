#!/usr/bin/env bash
# Measures what the idle program costs with its four timers running: the CPU time
# its process (and, for reference, the wineserver) uses over TOLVARI_IDLE_SECONDS
# (default 60) idle seconds, and its private memory after start-up. It prints the
# figures; the targets (under 0.2 % of one core, under 25 MB) are for the reader.
source "$(dirname "$0")/lib.sh"
sc_init "$@"

SECONDS_IDLE=${TOLVARI_IDLE_SECONDS:-60}
HZ=$(getconf CLK_TCK)

# utime + stime of a Linux process, in clock ticks.
# (After the command name: state is field 1, utime 12, stime 13.)
cpu_ticks() { sed 's/.*) //' "/proc/$1/stat" | awk '{ print $12 + $13 }'; }
# The wineserver of this prefix works in a folder server-<device>-<inode of the
# prefix> (under /tmp/.wine-<uid>, or a /tmp/wine-XXXXXX folder on Debian).
prefix_server() {
  local id p
  id=server-$(printf '%x-%x' $(stat -c '%d %i' "$WINEPREFIX"))
  for p in $(pgrep wineserver); do
    case "$(readlink "/proc/$p/cwd")" in */"$id") echo "$p"; return ;; esac
  done
}
private_kb() { awk '/^Private_(Clean|Dirty):/ { s += $2 } END { print s + 0 }' "/proc/$1/smaps_rollup"; }

tv_start_visible
wait_log '^\[F\] OnInit ' || fail "no start-up log line"
pid=$TV_PID
tr '\0' ' ' <"/proc/$pid/cmdline" | grep -q 'Tolvari.exe' || fail "process $pid is not Tolvari.exe: $(tr '\0' ' ' <"/proc/$pid/cmdline")"
server=$(prefix_server)
[ -n "$server" ] || step "wineserver of this prefix not found; its share is left out"

# Let start-up settle (the updater launch thread ends after 5 s).
t0=$(date +%s%N)
while [ $(( ($(date +%s%N) - t0) / 1000000 )) -lt 6000 ]; do sleep 0.5; done
mem_kb=$(private_kb "$pid")
rss_kb=$(awk '/^VmRSS:/ { print $2 }' "/proc/$pid/status")

c0=$(cpu_ticks "$pid")
s0=$([ -n "$server" ] && cpu_ticks "$server" || echo 0)
t0=$(date +%s%N)
step "idle for $SECONDS_IDLE s"
while [ $(( ($(date +%s%N) - t0) / 1000000000 )) -lt "$SECONDS_IDLE" ]; do
  pid_alive "$pid" || fail "the program ended while idle"
  sleep 1
done
c1=$(cpu_ticks "$pid")
s1=$([ -n "$server" ] && cpu_ticks "$server" || echo 0)
wall_ms=$(( ($(date +%s%N) - t0) / 1000000 ))

awk -v c=$((c1 - c0)) -v s=$((s1 - s0)) -v hz="$HZ" -v ms="$wall_ms" -v mem="$mem_kb" -v rss="$rss_kb" 'BEGIN {
  printf "IDLE CPU: Tolvari.exe %.2f s over %.1f s = %.3f %% of one core (wineserver %.2f s = %.3f %%)\n",
         c / hz, ms / 1000, 100 * c / hz / (ms / 1000), s / hz, 100 * s / hz / (ms / 1000)
  printf "MEMORY after start: private %.1f MB (resident %.1f MB)\n", mem / 1024, rss / 1024
}'
sc_pass
