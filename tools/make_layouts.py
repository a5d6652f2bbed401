#!/usr/bin/env python3
"""Writes the layouts shipped in data/LAYOUTS, most in the text form (first line "; Tolbex layout:
<name>", second line "; <one-line description>"), a few in the 308-byte binary form. Lantern,
Bridge and Castle are built from rows of tiles; the others from text pictures (see `art`) or
figures (see `figure`), opened by upright seams (`split`), raised into domes (`dome`) and cut to
144 tiles from the top (`trim`). Every layout is checked: 144 tiles, every top-left cell on rows
0..18 and columns 0..32, no two tiles sharing a cell on one level, and every tile above the table
standing wholly on tiles of the level below.

Run from the source tree: python3 tools/make_layouts.py [--docs BUILD_DIR] [FILE.TXL...]
With --docs it also measures every layout with tolbex_layout_stats, draws it with
tolbex_layout_picture and writes docs/layouts.md with the table and the pictures.
"""
import concurrent.futures
import os
import struct
import subprocess
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
    # Two towers three levels high (their corners four), each two tiles wide, and between them a
    # deck of three spans, half a tile apart, that rises over the middle span on its pier.
    towers = block(0, range(2, 17, 2), (0, 2, 30, 32)) + block(1, range(2, 17, 2), (0, 2, 30, 32))
    towers += block(2, range(2, 17, 2), (0, 2, 30, 32)) + block(3, (2, 16), (0, 2, 30, 32))
    deck = block(0, (8, 10), (5, 7, 9, 11, 14, 16, 18, 21, 23, 25, 27)) + block(0, (12, 14), (16,))
    deck += block(1, (9,), (6, 8, 10, 15, 17, 22, 24, 26))
    deck += block(2, (9,), (8, 10, 15, 17, 22, 24)) + block(3, (9,), (15, 17))
    return towers + deck

def castle():
    # The outer wall along the edges of the grid, its long sides in three lengths with a gap of
    # half a tile between them, a two-level tower at each corner and battlements over the gates;
    # inside the moat a keep in two halves, each raised in half-tile steps.
    wall_cols = (0, 2, 4, 6, 8, 11, 13, 15, 17, 19, 21, 24, 26, 28, 30, 32)
    tiles = block(0, (0, 18), wall_cols) + block(0, range(2, 17, 2), (0, 32))
    tiles += block(1, (0, 18), (0, 32)) + block(2, (0, 18), (0, 32))          # the corner towers
    tiles += block(1, (0, 18), (13, 19))                                       # the battlements
    keep = split(block(0, range(4, 15, 2), range(9, 24, 2)), parts=2)
    return trim(tiles + dome(keep, 4))

def art(level, lines, row=0, col=0):
    """Tiles from rows of text, one line for each row of tiles (the line i on cell row `row` + 2i).
    Along a line, '#' puts a tile on `level`, a digit n a stack of n tiles from `level` up, '.' or a
    space leaves one tile's width empty and '+' moves on by half a tile."""
    tiles = []
    for i, line in enumerate(lines):
        c = col
        for ch in line:
            if ch == "+":
                c += 1
                continue
            height = 1 if ch == "#" else int(ch) if ch.isdigit() else 0
            tiles += [(level + k, row + 2 * i, c) for k in range(height)]
            c += 2
    return tiles


def cells_of(tiles, level):
    return {(r + dr, c + dc) for (l, r, c) in tiles if l == level for dr in (0, 1) for dc in (0, 1)}


def dome(tiles, levels):
    """Raises `tiles` (all on one level) into a dome: each level up holds a tile wherever one fits
    wholly on the level below, shifted half a tile down and right from a tile below on odd levels
    and back up and left on even ones, so that the dome stays centred on its base."""
    base = min(l for (l, r, c) in tiles)
    result = list(tiles)
    for level in range(base, base + levels - 1):
        shift = 1 if (level - base) % 2 == 0 else -1
        cover = cells_of(result, level)
        for (l, r, c) in [t for t in result if t[0] == level]:
            r2, c2 = r + shift, c + shift
            if all((r2 + dr, c2 + dc) in cover for dr in (0, 1) for dc in (0, 1)):
                result.append((level + 1, r2, c2))
    return result


