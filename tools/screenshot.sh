#!/usr/bin/env bash
# screenshot.sh OUT.png: a picture of the whole virtual display named by DISPLAY.
# Other tests share the display: a window that goes away while xwd reads the screen
# makes the X server refuse the read (BadDrawable), so a failed picture is taken again.
set -euo pipefail
: "${DISPLAY:?DISPLAY must name the display to photograph}"
out="$1"
mkdir -p "$(dirname "$out")"
for try in 1 2 3 4 5; do
    if xwd -root -silent 2>/dev/null | convert xwd:- "png:$out.part" 2>/dev/null; then
        mv -f "$out.part" "$out"
        exit 0
    fi
    sleep 0.3
done
rm -f "$out.part"
echo "screenshot.sh: no picture of $DISPLAY after 5 tries" >&2
exit 1
