#!/usr/bin/env bash
# The whole product on a machine with stand-in IDEs: a wizard install, an update by a
# second setup run, and the removal through the command of the uninstall entry, which
# leaves the machine as it was. Screenshots of every page go to
# $CVL_BUILD_ROOT/screenshots/wizard-install/.
source "$(dirname "$0")/lib.sh"
new_machine wizard_install
WIZARD="Installation Wizard for Corvane library v4.07"
SHOTS="$CVL_BUILD_ROOT/screenshots/wizard-install"
rm -rf "$SHOTS"; mkdir -p "$SHOTS"
shot() { [ -n "${DISPLAY:-}" ] && "$CVL_SOURCE/tools/screenshot.sh" "$SHOTS/$1.png" || true; }
text() { driver text "$WIZARD" "$1"; }
next() { driver step "$WIZARD" 1000; }

# Delphi 7 and RAD Studio 11 machine-wide, RAD Studio XE2 for this user below a
# folder with blanks; RAD Studio 11 without its 64-bit compiler.
XE2_ROOT='C:\Program Files (x86)\Embarcadero\RAD Studio\9.0'
"$CVL_SOURCE/tools/make-ide.sh" --prefix "$WINEPREFIX" --compilers "$CVL_BIN/standin_compiler.exe" --settings \
    --row 9 --root 'C:\Borland\Delphi7' \
    --row 16 --root "$XE2_ROOT" --hive HKCU \
    --row 28 --root 'C:\Embarcadero\Studio\22.0' --no-dcc64 >/dev/null
# The user's own library entries, one of them sharing a prefix with the library's
# folder: they must survive the install and the removal untouched.
win reg add 'HKCU\Software\Borland\Delphi\7.0\Library' /v 'Search Path' \
    /d '$(DELPHI)\Lib;C:\MyLib;C:\Borland\CorvaneX' /f >/dev/null
# Windows keeps its help registrations here; this machine has one of its own.
win reg add 'HKLM\Software\Microsoft\Windows\Help' /v 'notepad.hlp' /d 'C:\windows\help' /reg:32 /f >/dev/null

KEYS=(
    'HKCU\Software\Borland' 'HKCU\Software\Embarcadero' 'HKLM\Software\Borland' 'HKLM\Software\Embarcadero'
    'HKLM\Software\Brindlecraft' 'HKLM\Software\Microsoft\Windows\Help'
    'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\cvlLib'
)
state() {
    local key
    for key in "${KEYS[@]}"; do
        echo "== $key"
        win reg query "$key" /s /reg:32 2>/dev/null | tr -d '\r' | grep -v '^$' || echo "(none)"
    done
    (cd "$C" && find Borland Embarcadero "Program Files (x86)/Embarcadero" windows/cvTempls.ini \
        $SYSDIR/cvl*.bpl 2>/dev/null | sort)
    # The help cache files (.gid) are the IDE's to rebuild, and the merged alias
    # files keep the library's aliases: both are checked apart.
    (cd "$C" && find Borland Embarcadero "Program Files (x86)/Embarcadero" -path '*Help*' -type f \
        ! -name '*.gid' ! -name '*.als' -exec md5sum {} + 2>/dev/null | sort)
}

# run_wizard SHOT_PREFIX: walks all six pages with Next, failing on any error box.
run_wizard() {
    local tag="$1" i
    win "$SETUP_EXE" & SETUP_PID=$!
    driver wait "$WIZARD" || fail "no wizard"
    shot "$tag-1-welcome"; next
    wait_eq "IDE list shown" 1 driver visible "$WIZARD" 1013
    shot "$tag-2-select"; PAGE2_TEXT="$(text 256)"; PAGE2_ITEMS="$(driver lbitems "$WIZARD" 1013 | tr -d '\r')"
    next
    wait_eq "directory shown" 1 driver visible "$WIZARD" 1010
    shot "$tag-3-directory"; PAGE3_DIR="$(text 1010)"
    next
    wait_eq "ready page" "Start" text 1000
    shot "$tag-4-ready"
    driver click "$WIZARD" 1000
    driver idle "$WIZARD"; shot "$tag-5-progress"
    wait_finish "$WIZARD"
    expect_eq "progress bar hidden" "$(driver visible "$WIZARD" 1009)" 0
    shot "$tag-6-finish"
    driver click "$WIZARD" 2
    wait "$SETUP_PID" || fail "setup exit status"
}

