#!/usr/bin/env bash
# Fails when runtime/, engine/ or game/ use a floating-point type or literal.
# Comments and string literals are stripped first so that prose may say "double".
set -euo pipefail
root=$1
status=0
while IFS= read -r -d '' file; do
    hits=$(sed -e 's://.*$::' -e 's:"[^"]*"::g' "$file" |
        perl -0pe 's:/\*.*?\*/::gs' |
        grep -nE '\b(float|double)\b|\b[0-9]+\.[0-9]*([eE][-+]?[0-9]+)?[fF]?\b|#include\s*<(cmath|math\.h|cfloat|float\.h)>' || true)
    if [[ -n "$hits" ]]; then
        echo "$file:"
        printf '  %s\n' "$hits"
        status=1
    fi
done < <(find "$root/runtime" "$root/engine" "$root/game" -type f \( -name '*.cpp' -o -name '*.h' \) -print0 2>/dev/null)
[[ $status -eq 0 ]] && echo "no floating point in runtime/, engine/, game/"
exit $status
