#!/usr/bin/env bash
# The wizard and the uninstaller at 96, 144 and 192 DPI on one machine: an install
# into a stand-in IDE and its removal at each scale, a screenshot of every page
# ($CVL_BUILD_ROOT/screenshots/display-scale/DPI-*.png) and on each page the layout
# checks: every control inside the client area, every static text within its
# control, and a check box of the IDE list at least 13 x DPI / 96 - 1 pixels.
source "$(dirname "$0")/lib.sh"
new_machine display_scale
WIZARD="Installation Wizard for Corvane library v4.07"
REMOVAL="Uninstall Corvane library v4.07"
SHOTS="$CVL_BUILD_ROOT/screenshots/display-scale"
rm -rf "$SHOTS"; mkdir -p "$SHOTS"
"$CVL_SOURCE/tools/make-ide.sh" --prefix "$WINEPREFIX" --compilers "$CVL_BIN/standin_compiler.exe" --settings \
    --row 9 --root 'C:\Borland\Delphi7' >/dev/null
# The first compile takes a while, so that the progress page can be photographed.
export CVL_STANDIN_SLOW=cvl70 CVL_STANDIN_SLOW_MS=3000

problems=()
problem() { problems+=("$DPI $*"); }

# page NAME WINDOW: a screenshot and the layout checks of the window as it is.
page() {
    local name="$1" window="$2" found
    found="$(driver layout "$window" | tr -d '\r')"
    [ -z "$found" ] || problem "$name: $found"
    [ -e "$SHOTS/$DPI-$name.png" ] || shot "$name" "$window"
}

# shot NAME [WINDOW]: the screen once the window has painted and Wine has shown it.
shot() {
    [ -z "${2:-}" ] || driver paint "$2"
    sleep 0.4
    [ -n "${DISPLAY:-}" ] && "$CVL_SOURCE/tools/screenshot.sh" "$SHOTS/$DPI-$1.png"
}

# The size of the check box drawn in front of the first row on view: the run of
# columns, from the row's left edge, that hold anything but the row's background.
check_box_size() {
    local shot="$1" rect="$2"
    python3 - "$shot" $rect <<'PY'
import subprocess, sys
shot, left, top, right, bottom = sys.argv[1], *map(int, sys.argv[2:])
ppm = subprocess.run(["convert", shot, "ppm:-"], capture_output=True, check=True).stdout
header, rest = [], ppm
while len(header) < 4:  # P6, width, height, maxval; comment lines pass
    line, rest = rest.split(b"\n", 1)
    header += line.split(b"#", 1)[0].split()
width = int(header[1])
pixels = rest
px = lambda x, y: pixels[(y * width + x) * 3:(y * width + x) * 3 + 3]
background = px(right - 3, (top + bottom) // 2)
cols, rows = [], set()
for x in range(left, right):
    marked = [y for y in range(top, bottom) if px(x, y) != background]
    if not marked and cols:
        break
    if marked:
        cols.append(x)
        rows.update(marked)
print(f"{len(cols)} {max(rows) - min(rows) + 1 if rows else 0}")
PY
}

wizard_at_scale() {
    win "$SETUP_EXE" & local pid=$! i
    driver wait "$WIZARD" || fail "$DPI: no wizard"
    page 1-welcome "$WIZARD"
    driver click "$WIZARD" 1000
    wait_eq "$DPI: IDE list shown" 1 driver visible "$WIZARD" 1013
    page 2-select "$WIZARD"
    if [ -n "${DISPLAY:-}" ]; then
        read -r w h <<<"$(check_box_size "$SHOTS/$DPI-2-select.png" "$(driver lbrect "$WIZARD" 1013 "$(driver lbtop "$WIZARD" 1013)")")"
        (( w * 96 >= 13 * DPI - 96 && h * 96 >= 13 * DPI - 96 )) || problem "check box ${w}x$h"
    fi
    driver click "$WIZARD" 1000
    wait_eq "$DPI: directory shown" 1 driver visible "$WIZARD" 1010
    page 3-directory "$WIZARD"
    driver click "$WIZARD" 1000
    wait_eq "$DPI: ready page" "Start" driver text "$WIZARD" 1000
    page 4-ready "$WIZARD"
    driver click "$WIZARD" 1000
    wait_eq "$DPI: progress shown" 1 driver visible "$WIZARD" 1009
    # The run holds the window's thread, and the page paints itself: the picture
    # first, while the page is on view.
    shot 5-progress
    page 5-progress "$WIZARD"
    WAIT_SECONDS=$RUN_PATIENCE wait_eq "$DPI: finish page" "Finish" driver text "$WIZARD" 2
    page 6-finish "$WIZARD"
    driver click "$WIZARD" 2
    wait "$pid" || fail "$DPI: setup exit status"
}

removal_at_scale() {
    (cd "$C/run" && wine 'C:\Borland\Corvane\unbrd.exe' 'C:\Borland\Corvane\uninst.log') &
    driver wait "$REMOVAL" || fail "$DPI: no removal dialog"
    page uninstall-1 "$REMOVAL"
    driver click "$REMOVAL" 1000
    driver answer Uninstall 6 >/dev/null || fail "$DPI: no removal question"
    WAIT_SECONDS=$RUN_PATIENCE wait_eq "$DPI: removal finished" "&Finish" driver text "$REMOVAL" 2
    page uninstall-2 "$REMOVAL"
    driver click "$REMOVAL" 2
    driver gone "$REMOVAL" || fail "$DPI: the removal dialog stays"
    wait_until "$DPI: the installation folder removed" test ! -e "$C/Borland/Corvane"
}

for DPI in 96 144 192; do
    win reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d $DPI /f >/dev/null
    # Wine reads the scale when its server starts.
    stop_wineserver "$WINEPREFIX"
    start_wineserver "$WINEPREFIX"
    wizard_at_scale
    removal_at_scale
done
[ ${#problems[@]} -eq 0 ] || fail "$(printf '%s\n' "${problems[@]}")"
echo "display scale: ok"
