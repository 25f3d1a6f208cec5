#!/usr/bin/env python3
"""Writes the shape and line op scripts of this folder.

Each script draws many small cases side by side on one bitmap and dumps it;
regenerate.sh renders the scripts with the reference renderer and records the
dumps, and the canvas tests replay the scripts and compare pixel for pixel.
Run from anywhere: python3 generate_scripts.py
"""
import math
import os

HERE = os.path.dirname(os.path.abspath(__file__))

# Palette of the 4-bit scripts: 0 white, 1 black, 2 red, 3 green, 4 blue,
# 5 gold, 6 grey, 7 cyan, 8 magenta.
PALETTE = "FFFFFF 000000 FF0000 00A000 0000FF FFD700 808080 00FFFF FF00FF"


class Script:
    def __init__(self, name, header):
        self.name = name
        self.lines = ["# " + l for l in header.strip().splitlines()]

    def add(self, line):
        """Appends an op. A brush op is followed by the background that our
        canvas pairs with it: a solid brush draws the gaps of styled pens in
        its own colour (an opaque background of that colour), a clear brush
        leaves them alone (a transparent background)."""
        self.lines.append(line)
        op = line.split()
        if op[0] == "brush":
            if op[1] == "clear":
                self.lines.append("bkmode transparent")
            else:
                self.lines.append(f"bkcolor {op[1]}")
                self.lines.append("bkmode opaque")

    def bitmap(self, w, h, bpp=4, palette=PALETTE):
        # A new bitmap starts with a white solid brush, hence an opaque white
        # background; said here so a script never depends on the renderer's
        # reset.
        self.add(f"bitmap {w} {h} {bpp} {palette}".rstrip())
        self.add("bkcolor FFFFFF")
        self.add("bkmode opaque")
        self.add("pen FFFFFF 1 0")
        self.add("brush FFFFFF")
        self.add(f"rect 0 0 {w} {h}")

    def write(self):
        with open(os.path.join(HERE, self.name), "w") as f:
            f.write("\n".join(self.lines) + "\n")


class Grid:
    """Places cases left to right, in rows."""

    def __init__(self, width, x0=2, y0=2, gap=3):
        self.width, self.x, self.y, self.gap, self.x0 = width, x0, y0, gap, x0
        self.row_h = 0

    def place(self, w, h):
        if self.x + w + self.gap > self.width:
            self.x = self.x0
            self.y += self.row_h + self.gap
            self.row_h = 0
        at = (self.x, self.y)
        self.x += w + self.gap
        self.row_h = max(self.row_h, h)
        return at

    def bottom(self):
        return self.y + self.row_h + self.gap


def region_rows_unreached(w, h):
    """True when the elliptic region of a w x h box leaves rows unset (the
    reference then fills those rows with whatever memory held)."""
    if w < 3 or h < 3:
        return False
    a, b = w - 1, h - 1
    asq, bsq = 8 * a * a, 8 * b * b
    dx, dy = 4 * b * b * (1 - a), 4 * a * a * (1 + b % 2)
    err = dx + dy + a * a * (b % 2)
    x, y = 0, h // 2
    while x <= w // 2:
        e2 = 2 * err
        if e2 >= dx:
            x += 1
            dx += bsq
            err += dx
        if e2 <= dy:
            y += 1
            dy += asq
            err += dy
    return y < h - 1


