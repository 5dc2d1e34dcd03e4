#!/usr/bin/env python3
"""Draws the image editor's six 16 x 16 menu images as 24-bit .bmp files: cut, copy, paste, delete, load
and save. Olive (the bottom-left pixel) is transparent.

Run from this folder; it rewrites the UIMENUIMAGE_*.bmp files here."""
import struct

COLOURS = {
    '.': (128, 128, 0),    # transparent olive
    '#': (0, 0, 0),
    'g': (128, 128, 128),
    'w': (255, 255, 255),
    'b': (0, 0, 128),
    'r': (192, 0, 0),
    'y': (255, 255, 128),
    'o': (192, 128, 0),
}


def write_bmp(path, rows):
    assert len(rows) == 16 and all(len(r) == 16 for r in rows), path
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


IMAGES = {
    'UIMENUIMAGE_CUT': [
        '................',
        '....#......#....',
        '....#......#....',
        '....#......#....',
        '....##....##....',
        '.....#....#.....',
        '.....##..##.....',
        '......####......',
        '.......##.......',
        '......####......',
        '...bbb#..#bbb...',
        '..b...b..b...b..',
        '..b...b..b...b..',
        '..b...b..b...b..',
        '...bbb....bbb...',
        '................'],
    'UIMENUIMAGE_COPY': [
        '................',
        '.######.........',
        '.#wwww##........',
        '.#w##w#w#.......',
        '.#wwww####......',
        '.#w##w#########.',
        '.#wwww#wwwww##b.',
        '.#w##w#w###w#wb.',
        '.#wwww#wwwww####',
        '.######w#####ww#',
        '......#wwwwwwww#',
        '......#w######w#',
        '......#wwwwwwww#',
        '......#w######w#',
        '......##########',
        '................'],
    'UIMENUIMAGE_PASTE': [
        '................',
        '.....####.......',
        '.####yy####.....',
        '.#oo#yy#oo#.....',
        '.#oo####oo#.....',
        '.#oooooooo#.....',
        '.#oooo##########',
        '.#oooo#wwwwwww##',
        '.#oooo#w#####w#.',
        '.#oooo#wwwwwww#.',
        '.#oooo#w#####w#.',
        '.#oooo#wwwwwww#.',
        '.#oooo#w#####w#.',
        '.######wwwwwww#.',
        '......#########.',
        '................'],
    'UIMENUIMAGE_DELETE': [
        '................',
        '................',
        '..rr........rr..',
        '..rrr......rrr..',
        '...rrr....rrr...',
        '....rrr..rrr....',
        '.....rrrrrr.....',
        '......rrrr......',
        '......rrrr......',
        '.....rrrrrr.....',
        '....rrr..rrr....',
        '...rrr....rrr...',
        '..rrr......rrr..',
        '..rr........rr..',
        '................',
        '................'],
    'UIMENUIMAGE_LOAD': [
        '................',
        '................',
        '.........###....',
        '........#...#.#.',
        '.............##.',
        '.###........###.',
        '#yyy#######.....',
        '#yyyyyyyyy#.....',
        '#yyy##########..',
        '#yy#ooooooooo#..',
        '#y#ooooooooo#...',
        '##ooooooooo#....',
        '#ooooooooo#.....',
        '###########.....',
        '................',
        '................'],
    'UIMENUIMAGE_SAVE': [
        '................',
        '.##############.',
        '.#b#wwwwwwww#b#.',
        '.#b#wwwwwwww#b#.',
        '.#b#wwwwwwww#b#.',
        '.#b#wwwwwwww#b#.',
        '.#b#wwwwwwww#b#.',
        '.#bb########bb#.',
        '.#bbbbbbbbbbbb#.',
        '.#bbb#######bb#.',
        '.#bbb#gg#ww#bb#.',
        '.#bbb#gg#ww#bb#.',
        '.#bbb#gg#ww#bb#.',
        '..############..',
        '................',
        '................'],
}

if __name__ == '__main__':
    for name, rows in IMAGES.items():
        write_bmp(name + '.bmp', rows)
