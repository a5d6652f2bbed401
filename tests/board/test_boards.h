// Boards for the tests and benchmarks of the rules: a clean slate of every record, hand-placed
// tiles numbered by the layout loader's own numbering, a 144-tile layout on three levels, a
// 144-tile layout on which every tile is free, and a small solver that finds a winning order.
#pragma once

#include <cstring>
#include <initializer_list>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "board/click.h"
#include "board/layout.h"
#include "board/rules.h"
#include "board/state.h"
#include "platform/fake/fake.h"

namespace testboard {

struct Pos {
    int level, row, col;
};

// Every record back to zero, the fake front end reset, sounds on with recognisable paths and
// the header of a text layout.
inline void ResetAll() {
    fake::Reset();
    std::memset(&Board, 0, sizeof Board);
    std::memset(&GameState, 0, sizeof GameState);
    std::memset(&Settings, 0, sizeof Settings);
    std::memset(HallOfFame, 0, sizeof HallOfFame);
    hallOfFameDirty = 0;
    std::memset(playerName, 0, sizeof playerName);
    std::memset(Board.cells, kNone, sizeof Board.cells);
    GameState.selected = kNone;
    Settings.soundEffects = 1;
    std::strcpy(Settings.soundClickPath, "click.wav");
    std::strcpy(Settings.soundPairPath, "pair.wav");
    std::strcpy(Settings.soundBadClickPath, "bad.wav");
    Board.width = 637;
    Board.height = 425;
    Board.originX = 0;
    Board.originY = 20;
}

// Places the given positions through the layout numbering; every placed tile gets `face` and the
// other slots stay removed. Returns the number of tiles placed.
inline int Build(const std::vector<Pos>& positions, int8_t face = 1) {
    std::memset(Board.layoutMap, 0, sizeof Board.layoutMap);
    std::memset(Board.tiles, 0, sizeof Board.tiles);
    for (const Pos& p : positions) Board.layoutMap[p.level][p.row][p.col] = 1;
    const int n = NumberLayoutTiles();
    for (int t = 0; t < n; ++t) Board.tiles[t].face = face;
    GameState.tilesLeft = static_cast<int16_t>(n);
    return n;
}

// The index of the tile whose top-left cell is given (the cell's value).
inline int At(int level, int row, int col) { return Board.cells[level][row][col]; }

// 96 tiles on the table, 36 on level 1 and 12 on level 2: a small pyramid.
inline std::vector<Pos> PyramidLayout() {
    std::vector<Pos> p;
    for (int r = 0; r <= 14; r += 2)
        for (int c = 0; c <= 22; c += 2) p.push_back({0, r, c});
    for (int r = 2; r <= 12; r += 2)
        for (int c = 6; c <= 16; c += 2) p.push_back({1, r, c});
    for (int r = 4; r <= 10; r += 2)
        for (int c = 8; c <= 12; c += 2) p.push_back({2, r, c});
    return p;
}

// 144 tiles of which every one is free: pairs of neighbours with an empty column between pairs
// on the table, and four tiles on level 2, which cover nothing because level 1 is empty.
inline std::vector<Pos> AllFreeLayout() {
    std::vector<Pos> p;
    for (int r = 0; r <= 18; r += 2)
        for (int c = 0; c <= 30; c += 5) {
            p.push_back({0, r, c});
            p.push_back({0, r, c + 2});
        }
    for (int c : {0, 10, 20, 30}) p.push_back({2, 0, c});
    return p;
}

// The point at the middle of a tile's face, packed as a mouse message carries it.
inline intptr_t CentreOf(int tile) {
    const TileRecord& t = Board.tiles[tile];
    return platform::MakePointParam(t.x + 5 + kFaceWidthPx / 2, t.y + kFaceHeightPx / 2);
}

// Depth-first search for an order of pairs that empties the board, through the game's own
// RemovePair / UndoMove. Positions already known to be dead ends are skipped. The board is left
// as it was found; the winning order is returned (empty when none was found within the budget).
class Solver {
public:
    explicit Solver(long budget) : budget_(budget) {}

    std::vector<std::pair<int, int>> Solve() {
        std::vector<std::pair<int, int>> path;
        UpdateFreeFlags();
        if (Search(path)) return path;
        return {};
    }

private:
    std::string Key() const {
        std::string key(kTileCount, '0');
        for (int t = 0; t < kTileCount; ++t) key[t] = Board.tiles[t].face ? '1' : '0';
        return key;
    }

    bool Search(std::vector<std::pair<int, int>>& path) {
        if (GameState.tilesLeft == 0) return true;
        if (--budget_ < 0 || dead_.count(Key())) return false;
        BuildMoveList();
        std::vector<std::pair<int, int>> moves;
        for (int i = 0; i < GameState.moveCount; ++i) moves.push_back({Board.moves[i].first, Board.moves[i].second});
        for (auto [a, b] : moves) {
            RemovePair(a, b);
            UpdateFreeFlags();
            path.push_back({a, b});
            const bool won = Search(path);
            UndoMove(nullptr);
            if (won) return true;
            path.pop_back();
        }
        dead_.insert(Key());
        return false;
    }

    long budget_;
    std::set<std::string> dead_;
};

}  // namespace testboard
