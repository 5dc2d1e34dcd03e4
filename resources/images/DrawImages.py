#!/usr/bin/env python3
"""Draws the program's pictures: the tiled main-window background (PIC.bmp), the About picture
(PICABOUT.bmp), the program icon (MAINICON.ico) and the tool bar strip (TOOLBAR.bmp, 16 x 16 images on
magenta, which is the transparent colour).

The pictures are committed; run this again after changing a drawing:
    python3 resources/images/DrawImages.py            writes the pictures next to this script
    python3 resources/images/DrawImages.py --preview  also writes preview PNGs to /tmp
"""

import math
import os
import struct
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


# ---- Images as rows of (r, g, b) ----

def new_image(w, h, colour):
    return [[colour for _ in range(w)] for _ in range(h)]


def blend(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def clamp8(v):
    return max(0, min(255, int(round(v))))


def write_bmp(path, img):
    """24-bit bottom-up BMP."""
    h = len(img)
    w = len(img[0])
    stride = (w * 3 + 3) & ~3
    pixels = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray()
        for (r, g, b) in img[y]:
            row += bytes((b, g, r))
        row += b"\0" * (stride - w * 3)
        pixels += row
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + pixels)


def write_png(path, img, alpha=None):
    h = len(img)
    w = len(img[0])
    raw = bytearray()
    for y in range(h):
        raw.append(0)
        for x in range(w):
            raw += bytes(img[y][x])
            if alpha is not None:
                raw.append(255 if alpha[y][x] else 0)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    colour_type = 6 if alpha is not None else 2
    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, colour_type, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


def ico_entry(img, opaque):
    """One icon image: a 24-bit DIB (height doubled) followed by its 1-bit AND mask (1 = transparent)."""
    h = len(img)
    w = len(img[0])
    stride = (w * 3 + 3) & ~3
    xor = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray()
        for x in range(w):
            r, g, b = img[y][x] if opaque[y][x] else (0, 0, 0)
            row += bytes((b, g, r))
        row += b"\0" * (stride - w * 3)
        xor += row
    mask_stride = ((w + 31) // 32) * 4
    mask = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray(mask_stride)
        for x in range(w):
            if not opaque[y][x]:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    info = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 24, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return info + xor + mask


def write_ico(path, images):
    """images: list of (img, opaque)."""
    entries = [ico_entry(img, opaque) for img, opaque in images]
    out = struct.pack("<HHH", 0, 1, len(entries))
    offset = 6 + 16 * len(entries)
    for (img, _), data in zip(images, entries):
        w = len(img[0])
        h = len(img)
        out += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 24, len(data), offset)
        offset += len(data)
    for data in entries:
        out += data
    with open(path, "wb") as f:
        f.write(out)


# ---- Supersampled shapes for the larger pictures ----

