#!/usr/bin/env bash
# The script engine run as the progress page runs it (scriptrun.exe), without IDEs:
# the library's non-IDE part with help files and demos, its two logs, and an update
# that removes the previous installation first.
source "$(dirname "$0")/lib.sh"
new_machine engine_install
SCRIPTRUN="$CVL_BIN/scriptrun.exe"
UNDOLOG="$CVL_SOURCE/tests/e2e/tools/undolog.py"
LIB="$C/Corvane"
UNINST='\uninst.log'

utf16() { iconv -f UTF-16LE -t UTF-8 "$1" | tr -d '\r'; }

win "$SCRIPTRUN" 'C:\Corvane' 0 0x180 || fail "rows failed on the first install"
for f in Source/cvlConsts.pas Source/cvl.inc Source/cvlabout.dll unbrd.exe readme.txt Help/cvlib.hlp \
         Help/cvlib.cnt Demos/Delphi/IniStorage/IniDemo.dpr install.log uninst.log; do
    [ -f "$LIB/$f" ] || fail "missing $f"
done
[ -f "$C/windows/cvTempls.ini" ] || fail "missing the template settings file"
[ -f "$LIB/Source/cvlUtils.pas" ] && fail "the trial deletes left Source/cvlUtils.pas"
[ -d "$LIB/Delphi7" ] && fail "an IDE folder without an IDE"

# install.log: the three opening lines, then one line per row with one of the suffixes.
mapfile -t lines < <(utf16 "$LIB/install.log")
expect_eq "log line 1" "${lines[0]}" "Start installation for trial Delphi version of Corvane library v4.07"
expect_eq "log line 2" "${lines[1]}" 'RootPath: C:\Corvane'
expect_eq "log line 3" "${lines[2]}" "Borland products: "
for line in "${lines[@]:3}"; do
    case "$line" in
        *...Success|*...Fail|*...Already) ;;
        *) fail "log line without an outcome: $line";;
    esac
done
grep -q 'Registering Uninstall: unbrd.exe...Success' <<<"$(printf '%s\n' "${lines[@]}")" || fail "no uninstall registration line"

# uninst.log: the header, then exactly the logged rows that ran, the product key last.
python3 "$UNDOLOG" "$LIB/uninst.log" > "$WINEPREFIX/records.txt" || fail "damaged uninstall log"
head -7 "$WINEPREFIX/records.txt" | cut -d' ' -f1 | sort -u | grep -qx '1400E' || fail "header records"
sed -n 1p "$WINEPREFIX/records.txt" | grep -q ' Corvane library$' || fail "first header record"
tail -1 "$WINEPREFIX/records.txt" | grep -q '^3000F 80000002 0 Software\\Brindlecraft\\Corvane library$' \
    || fail "last record: $(tail -1 "$WINEPREFIX/records.txt")"
grep -q '^18001 0 3 Help$' "$WINEPREFIX/records.txt" || fail "no record of the Help folder"
grep -q '^38010 1D 1 cvTempls.ini$' "$WINEPREFIX/records.txt" || fail "no kept record of the template file"
grep -Eq '^[0-9A-F]*(4009|0006|0008) ' "$WINEPREFIX/records.txt" && fail "IDE rows recorded without an IDE"
while read -r type _; do
    (( 0x$type & 0x10000 )) || fail "a record without ifLogUndo: $type"
done < "$WINEPREFIX/records.txt"

# The uninstall entry names this installation.
entry="$(win reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\cvlLib' /v UninstallString /reg:32 | tr -d '\r')"
grep -q 'C:\\Corvane\\unbrd.exe C:\\Corvane\\uninst.log' <<<"$entry" || fail "uninstall entry: $entry"

# An update removes the previous tree first: a stray file in it goes, the user's
# template settings stay as they are.
echo "stray" > "$LIB/Source/stray.txt"
echo "[user]" > "$C/windows/cvTempls.ini"
win "$SCRIPTRUN" 'C:\Corvane' 0 0x180 || fail "rows failed on the update"
[ -f "$LIB/Source/stray.txt" ] && fail "the update kept the previous tree"
[ -f "$LIB/Help/cvlib.hlp" ] || fail "the update did not install again"
expect_eq "user's template settings" "$(cat "$C/windows/cvTempls.ini")" "[user]"

# An installation whose log path is 300 characters long: an update into another
# folder finds it through the uninstall entry, whole, and removes it completely.
LONG_W='C:\Corvane-'"$(printf 'x%.0s' {1..140})"'\'"$(printf 'y%.0s' {1..140})"
expect_eq "length of the long log path" "$(( ${#LONG_W} + ${#UNINST} ))" 303
win "$SCRIPTRUN" "$LONG_W" 0 0x180 || fail "rows failed in the long folder"
[ -f "$C/${LONG_W:3:148}/${LONG_W:152}/uninst.log" ] || fail "no installation in the long folder"
win "$SCRIPTRUN" 'C:\Corvane' 0 0x180 || fail "rows failed on the update from the long folder"
[ -e "$C/${LONG_W:3:148}/${LONG_W:152}" ] && fail "the installation in the long folder stayed: $(find "$C/${LONG_W:3:148}" | head -5)"
entry="$(win reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\cvlLib' /v UninstallString /reg:32 | tr -d '\r')"
grep -q 'C:\\Corvane\\unbrd.exe C:\\Corvane\\uninst.log' <<<"$entry" || fail "uninstall entry after the update: $entry"
echo "engine install: ok"
