// Building the solver's model of a board from the cell grid, walking the grid exactly as the
// free-tile rule does, so that the model's answer is the rule's answer on every position reached
// by taking pairs off.
#include "board/solver_model.h"

#include <algorithm>
#include <initializer_list>
#include <memory>

namespace solver {

namespace {

constexpr int kNeedRounds = 2;   // rounds of the partner checks: later rounds rarely add anything

}  // namespace

int FaceClass(int face) {
    if (face >= 28 && face <= 31) return 28;
    if (face >= 32 && face <= 35) return 32;
    return face;
}

namespace {

// The tile on a cell, or -1 for an empty cell or one naming a removed or impossible tile.
int TileOn(const BoardRecord& board, int level, int row, int col) {
    const uint8_t index = board.cells[level][row][col];
    if (index >= kTileCount || board.tiles[index].face == 0) return -1;
    return index;
}

void AddOpening(Model& model, int t, const Bits& set) {
    TileModel& m = model.tiles[t];
    if (m.openingCount == kMaxOpenings) {
        model.sound = false;   // only a damaged grid judges a tile more than twice
        return;
    }
    m.openings[m.openingCount++] = set;
}

void AddCell(const BoardRecord& board, Bits& set, int level, int row, int col) {
    const int t = TileOn(board, level, row, col);
    if (t >= 0) set.Set(t);
}

// What must be gone before tile t can leave the board while tile `from` (beside it) is still
// there: the tiles over t, and, unless t is on an outer column, what opening one of its sides not
// closed by `from` takes: that side's tiles and, for each, what it needs while t is there. When
// several sides could open, only what all of them need counts. `never`: t cannot leave at all
// while `from` is there. Remembered per (tile, neighbour); a loop (never on a real grid) is cut
// short by counting nothing for it, which only weakens the result.
class Needs {
public:
    explicit Needs(const Model& model) : m_(model) {}

    Bits Beside(int t, int from, bool& never) {
        int slot = -1;
        for (int k = 0; k < count_[t]; ++k)
            if (from_[t][k] == from) slot = k;
        if (slot >= 0) {
            never = never_[t][slot];
            return state_[t][slot] == kBusy ? Bits{} : memo_[t][slot];
        }
        if (count_[t] == kSlots) {   // more neighbours than any grid gives: claim nothing
            never = false;
            return Bits{};
        }
        slot = count_[t]++;
        from_[t][slot] = static_cast<uint8_t>(from);
        state_[t][slot] = kBusy;
        never_[t][slot] = false;
        Bits result = m_.above[t];
        never = false;
        if (!m_.tiles[t].edge) {
            bool anySide = false;
            Bits common;
            for (int k = 0; k < m_.tiles[t].openingCount; ++k) {
                const Bits& side = m_.tiles[t].openings[k];
                if (from >= 0 && side.Has(from)) continue;
                bool sideNever = false;
                const Bits need = Side(t, side, sideNever);
                if (sideNever) continue;
                common = anySide ? (common & need) : need;
                anySide = true;
            }
            if (anySide) result = result | common;
            else never = true;
        }
        memo_[t][slot] = result;
        never_[t][slot] = never;
        state_[t][slot] = kDone;
        return result;
    }

