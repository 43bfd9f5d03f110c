# Shared by the end-to-end scenarios with stand-in IDEs (sourced after lib.sh): a
# machine with IDEs whose compilers are the project's stand-in programs, the user's
# own library settings in their keys, the script run by the engine, the machine's
# state as text for before/after comparisons, and the removal with unbrd.exe.

SCRIPTRUN="$CVL_BIN/scriptrun.exe"
COMPILERS="$CVL_BIN/compilers"
LIB_W='C:\Corvane'
LIB_LOG_W='C:\Corvane\uninst.log'

# The IDEs of the machine: Delphi 3 and 7, BDS 2006, RAD Studio XE2, XE10.4 without
# dcc64.exe and 11, in both hives, some below folders with blanks.
D3='C:\Borland\Delphi3'
D7='C:\Program Files (x86)\Borland\Delphi7'
BDS4='C:\Program Files (x86)\Borland\BDS\4.0'
XE2='C:\Program Files (x86)\Embarcadero\RAD Studio\9.0'
RS21='C:\Program Files (x86)\Embarcadero\Studio\21.0'
RS22='C:\Program Files (x86)\Embarcadero\Studio\22.0'
ALL_VERSIONS=0xC008501   # catalogue rows 1, 9, 11, 16, 27, 28
ALL_ITEMS=0x30021581     # their selection entries, context help and demos

host_path() { local p="${1#C:\\}"; echo "$C/${p//\\//}"; }

# make_ide_machine [make-ide options for all IDEs]: the IDEs and the user's settings.
make_ide_machine() {
    touch "$WINEPREFIX/.made"
    "$CVL_SOURCE/tools/make-ide.sh" --prefix "$WINEPREFIX" --compilers "$COMPILERS" "$@" \
        --row 1 --root "$D3" \
        --row 9 --root "$D7" --hive HKCU \
        --row 11 --root "$BDS4" \
        --row 16 --root "$XE2" \
        --row 27 --root "$RS21" --no-dcc64 \
        --row 28 --root "$RS22" --hive HKCU || fail "make-ide.sh"
    import_user_settings
}

# What the machine and the user of these IDEs have already: the IDEs' own packages,
# a Windows help registration, and library settings with entries that share a
# beginning with the library's folders; none of them may change.
import_user_settings() {
    cat >"$C/user-settings.reg" <<'EOF'
Windows Registry Editor Version 5.00

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\Help]
"d7.hlp"="C:\\Program Files (x86)\\Borland\\Delphi7\\Help"

[HKEY_CURRENT_USER\Software\Borland\Delphi\3.0\Known Packages]
"C:\\Borland\\Delphi3\\Bin\\dclstd30.dpl"="Delphi Standard Components"

[HKEY_CURRENT_USER\Software\Borland\Delphi\7.0\Known Packages]
"$(DELPHI)\\Bin\\dclstd70.bpl"="Borland Standard Components"

[HKEY_CURRENT_USER\Software\Borland\BDS\4.0\Known Packages]
"$(BDS)\\Bin\\dclstd100.bpl"="Borland Standard Components"

[HKEY_CURRENT_USER\Software\Embarcadero\BDS\9.0\Known Packages]
"$(BDS)\\Bin\\dclstd160.bpl"="Embarcadero Standard Components"

[HKEY_CURRENT_USER\Software\Embarcadero\BDS\21.0\Known Packages]
"$(BDS)\\Bin\\dclstd270.bpl"="Embarcadero Standard Components"

[HKEY_CURRENT_USER\Software\Embarcadero\BDS\22.0\Known Packages]
"$(BDS)\\Bin\\dclstd280.bpl"="Embarcadero Standard Components"

[HKEY_CURRENT_USER\Software\Borland\Delphi\3.0\Library]
"SearchPath"="$(DELPHI)\\Lib;C:\\Corvane\\Delphi3x"

[HKEY_CURRENT_USER\Software\Borland\Delphi\7.0\Library]
"Search Path"="$(DELPHI)\\Lib;$(DELPHI)\\Bin;C:\\Corvane\\Delphi7\\Extra;C:\\Corvane\\Delphi"

