#!/usr/bin/env bash
# The wizard and the uninstaller by keyboard alone (key messages only), and the IDE
# list as a screen reader reads it from another process through oleacc: an install
# into two of three IDEs, the maker's link reached and opened, Enter on every page
# doing what its default button says, and the removal.
source "$(dirname "$0")/lib.sh"
new_machine keyboard_walk
WIZARD="Installation Wizard for Corvane library v4.07"
REMOVAL="Uninstall Corvane library v4.07"
READER="$CVL_BIN/a11yreader.exe"
LIST=1013
RS11=0 XE2=12 D7=19 HELP=24 DEMOS=25
QUESTION="Which versions of Delphi and/or CBuilder will you be installing Corvane library to ?"
"$CVL_SOURCE/tools/make-ide.sh" --prefix "$WINEPREFIX" --compilers "$CVL_BIN/standin_compiler.exe" --settings \
    --row 9 --root 'C:\Borland\Delphi7' --row 16 --root 'C:\Embarcadero\RAD Studio\9.0' \
    --row 28 --root 'C:\Embarcadero\Studio\22.0' >/dev/null
# The shell opens web addresses with a command that only notes the address.
win reg add 'HKLM\Software\Classes\https\shell\open\command' /ve /d 'C:\windows\system32\cmd.exe /c echo %1> C:\run\link.txt' /f >/dev/null

keys() { driver keys "$WIZARD" "$@"; }
focused() { driver focused "$WIZARD"; }
items() { driver lbitems "$WIZARD" $LIST | tr -d '\r'; }
# reader [do N]: the list as oleacc gives it: "count N" and "name<TAB>role<TAB>state" lines.
reader() { win "$READER" "$WIZARD" $LIST "$@" | tr -d '\r'; }

win "$SETUP_EXE" & pid=$!
driver wait "$WIZARD" || fail "no wizard"
wait_eq "focus on page 1" "1000 Button" focused
keys tab
wait_eq "Tab from Next" "2 Button" focused
# Alt+N from the Cancel button: Next, and the next page draws Next as the default again.
keys alt+n
wait_eq "page 2 by Alt+N" 1 driver visible "$WIZARD" $LIST
wait_eq "default button on page 2" "1000 1000" driver defid "$WIZARD"
wait_eq "focus on page 2" "$LIST ListBox" focused

# ---- The list through oleacc, as a screen reader in another process reads it.
# Each row is a check button (role 0x2C) named by its text; checked rows have
# STATE_SYSTEM_CHECKED (0x10), undetected ones STATE_SYSTEM_UNAVAILABLE (0x1).
# expect_reader WHAT: the reader's rows against the list's own items.
expect_reader() {
    local read want="" data text
    read="$(reader "${@:2}")"
    while IFS=$'\t' read -r data text; do
        local state=$(( (data & 1 ? 0x10 : 0) | (data & 4 ? 0x1 : 0) ))
        want+="$text	0x2C	$state"$'\n'
    done <<<"$(items)"
    got="$(tail -n +3 <<<"$read" | while IFS=$'\t' read -r name role state; do
        echo "$name	$role	$(( state & 0x11 ))"; done)"
    expect_eq "$1: row count" "$(head -1 <<<"$read")" "count 26"
    # The list itself (role 0x21) is named by the question above it.
    expect_eq "$1: the list" "$(sed -n 2p <<<"$read" | cut -f1,2)" "$QUESTION	0x21"
    expect_eq "$1: rows" "$got" "${want%$'\n'}"
}
expect_reader "as shown"
for row in $RS11 $XE2 $D7 $HELP $DEMOS; do
    grep -q "^0x1	" <<<"$(items | sed -n "$((row + 1))p")" || fail "row $row not checked: $(items)"
