// The board as the solver sees it: the tiles still on it as bit positions, and for each tile the
// tiles that cover it, the sets whose removal opens one of its sides, and its matching class.
// Built once from a BoardRecord; afterwards whether a tile is free depends only on the set of
// tiles removed since, so the search never touches the grid or the game's records.
#pragma once

#include <cstdint>

#include "board/state.h"

namespace solver {

// A set of tile indices 0..143.
struct Bits {
    uint64_t w[3] = {0, 0, 0};

    void Set(int t) { w[t >> 6] |= uint64_t{1} << (t & 63); }
    void Clear(int t) { w[t >> 6] &= ~(uint64_t{1} << (t & 63)); }
    bool Has(int t) const { return (w[t >> 6] >> (t & 63)) & 1; }
    bool Empty() const { return (w[0] | w[1] | w[2]) == 0; }
    // True when every tile of this set is in `other`.
    bool Within(const Bits& other) const {
        return ((w[0] & ~other.w[0]) | (w[1] & ~other.w[1]) | (w[2] & ~other.w[2])) == 0;
    }
    bool Meets(const Bits& other) const {
        return ((w[0] & other.w[0]) | (w[1] & other.w[1]) | (w[2] & other.w[2])) != 0;
    }
    int Count() const { return Ones(w[0]) + Ones(w[1]) + Ones(w[2]); }
    // The bits set in a word, counted in registers: without a popcount instruction in the target
    // the compiler's own count is a library call, which dominated the search's time.
    static int Ones(uint64_t x) {
        x = x - ((x >> 1) & 0x5555555555555555ULL);
        x = (x & 0x3333333333333333ULL) + ((x >> 2) & 0x3333333333333333ULL);
        x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0FULL;
        return static_cast<int>((x * 0x0101010101010101ULL) >> 56);
    }
    Bits operator&(const Bits& o) const { return {{w[0] & o.w[0], w[1] & o.w[1], w[2] & o.w[2]}}; }
    Bits operator|(const Bits& o) const { return {{w[0] | o.w[0], w[1] | o.w[1], w[2] | o.w[2]}}; }
    Bits Minus(const Bits& o) const { return {{w[0] & ~o.w[0], w[1] & ~o.w[1], w[2] & ~o.w[2]}}; }
    bool operator==(const Bits& o) const { return w[0] == o.w[0] && w[1] == o.w[1] && w[2] == o.w[2]; }
};

// Calls f(t) for every tile of the set, lowest first.
template <typename F>
inline void ForEach(const Bits& bits, F f) {
    for (int k = 0; k < 3; ++k)
        for (uint64_t word = bits.w[k]; word != 0; word &= word - 1) f(k * 64 + __builtin_ctzll(word));
}

constexpr int kMaxOpenings = 4;      // a sound board has two per tile (its left and right side)
constexpr int kMaxClasses = kTileCount;
constexpr uint8_t kLooseClass = 255;
// The three ways to pair the first four tiles of a class: pairing p pairs tiles
// kPairings[p][0] and [1], and [2] and [3] (indices in the class, lowest tile first).
constexpr int kPairings[3][4] = {{0, 1, 2, 3}, {0, 2, 1, 3}, {0, 3, 1, 2}};

struct TileModel {
    Bits cover;                      // tiles that must all be gone before this one is uncovered
    Bits openings[kMaxOpenings];     // a side is open once every tile of its set is gone
    uint8_t openingCount;
    uint8_t edge;                    // on the grid's outer columns: always open at the side
    uint8_t cls;                     // compact matching class
};

struct Model {
    TileModel tiles[kTileCount];
    Bits present;                    // tiles on the board when the model was built
    Bits loose;                      // tiles that leave on their own once free (class kLooseClass)
    Bits classMembers[kMaxClasses];
    Bits above[kTileCount];          // the tiles stacked over this one, at any height
    Bits need[kTileCount];           // every tile that must be gone before this one can be free
    int holds[kTileCount];           // what the tile holds back: 2 a tile above it, 1 a side it closes
    Bits affects[kTileCount];        // the tiles whose cover or sides this one is part of
    // What must be gone before tiles a and b can leave together, for two of the first four tiles
    // of a class: pairNeed[a][rank[b]]. Besides need[a] and need[b], the sides of a that could
    // only open once b is gone are out, and what all the other sides take counts (the same for
    // b). Holds a or b itself when the two can never leave together.
    Bits pairNeed[kTileCount][4];
    uint8_t rank[kTileCount];        // the tile's place among the tiles of its class
    uint8_t workable[kMaxClasses];   // a class of four: bit p when pairing p can work at all
    int classCount;
    bool sound;                      // false when the grid holds something no game produces

