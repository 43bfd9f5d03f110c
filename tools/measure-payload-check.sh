#!/usr/bin/env bash
# What the payload check costs against an extraction (setup.exe /X), medians of
# hyperfine runs in a machine of its own with a persistent wineserver:
#   full   = /X: start-up, the check of every payload resource, the extraction;
#   check  = /X of a copy whose last checked resource is damaged: start-up and the
#            whole check, then status 7 without writing;
#   start  = /X of a copy whose digest table is damaged: start-up, status 7 at once.
# The check costs check - start, the extraction full - check.
# Usage: tools/measure-payload-check.sh [build dir, default build/x64]
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="${1:-$ROOT/build/x64}"
export CVL_BUILD_ROOT="$ROOT/build"
source "$ROOT/tools/wine-env.sh"
[ -d "$(wine_base_prefix)" ] || make_base_prefix
export WINEPREFIX="$CVL_BUILD_ROOT/wine/measure"
fresh_prefix "$WINEPREFIX"
start_wineserver "$WINEPREFIX"
trap 'stop_wineserver "$WINEPREFIX"; rm -rf "$WINEPREFIX"' EXIT
C="$WINEPREFIX/drive_c"
mkdir -p "$C/x"
python3 - "$BUILD/bin/setup.exe" "$BUILD/resources/payload_digests.bin" "$C" <<'PY'
import struct, sys
exe, table, out = sys.argv[1:4]
data, digests = open(exe, "rb").read(), open(table, "rb").read()
at = data.find(digests)
assert at >= 0 and data.find(digests, at + 1) < 0, "digest table not found once in setup.exe"
def write(name, offset):
    copy = bytearray(data)
    copy[offset] ^= 0x01
    open(out + "/" + name, "wb").write(copy)
write("start.exe", at)                       # the count: the table is refused at once
write("check.exe", at + len(digests) - 1)    # the last resource's CRC-32: all are read
open(out + "/full.exe", "wb").write(data)
PY
cd "$C/x"
hyperfine --warmup 2 --runs "${RUNS:-15}" -N --export-json "$WINEPREFIX/times.json" \
    -i 'wine C:\\start.exe /X' 'wine C:\\check.exe /X' 'wine C:\\full.exe /X' >&2
python3 - "$WINEPREFIX/times.json" <<'PY'
import json, sys
r = {x["command"].split("\\")[-1].split(".")[0]: x["median"] for x in json.load(open(sys.argv[1]))["results"]}
check, extract = r["check"] - r["start"], r["full"] - r["check"]
print("medians: start-up %.1f ms, start-up + check %.1f ms, /X %.1f ms" % (r["start"] * 1e3, r["check"] * 1e3, r["full"] * 1e3))
print("check %.1f ms = %.1f%% of the extraction's %.1f ms" % (check * 1e3, 100 * check / extract, extract * 1e3))
PY