def rectangles():
    s = Script("rectangles.ops", """
Rectangles: every size up to 7 x 7 and some larger, corners in all four
orders, null pen (fill one pixel smaller), clear brush, pens 2 to 7 pixels
wide (solid: centred on the outline; inside-frame: kept inside the box),
styled 1-pixel pens, and boxes cut by the bitmap's edges. A 1 x 1 box is left
out: the reference paints nothing there, the canvas paints its pixel.
""")
    s.bitmap(400, 330)
    g = Grid(400)
    s.add("pen 000000 1 0")
    s.add("brush FF0000")
    for h in (1, 2, 3, 4, 5, 6, 7, 10, 15):
        for w in (1, 2, 3, 4, 5, 6, 7, 10, 15):
            if (w, h) == (1, 1):
                continue
            x, y = g.place(w, h)
            s.add(f"rect {x} {y} {x + w} {y + h}")
    for w, h in ((8, 5), (3, 9), (1, 6)):
        for swap in range(1, 4):
            x, y = g.place(w, h)
            x1, y1, x2, y2 = x, y, x + w, y + h
            if swap & 1:
                x1, x2 = x2, x1
            if swap & 2:
                y1, y2 = y2, y1
            s.add(f"rect {x1} {y1} {x2} {y2}")
    s.add("pen 000000 1 5")
    s.add("brush 0000FF")
    for w, h in ((1, 1), (1, 5), (5, 1), (2, 2), (3, 7), (9, 4)):
        x, y = g.place(w, h)
        s.add(f"rect {x} {y} {x + w} {y + h}")
    s.add("pen 00A000 1 0")
    s.add("brush clear")
    for w, h in ((2, 2), (3, 7), (9, 4)):
        x, y = g.place(w, h)
        s.add(f"rect {x} {y} {x + w} {y + h}")
    s.add("brush FFD700")
    for style in (0, 6):
        for width in range(2, 8):
            s.add(f"pen 000000 {width} {style}")
            for w, h in ((1, 1), (2, 2), (3, 3), (5, 9), (12, 7), (20, 20)):
                if style == 6 and w < width:
                    continue  # inside frame on a box narrower than the pen
                x, y = g.place(w + width, h + width)
                x += width // 2
                y += width // 2
                s.add(f"rect {x} {y} {x + w} {y + h}")
    s.add("pen 000000 1 6")
    x, y = g.place(9, 6)
    s.add(f"rect {x} {y} {x + 9} {y + 6}")
    for style in (1, 2, 3, 4):
        s.add(f"pen 0000FF 1 {style}")
        for w, h in ((20, 9), (7, 30), (2, 2)):
            x, y = g.place(w, h)
            s.add(f"rect {x} {y} {x + w} {y + h}")
    # Cut by the edges of the bitmap.
    s.add("pen 000000 1 0")
    s.add("brush 00A000")
    s.add("rect -5 -5 10 300")
    s.add("rect 390 -20 420 10")
    s.add("rect 380 320 500 400")
    s.add("pen 0000FF 4 0")
    s.add("rect -100 310 30 340")
    s.add("dump rectangles.txt")
    s.write()


def ellipses():
    s = Script("ellipses.ops", """
Ellipses of every size from 1 x 2 to 40 x 40 with a 1-pixel pen (sizes whose
interior the reference leaves partly to chance are drawn unfilled), filled
with a null pen, pens 2 to 7 pixels wide, inside-frame pens, styled pens and
ellipses cut by the bitmap's edges.
""")
    s.bitmap(910, 1080)
    g = Grid(910, gap=2)
    s.add("pen 000000 1 0")
    for h in range(1, 41):
        for w in range(1, 41):
            if (w, h) == (1, 1):
                continue  # the reference paints nothing, the canvas its pixel
            x, y = g.place(w, h)
            s.add("brush clear" if region_rows_unreached(w, h) else "brush FFD700")
            s.add(f"ellipse {x} {y} {x + w} {y + h}")
    g = Grid(910, y0=g.bottom() + 4, gap=2)
    s.add("pen 000000 1 5")
    s.add("brush 0000FF")
    for h in range(1, 25):
        for w in range(1, 25):
            if region_rows_unreached(w, h):
                continue
            x, y = g.place(w, h)
            s.add(f"ellipse {x} {y} {x + w} {y + h}")
    g = Grid(910, y0=g.bottom() + 4, gap=4)
    s.add("brush FF0000")
    for style in (0, 6):
        for width in range(2, 8):
            s.add(f"pen 000000 {width} {style}")
            for w, h in ((5, 5), (8, 8), (11, 7), (7, 16), (21, 21), (30, 17)):
                x, y = g.place(w + width, h + width)
                s.add(f"ellipse {x + width // 2} {y + width // 2} {x + width // 2 + w} {y + width // 2 + h}")
    for style in (1, 2, 3, 4):
        s.add(f"pen 00A000 1 {style}")
        for w, h in ((9, 9), (20, 20), (31, 16), (16, 31), (40, 40)):
            x, y = g.place(w, h)
            s.add(f"ellipse {x} {y} {x + w} {y + h}")
    s.add("pen 000000 1 0")
    s.add("brush 00FFFF")
    s.add("ellipse -20 1040 40 1100")
    s.add("ellipse 880 -30 960 30")
    s.add("ellipse 300 1000 2300 3000")
    s.add("pen 0000FF 3 0")
    s.add("ellipse 500 1060 560 1120")
    s.add("dump ellipses.txt")
    s.write()


