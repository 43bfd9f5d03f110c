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
# IDE, options before the first --row apply to all of them. The registry values of
# all IDEs of one call are written by one `wine reg import` (one Wine process), so
# a machine with many IDEs is best made by one call.
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
# Run it with a persistent wineserver for P (tools/wine-env.sh: start_wineserver):
# each Wine process then costs a fraction of a second.
set -euo pipefail

# The catalogue rows: row|registry key|help index files|compiler|platforms
CATALOGUE='
1|Software\Borland\Delphi\3.0|delphi3.cfg|dcc|32
2|Software\Borland\Delphi\4.0|delphi4.cfg delphi4.ohi delphi4.ohl|dcc|32
3|Software\Borland\Delphi\5.0|delphi5.ohi delphi5.ohl|dcc|32
4|Software\Borland\C++Builder\3.0||make|32
5|Software\Borland\C++Builder\4.0|bcb4.cfg bcb4.ohi bcb4.ohl|make|32
6|Software\Borland\C++Builder\5.0|bcb5.ohi bcb5.ohl|make|32
7|Software\Borland\Delphi\6.0|delphi6.ohi delphi6.ohl delphi6.als|dcc|32
8|Software\Borland\C++Builder\6.0|bcb6.ohi bcb6.ohl bcb6.als|make|32
9|Software\Borland\Delphi\7.0|d7.ohi d7.ohl d7.als|dcc|32
10|Software\Borland\BDS\3.0||dcc|32
11|Software\Borland\BDS\4.0||dcc|32
12|Software\Borland\BDS\5.0||dcc|32
13|Software\CodeGear\BDS\6.0||dcc|32
14|Software\CodeGear\BDS\7.0||dcc|32
15|Software\Embarcadero\BDS\8.0||dcc|32
16|Software\Embarcadero\BDS\9.0||dcc|64
17|Software\Embarcadero\BDS\10.0||dcc|64
18|Software\Embarcadero\BDS\11.0||dcc|64
19|Software\Embarcadero\BDS\12.0||dcc|64
20|Software\Embarcadero\BDS\14.0||dcc|64
21|Software\Embarcadero\BDS\15.0||dcc|64
22|Software\Embarcadero\BDS\16.0||dcc|64
23|Software\Embarcadero\BDS\17.0||dcc|64
24|Software\Embarcadero\BDS\18.0||dcc|64
25|Software\Embarcadero\BDS\19.0||dcc|64
26|Software\Embarcadero\BDS\20.0||dcc|64
27|Software\Embarcadero\BDS\21.0||dcc|64
28|Software\Embarcadero\BDS\22.0||dcc|64
'

die() { echo "make-ide.sh: $*" >&2; exit 2; }

usage() { sed -n '2,/^set -euo/p' "$0" | sed '$d; s/^# \{0,1\}//' >&2; exit 2; }

# ---------------------------------------------------------------- arguments

prefix="" defaults=() ides=() current=() started=0
takes_value() { case "$1" in --root|--hive|--type|--compilers) return 0;; *) return 1;; esac; }
while [ $# -gt 0 ]; do
    case "$1" in
        --prefix) prefix="${2:?--prefix needs a value}"; shift 2; continue;;
        --list) printf '%s\n' "$CATALOGUE" | sed '/^$/d' | tr '|' '\t'; exit 0;;
        -h|--help) usage;;
        --row)
            [ "$started" = 1 ] && ides+=("$(printf '%q ' "${current[@]}")")
            current=(--row "${2:?--row needs a value}"); started=1; shift 2; continue;;
    esac
    if takes_value "$1"; then arg=("$1" "${2:?$1 needs a value}"); shift 2; else arg=("$1"); shift; fi
    if [ "$started" = 1 ]; then current+=("${arg[@]}"); else defaults+=("${arg[@]}"); fi
done
[ "$started" = 1 ] && ides+=("$(printf '%q ' "${current[@]}")")
[ -n "$prefix" ] && [ ${#ides[@]} -gt 0 ] || usage
[ -f "$prefix/system.reg" ] && [ -d "$prefix/drive_c" ] || die "$prefix is no Wine prefix"
case "$prefix" in "$HOME/.wine"|"$HOME/.wine/") die "refusing the user's own Wine prefix";; esac

export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine_in_c() { (cd "$prefix/drive_c" && wine "$@" </dev/null 2>/dev/null); }
reg() { wine_in_c reg "$@" /reg:32 >/dev/null; }

# ---------------------------------------------------------------- registry text

REG_FILE="$prefix/drive_c/make-ide.$$.reg"
reg_lines=()

# The UTF-16LE bytes of a text, as the comma-separated hex of a .reg file.
utf16_hex() { printf '%s' "$1" | iconv -f UTF-8 -t UTF-16LE | od -An -v -tx1 | tr -s ' \n' ',' | sed 's/^,//; s/,$//'; }

reg_value() {
    local type="$1" text="$2" hex
    case "$type" in
        REG_SZ) text="${text//\\/\\\\}"; printf '"%s"' "${text//\"/\\\"}";;
        REG_EXPAND_SZ) hex="$(utf16_hex "$text")"; printf 'hex(2):%s%s00,00' "$hex" "${hex:+,}";;
        REG_MULTI_SZ) hex="$(utf16_hex "$text")"; printf 'hex(7):%s%s00,00,00,00' "$hex" "${hex:+,}";;
        REG_DWORD) printf 'dword:00000000';;
        REG_BINARY) printf 'hex:%s' "$(utf16_hex "$text")";;
    esac
}

