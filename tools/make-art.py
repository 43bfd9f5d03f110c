#!/usr/bin/env python3
"""Draws the wizard's side picture (119 x 258, 16 colours) and the frame icon
(32 x 32, 16 colours) for Corvane library: a crane in flight over evening water.
Writes resources/art/side.bmp and resources/art/cvl.ico."""
import math
import os
import struct

PALETTE = [  # B, G, R
    (0x00, 0x00, 0x00), (0x40, 0x18, 0x10), (0x60, 0x28, 0x18), (0x80, 0x38, 0x20),
    (0xA0, 0x50, 0x28), (0xC0, 0x70, 0x38), (0xD8, 0x98, 0x58), (0xE8, 0xC0, 0x88),
    (0xF4, 0xE0, 0xC0), (0xFF, 0xFF, 0xFF), (0x30, 0x90, 0xE0), (0x40, 0xB8, 0xF8),
    (0x20, 0x30, 0x50), (0x50, 0x60, 0x70), (0xC0, 0xC0, 0xC0), (0x80, 0x80, 0x80),
]
SKY = [1, 2, 3, 4, 5, 6, 7, 8]
WHITE, SUN, SUN_CORE, INK, GREY = 9, 10, 11, 12, 13


def crane(x, y, cx, cy, s):
    """True where the crane silhouette covers (x, y); centred on cx, cy, scale s."""
    dx, dy = (x - cx) / s, (y - cy) / s
    body = (dx / 1.0) ** 2 + (dy / 0.28) ** 2 <= 1.0
    neck = -2.2 <= dx <= -0.8 and abs(dy + 0.1 * (dx + 0.8)) <= 0.09
    head = (dx + 2.3) ** 2 + (dy + 0.15) ** 2 <= 0.05
    legs = 0.8 <= dx <= 2.4 and abs(dy - 0.05 * (dx - 0.8)) <= 0.05
    wing_up = -0.5 <= dx <= 0.7 and -1.6 + abs(dx - 0.1) * 0.6 <= dy <= -0.1 and abs(dx - 0.1 + (dy + 0.1) * 0.35) <= 0.45
    return body or neck or head or legs or wing_up


def side_picture(w, h):
    rows = []
    for y in range(h):
        row = []
        for x in range(w):
            band = min(len(SKY) - 1, y * len(SKY) // int(h * 0.72))
            c = SKY[len(SKY) - 1 - band] if y < h * 0.72 else 2 + (x + y) % 3 // 2
            sun = math.hypot(x - 84, y - 150)
            if y < h * 0.72 and sun < 14:
                c = SUN_CORE if sun < 9 else SUN
            if y >= h * 0.72 and abs(x - 84) < 18 - (y - h * 0.72) * 0.2 and (y // 3) % 2 == 0:
                c = SUN
            if crane(x, y, 52, 70, 14):
                c = INK
            if y > h - 20 and 8 < x < w - 8 and (x // 4 + y) % 7 == 0:
                c = GREY
            row.append(c)
        rows.append(row)
    return rows


def pack4(row):
    data = bytearray()
    for i in range(0, len(row), 2):
        hi = row[i]
        lo = row[i + 1] if i + 1 < len(row) else 0
        data.append(hi << 4 | lo)
    while len(data) % 4:
        data.append(0)
    return bytes(data)


def palette_bytes():
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for b, g, r in PALETTE)


def bmp(rows):
    h, w = len(rows), len(rows[0])
    pixels = b"".join(pack4(r) for r in reversed(rows))
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 4, 0, len(pixels), 2835, 2835, 16, 16)
    offset = 14 + len(info) + 64
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return header + info + palette_bytes() + pixels


def icon(rows):
    h, w = len(rows), len(rows[0])
    xor = b"".join(pack4(r) for r in reversed(rows))
    mask = b"\0" * (4 * h)  # fully opaque
    info = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    image = info + palette_bytes() + xor + mask
    header = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", w, h, 16, 0, 1, 4, len(image), 6 + 16)
    return header + entry + image


def icon_picture(n):
    rows = []
    for y in range(n):
        row = []
        for x in range(n):
            edge = x in (0, n - 1) or y in (0, n - 1)
            c = INK if edge else SKY[7 - min(7, y * 8 // n)]
            if not edge and math.hypot(x - 23, y - 10) < 5:
                c = SUN_CORE
            if crane(x, y, 15, 17, 4.2):
                c = WHITE
            row.append(c)
        rows.append(row)
    return rows


def main():
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "art")
    os.makedirs(out, exist_ok=True)
    with open(os.path.join(out, "side.bmp"), "wb") as f:
        f.write(bmp(side_picture(119, 258)))
    with open(os.path.join(out, "cvl.ico"), "wb") as f:
        f.write(icon(icon_picture(32)))


if __name__ == "__main__":
    main()
