// What the solver's two searches share: the table of positions proved lost, the hash keys, the
// work limits and the sequence of pairs taken. Internal to board/solver*.cpp and its tests.
#pragma once

#include <chrono>
#include <algorithm>
#include <cstdint>
#include <vector>

#include "board/solver_model.h"

namespace solver {

struct KeyTable {
    uint64_t v[kTileCount];
};
constexpr KeyTable MakeKeys(uint64_t state) {
    KeyTable table{};
    for (uint64_t& key : table.v) {   // splitmix64
        uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        key = z ^ (z >> 31);
    }
    return table;
}
inline constexpr KeyTable kTileKeys = MakeKeys(0x70B1E3);     // hash of a removed tile
inline constexpr KeyTable kChoiceKeys = MakeKeys(0xC401CE);   // hash of a pairing choice marked on a tile

// Combinations of pairings that lose wherever they are met: each loss of the pairing search
// names classes whose pairings alone decide it (any pairing of the whole board that keeps theirs
// loses), and the same few combinations come back again and again in other positions. Kept for
// the rest of the solve; each is watched on two of its classes, the last given their pairings
// when it was kept, so that only giving a class a pairing costs a look, at the combinations
// watching that pairing.
class Nogoods {
public:
    static constexpr int kMaxSize = 12;
    void Clear();
    size_t Count() const { return entries_.size(); }
    // Keeps the pairings pairing[c] of the classes of `classes`; `order[c]` tells when each was
    // given (the latest two are watched). Combinations of one class or of many are not kept.
    void Add(const Bits& classes, const int8_t* pairing, const int* order);
    // Class c has just been given pairing[c]: true when this completes a kept combination that
    // `usable` accepts; `classes` then holds its classes. A combination left one class short,
    // that class's pairing still open, goes to unit(class, its pairing there, classes).
    template <typename Usable, typename Unit>
    bool Completed(int c, const int8_t* pairing, Usable usable, Bits& classes, Unit unit);
    template <typename Usable>
    bool Completed(int c, const int8_t* pairing, Usable usable, Bits& classes) {
        return Completed(c, pairing, usable, classes, [](int, int, const Bits&) {});
    }

private:
    struct Entry {
        Bits classes;
        uint8_t size;
        uint8_t watch[2];        // indices into cls
        uint8_t cls[kMaxSize];
        int8_t pairing[kMaxSize];
    };
    // A combination watching a pairing, with one of its other classes and that class's pairing
    // in it: while that class has another pairing, the combination cannot be met, and the look
    // stops here without reading the combination.
    struct Watch {
        uint32_t id;
        uint8_t cls;
        int8_t pairing;
    };
    static constexpr size_t kMaxCount = size_t{1} << 15;
    std::vector<Entry> entries_;
    std::vector<Watch> watching_[kMaxClasses * 3];   // by class * 3 + pairing
};

template <typename Usable, typename Unit>
bool Nogoods::Completed(int c, const int8_t* pairing, Usable usable, Bits& classes, Unit unit) {
    std::vector<Watch>& list = watching_[c * 3 + pairing[c]];
    const auto otherwise = [&](int d, int p) { return pairing[d] >= 0 && pairing[d] != p; };
    for (size_t i = 0; i < list.size();) {
        if (otherwise(list[i].cls, list[i].pairing)) {
            ++i;
            continue;
        }
        Entry& e = entries_[list[i].id];
        const int w = e.cls[e.watch[0]] == c ? 0 : 1;
        const int other = e.watch[1 - w];
        if (otherwise(e.cls[other], e.pairing[other])) {   // cannot be met: keep the watch
            list[i].cls = e.cls[other];
            list[i].pairing = e.pairing[other];
            ++i;
            continue;
        }
        int moved = -1;
        for (int k = 0; k < e.size && moved < 0; ++k)
            if (k != e.watch[0] && k != e.watch[1] && pairing[e.cls[k]] != e.pairing[k]) moved = k;
        if (moved >= 0) {   // watch a class not yet given the combination's pairing instead
            e.watch[w] = static_cast<uint8_t>(moved);
            watching_[e.cls[moved] * 3 + e.pairing[moved]].push_back({list[i].id, e.cls[other], e.pairing[other]});
            list[i] = list.back();
            list.pop_back();
            continue;
        }
        if (pairing[e.cls[other]] == e.pairing[other] && usable(e.classes)) {
            classes = e.classes;
            return true;
        }
        if (pairing[e.cls[other]] < 0) unit(e.cls[other], e.pairing[other], e.classes);
        ++i;
    }
    return false;
}

// Pairings of open classes that would complete a known losing combination (Nogoods::Completed
// reports them), each with the combination's classes as the reason it is not tried; taken back
// as the search backs up past where they were found.
class RuledOutPairings {
public:
    bool Has(int c, int p) const { return (bits_[c] >> p) & 1; }
    const Bits& Why(int c, int p) const { return why_[c][p]; }
    void Add(int c, int p, const Bits& classes) {
        if (Has(c, p)) return;
        bits_[c] |= static_cast<uint8_t>(1 << p);
        why_[c][p] = classes;
        trail_[count_++] = {static_cast<uint8_t>(c), static_cast<uint8_t>(p)};
    }
    int Mark() const { return count_; }
    // Takes back every pairing ruled out since `mark`.
    void Undo(int mark) {
        while (count_ > mark) {
            const Entry& e = trail_[--count_];
            bits_[e.cls] &= static_cast<uint8_t>(~(1 << e.pairing));
        }
    }

private:
    struct Entry {
        uint8_t cls, pairing;
    };
    uint8_t bits_[kMaxClasses] = {};
    Bits why_[kMaxClasses][3];
    Entry trail_[kMaxClasses * 3];
    int count_ = 0;
};

// Lost positions, keyed by the exact removed set and the pairing choices still open (a set of
// tiles marking them), with the number of the solve that stored them, so a new solve starts
// with an empty table without clearing it. Each keeps the classes whose pairings the loss
// depends on (see PairingSearch). One table per thread.
class LostTable {
public:
    void Begin();
    // The classes the stored loss depends on, or null when the position is not stored.
    const Bits* Find(const Bits& removed, const Bits& choices, uint64_t hash) const;
    void Put(const Bits& removed, const Bits& choices, uint64_t hash, const Bits& because);
    Nogoods nogoods;   // cleared by Begin too

private:
    struct Entry {
        Bits removed;
        Bits choices;
        Bits because;
        uint32_t solve = 0;
    };
    static constexpr int kBits = 16;
    static constexpr size_t kSize = size_t{1} << kBits;
    static constexpr int kProbe = 4;
    std::vector<Entry> entries_ = std::vector<Entry>(kSize);
    uint32_t solve_ = 0;
};

// The work limit of one solve, and the pairs taken so far.
struct SearchState {
    long nodeBudget = 0;
    bool timed = false;
    std::chrono::steady_clock::time_point deadline;
    long nodes = 0;
    long sliceEnd = -1;            // a restart's own limit (-1: none)
    bool aborted = false;
    int pathLength = 0;
    MovePair path[kTileCount / 2];
    // The pairing of each class in the pairing that got furthest in a walk (-1: none): the exact
    // search tries it first.
    int8_t hint[kMaxClasses];

