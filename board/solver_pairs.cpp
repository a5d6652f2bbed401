// The solver's search over pairings, for boards whose classes all come in twos and fours (every
// board of a game). A class of four leaves as two pairs, and there are three ways to pair it;
// once every class's pairing is fixed, taking any pair whose two tiles are free never spoils a
// win (freedom only grows as tiles leave), so the only real choices are the pairings. The search
// therefore branches on the pairing of one class at a time, the most constrained first, and
// between choices plays every pair it may:
//
// - the last two tiles of a class, or a pair of a chosen pairing, once both are free;
// - all four tiles of a class once all four are free, in any pairing;
// - a class with one workable pairing left gets it without branching.
//
// A position is lost when a class cannot be paired any more (a tile above its partner, or pairs
// that need each other gone first), when the settled pairs wait on each other in a cycle, or
// when no class has two free tiles. Lost positions are kept in the table with their choices.
//
// Each loss names the chosen classes it depends on: those of the pairs in the cycle, or, where
// no pair may go, those with free tiles (only a pair of free tiles could have left next, so the
// classes with none could have been paired any way), or fewer where a relaxed game shows which
// of them the loss can do without. When a choice's loss does not depend on it, its other
// pairings would lose the same way and are not tried (backjumping). The named pairings are also
// kept as a combination that loses wherever it is met (Nogoods): the same few come back in
// position after position, and a position that completes one is lost without playing on.
#include <algorithm>

#include "board/solver_relaxed.h"
#include "board/solver_search.h"

namespace solver {

namespace {

constexpr int8_t kOpen = -1;
constexpr int kHintWeight = 3000;   // the pairing that got furthest in the walk goes first

class PairingSearch {
public:
    PairingSearch(const Model& model, LostTable& table, SearchState& state, uint64_t shake)
        : m_(model), table_(table), s_(state), removed_(InitialRemoved(model)), shake_(shake) {
        for (int c = 0; c < m_.classCount; ++c) {
            size_[c] = ClassTiles(m_, c, tiles_[c]);
            choice_[c] = kOpen;
        }
    }

    bool Node() {
        if (!s_.Enter()) return false;
        const Bits entryRemoved = removed_;
        const uint64_t entryHash = hash_;
        const int entryPath = s_.pathLength;
        const int entryTrail = trailLength_;
        const int entryRuledOut = ruledOut_.Mark();
        Bits free;
        if (Propagate(free)) {
            if (removed_.Count() == kTileCount) return true;
            if (NogoodMet()) {
                Unwind(entryRemoved, entryHash, entryPath, entryTrail, entryRuledOut);
                return false;
            }
            Bits choices;
            uint64_t hash = hash_;
            for (int c = 0; c < m_.classCount; ++c)
                if (choice_[c] != kOpen && Left(c) == 4) {
                    const int marked = tiles_[c][choice_[c] + 1];
                    choices.Set(marked);
                    hash ^= kChoiceKeys.v[marked];
                }
            if (const Bits* because = table_.Find(removed_, choices, hash)) {
                because_ = *because;
            } else {
                if (Deadlocked()) table_.nogoods.Add(because_, choice_, order_);
                else if (Branch(free)) return true;
                if (!s_.aborted) table_.Put(removed_, choices, hash, because_);
            }
        } else {
            because_ = Bits{};   // a class that no pairing lets leave: lost whatever was chosen
        }
        Unwind(entryRemoved, entryHash, entryPath, entryTrail, entryRuledOut);
        return false;
    }

private:
    const Model& m_;
    LostTable& table_;
    SearchState& s_;
    Bits removed_;
    uint64_t hash_ = 0;
    uint8_t tiles_[kMaxClasses][4];
    int size_[kMaxClasses];
    int8_t choice_[kMaxClasses];        // pairing of a class of four: t0 with t[choice + 1]
    uint8_t trail_[kMaxClasses];        // classes in the order their pairing was chosen
    int trailLength_ = 0;
    int order_[kMaxClasses] = {};       // where in the trail each chosen class is
    int seen_ = 0;                      // the trail so far shown to the known losing combinations
    RuledOutPairings ruledOut_;         // undone as the search backs up
    uint64_t shake_;                    // 0: the plain order; otherwise varies the ties
    // The pairing of each class was chosen by branching (not forced by the model).
    bool branched_[kMaxClasses] = {};
    // After a node is found lost: the branched classes whose pairings it was lost for. Any
    // pairing of the whole board that keeps theirs loses too, so a choice not among them need
    // not be tried again with its other pairings.
    Bits because_;
    uint8_t partner_[kTileCount];   // the partner of each settled tile, for RelaxedBecause