class Canvas:
    """Draws shapes with coverage from S x S samples per pixel onto an image."""

    S = 4

    def __init__(self, img):
        self.img = img
        self.h = len(img)
        self.w = len(img[0])

    def shape(self, inside, colour, box=None, opacity=1.0):
        x0, y0, x1, y1 = box if box else (0, 0, self.w, self.h)
        x0 = max(0, int(math.floor(x0)))
        y0 = max(0, int(math.floor(y0)))
        x1 = min(self.w, int(math.ceil(x1)))
        y1 = min(self.h, int(math.ceil(y1)))
        s = self.S
        for y in range(y0, y1):
            for x in range(x0, x1):
                hits = 0
                for j in range(s):
                    for i in range(s):
                        if inside(x + (i + 0.5) / s, y + (j + 0.5) / s):
                            hits += 1
                if hits:
                    self.img[y][x] = blend(self.img[y][x], colour, opacity * hits / (s * s))

    def rounded_rect(self, x0, y0, x1, y1, r, colour, opacity=1.0):
        def inside(px, py):
            if px < x0 or px > x1 or py < y0 or py > y1:
                return False
            cx = min(max(px, x0 + r), x1 - r)
            cy = min(max(py, y0 + r), y1 - r)
            return (px - cx) ** 2 + (py - cy) ** 2 <= r * r

        self.shape(inside, colour, (x0 - 1, y0 - 1, x1 + 1, y1 + 1), opacity)

    def circle(self, cx, cy, r, colour, opacity=1.0):
        self.shape(lambda px, py: (px - cx) ** 2 + (py - cy) ** 2 <= r * r, colour,
                   (cx - r - 1, cy - r - 1, cx + r + 1, cy + r + 1), opacity)

    def arc(self, cx, cy, r, width, a0, a1, colour, opacity=1.0):
        """Ring of the given width between angles a0..a1 (degrees, 0 = right, counter-clockwise)."""

        def inside(px, py):
            d = math.hypot(px - cx, py - cy)
            if abs(d - r) > width / 2:
                return False
            a = math.degrees(math.atan2(cy - py, px - cx))
            return a0 <= a <= a1

        self.shape(inside, colour, (cx - r - width, cy - r - width, cx + r + width, cy + r + width), opacity)

    def polygon(self, points, colour, opacity=1.0):
        xs = [p[0] for p in points]
        ys = [p[1] for p in points]

        def inside(px, py):
            c = False
            n = len(points)
            for i in range(n):
                ax, ay = points[i]
                bx, by = points[(i + 1) % n]
                if (ay > py) != (by > py):
                    if px < (bx - ax) * (py - ay) / (by - ay) + ax:
                        c = not c
            return c

        self.shape(inside, colour, (min(xs), min(ys), max(xs) + 1, max(ys) + 1), opacity)

    def text(self, x, y, s, scale, colour):
        """Block letters from the small font below, scale pixels per dot."""
        for ch in s:
            glyph = FONT[ch]
            for row, line in enumerate(glyph):
                for col, dot in enumerate(line):
                    if dot == "#":
                        px = x + col * scale
                        py = y + row * scale
                        self.shape(lambda qx, qy, px=px, py=py: px <= qx < px + scale and py <= qy < py + scale,
                                   colour, (px, py, px + scale + 1, py + scale + 1))
            x += (len(glyph[0]) + 1) * scale


FONT = {
    "K": ["#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"],
    "5": ["#####", "#....", "####.", "....#", "....#", "#...#", ".###."],
    "8": [".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."],
}


# ---- The main window background: a quiet tile of faint radio rings ----

def draw_background():
    size = 96
    base = (203, 214, 228)
    img = new_image(size, size, base)
    for y in range(size):
        for x in range(size):
            # Distance to the nearest tile corner and to the tile centre: both repeat seamlessly.
            dx = min(x + 0.5, size - x - 0.5)
            dy = min(y + 0.5, size - y - 0.5)
            corner = math.hypot(dx, dy)
            centre = math.hypot(x + 0.5 - size / 2, y + 0.5 - size / 2)
            d = min(corner, centre)
            ring = math.cos(d * 2 * math.pi / 12.0)
            fade = max(0.0, 1.0 - d / 40.0)
            v = 7.0 * ring * fade
            # A soft vertical sheen.
            sheen = 3.0 * math.cos(2 * math.pi * y / size)
            img[y][x] = (clamp8(base[0] + v + sheen), clamp8(base[1] + v + sheen), clamp8(base[2] + v * 1.2 + sheen))
    return img


# ---- The About picture: a hand-held radio sending ----

