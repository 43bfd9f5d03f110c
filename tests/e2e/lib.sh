# Shared by the end-to-end scenarios: a fresh, sandboxed Wine machine per scenario,
# with its own wineserver, and helpers to run the built programs inside it.
set -euo pipefail
: "${CVL_SOURCE:?}" "${CVL_BIN:?}" "${CVL_BUILD_ROOT:?}"

# A command that stops the scenario (set -e) says which one it was, so that no
# failure goes without a line; failures in subshells and background jobs are left
# to their callers.
set -E
trap 'on_error $? "${BASH_SOURCE[0]##*/}:$LINENO" "$BASH_COMMAND"' ERR
on_error() {
    [ "$BASHPID" = "$$" ] || return 0
    echo "FAIL: $2: [$3] ended with status $1" >&2
}

# The deadline, in seconds, of a wait on the programs under test (a window, a text,
# a file, a process). A wait ends as soon as its condition holds, so a passing run
# does not get slower for it; under load (both cores busy, a first start of Wine)
# something that takes a second can take many. uidriver.exe has the same deadline
# for its own waits.
PATIENCE=60
# The same for a whole installation or removal run.
RUN_PATIENCE=$((3 * PATIENCE))
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

# driver COMMAND ARGS...: uidriver.exe. The driver prints a line on every failure of
# its own, so a failure without a word is Wine not starting it (now and then under
# load, Wine ends a program at once): that start is tried once more.
driver() {
    local out err rc try
    out="$(mktemp)" err="$(mktemp)"
    for try in 1 2; do
        rc=0
        win "$DRIVER_EXE" "$@" >"$out" 2>"$err" || rc=$?
        [ "$rc" -ne 0 ] && [ ! -s "$out" ] && [ ! -s "$err" ] && [ "$try" -eq 1 ] || break
        echo "driver $1: Wine ended it with status $rc before it said anything; starting it once more" >&2
    done
    cat "$out"; cat "$err" >&2
    rm -f "$out" "$err"
    return "$rc"
}

# fail WHAT: ends the scenario, naming what failed and the Windows programs that
# were running in its machine then (Wine's own services left out).
fail() {
    echo "FAIL: $*" >&2
    [ -n "${WINEPREFIX:-}" ] && echo "Windows programs running: $(programs_running)" >&2
    exit 1
}

expect_eq() {
    local what="$1" got="$2" want="$3"
    [ "$got" == "$want" ] || fail "$what: got [$got], want [$want]"
}

# wait_eq WHAT WANT COMMAND...: runs COMMAND until it prints WANT (at most
# WAIT_SECONDS, default PATIENCE), for windows that change after a posted click.
wait_eq() {
    local what="$1" want="$2" got="" err="" deadline=$((SECONDS + ${WAIT_SECONDS:-$PATIENCE}))
    shift 2
    err="$(mktemp)"
    while :; do
        got="$("$@" 2>"$err" || true)"
        [ "$got" == "$want" ] && { rm -f "$err"; return 0; }
        [ "$SECONDS" -lt "$deadline" ] || break
        sleep 0.2
    done
    local said
    said="$(head -c 2000 "$err")"
    rm -f "$err"
    fail "$what: got [$got]${said:+ (and on its error output: $said)} after ${WAIT_SECONDS:-$PATIENCE} s, want [$want]"
}

# wait_until WHAT COMMAND...: runs COMMAND until it succeeds (at most WAIT_SECONDS,
# default PATIENCE); the failure names WHAT and what COMMAND printed last.
wait_until() {
    local what="$1" out=""
    shift
    out="$(wait_quietly "$@")" && return 0
    fail "$what: not within ${WAIT_SECONDS:-$PATIENCE} s${out:+ ($out)}"
}

# wait_quietly COMMAND...: as wait_until, but a time-out is a result: status 1, and
# what COMMAND printed last on the output.
wait_quietly() {
    local out="" deadline=$((SECONDS + ${WAIT_SECONDS:-$PATIENCE}))
    while :; do
        out="$("$@" 2>&1)" && return 0
        [ "$SECONDS" -lt "$deadline" ] || break
        sleep 0.1
    done
    echo "$out"
    return 1
}

# wait_finish CAPTION: waits until the wizard's run has ended on its Finish page (at
# most RUN_PATIENCE); an error box or a question during the run fails at once with
# its text.
wait_finish() {
    local deadline=$((SECONDS + RUN_PATIENCE))
    while [ "$(driver text "$1" 2 2>/dev/null)" != "Finish" ]; do
        if driver wait Error 0 >/dev/null 2>&1; then fail "error box: $(driver answer Error 1)"; fi
        if driver wait Install 0 >/dev/null 2>&1; then fail "box: $(driver answer Install 2)"; fi
        [ "$SECONDS" -lt "$deadline" ] || fail "no Finish page within $RUN_PATIENCE s: $(driver text "$1" 256 2>&1)"
        sleep 0.2
    done
}

# removal_over DIR: DIR and the uninstaller's copy in the temporary folder are gone;
# else says what is left.
removal_over() {
    local copy
    copy="$(find "$C/users" -name 'cvlunbrd*.exe' 2>/dev/null)"
    [ ! -e "$1" ] && [ -z "$copy" ] && return 0
    echo "left: $(ls -A "$1" 2>&1) $copy"
    return 1
}

# page_says CAPTION TEXT: the window's page text (control 256) holds TEXT; else
# prints the page text.
page_says() {
    local page
    page="$(driver text "$1" 256)"
    [[ "$page" == *"$2"* ]] && return 0
    echo "the page says [$page]"
    return 1
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
standins_running() { running_here 'dcc32|dcc64|make\.exe'; }

# running_here PATTERN: the command lines of this machine's Windows processes that
# match PATTERN (pgrep's, case-insensitive), "; "-separated; empty when none.
running_here() {
    local pid left=""
    for pid in $(pgrep -f -i "$1" || true); do
        { tr '\0' '\n' <"/proc/$pid/environ"; } 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" \
            && left+="$({ tr '\0' ' ' <"/proc/$pid/cmdline"; } 2>/dev/null); "
    done
    echo "$left"
}

# programs_running: this machine's Windows processes by their command lines (a
# Windows path, or the Linux path of a program that was started by it), but for
# Wine's own (services, the desktop, devices).
programs_running() {
    running_here '^([A-Za-z]:\\|/[^ ]*\.exe)' | tr ';' '\n' | sed 's/^ *//; s/ *$//' |
        grep -v -i -e '^$' -e '\\windows\\system32\\\(services\|explorer\|winedevice\|plugplay\|svchost\|rpcss\|conhost\|tabtip\)\.exe' |
        paste -sd ';' - | sed 's/;/; /g'
}

# no_standins: no stand-in compiler runs in this machine; else prints those that run.
no_standins() {
    local left
    left="$(standins_running)"
    [ -z "$left" ] && return 0
    echo "still running: $left"
    return 1
}
