#!/usr/bin/env python3
"""Draws the control foundation's bitmaps as 24-bit .bmp files: the five 5 x 9 indicator images (white is
transparent), the two 10 x 10 auto-hide pins (white is transparent) and the two 11 x 11 Office11 expand
buttons (their corner pixels are blended with the background when drawn).

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


def main():
    for name, rows in INDICATORS.items():
        write_bmp(name + '.bmp', rows)
    for name, rows in PINS.items():
        write_bmp(name + '.bmp', [r[:10] for r in rows])
    write_bmp('UXEXPANDBUTTON_MINUS.bmp', expand_button(True))
    write_bmp('UXEXPANDBUTTON_PLUS.bmp', expand_button(False))


if __name__ == '__main__':
    main()
