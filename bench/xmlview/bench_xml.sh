#!/usr/bin/env bash
# The XML viewer's benchmarks, each side by side with its peer on one generated
# document of about 10 MB, whole processes, runs alternating:
#   the reader (ReadXMLFile)      against pugixml's load_file, time and peak memory;
#   tessiro-cli xml-tree FILE     against xmllint --noout FILE.
# Prints the minimum and the median of each and their ratios.
#
# Usage: bench/xmlview/bench_xml.sh [BUILD_DIR] [RUNS]
#   BUILD_DIR  the build tree holding bin/tessiro-cli (default: build)
#   RUNS       runs of each command (default: 21)
# Builds the benchmark program into build-bench. Needs bash 5 (EPOCHREALTIME),
# xmllint (Debian libxml2-utils), awk and sort.
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
runs=${2:-21}
cli=$build/bin/tessiro-cli
if [ ! -x "$cli" ]; then
  echo "tessiro-cli not found in $build/bin; build it first: ninja -C build tessiro-cli" >&2
  exit 1
fi
command -v xmllint >/dev/null || { echo "xmllint not found (Debian package libxml2-utils)" >&2; exit 1; }
cmake -S "$root/bench/xmlview" -B "$root/build-bench" -G Ninja >/dev/null
ninja -C "$root/build-bench" >/dev/null
bench=$root/build-bench/bench_xmlreader

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
"$bench" generate doc.xml
size=$(stat -c %s doc.xml)

# Every side must read the document, or the timing compares different work.
"$bench" reader doc.xml >/dev/null
"$bench" pugixml doc.xml >/dev/null
"$cli" xml-tree doc.xml >/dev/null
xmllint --noout doc.xml

# Peak memory (KiB) of the last run of each bench side, kept for the medians.
run_reader() { "$bench" reader doc.xml >peak; }
run_pugixml() { "$bench" pugixml doc.xml >peak; }
run_idle() { "$bench" idle doc.xml >peak; }
run_xml_tree() { "$cli" xml-tree doc.xml >/dev/null; echo 0 >peak; }
run_xmllint() { xmllint --noout doc.xml; echo 0 >peak; }

names=(reader pugixml xml_tree xmllint idle)
declare -A times=() peaks=()
for ((i = 0; i < runs; i++)); do
  for name in "${names[@]}"; do
    # EPOCHREALTIME needs no extra process, which would blur the figures.
    start=${EPOCHREALTIME/[.,]/}
    "run_$name"
    end=${EPOCHREALTIME/[.,]/}
    times[$name]+="$((end - start)) "
    peaks[$name]+="$(cat peak) "
  done
done

stat_of() { tr ' ' '\n' | grep -v '^$' | sort -n | awk -v what="$1" '{v[NR]=$1} END {print what == "min" ? v[1] : v[int((NR+1)/2)]}'; }
declare -A tmin=() tmed=() pmed=()
for name in "${names[@]}"; do
  tmin[$name]=$(stat_of min <<<"${times[$name]}")
  tmed[$name]=$(stat_of median <<<"${times[$name]}")
  pmed[$name]=$(stat_of median <<<"${peaks[$name]}")
done

awk -v size="$size" -v runs="$runs" \
    -v rmin="${tmin[reader]}" -v rmed="${tmed[reader]}" -v pgmin="${tmin[pugixml]}" -v pgmed="${tmed[pugixml]}" \
    -v tmin="${tmin[xml_tree]}" -v tmed="${tmed[xml_tree]}" -v lmin="${tmin[xmllint]}" -v lmed="${tmed[xmllint]}" \
    -v imin="${tmin[idle]}" -v imed="${tmed[idle]}" \
    -v rpk="${pmed[reader]}" -v ppk="${pmed[pugixml]}" -v ipk="${pmed[idle]}" 'BEGIN {
  mb = size / 1048576
  printf "document: %d bytes (%.1f MB); %d runs each, alternating; whole processes\n", size, mb, runs
  printf "  %-40s %8s %8s\n", "", "min ms", "median"
  printf "  %-40s %8.1f %8.1f\n", "reader (ReadXMLFile)", rmin / 1000, rmed / 1000
  printf "  %-40s %8.1f %8.1f\n", "pugixml (load_file)", pgmin / 1000, pgmed / 1000
  printf "  %-40s %8.1f %8.1f\n", "tessiro-cli xml-tree > /dev/null", tmin / 1000, tmed / 1000
  printf "  %-40s %8.1f %8.1f\n", "xmllint --noout", lmin / 1000, lmed / 1000
  printf "  %-40s %8.1f %8.1f\n", "the benchmark program, reading nothing", imin / 1000, imed / 1000
  printf "peak resident memory per MB of input (above the idle program; whole process in brackets)\n"
  printf "  reader   %5.2f MB (%5.2f MB)\n", (rpk - ipk) / 1024 / mb, rpk / 1024 / mb
  printf "  pugixml  %5.2f MB (%5.2f MB)\n", (ppk - ipk) / 1024 / mb, ppk / 1024 / mb
  printf "ratios (min / median)\n"
  printf "  reader / pugixml           %5.2f / %5.2f   (goal: median at most 1.0)\n", rmin / pgmin, rmed / pgmed
  printf "  reader / pugixml, memory   %5.2f           (goal: at most 1.0)\n", (rpk - ipk) / (ppk - ipk)
  printf "  xml-tree / xmllint         %5.2f / %5.2f   (goal: median at most 0.8)\n", tmin / lmin, tmed / lmed
}'
