#!/usr/bin/env bash
# The programs import only DLLs that Windows always loads from its own directory
# (msvcrt.dll is one of the system's known DLLs).
set -euo pipefail
: "${CVL_SOURCE:?}" "${CVL_BIN:?}" "${CVL_BUILD_ROOT:?}"
allowed="kernel32.dll user32.dll gdi32.dll advapi32.dll shell32.dll comctl32.dll ole32.dll msvcrt.dll"
check() {
    local objdump="$1" exe="$2"
    [ -f "$exe" ] || { echo "missing $exe" >&2; exit 1; }
    local dll
    for dll in $("$objdump" -p "$exe" | awk '/DLL Name:/ {print tolower($3)}'); do
        case " $allowed " in
            *" $dll "*) ;;
            *) echo "FAIL: $exe imports $dll" >&2; exit 1;;
        esac
    done
    "$objdump" -p "$exe" | grep -qi 'DLL Name: version.dll' && { echo "FAIL: version.dll imported" >&2; exit 1; }
    echo "imports ok: $exe"
}
check x86_64-w64-mingw32-objdump "$CVL_BIN/setup.exe"
x86="$CVL_BUILD_ROOT/x86/bin/setup.exe"
if [ -f "$x86" ]; then
    check i686-w64-mingw32-objdump "$x86"
    i686-w64-mingw32-objdump -f "$x86" | grep -q 'pei-i386' || { echo "FAIL: x86 build is not 32-bit" >&2; exit 1; }
fi
