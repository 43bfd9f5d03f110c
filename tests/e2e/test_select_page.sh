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
# record NAME=DWORD...: the record a previous installation left, in one import.
record() {
    local arg file="$C/record.reg"
    { printf 'Windows Registry Editor Version 5.00\r\n\r\n[%s]\r\n' "${PRODUCT_KEY/#HKLM/HKEY_LOCAL_MACHINE}"
      printf '"Version"="4.07"\r\n'
      for arg in "$@"; do printf '"%s"=dword:%08x\r\n' "${arg%%=*}" "$((${arg#*=}))"; done
    } >"$file"
    (cd "$C" && wine reg import 'C:\record.reg' /reg:32 </dev/null >/dev/null 2>&1) || fail "cannot import the record"
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
    driver wait "$WIZARD" || fail "no wizard"
    driver click "$WIZARD" $NEXT
    wait_eq "the list is on view" 1 driver visible "$WIZARD" $LIST
}
close_wizard() {
    driver click "$WIZARD" 2
    driver answer Install 6 >/dev/null
    wait $pid || fail "setup exit status"
}

# The Customize dialog, opened by the page's hidden button, shows bit 0 of
# CustomizeItems in its one row. customize WANT_DATA BUTTON|esc
customize() {
    driver command "$WIZARD" 1003
    driver wait "$CUSTOMIZE" || fail "no Customize dialog"
    expect_eq "frame while Customize is open" "$(driver enabled "$WIZARD" 0)" 0
    expect_eq "Customize list" "$(driver lbitems "$CUSTOMIZE" 901)" "$(printf '%s\t\n' "$1")"
    if [ "$2" = esc ]; then driver postkey "$CUSTOMIZE" 901 27; else driver click "$CUSTOMIZE" "$2"; fi
    driver gone "$CUSTOMIZE" || fail "Customize did not close"
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
if [ -n "${DISPLAY:-}" ]; then "$CVL_SOURCE/tools/screenshot.sh" "$SHOTS/select-page.png"; fi

for entry in $RS11 $D7 $HELP $DEMOS; do toggle $entry; done
expect_list "all unchecked" $RS11=0x0 $D7=0x0
expect_eq "Next without checks" "$(driver enabled "$WIZARD" $NEXT)" 0
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

customize 0x1 esc        # the initial 5 has bit 0
close_wizard

# ---- The previous installation had Delphi 7 and the help files.
record InstallVersions=0x100 InstallItems=0x480 CustomizeItems=2
open_page
expect_eq "previous version text" "$(driver text "$WIZARD" 256)" "$PREVIOUS"
expect_list "previous choice" $RS11=0x0 $D7=0x1 $HELP=0x1 $DEMOS=0x0
customize 0x0 904        # CustomizeItems 2 from the record
close_wizard

# ---- Delphi 7 and RAD Studio 11 were installed; only C++Builder is left.
record InstallVersions=0x8000100 InstallItems=0x20000480
ide 28 'C:\Program Files (x86)\Embarcadero\Studio\22.0\' --remove
ide 9 'C:\Borland\Delphi7' --remove
ide 8 'C:\Borland\CBuilder6'
open_page
expect_list "IDEs no longer there" $HELP=0x1 $DEMOS=0x0
toggle $HELP
expect_eq "Next with nothing" "$(driver enabled "$WIZARD" $NEXT)" 0
toggle $DEMOS
expect_eq "Next with the demos" "$(driver enabled "$WIZARD" $NEXT)" 1
close_wizard
echo "select page: ok"
