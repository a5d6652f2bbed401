// A search over the pairings of the whole board that never plays a position: each node plays the
// relaxed game (solver_relaxed.h) from the board as it stands, with the classes chosen so far
// paired and every other class of four open. Every way of clearing the board with those pairings
// plays that game too, so where it sticks, no choice of the other classes can help; and once
// every class is paired the relaxed game is the game itself, so where it then clears the board,
// its playing order is a winning sequence.
//
// Because no node stands for a position, the search may choose any class next, not only one
// with free tiles: it chooses the class most often named in recent losses (as clause-learning
// satisfiability solvers do), so that a knot of a few classes buried deep in the board is tied
// off within a few nodes, where the search over positions (solver_pairs.cpp) only meets it after
// deciding every class above it, again and again. Each loss names the classes the relaxed game
// cannot open without coming unstuck, and is kept as a losing combination; a choice that the loss
// does not depend on gets no other pairing tried (backjumping). The losing combinations are the
// solve's shared store, so what the walk and the search over positions found to lose counts here
// too, and what this search finds counts there.
#include <algorithm>

#include "board/solver_relaxed.h"
#include "board/solver_search.h"

namespace solver {

namespace {

constexpr double kBumpGrowth = 1.05;   // later losses weigh more in the choice of class

class RelaxedSearch {
public:
    RelaxedSearch(const Model& model, SearchState& state, Nogoods& nogoods) : m_(model), s_(state), nogoods_(nogoods) {
        for (int c = 0; c < m_.classCount; ++c) {
            choice_[c] = -1;
            size_[c] = ClassTiles(m_, c, tiles_[c]);
            if (size_[c] == 2) {   // the last two of a class: paired already
                partner_[tiles_[c][0]] = tiles_[c][1];
                partner_[tiles_[c][1]] = tiles_[c][0];
                settled_ = settled_ | m_.classMembers[c];
            }
            for (int k = 0; k < 4 && size_[c] == 4; ++k) depth_[c] += m_.need[tiles_[c][k]].Count();
        }
    }

    // True when a pairing of every class clears the board: its playing order is in the path.
    bool Node() {
        if (!s_.Enter()) return false;
        RelaxedGame game;
        if (Sticks(game)) {
            Learn(because_);
            return false;
        }
        const int best = Pick();
        if (best < 0) {
            Replay();
            return true;
        }
        const int entryRuledOut = ruledOut_.Mark();
        int options[3];
        int count = 0;
        for (int p = 0; p < 3; ++p)
            if (Works(best, p)) options[count++] = p;
        Bits because;
        for (int k = 0; k < count && !s_.aborted; ++k) {
            if (ruledOut_.Has(best, options[k])) {   // would complete a losing combination
                because = because | (ruledOut_.Why(best, options[k]) & branched_);
                continue;
            }
            Assign(best, options[k]);
            Bits met;
            bool won = false;
            const auto ruleOut = [&](int c, int p, const Bits& classes) { ruledOut_.Add(c, p, classes); };
            if (nogoods_.Completed(best, choice_, [](const Bits&) { return true; }, met, ruleOut)) {
                because_ = met & branched_;
            } else {
                won = Node();
            }
            Unassign(best, entryRuledOut);
            if (won) return true;
            if (!because_.Has(best)) return false;   // lost whatever this class's pairing
            because = because | because_;
        }
        because.Clear(best);
        because_ = because;
        if (!s_.aborted) Learn(because_);
        return false;
    }

private:
    const Model& m_;
    SearchState& s_;
    Nogoods& nogoods_;
    uint8_t tiles_[kMaxClasses][4];
    int size_[kMaxClasses];
    int depth_[kMaxClasses] = {};   // what must go before the class's tiles are free, summed
    int8_t choice_[kMaxClasses];
    int order_[kMaxClasses] = {};
    int trailLength_ = 0;
    Bits branched_;                 // classes given a pairing, as a set of class numbers
    Bits settled_;                  // tiles of classes of two
    uint8_t partner_[kTileCount] = {};
    Bits because_;                  // after a loss: the chosen classes it depends on
    double activity_[kMaxClasses] = {};
    RuledOutPairings ruledOut_;
    double bump_ = 1;

    bool Works(int c, int p) const { return (m_.workable[c] >> p) & 1; }

