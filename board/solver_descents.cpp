// Quick descents before the exact search: most deals are cleared by a good order of pairs found
// without any backtracking, and the exhaustive searches are slow to stumble on it when their
// first choices go wrong. Each descent plays, until the board is empty or no pair is left:
//
// - the safe pairs first: a class whose remaining two or four tiles are all free;
// - otherwise the open pair that holds back the most tiles still on the board (counting every
//   tile that needs one of the two gone first), never one that leaves the class's last two tiles
//   unable to pair; ties, and from the second descent on the order itself, are shaken by a fixed
//   sequence of seeds, so the verdict stays the same on every machine;
// - three descents in four first replay a prefix of the deepest descent so far.
//
// A descent that clears the board is a winning sequence; a failed one proves nothing, so the
// caller goes on with the exact search.
#include <algorithm>

#include "board/solver_search.h"

namespace solver {

namespace {

class Descent {
public:
    Descent(const Model& model, SearchState& state) : m_(model), s_(state) {
        ForEach(m_.present, [&](int u) {
            ForEach(m_.need[u] & m_.present, [&](int t) { holds_[t].Set(u); });
        });
    }

    // One descent with the given seed (0: no shaking), after replaying the first `prefixLength`
    // pairs of `prefix`; true when it cleared the board.
    bool Run(uint64_t seed, const MovePair* prefix, int prefixLength) {
        removed_ = InitialRemoved(m_);
        free_ = FreeTiles(m_, removed_);
        s_.pathLength = 0;
        for (int k = 0; k < prefixLength; ++k) {   // replayed pairs count as positions too
            if (!s_.Enter()) return false;
            Take(prefix[k].first, prefix[k].second);
        }
        rng_ = seed * 0x9E3779B97F4A7C15ULL + 0x632BE59BD9B4E019ULL;
        const int spread = seed == 0 ? 0 : 1 + static_cast<int>(seed % 6) * 3;
        const int freeWeight = static_cast<int>((seed * 13) % 48);
        for (;;) {
            if (removed_.Count() == kTileCount) return true;
            if (!s_.Enter()) return false;
            const Bits free = free_;
            if (PlaySafe(free)) continue;
            int bestA = -1, bestB = -1, bestScore = -1;
            for (int c = 0; c < m_.classCount; ++c) {
                const Bits left = m_.classMembers[c].Minus(removed_);
                const Bits open = left & free;
                if (open.Count() < 2) continue;
                int t[4];
                int n = 0;
                ForEach(left, [&](int u) {
                    if (n < 4) t[n++] = u;
                });
                ForEach(open, [&](int a) {
                    ForEach(open, [&](int b) {
                        if (b <= a) return;
                        // With exactly four left, the other two must still be able to pair.
                        // (Hand-made boards may hold more of a kind: then t is not all of them.)
                        if (n == 4 && left.Count() == 4) {
                            int rest[2], r = 0;
                            for (int k = 0; k < 4; ++k)
                                if (t[k] != a && t[k] != b && r < 2) rest[r++] = t[k];
                            if (r == 2 && Apart(m_, rest[0], rest[1])) return;
                        }
                        int score = (Held(a) + Held(b)) * 16 + Opened(a, b) * freeWeight;
                        if (spread > 0) score += static_cast<int>(Next() % static_cast<uint64_t>(spread * 16));
                        if (score > bestScore) {
                            bestScore = score;
                            bestA = a;
                            bestB = b;
                        }
                    });
                });
            }
            if (bestA < 0) return false;
            Take(bestA, bestB);
        }
    }

private:
    const Model& m_;
    SearchState& s_;
    Bits removed_;
    Bits free_;                // the free tiles of the position reached
    Bits holds_[kTileCount];   // the tiles that need this one gone first
    uint64_t rng_ = 0;

    uint64_t Next() {   // xorshift64*
        rng_ ^= rng_ >> 12;
        rng_ ^= rng_ << 25;
        rng_ ^= rng_ >> 27;
        return rng_ * 0x2545F4914F6CDD1DULL;
    }

    // How many tiles the pair (a, b) would free at once.
    int Opened(int a, int b) {
        Bits after = removed_;
        after.Set(a);
        after.Set(b);
        int opened = 0;
        ForEach((m_.affects[a] | m_.affects[b]).Minus(after).Minus(free_), [&](int u) { opened += m_.IsFree(u, after); });
        return opened;
    }

    int Held(int t) const { return holds_[t].Minus(removed_).Count(); }

    void Take(int a, int b) {
        removed_.Set(a);
        removed_.Set(b);
        s_.path[s_.pathLength++] = {static_cast<uint8_t>(std::min(a, b)), static_cast<uint8_t>(std::max(a, b))};
        free_.Clear(a);
        free_.Clear(b);
        ForEach((m_.affects[a] | m_.affects[b]).Minus(removed_), [&](int u) {
            if (m_.IsFree(u, removed_)) free_.Set(u);
        });
    }

    // Takes every class whose remaining two or four tiles are all free; false when there is none.
    bool PlaySafe(const Bits& free) {
        bool played = false;
        for (int c = 0; c < m_.classCount; ++c) {
            const Bits left = m_.classMembers[c].Minus(removed_);
            const int count = left.Count();
            if ((count != 2 && count != 4) || !left.Within(free)) continue;
            int t[4];
            int n = 0;
            ForEach(left, [&](int u) { t[n++] = u; });
            for (int k = 0; k < n; k += 2) Take(t[k], t[k + 1]);
            played = true;
        }
        return played;
    }
};

}  // namespace

bool SearchByDescents(const Model& model, SearchState& state, long limit, int descents) {
    // Every other descent starts from a prefix of the one that went deepest: a descent that
    // fails late usually went wrong late, and its first pairs need not be played again.
    Descent descent(model, state);
    MovePair deepest[kTileCount / 2];
    int deepestLength = 0;
    uint64_t cut = 0x2545F4914F6CDD1DULL;
    const long end = state.nodes + limit;
    for (int k = 0; k < descents && state.nodes < end && !state.aborted; ++k) {
        int prefix = 0;
        if ((k % 4) != 0 && deepestLength > 0) {
            cut = cut * 6364136223846793005ULL + 1442695040888963407ULL;
            prefix = static_cast<int>((cut >> 33) % static_cast<uint64_t>(deepestLength));
        }
        if (descent.Run(static_cast<uint64_t>(k), deepest, prefix)) return true;
        if (state.pathLength > deepestLength) {
            deepestLength = state.pathLength;
            std::copy(state.path, state.path + deepestLength, deepest);
        }
    }
    state.pathLength = 0;
    return false;
}

}  // namespace solver
