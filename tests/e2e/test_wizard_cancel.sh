#!/usr/bin/env bash
# The wizard's update run belongs to the user: during a 10 s compile the frame
# answers at once, Cancel's question comes within a second, and Yes stops the run,
# rolls it back and closes the wizard, leaving the machine with its previous
# installation exactly as it was (cancelled in the compile and right at the start,
# in the removal of the previous installation). One run at a time: a second wizard,
# a second /silent run and unbrd.exe /S beside a run refuse and change nothing.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/ide_machine.sh"
new_machine wizard_cancel
LIB_REL=Corvane
source "$(dirname "$0")/interrupt.sh"
WIZARD="Installation Wizard for Corvane library v4.07"
ANOTHER="Another installation or removal of Corvane library is running. Wait until it has finished, then try again."

"$CVL_SOURCE/tools/make-ide.sh" --prefix "$WINEPREFIX" --compilers "$COMPILERS" --settings \
    --row 9 --root 'C:\Borland\Delphi7' >/dev/null || fail "make-ide.sh"
touch "$WINEPREFIX/.made"
run_script 0x100 0x480 || fail "the previous installation failed: $(cat "$WINEPREFIX/scriptrun.out")"
save_machine
snapshot() { SERVER_STAYS_DOWN=1 machine_state | without_journal; }
before="$(snapshot)"

next() { driver step "$WIZARD" 1000; }
start_wizard() {
    (cd "$C/run" && exec wine "$SETUP_EXE" </dev/null >/dev/null 2>&1) & SETUP_PID=$!
    driver wait "$WIZARD" || fail "no wizard"
}
wizard_to_run() {
    start_wizard
    next; next; next
    wait_eq "ready page" "Start" driver text "$WIZARD" 1000
    driver click "$WIZARD" 1000
}
# cancel_run WHAT: Cancel, Yes, the rollback, the user told, the wizard gone.
cancel_run() {
    local question told
    driver postclick "$WIZARD" 2
    question="$(driver answer Install 6 1000)" || fail "$1: no cancel question within a second"
    expect_eq "$1: cancel question" "$question" "Are you sure you want to cancel the install?"
    told="$(driver answer Install 1)" || fail "$1: the wizard did not say that it rolled back"
    expect_eq "$1: after the rollback" "$told" \
        "The installation was cancelled. Everything it had changed has been put back: the computer is as it was before the installation."
    driver gone "$WIZARD" || fail "$1: the wizard stayed"
    wait "$SETUP_PID" || true
    same_state "$1: the machine differs from the one before the update" "$before" "$(snapshot)"
}

# In a 10 s compile of the design package, inside Delphi 7's block.
rm -f "$JOURNAL"
export CVL_STANDIN_SLOW=dclcvl70 CVL_STANDIN_SLOW_MS=10000
wizard_to_run
wait_compile dclcvl70 "$SETUP_PID"
longest="$(driver pings "$WIZARD" 12 250)"
(( longest < 500 )) || fail "the frame took $longest ms to answer during the compile"
cancel_run "cancel in the compile"
[ -z "$(standins_running)" ] || fail "the compiler outlived the cancel: $(standins_running)"

# Right after Start, while the previous installation is removed.
load_machine
unset CVL_STANDIN_SLOW
wizard_to_run
cancel_run "cancel at the start"

# One run at a time: beside a wizard, then beside a /silent run in its compile.
load_machine
start_wizard
rc=0; out="$(win "$SETUP_EXE" /silent 2>&1)" || rc=$?
expect_eq "second run, /silent: exit status" "$rc" 6
expect_eq "second run, /silent: message" "$(tr -d '\r' <<<"$out")" "$ANOTHER"
(cd "$C/run" && exec wine "$SETUP_EXE" </dev/null >/dev/null 2>&1) & second=$!
expect_eq "second wizard" "$(driver answer Install 1)" "$ANOTHER"
wait "$second" || true
rc=0; win "$CVL_BIN/unbrd.exe" /S 'C:\Corvane\uninst.log' 2>/dev/null || rc=$?
expect_eq "unbrd /S beside the wizard: exit status" "$rc" 6
driver close "$WIZARD"
driver answer Install 6 >/dev/null || fail "no cancel question on the Welcome page"
driver gone "$WIZARD" || fail "the first wizard stayed"
wait "$SETUP_PID" || true
same_state "the refused runs changed the machine" "$before" "$(snapshot)"

rm -f "$JOURNAL"
(cd "$C/run" && CVL_STANDIN_SLOW=dclcvl70 CVL_STANDIN_SLOW_MS=4000 exec wine "$SETUP_EXE" /silent \
    >"$WINEPREFIX/first.out" 2>&1) & first=$!
wait_compile dclcvl70 "$first"
rc=0; win "$SETUP_EXE" /silent >/dev/null 2>&1 || rc=$?
expect_eq "second /silent beside a /silent run: exit status" "$rc" 6
rc=0; win "$CVL_BIN/unbrd.exe" /S 'C:\Corvane\uninst.log' 2>/dev/null || rc=$?
expect_eq "unbrd /S beside a /silent run: exit status" "$rc" 6
rc=0; wait "$first" || rc=$?
expect_eq "the first /silent run: exit status" "$rc" 0
echo "wizard cancel: ok"
