#!/usr/bin/env python3
"""The product lint against one broken copy of the sample product per rule.

    test_product_lint.py LINT SOURCE_ROOT

Each case copies products/qingchuan, changes one thing and expects the lint
to fail with a message naming the file, the line and the key or attribute
at fault; the line is found in the changed file, not written down here. The
sample folders themselves must lint clean, and every control that the
windows' code looks up or reacts to by name is one the lint insists on.
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile

LINT, ROOT = sys.argv[1], sys.argv[2]
PRODUCTS = os.path.join(ROOT, "products")
SAMPLE = os.path.join(PRODUCTS, "qingchuan")


def run(folder):
    done = subprocess.run([LINT, folder], capture_output=True, text=True, timeout=60)
    findings = []
    for line in done.stdout.splitlines():
        match = re.match(r"^(.*?):(\d+): (.*?): (.*)$", line)
        assert match, "not FILE:LINE: key: message: %r" % line
        path, number, key, message = match.groups()
        findings.append((os.path.relpath(path, folder), int(number), key, message))
    return done.returncode, findings, done.stdout + done.stderr


def read(path):
    with open(path, encoding="utf-8") as f:
        return f.read()


def write(path, text):
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)


def line_of(path, needle, after=0):
    """1-based number of the first line holding needle (after line `after`)."""
    for number, line in enumerate(read(path).splitlines(), 1):
        if number > after and needle in line:
            return number
    raise AssertionError("%s: no line with %r" % (path, needle))


def replace(folder, name, old, new):
    path = os.path.join(folder, name)
    text = read(path)
    assert old in text, "%s: no %r" % (name, old)
    write(path, text.replace(old, new, 1))


# Each case: what it breaks, a function that breaks a copy and returns the
# expected (file, line, key, part of the message).
def missing_picture(f):
    replace(f, "skin/main.xml", "首页按钮.png", "no_such_picture.png")
    return "skin/main.xml", line_of(f + "/skin/main.xml", "no_such_picture.png"), "bkimage", "is not in skin/"


def broken_picture(f):
    path = f + "/skin/close_button.png"
    data = open(path, "rb").read()
    open(path, "wb").write(data[:len(data) // 2])
    return "skin/main.xml", line_of(f + "/skin/main.xml", "close_button.png"), "bkimage", "does not decode"


def picture_of_wrong_size(f):
    shutil.copy(f + "/skin/进度条按钮.png", f + "/skin_2x/进度条按钮.png")
    return ("skin_2x/progress.xml", line_of(f + "/skin_2x/progress.xml", "进度条按钮.png"), "bkimage",
            "is 240x50; the button of the progress window shows it at 480x100")


def download_switch(f):
    replace(f, "ui_setting.json", '"总是下载最新安装包" : "0"', '"总是下载最新安装包" : "yes"')
    return ("ui_setting.json", line_of(f + "/ui_setting.json", "总是下载最新安装包"), "其它/总是下载最新安装包",
            'must be "0" or "1"')


def first_version_missing(f):
    replace(f, "ui_setting.json", '"版本1"', '"版本01"')
    return "ui_setting.json", line_of(f + "/ui_setting.json", '"文本"'), "文本/版本1", "missing"


def link_not_url(f):
    replace(f, "ui_setting.json", '"https://localhost/guide/usage.html"', '"localhost/guide/usage.html"')
    return "ui_setting.json", line_of(f + "/ui_setting.json", '"使用教程"'), "链接/使用教程", "is not a URL"


def host_with_scheme(f):
    replace(f, "ui_setting.json", '"接口地址" : "localhost"', '"接口地址" : "https://localhost"')
    return "ui_setting.json", line_of(f + "/ui_setting.json", '"接口地址"'), "链接/接口地址", "host name"


def json_syntax(f):
    # Without the comma the reader stops at the next key.
    replace(f, "ui_setting.json", '"位置" : "C:\\\\Program Files\\\\QingChuan Viewer",',
            '"位置" : "C:\\\\Program Files\\\\QingChuan Viewer"')
    return "ui_setting.json", line_of(f + "/ui_setting.json", '"位置"') + 1, "json", "Missing ','"


def markup_syntax(f):
    replace(f, "skin/install.xml", "</HorizontalLayout>", "</HorizontalLayoutX>")
    return "skin/install.xml", line_of(f + "/skin/install.xml", "</HorizontalLayoutX>"), "markup", \
        "Unmatched closing tag"


def control_missing(f):
    replace(f, "skin/main.xml", 'name="versionCombo"', 'name="versionChoice"')
    return "skin/main.xml", line_of(f + "/skin/main.xml", "<Window"), "name", \
        'no control named "versionCombo"; the product window looks for a Combo'


def control_of_wrong_class(f):
    replace(f, "skin/progress.xml", '<Progress name="progress"', '<Label name="progress"')
    return "skin/progress.xml", line_of(f + "/skin/progress.xml", 'name="progress"'), "name", \
        '"progress" is a Label; the progress window looks for a Progress'


def measure_not_doubled(f):
    replace(f, "skin_2x/main.xml", 'name="versionCombo" width="720"', 'name="versionCombo" width="721"')
    return "skin_2x/main.xml", line_of(f + "/skin_2x/main.xml", 'width="721"'), "width", \
        'is "721", expected "720" (twice the measures of skin/main.xml:'


def combo_border_doubled(f):
    # The combo's default border stays one pixel wide at 2x.
    replace(f, "skin_2x/main.xml", "bordersize=&quot;1&quot;", "bordersize=&quot;2&quot;")
    return "skin_2x/main.xml", line_of(f + "/skin_2x/main.xml", "<Default"), "value/bordersize", \
        'is "2", expected "1"'


def attribute_list_broken(f):
    replace(f, "skin/main.xml", "&quot; hotimage=", "&quot;  hotimage=")
    return "skin/main.xml", line_of(f + "/skin/main.xml", "<Default"), "value", \
        "which is no attribute name"


def root_not_window(f):
    replace(f, "skin/progress.xml", "<Window ", "<Dialog ")
    replace(f, "skin/progress.xml", "</Window>", "</Dialog>")
    return "skin/progress.xml", line_of(f + "/skin/progress.xml", "<Dialog"), "markup", \
        "the root element is Dialog"


def icon_not_square(f):
    shutil.copy(f + "/skin/首页按钮.png", f + "/icon/wide.png")
    return "icon/wide.png", 0, "picture", "an icon picture is square"


def two_fonts(f):
    shutil.copy(f + "/font/DIN-Regular.otf", f + "/font/Second.otf")
    return "font", 0, "font", "exactly one .otf or .ttf file (it holds 2)"


def appid_not_guid(f):
    replace(f, "ui_setting.json", '"{2B0D8A13-D844-42EF-8AA8-FC97F0449A28}"', '"2B0D8A13-D844-42EF-8AA8-FC97F0449A28"')
    return "ui_setting.json", line_of(f + "/ui_setting.json", '"APPID"'), "其它/APPID", "is not a GUID in braces"


def shortcut_without_extension(f):
    replace(f, "ui_setting.json", "晴川看图安装助手.lnk", "晴川看图安装助手")
    return "ui_setting.json", line_of(f + "/ui_setting.json", "快捷方式名字"), "其它/快捷方式名字", 'end with ".lnk"'


def product_id_not_lower_case(f):
    replace(f, "ui_setting.json", '"sample.viewer"', '"Sample Viewer"')
    return "ui_setting.json", line_of(f + "/ui_setting.json", "产品标识"), "其它/产品标识", "dotted lower-case name"


def empty_description(f):
    text = read(f + "/ui_setting.json")
    write(f + "/ui_setting.json", re.sub(r'"软件介绍" : "[^"]*"', '"软件介绍" : ""', text))
    return "ui_setting.json", line_of(f + "/ui_setting.json", "软件介绍"), "文本/软件介绍", "is empty"


def element_missing_at_2x(f):
    text = read(f + "/skin_2x/progress.xml")
    write(f + "/skin_2x/progress.xml", re.sub(r"\n *<Progress [^\n]*", "", text, count=1))
    return "skin_2x/progress.xml", line_of(f + "/skin_2x/progress.xml", "<VerticalLayout"), "VerticalLayout", \
        "lacks the element Progress of skin/progress.xml:"


def default_picture_missing(f):
    replace(f, "skin_2x/main.xml", "combo3_nr.png", "combo3_normal.png")
    replace(f, "skin/main.xml", "combo3_nr.png", "combo3_normal.png")
    return "skin_2x/main.xml", line_of(f + "/skin_2x/main.xml", "<Default"), "value/normalimage", \
        'picture "combo3_normal.png" is not in skin_2x/'


CASES = [missing_picture, broken_picture, picture_of_wrong_size, download_switch, first_version_missing,
         link_not_url, host_with_scheme, json_syntax, markup_syntax, control_missing, control_of_wrong_class,
         measure_not_doubled, combo_border_doubled, attribute_list_broken, root_not_window, icon_not_square,
         two_fonts, appid_not_guid, shortcut_without_extension, product_id_not_lower_case, empty_description,
         element_missing_at_2x, default_picture_missing]


# Things the program copes with but a vendor should hear of: warnings, which
# leave the exit code 0.
def version_gap(f):
    replace(f, "ui_setting.json", '"版本3"', '"版本5"')
    return "ui_setting.json", line_of(f + "/ui_setting.json", '"版本5"'), "文本/版本5", "never read"


def unknown_element(f):
    replace(f, "skin/progress.xml", "<Control />", "<Spacer />")
    replace(f, "skin_2x/progress.xml", "<Control />", "<Spacer />")
    return "skin/progress.xml", line_of(f + "/skin/progress.xml", "<Spacer"), "Spacer", "unknown element"


WARNINGS = [version_gap, unknown_element]


def combo_corners_free(f):
    """The combo frames' corners are the designer's at 2x: no finding."""
    replace(f, "skin_2x/main.xml", "corner='2,2,70,2'", "corner='4,4,30,4'")


# The windows' code and the skin each reads.
WINDOW_SKINS = {"MainWindow.cpp": "main.xml", "InstallWindow.cpp": "install.xml",
                "ProgressdWindow.cpp": "progress.xml"}


def names_in_code():
    """(source, skin, control name, interface or None) of every lookup and
    every click handled by name in the windows' code."""
    found = []
    for source, skin in sorted(WINDOW_SKINS.items()):
        code = read(os.path.join(ROOT, "app", source))
        names = {}
        for name, interface in re.findall(r'FindControlAs<\w+>\(m_manager, L"(\w+)", L"(\w+)"\)', code):
            names[name] = interface
        for pattern in (r'FindControlByName\(L"(\w+)"\)', r'name == L"(\w+)"', r'GetName\(\) != L"(\w+)"'):
            for name in re.findall(pattern, code):
                names.setdefault(name, None)
        assert names, "no control names found in app/" + source
        found += [(source, skin, name, interface) for name, interface in sorted(names.items())]
    return found


