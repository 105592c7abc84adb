#!/usr/bin/env python3
"""The assistant end to end: the real setup.exe under Wine on private Xvfb
screens, driven with real X mouse and keyboard input (xdotool), against the
local stand-in service that scripts/test runs.

    test_install_flow.py --source SRC --product FOLDER --build BUILD --always ALWAYS_EXE
                         [--exe SETUP_EXE] [--shots NAME]

The standard-size run (a 1920x1080 screen, skin archive 130) walks every
path of the flow: the product page with its texts and versions, the banner
that neither maximises nor keeps the close button from working, the wheel
over the version list, the install page with its links, downloads that
succeed, fail, are left with Escape or overlap, and the reuse of a
downloaded installer. The double-size run (a 2880-pixel-wide screen, archive
138) checks that every window comes out exactly twice as large. Each run
writes its screenshots into BUILD/NAME/ (default e2e-screenshots).

SETUP_EXE (default BUILD/setup.exe) is a build of the product in FOLDER:
texts, links, identifiers and the colours that the checks look for are read
from that folder, so any product runs through the same flow.

Each run has its own Wine prefix under BUILD; Wine programs get no pipe of
ours, so none of Wine's background services keeps ctest waiting.
"""
import argparse
import datetime
import glob
import json
import os
import shutil
import ssl
import subprocess
import sys
import time
import unittest
import urllib.parse
import urllib.request

ARGS = None
HERE = os.path.dirname(os.path.abspath(__file__))


def tool_path():
    return os.path.join(ARGS.source, "tools")


class StandIn:
    """The control endpoint of the stand-in service."""

    def __init__(self, build):
        self.context = ssl.create_default_context(cafile=os.path.join(build, "standin", "ca.crt"))

    def call(self, path, body=None):
        data = None if body is None else json.dumps(body).encode("utf-8")
        request = urllib.request.Request("https://localhost" + path, data=data, method="POST" if data is not None else "GET")
        with urllib.request.urlopen(request, context=self.context, timeout=10) as reply:
            return json.loads(reply.read().decode("utf-8"))

    def reset(self):
        self.call("/control/reset", {})

    def behave(self, **members):
        self.call("/control/behaviour", members)

    def requests(self, path=None):
        seen = self.call("/control/requests")
        return [r for r in seen if path is None or r.get("path") == path]


