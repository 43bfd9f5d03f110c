#!/usr/bin/env bash
# Fails when a source file is not as clang-format, with .clang-format, would write it.
# The payload's library sources are the library's own and are left out.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"
status=0
count=0
while IFS= read -r file; do
    count=$((count + 1))
    if ! clang-format --style=file "$file" | cmp -s - "$file"; then
        echo "$file: not formatted (clang-format -i $file)"
        status=1
    fi
done < <(git ls-files '*.cpp' '*.h' | grep -v '^resources/payload/')
[ $status -eq 0 ] && echo "format: $count files as clang-format writes them"
exit $status
