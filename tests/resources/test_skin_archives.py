#!/usr/bin/env python3
"""Checks the two skin archives that the build packs (resources 130 and 138).

    test_skin_archives.py PRODUCT_FOLDER SKIN_ZIP SKIN_2X_ZIP

Runs natively (python3 standard library only). The checks:
  - every skin is markup the toolkit's parser reads (double-quoted attributes,
    at most 64 a tag) and holds the named controls the windows look up;
  - the window sizes and the shared fonts are those of the product;
  - the `Default` list for `Combo` is one well-formed attribute list in the
    form the control base reads it (a malformed pair silently drops the rest);
  - each double-size skin equals its standard twin with every pixel measure
    doubled, except the combo frame's corner and border;
  - each archive holds exactly the skins of its folder and the pictures they
    name, at root level, with UTF-8 names flagged, and every picture is a
    PNG of the size of the control that shows it.
The second half of the file proves that the checks fail on damaged copies.
"""
import io
import re
import struct
import sys
import unittest
import xml.etree.ElementTree as ET
import zipfile
from pathlib import Path

SKINS = ("main.xml", "install.xml", "progress.xml")

# Named controls the windows look up, with the element each must be.
NAMED_CONTROLS = {
    "main.xml": {"root": "VerticalLayout", "closeBtn": "Button", "softInfoText": "Text",
                 "versionCombo": "Combo", "installPathEdit": "Edit", "installBtn": "Button"},
    "install.xml": {"root": "VerticalLayout", "closeBtn": "Button", "tip": "Label",
                    "installHelpBtn": "Button", "useHelpBtn": "Button", "installBtn": "Button",
                    "customerServiceBtn": "Button"},
    "progress.xml": {"root": "VerticalLayout", "title": "Label", "tip": "Label",
                     "progress": "Progress", "okBtn": "Button"},
}

# Window size and caption strip of the standard skins.
WINDOWS = {"main.xml": ("800,600", "0,0,0,210"), "install.xml": ("800,600", "0,0,0,210"),
           "progress.xml": ("500,200", "0,0,0,20")}

# The shared fonts of the product and install skins: id -> (face, size, bold).
FONTS = {1: ("微软雅黑", 16, False), 2: ("微软雅黑", 14, False), 3: ("微软雅黑", 12, False),
         4: ("微软雅黑", 18, False), 5: ("微软雅黑", 22, False), 6: ("微软雅黑", 36, False),
         7: ("DIN", 40, True), 8: ("DIN", 44, True), 9: ("微软雅黑", 16, True)}

# Size of each picture in the standard skin: the size of the control it is
# drawn on (header strip 800x210; logo 146 wide in a 390-pixel row less its
# 68/123 padding; the install card fills its 200-pixel row; the service icon
# its 70-pixel row less 24/24 padding; the bar is 500 less 2x30 inset wide),
# or, for the nine-slice combo frames, the frame as drawn at the combo height.
PICTURE_SIZES = {
    "表头模块.png": (800, 210), "组合logo.png": (146, 199), "close_button.png": (20, 20),
    "combo3_nr.png": (60, 36), "combo3_ov.png": (60, 36), "首页按钮.png": (360, 60),
    "安装主页安装教程.png": (260, 90), "安装主页使用帮助.png": (260, 90),
    "安装主页立即安装.png": (400, 200), "customer_service_icon.png": (23, 22),
    "进度条前景.png": (440, 10), "进度条按钮.png": (240, 50),
}

# Attributes whose values are pixel measures (numbers or number lists).
MEASURES = {"size", "caption", "mininfo", "maxinfo", "sizebox", "roundcorner", "width", "height",
            "minwidth", "minheight", "maxwidth", "maxheight", "pos", "padding", "inset",
            "textpadding", "itemtextpadding", "borderround", "bordersize", "leftbordersize",
            "topbordersize", "rightbordersize", "bottombordersize", "childpadding", "dropboxsize",
            "sepheight", "sepwidth"}
DESCRIPTOR_MEASURES = {"corner", "dest", "source"}
ATTRIBUTE_LISTS = {"dropbox", "vscrollbarstyle", "hscrollbarstyle"}