def main():
    failures = []
    # 1. The sample folders are clean: no error and no warning.
    for name in sorted(os.listdir(PRODUCTS)):
        folder = os.path.join(PRODUCTS, name)
        if not os.path.isfile(os.path.join(folder, "ui_setting.json")):
            continue
        code, findings, output = run(folder)
        if code != 0 or findings:
            failures.append("%s does not lint clean:\n%s" % (name, output))
        else:
            print("clean: %s" % name)
    # 2. One broken copy per rule.
    with tempfile.TemporaryDirectory() as work:
        for case in CASES + WARNINGS + [combo_corners_free]:
            folder = os.path.join(work, case.__name__)
            shutil.copytree(SAMPLE, folder)
            expected = case(folder)
            code, findings, output = run(folder)
            if expected is None:
                if code != 0 or findings:
                    failures.append("%s: expected no finding, got:\n%s" % (case.__name__, output))
                continue
            file, line, key, part = expected
            hits = [x for x in findings if x[0] == file and x[1] == line and x[2] == key and part in x[3]]
            if code != (0 if case in WARNINGS else 1) or not hits:
                failures.append("%s: expected %s:%d: %s: ...%s...; got exit %d:\n%s"
                                % (case.__name__, file, line, key, part, code, output))
            else:
                print("found: %s -> %s:%d: %s: %s" % (case.__name__, file, line, key, hits[0][3]))
    # 3. Each name the windows' code uses, taken out of its skin, is missed.
    with tempfile.TemporaryDirectory() as work:
        for source, skin, name, interface in names_in_code():
            folder = os.path.join(work, name)
            shutil.rmtree(folder, ignore_errors=True)
            shutil.copytree(SAMPLE, folder)
            replace(folder, "skin/" + skin, 'name="%s"' % name, 'name="%sGone"' % name)
            code, findings, output = run(folder)
            want = 'no control named "%s"' % name
            hits = [x for x in findings if x[0] == "skin/" + skin and x[2] == "name" and want in x[3]
                    and (interface is None or "looks for a %s " % interface in x[3])]
            if code != (0 if case in WARNINGS else 1) or not hits:
                failures.append("%s looks for %s (%s) in %s; the lint did not miss it:\n%s"
                                % (source, name, interface, skin, output))
            else:
                print("missed: %s from %s" % (name, skin))
    # 4. Wrong usage is told apart from findings.
    if subprocess.run([LINT], capture_output=True).returncode != 2:
        failures.append("no folder given: exit code is not 2")
    for failure in failures:
        print("FAIL " + failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
