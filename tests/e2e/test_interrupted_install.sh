#!/usr/bin/env bash
# Installations stopped at moments spread over the whole run, inside IDE blocks
# among them: before one of the script's rows (scriptrun /stopat:N, which ends the
# process as a kill does) or by killing the running installer (kill -9 of its Wine
# process) while a slowed stand-in compile runs. For every moment, on a machine as
# it was before, the stopped machine is saved, and then
#   (b) the uninstaller on the cut log leaves the machine as it was, except what a
#       removal leaves by design;
#   (a) on the stopped machine again, setup: the machine equals one clean install, and
#       its text log differs at most where the kept template settings file reads
#       "...Already".
# Then a removal killed in its middle and run again completes and touches nothing
# else. The moments are fixed and seeded (CVL_KILL_SEED, printed on failure);
# CVL_KILL_MOMENTS chooses some of them.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/ide_machine.sh"
new_machine interrupted_install
source "$(dirname "$0")/interrupt.sh"
LIB="$C/Corvane"
UNBRD="$CVL_BIN/unbrd.exe"
VERSIONS=0x8000100   # Delphi 7 and RAD Studio 11
ITEMS=0x20000480     # their entries and the context help files
SEED="${CVL_KILL_SEED:-1307}"
RANDOM=$SEED

# stop_install MOMENT: the installation stopped at MOMENT, "row:N" or "compile:PROJECT".
stop_install() {
    local moment="$1" rc=0 i
    rm -f "$JOURNAL"
    case "$moment" in
        row:*)
            win "$SCRIPTRUN" "$LIB_W" "$VERSIONS" "$ITEMS" /record "/stopat:${moment#row:}" >/dev/null 2>&1 || rc=$?
            expect_eq "$moment: exit status of the stopped run" "$rc" 99
            ;;
        compile:*)
            local project="${moment#compile:}" pid
            (cd "$C/run" && CVL_STANDIN_SLOW="$project" exec wine "$SCRIPTRUN" "$LIB_W" "$VERSIONS" "$ITEMS" /record \
                >"$WINEPREFIX/stopped-run.out" 2>&1) & pid=$!
            wait_compile "$project" "$pid"
            kill_installer "$pid"
            ;;
    esac
    [ -f "$LIB/uninst.log" ] || fail "$moment: no uninstall log"
}

# Fixed moments: before the first row, just before and after the uninstall entry
# (the help registered, the uninstaller copied), in Delphi 7's block (its
# folder made, the runtime compile killed, the design package registered, before
# its closing row), RAD Studio 11's block (the design compile killed, after its
# path rows), before the product key. Seeded: one row among the source copies and
# one among the trial deletes.
MOMENTS=(row:0 "row:$((9 + RANDOM % 49))" row:73 row:75 row:201 compile:cvl70 row:217 row:223
         compile:dclcvl280 row:797 "row:$((805 + RANDOM % 17))" row:822)
INSIDE_IDE=(row:201 compile:cvl70 row:217 row:223 compile:dclcvl280 row:797)
# CVL_KILL_MOMENTS="row:217 compile:cvl70" runs only those, to look into one.
[ -z "${CVL_KILL_MOMENTS:-}" ] || read -ra MOMENTS <<<"$CVL_KILL_MOMENTS"
trap 'echo "moments (seed $SEED): ${MOMENTS[*]}" >&2; stop_wineserver "$WINEPREFIX"; rm -rf "$WINEPREFIX" "$SNAP" "$CUT"' EXIT

make_ide_machine
before="$(removed_state)"
save_machine

# One clean install on an equal machine.
run_script "$VERSIONS" "$ITEMS" || fail "rows failed on the clean install: $(cat "$WINEPREFIX/scriptrun.out")"
clean="$(installed_state)"
clean_log="$(text_log)"
grep -q '^Compiling package: .*dclcvl280\.dpk\.\.\.Success$' <<<"$clean_log" || fail "the clean install compiled no RAD Studio 11 package"

for moment in "${MOMENTS[@]}"; do
    echo "$moment at ${SECONDS}s" >&2
    load_machine
    stop_install "$moment"
    save_machine "$CUT"

    # (b) The uninstaller on the cut log.
    rc=0; win "$UNBRD" /S "$LIB_LOG_W" || rc=$?
    expect_eq "$moment: unbrd exit status" "$rc" 0
    same_state "$moment: the removal of the stopped install left differences" "$before" \
        "$(removed_state | unlogged_folder "$moment")"

    # (a) Setup again over the stopped install.
    load_machine "$CUT"
    run_script "$VERSIONS" "$ITEMS" || fail "$moment: rows failed on the rerun: $(cat "$WINEPREFIX/scriptrun.out")"
    same_state "$moment: the rerun left another machine than a clean install" "$clean" "$(installed_state)"
    log_diff="$(diff <(echo "$clean_log") <(text_log) | grep '^[<>]' || true)"
    [ -z "$log_diff" ] || expect_eq "$moment: install.log of the rerun" "$log_diff" \
        "< Copying file: C:\windows\cvTempls.ini...Success
> Copying file: C:\windows\cvTempls.ini...Already"
done

# A removal killed in its middle (the dialog's paced run, by kill -9 of its Wine
# process), then run again silently: it completes and touches nothing else.
load_machine
run_script "$VERSIONS" "$ITEMS" || fail "rows failed on the install before the killed removal"
DIALOG="Uninstall Corvane library v4.07"
(cd "$C/run" && exec wine "$UNBRD" "$LIB_LOG_W" >/dev/null 2>&1) & pid=$!
driver wait "$DIALOG" || fail "no removal dialog"
driver click "$DIALOG" 1000
driver answer Uninstall 6 >/dev/null || fail "no removal question"
# Newest first: the product key, the trial deletes, then RAD Studio 11's block; the
# kill comes once its folder is gone, with Delphi 7's block still to undo.
deadline=$((SECONDS + PATIENCE))
while [ -e "$LIB/RADStudio22" ] && [ "$SECONDS" -lt "$deadline" ]; do sleep 0.05; done
kill -9 "$pid"; wait "$pid" 2>/dev/null || true
# The log goes with the installation folder, by the last record undone.
[ -f "$LIB/uninst.log" ] || fail "the removal ended before it was killed"
[ -e "$LIB/RADStudio22" ] && fail "the removal was killed before it began"
rc=0; win "$UNBRD" /S "$LIB_LOG_W" || rc=$?
expect_eq "exit status of the second removal" "$rc" 0
same_state "the killed and repeated removal left differences" "$before" "$(removed_state)"
echo "interrupted install: ${#MOMENTS[@]} moments (${#INSIDE_IDE[@]} inside IDE blocks, seed $SEED): ok"
