#!/usr/bin/env bash
# Builds stand-in IDE installations inside a Wine machine of this project, the way
# the setup program finds and uses them: the IDE's registry key with "RootDir" (in
# the 32-bit view of either hive), the root folder, bin\ with the command-line
# compilers and Help\ with the IDE's help index files.
#
#   make-ide.sh --prefix P --row N --root 'C:\Borland\Delphi7' [--hive HKLM|HKCU]
#               [--type REG_SZ|REG_EXPAND_SZ|REG_MULTI_SZ|REG_DWORD|REG_BINARY]
#               [--compilers DIR|FILE] [--no-dcc32] [--no-dcc64] [--no-make]
#               [--no-bin] [--no-help] [--no-files] [--no-registry] [--settings]
#               [--program]
#               [--row N --root ... more IDEs]
#   make-ide.sh --prefix P --row N --root 'C:\...' --remove [--hive HKLM|HKCU]
#   make-ide.sh --list
#
# Each --row starts the description of one IDE; the options after it belong to that
# IDE, options before the first --row apply to all of them. All IDEs of one call
# are made by one Wine process, so a machine with many IDEs is best made by one
# call; every option is checked before anything is made.
#
# --root is the text stored as "RootDir", exactly as given (trailing backslashes
# included); the folders go to that path without them, directly below the
# prefix's drive_c. By default every IDE gets bin\dcc32.exe and bin\make.exe, and
# the IDEs with separate 32- and 64-bit platforms also bin\dcc64.exe; the files are
# placeholders unless --compilers names a folder to copy them from, or one program
# to copy as each of them (detection only checks that they exist; compiling needs
# the stand-in compiler, build/<arch>/bin/standin_compiler.exe).
# --hive defaults to HKLM. --type stores "RootDir" with another value type
# (REG_DWORD stores 0, REG_BINARY the path's UTF-16 bytes). --no-files writes only
# the registry, --no-registry only the files. --remove deletes "RootDir" from the
# hive (the key too, and its parents, when nothing else is left in them) and the
# root folder. --settings also writes the user's settings an IDE has once it has been
# run (below HKCU, whatever the hive of "RootDir"): a "Known Packages" key with one
# standard package, the library search path (per platform where the IDE has two), and
# for the BDS family the C++ search and library paths. Without it the IDE is one that
# was never started under this account: nothing of it below HKCU (unless "RootDir"
# is there). --program also puts the IDE's own program into bin\ (delphi32.exe,
# bcb.exe or bds.exe), taken like the compilers; the stand-in program started under
# that name stays running until bin\<program>.stop appears.
#
# The work is done by mkide.exe of the x86_64 build (tests/driver/mkide.cpp, on the
# stand-in builder the unit tests use, with the catalogue of the program itself), in
# one Wine process per call; it is taken from $CVL_BIN, else from the build tree
# ($CVL_BUILD_ROOT, default build/). The files --compilers names are copied into the
# machine for it first. --list without --prefix runs it in a copy of the build's
# base machine.
#
# Run it with a persistent wineserver for P (tools/wine-env.sh: start_wineserver):
# each Wine process then costs a fraction of a second.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
MKIDE="${CVL_BIN:-${CVL_BUILD_ROOT:-$ROOT/build}/x64/bin}/mkide.exe"

die() { echo "make-ide.sh: $*" >&2; exit 2; }

usage() { sed -n '2,/^set -euo/p' "$0" | sed '$d; s/^# \{0,1\}//' >&2; exit 2; }

# ---------------------------------------------------------------- arguments

prefix="" list=0 args=() staged=() origins=()
while [ $# -gt 0 ]; do
    case "$1" in
        --prefix) prefix="${2:?--prefix needs a value}"; shift 2;;
        --list) list=1; shift;;
        -h|--help) usage;;
        --compilers) staged+=("$((${#args[@]} + 1))"); args+=("$1" "${2:?$1 needs a value}"); shift 2;;
        --root|--hive|--type|--row) args+=("$1" "${2:?$1 needs a value}"); shift 2;;
        *) args+=("$1"); shift;;
    esac
done
[ -f "$MKIDE" ] || die "no $MKIDE: build the tests first (tools/build.sh)"

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# mkide ARGS...: runs mkide.exe in the machine P with its current directory in
# drive_c; what it says is said by this script, with the paths given to it.
mkide() {
    local status=0 err i
    { err="$(cd "$prefix/drive_c" && WINEPREFIX="$prefix" wine "$MKIDE" "$@" </dev/null 2>&1 >&3)" || status=$?; } 3>&1
    for i in "${staged[@]}"; do err="${err//"${args[$i]}"/"${origins[$i]}"}"; done
    [ -z "$err" ] || printf '%s\n' "$err" | tr -d '\r' | sed 's/^/make-ide.sh: /' >&2
    return "$status"
}

if [ "$list" = 1 ] && [ -z "$prefix" ]; then
    export CVL_BUILD_ROOT="${CVL_BUILD_ROOT:-$ROOT/build}"
    source "$ROOT/tools/wine-env.sh"
    make_base_prefix
    prefix="$(mktemp -d)/machine"
    trap 'stop_wineserver "$prefix"; rm -rf "$(dirname "$prefix")"' EXIT
    fresh_prefix "$prefix"
fi
[ -n "$prefix" ] && { [ "$list" = 1 ] || [ ${#args[@]} -gt 0 ]; } || usage
[ -f "$prefix/system.reg" ] && [ -d "$prefix/drive_c" ] || die "$prefix is no Wine prefix"
case "$prefix" in "$HOME/.wine"|"$HOME/.wine/") die "refusing the user's own Wine prefix";; esac
if [ "$list" = 1 ]; then mkide --list; exit; fi

# ---------------------------------------------------------------- the compilers

# The machine has no drive for the host's files (sandbox), so what --compilers
# names is copied below its drive_c for the call (as hard links where the file
# system allows), and the option names the copy.
STAGE="make-ide.$$"
trap 'rm -rf "$prefix/drive_c/$STAGE"' EXIT
for i in "${staged[@]}"; do
    source="${args[$i]}" copy="$prefix/drive_c/$STAGE/$i"
    origins[$i]="$source"
    [ -e "$source" ] || die "--compilers: no folder or file $source"
    mkdir -p "$copy"
    if [ -d "$source" ]; then
        cp -Rl -- "$source/." "$copy/" 2>/dev/null || { rm -rf "$copy"; cp -R -- "$source" "$copy"; }
        args[$i]="C:\\$STAGE\\$i"
    else
        cp -l -- "$source" "$copy/" 2>/dev/null || cp -f -- "$source" "$copy/"
        args[$i]="C:\\$STAGE\\$i\\${source##*/}"
    fi
done

mkide "${args[@]}" >/dev/null || exit 2
