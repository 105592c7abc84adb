#!/usr/bin/env python3
"""Writes the seeds of the value fuzzer: attribute values as the skins write them, in UTF-16LE."""
import os
import sys

SEEDS = [
    "file='close_button.png'",
    "file='combo3_nr.png' corner='2,2,15,2'",
    "file='a.png' source='0,0,20,20' dest='1,1,19,19' fade='128' hole='true' xtiled='true'",
    "file='a.png'  dest='0,0,10,10'",
    "#FFF2F2F2",
    " #ffe5e5e5",
    "761,19,0,0",
    "0.5,0.25,1,0",
    "true",
]

folder = sys.argv[1]
os.makedirs(folder, exist_ok=True)
for index, text in enumerate(SEEDS):
    with open(os.path.join(folder, "seed%02d" % index), "wb") as f:
        f.write(text.encode("utf-16-le"))