def figure(test, rows=10, cols=17):
    """The tiles of a grid of `rows` x `cols` tile places whose centres (x, y in pixels from the
    grid's centre) pass `test`."""
    tiles = []
    for i in range(rows):
        for j in range(cols):
            r, c = 2 * i, 2 * j
            x = (c + 1 - cols) * 18
            y = (r + 1 - rows) * 20
            if test(x, y):
                tiles.append((0, r, c))
    return tiles


def inside_ellipse(x, y, cx, cy, rx, ry):
    return ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0


def split(tiles, parts=3):
    """Opens the shape with upright seams half a tile wide into `parts` bands of about equal width:
    a row of tiles across a seam becomes two shorter rows, each with an open end at the seam."""
    low = min(c for (l, r, c) in tiles)
    width = max(c for (l, r, c) in tiles) + 2 - low
    seams = [low + 2 * round(k * width / parts / 2) for k in range(1, parts)]
    return [(l, r, c + sum(1 for s in seams if c >= s)) for (l, r, c) in tiles]


def centre(tiles):
    """Moves the tiles so that their cells sit in the middle of the grid (20 rows, 34 columns)."""
    rows = [r for (l, r, c) in tiles] + [r + 1 for (l, r, c) in tiles]
    cols = [c for (l, r, c) in tiles] + [c + 1 for (l, r, c) in tiles]
    dr = (ROWS - (max(rows) - min(rows) + 1)) // 2 - min(rows)
    dc = (COLS - (max(cols) - min(cols) + 1)) // 2 - min(cols)
    return sorted({(l, r + dr, c + dc) for (l, r, c) in tiles})


def trim(tiles, count=144):
    """Takes tiles off the top until `count` are left: always a tile with nothing on it, from the
    highest level, the one farthest from the middle, together with its mirror image across the
    upright middle line, so a symmetric shape stays symmetric."""
    tiles = set(tiles)
    cols = [c for (l, r, c) in tiles]
    axis = min(cols) + max(cols)          # a tile at column c mirrors axis - c
    mid_r = (min(r for (l, r, c) in tiles) + max(r for (l, r, c) in tiles)) / 2
    while len(tiles) > count:
        top = max(l for (l, r, c) in tiles)
        covered = set()
        for (l, r, c) in tiles:
            covered |= {(l - 1, r + dr, c + dc) for dr in (0, 1) for dc in (0, 1)}
        def free_top(t):
            l, r, c = t
            return l == top and not any((l, r + dr, c + dc) in covered for dr in (0, 1) for dc in (0, 1))
        candidates = sorted((t for t in tiles if free_top(t)),
                            key=lambda t: (-(((2 * t[2] - axis) * 9) ** 2 + ((t[1] - mid_r) * 20) ** 2), t))
        need = len(tiles) - count
        for t in candidates:
            mirror = (t[0], t[1], axis - t[2])
            if mirror == t and need >= 1:
                tiles.discard(t)
                break
            if mirror != t and mirror in tiles and need >= 2:
                tiles -= {t, mirror}
                break
        else:
            tiles.discard(candidates[0])
    return sorted(tiles)


# ---- Our own layouts -------------------------------------------------------------------------

def pyramid():
    rows = [centred_row(0, 2 * i, w) for i, w in enumerate((2, 3, 5, 6, 8, 9, 11, 12, 14, 15))]
    return trim(centre(dome(split([t for row in rows for t in row]), 5)))


def meadow():
    rows = ["###+###+###+###+###"] * 10
    rows[0] = rows[9] = "###+###+...+###+###"
    return centre(art(0, rows))


def garden():
    tiles = []
    for bed_row in (0, 10):
        for bed_col in range(0, 32, 8):
            bed = art(0, ["###"] * 4, bed_row, bed_col)
            tiles += bed + art(1, ["##"] * 3, bed_row + 1, bed_col + 1)
    return centre(tiles)


