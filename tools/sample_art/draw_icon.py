#!/usr/bin/env python3
"""Draws a sample product's icon picture: 256x256 with alpha, as a PNG.

    draw_icon.py [--product qingchuan|lumen] OUT.png

The pictures (for "qingchuan" a rounded blue tile with a white picture frame
and a sun, for "lumen" a teal tile with a page of notes) are how
products/NAME/icon/logo.png were made; the build packs the PNG pictures of a
product's icon folder into the ICO file (tools/pack_icon.py), so this script
only runs when a sample's art is redrawn.
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


def viewer_pixel(x, y):
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


def polygon_inside(px, py, corners):
    """Signed distance (positive inside) to a convex polygon given clockwise."""
    inside = float("inf")
    for (ax, ay), (bx, by) in zip(corners, corners[1:] + corners[:1]):
        length = math.hypot(bx - ax, by - ay)
        inside = min(inside, ((bx - ax) * (py - ay) - (by - ay) * (px - ax)) / length)
    return inside


def notes_pixel(x, y):
    px, py = x + 0.5, y + 0.5
    tile = coverage(rounded_rect_inside(px, py, 8, 8, 248, 248, 48))
    if tile <= 0:
        return (0, 0, 0, 0)
    # Vertical gradient from a light to a deep teal.
    t = py / SIZE
    r, g, b = 0x3D + (0x0B - 0x3D) * t, 0xC4 + (0x6B - 0xC4) * t, 0xA0 + (0x62 - 0xA0) * t
    page = coverage(polygon_inside(px, py, [(64, 48), (160, 48), (196, 84), (196, 208), (64, 208)]))
    fold = coverage(polygon_inside(px, py, [(160, 48), (196, 84), (160, 84)]))
    r, g, b = (c + (255 - c) * page for c in (r, g, b))
    r, g, b = (c + (p - c) * fold for c, p in zip((r, g, b), (0xCC, 0xEE, 0xE6)))
    line = 0.0
    for row, right in enumerate((176, 176, 176, 140)):
        top = 100 + row * 26
        line = max(line, coverage(rounded_rect_inside(px, py, 86, top, right, top + 10, 5)))
    r, g, b = (c + (m - c) * line for c, m in zip((r, g, b), (0x12, 0x9E, 0x8A)))
    return (int(b), int(g), int(r), int(255 * tile))


PIXELS = {"qingchuan": viewer_pixel, "lumen": notes_pixel}


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def png(size, rows):
    """A PNG of 8-bit RGBA rows (top-down), each row with filter type 0."""
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    raw = b"".join(b"\0" + row for row in rows)
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header)
            + png_chunk(b"IDAT", zlib.compress(raw, 9)) + png_chunk(b"IEND", b""))


def main(argv):
    product = "qingchuan"
    if argv[1:2] == ["--product"] and len(argv) > 3:
        product, argv = argv[2], argv[:1] + argv[3:]
    if len(argv) != 2 or product not in PIXELS:
        sys.stderr.write(__doc__)
        return 2
    out_path = argv[1]
    pixel = PIXELS[product]
    rows = []
    for y in range(SIZE):
        row = bytearray()
        for x in range(SIZE):
            b, g, r, a = pixel(x, y)
            row += bytes((r, g, b, a))
        rows.append(bytes(row))
    with open(out_path, "wb") as f:
        f.write(png(SIZE, rows))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
