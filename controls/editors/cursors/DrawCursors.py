#!/usr/bin/env python3
"""Draws the editor framework's screen cursor: a mouse body with its wheel and an arrow above and below it,
shown while an editor is scrolled with the mouse wheel, as a 32 x 32 monochrome .cur file.

Run from this folder; it rewrites UIEDIT_MOUSEWHEEL.cur."""
import struct

SIZE = 32


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
    header = struct.pack('<IiiHHIIiiII', 40, SIZE, SIZE * 2, 1, 1, 0, SIZE * 4 * 2, 0, 0, 2, 0)
    palette = struct.pack('<II', 0x000000, 0xFFFFFF)
    image = header + palette + b''.join(reversed(xor_rows)) + b''.join(reversed(and_rows))
    directory = struct.pack('<HHH', 0, 2, 1)
    entry = struct.pack('<BBBBHHII', SIZE, SIZE, 0, 0, hotspot[0], hotspot[1], len(image), 6 + 16)
    return directory + entry + image


def mouse_wheel():
    g = [[' '] * SIZE for _ in range(SIZE)]

    def put(x, y, ch):
        if 0 <= x < SIZE and 0 <= y < SIZE:
            g[y][x] = ch

    # The body: a rounded box 11 wide and 15 high centred on (15, 15).
    left, top, right, bottom = 10, 8, 20, 22
    for y in range(top, bottom + 1):
        for x in range(left, right + 1):
            corner = (x in (left, right)) and (y in (top, bottom))
            if corner:
                continue
            edge = x in (left, right) or y in (top, bottom) or ((x in (left + 1, right - 1)) and (y in (top, bottom)))
            put(x, y, '#' if edge else 'o')
    # The button line and the wheel.
    for x in range(left + 1, right):
        put(x, 13, '#')
    for y in range(9, 13):
        put(15, y, '#')
    # Arrow heads above and below.
    for d in range(4):
        for s in range(-d, d + 1):
            put(15 + s, 2 + d, '#' if abs(s) == d or d == 3 else 'o')
            put(15 + s, 28 - d, '#' if abs(s) == d or d == 3 else 'o')
    return [''.join(r) for r in g]


if __name__ == '__main__':
    with open('UIEDIT_MOUSEWHEEL.cur', 'wb') as f:
        f.write(cursor(mouse_wheel(), (15, 15)))
