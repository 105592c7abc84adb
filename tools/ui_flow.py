#!/usr/bin/env python3
"""Drives the assistant's windows on an X display the way a user would.

    ui_flow.py walk --exe SETUP_EXE --shots FOLDER [--scale 1|2] [--product FOLDER]

walks the whole flow once on $DISPLAY (product window, a version picked from
the list, install window, download with its progress window, OK, the sample
installer, close) and saves a screenshot of every window into FOLDER; the
paths are printed one a line. Wine, the prefix and the stand-in service must
be running already (scripts/run prepares them).

The module is also the library of the end-to-end test: it finds the
assistant's X windows by their size, clicks and types with xdotool (real X
input, so the program sees ordinary mouse and keyboard messages) and reads
pixels back from screenshots. Control positions are those of the skins'
layouts, in standard-skin pixels; the double-size skins double them. The
colours that a check looks for are read from the product folder's skins
(Look), since every product paints its own.
"""
import argparse
import json
import os
import re
import subprocess
import sys
import time
import xml.etree.ElementTree as ElementTree

from PIL import Image

# Window sizes and control centres of the standard skins, window-relative.
PRODUCT_SIZE = (800, 600)
INSTALL_SIZE = (800, 600)
PROGRESS_SIZE = (500, 200)
PRODUCT = {"closeBtn": (771, 29), "banner": (300, 110), "versionCombo": (400, 396),
           "installBtn": (400, 540), "installPathEdit": (400, 473)}
INSTALL = {"closeBtn": (771, 29), "banner": (300, 110), "tip": (400, 272),
           "installHelpBtn": (180, 375), "useHelpBtn": (180, 485), "installBtn": (550, 430),
           "customerServiceBtn": (744, 565)}
PROGRESS = {"okBtn": (250, 150), "title": (250, 35), "tip": (250, 66)}
# The bar of the progress window: left, top, right, bottom.
PROGRESS_BAR = (30, 83, 470, 93)
BAR_BACKGROUND = (0xE4, 0xE4, 0xE4)


class Window:
    def __init__(self, wid, x, y, width, height, name):
        self.id, self.x, self.y, self.width, self.height, self.name = wid, x, y, width, height, name

    @property
    def box(self):
        return (self.x, self.y, self.x + self.width, self.y + self.height)

    def __repr__(self):
        return "Window(%s %r %dx%d+%d+%d)" % (self.id, self.name, self.width, self.height, self.x, self.y)


def union(first, second):
    """The smallest window-shaped box holding both windows, for screenshots."""
    left, top = min(first.x, second.x), min(first.y, second.y)
    right = max(first.x + first.width, second.x + second.width)
    bottom = max(first.y + first.height, second.y + second.height)
    return Window(None, left, top, right - left, bottom - top, "")


