#!/usr/bin/env python3
"""Packs a product's icon pictures into one ICO file.

    pack_icon.py OUT.ico PICTURE.png...

Every picture becomes one frame, stored as the PNG it is (Windows reads PNG
frames from Vista on), so a 256x256 picture costs its PNG size rather than
the 262 KB of a bitmap frame. Frames are ordered by size, largest first.
A picture that is not a square PNG of 1 to 256 pixels is refused with its
file name, so a vendor's mistake stops the build instead of shipping a
broken icon.
"""
import struct
import sys

PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"


def frame(path):
    with open(path, "rb") as f:
        data = f.read()
    if not data.startswith(PNG_SIGNATURE) or data[12:16] != b"IHDR":
        raise ValueError("%s: not a PNG picture" % path)
    width, height = struct.unpack(">II", data[16:24])
    if width != height or not 1 <= width <= 256:
        raise ValueError("%s: an icon picture must be square, 1 to 256 pixels (is %dx%d)"
                         % (path, width, height))
    return width, data


def main(out_path, paths):
    if not paths:
        raise ValueError("no icon picture given")
    frames = sorted((frame(p) for p in paths), key=lambda f: -f[0])
    offset = 6 + 16 * len(frames)
    head = struct.pack("<HHH", 0, 1, len(frames))
    entries, images = b"", b""
    for size, data in frames:
        side = size % 256  # 0 stands for 256
        entries += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(data), offset + len(images))
        images += data
    with open(out_path, "wb") as f:
        f.write(head + entries + images)


if __name__ == "__main__":
    try:
        main(sys.argv[1], sys.argv[2:])
    except (OSError, ValueError) as error:
        sys.exit("pack_icon: %s" % error)
