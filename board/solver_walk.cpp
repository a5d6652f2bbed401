// A walk over pairings, for boards whose classes all come in twos and fours. Once every class's
// pairing is fixed, whether the board clears no longer depends on the order: taking any pair
// whose two tiles are free never spoils anything, so one pass that takes pairs as they come free
// tells exactly how far that pairing gets. The walk keeps one pairing, plays it out, and where it
// sticks, re-pairs a class that has two free tiles not yet partners so that they become a pair,
// keeping the change that gets furthest (now and then a random one, so that it does not circle).
// Where no two free tiles of a class are left, it re-pairs a few of the classes of the tiles
// left, from their first pair played. When it stops getting further, it goes back to the pairing
// that got furthest so far with a few classes re-paired at random, and after many such starts
// without getting further, to a fresh random pairing. The random numbers come from a fixed seed,
// so the verdict within a number of positions is the same on every machine.
//
// Where a play that got as far as the start has got sticks, the walk keeps the pairings of the
// classes it could not have stuck without (solver_relaxed.h): any pairing that pairs them all so
// loses too, and the walk makes no change that does (solver_doomed.h). Without this it came back
// to the same few losing combinations from start after start.
//
// A pairing that clears the board comes with its playing order, a winning sequence; a walk that
// finds none proves nothing, so the caller goes on with the exact search.
#include <algorithm>

#include "board/solver_doomed.h"
#include "board/solver_relaxed.h"
#include "board/solver_search.h"

namespace solver {

namespace {

constexpr int kStaleSteps = 32;   // steps without getting further before a new start
constexpr int kPerturbed = 4;     // classes re-paired at random for a new start
constexpr int kFreshAfter = 32;   // new starts without getting further before a fresh one
constexpr int kStuckChanges = 4;  // changes tried where no pair can be made where the play stuck

class PairingWalk {
public:
    PairingWalk(const Model& model, SearchState& state, DoomedPairings& doomed) : m_(model), s_(state), doomed_(doomed) {
        rng_ += static_cast<uint64_t>(state.nodes) * 0x9E3779B97F4A7C15ULL;   // another walk each turn
        if (rng_ == 0) rng_ = 1;
        removedAt_[0] = InitialRemoved(model);
        freeAt_[0] = FreeTiles(m_, removedAt_[0]);
        for (int c = 0; c < m_.classCount; ++c) {
            size_[c] = ClassTiles(m_, c, tiles_[c]);
            if (size_[c] == 4) fours_.Set(c);
        }
        doomed_.Clear(m_.classCount);
    }

    // False at once when some class cannot be paired at all (the exact search proves that).
    bool Usable() const { return TwosAndFours(m_) && !SomeClassNeverPaired(m_); }

    // Walks until a pairing clears the board (true, the playing order in `state.path`), or
    // `limit` positions are spent.
    bool Run(long limit) {
        const long end = s_.nodes + limit;
        int best = -1;   // the furthest the current start got
        int bestEver = -1;
        int perturbs = 0;   // new starts since the furthest pairing was last improved
        int stale = 0;
        Fresh();
        int score = Play(0, true);
        while (score < kTileCount) {
            // Each play that gets as far as the start has got: why it stuck is worth keeping.
            if (score >= best) Learn();
            if (s_.nodes >= end || !s_.Enter()) return false;
            if (score > best) {
                best = score;
                stale = 0;
                if (score > bestEver) {
                    bestEver = score;
                    perturbs = 0;
                    for (int c = 0; c < m_.classCount; ++c)
                        s_.hint[c] = size_[c] == 4 ? static_cast<int8_t>(pairing_[c]) : int8_t{-1};
                }
            } else if (++stale > kStaleSteps) {
                if (++perturbs > kFreshAfter) {
                    Fresh();
                    bestEver = -1;
                    perturbs = 0;
                } else {
                    Perturb();
                }
                score = Play(0, true);
                best = -1;
                stale = 0;
                continue;
            }
            score = Step();
        }
        return true;
    }

private:
    const Model& m_;
    SearchState& s_;
    DoomedPairings& doomed_;           // what the plays that stuck showed to lose
    Bits fours_;                       // the classes of four
    uint8_t tiles_[kMaxClasses][4];
    int size_[kMaxClasses];
    uint8_t pairing_[kMaxClasses] = {};
    uint8_t partner_[kTileCount] = {};
    Bits free_;                       // the free tiles where the recorded play stuck
    Bits removedAt_[kTileCount / 2 + 1];   // the positions of the recorded play, after k pairs
    Bits freeAt_[kTileCount / 2 + 1];
    uint8_t firstAt_[kMaxClasses];    // where the recorded play first took a pair of the class
    uint64_t rng_ = 0x5DEECE66DULL;

