#!/usr/bin/python3
"""Draws the bullet face "Tabrel bullets" into TabrelBullets.ttf beside this
script. Run by hand after changing a shape (needs Python's fontTools, Debian
package python3-fonttools); the font file it writes is what the programs
carry, so building never runs this.

Every character code a bullet can take (33..255, and the space) draws a
bullet: the shapes below in turn, starting with the hollow circle at 33, so
that 34, the code new bullet lists start with, is the filled round bullet.
The codes reach the font as Windows-1252 characters; each is also mapped at
U+F000 plus the code, where symbol text keeps it."""

import math
import os

from fontTools.fontBuilder import FontBuilder
from fontTools.pens.ttGlyphPen import TTGlyphPen

UPM = 1000
ASCENT = 905  # the cell's top and bottom, in the proportions of the
DESCENT = 212  # sans-serif text face, so a bullet sits mid-line
ADVANCE = 760
CX = ADVANCE // 2
CY = (ASCENT - DESCENT) // 2  # the middle of the cell
R = 230  # half the size of the main shapes


def polygon(pen, points):
    """A closed contour through the points; clockwise fills, counter-clockwise cuts."""
    pen.moveTo(points[0])
    for p in points[1:]:
        pen.lineTo(p)
    pen.closePath()


def clockwise(points):
    area = 0
    for (x0, y0), (x1, y1) in zip(points, points[1:] + points[:1]):
        area += x0 * y1 - x1 * y0
    return points if area < 0 else list(reversed(points))


def fill(pen, points):
    polygon(pen, clockwise(points))


def cut(pen, points):
    polygon(pen, list(reversed(clockwise(points))))


def circle_points(cx, cy, r):
    # Off-curve points of a regular 8-gon around the circle: quadratic arcs
    # through the midpoints of its sides stay within 0.4 % of the circle.
    k = r / math.cos(math.pi / 8)
    return [(round(cx + k * math.cos(a)), round(cy + k * math.sin(a)))
            for a in (-(i * math.pi / 4) for i in range(8))]  # clockwise


def circle(pen, cx, cy, r, hole=False):
    points = circle_points(cx, cy, r)
    if hole:
        points = list(reversed(points))
    pen.qCurveTo(*points, None)
    pen.closePath()


def square(cx, cy, r):
    return [(cx - r, cy - r), (cx - r, cy + r), (cx + r, cy + r), (cx + r, cy - r)]


def diamond(cx, cy, r):
    return [(cx - r, cy), (cx, cy + r), (cx + r, cy), (cx, cy - r)]


def triangle(cx, cy, r):
    return [(cx - r, cy - r), (cx - r, cy + r), (cx + r, cy)]


def rect(x0, y0, x1, y1):
    return [(x0, y0), (x0, y1), (x1, y1), (x1, y0)]


def shape_hollow_circle(pen):
    circle(pen, CX, CY, R)
    circle(pen, CX, CY, R - 60, hole=True)


def shape_circle(pen):
    circle(pen, CX, CY, R)


def shape_square(pen):
    fill(pen, square(CX, CY, R - 30))


def shape_hollow_square(pen):
    fill(pen, square(CX, CY, R - 30))
    cut(pen, square(CX, CY, R - 90))


def shape_diamond(pen):
    fill(pen, diamond(CX, CY, R + 20))


def shape_hollow_diamond(pen):
    fill(pen, diamond(CX, CY, R + 20))
    cut(pen, diamond(CX, CY, R - 65))


def shape_triangle(pen):
    fill(pen, triangle(CX, CY, R))


def shape_hollow_triangle(pen):
    fill(pen, triangle(CX, CY, R))
    cut(pen, [(CX - R + 55, CY - R + 110), (CX - R + 55, CY + R - 110), (CX + R - 120, CY)])


def shape_arrow(pen):
    fill(pen, [(CX - R, CY - 55), (CX - R, CY + 55), (CX + 10, CY + 55), (CX + 10, CY + R - 20),
               (CX + R, CY), (CX + 10, CY - R + 20), (CX + 10, CY - 55)])


def shape_star(pen):
    points = []
    for i in range(10):
        a = math.pi / 2 - i * math.pi / 5
        r = (R + 30) if i % 2 == 0 else (R + 30) * 0.4
        points.append((round(CX + r * math.cos(a)), round(CY - 20 + r * math.sin(a))))
    fill(pen, points)


