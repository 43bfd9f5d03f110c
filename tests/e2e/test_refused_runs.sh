#!/usr/bin/env bash
# Runs that must be refused before anything is written, over a previous installation
# that must stay exactly as it was: install directories that Windows would refuse
# (status 2), a copy of setup.exe with one flipped byte in a payload file or in the
# embedded uninstaller (status 7, also for /X and the wizard), and, as root, a drive
# too small for the installation and a read-only drive (status 8).
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/ide_machine.sh"
shopt -s extglob
new_machine refused_runs
touch "$WINEPREFIX/.made"
"$CVL_SOURCE/tools/make-ide.sh" --prefix "$WINEPREFIX" --compilers "$COMPILERS" --settings \
    --row 9 --root 'C:\Borland\Delphi7' >/dev/null || fail "make-ide.sh"

# silent ARGS...: setup.exe (or $EXE) /silent ARGS; its output in $OUT, its status in $RC.
silent() {
    RC=0
    win "${EXE:-$SETUP_EXE}" /silent "$@" >"$WINEPREFIX/silent.out" 2>&1 || RC=$?
    OUT="$(tr -d '\r' <"$WINEPREFIX/silent.out")"
    rm -f "$WINEPREFIX/silent.out"
}

# damaged_copy ID NAME: a copy of setup.exe whose payload resource ID has one byte
# flipped in its middle, as C:\run\NAME.
damaged_copy() {
    python3 - "$SETUP_EXE" "$(dirname "$CVL_BIN")/resources/payload.rc" "$1" "$C/run/$2" <<'EOF' || fail "damaged copy"
import re, sys
exe, rc, res_id, out = sys.argv[1], sys.argv[2], int(sys.argv[3]), sys.argv[4]
source = next(m.group(2) for m in (re.match(r'(\d+) CVLIB "([^"]+)"', l) for l in open(rc)) if m and int(m.group(1)) == res_id)
data, payload = bytearray(open(exe, "rb").read()), open(source, "rb").read()
at = data.find(payload)
assert at >= 0 and data.find(payload, at + 1) < 0, "payload file not found once in setup.exe"
data[at + len(payload) // 2] ^= 0x20
open(out, "wb").write(data)
EOF
}
damaged_copy 3 source-flipped.exe   # Source\cvlUtils.pas
damaged_copy 28 unbrd-flipped.exe   # the uninstaller

silent /ides=Delphi7 /dir='C:\Corvane\'
expect_eq "first install (output: $OUT)" "$RC" 0
[ -f "$C/Corvane/Delphi7/dclcvl70.bpl" ] || fail "the trailing backslash was not trimmed"
mkdir -p "$C/extract"
before="$(machine_state)"

bad=(
    'C:\Program Files (x86)\Corvane"  |may not hold the character "'
    'C:\Corvane |the folder name "Corvane " ends in a blank'
    'C:\Corvane.|the folder name "Corvane." ends in a dot'
    'C:\a<b\Corvane|may not hold the character <'
    'C:\Tools\CON|"CON" is the name of a device'
    'Tools\Corvane|must be a full path'
)
for case in "${bad[@]}"; do
    silent /ides=Delphi7 "/dir=${case%%|*}"
    expect_eq "status for /dir=${case%%|*}" "$RC" 2
    [[ "$OUT" == *"${case#*|}"* ]] || fail "output for /dir=${case%%|*}: [$OUT]"
done

DAMAGED='The setup program is damaged. Please download it again.'
for copy in source-flipped.exe unbrd-flipped.exe; do
    EXE="$C/run/$copy" silent /ides=Delphi7 /dir='C:\Corvane'
    expect_eq "/silent status of $copy" "$RC" 7
    expect_eq "/silent output of $copy" "$OUT" "$DAMAGED"
done
RC=0; win_in "$C/extract" "$C/run/source-flipped.exe" /X >/dev/null 2>&1 || RC=$?
expect_eq "/X status of a damaged copy" "$RC" 7
win "$C/run/unbrd-flipped.exe" & SETUP_PID=$!
expect_eq "the wizard's box for a damaged copy" "$(driver answer Install 1 | tr -d '\r')" "$DAMAGED"
RC=0; wait "$SETUP_PID" || RC=$?
expect_eq "wizard status of a damaged copy" "$RC" 7

# A drive of 400 KB, and one that is read-only: status 8, said why.
if [ "$(id -u)" != 0 ]; then
    echo "SKIPPED (not root): the small and the read-only drive need tmpfs mounts" >&2
else
    SMALL="$WINEPREFIX/small-drive"; READONLY="$WINEPREFIX/readonly-drive"
    mkdir -p "$SMALL" "$READONLY"
    trap 'umount "$SMALL" "$READONLY" 2>/dev/null || true; stop_wineserver "$WINEPREFIX"; rm -rf "$WINEPREFIX"' EXIT
    mount -t tmpfs -o size=400k tmpfs "$SMALL" && mount -t tmpfs -o ro,size=64k tmpfs "$READONLY" || fail "tmpfs mounts"
    ln -s "$SMALL" "$WINEPREFIX/dosdevices/d:"
    ln -s "$READONLY" "$WINEPREFIX/dosdevices/e:"
    silent /ides=Delphi7 /dir='D:\Corvane'
    expect_eq "status on a small drive (output: $OUT)" "$RC" 8
    [[ "$OUT" == "The drive D:\\ has "*" KB free; the installation needs about "*" Nothing has been installed." ]] \
        || fail "output on a small drive: [$OUT]"
    silent /ides=Delphi7 /dir='E:\Tools\Corvane'
    expect_eq "status on a read-only drive (output: $OUT)" "$RC" 8
    [[ "$OUT" == "The folder E:\\Tools\\Corvane cannot be created"* ]] || fail "output on a read-only drive: [$OUT]"
    left="$(find "$SMALL" "$READONLY" -mindepth 1)"
    [ -z "$left" ] || fail "a refused run wrote to a drive: $left"
    umount "$SMALL" "$READONLY"
    trap 'stop_wineserver "$WINEPREFIX"; rm -rf "$WINEPREFIX"' EXIT
    rm -f "$WINEPREFIX/dosdevices/d:" "$WINEPREFIX/dosdevices/e:"
fi

same_state "a refused run changed the machine" "$before" "$(machine_state)"

# The engine on a drive that fills up (no checks before it): on the tiny drive the
# uninstall log's first record finds no room, on the small one the payload fills the
# drive and the first file that finds no room stops the run. Either way the run says
# why, is rolled back, and the log it leaves ends with a whole record.
if [ "$(id -u)" = 0 ]; then
    TINY="$WINEPREFIX/tiny-drive"; mkdir -p "$TINY" "$SMALL"
    trap 'umount "$SMALL" "$TINY" 2>/dev/null || true; stop_wineserver "$WINEPREFIX"; rm -rf "$WINEPREFIX"' EXIT
    mount -t tmpfs -o size=4k tmpfs "$TINY" && mount -t tmpfs -o size=400k tmpfs "$SMALL" || fail "tmpfs mounts"
    ln -s "$TINY" "$WINEPREFIX/dosdevices/f:"
    ln -s "$SMALL" "$WINEPREFIX/dosdevices/d:"
    for drive in F D; do
        OUT="$(win "$SCRIPTRUN" "$drive:\\Corvane" 0x100 0 2>&1 | tr -d '\r')" || true
        stop="$(grep '^stopped (' <<<"$OUT")" || fail "no stop on drive $drive: $(tail -3 <<<"$OUT")"
        if [ "$drive" == F ]; then
            # Windows words a full disk one way, Wine another.
            [[ "$stop" == "stopped (the uninstall log $drive:\Corvane\uninst.log could not be written: "@(There is not enough space on the disk|Disk full)"), rolled back" ]] \
                || fail "the stop on drive $drive: [$stop]"
        else
            [[ "$stop" == "stopped (the disk is full: $drive:\\Corvane\\"*" could not be written), rolled back" ]] \
                || fail "the stop on drive $drive: [$stop]"
        fi
        expect_eq "last line on drive $drive" "$(tail -1 <<<"$OUT")" "$stop"
        python3 - "$WINEPREFIX/dosdevices/${drive,,}:/Corvane/uninst.log" <<'PY' || fail "the uninstall log on drive $drive is cut"
import struct, sys
import os
data = open(sys.argv[1], "rb").read() if os.path.exists(sys.argv[1]) else b""
pos = 7 if data[:7] == b"UNBRD02" else 0  # the magic, when it could be written
while pos < len(data):
    name = struct.unpack_from("<H", data, pos + 12)[0]
    assert pos + 16 + name <= len(data) and struct.unpack_from("<H", data, pos + 14 + name)[0] == name + 16
    pos += 16 + name
PY
    done
    # Files are written whole or not at all: no half-written file beside its target.
    left="$(find "$SMALL" -name '*.cvlnew')"
    [ -z "$left" ] || fail "files left half-written: $left"
    umount "$SMALL" "$TINY"
    trap 'stop_wineserver "$WINEPREFIX"; rm -rf "$WINEPREFIX"' EXIT
fi
echo "refused runs: ok"
