#!/usr/bin/env bash
# Compilers that fail, hang past the time-out or are missing: the script runs to its
# end, the rows after each compile report what was not built, and the removal still
# leaves the machine as it was.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/ide_machine.sh"
new_machine ide_failures
LIB="$C/Corvane"

# Delphi 7's design-time package fails to compile, BDS 2006's runtime package hangs,
# RAD Studio XE2 has lost its dcc32.exe and RAD Studio 11 has no dcc64.exe.
"$CVL_SOURCE/tools/make-ide.sh" --prefix "$WINEPREFIX" --compilers "$COMPILERS" \
    --row 9 --root "$D7" \
    --row 11 --root "$BDS4" --hive HKCU \
    --row 16 --root "$XE2" --no-dcc32 \
    --row 28 --root "$RS22" --no-dcc64 || fail "make-ide.sh"
touch "$WINEPREFIX/.made"
import_user_settings
before="$(machine_state)"

# The hanging compiler (and the helper it starts) would sleep ten minutes. scriptrun
# is a test program: its compile wait can be shortened, setup.exe's cannot.
export CVL_STANDIN_FAIL=dclcvl70 CVL_STANDIN_HANG=cvl2006 CVL_STANDIN_LOG='C:\windows\temp\standin.txt'
started=$SECONDS
rc=0
run_script 0x8008500 0x20021480 /compiletimeout 3000 || rc=$?
unset CVL_STANDIN_FAIL CVL_STANDIN_HANG CVL_STANDIN_LOG
(( SECONDS - started < 40 )) || fail "the run waited for the hanging compiler"

# Nothing the compilers started is still running: the hanging one and its helper
# were ended with their job, and wrote no exit of their own.
left="$(standins_running)"
[ -z "$left" ] || fail "compilers still running: $left"
journal="$(tr -d '\r' <"$C/windows/temp/standin.txt")"
starts="$(grep -F $'start\tdcc32\tC:\\Corvane\\BDS2006\t' <<<"$journal" | grep -cE $' cvl2006\\.dpk\t| /helper [0-9]+\t' || true)"
expect_eq "the hanging compiler and its helper started" "$starts" 2
grep -q $'^exit\tdcc32\t4\t' <<<"$journal" && fail "a hanging stand-in ended by itself"

# The failing rows, as the progress page would report them (without the compilers'
# reports, which follow their rows indented).
grep -v '^    ' "$WINEPREFIX/scriptrun.out" | sed 's/^row [0-9]*: //' | tr -d '\r' >"$WINEPREFIX/failures.txt"
expect_eq "failing rows" "$(cat "$WINEPREFIX/failures.txt")" \
'error 1 type 13: Check file: C:\Corvane\Delphi7\dclcvl70.bpl...Fail
error 1 type 13: Check file: C:\Corvane\BDS2006\cvl2006.bpl...Fail
error 2 type 8014: Copying file: from C:\Corvane\BDS2006\cvl2006.bpl to C:\windows\system32\cvl2006.bpl ...Fail
error 1 type 13: Check file: C:\Corvane\BDS2006\dclcvl2006.bpl...Fail
error FFFFFFFD type 6: Compiling package, cannot find dcc32.exe: cvl160.dpk...Fail
error 1 type 13: Check file: C:\Corvane\RADStudio9\Win32\cvl160.bpl...Fail
error 2 type 8014: Copying file: from C:\Corvane\RADStudio9\Win32\cvl160.bpl to C:\windows\system32\cvl160.bpl ...Fail
error FFFFFFFD type 6: Compiling package, cannot find dcc32.exe: dclcvl160.dpk...Fail
error 1 type 13: Check file: C:\Corvane\RADStudio9\Win32\dclcvl160.bpl...Fail'
expect_eq "exit status" "$rc" 9

# What did get built, and the run's end: the uninstall entry and the product key.
for f in Delphi7/cvl70.bpl RADStudio9/Win64/cvl160.bpl RADStudio22/Win32/cvl280.bpl RADStudio22/Win32/dclcvl280.bpl; do
    [ -f "$LIB/$f" ] || fail "missing $f"
done
# The check rows after a compile carry what the compiler said, and where its log is.
tr -d '\r' <"$WINEPREFIX/scriptrun.out" >"$WINEPREFIX/reports.txt"
for line in "    dclcvl70.dpk(12) Fatal: F1026 File not found: 'cvlStorage.pas'" \
    '    The whole output is in C:\Corvane\Delphi7\dclcvl70.log' \
    '    The compiler did not finish within 3 seconds and was stopped.' \
    '    The last lines the compiler printed:' \
    '    Compiling cvl2006.dpk...' \
    '    The whole output is in C:\Corvane\BDS2006\cvl2006.log'; do
    grep -qxF "$line" "$WINEPREFIX/reports.txt" || fail "no report line [$line]"
done
expect_eq "the failed compile's log" "$(tr -d '\r' <"$LIB/Delphi7/dclcvl70.log" | tail -1)" \
    "dclcvl70.dpk(12) Fatal: F1026 File not found: 'cvlStorage.pas'"
expect_eq "the stopped compile's log" "$(cat "$LIB/BDS2006/cvl2006.log")" $'Compiling cvl2006.dpk...\r'
[ -e "$LIB/RADStudio22/Win64" ] && [ -n "$(ls "$LIB/RADStudio22/Win64")" ] && fail "a Win64 package without dcc64.exe"
iconv -f UTF-16LE -t UTF-8 "$LIB/install.log" | tr -d '\r' >"$WINEPREFIX/install.txt"
grep -A1 -x 'Compiling package: cvl2006.dpk...Success' "$WINEPREFIX/install.txt" | tail -1 | \
    grep -qxF 'Compiler stopped after the time-out of 3000 ms, output in C:\Corvane\BDS2006\cvl2006.log' \
    || fail "the hanging compile's lines"
grep -A1 -x 'Compiling package: cvl70.dpk...Success' "$WINEPREFIX/install.txt" | tail -1 | \
    grep -qxF 'Compiler exit code: 0, output in C:\Corvane\Delphi7\cvl70.log' || fail "the successful compile's lines"
grep -qxF 'Compiler exit code: 1, output in C:\Corvane\Delphi7\dclcvl70.log' "$WINEPREFIX/install.txt" \
    || fail "the failed compile's exit code"
grep -qx 'Check file: C:\\Program Files (x86)\\Embarcadero\\Studio\\22.0\\bin\\dcc64.exe...Fail' "$WINEPREFIX/install.txt" \
    || fail "the missing dcc64.exe's line"
hive_dump >"$WINEPREFIX/registry.txt"
expect_values "$WINEPREFIX/registry.txt" <<'EOF'
HKEY_LOCAL_MACHINE\Software\Wow6432Node\Microsoft\Windows\CurrentVersion\Uninstall\cvlLib|UninstallString|C:\Corvane\unbrd.exe C:\Corvane\uninst.log
HKEY_LOCAL_MACHINE\Software\Wow6432Node\Brindlecraft\Corvane library|InstallVersions|dword:08008500
EOF

# The removal leaves the machine as it was (but for what a removal leaves by
# design); the compilers' logs go with the IDE folders.
uninstall_silently
[ -e "$LIB/Delphi7/cvl70.log" ] && fail "a compiler log outlived the removal"
same_state "the removal left differences" "$(echo "$before" | expected_leftovers)" "$(machine_state | expected_leftovers)"
echo "ide failures: ok"
