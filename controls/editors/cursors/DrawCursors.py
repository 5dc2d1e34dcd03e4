#!/usr/bin/env python3
"""Draws the editor framework's screen cursor: a mouse body with its wheel and an arrow above and below it,
shown while an editor is scrolled with the mouse wheel, as a 32 x 32 monochrome .cur file.

Run from this folder; it rewrites UIEDIT_MOUSEWHEEL.cur."""
import importlib.util
import os

# The .cur writer of the control foundation's cursors.
_spec = importlib.util.spec_from_file_location(
    'foundation_cursors', os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'foundation',
                                       'cursors', 'DrawCursors.py'))
_foundation = importlib.util.module_from_spec(_spec)
_spec.loader.exec_module(_foundation)
cursor = _foundation.cursor
SIZE = _foundation.SIZE


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