# The double-size skins deviate from plain doubling only here: the combo
# frames keep their thin edges and get a wide fixed arrow cell, and the
# combo's border stays one pixel. Key: (skin, tag of the element, attribute).
DOUBLING_EXCEPTIONS = {
    ("main.xml", "Default", "bordersize"): lambda one: one,
    ("main.xml", "Default", "corner"): lambda one: "2,2,70,2" if one == "2,2,15,2" else None,
}


def doubled(value):
    return re.sub(r"-?\d+", lambda m: str(int(m.group()) * 2), value)


def is_descriptor(name):
    return name == "bkimage" or name.endswith("image")


def descriptor_pairs(text):
    """The key='value' pairs of an image descriptor, read as the drawing kit reads them."""
    pairs, i = [], 0
    while True:
        m = re.compile(r"\s*([^=\s]+)\s*=\s*'([^']*)'").match(text, i)
        if not m:
            return pairs
        pairs.append((m.group(1), m.group(2)))
        i = m.end()
        if i >= len(text) or not text[i].isspace():
            return pairs


def descriptor_file(text):
    pairs = dict(descriptor_pairs(text))
    return pairs.get("file") or pairs.get("res") or (text if "=" not in text else "")


def attribute_list(text):
    """Pairs of a `Default` value, read as ApplyAttributes reads them.

    Returns (pairs, rest): `rest` is the text that was not consumed; anything
    there is silently dropped by the toolkit, which is always a fault here."""
    pairs, i = [], 0
    while i < len(text):
        eq = text.find("=", i)
        if eq < 0 or eq + 1 >= len(text) or text[eq + 1] != '"':
            return pairs, text[i:]
        close = text.find('"', eq + 2)
        if close < 0:
            return pairs, text[i:]
        name = text[i:eq]
        if not re.fullmatch(r"[a-z0-9]+", name):
            return pairs, text[i:]
        pairs.append((name, text[eq + 2:close]))
        i = close + 1
        if i == len(text):
            return pairs, ""
        if text[i] != " " or i + 1 >= len(text):
            return pairs, text[i:]
        i += 1
    return pairs, ""


def parse(name, data, problems):
    try:
        text = data.decode("utf-8")
    except UnicodeDecodeError:
        problems.append("%s: not UTF-8" % name)
        return None
    # The toolkit's parser takes only double-quoted attribute values.
    for tag in re.finditer(r"<([A-Za-z][^\s/>]*)([^>]*)>", text):
        body = tag.group(2).rstrip("/")
        if not re.fullmatch(r'(\s+[A-Za-z_:][\w:]*="[^"]*")*\s*', body):
            problems.append("%s: <%s> has attributes the markup parser cannot read" % (name, tag.group(1)))
        if body.count('="') > 64:
            problems.append("%s: <%s> has more than 64 attributes" % (name, tag.group(1)))
    try:
        return ET.fromstring(data)
    except ET.ParseError as error:
        problems.append("%s: %s" % (name, error))
        return None


