#!/usr/bin/env bash
# Keys in the real window: starts an Xvfb of its own and ostrelo in it (a fresh group directory,
# the dummy audio driver, no network), and runs bench_window_keys on it: key (XTest) to
# redrawn frame (X damage) over 500 keys, then VmRSS before, on the way (after 1,000, 2,000 and
# 5,000 keys: a warm-up levels off, growth per key does not) and after 10,000 more keys.
#   bench/window-keys.sh [PATH-TO-OSTRELO] [PROBE-OPTIONS...]
#   (defaults: build/app/ostrelo; --samples 500 --soak 10000)
# Targets: p50 <= 1.5 ms, p99 <= 5 ms; growth < 1 MB. (bench/idle-check.sh: an idle window.)
#
#   bench/window-keys.sh --lines "10 1000 4000 16000" [PATH-TO-OSTRELO]
# runs on a store holding a calculation of each number of lines in turn (bench_store_lines): the
# start to the first frame (median of 15 starts), then 200 keys: key to frame and key to the
# store's write. Targets: p50 <= 2 ms and p99 <= 5 ms at every size, the longest within 1.5 times
# the shortest; the first frame at 16,000 lines <= 60 ms.
set -euo pipefail
sizes=""
if [ "${1:-}" = "--lines" ]; then
  sizes=$2
  shift 2
fi
program=${1:-build/app/ostrelo}
shift || true
probe=$(dirname "$program")/../bench/window/bench_window_keys
writer=$(dirname "$program")/../bench/window/bench_store_lines
[ -x "$program" ] || { echo "no program at $program (build it first)" >&2; exit 2; }
[ -x "$probe" ] || { echo "no probe at $probe (build it first: cmake --build build --target bench_window_keys)" >&2; exit 2; }

source "$(dirname "$0")/private-display.sh"
work=$(mktemp -d)
server=""
cleanup() {
  [ -n "$server" ] && kill "$server" 2>/dev/null && { wait "$server" 2>/dev/null || true; }
  rm -rf "$work"
}
trap cleanup EXIT
start_private_display "$work" -noreset
echo "machine load before the run: $(cut -d' ' -f1-3 /proc/loadavg)"
run() {
  OSTRELO_GROUP_DIR="$work/group" SDL_AUDIODRIVER=dummy \
    OSTRELO_RATES_URL=http://127.0.0.1:9/eurofxref-daily.xml \
    "$probe" "$@" -- "$program" 2>>"$work/program.log"
}
if [ -z "$sizes" ]; then
  mkdir "$work/group"
  run "$@"
else
  [ -x "$writer" ] || { echo "no store writer at $writer (build it first)" >&2; exit 2; }
  for lines in $sizes; do
    rm -rf "$work/group" && mkdir "$work/group"
    OSTRELO_GROUP_DIR="$work/group" "$writer" "$lines"
    echo "== a stored calculation of $lines lines"
    run --samples 200 --soak 0 --starts 15 --store "$work/group" "$@"
  done
fi
echo "machine load after the run: $(cut -d' ' -f1-3 /proc/loadavg)"