def rim(cx, cy, d, angle):
    """The point at `angle` (radians, 0 down, counter-clockwise) on the rim
    of a circle of diameter d, rounded halves to even."""
    return (round(cx + math.sin(angle) * d / 2), round(cy + math.cos(angle) * d / 2))


def pies():
    s = Script("pies.ops", """
Pie wedges: radials towards every octant and along the axes, through points
inside the box, on the rim and far outside it, wedges of every size up to
the whole ellipse (equal radials), on even and odd boxes; null pen, clear
brush, pens 2 to 7 pixels wide, inside-frame and styled pens; large wedges
cut by the bitmap's edges.
""")
    s.bitmap(900, 760)
    g = Grid(900, gap=4)
    s.add("pen 000000 1 0")
    angles = [0, 20, 45, 70, 90, 110, 135, 160, 180, 200, 225, 250, 270, 290, 315, 340]
    colours = ["FF0000", "00A000", "0000FF", "FFD700", "00FFFF", "FF00FF"]
    n = 0
    for w, h in ((20, 20), (21, 21), (24, 15), (15, 23), (9, 9), (40, 40)):
        for i, a0 in enumerate(angles):
            for a1 in angles[(i % 3)::3]:
                x, y = g.place(w, h)
                cx, cy = x + w // 2, y + h // 2
                r = (w + h) * (1 + (n % 3)) // 3  # inside, near the rim, outside
                p3 = (round(cx + r * math.cos(math.radians(a0))), round(cy - r * math.sin(math.radians(a0))))
                p4 = (round(cx + r * math.cos(math.radians(a1))), round(cy - r * math.sin(math.radians(a1))))
                s.add(f"brush {colours[n % len(colours)]}")
                s.add(f"pie {x} {y} {x + w} {y + h} {p3[0]} {p3[1]} {p4[0]} {p4[1]}")
                n += 1
    # Tiny boxes, points on the axes and in the corners, radials through the
    # centre itself.
    for w in range(1, 6):
        for h in range(1, 6):
            for p3, p4 in (((9, 0), (0, -9)), ((9, 0), (9, 1)), ((-9, 3), (5, 5)), ((0, 0), (0, 0))):
                x, y = g.place(w, h)
                cx, cy = x + w // 2, y + h // 2
                s.add(f"pie {x} {y} {x + w} {y + h} {cx + p3[0]} {cy + p3[1]} {cx + p4[0]} {cy + p4[1]}")
    for w, h in ((16, 16), (17, 12)):
        for p3, p4 in (((30, 0), (30, 0)), ((0, -30), (0, 30)), ((-30, 0), (30, 0)), ((30, 30), (-30, -30)),
                       ((30, -1), (30, 1)), ((30, 1), (30, -1)), ((8, -8), (-8, 8))):
            x, y = g.place(w, h)
            cx, cy = x + w // 2, y + h // 2
            s.add(f"pie {x} {y} {x + w} {y + h} {cx + p3[0]} {cy + p3[1]} {cx + p4[0]} {cy + p4[1]}")
    g = Grid(900, y0=g.bottom() + 4, gap=5)
    cases = [(25, 25, 30, 300), (24, 19, 200, 100), (31, 31, 350, 10)]
    for style in (0, 6):
        for width in range(2, 8):
            s.add(f"pen 000000 {width} {style}")
            for w, h, a0, a1 in cases:
                x, y = g.place(w + width, h + width)
                x += width // 2
                y += width // 2
                cx, cy = x + w // 2, y + h // 2
                s.add(f"pie {x} {y} {x + w} {y + h} {round(cx + 40 * math.cos(math.radians(a0)))} "
                      f"{round(cy - 40 * math.sin(math.radians(a0)))} {round(cx + 40 * math.cos(math.radians(a1)))} "
                      f"{round(cy - 40 * math.sin(math.radians(a1)))}")
    for style in (1, 2, 3, 4, 5):
        s.add(f"pen 0000FF 1 {style}")
        for w, h, a0, a1 in cases + [(40, 40, 10, 5), (41, 30, 91, 89)]:
            x, y = g.place(w, h)
            cx, cy = x + w // 2, y + h // 2
            s.add(f"pie {x} {y} {x + w} {y + h} {round(cx + 40 * math.cos(math.radians(a0)))} "
                  f"{round(cy - 40 * math.sin(math.radians(a0)))} {round(cx + 40 * math.cos(math.radians(a1)))} "
                  f"{round(cy - 40 * math.sin(math.radians(a1)))}")
    s.add("pen 000000 1 0")
    s.add("brush clear")
    x, y = g.place(30, 30)
    s.add(f"pie {x} {y} {x + 30} {y + 30} {x + 40} {y} {x} {y + 40}")
    s.add("brush FF0000")
    s.add("pie -40 700 60 800 100 700 -100 800")
    s.add("pie 850 -50 950 50 850 100 950 -100")
    # Large, with radials near the rim (the reference multiplies in 32 bits
    # when it locates a radial, so far-away radial points of large wedges
    # are no reference).
    s.add("pie -30000 400 30000 60400 870 1000 -1000 1000")
    s.add("brush 00A000")
    s.add("pie -20000 -20000 20001 20001 20000 300 19000 -3000")
    s.add("dump pies.txt")
    s.write()


