#!/usr/bin/env python3
"""Writes the text scripts of this folder (text_*.ops) and records what the
reference renderer makes of them (text_*.expected).

    python3 text_scripts.py            writes the scripts
    python3 text_scripts.py --record   writes them and records the expected
                                       outputs with ../shared/tools/gdi-oracle
                                       (seen from the repository root)

An expected file holds what the script prints, then for every dump one line
"dump PATH W H BPP" followed by one digest per pixel row: FNV-1a (64 bits) of
the row exactly as the dump writes it ("RRGGBB RRGGBB ..."). The canvas tests
replay the scripts and compare their own output and row digests; a failing
row is shown as our pixels, and the reference's can be looked at by running
the script through the renderer.
"""
import os
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", "..", ".."))
RENDERER = os.path.join(ROOT, "..", "shared", "tools", "gdi-oracle", "run.sh")

STYLES = ((400, 0), (700, 0), (400, 1), (700, 1))  # weight, italic
# 8, 9, 10, 11, 12, 14, 16, 18, 20 and 24 points at 96 pixels per inch.
CHART_HEIGHTS = (-11, -12, -13, -15, -16, -19, -21, -24, -27, -32)
ASCII = "".join(chr(c) for c in range(32, 127))
LATIN = "ÄÖÜäöüßéèêçñ€£¥°±µ×÷–—…“”‘’•©®™§¶½¼¾¿¡"
SAMPLE = "Quick fox: 0123456789 -1,234.5% ÄÖÜ ßéñ€ @&?gjpqy|[]{}"


def esc(s):
    out = []
    for ch in s:
        if ch in '"\\':
            out.append("\\" + ch)
        elif ch == "\n":
            out.append("\\n")
        elif ch == "\r":
            out.append("\\r")
        elif ch == "\t":
            out.append("\\t")
        elif ord(ch) < 32:
            out.append("\\u%04X" % ord(ch))
        else:
            out.append(ch)
    return '"' + "".join(out) + '"'


def font(height, weight=400, italic=0, underline=0, strike=0, escapement=0, face="Arial"):
    return f"font {face} {height} {weight} {italic} {underline} {strike} {escapement}"


def metrics_script():
    s = ["# Metrics and extents: every printable ASCII character and a set of",
         "# Latin-1 characters alone at the chart sizes in four styles; metrics",
         "# and sample extents at other heights; blocks of lines.",
         "bitmap 8 8 24"]
    for h in CHART_HEIGHTS:
        for w, it in STYLES:
            s += [font(h, w, it), "metrics"]
            s += [f"extent {esc(c)}" for c in ASCII + LATIN]
            s += [f"extent {esc(t)}" for t in ("Apples", "0123456789", SAMPLE, "")]
    for h in list(range(-1, -11, -1)) + [-40, -48, -60, -72, -100, -200, -1000, -65535]:
        for w, it in STYLES:
            s += [font(h, w, it), "metrics", 'extent "Apples"', 'extent "0123456789Wg"']
    # Positive heights ask for a cell height, 0 for the default one.
    for h in list(range(0, 41)) + [52, 60]:
        s += [font(h), "metrics", 'extent "Apples"']
    for e in (900, 450, 2700, 1):
        s += [font(-13, 700, 0, 0, 0, e), "metrics", 'extent "Apples and pears"']
    s.append(font(-11))
    for t in ("Apples\nPears and plums\n0123456789", "a\n", "a\n\n", "\n", "", "a\r\nb",
              "a\rb", "a\n\rb", "a\r\rb", "a\tb", "  "):
        s.append(f"measuretext 10 20 15 25 {esc(t)}")
    return s


def cells_script():
    s = ["# Text cells on a 4-bit bitmap: the nine alignments (a red pixel marks",
         "# each reference point), opaque and transparent backgrounds, styles,",
         "# and colours missing from the palette (E00000 is drawn as red, B0B0B0",
         "# as light grey).",
         "bitmap 160 92 4 FFFFFF 000000 FF0000 FFFF00 0000FF D0D0D0",
         font(-11), "textcolor 000000", "bkcolor FFFF00"]
    for row, v in enumerate(("top", "baseline", "bottom")):
        for col, hz in enumerate(("left", "center", "right")):
            s += [f"textalign {hz} {v}", f'text {(4, 80, 156)[col]} {(4, 30, 56)[row]} "Apples"']
    for row in (4, 30, 56):
        s += [f"setpixel {x} {row} FF0000" for x in (4, 80, 156)]
    s += ["textalign left top", "bkmode transparent", 'text 4 62 "Transparent"',
          "bkmode opaque", "textcolor E00000", "bkcolor B0B0B0", 'text 84 62 "Opaque wWmM"',
          "textcolor 000000", "bkcolor FFFF00",
          font(-11, 700), 'text 4 76 "Bold"', font(-11, 400, 1), 'text 34 76 "Italic"',
          font(-11, 400, 0, 1), 'text 66 76 "Under"', font(-11, 400, 0, 0, 1),
          'text 100 76 "Strike"', font(-11, 700, 1, 1, 1), 'text 134 76 "All"',
          "dump text_cells"]
    return s


def sizes_script():
    s = ["# A sample line at every chart size in four styles, opaque and",
         "# transparent by turns; lines start left of the bitmap.",
         "bitmap 700 960 8 FFFFFF 000000 FF0000 00FF00 0000FF",
         "textcolor 000000", "bkcolor 00FF00"]
    y = 0
    for h in CHART_HEIGHTS:
        for i, (w, it) in enumerate(STYLES):
            s += [font(h, w, it), "bkmode " + ("opaque" if i % 2 else "transparent"),
                  f"text {-3 + i} {y} {esc(SAMPLE)}"]
            y += -h + 2 + -h // 6
    s += ["dump text_sizes"]
    return s


