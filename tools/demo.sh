#!/usr/bin/env bash
# The main job: builds setup.exe and runs it under Wine on a demo machine (a
# sandboxed Wine prefix, build/wine/demo) with three stand-in IDEs: Delphi 7,
# RAD Studio XE2 and RAD Studio 11, whose command-line compilers are the project's
# stand-ins.
#
# It shows the switch description, extracts the payload (/X), then installs the
# library with the wizard and finally removes it with the command of the Windows
# uninstall entry. With a display of your own (DISPLAY set) the wizard and the
# uninstaller open there for you to use; without one, or with CVL_DEMO_WALK=1,
# they run on a virtual display and the UI driver walks them, leaving a screenshot
# of every page in build/demo-screenshots/.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"
tools/install-tools.sh
tools/build.sh >/dev/null

export CVL_BUILD_ROOT="$ROOT/build"
source tools/wine-env.sh
make_base_prefix

walk=1
if [ -n "${DISPLAY:-}" ] && [ -z "${CVL_DEMO_WALK:-}" ]; then
    walk=0
else
    read -r display xvfb_pid < <(start_xvfb)
    export DISPLAY="$display"
fi
export WINEPREFIX="$CVL_BUILD_ROOT/wine/demo"
fresh_prefix "$WINEPREFIX"
trap 'stop_wineserver "$WINEPREFIX"; [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true' EXIT
start_wineserver "$WINEPREFIX"
C="$WINEPREFIX/drive_c"
BIN="$ROOT/build/x64/bin"
SHOTS="$ROOT/build/demo-screenshots"
WIZARD="Installation Wizard for Corvane library v4.07"
UNINSTALL="Uninstall Corvane library v4.07"
win() { (cd "$C/run" && wine "$@"); }
driver() { win "$BIN/uidriver.exe" "$@"; }
shot() { tools/screenshot.sh "$SHOTS/$1.png"; echo "  screenshot: $SHOTS/$1.png"; }
# Waits until COMMAND prints WANT, answering (and printing) any error box meanwhile.
until_text() {
    local want="$1" i; shift
    for i in $(seq 1 900); do
        [ "$("$@" 2>/dev/null)" == "$want" ] && return 0
        if driver wait Error 10 >/dev/null 2>&1; then echo "  error box: $(driver answer Error 1 | tr -d '\r')"; fi
        sleep 0.2
    done
    echo "gave up waiting for [$want]" >&2
    return 1
}

echo "== The demo machine: $WINEPREFIX"
tools/make-ide.sh --prefix "$WINEPREFIX" --compilers "$BIN/standin_compiler.exe" --settings \
    --row 9 --root 'C:\Borland\Delphi7' \
    --row 16 --root 'C:\Program Files (x86)\Embarcadero\RAD Studio\9.0' \
    --row 28 --root 'C:\Program Files (x86)\Embarcadero\Studio\22.0'
echo "  Delphi 7 in C:\\Borland\\Delphi7, RAD Studio XE2 and RAD Studio 11 in C:\\Program Files (x86)\\Embarcadero"

echo "== setup.exe /?"
(win "$BIN/setup.exe" /?) &
setup_pid=$!
driver answer "Parameters description" 1 | tr -d '\r' | sed 's/^/  /'
echo
wait "$setup_pid"

echo "== setup.exe /X in C:\\CorvaneExtract"
mkdir -p "$C/CorvaneExtract"
(cd "$C/CorvaneExtract" && wine "$BIN/setup.exe" /X)
echo "  $(find "$C/CorvaneExtract" -type f | wc -l) files in $(find "$C/CorvaneExtract" -mindepth 1 -type d | wc -l) folders"
rm -rf "$C/CorvaneExtract"

echo "== The wizard"
rm -rf "$SHOTS"; mkdir -p "$SHOTS"
if [ "$walk" = 0 ]; then
    win "$BIN/setup.exe"
else
    (win "$BIN/setup.exe") &
    setup_pid=$!
    driver wait "$WIZARD" 30000
    for page in 1-welcome 2-select-ide 3-directory 4-ready; do
        sleep 0.5; echo "  page $page"; shot "wizard-$page"
        driver click "$WIZARD" 1000
    done
    sleep 1; echo "  page 5-progress"; shot wizard-5-progress
    until_text Finish driver text "$WIZARD" 2
    sleep 0.5; echo "  page 6-finish"; shot wizard-6-finish
    driver click "$WIZARD" 2
    wait "$setup_pid"
fi

dir="$(win reg query 'HKLM\Software\Brindlecraft\Corvane library' /v RootDir /reg:32 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ    //p')"
if [ -z "$dir" ]; then
    echo "The library was not installed."
    exit 0
fi
host_dir="$C/$(echo "${dir:3}" | tr '\\' '/')"
echo "== Installed into $dir ($host_dir)"
(cd "$host_dir" && find . -maxdepth 1 | sort | sed 's|^\./|  |; /^\.$/d')
echo "  $(find "$host_dir" -type f | wc -l) files; packages: $(cd "$host_dir" && find . -name '*.bpl' | sort | tr '\n' ' ')"
echo "  Known Packages:"
for key in 'Borland\Delphi\7.0' 'Embarcadero\BDS\9.0' 'Embarcadero\BDS\22.0'; do
    win reg query "HKCU\\Software\\$key\\Known Packages" 2>/dev/null | tr -d '\r' | grep -i corvane | sed 's/^ */    /'
done
command="$(win reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\cvlLib' /v UninstallString /reg:32 \
    | tr -d '\r' | sed -n 's/.*REG_SZ    //p')"
echo "  uninstall entry: $command"

echo "== Removal: $command"
read -r uninstaller log <<<"$command"
if [ "$walk" = 0 ]; then
    win "$uninstaller" "$log"
else
    (win "$uninstaller" "$log") &
    driver wait "$UNINSTALL" 30000
    sleep 0.5; shot uninstall-1-start
    driver click "$UNINSTALL" 1000
    driver answer Uninstall 6 >/dev/null
    until_text "&Finish" driver text "$UNINSTALL" 2
    sleep 0.5; shot uninstall-2-done
    driver click "$UNINSTALL" 2
fi
for i in $(seq 1 100); do [ -e "$host_dir" ] || break; sleep 0.2; done
if [ -e "$host_dir" ]; then echo "  $dir is still there"; else echo "  $dir has been removed"; fi
