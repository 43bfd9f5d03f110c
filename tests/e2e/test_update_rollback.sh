#!/usr/bin/env bash
# An update that does not complete leaves the machine exactly as it was. The
# machine has a previous installation (Delphi 7 with help, RAD Studio XE2 Win32 and
# Win64, demos); the update goes into another folder for another IDE set. Each
# moment starts from that machine again:
#   cancel:N    the run is cancelled before row N and rolls itself back;
#   cancel:P    cancelled while the slowed compile of project P runs;
#   kill:K      killed (as kill -9) right after the rollback journal's K-th record,
#               before the change it guards; the next start of setup.exe rolls back;
#   killcompile:P  kill -9 of the installer while the slowed compile of P runs;
#   rbkill:N:K  cancelled before row N, and its rollback killed after K steps; the
#               next start finishes it;
#   precommit   killed after the last row and the record, before the commit;
#   incommit    killed in the commit, once its journal file is gone.
# After each, the registry and every file with its checksum equal the machine
# before the update (after incommit: the completed update, the next start cleaning
# up). After two of the kills, setup.exe /silent with the update's arguments ends
# equal to one uninterrupted update. The same without a previous installation.
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
    local moment="$1" rc=0 pid at
    rm -f "$JOURNAL" "$C/run/cancel.flag"
    case "$moment" in
        cancel:[0-9]*) updater "/cancelat:${moment#cancel:}" || rc=$?; expect_eq "$moment: exit status" "$rc" 98 ;;
        cancel:*)
            (cd "$C/run" && CVL_STANDIN_SLOW="${moment#cancel:}" exec wine "$SCRIPTRUN" "$NEW_W" $NEW_VERSIONS \
                $NEW_ITEMS /record "/cancelonfile:$CANCEL_W" >"$WINEPREFIX/run.out" 2>&1) & pid=$!
            wait_compile "${moment#cancel:}" "$pid"
            touch "$C/run/cancel.flag"
            wait "$pid" || rc=$?
            expect_eq "$moment: exit status" "$rc" 98
            [ -z "$(standins_running)" ] || fail "$moment: the compiler outlived the cancel" ;;
        killcompile:*)
            (cd "$C/run" && CVL_STANDIN_SLOW="${moment#killcompile:}" exec wine "$SCRIPTRUN" "$NEW_W" $NEW_VERSIONS \
                $NEW_ITEMS /record >"$WINEPREFIX/run.out" 2>&1) & pid=$!
            wait_compile "${moment#killcompile:}" "$pid"
            kill_installer "$pid" ;;
        kill:*) updater "/killatrecord:${moment#kill:}" || rc=$?; expect_eq "$moment: exit status" "$rc" 99 ;;
        rbkill:*) at="${moment#rbkill:}"
            updater "/cancelat:${at%%:*}" "/killinrollback:${at#*:}" || rc=$?
            expect_eq "$moment: exit status" "$rc" 97 ;;
        precommit) updater /stopbeforecommit || rc=$?; expect_eq "$moment: exit status" "$rc" 99 ;;
        incommit) updater /stopincommit || rc=$?; expect_eq "$moment: exit status" "$rc" 99 ;;
    esac
}
updater() { win "$SCRIPTRUN" "$NEW_W" $NEW_VERSIONS $NEW_ITEMS /record "$@" >"$WINEPREFIX/run.out" 2>&1; }

# The next start of setup.exe that may write rolls back what an interrupted run
# left, and says so; bad arguments then end it before it writes anything itself.
recover() {
    local rc=0 out
    out="$(win "$SETUP_EXE" /silent /dir= 2>&1)" || rc=$?
    expect_eq "$1: exit status of the recovering start" "$rc" 2
    if [ "$1" == incommit ]; then
        [[ "$out" != *"was interrupted"* ]] || fail "$1: a committed run was rolled back: $out"
    else
        [[ "$out" == *"was interrupted before it was complete"* ]] || fail "$1: the recovery said nothing: $out"
    fi
}

