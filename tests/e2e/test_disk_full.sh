#!/usr/bin/env bash
# A drive that fills up while setup.exe /silent runs: the check before the run
# finds room enough, then something else takes it while a (slowed) compile runs.
# The install folder is on a small drive D:, Delphi 7 on a small drive E: (its help
# index and alias files, with the user's own lines, live there). Each moment starts
# from the same machine:
#   D:cvl70       the install drive is full during the first compile;
#   D:dclcvl70    the same during a later compile;
#   E:cvl70       the IDE's drive is full before the help index and alias edits;
#   E:dclcvl70:12 the IDE's drive keeps 12 KB: the help index edits fit, the
#                 alias file does not;
#   log:dclcvl70  the install drive keeps room for the compiler's own files of the
#                 last compile: the compile succeeds, its log (written by the
#                 installer) finds no room.
# Every run stops, says which file could not be written because the disk is full,
# and leaves the machine exactly as before: registry, every file of C:, D: and E:
# with its checksum, the IDE's help index and alias files byte for byte; no file
# half-written anywhere.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/ide_machine.sh"
new_machine disk_full
if [ "$(id -u)" != 0 ]; then
    echo "SKIPPED (not root): the small drives need tmpfs mounts" >&2
    exit 0
fi
source "$(dirname "$0")/interrupt.sh"
D="$WINEPREFIX.d"; E="$WINEPREFIX.e"
mkdir -p "$D" "$E"
trap 'umount "$D" "$E" 2>/dev/null || true; stop_wineserver "$WINEPREFIX"; rm -rf "$WINEPREFIX" "$SNAP" "$SNAP.drives" "$CUT" "$D" "$E"' EXIT
mount -t tmpfs -o size=24m tmpfs "$D" && mount -t tmpfs -o size=6m tmpfs "$E" || fail "tmpfs mounts"
ln -s "$D" "$WINEPREFIX/dosdevices/d:"
ln -s "$E" "$WINEPREFIX/dosdevices/e:"
touch "$WINEPREFIX/.made"
# make-ide.sh makes IDEs on C: only: this one moves to E: afterwards.
"$CVL_SOURCE/tools/make-ide.sh" --prefix "$WINEPREFIX" --compilers "$COMPILERS" --settings \
    --row 9 --root 'C:\Borland\Delphi7' >/dev/null || fail "make-ide.sh"
mkdir -p "$E/Borland" && mv "$C/Borland/Delphi7" "$E/Borland/" && rmdir "$C/Borland" || fail "moving Delphi 7 to E:"
(cd "$C" && wine reg add 'HKLM\Software\Borland\Delphi\7.0' /v RootDir /d 'E:\Borland\Delphi7' /f /reg:32) \
    </dev/null >/dev/null 2>&1 || fail "Delphi 7's RootDir"
HELP="$E/Borland/Delphi7/Help"
# The user's own lines: 510 aliases, and index and link lines of other libraries.
for i in $(seq 1 510); do printf 'TUserComponent%03d=TUserComponent%03d_Object\r\n' "$i" "$i"; done >>"$HELP/d7.als"
for i in $(seq 1 40); do printf ':Index Vendor library %02d=vendor%02d.hlp\r\n' "$i" "$i"; done >>"$HELP/d7.ohi"
for i in $(seq 1 40); do printf ':Link vendor%02d.hlp\r\n' "$i"; done >>"$HELP/d7.ohl"
DIR_W='D:\Corvane'
ARGS=(/silent "/dir=$DIR_W" /ides=Delphi7 /items=help)
LOG_COPY=()

drives_state() { (cd "$WINEPREFIX.$1" && find . -type f -print0 | sort -z | xargs -0 -r md5sum); }
state() { machine_state | without_journal; echo "D:"; drives_state d; echo "E:"; drives_state e; }
# The drives are no part of the saved machine: their files are saved beside it.
save_drives() { rm -rf "$SNAP.drives"; mkdir -p "$SNAP.drives"; cp -a "$D" "$SNAP.drives/d"; cp -a "$E" "$SNAP.drives/e"; }
load_drives() {
    local d
    for d in d e; do
        find "$WINEPREFIX.$d" -mindepth 1 -delete
        cp -a "$SNAP.drives/$d/." "$WINEPREFIX.$d/"
    done
}