class Desk:
    """One X display with the assistant's windows on it."""

    def __init__(self, display=None, scale=1, look=None):
        self.env = dict(os.environ)
        if display:
            self.env["DISPLAY"] = display
        self.scale = scale
        self.failure_shots = None
        self.bar_background = look.bar_background if look else BAR_BACKGROUND

    def xdo(self, *args, check=True):
        result = subprocess.run(["xdotool"] + [str(a) for a in args], env=self.env,
                                stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        if check and result.returncode not in (0, 1):
            raise RuntimeError("xdotool %s failed" % " ".join(map(str, args)))
        return result.stdout

    def windows(self, classname="setup.exe"):
        """The visible windows of one program, as X sees them."""
        found = []
        for wid in self.xdo("search", "--onlyvisible", "--classname", re.escape(classname)).split():
            geometry = self.xdo("getwindowgeometry", wid)
            position = re.search(r"Position: (-?\d+),(-?\d+)", geometry)
            size = re.search(r"Geometry: (\d+)x(\d+)", geometry)
            if not position or not size:
                continue
            name = self.xdo("getwindowname", wid).strip()
            found.append(Window(wid, int(position.group(1)), int(position.group(2)),
                                int(size.group(1)), int(size.group(2)), name))
        return found

    def sized(self, size):
        return (size[0] * self.scale, size[1] * self.scale)

    def find(self, size, classname="setup.exe"):
        want = self.sized(size)
        for window in self.windows(classname):
            if (window.width, window.height) == want:
                return window
        return None

    def wait_for(self, probe, timeout=30, what="window"):
        deadline = time.time() + timeout
        while time.time() < deadline:
            found = probe()
            if found:
                return found
            time.sleep(0.2)
        # What the screen showed instead helps more than the message.
        if self.failure_shots:
            self.shot(os.path.join(self.failure_shots, "timeout-%d.png" % int(time.time())))
        raise TimeoutError("no %s after %d s; windows: %r" % (what, timeout, self.windows_any()))

    def wait_window(self, size, timeout=30, classname="setup.exe"):
        window = self.wait_for(lambda: self.find(size, classname), timeout, "%dx%d window" % self.sized(size))
        time.sleep(0.5)  # the first paint follows the mapping
        # A window is mapped where it was created and then centred; on a busy
        # machine the move can come after the pause, so the place is read
        # again until two readings agree.
        for _ in range(20):
            again = self.find(size, classname)
            if again is None or (again.x, again.y) == (window.x, window.y):
                break
            window = again
            time.sleep(0.3)
        return window

    def wait_gone(self, window, timeout=30):
        self.wait_for(lambda: all(w.id != window.id for w in self.windows_any()), timeout,
                      "end of %r" % window)

    def windows_any(self):
        return self.windows("setup.exe") + self.windows("sample_installer.exe")

    def point(self, window, layout_point):
        return (window.x + layout_point[0] * self.scale, window.y + layout_point[1] * self.scale)

    def move(self, window, layout_point):
        x, y = self.point(window, layout_point)
        self.xdo("mousemove", x, y)
        time.sleep(0.15)

    def click(self, window, layout_point, button=1, double=False):
        x, y = self.point(window, layout_point)
        self.xdo("mousemove", x, y)
        time.sleep(0.15)  # lets the control see the hover before the press
        self.xdo("click", "--repeat", 2 if double else 1, "--delay", 80, button)
        time.sleep(0.3)

    def click_screen(self, x, y):
        self.xdo("mousemove", x, y)
        time.sleep(0.15)
        self.xdo("click", 1)
        time.sleep(0.3)

    def drag(self, window, layout_point, dx, dy):
        x, y = self.point(window, layout_point)
        self.xdo("mousemove", x, y)
        time.sleep(0.15)
        self.xdo("mousedown", 1)
        for step in range(1, 11):
            time.sleep(0.05)
            self.xdo("mousemove", x + dx * step // 10, y + dy * step // 10)
        time.sleep(0.2)
        self.xdo("mouseup", 1)
        time.sleep(0.4)

    def key(self, window, name):
        """A key typed with the pointer over the window: without a window
        manager the keyboard follows the pointer."""
        self.move(window, (window.width // (2 * self.scale), window.height // (2 * self.scale)))
        self.xdo("key", name)
        time.sleep(0.3)

    def wheel(self, window, layout_point, down=True, turns=3):
        x, y = self.point(window, layout_point)
        self.xdo("mousemove", x, y)
        time.sleep(0.15)
        self.xdo("click", "--repeat", turns, "--delay", 100, 5 if down else 4)
        time.sleep(0.3)

    def grab(self):
        """The whole screen as a picture."""
        data = subprocess.run(["import", "-window", "root", "png:-"], env=self.env,
                              stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, check=True).stdout
        import io
        return Image.open(io.BytesIO(data)).convert("RGB")

    def shot(self, path, window=None):
        picture = self.grab()
        if window:
            picture = picture.crop(window.box)
        os.makedirs(os.path.dirname(os.path.abspath(path)), exist_ok=True)
        picture.save(path)
        return picture

    def bar_fill(self, window, picture=None):
        """How many pixels of the progress bar are filled, read from the screen."""
        picture = picture or self.grab()
        left, top, right, bottom = [v * self.scale for v in PROGRESS_BAR]
        y = window.y + (top + bottom) // 2
        filled = 0
        for x in range(window.x + left, window.x + right):
            # Whatever its colour, the fore image stands out from the bar's
            # own background, which the rest of the bar shows.
            if distance(picture.getpixel((x, y)), self.bar_background) > 80:
                filled = x - window.x - left + 1
        return filled

    def wait_bar_full(self, window, timeout=60):
        full = (PROGRESS_BAR[2] - PROGRESS_BAR[0]) * self.scale
        return self.wait_for(lambda: self.bar_fill(window) >= full - 2 * self.scale, timeout, "full bar")

    def pick_item(self, popup, index, count):
        """Clicks item `index` of the open drop-down list until the list
        closes. Under Wine without a window manager the list sometimes lets
        its first click pass unseen; a person would simply click again."""
        x, y = self.popup_item(popup, index, count)
        self.xdo("mousemove", x, y)
        time.sleep(0.3)
        for _ in range(3):
            self.xdo("mousedown", 1)
            time.sleep(0.1)
            self.xdo("mouseup", 1)
            time.sleep(0.6)
            if all(w.id != popup.id for w in self.windows()):
                return
        raise RuntimeError("the drop-down list stayed open")

    def popup_item(self, popup, index, count):
        """The centre of item `index` of an open drop-down list of `count` items."""
        inner = popup.height - 2 * self.scale
        return (popup.x + popup.width // 2, popup.y + self.scale + inner * (2 * index + 1) // (2 * count))


def distance(first, second):
    return sum(abs(a - b) for a, b in zip(first[:3], second[:3]))


def colour(text):
    """An opaque RGB triple from a skin colour such as "#FF4E6662"."""
    value = int(text.lstrip("#"), 16)
    return ((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF)


class Look:
    """The colours a product's standard skins paint the checked texts in."""

    def __init__(self, product):
        skin = os.path.join(product, "skin")
        main = ElementTree.parse(os.path.join(skin, "main.xml")).getroot()
        install = ElementTree.parse(os.path.join(skin, "install.xml")).getroot()
        progress = ElementTree.parse(os.path.join(skin, "progress.xml")).getroot()
        self.description = colour(self.named(main, "softInfoText").get("textcolor"))
        self.tip = colour(self.named(install, "tip").get("textcolor"))
        combo = next(d for d in main.iter("Default") if d.get("name") == "Combo").get("value")
        self.version_items = colour(re.search(r'\bitemtextcolor="([^"]+)"', combo).group(1))
        self.bar_background = colour(self.named(progress, "progress").get("bkcolor"))

    @staticmethod
    def named(root, name):
        return next(e for e in root.iter() if e.get("name") == name)


SAMPLE_PRODUCT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "products", "qingchuan")


def offered_versions(product=SAMPLE_PRODUCT):
    """The version names of a product folder's settings, in order."""
    path = os.path.join(product, "ui_setting.json")
    with open(path, encoding="utf-8") as f:
        texts = json.load(f)["文本"]
    versions = []
    for n in range(1, 21):
        if not texts.get("版本%d" % n):
            break
        versions.append(texts["版本%d" % n])
    return versions


def walk(args):
    """Walks the flow once and prints the screenshot paths."""
    desk = Desk(scale=args.scale, look=Look(args.product))
    shots = []

    def shot(name, window=None):
        path = os.path.join(args.shots, name)
        desk.shot(path, window)
        shots.append(path)

    program = subprocess.Popen(["wine", args.exe], env=desk.env)
    try:
        product = desk.wait_window(PRODUCT_SIZE, timeout=60)
        shot("1-product.png", product)

        desk.click(product, PRODUCT["versionCombo"])
        before = {w.id for w in desk.windows()}
        popup = desk.wait_for(lambda: next((w for w in desk.windows() if w.id not in before or
                                            (w.id != product.id and w.width == 360 * args.scale)), None),
                              10, "version list")
        time.sleep(0.4)
        shot("2-version-list.png", union(product, popup))
        count = len(offered_versions(args.product))
        desk.pick_item(popup, min(1, count - 1), count)
        shot("3-product-version-picked.png", product)

        desk.click(product, PRODUCT["installBtn"])
        install = desk.wait_for(lambda: next((w for w in desk.windows() if w.id != product.id and
                                              (w.width, w.height) == desk.sized(INSTALL_SIZE)), None),
                                30, "install window")
        time.sleep(0.6)
        shot("4-install.png", install)

        desk.click(install, INSTALL["installBtn"])
        progress = desk.wait_window(PROGRESS_SIZE, timeout=20)
        shot("5-progress.png", progress)
        desk.wait_bar_full(progress, timeout=120)
        time.sleep(0.3)
        shot("6-progress-done.png", progress)

        desk.click(progress, PROGRESS["okBtn"])
        sample = desk.wait_for(lambda: next(iter(desk.windows("sample_installer.exe")), None), 30,
                               "sample installer")
        time.sleep(0.5)
        shot("7-sample-installer.png")
        # Without a window manager the keyboard follows the pointer.
        desk.xdo("mousemove", sample.x + sample.width // 2, sample.y + sample.height // 2)
        time.sleep(0.2)
        desk.xdo("key", "Return")
        desk.wait_for(lambda: not desk.windows("sample_installer.exe"), 20, "end of the sample installer")

        desk.click(install, INSTALL["closeBtn"])
        program.wait(timeout=30)
    finally:
        if program.poll() is None:
            program.kill()
    for path in shots:
        print(path)
    return program.returncode


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    sub = parser.add_subparsers(dest="command", required=True)
    walker = sub.add_parser("walk")
    walker.add_argument("--exe", required=True)
    walker.add_argument("--shots", required=True)
    walker.add_argument("--scale", type=int, default=1, choices=(1, 2))
    walker.add_argument("--product", default=SAMPLE_PRODUCT)
    args = parser.parse_args(argv[1:])
    return walk(args)


if __name__ == "__main__":
    sys.exit(main(sys.argv))