def draw_about():
    w, h = 240, 160
    img = new_image(w, h, (0, 0, 0))
    top = (46, 92, 156)
    bottom = (160, 196, 232)
    for y in range(h):
        for x in range(w):
            t = y / (h - 1)
            c = blend(top, bottom, t)
            img[y][x] = blend(c, (255, 255, 255), 0.12 * max(0.0, 1 - math.hypot(x - 70, y - 40) / 160))
    c = Canvas(img)
    # Waves from the antenna tip.
    for i, r in enumerate((18, 32, 46, 60)):
        c.arc(74, 30, r, 3.2, -55, 55, (255, 255, 255), 0.75 - 0.15 * i)
    # Antenna.
    c.rounded_rect(58, 22, 65, 60, 3.5, (30, 30, 34))
    c.circle(61.5, 24, 4.5, (30, 30, 34))
    # Shadow and body.
    c.rounded_rect(33, 58, 95, 152, 10, (0, 0, 0), 0.25)
    c.rounded_rect(28, 52, 90, 148, 10, (44, 47, 54))
    c.rounded_rect(31, 55, 87, 145, 8, (64, 68, 78))
    # Knob and side key.
    c.rounded_rect(70, 42, 82, 54, 2, (40, 40, 44))
    c.rounded_rect(25, 72, 29, 96, 2, (30, 30, 34))
    # Display.
    c.rounded_rect(36, 62, 82, 84, 3, (20, 24, 28))
    c.rounded_rect(38, 64, 80, 82, 2, (132, 206, 150))
    c.text(41, 67, "K58", 2, (22, 58, 32))
    # Speaker grille.
    for row in range(4):
        c.rounded_rect(38, 92 + row * 7, 80, 95 + row * 7, 1.5, (30, 32, 38))
    # Keys.
    for row in range(2):
        for col in range(3):
            c.rounded_rect(38 + col * 15, 122 + row * 11, 49 + col * 15, 129 + row * 11, 2, (108, 114, 126))
    # Title.
    c.text(118, 62, "K58", 6, (255, 255, 255))
    return img


# ---- The program icon ----

def draw_icon(size):
    img = new_image(size, size, (0, 0, 0))
    k = size / 32.0
    c = Canvas(img)
    body = (48, 52, 60)
    c.rounded_rect(18 * k, 1 * k, 21.5 * k, 14 * k, 1.7 * k, (28, 28, 30))
    c.rounded_rect(8 * k, 10 * k, 25 * k, 31 * k, 3.5 * k, body)
    c.rounded_rect(10.5 * k, 13 * k, 22.5 * k, 19.5 * k, 1.2 * k, (132, 206, 150))
    for row in range(3):
        c.rounded_rect(10.5 * k, (21.5 + row * 2.8) * k, 22.5 * k, (22.8 + row * 2.8) * k, 0.6 * k, (20, 22, 26))
    c.arc(20 * k, 3 * k, 5 * k, 1.8 * k, -50, 40, (40, 110, 220))
    c.arc(20 * k, 3 * k, 9 * k, 1.8 * k, -45, 35, (40, 110, 220))
    # Opaque where something was drawn (the background stayed exactly black).
    opaque = [[img[y][x] != (0, 0, 0) for x in range(size)] for y in range(size)]
    return img, opaque


# ---- Tool bar images, 16 x 16, magenta is transparent ----

PALETTE = {
    ".": (255, 0, 255),
    "k": (0, 0, 0),
    "w": (255, 255, 255),
    "l": (208, 208, 208),
    "g": (128, 128, 128),
    "d": (64, 64, 64),
    "b": (0, 64, 176),
    "B": (96, 144, 232),
    "c": (176, 212, 248),
    "y": (255, 214, 80),
    "Y": (216, 160, 32),
    "r": (200, 32, 32),
    "G": (0, 144, 48),
    "H": (96, 208, 128),
    "s": (132, 206, 150),
}

