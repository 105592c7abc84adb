#!/usr/bin/env python3
"""Draws the sample product's icon picture: 256x256 with alpha, as a PNG.

    draw_icon.py OUT.png

The picture (a rounded blue tile with a white picture frame and a sun) is
how products/qingchuan/icon/logo.png was made; the build packs the PNG
pictures of a product's icon folder into the ICO file (tools/pack_icon.py),
so this script only runs when the sample's art is redrawn.
"""
import math
import struct
import sys
import zlib

SIZE = 256


def coverage(distance):
    """Anti-aliased coverage of a pixel whose centre lies `distance` inside an edge."""
    return max(0.0, min(1.0, distance + 0.5))


def rounded_rect_inside(x, y, left, top, right, bottom, radius):
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return radius - math.hypot(x - cx, y - cy)


def pixel(x, y):
    px, py = x + 0.5, y + 0.5
    tile = coverage(rounded_rect_inside(px, py, 8, 8, 248, 248, 48))
    if tile <= 0:
        return (0, 0, 0, 0)
    # Vertical gradient from a light to a deep blue.
    t = py / SIZE
    r, g, b = 0x4A + (0x1E - 0x4A) * t, 0x9B + (0x5C - 0x9B) * t, 0xFF + (0xD8 - 0xFF) * t
    frame_outer = coverage(rounded_rect_inside(px, py, 52, 68, 204, 188, 14))
    frame_inner = coverage(rounded_rect_inside(px, py, 64, 80, 192, 176, 6))
    frame = max(0.0, frame_outer - frame_inner)
    sun = coverage(16 - math.hypot(px - 156, py - 112))
    hill = coverage(min(176 - py, (py - 128) - abs(px - 112) * 0.9, 192 - px))
    white = min(1.0, frame + sun + hill)
    r, g, b = (c + (255 - c) * white for c in (r, g, b))
    return (int(b), int(g), int(r), int(255 * tile))


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def png(size, rows):
    """A PNG of 8-bit RGBA rows (top-down), each row with filter type 0."""
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    raw = b"".join(b"\0" + row for row in rows)
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header)
            + png_chunk(b"IDAT", zlib.compress(raw, 9)) + png_chunk(b"IEND", b""))


def main(out_path):
    rows = []
    for y in range(SIZE):
        row = bytearray()
        for x in range(SIZE):
            b, g, r, a = pixel(x, y)
            row += bytes((r, g, b, a))
        rows.append(bytes(row))
    with open(out_path, "wb") as f:
        f.write(png(SIZE, rows))


if __name__ == "__main__":
    main(sys.argv[1])
