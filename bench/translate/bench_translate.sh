#!/usr/bin/env bash
# Makes the 3000-record workbooks (.xls by python3-xlwt, .xlsx by python3-openpyxl,
# .ods from the .xlsx by LibreOffice when soffice is there) and runs bench_translate.
# Usage: bench/translate/bench_translate.sh [BUILD_DIR] [RUNS]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
runs=${2:-15}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
/usr/bin/python3 "$root/tests/core/translate/fixtures/make_fixtures.py" --bench "$work"
if command -v soffice >/dev/null; then
  soffice --headless "-env:UserInstallation=file://$work/profile" --convert-to ods --outdir "$work" \
    "$work/sdo_3000.xlsx" >/dev/null 2>&1
fi
QT_QPA_PLATFORM=offscreen "$build/bench/translate/bench_translate" "$work" "$runs"