def check_skins(skins, scale):
    """Structure of one resolution's skins: parser form, names, window, fonts, Default."""
    problems = []
    for skin in SKINS:
        if skin not in skins:
            problems.append("%s: missing" % skin)
            continue
        root = parse(skin, skins[skin], problems)
        if root is None:
            continue
        if root.tag != "Window":
            problems.append("%s: root element is %s, not Window" % (skin, root.tag))
        size, caption = WINDOWS[skin]
        if scale == 2:
            size, caption = doubled(size), doubled(caption)
        expected = {"size": size, "caption": caption, "mininfo": size, "maxinfo": size}
        for key, value in expected.items():
            if root.get(key) != value:
                problems.append("%s: Window %s is %r, not %r" % (skin, key, root.get(key), value))
        controls = [e for e in root if e.tag not in ("Font", "Default", "Image", "MultiLanguage")]
        if len(controls) != 1:
            problems.append("%s: %d root controls instead of one" % (skin, len(controls)))
        names = {}
        for element in root.iter():
            if element.get("name") and element.tag not in ("Font", "Default"):
                if element.get("name") in names:
                    problems.append("%s: the name %s is used twice" % (skin, element.get("name")))
                names[element.get("name")] = element.tag
        for name, tag in NAMED_CONTROLS[skin].items():
            if names.get(name) != tag:
                problems.append("%s: no %s named %r (found %r)" % (skin, tag, name, names.get(name)))
        fonts = {int(f.get("id", "-1")): f for f in root.findall("Font")}
        if skin == "progress.xml":
            if fonts:
                problems.append("progress.xml: declares fonts; it relies on the shared ones")
        else:
            for fid, (face, size_px, bold) in FONTS.items():
                f = fonts.get(fid)
                want = (face, str(size_px * scale), bold, True, fid == 1)
                got = f is not None and (f.get("name"), f.get("size"), f.get("bold") == "true",
                                         f.get("shared") == "true", f.get("default") == "true")
                if got != want:
                    problems.append("%s: font %d is %r, not %r" % (skin, fid, got, want))
            if len(fonts) != len(FONTS):
                problems.append("%s: %d fonts instead of %d" % (skin, len(fonts), len(FONTS)))
        for default in root.findall("Default"):
            pairs, rest = attribute_list(default.get("value", ""))
            if rest:
                problems.append("%s: Default %s stops reading at %r" % (skin, default.get("name"), rest[:30]))
            if not pairs:
                problems.append("%s: Default %s sets nothing" % (skin, default.get("name")))
        if skin == "main.xml" and [d.get("name") for d in root.findall("Default")] != ["Combo"]:
            problems.append("main.xml: needs exactly one Default, for Combo")
    return problems


def expected_double(skin, tag, name, one):
    """What the double-size skin must say where the standard one says `one`."""
    if tag == "Font":
        return doubled(one) if name == "size" else one
    exception = DOUBLING_EXCEPTIONS.get((skin, tag, name))
    if exception:
        return exception(one)
    if name in MEASURES:
        return doubled(one)
    return one


def compare_values(skin, where, tag, name, one, two, problems):
    if name in ATTRIBUTE_LISTS or (tag == "Default" and name == "value"):
        list_one, _ = attribute_list(one)
        list_two, _ = attribute_list(two)
        if [n for n, _ in list_one] != [n for n, _ in list_two]:
            problems.append("%s: %s %s lists other attributes" % (skin, where, name))
            return
        for (n, v1), (_, v2) in zip(list_one, list_two):
            compare_values(skin, "%s %s:%s" % (where, name, n), tag, n, v1, v2, problems)
        return
    if is_descriptor(name) and "=" in one:
        p1, p2 = descriptor_pairs(one), descriptor_pairs(two)
        if [k for k, _ in p1] != [k for k, _ in p2]:
            problems.append("%s: %s %s has other keys" % (skin, where, name))
            return
        for (k, v1), (_, v2) in zip(p1, p2):
            want = v1
            if k in DESCRIPTOR_MEASURES:
                exception = DOUBLING_EXCEPTIONS.get((skin, tag, k))
                want = exception(v1) if exception else doubled(v1)
            if v2 != want:
                problems.append("%s: %s %s %s is %r, expected %r" % (skin, where, name, k, v2, want))
        return
    want = expected_double(skin, tag, name, one)
    if two != want:
        problems.append("%s: %s %s is %r, expected %r" % (skin, where, name, two, want))


def check_doubling(standard, double):
    """Each double-size skin is its standard twin with the pixel measures doubled."""
    problems = []
    for skin in SKINS:
        sink = []
        one, two = parse(skin, standard.get(skin, b""), sink), parse(skin, double.get(skin, b""), sink)
        if one is None or two is None:
            problems.append("%s: cannot compare (%s)" % (skin, "; ".join(sink)))
            continue

        def walk(e1, e2, path):
            where = "%s/%s%s" % (path, e1.tag, "[%s]" % e1.get("name") if e1.get("name") else "")
            if e1.tag != e2.tag:
                problems.append("%s: %s stands where %s should" % (skin, e2.tag, where))
                return
            if list(e1.attrib) != list(e2.attrib):
                problems.append("%s: %s has attributes %s instead of %s" % (skin, where, list(e2.attrib), list(e1.attrib)))
                return
            for name in e1.attrib:
                compare_values(skin, where, e1.tag, name, e1.get(name), e2.get(name), problems)
            if len(e1) != len(e2):
                problems.append("%s: %s has %d children instead of %d" % (skin, where, len(e2), len(e1)))
                return
            for c1, c2 in zip(e1, e2):
                walk(c1, c2, where)
        walk(one, two, "")
    return problems


