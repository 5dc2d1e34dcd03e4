#!/usr/bin/env python3
"""Draws the BLOB editor's eight 18 x 16 cell icons as 24-bit .bmp files: BLOB, memo, picture and OLE, each
with a value and (the _NULL images) empty. Olive is transparent.

Run from this folder; it rewrites the UIBMBLOB_*.bmp files here."""
import struct

COLOURS = {
    '.': (128, 128, 0),    # transparent olive
    '#': (0, 0, 0),
    'g': (128, 128, 128),
    'l': (192, 192, 192),
    'w': (255, 255, 255),
    'r': (192, 0, 0),
    'y': (255, 255, 0),
    'o': (128, 64, 0),
    'c': (0, 128, 128),
    'G': (0, 128, 0),
    's': (128, 192, 255),
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

FILLED = {
    'BLOB': [
        '..................',
        '..##############..',
        '..#wwwwwwwwwwww#..',
        '..#w#ww##ww#www#..',
        '..#w#w#ww#w#www#..',
        '..#w#w#ww#w#www#..',
        '..#w#ww##ww#www#..',
        '..#wwwwwwwwwwww#..',
        '..#ww##www#ww#w#..',
        '..#w#ww#w##w#ww#..',
        '..#w#ww#ww#w#ww#..',
        '..#ww##www#ww#w#..',
        '..#wwwwwwwwwwww#..',
        '..##############..',
        '..................',
        '..................'],
    'MEMO': [
        '..................',
        '...###########....',
        '...#wwwwwwwww##...',
        '...#w#######w#w#..',
        '...#wwwwwwwww####.',
        '...#w#########w#..',
        '...#wwwwwwwwwww#..',
        '...#w######www#...',
        '...#wwwwwwwwwww#..',
        '...#w#########w#..',
        '...#wwwwwwwwwww#..',
        '...#w#######www#..',
        '...#wwwwwwwwwww#..',
        '...#############..',
        '..................',
        '..................'],
    'PICT': [
        '..................',
        '.################.',
        '.#ssssssssssssss#.',
        '.#ssssssssssyyss#.',
        '.#ssssssssssyyss#.',
        '.#ssssssssssssss#.',
        '.#sssssGssssssss#.',
        '.#ssssGGGsssssss#.',
        '.#sssGGGGGsssGss#.',
        '.#ssGGGGGGGsGGGs#.',
        '.#sGGGGGGGGGGGGG#.',
        '.#GGGGGGGGGGGGGG#.',
        '.#oooooooooooooo#.',
        '.################.',
        '..................',
        '..................'],
    'OLE': [
        '..................',
        '..#######.........',
        '..#wwwww##........',
        '..#wwwww#w#.......',
        '..#w###w####......',
        '..#wwwwwwww#......',
        '..#w#####cccccc...',
        '..#wwwwwwc####c...',
        '..#w####wc#rr#c...',
        '..#wwwwwwc#rr#c...',
        '..#w#####c####c...',
        '..#wwwwwwcccccc...',
        '..##########......',
        '..................',
        '..................',
        '..................'],
}


def faded(rows):
    # An empty value: the same outline in grey, nothing inside.
    return [''.join('.' if c == '.' else ('g' if c in '#c' else 'l') for c in row) for row in rows]


if __name__ == '__main__':
    for name, rows in FILLED.items():
        assert len(rows) == 16 and all(len(r) == 18 for r in rows), name
        write_bmp('UIBMBLOB_%s_NULL.bmp' % name, faded(rows))
        write_bmp('UIBMBLOB_%s.bmp' % name, rows)