def spiral():
    # A square spiral walked inwards on a grid of 15 x 10 tile places, with a gap of one place
    # between its turns; the walk rises a level each time it has covered a share of its length.
    grid = [[0] * 15 for _ in range(10)]
    r, c, dr, dc = 0, 0, 0, 1
    path = []
    for _ in range(400):
        if grid[r][c]:
            break
        grid[r][c] = 1
        path.append((r, c))
        nr, nc = r + dr, c + dc
        ahead = (nr + dr, nc + dc)
        def blocked(rr, cc):
            return not (0 <= rr < 10 and 0 <= cc < 15) or grid[rr][cc]
        if blocked(nr, nc) or (0 <= ahead[0] < 10 and 0 <= ahead[1] < 15 and grid[ahead[0]][ahead[1]]):
            dr, dc = dc, -dr
            nr, nc = r + dr, c + dc
            if blocked(nr, nc) or (0 <= nr + dr < 10 and 0 <= nc + dc < 15 and grid[nr + dr][nc + dc]):
                break
        r, c = nr, nc
    tiles = []
    for k, (r, c) in enumerate(path):
        height = 1 + 3 * k // len(path)
        tiles += [(l, 2 * r, 2 * c) for l in range(height)]
    return trim(centre(split(tiles)))


def tower():
    # Two stacks of tiles four and five high, two tiles wide, with a seam between them, so that
    # every tile has an open side and only the stacking holds it.
    tiles = art(0, ["44+44"] * 8) + art(4, ["#.+.#"] * 8)
    return centre(tiles)

def skyline():
    # Buildings standing on the bottom row: for each column of tiles, how many rows it reaches up
    # and how many levels high it is stacked.
    reach = (2, 4, 4, 2, 6, 6, 3, 8, 5, 2, 4, 5, 2, 3)
    height = (1, 2, 2, 1, 2, 3, 2, 5, 3, 1, 2, 3, 1, 2)
    tiles = [(l, 2 * (9 - k), 2 * col) for col in range(len(reach))
             for k in range(reach[col]) for l in range(height[col])]
    return centre(split(tiles, parts=5))

def heart():
    return trim(centre(dome(split(art(0, [
        "..####...####..",
        ".######.######.",
        "###############",
        "###############",
        ".#############.",
        "..###########..",
        "...#########...",
        "....#######....",
        ".....#####.....",
        "......###......",
    ])), 5)))


def cross():
    return trim(centre(dome(split(art(0, [
        ".....#####.....",
        ".....#####.....",
        ".....#####.....",
        "###############",
        "###############",
        "###############",
        "###############",
        ".....#####.....",
        ".....#####.....",
        ".....#####.....",
    ])), 5)))


def moon():
    return trim(centre(dome(split(art(0, [
        "...##########",
        ".############",
        "#########....",
        "########.....",
        "########.....",
        "########.....",
        "########.....",
        "#########....",
        ".############",
        "...##########",
    ]), parts=4), 4)))

def fish():
    return trim(centre(dome(split(art(0, [
        "...######.....#",
        ".##########..##",
        "############.##",
        "#.##########.##",
        "##############.",
        "##############.",
        "############.##",
        "############.##",
        ".##########..##",
        "...######.....#",
    ])), 3)))


def butterfly():
    return trim(centre(dome(art(0, [
        ".###..#...#..###.",
        "#####..#.#..#####",
        "######..#..######",
        "#######.#.#######",
        ".######.#.######.",
        "...####.#.####...",
        "..#####.#.#####..",
        ".######.#.######.",
        ".#####..#..#####.",
        "..###.......###..",
    ]), 4)))


def cat():
    return trim(centre(dome(split(art(0, [
        "#.............#",
        "##...........##",
        "###.........###",
        "###############",
        "###..#####..###",
        "###..#####..###",
        "###############",
        "#######.#######",
        ".#############.",
        "...#########...",
    ])), 4)))


def house():
    return trim(centre(dome(split(art(0, [
        ".......#.......",
        "......###..#...",
        ".....#####.#...",
        "....########...",
        "...#########...",
        "..###########..",
        ".#############.",
        "..###########..",
        "..###########..",
        "..###########..",
    ])), 4)))


def pagoda():
    # Roofs (the long rows) over narrower storeys, a finial on top.
    return trim(centre(dome(split(art(0, [
        ".......#.......",
        "....#######....",
        ".....#####.....",
        "..###########..",
        "....#######....",
        "###############",
        "...#########...",
        "###############",
        "..###########..",
        ".#############.",
    ])), 3)))

def arena():
    ring = lambda x, y, a, b: inside_ellipse(x, y, 0, 0, a, b)
    tiles = figure(lambda x, y: ring(x, y, 270, 200) and not ring(x, y, 130, 90), cols=15)
    return trim(centre(dome(split(tiles, parts=5), 3)))

