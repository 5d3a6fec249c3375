#!/usr/bin/env bash
# An idle window costs nothing: starts a program on a private X server (Xvfb) with a fresh store,
# waits for its first frame and two seconds more, then watches it for IDLE_SECONDS (60) untouched,
# second by second: the CPU time of all its threads and how often any of them ran (context
# switches), thread by thread. Target: no CPU time and no wake-up. The widget refreshes once a
# minute while its panel is shown (it reads the store and checks the rates): for it, the
# wake-ups and CPU time of its refreshes are allowed, bursts of at most two seconds, one a minute
# watched (and one more: a window may hold a refresh at either end), and nothing outside them. Exit status 0 when met.
#   bench/idle-check.sh [PROGRAM]      (default: build/app/ostrelo; IDLE_SECONDS=60 in the environment)
set -euo pipefail
program=${1:-build/app/ostrelo}
seconds=${IDLE_SECONDS:-60}
[ -x "$program" ] || { echo "no program at $program" >&2; exit 2; }

source "$(dirname "$0")/private-display.sh"
work=$(mktemp -d)
server=""
pid=""
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null && { wait "$pid" 2>/dev/null || true; }
  [ -n "$server" ] && kill "$server" 2>/dev/null && { wait "$server" 2>/dev/null || true; }
  rm -rf "$work"
}
trap cleanup EXIT
start_private_display "$work"
unset DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY

OSTRELO_GROUP_DIR="$work/group" OSTRELO_RATES_URL=http://127.0.0.1:9/eurofxref-daily.xml "$program" 2>"$work/log" &
pid=$!
for _ in $(seq 200); do grep -qs "first frame" "$work/log" && break; sleep 0.05; done
grep -qs "first frame" "$work/log" || { echo "no first frame" >&2; cat "$work/log" >&2; exit 1; }
sleep 2
# The refreshes allowed: one a minute for the widget, none for the others.
refresh_period=0
[ "$(basename "$program")" = ostrelo-widget ] && refresh_period=60

# "tid ticks switches" for every thread of the program.
sample() {
  for task in /proc/"$pid"/task/*; do
    local tid=${task##*/} stat switches
    stat=$(cut -d')' -f2- "$task/stat" 2>/dev/null) || continue
    switches=$(awk '/ctxt_switches/ { s += $2 } END { print s }' "$task/status" 2>/dev/null) || continue
    echo "$tid $(awk '{ print $12 + $13 }' <<<"$stat") $switches"
  done
}
sample >"$work/sample-0"
for second in $(seq 1 "$seconds"); do
  sleep 1
  sample >"$work/sample-$second"
done
kill -0 "$pid" 2>/dev/null || { echo "the program ended while watched" >&2; exit 1; }

# Per second: "ticks wake-ups threads-started threads-ended" against the second before.
for second in $(seq 1 "$seconds"); do
  awk 'FNR == NR { cpu[$1] = $2; switches[$1] = $3; next }
    { if ($1 in cpu) { used += $2 - cpu[$1]; woke += $3 - switches[$1]; seen[$1] = 1 } else { used += $2; woke += $3; started++ } }
    END { for (tid in cpu) if (!(tid in seen)) ended++; print used + 0, woke + 0, started + 0, ended + 0 }' \
    "$work/sample-$((second - 1))" "$work/sample-$second"
done >"$work/seconds"

awk -v seconds="$seconds" -v ticks="$(getconf CLK_TCK)" -v threads="$(wc -l <"$work/sample-$seconds")" \
    -v period="$refresh_period" '
  { busy = $1 > 0 || $2 > 0 || $3 > 0 || $4 > 0
    if (busy && !previous) { bursts++; length_ = 0 }
    if (busy) { length_++; if (length_ > longest) longest = length_ }
    previous = busy; used += $1; woke += $2; started += $3; ended += $4 }
  END {
    # A window as long as the period may hold a refresh at either end.
    allowed = period > 0 ? int(seconds / period) + 1 : 0
    printf "idle for %d s, %d threads: CPU %.2f %% (%d ticks), %d wake-ups, %d threads started, %d ended", seconds,
           threads, 100 * used / ticks / seconds, used, woke, started, ended
    if (period > 0) printf "; %d burst(s) of up to %d s (its refresh: %d allowed)", bursts, longest, allowed
    printf "\n"
    exit (bursts <= allowed && longest <= 2) ? 0 : 1
  }' "$work/seconds"
