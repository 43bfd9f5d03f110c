#!/usr/bin/env bash
# A build agent's "remove, then install" step: unbrd.exe /S and setup.exe /silent
# one after the other in one batch file, each started with start /wait. The
# uninstaller returns only when the removal is over, so every round ends with the
# machine of a clean installation. The user's own settings that equal the
# library's (a search-path entry, a Known Packages value) are there before the
# first installation and come back byte for byte after the last removal, as does
# the IDE's alias file that the installation merges the library's aliases into. The
# runtime package in the system folder is counted under SharedDLLs: it goes with
# its last user and stays while another one counts.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/ide_machine.sh"
new_machine unbrd_then_setup
ROUNDS=10

touch "$WINEPREFIX/.made"
"$CVL_SOURCE/tools/make-ide.sh" --prefix "$WINEPREFIX" --compilers "$COMPILERS" --settings \
    --row 9 --root 'C:\Borland\Delphi7' --hive HKCU >/dev/null || fail "make-ide.sh"
cp "$SETUP_EXE" "$C/run/setup.exe"
INSTALL='start "" /wait C:\run\setup.exe /silent /dir=C:\Corvane /ides=Delphi7 /items=help'
printf '@echo off\r\n%s\r\nexit /b %%errorlevel%%\r\n' "$INSTALL" >"$C/run/install.bat"
printf '@echo off\r\nstart "" /wait C:\\Corvane\\unbrd.exe /S C:\\Corvane\\uninst.log\r\nif errorlevel 1 (echo unbrd /S: exit status %%errorlevel%%& exit /b 10)\r\n%s\r\nexit /b %%errorlevel%%\r\n' \
    "$INSTALL" >"$C/run/again.bat"

comparable_state() { machine_state | grep -v '"InstallDate"='; }
RUNTIME_W='C:\windows\system32\cvl70.bpl'
RUNTIME="$C/$SYSDIR/cvl70.bpl"
SHARED_KEY='HKLM\Software\Microsoft\Windows\CurrentVersion\SharedDLLs'
users_of_runtime() {
    win reg query "$SHARED_KEY" /v "$RUNTIME_W" /reg:32 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_DWORD *//p'
}

D7_KEY='HKCU\Software\Borland\Delphi\7.0'
win reg add "$D7_KEY\Library" /v 'Search Path' /d 'C:\Mine;;C:\Corvane\Delphi7' /f >/dev/null || fail "reg add"
win reg add "$D7_KEY\Known Packages" /v 'C:\Corvane\Delphi7\dclcvl70.bpl' /d 'Mine' /f >/dev/null || fail "reg add"
users_own="$(comparable_state)"

win cmd /c 'C:\run\install.bat' >/dev/null 2>&1 || fail "first installation: exit status $?"
clean="$(comparable_state)"
grep -q 'Corvane/uninst.log' <<<"$clean" || fail "the first installation wrote no uninstall log"
for round in $(seq 1 $ROUNDS); do
    rc=0; out="$(win cmd /c 'C:\run\again.bat' 2>&1)" || rc=$?
    expect_eq "round $round: exit status [$(tr -d '\r' <<<"$out")]" "$rc" 0
    [ -f "$C/Corvane/uninst.log" ] || fail "round $round: no uninstall log: $(ls "$C/Corvane" 2>&1 | head)"
done
same_state "after $ROUNDS rounds the machine differs from a clean installation" "$clean" "$(comparable_state)"
expect_eq "users of the runtime package" "$(users_of_runtime)" 0x1
grep -qF '"Search Path"="C:\\Mine;;C:\\Corvane\\Delphi7"' <<<"$clean" || fail "the installation changed the user's search path"

rc=0; win cmd /c 'start "" /wait C:\Corvane\unbrd.exe /S C:\Corvane\uninst.log' >/dev/null 2>&1 || rc=$?
expect_eq "last removal: exit status" "$rc" 0
# Only the IDE's help cache differs: the installation deletes it so that WinHelp
# rebuilds it with the library's index lines.
without_help_cache() { grep -v '/Help/d7\.gid$'; }
grep -q 'Borland/Delphi7/Help/d7.als$' <<<"$users_own" || fail "no alias file to merge into"
grep -qi 'tcvl' "$C/Borland/Delphi7/Help/d7.als" 2>/dev/null && fail "the library's aliases stayed"
same_state "the last removal left another machine than the user's" "$(without_help_cache <<<"$users_own")" \
    "$(comparable_state | without_help_cache)"
[ -e "$RUNTIME" ] && fail "the runtime package stayed without users"
expect_eq "users after the last removal" "$(users_of_runtime)" ""

# Another program counts as a user of the runtime package as well: it stays.
win cmd /c 'C:\run\install.bat' >/dev/null 2>&1 || fail "installation: exit status $?"
win reg add "$SHARED_KEY" /v "$RUNTIME_W" /t REG_DWORD /d 2 /f /reg:32 >/dev/null || fail "reg add"
win cmd /c 'start "" /wait C:\Corvane\unbrd.exe /S C:\Corvane\uninst.log' >/dev/null 2>&1 || fail "removal: exit status $?"
[ -f "$RUNTIME" ] || fail "the runtime package went while another program uses it"
expect_eq "users after the removal" "$(users_of_runtime)" 0x1
echo "unbrd then setup: ok"
