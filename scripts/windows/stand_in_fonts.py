#!/usr/bin/python3
"""Writes Debian's Liberation fonts under the names Windows gives Arial and Courier New.

    stand_in_fonts.py FOLDER

Liberation Sans and Liberation Mono have the metrics of Arial and Courier New. Named as those,
they are found both by Wine's own font lookup and by Qt's offscreen platform, which reads the
fonts of a folder (QT_QPA_FONTDIR) by the family names inside them and knows no aliases: the
screens of the Windows build then measure text as on a Windows PC.
"""
import os
import sys

from fontTools.ttLib import TTFont

LIBERATION = "/usr/share/fonts/truetype/liberation"
# file written: (Liberation file, family, style)
FACES = {
    "arial.ttf": ("LiberationSans-Regular.ttf", "Arial", "Regular"),
    "arialbd.ttf": ("LiberationSans-Bold.ttf", "Arial", "Bold"),
    "ariali.ttf": ("LiberationSans-Italic.ttf", "Arial", "Italic"),
    "arialbi.ttf": ("LiberationSans-BoldItalic.ttf", "Arial", "Bold Italic"),
    "cour.ttf": ("LiberationMono-Regular.ttf", "Courier New", "Regular"),
    "courbd.ttf": ("LiberationMono-Bold.ttf", "Courier New", "Bold"),
    "couri.ttf": ("LiberationMono-Italic.ttf", "Courier New", "Italic"),
    "courbi.ttf": ("LiberationMono-BoldItalic.ttf", "Courier New", "Bold Italic"),
}


def main():
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    for written, (source, family, style) in FACES.items():
        font = TTFont(os.path.join(LIBERATION, source))
        names = font["name"]
        full = family if style == "Regular" else f"{family} {style}"
        postscript = (family + "-" + style).replace(" ", "")
        # Family, full name and PostScript name; the typographic family names go, so the
        # family above is the one every reader sees.
        for record in list(names.names):
            if record.nameID in (16, 17, 21, 22):
                names.names.remove(record)
        names.setName(family, 1, 3, 1, 0x409)
        names.setName(style, 2, 3, 1, 0x409)
        names.setName(full, 4, 3, 1, 0x409)
        names.setName(postscript, 6, 3, 1, 0x409)
        for record in names.names:
            if record.nameID == 1:
                record.string = family
            elif record.nameID == 4:
                record.string = full
            elif record.nameID == 6:
                record.string = postscript
        font.save(os.path.join(folder, written))


if __name__ == "__main__":
    main()
