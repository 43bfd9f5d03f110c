#!/usr/bin/env bash
# The IDE selection page against stand-in IDEs: detection, the record of a previous
# installation, the check list and the Next button, and the Customize dialog. The
# screenshot of the page goes to $CVL_BUILD_ROOT/screenshots/select-page/.
source "$(dirname "$0")/lib.sh"
new_machine select_page
WIZARD="Installation Wizard for Corvane library v4.07"
CUSTOMIZE="Customize..."
SHOTS="$CVL_BUILD_ROOT/screenshots/select-page"
mkdir -p "$SHOTS"
PRODUCT_KEY='HKLM\Software\Brindlecraft\Corvane library'
QUESTION="Which versions of Delphi and/or CBuilder will you be installing Corvane library to ?"
PREVIOUS='The previous version of Corvane library was found. Click to "Next" button for update it.'
LIST=1013
NEXT=1000

CAPTIONS=("RAD Studio 11" "RAD Studio XE10.4" "RAD Studio XE10.3" "RAD Studio XE10.2" "RAD Studio XE10.1"
    "RAD Studio XE10" "RAD Studio XE8" "RAD Studio XE7" "RAD Studio XE6" "RAD Studio XE5" "RAD Studio XE4"
    "RAD Studio XE3" "RAD Studio XE2" "RAD Studio XE" "RAD Studio 2010" "CodeGear RAD Studio 2009"
    "CodeGear RAD Studio 2007" "Borland Developer Studio 2006" "Delphi 2005" "Delphi 7" "Delphi 6" "Delphi 5"
    "Delphi 4" "Delphi 3" "Context help files" "Delphi demo projects")
RS11=0 D7=19 HELP=24 DEMOS=25

# ide ROW ROOT [make-ide options]: a stand-in IDE that detection finds.
ide() { "$CVL_SOURCE/tools/make-ide.sh" --prefix "$WINEPREFIX" --row "$1" --root "$2" --no-help "${@:3}"; }
reg() { (cd "$C" && wine reg "$@" /reg:32 </dev/null >/dev/null 2>&1); }
record() {  # record NAME TYPE DATA: a value of the previous installation's record
    reg add "$PRODUCT_KEY" /v "$1" /t "$2" /d "$3" /f || fail "cannot write $1"
}

# want ENTRY=DATA...: the whole list as lbitems prints it; IDE entries are disabled
# (0x4) and the two optional parts enabled (0x0) unless named.
want() {
    local -A data=()
    local i arg
    for arg in "$@"; do data[${arg%%=*}]="${arg#*=}"; done
    for i in "${!CAPTIONS[@]}"; do
        local d=0x4
        [ "$i" -ge "$HELP" ] && d=0x0
        printf '%s\t%s\n' "${data[$i]:-$d}" "${CAPTIONS[$i]}"
    done
}
items() { driver lbitems "$WIZARD" $LIST; }
expect_list() { expect_eq "$1" "$(items)" "$(want "${@:2}")"; }
# toggle ENTRY: selects it and presses the space bar in the list.
toggle() { driver lbsel "$WIZARD" $LIST "$1"; driver key "$WIZARD" $LIST 32; }

open_page() {
    win "$SETUP_EXE" & pid=$!
    driver wait "$WIZARD" 15000 || fail "no wizard"
    driver click "$WIZARD" $NEXT
    wait_eq "the list is on view" 1 driver visible "$WIZARD" $LIST
}
close_wizard() {
    driver click "$WIZARD" 2
    driver answer Install 6 >/dev/null
    wait $pid || fail "setup exit status"
}

# The Customize dialog, opened by the page's hidden button: its one row shows bit 0
# of CustomizeItems. customize WANT_DATA [KEYS...] BUTTON|esc
customize() {
    local want="$1" button="${*: -1}"
    driver command "$WIZARD" 1003
    driver wait "$CUSTOMIZE" 5000 || fail "no Customize dialog"
    expect_eq "frame while Customize is open" "$(driver enabled "$WIZARD" 0)" 0
    expect_eq "Customize list" "$(driver lbitems "$CUSTOMIZE" 901)" "$(printf '%s\t\n' "$want")"
    expect_eq "Customize description" "$(driver text "$CUSTOMIZE" 902)" ""
    local key
    for key in "${@:2:$#-2}"; do driver key "$CUSTOMIZE" 901 "$key"; done
    if [ "$button" = esc ]; then driver postkey "$CUSTOMIZE" 901 27; else driver click "$CUSTOMIZE" "$button"; fi
    driver gone "$CUSTOMIZE" 5000 || fail "Customize did not close"
    wait_eq "frame after Customize" 1 driver enabled "$WIZARD" 0
}

