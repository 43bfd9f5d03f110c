#!/usr/bin/env python3
"""Makes the binary payload files that are built rather than kept in git.

Every manifest source that does not exist below resources/payload/ is made
here, into the generated payload folder, by the rule for its extension:

  .res, .dcr   compiled with windres from the .rc of the same name beside it
               (its bitmaps, the component palette glyphs, are drawn first);
  .gif         the help pictures, drawn from the same glyphs;
  .hlp         the WinHelp file, compiled from the HTML help page of the same
               folder (winhelp.py);
  .hxs, .hxi   the help collection and its keyword index for RAD Studio,
               compiled HTML help made by chmcmd from the same page, with the
               contents of cvlib.cnt.

A missing file with no rule is an error, so that a typo in the manifest is
found at build time.
"""
import argparse
import html
import os
import shutil
import struct
import subprocess
import sys
import tempfile

import winhelp

# 16-colour VGA palette, the colours of the Delphi palette bitmaps.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER = range(8)
GRAY, RED, LIME, YELLOW, BLUE, FUCHSIA, AQUA, WHITE = range(8, 16)


class Canvas:
    def __init__(self, width, height, background):
        self.width, self.height = width, height
        self.pixels = [[background] * width for _ in range(height)]

    def put(self, x, y, c):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = c

    def rect(self, x0, y0, x1, y1, fill=None, outline=None):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                edge = x in (x0, x1) or y in (y0, y1)
                if edge and outline is not None:
                    self.put(x, y, outline)
                elif fill is not None:
                    self.put(x, y, fill)

    def line(self, x0, y0, x1, y1, c):
        steps = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(steps + 1):
            self.put(round(x0 + (x1 - x0) * i / steps), round(y0 + (y1 - y0) * i / steps), c)

    def ellipse(self, x0, y0, x1, y1, fill=None, outline=None):
        cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
        rx, ry = max((x1 - x0) / 2, 0.5), max((y1 - y0) / 2, 0.5)
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                d = ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2
                if d <= 1.0:
                    inner = ((x - cx) / max(rx - 1, 0.5)) ** 2 + ((y - cy) / max(ry - 1, 0.5)) ** 2
                    if inner > 1.0 and outline is not None:
                        self.put(x, y, outline)
                    elif fill is not None:
                        self.put(x, y, fill)

    def blit(self, other, ox, oy):
        for y in range(other.height):
            for x in range(other.width):
                self.put(ox + x, oy + y, other.pixels[y][x])


# Glyphs of the components, 24 x 24; the lower-left pixel is the colour the
# IDE treats as transparent.
def page(c, fold=True):
    c.rect(4, 2, 17, 21, fill=WHITE, outline=BLACK)
    if fold:
        c.line(14, 2, 17, 5, BLACK)
        c.rect(15, 2, 17, 4, fill=OLIVE)


def lines(c, x0, x1, y0, n, color=NAVY, gap=3):
    for i in range(n):
        c.line(x0, y0 + i * gap, x1, y0 + i * gap, color)


def cylinder(c, color):
    c.rect(5, 6, 18, 18, fill=color)
    c.line(5, 6, 5, 18, BLACK)
    c.line(18, 6, 18, 18, BLACK)
    c.ellipse(5, 15, 18, 21, fill=color, outline=BLACK)
    c.ellipse(5, 3, 18, 9, fill=SILVER, outline=BLACK)


def glyph_ini(c):
    page(c)
    c.rect(6, 5, 11, 7, fill=MAROON)
    lines(c, 6, 15, 10, 4)


def glyph_registry(c):
    for x, y, col in ((3, 11, BLUE), (11, 11, RED), (7, 3, LIME)):
        c.rect(x, y, x + 9, y + 9, fill=col, outline=BLACK)
        c.line(x + 1, y + 1, x + 8, y + 1, WHITE)


def glyph_xml(c):
    page(c)
    c.line(11, 7, 7, 11, BLUE); c.line(7, 11, 11, 15, BLUE)
    c.line(13, 7, 17 - 2, 11, BLUE); c.line(15, 11, 13, 15, BLUE)
    lines(c, 6, 15, 18, 1)


def glyph_memory(c):
    cylinder(c, TEAL)
    lines(c, 8, 15, 11, 2, WHITE)


