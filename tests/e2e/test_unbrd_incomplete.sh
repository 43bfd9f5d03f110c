#!/usr/bin/env bash
# unbrd.exe when the removal cannot finish, and when its log's header is damaged:
# a file held open is left for the next restart, named, with exit status 7, the
# uninstall entry, the log and the uninstaller stay, and a second run removes the
# rest; a missing help unregistration batch file in a folder whose paths run past
# 260 characters stops nothing; a damaged header removes nothing.
source "$(dirname "$0")/lib.sh"
new_machine unbrd_incomplete

MKLOG="$CVL_BIN/mkuninstlog.exe"
UNBRD="$CVL_BIN/unbrd.exe"
INST="$C/Program Files/Corvane lib"
INST_W='C:\Program Files\Corvane lib'
SESSION_KEY='HKLM\System\CurrentControlSet\Control\Session Manager'

state() {
    win "$MKLOG" registry
    (cd "$C" && find IDE "Program Files" Deep windows/cvTempls.ini $SYSDIR/cvl70.bpl 2>/dev/null | sort
     md5sum IDE/Delphi7/Help/*)
}

install() {
    win "$MKLOG" install "$1" || fail "mkuninstlog install"
    cp "$UNBRD" "$(winepath -u "$1" 2>/dev/null)/unbrd.exe"
}

HELD_W="$INST_W\\Source\\cvl.inc"
# hold_installed_file: an installation in INST_W whose HELD_W is held open without
# sharing until release_held_file.
hold_installed_file() {
    install "$INST_W"
    win "$MKLOG" hold "$HELD_W" 'C:\held' 'C:\release' & HOLDER=$!
    wait_until "the file held open" test -e "$C/held"
}
# release_held_file WHAT: the file let go, a silent removal after WHAT (the removal
# that left it) takes the rest and leaves the machine as it was before.
release_held_file() {
    local rc=0
    touch "$C/release"; wait "$HOLDER"
    win_in "$INST" "$INST/unbrd.exe" /S uninst.log || rc=$?
    expect_eq "exit status of the removal after $1" "$rc" 0
    diff <(echo "$before") <(state) >&2 || fail "the removal after $1 left differences"
    rm -f "$C/held" "$C/release"
}

win "$MKLOG" prepare || fail "mkuninstlog prepare"
before="$(state)"

# A file held open without sharing while the removal runs.
hold_installed_file
rc=0; err="$(win_in "$INST" "$INST/unbrd.exe" /S uninst.log 2>&1 >/dev/null)" || rc=$?
expect_eq "exit status with a file in use" "$rc" 7
grep -qF "$HELD_W: in use; it will be deleted when Windows restarts" <<<"$err" || fail "message: $err"
grep -qF "The uninstall entry and the uninstall log stay" <<<"$err" || fail "message: $err"
pending="$(win reg query "$SESSION_KEY" /v PendingFileRenameOperations 2>/dev/null | tr -d '\r' || true)"
grep -qF 'Corvane lib\Source\cvl.inc' <<<"$pending" || fail "no pending delete: $pending"
left="$(state)"
grep -q 'cvlLib' <<<"$left" || fail "the uninstall entry went"
[ -f "$INST/uninst.log" ] && [ -f "$INST/unbrd.exe" ] || fail "log or uninstaller went: $(ls -R "$INST")"
[ -z "$(ls "$INST/Delphi7" 2>/dev/null)" ] || fail "the rest stayed: $(ls -R "$INST")"
release_held_file "the silent one"

# The same through the dialog: its last page lists what is left.
DIALOG="Uninstall Corvane library v4.07"
hold_installed_file
win_in "$INST" "$INST/unbrd.exe" uninst.log & pid=$!
driver wait "$DIALOG" || fail "no removal dialog"
driver click "$DIALOG" 1000
driver answer Uninstall 6 >/dev/null || fail "no question"
WAIT_SECONDS=$RUN_PATIENCE wait_eq "removal over" "&Finish" driver text "$DIALOG" 2
driver text "$DIALOG" 256 | grep -q "^Corvane library v4.07 has not been removed completely" || fail "last page"
expect_eq "list of what is left" "$(driver text "$DIALOG" 1014)" "$HELD_W: in use; it will be deleted when Windows restarts"
expect_eq "list visible" "$(driver visible "$DIALOG" 1014)" 1
driver click "$DIALOG" 2
rc=0; wait $pid || rc=$?
expect_eq "exit status of the dialog with a file in use" "$rc" 7
release_held_file "the dialog's"

# The help unregistration batch file deleted, in a folder whose files' paths pass
# 260 characters: the removal completes.
DEEP_W="C:\\Deep\\$(printf 'd%.0s' $(seq 1 237))"
expect_eq "folder length" "${#DEEP_W}" 245
install "$DEEP_W"
DEEP="$(winepath -u "$DEEP_W" 2>/dev/null)"
rm "$DEEP/Help/help_unreg.bat"
rc=0; err="$(win_in "$C/run" "$DEEP/unbrd.exe" /S "$DEEP_W\\uninst.log" 2>&1 >/dev/null)" || rc=$?
expect_eq "exit status without the help batch file [$err]" "$rc" 0
rmdir "$C/Deep" || fail "left: $(find "$C/Deep")"
diff <(echo "$before") <(state) >&2 || fail "removal without the help batch file left differences"

# A damaged install-directory record in the header: refused, nothing removed.
install "$INST_W"
installed="$(state)"
python3 - "$INST/uninst.log" <<'EOF'
import sys
path = sys.argv[1]
data = open(path, 'rb').read()
name = 'C:\\Program Files\\Corvane lib'.encode()
assert name in data
open(path, 'wb').write(data.replace(name, b'C:\\Program\x01Files\\Corvane lib', 1))
EOF
rc=0; win_in "$INST" "$INST/unbrd.exe" /S uninst.log 2>/dev/null || rc=$?
expect_eq "exit status for a damaged header" "$rc" 2
diff <(echo "$installed") <(state) >&2 || fail "a damaged header changed the machine"
echo "unbrd_incomplete: ok"