    // Whether tile t is free once the tiles of `removed` have left the board.
    bool IsFree(int t, const Bits& removed) const {
        if (!present.Has(t) || removed.Has(t)) return false;
        const TileModel& m = tiles[t];
        if (!m.cover.Within(removed)) return false;
        if (m.edge) return true;
        for (int k = 0; k < m.openingCount; ++k)
            if (m.openings[k].Within(removed)) return true;
        return false;
    }
};

// Every tile free once the tiles of `removed` are gone.
Bits FreeTiles(const Model& model, const Bits& removed);

// Whether tile x must leave before tile y can be free.
inline bool Before(const Model& model, int x, int y) { return model.need[y].Has(x); }
// What must be gone before tiles a and b of one class can leave together (see pairNeed).
inline Bits PairNeed(const Model& model, int a, int b) {
    if (model.rank[a] < 4 && model.rank[b] < 4) return model.pairNeed[a][model.rank[b]];
    return model.need[a] | model.need[b];   // hand-made boards with more of a kind
}
// Whether tiles x and y of one class can never leave together.
inline bool Apart(const Model& model, int x, int y) {
    const Bits need = PairNeed(model, x, y);
    return need.Has(x) || need.Has(y);
}
// Whether the four tiles of a class can still leave as the pairs (a, b) and (c, d): neither pair
// has a tile above its partner, and the pairs do not each need the other gone first.
bool PairingWorks(const Model& model, int a, int b, int c, int d);
// Whether some tile on the board can never be free (it needs itself gone first).
inline bool SomeTileNeverFree(const Model& model) {
    bool never = false;
    ForEach(model.present, [&](int t) { never = never || model.need[t].Has(t); });
    return never;
}
// The first four tiles of class c, lowest first, into `tiles`; returns how many tiles the class has.
inline int ClassTiles(const Model& model, int c, uint8_t tiles[4]) {
    int n = 0;
    ForEach(model.classMembers[c], [&](int t) {
        if (n < 4) tiles[n] = static_cast<uint8_t>(t);
        ++n;
    });
    return n;
}
// Whether every class holds two or four tiles (every board of a game): then only the pairings of
// the classes of four are to be chosen.
inline bool TwosAndFours(const Model& model) {
    for (int c = 0; c < model.classCount; ++c) {
        const int count = model.classMembers[c].Count();
        if (count != 2 && count != 4) return false;
    }
    return true;
}
// Whether some class of a board of twos and fours can never leave: a class of two whose tiles are
// never free together, or a class of four none of whose pairings can work.
inline bool SomeClassNeverPaired(const Model& model) {
    for (int c = 0; c < model.classCount; ++c) {
        uint8_t t[4];
        const int n = ClassTiles(model, c, t);
        if ((n == 2 && Apart(model, t[0], t[1])) || (n == 4 && model.workable[c] == 0)) return true;
    }
    return false;
}
// Whether the settled pairs (a[i], b[i]) each need another gone first, in a cycle: then they can
// never all leave. At most 72 pairs. With `core`, adds to it the tiles of the pairs in the cycles
// (and on paths between them).
bool PairsDeadlocked(const Model& model, const uint8_t* a, const uint8_t* b, int pairs, Bits* core = nullptr);

// The matching class of a face, the same as the game's: the two four-face groups are one class
// each, every other face is a class of its own.
int FaceClass(int face);

// Builds the model of `board`: a tile is on the board when its face is not 0, and a cell is
// occupied when it names such a tile. The tiles of `loose` leave one at a time, each as soon as
// it is free, without a partner: a board that cannot be cleared even so cannot be cleared by
// pairs either (every sequence of pairs is also a sequence of such moves).
void BuildModel(const BoardRecord& board, Model& model, const Bits* loose = nullptr);

}  // namespace solver