def glyph_crypt(c):
    c.ellipse(3, 7, 11, 15, fill=YELLOW, outline=BLACK)
    c.rect(6, 10, 8, 12, fill=WHITE)
    c.rect(11, 10, 21, 12, fill=YELLOW, outline=BLACK)
    c.rect(17, 13, 18, 16, fill=BLACK)
    c.rect(20, 13, 21, 15, fill=BLACK)


def glyph_profiles(c):
    for x, col in ((3, BLUE), (11, GREEN)):
        c.ellipse(x + 2, 3, x + 8, 9, fill=YELLOW, outline=BLACK)
        c.rect(x, 11, x + 10, 20, fill=col, outline=BLACK)


def glyph_templates(c):
    for d in (4, 2, 0):
        c.rect(3 + d, 2 + d, 16 + d, 19 + d, fill=WHITE, outline=BLACK)
    lines(c, 9, 17, 10, 4, RED)


def glyph_placement(c):
    c.rect(2, 4, 21, 19, fill=WHITE, outline=BLACK)
    c.rect(3, 5, 20, 7, fill=NAVY)
    c.line(6, 11, 17, 11, GRAY)
    c.line(11, 9, 11, 17, GRAY)
    c.line(15, 14, 21, 20, RED)
    c.line(21, 16, 21, 20, RED)
    c.line(17, 20, 21, 20, RED)


def glyph_propstorage(c):
    for i in range(4):
        y = 3 + i * 5
        c.rect(3, y, 6, y + 3, fill=WHITE, outline=BLACK)
        c.line(4, y + 1, 5, y + 2, GREEN)
        c.line(9, y + 1, 20, y + 1, NAVY)
        c.line(9, y + 2, 16, y + 2, GRAY)


def glyph_mru(c):
    page(c, fold=False)
    for i in range(4):
        c.rect(6, 5 + i * 4, 7, 6 + i * 4, fill=RED)
        c.line(9, 5 + i * 4, 15, 5 + i * 4, NAVY)
    c.ellipse(13, 13, 22, 22, fill=WHITE, outline=BLACK)
    c.line(17, 15, 17, 17, BLACK)
    c.line(17, 17, 19, 19, BLACK)


def glyph_cmdline(c):
    c.rect(1, 4, 22, 19, fill=BLACK, outline=GRAY)
    c.line(4, 8, 7, 11, SILVER); c.line(7, 11, 4, 14, SILVER)
    c.line(9, 14, 14, 14, SILVER)


def glyph_appsettings(c):
    c.ellipse(3, 3, 20, 20, fill=SILVER, outline=BLACK)
    for x, y in ((11, 1), (11, 20), (1, 11), (20, 11), (4, 4), (18, 18), (4, 18), (18, 4)):
        c.rect(x - 1, y - 1, x + 1, y + 1, fill=GRAY)
    c.ellipse(8, 8, 14, 14, fill=WHITE, outline=BLACK)


def glyph_validators(c):
    page(c, fold=False)
    c.line(7, 12, 10, 16, GREEN); c.line(10, 16, 16, 7, GREEN)
    c.line(7, 13, 10, 17, GREEN); c.line(10, 17, 16, 8, GREEN)


# Bitmap resource name (the class name in capitals) and its glyph, in the
# order of the palette page.
GLYPHS = [
    ("TCVLINISTORAGE",    glyph_ini),
    ("TCVLREGSTORAGE",    glyph_registry),
    ("TCVLXMLSTORAGE",    glyph_xml),
    ("TCVLMEMSTORAGE",    glyph_memory),
    ("TCVLCRYPT",         glyph_crypt),
    ("TCVLPROFILES",      glyph_profiles),
    ("TCVLTEMPLATES",     glyph_templates),
    ("TCVLFORMPLACEMENT", glyph_placement),
    ("TCVLPROPSTORAGE",   glyph_propstorage),
    ("TCVLMRULIST",       glyph_mru),
    ("TCVLCOMMANDLINE",   glyph_cmdline),
    ("TCVLAPPSETTINGS",   glyph_appsettings),
    ("TCVLVALIDATORS",    glyph_validators),
]


def glyph(draw):
    c = Canvas(24, 24, OLIVE)  # olive: the transparent colour, seen lower left
    draw(c)
    c.put(0, 23, OLIVE)
    return c


