// Plays a dealt board down through the game's own rules (BuildMoveList, TryPair, UndoMove) until
// a given number of tiles is left with an open pair among them: a depth-first search that never
// visits a set of removed tiles twice. Used by the test-save tool and the window tests.
#pragma once

#include <algorithm>
#include <bitset>
#include <cstdint>
#include <random>
#include <unordered_set>
#include <vector>

#include "board/click.h"
#include "board/rules.h"
#include "board/state.h"

namespace playdown {

struct Search {
    int left;
    platform::Window window;
    std::mt19937 random;
    long budget;                                    // positions still allowed to be expanded
    std::unordered_set<std::bitset<kTileCount>> dead;   // removed-tile sets that lead nowhere

    std::bitset<kTileCount> Removed() const {
        std::bitset<kTileCount> set;
        for (int t = 0; t < kTileCount; ++t) set[t] = Board.tiles[t].face == 0;
        return set;
    }

    // Faces 28-31 and 32-35 form two kinds of four; every other face is a kind of its own.
    static int Kind(int face) { return face >= 28 && face <= 31 ? 28 : face >= 32 && face <= 35 ? 32 : face; }

    static bool Safe(const MovePair& m) {
        const int kind = Kind(Board.tiles[m.first].face);
        int left = 0, free = 0;
        for (const TileRecord& t : Board.tiles) {
            if (t.face == 0 || Kind(t.face) != kind) continue;
            ++left;
            free += t.free == 1;
        }
        return left == 2 || (left == 4 && free == 4);
    }

    bool Go() {
        BuildMoveList();
        if (GameState.tilesLeft <= left) return GameState.moveCount > 0 || GameState.tilesLeft == 0;
        if (GameState.moveCount <= 0 || --budget < 0) return false;
        const std::bitset<kTileCount> here = Removed();
        if (dead.count(here)) return false;
        std::vector<MovePair> moves(Board.moves, Board.moves + GameState.moveCount);
        // A pair that can never be needed elsewhere (the last two of its kind, or four of a kind
        // all free) is taken at once and alone: no other order can do better.
        for (const MovePair& m : moves) {
            if (Safe(m)) {
                moves = {m};
                break;
            }
        }
        // Upper tiles first (they hold the most others down), the rest in a random order.
        std::shuffle(moves.begin(), moves.end(), random);
        std::stable_sort(moves.begin(), moves.end(), [](const MovePair& a, const MovePair& b) {
            return Board.tiles[a.first].level + Board.tiles[a.second].level >
                   Board.tiles[b.first].level + Board.tiles[b.second].level;
        });
        for (const MovePair& m : moves) {
            const int before = GameState.tilesLeft;
            TryPair(m.first, m.second);
            if (GameState.tilesLeft != before - 2) continue;
            if (Go()) return true;
            UndoMove(window);
            if (budget < 0) return false;
        }
        dead.insert(here);
        return false;
    }
};

// True when the board now holds `left` tiles (an open pair among them when any are left);
// otherwise the board is as it was. The history of the removed pairs is the game's own.
inline bool PlayDownTo(int left, platform::Window window, uint32_t seed = 1, long budget = 20000) {
    Search search{left, window, std::mt19937(seed), budget, {}};
    return search.Go();
}

}  // namespace playdown
