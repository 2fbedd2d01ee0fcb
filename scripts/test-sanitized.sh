#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer into
# build-asan/ and runs the whole test suite there.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSIRO_SANITIZE=ON -DTESSIRO_BENCH=OFF >/dev/null
# Shared build machines: JOBS (default 2) caps the compile jobs.
cmake --build build-asan --parallel "${JOBS:-2}"
# Qt keeps some process-long allocations on purpose; leaks are not what this run looks for.
ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  QT_QPA_PLATFORM=offscreen ctest --test-dir build-asan --output-on-failure --timeout 900
