#!/usr/bin/env python3
"""Writes payload.rc, the resource script of the CVLIB payload, from the manifest.

Each manifest line is  id <TAB> language <TAB> source <TAB> installed name.
The source is a path below resources/payload/, or below the build's
generated payload folder for files made at build time (compiled .res and
.dcr files, pictures); "@pkg/<path>" is a generated package project file,
"@cvlabout.dll" and "@unbrd.exe" are the built programs.

Beside it goes the digest table (resource 1 of type CVLSUMS): for every payload
resource its id, size and CRC-32, so that the program can tell a damaged copy of
itself before it writes anything. Little-endian 32-bit words: the count, then
id, size, CRC-32 per resource.
"""
import argparse
import os
import struct
import sys
import zlib


def language_statement(lang):
    # A Windows language id is the primary language in the low 10 bits and
    # the sublanguage above them: 1049 = 0x419 = Russian, default sublanguage.
    return "LANGUAGE 0x%02X, 0x%02X" % (lang & 0x3FF, lang >> 10)


def resolve(source, args):
    if source == "@cvlabout.dll":
        return args.cvlabout
    if source == "@unbrd.exe":
        return args.unbrd
    if source.startswith("@pkg/"):
        return os.path.join(args.packages, source[len("@pkg/"):])
    if source.startswith("@"):
        raise ValueError("unknown built file " + source)
    for base in (args.payload, args.generated):
        path = os.path.join(base, source)
        if os.path.isfile(path):
            return path
    raise ValueError("payload file not found: " + source)


def read_manifest(path):
    rows = []
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\r\n")
            if not line or line.startswith("#"):
                continue
            fields = line.split("\t")
            if len(fields) != 4:
                raise ValueError("%s:%d: expected 4 fields" % (path, number))
            rows.append((int(fields[0]), int(fields[1]), fields[2]))
    ids = [r[0] for r in rows]
    if len(set(ids)) != len(ids):
        raise ValueError("%s: duplicate resource ids" % path)
    return rows


def rc_string(path):
    # windres takes forward slashes; quotes and backslashes must not occur.
    path = os.path.abspath(path).replace("\\", "/")
    if '"' in path:
        raise ValueError("unusable path: " + path)
    return '"%s"' % path


def digest_table(rows, args):
    words = [len(rows)]
    for res_id, _, source in rows:
        with open(resolve(source, args), "rb") as f:
            data = f.read()
        words += [res_id, len(data), zlib.crc32(data) & 0xFFFFFFFF]
    return struct.pack("<%dI" % len(words), *words)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--manifest", required=True)
    parser.add_argument("--payload", required=True, help="resources/payload")
    parser.add_argument("--generated", required=True, help="files made at build time")
    parser.add_argument("--packages", required=True, help="generated package projects")
    parser.add_argument("--cvlabout", required=True)
    parser.add_argument("--unbrd", required=True)
    parser.add_argument("--output", required=True)
    args = parser.parse_args()

    try:
        rows = read_manifest(args.manifest)
        lines = ["// Generated from resources/payload/manifest.tsv: the payload, every file",
                 "// the install script writes, as resources of type CVLIB.", ""]
        current = None
        for res_id, lang, source in rows:
            if lang != current:
                lines.append(language_statement(lang))
                current = lang
            lines.append("%d CVLIB %s" % (res_id, rc_string(resolve(source, args))))
        digests = digest_table(rows, args)
        digest_file = os.path.splitext(args.output)[0] + "_digests.bin"
        lines += ["", "// The digest of every payload resource above.", "LANGUAGE 0x00, 0x00",
                  "1 CVLSUMS %s" % rc_string(digest_file)]
        text = "\n".join(lines) + "\n"
    except (ValueError, OSError) as e:
        print("gen_payload_rc: %s" % e, file=sys.stderr)
        return 1
    with open(digest_file, "wb") as f:
        f.write(digests)
    with open(args.output, "w", encoding="utf-8") as f:
        f.write(text)
    return 0


if __name__ == "__main__":
    sys.exit(main())
