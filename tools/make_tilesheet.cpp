// Draws the default tile sheet, data/GRAPHICS/TOLBEX13.BMP: 42 faces plus blanks in a 9 x 5 grid
// of 41 x 45 cells, each a face of 36 x 40 on a pure white ground with an ivory-and-green relief
// on its left and lower sides. `--scale 2` or `--scale 3` draws the same sheet at two or three
// pixels a unit (TOLBEX13@2.BMP, TOLBEX13@3.BMP). With --mock it also writes a small board
// drawn from the 1x sheet.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tile_painter.h"
#include "tile_faces.h"

namespace art {
namespace {

constexpr int kCellW = 41, kCellH = 45, kDepth = 5;
constexpr int kColumns = 9, kRows = 5;

// Relief colours by depth below the face (1 = next to the face, 5 = the outer edge), for the left
// flank (lit) and the lower flank (in shade): two rows of bone, then the green backing.
constexpr Rgb kLeftFlank[kDepth + 1] = {{0, 0, 0},       {246, 238, 216}, {228, 216, 184},
                                        {52, 148, 88},   {33, 112, 64},   {16, 66, 38}};
constexpr Rgb kLowerFlank[kDepth + 1] = {{0, 0, 0},      {218, 204, 166}, {196, 180, 140},
                                         {36, 118, 68},  {24, 88, 50},    {10, 50, 28}};
constexpr Rgb kSlantEdgeBone{176, 160, 122};
constexpr Rgb kSlantEdgeGreen{14, 58, 33};
constexpr Rgb kFaceEdgeOuter{92, 84, 70};   // top row and right column of the face
constexpr Rgb kFaceEdgeInner{132, 120, 96};  // left column and bottom row, against the bone

Rgb Mix(Rgb a, Rgb b) {
    return {static_cast<uint8_t>((a.r + b.r + 1) / 2), static_cast<uint8_t>((a.g + b.g + 1) / 2),
            static_cast<uint8_t>((a.b + b.b + 1) / 2)};
}

// The cell's corners outside the tile, at scale s: the slanted ends cut the 5s x 5s squares at
// the top left and the bottom right along their diagonal.
bool OutsideCorner(int x, int y, int s = 1) {
    const int d = kDepth * s;
    return (x < d && y < d && x + y < d - 1) ||
           (x >= 36 * s && y >= 40 * s && (x - 36 * s) + (y - 40 * s) > d - 1);
}

// Paints the two flanks and the slanted corners of the cell at (ox, oy), at scale s: each depth
// band is s pixels wide and the slanted ends s pixels thick.
void PaintRelief(Picture& sheet, int ox, int oy, int s) {
    const int d = kDepth * s;
    for (int y = 0; y < kCellH * s; ++y) {
        for (int x = 0; x < kCellW * s; ++x) {
            const bool face = x >= d && y < 40 * s;
            if (face || OutsideCorner(x, y, s)) continue;
            const int leftDepth = kDepth - x / s, lowDepth = y < 40 * s ? 0 : (y - 40 * s) / s + 1;
            const int depth = leftDepth > lowDepth ? leftDepth : lowDepth;
            Rgb c = leftDepth > lowDepth    ? kLeftFlank[depth]
                    : leftDepth < lowDepth  ? kLowerFlank[depth]
                                            : Mix(kLeftFlank[depth], kLowerFlank[depth]);
            // The far ends of the flanks, where the tile's back edges show.
            const int upper = x + y, lower = (x - 36 * s) + (y - 40 * s);
            const bool upperEnd = x < d && y < d && upper >= d - s && upper <= d - 1;
            const bool lowerEnd = x >= 36 * s && y >= 40 * s && lower >= d - s && lower <= d - 1;
            if (upperEnd || lowerEnd) c = depth <= 2 ? kSlantEdgeBone : kSlantEdgeGreen;
            sheet.Set(ox + x, oy + y, c);
        }
    }
    for (int y = 0; y < kCellH * s; ++y) {
        for (int x = 0; x < kCellW * s; ++x) {
            if (OutsideCorner(x, y, s)) sheet.Set(ox + x, oy + y, kWhite);
        }
    }
}

// Copies a painted face into the cell at (ox, oy) and outlines it with lines s pixels wide.
void PlaceFace(Picture& sheet, int ox, int oy, const FaceCanvas& face) {
    const int s = face.scale();
    for (int y = 0; y < 40 * s; ++y) {
        for (int x = 0; x < 36 * s; ++x) {
            Rgb c = face.Pixel(x, y);
            if (y < s || x >= 35 * s) c = kFaceEdgeOuter;
            else if (x < s || y >= 39 * s) c = kFaceEdgeInner;
            sheet.Set(ox + kDepth * s + x, oy + y, c);
        }
    }
}


// Faces 1 to 42 in sheet order, then the blank cells, drawn at s pixels a unit.
Picture MakeSheet(int s) {
    Picture sheet(kCellW * kColumns * s, kCellH * kRows * s, kWhite);
    for (int row = 0; row < kRows; ++row) {
        for (int col = 0; col < kColumns; ++col) {
            FaceCanvas face(s);
            const int face_no = row < 3 ? row * 9 + col + 1 : row == 3 ? 28 + col : 36 + col;
            const bool used = row < 3 || (row == 3 && col < 8) || (row == 4 && col < 7);
            if (used) PaintFace(face, face_no);
            PlaceFace(sheet, col * kCellW * s, row * kCellH * s, face);
            PaintRelief(sheet, col * kCellW * s, row * kCellH * s, s);
        }
    }
    return sheet;
}

// ---- The mock board: the sheet drawn the way the game draws tiles. ----

struct MockTile {
    int level, row, column, face;
};

void CellOfFace(int face, int& sx, int& sy) {
    if (face <= 27) {
        sx = kCellW * ((face - 1) % 9);
        sy = kCellH * ((face - 1) / 9);
    } else if (face <= 35) {
        sx = kCellW * (face - 28);
        sy = kCellH * 3;
    } else {
        sx = kCellW * (face - 36);
        sy = kCellH * 4;
    }
}

// Plain manner: the silhouette copied as it is. Coloured manner: the face filled with the colour,
// then every sheet pixel that is not pure white laid over it.
void DrawMockTile(Picture& board, const Picture& sheet, int dx, int dy, int face, bool coloured,
                  Rgb fill) {
    int sx = 0, sy = 0;
    CellOfFace(face, sx, sy);
    if (coloured) {
        for (int y = 1; y < 40; ++y) {
            for (int x = 5; x < 40; ++x) board.Set(dx + x, dy + y, fill);
        }
    }
    for (int y = 0; y < kCellH; ++y) {
        for (int x = 0; x < kCellW; ++x) {
            const Rgb c = sheet.Get(sx + x, sy + y);
            if (coloured ? c == kWhite : OutsideCorner(x, y)) continue;
            board.Set(dx + x, dy + y, c);
        }
    }
}

void DrawMockBoard(Picture& out, const Picture& sheet, int ox, int oy, bool coloured) {
    std::vector<MockTile> tiles;
    int face = 1;
    auto add = [&](int level, int row, int col) {
        tiles.push_back({level, row, col, face});
        face = face % 42 + 1;
    };
    for (int r = 0; r <= 6; r += 2)
        for (int c = 12; c >= 0; c -= 2) add(0, r, c);
    for (int r = 1; r <= 5; r += 2)
        for (int c = 9; c >= 3; c -= 2) add(1, r, c);
    for (int r = 2; r <= 4; r += 2)
        for (int c = 8; c >= 4; c -= 2) add(2, r, c);
    // Paint order: level by level, columns right to left, rows top to bottom.
    std::stable_sort(tiles.begin(), tiles.end(), [](const MockTile& a, const MockTile& b) {
        if (a.level != b.level) return a.level < b.level;
        if (a.column != b.column) return a.column > b.column;
        return a.row < b.row;
    });
    constexpr Rgb kLevelTint[3] = {{255, 255, 0}, {0, 255, 255}, {128, 128, 255}};
    for (const MockTile& t : tiles) {
        DrawMockTile(out, sheet, ox + 18 * t.column + 5 * t.level, oy + 20 * t.row - 5 * t.level,
                     t.face, coloured, kLevelTint[t.level]);
    }
}

Picture MakeMock(const Picture& sheet) {
    Picture out(2 * 300, 210 + 245, Rgb{192, 192, 192});
    DrawMockBoard(out, sheet, 20, 30, false);
    DrawMockBoard(out, sheet, 320, 30, true);
    // The whole sheet in the coloured manner, to show what the tint reaches.
    for (int face = 1; face <= 42; ++face) {
        int sx = 0, sy = 0;
        CellOfFace(face, sx, sy);
        DrawMockTile(out, sheet, 10 + sx, 220 + sy, face, true, Rgb{0, 255, 255});
    }
    return out;
}

}  // namespace
}  // namespace art

int main(int argc, char** argv) {
    const char* output = "data/GRAPHICS/TOLBEX13.BMP";
    const char* mock = nullptr;
    int scale = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--mock") == 0 && i + 1 < argc) {
            mock = argv[++i];
        } else if (std::strcmp(argv[i], "--scale") == 0 && i + 1 < argc) {
            scale = std::atoi(argv[++i]);
        } else {
            output = argv[i];
        }
    }
    if (scale < 1 || scale > 3) {
        std::fprintf(stderr, "the scale must be 1, 2 or 3\n");
        return 1;
    }
    const art::Picture sheet = art::MakeSheet(scale);
    if (!sheet.WriteBmp(output)) {
        std::fprintf(stderr, "cannot write %s\n", output);
        return 1;
    }
    if (mock && !art::MakeMock(art::MakeSheet(1)).WriteBmp(mock)) {
        std::fprintf(stderr, "cannot write %s\n", mock);
        return 1;
    }
    return 0;
}