def glyphs_script():
    s = ["# Every printable ASCII and some Latin-1 characters, in lines, at small,",
         "# chart and large sizes; glyphs overhanging their cells are cut to the",
         "# cell's rows.",
         "bitmap 900 900 8 FFFFFF 000000 FF0000",
         "textcolor 000000", "bkcolor FF0000", "textalign left top"]
    y = 0
    text = ASCII[1:] + LATIN
    for h, w, it in ((-5, 400, 0), (-6, 400, 0), (-7, 700, 0), (-8, 400, 1), (-9, 400, 0),
                     (-10, 700, 1), (-11, 400, 0), (-11, 700, 0), (-16, 400, 1), (-21, 700, 1),
                     (-32, 400, 0), (-48, 700, 0), (-100, 400, 0), (-150, 700, 1)):
        per = max(8, int(900 / (-h * 0.62)))
        s += [font(h, w, it), "bkmode " + ("opaque" if h % 2 else "transparent")]
        for k in range(0, len(text), per):
            if y > 900:
                break
            s.append(f"text 2 {y} {esc(text[k:k + per])}")
            y += int(-h * 1.15) + 1
    s += ["dump text_glyphs"]
    return s


def turned_script():
    s = ["# Turned text (transparent: the background of turned text is our own,",
         "# see the canvas tests) with underline and strike-out, in several",
         "# alignments and directions.",
         "bitmap 400 400 8 FFFFFF 000000 FF0000",
         "textcolor 000000", "bkmode transparent"]
    cases = [(-13, 400, 0, 900, "left top", 20, 380), (-13, 700, 1, 900, "left bottom", 60, 380),
             (-16, 400, 0, 900, "center baseline", 100, 200), (-11, 400, 0, 900, "right top", 140, 20),
             (-13, 400, 1, 2700, "left top", 180, 20), (-21, 700, 0, 1800, "left top", 390, 40),
             (-13, 400, 0, 450, "left top", 100, 380), (-16, 700, 0, 450, "right bottom", 390, 200),
             (-13, 400, 0, 300, "left baseline", 100, 300), (-13, 400, 1, 1350, "center baseline", 200, 200),
             (-11, 700, 0, 3150, "left top", 20, 20), (-13, 400, 0, 100, "left top", 120, 120),
             (-13, 400, 0, 10, "left top", 20, 210)]
    for i, (h, w, it, e, align, x, y) in enumerate(cases):
        s += [font(h, w, it, i % 2, (i // 2) % 2, e), f"textalign {align}",
              f'text {x} {y} "Turned |gyp {e} TfvW"']
    s += ["dump text_turned"]
    return s


def blocks_script():
    s = ["# Blocks of lines (lines break at CR, LF, CR LF and LF CR; the text",
         "# alignment applies to each line), control characters and characters",
         "# no installed face has, and text cut by the bitmap's edges; 24 bits.",
         "bitmap 300 200 24",
         font(-13), "textcolor E00000", "bkcolor B0B0B0",
         'drawtext 4 4 150 100 "First line\\nSecond, longer line\\r\\n\\n0123456789\\rlast"',
         'measuretext 4 4 150 100 "First line\\nSecond, longer line\\r\\n\\n0123456789\\rlast"',
         "textalign center baseline", 'drawtext 200 4 210 10 "A\\nBB\\nCCC"',
         "textalign right bottom", "bkmode transparent", 'drawtext 290 100 300 110 "right\\nbottom"',
         "textalign left top", font(-16, 700), 'text 4 120 "\\uE000\\uE001\\u0001\\t€\\u0378x"',
         font(-16, 400, 1, 1, 1), "textcolor 909090", "bkmode opaque",
         'text -5 150 "Cut at the left and the right edge of the bitmap, yes"',
         'text 100 190 "Bottom edge"', 'text 100 -8 "Top edge"',
         "dump text_blocks"]
    return s


SCRIPTS = {
    "text_metrics": metrics_script,
    "text_cells": cells_script,
    "text_sizes": sizes_script,
    "text_glyphs": glyphs_script,
    "text_turned": turned_script,
    "text_blocks": blocks_script,
}


def fnv1a64(text):
    h = 0xCBF29CE484222325
    for b in text.encode("ascii"):
        h ^= b
        h = (h * 0x100000001B3) & 0xFFFFFFFFFFFFFFFF
    return "%016x" % h


def record(name):
    with tempfile.TemporaryDirectory() as out:
        script = os.path.join(HERE, name + ".ops")
        printed = subprocess.run([RENDERER, script, out], check=True, capture_output=True,
                                 text=True).stdout
        lines = printed.splitlines()
        with open(script, encoding="utf-8") as f:
            dumps = [l.split()[1] for l in f if l.startswith("dump ")]
        for d in dumps:
            with open(os.path.join(out, d)) as f:
                rows = f.read().split("\n")
            lines.append("dump " + d + " " + rows[0])
            w, h, _ = map(int, rows[0].split())
            lines += [fnv1a64(r) for r in rows[1:1 + h]]
    with open(os.path.join(HERE, name + ".expected"), "w") as f:
        f.write("\n".join(lines) + "\n")


def main():
    for name, make in SCRIPTS.items():
        with open(os.path.join(HERE, name + ".ops"), "w", encoding="utf-8") as f:
            f.write("\n".join(make()) + "\n")
    if "--record" in sys.argv:
        for name in SCRIPTS:
            record(name)


if __name__ == "__main__":
    main()
