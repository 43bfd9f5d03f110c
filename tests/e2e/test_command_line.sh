#!/usr/bin/env bash
# The built setup.exe under Wine: the help box, extraction and the wizard switches.
source "$(dirname "$0")/lib.sh"
new_machine command_line

HELP_TEXT=$'Brindlecraft setup parameters description:\r\n  /C - Copy files only. No package,help registration;\r\n  /E - Enable controls even if previous version installed;\r\n  /X - Extract files to the current directory. No dialog. No package,help registration;\r\n  /? - Parameters description.'
WIZARD="Installation Wizard for Corvane library v4.07"

# Help mode: the box, its caption and text; nothing else happens.
for sw in '/?' -h '\H' /h; do
    win "$SETUP_EXE" "$sw" & pid=$!
    text="$(driver answer "Parameters description" 1)"
    wait $pid || fail "setup $sw exit status $?"
    expect_eq "help text for $sw" "$text" "$HELP_TEXT"
done

# Extract mode: no window, the payload below the current directory.
mkdir -p "$C/extract"
win_in "$C/extract" "$SETUP_EXE" /X || fail "setup /X exit status"
[ -f "$C/extract/Source/cvl.inc" ] || fail "/X wrote no Source/cvl.inc"
cmp "$C/extract/Source/cvl.inc" "$CVL_SOURCE/resources/payload/Source/cvl.inc" || fail "extracted file differs"

# /C /X extracts too; the last switch decides.
mkdir -p "$C/extract2"
win_in "$C/extract2" "$SETUP_EXE" /C /X
[ -f "$C/extract2/Source/cvl.inc" ] || fail "/C /X did not extract"

# Wizard modes: the frame opens; Cancel asks, Yes closes with status 0.
for args in "/C /Z" "/E" "/X /C" ""; do
    # shellcheck disable=SC2086
    win "$SETUP_EXE" $args & pid=$!
    driver wait "$WIZARD" || fail "no wizard for [$args]"
    driver click "$WIZARD" 2
    question="$(driver answer Install 6)"
    expect_eq "cancel question" "$question" "Are you sure you want to cancel the install?"
    wait $pid || fail "wizard [$args] exit status"
done
echo "command line: ok"
