#!/usr/bin/env bash
# The whole script run by the engine (scriptrun.exe) on a machine with stand-in IDEs
# whose compilers really build the packages: an installation, an update over it, a
# full and a partial removal with unbrd.exe.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/ide_machine.sh"
new_machine ide_install
LIB="$C/Corvane"

# What the installation must have left: the packages, their registration, the
# search paths (the user's look-alike entries unchanged), help, uninstall entry and
# product key.
check_installed() {
    local f
    for f in Delphi3/cvl30.dpl Delphi3/dclcvl30.dpl Delphi7/cvl70.bpl Delphi7/dclcvl70.bpl \
             BDS2006/cvl2006.bpl BDS2006/dclcvl2006.bpl \
             RADStudio9/Win32/cvl160.bpl RADStudio9/Win32/dclcvl160.bpl RADStudio9/Win64/cvl160.bpl \
             RADStudio21/Win32/cvl270.bpl RADStudio21/Win32/dclcvl270.bpl \
             RADStudio22/Win32/cvl280.bpl RADStudio22/Win64/cvl280.bpl; do
        [ -f "$LIB/$f" ] || fail "missing $f"
    done
    [ -e "$LIB/RADStudio21/Win64/cvl270.bpl" ] && fail "a Win64 package without dcc64.exe"
    for f in Delphi3/cvl30.dpl Delphi7/cvl70.bpl BDS2006/cvl2006.bpl RADStudio9/Win32/cvl160.bpl \
             RADStudio21/Win32/cvl270.bpl RADStudio22/Win32/cvl280.bpl; do
        cmp -s "$LIB/$f" "$C/windows/system32/${f##*/}" || fail "system directory copy of $f"
    done

    hive_dump >"$WINEPREFIX/registry.txt"
    expect_values "$WINEPREFIX/registry.txt" <<'EOF'
HKEY_CURRENT_USER\Software\Borland\Delphi\3.0\Known Packages|C:\Corvane\Delphi3\dclcvl30.dpl|Trial Delphi version of Corvane library v4.07
HKEY_CURRENT_USER\Software\Borland\Delphi\7.0\Known Packages|C:\Corvane\Delphi7\dclcvl70.bpl|Trial Delphi version of Corvane library v4.07
HKEY_CURRENT_USER\Software\Borland\BDS\4.0\Known Packages|C:\Corvane\BDS2006\dclcvl2006.bpl|Trial Delphi version of Corvane library v4.07
HKEY_CURRENT_USER\Software\Embarcadero\BDS\9.0\Known Packages|C:\Corvane\RADStudio9\Win32\dclcvl160.bpl|Trial Delphi version of Corvane library v4.07
HKEY_CURRENT_USER\Software\Embarcadero\BDS\21.0\Known Packages|C:\Corvane\RADStudio21\Win32\dclcvl270.bpl|Trial Delphi version of Corvane library v4.07
HKEY_CURRENT_USER\Software\Embarcadero\BDS\22.0\Known Packages|C:\Corvane\RADStudio22\Win32\dclcvl280.bpl|Trial Delphi version of Corvane library v4.07
HKEY_CURRENT_USER\Software\Borland\Delphi\3.0\Library|SearchPath|$(DELPHI)\Lib;C:\Corvane\Delphi3x;C:\Corvane\Delphi3
HKEY_CURRENT_USER\Software\Borland\Delphi\7.0\Library|Search Path|$(DELPHI)\Lib;$(DELPHI)\Bin;C:\Corvane\Delphi7\Extra;C:\Corvane\Delphi;C:\Corvane\Delphi7
HKEY_CURRENT_USER\Software\Borland\BDS\4.0\Library|Search Path|$(BDS)\Lib;C:\CORVANE\BDS2006\Old;C:\Corvane\BDS2006
HKEY_CURRENT_USER\Software\Borland\BDS\4.0\CppPaths|SearchPath|$(BDS)\include;C:\Corvane\BDS2006
HKEY_CURRENT_USER\Software\Embarcadero\BDS\9.0\Library\Win32|Search Path|$(BDSLIB)\$(Platform)\release;C:\Corvane\RADStudio9\Win32x;C:\Corvane\RADStudio9\Win32
HKEY_CURRENT_USER\Software\Embarcadero\BDS\9.0\Library\Win64|Search Path|$(BDSLIB)\$(Platform)\release;C:\Corvane\RADStudio9\Win64
HKEY_CURRENT_USER\Software\Embarcadero\BDS\9.0\C++\Paths\Win32|LibraryPath|$(BDSLIB)\win32\release;C:\Corvane\RADStudio9\Win32
HKEY_CURRENT_USER\Software\Embarcadero\BDS\21.0\Library\Win32|Search Path|$(BDSLIB)\$(Platform)\release;C:\Corvane\RADStudio21\Win32
HKEY_CURRENT_USER\Software\Embarcadero\BDS\21.0\Library\Win64|Search Path|$(BDSLIB)\$(Platform)\release
HKEY_CURRENT_USER\Software\Embarcadero\BDS\22.0\Library\Win32|Search Path|$(BDSLIB)\$(Platform)\release;C:\Corvane;C:\Corvane\RADStudio22\Win32
HKEY_CURRENT_USER\Software\Embarcadero\BDS\22.0\Library\Win64|Search Path|C:\Corvane\RADStudio22\Win64
HKEY_CURRENT_USER\Software\Embarcadero\BDS\22.0\C++\Paths\Win64|LibraryPath|$(BDSLIB)\win64\release;C:\Corvane\RADStudio22\Win64
HKEY_LOCAL_MACHINE\Software\Wow6432Node\Microsoft\Windows\Help|cvlib.hlp|C:\Corvane\Help
HKEY_LOCAL_MACHINE\Software\Wow6432Node\Microsoft\Windows\Help|cvlib.cnt|C:\Corvane\Help
HKEY_LOCAL_MACHINE\Software\Wow6432Node\Brindlecraft\Corvane library\Help|Collection|C:\Corvane\help\cvl.hxs
HKEY_LOCAL_MACHINE\Software\Wow6432Node\Microsoft\Windows\CurrentVersion\Uninstall\cvlLib|DisplayName|Brindlecraft Corvane library v4.07
HKEY_LOCAL_MACHINE\Software\Wow6432Node\Microsoft\Windows\CurrentVersion\Uninstall\cvlLib|UninstallString|C:\Corvane\unbrd.exe C:\Corvane\uninst.log
HKEY_LOCAL_MACHINE\Software\Wow6432Node\Brindlecraft\Corvane library|RootDir|C:\Corvane
HKEY_LOCAL_MACHINE\Software\Wow6432Node\Brindlecraft\Corvane library|InstallVersions|dword:0c008501
EOF
    # The help index lines of the IDEs that read WinHelp indexes, and the alias file.
    grep -q '^:Index Corvane library components=cvlib.hlp' "$(host_path "$D3")/Help/delphi3.cfg" || fail "delphi3.cfg index line"
    grep -q '^:Link cvlib.hlp' "$(host_path "$D3")/Help/delphi3.cfg" || fail "delphi3.cfg link line"
    grep -q '^:Index Corvane library components=cvlib.hlp' "$(host_path "$D7")/Help/d7.ohi" || fail "d7.ohi index line"
    grep -q '^:Link cvlib.hlp' "$(host_path "$D7")/Help/d7.ohl" || fail "d7.ohl link line"
    grep -q '^TcvlAppSettings=cvlib.hlp' "$(host_path "$D7")/Help/d7.als" || fail "d7.als not merged"
    # install.log: every compile started and every package checked.
    iconv -f UTF-16LE -t UTF-8 "$LIB/install.log" | tr -d '\r' >"$WINEPREFIX/install.txt"
    expect_eq "compile lines" "$(grep -c '^Compiling package: .*\.dpk\.\.\.Success$' "$WINEPREFIX/install.txt")" 14
    expect_eq "compiler exits" "$(grep -c '^Compiler exit code: 0, output in C:\\Corvane\\[A-Za-z0-9]*\\[a-z0-9]*\.log$' "$WINEPREFIX/install.txt")" 14
    grep -qx 'Compiler exit code: 0, output in C:\\Corvane\\Delphi7\\dclcvl70.log' "$WINEPREFIX/install.txt" || fail "compile log line"
    expect_eq "package checks" "$(grep -c '^Check file: .*\.[bd]pl\.\.\.Success$' "$WINEPREFIX/install.txt")" 14
    grep -qx 'Adding search path: C:\\Corvane\\Delphi7...Success' "$WINEPREFIX/install.txt" || fail "two-line package entry"
}

