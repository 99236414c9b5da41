#!/usr/bin/env python3
"""Draws the suite's bitmaps and icons as PNG files (kept in the repository
and compiled into their modules). Run it after changing a drawing:
    python3 scripts/draw_images.py
Only the standard library is used: shapes are rasterised with 4x4
supersampling and written with zlib."""

import math
import os
import struct
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SS = 4  # supersampling per axis


class Canvas:
    def __init__(self, width, height, background=(0, 0, 0, 0)):
        self.w, self.h = width, height
        self.px = [list(background) for _ in range(width * height)]

    # Coverage of a shape over pixel (x, y), from inside(fx, fy) tested at
    # SS x SS sample points.
    def _cover(self, x, y, inside):
        hits = 0
        for sy in range(SS):
            for sx in range(SS):
                if inside(x + (sx + 0.5) / SS, y + (sy + 0.5) / SS):
                    hits += 1
        return hits / (SS * SS)

    def shape(self, inside, color, box=None):
        x0, y0, x1, y1 = box or (0, 0, self.w, self.h)
        for y in range(max(0, int(y0)), min(self.h, int(math.ceil(y1)))):
            for x in range(max(0, int(x0)), min(self.w, int(math.ceil(x1)))):
                c = self._cover(x, y, inside)
                if c > 0:
                    self.blend(x, y, color, c)

    def blend(self, x, y, color, coverage):
        r, g, b = color[:3]
        a = (color[3] if len(color) > 3 else 255) / 255 * coverage
        dst = self.px[y * self.w + x]
        da = dst[3] / 255
        oa = a + da * (1 - a)
        if oa <= 0:
            return
        for i, s in enumerate((r, g, b)):
            dst[i] = round((s * a + dst[i] * da * (1 - a)) / oa)
        dst[3] = round(oa * 255)

    def rect(self, x0, y0, x1, y1, color):
        self.shape(lambda fx, fy: x0 <= fx < x1 and y0 <= fy < y1, color, (x0, y0, x1, y1))

    def rrect(self, x0, y0, x1, y1, r, color):
        def inside(fx, fy):
            if not (x0 <= fx < x1 and y0 <= fy < y1):
                return False
            cx = min(max(fx, x0 + r), x1 - r)
            cy = min(max(fy, y0 + r), y1 - r)
            return (fx - cx) ** 2 + (fy - cy) ** 2 <= r * r
        self.shape(inside, color, (x0, y0, x1, y1))

    def circle(self, cx, cy, r, color):
        self.shape(lambda fx, fy: (fx - cx) ** 2 + (fy - cy) ** 2 <= r * r, color,
                   (cx - r - 1, cy - r - 1, cx + r + 1, cy + r + 1))

    def ring(self, cx, cy, r, width, color):
        self.shape(lambda fx, fy: (r - width) ** 2 <= (fx - cx) ** 2 + (fy - cy) ** 2 <= r * r,
                   color, (cx - r - 1, cy - r - 1, cx + r + 1, cy + r + 1))

    def poly(self, points, color):
        def inside(fx, fy):
            n, hit = len(points), False
            for i in range(n):
                (xa, ya), (xb, yb) = points[i], points[(i + 1) % n]
                if (ya > fy) != (yb > fy) and fx < (xb - xa) * (fy - ya) / (yb - ya) + xa:
                    hit = not hit
            return hit
        xs, ys = [p[0] for p in points], [p[1] for p in points]
        self.shape(inside, color, (min(xs), min(ys), max(xs) + 1, max(ys) + 1))

    def line(self, xa, ya, xb, yb, width, color):
        length = math.hypot(xb - xa, yb - ya) or 1
        def inside(fx, fy):
            t = max(0, min(1, ((fx - xa) * (xb - xa) + (fy - ya) * (yb - ya)) / length ** 2))
            px, py = xa + t * (xb - xa), ya + t * (yb - ya)
            return (fx - px) ** 2 + (fy - py) ** 2 <= (width / 2) ** 2
        self.shape(inside, color, (min(xa, xb) - width, min(ya, yb) - width,
                                   max(xa, xb) + width, max(ya, yb) + width))

    def blit(self, other, ox, oy):
        for y in range(other.h):
            for x in range(other.w):
                src = other.px[y * other.w + x]
                if src[3] and 0 <= x + ox < self.w and 0 <= y + oy < self.h:
                    self.blend(x + ox, y + oy, src, 1)

    # Pixels below alpha half become key; the rest become opaque, so that a
    # mask colour cuts them out exactly as image lists do.
    def flatten(self, key):
        for p in self.px:
            if p[3] < 128:
                p[:] = list(key) + [255]
            else:
                p[3] = 255

    def save(self, path):
        raw = b"".join(b"\0" + bytes(v for p in self.px[y * self.w:(y + 1) * self.w] for v in p)
                       for y in range(self.h))
        def chunk(kind, data):
            return (struct.pack(">I", len(data)) + kind + data +
                    struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
        png = (b"\x89PNG\r\n\x1a\n" +
               chunk(b"IHDR", struct.pack(">IIBBBBB", self.w, self.h, 8, 6, 0, 0, 0)) +
               chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(png)


# A 5 by 7 pixel font for the few letters the images carry.
GLYPHS = {
    "?": ["01110", "10001", "00001", "00110", "00100", "00000", "00100"],
    "!": ["00100", "00100", "00100", "00100", "00100", "00000", "00100"],
    "i": ["00100", "00000", "01100", "00100", "00100", "00100", "01110"],
    "M": ["10001", "11011", "10101", "10101", "10001", "10001", "10001"],
    "W": ["10001", "10001", "10001", "10101", "10101", "11011", "10001"],
    "R": ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    "D": ["11100", "10010", "10001", "10001", "10001", "10010", "11100"],
    "A": ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    "C": ["01110", "10001", "10000", "10000", "10000", "10001", "01110"],
}


def glyph(c, ch, x, y, scale, color):
    for row, bits in enumerate(GLYPHS[ch]):
        for col, bit in enumerate(bits):
            if bit == "1":
                c.rect(x + col * scale, y + row * scale, x + (col + 1) * scale,
                       y + (row + 1) * scale, color)


WHITE = (255, 255, 255)
BLACK = (0, 0, 0)
NAVY = (32, 64, 140)
BLUE = (40, 110, 210)
SKY = (120, 170, 235)
GREEN = (40, 160, 70)
RED = (205, 45, 40)
AMBER = (240, 180, 30)
GOLD = (250, 205, 80)
GREY = (120, 125, 135)
SILVER = (200, 204, 212)
PURPLE = (130, 70, 170)
TEAL = (30, 150, 150)


# ---- message box and application icons, 32 by 32 ----

def system_icon(kind):
    c = Canvas(32, 32)
    if kind == "hand":
        c.circle(16, 16, 14.5, (150, 20, 20))
        c.circle(16, 16, 13.2, RED)
        c.line(10.5, 10.5, 21.5, 21.5, 3.4, WHITE)
        c.line(21.5, 10.5, 10.5, 21.5, 3.4, WHITE)
    elif kind == "question":
        c.circle(16, 16, 14.5, NAVY)
        c.circle(16, 16, 13.2, BLUE)
        glyph(c, "?", 9.5, 6.5, 2.6, WHITE)
    elif kind == "exclamation":
        c.poly([(16, 2.5), (30, 28.5), (2, 28.5)], (150, 100, 0))
        c.poly([(16, 5), (27.8, 27.2), (4.2, 27.2)], AMBER)
        c.rrect(14.4, 10, 17.6, 21, 1.2, BLACK)
        c.circle(16, 24.2, 1.8, BLACK)
    elif kind == "asterisk":
        c.circle(16, 16, 14.5, NAVY)
        c.circle(16, 16, 13.2, BLUE)
        c.circle(16, 9, 2.2, WHITE)
        c.rrect(13.8, 13, 18.2, 25, 1.2, WHITE)
    else:  # application
        c.rrect(3, 5, 29, 27, 2, GREY)
        c.rect(4.5, 10, 27.5, 25.5, WHITE)
        c.rect(4.5, 6.5, 27.5, 9.5, BLUE)
    return c


# ---- small pictures, drawn into a size-by-size box at (0, 0) ----

def note(c, x, y, s, color):
    # An eighth note: head and stem with a flag.
    c.circle(x + s * 0.33, y + s * 0.74, s * 0.19, color)
    c.rect(x + s * 0.46, y + s * 0.12, x + s * 0.56, y + s * 0.74, color)
    c.poly([(x + s * 0.56, y + s * 0.12), (x + s * 0.86, y + s * 0.32),
            (x + s * 0.86, y + s * 0.45), (x + s * 0.56, y + s * 0.27)], color)


def folder(c, x, y, s, color, opened=False):
    dark = tuple(max(0, v - 60) for v in color)
    c.poly([(x + s * 0.06, y + s * 0.2), (x + s * 0.38, y + s * 0.2),
            (x + s * 0.46, y + s * 0.3), (x + s * 0.94, y + s * 0.3),
            (x + s * 0.94, y + s * 0.84), (x + s * 0.06, y + s * 0.84)], dark)
    if opened:
        c.poly([(x + s * 0.2, y + s * 0.42), (x + s, y + s * 0.42),
                (x + s * 0.84, y + s * 0.84), (x + s * 0.04, y + s * 0.84)], color)
    else:
        c.rect(x + s * 0.1, y + s * 0.38, x + s * 0.9, y + s * 0.8, color)


def drive(c, x, y, s, body, light):
    c.rrect(x + s * 0.06, y + s * 0.32, x + s * 0.94, y + s * 0.74, s * 0.08, GREY)
    c.rrect(x + s * 0.1, y + s * 0.36, x + s * 0.9, y + s * 0.7, s * 0.06, body)
    c.circle(x + s * 0.78, y + s * 0.53, s * 0.06, light)


def disc(c, x, y, s):
    c.circle(x + s * 0.5, y + s * 0.5, s * 0.44, GREY)
    c.circle(x + s * 0.5, y + s * 0.5, s * 0.4, SILVER)
    c.ring(x + s * 0.5, y + s * 0.5, s * 0.3, s * 0.06, SKY)
    c.circle(x + s * 0.5, y + s * 0.5, s * 0.1, WHITE)


def letter_badge(c, x, y, s, ch, color):
    c.rrect(x + s * 0.04, y + s * 0.04, x + s * 0.96, y + s * 0.96, s * 0.16, color)
    glyph(c, ch, x + s * 0.5 - 2.5, y + s * 0.5 - 3.5, 1, WHITE)


def computer(c, x, y, s, color):
    c.rect(x + s * 0.12, y + s * 0.14, x + s * 0.88, y + s * 0.66, GREY)
    c.rect(x + s * 0.18, y + s * 0.2, x + s * 0.82, y + s * 0.6, color)
    c.rect(x + s * 0.42, y + s * 0.66, x + s * 0.58, y + s * 0.78, GREY)
    c.rect(x + s * 0.26, y + s * 0.78, x + s * 0.74, y + s * 0.86, GREY)


def globe(c, x, y, s):
    c.circle(x + s * 0.5, y + s * 0.5, s * 0.42, TEAL)
    c.ring(x + s * 0.5, y + s * 0.5, s * 0.42, 1.1, (20, 90, 90))
    c.rect(x + s * 0.1, y + s * 0.47, x + s * 0.9, y + s * 0.53, (220, 245, 245))
    c.rect(x + s * 0.47, y + s * 0.1, x + s * 0.53, y + s * 0.9, (220, 245, 245))


def cross(c, x, y, s):
    c.circle(x + s * 0.5, y + s * 0.5, s * 0.42, RED)
    c.line(x + s * 0.32, y + s * 0.32, x + s * 0.68, y + s * 0.68, s * 0.13, WHITE)
    c.line(x + s * 0.68, y + s * 0.32, x + s * 0.32, y + s * 0.68, s * 0.13, WHITE)


def tick(c, x, y, s):
    c.circle(x + s * 0.5, y + s * 0.5, s * 0.42, GREEN)
    c.line(x + s * 0.28, y + s * 0.52, x + s * 0.44, y + s * 0.68, s * 0.13, WHITE)
    c.line(x + s * 0.44, y + s * 0.68, x + s * 0.74, y + s * 0.34, s * 0.13, WHITE)


def gear(c, x, y, s):
    c.circle(x + s * 0.5, y + s * 0.5, s * 0.42, AMBER)
    for angle in range(0, 360, 45):
        a = math.radians(angle)
        c.line(x + s * 0.5, y + s * 0.5, x + s * (0.5 + 0.3 * math.cos(a)),
               y + s * (0.5 + 0.3 * math.sin(a)), s * 0.08, WHITE)
    c.circle(x + s * 0.5, y + s * 0.5, s * 0.12, AMBER)


def strip(size, height, pictures, key):
    c = Canvas(size * len(pictures), height)
    for i, draw in enumerate(pictures):
        if draw is not None:
            cell = Canvas(size, height)
            draw(cell, 0, (height - size) / 2, size)
            c.blit(cell, i * size, 0)
    c.flatten(key)
    return c


def track_strip():
    """Images of the conversion dialog's track list, 17 pixels each: the
    kinds of file (0 to 6) and the states of a track (15 to 17)."""
    pictures = [None] * 18
    pictures[0] = lambda c, x, y, s: note(c, x, y, s, GREY)
    pictures[1] = lambda c, x, y, s: (note(c, x, y, s, BLUE),)
    pictures[2] = lambda c, x, y, s: note(c, x, y, s, GREEN)
    pictures[3] = lambda c, x, y, s: letter_badge(c, x, y, s, "W", PURPLE)
    pictures[4] = lambda c, x, y, s: letter_badge(c, x, y, s, "R", RED)
    pictures[5] = lambda c, x, y, s: letter_badge(c, x, y, s, "M", TEAL)
    pictures[6] = lambda c, x, y, s: disc(c, x, y, s)
    pictures[15] = cross
    pictures[16] = tick
    pictures[17] = gear
    return strip(17, 17, pictures, WHITE)


def path_strip():
    """Images of the path picker, 17 pixels each: folders (1, selected 0),
    drives by type (2 to 6), the network root (7) and network containers
    by display type + 7 (a generic container shares the root's globe)."""
    pictures = [None] * 14
    pictures[0] = lambda c, x, y, s: folder(c, x, y, s, GOLD, opened=True)
    pictures[1] = lambda c, x, y, s: folder(c, x, y, s, GOLD)
    pictures[2] = lambda c, x, y, s: drive(c, x, y, s, SKY, GREEN)
    pictures[3] = lambda c, x, y, s: drive(c, x, y, s, SILVER, GREEN)
    pictures[4] = lambda c, x, y, s: (drive(c, x, y, s, SILVER, AMBER),
                                      c.rect(x + s * 0.45, y + s * 0.74, x + s * 0.55, y + s, GREY))
    pictures[5] = disc
    pictures[6] = lambda c, x, y, s: drive(c, x, y, s, (250, 220, 150), RED)
    pictures[7] = globe  # the network root; a generic container
    pictures[8] = lambda c, x, y, s: computer(c, x, y, s, SKY)  # domain
    pictures[9] = lambda c, x, y, s: computer(c, x, y, s, BLUE)  # server
    pictures[10] = lambda c, x, y, s: folder(c, x, y, s, GOLD)  # share
    pictures[11] = lambda c, x, y, s: folder(c, x, y, s, SILVER)  # file
    pictures[12] = lambda c, x, y, s: computer(c, x, y, s, TEAL)  # group
    pictures[13] = globe  # network
    return strip(17, 17, pictures, WHITE)


def device_strip():
    """Images of simple mode's device content list, 15 pixels each: a track
    already on the device (0) and a track to be uploaded (1)."""
    pictures = [
        lambda c, x, y, s: (c.rrect(x + 1, y + 1, x + s - 1, y + s - 1, 2, GREY),
                            note(c, x + 1, y + 1, s - 2, WHITE)),
        lambda c, x, y, s: (c.rrect(x + 1, y + 1, x + s - 1, y + s - 1, 2, GREEN),
                            note(c, x + 1, y + 1, s - 2, WHITE)),
    ]
    return strip(15, 15, pictures, (255, 0, 255))


def item_icon(kind):
    """The music folder's icons, 16 by 16, by the kind of item."""
    c = Canvas(16, 16)
    if kind == "junction":
        c.rrect(1, 1, 15, 15, 3, NAVY)
        note(c, 1.5, 1.5, 13, GOLD)
    elif kind == "music":
        folder(c, 0, 0, 16, GOLD)
        note(c, 4, 5, 10, NAVY)
    elif kind == "playlists":
        folder(c, 0, 0, 16, (150, 200, 120))
        for i in range(3):
            c.rect(4, 7.5 + i * 2.2, 13, 8.7 + i * 2.2, NAVY)
    elif kind == "songs":
        c.rrect(1.5, 1.5, 14.5, 14.5, 2, BLUE)
        note(c, 2.5, 2.5, 11, WHITE)
    elif kind == "group":
        folder(c, 0, 0, 16, SKY)
    elif kind == "playlist":
        c.rrect(2, 1, 14, 15, 1.5, WHITE)
        c.rrect(2, 1, 14, 15, 1.5, (80, 140, 80, 255))
        c.rect(3.2, 2.2, 12.8, 13.8, WHITE)
        for i in range(4):
            c.rect(4.5, 4 + i * 2.6, 11.5, 5.1 + i * 2.6, GREEN)
    elif kind == "subgroup":
        folder(c, 0, 0, 16, SKY)
        note(c, 5, 5, 9, NAVY)
    return c


def button_face(top, bottom, border, shine, w=48, h=24, r=6):
    """A skin's button face: a rounded border around a vertical gradient,
    with a thin light line under the top edge."""
    c = Canvas(w, h)
    c.rrect(0, 0, w, h, r, border)
    def inner(fx, fy):
        if not (1 <= fx < w - 1 and 1 <= fy < h - 1):
            return False
        cx = min(max(fx, 1 + r - 1), w - 1 - (r - 1))
        cy = min(max(fy, 1 + r - 1), h - 1 - (r - 1))
        return (fx - cx) ** 2 + (fy - cy) ** 2 <= (r - 1) ** 2
    for y in range(1, h - 1):
        t = (y - 1) / (h - 3)
        color = tuple(round(a + (b - a) * t) for a, b in zip(top, bottom))
        c.shape(lambda fx, fy, y=y: y <= fy < y + 1 and inner(fx, fy), color, (0, y, w, y + 1))
    c.shape(lambda fx, fy: 2 <= fy < 3 and r <= fx < w - r, shine + (160,), (0, 2, w, 3))
    return c


def main():
    out = lambda *parts: os.path.join(ROOT, *parts)
    for name, number in [("application", 32512), ("hand", 32513), ("question", 32514),
                         ("exclamation", 32515), ("asterisk", 32516)]:
        system_icon(name).save(out("platform", "ui", "images", "icon_%d.png" % number))
    track_strip().save(out("drumlet", "images", "bitmap_4008.png"))
    path_strip().save(out("drumlet", "images", "bitmap_4009.png"))
    device_strip().save(out("drumlet", "images", "bitmap_4007.png"))
    for name, number in [("junction", 201), ("music", 202), ("playlists", 203), ("songs", 204),
                         ("group", 208), ("playlist", 209), ("subgroup", 210)]:
        item_icon(name).save(out("shellfolder", "images", "icon_%d.png" % number))
    # The skins shipped with the skin controls: the default one, cool and
    # light, and "Ember", warm and dark.
    button_face((247, 250, 253), (208, 218, 231), (104, 122, 150), WHITE).save(
        out("suite", "skin", "skins", "default", "skin", "button.png"))
    button_face((196, 208, 224), (226, 233, 242), (84, 100, 126), (180, 192, 210)).save(
        out("suite", "skin", "skins", "default", "skin", "button_pressed.png"))
    button_face((246, 142, 62), (178, 62, 22), (72, 24, 8), (255, 210, 160)).save(
        out("suite", "skin", "skins", "Ember", "button.png"))
    button_face((150, 50, 18), (214, 100, 40), (60, 20, 6), (200, 110, 60)).save(
        out("suite", "skin", "skins", "Ember", "button_pressed.png"))


if __name__ == "__main__":
    main()
