// Boards for the rules tests and benchmarks: every record cleared, hand-placed tiles numbered by
// the layout loader, a 144-tile pyramid and a 144-tile board on which every tile is free.
#pragma once

#include <cstring>
#include <vector>

#include "board/click.h"
#include "board/layout.h"
#include "board/rules.h"
#include "board/state.h"
#include "platform/fake/fake.h"

namespace testboard {

struct Pos { int level, row, col; };

// Every record back to zero, the fake front end reset and the header of a text layout.
inline void ResetAll() {
    fake::Reset();
    std::memset(&Board, 0, sizeof Board);
    std::memset(&GameState, 0, sizeof GameState);
    std::memset(&Settings, 0, sizeof Settings);
    std::memset(HallOfFame, 0, sizeof HallOfFame);
    std::memset(Board.cells, kNone, sizeof Board.cells);
    GameState.selected = kNone;
    Board.width = 637;
    Board.height = 425;
    Board.originY = 20;
}

// Places the positions through the layout numbering, each tile with `face`; returns their number.
inline int Build(const std::vector<Pos>& positions, int8_t face = 1) {
    std::memset(Board.layoutMap, 0, sizeof Board.layoutMap);
    std::memset(Board.tiles, 0, sizeof Board.tiles);
    for (const Pos& p : positions) Board.layoutMap[p.level][p.row][p.col] = 1;
    const int n = NumberLayoutTiles();
    for (int t = 0; t < n; ++t) Board.tiles[t].face = face;
    GameState.tilesLeft = static_cast<int16_t>(n);
    return n;
}

// 96 tiles on the table, 36 on level 1 and 12 on level 2.
inline std::vector<Pos> PyramidLayout() {
    std::vector<Pos> p;
    const int box[3][4] = {{0, 14, 0, 22}, {2, 12, 6, 16}, {4, 10, 8, 12}};   // first and last row, column
    for (int l = 0; l < 3; ++l)
        for (int r = box[l][0]; r <= box[l][1]; r += 2)
            for (int c = box[l][2]; c <= box[l][3]; c += 2) p.push_back({l, r, c});
    return p;
}

// Pairs of tiles with an empty column between pairs, and four on level 2: every tile is free.
inline std::vector<Pos> AllFreeLayout() {
    std::vector<Pos> p;
    for (int r = 0; r <= 18; r += 2)
        for (int c = 0; c <= 30; c += 5) p.insert(p.end(), {{0, r, c}, {0, r, c + 2}});
    for (int c : {0, 10, 20, 30}) p.push_back({2, 0, c});
    return p;
}

// The middle of a tile's face, packed as a mouse message carries it.
inline intptr_t CentreOf(int tile) {
    const TileRecord& t = Board.tiles[tile];
    return platform::MakePointParam(t.x + 5 + kFaceWidthPx / 2, t.y + kFaceHeightPx / 2);
}

}  // namespace testboard
