#!/usr/bin/env python3
"""Draws every picture of Tarnlog and writes it into the folder given by --out:
the 16x16 menu-item bitmaps, the 27 VORN logo bitmaps, the program icon and the
two database status icons, and a stamp file that lists them (written last, so
its presence means the set is complete).

Standard library only; the output is the same byte for byte on every run.

The menu bitmaps (all but idb_vorn.bmp) sit on a pure magenta background: the
editor replaces every pixel of the top-left pixel's colour with the menu colour,
so no glyph uses magenta and the glyphs are drawn without smoothing (a blended
edge pixel would show as a pink fringe in the menu)."""

import argparse
import os
import struct

KEY = (0xFF, 0x00, 0xFF)


# ---------------------------------------------------------------- file formats

def bmp24(width, height, pixels):
    """A 24-bit bottom-up BMP; pixels: rows of (r, g, b), top row first."""
    stride = (width * 3 + 3) & ~3
    body = bytearray()
    for row in reversed(pixels):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += bytes(stride - len(line))
        body += line
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(body), 2835, 2835, 0, 0)
    head = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(body), 0, 0, 14 + len(info))
    return head + info + body


def ico(images):
    """An icon file of 32-bit images with AND masks; images: (size, rows of (r, g, b, a))."""
    entries = bytearray()
    blobs = []
    offset = 6 + 16 * len(images)
    for size, rows in images:
        mask_stride = ((size + 31) // 32) * 4
        colour = bytearray()
        mask = bytearray()
        for row in reversed(rows):
            bits = bytearray(mask_stride)
            for x, (r, g, b, a) in enumerate(row):
                colour += bytes((b, g, r, a))
                if a == 0:
                    bits[x // 8] |= 0x80 >> (x % 8)
            mask += bits
        info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0,
                           len(colour) + len(mask), 0, 0, 0, 0)
        blob = info + colour + mask
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
        blobs.append(blob)
    return struct.pack("<HHH", 0, 1, len(images)) + bytes(entries) + b"".join(blobs)


# ---------------------------------------------------------------- pixel art

MENU_COLOURS = {
    ".": KEY,
    "k": (0x20, 0x20, 0x20),   # outline
    "w": (0xFF, 0xFF, 0xFF),
    "g": (0xC8, 0xC8, 0xC8),
    "G": (0x80, 0x80, 0x80),
    "y": (0xF4, 0xD0, 0x50),   # folder front
    "Y": (0xC8, 0x98, 0x28),   # folder back
    "b": (0x30, 0x68, 0xC8),
    "B": (0x20, 0x38, 0x88),
    "l": (0xA8, 0xC8, 0xF0),
    "r": (0xE0, 0x30, 0x30),
    "o": (0xF0, 0x90, 0x30),
    "e": (0x30, 0xA8, 0x40),
    "E": (0x18, 0x68, 0x28),
    "n": (0x90, 0x60, 0x30),   # brown (door)
}

PAGE = [
    "................",
    "..kkkkkkkkk.....",
    "..kwwwwwwwkk....",
    "..kwwwwwwwkwk...",
    "..kwwwwwwwkkkk..",
    "..kwGGGGGwwwwk..",
    "..kwwwwwwwwwwk..",
    "..kwGGGGGGGwwk..",
    "..kwwwwwwwwwwk..",
    "..kwGGGGGGGwwk..",
    "..kwwwwwwwwwwk..",
    "..kwGGGGGGGwwk..",
    "..kwwwwwwwwwwk..",
    "..kwwwwwwwwwwk..",
    "..kkkkkkkkkkkk..",
    "................",
]

NEW_SPARK = [
    "..o.............",
    "o.o.o...........",
    ".ooo............",
    "ooooo...........",
    ".ooo............",
    "o.o.o...........",
    "..o.............",
] + ["................"] * 9

OPEN_FOLDER = [
    "................",
    "................",
    ".kkkk...........",
    "kYYYYk..........",
    "kYYYYYkkkkkkk...",
    "kYYYYYYYYYYYk...",
    "kYYYYYYYYYYYk...",
    "kYYYkkkkkkkkkkkk",
    "kYYkyyyyyyyyyyyk",
    "kYYkyyyyyyyyyyk.",
    "kYkyyyyyyyyyyyk.",
    "kYkyyyyyyyyyyk..",
    "kkyyyyyyyyyyyk..",
    "kkkkkkkkkkkkk...",
    "................",
    "................",
]

DISK = [
    "................",
    ".kkkkkkkkkkkkk..",
    ".kBwwwwwwwwwBkk.",
    ".kBwwwwwwwwwBBk.",
    ".kBwGGGGGGGwBBk.",
    ".kBwwwwwwwwwBBk.",
    ".kBwGGGGGGGwBBk.",
    ".kBwwwwwwwwwBBk.",
    ".kBBBBBBBBBBBBk.",
    ".kBBggggggggBBk.",
    ".kBBggkkggggBBk.",
    ".kBBggkkggggBBk.",
    ".kBBggkkggggBBk.",
    ".kBBggggggggBBk.",
    ".kkkkkkkkkkkkkk.",
    "................",
]

SMALL_DISK = ["................"] * 5 + [
    "kkkkkkkkkk......",
    "kBwwwwwwBk......",
    "kBwGGGGwBk......",
    "kBwwwwwwBk......",
    "kBwGGGGwBk......",
    "kBBBBBBBBk......",
    "kBBggggBBk......",
    "kBBgkkgBBk......",
    "kBBggggBBk......",
    "kkkkkkkkkk......",
    "................",
]

PENCIL = [
    ".............kk.",
    "............krrk",
    "...........kokrk",
    "..........kook.k",
    ".........kook.k.",
    "........kookkk..",
    ".......kook.k...",
    "......kgook.....",
    "......kggk......",
    "......kkk.......",
] + ["................"] * 6

QUIT = [
    "................",
    ".kkkkkkkk.......",
    ".kGGGGGGk.......",
    ".kGnnnnGk.......",
    ".kGnnnnGk...k...",
    ".kGnnnnGk...kk..",
    ".kGnnnnkkkkkkek.",
    ".kGnnnnkeeeeeeek",
    ".kGnnnnkkkkkkek.",
    ".kGnnnnGk...kk..",
    ".kGnnnnGk...k...",
    ".kGnnnnGk.......",
    ".kGnnnnGk.......",
    ".kGGGGGGk.......",
    "kkkkkkkkkk......",
    "................",
]

GEAR = [
    "................",
    "......kkkk......",
    "...kk.kGGk.kk...",
    "..kGGkkGGkkGGk..",
    "..kGGGGGGGGGGk..",
    "...kGGGkkGGGk...",
    ".kkkGGk..kGGkkk.",
    ".kGGGk....kGGGk.",
    ".kGGGk....kGGGk.",
    ".kkkGGk..kGGkkk.",
    "...kGGGkkGGGk...",
    "..kGGGGGGGGGGk..",
    "..kGGkkGGkkGGk..",
    "...kk.kGGk.kk...",
    "......kkkk......",
    "................",
]

RED_CROSS = ["................"] * 8 + [
    "........kk...kk.",
    ".......krrk.krrk",
    "........krrkrrk.",
    ".........krrrk..",
    "........krrkrrk.",
    ".......krrk.krrk",
    "........kk...kk.",
    "................",
]

HELP = [
    "................",
    ".....kkkkkk.....",
    "...kkbbbbbbkk...",
    "..kbbbwwwwbbbk..",
    "..kbbwwbbwwbbk..",
    ".kbbbwwbbwwbbbk.",
    ".kbbbbbbbwwbbbk.",
    ".kbbbbbbwwbbbbk.",
    ".kbbbbbwwbbbbbk.",
    ".kbbbbbwwbbbbbk.",
    ".kbbbbbbbbbbbbk.",
    ".kbbbbbwwbbbbbk.",
    "..kbbbbwwbbbbk..",
    "...kkbbbbbbkk...",
    ".....kkkkkk.....",
    "................",
]

OUT_ARROW = ["................"] * 6 + [
    "..........k.....",
    "..........kk....",
    "......kkkkkek...",
    "......keeeeeek..",
    "......keeeeeeek.",
    "......keeeeeek..",
    "......kkkkkek...",
    "..........kk....",
    "..........k.....",
    "................",
]

CYLINDER = [
    "................",
    "...kkkkkkkk.....",
    ".kkllllllllkk...",
    "kllllllllllllk..",
    "kkllllllllllkk..",
    "kbkkkkkkkkkkbk..",
    "kbbbbbbbbbbbbk..",
    "kbbbbbbbbbbbbk..",
    "kkbbbbbbbbbbkk..",
    "kbkkkkkkkkkkbk..",
    "kbbbbbbbbbbbbk..",
    "kbbbbbbbbbbbbk..",
    "kkbbbbbbbbbbkk..",
    ".kkbbbbbbbbkk...",
    "...kkkkkkkk.....",
    "................",
]

UP_ARROW = ["................"] * 6 + [
    "............k...",
    "...........kek..",
    "..........keeek.",
    ".........keeeeek",
    ".........kkeeekk",
    "..........keeek.",
    "..........keeek.",
    "..........keeek.",
    "..........keeek.",
    "..........kkkkk.",
]

CLOCK = [
    "................",
    ".....kkkkkk.....",
    "...kkwwwwwwkk...",
    "..kwwwwkwwwwwk..",
    "..kwwwwkwwwwwk..",
    ".kwwwwwkwwwwwwk.",
    ".kwwwwwkwwwwwwk.",
    ".kwwwwwkkkkkwwk.",
    ".kwwwwwwwwwwwwk.",
    ".kwwwwwwwwwwwwk.",
    ".kwwwwwwwwwwwwk.",
    "..kwwwwwwwwwwk..",
    "..kwwwwwwwwwwk..",
    "...kkwwwwwwkk...",
    ".....kkkkkk.....",
    "................",
]


def art(*layers):
    """Stacks pixel-art layers; '.' in an upper layer lets the lower one show."""
    size = 16
    grid = [["."] * size for _ in range(size)]
    for layer in layers:
        assert len(layer) == size, layer
        for y, line in enumerate(layer):
            assert len(line) == size, line
            for x, ch in enumerate(line):
                if ch != ".":
                    grid[y][x] = ch
    return [[MENU_COLOURS[ch] for ch in row] for row in grid]


MENU_BITMAPS = {
    "idb_new": (PAGE, NEW_SPARK),
    "idb_open": (OPEN_FOLDER,),
    "idb_save": (DISK,),
    "idb_saveas": (SMALL_DISK, PENCIL),
    "idb_quit": (QUIT,),
    "idb_cfg": (GEAR,),
    "idb_close": (PAGE, RED_CROSS),
    "idb_help": (HELP,),
    "idb_export": (PAGE, OUT_ARROW),
    "idb_dbupd": (CYLINDER, UP_ARROW),
    "idb_recent": (CLOCK,),
    "idb_clearhist": (CLOCK, RED_CROSS),
}


# ---------------------------------------------------------------- vector drawing

class Canvas:
    """RGBA pixels drawn at `scale` pixels per design unit; shapes are polygons
    (several contours, even-odd rule) sampled at pixel centres."""

    def __init__(self, pixels, units, background):
        self.size = pixels
        self.scale = pixels / units
        self.rgba = [list(background) for _ in range(pixels * pixels)]

    def spans(self, contours):
        s = self.scale
        edges = []
        for contour in contours:
            pts = [(x * s, y * s) for x, y in contour]
            for i in range(len(pts)):
                (x0, y0), (x1, y1) = pts[i], pts[(i + 1) % len(pts)]
                if y0 != y1:
                    edges.append((x0, y0, x1, y1))
        if not edges:
            return
        top = max(0, int(min(min(e[1], e[3]) for e in edges)))
        bottom = min(self.size - 1, int(max(max(e[1], e[3]) for e in edges)) + 1)
        for py in range(top, bottom + 1):
            cy = py + 0.5
            xs = []
            for x0, y0, x1, y1 in edges:
                if (y0 <= cy < y1) or (y1 <= cy < y0):
                    xs.append(x0 + (cy - y0) * (x1 - x0) / (y1 - y0))
            xs.sort()
            for i in range(0, len(xs) - 1, 2):
                left = max(0, int(xs[i] + 0.5))
                right = min(self.size - 1, int(xs[i + 1] + 0.5) - 1)
                if left <= right:
                    yield py, left, right

    def fill(self, contours, colour, clip=None):
        rgba = tuple(colour) + (255,) if len(colour) == 3 else tuple(colour)
        for py, left, right in self.spans(contours):
            base = py * self.size
            for px in range(left, right + 1):
                if clip is None or clip[base + px]:
                    self.rgba[base + px] = list(rgba)

    def mask(self, contours):
        m = bytearray(self.size * self.size)
        for py, left, right in self.spans(contours):
            base = py * self.size
            m[base + left:base + right + 1] = b"\x01" * (right - left + 1)
        return m

    def gradient(self, top, bottom, clip=None):
        for py in range(self.size):
            t = py / max(1, self.size - 1)
            colour = [round(a + (b - a) * t) for a, b in zip(top, bottom)] + [255]
            base = py * self.size
            for px in range(self.size):
                if clip is None or clip[base + px]:
                    self.rgba[base + px] = list(colour)

    def reduced(self, factor):
        """Box-filtered down by `factor`: rows of (r, g, b, a) with straight alpha."""
        out = []
        n = self.size // factor
        for oy in range(n):
            row = []
            for ox in range(n):
                r = g = b = a = 0
                for dy in range(factor):
                    base = (oy * factor + dy) * self.size + ox * factor
                    for dx in range(factor):
                        pr, pg, pb, pa = self.rgba[base + dx]
                        r += pr * pa
                        g += pg * pa
                        b += pb * pa
                        a += pa
                if a == 0:
                    row.append((0, 0, 0, 0))
                else:
                    row.append((round(r / a), round(g / a), round(b / a), round(a / (factor * factor))))
            out.append(row)
        return out


def ellipse(cx, cy, rx, ry, steps=72, start=0.0, end=1.0):
    import math
    pts = []
    for i in range(steps + 1 if end - start < 1.0 else steps):
        t = 2 * math.pi * (start + (end - start) * i / steps)
        pts.append((cx + rx * math.cos(t), cy + ry * math.sin(t)))
    return pts


def rounded_rect(x0, y0, x1, y1, r):
    pts = []
    for cx, cy, quarter in ((x1 - r, y1 - r, 0.0), (x0 + r, y1 - r, 0.25),
                            (x0 + r, y0 + r, 0.5), (x1 - r, y0 + r, 0.75)):
        pts += ellipse(cx, cy, r, r, steps=12, start=quarter, end=quarter + 0.25)
    return pts


def rect(x0, y0, x1, y1):
    return [(x0, y0), (x1, y0), (x1, y1), (x0, y1)]


def stroke(x0, y0, x1, y1, width):
    """A straight stroke of the given width as a quadrilateral."""
    import math
    dx, dy = x1 - x0, y1 - y0
    length = math.hypot(dx, dy)
    nx, ny = -dy / length * width / 2, dx / length * width / 2
    return [(x0 + nx, y0 + ny), (x1 + nx, y1 + ny), (x1 - nx, y1 - ny), (x0 - nx, y0 - ny)]


def letter(ch, x, y, w, h, t):
    """One capital of the logo's lettering in the box x, y, w, h with strokes t
    wide: a list of shapes, each a list of contours (filled one by one, so that
    overlapping strokes do not cancel under the even-odd rule)."""
    if ch == "V":
        return [[[(x, y), (x + t * 1.1, y), (x + w / 2, y + h - t * 1.4), (x + w - t * 1.1, y),
                 (x + w, y), (x + w / 2 + t * 0.6, y + h), (x + w / 2 - t * 0.6, y + h)]]]
    if ch == "O":
        cx, cy = x + w / 2, y + h / 2
        return [[ellipse(cx, cy, w / 2, h / 2), ellipse(cx, cy, w / 2 - t, h / 2 - t * 0.9)]]
    if ch == "R":
        bowl = h * 0.55
        r = bowl / 2
        cx, cy = x + w - r, y + r
        outer = [(x, y), (cx, y)] + ellipse(cx, cy, r, r, steps=24, start=0.75, end=1.25)[1:-1] + \
                [(cx, y + bowl), (x, y + bowl)]
        inner = [(x + t, y + t * 0.9), (cx, y + t * 0.9)] + \
                ellipse(cx, cy, r - t, r - t * 0.9, steps=24, start=0.75, end=1.25)[1:-1] + \
                [(cx, y + bowl - t * 0.9), (x + t, y + bowl - t * 0.9)]
        return [[outer, inner], [rect(x, y, x + t, y + h)],
                [[(x + w * 0.35, y + bowl - t * 0.5), (x + w * 0.35 + t * 1.2, y + bowl - t * 0.5),
                  (x + w, y + h), (x + w - t * 1.3, y + h)]]]
    if ch == "N":
        return [[rect(x, y, x + t, y + h)], [rect(x + w - t, y, x + w, y + h)],
                [[(x, y), (x + t * 1.2, y), (x + w, y + h), (x + w - t * 1.2, y + h)]]]
    raise ValueError(ch)


# ---------------------------------------------------------------- the VORN emblem

# Colour schemes: outside, border, sky top, sky bottom, far range, summit, snow, band, lettering, sun.
SCHEMES = [
    ((0xF0, 0xF0, 0xF0), (0x1C, 0x3C, 0x78), (0x5C, 0x9C, 0xE8), (0xD0, 0xE8, 0xFF),
     (0x7C, 0x94, 0xB4), (0x3C, 0x58, 0x7C), (0xFF, 0xFF, 0xFF), (0x1C, 0x3C, 0x78), (0xFF, 0xFF, 0xFF), None),
    ((0xF0, 0xF0, 0xF0), (0x7C, 0x2C, 0x10), (0xF0, 0x8C, 0x3C), (0xFF, 0xE0, 0x9C),
     (0xB8, 0x6C, 0x4C), (0x6C, 0x34, 0x28), (0xFF, 0xF4, 0xE0), (0x7C, 0x2C, 0x10), (0xFF, 0xE0, 0x9C), (0xFF, 0xF0, 0x60)),
    ((0xF0, 0xF0, 0xF0), (0x1C, 0x50, 0x28), (0x88, 0xC8, 0xF0), (0xE4, 0xF4, 0xFF),
     (0x6C, 0xA0, 0x64), (0x2C, 0x6C, 0x38), (0xFF, 0xFF, 0xFF), (0x1C, 0x50, 0x28), (0xF4, 0xF8, 0xE8), None),
    ((0xF0, 0xF0, 0xF0), (0x30, 0x18, 0x50), (0x18, 0x14, 0x48), (0x58, 0x40, 0x90),
     (0x48, 0x3C, 0x70), (0x24, 0x1C, 0x40), (0xE8, 0xE8, 0xFF), (0x30, 0x18, 0x50), (0xF8, 0xE0, 0x80), (0xF8, 0xF0, 0xC8)),
    ((0xF0, 0xF0, 0xF0), (0x68, 0x20, 0x48), (0xC8, 0x8C, 0xC0), (0xF4, 0xDC, 0xEC),
     (0x9C, 0x6C, 0x9C), (0x58, 0x30, 0x58), (0xFF, 0xFF, 0xFF), (0x68, 0x20, 0x48), (0xFF, 0xF0, 0xF8), None),
    ((0xF0, 0xF0, 0xF0), (0x38, 0x40, 0x48), (0x9C, 0xA8, 0xB4), (0xE0, 0xE4, 0xE8),
     (0x84, 0x8C, 0x94), (0x48, 0x50, 0x58), (0xFF, 0xFF, 0xFF), (0x38, 0x40, 0x48), (0xFF, 0xFF, 0xFF), None),
    ((0xFF, 0xFF, 0xFF), (0xB0, 0x18, 0x18), (0xFF, 0xFF, 0xFF), (0xFF, 0xE8, 0xE8),
     (0xE0, 0x90, 0x90), (0xB0, 0x18, 0x18), (0xFF, 0xFF, 0xFF), (0xB0, 0x18, 0x18), (0xFF, 0xFF, 0xFF), None),
    ((0xF0, 0xF0, 0xF0), (0x20, 0x20, 0x20), (0xD8, 0xA8, 0x20), (0xF8, 0xE0, 0x80),
     (0x80, 0x68, 0x30), (0x30, 0x2C, 0x24), (0xFF, 0xF8, 0xE0), (0x20, 0x20, 0x20), (0xF0, 0xC0, 0x30), (0xFF, 0xF8, 0xC0)),
    ((0xF0, 0xF0, 0xF0), (0x0C, 0x50, 0x58), (0x40, 0xB8, 0xB8), (0xC8, 0xF0, 0xEC),
     (0x48, 0x90, 0x8C), (0x14, 0x5C, 0x60), (0xFF, 0xFF, 0xFF), (0x0C, 0x50, 0x58), (0xE8, 0xFF, 0xFC), None),
]


def shield(inset):
    top, side, bottom = 4 + inset, 6 + inset, 97 - inset * 1.4
    curve_top = 60
    pts = [(side, top), (100 - side, top), (100 - side, curve_top)]
    pts += ellipse(50, curve_top, 50 - side, bottom - curve_top, steps=48, start=0.0, end=0.5)[1:-1]
    pts += [(side, curve_top)]
    return pts


def outline(style, inset):
    if style == 0:
        return ellipse(50, 50, 48 - inset, 48 - inset)
    if style == 1:
        return rounded_rect(3 + inset, 3 + inset, 97 - inset, 97 - inset, 14 - inset)
    return shield(inset)


def draw_emblem(canvas, scheme, style, lettering=True):
    outside, border, sky_top, sky_bottom, far, summit, snow, band, text, sun = scheme
    inner = canvas.mask([outline(style, 4)])
    canvas.fill([outline(style, 0)], border)
    canvas.gradient(sky_top, sky_bottom, inner)
    if sun is not None:
        canvas.fill([ellipse(26, 28, 8, 8)], sun, inner)
    canvas.fill([[(0, 60), (16, 40), (28, 48), (44, 30), (60, 44), (76, 32), (100, 54), (100, 62), (0, 62)]],
                far, inner)
    canvas.fill([[(6, 62), (32, 34), (40, 40), (56, 14), (72, 38), (80, 33), (98, 62)]], summit, inner)
    canvas.fill([[(56, 14), (63.5, 25.5), (60, 24), (56, 28.5), (52, 24.5), (48.5, 26.5)]], snow, inner)
    if lettering:
        canvas.fill([rect(0, 60, 100, 100)], band, inner)
        w, gap, h, t = 14.5, 2.5, 16, 3.6
        x = 50 - (4 * w + 3 * gap) / 2
        for ch in "VORN":
            for shape in letter(ch, x, 62.5, w, h, t):
                canvas.fill(shape, text, inner)
            x += w + gap
    return outside


def logo(index, pixels=110, factor=3):
    scheme = SCHEMES[index % len(SCHEMES)]
    style = index // len(SCHEMES)
    canvas = Canvas(pixels * factor, 100, scheme[0] + (255,))
    draw_emblem(canvas, scheme, style)
    return [[(r, g, b) for r, g, b, _ in row] for row in canvas.reduced(factor)]


def tiny_logo():
    """IDB_VORN: the round emblem without lettering, on the usual menu grey."""
    scheme = SCHEMES[0]
    canvas = Canvas(16 * 4, 100, (0xF0, 0xF0, 0xF0, 255))
    draw_emblem(canvas, scheme, 0, lettering=False)
    return [[(r, g, b) for r, g, b, _ in row] for row in canvas.reduced(4)]


# ---------------------------------------------------------------- icons (designed on a 32-unit grid)

INK = (0x28, 0x28, 0x30)


def app_icon(canvas):
    canvas.fill([[(6, 1), (22, 1), (29, 8), (29, 31), (6, 31)]], INK)
    canvas.fill([[(7.2, 2.2), (21.5, 2.2), (27.8, 8.5), (27.8, 29.8), (7.2, 29.8)]], (0xFF, 0xFF, 0xFF))
    canvas.fill([[(21.5, 2.2), (21.5, 8.5), (27.8, 8.5)]], (0xC8, 0xD0, 0xDC))
    for y in (11, 15, 19):
        canvas.fill([rect(10, y, 25, y + 1.6)], (0x70, 0x90, 0xC0))
    canvas.fill([[(0, 31.5), (10, 15), (14, 20), (20, 11), (32, 31.5)]], INK)
    canvas.fill([[(2.2, 30.3), (10, 17.3), (14, 22.3), (20, 13.3), (29.8, 30.3)]], (0x3C, 0x7C, 0x48))
    canvas.fill([[(20, 13.3), (23.2, 18.6), (21.4, 17.8), (20, 19.6), (18.4, 17.6), (16.9, 18.7)]],
                (0xFF, 0xFF, 0xFF))


def cylinder(canvas, body, top, band):
    canvas.fill([rect(4.5, 8, 27.5, 25)], INK)
    canvas.fill([ellipse(16, 25, 11.5, 5)], INK)
    canvas.fill([ellipse(16, 8, 11.5, 5)], INK)
    canvas.fill([rect(5.8, 8, 26.2, 25)], body)
    canvas.fill([ellipse(16, 25, 10.2, 3.8)], body)
    for y in (13.5, 19):
        canvas.fill([ellipse(16, y, 10.2, 3.8, steps=36, start=0.0, end=0.5)[::-1] +
                     ellipse(16, y + 1.3, 10.2, 3.8, steps=36, start=0.0, end=0.5)], band)
    canvas.fill([ellipse(16, 8, 10.2, 3.8)], top)


def db_missing(canvas):
    cylinder(canvas, (0x98, 0x98, 0x9C), (0xC8, 0xC8, 0xCC), (0x70, 0x70, 0x74))
    white, red = (0xFF, 0xFF, 0xFF), (0xD8, 0x20, 0x20)
    for a, b in (((8, 12), (30, 30)), ((30, 12), (8, 30))):
        canvas.fill([stroke(*a, *b, 7.5)], white)
    for a, b in (((8, 12), (30, 30)), ((30, 12), (8, 30))):
        canvas.fill([stroke(*a, *b, 4.5)], red)


def db_full(canvas):
    cylinder(canvas, (0x30, 0xA0, 0x48), (0x90, 0xE0, 0x98), (0x18, 0x68, 0x2C))


def icon(draw):
    images = []
    for size in (16, 32):
        factor = 4
        canvas = Canvas(size * factor, 32, (0, 0, 0, 0))
        draw(canvas)
        images.append((size, canvas.reduced(factor)))
    return ico(images)


# ---------------------------------------------------------------- output

def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--out", required=True, help="folder for the pictures")
    args = parser.parse_args()
    os.makedirs(args.out, exist_ok=True)

    files = {}
    for name, layers in MENU_BITMAPS.items():
        files[name + ".bmp"] = bmp24(16, 16, art(*layers))
    files["idb_vorn.bmp"] = bmp24(16, 16, tiny_logo())
    for index in range(27):
        files["vornbmp%02d.bmp" % index] = bmp24(110, 110, logo(index))
    files["app_icon.ico"] = icon(app_icon)
    files["no_db.ico"] = icon(db_missing)
    files["full_db.ico"] = icon(db_full)

    stamp = os.path.join(args.out, "pictures.stamp")
    if os.path.exists(stamp):
        os.remove(stamp)
    for name in sorted(files):
        path = os.path.join(args.out, name)
        with open(path + ".tmp", "wb") as f:
            f.write(files[name])
        os.replace(path + ".tmp", path)
    with open(stamp, "w") as f:
        f.write("".join(name + "\n" for name in sorted(files)))


if __name__ == "__main__":
    main()