def named_pictures(skins):
    """picture name -> list of nine-slice corners it is drawn with."""
    pictures = {}
    sink = []
    for skin in SKINS:
        root = parse(skin, skins.get(skin, b""), sink)
        if root is None:
            continue
        for element in root.iter():
            values = list(element.attrib.items())
            if element.tag == "Default":
                values = attribute_list(element.get("value", ""))[0]
            for name, value in values:
                if is_descriptor(name) and value:
                    corner = dict(descriptor_pairs(value)).get("corner")
                    pictures.setdefault(descriptor_file(value), []).append(corner)
    return pictures


def fixed_size_pictures(skins):
    """(picture, width, height) for each control that fixes both its size and shows a picture."""
    found, sink = [], []
    for skin in SKINS:
        root = parse(skin, skins.get(skin, b""), sink)
        for element in root.iter() if root is not None else ():
            file = descriptor_file(element.get("bkimage", ""))
            if file and element.get("width") and element.get("height"):
                found.append((file, int(element.get("width")), int(element.get("height"))))
    return found


def png_header(data):
    if data[:8] != b"\x89PNG\r\n\x1a\n" or data[12:16] != b"IHDR":
        return None
    width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", data[16:29])
    return width, height, depth, colour, interlace


def check_archive(zip_bytes, source_files, scale):
    """One archive: exact contents, UTF-8 flagged names, pictures of the right size."""
    problems = []
    try:
        archive = zipfile.ZipFile(io.BytesIO(zip_bytes))
    except zipfile.BadZipFile as error:
        return ["not a zip archive: %s" % error]
    entries = {info.filename: info for info in archive.infolist()}

    def read(name):
        try:
            return archive.read(name)
        except (zipfile.BadZipFile, OSError) as error:
            problems.append("%s cannot be read: %s" % (name, error))
            return None
    contents = {name: read(name) for name in entries}
    skins = {name: contents[name] for name in SKINS if contents.get(name) is not None}
    pictures = named_pictures(skins)
    expected = set(source_files) | set(pictures)
    for name in sorted(expected - set(entries)):
        problems.append("%s is missing from the archive" % name)
    for name in sorted(set(entries) - expected):
        problems.append("%s is in the archive but nothing needs it" % name)
    bad = archive.testzip()
    if bad:
        problems.append("%s is damaged" % bad)
    for name, info in entries.items():
        if "/" in name or "\\" in name:
            problems.append("%s is not at the archive's root" % name)
        if info.compress_type not in (zipfile.ZIP_STORED, zipfile.ZIP_DEFLATED):
            problems.append("%s uses compression method %d" % (name, info.compress_type))
        if info.file_size > 4 * 1024 * 1024:
            problems.append("%s is larger than a skin file may be" % name)
        if not name.isascii():
            # Bit 11 must be set in the central directory and the local header
            # alike; without it a reader takes the name for a code-page text.
            local = zip_bytes[info.header_offset:info.header_offset + 30]
            local_flags = struct.unpack("<H", local[6:8])[0] if local[:4] == b"PK\x03\x04" else 0
            if not (info.flag_bits & 0x800) or not (local_flags & 0x800):
                problems.append("%s: UTF-8 name flag (bit 11) not set" % name)
    for name, data in source_files.items():
        if name in entries and contents[name] is not None and contents[name] != data:
            problems.append("%s differs from its source" % name)
    for name, corners in pictures.items():
        if contents.get(name) is None:
            continue
        header = png_header(contents[name])
        if header is None:
            problems.append("%s is not a PNG" % name)
            continue
        width, height, depth, colour, _ = header
        if name not in PICTURE_SIZES:
            problems.append("%s: no size is known for this picture" % name)
        elif (width, height) != tuple(v * scale for v in PICTURE_SIZES[name]):
            problems.append("%s is %dx%d, expected %dx%d" % ((name, width, height) + tuple(v * scale for v in PICTURE_SIZES[name])))
        if depth != 8 or colour not in (2, 6):
            problems.append("%s: %d-bit colour type %d, expected 8-bit RGB(A)" % (name, depth, colour))
        for corner in corners:
            if corner:
                l, t, r, b = (int(v) for v in corner.split(","))
                if width <= l + r or height < t + b:
                    problems.append("%s (%dx%d) is too small for corner %s" % (name, width, height, corner))
    for name, width, height in fixed_size_pictures(skins):
        header = png_header(contents.get(name) or b"")
        if header and header[:2] != (width, height):
            problems.append("%s is %dx%d but its control is %dx%d" % ((name,) + header[:2] + (width, height)))
    return problems


