#!/usr/bin/env python3
"""Draws the control foundation's screen cursors as 32 x 32 monochrome .cur files: the drag cursors
(drag, copy, several items, no drop, remove), the middle-button scrolling cursors (the anchor with the
directions it allows, and one arrow per direction), the sizing cursors and the pointing hand.

Run from this folder; it rewrites every .cur file here."""
import struct

SIZE = 32

ARROW = [
    '#',
    '##',
    '#o#',
    '#oo#',
    '#ooo#',
    '#oooo#',
    '#ooooo#',
    '#oooooo#',
    '#ooooooo#',
    '#oooooooo#',
    '#ooooo#####',
    '#oo#oo#',
    '#o# #oo#',
    '##  #oo#',
    '#    #oo#',
    '     #oo#',
    '      ##',
]

HAND = [
    '     ##',
    '    #oo#',
    '    #oo#',
    '    #oo#',
    '    #oo#',
    '    #oo###',
    '    #oo#oo###',
    '    #oo#oo#oo##',
    ' ## #oo#oo#oo#o#',
    '#oo##oooooooo#o#',
    '#ooo#ooooooooooo#',
    ' #oo#ooooooooooo#',
    '  #oooooooooooo#',
    '  #ooooooooooooo#',
    '   #oooooooooooo#',
    '   #ooooooooooo#',
    '    #oooooooooo#',
    '    #oooooooooo#',
    '     #oooooooo#',
    '     ##########',
]


def cursor(grid, hotspot):
    """grid: 32 rows of 32 characters: '#' black, 'o' white, anything else transparent."""
    xor_rows, and_rows = [], []
    for row in grid:
        xor_bits = and_bits = 0
        for x, ch in enumerate(row):
            bit = 1 << (31 - x)
            if ch == 'o':
                xor_bits |= bit
            elif ch != '#':
                and_bits |= bit
        xor_rows.append(struct.pack('>I', xor_bits))
        and_rows.append(struct.pack('>I', and_bits))
    # Device-independent bitmap, bottom-up, height doubled for the two masks.
    header = struct.pack('<IiiHHIIiiII', 40, SIZE, SIZE * 2, 1, 1, 0, SIZE * 4 * 2, 0, 0, 2, 0)
    palette = struct.pack('<II', 0x000000, 0xFFFFFF)
    image = header + palette + b''.join(reversed(xor_rows)) + b''.join(reversed(and_rows))
    directory = struct.pack('<HHH', 0, 2, 1)
    entry = struct.pack('<BBBBHHII', SIZE, SIZE, 0, 0, hotspot[0], hotspot[1], len(image), 6 + 16)
    return directory + entry + image


class Canvas:
    def __init__(self):
        self.g = [[' '] * SIZE for _ in range(SIZE)]

    def put(self, x, y, ch):
        if 0 <= x < SIZE and 0 <= y < SIZE:
            self.g[y][x] = ch

    def art(self, rows, left=0, top=0):
        for y, row in enumerate(rows):
            for x, ch in enumerate(row):
                if ch in '#o':
                    self.put(left + x, top + y, ch)

    def box(self, left, top, right, bottom, fill='o'):
        """A filled rectangle with a black outline (inclusive corners)."""
        for y in range(top, bottom + 1):
            for x in range(left, right + 1):
                edge = x in (left, right) or y in (top, bottom)
                self.put(x, y, '#' if edge else fill)

    def triangle(self, cx, cy, direction, half):
        """A white arrow head with a black outline pointing in direction ('up', 'down', 'left', 'right'),
        its tip at (cx, cy) and its base 2 * half + 1 pixels wide, half + 1 rows deep."""
        for d in range(half + 1):
            for s in range(-d, d + 1):
                ch = '#' if abs(s) == d or d == half else 'o'
                if direction == 'up':
                    self.put(cx + s, cy + d, ch)
                elif direction == 'down':
                    self.put(cx + s, cy - d, ch)
                elif direction == 'left':
                    self.put(cx + d, cy + s, ch)
                else:
                    self.put(cx - d, cy + s, ch)

    def disc(self, cx, cy, r):
        for y in range(SIZE):
            for x in range(SIZE):
                d2 = (x - cx) ** 2 + (y - cy) ** 2
                if d2 <= r * r:
                    self.put(x, y, '#' if d2 > (r - 1) ** 2 else 'o')

    def rows(self):
        return [''.join(r) for r in self.g]


