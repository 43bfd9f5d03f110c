#!/usr/bin/env bash
# IDE detection on a machine with stand-in IDEs of all three key families in both
# hives, next to incomplete ones: exactly the complete installations are found.
source "$(dirname "$0")/lib.sh"
new_machine detection

PROBE="$CVL_BIN/detectprobe.exe"
MAKE_IDE="$CVL_SOURCE/tools/make-ide.sh"
ide() { "$MAKE_IDE" --prefix "$WINEPREFIX" "$@"; }

compilers="$WINEPREFIX/compilers"
mkdir -p "$compilers"
for tool in dcc32 dcc64 make; do printf 'stand-in %s\n' "$tool" >"$compilers/$tool.exe"; done

# Complete installations, then incomplete ones; one call writes all their keys.
ide --row 1  --hive HKLM --root 'C:\Borland\Delphi3' \
    --row 8  --hive HKCU --root 'C:\Program Files (x86)\Borland\CBuilder6' --no-dcc32 \
    --row 9  --hive HKLM --root 'C:\Borland\Delphi7\\' \
    --row 13 --hive HKCU --root 'C:\CodeGear\RAD Studio\6.0' \
    --row 14 --hive HKLM --root 'C:\CodeGear\RAD Studio\7.0' --compilers "$compilers/dcc32.exe" \
    --row 16 --hive HKLM --root 'C:\Embarcadero\RAD Studio\9.0' --compilers "$compilers" \
    --row 28 --hive HKCU --root 'C:\Embarcadero\Studio\22.0' --no-dcc64 \
    --row 5  --hive HKLM --root 'C:\Borland\CBuilder4' --no-make \
    --row 10 --hive HKLM --root 'C:\Borland\BDS\3.0' --no-registry \
    --row 20 --hive HKLM --root 'C:\Embarcadero\RAD Studio\14.0' --type REG_EXPAND_SZ \
    --row 21 --hive HKCU --root 'C:\Embarcadero\RAD Studio\15.0' \
    --row 21 --hive HKLM --root 'C:\Embarcadero\Deleted\15.0' --no-files \
    --row 22 --hive HKLM --root 'C:\Embarcadero\RAD Studio\16.0' --no-dcc32

# Exists and RootDir of every row.
expected() {
    local row
    declare -A want=(
        [1]=$'1\tC:\\Borland\\Delphi3'
        [5]=$'0\tC:\\Borland\\CBuilder4'
        [8]=$'1\tC:\\Program Files (x86)\\Borland\\CBuilder6'
        [9]=$'1\tC:\\Borland\\Delphi7'
        [13]=$'1\tC:\\CodeGear\\RAD Studio\\6.0'
        [14]=$'1\tC:\\CodeGear\\RAD Studio\\7.0'
        [16]=$'1\tC:\\Embarcadero\\RAD Studio\\9.0'
        [21]=$'0\tC:\\Embarcadero\\Deleted\\15.0'
        [22]=$'0\tC:\\Embarcadero\\RAD Studio\\16.0'
        [28]=$'1\tC:\\Embarcadero\\Studio\\22.0'
    )
    for row in $(seq 1 28); do
        [ $# -gt 0 ] && [ "$row" = "$1" ] && want[$row]=$'0\t'
        printf '%s\t%s\n' "$row" "${want[$row]:-$'0\t'}"
    done
}
got="$(win "$PROBE" | cut -f1,3,4)"
expect_eq "detection" "$got" "$(expected)"

# The stand-ins carry the help index files the catalogue names, and the compilers
# asked for.
while IFS=$'\t' read -r row name; do
    case "$row" in
        1) root='Borland/Delphi3';;
        8) root='Program Files (x86)/Borland/CBuilder6';;
        9) root='Borland/Delphi7';;
        *) continue;;
    esac
    [ -s "$C/$root/Help/$name" ] || fail "row $row has no Help/$name"
done < <(win "$PROBE" help)
cmp -s "$compilers/dcc64.exe" "$C/Embarcadero/RAD Studio/9.0/bin/dcc64.exe" || fail "dcc64.exe was not copied"
cmp -s "$compilers/dcc32.exe" "$C/CodeGear/RAD Studio/7.0/bin/make.exe" || fail "one program is not copied as each tool"
[ ! -e "$C/Embarcadero/Studio/22.0/bin/dcc64.exe" ] || fail "--no-dcc64 made dcc64.exe"

# A removed IDE is gone for the next detection; its neighbours stay.
ide --row 9 --hive HKLM --root 'C:\Borland\Delphi7\\' --remove
[ ! -e "$C/Borland/Delphi7" ] || fail "the removed IDE's folder is still there"
got="$(win "$PROBE" | cut -f1,3,4)"
expect_eq "detection after removal" "$got" "$(expected 9)"
echo "detection: ok"
