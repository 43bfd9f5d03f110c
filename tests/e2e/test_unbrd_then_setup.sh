#!/usr/bin/env bash
# A build agent's "remove, then install" step: unbrd.exe /S and setup.exe /silent
# one after the other in one batch file, each started with start /wait. The
# uninstaller returns only when the removal is over, so every round ends with the
# machine of a clean installation.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/ide_machine.sh"
new_machine unbrd_then_setup
ROUNDS=10

touch "$WINEPREFIX/.made"
"$CVL_SOURCE/tools/make-ide.sh" --prefix "$WINEPREFIX" --compilers "$COMPILERS" --settings \
    --row 9 --root 'C:\Borland\Delphi7' --hive HKCU >/dev/null || fail "make-ide.sh"
cp "$SETUP_EXE" "$C/run/setup.exe"
INSTALL='start "" /wait C:\run\setup.exe /silent /dir=C:\Corvane /ides=Delphi7 /items='
printf '@echo off\r\n%s\r\nexit /b %%errorlevel%%\r\n' "$INSTALL" >"$C/run/install.bat"
printf '@echo off\r\nstart "" /wait C:\\Corvane\\unbrd.exe /S C:\\Corvane\\uninst.log\r\nif errorlevel 1 exit /b 10\r\n%s\r\nexit /b %%errorlevel%%\r\n' \
    "$INSTALL" >"$C/run/again.bat"

comparable_state() { machine_state | grep -v '"InstallDate"='; }

win cmd /c 'C:\run\install.bat' >/dev/null 2>&1 || fail "first installation: exit status $?"
clean="$(comparable_state)"
grep -q 'Corvane/uninst.log' <<<"$clean" || fail "the first installation wrote no uninstall log"
for round in $(seq 1 $ROUNDS); do
    rc=0; win cmd /c 'C:\run\again.bat' >/dev/null 2>&1 || rc=$?
    expect_eq "round $round: exit status" "$rc" 0
    [ -f "$C/Corvane/uninst.log" ] || fail "round $round: no uninstall log: $(ls "$C/Corvane" 2>&1 | head)"
done
same_state "after $ROUNDS rounds the machine differs from a clean installation" "$clean" "$(comparable_state)"
echo "unbrd then setup: ok"
