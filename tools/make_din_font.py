#!/usr/bin/env python3
"""Makes the skins' "DIN" face from a free OpenType (CFF) font of Debian's.

Only the family name binds: the outlines are URW's Nimbus Sans Narrow
(fonts-urw-base35, AGPL with the font exception; the licence text is kept
in resources/DIN-Regular.LICENSE.txt).

The face keeps only the printable ASCII characters: the skins set it for
figures and Latin text, and the whole font would add 80 KB to every copy of
the program a user downloads.
"""
import sys

from fontTools import subset
from fontTools.ttLib import TTFont

FAMILY = "DIN"
STYLE = "Regular"


KEPT = range(0x20, 0x7F)


def main(source, out_path):
    font = TTFont(source)
    options = subset.Options()
    options.name_IDs = ["*"]
    options.name_languages = ["*"]
    options.notdef_outline = True
    options.layout_features = ["*"]
    subsetter = subset.Subsetter(options)
    subsetter.populate(unicodes=KEPT)
    subsetter.subset(font)
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
