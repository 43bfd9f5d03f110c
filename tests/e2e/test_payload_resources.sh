#!/usr/bin/env bash
# The payload inside the built setup.exe of both architectures: the 297 CVLIB
# resources of the manifest, each in its language and with the exact bytes of
# its source. Read from the PE files on the host; no Wine machine needed.
set -euo pipefail
: "${CVL_SOURCE:?}" "${CVL_BIN:?}" "${CVL_BUILD_ROOT:?}"
CHECK="$CVL_SOURCE/tests/e2e/payload/check_resources.py"
MANIFEST="$CVL_SOURCE/resources/payload/manifest.tsv"
PAYLOAD="$CVL_SOURCE/resources/payload"

fail() { echo "FAIL: $*" >&2; exit 1; }

[ "$(wc -l < "$MANIFEST")" -eq 297 ] || fail "manifest has $(wc -l < "$MANIFEST") lines, want 297"
[ "$(cut -f2 "$MANIFEST" | grep -c '^1049$')" -eq 38 ] || fail "want 38 resources in language 1049"

python3 "$CHECK" "$CVL_BIN/setup.exe" "$MANIFEST" "$PAYLOAD" "$(dirname "$CVL_BIN")"

# The shipping build, when this tree has it (tools/build.sh makes both).
X86="$CVL_BUILD_ROOT/x86"
if [ -f "$X86/bin/setup.exe" ]; then
    python3 "$CHECK" "$X86/bin/setup.exe" "$MANIFEST" "$PAYLOAD" "$X86"
fi

# A damaged manifest line must be reported, not skipped.
BAD="$(mktemp)"
trap 'rm -f "$BAD"' EXIT
sed '1s/\t0\t/\t1049\t/' "$MANIFEST" > "$BAD"
if python3 "$CHECK" "$CVL_BIN/setup.exe" "$BAD" "$PAYLOAD" "$(dirname "$CVL_BIN")" 2>/dev/null; then
    fail "a language that differs from the manifest was not reported"
fi
echo "payload resources: ok"
