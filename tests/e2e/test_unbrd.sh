#!/usr/bin/env bash
# unbrd.exe under Wine: a small installation with its uninstall log (made by
# mkuninstlog.exe with the real writer) is removed silently and through the
# dialog; damaged and missing logs remove nothing.
source "$(dirname "$0")/lib.sh"
new_machine unbrd

MKLOG="$CVL_BIN/mkuninstlog.exe"
UNBRD="$CVL_BIN/unbrd.exe"
INST="$C/Program Files/Corvane lib"
INST_W='C:\Program Files\Corvane lib'
LOG_W="$INST_W\\uninst.log"
DIALOG="Uninstall Corvane library v4.07"

# Files the installation touches, with the contents of the IDE's help files.
files_state() {
    (cd "$C" && find IDE "Program Files" windows/cvTempls.ini $SYSDIR/cvl70.bpl cvlhelp.txt 2>/dev/null | sort
     md5sum IDE/Delphi7/Help/*)
}
# The registry keys the installation touches (the whole list of uninstall entries
# among them), and the files.
registry_state() {
    registry_dump | awk '/^\[/ { keep = ($0 ~ /Borland|Embarcadero|Brindlecraft|Windows\\Help|CurrentVersion\\Uninstall/) } keep'
}
state() { win "$MKLOG" registry; files_state; }

install() {
    win "$MKLOG" install "$INST_W" || fail "mkuninstlog install"
    cp "$UNBRD" "$INST/unbrd.exe"
}

# The copy of unbrd.exe in the temporary directory does the work while the
# original waits for it; the copy is gone shortly after the original has ended.
wait_removed() { wait_until "the installation and the uninstaller's copy removed" removal_over "$INST"; }

win "$MKLOG" prepare || fail "mkuninstlog prepare"
before="$(state)"

# Silent removal by the copy in the installation directory, with the log named
# relative to it, leaves the machine as it was, the program and the directory
# included.
install
installed="$(state)"
[ "$installed" != "$before" ] || fail "the installation changed nothing"
grep -q 'cvlLib' <<<"$installed" || fail "no uninstall entry"
win_in "$INST" "$INST/unbrd.exe" /S uninst.log || fail "unbrd /S exit status $?"
# Over when the original returns, without waiting.
diff <(echo "$before") <(state) >&2 || fail "silent removal left differences"
wait_removed

# Damaged or missing logs: a clear message, nothing removed.
install
installed="$(state)"
cp "$INST/uninst.log" "$C/good.log"
# The last record's trailer damaged (a log cut short is another case: it is removed
# up to its last whole record).
printf '\377\377' | dd of="$INST/uninst.log" bs=1 seek=$(( $(stat -c %s "$INST/uninst.log") - 2 )) conv=notrunc 2>/dev/null
rc=0; win "$UNBRD" /S "$LOG_W" || rc=$?
expect_eq "exit status for a damaged log" "$rc" 2
win "$UNBRD" "$LOG_W" & pid=$!
text="$(driver answer Uninstall 1)"
rc=0; wait $pid || rc=$?
expect_eq "exit status for a damaged log with boxes" "$rc" 2
expect_eq "damaged-log message" "$text" $'The file\r\n'"$LOG_W"$'\r\nis not a complete uninstall log: it is empty or damaged. Nothing has been removed.'
rc=0; win "$UNBRD" /S 'C:\missing.log' || rc=$?
expect_eq "exit status for a missing log" "$rc" 2
rc=0; win "$UNBRD" /S || rc=$?
expect_eq "exit status without a log" "$rc" 3
diff <(echo "$installed") <(state) >&2 || fail "a damaged log changed the machine"

# Through the dialog, keeping the settings: everything goes but the product key
# and the template settings file.
cp "$C/good.log" "$INST/uninst.log"
# The original waits until the dialog has closed.
win_in "$INST" "$INST/unbrd.exe" "$LOG_W" & pid=$!
driver wait "$DIALOG" || fail "no removal dialog"
expect_eq "Next caption" "$(driver text "$DIALOG" 1000)" "&Remove"
driver text "$DIALOG" 256 | grep -q "^Corvane library v4.07 (trial Delphi version) will be removed" || fail "intro text"
driver click "$DIALOG" 1011
driver click "$DIALOG" 1000
question="$(driver answer Uninstall 6)"
expect_eq "question" "$question" "Are you sure you want to remove Corvane library v4.07?"
WAIT_SECONDS=$RUN_PATIENCE wait_until "the removal's last page" page_says "$DIALOG" "has been removed"
expect_eq "final text" "$(driver text "$DIALOG" 256)" $'Corvane library v4.07 has been removed from your computer.\r\n\r\nYour settings have been kept.'
expect_eq "action line" "$(driver text "$DIALOG" 260)" "Removing directory"
expect_eq "Cancel caption" "$(driver text "$DIALOG" 2)" "&Finish"
expect_eq "Cancel enabled" "$(driver enabled "$DIALOG" 2)" 1
expect_eq "Next enabled" "$(driver enabled "$DIALOG" 1000)" 0
expect_eq "progress visible" "$(driver visible "$DIALOG" 1009)" 1
driver click "$DIALOG" 2
driver gone "$DIALOG" || fail "dialog stays open"
rc=0; wait $pid || rc=$?
expect_eq "exit status of the dialog's removal" "$rc" 0
wait_removed
after="$(state)"
[ -f "$C/windows/cvTempls.ini" ] || fail "partial removal took the template file"
grep -qF '[HKLM\Software\Brindlecraft\Corvane library]' <<<"$after" || fail "partial removal took the product key"
# Apart from those two, the machine is as it was.
diff <(echo "$before") <(echo "$after") | grep '^[<>]' | grep -v -e '^> \[HKLM\\Software\\Brindlecraft' \
    -e '^> windows/cvTempls.ini$' -e '^>   RootDir = ' -e '^>   Version = ' >&2 && fail "partial removal left other differences"

# The product version of the program, as the copy-if-newer row reads it.
cp "$UNBRD" "$C/run/unbrd.exe"
expect_eq "product version" "$(win "$MKLOG" version 'C:\run\unbrd.exe')" "4.7.0.0"
echo "unbrd: ok"
