// Draws the default tile sheet, data/GRAPHICS/TOLBEX13.BMP: 42 faces plus blanks in a 9 x 5 grid
// of 41 x 45 cells, each a face of 36 x 40 on a pure white ground with an ivory-and-green relief
// on its left and lower sides. With --mock it also writes a small board drawn from the sheet.
#include <algorithm>
#include <cstdio>
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

bool OutsideCorner(int x, int y) {
    return (x < kDepth && y < kDepth && x + y < 4) ||
           (x >= 36 && y >= 40 && (x - 36) + (y - 40) > 4);
}

// Paints the two flanks and the slanted corners of the cell at (ox, oy).
void PaintRelief(Picture& sheet, int ox, int oy) {
    for (int y = 0; y < kCellH; ++y) {
        for (int x = 0; x < kCellW; ++x) {
            const bool face = x >= kDepth && y < 40;
            if (face || OutsideCorner(x, y)) continue;
            const int leftDepth = kDepth - x, lowDepth = y - 39;
            const int depth = leftDepth > lowDepth ? leftDepth : lowDepth;
            Rgb c = leftDepth > lowDepth    ? kLeftFlank[depth]
                    : leftDepth < lowDepth  ? kLowerFlank[depth]
                                            : Mix(kLeftFlank[depth], kLowerFlank[depth]);
            // The far ends of the flanks, where the tile's back edges show.
            const bool upperEnd = x < kDepth && y < kDepth && x + y == 4;
            const bool lowerEnd = x >= 36 && y >= 40 && (x - 36) + (y - 40) == 4;
            if (upperEnd || lowerEnd) c = depth <= 2 ? kSlantEdgeBone : kSlantEdgeGreen;
            sheet.Set(ox + x, oy + y, c);
        }
    }
    for (int y = 0; y < kCellH; ++y) {
        for (int x = 0; x < kCellW; ++x) {
            if (OutsideCorner(x, y)) sheet.Set(ox + x, oy + y, kWhite);
        }
    }
}

// Copies a painted face into the cell at (ox, oy) and outlines it.
void PlaceFace(Picture& sheet, int ox, int oy, const FaceCanvas& face) {
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 36; ++x) {
            Rgb c = face.Pixel(x, y);
            if (y == 0 || x == 35) c = kFaceEdgeOuter;
            else if (x == 0 || y == 39) c = kFaceEdgeInner;
            sheet.Set(ox + kDepth + x, oy + y, c);
        }
    }
}


// Faces 1 to 42 in sheet order, then the blank cells.
Picture MakeSheet() {
    Picture sheet(kCellW * kColumns, kCellH * kRows, kWhite);
    for (int row = 0; row < kRows; ++row) {
        for (int col = 0; col < kColumns; ++col) {
            FaceCanvas face;
            const int face_no = row < 3 ? row * 9 + col + 1 : row == 3 ? 28 + col : 36 + col;
            const bool used = row < 3 || (row == 3 && col < 8) || (row == 4 && col < 7);
            if (used) PaintFace(face, face_no);
            PlaceFace(sheet, col * kCellW, row * kCellH, face);
            PaintRelief(sheet, col * kCellW, row * kCellH);
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
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--mock") == 0 && i + 1 < argc) {
            mock = argv[++i];
        } else {
            output = argv[i];
        }
    }
    const art::Picture sheet = art::MakeSheet();
    if (!sheet.WriteBmp(output)) {
        std::fprintf(stderr, "cannot write %s\n", output);
        return 1;
    }
    if (mock && !art::MakeMock(sheet).WriteBmp(mock)) {
        std::fprintf(stderr, "cannot write %s\n", mock);
        return 1;
    }
    return 0;
}