import_registry() {
    [ ${#reg_lines[@]} -gt 0 ] || return 0
    printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' "${reg_lines[@]}" |
        { printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE; } >"$REG_FILE"
    wine_in_c reg import "C:\\${REG_FILE##*/}" /reg:32 >/dev/null || { rm -f "$REG_FILE"; die "reg import failed"; }
    rm -f "$REG_FILE"
}

# ---------------------------------------------------------------- removal

# Deletes a key when it holds no values and no subkeys: reg query then lists nothing
# but the key's own name.
delete_if_empty() {
    local key="$1" full lines
    full="${key/#HKLM/HKEY_LOCAL_MACHINE}"
    full="${full/#HKCU/HKEY_CURRENT_USER}"
    lines="$(wine_in_c reg query "$key" /reg:32 | tr -d '\r' |
        sed '/^$/d' | { grep -v -i -x -F "$full" || true; } | wc -l)" || return 0
    if [ "$lines" -eq 0 ]; then reg delete "$key" /f || true; fi
}

remove_ide() {
    local key="$hive\\$regkey"
    reg delete "$key" /v RootDir /f || true
    while [[ "$key" == *\\*\\* ]]; do  # up to, not including, the key below the root
        delete_if_empty "$key"
        key="${key%\\*}"
    done
    rm -rf -- "$host_root"
}

# ---------------------------------------------------------------- files

# Text files of the IDE are 8-bit with CR LF line ends.
write_text() { printf '%s\r\n' "${@:2}" >"$1"; }

help_file() {
    local name="$1" path="$host_root/Help/$1" base="${1%.*}"
    case "$name" in
        *.cfg) write_text "$path" ":Base $base.hlp>main" ":Title $base Help" \
                   ":Index Object Pascal Reference=${base}op.hlp" ":Index Visual Component Library=${base}vcl.hlp" \
                   ":Link ${base}op.hlp" ":Link ${base}vcl.hlp";;
        *.ohi) write_text "$path" ":Index Object Pascal Reference=${base}op.hlp" \
                   ":Index Visual Component Library Reference=${base}vcl.hlp" ":Index Database Reference=${base}db.hlp";;
        *.ohl) write_text "$path" ":Link ${base}op.hlp" ":Link ${base}vcl.hlp" ":Link ${base}db.hlp";;
        *.als) write_text "$path" "TApplication=TApplication_Object" "TForm=TForm_Object" "TDataSet=TDataSet_Object";;
        *) write_text "$path" "; $name";;
    esac
}

compiler_file() {
    local name="$1"
    if [ -f "$compilers" ]; then
        cp -- "$compilers" "$host_root/bin/$name"
    elif [ -n "$compilers" ]; then
        [ -f "$compilers/$name" ] || die "--compilers: no $name in $compilers"
        cp -- "$compilers/$name" "$host_root/bin/$name"
    else
        printf 'stand-in %s: a placeholder, not a program\r\n' "$name" >"$host_root/bin/$name"
    fi
}

create_files() {
    mkdir -p -- "$host_root"
    if [ "$want_bin" = 1 ]; then
        mkdir -p -- "$host_root/bin"
        if [ "$want_dcc32" = 1 ]; then compiler_file dcc32.exe; fi
        if [ "$want_dcc64" = 1 ] && [ "$platforms" = 64 ]; then compiler_file dcc64.exe; fi
        if [ "$want_make" = 1 ]; then compiler_file make.exe; fi
        if [ "$want_program" = 1 ]; then compiler_file "$(ide_program "$row")"; fi
    fi
    if [ "$want_help" = 1 ]; then
        mkdir -p -- "$host_root/Help"
        local name first="${helpfiles%% *}"
        for name in $helpfiles; do help_file "$name"; done
        # WinHelp's cache of the contents, which help registration deletes.
        if [ -n "$first" ]; then printf 'GID\0' >"$host_root/Help/${first%.*}.gid"; fi
    fi
}

# The file name of the IDE's own program.
ide_program() {
    case "$1" in
        1|2|3|7|9) echo delphi32.exe;;
        4|5|6|8) echo bcb.exe;;
        *) echo bds.exe;;
    esac
}