    uint64_t Next() {   // xorshift64*
        rng_ ^= rng_ >> 12;
        rng_ ^= rng_ << 25;
        rng_ ^= rng_ >> 27;
        return rng_ * 0x2545F4914F6CDD1DULL;
    }
    int Random(int range) { return static_cast<int>((Next() >> 33) % static_cast<uint64_t>(range)); }


    void SetPairing(int c, int p) {
        pairing_[c] = static_cast<uint8_t>(p);
        const uint8_t* t = tiles_[c];
        const int* q = kPairings[p];
        for (int k = 0; k < 4; k += 2) {
            partner_[t[q[k]]] = t[q[k + 1]];
            partner_[t[q[k + 1]]] = t[q[k]];
        }
    }

    // A random workable pairing for every class of four.
    void Fresh() {
        for (int c = 0; c < m_.classCount; ++c) {
            if (size_[c] == 2) {
                partner_[tiles_[c][0]] = tiles_[c][1];
                partner_[tiles_[c][1]] = tiles_[c][0];
                continue;
            }
            int options[3], n = 0;
            for (int p = 0; p < 3; ++p)
                if (m_.workable[c] & (1 << p)) options[n++] = p;
            SetPairing(c, options[Random(n)]);
        }
        doomed_.Recount(pairing_);
    }

    // The pairing that got furthest, with a few classes re-paired at random.
    void Perturb() {
        for (int c = 0; c < m_.classCount; ++c)
            if (size_[c] == 4) SetPairing(c, s_.hint[c]);
        for (int k = 0; k < kPerturbed; ++k) {
            const int c = Random(m_.classCount);
            const int p = Random(3);
            if (size_[c] == 4 && (m_.workable[c] & (1 << p))) SetPairing(c, p);
        }
        doomed_.Recount(pairing_);
    }

    // Where the recorded play stuck: keeps the pairings of the classes it could not have stuck
    // without (solver_relaxed.h), so that the walk does not make a change that pairs them all
    // the same way again.
    void Learn() {
        RelaxedGame game;
        game.gone = removedAt_[s_.pathLength];
        game.free = free_;
        game.paired = m_.present.Minus(game.gone);
        doomed_.Add(NeededPairings(m_, partner_, game, fours_), pairing_);
    }

    // Plays the pairing out from the position after the first `from` pairs of the last recorded
    // play: every pair taken as soon as both its tiles are free. Returns how many tiles are off
    // the board in the end (all of them: the board cleared). `record`: this play becomes the
    // recorded one (its pairs in `state.path`, the positions between them kept); otherwise it
    // only counts, to try a change.
    int Play(int from, bool record) {
        Bits removed = removedAt_[from];
        Bits free = freeAt_[from];
        int length = from;
        // Every tile is pushed once, when it is found free; a pair goes when the second of its
        // tiles comes off the stack with the first already free.
        uint8_t stack[kTileCount];
        int depth = 0;
        ForEach(free, [&](int t) { stack[depth++] = static_cast<uint8_t>(t); });
        while (depth > 0) {
            const int a = stack[--depth];
            const int b = partner_[a];
            if (removed.Has(a) || !free.Has(b)) continue;
            removed.Set(a);
            removed.Set(b);
            free.Clear(a);
            free.Clear(b);
            ForEach((m_.affects[a] | m_.affects[b]).Minus(removed).Minus(free), [&](int u) {
                if (m_.IsFree(u, removed)) {
                    free.Set(u);
                    stack[depth++] = static_cast<uint8_t>(u);
                }
            });
            if (record) {
                s_.path[length] = {static_cast<uint8_t>(std::min(a, b)), static_cast<uint8_t>(std::max(a, b))};
                removedAt_[length + 1] = removed;
                freeAt_[length + 1] = free;
            }
            ++length;
        }
        if (record) {
            s_.pathLength = length;
            free_ = free;
            for (int c = 0; c < m_.classCount; ++c) firstAt_[c] = kTileCount;
            for (int k = length - 1; k >= 0; --k) firstAt_[m_.tiles[s_.path[k].first].cls] = static_cast<uint8_t>(k);
        }
        return removed.Count();
    }