def read_folder(folder):
    return {p.name: p.read_bytes() for p in sorted(Path(folder).iterdir())
            if p.is_file() and p.name != "README.txt"}


class Built:
    source = None
    zips = {}


class BuiltArchives(unittest.TestCase):
    """The archives of this build are sound."""

    def test_standard_skins(self):
        self.assertEqual(check_skins(read_folder(Built.source / "skin"), 1), [])

    def test_double_size_skins(self):
        self.assertEqual(check_skins(read_folder(Built.source / "skin_2x"), 2), [])

    def test_double_size_skins_double_every_measure(self):
        self.assertEqual(check_doubling(read_folder(Built.source / "skin"), read_folder(Built.source / "skin_2x")), [])

    def test_archives(self):
        for folder, scale in (("skin", 1), ("skin_2x", 2)):
            with self.subTest(folder=folder):
                self.assertEqual(check_archive(Built.zips[scale], read_folder(Built.source / folder), scale), [])


def edited(files, skin, old, new):
    text = files[skin].decode("utf-8")
    assert old in text, "%r not in %s" % (old, skin)
    files = dict(files)
    files[skin] = text.replace(old, new, 1).encode("utf-8")
    return files


def rezip(zip_bytes, change):
    """A copy of an archive with `change` (name, data) -> (name, data) or None."""
    out = io.BytesIO()
    with zipfile.ZipFile(io.BytesIO(zip_bytes)) as source, zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as target:
        for info in source.infolist():
            kept = change(info.filename, source.read(info))
            if kept:
                target.writestr(kept[0], kept[1])
    return out.getvalue()


