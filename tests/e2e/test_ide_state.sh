#!/usr/bin/env bash
# The IDEs' own state under Wine: a running stand-in Delphi 7 holds the wizard's
# Start and the uninstaller until it ends, and RAD Studio XE2, never started under
# this account (no key of its own below HKCU), gets the library's files but no
# registration, after the user has been told.
source "$(dirname "$0")/lib.sh"
new_machine ide_state
WIZARD="Installation Wizard for Corvane library v4.07"
DIALOG="Uninstall Corvane library v4.07"
text() { driver text "$WIZARD" "$1"; }
next() { driver step "$WIZARD" 1000; }
IDOK=1 IDCANCEL=2 IDRETRY=4 IDYES=6

"$CVL_SOURCE/tools/make-ide.sh" --prefix "$WINEPREFIX" --compilers "$CVL_BIN/compilers" \
    --row 9 --root 'C:\Borland\Delphi7' --settings --program \
    --row 16 --root 'C:\Embarcadero\RAD Studio\9.0' >/dev/null || fail "make-ide.sh"
D7_IDE="$C/Borland/Delphi7/bin/delphi32.exe"
LIB="$C/Borland/Corvane"
XE2_KEY='HKCU\Software\Embarcadero\BDS\9.0'

ide_running() { [ -n "$(running_here 'delphi32\.exe')" ]; }
ide_ended() { [ -z "$(running_here 'delphi32\.exe')" ]; }
start_ide() {
    rm -f "$D7_IDE.stop"
    (cd "$C/run" && wine "$D7_IDE" </dev/null >/dev/null 2>&1 &)
    wait_until "the stand-in IDE running" ide_running
}
# The IDE takes its stop file away as it ends.
stop_ide() {
    touch "$D7_IDE.stop"
    wait_until "the stand-in IDE ending" ide_ended
}
no_xe2_key() { ! win reg query "$XE2_KEY" /reg:32 >/dev/null 2>&1; }

# ---- page 2: the never-started IDE is named; Cancel stays, OK goes on with files only
start_ide
win "$SETUP_EXE" & SETUP_PID=$!
driver wait "$WIZARD" || fail "no wizard"
next
wait_eq "IDE list shown" 1 driver visible "$WIZARD" 1013
next
box="$(driver answer Install $IDCANCEL)" || fail "no question for the never-started IDE"
[[ "$box" == "RAD Studio XE2 has never been started under this Windows account"* ]] || fail "never-started text: $box"
[[ "$box" == *"Delphi 7"* ]] && fail "Delphi 7 has its settings: $box"
expect_eq "still on page 2" "$(driver visible "$WIZARD" 1013)" 1
next
driver answer Install $IDOK >/dev/null || fail "no question the second time"
wait_eq "directory page" 1 driver visible "$WIZARD" 1010
next
wait_eq "ready page" "Start" text 1000

# ---- Start with Delphi 7 running: Retry asks again, Cancel stays on the ready page
driver click "$WIZARD" 1000
box="$(driver answer Install $IDRETRY)" || fail "no question for the running IDE"
[[ "$box" == *'Delphi 7: C:\Borland\Delphi7\bin\delphi32.exe'* ]] || fail "running-IDE text: $box"
driver answer Install $IDCANCEL >/dev/null || fail "Retry did not ask again"
driver gone Install && driver idle "$WIZARD"
expect_eq "still on the ready page" "$(text 1000)" "Start"
[ -e "$LIB" ] && fail "something was installed while the IDE ran"

# ---- the IDE ends: Start runs the installation
stop_ide
driver click "$WIZARD" 1000
wait_finish "$WIZARD"
driver click "$WIZARD" 2
wait "$SETUP_PID" || fail "setup exit status"

for f in Delphi7/dclcvl70.bpl RADStudio9/Win32/cvl160.bpl RADStudio9/Win32/dclcvl160.bpl uninst.log; do
    [ -f "$LIB/$f" ] || fail "missing $f"
done
no_xe2_key || fail "the never-started IDE got a key: $(win reg query "$XE2_KEY" /s /reg:32)"
win reg query 'HKCU\Software\Borland\Delphi\7.0\Known Packages' /reg:32 | grep -q 'dclcvl70.bpl' \
    || fail "Delphi 7 was not registered"
log="$(iconv -f UTF-16LE -t UTF-8 "$LIB/install.log" | tr -d '\r')"
grep -q '^Registering package: C:\\Borland\\Corvane\\RADStudio9\\Win32\\dclcvl160.bpl...Skipped: RADStudio9 has never been started, files only$' <<<"$log" \
    || fail "install.log: $(grep -n 'RADStudio9' <<<"$log" | head)"

# ---- unbrd.exe with Delphi 7 running: /S fails with its own code, the dialog goes back
start_ide
rc=0
(cd "$C/run" && wine "$LIB/unbrd.exe" /S 'C:\Borland\Corvane\uninst.log') 2>"$WINEPREFIX/unbrd.err" || rc=$?
expect_eq "unbrd /S exit code" "$rc" 5
grep -q 'Delphi 7: C:\\Borland\\Delphi7\\bin\\delphi32.exe' "$WINEPREFIX/unbrd.err" \
    || fail "unbrd /S message: $(cat "$WINEPREFIX/unbrd.err")"
sleep 1
[ -f "$LIB/uninst.log" ] || fail "unbrd /S removed the installation"

(cd "$C/run" && wine "$LIB/unbrd.exe" 'C:\Borland\Corvane\uninst.log') &
driver wait "$DIALOG" || fail "no removal dialog"
driver click "$DIALOG" 1000
driver answer Uninstall $IDYES >/dev/null || fail "no removal question"
box="$(driver answer Uninstall $IDCANCEL)" || fail "no question for the running IDE"
[[ "$box" == *'Delphi 7: C:\Borland\Delphi7\bin\delphi32.exe'* ]] || fail "unbrd running-IDE text: $box"
driver gone Uninstall && driver idle "$DIALOG"
expect_eq "Remove still offered" "$(driver enabled "$DIALOG" 1000)" 1
[ -f "$LIB/uninst.log" ] || fail "the dialog removed the installation"
win reg query 'HKCU\Software\Borland\Delphi\7.0\Known Packages' /reg:32 | grep -q 'dclcvl70.bpl' \
    || fail "the package registration went"

stop_ide
driver click "$DIALOG" 1000
driver answer Uninstall $IDYES >/dev/null || fail "no removal question the second time"
WAIT_SECONDS=$RUN_PATIENCE wait_eq "removal finished" "&Finish" driver text "$DIALOG" 2
driver click "$DIALOG" 2
wait_until "the install directory removed" test ! -e "$LIB"
win reg query 'HKCU\Software\Borland\Delphi\7.0\Known Packages' /reg:32 | grep -q 'dclcvl70.bpl' \
    && fail "the package registration stayed"
no_xe2_key || fail "the removal created the never-started IDE's key"
echo "running and never-started IDEs: ok"
