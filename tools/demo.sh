#!/usr/bin/env bash
# The main job: builds setup.exe and runs it under Wine on a demo machine (a
# sandboxed Wine prefix, build/wine/demo).
#
# With a display of your own (DISPLAY set), the wizard opens there for you to use.
# Without one, or with CVL_DEMO_WALK=1, it runs on a virtual display and the UI
# driver walks it page by page, leaving a screenshot of each page in
# build/demo-screenshots/. Before that it shows the switch description and extracts
# the whole payload into C:\CorvaneExtract.
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
SETUP="$ROOT/build/x64/bin/setup.exe"
DRIVER="$ROOT/build/x64/bin/uidriver.exe"
SHOTS="$ROOT/build/demo-screenshots"
WIZARD="Installation Wizard for Corvane library v4.07"
driver() { (cd "$C/run" && wine "$DRIVER" "$@"); }

echo "== setup.exe /?"
(cd "$C/run" && wine "$SETUP" /?) &
setup_pid=$!
driver answer "Parameters description" 1 | tr -d '\r'
echo
wait "$setup_pid"

echo "== setup.exe /X in C:\\CorvaneExtract"
mkdir -p "$C/CorvaneExtract"
(cd "$C/CorvaneExtract" && wine "$SETUP" /X)
echo "$(find "$C/CorvaneExtract" -type f | wc -l) files in $(find "$C/CorvaneExtract" -mindepth 1 -type d | wc -l) folders extracted into $C/CorvaneExtract"

echo "== the wizard"
if [ "$walk" = 0 ]; then
    (cd "$C/run" && wine "$SETUP")
    exit 0
fi
rm -rf "$SHOTS"; mkdir -p "$SHOTS"
(cd "$C/run" && wine "$SETUP") &
setup_pid=$!
driver wait "$WIZARD" 20000
page=1
for name in welcome select-ide directory ready progress finish; do
    [ "$name" = progress ] && { page=$((page + 1)); continue; }  # runs straight on to Finish
    sleep 0.5
    tools/screenshot.sh "$SHOTS/$page-$name.png"
    echo "page $page ($name): screenshot $SHOTS/$page-$name.png"
    [ "$name" = finish ] || driver click "$WIZARD" 1000
    page=$((page + 1))
done
driver click "$WIZARD" 2
wait "$setup_pid"
echo "Installation record:"
(cd "$C/run" && wine reg query 'HKLM\Software\Brindlecraft\Corvane library' /reg:32) | tr -d '\r' | sed -n 's/^    /  /p'
