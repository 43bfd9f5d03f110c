#!/usr/bin/env python3
"""Prints the records of an uninstall log, one a line: TypeId Code Dir Name
(hexadecimal numbers, the name as UTF-8). Exits 1 when the log is damaged."""
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


def main():
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
