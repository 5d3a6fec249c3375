#!/usr/bin/env bash
# Start-up of the real app: starts ostrelo once to warm up and then 10 times, each on a fresh
# group directory with SDL's offscreen video driver and the dummy audio driver, and reports the
# time from exec to its "first frame" log line (median and maximum) and its resident memory
# (VmRSS) right after that frame. Targets: median at most 100 ms, VmRSS at most 40 MB.
#   bench/startup-time.sh [PATH-TO-OSTRELO]      (default: build/app/ostrelo)
set -euo pipefail
program=${1:-build/app/ostrelo}
runs=10
[ -x "$program" ] || { echo "no program at $program (build it first: cmake --build build --target ostrelo)" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
times=()
memories=()
for run in $(seq 0 "$runs"); do
  group="$work/group$run"
  mkdir "$group"
  mkfifo "$work/log$run"
  start=$EPOCHREALTIME
  OSTRELO_GROUP_DIR="$group" SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy \
    OSTRELO_RATES_URL=http://127.0.0.1:9/eurofxref-daily.xml "$program" 2>"$work/log$run" &
  pid=$!
  end=""
  while IFS= read -r line; do
    if [[ $line == *"first frame"* ]]; then
      end=$EPOCHREALTIME
      break
    fi
  done <"$work/log$run"
  rss=$(awk '/^VmRSS:/ {print $2}' "/proc/$pid/status" 2>/dev/null || echo 0)
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  if [ -z "$end" ]; then
    echo "run $run: ostrelo ended without a first frame" >&2
    exit 1
  fi
  [ "$run" -eq 0 ] && continue
  times+=("$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.1f", (b - a) * 1000 }')")
  memories+=("$rss")
done

printf '%s\n' "${times[@]}" | sort -n | awk -v runs="$runs" -v memory="$(printf '%s\n' "${memories[@]}" | sort -n | tail -1)" '
  { t[NR] = $1 }
  END {
    median = (t[int((runs + 1) / 2)] + t[int(runs / 2) + 1]) / 2
    printf "start to first frame over %d runs: median %.1f ms, maximum %.1f ms (target: median <= 100 ms)\n", runs, median, t[runs]
    printf "resident memory after the first frame: at most %.1f MB (target: <= 40 MB)\n", memory / 1024
    exit (median <= 100 && memory <= 40 * 1024) ? 0 : 1
  }'
