#!/usr/bin/env bash
# Fails when a source folder includes a folder above it, or a sibling on its own
# level (two subsystems, or the main window and the command-line tool).
# The levels, top to bottom; folders on one line are siblings.
# Usage: check-layers.sh [SOURCE_ROOT]   (the checkout by default)
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"

levels=(
    "app"
    "shell cli"
    "config image eds xmlview translate"
    "workbook"
    "widgets"
    "project"
    "base"
)

declare -A level
for i in "${!levels[@]}"; do
    for dir in ${levels[$i]}; do
        level[$dir]=$i
    done
done

status=0
for path in src/*/; do
    dir=$(basename "$path")
    if [[ -z "${level[$dir]+set}" ]]; then
        echo "src/$dir has no level in scripts/check-layers.sh" >&2
        status=1
        continue
    fi
    while IFS=: read -r file line text; do
        target=${text#*\"}
        target=${target%%/*}
        [[ "$target" == "$dir" ]] && continue
        if [[ -z "${level[$target]+set}" ]]; then
            echo "$file:$line: includes src/$target, which has no level" >&2
            status=1
        elif ((level[$target] <= level[$dir])); then
            echo "$file:$line: src/$dir must not include src/$target ($text)" >&2
            status=1
        fi
    done < <(grep -Hn '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[A-Za-z_]*/' -r "src/$dir" || true)
done

if ((status == 0)); then
    echo "Layers hold: no folder includes one above it or a sibling."
fi
exit $status
