#!/usr/bin/env bash
# A deployment tool at work (Intune, SCCM, a script): setup.exe with the silent
# switches of other installers through `cmd /c start /wait`, the detection rule (the
# uninstall entry's DisplayVersion), every value of the uninstall entry with its type,
# the signatures of the programs, and the quiet uninstall command the entry names.
# The machine's only IDE was never started, and the installation before this one
# gave it the library's files only: a plain silent run proposes that choice again.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/ide_machine.sh"
D7_ROOT='C:\Program Files (x86)\Borland\Delphi7'
DIR='C:\Program Files (x86)\Borland\Corvane'
ENTRY='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\cvlLib'

# cmd_wait COMMAND: runs COMMAND as a deployment tool does, through cmd's start
# /wait in a batch file; its exit status in $RC.
cmd_wait() {
    printf 'start "" /wait %s\r\nexit /b %%errorlevel%%\r\n' "$1" >"$C/run/step.cmd"
    RC=0
    timeout 240 wine cmd /c 'C:\run\step.cmd' </dev/null >"$WINEPREFIX/step.out" 2>&1 || RC=$?
}

# The detection rule: the entry's DisplayVersion is this version.
detected() {
    win reg query "$ENTRY" /v DisplayVersion /reg:32 2>/dev/null | tr -d '\r' | grep -Eq 'DisplayVersion +REG_SZ +4\.07$'
}

new_machine deployment
touch "$WINEPREFIX/.made"
"$CVL_SOURCE/tools/make-ide.sh" --prefix "$WINEPREFIX" --compilers "$COMPILERS" --row 9 --root "$D7_ROOT" >/dev/null ||
    fail "make-ide.sh"
# Windows has its help key; a fresh Wine machine does not.
win reg add 'HKLM\Software\Microsoft\Windows\Help' /reg:32 /f >/dev/null
before="$(machine_state)"
cp "$SETUP_EXE" "$C/run/setup.exe"

win "$SETUP_EXE" /silent '/ides=Delphi7!' >/dev/null 2>&1 || fail "the files-only installation: status $?"
cmd_wait 'C:\run\setup.exe /verysilent /suppressmsgboxes /norestart'
expect_eq "deployment status ($(tr -d '\r' <"$WINEPREFIX/step.out"))" "$RC" 0
detected || fail "the detection rule does not hold after the installation"

lib="$(host_path "$DIR")"
bytes="$(find "$lib" -type f -printf '%s\n' | awk '{ s += $1 } END { print s }')"
hive_dump >"$WINEPREFIX/registry.txt"
size="$(/usr/bin/python3 "$CVL_SOURCE/tests/e2e/tools/regvalue.py" --get "$WINEPREFIX/registry.txt" \
    'HKEY_LOCAL_MACHINE\Software\Wow6432Node\Microsoft\Windows\CurrentVersion\Uninstall\cvlLib' EstimatedSize)"
[[ "$size" == dword:* ]] || fail "EstimatedSize is no DWORD: $size"
# The logs grow a little after the size is taken.
(( $((16#${size#dword:})) * 1024 >= bytes - 8192 && $((16#${size#dword:})) * 1024 <= bytes + 1024 )) ||
    fail "EstimatedSize $size for $bytes bytes"
K='HKEY_LOCAL_MACHINE\Software\Wow6432Node\Microsoft\Windows\CurrentVersion\Uninstall\cvlLib'
expect_values "$WINEPREFIX/registry.txt" <<EOF2
$K|DisplayName|Brindlecraft Corvane library v4.07
$K|UninstallString|"$DIR\\unbrd.exe" "$DIR\\uninst.log"
$K|DisplayVersion|4.07
$K|Publisher|Brindlecraft
$K|DisplayIcon|$DIR\\unbrd.exe
$K|InstallLocation|$DIR
$K|QuietUninstallString|"$DIR\\unbrd.exe" /S "$DIR\\uninst.log"
$K|NoModify|dword:00000001
$K|NoRepair|dword:00000001
$K|URLInfoAbout|https://www.brindlecraft.example/
$K|InstallDate|$(date +%Y%m%d)
$K|VersionMajor|dword:00000004
$K|VersionMinor|dword:00000007
HKEY_LOCAL_MACHINE\Software\Wow6432Node\Brindlecraft\Corvane library|FilesOnlyVersions|dword:00000100
EOF2

# The programs are signed, the installed copies too, and a changed byte breaks it.
if [ -z "${CVL_SIGN_PKCS12:-}" ]; then
    # The test authority of the build tree (the i686 runs have a tree below it).
    ca="$CVL_BUILD_ROOT/signing/ca.pem"
    [ -f "$ca" ] || ca="$(dirname "$CVL_BUILD_ROOT")/signing/ca.pem"
    for program in "$SETUP_EXE" "$lib/unbrd.exe" "$lib/Source/cvlabout.dll"; do
        osslsigncode verify -CAfile "$ca" -in "$program" >"$WINEPREFIX/verify.out" 2>&1 ||
            fail "signature of $program: $(tail -5 "$WINEPREFIX/verify.out")"
    done
    cp "$lib/unbrd.exe" "$WINEPREFIX/changed.exe"
    size_bytes=$(stat -c %s "$WINEPREFIX/changed.exe")
    printf '\x5a' | dd of="$WINEPREFIX/changed.exe" bs=1 seek=$((size_bytes / 2)) conv=notrunc status=none
    cmp -s "$lib/unbrd.exe" "$WINEPREFIX/changed.exe" && printf '\x5b' |
        dd of="$WINEPREFIX/changed.exe" bs=1 seek=$((size_bytes / 2)) conv=notrunc status=none
    osslsigncode verify -CAfile "$ca" -in "$WINEPREFIX/changed.exe" >/dev/null 2>&1 &&
        fail "a changed byte passes the signature check"
    rm -f "$WINEPREFIX/changed.exe" "$WINEPREFIX/verify.out"
fi

# The quiet uninstall command of the entry, as the tool runs it.
quiet="$(win reg query "$ENTRY" /v QuietUninstallString /reg:32 | tr -d '\r' |
    sed -n 's/^ *QuietUninstallString *REG_SZ *//p')"
cmd_wait "$quiet"
expect_eq "quiet uninstall status ($(tr -d '\r' <"$WINEPREFIX/step.out"))" "$RC" 0
# unbrd.exe returns when its copy in the temporary folder has done the removal:
# right after it, with no wait, the detection rule fails.
detected && fail "the detection rule still holds right after the removal"
LIB_W="$DIR" wait_removed
rm -f "$C/run/setup.exe" "$C/run/step.cmd" "$WINEPREFIX/step.out" "$WINEPREFIX/registry.txt"
same_state "the removal left another machine" "$(expected_leftovers <<<"$before")" \
    "$(machine_state | expected_leftovers)"
echo "deployment: ok"
