#!/usr/bin/env bash
# The unattended installation (setup.exe /silent): on one machine the wizard installs
# into two of three stand-in IDEs, on a second machine made the same way /silent
# installs with the same choices, and both machines must end up alike. Then bad
# arguments that write nothing, an update over the previous installation and a
# failing compiler.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/ide_machine.sh"
WIZARD="Installation Wizard for Corvane library v4.07"
XE2_ROOT='C:\Program Files (x86)\Embarcadero\RAD Studio\9.0'
XE2_ENTRY=12

# Delphi 7 and RAD Studio 11 machine-wide, RAD Studio XE2 for this user.
make_three_ides() {
    touch "$WINEPREFIX/.made"
    "$CVL_SOURCE/tools/make-ide.sh" --prefix "$WINEPREFIX" --compilers "$COMPILERS" --settings \
        --row 9 --root 'C:\Borland\Delphi7' \
        --row 16 --root "$XE2_ROOT" --hive HKCU \
        --row 28 --root 'C:\Embarcadero\Studio\22.0' --no-dcc64 >/dev/null || fail "make-ide.sh"
}

# The day of the run is the only value allowed to differ between two machines.
comparable_state() { machine_state | grep -v '"InstallDate"='; }

# silent ARGS...: runs setup.exe /silent ARGS; its output in $OUT, its status in $RC.
silent() {
    RC=0
    win "$SETUP_EXE" /silent "$@" >"$WINEPREFIX/silent.out" 2>&1 || RC=$?
    OUT="$(tr -d '\r' <"$WINEPREFIX/silent.out")"
}

# ---- machine 1: the wizard, with RAD Studio XE2 unchecked
new_machine silent_wizard
make_three_ides
win "$SETUP_EXE" & SETUP_PID=$!
driver wait "$WIZARD" || fail "no wizard"
driver click "$WIZARD" 1000
wait_eq "IDE list shown" 1 driver visible "$WIZARD" 1013
driver lbsel "$WIZARD" 1013 $XE2_ENTRY
driver key "$WIZARD" 1013 32
wait_eq "XE2 unchecked" "$(printf '0x0\tRAD Studio XE2')" eval 'driver lbitems "$WIZARD" 1013 | tr -d "\r" | sed -n 13p'
driver click "$WIZARD" 1000
wait_eq "directory shown" 1 driver visible "$WIZARD" 1010
driver click "$WIZARD" 1000
wait_eq "ready page" "Start" driver text "$WIZARD" 1000
driver click "$WIZARD" 1000
wait_finish "$WIZARD"
driver click "$WIZARD" 2
wait "$SETUP_PID" || fail "wizard exit status"
WIZARD_STATE="$(comparable_state)"
grep -q 'RADStudio9' <<<"$WIZARD_STATE" && fail "the wizard installed into the unchecked XE2"
for made in '/Borland/Corvane/RADStudio22/Win32/cvl280.bpl$' '^"InstallVersions"=dword:08000100$' \
            'Trial Delphi version of Corvane library v4.07'; do
    grep -Eq "$made" <<<"$WIZARD_STATE" || fail "the wizard's machine lacks $made"
done
stop_wineserver "$WINEPREFIX"; rm -rf "$WINEPREFIX"

# ---- machine 2: the same IDEs, /silent
new_machine silent_install
make_three_ides
mkdir -p "$C/logs"

# Bad arguments: status 2 and nothing written; nothing chosen: status 3.
before="$(machine_state)"
mkdir -p "$C/Occupied"; echo mine >"$C/Occupied/notes.txt"
bad=(
    '/ides=Delphi8|Unknown IDE name: Delphi8'
    '/ides=Delphi7,RADStudio21|The IDE RADStudio21 was not found on this computer.'
    '/ides=CBuilder6|The library cannot be installed into CBuilder6.'
    '/items=help,sources|Unknown item: sources'
    '/dir=|No install directory: give one with /dir=PATH.'
    '/dir=Corvane|must be a full path'
    '/dir=C:\Occupied|The folder C:\Occupied already holds files'
    '/log=|/log= names no file.'
    '/dri=C:\Corvane|Unknown argument: /dri=C:\Corvane'
)
for case in "${bad[@]}"; do
    silent /log='C:\logs\bad.log' "${case%%|*}"
    expect_eq "status for ${case%%|*}" "$RC" 2
    [[ "$OUT" == *"${case#*|}"* ]] || fail "output for ${case%%|*}: [$OUT]"
