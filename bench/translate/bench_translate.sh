#!/usr/bin/env bash
# Makes the 3000-record workbooks (.xls by python3-xlwt; .xlsx and .ods saved from
# it by LibreOffice, as users' files are, when soffice is there, else the .xlsx by
# python3-openpyxl and no .ods) and runs bench_translate.
# Usage: [BENCH_KEEP_HEAP=1] bench/translate/bench_translate.sh [BUILD_DIR] [RUNS]
# (BENCH_KEEP_HEAP=1 keeps freed memory in the process: the work without page
# faults; bench/translate/RESULTS.md has the figures both ways.)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
runs=${2:-15}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
/usr/bin/python3 "$root/tests/core/translate/fixtures/make_fixtures.py" --bench "$work"
if command -v soffice >/dev/null; then
  for fmt in xlsx ods; do
    soffice --headless "-env:UserInstallation=file://$work/profile" --convert-to $fmt --outdir "$work" \
      "$work/sdo_3000.xls" >/dev/null 2>&1
  done
fi
QT_QPA_PLATFORM=offscreen "$build/bin/bench_translate" "$work" "$runs"
