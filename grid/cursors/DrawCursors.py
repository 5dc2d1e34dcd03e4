#!/usr/bin/env python3
"""Draws the grid's cursors as 32 x 32 monochrome .cur files: EXCEL (the grid's normal cursor, a thick
white cross with a black outline), ZOOMIN and ZOOMOUT (a magnifier with a plus or a minus).

Run from this folder; it rewrites EXCEL.cur, ZOOMIN.cur and ZOOMOUT.cur."""
import struct

SIZE = 32


def cursor(pixels, hotspot):
    """pixels: 32 strings of 32 characters: '#' black, 'o' white, anything else transparent."""
    xor_rows, and_rows = [], []
    for row in pixels:
        xor_bits = and_bits = 0
        for x, ch in enumerate(row.ljust(SIZE)[:SIZE]):
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


def grid(draw):
    g = [[' '] * SIZE for _ in range(SIZE)]
    draw(g)
    return [''.join(r) for r in g]


def plus_cross(g):
    # White arms 4 pixels thick, 19 long, outlined in black; centre at (15, 15).
    for y in range(SIZE):
        for x in range(SIZE):
            inside = (6 <= x <= 25 and 13 <= y <= 17) or (13 <= x <= 17 and 6 <= y <= 25)
            if inside:
                edge = any(not ((6 <= xx <= 25 and 13 <= yy <= 17) or (13 <= xx <= 17 and 6 <= yy <= 25))
                           for xx, yy in ((x - 1, y), (x + 1, y), (x, y - 1), (x, y + 1)))
                g[y][x] = '#' if edge else 'o'


def magnifier(sign):
    def draw(g):
        cx, cy, r = 12, 12, 8
        for y in range(SIZE):
            for x in range(SIZE):
                d2 = (x - cx) ** 2 + (y - cy) ** 2
                if d2 <= r * r:
                    g[y][x] = '#' if d2 >= (r - 1.5) ** 2 else 'o'
        for i in range(8):  # the handle
            for t in range(3):
                x, y = 18 + i + t - 1, 18 + i
                if x < SIZE and y < SIZE:
                    g[y][x] = '#'
        for x in range(8, 17):
            g[cy][x] = '#'
        if sign == '+':
            for y in range(8, 17):
                g[y][cx] = '#'
    return draw


if __name__ == '__main__':
    with open('EXCEL.cur', 'wb') as f:
        f.write(cursor(grid(plus_cross), (15, 15)))
    with open('ZOOMIN.cur', 'wb') as f:
        f.write(cursor(grid(magnifier('+')), (12, 12)))
    with open('ZOOMOUT.cur', 'wb') as f:
        f.write(cursor(grid(magnifier('-')), (12, 12)))
