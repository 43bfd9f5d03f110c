#!/usr/bin/env bash
# The main job: builds setup.exe and runs it under Wine on a demo machine
# (a sandboxed Wine prefix under build/wine/demo): the switch description, then an
# extraction of the whole payload into a demo folder.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"
tools/install-tools.sh
tools/build.sh >/dev/null

export CVL_BUILD_ROOT="$ROOT/build"
source tools/wine-env.sh
make_base_prefix
if [ -z "${DISPLAY:-}" ]; then
    read -r display xvfb_pid < <(start_xvfb)
    export DISPLAY="$display"
fi
export WINEPREFIX="$CVL_BUILD_ROOT/wine/demo"
fresh_prefix "$WINEPREFIX"
trap 'stop_wineserver "$WINEPREFIX"; [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true' EXIT
start_wineserver "$WINEPREFIX"
C="$WINEPREFIX/drive_c"
SETUP="$ROOT/build/x64/bin/setup.exe"
DRIVER="$ROOT/build/x64/bin/uidriver.exe"

echo "== setup.exe /?"
(cd "$C/run" && wine "$SETUP" /?) &
setup_pid=$!
(cd "$C/run" && wine "$DRIVER" answer "Parameters description" 1) | tr -d '\r'
echo
wait "$setup_pid"

echo "== setup.exe /X in C:\\CorvaneDemo"
mkdir -p "$C/CorvaneDemo"
(cd "$C/CorvaneDemo" && wine "$SETUP" /X)
echo "Extracted into $C/CorvaneDemo:"
(cd "$C/CorvaneDemo" && find . -type f | sort | sed 's|^\./|  |')
echo "$(find "$C/CorvaneDemo" -type f | wc -l) files, $(find "$C/CorvaneDemo" -mindepth 1 -type d | wc -l) folders"
