#!/usr/bin/env bash
# Builds the libFuzzer harnesses with clang into build-fuzz/ and runs each for
# SECONDS (default 30) on a copy of its seed corpus. Fails on the first finding.
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_EACH="${1:-30}"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTESSIRO_FUZZ=ON -DTESSIRO_WERROR=OFF >/dev/null
cmake --build build-fuzz --target fuzzers
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
# Harnesses that write files do so under TMPDIR: a RAM disk keeps fsync cheap.
[ -d /dev/shm ] && export TMPDIR=/dev/shm
for harness in build-fuzz/fuzz/fuzz_*; do
  [ -f "$harness" ] && [ -x "$harness" ] || continue
  name="$(basename "$harness")"
  corpus="$work/$name"
  mkdir -p "$corpus"
  cp -r "fuzz/corpus/${name#fuzz_}/." "$corpus/" 2>/dev/null || true
  echo "fuzzing $name for ${SECONDS_EACH}s"
  ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=halt_on_error=1 \
    "$harness" -max_total_time="$SECONDS_EACH" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$work/" "$corpus" 2>"$work/$name.log" || { tail -40 "$work/$name.log"; exit 1; }
  grep -E "stat::number_of_executed_units|DONE" "$work/$name.log" | sed "s/^/  $name /"
done
echo "fuzzing: every harness ran clean."
