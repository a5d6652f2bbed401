// The solver's search over moves, for boards whose classes do not all come in twos and fours
// (only hand-made boards): every open pair of a position is tried, best first.
//
// - Safe moves are played without branching: a class whose last two tiles are both free, or
//   whose last four are all free. Freedom only grows as tiles leave, so taking such a pair at once
//   never spoils a win: any winning order still works with the pair taken first.
// - Lost positions are recognised without search when a class has an odd count, when its last
//   two or four tiles cannot be paired, or when settled pairs wait on each other in a cycle.
#include <algorithm>
#include <vector>

#include "board/solver_search.h"

namespace solver {

namespace {

struct Move {
    uint8_t a, b;
    int key;                       // lower first
};

class MoveSearch {
public:
    MoveSearch(const Model& model, LostTable& table, SearchState& state)
        : m_(model), table_(table), s_(state), removed_(InitialRemoved(model)) {}

    bool Node() {
        if (!s_.Enter()) return false;
        const Bits entryRemoved = removed_;
        const uint64_t entryHash = hash_;
        const int entryPath = s_.pathLength;
        const Bits free = PlaySafeMoves();
        if (removed_.Count() == kTileCount) return true;

        const Bits noChoices;
        bool lost = table_.Find(removed_, noChoices, hash_) != nullptr;
        if (!lost && Dead()) {
            lost = true;
            table_.Put(removed_, noChoices, hash_, noChoices);
        }
        if (!lost) {
            const size_t first = moves_.size();
            GenerateMoves(free);
            const size_t last = moves_.size();
            for (size_t k = first; k < last && !s_.aborted; ++k) {
                const Move move = moves_[k];
                Take(move.a, move.b);
                if (Node()) return true;
                Untake(move.a, move.b);
            }
            moves_.resize(first);
            if (!s_.aborted) table_.Put(removed_, noChoices, hash_, noChoices);
        }
        removed_ = entryRemoved;
        hash_ = entryHash;
        s_.pathLength = entryPath;
        return false;
    }

private:
    const Model& m_;
    LostTable& table_;
    SearchState& s_;
    Bits removed_;
    uint64_t hash_ = 0;
    std::vector<Move> moves_;

    void Take(int a, int b) {
        removed_.Set(a);
        removed_.Set(b);
        hash_ ^= kTileKeys.v[a] ^ kTileKeys.v[b];
        s_.path[s_.pathLength++] = {static_cast<uint8_t>(std::min(a, b)), static_cast<uint8_t>(std::max(a, b))};
    }

    void Untake(int a, int b) {
        removed_.Clear(a);
        removed_.Clear(b);
        hash_ ^= kTileKeys.v[a] ^ kTileKeys.v[b];
        --s_.pathLength;
    }

    // Plays the safe moves until none is left; returns the free tiles of the position reached.
    Bits PlaySafeMoves() {
        for (;;) {
            const Bits free = FreeTiles(m_, removed_);
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

    bool Dead() const {
        uint8_t a[kTileCount / 2], b[kTileCount / 2];
        int pairs = 0;
        for (int c = 0; c < m_.classCount; ++c) {
            const Bits left = m_.classMembers[c].Minus(removed_);
            const int count = left.Count();
            if (count & 1) return true;
            if (count != 2 && count != 4) continue;
            int t[4];
            int n = 0;
            ForEach(left, [&](int u) { t[n++] = u; });
            if (count == 2) {
                if (Apart(m_, t[0], t[1])) return true;
                a[pairs] = static_cast<uint8_t>(t[0]);
                b[pairs++] = static_cast<uint8_t>(t[1]);
                continue;
            }
            const bool p1 = PairingWorks(m_, t[0], t[1], t[2], t[3]);
            const bool p2 = PairingWorks(m_, t[0], t[2], t[1], t[3]);
            const bool p3 = PairingWorks(m_, t[0], t[3], t[1], t[2]);
            if (!p1 && !p2 && !p3) return true;
        }
        return PairsDeadlocked(m_, a, b, pairs);
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
                    if (b > a)
                        moves_.push_back({static_cast<uint8_t>(a), static_cast<uint8_t>(b),
                                          choices * 1024 - (m_.holds[a] + m_.holds[b])});
                });
            });
        }
        std::stable_sort(moves_.begin() + static_cast<long>(first), moves_.end(),
                         [](const Move& x, const Move& y) { return x.key < y.key; });
    }
};

}  // namespace

bool SearchByMoves(const Model& model, LostTable& table, SearchState& state) {
    MoveSearch search(model, table, state);
    return search.Node();
}

}  // namespace solver
