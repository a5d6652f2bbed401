// The solver's entry: builds the model of the board, picks the search that fits its classes and
// hands back the verdict with the winning sequence. The pieces: solver_model (free tiles, what
// lies above what), solver_pairs (the search over pairings, for every board of a game),
// solver_moves (the search over moves, for hand-made boards with larger or odd classes),
// solver_walk (a quick walk over pairings that finds most winning sequences), solver_descents
// (greedy descents, the quick search of hand-made boards), solver_relaxed_search (a search over
// pairings by the relaxed game, which proves most hard lost deals).
#include "board/solver.h"

#include <algorithm>

#include "board/solver_search.h"

namespace solver {

namespace {

thread_local LostTable tLostTable;
thread_local Model tModel;
// The positions of the turns of the exact search and of the quick search: a share of the budget
// within these bounds.
constexpr long kFirstExactLeast = 16;
constexpr long kFirstExactMost = 64;
constexpr long kFirstQuick = 3000;
constexpr long kSecondExactLeast = 256;
constexpr long kSecondExactMost = 2500;
constexpr int kDescents = 2048;
constexpr long kFirstRelaxed = 500;   // the positions of the relaxed search after the first walk
constexpr long kWalkEighths = 2;      // the second walk's share of the budget, in eighths
constexpr long kRelaxedShare = 2;     // the second relaxed search gets half of what is left

}  // namespace

void Nogoods::Clear() {
    entries_.clear();
    for (auto& list : watching_) list.clear();
}

void Nogoods::Add(const Bits& classes, const int8_t* pairing, const int* order) {
    const int size = classes.Count();
    if (size < 2 || size > kMaxSize || entries_.size() >= kMaxCount) return;
    Entry e{};
    e.classes = classes;
    e.size = static_cast<uint8_t>(size);
    int n = 0;
    bool given = true;
    ForEach(classes, [&](int c) {
        e.cls[n] = static_cast<uint8_t>(c);
        e.pairing[n] = pairing[c];
        given = given && pairing[c] >= 0 && pairing[c] < 3;
        ++n;
    });
    if (!given) return;
    // Watched: the two given their pairings last, the first to be taken back by the search.
    const auto when = [&](int k) { return order[e.cls[k]]; };
    e.watch[0] = 0;
    e.watch[1] = 1;
    if (when(1) > when(0)) std::swap(e.watch[0], e.watch[1]);
    for (int k = 2; k < n; ++k) {
        if (when(k) > when(e.watch[0])) {
            e.watch[1] = e.watch[0];
            e.watch[0] = static_cast<uint8_t>(k);
        } else if (when(k) > when(e.watch[1])) {
            e.watch[1] = static_cast<uint8_t>(k);
        }
    }
    const auto id = static_cast<uint32_t>(entries_.size());
    entries_.push_back(e);
    for (int k : {0, 1}) {
        const int other = e.watch[1 - k];
        watching_[e.cls[e.watch[k]] * 3 + e.pairing[e.watch[k]]].push_back({id, e.cls[other], e.pairing[other]});
    }
}

void LostTable::Begin() {
    nogoods.Clear();
    if (++solve_ == 0) {   // the counter wrapped: old stamps could look current
        for (Entry& e : entries_) e.solve = 0;
        solve_ = 1;
    }
}

const Bits* LostTable::Find(const Bits& removed, const Bits& choices, uint64_t hash) const {
    for (int k = 0; k < kProbe; ++k) {
        const Entry& e = entries_[(hash + k) & (kSize - 1)];
        if (e.solve == solve_ && e.removed == removed && e.choices == choices) return &e.because;
    }
    return nullptr;
}

void LostTable::Put(const Bits& removed, const Bits& choices, uint64_t hash, const Bits& because) {
    size_t slot = hash & (kSize - 1);
    for (int k = 0; k < kProbe; ++k) {
        const size_t s = (hash + k) & (kSize - 1);
        if (entries_[s].solve != solve_) {
            slot = s;
            break;
        }
    }
    entries_[slot] = {removed, choices, because, solve_};
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
    if (SomeTileNeverFree(model)) {
        result.verdict = SolveVerdict::NotWinnable;
        result.nodes = 1;
        return result;
    }

    const bool twosAndFours = TwosAndFours(model);
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
    // In turns, each with its share of the positions: the exact search, which proves most lost
    // deals within a few positions; the quick search for a win, which clears most winnable ones
    // (the walk over pairings, or greedy descents on a hand-made board with classes of other
    // sizes); and the search over pairings by the relaxed game, which proves lost within a few
    // hundred positions most deals whose loss lies in a knot of a few classes deep in the board.
    // Short turns first, so that an easy deal of any kind is settled at once. All three keep
    // the combinations of pairings they find to lose in one store, and each uses the others'.
    // The second walk gets a quarter of the positions (or of the time left), the relaxed search
    // half of what is left after it and then everything left: nearly every deal the walk has not
    // won by then is a lost one. A hand-made board ends with the exact search instead.
    const long quickLimit = nodeBudget / 8 * kWalkEighths;
    const long turns[][3] = {
        {std::clamp(nodeBudget / 64, kFirstExactLeast, kFirstExactMost), std::min(quickLimit, kFirstQuick), kFirstRelaxed},
        {std::clamp(nodeBudget / 8, kSecondExactLeast, kSecondExactMost), quickLimit, nodeBudget / kRelaxedShare},
    };
    const auto timeLeft = [&]() { return !state.timed || std::chrono::steady_clock::now() < state.deadline; };
    // Runs `search` with the deadline a share of the time left, when the solve is timed.
    const auto withShare = [&](long num, long den, auto search) {
        const auto deadline = state.deadline;
        if (state.timed) state.deadline = std::chrono::steady_clock::now() + (deadline - std::chrono::steady_clock::now()) * num / den;
        const bool found = search();
        state.deadline = deadline;
        return found;
    };
    bool won = false;
    bool settled = false;
    for (const auto& turn : turns) {
        state.aborted = false;
        state.pathLength = 0;
        state.nodeBudget = std::min(nodeBudget, state.nodes + turn[0]);
        won = exact();
        settled = won || !state.aborted;
        state.nodeBudget = nodeBudget;
        if (settled || state.nodes >= nodeBudget || !timeLeft()) break;
        state.aborted = false;
        state.pathLength = 0;
        const long limit = std::min(turn[1], nodeBudget - state.nodes);
        // What the walk finds to lose holds for the other searches too.
        won = withShare(kWalkEighths, 8, [&]() {
            return twosAndFours ? SearchByPairingWalk(model, state, limit, &tLostTable.nogoods)
                                : SearchByDescents(model, state, limit, kDescents);
        });
        if (won) {
            settled = true;
            break;
        }
        if (!twosAndFours || state.nodes >= nodeBudget) continue;
        const long relaxedLimit = std::min(turn[2], nodeBudget - state.nodes);
        won = withShare(1, kRelaxedShare, [&]() { return SearchByRelaxedGame(model, state, relaxedLimit, tLostTable.nogoods); });
        settled = won || !state.aborted;
        if (settled) break;
    }
    if (!settled && state.nodes < nodeBudget && timeLeft()) {
        state.aborted = false;
        state.pathLength = 0;
        won = twosAndFours ? SearchByRelaxedGame(model, state, nodeBudget - state.nodes, tLostTable.nogoods) : exact();
        settled = won || !state.aborted;
    }
    if (!settled) state.aborted = true;
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
