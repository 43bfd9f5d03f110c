#!/usr/bin/env python3
"""Prints the records of an uninstall log, one a line: TypeId Code Dir Name
(hexadecimal numbers, the name as UTF-8). Exits 1 when the log is damaged.

With --write LOG it does the reverse: writes LOG from such lines on stdin, behind
the magic "UNBRD02"."""
import struct
import sys


def records(data):
    if len(data) < 7 or data[:5] != b"UNBRD":
        raise ValueError("no uninstall log magic")
    pos = 7
    while pos < len(data):
        type_id, code, dir_code, name_len = struct.unpack_from("<IIIH", data, pos)
        name = data[pos + 14:pos + 14 + name_len]
        (record_len,) = struct.unpack_from("<H", data, pos + 14 + name_len)
        if record_len != name_len + 16:
            raise ValueError("damaged record at %d" % pos)
        yield type_id, code, dir_code, name.decode("utf-8")
        pos += record_len


def encode(type_id, code, dir_code, name):
    raw = name.encode("utf-8")
    return struct.pack("<IIIH", type_id, code, dir_code, len(raw)) + raw + struct.pack("<H", len(raw) + 16)


def write(path):
    out = b"UNBRD02"
    for line in sys.stdin.read().splitlines():
        if not line.strip():
            continue
        fields = line.split(" ", 3)
        name = fields[3] if len(fields) > 3 else ""
        out += encode(int(fields[0], 16), int(fields[1], 16), int(fields[2], 16), name)
    with open(path, "wb") as f:
        f.write(out)


def main():
    if len(sys.argv) == 3 and sys.argv[1] == "--write":
        write(sys.argv[2])
        return
    with open(sys.argv[1], "rb") as f:
        data = f.read()
    try:
        for type_id, code, dir_code, name in records(data):
            print("%X %X %X %s" % (type_id, code, dir_code, name))
    except (ValueError, struct.error) as e:
        print("damaged: %s" % e, file=sys.stderr)
        sys.exit(1)


if __name__ == "__main__":
    main()