def shape_check(pen):
    fill(pen, [(CX - R, CY + 10), (CX - R + 70, CY + 80), (CX - 60, CY - 70),
               (CX + R - 40, CY + R), (CX + R + 30, CY + R - 70), (CX - 60, CY - R + 20)])


def shape_cross(pen):
    w = 50
    r = R - 20
    fill(pen, [(CX - r, CY - r + w), (CX - w, CY), (CX - r, CY + r - w), (CX - r + w, CY + r),
               (CX, CY + w), (CX + r - w, CY + r), (CX + r, CY + r - w), (CX + w, CY),
               (CX + r, CY - r + w), (CX + r - w, CY - r), (CX, CY - w), (CX - r + w, CY - r)])


def shape_dash(pen):
    fill(pen, rect(CX - R, CY - 50, CX + R, CY + 50))


def shape_small_circle(pen):
    circle(pen, CX, CY, R // 2 + 20)


def shape_plus(pen):
    w = 50
    fill(pen, [(CX - w, CY - R), (CX - w, CY - w), (CX - R, CY - w), (CX - R, CY + w),
               (CX - w, CY + w), (CX - w, CY + R), (CX + w, CY + R), (CX + w, CY + w),
               (CX + R, CY + w), (CX + R, CY - w), (CX + w, CY - w), (CX + w, CY - R)])


def shape_chevron(pen):
    fill(pen, [(CX - R + 20, CY - R), (CX - R + 20 + 110, CY - R), (CX + R, CY),
               (CX - R + 20 + 110, CY + R), (CX - R + 20, CY + R), (CX + R - 110, CY)])


SHAPES = [shape_hollow_circle, shape_circle, shape_square, shape_hollow_square, shape_diamond,
          shape_hollow_diamond, shape_triangle, shape_hollow_triangle, shape_arrow, shape_star,
          shape_check, shape_cross, shape_dash, shape_small_circle, shape_plus, shape_chevron]


def code_characters(code):
    """The characters a byte stands for: its Windows-1252 character (the
    five bytes that have none stand for themselves) and U+F000 + code."""
    try:
        text = bytes([code]).decode("cp1252")
    except UnicodeDecodeError:
        text = chr(code)
    return [ord(text), 0xF000 + code]


def main():
    glyph_order = [".notdef", "space"] + ["bullet%d" % i for i in range(len(SHAPES))]
    glyphs = {}

    pen = TTGlyphPen(None)
    fill(pen, rect(60, 0, ADVANCE - 60, ASCENT - 200))
    cut(pen, rect(120, 60, ADVANCE - 120, ASCENT - 260))
    glyphs[".notdef"] = pen.glyph()
    glyphs["space"] = TTGlyphPen(None).glyph()
    for i, shape in enumerate(SHAPES):
        pen = TTGlyphPen(None)
        shape(pen)
        glyphs["bullet%d" % i] = pen.glyph()

    cmap = {0x20: "space", 0xA0: "space", 0xF020: "space"}
    for code in range(33, 256):
        for ch in code_characters(code):
            if ch not in cmap:
                cmap[ch] = "bullet%d" % ((code - 33) % len(SHAPES))

    fb = FontBuilder(UPM, isTTF=True)
    fb.setupGlyphOrder(glyph_order)
    fb.setupCharacterMap(cmap)
    fb.setupGlyf(glyphs)
    metrics = {}
    for name in glyph_order:
        glyph = glyphs[name]
        glyph.recalcBounds(fb.font["glyf"])
        metrics[name] = (ADVANCE, getattr(glyph, "xMin", 0))
    fb.setupHorizontalMetrics(metrics)
    fb.setupHorizontalHeader(ascent=ASCENT, descent=-DESCENT)
    fb.setupNameTable({
        "familyName": "Tabrel bullets",
        "styleName": "Regular",
        "uniqueFontIdentifier": "Tabrel bullets Regular",
        "fullName": "Tabrel bullets",
        "psName": "TabrelBullets-Regular",
        "version": "Version 1.000",
        "copyright": "Drawn for Tabrel; free to use, change and pass on.",
    })
    fb.setupOS2(sTypoAscender=ASCENT - 105, sTypoDescender=-DESCENT + 17, sTypoLineGap=90,
                usWinAscent=ASCENT, usWinDescent=DESCENT, xAvgCharWidth=ADVANCE,
                achVendID="TABR", fsType=0, usWeightClass=400,
                ulCodePageRange1=1)  # Latin 1
    fb.setupPost()
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "TabrelBullets.ttf")
    fb.save(out)
    print("wrote", out)


if __name__ == "__main__":
    main()