[HKEY_CURRENT_USER\Software\Borland\BDS\4.0\Library]
"Search Path"="$(BDS)\\Lib;C:\\CORVANE\\BDS2006\\Old"

[HKEY_CURRENT_USER\Software\Borland\BDS\4.0\CppPaths]
"SearchPath"="$(BDS)\\include"

[HKEY_CURRENT_USER\Software\Embarcadero\BDS\9.0\Library\Win32]
"Search Path"="$(BDSLIB)\\$(Platform)\\release;C:\\Corvane\\RADStudio9\\Win32x"

[HKEY_CURRENT_USER\Software\Embarcadero\BDS\9.0\Library\Win64]
"Search Path"="$(BDSLIB)\\$(Platform)\\release"

[HKEY_CURRENT_USER\Software\Embarcadero\BDS\9.0\C++\Paths\Win32]
"LibraryPath"="$(BDSLIB)\\win32\\release"

[HKEY_CURRENT_USER\Software\Embarcadero\BDS\21.0\Library\Win32]
"Search Path"="$(BDSLIB)\\$(Platform)\\release"

[HKEY_CURRENT_USER\Software\Embarcadero\BDS\21.0\Library\Win64]
"Search Path"="$(BDSLIB)\\$(Platform)\\release"

[HKEY_CURRENT_USER\Software\Embarcadero\BDS\21.0\C++\Paths\Win32]
"LibraryPath"="$(BDSLIB)\\win32\\release"

[HKEY_CURRENT_USER\Software\Embarcadero\BDS\22.0\Library\Win32]
"Search Path"="$(BDSLIB)\\$(Platform)\\release;C:\\Corvane"

[HKEY_CURRENT_USER\Software\Embarcadero\BDS\22.0\Library\Win64]
"Search Path"=""

[HKEY_CURRENT_USER\Software\Embarcadero\BDS\22.0\C++\Paths\Win32]
"LibraryPath"="$(BDSLIB)\\win32\\release"

[HKEY_CURRENT_USER\Software\Embarcadero\BDS\22.0\C++\Paths\Win64]
"LibraryPath"="$(BDSLIB)\\win64\\release"
EOF
    (cd "$C" && wine reg import 'C:\user-settings.reg' /reg:32) </dev/null >/dev/null 2>&1 || fail "reg import"
    rm -f "$C/user-settings.reg"
}

# run_script VERSIONS ITEMS [scriptrun switches]: the whole script through the
# engine, with the installation record; its failing rows in $WINEPREFIX/scriptrun.out.
# Fails when any row fails.
run_script() {
    win "$SCRIPTRUN" "$LIB_W" "$1" "$2" /record "${@:3}" >"$WINEPREFIX/scriptrun.out" 2>&1
}