    // Back to the position, the choices and the ruled-out pairings a node was entered with.
    void Unwind(const Bits& removed, uint64_t hash, int path, int trail, int ruledOut) {
        removed_ = removed;
        hash_ = hash;
        s_.pathLength = path;
        TakeBack(trail);
        ruledOut_.Undo(ruledOut);
    }

    void TakeBack(int trail) {
        while (trailLength_ > trail) choice_[trail_[--trailLength_]] = kOpen;
        seen_ = std::min(seen_, trailLength_);
    }

    // Whether every class of `classes` still has tiles on the board.
    bool WithTiles(const Bits& classes) const {
        bool all = true;
        ForEach(classes, [&](int c) { all = all && Left(c) > 0; });
        return all;
    }

    // Whether the pairings given since the last look complete a combination known to lose;
    // `because_` then holds its branched classes. Only combinations whose classes all have
    // tiles left count: the position then tells their pairings wherever it is met again, as the
    // table needs.
    bool NogoodMet() {
        const auto withTiles = [&](const Bits& classes) { return WithTiles(classes); };
        // A combination one class short rules that class's pairing out, for the branches below.
        const auto ruleOut = [&](int c, int p, const Bits& classes) { ruledOut_.Add(c, p, classes); };
        for (; seen_ < trailLength_; ++seen_) {
            Bits classes;
            if (!table_.nogoods.Completed(trail_[seen_], choice_, withTiles, classes, ruleOut)) continue;
            because_ = Bits{};
            ForEach(classes, [&](int c) {
                if (branched_[c]) because_.Set(c);
            });
            return true;
        }
        return false;
    }

    // A small pseudo-random number from the restart's seed and a value, 0 without a seed.
    int Noise(uint64_t value, int range) const {
        if (shake_ == 0) return 0;
        uint64_t z = (shake_ ^ (value * 0x9E3779B97F4A7C15ULL)) * 0xBF58476D1CE4E5B9ULL;
        z ^= z >> 31;
        return static_cast<int>(z % static_cast<uint64_t>(range));
    }

    int Left(int c) const {
        int n = 0;
        for (int k = 0; k < size_[c]; ++k) n += !removed_.Has(tiles_[c][k]);
        return n;
    }

    // The two pairs of pairing `choice` of a class of four, as indices into its tiles.
    static void PairsOf(int choice, int pairs[4]) {
        for (int k = 0; k < 4; ++k) pairs[k] = kPairings[choice][k];
    }

    // The pairing that pairs the tiles i < j of a class of four.
    static int PairingOf(int i, int j) { return i == 0 ? j - 1 : 5 - i - j; }

    bool Works(int c, int choice) const { return (m_.workable[c] >> choice) & 1; }

    void Choose(int c, int choice) {
        choice_[c] = static_cast<int8_t>(choice);
        order_[c] = trailLength_;
        trail_[trailLength_++] = static_cast<uint8_t>(c);
    }

    void Take(int a, int b) {
        removed_.Set(a);
        removed_.Set(b);
        hash_ ^= kTileKeys.v[a] ^ kTileKeys.v[b];
        s_.path[s_.pathLength++] = {static_cast<uint8_t>(std::min(a, b)), static_cast<uint8_t>(std::max(a, b))};
    }

    bool BothFree(const Bits& free, int a, int b) const { return free.Has(a) && free.Has(b); }

