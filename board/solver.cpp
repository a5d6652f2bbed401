// The exact solver: a depth-first search over the sets of removed tiles.
//
// - Safe moves are played without branching: a class whose last two tiles are both free, or
//   whose last four are all free. Freedom only grows as tiles leave, so taking such a pair at once
//   never spoils a win: any winning order still works with the pair taken first.
// - Lost positions are recognised without search when some class can no longer be paired: an odd
//   count, two last tiles of which one lies in the column above the other, or four whose every
//   pairing needs one pair gone both before and after another. Positions proved lost are kept in
//   a table keyed by the exact removed set, so a verdict never rests on a hash alone.
// - Moves of the most constrained classes come first, then those freeing the most tiles.
#include "board/solver.h"

#include <algorithm>
#include <chrono>
#include <vector>

#include "board/solver_model.h"

namespace {

using solver::Bits;
using solver::ForEach;
using solver::Model;

constexpr int kTableBits = 17;
constexpr size_t kTableSize = size_t{1} << kTableBits;
constexpr int kTableProbe = 4;

uint64_t SplitMix(uint64_t& state) {
    uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

struct Zobrist {
    uint64_t keys[kTileCount];
    Zobrist() {
        uint64_t state = 0x70B1E3;
        for (uint64_t& k : keys) k = SplitMix(state);
    }
};
const Zobrist kZobrist;

// Lost positions: removed sets, with the number of the solve that stored them, so a new solve
// starts with an empty table without clearing it. One table per thread.
struct LostEntry {
    Bits removed;
    uint32_t solve;
};

struct LostTable {
    std::vector<LostEntry> entries = std::vector<LostEntry>(kTableSize);
    uint32_t solve = 0;

    void Begin() {
        if (++solve == 0) {            // the counter wrapped: old stamps could look current
            for (LostEntry& e : entries) e.solve = 0;
            solve = 1;
        }
    }
    bool Has(const Bits& removed, uint64_t hash) const {
        for (int k = 0; k < kTableProbe; ++k) {
            const LostEntry& e = entries[(hash + k) & (kTableSize - 1)];
            if (e.solve == solve && e.removed == removed) return true;
        }
        return false;
    }
    void Put(const Bits& removed, uint64_t hash) {
        size_t slot = hash & (kTableSize - 1);
        for (int k = 0; k < kTableProbe; ++k) {
            const size_t s = (hash + k) & (kTableSize - 1);
            if (entries[s].solve != solve) {
                slot = s;
                break;
            }
        }
        entries[slot] = {removed, solve};
    }
};

struct Move {
    uint8_t a, b;
    int key;                       // lower first
};

class Search {
public:
    Search(const Model& model, long nodeBudget, long microseconds, LostTable& table,
           std::vector<Move>& moves)
        : m_(model), budget_(nodeBudget), table_(table), moves_(moves) {
        if (microseconds > 0)
            deadline_ = std::chrono::steady_clock::now() + std::chrono::microseconds(microseconds);
        timed_ = microseconds > 0;
        // Tiles not on the board count as removed from the start.
        for (int t = 0; t < kTileCount; ++t)
            if (!m_.present.Has(t)) removed_.Set(t);
        for (int t = 0; t < kTileCount; ++t) {
            if (!m_.present.Has(t)) continue;
            // What the tile holds back: the tiles it lies above and the tiles whose side it closes.
            int weight = 0;
            for (int u = 0; u < kTileCount; ++u) {
                if (!m_.present.Has(u)) continue;
                if (m_.above[u].Has(t)) weight += 2;
                for (int k = 0; k < m_.tiles[u].openingCount; ++k)
                    if (m_.tiles[u].openings[k].Has(t)) ++weight;
            }
            weight_[t] = weight;
        }
    }

    SolveVerdict Run() {
        moves_.clear();
        const bool won = Node();
        if (won) return SolveVerdict::Winnable;
        return aborted_ ? SolveVerdict::Unknown : SolveVerdict::NotWinnable;
    }

    int pathLength = 0;
    MovePair path[72];
    long nodes = 0;

private:
    const Model& m_;
    long budget_;
    LostTable& table_;
    std::vector<Move>& moves_;
    bool timed_ = false;
    std::chrono::steady_clock::time_point deadline_;
    bool aborted_ = false;
    Bits removed_;
    uint64_t hash_ = 0;
    int weight_[kTileCount] = {};

    Bits FreeTiles() const {
        Bits free;
        ForEach(m_.present.Minus(removed_), [&](int t) {
            if (m_.IsFree(t, removed_)) free.Set(t);
        });
        return free;
    }

    void Take(int a, int b) {
        removed_.Set(a);
        removed_.Set(b);
        hash_ ^= kZobrist.keys[a] ^ kZobrist.keys[b];
        path[pathLength++] = {static_cast<uint8_t>(std::min(a, b)), static_cast<uint8_t>(std::max(a, b))};
    }

    void Untake(int a, int b) {
        removed_.Clear(a);
        removed_.Clear(b);
        hash_ ^= kZobrist.keys[a] ^ kZobrist.keys[b];
        --pathLength;
    }

    // Plays the safe moves until none is left; returns the free tiles of the position reached.
    Bits PlaySafeMoves() {
        for (;;) {
            const Bits free = FreeTiles();
            bool played = false;
            for (int c = 0; c < m_.classCount; ++c) {
                const Bits left = m_.classMembers[c].Minus(removed_);
                const int count = left.Count();
                if ((count != 2 && count != 4) || !left.Within(free)) continue;
                int tiles[4];
                int n = 0;
                ForEach(left, [&](int t) { tiles[n++] = t; });
                for (int k = 0; k < n; k += 2) Take(tiles[k], tiles[k + 1]);
                played = true;
            }
            if (!played) return free;
        }
    }

    // Whether tile x must leave before tile y can be free.
    bool Before(int x, int y) const { return m_.above[y].Has(x); }
    bool Apart(int x, int y) const { return Before(x, y) || Before(y, x); }
    // Pair (a, b) must go before pair (c, d).
    bool PairBefore(int a, int b, int c, int d) const {
        return Before(a, c) || Before(a, d) || Before(b, c) || Before(b, d);
    }
    bool PairingWorks(int a, int b, int c, int d) const {
        if (Apart(a, b) || Apart(c, d)) return false;
        return !(PairBefore(a, b, c, d) && PairBefore(c, d, a, b));
    }

    // Lost without search: a class that can no longer be paired, or pairs that are settled (the
    // last two of a class, or four with one workable pairing) each needing another gone first, in
    // a cycle. `Before` is transitive, so a cycle through single tiles is also one through pairs.
    bool Dead() const {
        constexpr int kMaxPairs = 64;
        uint8_t pairA[kMaxPairs], pairB[kMaxPairs];
        int pairs = 0;
        auto settle = [&](int a, int b) {
            if (pairs == kMaxPairs) return;   // fewer pairs only weakens the check
            pairA[pairs] = static_cast<uint8_t>(a);
            pairB[pairs++] = static_cast<uint8_t>(b);
        };
        for (int c = 0; c < m_.classCount; ++c) {
            const Bits left = m_.classMembers[c].Minus(removed_);
            const int count = left.Count();
            if (count & 1) return true;
            if (count != 2 && count != 4) continue;
            int t[4];
            int n = 0;
            ForEach(left, [&](int u) { t[n++] = u; });
            if (count == 2) {
                if (Apart(t[0], t[1])) return true;
                settle(t[0], t[1]);
                continue;
            }
            const bool p1 = PairingWorks(t[0], t[1], t[2], t[3]);
            const bool p2 = PairingWorks(t[0], t[2], t[1], t[3]);
            const bool p3 = PairingWorks(t[0], t[3], t[1], t[2]);
            if (!p1 && !p2 && !p3) return true;
            if (p1 + p2 + p3 != 1) continue;
            const int other = p1 ? 1 : p2 ? 2 : 3;
            settle(t[0], t[other]);
            int rest[2], r = 0;
            for (int k = 1; k < 4; ++k)
                if (k != other) rest[r++] = t[k];
            settle(rest[0], rest[1]);
        }
        if (pairs < 2) return false;
        uint8_t pairOf[kTileCount];
        Bits paired;
        for (int i = 0; i < pairs; ++i) {
            pairOf[pairA[i]] = pairOf[pairB[i]] = static_cast<uint8_t>(i);
            paired.Set(pairA[i]);
            paired.Set(pairB[i]);
        }
        // needs[j]: the pairs that must go before pair j. Peel off pairs needing none; a cycle
        // is what remains.
        uint64_t needs[kMaxPairs];
        for (int j = 0; j < pairs; ++j) {
            uint64_t mask = 0;
            ForEach((m_.above[pairA[j]] | m_.above[pairB[j]]) & paired,
                    [&](int u) { mask |= uint64_t{1} << pairOf[u]; });
            needs[j] = mask;
        }
        uint64_t waiting = pairs == 64 ? ~uint64_t{0} : (uint64_t{1} << pairs) - 1;
        for (bool peeled = true; peeled && waiting != 0;) {
            peeled = false;
            for (uint64_t w = waiting; w != 0; w &= w - 1) {
                const int j = __builtin_ctzll(w);
                if ((needs[j] & waiting) == 0) {
                    waiting &= ~(uint64_t{1} << j);
                    peeled = true;
                }
            }
        }
        return waiting != 0;
    }

    bool OutOfBudget() {
        if (nodes > budget_) return true;
        if (timed_ && (nodes & 255) == 0 && std::chrono::steady_clock::now() > deadline_) return true;
        return false;
    }

    bool Node() {
        ++nodes;
        if (OutOfBudget()) {
            aborted_ = true;
            return false;
        }
        const Bits entryRemoved = removed_;
        const uint64_t entryHash = hash_;
        const int entryPath = pathLength;
        const Bits free = PlaySafeMoves();
        if (removed_.Count() == kTileCount) return true;

        bool lost = table_.Has(removed_, hash_);
        if (!lost && Dead()) {
            lost = true;
            table_.Put(removed_, hash_);
        }
        if (!lost) {
            const size_t first = moves_.size();
            GenerateMoves(free);
            const size_t last = moves_.size();
            for (size_t k = first; k < last && !aborted_; ++k) {
                const Move move = moves_[k];
                Take(move.a, move.b);
                if (Node()) return true;
                Untake(move.a, move.b);
            }
            moves_.resize(first);
            if (!aborted_) table_.Put(removed_, hash_);
        }
        removed_ = entryRemoved;
        hash_ = entryHash;
        pathLength = entryPath;
        return false;
    }

    // The open pairs of the position, best first: classes with the fewest choices, then the pairs
    // holding back the most tiles.
    void GenerateMoves(const Bits& free) {
        const size_t first = moves_.size();
        for (int c = 0; c < m_.classCount; ++c) {
            const Bits open = m_.classMembers[c] & free;
            const int count = open.Count();
            if (count < 2) continue;
            const int choices = count * (count - 1) / 2;
            ForEach(open, [&](int a) {
                ForEach(open, [&](int b) {
                    if (b <= a) return;
                    const int key = choices * 256 - (weight_[a] + weight_[b]);
                    moves_.push_back({static_cast<uint8_t>(a), static_cast<uint8_t>(b), key});
                });
            });
        }
        std::stable_sort(moves_.begin() + static_cast<long>(first), moves_.end(),
                         [](const Move& x, const Move& y) { return x.key < y.key; });
    }
};

thread_local LostTable tLostTable;
thread_local std::vector<Move> tMoves;

}  // namespace

SolveResult SolveBoardTimed(const BoardRecord& board, long nodeBudget, long microseconds) {
    SolveResult result{};
    result.verdict = SolveVerdict::Unknown;
    static thread_local Model model;
    solver::BuildModel(board, model);
    if (!model.sound) return result;
    tLostTable.Begin();
    Search search(model, nodeBudget, microseconds, tLostTable, tMoves);
    result.verdict = search.Run();
    result.nodes = search.nodes;
    if (result.verdict == SolveVerdict::Winnable) {
        result.pairCount = search.pathLength;
        for (int k = 0; k < search.pathLength; ++k) result.pairs[k] = search.path[k];
    }
    return result;
}

SolveResult SolveBoard(const BoardRecord& board, long nodeBudget) { return SolveBoardTimed(board, nodeBudget, 0); }
