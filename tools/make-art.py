#!/usr/bin/env python3
"""Draws the wizard's side picture and the program icon for Corvane library: a crane
in flight over evening water. The side picture is 119 x 258 pixels at 100% display
scale and comes in 150% and 200% as well (24-bit colour); the icon holds images of
16 to 256 pixels in 32-bit colour. Each pixel is the average of several samples, so
edges stay smooth at every size.
Writes resources/art/side.bmp, side150.bmp, side200.bmp and cvl.ico."""
import math
import os
import struct
import zlib

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


def side_pixel(x, y, w=119, h=258):
    """The palette index at (x, y) of the 100% picture; x and y may be fractions."""
    if True:
        if True:
            band = min(len(SKY) - 1, int(y) * len(SKY) // int(h * 0.72))
            c = SKY[len(SKY) - 1 - band] if y < h * 0.72 else 2 + int(x + y) % 3 // 2
            sun = math.hypot(x - 84, y - 150)
            if y < h * 0.72 and sun < 14:
                c = SUN_CORE if sun < 9 else SUN
            if y >= h * 0.72 and abs(x - 84) < 18 - (y - h * 0.72) * 0.2 and (int(y) // 3) % 2 == 0:
                c = SUN
            if crane(x, y, 52, 70, 14):
                c = INK
            if y > h - 20 and 8 < x < w - 8 and (int(x) // 4 + int(y)) % 7 == 0:
                c = GREY
            return c


def sampled(pixel, logical, size, samples):
    """Rows of (r, g, b, a) at size x size-ish: pixel(x, y) gives a palette index (or
    None for transparent) in a logical picture of logical[0] x logical[1]."""
    w, h = size
    kx, ky = logical[0] / w, logical[1] / h
    rows = []
    for y in range(h):
        row = []
        for x in range(w):
            acc = [0, 0, 0, 0]
            for sy in range(samples):
                for sx in range(samples):
                    c = pixel((x + (sx + 0.5) / samples) * kx, (y + (sy + 0.5) / samples) * ky)
                    if c is None:
                        continue
                    b, g, r = PALETTE[c]
                    acc[0] += r; acc[1] += g; acc[2] += b; acc[3] += 1
            n = samples * samples
            a = acc[3]
            row.append((acc[0] // a, acc[1] // a, acc[2] // a, 255 * a // n) if a else (0, 0, 0, 0))
        rows.append(row)
    return rows


def bmp24(rows):
    h, w = len(rows), len(rows[0])
    pad = b"\0" * ((4 - w * 3 % 4) % 4)
    pixels = b"".join(b"".join(bytes((b, g, r)) for r, g, b, _ in row) + pad for row in reversed(rows))
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    offset = 14 + len(info)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return header + info + pixels


def icon_bmp(rows):
    h, w = len(rows), len(rows[0])
    xor = b"".join(b"".join(bytes((b, g, r, a)) for r, g, b, a in row) for row in reversed(rows))
    mask = b"\0" * (((w + 31) // 32 * 4) * h)  # the alpha channel decides
    info = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return info + xor + mask


def png(rows):
    h, w = len(rows), len(rows[0])
    raw = b"".join(b"\0" + b"".join(bytes(p) for p in row) for row in rows)
    chunk = lambda kind, data: struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def icon(images):
    """An .ico of the square images; the 256-pixel one as PNG, as Windows keeps it."""
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries, data = b"", b""
    for rows in images:
        n = len(rows)
        image = png(rows) if n >= 256 else icon_bmp(rows)
        entries += struct.pack("<BBBBHHII", n % 256, n % 256, 0, 0, 1, 32, len(image), offset + len(data))
        data += image
    return header + entries + data


def icon_pixel(x, y, n=32):
    edge = x < 1 or y < 1 or x >= n - 1 or y >= n - 1
    c = INK if edge else SKY[7 - min(7, int(y) * 8 // n)]
    if not edge and math.hypot(x - 23, y - 10) < 5:
        c = SUN_CORE
    if crane(x, y, 15, 17, 4.2):
        c = WHITE
    return c


def main():
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "art")
    os.makedirs(out, exist_ok=True)
    for name, scale in (("side.bmp", 1), ("side150.bmp", 1.5), ("side200.bmp", 2)):
        size = (int(119 * scale + 0.5), int(258 * scale + 0.5))  # as MulDiv rounds
        with open(os.path.join(out, name), "wb") as f:
            f.write(bmp24(sampled(side_pixel, (119, 258), size, 3)))
    images = [sampled(icon_pixel, (32, 32), (n, n), 4 if n <= 64 else 2) for n in (16, 20, 24, 32, 40, 48, 64, 256)]
    with open(os.path.join(out, "cvl.ico"), "wb") as f:
        f.write(icon(images))


if __name__ == "__main__":
    main()
