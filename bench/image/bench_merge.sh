#!/usr/bin/env bash
# Times the firmware merge (tessiro-cli firmware: banks 1 and 2 replaced in one
# pass, the result synced and renamed into place) on synthetic master firmware
# files of about 4, 16 and 64 MB, side by side with a synced copy of the same
# master (dd conv=fsync, the floor for writing that much safely) and with
# srec_cat doing the same bank replacement.
#
# Usage: bench/image/bench_merge.sh [BUILD_DIR] [RUNS] [SIZES_MB]
#   BUILD_DIR  the build tree holding bin/tessiro-cli (default: build)
#   RUNS       runs of each command at each size, alternating (default: 9)
#   SIZES_MB   master sizes in MB (default: "4 16 64")
# Goals (medians): tessiro / synced copy <= 1.3, tessiro / srec_cat <= 0.2.
# Needs bash 5 (EPOCHREALTIME), srec_cat (Debian srecord), dd, cmp and awk.
# The work folder lies beside the build tree, on a disk where fsync means something.
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
runs=${2:-9}
sizes=${3:-"4 16 64"}
cli=$build/bin/tessiro-cli
if [ ! -x "$cli" ]; then
  echo "tessiro-cli not found in $build/bin; build it first: ninja -C build tessiro-cli" >&2
  exit 1
fi
command -v srec_cat >/dev/null || { echo "srec_cat not found (Debian package srecord)" >&2; exit 1; }

work=$(mktemp -d "$build/bench_merge.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"
mkdir -p project/bin
for k in 1 2 3 4 5; do head -c 16384 /dev/urandom > "project/bin/bank$k.bin"; done

median() { tr ' ' '\n' | grep -v '^$' | sort -n | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }

printf '%-8s %10s %12s %12s %12s %10s %10s\n' size lines "tessiro ms" "dd sync ms" "srec_cat ms" "t/dd" "t/srec"
for mb in $sizes; do
  # 32 data bytes per record, CR LF, header kept, no count record. S2 records
  # reach 16 MB of addresses, about 39 MB of text: larger masters use S3.
  if [ "$mb" -le 32 ]; then
    length=3
    bytes=$((mb * 1048576 * 32 / 78))
  else
    length=4
    bytes=$((mb * 1048576 * 32 / 80))
  fi
  format=(-motorola -obs 32 -address-length=$length -disable=data-count -crlf)
  head -c "$bytes" /dev/urandom > image.bin
  srec_cat image.bin -binary -offset 0x300000 -o master.sx "${format[@]}" \
    -header=QK4471 -execution-start-address=0x300000

  run_tessiro() { "$cli" firmware project master.sx; }
  run_synced_copy() { dd if=master.sx of=synced.sx bs=4M conv=fsync status=none; }
  run_srec_cat() {
    srec_cat master.sx -exclude 0x388000 0x38C000 -exclude 0x398000 0x39C000 \
      project/bin/bank1.bin -binary -offset 0x388000 \
      project/bin/bank2.bin -binary -offset 0x398000 \
      -o srec_cat.sx "${format[@]}"
  }

  # Both merges must give the same file (the same data where srec_cat writes the
  # banks as S3 records), or the timing compares different work.
  run_tessiro
  run_srec_cat
  if [ "$length" -eq 3 ]; then
    cmp -s project/New_master.sx srec_cat.sx || { echo "tessiro and srec_cat outputs differ" >&2; exit 1; }
  else
    srec_cat project/New_master.sx -o ours.bin -binary
    srec_cat srec_cat.sx -o theirs.bin -binary
    cmp -s ours.bin theirs.bin || { echo "tessiro and srec_cat data differ" >&2; exit 1; }
    rm -f ours.bin theirs.bin
  fi

  names=(tessiro synced_copy srec_cat)
  declare -A times=()
  for ((i = 0; i < runs; i++)); do
    # Each round starts with another command, so none always follows the same one.
    order=("${names[@]:i%3}" "${names[@]:0:i%3}")
    for name in "${order[@]}"; do
      # Each command starts with nothing left to write back from the one before
      # (srec_cat leaves a large file dirty), so no run pays for another's data.
      sync
      # EPOCHREALTIME needs no extra process, which would blur the small figures.
      start=${EPOCHREALTIME/[.,]/}
      "run_$name"
      end=${EPOCHREALTIME/[.,]/}
      times[$name]+="$((end - start)) "
    done
  done
  t=$(median <<<"${times[tessiro]}")
  y=$(median <<<"${times[synced_copy]}")
  s=$(median <<<"${times[srec_cat]}")
  unset times
  lines=$(wc -l < master.sx)
  awk -v mb="$mb" -v size="$(stat -c %s master.sx)" -v lines="$lines" -v t="$t" -v y="$y" -v s="$s" 'BEGIN {
    printf "%-8s %10d %12.1f %12.1f %12.1f %10.2f %10.3f\n", sprintf("%.1fMB", size / 1048576), lines,
      t / 1000, y / 1000, s / 1000, t / y, t / s
  }'
  rm -f master.sx image.bin synced.sx srec_cat.sx project/New_master.sx
done
echo "medians of $runs alternating runs each; goals: t/dd <= 1.3, t/srec <= 0.2"