    // Plays every pair that may be played and settles every pairing that is forced; false when a
    // class turns out impossible to pair. `free` ends as the free tiles of the position reached.
    bool Propagate(Bits& free) {
        for (;;) {
            free = FreeTiles(m_, removed_);
            const Bits looseFree = free & m_.loose;
            if (!looseFree.Empty()) {   // they only ever free others
                ForEach(looseFree, [&](int t) {
                    removed_.Set(t);
                    hash_ ^= kTileKeys.v[t];
                });
                continue;
            }
            bool progress = false;
            for (int c = 0; c < m_.classCount; ++c) {
                const int left = Left(c);
                if (left == 0) continue;
                int r[4];
                int n = 0;
                for (int k = 0; k < size_[c]; ++k)
                    if (!removed_.Has(tiles_[c][k])) r[n++] = tiles_[c][k];
                if (left == 2) {
                    if (Apart(m_, r[0], r[1])) return false;
                    if (BothFree(free, r[0], r[1])) {
                        Take(r[0], r[1]);
                        progress = true;
                    }
                    continue;
                }
                if (left != 4) return false;   // never with classes of two and four
                if (choice_[c] == kOpen) {
                    if (BothFree(free, r[0], r[1]) && BothFree(free, r[2], r[3])) {
                        Take(r[0], r[1]);
                        Take(r[2], r[3]);
                        progress = true;
                        continue;
                    }
                    int workable = 0, last = 0;
                    for (int choice = 0; choice < 3; ++choice)
                        if (Works(c, choice)) {
                            ++workable;
                            last = choice;
                        }
                    if (workable == 0) return false;
                    if (workable > 1) continue;
                    Choose(c, last);
                }
                int p[4];
                PairsOf(choice_[c], p);
                for (int k = 0; k < 4; k += 2)
                    if (BothFree(free, r[p[k]], r[p[k + 1]])) {
                        Take(r[p[k]], r[p[k + 1]]);
                        progress = true;
                    }
            }
            if (!progress) return true;
        }
    }

    // The settled pairs: the last two of each class, and the pairs of each chosen pairing.
    int SettledPairs(uint8_t* a, uint8_t* b) const {
        int pairs = 0;
        for (int c = 0; c < m_.classCount; ++c) {
            const int left = Left(c);
            if (left == 2) {
                int n = 0;
                for (int k = 0; k < size_[c]; ++k)
                    if (!removed_.Has(tiles_[c][k])) (n++ == 0 ? a[pairs] : b[pairs]) = tiles_[c][k];
                ++pairs;
            } else if (left == 4 && choice_[c] != kOpen) {
                int p[4];
                PairsOf(choice_[c], p);
                for (int k = 0; k < 4; k += 2) {
                    a[pairs] = tiles_[c][p[k]];
                    b[pairs++] = tiles_[c][p[k + 1]];
                }
            }
        }
        return pairs;
    }

    // The settled pairs waiting on each other in a cycle; `because_` then holds the branched
    // classes of the pairs in it.
    bool Deadlocked() {
        uint8_t a[kTileCount / 2], b[kTileCount / 2];
        Bits core;
        if (!PairsDeadlocked(m_, a, b, SettledPairs(a, b), &core)) return false;
        because_ = Bits{};
        ForEach(core, [&](int t) {
            if (branched_[m_.tiles[t].cls]) because_.Set(m_.tiles[t].cls);
        });
        return true;
    }

    // Where no pair may go, another account of the classes the loss depends on: the relaxed
    // game (solver_relaxed.h), with the settled pairs paired and the open classes of four open,
    // sticks here too. The branched classes whose pairs it cannot do without; every class when
    // it does not stick.
    Bits RelaxedBecause(const Bits& free) {
        RelaxedGame game;
        game.gone = removed_;
        game.free = free;
        uint8_t a[kTileCount / 2], b[kTileCount / 2];
        const int pairs = SettledPairs(a, b);
        for (int k = 0; k < pairs; ++k) {
            partner_[a[k]] = b[k];
            partner_[b[k]] = a[k];
            game.paired.Set(a[k]);
            game.paired.Set(b[k]);
        }
        Bits branched;
        for (int c = 0; c < m_.classCount; ++c) {
            if (branched_[c]) branched.Set(c);
            if (choice_[c] == kOpen && Left(c) == 4) game.fours = game.fours | m_.classMembers[c];
        }
        PlayRelaxed(m_, partner_, game, game.free);
        if (!m_.present.Minus(game.gone).Meets(game.paired)) {
            Bits every;
            for (int c = 0; c < m_.classCount; ++c) every.Set(c);
            return every;
        }
        return NeededPairings(m_, partner_, game, branched);
    }

    // No class has a pair that may go: whatever pairing the other classes get, a pairing of the
    // whole board that keeps the pairings of these classes gets no further either. Those with
    // tiles still free: a class of four whose two free tiles are not paired, a class of two left
    // whose free tile was paired with its other tile left (it could have left with a tile gone).
    // Any way out starts with a pair of free tiles here, and only they could form one.
    Bits StuckBecause(const Bits& free) const {
        Bits because;
        for (int c = 0; c < m_.classCount; ++c) {
            if (!branched_[c]) continue;
            const int left = Left(c);
            int freeTiles[4], freeCount = 0;
            for (int k = 0; k < size_[c]; ++k)
                if (free.Has(tiles_[c][k])) freeTiles[freeCount++] = k;
            if (left == 2 && freeCount == 1) because.Set(c);
            if (left == 4 && freeCount == 2 && Works(c, PairingOf(freeTiles[0], freeTiles[1]))) because.Set(c);
        }
        return because;
    }

