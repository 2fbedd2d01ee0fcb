#!/usr/bin/env bash
# The layer check passes on the checkout and fails on each kind of planted include.
set -uo pipefail
root=$1
check="$root/scripts/check-layers.sh"
fail=0

bash "$check" "$root" >/dev/null || { echo "FAIL: the checkout breaks its own layers"; fail=1; }

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
plant() { # DIR FILE INCLUDE EXPECTED
    rm -rf "$tmp/src" && mkdir -p "$tmp/src/base" "$tmp/src/project" "$tmp/src/translate" "$tmp/src/image" "$tmp/src/$1"
    printf '#include "base/TessiroError.h"\n#include <QString>\n#include "%s"\n' "$3" >"$tmp/src/$1/$2"
    local out
    if out=$(bash "$check" "$tmp" 2>&1); then
        echo "FAIL: $1/$2 including $3 passed"
        fail=1
    elif [[ "$out" != *"$4"* ]]; then
        echo "FAIL: $1/$2 including $3 said: $out"
        fail=1
    fi
}
plant base Paths.cpp project/ProjectStore.h "src/base/Paths.cpp:3: src/base must not include src/project"
plant project X.h widgets/Style.h "src/project/X.h:3: src/project must not include src/widgets"
plant translate Y.cpp image/BankImage.h "src/translate/Y.cpp:3: src/translate must not include src/image"
plant cli Z.cpp shell/QtSeams.h "src/cli/Z.cpp:3: src/cli must not include src/shell"
plant gadgets W.cpp base/Paths.h "src/gadgets has no level"
plant image V.cpp nowhere/Thing.h "includes src/nowhere, which has no level"

[[ $fail == 0 ]] && echo "The layer check holds the floors."
exit $fail