def pie_chart():
    s = Script("pie_chart.ops", """
Pie charts as the chart engine draws them: a 400 x 300 bitmap, the disc of
diameter 201 at (175, 150) in the outline colour, then one wedge per item
from rim point to rim point with a 1-pixel black pen; an item of more than
5.5 radians is drawn as two wedges; a single item is finished by the whole
ellipse again. Items: several slices, one item (a disc), a wedge of more
than 315 degrees, tiny wedges.
""")
    charts = [
        (0.0, [30, 20, 15, 10, 8, 7, 5, 3, 1, 0.5, 0.3, 0.2]),
        (90.0, [1]),
        (0.0, [90, 4, 3, 2, 1]),
        (37.5, [50, 0.1, 0.1, 0.2, 0.05, 25, 0.02, 24.7]),
        (200.0, [1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1]),
    ]
    colours = ["FF0000", "00A000", "0000FF", "FFD700", "00FFFF", "FF00FF", "808080"]
    for index, (start, values) in enumerate(charts):
        s.bitmap(400, 300, 4, PALETTE)
        cx, cy, d = 175, 150, 201
        k = d // 2
        box = (cx - k + 1, cy - k + 1, cx + k, cy + k)
        s.add("pen 000000 1 0")
        s.add("brush 000000")
        s.add("ellipse %d %d %d %d" % box)
        total = sum(abs(v) for v in values)
        theta = start * math.pi / 180
        p = rim(cx, cy, d, theta)
        for i, v in enumerate(values):
            s.add(f"brush {colours[i % len(colours)]}")
            end = theta + abs(v) / total * 2 * math.pi
            if end - theta <= 5.5:
                e = rim(cx, cy, d, end)
                if e != p:
                    s.add("pie %d %d %d %d %d %d %d %d" % (box + p + e))
            else:
                m = rim(cx, cy, d, theta + 5)
                e = rim(cx, cy, d, end)
                s.add("pie %d %d %d %d %d %d %d %d" % (box + p + m))
                s.add("pie %d %d %d %d %d %d %d %d" % (box + m + e))
                if len(values) == 1:
                    s.add("ellipse %d %d %d %d" % box)
                e = rim(cx, cy, d, end)
            p, theta = e, end
        s.add(f"dump pie_chart_{index}.txt")
    s.write()