def anchor(directions):
    c = Canvas()
    c.disc(15, 15, 3)
    if 'up' in directions:
        c.triangle(15, 3, 'up', 5)
    if 'down' in directions:
        c.triangle(15, 27, 'down', 5)
    if 'left' in directions:
        c.triangle(3, 15, 'left', 5)
    if 'right' in directions:
        c.triangle(27, 15, 'right', 5)
    return c.rows(), (15, 15)


def scroll_arrow(direction):
    c = Canvas()
    c.disc(15, 15, 3)
    tip = {'up': (15, 2), 'down': (15, 28), 'left': (2, 15), 'right': (28, 15)}[direction]
    c.triangle(tip[0], tip[1], direction, 7)
    return c.rows(), (15, 15)


def sizer(vertical):
    c = Canvas()
    if vertical:
        c.box(4, 14, 26, 16)
        c.triangle(15, 3, 'up', 6)
        c.triangle(15, 27, 'down', 6)
        c.box(13, 9, 17, 13)
        c.box(13, 17, 17, 21)
    else:
        c.box(14, 4, 16, 26)
        c.triangle(3, 15, 'left', 6)
        c.triangle(27, 15, 'right', 6)
        c.box(9, 13, 13, 17)
        c.box(17, 13, 21, 17)
    return c.rows(), (15, 15)


def dragging(extra):
    c = Canvas()
    if extra == 'multi':
        c.box(14, 22, 25, 29)
        c.box(11, 19, 22, 26)
        c.box(8, 16, 19, 23)
    else:
        c.box(8, 18, 21, 27)
    if extra == 'copy':
        c.box(17, 22, 27, 30)
        for i in range(19, 26):
            c.put(i, 26, '#')
        for i in range(23, 30):
            c.put(22, i, '#')
    c.art(ARROW)
    return c.rows(), (0, 0)


def no_drop():
    c = Canvas()
    for y in range(SIZE):
        for x in range(SIZE):
            d2 = (x - 15) ** 2 + (y - 15) ** 2
            if 8 ** 2 <= d2 <= 11 ** 2:
                c.put(x, y, '#' if d2 in range(8 ** 2, 9 ** 2) or d2 > 10 ** 2 else 'o')
    for i in range(-7, 8):
        for t in (-1, 0, 1):
            c.put(15 + i + t, 15 + i, '#' if t else 'o')
    return c.rows(), (15, 15)


def remove():
    c = Canvas()
    c.art(ARROW)
    for i in range(9):
        for t in (-1, 0, 1):
            ch = '#' if t else 'o'
            c.put(16 + i + t, 18 + i, ch)
            c.put(24 - i + t, 18 + i, ch)
    return c.rows(), (0, 0)


def hand():
    c = Canvas()
    c.art(HAND, 5, 1)
    return c.rows(), (11, 1)


CURSORS = {
    'UI_DRAGCOPYCURSOR': dragging('copy'),
    'UI_FULLSCROLLCURSOR': anchor({'up', 'down', 'left', 'right'}),
    'UI_HORSCROLLCURSOR': anchor({'left', 'right'}),
    'UI_VERSCROLLCURSOR': anchor({'up', 'down'}),
    'UI_UPSCROLLCURSOR': scroll_arrow('up'),
    'UI_RIGHTSCROLLCURSOR': scroll_arrow('right'),
    'UI_DOWNSCROLLCURSOR': scroll_arrow('down'),
    'UI_LEFTSCROLLCURSOR': scroll_arrow('left'),
    'UI_REMOVECURSOR': remove(),
    'UI_VERTSIZECURSOR': sizer(True),
    'UI_HORZSIZECURSOR': sizer(False),
    'UI_MULTIDRAGCURSOR': dragging('multi'),
    'UI_NODROPCURSOR': no_drop(),
    'UI_DRAGCURSOR': dragging('single'),
    'UI_HANDPOINTCURSOR': hand(),
}

if __name__ == '__main__':
    for name, (rows, hotspot) in CURSORS.items():
        with open(name + '.cur', 'wb') as f:
            f.write(cursor(rows, hotspot))