    // Chooses the pairing of the open class with the fewest workable pairings (then the most free
    // tiles), trying first the pairings that let a pair go at once. False when none wins, or when
    // no class has two free tiles (no move at all).
    bool Branch(const Bits& free) {
        int best = -1, bestWorkable = 4, bestFree = -1;
        bool anyMove = false;
        bool works[kMaxClasses][3];
        for (int c = 0; c < m_.classCount; ++c) {
            if (choice_[c] != kOpen || Left(c) != 4) continue;
            int freeCount = 0;
            for (int k = 0; k < 4; ++k) freeCount += free.Has(tiles_[c][k]);
            if (freeCount < 2) continue;
            anyMove = true;
            int workable = 0;
            for (int choice = 0; choice < 3; ++choice) {
                works[c][choice] = Works(c, choice);
                workable += works[c][choice] && !ruledOut_.Has(c, choice);
            }
            freeCount = freeCount * 8 + Noise(static_cast<uint64_t>(c) * 7 + trailLength_, 8);
            if (workable < bestWorkable || (workable == bestWorkable && freeCount > bestFree)) {
                best = c;
                bestWorkable = workable;
                bestFree = freeCount;
            }
        }
        if (!anyMove) {
            because_ = StuckBecause(free);
            const Bits relaxed = RelaxedBecause(free);
            if (relaxed.Count() < because_.Count()) because_ = relaxed;
            table_.nogoods.Add(because_, choice_, order_);
            return false;
        }
        struct Option {
            int choice;
            int key;
        };
        Option options[3];
        int count = 0;
        const uint8_t* t = tiles_[best];
        for (int choice = 0; choice < 3; ++choice) {
            if (!works[best][choice]) continue;
            int p[4];
            PairsOf(choice, p);
            int key = 0;
            for (int k = 0; k < 4; k += 2)
                if (BothFree(free, t[p[k]], t[p[k + 1]])) key += 1000 + m_.holds[t[p[k]]] + m_.holds[t[p[k + 1]]];
            key += Noise(static_cast<uint64_t>(best) * 3 + choice + 1000, 40);
            if (s_.hint[best] == choice) key += kHintWeight;
            options[count++] = {choice, key};
        }
        std::stable_sort(options, options + count, [](const Option& x, const Option& y) { return x.key > y.key; });
        Bits because;
        for (int k = 0; k < count && !s_.aborted; ++k) {
            // Ruled out by a losing combination whose classes all still have tiles: lost for
            // the reasons of that combination, without playing on.
            if (ruledOut_.Has(best, options[k].choice)) {
                const Bits& why = ruledOut_.Why(best, options[k].choice);
                if (WithTiles(why)) {
                    ForEach(why, [&](int c) {
                        if (branched_[c] || c == best) because.Set(c);
                    });
                    continue;
                }
            }
            const int entryTrail = trailLength_;
            Choose(best, options[k].choice);
            branched_[best] = true;
            const bool won = Node();
            branched_[best] = false;
            if (won) return true;
            TakeBack(entryTrail);
            if (!because_.Has(best)) return false;   // lost whatever this class's pairing
            because = because | because_;
        }
        because.Clear(best);
        because_ = because;
        if (!s_.aborted) table_.nogoods.Add(because_, choice_, order_);
        return false;
    }
};

}  // namespace

bool SearchByPairings(const Model& model, LostTable& table, SearchState& state) {
    // Restarts with growing limits, each ordering ties differently: a search that went down a
    // long losing branch early gets another start. Lost positions stay in the table between
    // restarts (they are lost whatever the order), and the last restart has no limit of its own.
    long slice = 4000;
    for (uint64_t restart = 0;; ++restart) {
        state.aborted = false;
        state.pathLength = 0;
        const bool last = state.nodes + slice >= state.nodeBudget;
        state.sliceEnd = last ? -1 : state.nodes + slice;
        PairingSearch search(model, table, state, restart);
        const bool won = search.Node();
        // Each restart's limit ends with it: the searches that follow count only the budget.
        state.sliceEnd = -1;
        if (won) return true;
        if (!state.aborted || last || state.nodes >= state.nodeBudget ||
            (state.timed && std::chrono::steady_clock::now() > state.deadline))
            return false;
        slice *= 2;
    }
}

}  // namespace solver