# The user's settings of an IDE that has been run once.
settings_lines() {
    local key="HKEY_CURRENT_USER\\$regkey" lib='$(DELPHI)\Lib;$(DELPHI)\Bin'
    local search="Search Path"
    [ "$row" = 1 ] && search="SearchPath"
    reg_lines+=("[$key\\Known Packages]" "$(reg_value REG_SZ "$folder\bin\dclstd.bpl")=$(reg_value REG_SZ "Standard Components")" "")
    if [ "$platforms" = 64 ]; then
        reg_lines+=("[$key\\Library\\Win32]" "\"Search Path\"=$(reg_value REG_SZ '$(BDSLIB)\$(Platform)\release')" ""
                    "[$key\\Library\\Win64]" "\"Search Path\"=$(reg_value REG_SZ '$(BDSLIB)\$(Platform)\release')" ""
                    "[$key\\C++\\Paths\\Win32]" "\"LibraryPath\"=$(reg_value REG_SZ '$(BDSLIB)\win32\release')" ""
                    "[$key\\C++\\Paths\\Win64]" "\"LibraryPath\"=$(reg_value REG_SZ '$(BDSLIB)\win64\release')" "")
        return
    fi
    reg_lines+=("[$key\\Library]" "\"$search\"=$(reg_value REG_SZ "$lib")" "")
    case "$row" in
        11) reg_lines+=("[$key\\CppPaths]" "\"SearchPath\"=$(reg_value REG_SZ '$(BDS)\include')" "");;
        12|13|14|15) reg_lines+=("[$key\\C++\\Paths]" "\"SearchPath\"=$(reg_value REG_SZ '$(BDS)\include')"
                                 "\"LibraryPath\"=$(reg_value REG_SZ '$(BDS)\lib')" "");;
    esac
    case "$row" in 12|13|14) reg_lines+=("[$key\\Globals]" "\"ForceEnvOptionsUpdate\"=$(reg_value REG_SZ 0)" "");; esac
}

# ---------------------------------------------------------------- one IDE

make_ide() {
    row="" root="" hive=HKLM type=REG_SZ compilers=""
    want_dcc32=1 want_dcc64=1 want_make=1 want_bin=1 want_help=1 want_files=1 want_registry=1 remove=0
    want_settings=0 want_program=0
    while [ $# -gt 0 ]; do
        case "$1" in
            --row) row="$2"; shift 2;;
            --root) root="$2"; shift 2;;
            --hive) hive="$2"; shift 2;;
            --type) type="$2"; shift 2;;
            --compilers) compilers="$2"; shift 2;;
            --no-dcc32) want_dcc32=0; shift;;
            --no-dcc64) want_dcc64=0; shift;;
            --no-make) want_make=0; shift;;
            --no-bin) want_bin=0; shift;;
            --no-help) want_help=0; shift;;
            --no-files) want_files=0; shift;;
            --no-registry) want_registry=0; shift;;
            --settings) want_settings=1; shift;;
            --program) want_program=1; shift;;
            --remove) remove=1; shift;;
            *) die "unknown argument: $1";;
        esac
    done
    [ -n "$root" ] || die "row $row: --root is missing"
    case "$hive" in HKLM|HKCU) ;; *) die "--hive must be HKLM or HKCU";; esac
    case "$type" in REG_SZ|REG_EXPAND_SZ|REG_MULTI_SZ|REG_DWORD|REG_BINARY) ;; *) die "unsupported --type $type";; esac
    [ -z "$compilers" ] || [ -e "$compilers" ] || die "--compilers: no folder or file $compilers"

    local entry
    entry="$(printf '%s\n' "$CATALOGUE" | grep "^$row|" || true)"
    [ -n "$entry" ] || die "no catalogue row $row (1..28)"
    IFS='|' read -r _ regkey helpfiles _ platforms <<<"$entry"

    # The folder: a path on drive C:, never the drive itself, never leaving drive_c.
    local folder="$root" rel
    while [ "${folder%\\}" != "$folder" ]; do folder="${folder%\\}"; done
    [[ "$folder" =~ ^[cC]:\\[^\\] ]] || die "--root must name a folder on drive C: ($root)"
    rel="${folder:3}"
    rel="${rel//\\//}"
    case "/$rel/" in */../*|*/./*|*//*) die "--root must be a plain path ($root)";; esac
    host_root="$prefix/drive_c/$rel"

    if [ "$remove" = 1 ]; then remove_ide; return; fi
    if [ "$want_files" = 1 ]; then create_files; fi
    if [ "$want_registry" = 1 ]; then
        local name="HKEY_LOCAL_MACHINE"
        [ "$hive" = HKCU ] && name="HKEY_CURRENT_USER"
        reg_lines+=("[$name\\$regkey]" "\"RootDir\"=$(reg_value "$type" "$root")" "")
    fi
    if [ "$want_settings" = 1 ]; then settings_lines; fi
}

for ide_args in "${ides[@]}"; do
    eval "make_ide ${defaults[*]+$(printf '%q ' "${defaults[@]}")} $ide_args"
done
import_registry