# fill DRIVE KB: a file of the test's own takes all the room of DRIVE but KB.
fill() {
    local dir="$WINEPREFIX.${1,,}" free
    free=$(( $(stat -f -c '%a * %S' "$dir") ))
    (( free > $2 * 1024 )) || fail "$1 has only $free bytes"
    fallocate -l $(( free - $2 * 1024 )) "$dir/filler.bin" || fail "filler on $1"
}

# install MOMENT: setup.exe /silent with the compile of the moment's project slowed;
# the drive is filled while it runs. Its status in $RC, its output in $OUT.
install() {
    local drive="${1%%:*}" rest="${1#*:}" project keep pid
    project="${rest%%:*}"; keep="${rest#"$project"}"; keep="${keep#:}"
    rm -f "$JOURNAL"
    (cd "$C/run" && CVL_STANDIN_SLOW="$project" exec wine "$SETUP_EXE" "${ARGS[@]}" "${LOG_COPY[@]}" >"$WINEPREFIX/stopped-run.out" 2>&1) & pid=$!
    wait_compile "$project" "$pid"
    case "$drive" in
        log) fill D "$LOG_ROOM_KB" ;;
        *) fill "$drive" "${keep:-0}" ;;
    esac
    RC=0; wait "$pid" || RC=$?
    OUT="$(tr -d '\r' <"$WINEPREFIX/stopped-run.out")"
    rm -f "$WINEPREFIX.d/filler.bin" "$WINEPREFIX.e/filler.bin" "$WINEPREFIX/stopped-run.out"
}

save_machine; save_drives
before="$(state)"
help_before="$(md5sum "$HELP"/*)"

# A run with room to the end, to learn what the last compile writes to D: (each a
# file smaller than a page of the drive).
(cd "$C/run" && CVL_STANDIN_SLOW=dclcvl70 exec wine "$SETUP_EXE" "${ARGS[@]}" >"$WINEPREFIX/stopped-run.out" 2>&1) & pid=$!
wait_compile dclcvl70 "$pid"
touch "$WINEPREFIX/compile.mark"
wait "$pid" || fail "the run with room failed: $(cat "$WINEPREFIX/stopped-run.out")"
compiled=$(find "$D" -type f -newer "$WINEPREFIX/compile.mark" ! -name '*.log' -size -4k | wc -l)
(( compiled > 0 )) || fail "the last compile wrote nothing to D:"
LOG_ROOM_KB=$(( compiled * 4 ))
rm -f "$WINEPREFIX/compile.mark"

MOMENTS=(D:cvl70 D:dclcvl70 E:cvl70 E:dclcvl70:12 log:dclcvl70)
[ -z "${CVL_DISK_MOMENTS:-}" ] || read -ra MOMENTS <<<"$CVL_DISK_MOMENTS"
COUNT=0
for moment in "${MOMENTS[@]}"; do
    echo "$moment at ${SECONDS}s" >&2
    load_machine; load_drives
    # One run asks for a copy of its log: the copy is made before the rollback
    # takes the log away, and tells why the run stopped.
    LOG_COPY=(); [ "$moment" != E:cvl70 ] || LOG_COPY=('/log=C:\stopped.log')
    install "$moment"
    if [ "${#LOG_COPY[@]}" != 0 ]; then
        iconv -f UTF-16 -t UTF-8 "$C/stopped.log" 2>/dev/null | grep -q '^Installation stopped (the disk is full: ' ||
            fail "$moment: the copy of the log does not tell why the run stopped"
        rm -f "$C/stopped.log"
    fi
    expect_eq "$moment: exit status (output: $OUT)" "$RC" 8
    echo "$moment: $(grep -o 'stopped (.*)' <<<"$OUT")" >&2
    case "$moment" in
        E:dclcvl70:*) file='E:\Borland\Delphi7\Help\d7.als' ;;
        E:*) file='E:\Borland\Delphi7\Help\d7.ohi' ;;
        log:*) file="$DIR_W\\Delphi7\\dclcvl70.log" ;;
        *) file="$DIR_W\\Delphi7\\" ;;
    esac
    [[ "$OUT" == *"The installation was stopped (the disk is full: $file"*" could not be written). Everything it had changed has been put back."* ]] ||
        fail "$moment: the reason is not told: [$OUT]"
    left="$(find "$C" "$D" "$E" -name '*.cvlnew')"
    [ -z "$left" ] || fail "$moment: files left half-written: $left"
    expect_eq "$moment: the help index and alias files" "$(md5sum "$HELP"/*)" "$help_before"
    same_state "$moment: the machine differs from the one before" "$before" "$(state)"
    ((++COUNT))
done
echo "disk full: $COUNT moments: ok"