# The registry (both hives, values included) and every file of drive C:, with the
# checksum of each file outside the Windows folder and of each file that changed
# since the machine was made; without what Wine itself keeps changing: its services
# and devices, the display driver's keys, the fonts it registers when a window first
# needs them, the profile folder value its shell adds when a program first asks
# for one, and the console settings it keeps once a console has been opened.
machine_state() {
    hive_dump | awk '
        /^\[/ { keep = ($0 !~ /^\[HKEY_CURRENT_USER\\Console|\\(Software\\Wine|System\\CurrentControlSet\\(Services|Enum|Control\\(Video|Class))|Hardware|Software\\Microsoft\\Windows\\CurrentVersion\\Explorer|Software\\Microsoft\\Windows NT\\CurrentVersion\\(Perflib|Fonts)|Software\\Microsoft\\Windows\\CurrentVersion\\Fonts)/) }
        /^"Users"=str\(2\):/ { next }
        # The day of an installation: runs compared across midnight differ in it alone.
        keep && /^"InstallDate"=/ { print "\"InstallDate\"=(the day)"; next }
        keep && NF && !/^#/'
    (cd "$C" && find . \( -path ./users -o -path ./windows/temp -o -path ./windows/logs \) \
        -prune -o -type f -print | sort)
    (cd "$C" && find . \( -path ./users -o -path ./windows/temp -o -path ./windows/logs \) \
        -prune -o -type f \( -newer "$WINEPREFIX/.made" -o ! -path './windows/*' \) -print0 | sort -z | xargs -0 -r md5sum)
}

# The whole registry as Wine stores it, key names written as in an export
# ([HKEY_LOCAL_MACHINE\Software\...]). The server writes its files when it ends, so
# it is stopped for the dump and started again (faster than exporting the hives),
# unless SERVER_STAYS_DOWN is set.
hive_dump() {
    stop_wineserver "$WINEPREFIX"
    WINEPREFIX="$WINEPREFIX" wineserver -w </dev/null >/dev/null 2>&1 || true
    local hive file
    for hive in HKEY_LOCAL_MACHINE:system.reg HKEY_CURRENT_USER:user.reg; do
        file="$WINEPREFIX/${hive#*:}"
        awk -v root="${hive%%:*}" '
            /^\[/ { name = substr($0, 2, index($0, "] ") - 2); gsub(/\\\\/, "\\", name); print "[" root "\\" name "]"; next }
            { print }' "$file"
    done
    [ -n "${SERVER_STAYS_DOWN:-}" ] || start_wineserver "$WINEPREFIX"
}

# What a removal leaves by design: the IDEs' WinHelp caches (*.gid), which the
# installation deletes so that WinHelp rebuilds them with the library's index lines;
# the alias lines merged into the IDE's alias file and the runtime packages copied
# into the system directory, for which the script writes no uninstall record. And
# Wine's doing: its cmd.exe runs the right-hand command of "a || b" also when a
# succeeded, so the help batch file's fallback writes the 64-bit view of the
# registry as well, whose emptied keys its removal leaves.
expected_leftovers() {
    grep -v -e '/Help/delphi3\.gid$' -e '/Help/d7\.gid$' -e '/Help/d7\.als$' -e "/$SYSDIR/cvl[0-9]*\\.[bd]pl\$" \
        -e '^\[HKEY_LOCAL_MACHINE\\Software\\Brindlecraft'
}

# same_state WHAT BEFORE AFTER: fails with the first differences when they differ.
same_state() {
    if [ "$2" != "$3" ]; then
        diff <(echo "$2") <(echo "$3") | head -40 >&2
        fail "$1"
    fi
}

# expect_values DUMP: checks the registry values that stdin lists, one a line as
# KEY|NAME|DATA (strings unescaped), against a dump made by registry_dump or hive_dump.
expect_values() {
    /usr/bin/python3 "$CVL_SOURCE/tests/e2e/tools/regvalue.py" "$1" || fail "registry values differ"
}

# The copy of unbrd.exe in the temporary directory does the work while the
# original waits for it; the copy is gone shortly after the original has ended.
wait_removed() {
    local dir
    dir="$(host_path "$LIB_W")"
    wait_until "the installation and the uninstaller's copy removed" removal_over "$dir"
}

uninstall_silently() {
    local dir
    dir="$(host_path "$LIB_W")"
    win_in "$dir" "$dir/unbrd.exe" /S "$LIB_LOG_W" || fail "unbrd /S exit status $?"
    wait_removed
}

# Through the dialog with "keep my settings" ticked.
uninstall_keeping_settings() {
    local dir dialog="Uninstall Corvane library v4.07" pid
    dir="$(host_path "$LIB_W")"
    # The original waits until the dialog has closed.
    win_in "$dir" "$dir/unbrd.exe" "$LIB_LOG_W" & pid=$!
    driver wait "$dialog" || fail "no removal dialog"
    driver click "$dialog" 1011
    driver click "$dialog" 1000
    driver answer Uninstall 6 >/dev/null
    WAIT_SECONDS=$RUN_PATIENCE wait_until "the removal's last page" page_says "$dialog" "has been removed"
    driver click "$dialog" 2
    driver gone "$dialog" || fail "removal dialog stays open"
    wait $pid || fail "unbrd exit status $?"
    wait_removed
}