SILENT_ARGS=(/silent "/dir=$NEW_W" /ides=Delphi7,RADStudio22 /items=help)
silent_update() {
    win "$SETUP_EXE" "${SILENT_ARGS[@]}" >"$WINEPREFIX/run.out" 2>&1 || fail "$1: the silent update failed: $(cat "$WINEPREFIX/run.out")"
}

snapshot() {
    SERVER_STAYS_DOWN=1 machine_state | without_journal |
        grep -v -e '/run/run\.out$' -e 'run/cancel\.flag$' -e "/$LIB_REL/install\.log\$"
}

# run_moments SNAPSHOT MOMENT...: each moment on the machine saved as SNAPSHOT,
# compared with $before (with $updated after incommit).
run_moments() {
    local saved="$1" moment; shift
    for moment in "$@"; do
        echo "$moment at ${SECONDS}s" >&2
        load_machine "$saved"
        update "$moment"
        case "$moment" in kill:*|killcompile:*|rbkill:*|*commit) recover "$moment" ;; esac
        if [ "$moment" == incommit ]; then
            same_state "$moment: the committed update differs" "$updated" "$(snapshot)"
        else
            same_state "$moment: the machine differs from the one before the update" "$before" "$(snapshot)"
        fi
        if [[ " ${SILENT_AFTER[*]} " == *" $moment "* ]]; then
            silent_update "$moment"
            same_state "$moment: setup /silent after the rollback differs from one update" "$silent_updated" "$(snapshot)"
        fi
        ((++COUNT))
    done
}

COUNT=0
make_ide_machine
save_machine "$WINEPREFIX.fresh"
run_script $OLD_VERSIONS $OLD_ITEMS || fail "rows failed on the previous installation: $(cat "$WINEPREFIX/scriptrun.out")"
[ -d "$C/Corvane/Demos" ] && [ -d "$C/Corvane/RADStudio9/Win64" ] || fail "the previous installation lacks demos or Win64"
save_machine
before="$(snapshot)"
updater || fail "the update failed: $(cat "$WINEPREFIX/run.out")"
[ ! -e "$C/ProgramData/Corvane library rollback" ] || fail "the committed update left its journal"
updated="$(snapshot)"
load_machine
silent_update reference
silent_updated="$(snapshot)"

# Inside the removal of the previous installation (journal records 1 to 22: its
# trees, help files, IDE keys, uninstall entry), in Delphi 7's block (rows 201-223,
# the compile of cvl70, records 25-27), in RAD Studio 11's (rows 797-, the compile
# of dclcvl280, records 28-33), around the product key and the commit.
MOMENTS=(cancel:0 cancel:25 cancel:201 cancel:cvl70 cancel:217 cancel:dclcvl280 cancel:797 cancel:822
         kill:1 kill:3 "kill:$((4 + RANDOM % 18))" kill:10 kill:17 kill:22 kill:24 kill:25 kill:27 kill:31 kill:36
         killcompile:dclcvl70 rbkill:201:3 precommit incommit)
SILENT_AFTER=(kill:10 killcompile:dclcvl70)
INSIDE_IDE=(cancel:201 cancel:cvl70 cancel:217 cancel:dclcvl280 cancel:797 kill:25 kill:27 kill:31 killcompile:dclcvl70 rbkill:201:3)
[ -z "${CVL_ROLLBACK_MOMENTS:-}" ] || read -ra MOMENTS <<<"$CVL_ROLLBACK_MOMENTS"
trap 'echo "moments (seed $SEED): ${MOMENTS[*]}" >&2; stop_wineserver "$WINEPREFIX"; rm -rf "$WINEPREFIX" "$SNAP" "$CUT" "$WINEPREFIX.fresh"' EXIT
run_moments "$SNAP" "${MOMENTS[@]}"

# Without a previous installation.
load_machine "$WINEPREFIX.fresh"
before="$(snapshot)"
SILENT_AFTER=()
run_moments "$WINEPREFIX.fresh" cancel:201 kill:8
echo "update rollback: $COUNT moments (${#INSIDE_IDE[@]} inside IDE blocks, seed $SEED): ok"
