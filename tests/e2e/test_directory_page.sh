#!/usr/bin/env bash
# The directory page and the Ready page's checks of the chosen directory, walked with
# the driver in fresh machines.
source "$(dirname "$0")/lib.sh"
WIZARD="Installation Wizard for Corvane library v4.07"
text() { driver text "$WIZARD" "$1"; }
next() { driver step "$WIZARD" 1000; }
back() { driver step "$WIZARD" 1001; }
start_wizard() {
    win "$SETUP_EXE" & SETUP_PID=$!
    driver wait "$WIZARD" || fail "no wizard"
}
finish_wizard() {
    driver click "$WIZARD" 2
    driver answer Install 6 >/dev/null
    wait "$SETUP_PID" || fail "setup exit status"
}
set_program_files() {
    win reg add 'HKLM\Software\Microsoft\Windows\CurrentVersion' /v ProgramFilesDir /d "$1" /reg:32 /f >/dev/null
}

new_machine directory_page

# No record, no IDE: ProgramFilesDir plus the product folder.
set_program_files 'C:\Program Files'
start_wizard
next; next
[ -n "${DISPLAY:-}" ] && "$CVL_SOURCE/tools/screenshot.sh" "$CVL_BUILD_ROOT/screenshots/directory-page.png"
expect_eq "proposal from ProgramFilesDir" "$(text 1010)" 'C:\Program Files\Corvane'
expect_eq "page text" "$(text 256)" $'Setup will install Corvane library into following folder, click Browse, and select another folder.\r\n\r\nYou can choose not to install Corvane library by clicking Cancel to exit Setup.'

# One trailing separator goes; later visits show what was stored, not a new proposal.
driver setedit "$WIZARD" 1010 'D:\X\'
next; back
expect_eq "stored without the backslash" "$(text 1010)" 'D:\X'
driver setedit "$WIZARD" 1010 'D:\X//'
back; next
expect_eq "only one separator removed" "$(text 1010)" 'D:\X/'

# The folder browser opens right-aligned under the Browse button.
# The browser's caption is Windows' own or the program's, whichever the system's
# dialog shows.
browser_caption() {
    local title
    for title in "Browse for Folder" "Select directory for Corvane library"; do
        driver wait "$title" 0 >/dev/null && { echo "$title"; return 0; }
    done
    return 1
}
driver click "$WIZARD" 1002
wait_until "a folder browser" browser_caption
browser="$(browser_caption)"
read -r _ _ bright bbottom <<<"$(driver screenrect "$WIZARD" 1002 | tr -d '\r')"
read -r _ wtop wright _ <<<"$(driver screenrect "$browser" 0 | tr -d '\r')"
read -r _ _ _ workbottom <<<"$(driver workarea "$WIZARD" | tr -d '\r')"
expect_eq "browser right edge" "$wright" "$bright"
read -r _ wtop2 _ wbottom <<<"$(driver screenrect "$browser" 0 | tr -d '\r')"
if [ $((bbottom + 1 + wbottom - wtop2)) -le "$workbottom" ]; then
    expect_eq "browser top" "$wtop" "$((bbottom + 1))"
else
    expect_eq "browser moved up" "$wbottom" "$workbottom"
fi
driver click "$browser" 2
driver gone "$browser" || fail "the folder browser stays"
driver idle "$WIZARD"
expect_eq "cancelled browse keeps the text" "$(text 1010)" 'D:\X/'

# Ready refuses a relative or empty directory and goes back to the directory page.
for bad in 'Corvane' ''; do
    driver setedit "$WIZARD" 1010 "$bad"
    driver click "$WIZARD" 1000
    driver answer Install 1 >/dev/null || fail "no warning for [$bad]"
    wait_eq "back on the directory page for [$bad]" 1 driver visible "$WIZARD" 1010
    expect_eq "Next caption for [$bad]" "$(text 1000)" "&Next >"
done

# A name Windows refuses for a folder: the warning says what is wrong with it.
driver setedit "$WIZARD" 1010 'C:\Corvane.'
driver click "$WIZARD" 1000
warning="$(driver answer Install 1)" || fail "no warning for a trailing dot"
[[ "$warning" == *'the folder name "Corvane." ends in a dot'* ]] || fail "warning for a trailing dot: $warning"
wait_eq "back on the directory page for a trailing dot" 1 driver visible "$WIZARD" 1010

# A folder that cannot be created: Start says why, and the wizard stays on the
# Ready page with nothing written.
driver setedit "$WIZARD" 1010 'Q:\Corvane'
next
wait_eq "ready page for Q:" "Start" text 1000
driver click "$WIZARD" 1000
problem="$(driver answer Install 1 | tr -d '\r')" || fail "no box for a folder that cannot be created"
[[ "$problem" == 'The folder Q:\Corvane cannot be created'*'Nothing has been installed.' ]] || fail "Start for Q:: [$problem]"
wait_eq "still on the Ready page" "Start" text 1000
back

# A folder that already holds files is taken only when the user says so.
mkdir -p "$C/Busy"; echo keep > "$C/Busy/mine.txt"
driver setedit "$WIZARD" 1010 'C:\Busy'
driver click "$WIZARD" 1000
question="$(driver answer Install 7)"
grep -q 'already holds files' <<<"$question" || fail "no question for a full folder: $question"
wait_eq "No goes back" 1 driver visible "$WIZARD" 1010
driver click "$WIZARD" 1000
driver answer Install 6 >/dev/null
wait_eq "Yes goes on" "Start" text 1000
finish_wizard

# A previous installation's directory is proposed exactly, and not questioned.
win reg add 'HKLM\Software\Brindlecraft\Corvane library' /v RootDir /d 'C:\Busy' /reg:32 /f >/dev/null
start_wizard
next; next
expect_eq "previous directory" "$(text 1010)" 'C:\Busy'
next
wait_eq "previous directory needs no question" "Start" text 1000
finish_wizard
win reg add 'HKLM\Software\Brindlecraft\Corvane library' /v RootDir /d 'D:\Libs\Corvane' /reg:32 /f >/dev/null
start_wizard
next; next
expect_eq "previous directory D:" "$(text 1010)" 'D:\Libs\Corvane'
finish_wizard
echo "directory page: ok"
