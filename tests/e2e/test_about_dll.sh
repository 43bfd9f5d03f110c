#!/usr/bin/env bash
# cvlabout.dll as the library's design-time editors use it: loaded by its full
# path from an installation folder with blanks in its name, ShowCorvaneAbout called
# by its plain name with the stdcall convention, the box showing the folder the DLL
# was loaded from and closing with OK. rundll32 of the DLL's own architecture (the
# 32-bit one in syswow64 for the shipping build) is the caller.
source "$(dirname "$0")/lib.sh"
new_machine about_dll
ABOUT="About Corvane library"

DLL="$CVL_BIN/cvlabout.dll"
machine="$(pe_machine "$DLL")"
case "$machine" in
    014c) RUNDLL='C:\windows\syswow64\rundll32.exe';;
    8664) RUNDLL='C:\windows\system32\rundll32.exe';;
    *) fail "cvlabout.dll: unknown machine $machine";;
esac

FOLDER_W='C:\Program Files\Corvane lib\Source'
mkdir -p "$C/Program Files/Corvane lib/Source"
cp "$DLL" "$C/Program Files/Corvane lib/Source/cvlabout.dll"

win "$RUNDLL" "$FOLDER_W\\cvlabout.dll,ShowCorvaneAbout" & pid=$!
driver wait "$ABOUT" || fail "no About box"
expect_eq "title" "$(driver text "$ABOUT" 101)" "Corvane library v4.07"
expect_eq "edition" "$(driver text "$ABOUT" 102)" "trial Delphi version"
expect_eq "folder" "$(driver text "$ABOUT" 103)" "$FOLDER_W"
driver click "$ABOUT" 1
driver gone "$ABOUT" || fail "the About box stays open"
wait $pid || fail "rundll32 exit status $?"
echo "about dll: ok"
