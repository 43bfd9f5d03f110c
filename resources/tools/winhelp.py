#!/usr/bin/env python3
"""A small WinHelp 3.1 compiler: cvlib.html -> cvlib.hlp.

The help for Delphi 3 to 7 must be a WinHelp file, and no help compiler runs
on the build machines, so the file is written here from the same HTML page as
the browser help: every element with an id (h1, h2, h3, table cells) starts a
topic or names one; paragraphs, list items, table rows and preformatted text
become paragraphs; links to "#id" become jumps.

The file is uncompressed (no phrase table, no LZ77), which every WinHelp
viewer reads: a 16-byte header, internal files each with a 9-byte header,
and a B+ tree directory. Internal files: |SYSTEM (title, copyright, contents
topic), |FONT, |TOPIC (topic headers and text records in 4 KB blocks) and
|CONTEXT (B+ tree from context hash to topic offset).
"""
import html.parser
import struct

MAGIC = 0x00035F3F
BTREE_MAGIC = 0x293B
BLOCK_SIZE = 0x1000
BLOCK_HEADER = 12
BLOCK_DATA = BLOCK_SIZE - BLOCK_HEADER
NONE = 0xFFFFFFFF

# Fonts: descriptor index used by the text records.
F_TEXT, F_TITLE, F_CODE, F_BOLD = range(4)
FACES = ["Arial", "Courier New"]
#          flags  half-points family face  colour
FONTS = [(0,     20,         3,     0,    (0, 0, 0)),
         (1,     28,         3,     0,    (0, 0, 128)),
         (0,     18,         1,     1,    (0, 0, 0)),
         (1,     20,         3,     0,    (0, 0, 0))]

# Text record format commands.
CMD_FONT, CMD_LINE, CMD_PAR, CMD_TAB, CMD_JUMP, CMD_END_LINK, CMD_END = 0x80, 0x81, 0x82, 0x83, 0xE3, 0x89, 0xFF


def context_hash(name):
    """The hash WinHelp keys topics by (32-bit, wrapping)."""
    h = 0
    for c in name:
        x = 0
        if "A" <= c <= "Z":
            x = ord(c) - ord("A") + 17
        elif "a" <= c <= "z":
            x = ord(c) - ord("a") + 17
        elif "1" <= c <= "9":
            x = ord(c) - ord("0")
        elif c == "0":
            x = 10
        elif c == ".":
            x = 12
        elif c == "_":
            x = 13
        if x:
            h = (h * 43 + x) & 0xFFFFFFFF
    return h - (1 << 32) if h & 0x80000000 else h


def clong(v):
    """Compressed signed long: two bytes when it fits, else four."""
    if -0x4000 <= v < 0x4000:
        return struct.pack("<H", (v * 2 + 0x8000) & 0xFFFF)
    return struct.pack("<I", (0x80000000 + v * 2 + 1) & 0xFFFFFFFF)


def cushort(v):
    """Compressed unsigned short: one byte below 128, else two."""
    if v < 0x80:
        return bytes([v * 2])
    return struct.pack("<H", v * 2 + 1)


class Paragraphs:
    """Builds one topic's text: strings and the commands between them."""

    def __init__(self):
        self.strings = [""]
        self.commands = bytearray()
        self.chars = 0

    def text(self, s):
        self.strings[-1] += s
        self.chars += len(s)

    def command(self, code, arg=b""):
        self.commands += bytes([code]) + arg
        self.strings.append("")
        if code in (CMD_LINE, CMD_PAR, CMD_TAB):
            self.chars += 1

    def font(self, index):
        self.command(CMD_FONT, struct.pack("<H", index))

    def empty(self):
        return not any(s.strip() for s in self.strings)


class Topic:
    def __init__(self, title, names):
        self.title = title
        self.names = list(names)
        self.body = Paragraphs()
        self.body.font(F_TITLE)
        self.body.text(title)
        self.body.command(CMD_PAR)
        self.body.font(F_TEXT)


