#!/usr/bin/env bash
# Fails when a source file includes a header of a higher layer, or of another folder
# on its own layer. The layers, from the top: setup > pages > script > uninstall >
# catalogue and controls > support > resources. Tests and tools may use any layer.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"

declare -A rank=(
    [setup]=6 [pages]=5 [script]=4 [uninstall]=3
    [catalogue]=2 [controls]=2 [support]=1 [resources]=0
)

status=0
for dir in "${!rank[@]}"; do
    while IFS= read -r -d '' file; do
        while IFS=: read -r line target; do
            used="${target%%/*}"
            [ "$used" = "$target" ] && continue        # a header beside the file
            [ -n "${rank[$used]:-}" ] || continue      # not one of ours
            [ "$used" = "$dir" ] && continue
            if [ "${rank[$used]}" -ge "${rank[$dir]}" ]; then
                echo "$file:$line: includes $target (layer $used is not below $dir)"
                status=1
            fi
        done < <(grep -no '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"]*"' "$file" |
                 sed -E 's/^([0-9]+):.*"([^"]*)"/\1:\2/')
    done < <(find "$dir" -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.rc' -o -name '*.rc.in' \) -print0)
done
[ $status -eq 0 ] && echo "layers: every include points down"
exit $status