TOOL_IMAGES = {
    "New": [
        "................",
        "...kkkkkkkk.....",
        "...kwwwwwwkk....",
        "...kwwwwwwklk...",
        "...kwwwwwwkllk..",
        "...kwwwwwwkkkkk.",
        "...kwwwwwwwwwwk.",
        "...kwwwwwwwwwwk.",
        "...kwwwwwwwwwwk.",
        "...kwwwwwwwwwwk.",
        "...kwwwwwwwwwwk.",
        "...kwwwwwwwwwwk.",
        "...kwwwwwwwwwwk.",
        "...kwwwwwwwwwwk.",
        "...kkkkkkkkkkkk.",
        "................",
    ],
    "Open": [
        "................",
        "................",
        ".kkkk...........",
        "kyyyyk..........",
        "kywwyykkkkkkk...",
        "kwyyyyyyyyyyk...",
        "kyyyyyyyyyyyk...",
        "kyyykkkkkkkkkkkk",
        "kyykYYYYYYYYYYYk",
        "kyykYYYYYYYYYYk.",
        "kykYYYYYYYYYYYk.",
        "kykYYYYYYYYYYk..",
        "kkYYYYYYYYYYYk..",
        "kkYYYYYYYYYYk...",
        "kkkkkkkkkkkkk...",
        "................",
    ],
    "Save": [
        "................",
        ".kkkkkkkkkkkkkk.",
        ".kbkwwwwwwwwkbk.",
        ".kbkwwwwwwwwkbk.",
        ".kbkwggggggwkbk.",
        ".kbkwwwwwwwwkbk.",
        ".kbkwggggggwkbk.",
        ".kbbkkkkkkkkbbk.",
        ".kbbbbbbbbbbbbk.",
        ".kbbkkkkkkkkbbk.",
        ".kbbklldlllkbbk.",
        ".kbbklldlllkbbk.",
        ".kbbklldlllkbbk.",
        ".kkbklllllllkbk.",
        "..kkkkkkkkkkkkk.",
        "................",
    ],
    "ChannelEdit": [
        "................",
        "kkkkkkkkkkkkk...",
        "kBBBkBBBBBBBk...",
        "kkkkkkkkkkkkk...",
        "kwwwkwwwwwwwk...",
        "kkkkkkkkkkkkk...",
        "kwwwkwwwwwwk.rr.",
        "kkkkkkkkkkk.rrrr",
        "kwwwkwwwwk.yrrr.",
        "kkkkkkkkk.yyyr..",
        "kwwwkwwwkyyyy...",
        "kkkkkkkkdyyy....",
        "........ddy.....",
        "........dd......",
        "................",
        "................",
    ],
    "Print": [
        "................",
        "....kkkkkkkk....",
        "....kwwwwwwk....",
        "....kwkkkkwk....",
        "....kwwwwwwk....",
        "....kwkkkwwk....",
        "..kkkkkkkkkkkk..",
        ".kllllllllllllk.",
        ".klllllllllGHlk.",
        ".kllllllllllllk.",
        ".kggggggggggggk.",
        ".kkkwwwwwwwwkkk.",
        "...kwkkkkkwwk...",
        "...kwwwwwwwwk...",
        "...kkkkkkkkkk...",
        "................",
    ],
    "Help": [
        "................",
        ".....kkkkkk.....",
        "...kkbbbbbbkk...",
        "..kbbBwwwwBbbk..",
        "..kbBwwbbwwBbk..",
        ".kbbBwwbbwwBbbk.",
        ".kbbbbbbbwwBbbk.",
        ".kbbbbbBwwBbbbk.",
        ".kbbbbbwwBbbbbk.",
        ".kbbbbbwwbbbbbk.",
        ".kbbbbbbbbbbbbk.",
        "..kbbbbwwbbbbk..",
        "..kbbbbwwbbbbk..",
        "...kkbbbbbbkk...",
        ".....kkkkkk.....",
        "................",
    ],
}

TOOL_ORDER = ["New", "Open", "Save", "ChannelEdit", "Print", "Read", "Write", "Help"]


def tool_image(name):
    rows = TOOL_IMAGES[name]
    img = new_image(16, 16, PALETTE["."])
    for y in range(16):
        line = rows[y].replace(" ", "")[:16].ljust(16, ".")
        for x in range(16):
            img[y][x] = PALETTE[line[x]]
    return img


