#!/usr/bin/env bash
# Start-up time: from process start until its maximized window is on a virtual screen,
# for Kavro and for a bare Qt main window with a menu bar, alternating, in one run.
#   bench/startup.sh BUILD_DIR [RUNS]
# Prints the median wall time and CPU time (user + system, all threads) of each.
set -euo pipefail
build="${1:?build directory}"
runs="${2:-15}"
work="$(mktemp -d)"
trap 'kill "$wm" "$xvfb" 2>/dev/null || true; rm -rf "$work"' EXIT

Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")" QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work"
openbox --sm-disable >/dev/null 2>&1 &
wm=$!
sleep 0.5
cp "$build/src/app/kavro" "$work/kavro"

# One start: prints "wall_ms cpu_ms": the time until a window of that name is visible and
# the CPU it took to get there and paint.
measure() {
  local program="$1" name="$2"
  local start end pid cpu
  start=$(date +%s%N)
  "$program" >/dev/null 2>&1 &
  pid=$!
  until xdotool search --onlyvisible --name "^${name}\$" >/dev/null 2>&1; do sleep 0.005; done
  end=$(date +%s%N)
  # The CPU once the program has drawn its first frame and gone idle, so that what it
  # spends does not depend on when the search above happened to look: time on a CPU of
  # every thread, in nanoseconds (the tick counts of /proc/PID/stat are 10 ms coarse).
  local before=-1
  cpu=0
  for _ in $(seq 40); do
    cpu=$(cat /proc/"$pid"/task/*/schedstat | awk '{ ns += $1 } END { printf "%.1f", ns / 1e6 }')
    awk -v a="$before" -v b="$cpu" 'BEGIN { exit !(b - a < 0.2) }' && break
    before=$cpu
    sleep 0.05
  done
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  rm -f "$work/kavro.ini"
  echo "$(((end - start) / 1000000)) $cpu"
}

median() { sort -g | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }

for _ in $(seq "$runs"); do
  measure "$work/kavro" Kavro >>"$work/kavro.txt"
  measure "$build/bench/bare_window" Bare >>"$work/bare.txt"
done
for who in kavro bare; do
  wall=$(cut -d' ' -f1 "$work/$who.txt" | median)
  cpu=$(cut -d' ' -f2 "$work/$who.txt" | median)
  echo "$who: wall ${wall} ms, cpu ${cpu} ms (median of $runs)"
done
