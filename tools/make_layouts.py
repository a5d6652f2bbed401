#!/usr/bin/env python3
"""Writes the layouts shipped in data/LAYOUTS: LAYOUT1.TXL (Lantern) and BRIDGE.TXL in the text
form, CASTLE.TXL in the 308-byte binary form. Each layout is built from rows of tiles, then
checked: 144 tiles, every top-left cell on rows 0..18 and columns 0..32, no two tiles sharing a
cell on one level, and every tile above the table standing wholly on tiles of the level below.

Run from the source tree: python3 tools/make_layouts.py
"""
import os
import struct
import sys

ROWS, COLS, LEVELS = 20, 34, 5
TEXT_HEADER = (637, 425, 0, 20, 280, 0, 580, 0, 0, 0)


def centred_row(level, row, count):
    """`count` tiles side by side on one row, centred on the grid (tile at column c mirrors 32 - c)."""
    first = 17 - count
    return [(level, row, first + 2 * i) for i in range(count)]


def block(level, rows, cols):
    return [(level, r, c) for r in rows for c in cols]


def lantern():
    tiles = []
    for row, width in zip(range(2, 17, 2), (6, 8, 10, 12, 12, 10, 8, 6)):
        tiles += centred_row(0, row, width)
    tiles += [(0, 9, 3), (0, 9, 29)]                      # the two side lamps
    for row, width in zip(range(4, 15, 2), (4, 6, 8, 8, 6, 4)):
        tiles += centred_row(1, row, width)
    for row, width in zip(range(6, 13, 2), (4, 6, 6, 4)):
        tiles += centred_row(2, row, width)
    for row in (8, 10):
        tiles += centred_row(3, row, 4)
        tiles += centred_row(4, row, 3)                   # the cap sits across the joints
    return tiles


def bridge():
    tiles = []
    towers_left, towers_right = (1, 3, 5), (27, 29, 31)
    tiles += block(0, range(2, 17, 2), towers_left + towers_right)
    tiles += block(0, (8, 10), range(7, 26, 2))           # the deck
    tiles += block(0, (12, 14, 16), (15, 17))             # the pier under the middle
    tiles += block(1, range(4, 15, 2), (2, 4, 28, 30))
    tiles += block(1, (9,), range(6, 27, 2))
    tiles += block(2, range(6, 13, 2), (3, 29))
    tiles += block(2, (9,), range(7, 26, 2))
    tiles += block(3, (7, 9, 11), (3, 29))
    tiles += block(3, (9,), range(12, 21, 2))
    tiles += block(4, (8, 10), (3, 29))
    tiles += block(4, (9,), (15, 17))
    return tiles


def castle():
    tiles = []
    ring_cols, ring_rows = range(2, 31, 2), range(1, 18, 2)
    tiles += [(0, r, c) for r in (1, 17) for c in ring_cols]
    tiles += [(0, r, c) for r in ring_rows[1:-1] for c in (2, 30)]
    tiles += block(0, range(5, 14, 2), range(10, 23, 2))  # the keep's base, inside the moat
    for r, c, dr, dc in ((1, 2, 2, 2), (1, 30, 2, -2), (17, 2, -2, 2), (17, 30, -2, -2)):
        tiles += [(1, r, c), (1, r, c + dc), (1, r + dr, c), (2, r, c)]   # the corner towers
    tiles += block(1, range(5, 14, 2), range(12, 21, 2))
    tiles += block(2, range(7, 12, 2), range(12, 21, 2))
    tiles += block(3, (8, 10), (14, 16, 18))
    tiles += block(4, (9,), (14, 16, 18))
    return tiles


def check(name, tiles):
    problems = []
    if len(tiles) != 144 or len(set(tiles)) != 144:
        problems.append(f"{len(set(tiles))} distinct tiles")
    cover = {}
    for level, row, col in tiles:
        if not (0 <= level < LEVELS and 0 <= row <= ROWS - 2 and 0 <= col <= COLS - 2):
            problems.append(f"tile off the grid: {(level, row, col)}")
        for dr in (0, 1):
            for dc in (0, 1):
                cell = (level, row + dr, col + dc)
                if cell in cover:
                    problems.append(f"overlap at {cell}")
                cover[cell] = True
    for level, row, col in tiles:
        if level == 0:
            continue
        for dr in (0, 1):
            for dc in (0, 1):
                if (level - 1, row + dr, col + dc) not in cover:
                    problems.append(f"tile {(level, row, col)} hangs over nothing")
    if problems:
        sys.exit(f"{name}: " + "; ".join(sorted(set(problems))))


def text_form(title, description, tiles):
    lines = [f"; Tolbex layout: {title}",
             f"; {description}",
             "; Each tile is one line: its row, column and level, as three whole numbers.",
             "; Rows run 0 to 18 and columns 0 to 32 (the tile's top-left cell on a grid of",
             "; half-tile cells); level 0 is the table and 4 the top. A line that does not",
             "; begin with three numbers, such as this one, is ignored.",
             "; Written by tools/make_layouts.py."]
    for level in range(LEVELS):
        lines.append("")
        lines.append(f"; level {level}")
        for (l, r, c) in sorted(tiles):
            if l == level:
                lines.append(f"{r} {c} {l}")
    data = ("\n".join(lines) + "\n").encode("ascii")
    assert len(data) != 308, "a text layout of 308 bytes would be read as binary"
    return data


def binary_form(tiles):
    entries = [col | (row << 6) | (level << 11) for (level, row, col) in sorted(tiles)]
    return struct.pack("<144H10h", *entries, *TEXT_HEADER)


def main():
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data", "LAYOUTS")
    os.makedirs(root, exist_ok=True)
    layouts = {
        "LAYOUT1.TXL": ("Lantern", "An eight-sided lantern with a lamp on each side.", lantern(), False),
        "BRIDGE.TXL": ("Bridge", "Two towers joined by a deck that rises to the middle.", bridge(), False),
        "CASTLE.TXL": ("Castle", "A walled keep with a corner tower at each corner.", castle(), True),
    }
    for name, (title, description, tiles, binary) in layouts.items():
        check(name, tiles)
        data = binary_form(tiles) if binary else text_form(title, description, tiles)
        with open(os.path.join(root, name), "wb") as out:
            out.write(data)
        print(f"{name}: {len(tiles)} tiles, {len(data)} bytes")


if __name__ == "__main__":
    main()
