#!/usr/bin/env bash
# Start-up of the five programs (and of galculator, a peer that scripts/install-deps installs) in
# real windows: each is started RUNS times (15; after a warm-up start that runs on for three
# seconds, as a user's earlier start would, not counted), the programs taking turns, each start on
# a fresh store (a fresh home for the peer), on a private X server (Xvfb). A fresh store has no
# rates of today: each program that checks the rates downloads them from a local server (the
# feed of tests/data) after its first frame. The time is taken from the start to the first frame
# that is not blank (one colour throughout) on one of the program's windows, as the X server
# reports it (damage), the same for every program; the resident memory (VmRSS) and the CPU time of
# all its threads are read at that moment, the memory again 1.5 s later (after the download), and
# the shared libraries mapped at both moments (from /proc/PID/maps). Prints, per program, the
# median and the spread (fastest-slowest) of the time, the median CPU time, the median and largest
# memory at the frame and 1.5 s later, and how long its window was mapped blank before that frame;
# then the peer's median over ostrelo's, the downloads served to each program, the libraries
# ostrelo maps at both moments, and the programs that had libcurl mapped at either.
# Targets: ostrelo median <= 60 ms and at least 3 times faster than the peer, the others
# <= 80 ms; memory at both moments <= 25 MB for ostrelo, <= 30 MB for the others; libcurl mapped
# in none. Exit status 0 when all are met.
#   bench/startup-time.sh [BUILD-DIRECTORY]      (default: build; RUNS=15 in the environment)
set -euo pipefail
build=${1:-build}
runs=${RUNS:-15}
probe="$build/bench/first-frame-probe"
feed_server="$build/bench/feed-server"
[ -x "$probe" ] || { echo "no probe at $probe (build it: cmake --build $build --target first-frame-probe)" >&2; exit 2; }
[ -x "$feed_server" ] || { echo "no feed server at $feed_server (build it: cmake --build $build --target feed-server)" >&2; exit 2; }

names=(ostrelo ostrelo-settings ostrelo-messages ostrelo-widget ostrelo-keyboard)
paths=("$build/app/ostrelo" "$build/app/ostrelo-settings" "$build/OstreloMessage/ostrelo-messages"
       "$build/today/ostrelo-widget" "$build/keyboard/ostrelo-keyboard")
for path in "${paths[@]}"; do
  [ -x "$path" ] || { echo "no program at $path (build first: cmake --build $build)" >&2; exit 2; }
done
if command -v galculator >/dev/null; then
  names+=(galculator)
  paths+=("$(command -v galculator)")
else
  echo "galculator is not installed (scripts/install-deps installs it): no peer to compare with" >&2
fi

source "$(dirname "$0")/private-display.sh"
work=$(mktemp -d)
server=""
feed=""
cleanup() {
  [ -n "$server" ] && kill "$server" 2>/dev/null && { wait "$server" 2>/dev/null || true; }
  [ -n "$feed" ] && kill "$feed" 2>/dev/null && { wait "$feed" 2>/dev/null || true; }
  rm -rf "$work"
}
trap cleanup EXIT
start_private_display "$work"
# The desktop the programs meet: no session bus, no accessibility bus for the peer.
unset DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY
export NO_AT_BRIDGE=1

# The rate feed on the loopback host; each program asks for it under a path of its own name, so
# that the server's log counts each one's downloads.
"$feed_server" "$(dirname "$0")/../tests/data/eurofxref-daily.xml" >"$work/feed.log" &
feed=$!
for _ in $(seq 200); do [ -s "$work/feed.log" ] && break; sleep 0.05; done
port=$(head -1 "$work/feed.log")
[ -n "$port" ] || { echo "the feed server did not start" >&2; exit 2; }
feed_url() { echo "http://127.0.0.1:$port/${names[$1]}/eurofxref-daily.xml"; }

# One start of program $1 (index) in run $2: prints "milliseconds rss-kB map-milliseconds
# cpu-milliseconds later-rss-kB"; the libraries it mapped go to $work/maps-NAME-RUN-{frame,later}.
start() {
  local index=$1 home="$work/home-$RANDOM$RANDOM"
  mkdir -p "$home/.config"
  HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" XDG_CACHE_HOME="$work/cache" \
    OSTRELO_GROUP_DIR="$home/group" OSTRELO_RATES_URL="$(feed_url "$index")" \
    "$probe" --later 1.5 --maps "$work/maps-${names[$index]}-$2" "${paths[$index]}" 2>>"$work/programs.log"
  rm -rf "$home"
}

