#!/usr/bin/env bash
# Start-up of tessiro against an empty Qt Widgets program (a window of the same size),
# offscreen: time from launch to the first painted window, and resident memory at that
# moment. A second peer adds one line of text to that window: the first text loads the
# font database, a cost every window with words pays. All programs run unchanged with
# the same preloaded probe (firstpaint.cpp).
#
# Usage: bench/startup/bench_startup.sh [BUILD_DIR] [RUNS]
#   BUILD_DIR  the build tree holding bin/tessiro (default: build)
#   RUNS       runs of each program, alternating (default: 21)
# Needs bash 5 (EPOCHREALTIME), Linux (/proc, LD_PRELOAD), cmake, ninja and awk.
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
runs=${2:-21}
if [ ! -x "$build/bin/tessiro" ]; then
  echo "tessiro not found in $build/bin; build it first: ninja -C build tessiro" >&2
  exit 1
fi
bench=$build/bench-startup
cmake -S "$root/bench/startup" -B "$bench" -G Ninja >/dev/null
ninja -C "$bench" >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# tessiro makes MASTER and PROJECTS beside itself: a copy keeps the build tree clean.
cp "$build/bin/tessiro" "$work/tessiro"

export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$work
probe=$bench/libfirstpaint.so

# Prints "milliseconds-to-first-paint resident-kB" for one run of the program $1.
one_run() {
  local start=${EPOCHREALTIME/[.,]/}
  local out
  out=$(LD_PRELOAD=$probe "$1" 2>/dev/null)
  awk -v s="$start" '{ printf "%.3f %d\n", ($1 - s) / 1000, $2 }' <<<"$out"
}

programs=(empty "$bench/empty_widgets" text "$bench/text_window" tessiro "$work/tessiro")
# One warm-up run each (the first start of tessiro makes its directories), then alternate.
for ((k = 0; k < ${#programs[@]}; k += 2)); do
  one_run "${programs[k + 1]}" >/dev/null
  : >"$work/${programs[k]}.txt"
done
for ((i = 0; i < runs; i++)); do
  for ((k = 0; k < ${#programs[@]}; k += 2)); do
    one_run "${programs[k + 1]}" >>"$work/${programs[k]}.txt"
  done
done

# min and median of column $2 of file $1
stats() { cut -d' ' -f"$2" "$1" | sort -g | awk '{ v[NR] = $1 } END { printf "%s %s\n", v[1], v[int((NR + 1) / 2)] }'; }

# "min median" of column $2 of the runs of program $1, in ms or MB
stats() {
  cut -d' ' -f"$2" "$work/$1.txt" | sort -g |
    awk -v mb="$3" '{ v[NR] = mb ? $1 / 1024 : $1 } END { printf "%.1f %.1f\n", v[1], v[int((NR + 1) / 2)] }'
}
line() { # label unit column mb
  read -r e1 e2 < <(stats empty "$3" "$4")
  read -r x1 x2 < <(stats text "$3" "$4")
  read -r t1 t2 < <(stats tessiro "$3" "$4")
  awk -v l="$1" -v u="$2" -v e1="$e1" -v e2="$e2" -v x1="$x1" -v x2="$x2" -v t1="$t1" -v t2="$t2" 'BEGIN {
    printf "  %-12s empty %5.1f / %5.1f %s   text %5.1f / %5.1f %s   tessiro %5.1f / %5.1f %s\n", l, e1, e2, u, x1, x2, u, t1, t2, u
    printf "  %-12s tessiro/empty %.2f / %.2f x (goal <= 1.2)   tessiro/text %.2f / %.2f x\n", "", t1 / e1, t2 / e2, t1 / x1, t2 / x2 }'
}

echo "startup, offscreen, $runs alternating runs each (min / median)"
line "first paint" ms 1 0
line "resident" MB 2 1
