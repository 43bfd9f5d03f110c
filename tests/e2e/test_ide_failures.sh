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

export CVL_STANDIN_FAIL=dclcvl70 CVL_STANDIN_HANG=cvl2006 CVL_STANDIN_HANG_MS=6000 CVL_COMPILE_TIMEOUT_MS=1000
started=$SECONDS
rc=0
run_script 0x8008500 0x20021480 || rc=$?
unset CVL_STANDIN_FAIL CVL_STANDIN_HANG CVL_STANDIN_HANG_MS CVL_COMPILE_TIMEOUT_MS
(( SECONDS - started < 40 )) || fail "the run waited for the hanging compiler"

# The failing rows, as the progress page would report them.
sed 's/^row [0-9]*: //' "$WINEPREFIX/scriptrun.out" | tr -d '\r' >"$WINEPREFIX/failures.txt"
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
[ -e "$LIB/RADStudio22/Win64" ] && [ -n "$(ls "$LIB/RADStudio22/Win64")" ] && fail "a Win64 package without dcc64.exe"
iconv -f UTF-16LE -t UTF-8 "$LIB/install.log" | tr -d '\r' >"$WINEPREFIX/install.txt"
grep -qx 'Compiling package: cvl2006.dpk...Success' "$WINEPREFIX/install.txt" || fail "the hanging compile's line"
grep -qx 'Check file: C:\\Program Files (x86)\\Embarcadero\\Studio\\22.0\\bin\\dcc64.exe...Fail' "$WINEPREFIX/install.txt" \
    || fail "the missing dcc64.exe's line"
hive_dump >"$WINEPREFIX/registry.txt"
expect_values "$WINEPREFIX/registry.txt" <<'EOF'
HKEY_LOCAL_MACHINE\Software\Wow6432Node\Microsoft\Windows\CurrentVersion\Uninstall\cvlLib|UninstallString|C:\Corvane\unbrd.exe C:\Corvane\uninst.log
HKEY_LOCAL_MACHINE\Software\Wow6432Node\Brindlecraft\Corvane library|InstallVersions|dword:08008500
EOF

# The hanging compiler has given up by now; the removal leaves the machine as it was
# (but for what a removal leaves by design).
sleep 2
uninstall_silently
same_state "the removal left differences" "$(echo "$before" | expected_leftovers)" "$(machine_state | expected_leftovers)"
echo "ide failures: ok"