class HtmlTopics(html.parser.HTMLParser):
    """Cuts the HTML page into topics at elements with an id."""
    BLOCKS = {"p", "li", "tr", "pre", "h3"}

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.topics = []
        self.pending_ids = []
        self.heading = None
        self.in_pre = False
        self.cells = 0
        self.link = False
        self.skip = 0

    @property
    def body(self):
        return self.topics[-1].body if self.topics else None

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        if tag in ("style", "title", "head"):
            self.skip += 1
            return
        if tag in ("h1", "h2"):
            self.heading = ""
            self.pending_ids = [attrs["id"]] if "id" in attrs else []
            return
        if "id" in attrs and self.topics:
            self.topics[-1].names.append(attrs["id"])
        if self.body is None:
            return
        if tag == "pre":
            self.in_pre = True
            self.body.font(F_CODE)
        elif tag == "li":
            self.body.text("\u2022 ")
        elif tag == "tr":
            self.cells = 0
        elif tag in ("td", "th"):
            if self.cells:
                self.body.command(CMD_TAB)
            self.cells += 1
            if tag == "th":
                self.body.font(F_BOLD)
        elif tag in ("b", "code") and not self.in_pre:
            self.body.font(F_BOLD if tag == "b" else F_CODE)
        elif tag == "a" and attrs.get("href", "").startswith("#"):
            self.body.command(CMD_JUMP, struct.pack("<i", context_hash(attrs["href"][1:])))
            self.link = True
        elif tag == "br":
            self.body.command(CMD_LINE)

    def handle_endtag(self, tag):
        if tag in ("style", "title", "head"):
            self.skip -= 1
            return
        if tag in ("h1", "h2"):
            self.topics.append(Topic(self.heading.strip(), self.pending_ids))
            self.heading = None
            return
        if self.body is None:
            return
        if tag == "a" and self.link:
            self.body.command(CMD_END_LINK)
            self.link = False
        elif tag in ("b", "code", "th") and not self.in_pre:
            self.body.font(F_TEXT)
        elif tag == "pre":
            self.in_pre = False
            self.body.font(F_TEXT)
            self.body.command(CMD_PAR)
        elif tag in self.BLOCKS:
            self.body.command(CMD_PAR)

    def handle_data(self, data):
        if self.skip:
            return
        if self.heading is not None:
            self.heading += data
            return
        if self.body is None:
            return
        if self.in_pre:
            lines = data.split("\n")
            for i, line in enumerate(lines):
                if i:
                    self.body.command(CMD_LINE)
                self.body.text(line)
        else:
            text = " ".join(data.split())
            if data[:1].isspace() and text:
                text = " " + text
            if data[-1:].isspace() and text:
                text += " "
            self.body.text(text)


def encode(s):
    return s.encode("cp1252", errors="replace")


def text_record(topic):
    body = topic.body
    body.commands += bytes([CMD_END])
    data2 = b"".join(encode(s) + b"\0" for s in body.strings)
    # Paragraph header: text size, character count, four bytes the viewers
    # skip, the paragraph bits (0: left aligned, no spacing).
    data1 = clong(len(data2)) + cushort(min(body.chars, 0x7FFF)) + b"\0\x80\0\0" + struct.pack("<H", 0)
    return 0x20, data1 + bytes(body.commands), data2, min(body.chars, 0x7FFF)


def topic_header(number, title):
    data2 = encode(title)
    # BlockSize, browse back/forward, topic number, non-scroll, scroll, next topic.
    data1 = struct.pack("<7I", 0, NONE, NONE, number, NONE, NONE, NONE)
    return 0x02, data1, data2, 0