class DamagedCopiesAreCaught(unittest.TestCase):
    """Each check fails on a copy with one typical fault."""

    def setUp(self):
        self.one = read_folder(Built.source / "skin")
        self.two = read_folder(Built.source / "skin_2x")

    def assertCaught(self, problems, word):
        self.assertTrue(any(word in p for p in problems), "not caught (%s): %s" % (word, problems))

    def test_measure_not_doubled(self):
        for skin, old, new, word in (("main.xml", 'height="420"', 'height="210"', "height"),
                                     ("install.xml", 'inset="100,100,100,0"', 'inset="100,50,100,0"', "inset"),
                                     ("progress.xml", 'borderround="10,10"', 'borderround="5,5"', "borderround"),
                                     ("main.xml", 'size="32" shared="true" default="true"',
                                      'size="16" shared="true" default="true"', "size")):
            with self.subTest(skin=skin, old=old):
                self.assertCaught(check_doubling(self.one, edited(self.two, skin, old, new)), word)

    def test_measure_doubled_that_must_stay(self):
        self.assertCaught(check_doubling(self.one, edited(self.two, "main.xml", "bordersize=&quot;1&quot;",
                                                          "bordersize=&quot;2&quot;")), "bordersize")
        self.assertCaught(check_doubling(self.one, edited(self.two, "main.xml", "corner='2,2,70,2'",
                                                          "corner='4,4,30,4'")), "corner")

    def test_non_measure_doubled(self):
        self.assertCaught(check_doubling(self.one, edited(self.two, "main.xml", 'font="2"', 'font="4"')), "font")
        self.assertCaught(check_doubling(self.one, edited(self.two, "progress.xml", 'max="100"', 'max="200"')), "max")

    def test_structure_differs(self):
        self.assertCaught(check_doubling(self.one, edited(self.two, "install.xml", '<Control width="36" />', "")),
                          "children")

    def test_named_control_missing_or_wrong(self):
        self.assertCaught(check_skins(edited(self.one, "main.xml", 'name="versionCombo"', 'name="versionBox"'), 1),
                          "versionCombo")
        self.assertCaught(check_skins(edited(self.one, "progress.xml", '<Label name="tip"', '<Text name="tip"'), 1),
                          "tip")

    def test_window_and_fonts(self):
        self.assertCaught(check_skins(edited(self.one, "progress.xml", 'caption="0,0,0,20"', 'caption="0,0,0,200"'), 1),
                          "caption")
        self.assertCaught(check_skins(edited(self.one, "install.xml", 'name="DIN" size="44"', 'name="DIN" size="40"'), 1),
                          "font 8")

    def test_default_list_malformed(self):
        for old, new in (('&quot; bordersize=', '&quot;  bordersize='), ("font=&quot;2&quot;", "font='2'")):
            with self.subTest(new=new):
                self.assertCaught(check_skins(edited(self.one, "main.xml", old, new), 1), "Default Combo")

    def test_markup_the_parser_refuses(self):
        self.assertCaught(check_skins(edited(self.one, "install.xml", 'height="320"', "height='320'"), 1), "parser")

    def test_archive_faults(self):
        base = Built.zips[1]
        narrow = struct.pack(">I", 799)
        cases = (
            # A faithful copy by another zip writer passes.
            (lambda n, d: (n, d), None),
            (lambda n, d: None if n == "close_button.png" else (n, d), "close_button.png is missing"),
            (lambda n, d: (n, d[:16] + narrow + d[20:]) if n == "表头模块.png" else (n, d), "799x210"),
            (lambda n, d: (n, b"GIF89a" + d[6:]) if n == "进度条按钮.png" else (n, d), "not a PNG"),
            (lambda n, d: (n, d.replace(b"combo3_ov.png", b"combo3_xx.png")) if n == "main.xml" else (n, d),
             "differs from its source"),
            (lambda n, d: ("skin/" + n, d) if n == "progress.xml" else (n, d), "progress.xml is missing"),
            (lambda n, d: (n, d.replace(b'width="360" height="60"', b'width="360" height="64"')) if n == "main.xml"
             else (n, d), "its control is 360x64"),
        )
        for change, word in cases:
            with self.subTest(word=word):
                problems = check_archive(rezip(base, change), self.one, 1)
                if word is None:
                    self.assertEqual(problems, [])
                else:
                    self.assertCaught(problems, word)
        stray = io.BytesIO(base)
        with zipfile.ZipFile(stray, "a") as z:
            z.writestr("stray.png", b"x")
        self.assertCaught(check_archive(stray.getvalue(), self.one, 1), "stray.png is in the archive")
        # The double-size archive does not pass for the standard one.
        self.assertCaught(check_archive(Built.zips[2], read_folder(Built.source / "skin_2x"), 1), "expected 800x210")

    def test_name_flag_cleared(self):
        data = bytearray(Built.zips[1])
        with zipfile.ZipFile(io.BytesIO(bytes(data))) as z:
            offset = z.getinfo("表头模块.png").header_offset + 6
        flags = struct.unpack_from("<H", data, offset)[0]
        struct.pack_into("<H", data, offset, flags & ~0x800)
        self.assertCaught(check_archive(bytes(data), self.one, 1), "bit 11")


def main():
    if len(sys.argv) != 4:
        sys.stderr.write(__doc__)
        return 2
    Built.source = Path(sys.argv[1])
    Built.zips = {1: Path(sys.argv[2]).read_bytes(), 2: Path(sys.argv[3]).read_bytes()}
    result = unittest.main(argv=[sys.argv[0], "-v"], exit=False).result
    return 0 if result.wasSuccessful() else 1


if __name__ == "__main__":
    sys.exit(main())
