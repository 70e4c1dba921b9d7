#!/usr/bin/env python3
"""Draws the program's pictures (icons and bitmaps) as files the resource compiler reads.

usage: make_images.py OUTPUT_DIR

Outputs: tovrel.ico and small.ico (the program's icon in the sizes Windows
asks for: 16, 20, 24, 32, 48 and 256, and 16 to 24 for the small one), toolbar.bmp (the 18
toolbar pictures, 32 x 32 each, side by side, 8 bits per pixel) and about.bmp
(the About window's picture, 128 x 64, 24 bits per pixel).
"""
import math
import struct
import sys
from pathlib import Path


# ---------------------------------------------------------------------------
# A small vector rasteriser: shapes are filled on a supersampled grid and
# averaged down, so edges are smooth. Coordinates are in output pixels; pixel
# (x, y) covers the square [x, x + 1) x [y, y + 1).

class Canvas:
    def __init__(self, width, height, background, ss=4):
        self.w, self.h, self.ss = width, height, ss
        self.W, self.H = width * ss, height * ss
        self.buf = [[background] * self.W for _ in range(self.H)]
        self.colours = {background}

    # -- spans -------------------------------------------------------------
    def _span(self, r, xa, xb, colour):
        """Fills the samples of hi-res row r whose centres lie in [xa, xb)."""
        if r < 0 or r >= self.H or xb <= xa:
            return
        ss = self.ss
        c0 = max(0, math.ceil(xa * ss - 0.5))
        c1 = min(self.W, math.ceil(xb * ss - 0.5))
        row = self.buf[r]
        for c in range(c0, c1):
            row[c] = colour

    def _rows(self, y0, y1):
        ss = self.ss
        r0 = max(0, math.ceil(y0 * ss - 0.5))
        r1 = min(self.H, math.ceil(y1 * ss - 0.5))
        for r in range(r0, r1):
            yield r, (r + 0.5) / ss

    # -- shapes ------------------------------------------------------------
    def polygon(self, pts, colour):
        self.colours.add(colour)
        ys = [y for _, y in pts]
        n = len(pts)
        for r, y in self._rows(min(ys), max(ys)):
            xs = []
            for i in range(n):
                (xa, ya), (xb, yb) = pts[i], pts[(i + 1) % n]
                if (ya <= y < yb) or (yb <= y < ya):
                    xs.append(xa + (y - ya) * (xb - xa) / (yb - ya))
            xs.sort()
            for k in range(0, len(xs) - 1, 2):
                self._span(r, xs[k], xs[k + 1], colour)

    def rect(self, x0, y0, x1, y1, colour):
        self.colours.add(colour)
        for r, _ in self._rows(y0, y1):
            self._span(r, x0, x1, colour)

    def box(self, x0, y0, x1, y1, fill, outline, t=1):
        """A filled rectangle with an outline of thickness t drawn inside it."""
        self.rect(x0, y0, x1, y1, outline)
        self.rect(x0 + t, y0 + t, x1 - t, y1 - t, fill)

    def ellipse(self, cx, cy, rx, ry, colour, inner=None):
        """A filled ellipse; with inner = (irx, iry) only the ring between."""
        self.colours.add(colour)
        for r, y in self._rows(cy - ry, cy + ry):
            dy = (y - cy) / ry
            if abs(dy) >= 1:
                continue
            hw = rx * math.sqrt(1 - dy * dy)
            if inner:
                irx, iry = inner
                idy = (y - cy) / iry
                if abs(idy) < 1:
                    ihw = irx * math.sqrt(1 - idy * idy)
                    self._span(r, cx - hw, cx - ihw, colour)
                    self._span(r, cx + ihw, cx + hw, colour)
                    continue
            self._span(r, cx - hw, cx + hw, colour)

    def circle(self, cx, cy, r, colour, inner=None):
        self.ellipse(cx, cy, r, r, colour, (inner, inner) if inner else None)

    def line(self, x0, y0, x1, y1, width, colour, round_caps=True):
        dx, dy = x1 - x0, y1 - y0
        length = math.hypot(dx, dy) or 1.0
        nx, ny = -dy / length * width / 2, dx / length * width / 2
        self.polygon([(x0 + nx, y0 + ny), (x1 + nx, y1 + ny),
                      (x1 - nx, y1 - ny), (x0 - nx, y0 - ny)], colour)
        if round_caps:
            self.circle(x0, y0, width / 2, colour)
            self.circle(x1, y1, width / 2, colour)

    def polyline(self, pts, width, colour):
        for a, b in zip(pts, pts[1:]):
            self.line(a[0], a[1], b[0], b[1], width, colour)

    def text(self, x, y, s, colour, font, scale=1):
        """Pixel-font text with its top left corner at (x, y); returns the end x."""
        for ch in s:
            glyph = font[ch]
            for gy, row in enumerate(glyph):
                for gx, bit in enumerate(row):
                    if bit == '#':
                        self.rect(x + gx * scale, y + gy * scale,
                                  x + (gx + 1) * scale, y + (gy + 1) * scale, colour)
            x += (len(glyph[0]) + 1) * scale
        return x

    # -- output ------------------------------------------------------------
    def pixels(self):
        """The picture at output resolution: rows of (r, g, b), top row first."""
        ss, n = self.ss, self.ss * self.ss
        out = []
        for y in range(self.h):
            rows = self.buf[y * ss:(y + 1) * ss]
            line = []
            for x in range(self.w):
                r = g = b = 0
                for row in rows:
                    for c in row[x * ss:(x + 1) * ss]:
                        r += c[0]
                        g += c[1]
                        b += c[2]
                line.append(((r + n // 2) // n, (g + n // 2) // n, (b + n // 2) // n))
            out.append(line)
        return out


def text_width(s, font, scale=1):
    return sum((len(font[ch][0]) + 1) * scale for ch in s) - scale


# A tiny pixel font, five rows high, for the labels on the pictures.
FONT5 = {
    'D': ['###.', '#..#', '#..#', '#..#', '###.'],
    'W': ['#...#', '#...#', '#.#.#', '#.#.#', '.#.#.'],
    'G': ['.###', '#...', '#.##', '#..#', '.###'],
    'X': ['#...#', '.#.#.', '..#..', '.#.#.', '#...#'],
    'F': ['####', '#...', '###.', '#...', '#...'],
}


# ---------------------------------------------------------------------------
# Colours. The toolbar maps the pure black, dark grey (128), light grey (192)
# and white of a toolbar bitmap to the system's button colours; the pictures
# use 192 grey as their background, so that it becomes the button face, and
# keep clear of the other three so that they always look as drawn.

FACE = (192, 192, 192)
INK = (28, 30, 40)
PAPER = (252, 252, 250)
PAPER_SHADE = (214, 220, 228)
RULE = (160, 172, 190)
FOLDER = (244, 200, 72)
FOLDER_BACK = (214, 160, 40)
FOLDER_EDGE = (140, 96, 16)
FOLDER_LIGHT = (255, 230, 140)
BLUE = (44, 104, 210)
BLUE_DARK = (22, 54, 140)
BLUE_LIGHT = (120, 170, 240)
SELECT = (60, 120, 220)
HEADER = (176, 196, 224)
RED = (220, 40, 36)
RED_DARK = (140, 16, 16)
GREEN = (44, 170, 64)
GREEN_DARK = (18, 100, 34)
GREEN_LIGHT = (130, 220, 130)
METAL = (222, 224, 230)
METAL_DARK = (100, 104, 116)
SLOT = (60, 62, 72)
YELLOW = (250, 204, 40)
WOOD = (240, 206, 150)
PINK = (236, 130, 140)
BROWN = (150, 90, 40)
BROWN_DARK = (96, 54, 20)
BROWN_LIGHT = (196, 132, 70)
GLASS = (190, 224, 250)
DWG_INK = (24, 60, 160)
DXF_INK = (20, 120, 48)


# ---------------------------------------------------------------------------
# Building blocks of the toolbar pictures (32 x 32 each).

def folder(c, x0, y0, x1, y1):
    """A closed folder: a back with a tab, and a front a little lower."""
    tab = (x1 - x0) * 0.4
    c.polygon([(x0, y0 + 2), (x0 + 1, y0), (x0 + tab, y0), (x0 + tab + 2, y0 + 2),
               (x1, y0 + 2), (x1, y1), (x0, y1)], FOLDER_EDGE)
    c.polygon([(x0 + 1, y0 + 3), (x0 + 1.5, y0 + 1), (x0 + tab - 0.5, y0 + 1),
               (x0 + tab + 1.5, y0 + 3), (x1 - 1, y0 + 3), (x1 - 1, y1 - 1),
               (x0 + 1, y1 - 1)], FOLDER_BACK)
    c.rect(x0, y0 + 5, x1, y1, FOLDER_EDGE)
    c.rect(x0 + 1, y0 + 6, x1 - 1, y1 - 1, FOLDER)
    c.rect(x0 + 1, y0 + 6, x1 - 1, y0 + 7, FOLDER_LIGHT)


def open_folder(c, x0, y0, x1, y1):
    """An open folder: the back with a tab, a sheet inside, the front tilted open."""
    tab = (x1 - x0) * 0.4
    c.polygon([(x0, y0 + 2), (x0 + 1, y0), (x0 + tab, y0), (x0 + tab + 2, y0 + 2),
               (x1 - 3, y0 + 2), (x1 - 3, y1), (x0, y1)], FOLDER_EDGE)
    c.polygon([(x0 + 1, y0 + 3), (x0 + 1.5, y0 + 1), (x0 + tab - 0.5, y0 + 1),
               (x0 + tab + 1.5, y0 + 3), (x1 - 4, y0 + 3), (x1 - 4, y1 - 1),
               (x0 + 1, y1 - 1)], FOLDER_BACK)
    c.box(x0 + 3, y0 + 4, x1 - 6, y1 - 3, PAPER, INK)
    top = y0 + 9
    c.polygon([(x0 + 4, top), (x1, top), (x1 - 4, y1), (x0, y1)], FOLDER_EDGE)
    c.polygon([(x0 + 5, top + 1), (x1 - 1.4, top + 1), (x1 - 4.7, y1 - 1), (x0 + 1.4, y1 - 1)], FOLDER)
    c.polygon([(x0 + 5, top + 1), (x1 - 1.4, top + 1), (x1 - 1.7, top + 2), (x0 + 4.7, top + 2)], FOLDER_LIGHT)


def label(c, x, y, text, ink):
    """A white label with an outline carrying the pixel-font text; (x, y) is its top left."""
    w = text_width(text, FONT5)
    c.box(x, y, x + w + 4, y + 9, PAPER, INK)
    c.text(x + 2, y + 2, text, ink, FONT5)


def sheet(c, x0, y0, x1, y1, fold=5):
    """A sheet of paper with a folded top right corner."""
    c.polygon([(x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1), (x0, y1)], INK)
    c.polygon([(x0 + 1, y0 + 1), (x1 - fold - 0.4, y0 + 1), (x1 - 1, y0 + fold + 0.4),
               (x1 - 1, y1 - 1), (x0 + 1, y1 - 1)], PAPER)
    c.polygon([(x1 - fold, y0), (x1, y0 + fold), (x1 - fold, y0 + fold)], INK)
    c.polygon([(x1 - fold + 1, y0 + 2.4), (x1 - 2.4, y0 + fold - 1), (x1 - fold + 1, y0 + fold - 1)],
              PAPER_SHADE)


def table(c, x0, y0, x1, y1, rows=5, cols=3, row=None, column=None, header=True):
    """A grid of rows and columns, optionally with one row or one column selected."""
    c.box(x0, y0, x1, y1, PAPER, INK)
    ih = (y1 - y0 - 2) / rows
    iw = (x1 - x0 - 2) / cols
    if header:
        c.rect(x0 + 1, y0 + 1, x1 - 1, y0 + 1 + round(ih), HEADER)
    if column is not None:
        cx = x0 + 1 + round(column * iw)
        c.rect(cx, y0 + 1 + round(ih), x0 + 1 + round((column + 1) * iw), y1 - 1, SELECT)
    if row is not None:
        ry = y0 + 1 + round(row * ih)
        c.rect(x0 + 1, ry, x1 - 1, y0 + 1 + round((row + 1) * ih), SELECT)
    for k in range(1, rows):
        ry = y0 + 1 + round(k * ih)
        c.rect(x0 + 1, ry - 1, x1 - 1, ry, RULE)
    for k in range(1, cols):
        cx = x0 + 1 + round(k * iw)
        c.rect(cx - 1, y0 + 1, cx, y1 - 1, RULE)


def pencil(c, x0, y0, x1, y1, w=5.0):
    """A pencil lying from its point (x0, y0) to its end (x1, y1)."""
    dx, dy = x1 - x0, y1 - y0
    length = math.hypot(dx, dy)
    ux, uy = dx / length, dy / length
    nx, ny = -uy, ux
    h = w / 2

    def at(t, s):
        return (x0 + ux * t + nx * s, y0 + uy * t + ny * s)

    tip = w * 1.3
    c.polygon([at(-0.8, 0), at(tip + 0.6, h + 1), at(length + 0.8, h + 1),
               at(length + 0.8, -h - 1), at(tip + 0.6, -h - 1)], INK)
    c.polygon([at(0.9, 0), at(tip, h), at(tip, -h)], WOOD)
    c.polygon([at(0, 0), at(tip * 0.38, h * 0.38), at(tip * 0.38, -h * 0.38)], INK)
    c.polygon([at(tip, h), at(length - 3.5, h), at(length - 3.5, -h), at(tip, -h)], YELLOW)
    c.polygon([at(tip, h * 0.2), at(length - 3.5, h * 0.2), at(length - 3.5, -h * 0.2),
               at(tip, -h * 0.2)], (226, 170, 20))
    c.polygon([at(length - 3.5, h), at(length - 2.3, h), at(length - 2.3, -h),
               at(length - 3.5, -h)], METAL_DARK)
    c.polygon([at(length - 2.3, h), at(length, h), at(length, -h), at(length - 2.3, -h)], PINK)


def arrow(c, cx, y_tail, y_head, colour, dark, shaft=5.0, head=11.0):
    """A vertical block arrow from y_tail to y_head, centred on cx."""
    d = 1 if y_head > y_tail else -1
    hl = head * 0.55
    base = y_head - d * hl
    pts = [(cx - shaft / 2, y_tail), (cx + shaft / 2, y_tail), (cx + shaft / 2, base),
           (cx + head / 2, base), (cx, y_head), (cx - head / 2, base), (cx - shaft / 2, base)]
    # the outline: the same shape grown by one pixel
    o = 1.0
    big = [(cx - shaft / 2 - o, y_tail - d * o), (cx + shaft / 2 + o, y_tail - d * o),
           (cx + shaft / 2 + o, base - d * o), (cx + head / 2 + o * 2.2, base - d * o),
           (cx, y_head + d * o * 1.9), (cx - head / 2 - o * 2.2, base - d * o),
           (cx - shaft / 2 - o, base - d * o)]
    c.polygon(big, dark)
    c.polygon(pts, colour)


def magnifier(c, cx, cy, r):
    """A magnifying glass with its lens centred at (cx, cy) and the handle to the lower right."""
    k = 0.7071
    hx0, hy0 = cx + (r + 0.5) * k, cy + (r + 0.5) * k
    c.line(hx0, hy0, hx0 + 6, hy0 + 6, 4.6, INK)
    c.line(hx0 + 1.5, hy0 + 1.5, hx0 + 5.5, hy0 + 5.5, 2.4, BROWN)
    c.circle(cx, cy, r + 1, INK)
    c.circle(cx, cy, r - 1, GLASS)
    c.circle(cx, cy, r, METAL_DARK, inner=r - 1.2)
    c.circle(cx - r * 0.35, cy - r * 0.35, r * 0.28, PAPER)


def gear(c, cx, cy, r, teeth=8):
    """A cog wheel of outer radius r with a hole in the middle."""
    pts_o, pts_i = [], []
    for i in range(teeth * 4):
        a = 2 * math.pi * (i - 0.5) / (teeth * 4)
        rr = r if (i // 2) % 2 == 0 else r * 0.72
        pts_o.append((cx + (rr + 1) * math.cos(a), cy + (rr + 1) * math.sin(a)))
        pts_i.append((cx + rr * math.cos(a), cy + rr * math.sin(a)))
    c.polygon(pts_o, INK)
    c.polygon(pts_i, METAL_DARK)
    c.circle(cx, cy, r * 0.62, (150, 154, 166))
    c.circle(cx, cy, r * 0.3, INK)
    c.circle(cx, cy, r * 0.3 - 1, FACE)


def red_x(c, cx, cy, s):
    c.line(cx - s, cy - s, cx + s, cy + s, 6.4, RED_DARK)
    c.line(cx - s, cy + s, cx + s, cy - s, 6.4, RED_DARK)
    c.line(cx - s, cy - s, cx + s, cy + s, 4.2, RED)
    c.line(cx - s, cy + s, cx + s, cy - s, 4.2, RED)


# ---------------------------------------------------------------------------
# The toolbar pictures, in button order.

def tb_folder_browser(c):
    open_folder(c, 1, 4, 26, 25)
    magnifier(c, 20, 19, 6)


def tb_dwg_subfolders(c):
    folder(c, 10, 1, 31, 17)
    c.rect(4, 13, 5, 22, INK)
    c.rect(4, 21, 9, 22, INK)
    folder(c, 1, 9, 25, 29)
    label(c, 4, 18, 'DWG', DWG_INK)


def tb_dwg_folder(c):
    folder(c, 1, 5, 31, 28)
    label(c, 6, 15, 'DWG', DWG_INK)


def tb_dxf_folder(c):
    folder(c, 1, 5, 31, 28)
    label(c, 6, 15, 'DXF', DXF_INK)


def tb_dwg_open_file(c):
    sheet(c, 5, 1, 27, 31, fold=7)
    # a little drawing on the sheet
    c.rect(8, 5, 18, 6, BLUE_LIGHT)
    c.rect(8, 5, 9, 13, BLUE_LIGHT)
    c.rect(8, 12, 23, 13, BLUE_LIGHT)
    c.circle(15.5, 9, 2.2, BLUE_LIGHT, inner=1.2)
    c.text(8, 16, 'DWG', DWG_INK, FONT5)
    c.rect(8, 24, 24, 25, RULE)
    c.rect(8, 27, 20, 28, RULE)


def tb_delete_rows(c):
    table(c, 1, 2, 26, 28, rows=5, cols=3, row=2)
    red_x(c, 22, 22, 5.5)


def tb_write_and_run(c):
    sheet(c, 2, 1, 20, 27, fold=6)
    for k, w in enumerate((10, 8, 11, 7, 9, 6)):
        c.rect(5, 6 + k * 3, 5 + w, 7 + k * 3, BLUE)
    c.polygon([(11, 9), (31, 20), (11, 31)], GREEN_DARK)
    c.polygon([(12.6, 11.8), (28, 20), (12.6, 28.2)], GREEN)
    c.polygon([(12.6, 11.8), (26, 19), (12.6, 14)], GREEN_LIGHT)


def tb_printer_listing(c):
    # paper coming out of the top, with a list on it
    c.box(8, 1, 24, 16, PAPER, INK)
    for k in range(4):
        c.rect(10, 4 + k * 3, 12, 5 + k * 3, BLUE)
        c.rect(13, 4 + k * 3, 22 - (k % 2) * 3, 5 + k * 3, METAL_DARK)
    # printer body
    c.polygon([(1, 16), (4, 12), (28, 12), (31, 16), (31, 27), (1, 27)], INK)
    c.polygon([(2, 16.2), (4.5, 13), (27.5, 13), (30, 16.2), (30, 26), (2, 26)], METAL)
    c.rect(2, 16, 30, 17, (196, 198, 206))
    c.rect(6, 13, 26, 15, SLOT)
    c.rect(24, 19, 27, 21, GREEN)
    c.rect(5, 20, 20, 21, METAL_DARK)
    # paper tray out of the bottom
    c.box(5, 26, 27, 30, PAPER, INK)


def tb_initial_values(c):
    table(c, 1, 2, 25, 27, rows=5, cols=3)
    # a new row, marked with a star
    c.rect(2, 22, 24, 26, GLASS)
    gear(c, 23, 22, 7.6)


def tb_edit_row(c):
    table(c, 1, 2, 25, 28, rows=5, cols=3, row=2)
    pencil(c, 14, 29, 30, 13, w=5)


def tb_copy_row(c):
    for x, y in ((1, 1), (12, 10)):
        c.box(x, y, x + 19, y + 21, PAPER, INK)
        c.rect(x + 1, y + 1, x + 18, y + 5, HEADER)
        c.rect(x + 1, y + 5, x + 18, y + 6, RULE)
        c.rect(x + 3, y + 8, x + 16, y + 9, RULE)
        c.rect(x + 1, y + 10, x + 18, y + 14, SELECT)
        c.rect(x + 3, y + 16, x + 16, y + 17, RULE)


def tb_paste_row(c):
    c.box(3, 3, 27, 31, BROWN_LIGHT, BROWN_DARK)
    c.rect(4, 4, 26, 5, (214, 160, 100))
    c.box(7, 8, 24, 29, PAPER, INK)
    c.rect(8, 9, 23, 12, HEADER)
    c.rect(9, 14, 22, 15, RULE)
    c.rect(8, 17, 23, 21, SELECT)
    c.rect(9, 23, 22, 24, RULE)
    c.rect(9, 26, 19, 27, RULE)
    # the clip
    c.box(10, 1, 20, 7, METAL, INK)
    c.rect(13, 2, 17, 4, INK)
    c.rect(11, 5, 19, 6, METAL_DARK)


def tb_edit_column(c):
    table(c, 1, 2, 25, 28, rows=5, cols=3, column=1)
    pencil(c, 14, 29, 30, 13, w=5)


def tb_row_down(c):
    table(c, 1, 2, 19, 29, rows=6, cols=2, row=3)
    arrow(c, 25.5, 3, 28.5, BLUE, BLUE_DARK, shaft=5, head=11)


def tb_row_up(c):
    table(c, 1, 2, 19, 29, rows=6, cols=2, row=2)
    arrow(c, 25.5, 28, 2.5, BLUE, BLUE_DARK, shaft=5, head=11)


def tb_help(c):
    c.circle(16, 16, 14.6, BLUE_DARK)
    c.circle(16, 16, 13.4, BLUE)
    c.circle(14, 13, 9, (70, 130, 226))
    c.circle(16, 16, 13.4, BLUE, inner=12.2)
    # the question mark
    pts = []
    for i in range(0, 13):
        a = math.pi * (1.0 + i / 12 * 1.3)
        pts.append((16 + 5 * math.cos(a), 12 + 4.6 * math.sin(a)))
    pts += [(16.4, 18.4), (16.4, 20)]
    c.polyline(pts, 3.6, PAPER)
    c.circle(16.4, 24.6, 2.2, PAPER)


def tb_exit(c):
    # door frame and the dark doorway
    c.box(3, 2, 21, 30, (70, 50, 40), INK)
    c.rect(1, 29, 23, 31, INK)
    # the door, swung open towards the viewer
    c.polygon([(4, 3), (12, 6), (12, 31), (4, 29)], BROWN_DARK)
    c.polygon([(5, 4.4), (11, 6.6), (11, 29.5), (5, 28)], BROWN)
    c.polygon([(6, 7), (10, 8.4), (10, 15), (6, 14)], BROWN_LIGHT)
    c.polygon([(6, 17), (10, 18), (10, 26), (6, 25)], BROWN_LIGHT)
    c.circle(9.6, 19, 1.0, YELLOW)
    # the way out
    y = 16
    c.polygon([(13, y - 3.4), (21, y - 3.4), (21, y - 8), (31, y), (21, y + 8), (21, y + 3.4),
               (13, y + 3.4)], GREEN_DARK)
    c.polygon([(14.2, y - 2.2), (22.2, y - 2.2), (22.2, y - 5.6), (29.2, y), (22.2, y + 5.6),
               (22.2, y + 2.2), (14.2, y + 2.2)], GREEN)


def tb_parallel(c):
    # three sheets plotted side by side, each with its own small run arrow
    for k, x in enumerate((1, 11, 21)):
        y = 2 + k * 2
        c.box(x, y, x + 10, y + 16, PAPER, INK)
        for j in range(3):
            c.rect(x + 2, y + 3 + j * 3, x + 8 - (j % 2) * 2, y + 4 + j * 3, BLUE)
        c.polygon([(x + 1, y + 18), (x + 10, y + 22.5), (x + 1, y + 27)], GREEN_DARK)
        c.polygon([(x + 2.2, y + 20), (x + 8, y + 22.5), (x + 2.2, y + 25)], GREEN)


TOOLBAR_PICTURES = [
    tb_folder_browser,   # 330 folder browser
    tb_dwg_subfolders,   # 331 DWG files of a folder and its subfolders
    tb_dwg_folder,       # 332 DWG files of one folder
    tb_dxf_folder,       # 333 DXF files of one folder
    tb_dwg_open_file,    # 334 DWG files chosen in the open-file dialog
    tb_delete_rows,      # 335 delete the selected rows
    tb_write_and_run,    # 336 write the script and run it
    tb_printer_listing,  # 337 printer and paper listing
    tb_initial_values,   # 338 initial values of new rows
    tb_edit_row,         # 339 edit one row
    tb_copy_row,         # 340 copy one row
    tb_paste_row,        # 341 paste one row
    tb_edit_column,      # 342 edit one column
    tb_row_down,         # 343 move the selected row down
    tb_row_up,           # 344 move the selected row up
    tb_help,             # 345 help
    tb_exit,             # 346 exit
    tb_parallel,         # 347 plot in parallel (Core Console)
]

TOOLBAR_CELL = 32


def toolbar_pixels():
    """The toolbar strip and the colours the drawings asked for."""
    strip = [[] for _ in range(TOOLBAR_CELL)]
    wanted = set()
    for draw in TOOLBAR_PICTURES:
        c = Canvas(TOOLBAR_CELL, TOOLBAR_CELL, FACE)
        draw(c)
        wanted |= c.colours
        for y, row in enumerate(c.pixels()):
            strip[y].extend(row)
    return strip, wanted


# ---------------------------------------------------------------------------
# Palette: every colour a drawing asked for keeps its exact value; the blended
# edge colours share the remaining entries (median cut).

def median_cut(colours, count):
    """colours: {rgb: weight}; returns at most count representative colours."""
    boxes = [list(colours.items())]
    while len(boxes) < count:
        best, best_range = None, 0
        for i, b in enumerate(boxes):
            if len(b) < 2:
                continue
            rng = max(max(c[k] for c, _ in b) - min(c[k] for c, _ in b) for k in range(3))
            if rng > best_range:
                best, best_range = i, rng
        if best is None:
            break
        b = boxes.pop(best)
        k = max(range(3), key=lambda k: max(c[k] for c, _ in b) - min(c[k] for c, _ in b))
        b.sort(key=lambda cw: cw[0][k])
        total = sum(w for _, w in b)
        acc, cut = 0, 1
        for i, (_, w) in enumerate(b):
            acc += w
            if acc * 2 >= total:
                cut = min(max(i + 1, 1), len(b) - 1)
                break
        boxes += [b[:cut], b[cut:]]
    out = []
    for b in boxes:
        total = sum(w for _, w in b)
        out.append(tuple((sum(c[k] * w for c, w in b) + total // 2) // total for k in range(3)))
    return out


def palettize(pixels, wanted):
    fixed = sorted(wanted)
    if len(fixed) > 256:
        raise SystemExit('toolbar: more than 256 drawing colours')
    fixed_set = set(fixed)
    blends = {}
    for row in pixels:
        for p in row:
            if p not in fixed_set:
                blends[p] = blends.get(p, 0) + 1
    palette = list(fixed)
    room = 256 - len(palette)
    if len(blends) <= room:
        palette += sorted(blends)
    else:
        palette += median_cut(blends, room)
    index = {c: i for i, c in enumerate(palette)}
    cache = {}

    def nearest(p):
        if p in index:
            return index[p]
        if p not in cache:
            cache[p] = min(range(len(palette)),
                           key=lambda i: sum((palette[i][k] - p[k]) ** 2 for k in range(3)))
        return cache[p]

    rows = [[nearest(p) for p in row] for row in pixels]
    palette += [(0xC0, 0xC0, 0xC0)] * (256 - len(palette))
    return palette, rows


# ---------------------------------------------------------------------------
# BMP files: BITMAPFILEHEADER + BITMAPINFOHEADER, bottom-up rows padded to
# four bytes.

def bmp_8bit(palette, rows):
    h, w = len(rows), len(rows[0])
    stride = (w + 3) & ~3
    table = b''.join(struct.pack('BBBB', b, g, r, 0) for (r, g, b) in palette)
    bits = b''.join(bytes(row) + b'\0' * (stride - w) for row in reversed(rows))
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 8, 0, len(bits), 2835, 2835, 256, 0)
    offset = 14 + len(info) + len(table)
    head = struct.pack('<2sIHHI', b'BM', offset + len(bits), 0, 0, offset)
    return head + info + table + bits


def bmp_24bit(rows):
    h, w = len(rows), len(rows[0])
    stride = (w * 3 + 3) & ~3
    bits = b''.join(b''.join(struct.pack('BBB', b, g, r) for (r, g, b) in row) +
                    b'\0' * (stride - w * 3) for row in reversed(rows))
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, len(bits), 2835, 2835, 0, 0)
    offset = 14 + len(info)
    head = struct.pack('<2sIHHI', b'BM', offset + len(bits), 0, 0, offset)
    return head + info + bits


def toolbar_bmp():
    pixels, wanted = toolbar_pixels()
    palette, rows = palettize(pixels, wanted)
    return bmp_8bit(palette, rows)


# ---------------------------------------------------------------------------
# The About picture (128 x 64): a flatbed plotter drawing the program's name.

def stroke_glyphs():
    """Pen strokes of the letters of the name, in a 10 x 16 box (x-height 8 to 16)."""
    def arc(cx, cy, rx, ry, a0, a1, n=14):
        return [(cx + rx * math.cos(math.radians(a0 + (a1 - a0) * i / n)),
                 cy + ry * math.sin(math.radians(a0 + (a1 - a0) * i / n))) for i in range(n + 1)]
    return {
        'T': ([[(0, 2), (10, 2)], [(5, 2), (5, 16)]], 10),
        'o': ([arc(4.5, 12, 4, 4, 0, 360, 24)], 9),
        'v': ([[(0, 8), (4, 16), (8, 8)]], 8),
        'r': ([[(0, 8), (0, 16)], [(0, 12)] + arc(4.5, 12, 4.5, 4, 180, 290, 8)], 7),
        'e': ([[(0.5, 12), (8.5, 12)] + arc(4.5, 12, 4, 4, 0, -300, 22)], 9),
        'l': ([[(1, 1), (1, 16)]], 2),
    }


def icon_layers(c, k):
    """The program's icon on a canvas, in units of a 32-pixel icon times k: a
    stack of three plotted sheets and a plotter's pen drawing on the top one."""
    # the sheets, each a little lower and to the left of the one behind it
    for x0, y0, fill in ((12, 2, PAPER_SHADE), (8, 5, (236, 240, 246)), (3, 9, PAPER)):
        c.box(x0 * k, y0 * k, (x0 + 17) * k, (y0 + 21) * k, fill, BLUE_DARK, t=max(1.0, k))
    # the drawing on the front sheet: its frame and a part
    t = max(0.8, 0.9 * k)
    c.rect(5.5 * k, 11.5 * k, 17.5 * k, 11.5 * k + t, BLUE)
    c.rect(5.5 * k, 11.5 * k, 5.5 * k + t, 27.5 * k, BLUE)
    c.rect(5.5 * k, 27.5 * k - t, 17.5 * k, 27.5 * k, BLUE)
    if k >= 1:
        c.circle(10 * k, 22 * k, 2.6 * k, BLUE, inner=2.6 * k - t)
    # the line the pen has just drawn, ending at its tip
    c.line(8 * k, 16 * k, 15 * k, 23 * k, max(1.1, 1.3 * k), RED)
    # the pen: a dark barrel along the diagonal, a red cap, a metal tip
    tip = (15.5 * k, 23.5 * k)
    def along(d, side):
        # d along the barrel (up and to the right), side across it
        return (tip[0] + (d + side) * 0.7071 * k, tip[1] + (-d + side) * 0.7071 * k)
    c.polygon([along(0, 0), along(4, -1.6), along(4, 1.6)], METAL_DARK)
    c.polygon([along(4, -2.6), along(17, -2.6), along(17, 2.6), along(4, 2.6)], INK)
    c.polygon([along(5, -1.6), along(16, -1.6), along(16, -0.6), along(5, -0.6)], (90, 96, 112))
    c.polygon([along(17, -2.9), along(22, -2.9), along(22, 2.9), along(17, 2.9)], RED)
    c.polygon([along(17, -2.9), along(18.2, -2.9), along(18.2, 2.9), along(17, 2.9)], RED_DARK)


def icon_pixels(size):
    """The icon at one size as rows of (r, g, b, a): drawn once on black and
    once on white, the difference gives each pixel's coverage."""
    ss = 4 if size <= 48 else 2
    k = size / 32
    on = []
    for ground in ((0, 0, 0), (255, 255, 255)):
        c = Canvas(size, size, ground, ss=ss)
        icon_layers(c, k)
        on.append(c.pixels())
    rows = []
    for black_row, white_row in zip(*on):
        row = []
        for b, w in zip(black_row, white_row):
            a = max(0, min(255, 255 - round(sum(wc - bc for bc, wc in zip(b, w)) / 3)))
            row.append(tuple(min(255, round(bc * 255 / a)) if a else 0 for bc in b) + (a,))
        rows.append(row)
    return rows


def ico_bytes(sizes):
    """An icon file holding 32-bit pictures (with alpha) of the given sizes."""
    images = []
    for size in sizes:
        px = icon_pixels(size)
        header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
        xor = b''.join(struct.pack('BBBB', b, g, r, a)
                       for row in reversed(px) for (r, g, b, a) in row)
        mask_row = ((size + 31) // 32) * 4
        and_mask = b''.join(
            bytes(sum(0x80 >> (x % 8) for x in range(i * 8, min(i * 8 + 8, size)) if row[x][3] == 0)
                  if i * 8 < size else 0 for i in range(mask_row))
            for row in reversed(px))
        images.append((size, header + xor + and_mask))
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b''.join(data for _, data in images)


def about_pixels():
    w, h = 128, 64
    c = Canvas(w, h, (36, 66, 128), ss=4)
    # a soft gradient ground
    for y in range(h):
        t = y / (h - 1)
        c.rect(0, y, w, y + 1, (int(28 + 26 * t), int(52 + 36 * t), int(110 + 40 * t)))
    # the plotter's bed and the sheet on it
    c.box(4, 6, 124, 60, (72, 76, 88), (20, 22, 30))
    c.rect(5, 56, 123, 59, (52, 54, 64))
    c.box(8, 9, 114, 54, PAPER, (170, 176, 190))
    c.rect(10, 11, 112, 12, (90, 120, 190))
    c.rect(10, 51, 112, 52, (90, 120, 190))
    c.rect(10, 11, 11, 52, (90, 120, 190))
    c.rect(111, 11, 112, 52, (90, 120, 190))
    # title block in the lower right corner
    c.rect(84, 44, 85, 52, (90, 120, 190))
    c.rect(84, 44, 112, 45, (90, 120, 190))
    c.rect(86, 47, 108, 48, (170, 186, 214))
    c.rect(86, 49, 100, 50, (170, 186, 214))
    # a little mechanical drawing at the left
    light = (150, 176, 222)
    c.circle(22, 42, 5.5, light, inner=4.7)
    c.circle(22, 42, 1.6, light)
    c.line(14, 42, 30, 42, 0.6, light)
    c.line(22, 34, 22, 50, 0.6, light)
    c.rect(36, 38, 37, 48, light)
    c.rect(36, 38, 60, 39, light)
    c.rect(59, 38, 60, 48, light)
    c.rect(36, 47, 60, 48, light)
    c.line(36, 38, 60, 48, 0.6, light)
    # the name, drawn by the pen
    glyphs = stroke_glyphs()
    name = 'Tovrel'
    scale = 1.3
    gap = 3.0
    total = sum(glyphs[ch][1] for ch in name) * scale + gap * (len(name) - 1)
    x = 52 - total / 2
    top = 12
    last = None
    ink = (200, 30, 40)
    for ch in name:
        strokes, adv = glyphs[ch]
        for s in strokes:
            pts = [(x + px * scale, top + py * scale) for px, py in s]
            c.polyline(pts, 2.2, ink)
            last = pts[-1]
        x += adv * scale + gap
    # the gantry across the sheet, just right of the pen; the carriage holds
    # the pen at the end of the last stroke
    px, py = last
    gx = px + 10
    c.rect(gx - 5, 3, gx + 5, 62, (20, 22, 30))
    c.rect(gx - 4, 4, gx + 4, 61, (176, 180, 192))
    c.rect(gx - 4, 4, gx - 2, 61, (214, 218, 228))
    c.rect(gx + 2, 4, gx + 4, 61, (132, 136, 150))
    c.box(px + 3, py - 8, gx + 7, py + 1, (60, 64, 78), (20, 22, 30))
    c.rect(px + 5, py - 6, gx + 5, py - 5, (110, 116, 134))
    c.circle(gx + 3, py - 2.5, 1.0, (90, 230, 110))
    c.polygon([(px + 3, py - 3), (px + 3, py + 0.5), (px + 1.2, py + 0.6)], (20, 22, 30))
    c.polygon([(px + 3, py - 2), (px + 3, py), (px + 1.8, py + 0.3)], ink)
    return c.pixels()


def about_bmp():
    return bmp_24bit(about_pixels())


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    (out / 'tovrel.ico').write_bytes(ico_bytes([16, 20, 24, 32, 48, 256]))
    (out / 'small.ico').write_bytes(ico_bytes([16, 20, 24]))
    (out / 'toolbar.bmp').write_bytes(toolbar_bmp())
    (out / 'about.bmp').write_bytes(about_bmp())


if __name__ == '__main__':
    main()
