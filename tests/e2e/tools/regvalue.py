#!/usr/bin/env python3
"""Checks values of a registry export made by `wine reg export` (as text).

    regvalue.py DUMP < EXPECTATIONS
    regvalue.py --get DUMP KEY NAME      (prints one value's data)

Each line of EXPECTATIONS is KEY|NAME|DATA: KEY as in the export (for example
HKEY_CURRENT_USER\\Software\\Borland\\Delphi\\7.0\\Library), DATA the value's data
with strings unescaped and other types as exported, or <missing>. Prints every
value that differs and exits 1 when there is one."""
import sys


def parse_name(line):
    """The value name of an export line and the rest after '=', or None."""
    if line.startswith("@="):
        return "", line[2:]
    if not line.startswith('"'):
        return None
    i, name = 1, []
    while i < len(line):
        c = line[i]
        if c == "\\" and i + 1 < len(line):
            name.append(line[i + 1])
            i += 2
        elif c == '"':
            return "".join(name), line[i + 2:]
        else:
            name.append(c)
            i += 1
    return None


def unescape(data):
    if not (data.startswith('"') and data.endswith('"')):
        return data
    out, i, text = [], 0, data[1:-1]
    while i < len(text):
        if text[i] == "\\" and i + 1 < len(text):
            out.append(text[i + 1])
            i += 2
        else:
            out.append(text[i])
            i += 1
    return "".join(out)


def values(lines):
    """{(lowered key, lowered name): data} of the whole export."""
    table, key = {}, None
    for line in lines:
        if line.startswith("["):
            key = line[1:line.rfind("]")].lower()
            continue
        parsed = parse_name(line) if key else None
        if parsed:
            table[(key, parsed[0].lower())] = unescape(parsed[1])
    return table


def main():
    if sys.argv[1] == "--get":
        with open(sys.argv[2], encoding="utf-8", errors="replace") as f:
            print(values(f.read().splitlines()).get((sys.argv[3].lower(), sys.argv[4].lower()), "<missing>"))
        return
    with open(sys.argv[1], encoding="utf-8", errors="replace") as f:
        table = values(f.read().splitlines())
    failed = False
    for line in sys.stdin.read().splitlines():
        if not line.strip():
            continue
        key, name, want = line.split("|", 2)
        got = table.get((key.lower(), name.lower()), "<missing>")
        if got != want:
            print("%s [%s]: got [%s], want [%s]" % (key, name, got, want), file=sys.stderr)
            failed = True
    sys.exit(1 if failed else 0)


main()
