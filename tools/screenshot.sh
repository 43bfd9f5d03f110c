#!/usr/bin/env bash
# screenshot.sh OUT.png: a picture of the whole virtual display named by DISPLAY.
set -euo pipefail
: "${DISPLAY:?DISPLAY must name the display to photograph}"
out="$1"
mkdir -p "$(dirname "$out")"
xwd -root -silent | convert xwd:- "$out"
