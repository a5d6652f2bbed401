// The rules of the game: the free-tile rule computed for the whole board in four passes, the
// matching rule, and the search for every pair that can be taken now (the list behind Hint).
#include "board/rules.h"

#include "board/state.h"

namespace {

constexpr uint8_t kMarkBlocked = 2;   // "never free" mark, only inside UpdateFreeFlags

// The tile covering a cell, or null for an empty cell. A value that names no tile counts as
// empty, so a damaged cell can never lead outside the tile table.
TileRecord* TileAt(int level, int row, int col) {
    const uint8_t index = Board.cells[level][row][col];
    return index < kTileCount ? &Board.tiles[index] : nullptr;
}

bool CellEmpty(int level, int row, int col) { return TileAt(level, row, col) == nullptr; }

void OpenTile(TileRecord* tile) {
    if (tile && tile->free != kMarkBlocked) tile->free = 1;
}

// The matching class of a face: the two four-face groups are one class each; every other face
// is a class of its own.
int FaceClass(int face) {
    if (face >= 28 && face <= 31) return 28;
    if (face >= 32 && face <= 35) return 32;
    return face;
}

}  // namespace

void UpdateFreeFlags() {
    // Pass 1: nothing is free yet; removed tiles are marked so that no later pass opens them.
    for (TileRecord& tile : Board.tiles) tile.free = tile.face == 0 ? kMarkBlocked : 0;

    // Pass 2: a tile with any of its cells occupied on the level directly above is covered.
    // Only the next level counts: a tile two levels up over an empty level covers nothing.
    for (int level = 0; level < kLevels - 1; ++level)
        for (int row = 0; row < kRows; ++row)
            for (int col = 0; col < kCols; ++col)
                if (!CellEmpty(level + 1, row, col)) {
                    TileRecord* below = TileAt(level, row, col);
                    if (below) below->free = kMarkBlocked;
                }

    // Pass 3: a tile is open when it touches an outer edge of the grid, or when both cells beside
    // it on one side are empty. A neighbour offset by half a tile fills one of the two cells and so
    // closes that side; an empty column between two tiles leaves both facing sides open.
    for (int level = 0; level < kLevels; ++level)
        for (int row = 0; row < kRows; ++row) {
            OpenTile(TileAt(level, row, 0));
            OpenTile(TileAt(level, row, kCols - 1));
            for (int col = 1; col < kCols - 1; ++col) {
                TileRecord* tile = TileAt(level, row, col);
                // Each tile is judged once, from its top-left cell; its rows are row and row + 1.
                if (!tile || tile->row != row || tile->col != col || row + 1 >= kRows) continue;
                const bool leftOpen = CellEmpty(level, row, col - 1) && CellEmpty(level, row + 1, col - 1);
                const bool rightOpen = col + 2 >= kCols ||
                                       (CellEmpty(level, row, col + 2) && CellEmpty(level, row + 1, col + 2));
                if (leftOpen || rightOpen) OpenTile(tile);
            }
        }

    // Pass 4: the marks become "not free".
    for (TileRecord& tile : Board.tiles)
        if (tile.free == kMarkBlocked) tile.free = 0;
}

bool TilesMatch(int a, int b) {
    if (a == b || a < 0 || b < 0 || a >= kTileCount || b >= kTileCount) return false;
    const TileRecord& ta = Board.tiles[a];
    const TileRecord& tb = Board.tiles[b];
    if (ta.free != 1 || tb.free != 1 || ta.face == 0 || tb.face == 0) return false;
    return FaceClass(ta.face) == FaceClass(tb.face);
}

void BuildMoveList() {
    Board.moves[0] = {kNone, kNone};
    GameState.moveCount = 0;
    // The free tiles of each matching class, in index order. Walking, for each free tile a, the
    // tiles of its class after it gives every open pair once, lower index first, ordered by the
    // lower index and then the higher: the list that comparing every ordered pair of free tiles
    // and dropping repeats gives, without the 144 x 144 comparisons.
    constexpr int kClasses = 43;
    uint8_t members[kClasses][kTileCount];
    int memberCount[kClasses] = {};
    int place[kTileCount] = {};
    for (int t = 0; t < kTileCount; ++t) {
        const TileRecord& tile = Board.tiles[t];
        if (tile.free != 1 || tile.face < 1 || tile.face >= kClasses) continue;
        const int c = FaceClass(tile.face);
        place[t] = memberCount[c];
        members[c][memberCount[c]++] = static_cast<uint8_t>(t);
    }
    // A full set has at most 216 open pairs, the capacity; anything beyond (only a damaged board
    // could hold more) is not listed.
    for (int a = 0; a < kTileCount; ++a) {
        const TileRecord& tile = Board.tiles[a];
        if (tile.free != 1 || tile.face < 1 || tile.face >= kClasses) continue;
        const int c = FaceClass(tile.face);
        for (int k = place[a] + 1; k < memberCount[c] && GameState.moveCount < kMoveCapacity; ++k)
            Board.moves[GameState.moveCount++] = {static_cast<uint8_t>(a), members[c][k]};
    }
    GameState.hintCursor = 0;
}
