#!/usr/bin/env python3
"""Makes the skins' "DIN" face from a free OpenType (CFF) font of Debian's.

Only the family name binds: the outlines are URW's Nimbus Sans Narrow
(fonts-urw-base35, AGPL with the font exception; the licence text is kept
in resources/DIN-Regular.LICENSE.txt).
"""
import sys

from fontTools.ttLib import TTFont

FAMILY = "DIN"
STYLE = "Regular"


def main(source, out_path):
    font = TTFont(source)
    names = font["name"]
    for record in list(names.names):
        if record.nameID in (16, 17, 21, 22):
            names.removeNames(nameID=record.nameID)
    for platform, encoding, language in ((3, 1, 0x409), (1, 0, 0)):
        names.setName(FAMILY, 1, platform, encoding, language)
        names.setName(STYLE, 2, platform, encoding, language)
        names.setName(FAMILY + " " + STYLE, 4, platform, encoding, language)
        names.setName(FAMILY + "-" + STYLE, 6, platform, encoding, language)
    if "CFF " in font:
        cff = font["CFF "].cff
        cff.fontNames = [FAMILY + "-" + STYLE]
        top = cff.topDictIndex[0]
        top.FamilyName = FAMILY
        top.FullName = FAMILY + " " + STYLE
    font.save(out_path)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