def draw_radio_tools():
    """The Read and Write images: a radio on the right and an arrow leaving it (green) or entering it (red)."""
    out = {}
    for name, inward in (("Read", False), ("Write", True)):
        m = [["." for _ in range(16)] for _ in range(16)]

        def put(x, y, ch):
            if 0 <= x < 16 and 0 <= y < 16:
                m[y][x] = ch

        # Antenna.
        for y in range(0, 4):
            put(12, y, "k")
        # Body x 9..15, y 3..15.
        for y in range(3, 16):
            for x in range(9, 16):
                edge = x in (9, 15) or y in (3, 15)
                put(x, y, "k" if edge else "d")
        for x in (9, 15):
            put(x, 3, ".")
            put(x, 15, ".")
        # Display and keys.
        for y in range(5, 8):
            for x in range(11, 14):
                put(x, y, "s")
        for y in (10, 12):
            for x in (11, 13):
                put(x, y, "l")
        # Arrow x 0..8 around y 9.
        fill, rim = ("H", "G") if not inward else ("y", "r")
        if inward:
            # Pointing right, into the radio.
            for x in range(0, 5):
                for y in range(8, 11):
                    put(x, y, fill)
            for i in range(5):
                for y in range(9 - (4 - i), 10 + (4 - i)):
                    put(4 + i, y, fill)
            for x in range(0, 5):
                put(x, 7, rim)
                put(x, 11, rim)
            put(0, 8, rim), put(0, 9, rim), put(0, 10, rim)
            for i in range(5):
                put(4 + i, 9 - (4 - i) - 1 if i < 4 else 8, rim)
                put(4 + i, 10 + (4 - i) if i < 4 else 10, rim)
        else:
            # Pointing left, out of the radio.
            for x in range(4, 9):
                for y in range(8, 11):
                    put(x, y, fill)
            for i in range(5):
                for y in range(9 - i, 10 + i):
                    put(i, y, fill)
            for x in range(4, 9):
                put(x, 7, rim)
                put(x, 11, rim)
            put(8, 8, rim), put(8, 9, rim), put(8, 10, rim)
            for i in range(5):
                put(i, 9 - i - 1 if i > 0 else 8, rim)
                put(i, 10 + i if i > 0 else 10, rim)
        out[name] = ["".join(r) for r in m]
    return out


def main():
    preview = "--preview" in sys.argv
    TOOL_IMAGES.update(draw_radio_tools())

    background = draw_background()
    write_bmp(os.path.join(HERE, "PIC.bmp"), background)

    about = draw_about()
    write_bmp(os.path.join(HERE, "PICABOUT.bmp"), about)

    icons = [draw_icon(32), draw_icon(16)]
    write_ico(os.path.join(HERE, "MAINICON.ico"), icons)

    strip = new_image(16 * len(TOOL_ORDER), 16, PALETTE["."])
    for i, name in enumerate(TOOL_ORDER):
        img = tool_image(name)
        for y in range(16):
            for x in range(16):
                strip[y][16 * i + x] = img[y][x]
    write_bmp(os.path.join(HERE, "TOOLBAR.bmp"), strip)

    if preview:
        def scaled(img, s):
            return [[img[y // s][x // s] for x in range(len(img[0]) * s)] for y in range(len(img) * s)]

        tiled = [[background[y % 96][x % 96] for x in range(288)] for y in range(192)]
        write_png("/tmp/k58_pic.png", tiled)
        write_png("/tmp/k58_about.png", scaled(about, 2))
        write_png("/tmp/k58_icon32.png", scaled(icons[0][0], 6), scaled(icons[0][1], 6))
        write_png("/tmp/k58_icon16.png", scaled(icons[1][0], 8), scaled(icons[1][1], 8))
        write_png("/tmp/k58_toolbar.png", scaled(strip, 6))


if __name__ == "__main__":
    main()
