#!/usr/bin/python3
"""Compares the pictures of scripts/preview with the screenshots that the
end-to-end run takes of the same windows:

    compare_preview.py PREVIEW_DIR SHOTS_DIR [--max N]

PREVIEW_DIR and SHOTS_DIR each hold 1x/ and 2x/ (scripts/preview's --out,
and BUILD/e2e-screenshots). For every window it prints the sizes, the
largest difference of one colour channel of one pixel, where the first such
pixel is, and how many pixels differ at all. The preview's running progress
window holds its bar at a fixed point while the screenshot catches it
wherever it was, so that pair is compared without the bar. Exit status 1
when a pair differs in size or by more than N (default 0).
"""
import argparse
import os
import sys

from PIL import Image, ImageChops

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from ui_flow import PROGRESS_BAR  # noqa: E402

# preview picture, screenshot, what is left out (layout pixels) or None
PAIRS = [
    ("product.png", "product.png", None),
    ("install.png", "install.png", None),
    ("progress-done.png", "progress-success.png", None),
    ("progress.png", "progress-running.png", PROGRESS_BAR),
]


def compare(preview_path, shot_path, scale, left_out=None):
    """(size of each, largest channel difference, (x, y) of it, pixels that differ)."""
    preview = Image.open(preview_path).convert("RGB")
    shot = Image.open(shot_path).convert("RGB")
    if preview.size != shot.size:
        return preview.size, shot.size, None, None, None
    if left_out:
        box = tuple(v * scale for v in left_out)
        preview.paste((0, 0, 0), box)
        shot.paste((0, 0, 0), box)
    difference = ImageChops.difference(preview, shot)
    largest = max(high for _, high in difference.getextrema())
    where = None
    differing = 0
    width = difference.size[0]
    for index, pixel in enumerate(difference.getdata()):
        if pixel != (0, 0, 0):
            differing += 1
            if where is None and max(pixel) == largest:
                where = (index % width, index // width)
    return preview.size, shot.size, largest, where, differing


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("preview")
    parser.add_argument("shots")
    parser.add_argument("--max", type=int, default=0)
    args = parser.parse_args()
    failed = False
    compared = 0
    for scale in (1, 2):
        for preview_name, shot_name, left_out in PAIRS:
            preview_path = os.path.join(args.preview, "%dx" % scale, preview_name)
            shot_path = os.path.join(args.shots, "%dx" % scale, shot_name)
            if not (os.path.exists(preview_path) and os.path.exists(shot_path)):
                print("%dx %-18s missing: %s" % (scale, preview_name,
                                                 preview_path if not os.path.exists(preview_path) else shot_path))
                failed = True
                continue
            compared += 1
            size, shot_size, largest, where, differing = compare(preview_path, shot_path, scale, left_out)
            label = "%dx %-18s vs %-21s" % (scale, preview_name, shot_name)
            if largest is None:
                print("%s sizes differ: %dx%d and %dx%d" % ((label,) + size + shot_size))
                failed = True
                continue
            note = " (bar left out)" if left_out else ""
            if largest == 0:
                print("%s %dx%d identical%s" % (label, size[0], size[1], note))
            else:
                print("%s %dx%d largest difference %d at (%d, %d), %d pixels differ%s"
                      % (label, size[0], size[1], largest, where[0], where[1], differing, note))
            failed = failed or largest > args.max
    if compared == 0:
        failed = True
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