def polygons():
    s = Script("polygons.ops", """
Polygons: shared edges and diagonals with a null pen (they tile without gaps
or overlaps), the same outlined, concave, self-crossing (alternate fill),
traced twice, degenerate (two points, collinear), pens 2 to 7 pixels wide,
styled pens, and polygons cut by the bitmap's edges.
""")
    s.bitmap(400, 260)
    s.add("pen 000000 1 5")
    s.add("brush FF0000")
    s.add("polygon 3 2 2 22 2 2 22")
    s.add("brush 0000FF")
    s.add("polygon 3 22 2 22 22 2 22")
    s.add("brush 00A000")
    s.add("polygon 3 30 2 47 9 33 21")
    s.add("brush FFD700")
    s.add("polygon 3 47 9 51 25 33 21")
    s.add("brush FF00FF")
    s.add("polygon 4 30 2 47 9 51 -3 40 -6")
    colours = ["FF0000", "00A000", "0000FF", "FFD700"]
    for i in range(4):
        for j in range(4):
            s.add(f"brush {colours[(i + j) % 4]}")
            x, y = 60 + 7 * i + j, 2 + 6 * j + i
            s.add(f"polygon 4 {x} {y} {x + 7} {y + 1} {x + 8} {y + 7} {x + 1} {y + 6}")
    s.add("pen 000000 1 0")
    s.add("brush FF0000")
    s.add("polygon 3 110 2 130 2 110 22")
    s.add("brush 0000FF")
    s.add("polygon 3 130 2 130 22 110 22")
    s.add("brush 00A000")
    s.add("polygon 7 140 10 152 10 152 6 160 14 152 22 152 18 140 18")
    s.add("brush FFD700")
    s.add("polygon 8 170 4 186 4 186 20 170 20 170 4 186 4 186 20 170 20")
    s.add("brush FF00FF")
    s.add("polygon 5 200 2 208 24 190 10 212 10 194 24")
    s.add("polygon 5 230 2 235 28 218 11 244 13 222 26")
    s.add("brush FF0000")
    s.add("polygon 2 250 5 270 5")
    s.add("polygon 3 250 10 260 15 270 20")
    s.add("polygon 2 250 25 250 25")
    s.add("polygon 6 280 2 300 8 282 14 298 20 284 26 296 2")
    y = 40
    for width in range(2, 8):
        s.add(f"pen 0000FF {width} 0")
        s.add("brush 00FFFF")
        x = 10 + (width - 2) * 62
        s.add(f"polygon 3 {x} {y} {x + 40} {y + 7} {x + 12} {y + 30}")
        s.add(f"polygon 5 {x + 5} {y + 45} {x + 50} {y + 50} {x + 30} {y + 60} {x + 45} {y + 80} {x} {y + 70}")
        s.add("brush clear")
        s.add(f"polygon 4 {x + 20} {y + 90} {x + 21} {y + 90} {x + 21} {y + 91} {x + 20} {y + 91}")
    y = 180
    for style in (1, 2, 3, 4):
        s.add(f"pen 000000 1 {style}")
        s.add("brush FFD700")
        x = 10 + (style - 1) * 95
        s.add(f"polygon 5 {x} {y} {x + 60} {y + 5} {x + 80} {y + 40} {x + 30} {y + 70} {x + 5} {y + 35}")
    s.add("pen 000000 1 0")
    s.add("brush 00A000")
    s.add("polygon 4 -50 240 60 200 70 300 -10 280")
    s.add("polygon 3 380 150 500 160 390 270")
    s.add("pen 000000 3 0")
    s.add("polygon 3 -1000000 -1000000 1000000 -999000 200 250")
    s.add("dump polygons.txt")
    s.write()