    // Where a change to the pairing of class c starts to matter: at its first pair played.
    int From(int c) const { return std::min<int>(firstAt_[c], s_.pathLength); }

    // Re-pairs one class where the play stuck; returns how far the new pairing gets.
    int Step() {
        struct Change {
            uint8_t cls, pairing;
        };
        Change changes[kMaxClasses * 3];
        int count = 0;
        for (int c = 0; c < m_.classCount; ++c) {
            if (size_[c] != 4) continue;
            const uint8_t* t = tiles_[c];
            for (int p = 0; p < 3; ++p) {
                if (p == pairing_[c] || !(m_.workable[c] & (1 << p))) continue;
                const int* q = kPairings[p];
                // The change lets a pair of two free tiles go at the point where the play stuck,
                // and pairs no losing combination whole.
                if (((free_.Has(t[q[0]]) && free_.Has(t[q[1]])) || (free_.Has(t[q[2]]) && free_.Has(t[q[3]]))) &&
                    !doomed_.Doomed(c, p))
                    changes[count++] = {static_cast<uint8_t>(c), static_cast<uint8_t>(p)};
            }
        }
        if (count == 0) {
            // Nothing to pair where it stuck: the classes of the tiles left are the ones to blame,
            // each re-paired from its first pair played.
            const Bits& left = removedAt_[s_.pathLength];
            for (int c = 0; c < m_.classCount; ++c) {
                if (size_[c] != 4 || m_.classMembers[c].Within(left)) continue;
                for (int p = 0; p < 3; ++p)
                    if (p != pairing_[c] && (m_.workable[c] & (1 << p)) && !doomed_.Doomed(c, p))
                        changes[count++] = {static_cast<uint8_t>(c), static_cast<uint8_t>(p)};
            }
            // A few of them, at random: each costs a play from early on.
            for (int k = 0; k < count && k < kStuckChanges; ++k) std::swap(changes[k], changes[k + Random(count - k)]);
            count = std::min(count, kStuckChanges);
        }
        Change pick{};
        if (count == 0) {   // nothing to re-pair where it stuck: shake a random class
            const int c = Random(m_.classCount);
            const int p = (pairing_[c] + 1 + Random(2)) % 3;
            if (size_[c] != 4 || !(m_.workable[c] & (1 << p))) return Play(s_.pathLength, true);
            pick = {static_cast<uint8_t>(c), static_cast<uint8_t>(p)};
        } else if (Random(8) == 0) {
            pick = changes[Random(count)];
        } else {
            int bestScore = -1;
            for (int k = 0; k < count; ++k) {
                const int before = pairing_[changes[k].cls];
                SetPairing(changes[k].cls, changes[k].pairing);
                const int reached = Play(From(changes[k].cls), false);
                SetPairing(changes[k].cls, before);
                const int score = reached * 8 + Random(8);
                if (score > bestScore) {
                    bestScore = score;
                    pick = changes[k];
                }
                if (reached == kTileCount) break;
            }
        }
        const int from = From(pick.cls);
        doomed_.Change(pick.cls, pairing_[pick.cls], pick.pairing);
        SetPairing(pick.cls, pick.pairing);
        return Play(from, true);
    }
};

}  // namespace

bool SearchByPairingWalk(const Model& model, SearchState& state, long limit, Nogoods* keep) {
    thread_local DoomedPairings doomed;
    PairingWalk walk(model, state, doomed);
    if (!walk.Usable()) return false;
    const bool won = walk.Run(limit);
    if (!won) state.pathLength = 0;
    if (!won && keep != nullptr) {
        const int order[kMaxClasses] = {};
        doomed.ForEachKept([&](const Bits& classes, const int8_t* pairing) { keep->Add(classes, pairing, order); });
    }
    return won;
}

}  // namespace solver
