#!/usr/bin/env bash
# The library's Object Pascal sources are real code: every unit that needs
# neither the VCL nor the Windows unit compiles with Free Pascal in Delphi
# mode, and a host-side test program exercises them (storages through files,
# encryption, profiles, the shipped cvTempls.ini, command line, validators).
# Runs on the host; no Wine machine needed.
set -euo pipefail
: "${CVL_SOURCE:?}"
SRC="$CVL_SOURCE/resources/payload/Source"
PAYLOAD="$CVL_SOURCE/resources/payload"

fail() { echo "FAIL: $*" >&2; exit 1; }
command -v fpc >/dev/null || fail "fpc is missing (tools/install-tools.sh installs it)"

WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
mkdir -p "$WORK/units" "$WORK/run"

# Units of forms, Windows API calls and design-time editors; the rest must compile.
VCL_UNITS="cvlAbout cvlFormPlacement cvlReg cvlPropEditors cvlSettingsEditor cvlTemplateDlg"

compiled=0
for pas in "$SRC"/*.pas; do
    unit="$(basename "$pas" .pas)"
    case " $VCL_UNITS " in *" $unit "*) continue ;; esac
    if ! out="$(fpc -Mdelphi -Sew -vw -FU"$WORK/units" -Fi"$SRC" -Fu"$SRC" "$pas" 2>&1)"; then
        echo "$out" >&2
        fail "$unit does not compile"
    fi
    compiled=$((compiled + 1))
done
[ "$compiled" -eq 21 ] || fail "only $compiled units compiled"

# Every unit that the package projects list exists, and the VCL units are
# at least whole Pascal units (unit header, interface, implementation, end.).
for unit in $VCL_UNITS; do
    f="$SRC/$unit.pas"
    [ -f "$f" ] || fail "$unit.pas missing"
    grep -q "^unit $unit;" "$f" && grep -q '^interface' "$f" && grep -q '^implementation' "$f" \
        && tail -c 20 "$f" | grep -q 'end\.' || fail "$unit.pas is not a whole unit"
done
for form in cvlSettingsEditor cvlTemplateDlg; do
    head -1 "$SRC/$form.dfm" | grep -q '^object ' || fail "$form.dfm is not a text form"
done

out="$(fpc -Mdelphi -vw -FU"$WORK/units" -Fi"$SRC" -Fu"$SRC" -o"$WORK/cvlselftest" \
    "$CVL_SOURCE/tests/e2e/pascal/cvlselftest.pas" 2>&1)" || { echo "$out" >&2; fail "self test does not compile"; }
"$WORK/cvlselftest" "$PAYLOAD/cvTempls.ini" "$WORK/run"
echo "pascal sources: ok ($compiled units)"