def lines():
    s = Script("lines.ops", """
Lines: 1-pixel lines from a centre to every point of a square around it (all
slopes, ties included) in both directions, long shallow and steep lines,
styled pens in sixteen directions and across several LineTo calls (each
starts the pattern afresh), pens 2 to 9 pixels wide in 24 directions,
zero-length lines of every width up to 12, null pens, and lines cut by the
bitmap's edges, some from far outside.
""")
    s.bitmap(600, 420)
    s.add("pen 000000 1 0")
    r = 12
    for cx, cy, reverse in ((16, 16, False), (46, 16, True)):
        ring = ([(cx + dx, cy - r) for dx in range(-r, r + 1)] + [(cx + r, cy + dy) for dy in range(-r, r + 1)])
        for px, py in ring:
            for qx, qy in ((px, py), (2 * cx - px, 2 * cy - py)):
                if reverse:
                    s.add(f"moveto {qx} {qy}")
                    s.add(f"lineto {cx} {cy}")
                else:
                    s.add(f"moveto {cx} {cy}")
                    s.add(f"lineto {qx} {qy}")
    s.add("pen FF0000 1 0")
    s.add("moveto 70 4")
    s.add("lineto 250 30")
    s.add("moveto 250 34")
    s.add("lineto 70 8")
    s.add("moveto 70 40")
    s.add("lineto 90 4")
    s.add("moveto 95 4")
    s.add("lineto 75 40")
    for style in (1, 2, 3, 4, 5):
        s.add(f"pen 0000FF 1 {style}")
        cx, cy = 60 + style * 70, 80
        for k in range(16):
            a = 2 * math.pi * k / 16 + 0.05
            s.add(f"moveto {cx} {cy}")
            s.add(f"lineto {cx + round(30 * math.cos(a))} {cy + round(30 * math.sin(a))}")
        s.add(f"moveto {cx - 30} {cy + 36}")
        for px, py in ((cx - 20, cy + 36), (cx + 30, cy + 36), (cx + 30, cy + 48), (cx - 30, cy + 60)):
            s.add(f"lineto {px} {py}")
    s.add("pen 00A000 1 6")
    s.add("moveto 10 140")
    s.add("lineto 100 150")
    y = 190
    for width in range(2, 10):
        s.add(f"pen 000000 {width} {width % 7}")
        cx = 30 + (width - 2) * 70
        for k in range(24):
            a = 2 * math.pi * k / 24
            s.add(f"moveto {cx} {y}")
            s.add(f"lineto {cx + round(24 * math.cos(a))} {y + round(24 * math.sin(a))}")
    for width in range(1, 13):
        s.add(f"pen FF0000 {width} 0")
        s.add(f"moveto {20 + width * 20} 240")
        s.add(f"lineto {20 + width * 20} 240")
    s.add("pen 0000FF 5 0")
    for (x1, y1, x2, y2) in ((20, 270, 120, 290), (140, 300, 150, 260), (170, 280, 260, 275),
                             (280, 260, 270, 310), (300, 290, 380, 260)):
        s.add(f"moveto {x1} {y1}")
        s.add(f"lineto {x2} {y2}")
    s.add("pen 000000 1 0")
    for (x1, y1, x2, y2) in ((-100, 330, 700, 350), (-100000000, 360, 100000000, 390),
                             (300, -50000000, 320, 50000000), (610, 400, -20, 330),
                             (-50, -50, 700, 700)):
        s.add(f"moveto {x1} {y1}")
        s.add(f"lineto {x2} {y2}")
    s.add("pen FF00FF 1 2")
    s.add("moveto -1000 410")
    s.add("lineto 1000 410")
    s.add("pen 00A000 7 0")
    s.add("moveto -30 400")
    s.add("lineto 10 440")
    s.add("dump lines.txt")
    s.write()


def gaps():
    s = Script("gaps.ops", """
Gaps of styled 1-pixel pens: under a solid brush they take the brush's
colour, under a clear brush they keep what was there. Lines (one LineTo and
a chain of them, across an earlier filled box too), rectangles, ellipses, pie
wedges and polygons in every dash style, on a background of a third colour,
on 4 bits (a brush colour missing from the palette included: gaps and fill
take the same nearest entry) and on 24 bits; wider and non-dashed pens next
to them draw no gaps.
""")
    for bpp, palette, background, brushes, height in (
            (4, PALETTE, "808080", ("FFD700", "E00000", "clear"), 136),
            (24, "", "C0C0C0", ("123456", "clear"), 106)):
        width = 470
        s.bitmap(width, height, bpp, palette)
        s.add(f"pen {background} 1 0")
        s.add(f"brush {background}")
        s.add(f"rect 0 0 {width} {height}")
        g = Grid(width, gap=4)
        for brush in brushes:
            for style in (1, 2, 3, 4):
                # A box filled beforehand, crossed below by the line.
                x, y = g.place(44, 18)
                s.add("pen 000000 1 5")
                s.add("brush 00A000")
                s.add(f"rect {x + 10} {y} {x + 30} {y + 18}")
                s.add(f"pen 0000FF 1 {style}")
                s.add(f"brush {brush}")
                s.add(f"moveto {x} {y + 3}")
                s.add(f"lineto {x + 44} {y + 3}")
                s.add(f"moveto {x} {y + 8}")
                s.add(f"lineto {x + 17} {y + 8}")
                s.add(f"lineto {x + 44} {y + 17}")
                s.add(f"lineto {x + 40} {y + 10}")
                x, y = g.place(21, 13)
                s.add(f"rect {x} {y} {x + 21} {y + 13}")
                x, y = g.place(22, 15)
                s.add(f"ellipse {x} {y} {x + 22} {y + 15}")
                x, y = g.place(25, 25)
                s.add(f"pie {x} {y} {x + 25} {y + 25} {x + 30} {y + 5} {x + 20} {y + 30}")
                x, y = g.place(22, 18)
                s.add(f"polygon 4 {x} {y} {x + 22} {y + 4} {x + 15} {y + 18} {x + 2} {y + 12}")
        # Pens that draw no gaps: wide styled ones, null and inside-frame.
        s.add(f"brush {brushes[0]}")
        for pen in ("0000FF 2 2", "0000FF 3 1", "0000FF 1 5", "0000FF 1 6", "0000FF 1 0"):
            s.add(f"pen {pen}")
            x, y = g.place(60, 14)
            s.add(f"moveto {x + 2} {y + 2}")
            s.add(f"lineto {x + 30} {y + 2}")
            s.add(f"rect {x + 34} {y + 1} {x + 58} {y + 13}")
        s.add(f"dump gaps_{bpp}.txt")
    s.write()


