// The solver's entry: builds the model of the board, picks the search that fits its classes and
// hands back the verdict with the winning sequence. The pieces: solver_model (free tiles, what
// lies above what), solver_pairs (the search over pairings, for every board of a game),
// solver_moves (the search over moves, for hand-made boards with larger or odd classes),
// solver_walk (a quick walk over pairings that finds most winning sequences), solver_descents
// (greedy descents, the quick search of hand-made boards).
#include "board/solver.h"

#include <algorithm>

#include "board/solver_search.h"

namespace solver {

namespace {

thread_local LostTable tLostTable;
thread_local Model tModel;
// The positions of the turns of the exact search and of the quick search before the last exact
// one: a share of the budget within these bounds.
constexpr long kFirstExactLeast = 16;
constexpr long kFirstExactMost = 64;
constexpr long kFirstQuick = 3000;
constexpr long kSecondExactLeast = 256;
constexpr long kSecondExactMost = 2500;
constexpr int kDescents = 2048;
constexpr long kFirstCore = 500;   // the positions of the core check after the first walk
constexpr long kWalkEighths = 3;   // the second walk's share of the budget, in eighths
constexpr long kCoreShare = 4;     // the second core check gets a quarter of the budget

thread_local LostTable tCoreTable;
thread_local Model tCoreModel;

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

bool CoreLost(const BoardRecord& board, const Model& model, const Bits& core, SearchState& state, long limit) {
    Bits kept;
    ForEach(core, [&](int t) { kept = kept | model.classMembers[model.tiles[t].cls]; });
    const Bits loose = model.present.Minus(kept);
    Model& relaxed = tCoreModel;
    BuildModel(board, relaxed, &loose);
    if (!relaxed.sound) return false;
    if (SomeTileNeverFree(relaxed)) return true;
    SearchState sub;
    sub.nodeBudget = limit;
    sub.timed = state.timed;
    if (sub.timed) {
        const auto now = std::chrono::steady_clock::now();
        sub.deadline = now + (state.deadline - now) / kCoreShare;
    }
    tCoreTable.Begin();
    const bool won = SearchByPairings(relaxed, tCoreTable, sub);
    state.nodes += sub.nodes;
    return !won && !sub.aborted;
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
    // In turns, each with its share of the positions: the exact search, which proves most lost
    // deals within a few positions, and the quick search for a win, which clears most winnable
    // ones (the walk over pairings, or greedy descents on a hand-made board with classes of
    // other sizes). Short turns first, so that an easy deal of either kind is settled at once;
    // the last turn is the exact search with everything left, keeping the lost positions found
    // and trying first the pairing that the walk got furthest with. After each walk, the
    // classes of the tiles left where it got furthest are checked on their own, every other
    // tile leaving as soon as it is free: that proves lost some deals the exact search cannot
    // settle in minutes. The second walk gets three eighths of the positions (or of the time
    // left), its check a quarter: since the walk keeps what made its plays stick, the deals
    // still unknown at the end are nearly all lost ones that the exact search proves later.
    const long quickLimit = nodeBudget / 8 * kWalkEighths;
    const long turns[][3] = {
        {std::clamp(nodeBudget / 64, kFirstExactLeast, kFirstExactMost), std::min(quickLimit, kFirstQuick), kFirstCore},
        {std::clamp(nodeBudget / 8, kSecondExactLeast, kSecondExactMost), quickLimit, nodeBudget / kCoreShare},
    };
    bool won = false;
    bool lost = false;
    bool settled = false;
    for (const auto& turn : turns) {
        state.aborted = false;
        state.pathLength = 0;
        state.nodeBudget = std::min(nodeBudget, state.nodes + turn[0]);
        won = exact();
        settled = won || !state.aborted;
        state.nodeBudget = nodeBudget;
        if (settled || state.nodes >= nodeBudget || (state.timed && std::chrono::steady_clock::now() > state.deadline))
            break;
        state.aborted = false;
        state.pathLength = 0;
        const auto deadline = state.deadline;
        if (state.timed) state.deadline = std::chrono::steady_clock::now() + (deadline - std::chrono::steady_clock::now()) * kWalkEighths / 8;
        const long limit = std::min(turn[1], nodeBudget - state.nodes);
        // What the walk finds to lose holds for the exact search too.
        won = twosAndFours ? SearchByPairingWalk(model, state, limit, &tLostTable.nogoods)
                           : SearchByDescents(model, state, limit, kDescents);
        state.deadline = deadline;
        if (won) {
            settled = true;
            break;
        }
        // The classes of the tiles left where the walk got furthest, the others left loose.
        if (twosAndFours && !state.furthestLeft.Empty() && state.nodes < nodeBudget) {
            lost = CoreLost(board, model, state.furthestLeft, state, std::min(turn[2], nodeBudget - state.nodes));
            if (lost) {
                settled = true;
                break;
            }
        }
    }
    if (!settled && state.nodes < nodeBudget && (!state.timed || std::chrono::steady_clock::now() < state.deadline)) {
        state.aborted = false;
        state.pathLength = 0;
        won = exact();
        settled = won || !state.aborted;
    }
    if (!settled) state.aborted = true;
    result.nodes = state.nodes;
    if (won) {
        result.verdict = SolveVerdict::Winnable;
        result.pairCount = state.pathLength;
        for (int k = 0; k < state.pathLength; ++k) result.pairs[k] = state.path[k];
    } else if (lost || !state.aborted) {
        result.verdict = SolveVerdict::NotWinnable;
    }
    return result;
}

SolveResult SolveBoard(const BoardRecord& board, long nodeBudget) { return SolveBoardTimed(board, nodeBudget, 0); }
