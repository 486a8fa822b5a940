#!/usr/bin/python3
"""Makes the chart's print font from the system's Noto Sans Mono CJK SC.

Qt's PDF writer gives each glyph of an embedded font one character for the
PDF's text layer, the lowest code point the font maps to that glyph. Noto
CJK draws many ideographs and their look-alike radicals (八 U+516B and
⼋ U+2F0B, 日 and ⽇, 子 and ⼦) with one glyph, so a PDF's text would copy
and search as radicals. This font is that face with every code point
dropped that shares its glyph with a CJK ideograph above it, without the
ligatures that turn characters into another character's glyph (——— would
come out as the three-em dash ⸻, two characters lost), and renamed
"Paipan Mono SC" so that it never stands in for the system's own face.
The outlines are copied untouched.

usage: make-print-font.py SOURCE.ttc OUTPUT.otf
"""
import sys

from fontTools.ttLib import TTCollection, TTFont

FACE = "Noto Sans Mono CJK SC"
FAMILY = "Paipan Mono SC"


def is_ideograph(cp):
    return 0x3400 <= cp <= 0x4DBF or 0x4E00 <= cp <= 0x9FFF or 0x20000 <= cp <= 0x3FFFF


def face_number(path):
    for number, font in enumerate(TTCollection(path, lazy=True).fonts):
        if font["name"].getDebugName(4) == FACE:
            return number
    sys.exit(f"make-print-font: no face {FACE!r} in {path}")


def main(source, output):
    font = TTFont(source, fontNumber=face_number(source), lazy=True)
    # Glyphs by number: reading the outlines' own glyph names would make the
    # outline table be rebuilt on saving, which takes half a minute.
    font.setGlyphOrder([f"g{n}" for n in range(font["maxp"].numGlyphs)])
    best = font.getBestCmap()
    owner = {}
    for cp in sorted(best):
        if is_ideograph(cp):
            owner.setdefault(best[cp], cp)
    dropped = {cp for cp, glyph in best.items()
               if not is_ideograph(cp) and glyph in owner and cp < owner[glyph]}
    for table in font["cmap"].tables:
        for cp in [cp for cp in table.cmap if cp in dropped]:
            del table.cmap[cp]
    encoded = set(best.values())
    for lookup in font["GSUB"].table.LookupList.Lookup:
        for table in lookup.SubTable:
            table = getattr(table, "ExtSubTable", table)
            for first, ligatures in getattr(table, "ligatures", {}).items():
                ligatures[:] = [l for l in ligatures if l.LigGlyph not in encoded]
    for record in font["name"].names:
        if record.nameID in (1, 3, 4, 6, 16):
            text = record.toUnicode()
            record.string = text.replace(FACE, FAMILY).replace("NotoSansMonoCJKsc", "PaipanMonoSC")
    font.save(output)
    print(f"make-print-font: {output}: {len(dropped)} look-alike code points dropped")


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2])