def build_topic_file(topics):
    """The |TOPIC data and the topic offset of every topic."""
    records = []
    for number, topic in enumerate(topics):
        records.append(("header", topic_header(number, topic.title)))
        records.append(("text", text_record(topic)))

    # Place the records one after another in the block data and compute the
    # references: block number << 14, plus 12, plus the offset in the block.
    positions, pos = [], 0
    for _, (_, d1, d2, _) in records:
        positions.append(pos)
        pos += 21 + len(d1) + len(d2)

    def ref(p):
        return ((p // BLOCK_DATA) << 14) + BLOCK_HEADER + p % BLOCK_DATA

    stream = bytearray()
    topic_offsets = []
    chars_in_block, current_block = 0, -1
    for i, (kind, (rtype, d1, d2, chars)) in enumerate(records):
        block = positions[i] // BLOCK_DATA
        if block != current_block:
            current_block, chars_in_block = block, 0
        if kind == "header":
            # The viewers' topic offset: block * 0x8000 plus the characters of
            # the text records before it in the same block.
            topic_offsets.append(block * 0x8000 + chars_in_block)
        else:
            chars_in_block += chars
        next_ref = ref(positions[i + 1]) if i + 1 < len(records) else NONE
        prev_ref = ref(positions[i - 1]) if i else NONE
        datalen1 = 21 + len(d1)
        stream += struct.pack("<5IB", datalen1 + len(d2), len(d2), prev_ref, next_ref, datalen1, rtype)
        stream += d1 + d2

    blocks = bytearray()
    for start in range(0, len(stream), BLOCK_DATA):
        chunk = stream[start:start + BLOCK_DATA]
        # Block header: last topic link, first topic link, last topic header.
        blocks += struct.pack("<3I", NONE, ref(start), NONE)
        blocks += chunk + bytes(BLOCK_DATA - len(chunk))
    return bytes(blocks), topic_offsets


def system_file(title, copyright_text, contents_offset):
    data = struct.pack("<HHHIH", 0x036C, 21, 1, 0, 0)

    def record(kind, payload):
        return struct.pack("<HH", kind, len(payload)) + payload
    data += record(1, encode(title) + b"\0")
    data += record(2, encode(copyright_text) + b"\0")
    data += record(3, struct.pack("<I", contents_offset))
    return data


def font_file():
    face_len = 20
    faces = b"".join(encode(f).ljust(face_len, b"\0") for f in FACES)
    header_len = 8
    descriptors = b"".join(
        struct.pack("<BBBH3B3B", flags, half_points, family, face, *color, 255, 255, 255)
        for flags, half_points, family, face, color in FONTS)
    header = struct.pack("<4H", len(FACES), len(FONTS), header_len, header_len + len(faces))
    return header + faces + descriptors


def btree(structure, page_size, entries):
    """A one-page B+ tree (the page is a leaf and the root)."""
    page = struct.pack("<HhHH", 0, len(entries), 0xFFFF, 0xFFFF) + b"".join(entries)
    if len(page) > page_size:
        raise ValueError("B+ tree page overflow")
    header = struct.pack("<HHH16sHHHhHHI", BTREE_MAGIC, 0x0002, page_size,
                         structure.encode("ascii"), 0, 0, 0, -1, 1, 1, len(entries))
    return header + page + bytes(page_size - len(page))


def internal(data):
    return struct.pack("<IIB", len(data) + 9, len(data), 4) + data


def compile_help(html_text, title, copyright_text):
    parser = HtmlTopics()
    parser.feed(html_text)
    topics = [t for t in parser.topics if not t.body.empty() or t.names]
    topic_data, offsets = build_topic_file(topics)

    contexts = {}
    for topic, offset in zip(topics, offsets):
        for name in topic.names:
            contexts[context_hash(name)] = offset
    context_entries = [struct.pack("<iI", h, contexts[h]) for h in sorted(contexts)]

    files = {
        "|CONTEXT": btree("L4", 0x800, context_entries),
        "|FONT": font_file(),
        "|SYSTEM": system_file(title, copyright_text, offsets[0]),
        "|TOPIC": topic_data,
    }
    out = bytearray(16)
    where = {}
    for name in sorted(files):  # the directory must be sorted by name
        where[name] = len(out)
        out += internal(files[name])
    directory_start = len(out)
    entries = [name.encode("ascii") + b"\0" + struct.pack("<I", where[name]) for name in sorted(files)]
    out += internal(btree("z4", 0x400, entries))
    struct.pack_into("<IiiI", out, 0, MAGIC, directory_start, -1, len(out))
    return bytes(out)


if __name__ == "__main__":
    import sys
    with open(sys.argv[1], encoding="cp1252") as f:
        data = compile_help(f.read(), "Corvane library Help", "Copyright (C) Brindlecraft")
    with open(sys.argv[2], "wb") as f:
        f.write(data)
