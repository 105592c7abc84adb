#!/usr/bin/env python3
"""The skin preview end to end: scripts/preview renders a product folder's
three windows at both scales under Wine, once as the folder is and once
with its texts taken out of the settings, and the pictures are read back.

    test_skin_preview.py --source SRC --product FOLDER --exe SKIN_PREVIEW.EXE --build BUILD
"""
import argparse
import json
import os
import shutil
import subprocess
import sys
import unittest

from PIL import Image

ARGS = None

# Layout boxes (left, top, right, bottom) at 1x, from the windows' skins.
DESCRIPTION = (220, 254, 766, 337)
VERSION_COMBO = (220, 378, 580, 414)
INSTALL_TIP = (50, 260, 750, 284)
PROGRESS_TIP = (30, 50, 470, 83)
PROGRESS_BAR = (30, 83, 470, 93)
BAR_BACKGROUND = (0xE4, 0xE4, 0xE4)

SIZES = {"product.png": (800, 600), "install.png": (800, 600),
         "progress.png": (500, 200), "progress-done.png": (500, 200)}


def ink(picture, box, colour, scale, tolerance=40):
    """Pixels in the box close to the colour: drawn text of that colour."""
    r0, g0, b0 = colour
    region = picture.crop(tuple(v * scale for v in box))
    return sum(1 for r, g, b in region.getdata()
               if abs(r - r0) <= tolerance and abs(g - g0) <= tolerance and abs(b - b0) <= tolerance)


def bar_fill(picture, scale):
    """The share of the bar's middle row that is not the bar's own grey."""
    left, top, right, bottom = [v * scale for v in PROGRESS_BAR]
    y = (top + bottom) // 2
    filled = sum(1 for x in range(left, right)
                 if max(abs(a - b) for a, b in zip(picture.getpixel((x, y)), BAR_BACKGROUND)) > 24)
    return filled / (right - left)


def working_folders(prefix):
    """What setup.exe's data manager or log would leave in the prefix."""
    found = []
    users = os.path.join(prefix, "drive_c", "users")
    for user in os.listdir(users) if os.path.isdir(users) else []:
        local = os.path.join(users, user, "AppData", "Local")
        for name in os.listdir(local) if os.path.isdir(local) else []:
            if name.startswith("Vantorie") or name in ("Configs", "Log", "dump"):
                found.append(os.path.join(local, name))
    return found


def run_preview(folder, out):
    shutil.rmtree(out, ignore_errors=True)
    result = subprocess.run([os.path.join(ARGS.source, "scripts", "preview"), folder, "--out", out,
                             "--exe", ARGS.exe, "--prefix", os.path.join(ARGS.build, "wineprefix-preview")], stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                            stderr=subprocess.STDOUT, text=True, timeout=300)
    print(result.stdout)
    return result.returncode


class SkinPreview(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = os.path.join(ARGS.build, "preview-test")
        cls.prefix = os.path.join(ARGS.build, "wineprefix-preview")
        # Left by an earlier run of a preview that did more than show windows.
        for path in working_folders(cls.prefix):
            shutil.rmtree(path, ignore_errors=True)
        cls.full = os.path.join(cls.work, "full")
        cls.full_code = run_preview(ARGS.product, cls.full)
        # The same product with every text the windows show left out.
        bare = os.path.join(cls.work, "bare-product")
        shutil.rmtree(bare, ignore_errors=True)
        shutil.copytree(ARGS.product, bare)
        path = os.path.join(bare, "ui_setting.json")
        with open(path, encoding="utf-8") as f:
            settings = json.load(f)
        settings["文本"] = {}
        with open(path, "w", encoding="utf-8") as f:
            json.dump(settings, f, ensure_ascii=False)
        cls.bare = os.path.join(cls.work, "bare")
        cls.bare_code = run_preview(bare, cls.bare)

    def picture(self, run, scale, name):
        return Image.open(os.path.join(run, "%dx" % scale, name)).convert("RGB")

    def test_every_window_at_both_scales(self):
        self.assertEqual(0, self.full_code)
        self.assertEqual(0, self.bare_code)
        for scale in (1, 2):
            for name, size in SIZES.items():
                picture = self.picture(self.full, scale, name)
                self.assertEqual((size[0] * scale, size[1] * scale), picture.size, "%dx %s" % (scale, name))
                # Painted: the skin's pictures and colours, not one flat colour.
                self.assertGreater(len(picture.getcolors(1 << 24)), 50, "%dx %s is flat" % (scale, name))

    def test_texts_come_from_the_settings(self):
        for scale in (1, 2):
            full, bare = self.picture(self.full, scale, "product.png"), self.picture(self.bare, scale, "product.png")
            grey66, grey99 = (0x66, 0x66, 0x66), (0x99, 0x99, 0x99)
            self.assertGreater(ink(full, DESCRIPTION, grey66, scale), 200 * scale)
            self.assertEqual(0, ink(bare, DESCRIPTION, grey66, scale), "%dx: the skin's placeholder shows" % scale)
            self.assertGreater(ink(full, VERSION_COMBO, grey99, scale, 30),
                               ink(bare, VERSION_COMBO, grey99, scale, 30) + 60 * scale, "%dx: no version" % scale)
            full, bare = self.picture(self.full, scale, "install.png"), self.picture(self.bare, scale, "install.png")
            self.assertGreater(ink(full, INSTALL_TIP, grey66, scale), 100 * scale)
            self.assertEqual(0, ink(bare, INSTALL_TIP, grey66, scale))

    def test_progress_held_still_then_ended(self):
        for scale in (1, 2):
            running = self.picture(self.full, scale, "progress.png")
            done = self.picture(self.full, scale, "progress-done.png")
            self.assertAlmostEqual(0.60, bar_fill(running, scale), delta=0.03)
            self.assertGreater(bar_fill(done, scale), 0.97)
            # The tip turns from the running text into the success text.
            left, top, right, bottom = [v * scale for v in PROGRESS_TIP]
            self.assertNotEqual(list(running.crop((left, top, right, bottom)).getdata()),
                                list(done.crop((left, top, right, bottom)).getdata()))

    def test_no_service_and_no_working_folder(self):
        self.assertEqual([], working_folders(self.prefix))


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    parser.add_argument("--source", required=True)
    parser.add_argument("--product", required=True)
    parser.add_argument("--exe", required=True)
    parser.add_argument("--build", required=True)
    ARGS, rest = parser.parse_known_args()
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)


if __name__ == "__main__":
    main()
