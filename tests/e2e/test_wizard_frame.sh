#!/usr/bin/env bash
# The wizard walked with the driver: navigation, captions, the cancel question, the
# Finish page and the installation record it writes. Screenshots of each page go to
# $CVL_BUILD_ROOT/screenshots/wizard-frame/.
source "$(dirname "$0")/lib.sh"
new_machine wizard_frame
WIZARD="Installation Wizard for Corvane library v4.07"
SHOTS="$CVL_BUILD_ROOT/screenshots/wizard-frame"
mkdir -p "$SHOTS"
PRODUCT_KEY='HKLM\Software\Brindlecraft\Corvane library'

shot() { [ -n "${DISPLAY:-}" ] && "$CVL_SOURCE/tools/screenshot.sh" "$SHOTS/$1.png" || true; }
text() { driver text "$WIZARD" "$1"; }
next() { driver step "$WIZARD" 1000; }

# Cancel on page 1: No keeps the wizard, Yes closes it and nothing is written.
win "$SETUP_EXE" & pid=$!
driver wait "$WIZARD" || fail "no wizard"
expect_eq "Back on page 1" "$(driver enabled "$WIZARD" 1001)" 0
expect_eq "Next on page 1" "$(driver enabled "$WIZARD" 1000)" 1
expect_eq "page text visible" "$(driver visible "$WIZARD" 256)" 1
shot 1-welcome
driver click "$WIZARD" 2
expect_eq "cancel question" "$(driver answer Install 7)" "Are you sure you want to cancel the install?"
driver gone Install
driver wait "$WIZARD" 0 && driver idle "$WIZARD" || fail "No closed the wizard"
expect_eq "still page 1" "$(driver enabled "$WIZARD" 1001)" 0
next; next; next
wait_eq "Next on page 4" "Start" text 1000
shot 4-ready
driver click "$WIZARD" 2
driver answer Install 6 >/dev/null
wait $pid || fail "exit status after Yes"
win reg query "$PRODUCT_KEY" /reg:32 >/dev/null 2>&1 && fail "cancel wrote the product key"

# A walk to the end: Back restores the Next caption, Start runs to Finish.
win "$SETUP_EXE" & pid=$!
driver wait "$WIZARD" || fail "no wizard"
next; shot 2-select
next; shot 3-directory
next
driver step "$WIZARD" 1001
wait_eq "Next after Back" "&Next >" text 1000
next
wait_eq "Next on page 4 again" "Start" text 1000
next
WAIT_SECONDS=$RUN_PATIENCE wait_eq "Cancel on page 6" "Finish" text 2
expect_eq "Next hidden on page 6" "$(driver visible "$WIZARD" 1000)" 0
expect_eq "Back hidden on page 6" "$(driver visible "$WIZARD" 1001)" 0
shot 6-finish
driver click "$WIZARD" 2   # closes at once, no question
driver gone "$WIZARD" || fail "Finish did not close the wizard"
wait $pid || fail "exit status after Finish"

record="$(win reg query "$PRODUCT_KEY" /reg:32 | tr -d '\r')"
for name in InstallVersions InstallItems RootDir Version Type InstallDate CustomizeItems; do
    grep -q "^    $name " <<<"$record" || fail "product key lacks $name"
done
grep -q 'Version    REG_SZ    4.07' <<<"$record" || fail "Version value: $record"
grep -q 'Type    REG_SZ    trial Delphi version' <<<"$record" || fail "Type value: $record"
grep -q 'CustomizeItems    REG_DWORD    0x5' <<<"$record" || fail "CustomizeItems value: $record"
echo "wizard frame: ok"
