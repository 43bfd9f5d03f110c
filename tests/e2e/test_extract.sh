#!/usr/bin/env bash
# Extract mode (/X) in a fresh machine: every directory row and every file row of the
# script lands below the current directory, byte for byte as the payload holds it,
# with nothing else written, no window and the registry untouched. A second run
# overwrites the same files; a folder or file that cannot be written is passed over.
source "$(dirname "$0")/lib.sh"
new_machine extract

# The payload resource script of this build names the file behind every resource id.
PAYLOAD_RC="${CVL_PAYLOAD_RC:-$(dirname "$CVL_BIN")/resources/payload.rc}"
[ -f "$PAYLOAD_RC" ] || fail "no generated payload resource script at $PAYLOAD_RC"
EXPECTED="$WINEPREFIX/expected.tsv"

# The directory and copy rows, read from the table (one row a line): "D<TAB>path" for
# a folder, "F<TAB>path<TAB>payload file" for a file, paths with "/".
python3 - "$CVL_SOURCE/script/UScriptItems.cpp" "$PAYLOAD_RC" >"$EXPECTED" <<'EOF'
import re, sys
table, rc = sys.argv[1:3]
files = {}
for line in open(rc, encoding="utf-8"):
    m = re.match(r'\s*(\d+)\s+CVLIB\s+"([^"]+)"', line)
    if m:
        files[int(m.group(1))] = m.group(2)
row = re.compile(r'\s*\{(itCreateDir|itCopyResource)\b[^,]*,\s*L"((?:[^"\\]|\\.)*)",\s*(\d+),\s*(dc\w+)')
for line in open(table, encoding="utf-8"):
    m = row.match(line)
    if not m:
        continue
    kind, name, code, d = m.groups()
    if d != "dcRoot":
        sys.exit("row outside the install directory: " + line.strip())
    path = name.replace("\\\\", "/")
    if kind == "itCreateDir":
        print("D\t" + path)
    else:
        print("F\t%s\t%s" % (path, files[int(code)]))
EOF
expect_eq "directory rows" "$(grep -c '^D' "$EXPECTED")" 63
expect_eq "file rows" "$(grep -c '^F' "$EXPECTED")" 298
expect_eq "distinct file paths" "$(grep '^F' "$EXPECTED" | cut -f2 | tr 'A-Z' 'a-z' | sort -u | wc -l)" 298

# check_tree DIR [SKIP_REGEX]: DIR holds exactly the expected folders and files (paths
# matching SKIP_REGEX excepted), each file identical to its payload file.
check_tree() {
    python3 - "$EXPECTED" "$1" "${2:-^$}" <<'EOF' || fail "extracted tree differs"
import filecmp, os, re, sys
expected, root, skip = sys.argv[1], sys.argv[2], re.compile(sys.argv[3])
want, sources = set(), {}
for line in open(expected, encoding="utf-8"):
    fields = line.rstrip("\n").split("\t")
    if fields[1] and not skip.search(fields[1]):
        want.add(fields[1])
        if fields[0] == "F":
            sources[fields[1]] = fields[2]
got = set()
for top, dirs, files in os.walk(root):
    for name in dirs + files:
        path = os.path.relpath(os.path.join(top, name), root)
        if not skip.search(path):
            got.add(path)
errors = ["missing: " + p for p in sorted(want - got)] + ["not a row: " + p for p in sorted(got - want)]
errors += ["differs: " + p for p, src in sorted(sources.items())
           if p in got and not filecmp.cmp(os.path.join(root, p), src, shallow=False)]
if errors:
    sys.exit("%s: %d faults: %s" % (root, len(errors), "; ".join(errors[:10])))
EOF
}

# The registry without what Wine writes of its own: the first program that uses the
# window system makes Wine record its display driver under Control\Video.
registry_of_program() {
    registry_dump | awk '/^\[/ { wine = index($0, "\\Control\\Video\\") > 0 } !wine && NF'
}

# First run in an empty folder: the whole tree, and nothing else anywhere. A window
# or message box would wait for an answer that never comes.
mkdir -p "$C/extract"
before="$(registry_of_program)"
grep -q '^\[HKEY_LOCAL_MACHINE\\Software\]' <<<"$before" || fail "no registry snapshot"
touch "$WINEPREFIX/before-extract"
timeout 120 bash -c 'cd "$1" && wine "$2" /X' _ "$C/extract" "$SETUP_EXE" || fail "setup /X did not end by itself with status 0"
check_tree "$C/extract"
elsewhere="$(find "$C" -type f -newer "$WINEPREFIX/before-extract" -not -path "$C/extract/*")"
[ -z "$elsewhere" ] || fail "extraction wrote outside its folder: $elsewhere"
after="$(registry_of_program)"
[ "$after" == "$before" ] || fail "extraction changed the registry: $(diff <(echo "$before") <(echo "$after") | head -20)"

# Second run over the first: every file is written again, longer leftovers cut off.
while IFS=$'\t' read -r _ path _; do
    echo "stale bytes past the end of the payload file" >>"$C/extract/$path"
done < <(grep '^F' "$EXPECTED")
win_in "$C/extract" "$SETUP_EXE" /X || fail "second setup /X exit status"
check_tree "$C/extract"

# A file where the Help folder belongs and a folder where readme.txt belongs: those
# rows fail silently, every other row still lands.
mkdir -p "$C/blocked/readme.txt"
echo "not a folder" >"$C/blocked/Help"
win_in "$C/blocked" "$SETUP_EXE" /X || fail "blocked setup /X exit status"
check_tree "$C/blocked" '^(Help|readme\.txt)(/|$)'
[ -f "$C/blocked/Help" ] && [ "$(cat "$C/blocked/Help")" == "not a folder" ] || fail "the blocking file changed"
[ -d "$C/blocked/readme.txt" ] && [ -z "$(ls -A "$C/blocked/readme.txt")" ] || fail "the blocking folder changed"
echo "extract: ok"
