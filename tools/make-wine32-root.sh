#!/usr/bin/env bash
# Makes the 32-bit-capable Wine root the i686 test runs use, in
# $CVL_BUILD_ROOT/wine32-root (default: build/), unless it is there already. On a
# machine that cannot run 32-bit code it says so in one line and makes nothing;
# the i686 runs are then skipped.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export CVL_BUILD_ROOT="${CVL_BUILD_ROOT:-$ROOT/build}"
source "$ROOT/tools/wine32.sh"
reason="$(wine32_unsupported)"
if [ -n "$reason" ]; then
    echo "i686 test runs will be skipped: $reason"
    exit 0
fi
start=$SECONDS
ready="$(cat "$(wine32_root)/.cvl-ready" 2>/dev/null || true)"
failed="$(wine32_root).failed"
rm -f "$failed"
if ! make_wine32_root; then
    # The i686 runs then skip with this line instead of failing on a download.
    echo "the 32-bit Wine root could not be made (see $(wine32_root).log)" | tee "$failed"
    exit 1
fi
[ "$ready" = "$WINE32_ROOT_VERSION" ] || echo "32-bit Wine root made in $((SECONDS - start)) s"
