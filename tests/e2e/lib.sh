# Shared by the end-to-end scenarios: a fresh, sandboxed Wine machine per scenario,
# with its own wineserver, and helpers to run the built programs inside it.
set -euo pipefail
: "${CVL_SOURCE:?}" "${CVL_BIN:?}" "${CVL_BUILD_ROOT:?}"
source "$CVL_SOURCE/tools/wine-env.sh"
source "$CVL_SOURCE/tools/wine32.sh"

SETUP_EXE="$CVL_BIN/setup.exe"
DRIVER_EXE="$CVL_BIN/uidriver.exe"

# The system directory as the program under test sees it, below drive_c: a 32-bit
# program on 64-bit Windows writes its system32 into syswow64.
SYSDIR=windows/system32
[ -f "$SETUP_EXE" ] && [ "$(pe_machine "$SETUP_EXE")" = 014c ] && SYSDIR=windows/syswow64

# new_machine NAME: a fresh copy of the base prefix; exports WINEPREFIX and C (its drive_c).
new_machine() {
    export WINEPREFIX="$CVL_BUILD_ROOT/wine/e2e/$1"
    fresh_prefix "$WINEPREFIX"
    C="$WINEPREFIX/drive_c"
    start_wineserver "$WINEPREFIX"
    trap 'stop_wineserver "$WINEPREFIX"; rm -rf "$WINEPREFIX"' EXIT
}

# win_in DIR PROGRAM ARGS...: runs a Windows program with DIR (below drive_c) as its
# current directory.
win_in() {
    local dir="$1"; shift
    (cd "$dir" && wine "$@")
}

# win PROGRAM ARGS...: runs a Windows program in C:\run.
win() { win_in "$C/run" "$@"; }

driver() { win "$DRIVER_EXE" "$@"; }

fail() { echo "FAIL: $*" >&2; exit 1; }

expect_eq() {
    local what="$1" got="$2" want="$3"
    [ "$got" == "$want" ] || fail "$what: got [$got], want [$want]"
}

# wait_eq WHAT WANT COMMAND...: runs COMMAND until it prints WANT (at most
# WAIT_SECONDS, default 10 s), for windows that change after a posted click.
wait_eq() {
    local what="$1" want="$2" got="" i
    shift 2
    for i in $(seq 1 $(( ${WAIT_SECONDS:-10} * 5 ))); do
        got="$("$@" 2>/dev/null || true)"
        [ "$got" == "$want" ] && return 0
        sleep 0.2
    done
    fail "$what: got [$got], want [$want]"
}

# Registry of the machine as text, for before/after comparisons. It is exported
# through the running wineserver: a persistent server writes the prefix's .reg files
# only now and then, and `wineserver -w` would wait for it to end.
registry_dump() {
    local hive
    for hive in HKLM HKCU; do
        (cd "$C" && wine reg export "$hive" 'C:\registry_dump.reg' /y) </dev/null >/dev/null 2>&1 || true
        iconv -f UTF-16LE -t UTF-8 "$C/registry_dump.reg" 2>/dev/null | tr -d '\r' || true
        rm -f "$C/registry_dump.reg"
    done
}

# standins_running: the command lines of the stand-in compilers still running in
# this machine, "; "-separated; empty when none. Wine runs each Windows process as
# a host process whose command line is the Windows one; this machine's are those
# with its WINEPREFIX.
standins_running() {
    local pid left=""
    for pid in $(pgrep -f -i 'dcc32|dcc64|make\.exe' || true); do
        { tr '\0' '\n' <"/proc/$pid/environ"; } 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" \
            && left+="$({ tr '\0' ' ' <"/proc/$pid/cmdline"; } 2>/dev/null); "
    done
    echo "$left"
}