# The warm-up start of program $1 (index): as a user's earlier start, it runs on for three seconds
# after its first frame (its work after the start: the fonts' own cache, the rate check).
warm() {
  local index=$1 home="$work/home-warm"
  mkdir -p "$home/.config"
  HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" XDG_CACHE_HOME="$work/cache" \
    OSTRELO_GROUP_DIR="$home/group" OSTRELO_RATES_URL="$(feed_url "$index")" "${paths[$index]}" >"$work/warm.log" 2>&1 &
  local pid=$!
  sleep 3
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  rm -rf "$home"
}

for index in "${!names[@]}"; do warm "$index"; done
for run in $(seq 1 "$runs"); do
  for index in "${!names[@]}"; do
    line=$(start "$index" "$run") || { echo "${names[$index]} showed no frame; its log:" >&2; tail -5 "$work/programs.log" >&2; exit 1; }
    echo "${names[$index]} $line" >>"$work/results"
  done
done

load=$(cut -d' ' -f1-3 /proc/loadavg)
# Downloads served to each program (the warm-up starts' included), and the libraries mapped.
downloads=""
for name in "${names[@]}"; do downloads+="$name:$(grep -c " /$name/" "$work/feed.log" || true) "; done
frame_libraries=$(cat "$work"/maps-ostrelo-*-frame | sort -u)
later_libraries=$(cat "$work"/maps-ostrelo-*-later | sort -u)
added=$(comm -13 <(echo "$frame_libraries") <(echo "$later_libraries") | xargs -r -n1 basename | tr '\n' ' ')
curl_in=""
for name in "${names[@]}"; do
  [ "$name" = galculator ] && continue
  grep -qs libcurl "$work"/maps-"$name"-* && curl_in+="$name "
done
libraries="$(grep -c . <<<"$frame_libraries") $(grep -c . <<<"$later_libraries")"

awk -v runs="$runs" -v libraries="$libraries" -v added="$added" -v curl="$curl_in" -v downloads="$downloads" \
    -v load="$load" -v order="${names[*]}" '
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
  { time[$1] = time[$1] " " $2; memory[$1] = memory[$1] " " $3; blank[$1] = blank[$1] " " ($2 - $4); cpu[$1] = cpu[$1] " " $5
    later[$1] = later[$1] " " $6 }
  END {
    printf "start to first frame, %d starts each, fresh stores, Xvfb (load average %s)\n", runs, load
    printf "%-18s %9s %17s %9s %17s %17s %10s %8s\n", "program", "median", "spread", "CPU", "memory at frame",
           "1.5 s later (MB)", "blank (ms)", "target"
    count = split(order, names, " ")
    met = 1
    for (i = 1; i <= count; ++i) {
      name = names[i]
      m = median(time[name]); rss = median(memory[name]) / 1024; most = extreme(memory[name], 1) / 1024
      rssLater = median(later[name]) / 1024; mostLater = extreme(later[name], 1) / 1024
      if (name == "galculator") { target = "peer" }
      else {
        limit = name == "ostrelo" ? 60 : 80; memoryLimit = name == "ostrelo" ? 25 : 30
        ok = m <= limit && most <= memoryLimit && mostLater <= memoryLimit
        target = sprintf("%s %d/%d", ok ? "met" : "MISSED", limit, memoryLimit)
        if (!ok) met = 0
      }
      printf "%-18s %6.1f ms %6.1f-%6.1f ms %6.1f ms %5.1f (max %5.1f) %5.1f (max %5.1f) %10.1f %s\n", name, m,
             extreme(time[name], 0), extreme(time[name], 1), median(cpu[name]), rss, most, rssLater, mostLater,
             median(blank[name]), target
      medians[name] = m; cpus[name] = median(cpu[name])
    }
    if ("galculator" in medians) {
      ratio = medians["galculator"] / medians["ostrelo"]
      printf "galculator / ostrelo: %.2f times the time (target >= 3), %.2f times the CPU time\n", ratio,
             cpus["galculator"] / cpus["ostrelo"]
      if (ratio < 3) met = 0
    }
    split(libraries, mappedCount, " ")
    printf "rate downloads served (warm-up starts included): %s\n", downloads
    printf "ostrelo maps %d shared libraries at its first frame, %d 1.5 s later (all its starts)%s\n", mappedCount[1], mappedCount[2],
           added == "" ? "" : " (added: " added ")"
    printf "programs with libcurl mapped at either moment: %s\n", curl == "" ? "none" : curl
    if (curl != "") met = 0
    exit met ? 0 : 1
  }' "$work/results"