before="$(state)"
cp "$C/Borland/Delphi7/Help/d7.als" "$WINEPREFIX/d7.als.before"

# ---- first install
run_wizard first
expect_eq "proposed directory" "$PAGE3_DIR" 'C:\Borland\Corvane'
for entry in "RAD Studio 11" "RAD Studio XE2" "Delphi 7" "Context help files" "Delphi demo projects"; do
    grep -q "^0x1	$entry$" <<<"$PAGE2_ITEMS" || fail "$entry not checked: $PAGE2_ITEMS"
done
LIB="$C/Borland/Corvane"
for f in Delphi7/cvl70.bpl Delphi7/dclcvl70.bpl RADStudio9/Win32/cvl160.bpl RADStudio9/Win64/cvl160.bpl \
         RADStudio22/Win32/cvl280.bpl Help/cvlib.hlp unbrd.exe uninst.log install.log Source/cvlabout.dll; do
    [ -f "$LIB/$f" ] || fail "missing $f"
done
[ -f "$LIB/RADStudio22/Win64/cvl280.bpl" ] && fail "a Win64 package without dcc64.exe"
[ -f "$C/$SYSDIR/cvl70.bpl" ] || fail "no runtime package in the system directory"
installed="$(state)"
grep -q 'Trial Delphi version of Corvane library v4.07' <<<"$installed" || fail "no Known Packages entry"
grep -q 'Search Path    REG_SZ    $(DELPHI)\\Lib;C:\\MyLib;C:\\Borland\\CorvaneX;C:\\Borland\\Corvane\\Delphi7' <<<"$installed" \
    || fail "Delphi 7 search path: $(grep -A3 'Delphi\\7.0\\Library' <<<"$installed")"
grep -q 'UninstallString    REG_SZ    C:\\Borland\\Corvane\\unbrd.exe C:\\Borland\\Corvane\\uninst.log' <<<"$installed" \
    || fail "uninstall entry"
for name in InstallVersions InstallItems RootDir Version Type InstallDate CustomizeItems; do
    grep -q "^    $name " <<<"$installed" || fail "product key lacks $name"
done
grep -q 'InstallVersions    REG_DWORD    0x8008100' <<<"$installed" || fail "InstallVersions"

# ---- update: the second run finds the previous version and installs over it
echo stray > "$LIB/stray.txt"
run_wizard update
grep -q "The previous version of Corvane library was found" <<<"$PAGE2_TEXT" || fail "page 2 text: $PAGE2_TEXT"
expect_eq "previous directory proposed" "$PAGE3_DIR" 'C:\Borland\Corvane'
[ -f "$LIB/stray.txt" ] && fail "the update kept the previous tree"
updated="$(state)"
diff <(grep -v InstallDate <<<"$installed") <(grep -v InstallDate <<<"$updated") >&2 \
    || fail "the update left another machine than the first install"

# ---- removal through the uninstall entry's command
command="$(win reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\cvlLib' /v UninstallString /reg:32 \
    | tr -d '\r' | sed -n 's/.*REG_SZ    //p')"
read -r uninstaller log <<<"$command"
(cd "$C/run" && wine "$uninstaller" "$log") &
DIALOG="Uninstall Corvane library v4.07"
driver wait "$DIALOG" || fail "no removal dialog"
shot uninstall-1
driver click "$DIALOG" 1000
driver answer Uninstall 6 >/dev/null || fail "no removal question"
WAIT_SECONDS=$RUN_PATIENCE wait_eq "removal finished" "&Finish" driver text "$DIALOG" 2
shot uninstall-2
driver click "$DIALOG" 2
wait_until "the install directory removed" test ! -e "$LIB"
# The IDEs' help caches go at the installation; the runtime packages in the
# system directory are shared files, which this scenario does not look into.
keep="(\.gid\$|^$SYSDIR/cvl[0-9]+\.bpl\$)"
diff <(echo "$before" | grep -Ev "$keep") <(state | grep -Ev "$keep") >&2 || fail "the removal left the machine changed"
missing="$(grep -Fxv -f "$C/Borland/Delphi7/Help/d7.als" "$WINEPREFIX/d7.als.before" || true)"
[ -z "$missing" ] || fail "the IDE's own aliases were lost: $missing"
echo "wizard install, update and removal: ok"
