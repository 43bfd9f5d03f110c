#!/usr/bin/env bash
# The wizard's installation killed (kill -9 of setup.exe's Wine process) while the
# design package of Delphi 7 compiles, inside the IDE's block: the uninstaller on
# the cut log leaves the machine as it was (but for what a removal leaves by
# design), and setup run again over the stopped install leaves the machine of one
# clean wizard install.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/ide_machine.sh"
new_machine interrupted_wizard
LIB_REL=Borland/Corvane
source "$(dirname "$0")/interrupt.sh"
LIB_LOG_W='C:\Borland\Corvane\uninst.log'
WIZARD="Installation Wizard for Corvane library v4.07"

"$CVL_SOURCE/tools/make-ide.sh" --prefix "$WINEPREFIX" --compilers "$COMPILERS" --settings \
    --row 9 --root 'C:\Borland\Delphi7' >/dev/null || fail "make-ide.sh"
# Windows keeps its help registrations here; this machine has one of its own.
win reg add 'HKLM\Software\Microsoft\Windows\Help' /v 'notepad.hlp' /d 'C:\windows\help' /reg:32 /f >/dev/null
touch "$WINEPREFIX/.made"

next() { driver step "$WIZARD" 1000; }

# wizard_to_progress: setup.exe started and walked to the progress page with the
# proposed choices; its process id in SETUP_PID. A folder left by a stopped run
# holds files, and the user agrees to install into it.
wizard_to_progress() {
    local stopped=0
    [ -f "$C/ProgramData/Corvane library rollback/journal.dat" ] && stopped=1
    (cd "$C/run" && exec wine "$SETUP_EXE" </dev/null >/dev/null 2>&1) & SETUP_PID=$!
    # A stopped run is rolled back first, and the user is told so before the wizard.
    if [ $stopped = 1 ]; then
        driver answer Install 1 | grep -q "was interrupted" || fail "no word of the rollback of the stopped run"
    fi
    driver wait "$WIZARD" || fail "no wizard"
    next
    wait_eq "IDE list shown" 1 driver visible "$WIZARD" 1013
    next
    wait_eq "directory shown" 1 driver visible "$WIZARD" 1010
    expect_eq "proposed directory" "$(driver text "$WIZARD" 1010)" 'C:\Borland\Corvane'
    next
    if [ -e "$C/$LIB_REL" ]; then
        driver answer Install 6 | grep -q "already holds files" || fail "no question about the used folder"
    fi
    wait_eq "ready page" "Start" driver text "$WIZARD" 1000
    driver click "$WIZARD" 1000
}

install_to_end() {
    wizard_to_progress
    WAIT_SECONDS=$RUN_PATIENCE wait_eq "finish page" "Finish" driver text "$WIZARD" 2
    driver click "$WIZARD" 2
    wait "$SETUP_PID" || fail "setup exit status"
}

install_killed() {
    rm -f "$JOURNAL"
    export CVL_STANDIN_SLOW=dclcvl70
    wizard_to_progress
    unset CVL_STANDIN_SLOW
    wait_compile dclcvl70 "$SETUP_PID"
    kill_installer "$SETUP_PID"
    [ -f "$C/$LIB_REL/uninst.log" ] || fail "no uninstall log"
}

before="$(removed_state)"
save_machine
install_to_end
clean="$(installed_state)"
clean_log="$(text_log)"

load_machine
install_killed
save_machine "$CUT"

# (b) The uninstaller on the cut log.
rc=0; win "$CVL_BIN/unbrd.exe" /S "$LIB_LOG_W" || rc=$?
expect_eq "unbrd exit status" "$rc" 0
same_state "the removal of the killed install left differences" "$before" "$(removed_state)"

# (a) Setup again over the killed install.
load_machine "$CUT"
install_to_end
same_state "the rerun left another machine than a clean install" "$clean" "$(installed_state)"
log_diff="$(diff <(echo "$clean_log") <(text_log) | grep '^[<>]' || true)"
[ -z "$log_diff" ] || expect_eq "install.log of the rerun" "$log_diff" \
    "< Copying file: C:\windows\cvTempls.ini...Success
> Copying file: C:\windows\cvTempls.ini...Already"
echo "interrupted wizard: ok"
