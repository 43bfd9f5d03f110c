#!/usr/bin/env bash
# Builds both architectures and runs every test: the x86_64 build under Wine and
# the shipping build (i686) in the 32-bit Wine root's WoW64 machines, on a virtual
# display, in sandboxed Wine prefixes of the build tree. CVL_BUILD_ROOT chooses
# another build tree (default: build/); arguments go to ctest.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"

tools/install-tools.sh
# CVL_NO_BUILD=1 runs the tests of the build that is there.
[ -n "${CVL_NO_BUILD:-}" ] || tools/build.sh

export CVL_BUILD_ROOT="${CVL_BUILD_ROOT:-$ROOT/build}"
# The i686 runs' Wine (made once, kept in the build tree). Should making it fail,
# those runs are skipped with the reason, and the others go on.
tools/make-wine32-root.sh || true
source tools/wine-env.sh
make_base_prefix

# The display comes first: Wine's desktop process binds to the display that exists
# when its wineserver starts.
if [ -z "${CVL_KEEP_DISPLAY:-}" ] || [ -z "${DISPLAY:-}" ]; then
    read -r display xvfb_pid < <(start_xvfb)
    export DISPLAY="$display"
fi
export WINEPREFIX="$CVL_BUILD_ROOT/wine/unit"
fresh_prefix "$WINEPREFIX"
cleanup() {
    stop_wineserver "$WINEPREFIX"
    [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
start_wineserver "$WINEPREFIX"

status=0
ctest --test-dir "$CVL_BUILD_ROOT/x64" --output-on-failure -j2 --timeout 300 "$@" || status=$?
# The whole run (no ctest arguments) also proves the shipping build reproducible.
if [ $# -eq 0 ] && [ -z "${CVL_NO_REPRODUCIBLE:-}" ]; then
    tools/check-reproducible.sh || status=1
fi
exit "$status"