def palette():
    s = Script("palette.ops", """
Colours: on 4- and 8-bit bitmaps a colour in the palette draws with its
entry (the first of duplicates), a missing colour with the nearest entry; a
24-bit bitmap takes colours as they are.
""")
    for bpp, pal in ((8, "FFFFFF 000000 FF0000 FF0000 808080 C0C0C0 00A000 0000FF 101010"),
                     (4, "FFFFFF 000000 FF0000 808080 C0C0C0 00A000 0000FF"),
                     (24, "")):
        s.bitmap(120, 40, bpp, pal)
        x = 2
        for colour in ("FF0000", "E00000", "7F0000", "909090", "B0B0B0", "00FF00", "123456", "000001"):
            s.add(f"pen {colour} 1 0")
            s.add(f"brush {colour}")
            s.add(f"rect {x} 2 {x + 10} 12")
            s.add(f"ellipse {x} 14 {x + 10} 24")
            s.add(f"moveto {x} 30")
            s.add(f"lineto {x + 10} 36")
            s.add(f"setpixel {x + 5} 38 {colour}")
            x += 14
        s.add(f"dump palette_{bpp}.txt")
    s.write()


def large():
    s = Script("large.ops", """
Shapes far larger than their bitmap (the canvas then evaluates outlines per
visible row instead of walking them): ellipses and wedges up to 65535 pixels
across seen through small bitmaps at their rims, sides and centres, with
thin, wide and styled pens, and pie charts of the largest diameter.
""")
    # Points of the 20001 x 15002 ellipse (relative to its centre) put at the
    # middle of a 64 x 48 bitmap: left, top, upper left, where the first
    # radial leaves, the centre, lower right.
    a, b = 10000, 7501
    t = math.atan2(6000 * a, 9000 * b)
    spots = [(-a, 0), (0, -b), (-a * math.cos(math.pi / 4), -b * math.sin(math.pi / 4)),
             (a * math.cos(t), -b * math.sin(t)), (0, 0), (a * math.cos(1.1), b * math.sin(1.1))]
    views = [(32 - 10000 - round(x), 24 - 7501 - round(y)) for x, y in spots]
    for n, (vx, vy) in enumerate(views):
        s.bitmap(64, 48)
        box = (vx, vy, vx + 20001, vy + 15002)
        cx, cy = vx + 10000, vy + 7501
        s.add("pen 000000 1 0")
        s.add("brush FFD700")
        s.add("ellipse %d %d %d %d" % box)
        s.add("pen 0000FF 3 0")
        s.add("brush clear")
        s.add("ellipse %d %d %d %d" % (vx + 2, vy + 2, vx + 19999, vy + 15000))
        s.add("pen FF0000 1 2")
        s.add("ellipse %d %d %d %d" % (vx + 5, vy + 6, vx + 19996, vy + 14996))
        s.add("pen 000000 1 0")
        s.add("brush 00A000")
        # A wedge whose radials run through the bitmap.
        s.add("pie %d %d %d %d %d %d %d %d" % (box + (cx + 9000, cy - 6000, cx - 9990, cy + 5)))
        s.add(f"dump large_{n}.txt")
    for n, (start, values) in enumerate([(10.0, [3, 1, 0.01, 2]), (180.0, [1])]):
        s.bitmap(400, 300)
        cx, cy, d = 200, 150, 65535
        k = d // 2
        box = (cx - k + 1, cy - k + 1, cx + k, cy + k)
        s.add("pen 000000 1 0")
        s.add("brush 000000")
        s.add("ellipse %d %d %d %d" % box)
        total = sum(values)
        theta = start * math.pi / 180
        p = rim(cx, cy, d, theta)
        colours = ["FF0000", "00A000", "0000FF", "FFD700"]
        for i, v in enumerate(values):
            s.add(f"brush {colours[i % 4]}")
            end = theta + v / total * 2 * math.pi
            if end - theta <= 5.5:
                e = rim(cx, cy, d, end)
                if e != p:
                    s.add("pie %d %d %d %d %d %d %d %d" % (box + p + e))
            else:
                m = rim(cx, cy, d, theta + 5)
                e = rim(cx, cy, d, end)
                s.add("pie %d %d %d %d %d %d %d %d" % (box + p + m))
                s.add("pie %d %d %d %d %d %d %d %d" % (box + m + e))
                if len(values) == 1:
                    s.add("ellipse %d %d %d %d" % box)
            p, theta = e, end
        s.add(f"dump large_chart_{n}.txt")
    s.write()


