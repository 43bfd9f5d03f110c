#!/usr/bin/env bash
# The progress page with a failing compiler: every failing row is reported in a box
# with its row, error code, type and log text, the run goes on to the Finish page,
# and a Cancel during the run answered No lets it continue.
source "$(dirname "$0")/lib.sh"
new_machine progress_page
WIZARD="Installation Wizard for Corvane library v4.07"
"$CVL_SOURCE/tools/make-ide.sh" --prefix "$WINEPREFIX" --compilers "$CVL_BIN/standin_compiler.exe" --settings \
    --row 9 --root 'C:\Borland\Delphi7' >/dev/null

# The Delphi 7 runtime package does not compile; the design-time package fails after
# pages of long hints, which the error box must show without leaving the screen.
export CVL_STANDIN_FAIL=cvl70 CVL_STANDIN_FLOOD=dclcvl70 CVL_STANDIN_FLOOD_BYTES=300000
win "$SETUP_EXE" & pid=$!
driver wait "$WIZARD" || fail "no wizard"
for page in 1 2 3; do driver step "$WIZARD" 1000; done
wait_eq "ready page" "Start" driver text "$WIZARD" 1000
driver click "$WIZARD" 1000

# A click on Cancel while the script runs: the question comes, No goes on.
driver postclick "$WIZARD" 2
question="$(driver answer Install 7)" || fail "no cancel question during the run"
expect_eq "cancel question" "$question" "Are you sure you want to cancel the install?"

boxes=()
rects=()
deadline=$((SECONDS + RUN_PATIENCE))
while [ "$SECONDS" -lt "$deadline" ]; do
    [ "$(driver text "$WIZARD" 2 2>/dev/null)" == "Finish" ] && break
    if driver wait Error 10 >/dev/null 2>&1; then
        rects+=("$(driver screenrect Error 0)")
        [ ${#rects[@]} -eq 3 ] && [ -n "${DISPLAY:-}" ] && \
            "$CVL_SOURCE/tools/screenshot.sh" "$CVL_BUILD_ROOT/screenshots/progress-page-compiler-box.png"
        boxes+=("$(driver answer Error 1)")
    fi
    sleep 0.1
done
expect_eq "finish page after the failures" "$(driver text "$WIZARD" 2)" "Finish"
[ ${#boxes[@]} -gt 0 ] || fail "no error box for the failing compile"
first="${boxes[0]}"
[[ "$first" =~ ^Error\ in\ ScriptItem=([0-9]+),\ ErrorCode=1h\ ScriptItemId=13\ with\ text$'\r\n'(.*)$ ]] \
    || fail "error box text: $first"
# The row's own text stays as it is; below it what the compiler printed last and
# where its whole output is.
report="$(tr -d '\r' <<<"${BASH_REMATCH[2]}")"
expect_eq "log text in the box" "$(head -1 <<<"$report")" 'Check file: C:\Borland\Corvane\Delphi7\cvl70.bpl...Fail'
grep -qxF "cvl70.dpk(12) Fatal: F1026 File not found: 'cvlStorage.pas'" <<<"$report" || fail "no compiler line: $report"
expect_eq "log path in the box" "$(tail -1 <<<"$report")" 'The whole output is in C:\Borland\Corvane\Delphi7\cvl70.log'
log="$C/Borland/Corvane/Delphi7/cvl70.log"
grep -qF "Fatal: F1026 File not found: 'cvlStorage.pas'" "$log" || fail "compiler log: $(cat "$log" 2>&1)"
[ ${#boxes[@]} -ge 3 ] && [[ "${boxes[2]}" == *"dclcvl70.bpl...Fail"*"never used"*"The whole output is in C:\Borland\Corvane\Delphi7\dclcvl70.log" ]] \
    || fail "the design-time package's box: ${boxes[2]:-none}"
read -r _ _ width height <<<"$(driver workarea "$WIZARD" 0)"
for rect in "${rects[@]}"; do
    read -r left top right bottom <<<"$rect"
    (( left >= 0 && top >= 0 && right <= width && bottom <= height )) \
        || fail "an error box ($rect) leaves the screen (${width}x$height)"
done
expect_eq "status line hidden" "$(driver visible "$WIZARD" 260)" 0
# The Finish page says that steps failed, where, and where they are listed; the
# process ends with status 1, as an unattended installation would.
finish="$(driver text "$WIZARD" 256 | tr -d '\r')"
[[ "$finish" == "Setup has finished installing "*$'\n\n'"${#boxes[@]} steps of the installation failed, for Delphi7. What failed is listed in C:\Borland\Corvane\install.log." ]] \
    || fail "Finish page text: [$finish]"
driver click "$WIZARD" 2
status=0; wait "$pid" || status=$?
expect_eq "setup exit status after failed steps" "$status" 1
# The record is written even after failures.
win reg query 'HKLM\Software\Brindlecraft\Corvane library' /v RootDir /reg:32 >/dev/null || fail "no record"
echo "progress page: ok (${#boxes[@]} error boxes)"