def letter_x():
    tiles = []
    for i in range(10):
        left = round(i * 26 / 9)
        right = 26 - left
        low, high = min(left, right), max(left, right) + 8
        spans = [(low, high)] if high - low <= 16 else [(left, left + 8), (right, right + 8)]
        for a, b in spans:
            tiles += [(l, 2 * i, c) for c in range(a, b, 2) for l in (0, 1)]
    return trim(centre(tiles))


def shield():
    return trim(centre(dome(split(art(0, [
        "###############",
        "###############",
        "###############",
        "###############",
        "###############",
        ".#############.",
        ".#############.",
        "..###########..",
        "....#######....",
        "......###......",
    ])), 3)))


def bell():
    return trim(centre(dome(split(art(0, [
        "......###......",
        ".....#####.....",
        "....#######....",
        "...#########...",
        "...#########...",
        "..###########..",
        "..###########..",
        ".#############.",
        "###############",
        "......###......",
    ])), 4)))


def temple():
    # A pediment and its beam two levels thick on five columns three high, over two steps.
    return centre(split(art(0, [
        ".......1.......",
        ".....11111.....",
        "..22222222222..",
        "222222222222222",
        ".3..3..3..3..3.",
        ".3..3..3..3..3.",
        ".3..3..3..3..3.",
        ".3..3..3..3..3.",
        "111111111111111",
        "..11111111111..",
    ])))

def crown():
    return trim(centre(dome(split(art(0, [
        "#......#......#",
        "##....###....##",
        "###..#####..###",
        "####.#####.####",
        "###############",
        "###############",
        "###############",
        "###############",
        "...............",
        "###############",
    ])), 3)))


def letter_h():
    return trim(centre(dome(split(art(0, [
        "#####.....#####",
        "#####.....#####",
        "#####.....#####",
        "#####.....#####",
        "###############",
        "###############",
        "#####.....#####",
        "#####.....#####",
        "#####.....#####",
        "#####.....#####",
    ])), 4)))


def apple():
    return trim(centre(dome(split(art(0, [
        ".......#.......",
        "......#.##.....",
        "...####.####...",
        ".#############.",
        "###############",
        "###############",
        "###############",
        ".#############.",
        "..###########..",
        "....##...##....",
    ])), 3)))


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


def write_docs(root, layouts, build, deals, budget):
    """Measures every layout with the game's own code (tolbex_layout_stats: random deals, open pairs,
    the solver's verdicts), draws a dealt board of each (tolbex_layout_picture, scaled to half size
    by ImageMagick) and writes the table and the pictures into docs/layouts.md."""
    docs = os.path.join(root, "..", "..", "docs")
    pictures = os.path.join(docs, "layouts")
    os.makedirs(pictures, exist_ok=True)

    def measure(name):
        out = subprocess.run([os.path.join(build, "tolbex_layout_stats"), "--deals", str(deals),
                              "--budget", str(budget), os.path.join(root, name)],
                             check=True, capture_output=True, text=True).stdout.split()
        return name, out

    with concurrent.futures.ThreadPoolExecutor(max_workers=2) as pool:
        figures = dict(pool.map(measure, layouts))
    for name in layouts:
        full = os.path.join(pictures, "full.png")
        subprocess.run([os.path.join(build, "tolbex_layout_picture"), os.path.join(root, name), full], check=True,
                       capture_output=True)
        subprocess.run(["convert", full, "-filter", "Box", "-resize", "50%", "-strip",
                        os.path.join(pictures, name[:-4] + ".png")], check=True)
        os.remove(full)

    lines = ["# The layouts", "",
             "Written by `tools/make_layouts.py --docs BUILD_DIR`. Every layout was dealt "
             f"{deals} times by the game's own dealer (the deal clock set to 1, 2, 3, ... seconds) and "
             f"each deal given to the game's solver with a budget of {budget} positions; *undecided* "
             "deals are those it could not settle within that budget. *Open pairs* is the mean number "
             "of pairs that can be taken at the start (the game's hint list).", "",
             "| layout | file | form | levels | winnable deals | not winnable | undecided | open pairs at the start |",
             "|---|---|---|---|---|---|---|---|"]
    for name, (title, description, tiles, binary) in layouts.items():
        _, levels, won, lost, unknown, dealt, pairs = figures[name]
        share = 100.0 * int(won) / int(dealt)
        lines.append(f"| {title} | `{name}` | {'binary' if binary else 'text'} | {levels} | "
                     f"{share:.1f}% ({won} of {dealt}) | {lost} | {unknown} | {float(pairs):.1f} |")
    lines += ["", "Lantern is the layout built into the program and stays as it is; the others were "
              "reshaped until at least 80% of their random deals could be won.", "", "## Pictures", ""]
    for name, (title, description, tiles, binary) in layouts.items():
        lines += [f"### {title} (`{name}`)", "", description, "",
                  f"![{title}](layouts/{name[:-4]}.png)", ""]
    with open(os.path.join(docs, "layouts.md"), "w") as out:
        out.write("\n".join(lines))


