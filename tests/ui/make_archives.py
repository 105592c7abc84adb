#!/usr/bin/env python3
"""Makes the archives the toolkit's tests read, with three real zip writers:
python's zipfile, cmake's "-E tar --format=zip" and Info-ZIP's zip.

usage: make_archives.py DATA_DIR OUT_DIR CMAKE [--small]

--small leaves out the entries at the 4 MiB limit, for fuzzing seeds.
"""
import os
import shutil
import subprocess
import sys
import zipfile

data_dir, out_dir, cmake = sys.argv[1:4]
small = "--small" in sys.argv[4:]
LIMIT = 4 * 1024 * 1024


def sized_markup(size):
    head, tail = b"<Window>", b"</Window>"
    return head + b" " * (size - len(head) - len(tail)) + tail


def png_like(seed):
    # Not decoded by these tests: distinct bytes that compress a little.
    return b"\x89PNG\r\n\x1a\n" + bytes((i * seed) & 0xFF for i in range(3000))


ENTRIES = [
    ("window.xml", open(os.path.join(data_dir, "window.xml"), "rb").read()),
    ("progress.xml", open(os.path.join(data_dir, "progress.xml"), "rb").read()),
    ("images/close.png", png_like(7)),
    ("图片/关闭按钮.png", png_like(13)),
    ("big_limit.xml", sized_markup(LIMIT)),
    ("big_over.xml", sized_markup(LIMIT + 1)),
    ("empty.xml", b""),
]
if small:
    ENTRIES = [entry for entry in ENTRIES if not entry[0].startswith("big_")]

os.makedirs(out_dir, exist_ok=True)
stage = os.path.join(out_dir, "stage")
shutil.rmtree(stage, ignore_errors=True)
for name, payload in ENTRIES:
    path = os.path.join(stage, name)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(payload)
names = [name for name, _ in ENTRIES]


def out(name):
    path = os.path.join(out_dir, name)
    if os.path.exists(path):
        os.remove(path)
    return path


for kind, method in (("deflated", zipfile.ZIP_DEFLATED), ("stored", zipfile.ZIP_STORED)):
    with zipfile.ZipFile(out("python_%s.zip" % kind), "w", method) as z:
        for name, payload in ENTRIES:
            z.writestr(name, payload)

# A self-extracting stub before the archive: stored offsets are off by its length.
with open(os.path.join(out_dir, "python_deflated.zip"), "rb") as f:
    archive = f.read()
with open(out("python_stub.zip"), "wb") as f:
    f.write(b"MZ" + bytes(range(256)) * 16 + archive)

subprocess.run([cmake, "-E", "tar", "cf", out("cmake_tar.zip"), "--format=zip"] + names,
               cwd=stage, check=True)

env = dict(os.environ, LC_ALL="C.UTF-8")
subprocess.run(["zip", "-q", "-X", out("infozip.zip")] + names, cwd=stage, check=True, env=env)
subprocess.run(["zip", "-q", "-X", "-0", out("infozip_stored.zip")] + names, cwd=stage, check=True, env=env)
# Written to a pipe, Info-ZIP cannot seek back and uses data descriptors.
streamed = subprocess.run(["zip", "-q", "-X", "-"] + names, cwd=stage, check=True, env=env,
                          stdout=subprocess.PIPE).stdout
with open(out("infozip_stream.zip"), "wb") as f:
    f.write(streamed)

# A name in a single-byte code page, stored as raw bytes without bit 11: the
# reader must take it in the ANSI code page, not as UTF-8.
ansi_stage = os.path.join(out_dir, "stage_ansi")
shutil.rmtree(ansi_stage, ignore_errors=True)
os.makedirs(ansi_stage)
with open(os.path.join(ansi_stage.encode(), b"caf\xe9.png"), "wb") as f:
    f.write(png_like(5))
subprocess.run([b"zip", b"-q", b"-X", out("infozip_ansi.zip").encode(), b"caf\xe9.png"], cwd=ansi_stage,
               check=True, env=dict(os.environ, LC_ALL="C"))

shutil.rmtree(stage)
shutil.rmtree(ansi_stage)
