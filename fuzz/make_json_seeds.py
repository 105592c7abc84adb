#!/usr/bin/env python3
"""Writes the seeds of the document fuzzers: the product's UI settings, the
configuration file, data.json and service replies as the program meets them,
and served file names in UTF-16LE. Usage: make_json_seeds.py ui_setting.json OUT"""
import json
import os
import sys

settings_file, out = sys.argv[1], sys.argv[2]


def write(kind, name, data):
    folder = os.path.join(out, kind)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data if isinstance(data, bytes) else data.encode("utf-8"))


with open(settings_file, "rb") as f:
    write("ui_setting", "product", f.read())
write("ui_setting", "scalars", '{"其它": {"总是下载最新安装包": 1, "APPID": "{x}"}, "链接": {"接口地址": "h"}}')

for index, text in enumerate([
        '{"log_level": 1, "load_resource_from_zip": false}',
        '{"log_level": 3}',
        '// comment\n{"log_level": 1}',
        '{"load_resource_from_zip": 0, "extra": [1, {"a": null}]}',
        '{"log_level": 2.9, "load_resource_from_zip": "yes"}']):
    write("configs", "seed%02d" % index, text)

data = {"device_id": "001a2b3c4d5e", "install_file_path": "C:\\users\\u\\Temp\\setup 1.exe",
        "software_version": "晴川看图 3.2 正式版"}
write("data", "writer", json.dumps(data, indent="\t", ensure_ascii=True).replace("\n", "\r\n"))
write("data", "guid", '{"device_id": "0A1B2C3D-0000-4000-8000-00000000ABCD"}')
write("data", "odd", '{"device_id": "a\\r\\nb", "install_file_path": {}, "software_version": [1]}')

info = {"filename": "sample_installer.exe", "fileurl": "https://localhost/files/sample_installer.exe"}
for index, reply in enumerate([
        {"error": 0, "msg": "", "data": info},
        {"error": 1, "msg": "version not found", "data": {}},
        {"error": 0, "msg": "", "data": {"filename": "..\\evil.exe", "fileurl": "u"}},
        {"error": 0, "data": info},
        [{"error": 0, "msg": "", "data": info}]]):
    write("reply", "seed%02d" % index, json.dumps(reply, ensure_ascii=False))

# Nested just short of the reader's limit of 1000 levels, so that a few
# mutations reach past it (where the reader throws).
deep = '{"x": ' + "[" * 999 + "]" * 999 + "}"
for kind in ("ui_setting", "configs", "data", "reply"):
    write(kind, "deep", deep)

for index, name in enumerate(["sample_installer.exe", "晴川看图 3.2.exe", "COM0.exe", "con.exe",
                              "setup.exe.", "a\u0085b.exe", "CONIN$", "..\\x.exe"]):
    write("file_name", "seed%02d" % index, name.encode("utf-16-le"))

# The JSON reader and writer against jsoncpp's: each oddity the two must
# agree on, and the documents above.
for index, text in enumerate([
        '\ufeff{"a": [1, -2, 3.5, -0.0, 1e308, 1e-320, 18446744073709551615, -9223372036854775808]}',
        '[18446744073709551616, -9223372036854775809, 0123, +5, -, 1., 1.e5, 1e, 1e+, -I]',
        '{"a": 1, // line\n "b": /* block */ 2, "a": {"x": null},}',
        '{"a": 1 /**/ "skipped" "b": 2}',
        b'["\\u00e9\\u4e2d\\ud83d\\ude00\\udc00\\ud800x", "\\/\\b\\f\\n\\r\\t\\"", "raw\x01\x7f\xff\xc3\x28"]',
        '[1, 2,] trailing garbage',
        '[1 /*/',
        '{"k\\u0000ey": "nul\\u0000", "": true, "z": false}',
        '[[], {}, [{}], {"a": []}]']):
    write("json", "seed%02d" % index, text)
for kind in ("ui_setting", "configs", "data", "reply"):
    for name in os.listdir(os.path.join(out, kind)):
        with open(os.path.join(out, kind, name), "rb") as f:
            write("json", kind + "_" + name, f.read())