def main():
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data", "LAYOUTS")
    os.makedirs(root, exist_ok=True)
    layouts = {
        "LAYOUT1.TXL": ("Lantern", "An eight-sided lantern with a lamp on each side.", lantern(), False),
        "BRIDGE.TXL": ("Bridge", "Two towers joined by a deck of three spans that rises over its pier.", bridge(), False),
        "CASTLE.TXL": ("Castle", "A walled keep with a corner tower at each corner.", castle(), True),
        "PYRAMID.TXL": ("Pyramid", "A pyramid seen from the side, rising in steps to its point.", pyramid(), True),
        "MEADOW.TXL": ("Meadow", "One low level of short rows: every row opens in many places. For beginners.", meadow(), False),
        "GARDEN.TXL": ("Garden", "Eight raised flower beds between open paths. For beginners.", garden(), False),
        "SPIRAL.TXL": ("Spiral", "A path that winds inwards, rising to three levels at its heart.", spiral(), False),
        "TOWER.TXL": ("Tower", "A tall, narrow tower five levels high, split down the middle. For experts.", tower(), False),
        "SKYLINE.TXL": ("Skyline", "A city skyline, its tallest tower stacked five high. For experts.", skyline(), True),
        "HEART.TXL": ("Heart", "A heart, raised like a cushion.", heart(), False),
        "CROSS.TXL": ("Cross", "A broad cross that rises to its crossing.", cross(), False),
        "MOON.TXL": ("Moon", "A crescent moon.", moon(), False),
        "FISH.TXL": ("Fish", "A fish swimming to the left, its eye and its tail fin.", fish(), False),
        "BUTTERFL.TXL": ("Butterfly", "A butterfly with open wings.", butterfly(), False),
        "CAT.TXL": ("Cat", "A cat's head with pointed ears.", cat(), False),
        "HOUSE.TXL": ("House", "A house with a pointed roof and a chimney.", house(), False),
        "PAGODA.TXL": ("Pagoda", "A pagoda of five roofs, each wider than the one above.", pagoda(), False),
        "SHIELD.TXL": ("Shield", "A knight's shield, broad at the top and pointed below.", shield(), False),
        "BELL.TXL": ("Bell", "A bell with its clapper below the rim.", bell(), False),
        "TEMPLE.TXL": ("Temple", "A temple: a pediment on five columns over its steps.", temple(), False),
        "CROWN.TXL": ("Crown", "A crown with three points over a jewelled band.", crown(), False),
        "LETTERH.TXL": ("Letter H", "A capital H.", letter_h(), False),
        "APPLE.TXL": ("Apple", "An apple with its stalk and a leaf.", apple(), False),
        "ARENA.TXL": ("Arena", "Stands that rise in a ring around an open floor.", arena(), False),
        "LETTERX.TXL": ("Letter X", "A capital X.", letter_x(), False),
    }
    args = sys.argv[1:]
    build = None
    if args[:1] == ["--docs"] and len(args) >= 2:
        build, args = args[1], args[2:]
    only = args
    for name, (title, description, tiles, binary) in layouts.items():
        if only and name not in only:
            continue
        if len(tiles) != 144:
            print(f"{name}: {len(tiles)} tiles")
            continue
        check(name, tiles)
        data = binary_form(tiles) if binary else text_form(title, description, tiles)
        with open(os.path.join(root, name), "wb") as out:
            out.write(data)
        print(f"{name}: {len(tiles)} tiles, {len(data)} bytes")
    if build:
        write_docs(root, layouts, build, deals=200, budget=100000)


if __name__ == "__main__":
    main()
