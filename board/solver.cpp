// The solver's entry: builds the model of the board, picks the search that fits its classes and
// hands back the verdict with the winning sequence. The pieces: solver_model (free tiles, what
// lies above what), solver_pairs (the search over pairings, for every board of a game),
// solver_moves (the search over moves, for hand-made boards with larger or odd classes),
// solver_descents (quick greedy descents that find most winning sequences).
#include "board/solver.h"

#include <algorithm>

#include "board/solver_search.h"

namespace solver {

namespace {

thread_local LostTable tLostTable;
thread_local Model tModel;
// The positions of the first, short exact search: an eighth of the budget within these bounds.
constexpr long kFirstExactLeast = 256;
constexpr long kFirstExactMost = 2500;
constexpr int kDescents = 2048;

}  // namespace

void LostTable::Begin() {
    if (++solve_ == 0) {   // the counter wrapped: old stamps could look current
        for (Entry& e : entries_) e.solve = 0;
        solve_ = 1;
    }
}

bool LostTable::Has(const Bits& removed, const Bits& choices, uint64_t hash) const {
    for (int k = 0; k < kProbe; ++k) {
        const Entry& e = entries_[(hash + k) & (kSize - 1)];
        if (e.solve == solve_ && e.removed == removed && e.choices == choices) return true;
    }
    return false;
}

void LostTable::Put(const Bits& removed, const Bits& choices, uint64_t hash) {
    size_t slot = hash & (kSize - 1);
    for (int k = 0; k < kProbe; ++k) {
        const size_t s = (hash + k) & (kSize - 1);
        if (entries_[s].solve != solve_) {
            slot = s;
            break;
        }
    }
    entries_[slot] = {removed, choices, solve_};
}

}  // namespace solver

SolveResult SolveBoardTimed(const BoardRecord& board, long nodeBudget, long microseconds) {
    using namespace solver;
    SolveResult result{};
    result.verdict = SolveVerdict::Unknown;
    Model& model = tModel;
    BuildModel(board, model);
    if (!model.sound) return result;

    // A tile that can never be free never leaves the board.
    bool stuck = false;
    ForEach(model.present, [&](int t) { stuck = stuck || model.need[t].Has(t); });
    if (stuck) {
        result.verdict = SolveVerdict::NotWinnable;
        result.nodes = 1;
        return result;
    }

    bool twosAndFours = true;
    for (int c = 0; c < model.classCount; ++c) {
        const int count = model.classMembers[c].Count();
        twosAndFours = twosAndFours && (count == 2 || count == 4);
    }
    SearchState state;
    state.nodeBudget = nodeBudget;
    if (microseconds > 0) {
        state.timed = true;
        state.deadline = std::chrono::steady_clock::now() + std::chrono::microseconds(microseconds);
    }
    tLostTable.Begin();
    const auto exact = [&]() {
        return twosAndFours ? SearchByPairings(model, tLostTable, state) : SearchByMoves(model, tLostTable, state);
    };
    // A short exact search first: most lost deals are proved at once by the pairing checks. Then
    // cheap greedy descents (half the budget at most): they clear most winnable deals without
    // backtracking. Then the exact search with the whole budget, keeping the lost positions.
    state.nodeBudget = std::min(nodeBudget, std::clamp(nodeBudget / 8, kFirstExactLeast, kFirstExactMost));
    bool won = exact();
    const bool settled = won || !state.aborted;
    state.nodeBudget = nodeBudget;
    if (!settled && state.nodes < nodeBudget) {
        state.aborted = false;
        state.pathLength = 0;
        won = SearchByDescents(model, state, nodeBudget / 2, kDescents);
        if (!won && !state.aborted) won = exact();
    }
    result.nodes = state.nodes;
    if (won) {
        result.verdict = SolveVerdict::Winnable;
        result.pairCount = state.pathLength;
        for (int k = 0; k < state.pathLength; ++k) result.pairs[k] = state.path[k];
    } else if (!state.aborted) {
        result.verdict = SolveVerdict::NotWinnable;
    }
    return result;
}

SolveResult SolveBoard(const BoardRecord& board, long nodeBudget) { return SolveBoardTimed(board, nodeBudget, 0); }
