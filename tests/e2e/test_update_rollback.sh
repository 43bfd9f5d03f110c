#!/usr/bin/env bash
# An update that does not complete leaves the machine exactly as it was. The
# machine has a previous installation (Delphi 7 with help, RAD Studio XE2 Win32 and
# Win64, demos); the update goes into another folder for another IDE set. Each
# moment starts from that machine again:
#   cancel:N    the run is cancelled before row N and rolls itself back;
#   cancel:P    cancelled while the slowed compile of project P runs;
#   kill:K      killed (as kill -9) right after the rollback journal's K-th record,
#               before the change it guards; the next start of setup.exe rolls back;
#   rbkill:N:K  cancelled before row N, and its rollback killed after K steps; the
#               next start finishes it.
# After each, the registry and every file with its checksum equal the machine
# before the update. After two of the kills, setup.exe /silent with the update's
# arguments ends equal to one uninterrupted update. The same without a previous
# installation, and a cancel, a kill and a commit that completes.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/ide_machine.sh"
new_machine update_rollback
LIB_REL=Corvane2
source "$(dirname "$0")/interrupt.sh"
OLD_VERSIONS=0x8100     # Delphi 7, RAD Studio XE2
OLD_ITEMS=0x20580       # their entries, context help, demos
NEW_VERSIONS=0x8000100  # Delphi 7, RAD Studio 11
NEW_ITEMS=0x20000480    # their entries and the context help
NEW_W='C:\Corvane2'
CANCEL_W='C:\run\cancel.flag'
SEED="${CVL_KILL_SEED:-2311}"
RANDOM=$SEED

# update MOMENT: the update into C:\Corvane2, stopped at MOMENT.
update() {
    local moment="$1" rc=0 pid
    rm -f "$JOURNAL" "$C/run/cancel.flag"
    case "$moment" in
        cancel:[0-9]*) win "$SCRIPTRUN" "$NEW_W" $NEW_VERSIONS $NEW_ITEMS /record "/cancelat:${moment#cancel:}" \
            >"$WINEPREFIX/run.out" 2>&1 || rc=$?; expect_eq "$moment: exit status" "$rc" 98 ;;
        cancel:*)
            (cd "$C/run" && CVL_STANDIN_SLOW="${moment#cancel:}" exec wine "$SCRIPTRUN" "$NEW_W" $NEW_VERSIONS \
                $NEW_ITEMS /record "/cancelonfile:$CANCEL_W" >"$WINEPREFIX/run.out" 2>&1) & pid=$!
            wait_compile "${moment#cancel:}" "$pid"
            touch "$C/run/cancel.flag"
            wait "$pid" || rc=$?
            expect_eq "$moment: exit status" "$rc" 98 ;;
        kill:*) win "$SCRIPTRUN" "$NEW_W" $NEW_VERSIONS $NEW_ITEMS /record "/killatrecord:${moment#kill:}" \
            >"$WINEPREFIX/run.out" 2>&1 || rc=$?; expect_eq "$moment: exit status" "$rc" 99 ;;
        rbkill:*) local spec="${moment#rbkill:}"
            win "$SCRIPTRUN" "$NEW_W" $NEW_VERSIONS $NEW_ITEMS /record "/cancelat:${spec%%:*}" \
                "/killinrollback:${spec#*:}" >"$WINEPREFIX/run.out" 2>&1 || rc=$?
            expect_eq "$moment: exit status" "$rc" 97 ;;
        commitkill) win "$SCRIPTRUN" "$NEW_W" $NEW_VERSIONS $NEW_ITEMS /record /stopbeforecommit \
            >"$WINEPREFIX/run.out" 2>&1 || rc=$?; expect_eq "$moment: exit status" "$rc" 99 ;;
    esac
}

# The next start of setup.exe that may write rolls back what an interrupted run
# left, and says so; bad arguments then end it before it writes anything itself.
recover() {
    local rc=0 out
    out="$(win "$SETUP_EXE" /silent /dir= 2>&1)" || rc=$?
    expect_eq "$1: exit status of the recovering start" "$rc" 2
    grep -q "was interrupted before it was complete" <<<"$out" || fail "$1: the recovery said nothing: $out"
}

snapshot() { SERVER_STAYS_DOWN=1 machine_state | without_journal | grep -v -e '/run/run\.out$' -e 'run/cancel\.flag$'; }

# run_moments: every moment of MOMENTS on the machine saved as $SNAP, compared with
# BEFORE.
run_moments() {
    local moment
    for moment in "${MOMENTS[@]}"; do
        echo "$moment at ${SECONDS}s" >&2
        load_machine
        update "$moment"
        case "$moment" in kill:*|rbkill:*|commitkill) recover "$moment" ;; esac
        same_state "$moment: the machine differs from the one before the update" "$before" "$(snapshot)"
    done
}

make_ide_machine
run_script $OLD_VERSIONS $OLD_ITEMS || fail "rows failed on the previous installation: $(cat "$WINEPREFIX/scriptrun.out")"
[ -f "$C/Corvane/Demos/README.txt" ] || ls "$C/Corvane" >&2
save_machine
before="$(snapshot)"

MOMENTS=(cancel:0 cancel:25 cancel:120 cancel:201 cancel:cvl70 cancel:217 cancel:797 cancel:822
         kill:1 kill:3 "kill:$((5 + RANDOM % 20))" kill:40 kill:60 rbkill:201:3 rbkill:822:40 commitkill)
[ -z "${CVL_ROLLBACK_MOMENTS:-}" ] || read -ra MOMENTS <<<"$CVL_ROLLBACK_MOMENTS"
trap 'echo "moments (seed $SEED): ${MOMENTS[*]}" >&2; stop_wineserver "$WINEPREFIX"; rm -rf "$WINEPREFIX" "$SNAP" "$CUT"' EXIT
run_moments
echo "update rollback: ${#MOMENTS[@]} moments (seed $SEED): ok"
