#!/usr/bin/env python3
"""Draws the control foundation's bitmaps as 24-bit .bmp files: the five 5 x 9 indicator images (white is
transparent), the two 10 x 10 auto-hide pins (white is transparent) and the two 11 x 11 Office11 expand
buttons (their corner pixels are blended with the background when drawn); and as 16-colour .bmp files the
three 29 x 29 anchors of middle-button scrolling (both directions, left-right only, up-down only).

Run from this folder; it rewrites every .bmp file here."""
import struct

COLOURS = {
    '.': (255, 255, 255),  # transparent white
    '#': (0, 0, 0),
    'g': (128, 128, 128),
    'f': (96, 123, 151),   # expand-button frame
    'l': (255, 255, 255),  # expand-button face, top
    'm': (235, 240, 246),
    'n': (214, 224, 236),  # expand-button face, bottom
}


def write_bmp(path, rows):
    height, width = len(rows), len(rows[0])
    stride = (width * 3 + 3) & ~3
    pixels = b''
    for row in reversed(rows):
        line = b''.join(bytes((COLOURS[c][2], COLOURS[c][1], COLOURS[c][0])) for c in row)
        pixels += line + b'\0' * (stride - len(line))
    header = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(path, 'wb') as f:
        f.write(b'BM' + struct.pack('<IHHI', 14 + len(header) + len(pixels), 0, 0, 14 + len(header)))
        f.write(header + pixels)


INDICATORS = {
    'UI_ARROWBITMAP': [
        '#....',
        '##...',
        '###..',
        '####.',
        '#####',
        '####.',
        '###..',
        '##...',
        '#....'],
    'UI_EDITBITMAP': [
        '##.##',
        '..#..',
        '..#..',
        '..#..',
        '..#..',
        '..#..',
        '..#..',
        '..#..',
        '##.##'],
    'UI_INSERTBITMAP': [
        '.....',
        '.....',
        '#.#.#',
        '.###.',
        '#####',
        '.###.',
        '#.#.#',
        '.....',
        '.....'],
    'UI_MULTIDOTBITMAP': [
        '.....',
        '.....',
        '.....',
        '.###.',
        '.###.',
        '.###.',
        '.....',
        '.....',
        '.....'],
    'UI_MULTIARROWBITMAP': [
        '#....',
        '##...',
        '###..',
        '##...',
        '#....',
        '.....',
        '.###.',
        '.###.',
        '.###.'],
}

PINS = {
    # Pinned: the pin stands upright.
    'UI_AUTOHIDEON': [
        '..........',
        '...####...',
        '...#.g#...',
        '...#.g#...',
        '...#.g#...',
        '..######..',
        '....##....',
        '....##....',
        '....##....',
        '..........'],
    # Unpinned: the pin lies on its side, pointing left.
    'UI_AUTOHIDEOFF': [
        '..........',
        '..........',
        '......#...',
        '......####',
        '......#..#',
        '###########',
        '......#ggg#',
        '......####',
        '......#...',
        '..........'],
}


def expand_button(minus):
    rows = []
    for y in range(11):
        row = []
        for x in range(11):
            if x in (0, 10) or y in (0, 10):
                row.append('f')
            elif (y == 5 and 3 <= x <= 7) or (not minus and x == 5 and 3 <= y <= 7):
                row.append('#')
            else:
                row.append('l' if y < 4 else 'm' if y < 7 else 'n')
        rows.append(''.join(row))
    return rows


# The 16 colours of a 4-bit bitmap's palette, and the characters the anchors are drawn with.
PALETTE16 = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
             (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
             (255, 0, 255), (0, 255, 255), (255, 255, 255)]
ANCHOR_COLOURS = {'.': 15, '#': 0, 's': 7}


def write_bmp4(path, rows):
    height, width = len(rows), len(rows[0])
    stride = ((width + 1) // 2 + 3) & ~3
    pixels = b''
    for row in reversed(rows):
        indexes = [ANCHOR_COLOURS[c] for c in row] + [0]
        line = bytes((indexes[x] << 4) | (indexes[x + 1] if x + 1 < width else 0) for x in range(0, width, 2))
        pixels += line + b'\0' * (stride - len(line))
    palette = b''.join(bytes((b, g, r, 0)) for r, g, b in PALETTE16)
    header = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 4, 0, len(pixels), 2835, 2835, 16, 0)
    offset = 14 + len(header) + len(palette)
    with open(path, 'wb') as f:
        f.write(b'BM' + struct.pack('<IHHI', offset + len(pixels), 0, 0, offset))
        f.write(header + palette + pixels)


def anchor(directions):
    """A light disc with a dark centre dot and a dark arrow head towards each direction the mouse may
    scroll: 29 x 29, centre (14, 14)."""
    size, c = 29, 14
    g = [['.'] * size for _ in range(size)]
    for y in range(size):
        for x in range(size):
            d2 = (x - c) ** 2 + (y - c) ** 2
            if d2 > 14 ** 2:
                g[y][x] = 's'
            elif d2 <= 2 ** 2 + 1:
                g[y][x] = '#'
    for direction in directions:
        for d in range(5):  # tip three pixels from the edge, five rows deep
            for t in range(-d, d + 1):
                along, across = 3 + d, c + t
                x, y = {'up': (across, along), 'down': (across, size - 1 - along),
                        'left': (along, across), 'right': (size - 1 - along, across)}[direction]
                g[y][x] = '#'
    return [''.join(r) for r in g]


def main():
    for name, rows in INDICATORS.items():
        write_bmp(name + '.bmp', rows)
    for name, rows in PINS.items():
        write_bmp(name + '.bmp', [r[:10] for r in rows])
    write_bmp('UXEXPANDBUTTON_MINUS.bmp', expand_button(True))
    write_bmp('UXEXPANDBUTTON_PLUS.bmp', expand_button(False))
    write_bmp4('UI_FULLSCROLLBITMAP.bmp', anchor(('up', 'down', 'left', 'right')))
    write_bmp4('UI_HORSCROLLBITMAP.bmp', anchor(('left', 'right')))
    write_bmp4('UI_VERSCROLLBITMAP.bmp', anchor(('up', 'down')))


if __name__ == '__main__':
    main()
