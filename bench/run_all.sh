#!/usr/bin/env bash
# Every benchmark of the project, each side by side with its peer, one after the
# other on a built tree; each prints its own figures and ratios.
#
# Usage: bench/run_all.sh [BUILD_DIR] [RUNS]
#   BUILD_DIR  a built tree (default: build; scripts/build.sh makes it)
#   RUNS       runs of each command where a benchmark takes a count (default: 15)
# Needs what the single benchmarks need: xmllint (libxml2-utils), srec_cat (srecord),
# python3-xlwt and python3-openpyxl for the translation workbooks
# (soffice for the .ods one).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
runs=${2:-15}
export QT_QPA_PLATFORM=offscreen

echo "== XML reader against pugixml, xml-tree against xmllint"
bash "$root/bench/xmlview/bench_xml.sh" "$build" "$runs"
echo
echo "== Firmware merge against a synced copy and srec_cat"
bash "$root/bench/image/bench_merge.sh" "$build" "$runs"
echo
echo "== Start-up against an empty Qt Widgets program"
bash "$root/bench/startup/bench_startup.sh" "$build" "$runs"
echo
echo "== Translation table import (.xls, .xlsx, .ods) against minimal readers, export against python's csv"
bash "$root/bench/translate/bench_translate.sh" "$build" "$runs"
echo
echo "== Text grid of 1501 rows: paste, copy, clear"
cmake -S "$root/bench/base" -B "$build/bench-grid" -G Ninja >/dev/null
ninja -C "$build/bench-grid" >/dev/null
"$build/bench-grid/bench_textgrid"
