#!/usr/bin/env python3
"""Checks the CVLIB resources of a built setup.exe against the payload manifest.

Reads the PE resource directory itself (no Windows needed): every manifest id
must be there exactly once, in the manifest's language, with the exact bytes
of its source file; no other CVLIB resource may exist.

    check_resources.py SETUP_EXE MANIFEST PAYLOAD_DIR BUILD_DIR
BUILD_DIR is the build tree of that setup.exe (bin/ and resources/ below it).
"""
import os
import struct
import sys

RT_NAME = "CVLIB"


class PeResources:
    def __init__(self, path):
        with open(path, "rb") as f:
            self.data = f.read()
        pe = struct.unpack_from("<I", self.data, 0x3C)[0]
        if self.data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("not a PE file")
        sections = struct.unpack_from("<H", self.data, pe + 6)[0]
        opt_size = struct.unpack_from("<H", self.data, pe + 20)[0]
        opt = pe + 24
        magic = struct.unpack_from("<H", self.data, opt)[0]
        dirs = opt + (96 if magic == 0x10B else 112)  # PE32 or PE32+
        self.rsrc_rva = struct.unpack_from("<I", self.data, dirs + 2 * 8)[0]
        self.sections = []
        for i in range(sections):
            s = opt + opt_size + i * 40
            vsize, va, raw_size, raw_ptr = struct.unpack_from("<IIII", self.data, s + 8)
            self.sections.append((va, max(vsize, raw_size), raw_ptr))
        self.base = self.offset(self.rsrc_rva)

    def offset(self, rva):
        for va, size, raw in self.sections:
            if va <= rva < va + size:
                return raw + rva - va
        raise ValueError("RVA %#x outside every section" % rva)

    def entries(self, table):
        """(name or id, is_directory, offset) of one resource directory table."""
        named, ids = struct.unpack_from("<HH", self.data, self.base + table + 12)
        for i in range(named + ids):
            name, target = struct.unpack_from("<II", self.data, self.base + table + 16 + i * 8)
            if name & 0x80000000:
                p = self.base + (name & 0x7FFFFFFF)
                length = struct.unpack_from("<H", self.data, p)[0]
                key = self.data[p + 2:p + 2 + 2 * length].decode("utf-16-le")
            else:
                key = name
            yield key, bool(target & 0x80000000), target & 0x7FFFFFFF

    def resources(self, type_name):
        """{id: [(language, bytes)]} of the resources of one named type."""
        found = {}
        for key, is_dir, types in self.entries(0):
            if not (isinstance(key, str) and key.upper() == type_name and is_dir):
                continue
            for res_id, _, langs in self.entries(types):
                for lang, _, data_entry in self.entries(langs):
                    rva, size = struct.unpack_from("<II", self.data, self.base + data_entry)
                    start = self.offset(rva)
                    found.setdefault(res_id, []).append((lang, self.data[start:start + size]))
        return found


def source_path(source, payload, build):
    resources = os.path.join(build, "resources")
    if source == "@cvlabout.dll":
        return os.path.join(build, "bin", "cvlabout.dll")
    if source == "@unbrd.exe":
        return os.path.join(build, "bin", "unbrd.exe")
    if source.startswith("@pkg/"):
        return os.path.join(resources, "packages", source[len("@pkg/"):])
    in_git = os.path.join(payload, source)
    return in_git if os.path.isfile(in_git) else os.path.join(resources, "payload", source)


def main():
    exe, manifest, payload, build = sys.argv[1:5]
    found = PeResources(exe).resources(RT_NAME)
    failures = []
    expected = {}
    with open(manifest, encoding="utf-8") as f:
        for line in f:
            res_id, lang, source, _ = line.rstrip("\r\n").split("\t")
            expected[int(res_id)] = (int(lang), source)

    for res_id, (lang, source) in sorted(expected.items()):
        copies = found.get(res_id, [])
        if len(copies) != 1:
            failures.append("id %d: %d copies" % (res_id, len(copies)))
            continue
        got_lang, data = copies[0]
        if got_lang != lang:
            failures.append("id %d: language %d, manifest says %d" % (res_id, got_lang, lang))
        with open(source_path(source, payload, build), "rb") as f:
            if f.read() != data:
                failures.append("id %d: bytes differ from %s" % (res_id, source))
        if len(data) < 32:
            failures.append("id %d: only %d bytes" % (res_id, len(data)))
    for res_id in sorted(set(found) - set(expected)):
        failures.append("id %s: not in the manifest" % res_id)

    for failure in failures:
        print("FAIL: " + failure, file=sys.stderr)
    print("%s: %d CVLIB resources, %d in the manifest, %d failures"
          % (exe, sum(len(v) for v in found.values()), len(expected), len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
