# Shared by the scenarios of stopped installations and removals (sourced after
# lib.sh, ide_machine.sh and new_machine): a machine saved once and loaded again before every
# stop, the machine's state for comparisons, and the stand-in compiles that a test
# slows down to kill the installer while one runs.
SNAP="$WINEPREFIX.before"
CUT="$WINEPREFIX.cut"
trap 'stop_wineserver "$WINEPREFIX"; rm -rf "$WINEPREFIX" "$SNAP" "$CUT"' EXIT
JOURNAL="$C/run/compiles.txt"
LIB_REL="${LIB_REL:-Corvane}"  # the installation folder below C:\
export CVL_STANDIN_LOG='C:\run\compiles.txt' CVL_STANDIN_SLOW_MS=2500

# The machine as files: saved and loaded again. Wine's own folder is hard-linked
# (nothing here writes into its files in place); the registry files, which the
# server rewrites in place, and every other folder, where the help index files are
# edited in place, are copied. The server writes the registry when it ends.
server_down() {
    stop_wineserver "$WINEPREFIX"
    WINEPREFIX="$WINEPREFIX" wineserver -w </dev/null >/dev/null 2>&1 || true
}
copy_machine() {
    local from="$1" to="$2" d
    rm -rf "$to"; cp -al "$from" "$to"
    for d in system.reg user.reg userdef.reg; do cp --remove-destination "$from/$d" "$to/$d"; done
    for d in "$from"/drive_c/*; do
        [ "${d##*/}" == windows ] && continue
        rm -rf "$to/drive_c/${d##*/}"; cp -a "$d" "$to/drive_c/"
    done
}
# save_machine [COPY] and load_machine [COPY]: the machine as it was before, or
# another saved state; the server runs afterwards.
save_machine() { server_down; copy_machine "$WINEPREFIX" "${1:-$SNAP}"; start_wineserver "$WINEPREFIX"; }
load_machine() { server_down; copy_machine "${1:-$SNAP}" "$WINEPREFIX"; start_wineserver "$WINEPREFIX"; }

# The state is taken last before the next load: the server need not come back.
installed_state() { SERVER_STAYS_DOWN=1 machine_state | without_journal | grep -v "  ./$LIB_REL/install.log\$"; }
removed_state() { SERVER_STAYS_DOWN=1 machine_state | expected_leftovers | without_journal; }

# wait_compile PROJECT PID: waits until the stand-in compiler has started on
# PROJECT (a slowed compile, CVL_STANDIN_SLOW) while the installer PID runs.
wait_compile() {
    local i
    for i in $(seq 1 $((PATIENCE * 10))); do
        grep -Eq "^start	.*[^a-z]$1\.dpk" "$JOURNAL" 2>/dev/null && return 0
        kill -0 "$2" 2>/dev/null || fail "the installer ended before compiling $1; compiles so far:
$(cat "$JOURNAL" 2>/dev/null)
installer's output: $(cat "$WINEPREFIX/stopped-run.out" 2>/dev/null)"
        sleep 0.1
    done
    fail "no compile of $1"
}

# kill_installer PID: kill -9 of the installer's Wine process. The compiler runs in
# the installer's job, which ends it when the installer's last handle to it goes:
# nothing of the installation goes on writing after the kill.
kill_installer() {
    kill -9 "$1"
    wait "$1" 2>/dev/null || true
    wait_until "the compiler ending with the installer" no_standins
}

# Start makes the installation folder and its two logs before row 7 logs that
# folder: a log cut before then names no folder, and its uninstaller leaves the
# folder with the two logs (a rerun takes it over).
unlogged_folder() {
    if [[ "$1" == row:* ]] && (( ${1#row:} <= 7 )); then
        grep -v -E "(^|  )\./$LIB_REL/(install|uninst)\.log\$"
    else
        cat
    fi
}

text_log() { iconv -f UTF-16LE -t UTF-8 "$C/$LIB_REL/install.log" | tr -d '\r'; }
# The journal of the compiles is the test's own; the text log is compared apart.
without_journal() { grep -v -e '^./run/compiles.txt$' -e '  ./run/compiles.txt$'; }

