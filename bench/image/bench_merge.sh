#!/usr/bin/env bash
# Times the firmware merge chain (tessiro-cli firmware) on a synthetic master
# firmware of about 4 MB of S2 records, side by side with srec_cat doing the same
# bank replacement and with a plain copy of the file (the I/O floor).
#
# Usage: bench/image/bench_merge.sh [BUILD_DIR] [RUNS]
#   BUILD_DIR  the build tree holding bin/tessiro-cli (default: build)
#   RUNS       runs of each command, interleaved (default: 21); medians are compared
# Needs bash 5 (EPOCHREALTIME), srec_cat (Debian srecord), cp, dd and awk.
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
runs=${2:-21}
cli=$build/bin/tessiro-cli
if [ ! -x "$cli" ]; then
  echo "tessiro-cli not found in $build/bin; build it first: ninja -C build tessiro-cli" >&2
  exit 1
fi
command -v srec_cat >/dev/null || { echo "srec_cat not found (Debian package srecord)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# Same record layout for the master and for srec_cat's output: 32 data bytes per
# S2 record, CR LF, header kept, S8 end record, no count record.
format=(-motorola -obs 32 -address-length=3 -disable=data-count -crlf)

# 0x1A4000 bytes from 0x300000 to 0x4A4000: every bank range lies inside.
head -c $((0x1A4000)) /dev/urandom > image.bin
srec_cat image.bin -binary -offset 0x300000 -o master.sx "${format[@]}" \
  -header=QK4471 -execution-start-address=0x300000
mkdir -p project/bin
for k in 1 2 3 4 5; do head -c 16384 /dev/urandom > "project/bin/bank$k.bin"; done

run_tessiro() { "$cli" firmware project master.sx; }
run_srec_cat() {
  srec_cat master.sx -exclude 0x388000 0x38C000 -exclude 0x398000 0x39C000 \
    project/bin/bank1.bin -binary -offset 0x388000 \
    project/bin/bank2.bin -binary -offset 0x398000 \
    -o srec_cat.sx "${format[@]}"
}
run_copy() { cp master.sx copy.sx; }
# The merge replaces its result safely (synced before it takes the old file's
# place); this is the same floor for a copy.
run_synced_copy() { dd if=master.sx of=synced.sx bs=4M conv=fsync status=none; }
run_startup() { "$cli" --version >/dev/null; }

# Both merges must give the same file, or the timing compares different work.
run_tessiro
run_srec_cat
cmp -s project/New_master.sx srec_cat.sx || { echo "tessiro and srec_cat outputs differ" >&2; exit 1; }

names=(tessiro srec_cat copy synced_copy startup)
declare -A times=()
for ((i = 0; i < runs; i++)); do
  for name in "${names[@]}"; do
    # EPOCHREALTIME needs no extra process, which would blur the small figures.
    start=${EPOCHREALTIME/[.,]/}
    "run_$name"
    end=${EPOCHREALTIME/[.,]/}
    times[$name]+="$((end - start)) "
  done
done

median() { tr ' ' '\n' | grep -v '^$' | sort -n | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }
declare -A med=()
for name in "${names[@]}"; do med[$name]=$(median <<<"${times[$name]}"); done

size=$(stat -c %s master.sx)
lines=$(wc -l < master.sx)
awk -v size="$size" -v lines="$lines" -v runs="$runs" -v t="${med[tessiro]}" -v s="${med[srec_cat]}" \
    -v c="${med[copy]}" -v y="${med[synced_copy]}" -v u="${med[startup]}" 'BEGIN {
  printf "master firmware: %d bytes, %d lines; %d runs each, interleaved; medians of whole commands\n", size, lines, runs
  printf "  %-38s %8.2f ms\n", "tessiro-cli firmware (merge chain)", t / 1000
  printf "  %-38s %8.2f ms\n", "srec_cat (same replacement)", s / 1000
  printf "  %-38s %8.2f ms\n", "cp (I/O floor)", c / 1000
  printf "  %-38s %8.2f ms\n", "dd conv=fsync (floor of a synced copy)", y / 1000
  printf "  %-38s %8.2f ms\n", "tessiro-cli --version (start-up only)", u / 1000
  printf "  srec_cat / tessiro          = %5.2f   (goal: above 1)\n", s / t
  printf "  tessiro / cp                = %5.2f   (goal: at most 2)\n", t / c
  printf "  tessiro / synced copy       = %5.2f\n", t / y
  printf "  chain without start-up / cp = %5.2f\n", (t - u) / c
}'