    SearchState() { std::fill(hint, hint + kMaxClasses, int8_t{-1}); }

    // Counts a position; false (and aborted) once the budget is spent.
    bool Enter() {
        ++nodes;
        if (nodes > nodeBudget || (sliceEnd >= 0 && nodes > sliceEnd) || (timed && (nodes & 63) == 0 && std::chrono::steady_clock::now() > deadline))
            aborted = true;
        return !aborted;
    }
};

// The tiles on the board at the start count as not removed; every other tile as removed.
inline Bits InitialRemoved(const Model& model) {
    Bits removed;
    for (int t = 0; t < kTileCount; ++t)
        if (!model.present.Has(t)) removed.Set(t);
    return removed;
}

// True when the search found a way to clear the board; `state.path` then holds it.
bool SearchByMoves(const Model& model, LostTable& table, SearchState& state);
bool SearchByPairings(const Model& model, LostTable& table, SearchState& state);
// Up to `descents` greedy descents without backtracking, within `limit` positions; true when one
// cleared the board (`state.path` holds it). A failure proves nothing.
bool SearchByDescents(const Model& model, SearchState& state, long limit, int descents);
// A walk over the pairings of a board whose classes all come in twos and fours, within `limit`
// positions; true when a pairing cleared the board (`state.path` holds its order). A failure
// proves nothing, but the combinations of pairings it found to lose go to `keep`.
bool SearchByPairingWalk(const Model& model, SearchState& state, long limit, Nogoods* keep = nullptr);
// A search over the pairings of the whole board by the relaxed game, with no positions (for boards
// whose classes all come in twos and fours), within `limit` positions: true when a pairing clears
// the board (`state.path` holds its order); false and not aborted when no pairing can. Keeps the
// combinations it finds to lose in `nogoods` and uses those there.
bool SearchByRelaxedGame(const Model& model, SearchState& state, long limit, Nogoods& nogoods);

}  // namespace solver