class Machine:
    """One private X screen and one Wine prefix with the program's settings:
    the Chinese skin font, and a recorder standing in for the browser."""

    def __init__(self, name, screen):
        self.name = name
        self.prefix = os.path.join(ARGS.build, "wineprefix-" + name)
        self.display = None
        self.xvfb = None
        self.screen = screen
        self.env = dict(os.environ)
        self.env.update(WINEPREFIX=self.prefix, WINEDEBUG="-all",
                        WINEDLLOVERRIDES="winemenubuilder.exe=d")
        self.links = os.path.join(ARGS.build, "e2e-" + name, "links.txt")

    def wine(self, *args, check=False, timeout=120):
        return subprocess.run(["wine"] + list(args), env=self.env, stdin=subprocess.DEVNULL,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=timeout,
                              check=check)

    def wineserver(self, *args):
        subprocess.run(["wineserver"] + list(args), env=self.env, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120)

    def start(self):
        n = 150
        while os.path.exists("/tmp/.X%d-lock" % n) or os.path.exists("/tmp/.X11-unix/X%d" % n):
            n += 1
        self.display = ":%d" % n
        self.xvfb = subprocess.Popen(["Xvfb", self.display, "-screen", "0", self.screen, "-nolisten", "tcp"],
                                     stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL)
        for _ in range(100):
            if os.path.exists("/tmp/.X11-unix/X%d" % n):
                break
            time.sleep(0.1)
        self.env["DISPLAY"] = self.display

        if not os.path.exists(os.path.join(self.prefix, "system.reg")):
            os.makedirs(self.prefix, exist_ok=True)
            boot = dict(self.env, WINEDLLOVERRIDES="mscoree=;mshtml=")
            subprocess.run(["wineboot", "-i"], env=boot, stdin=subprocess.DEVNULL,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=300)
            self.wineserver("-w")
        # A fresh prefix links its desktop to the Linux home folder.
        for desktop in glob.glob(os.path.join(self.prefix, "drive_c/users/*/Desktop")):
            if os.path.islink(desktop):
                os.unlink(desktop)
                os.makedirs(desktop)
        self.wineserver("-k")
        self.wineserver("-w")
        self.wineserver("-p")
        self.wine("reg", "add", r"HKCU\Software\Wine\Fonts\Replacements", "/v", "微软雅黑",
                  "/t", "REG_SZ", "/d", "WenQuanYi Micro Hei", "/f", check=True)
        recorder_dir = os.path.dirname(self.links)
        os.makedirs(recorder_dir, exist_ok=True)
        recorder = os.path.join(recorder_dir, "link_recorder.exe")
        shutil.copy(os.path.join(ARGS.build, "tools", "link_recorder.exe"), recorder)
        for scheme in ("https", "http"):
            self.wine("reg", "add", r"HKCR\%s\shell\open\command" % scheme, "/ve", "/d",
                      '"%s" "%%1"' % self.windows_path(recorder), "/f", check=True)
        # The font list is read when a program starts; restart the server so
        # that nothing keeps the old one.
        self.wineserver("-k")
        self.wineserver("-w")
        self.wineserver("-p")
        self.wine("cmd", "/c", "exit")

    def stop(self):
        self.wineserver("-k")
        if self.xvfb:
            self.xvfb.kill()
            self.xvfb.wait()

    def windows_path(self, unix_path):
        return "Z:" + os.path.abspath(unix_path).replace("/", "\\")

    def user_folder(self):
        users = [u for u in glob.glob(os.path.join(self.prefix, "drive_c/users/*")) if not u.endswith("/Public")]
        return users[0]

    def work_folder(self):
        return os.path.join(self.user_folder(), "AppData", "Local", "Vantorie" + settings()["其它"]["产品标识"])

    def temp_folder(self):
        return os.path.join(self.user_folder(), "Temp")

    def data(self):
        try:
            with open(os.path.join(self.work_folder(), "Configs", "data.json"), encoding="utf-8") as f:
                return json.load(f)
        except (OSError, ValueError):
            return {}

    def log_text(self):
        path = os.path.join(self.work_folder(), "Log", "installer.%s.log" % datetime.date.today().strftime("%Y%m%d"))
        with open(path, "rb") as f:
            raw = f.read()
        return raw.decode("utf-16-le").lstrip("\ufeff")

    def links_opened(self):
        try:
            with open(self.links, encoding="utf-8") as f:
                return [line.strip() for line in f if line.strip()]
        except OSError:
            return []

    def fresh_state(self):
        """No working folder, no installer from earlier runs, no links."""
        shutil.rmtree(self.work_folder(), ignore_errors=True)
        for name in ("sample_installer.exe", "sample_installer.marker", "other_installer.exe"):
            path = os.path.join(self.temp_folder(), name)
            if os.path.exists(path):
                os.remove(path)
        if os.path.exists(self.links):
            os.remove(self.links)

    def launch(self, exe):
        return subprocess.Popen(["wine", exe], env=self.env, stdin=subprocess.DEVNULL,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def wait_until(probe, timeout, what):
    deadline = time.time() + timeout
    while time.time() < deadline:
        value = probe()
        if value:
            return value
        time.sleep(0.2)
    raise AssertionError("timed out waiting for " + what)


def settings():
    with open(os.path.join(ARGS.product, "ui_setting.json"), encoding="utf-8") as f:
        return json.load(f)


def ink(picture, box, colour, tolerance=60):
    """How many pixels inside `box` are close to the text colour `colour`."""
    left, top, right, bottom = box
    count = 0
    for y in range(top, bottom):
        for x in range(left, right):
            r, g, b = picture.getpixel((x, y))
            if abs(r - colour[0]) + abs(g - colour[1]) + abs(b - colour[2]) < tolerance:
                count += 1
    return count


def region(picture, window, box, scale):
    left, top, right, bottom = [v * scale for v in box]
    return picture.crop((window.x + left, window.y + top, window.x + right, window.y + bottom))


class FlowTest(unittest.TestCase):
    scale = 1
    screen = "1920x1080x24"

    @classmethod
    def setUpClass(cls):
        sys.path.insert(0, tool_path())
        global ui_flow
        import ui_flow  # noqa: F401  (the driver lives with the tools)
        cls.flow = ui_flow
        cls.standin = StandIn(ARGS.build)
        cls.standin.reset()
        cls.machine = Machine("e2e-%dx" % cls.scale, cls.screen)
        cls.machine.start()
        cls.machine.fresh_state()
        cls.look = ui_flow.Look(ARGS.product)
        cls.desk = ui_flow.Desk(cls.machine.display, cls.scale, cls.look)
        cls.shots = os.path.join(ARGS.build, ARGS.shots, "%dx" % cls.scale)
        shutil.rmtree(cls.shots, ignore_errors=True)
        os.makedirs(cls.shots)
        cls.desk.failure_shots = cls.shots
        cls.programs = []

    @classmethod
    def tearDownClass(cls):
        for program in cls.programs:
            if program.poll() is None:
                program.kill()
        cls.machine.stop()
        cls.standin.reset()

    def launch(self, exe=None):
        program = self.machine.launch(exe or ARGS.exe)
        self.programs.append(program)
        return program

    def shot(self, name, window=None):
        path = os.path.join(self.shots, name)
        self.desk.shot(path, window)
        print("screenshot:", path)
        return path

    def marker(self):
        return os.path.join(self.machine.temp_folder(), "sample_installer.marker")

    def installer(self):
        return os.path.join(self.machine.temp_folder(), "sample_installer.exe")

    def served_size(self):
        return os.path.getsize(os.path.join(ARGS.build, "tools", "sample_installer.exe"))

    def tearDown(self):
        # A failed test leaves its windows; the next one must start alone.
        if any(program.poll() is None for program in self.programs):
            self.machine.wineserver("-k")
            self.machine.wineserver("-w")
            self.machine.wineserver("-p")

    def dismiss_sample_installer(self):
        box = wait_until(lambda: next(iter(self.desk.windows("sample_installer.exe")), None), 30,
                         "the sample installer")
        time.sleep(0.4)
        self.desk.xdo("mousemove", box.x + box.width // 2, box.y + box.height // 2)
        time.sleep(0.2)
        self.desk.xdo("key", "Return")
        wait_until(lambda: not self.desk.windows("sample_installer.exe"), 20, "the sample installer to end")

    def pick_version(self, product, index):
        """Opens the version list with a click."""
        desk = self.desk
        # Under Xvfb without a window manager Wine now and then loses the
        # first click on a window that was just shown, so the click is
        # given again before the test gives up.
        popup = None
        for _ in range(3):
            desk.click(product, self.flow.PRODUCT["versionCombo"])
            try:
                popup = wait_until(lambda: next((w for w in desk.windows() if w.id != product.id), None), 5,
                                   "the version list")
                break
            except AssertionError:
                continue
        if popup is None:
            raise AssertionError("the version list never opened")
        time.sleep(0.5)
        return popup

    def wait_install(self, product):
        """The install window, which replaces the product window of the same size."""
        size = self.desk.sized(self.flow.INSTALL_SIZE)
        install = self.desk.wait_for(lambda: next((w for w in self.desk.windows() if w.id != product.id and
                                                   (w.width, w.height) == size), None), 30, "the install window")
        time.sleep(0.8)
        return install

    def wait_progress(self):
        return self.desk.wait_window(self.flow.PROGRESS_SIZE, timeout=20)

    def escape_slow_download(self, install, seconds):
        """A fresh download served over `seconds`, its progress window closed with Escape."""
        os.remove(self.marker())
        os.remove(self.installer())
        self.standin.reset()
        self.standin.behave(file="slow", slow_seconds=seconds)
        self.desk.click(install, self.flow.INSTALL["installBtn"])
        progress = self.wait_progress()
        self.desk.key(progress, "Escape")
        wait_until(lambda: self.desk.find(self.flow.PROGRESS_SIZE) is None, 10, "Escape to close the progress window")


class StandardScreenFlow(FlowTest):
    """Every path of the flow on a 1920x1080 screen."""

    def test_flow(self):
        flow, desk, machine, standin, look = self.flow, self.desk, self.machine, self.standin, self.look
        texts = settings()["文本"]
        links = settings()["链接"]
        # The prefix outlives a run: a shortcut left by an earlier one goes.
        shortcut = os.path.join(machine.user_folder(), "Desktop", settings()["其它"]["快捷方式名字"])
        if os.path.exists(shortcut):
            os.remove(shortcut)
        program = self.launch()

        # The product page: the settings' texts, a report of its showing.
        product = desk.wait_window(flow.PRODUCT_SIZE, timeout=60)
        first = self.shot("product.png", product)
        # The desktop shortcut follows the page's first paint.
        wait_until(lambda: os.path.isfile(shortcut), 20, "the desktop shortcut")
        picture = desk.grab()
        description_ink = ink(region(picture, product, (220, 254, 766, 337), 1), (0, 0, 546, 83), look.description)
        # Light faces leave less ink than heavy ones; no text leaves none.
        self.assertGreater(description_ink, 200, "the description text is missing")
        path_ink = ink(region(picture, product, (220, 455, 580, 491), 1), (0, 0, 360, 36), (0xA0, 0xA0, 0xA0), 90)
        self.assertGreater(path_ink, 100, "the install location is missing")
        shutil.copy(first, os.path.join(ARGS.build, ARGS.shots, "product-window.png"))

        reports = wait_until(lambda: [r for r in standin.requests("/v1/report")], 20, "the activation report")
        report = reports[0]
        body = json.loads(report["body"])
        self.assertEqual("software_activation", body["evt"])
        self.assertEqual(0, body["ct"] % 1000)
        self.assertLess(abs(body["ct"] / 1000 - time.time()), 120)
        self.assertEqual(["os"], list(body["host"].keys()))
        self.assertTrue(body["host"]["os"])
        names = [k.lower() for k, _ in report["headers"]]
        headers = {k.lower(): v for k, v in report["headers"]}
        self.assertLess(names.index("did"), names.index("vid"))
        self.assertLess(names.index("vid"), names.index("product"))
        self.assertEqual(settings()["其它"]["产品标识"], headers["product"])
        self.assertEqual("application/json", headers["content-type"].lower())
        device_id = wait_until(lambda: machine.data().get("device_id"), 10, "the device id")
        self.assertEqual(device_id, headers["did"])
        self.assertIn("vid", headers)

        # A double click on the banner does not maximise: the window stays where it
        # is, and a drag still moves it, which a maximised window would not allow.
        desk.click(product, flow.PRODUCT["banner"], double=True)
        time.sleep(0.5)
        moved = desk.find(flow.PRODUCT_SIZE)
        self.assertEqual((product.x, product.y), (moved.x, moved.y), "the banner's double click moved the window")
        desk.drag(product, flow.PRODUCT["banner"], 120, 70)
        moved = desk.find(flow.PRODUCT_SIZE)
        self.assertEqual((product.x + 120, product.y + 70), (moved.x, moved.y),
                         "dragging the banner did not move it (maximised by the double click?)")
        product = moved

        # The wheel over the version list changes nothing.
        combo = (220, 378, 580, 414)
        before = region(desk.grab(), product, combo, 1)
        desk.wheel(product, flow.PRODUCT["versionCombo"], down=True, turns=2)
        desk.move(product, (700, 300))
        time.sleep(0.4)
        after = region(desk.grab(), product, combo, 1)
        self.assertEqual(before.tobytes(), after.tobytes(), "the wheel changed the version")

        # All three versions are offered; the second is picked and stored.
        popup = self.pick_version(product, 1)
        self.shot("product-versions.png", self.flow.union(product, popup))
        versions = flow.offered_versions(ARGS.product)
        self.assertEqual([texts["版本1"], texts["版本2"], texts["版本3"]], versions)
        # One row of grey text per version, and room for no more.
        listed = desk.grab()
        rows = (popup.height - 4) / len(versions)
        self.assertGreaterEqual(rows, 18)
        for row in range(len(versions)):
            top = popup.y + 2 + round(row * rows)
            box = (popup.x + 2, top, popup.x + popup.width - 2, top + int(rows))
            # A light face in a light colour leaves few pixels of the exact
            # colour; a row without text leaves none.
            self.assertGreater(ink(listed, box, look.version_items), 20, "version %d is not listed" % (row + 1))
        desk.pick_item(popup, 1, len(versions))
        desk.click(product, flow.PRODUCT["installBtn"])
        install = self.wait_install(product)
        self.assertEqual(versions[1], machine.data().get("software_version"))
        self.assertFalse([w for w in desk.windows() if w.id == product.id], "the product window stayed")
        self.shot("install.png", install)
        tip_ink = ink(region(desk.grab(), install, (50, 260, 750, 284), 1), (0, 0, 700, 24), look.tip)
        self.assertGreater(tip_ink, 100, "the tip is missing")

        # The three help buttons open their links through the shell.
        for button in ("installHelpBtn", "useHelpBtn", "customerServiceBtn"):
            desk.click(install, flow.INSTALL[button])
        wait_until(lambda: len(machine.links_opened()) >= 3, 20, "three opened links")
        self.assertEqual([links["安装教程"], links["使用教程"], links["联系客服"]], machine.links_opened())

        # Install: the progress window, a climbing bar, success, the sample installer.
        standin.reset()
        standin.behave(file="slow")
        desk.click(install, flow.INSTALL["installBtn"])
        progress = self.wait_progress()
        running = self.shot("progress-running.png", progress)
        early = desk.bar_fill(progress)
        time.sleep(1.2)
        later = desk.bar_fill(progress)
        self.assertGreater(later, early, "the bar does not climb")
        desk.wait_bar_full(progress, timeout=60)
        time.sleep(0.3)
        done = self.shot("progress-success.png", progress)
        with open(running, "rb") as a, open(done, "rb") as b:
            self.assertNotEqual(a.read(), b.read())
        self.assertTrue(os.path.exists(self.installer()))
        stored = machine.data().get("install_file_path", "")
        self.assertTrue(stored.lower().endswith("\\temp\\sample_installer.exe"), stored)
        query = urllib.parse.unquote(standin.requests("/v1/getDownloadInfo")[0]["query"])
        self.assertIn("version=" + versions[1], query)
        desk.click(progress, flow.PROGRESS["okBtn"])
        wait_until(lambda: os.path.exists(self.marker()), 30, "the sample installer's marker")
        self.dismiss_sample_installer()

        # Switch "0": the stored installer starts at once, without a progress window.
        os.remove(self.marker())
        standin.reset()
        desk.click(install, flow.INSTALL["installBtn"])
        wait_until(lambda: os.path.exists(self.marker()), 30, "the stored installer to start")
        self.assertIsNone(desk.find(flow.PROGRESS_SIZE), "a progress window showed for a stored installer")
        self.assertEqual([], standin.requests("/v1/getDownloadInfo"))
        self.dismiss_sample_installer()

        # Escape leaves the download running; a later press starts what it fetched.
        self.escape_slow_download(install, 4)
        wait_until(lambda: standin.requests("/files/sample_installer.exe"), 20, "the download to go on")
        wait_until(lambda: os.path.exists(self.installer()) and os.path.getsize(self.installer()) == self.served_size(),
                   30, "the download to finish")
        time.sleep(2.5)  # the download thread looks once a second
        self.assertFalse(os.path.exists(self.marker()), "Escape started the installer")
        desk.click(install, flow.INSTALL["installBtn"])
        wait_until(lambda: os.path.exists(self.marker()), 30, "the downloaded installer to start")
        self.assertIsNone(desk.find(flow.PROGRESS_SIZE))
        self.dismiss_sample_installer()

        # A press while a download runs waits for that download: one download,
        # and its own outcome reaches the second progress window.
        self.escape_slow_download(install, 10)
        self.assertFalse(os.path.exists(self.installer()) and
                         os.path.getsize(self.installer()) == self.served_size(), "the download ended too early")
        desk.click(install, flow.INSTALL["installBtn"])
        progress = self.wait_progress()
        desk.wait_bar_full(progress, timeout=60)
        self.assertEqual(1, len(standin.requests("/v1/getDownloadInfo")), "a second download was started")
        self.assertEqual(1, len(standin.requests("/files/sample_installer.exe")))
        desk.click(progress, flow.PROGRESS["okBtn"])
        wait_until(lambda: os.path.exists(self.marker()), 30, "the installer to start")
        self.dismiss_sample_installer()

        # A failed download shows the failure, and its OK starts nothing.
        os.remove(self.marker())
        standin.reset()
        standin.behave(file="missing", filename="other_installer.exe")
        os.remove(self.installer())
        shutil.copy(os.path.join(ARGS.build, "tools", "sample_installer.exe"), self.installer())
        machine_data_before = machine.data()
        # With the stored installer in place, only the always-download twin downloads.
        desk.click(install, flow.INSTALL["closeBtn"])
        program.wait(timeout=30)
        self.assertEqual(0, program.returncode)

        program = self.launch(ARGS.always)
        product = desk.wait_window(flow.PRODUCT_SIZE, timeout=60)
        desk.click(product, flow.PRODUCT["installBtn"])
        install = self.wait_install(product)
        desk.click(install, flow.INSTALL["installBtn"])
        progress = self.wait_progress()
        desk.wait_bar_full(progress, timeout=60)
        time.sleep(0.3)
        self.shot("progress-failure.png", progress)
        tip = (30, 50, 470, 83)
        failed_tip = region(desk.grab(), progress, tip, 1)
        desk.click(progress, flow.PROGRESS["okBtn"])
        wait_until(lambda: desk.find(flow.PROGRESS_SIZE) is None, 10, "OK to close the failed download")
        time.sleep(3)
        self.assertFalse(os.path.exists(self.marker()), "OK after a failure started an installer")
        self.assertEqual(machine_data_before.get("install_file_path"), machine.data().get("install_file_path"))
        from PIL import Image
        success_tip = region(Image.open(done).convert("RGB"), type(progress)(None, 0, 0, 500, 200, ""), tip, 1)
        # Compared as a truth value: a failure message with two pictures' bytes helps nobody.
        self.assertTrue(success_tip.tobytes() != failed_tip.tobytes(), "failure shows the success text")

        # Switch "1": the stored installer is downloaded again.
        standin.reset()
        desk.click(install, flow.INSTALL["installBtn"])
        progress = self.wait_progress()
        desk.wait_bar_full(progress, timeout=60)
        self.assertEqual(1, len(standin.requests("/v1/getDownloadInfo")))
        self.assertEqual(1, len(standin.requests("/files/sample_installer.exe")))
        desk.click(progress, flow.PROGRESS["okBtn"])
        wait_until(lambda: os.path.exists(self.marker()), 30, "the fresh installer to start")
        self.dismiss_sample_installer()

        # The close button ends the process; the log ends with whole records.
        desk.click(install, flow.INSTALL["closeBtn"])
        program.wait(timeout=30)
        self.assertEqual(0, program.returncode)
        log = self.machine.log_text()
        self.assertTrue(log.endswith("\r\n"), "the log ends inside a record")
        lines = [line for line in log.splitlines() if line]
        self.assertTrue(lines[-1].startswith("<<"), "the last record is torn")
        self.assertTrue(all(line.startswith(("<<", "Log begin at:")) for line in lines), "a record is torn")
        self.assertIn("the thread of downloading installer starts", log)
        self.assertIn("report event, name: software_activation", log)

    def test_product_close_button_ends_the_process(self):
        flow, desk = self.flow, self.desk
        program = self.launch()
        product = desk.wait_window(flow.PRODUCT_SIZE, timeout=60)
        desk.drag(product, flow.PRODUCT["banner"], -80, -40)
        product = desk.find(flow.PRODUCT_SIZE)
        desk.click(product, flow.PRODUCT["closeBtn"])
        program.wait(timeout=30)
        self.assertEqual(0, program.returncode)
        self.assertIsNone(desk.find(flow.INSTALL_SIZE), "the install window opened")
        self.assertEqual([], desk.windows())


class DoubleScreenFlow(FlowTest):
    """The double-size skins on a 2880-pixel-wide screen: every window twice as large."""
    scale = 2
    screen = "2880x1620x24"

    def test_windows_are_twice_the_size(self):
        flow, desk, machine, standin = self.flow, self.desk, self.machine, self.standin
        program = self.launch()
        product = desk.wait_window(flow.PRODUCT_SIZE, timeout=60)
        self.assertEqual((1600, 1200), (product.width, product.height))
        self.shot("product.png", product)
        popup = self.pick_version(product, 1)
        self.shot("product-versions.png", self.flow.union(product, popup))
        desk.pick_item(popup, 1, len(flow.offered_versions(ARGS.product)))
        desk.click(product, flow.PRODUCT["installBtn"])
        install = self.wait_install(product)
        self.assertEqual((1600, 1200), (install.width, install.height))
        self.shot("install.png", install)
        standin.reset()
        standin.behave(file="slow")
        desk.click(install, flow.INSTALL["installBtn"])
        progress = self.wait_progress()
        self.assertEqual((1000, 400), (progress.width, progress.height))
        self.shot("progress-running.png", progress)
        desk.wait_bar_full(progress, timeout=60)
        time.sleep(0.3)
        self.shot("progress-success.png", progress)
        desk.click(progress, flow.PROGRESS["okBtn"])
        wait_until(lambda: os.path.exists(self.marker()), 30, "the sample installer's marker")
        self.dismiss_sample_installer()
        desk.click(install, flow.INSTALL["closeBtn"])
        program.wait(timeout=30)
        self.assertEqual(0, program.returncode)


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    parser.add_argument("--source", required=True)
    parser.add_argument("--product", required=True)
    parser.add_argument("--build", required=True)
    parser.add_argument("--always", required=True)
    parser.add_argument("--exe")
    parser.add_argument("--shots", default="e2e-screenshots")
    ARGS, rest = parser.parse_known_args()
    ARGS.exe = ARGS.exe or os.path.join(ARGS.build, "setup.exe")
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)


if __name__ == "__main__":
    main()
