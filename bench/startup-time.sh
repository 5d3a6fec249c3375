#!/usr/bin/env bash
# Start-up of the five programs (and of galculator, when installed, as a peer) in real windows:
# each is started RUNS times (15; after a warm-up start that runs on for three seconds, as a
# user's earlier start would, not counted), the programs taking turns, each start on a fresh
# store (a fresh home for the peer), on a private X server (Xvfb). The time is taken from the start to the first frame that is not blank (one colour
# throughout) on one of the program's windows, as the X server reports it (damage), the same for
# every program; the resident memory (VmRSS) and the CPU time of all its threads are read at
# that moment. Prints, per program, the median and the spread (fastest-slowest) of the time, the
# median CPU time, the median and largest memory, and how long its window was mapped blank before
# that frame; then the peer's median over ostrelo's and the libraries ostrelo loads at start.
# Targets: ostrelo median <= 60 ms and at least 3 times faster than the peer, the others
# <= 80 ms; memory <= 25 MB for ostrelo, <= 30 MB for the others. Exit status 0 when all are met.
#   bench/startup-time.sh [BUILD-DIRECTORY]      (default: build; RUNS=15 in the environment)
set -euo pipefail
build=${1:-build}
runs=${RUNS:-15}
probe="$build/bench/first-frame-probe"
[ -x "$probe" ] || { echo "no probe at $probe (build it: cmake --build $build --target first-frame-probe)" >&2; exit 2; }

names=(ostrelo ostrelo-settings ostrelo-messages ostrelo-widget ostrelo-keyboard)
paths=("$build/app/ostrelo" "$build/app/ostrelo-settings" "$build/OstreloMessage/ostrelo-messages"
       "$build/today/ostrelo-widget" "$build/keyboard/ostrelo-keyboard")
for path in "${paths[@]}"; do
  [ -x "$path" ] || { echo "no program at $path (build first: cmake --build $build)" >&2; exit 2; }
done
if command -v galculator >/dev/null; then
  names+=(galculator)
  paths+=("$(command -v galculator)")
fi

source "$(dirname "$0")/private-display.sh"
work=$(mktemp -d)
server=""
cleanup() {
  [ -n "$server" ] && kill "$server" 2>/dev/null && { wait "$server" 2>/dev/null || true; }
  rm -rf "$work"
}
trap cleanup EXIT
start_private_display "$work"
# The desktop the programs meet: no session bus, no accessibility bus for the peer.
unset DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY
export NO_AT_BRIDGE=1 OSTRELO_RATES_URL=http://127.0.0.1:9/eurofxref-daily.xml

# One start of program $1 (index): prints "milliseconds rss-kB map-milliseconds cpu-milliseconds".
start() {
  local index=$1 home="$work/home-$RANDOM$RANDOM"
  mkdir -p "$home/.config"
  HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" XDG_CACHE_HOME="$work/cache" \
    OSTRELO_GROUP_DIR="$home/group" "$probe" "${paths[$index]}" 2>>"$work/programs.log"
  rm -rf "$home"
}

# The warm-up start of program $1 (index): as a user's earlier start, it runs on for three seconds
# after its first frame (its work after the start: the fonts' own cache, the rate check).
warm() {
  local index=$1 home="$work/home-warm"
  mkdir -p "$home/.config"
  HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" XDG_CACHE_HOME="$work/cache" \
    OSTRELO_GROUP_DIR="$home/group" "${paths[$index]}" >"$work/warm.log" 2>&1 &
  local pid=$!
  sleep 3
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  rm -rf "$home"
}

for index in "${!names[@]}"; do warm "$index"; done
for run in $(seq 1 "$runs"); do
  for index in "${!names[@]}"; do
    line=$(start "$index") || { echo "${names[$index]} showed no frame; its log:" >&2; tail -5 "$work/programs.log" >&2; exit 1; }
    echo "${names[$index]} $line" >>"$work/results"
  done
done

ldd_ostrelo=$(ldd "${paths[0]}")
libraries=$(grep -c "=>" <<<"$ldd_ostrelo" || true)
curl=$(grep -q libcurl <<<"$ldd_ostrelo" && echo yes || echo no)
load=$(cut -d' ' -f1-3 /proc/loadavg)

awk -v runs="$runs" -v libraries="$libraries" -v curl="$curl" -v load="$load" -v order="${names[*]}" '
  function median(list,   sorted, n, i, j, v) {
    n = split(list, sorted, " ")
    for (i = 2; i <= n; ++i) {
      v = sorted[i] + 0
      for (j = i - 1; j >= 1 && sorted[j] + 0 > v; --j) sorted[j + 1] = sorted[j]
      sorted[j + 1] = v
    }
    return n % 2 ? sorted[(n + 1) / 2] : (sorted[n / 2] + sorted[n / 2 + 1]) / 2
  }
  function extreme(list, largest,   values, i, n, best) {
    n = split(list, values, " ")
    best = values[1]
    for (i = 2; i <= n; ++i) if (largest ? values[i] + 0 > best + 0 : values[i] + 0 < best + 0) best = values[i]
    return best
  }
  { time[$1] = time[$1] " " $2; memory[$1] = memory[$1] " " $3; blank[$1] = blank[$1] " " ($2 - $4); cpu[$1] = cpu[$1] " " $5 }
  END {
    printf "start to first frame, %d starts each, fresh stores, Xvfb (load average %s)\n", runs, load
    printf "%-18s %9s %17s %9s %14s %12s %8s\n", "program", "median", "spread", "CPU", "memory (MB)", "blank (ms)", "target"
    count = split(order, names, " ")
    met = 1
    for (i = 1; i <= count; ++i) {
      name = names[i]
      m = median(time[name]); rss = median(memory[name]) / 1024; most = extreme(memory[name], 1) / 1024
      if (name == "galculator") { target = "peer" }
      else {
        limit = name == "ostrelo" ? 60 : 80; memoryLimit = name == "ostrelo" ? 25 : 30
        ok = m <= limit && most <= memoryLimit
        target = sprintf("%s %d/%d", ok ? "met" : "MISSED", limit, memoryLimit)
        if (!ok) met = 0
      }
      printf "%-18s %6.1f ms %6.1f-%6.1f ms %6.1f ms %6.1f (max %4.1f) %12.1f %s\n", name, m, extreme(time[name], 0),
             extreme(time[name], 1), median(cpu[name]), rss, most, median(blank[name]), target
      medians[name] = m; cpus[name] = median(cpu[name])
    }
    if ("galculator" in medians) {
      ratio = medians["galculator"] / medians["ostrelo"]
      printf "galculator / ostrelo: %.2f times the time (target >= 3), %.2f times the CPU time\n", ratio,
             cpus["galculator"] / cpus["ostrelo"]
      if (ratio < 3) met = 0
    }
    printf "ostrelo loads %d libraries at start; libcurl among them: %s\n", libraries, curl
    exit met ? 0 : 1
  }' "$work/results"