# ---- A first installation with Delphi 7 and RAD Studio 11 on the machine.
ide 9 'C:\Borland\Delphi7'
ide 28 'C:\Program Files (x86)\Embarcadero\Studio\22.0\'
ide 7 'C:\Borland\Delphi6' --no-dcc32  # not found: no compiler
open_page
expect_eq "question text" "$(driver text "$WIZARD" 256)" "$QUESTION"
expect_list "detected IDEs checked" $RS11=0x1 $D7=0x1 $HELP=0x1 $DEMOS=0x1
expect_eq "Next with checks" "$(driver enabled "$WIZARD" $NEXT)" 1
expect_eq "Customize button hidden" "$(driver visible "$WIZARD" 1003)" 0
driver lbsel "$WIZARD" $LIST $D7
[ -n "${DISPLAY:-}" ] && "$CVL_SOURCE/tools/screenshot.sh" "$SHOTS/select-page.png"

for entry in $RS11 $D7 $HELP; do toggle $entry; done
expect_eq "Next with the demos only" "$(driver enabled "$WIZARD" $NEXT)" 1
toggle $DEMOS
expect_list "all unchecked" $RS11=0x0 $D7=0x0
expect_eq "Next without checks" "$(driver enabled "$WIZARD" $NEXT)" 0
toggle 20  # Delphi 6 is disabled
expect_eq "Next after a disabled entry" "$(driver enabled "$WIZARD" $NEXT)" 0
toggle $DEMOS
expect_eq "Next with a check again" "$(driver enabled "$WIZARD" $NEXT)" 1
# A click on an entry checks it on the release, after selecting it.
driver lbsel "$WIZARD" $LIST 0
driver lbsel "$WIZARD" $LIST 1
driver mouse "$WIZARD" $LIST down 60 4
driver mouse "$WIZARD" $LIST up 60 4
expect_list "clicked RAD Studio 11" $RS11=0x1 $D7=0x0 $DEMOS=0x1
# The checks survive Back and Next.
driver click "$WIZARD" 1001
wait_eq "back on page 1" 0 driver visible "$WIZARD" $LIST
driver click "$WIZARD" $NEXT
wait_eq "page 2 again" 1 driver visible "$WIZARD" $LIST
expect_list "checks kept" $RS11=0x1 $D7=0x0 $DEMOS=0x1

customize 0x1 32 904     # 5 shows its bit 0; OK stores it unchecked
customize 0x0 32 905     # Cancel keeps that
customize 0x0 32 esc     # and so does Escape
close_wizard

# ---- The previous installation had Delphi 7 and the help files.
record InstallVersions REG_DWORD 0x100
record InstallItems REG_DWORD 0x480
record Version REG_SZ 4.07
record CustomizeItems REG_DWORD 2
open_page
expect_eq "previous version text" "$(driver text "$WIZARD" 256)" "$PREVIOUS"
expect_list "previous choice" $RS11=0x0 $D7=0x1 $HELP=0x1 $DEMOS=0x0
customize 0x0 905        # CustomizeItems 2 from the record
close_wizard

# ---- The previous installation had RAD Studio 11 as well, which is gone now.
record InstallVersions REG_DWORD 0x8000100
record InstallItems REG_DWORD 0x20000480
ide 28 'C:\Program Files (x86)\Embarcadero\Studio\22.0\' --remove
open_page
expect_list "an IDE no longer there" $D7=0x1 $HELP=0x1 $DEMOS=0x0
close_wizard

# ---- Only C++Builder on the machine; a negative mask records nothing.
record InstallVersions REG_DWORD 0x80000000
record InstallItems REG_DWORD 0
ide 9 'C:\Borland\Delphi7' --remove
ide 8 'C:\Borland\CBuilder6'
ide 6 'C:\Borland\CBuilder5'
open_page
expect_eq "no previous installation" "$(driver text "$WIZARD" 256)" "$QUESTION"
expect_list "no IDE entry" $HELP=0x1 $DEMOS=0x1
toggle $HELP
expect_eq "Next with the demos" "$(driver enabled "$WIZARD" $NEXT)" 1
toggle $DEMOS
expect_eq "Next with nothing" "$(driver enabled "$WIZARD" $NEXT)" 0
close_wizard
echo "select page: ok"