done
silent /ides= /items=
expect_eq "status with nothing chosen" "$RC" 3
[[ "$OUT" == "Nothing to install: no IDE and no item chosen." ]] || fail "output with nothing chosen: [$OUT]"
rm -rf "$C/Occupied" "$WINEPREFIX/silent.out"
same_state "a refused run wrote something" "$before" "$(machine_state)"

# The install: the same machine as the wizard's, and the log copied.
silent /ides=Delphi7,RADStudio22 /log='C:\logs\build.log'
expect_eq "silent install status (output: $OUT)" "$RC" 0
expect_eq "silent install output" "$OUT" ""
# The copy is install.log behind a UTF-16LE byte-order mark, for cmd's type.
expect_eq "the copied log's byte-order mark" "$(head -c 2 "$C/logs/build.log" | od -An -tx1 | tr -d ' ')" fffe
cmp <(tail -c +3 "$C/logs/build.log") "$C/Borland/Corvane/install.log" || fail "the copied log differs"
rm -rf "$C/logs" "$WINEPREFIX/silent.out"
same_state "the silent install left another machine than the wizard" "$WIZARD_STATE" "$(comparable_state)"

# An update over it: the previous directory, every detected IDE, the old tree replaced.
LIB="$C/Borland/Corvane"
echo stray >"$LIB/stray.txt"
silent /ides=found /items=help
expect_eq "update status (output: $OUT)" "$RC" 0
[ -f "$LIB/stray.txt" ] && fail "the update kept the previous tree"
for f in Delphi7/cvl70.bpl RADStudio9/Win32/cvl160.bpl RADStudio22/Win32/cvl280.bpl Help/cvlib.hlp; do
    [ -f "$LIB/$f" ] || fail "the update lacks $f"
done
[ -d "$LIB/Demos" ] && fail "demos installed without being chosen"
hive_dump >"$WINEPREFIX/registry.txt"
expect_values "$WINEPREFIX/registry.txt" <<'EOF2'
HKEY_LOCAL_MACHINE\Software\Wow6432Node\Brindlecraft\Corvane library|InstallVersions|dword:08008100
HKEY_LOCAL_MACHINE\Software\Wow6432Node\Brindlecraft\Corvane library|InstallItems|dword:20020480
HKEY_LOCAL_MACHINE\Software\Wow6432Node\Brindlecraft\Corvane library|RootDir|C:\Borland\Corvane
HKEY_LOCAL_MACHINE\Software\Wow6432Node\Microsoft\Windows\CurrentVersion\Uninstall\cvlLib|UninstallString|C:\Borland\Corvane\unbrd.exe C:\Borland\Corvane\uninst.log
EOF2

# A failing compiler: the run completes with status 1 and lists the failing rows, on
# the caller's output and in install.log.
export CVL_STANDIN_FAIL=dclcvl70
silent
unset CVL_STANDIN_FAIL
expect_eq "status with a failing compile" "$RC" 1
want='Error in ScriptItem=[0-9]+, ErrorCode=1h ScriptItemId=13 with text'
grep -Eq "^$want\$" <<<"$OUT" || fail "no failing row listed: [$OUT]"
grep -qx 'Check file: C:\\Borland\\Corvane\\Delphi7\\dclcvl70.bpl...Fail' <<<"$OUT" || fail "the failing row's text: [$OUT]"
grep -q 'failures; the log: C:\\Borland\\Corvane\\install.log$' <<<"$OUT" || fail "no summary: [$OUT]"
LOG_TEXT="$(iconv -f UTF-16LE -t UTF-8 "$LIB/install.log" | tr -d '\r')"
grep -Eq "^$want\$" <<<"$LOG_TEXT" || fail "failures not in install.log"
# The package that was not built is not registered: the IDE would miss it at every start.
grep -qx 'Registering package: C:\\Borland\\Corvane\\Delphi7\\dclcvl70.bpl...Skipped: the package was not built' \
    <<<"$LOG_TEXT" || fail "no Skipped line for the unbuilt package"
hive_dump | grep -qi 'dclcvl70\.bpl"=' && fail "the unbuilt package is registered"
echo "silent install: ok"