def single_case(s, index, w, h, pen, brush, op):
    """A case on a 24-bit bitmap of its own, dumped as NAME_INDEX.txt."""
    s.bitmap(w, h, 24, "")
    s.add(pen)
    s.add(brush)
    s.add(op)
    s.add(f"dump {s.name.split('.')[0]}_{index}.txt")


def styled_ellipses():
    s = Script("styled_ellipses.ops", """
Ellipses drawn with styled 1-pixel pens over a solid brush: a 5 x 5
dash-dot one alone, then every width from 3 to 14 and height from 3 to 15 in
each dash style. An outline of odd height ends on its first pixel, which
keeps the pen colour the pattern starts with.
""")
    single_case(s, 0, 12, 12, "pen 0000FF 1 3", "brush FFFF00", "ellipse 2 2 7 7")
    s.bitmap(560, 166)
    g = Grid(560, gap=2)
    s.add("brush FFD700")
    for style in (1, 2, 3, 4):
        s.add(f"pen 0000FF 1 {style}")
        for h in range(3, 16):
            for w in range(3, 15):
                if region_rows_unreached(w, h):
                    continue
                x, y = g.place(w, h)
                s.add(f"ellipse {x} {y} {x + w} {y + h}")
    s.add("dump styled_ellipses.txt")
    s.write()


def narrow_pies():
    s = Script("narrow_pies.ops", """
Pie wedges in boxes one or two pixels wide or tall, where the outline comes
back to pixels it has painted: two cases alone, then boxes 1 and 2 pixels
tall by 1 to 47 wide and the other way round, each with six pairs of radials
(eight directions and two just either side of the axis to the right), drawn
with thin solid and styled pens over a solid brush, a dotted pen over a
clear brush and a 3-pixel pen. A later point's part of a dash pattern
paints over an earlier one's; a wedge whose points are all its centre, or
whose radials meet just before the first point, draws nothing.
""")
    single_case(s, 0, 30, 30, "pen 000000 1 0", "brush FF0000", "pie 14 6 16 24 -13 43 55 15")
    single_case(s, 1, 64, 12, "pen 0000FF 1 2", "brush FFFF00", "pie -40 6 100 7 35 7 100 7")
    s.bitmap(900, 560)
    g = Grid(900, gap=4)
    directions = [(30, 0), (21, -21), (0, -30), (-21, -21), (-30, 0), (-21, 21), (0, 30), (21, 21),
                  (30, 1), (30, -1)]
    pens = [("0000FF 1 0", "FFD700"), ("0000FF 1 1", "FFD700"), ("0000FF 1 2", "FFD700"),
            ("0000FF 1 3", "FFD700"), ("0000FF 1 4", "FFD700"), ("0000FF 1 2", "clear"),
            ("0000FF 3 0", "FFD700")]
    sizes = ([(w, h) for h in (1, 2) for w in (1, 2, 3, 4, 5, 9, 20, 47)] +
             [(w, h) for w in (1, 2) for h in (3, 4, 5, 9, 20, 47)])
    for p, (pen, brush) in enumerate(pens):
        s.add(f"pen {pen}")
        s.add(f"brush {brush}")
        for i, (w, h) in enumerate(sizes):
            for t in range(6):
                d3 = directions[(i + p + t) % 10]
                d4 = directions[(3 * t + i) % 10]
                x, y = g.place(w + 2, h + 2)
                x, y = x + 1, y + 1
                cx, cy = x + w // 2, y + h // 2
                s.add(f"pie {x} {y} {x + w} {y + h} {cx + d3[0]} {cy + d3[1]} {cx + d4[0]} {cy + d4[1]}")
    s.add("dump narrow_pies.txt")
    s.write()


if __name__ == "__main__":
    rectangles()
    ellipses()
    pies()
    pie_chart()
    polygons()
    gaps()
    lines()
    palette()
    large()
    styled_ellipses()
    narrow_pies()
