#!/usr/bin/env bash
# unbrd.exe on the logs of installations that were stopped: a log that ends inside
# Delphi 7's block (its closing IDE record never written) still takes the design
# package's registration and search-path entry away; a log whose last record was
# cut in the middle of its write is removed up to the last whole record, and the
# user is told so.
source "$(dirname "$0")/lib.sh"
new_machine unbrd_cut_log
UNDOLOG="$CVL_SOURCE/tests/e2e/tools/undolog.py"
UNBRD="$CVL_BIN/unbrd.exe"
LIB="$C/Lib"
D7_KEY='HKCU\Software\Borland\Delphi\7.0'
PACKAGE='C:\Lib\Delphi7\dclcvl70.bpl'
DIALOG="Uninstall Corvane library v4.07"
CUT_NOTE='The uninstall log ends in the middle of an entry: the installation was stopped before it finished. Everything the log records is removed; what the installation did last may be left behind.'

"$CVL_SOURCE/tools/make-ide.sh" --prefix "$WINEPREFIX" --row 9 --root 'C:\Borland\Delphi7' --hive HKCU >/dev/null \
    || fail "make-ide.sh"

# The installation as far as it got: its folder, the package registered in Delphi 7,
# and the log of the records written until then (EXTRA: more records after them).
installed_until_cut() {
    mkdir -p "$LIB/Delphi7" "$LIB/Source"
    echo package >"$LIB/Delphi7/dclcvl70.bpl"
    win reg add "$D7_KEY\\Known Packages" /v "$PACKAGE" /d 'Trial Delphi version of Corvane library v4.07' /f >/dev/null
    win reg add "$D7_KEY\\Library" /v 'Search Path' /d '$(DELPHI)\Lib;C:\Lib\Delphi7' /f >/dev/null
    python3 "$UNDOLOG" --write "$LIB/uninst.log" <<EOF
1400E 1 0 Corvane library
1400E 2 0 4.07
1400E 3 0 trial Delphi version
1400E 4 0 C:\\Lib
1400E 5 0 Software\\Brindlecraft\\Corvane library
1400E 7 0 cvlLib
1400E 6 0 
18001 0 3 
14009 9 0 Delphi7
18001 0 3 Delphi7
10008 0 3 Delphi7\\dclcvl70.bpl
${1:-}
EOF
}

query() { win reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ    //p'; }

expect_removed() {
    [ -e "$LIB" ] && fail "$1: the folder is still there: $(ls -R "$LIB")"
    expect_eq "$1: Known Packages value" "$(query "$D7_KEY\\Known Packages" "$PACKAGE")" ""
    expect_eq "$1: Delphi 7 search path" "$(query "$D7_KEY\\Library" 'Search Path')" '$(DELPHI)\Lib'
}

# 1. A log cut inside an IDE block, removed silently.
installed_until_cut
rc=0; win "$UNBRD" /S 'C:\Lib\uninst.log' || rc=$?
expect_eq "exit status" "$rc" 0
expect_removed "log cut inside the block"

# 2. The same with one more record, the last one cut in the middle of its write:
# everything before it goes, and the exit status says the log was cut.
installed_until_cut '18001 0 3 Source'
truncate -s -5 "$LIB/uninst.log"
rc=0; win "$UNBRD" /S 'C:\Lib\uninst.log' || rc=$?
expect_eq "exit status for a cut log" "$rc" 4
expect_removed "cut last record"

# 3. Through the dialog: the note stands in the introduction and in the final text.
installed_until_cut '18001 0 3 Source'
truncate -s -5 "$LIB/uninst.log"
win "$UNBRD" 'C:\Lib\uninst.log' & pid=$!
driver wait "$DIALOG" || fail "no removal dialog"
intro="$(driver text "$DIALOG" 256)"
[[ "$intro" == *$'uninstall entry.\r\n\r\n'"$CUT_NOTE"$'\r\n\r\nPress Remove to start.' ]] || fail "intro text: $intro"
driver click "$DIALOG" 1000
driver answer Uninstall 6 >/dev/null || fail "no removal question"
WAIT_SECONDS=$RUN_PATIENCE wait_eq "removal finished" "&Finish" driver text "$DIALOG" 2
expect_eq "final text" "$(driver text "$DIALOG" 256)" \
    $'Corvane library v4.07 has been removed from your computer.\r\n\r\n'"$CUT_NOTE"
driver click "$DIALOG" 2
rc=0; wait $pid || rc=$?
expect_eq "exit status of the dialog for a cut log" "$rc" 4
expect_removed "cut log through the dialog"
echo "unbrd on cut logs: ok"
