#!/usr/bin/python3
"""One small picture of a product's three windows for the README, from
scripts/preview's pictures:

    preview_sheet.py PREVIEW_DIR OUT.png [--width N]

The product and install windows side by side, the progress window (while
the download runs) under them, at the standard size scaled to N pixels
wide (default 800), in a palette of 256 colours.
"""
import argparse
import os

from PIL import Image

GAP = 16


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("preview")
    parser.add_argument("out")
    parser.add_argument("--width", type=int, default=800)
    args = parser.parse_args()
    shots = os.path.join(args.preview, "1x")
    product = Image.open(os.path.join(shots, "product.png")).convert("RGB")
    install = Image.open(os.path.join(shots, "install.png")).convert("RGB")
    progress = Image.open(os.path.join(shots, "progress.png")).convert("RGB")
    width = product.width + GAP + install.width
    height = max(product.height, install.height) + GAP + progress.height
    sheet = Image.new("RGB", (width, height), (0xF0, 0xF0, 0xF0))
    sheet.paste(product, (0, 0))
    sheet.paste(install, (product.width + GAP, 0))
    sheet.paste(progress, ((width - progress.width) // 2, max(product.height, install.height) + GAP))
    scaled = sheet.resize((args.width, height * args.width // width), Image.LANCZOS)
    scaled.quantize(256, method=Image.MEDIANCUT).save(args.out, optimize=True)


if __name__ == "__main__":
    main()