    // What opening `side` of tile t takes while t is there.
    Bits Side(int t, const Bits& side, bool& never) {
        Bits result = side;
        never = false;
        ForEach(side, [&](int s) {
            bool sNever = false;
            result = result | Beside(s, t, sNever);
            never = never || sNever;
        });
        return result;
    }

private:
    static constexpr int kSlots = 8;
    enum : uint8_t { kNew, kBusy, kDone };
    const Model& m_;
    Bits memo_[kTileCount][kSlots];
    uint8_t from_[kTileCount][kSlots] = {};
    uint8_t state_[kTileCount][kSlots] = {};
    bool never_[kTileCount][kSlots] = {};
    int count_[kTileCount] = {};
};

// need[t]: the tiles over t and what every side of t that can open takes, closed under "what
// those tiles need in turn". A tile that can never be free needs itself.
void CloseNeeds(Model& model) {
    for (bool grew = true; grew;) {
        grew = false;
        ForEach(model.present, [&](int t) {
            Bits need = model.need[t];
            ForEach(model.need[t], [&](int u) { need = need | model.need[u]; });
            if (!(need == model.need[t])) {
                model.need[t] = need;
                grew = true;
            }
        });
    }
}

// need[t] and pairNeed. Then, in rounds while they grow: a side of t cannot open before t leaves
// when a tile it takes cannot leave while t is there (every tile of its class it could leave
// with needs t gone first), so what the other sides take counts too.
void ComputeNeeds(Model& model) {
    const std::unique_ptr<Needs> needs = std::make_unique<Needs>(model);
    ForEach(model.present, [&](int t) {
        bool never = false;
        model.need[t] = needs->Beside(t, -1, never);
        if (never) model.need[t].Set(t);
    });
    CloseNeeds(model);

    // What opening each side takes while its tile is there; -1 marks a side that never opens.
    struct Side {
        Bits taken;
        bool never;
    };
    const std::unique_ptr<Side[]> sides = std::make_unique<Side[]>(kTileCount * kMaxOpenings);
    ForEach(model.present, [&](int t) {
        for (int k = 0; k < model.tiles[t].openingCount; ++k) {
            Side& side = sides[t * kMaxOpenings + k];
            side.never = false;
            side.taken = needs->Side(t, model.tiles[t].openings[k], side.never);
        }
    });
    // held[u]: the tiles that tile u cannot leave the board before, whichever tile of its class
    // it leaves with.
    const std::unique_ptr<Bits[]> held = std::make_unique<Bits[]>(kTileCount);
    const auto findHeld = [&]() {
        ForEach(model.present, [&](int u) {
            if (model.loose.Has(u)) {   // leaves on its own once free
                held[u] = model.need[u];
                return;
            }
            bool first = true;
            ForEach(model.classMembers[model.tiles[u].cls], [&](int v) {
                if (v == u) return;
                held[u] = first ? PairNeed(model, u, v) : (held[u] & PairNeed(model, u, v));
                first = false;
            });
        });
    };
    // What must be gone before tile t can be free while `partner` (-1: none) is still on the
    // board: need[t], and what every side of t that can open first takes. Holds t itself when no
    // side can.
    const auto needBeside = [&](int t, int partner, bool heldChecks) {
        Bits result = model.need[t];
        if (model.tiles[t].edge) return result;
        bool anySide = false;
        Bits common;
        for (int k = 0; k < model.tiles[t].openingCount; ++k) {
            const Side& taken = sides[t * kMaxOpenings + k];
            if (taken.never) continue;
            Bits side = taken.taken;
            ForEach(taken.taken, [&](int u) { side = side | model.need[u]; });
            if ((partner >= 0 && side.Has(partner)) || side.Has(t)) continue;
            bool blocked = false;
            if (heldChecks) ForEach(side, [&](int u) { blocked = blocked || held[u].Has(t); });
            if (blocked) continue;
            common = anySide ? (common & side) : side;
            anySide = true;
        }
        if (!anySide) result.Set(t);
        return result | common;
    };
    const auto pairNeeds = [&](bool heldChecks) {
        bool grew = false;
        for (int c = 0; c < model.classCount; ++c) {
            int members[4], n = 0;
            ForEach(model.classMembers[c], [&](int t) {
                if (n < 4) members[n++] = t;
            });
            for (int i = 0; i < n; ++i)
                for (int j = i + 1; j < n; ++j) {
                    const int a = members[i], b = members[j];
                    const Bits need = needBeside(a, b, heldChecks) | needBeside(b, a, heldChecks);
                    grew = grew || !(need == model.pairNeed[a][j]);
                    model.pairNeed[a][j] = need;
                    model.pairNeed[b][i] = need;
                }
        }
        return grew;
    };
    pairNeeds(false);
    for (int round = 0; round < kNeedRounds; ++round) {
        findHeld();
        bool grew = false;
        ForEach(model.present, [&](int t) {
            const Bits need = needBeside(t, -1, true);
            if (!(need == model.need[t])) {
                model.need[t] = need;
                grew = true;
            }
        });
        if (grew) CloseNeeds(model);
        if (!pairNeeds(true) && !grew) break;
    }
}

}  // namespace

void BuildModel(const BoardRecord& board, Model& model, const Bits* loose) {
    model = Model{};
    model.sound = true;

    int classIndex[256];
    for (int& c : classIndex) c = -1;
    for (int t = 0; t < kTileCount; ++t) {
        const int face = board.tiles[t].face;
        if (face == 0) continue;
        model.present.Set(t);
        if (loose != nullptr && loose->Has(t)) {
            model.loose.Set(t);
            model.tiles[t].cls = kLooseClass;
            continue;
        }
        const int key = FaceClass(face) & 0xFF;
        if (classIndex[key] < 0) classIndex[key] = model.classCount++;
        model.tiles[t].cls = static_cast<uint8_t>(classIndex[key]);
        model.rank[t] = static_cast<uint8_t>(std::min(model.classMembers[classIndex[key]].Count(), 255));
        model.classMembers[classIndex[key]].Set(t);
    }

    // Covered: some cell of the tile has an occupied cell directly above it (the next level only).
    for (int level = 0; level + 1 < kLevels; ++level)
        for (int row = 0; row < kRows; ++row)
            for (int col = 0; col < kCols; ++col) {
                const int below = TileOn(board, level, row, col);
                const int over = TileOn(board, level + 1, row, col);
                if (below >= 0 && over >= 0) model.tiles[below].cover.Set(over);
            }

    // Sides: a tile on an outer column is open; otherwise, judged from its top-left cell, a side
    // opens when both cells beside it on that side are empty.
    for (int level = 0; level < kLevels; ++level)
        for (int row = 0; row < kRows; ++row) {
            for (int col : {0, kCols - 1}) {
                const int t = TileOn(board, level, row, col);
                if (t >= 0) model.tiles[t].edge = 1;
            }
            for (int col = 1; col < kCols - 1; ++col) {
                const int t = TileOn(board, level, row, col);
                if (t < 0 || board.tiles[t].row != row || board.tiles[t].col != col || row + 1 >= kRows) continue;
                Bits left;
                AddCell(board, left, level, row, col - 1);
                AddCell(board, left, level, row + 1, col - 1);
                AddOpening(model, t, left);
                if (col + 2 >= kCols) {
                    AddOpening(model, t, Bits{});
                } else {
                    Bits right;
                    AddCell(board, right, level, row, col + 2);
                    AddCell(board, right, level, row + 1, col + 2);
                    AddOpening(model, t, right);
                }
            }
        }

    // What must go before each tile can be free: its covers, their covers, and so on. A tile only
    // leaves the board once free, so while a tile of this set remains, the chain above the tile
    // is still whole and the tile stays covered.
    for (int t = 0; t < kTileCount; ++t) {
        if (!model.present.Has(t)) continue;
        Bits reach = model.tiles[t].cover;
        Bits frontier = reach;
        while (!frontier.Empty()) {
            Bits next;
            ForEach(frontier, [&](int u) { next = next | model.tiles[u].cover; });
            frontier = next.Minus(reach);
            reach = reach | next;
            if (reach.Has(t)) {        // a cycle of covers: only a damaged grid
                model.sound = false;
                break;
            }
        }
        model.above[t] = reach;
    }
    if (model.sound) ComputeNeeds(model);
    for (int c = 0; c < model.classCount; ++c) {
        int t[4], n = 0;
        ForEach(model.classMembers[c], [&](int u) {
            if (n < 4) t[n] = u;
            ++n;
        });
        model.workable[c] = 0;
        if (n == 4 && model.sound)
            for (int p = 0; p < 3; ++p) {
                const int* q = kPairings[p];
                if (PairingWorks(model, t[q[0]], t[q[1]], t[q[2]], t[q[3]])) model.workable[c] |= static_cast<uint8_t>(1 << p);
            }
    }
    // The move orders of the searches take first the pairs that hold back the most tiles.
    // Walked from each tile to the tiles over it and beside it, not over every pair of tiles;
    // on the way, the tiles each one is judged by, for the plays that follow freedom as tiles
    // leave.
    ForEach(model.present, [&](int u) {
        Bits judged = model.tiles[u].cover;
        for (int k = 0; k < model.tiles[u].openingCount; ++k) judged = judged | model.tiles[u].openings[k];
        ForEach(judged & model.present, [&](int t) { model.affects[t].Set(u); });
        ForEach(model.above[u] & model.present, [&](int t) { model.holds[t] += 2; });
        for (int k = 0; k < model.tiles[u].openingCount; ++k)
            ForEach(model.tiles[u].openings[k] & model.present, [&](int t) { ++model.holds[t]; });
    });
}

Bits FreeTiles(const Model& model, const Bits& removed) {
    Bits free;
    ForEach(model.present.Minus(removed), [&](int t) {
        if (model.IsFree(t, removed)) free.Set(t);
    });
    return free;
}

namespace {

// Whether the pair (a, b) must leave before the pair (c, d).
bool PairBefore(const Model& model, int a, int b, int c, int d) {
    const Bits need = PairNeed(model, c, d);
    return need.Has(a) || need.Has(b);
}

}  // namespace

bool PairingWorks(const Model& model, int a, int b, int c, int d) {
    if (Apart(model, a, b) || Apart(model, c, d)) return false;
    return !(PairBefore(model, a, b, c, d) && PairBefore(model, c, d, a, b));
}

bool PairsDeadlocked(const Model& model, const uint8_t* a, const uint8_t* b, int pairs, Bits* core) {
    using Mask = unsigned __int128;
    constexpr int kMaxPairs = kTileCount / 2;
    if (pairs < 2 || pairs > kMaxPairs) return false;
    uint8_t pairOf[kTileCount];
    Bits paired;
    for (int i = 0; i < pairs; ++i) {
        pairOf[a[i]] = pairOf[b[i]] = static_cast<uint8_t>(i);
        paired.Set(a[i]);
        paired.Set(b[i]);
    }
    // needs[j]: the pairs that must go before pair j. Peel off the pairs needing none still
    // waiting; a cycle is what cannot be peeled.
    Mask needs[kMaxPairs];
    for (int j = 0; j < pairs; ++j) {
        Mask mask = 0;
        ForEach(PairNeed(model, a[j], b[j]) & paired, [&](int u) { mask |= Mask{1} << pairOf[u]; });
        needs[j] = mask;
    }
    Mask waiting = (Mask{1} << pairs) - 1;
    for (bool peeled = true; peeled && waiting != 0;) {
        peeled = false;
        for (int j = 0; j < pairs; ++j)
            if (((waiting >> j) & 1) && (needs[j] & waiting) == 0) {
                waiting &= ~(Mask{1} << j);
                peeled = true;
            }
    }
    if (waiting != 0 && core != nullptr) {
        // Also peel the pairs that no waiting pair needs: what is left are the cycles and the
        // pairs on paths between them.
        for (bool peeled = true; peeled;) {
            peeled = false;
            Mask needed = 0;
            for (int j = 0; j < pairs; ++j)
                if ((waiting >> j) & 1) needed |= needs[j];
            const Mask unneeded = waiting & ~needed;
            if (unneeded != 0) {
                waiting &= ~unneeded;
                peeled = true;
            }
        }
        for (int j = 0; j < pairs; ++j)
            if ((waiting >> j) & 1) {
                core->Set(a[j]);
                core->Set(b[j]);
            }
    }
    return waiting != 0;
}

}  // namespace solver