def bmp_bytes(canvas):
    """A 4-bit bottom-up Windows bitmap."""
    row_bytes = ((canvas.width * 4 + 31) // 32) * 4
    rows = []
    for y in range(canvas.height - 1, -1, -1):
        row = bytearray(row_bytes)
        for x in range(canvas.width):
            c = canvas.pixels[y][x]
            row[x // 2] |= c << 4 if x % 2 == 0 else c
        rows.append(bytes(row))
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    image = b"".join(rows)
    header = struct.pack("<IiiHHIIiiII", 40, canvas.width, canvas.height, 1, 4, 0,
                         len(image), 2835, 2835, 16, 0)
    offset = 14 + len(header) + len(palette)
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(image), 0, 0, offset)
    return file_header + header + palette + image


def lzw_encode(indices, min_code_size):
    """GIF LZW: variable-width codes, least significant bit first."""
    clear, end = 1 << min_code_size, (1 << min_code_size) + 1
    table = {bytes([i]): i for i in range(clear)}
    next_code, width = end + 1, min_code_size + 1
    out, bits, nbits = bytearray(), 0, 0

    def emit(code):
        nonlocal bits, nbits
        bits |= code << nbits
        nbits += width
        while nbits >= 8:
            out.append(bits & 0xFF)
            bits >>= 8
            nbits -= 8

    emit(clear)
    prefix = b""
    for i in indices:
        candidate = prefix + bytes([i])
        if candidate in table:
            prefix = candidate
            continue
        emit(table[prefix])
        if next_code < 4096:
            table[candidate] = next_code
            next_code += 1
            if next_code > (1 << width) and width < 12:
                width += 1
        else:
            emit(clear)
            table = {bytes([k]): k for k in range(clear)}
            next_code, width = end + 1, min_code_size + 1
        prefix = bytes([i])
    if prefix:
        emit(table[prefix])
    emit(end)
    if nbits:
        out.append(bits & 0xFF)
    return bytes(out)


def gif_bytes(canvas):
    header = b"GIF89a" + struct.pack("<HHBBB", canvas.width, canvas.height, 0xF3, 0, 0)
    palette = b"".join(bytes(rgb) for rgb in PALETTE)
    image = b"," + struct.pack("<HHHHB", 0, 0, canvas.width, canvas.height, 0)
    data = lzw_encode([p for row in canvas.pixels for p in row], 4)
    blocks = b"".join(bytes([len(data[i:i + 255])]) + data[i:i + 255]
                      for i in range(0, len(data), 255))
    return header + palette + image + bytes([4]) + blocks + b"\x00;"


def palette_picture():
    """The "Corvane" page of the component palette, as the help shows it."""
    n = len(GLYPHS)
    c = Canvas(8 + n * 28, 44, SILVER)
    c.rect(4, 2, 70, 12, fill=SILVER, outline=GRAY)     # the page tab
    c.line(5, 3, 69, 3, WHITE)
    c.rect(2, 12, c.width - 3, c.height - 3, outline=GRAY)
    c.line(3, 13, c.width - 4, 13, WHITE)
    for i, (_, draw) in enumerate(GLYPHS):
        g = glyph(draw)
        for y in range(24):
            for x in range(24):
                if g.pixels[y][x] == OLIVE:
                    g.pixels[y][x] = SILVER
        c.blit(g, 6 + i * 28, 16)
    return c


def arrow(c, x0, y, x1, color=BLACK):
    c.line(x0, y, x1, y, color)
    c.line(x1 - 3, y - 3, x1, y, color)
    c.line(x1 - 3, y + 3, x1, y, color)


def figure_picture():
    """How the components meet: users of settings, profiles, storages, files."""
    c = Canvas(300, 150, WHITE)
    columns = [
        (10, [glyph_placement, glyph_propstorage, glyph_mru]),
        (100, [glyph_profiles, glyph_templates, glyph_validators]),
        (190, [glyph_ini, glyph_xml, glyph_registry]),
    ]
    for x, draws in columns:
        c.rect(x, 6, x + 60, 143, fill=WHITE, outline=GRAY)
        for j, draw in enumerate(draws):
            g = glyph(draw)
            for y in range(24):
                for xx in range(24):
                    if g.pixels[y][xx] == OLIVE:
                        g.pixels[y][xx] = WHITE
            c.blit(g, x + 18, 18 + j * 42)
    arrow(c, 72, 75, 98, NAVY)
    arrow(c, 162, 75, 188, NAVY)
    c.rect(262, 50, 292, 100, fill=SILVER, outline=BLACK)  # the disk
    c.rect(268, 56, 286, 70, fill=WHITE, outline=GRAY)
    arrow(c, 252, 75, 260, MAROON)
    return c


PICTURES = {"palette.gif": palette_picture, "figure1.gif": figure_picture}


def write_file(path, data):
    # Always written, so that the output is newer than the inputs that made it.
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def compile_rc(rc, out, windres, include_dirs):
    os.makedirs(os.path.dirname(out), exist_ok=True)
    cmd = [windres, "-O", "res", "-i", rc, "-o", out + ".tmp"]
    for d in include_dirs:
        cmd += ["-I", d]
    subprocess.run(cmd, check=True)
    with open(out + ".tmp", "rb") as f:
        data = f.read()
    os.remove(out + ".tmp")
    write_file(out, data)


HELP_PAGE = "cvlib.html"
HELP_CONTENTS = "cvlib.cnt"
HELP_TITLE = "Corvane library Help"
HELP_COPYRIGHT = "Copyright (C) Brindlecraft"


def read_contents(path):
    """The entries of a WinHelp contents file: (level, title, topic or None)."""
    entries = []
    with open(path, encoding="cp1252") as f:
        for line in f:
            line = line.strip()
            if not line or line.startswith(":") or not line[0].isdigit():
                continue
            level, _, rest = line.partition(" ")
            title, _, topic = rest.partition("=")
            entries.append((int(level), title.strip(), topic.strip() or None))
    return entries


def sitemap_item(title, topic):
    local = HELP_PAGE + ("#" + topic if topic else "")
    return ('<LI><OBJECT type="text/sitemap"><param name="Name" value="%s">'
            '<param name="Local" value="%s"></OBJECT>' % (html.escape(title), local))


def contents_hhc(entries):
    lines, depth = ["<HTML><BODY>"], 0
    for level, title, topic in entries:
        while depth < level:
            lines.append("<UL>")
            depth += 1
        while depth > level:
            lines.append("</UL>")
            depth -= 1
        lines.append(sitemap_item(title, topic))
    lines += ["</UL>"] * depth + ["</BODY></HTML>"]
    return "\n".join(lines) + "\n"


def index_hhk(entries):
    # Titles that differ only in case keep one order whatever the order of the set.
    items = sorted({(title, topic) for _, title, topic in entries if topic}, key=lambda e: (e[0].lower(), e))
    return "<HTML><BODY><UL>\n" + "\n".join(sitemap_item(t, k) for t, k in items) + "\n</UL></BODY></HTML>\n"


def compiled_html_help(help_dir, pictures_dir, with_pages):
    """A compiled HTML help file (ITSF) of the help page, made by chmcmd."""
    if shutil.which("chmcmd") is None:
        raise RuntimeError("chmcmd (package fp-utils) is needed for the RAD Studio help files")
    entries = read_contents(os.path.join(help_dir, HELP_CONTENTS))
    with tempfile.TemporaryDirectory() as work:
        files = [HELP_PAGE]
        shutil.copy(os.path.join(help_dir, HELP_PAGE), work)
        if with_pages:
            for picture in PICTURES:
                shutil.copy(os.path.join(pictures_dir, picture), work)
                files.append(picture)
        with open(os.path.join(work, "index.hhk"), "w", encoding="cp1252") as f:
            f.write(index_hhk(entries))
        options = ["Compatibility=1.1 or later", "Compiled file=out.chm",
                   "Index file=index.hhk", "Default topic=" + HELP_PAGE,
                   "Language=0x409 English (United States)", "Title=" + HELP_TITLE]
        if with_pages:
            with open(os.path.join(work, "contents.hhc"), "w", encoding="cp1252") as f:
                f.write(contents_hhc(entries))
            options.append("Contents file=contents.hhc")
        with open(os.path.join(work, "help.hhp"), "w", encoding="cp1252") as f:
            f.write("[OPTIONS]\n" + "\n".join(options) + "\n\n[FILES]\n" + "\n".join(files) + "\n")
        run = subprocess.run(["chmcmd", "help.hhp"], cwd=work, capture_output=True, text=True)
        if run.returncode != 0:
            raise RuntimeError("chmcmd failed:\n" + run.stdout + run.stderr)
        with open(os.path.join(work, "out.chm"), "rb") as f:
            return with_fixed_time(f.read())


def encoded_int(data, i):
    """An ITSS directory's variable-length integer at i: its value and the next index."""
    value = 0
    while True:
        byte = data[i]
        i += 1
        value = (value << 7) | (byte & 0x7F)
        if byte < 0x80:
            return value, i


def chm_section0_file(data, wanted):
    """Offset and length of a file of the uncompressed section of a CHM; None when absent."""
    dir_offset = struct.unpack_from("<Q", data, 0x48)[0]  # header section 1: the directory
    content = struct.unpack_from("<Q", data, 0x58)[0]
    header_length, chunk_size = struct.unpack_from("<I", data, dir_offset + 8)[0], struct.unpack_from(
        "<I", data, dir_offset + 16)[0]
    chunks = dir_offset + header_length
    end_of_directory = dir_offset + struct.unpack_from("<Q", data, 0x50)[0]
    for chunk in range(chunks, end_of_directory, chunk_size):
        if data[chunk:chunk + 4] != b"PMGL":
            continue
        i, end = chunk + 20, chunk + chunk_size - struct.unpack_from("<I", data, chunk + 4)[0]
        while i < end:
            length, i = encoded_int(data, i)
            name = data[i:i + length]
            section, i = encoded_int(data, i + length)
            offset, i = encoded_int(data, i)
            size, i = encoded_int(data, i)
            if name == wanted and section == 0:
                return content + offset, size
    return None


def with_fixed_time(chm):
    """The CHM with its compile time (milliseconds after midnight, in the header and in
    the #SYSTEM file's entry 10) taken from SOURCE_DATE_EPOCH, default 0, so that two
    builds of the same sources give the same bytes."""
    stamp = (int(os.environ.get("SOURCE_DATE_EPOCH", "0")) % 86400) * 1000
    data = bytearray(chm)
    try:
        if data[:4] != b"ITSF":
            return chm
        struct.pack_into(">I", data, 0x10, stamp)
        found = chm_section0_file(data, b"/#SYSTEM")
        if found:
            i, end = found[0] + 4, found[0] + found[1]  # after the file's version
            while i + 4 <= end:
                code, size = struct.unpack_from("<HH", data, i)
                if code == 10 and size == 4:
                    struct.pack_into("<I", data, i + 4, stamp)
                i += 4 + size
    except (struct.error, IndexError):
        return chm  # not the layout this knows: left as chmcmd wrote it
    return bytes(data)


def help_file(source, payload, out):
    """Help/cvlib.hlp, Help/cvl.hxs, Help/cvl.hxi; None for other names."""
    help_dir = os.path.join(payload, os.path.dirname(source))
    ext = os.path.splitext(source)[1].lower()
    if ext == ".hlp":
        with open(os.path.join(help_dir, HELP_PAGE), encoding="cp1252") as f:
            return winhelp.compile_help(f.read(), HELP_TITLE, HELP_COPYRIGHT)
    if ext in (".hxs", ".hxi"):
        # The pictures are made first: they sort before the help files below.
        return compiled_html_help(help_dir, os.path.join(out, os.path.dirname(source)), ext == ".hxs")
    return None


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--manifest", required=True)
    parser.add_argument("--payload", required=True)
    parser.add_argument("--art", required=True, help="resources/art (icons)")
    parser.add_argument("--out", required=True)
    parser.add_argument("--windres", required=True)
    args = parser.parse_args()

    glyph_dir = os.path.join(args.out, "glyphs")
    for name, draw in GLYPHS:
        write_file(os.path.join(glyph_dir, name + ".bmp"), bmp_bytes(glyph(draw)))

    failed = False
    with open(args.manifest, encoding="utf-8") as f:
        sources = [line.split("\t")[2] for line in f if line.count("\t") == 3]
    # Pictures before the help files that include them.
    sources.sort(key=lambda s: not s.lower().endswith(".gif"))
    for source in sources:
        if source.startswith("@") or os.path.isfile(os.path.join(args.payload, source)):
            continue
        stem, ext = os.path.splitext(source)
        out = os.path.join(args.out, source)
        rc = os.path.join(args.payload, stem + ".rc")
        if ext.lower() in (".res", ".dcr") and os.path.isfile(rc):
            compile_rc(rc, out, args.windres, [os.path.dirname(rc), glyph_dir, args.art])
        elif os.path.basename(source) in PICTURES:
            write_file(out, gif_bytes(PICTURES[os.path.basename(source)]()))
        elif ext.lower() in (".hlp", ".hxs", ".hxi"):
            write_file(out, help_file(source, args.payload, args.out))
        else:
            print("gen_binaries: no file and no rule for " + source, file=sys.stderr)
            failed = True
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