done
# The default action toggles a row and the page follows: with nothing checked Next is off.
for row in $RS11 $XE2 $D7 $HELP $DEMOS; do reader do $((row + 1)) >/dev/null; done
expect_eq "Next with nothing checked" "$(driver enabled "$WIZARD" 1000)" 0
expect_reader "all unchecked"
for row in $RS11 $XE2 $D7 $HELP $DEMOS; do reader do $((row + 1)) >/dev/null; done
expect_eq "Next with checks" "$(driver enabled "$WIZARD" 1000)" 1
grep -q "^action " <<<"$(reader do 2)" || fail "the default action of an undetected row did something"
expect_reader "after the actions"

# ---- The list by keys: the moving keys pass over the undetected IDEs. Keys are
# posted, so each result is awaited.
selected() { driver lbcur "$WIZARD" $LIST; }
keys home;  wait_eq "Home" $RS11 selected
keys down;  wait_eq "Down over undetected IDEs" $XE2 selected
keys down down down down; wait_eq "Down to the last row" $DEMOS selected
keys up up; wait_eq "Up twice" $D7 selected
keys up;    wait_eq "Up" $XE2 selected
keys space
row() { items | sed -n "$(($1 + 1))p"; }
wait_eq "Space unchecks RAD Studio XE2" "0x0	RAD Studio XE2" row $XE2

# ---- Tab reaches the link; Enter and Space open it, Enter does not leave the page.
keys tab tab tab tab
wait_eq "Tab to the link" "0 CV_ILABEL" focused
keys enter
wait_eq "Enter opens the link" "https://www.brindlecraft.example/" \
    bash -c "tr -d '\r ' <'$C/run/link.txt' 2>/dev/null"
# The program that opened the address takes the foreground, as a browser does:
# once it has, the wizard is brought back.
refocus() {
    wait_eq "the link's opener in the foreground" none focused
    driver focus "$WIZARD"
}
rm -f "$C/run/link.txt"
refocus
wait_eq "focus kept on the link" "0 CV_ILABEL" focused
# A second activation within 500 ms of an accepted one is swallowed, as a double
# click is: the Space comes after that window.
sleep 0.6
keys space
wait_eq "Space opens the link" "https://www.brindlecraft.example/" \
    bash -c "tr -d '\r ' <'$C/run/link.txt' 2>/dev/null"
expect_eq "still page 2" "$(driver visible "$WIZARD" $LIST)" 1
refocus

# ---- Enter on every page does what the default button says.
keys tab
wait_eq "Tab from the link" "$LIST ListBox" focused
keys enter
wait_eq "page 3 by Enter" 1 driver visible "$WIZARD" 1010
wait_eq "default button on page 3" "1000 1000" driver defid "$WIZARD"
keys enter
wait_eq "page 4 by Enter" "Start" driver text "$WIZARD" 1000
wait_eq "default button on page 4" "1000 1000" driver defid "$WIZARD"
keys enter
WAIT_SECONDS=$RUN_PATIENCE wait_eq "page 6 after the run" "Finish" driver text "$WIZARD" 2
wait_eq "default button on page 6" "2 2" driver defid "$WIZARD"
keys enter
driver gone "$WIZARD" || fail "Enter on page 6 did not finish"
wait $pid || fail "setup exit status"

record="$(win reg query 'HKLM\Software\Brindlecraft\Corvane library' /v InstallVersions /reg:32 | tr -d '\r')"
grep -q 'InstallVersions    REG_DWORD    0x8000100' <<<"$record" || fail "not Delphi 7 and RAD Studio 11: $record"

# ---- The uninstaller: Enter removes, and on its last page Enter finishes.
(cd "$C/run" && wine 'C:\Borland\Corvane\unbrd.exe' 'C:\Borland\Corvane\uninst.log') &
driver wait "$REMOVAL" || fail "no removal dialog"
driver keys "$REMOVAL" enter
driver wait Uninstall || fail "Enter did not start the removal"
driver keys Uninstall enter  # Yes, the question's default
WAIT_SECONDS=$RUN_PATIENCE wait_eq "removal finished" "&Finish" driver text "$REMOVAL" 2
wait_eq "default button after the removal" "2 2" driver defid "$REMOVAL"
driver keys "$REMOVAL" enter
driver gone "$REMOVAL" || fail "Enter on the last page did not finish"
echo "keyboard walk: ok"
