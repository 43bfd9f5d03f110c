#!/usr/bin/env bash
# Runs one end-to-end scenario against the shipping build (i686) in a WoW64 Wine
# machine (wine64 + wine32) of the 32-bit Wine root. The scenario itself is the
# same script the x86_64 run uses; what changes is the environment it gets:
#   - PATH starts with tools/wine32, so wine, wineserver, winepath and wineboot
#     are the root's;
#   - CVL_BUILD_ROOT is $CVL_BUILD_ROOT/i686, a tree of its own for the base
#     prefix, the scenario machines and the screenshots, so the two runs of one
#     scenario never share a machine;
#   - CVL_BIN is its bin/: the i686 programs (setup.exe, unbrd.exe,
#     cvlabout.dll) and, for all the rest, the x86_64 test helpers, which run in
#     the same WoW64 machine.
# A machine that cannot run 32-bit code skips the run (ctest's skip status 77)
# with one line that says why.
# Usage: run_i686.sh SCENARIO.sh; environment: CVL_SOURCE, CVL_BUILD_ROOT,
# CVL_X86_BIN and CVL_X64_BIN (the bin folders of the two builds).
set -euo pipefail
: "${CVL_SOURCE:?}" "${CVL_BUILD_ROOT:?}" "${CVL_X86_BIN:?}" "${CVL_X64_BIN:?}"
# A step that stops the run (set -e) says which one it was.
trap 'echo "FAIL: run_i686.sh:$LINENO: [$BASH_COMMAND] ended with status $?" >&2' ERR
scenario="$1"
source "$CVL_SOURCE/tools/wine32.sh"

reason="$(wine32_unsupported)"
if [ -n "$reason" ]; then
    echo "i686 run skipped: $reason"
    exit 77
fi
root="$(wine32_root)"
if [ -f "$root.failed" ]; then
    echo "i686 run skipped: $(cat "$root.failed")"
    exit 77
fi
if [ "$(cat "$root/.cvl-ready" 2>/dev/null)" != "$WINE32_ROOT_VERSION" ]; then
    echo "FAIL: no 32-bit Wine root in $root (tools/make-wine32-root.sh makes it; tools/test.sh runs it)" >&2
    exit 1
fi
[ -f "$CVL_X86_BIN/setup.exe" ] || { echo "FAIL: no i686 build in $CVL_X86_BIN (tools/build.sh)" >&2; exit 1; }

export CVL_WINE_ROOT="$root"
export PATH="$CVL_SOURCE/tools/wine32:$PATH"
view="$CVL_BUILD_ROOT/i686"
export CVL_BUILD_ROOT="$view"
export CVL_BIN="$view/bin"

# The view and the base prefix are made once, by whichever run comes first;
# links that exist are kept, as other runs may be using them.
mkdir -p "$view/bin"
(
    flock 9
    for f in "$CVL_X86_BIN"/* "$CVL_X64_BIN"/*; do
        [ -e "$view/bin/$(basename "$f")" ] || ln -s "$f" "$view/bin/$(basename "$f")"
    done
    # The payload.rc and the other files of the i686 build that scenarios
    # compare against are found beside bin/.
    [ -e "$view/resources" ] || ln -s "$(dirname "$CVL_X86_BIN")/resources" "$view/resources"
    source "$CVL_SOURCE/tools/wine-env.sh"
    make_base_prefix
) 9>"$view/.lock"

# The kernel may run 32-bit code and the root be there, and still 32-bit Wine not
# start a program (a kernel that lacks what Wine's 32-bit loader needs): a 32-bit
# cmd.exe that cannot give back its exit code means no i686 run can say anything.
probe_prefix="$view/wine/probe-$$"
(
    source "$CVL_SOURCE/tools/wine-env.sh"
    fresh_prefix "$probe_prefix"
) >/dev/null 2>&1
rc=0
(cd "$probe_prefix/drive_c" && WINEPREFIX="$probe_prefix" timeout 120 wine 'C:\windows\syswow64\cmd.exe' /c exit 7 \
    </dev/null >/dev/null 2>&1) || rc=$?
WINEPREFIX="$probe_prefix" wineserver -k >/dev/null 2>&1 || true
rm -rf "$probe_prefix"
if [ "$rc" -ne 7 ]; then
    echo "i686 run skipped: 32-bit Wine does not start a 32-bit program here (cmd.exe gave $rc)"
    exit 77
fi

exec bash "$scenario"