make_ide_machine
before="$(machine_state | expected_leftovers)"

# 1. Everything.
run_script "$ALL_VERSIONS" "$ALL_ITEMS" || fail "rows failed on the first install: $(cat "$WINEPREFIX/scriptrun.out")"
check_installed
after_install="$(machine_state | grep -v '  ./Corvane/install.log$')"
cp "$WINEPREFIX/install.txt" "$WINEPREFIX/install-first.txt"

# 2. Again: the previous installation goes first, and the machine ends the same. The
# update keeps the user's template settings file, so that row alone logs otherwise.
echo "stray" >"$LIB/Delphi7/stray.dcu"
run_script "$ALL_VERSIONS" "$ALL_ITEMS" || fail "rows failed on the update: $(cat "$WINEPREFIX/scriptrun.out")"
[ -e "$LIB/Delphi7/stray.dcu" ] && fail "the update kept the previous installation's folder"
same_state "the update left another machine" "$after_install" "$(machine_state | grep -v '  ./Corvane/install.log$')"
expect_eq "install.log of the update" \
    "$(diff "$WINEPREFIX/install-first.txt" <(iconv -f UTF-16LE -t UTF-8 "$LIB/install.log" | tr -d '\r') | grep '^[<>]')" \
    "< Copying file: C:\windows\cvTempls.ini...Success
> Copying file: C:\windows\cvTempls.ini...Already"

# 3. Removal: the machine as it was, the user's own search-path entries included.
uninstall_silently
same_state "the removal left differences" "$before" "$(machine_state | expected_leftovers)"

# 4. Partial removal keeps exactly the product key and the template settings file.
run_script "$ALL_VERSIONS" "$ALL_ITEMS" || fail "rows failed on the third install: $(cat "$WINEPREFIX/scriptrun.out")"
uninstall_keeping_settings
diff <(echo "$before") <(machine_state | expected_leftovers) | grep '^[<>]' >"$WINEPREFIX/partial.diff" || true
grep -v -e '^> \[HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\Brindlecraft' -e '^> "[A-Za-z]*"=' \
    -e '^> ./windows/cvTempls.ini$' -e '^> [0-9a-f]*  ./windows/cvTempls.ini$' "$WINEPREFIX/partial.diff" >&2 \
    && fail "the partial removal left more than the product key and the template file"
grep -q 'windows/cvTempls.ini$' "$WINEPREFIX/partial.diff" || fail "the partial removal took the template file"
grep -qF '> [HKEY_LOCAL_MACHINE\Software\Wow6432Node\Brindlecraft\Corvane library]' "$WINEPREFIX/partial.diff" \
    || fail "the partial removal took the product key"
echo "ide install: ok"