    void Assign(int c, int p) {
        choice_[c] = static_cast<int8_t>(p);
        order_[c] = trailLength_++;
        branched_.Set(c);
        const int* q = kPairings[p];
        for (int k = 0; k < 4; k += 2) {
            partner_[tiles_[c][q[k]]] = tiles_[c][q[k + 1]];
            partner_[tiles_[c][q[k + 1]]] = tiles_[c][q[k]];
        }
    }

    void Unassign(int c, int ruledOut) {
        choice_[c] = -1;
        --trailLength_;
        branched_.Clear(c);
        ruledOut_.Undo(ruledOut);
    }

    int Options(int c) const {
        int n = 0;
        for (int p = 0; p < 3; ++p) n += Works(c, p) && !ruledOut_.Has(c, p);
        return n;
    }

    // Keeps a loss's combination and makes its classes the likelier next choices.
    void Learn(const Bits& classes) {
        nogoods_.Add(classes, choice_, order_);
        ForEach(classes, [&](int c) { activity_[c] += bump_; });
        bump_ *= kBumpGrowth;
        if (bump_ > 1e100) {
            for (double& a : activity_) a *= 1e-100;
            bump_ *= 1e-100;
        }
    }

    // The open class of four named most in losses, then the one with fewest workable pairings,
    // then the most deeply buried; -1 when every class is paired.
    int Pick() const {
        int best = -1, bestWorkable = 4;
        for (int c = 0; c < m_.classCount; ++c) {
            if (size_[c] != 4 || choice_[c] >= 0) continue;
            const int workable = Options(c);
            if (workable <= 1) return c;   // nothing to choose: settled at once
            if (best < 0 || activity_[c] > activity_[best] ||
                (activity_[c] == activity_[best] &&
                 (workable < bestWorkable || (workable == bestWorkable && depth_[c] > depth_[best])))) {
                best = c;
                bestWorkable = workable;
            }
        }
        return best;
    }

    // Plays the relaxed game with the pairings chosen; true when it sticks, `because_` then
    // holding the chosen classes it cannot do without (none when it sticks with open classes
    // and single tiles only: then nothing can clear the board).
    bool Sticks(RelaxedGame& game) {
        game.gone = InitialRemoved(m_);
        game.free = FreeTiles(m_, game.gone);
        game.paired = settled_;
        for (int c = 0; c < m_.classCount; ++c) {
            if (size_[c] != 4) continue;
            if (choice_[c] >= 0) game.paired = game.paired | m_.classMembers[c];
            else game.fours = game.fours | m_.classMembers[c];
        }
        PlayRelaxed(m_, partner_, game, game.free);
        const Bits left = m_.present.Minus(game.gone);
        if (left.Empty()) return false;
        because_ = Bits{};
        if (left.Meets(game.paired)) because_ = NeededPairings(m_, partner_, game, branched_);
        return true;
    }

    // Every class is paired and the game clears: the pairs in an order that plays them.
    void Replay() {
        Bits removed = InitialRemoved(m_);
        s_.pathLength = 0;
        for (bool progress = true; progress;) {
            progress = false;
            removed = removed | (FreeTiles(m_, removed) & m_.loose);
            const Bits free = FreeTiles(m_, removed);
            ForEach(free, [&](int t) {
                const int u = partner_[t];
                if (m_.loose.Has(t) || u < t || !free.Has(u) || removed.Has(t) || removed.Has(u)) return;
                removed.Set(t);
                removed.Set(u);
                s_.path[s_.pathLength++] = {static_cast<uint8_t>(t), static_cast<uint8_t>(u)};
                progress = true;
            });
        }
    }
};

}  // namespace

bool SearchByRelaxedGame(const Model& model, SearchState& state, long limit, Nogoods& nogoods) {
    state.aborted = false;
    state.pathLength = 0;
    if (!TwosAndFours(model)) {   // a hand-made board's class of another size: not for this search
        state.aborted = true;
        return false;
    }
    if (SomeClassNeverPaired(model)) return false;
    const long budget = state.nodeBudget;
    state.nodeBudget = std::min(budget, state.nodes + limit);
    RelaxedSearch search(model, state, nogoods);
    const bool won = search.Node();
    state.nodeBudget = budget;
    return won;
}

}  // namespace solver
