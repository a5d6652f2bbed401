// Speed of the rules on full boards: the free flags and the move search on a fresh deal and on
// the worst board (every tile free, 216 open pairs), the deal itself, and a whole won game played
// through clicks. The game needs each rule routine well under 50 us and a deal under 5 ms.
#include <benchmark/benchmark.h>

#include <cstring>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "board/deal.h"
#include "tests/board/test_boards.h"

namespace {

// Depth-first search for a winning order, skipping positions known to be dead ends. The board is
// left as found; the order is empty when none was found within `budget` positions.
class Solver {
public:
    explicit Solver(long budget) : budget_(budget) {}
    std::vector<std::pair<int, int>> Solve() {
        std::vector<std::pair<int, int>> path;
        UpdateFreeFlags();
        return Search(path) ? path : std::vector<std::pair<int, int>>{};
    }

private:
    bool Search(std::vector<std::pair<int, int>>& path) {
        std::string key;
        for (const TileRecord& t : Board.tiles) key += t.face ? '1' : '0';
        if (GameState.tilesLeft == 0 || --budget_ < 0 || dead_.count(key)) return GameState.tilesLeft == 0;
        BuildMoveList();
        for (const MovePair m : std::vector<MovePair>(Board.moves, Board.moves + GameState.moveCount)) {
            RemovePair(m.first, m.second);
            UpdateFreeFlags();
            path.push_back({m.first, m.second});
            const bool won = Search(path);
            UndoMove(nullptr);
            if (won) return true;
            path.pop_back();
        }
        dead_.insert(key);
        return false;
    }
    long budget_;
    std::set<std::string> dead_;
};

constexpr int64_t kWinnableDealTime = 1000003;   // a pyramid deal the solver empties

void PrepareBoard(const std::vector<testboard::Pos>& layout, int64_t dealTime) {
    testboard::ResetAll();
    Settings.soundEffects = 0;   // the fake would keep every sound in its log
    testboard::Build(layout);
    fake::SetTime(dealTime);
    DealTiles();
    UpdateFreeFlags();
}

void BM_UpdateFreeFlags_FreshDeal(benchmark::State& state) {
    PrepareBoard(testboard::PyramidLayout(), kWinnableDealTime);
    for (auto _ : state) {
        UpdateFreeFlags();
        benchmark::DoNotOptimize(Board.tiles[0].free);
    }
}
BENCHMARK(BM_UpdateFreeFlags_FreshDeal);

void BM_UpdateFreeFlags_AllFree(benchmark::State& state) {
    PrepareBoard(testboard::AllFreeLayout(), kWinnableDealTime);
    for (auto _ : state) {
        UpdateFreeFlags();
        benchmark::DoNotOptimize(Board.tiles[0].free);
    }
}
BENCHMARK(BM_UpdateFreeFlags_AllFree);

void BM_BuildMoveList_FreshDeal(benchmark::State& state) {
    PrepareBoard(testboard::PyramidLayout(), kWinnableDealTime);
    for (auto _ : state) {
        BuildMoveList();
        benchmark::DoNotOptimize(GameState.moveCount);
    }
    state.counters["pairs"] = GameState.moveCount;
}
BENCHMARK(BM_BuildMoveList_FreshDeal);

void BM_BuildMoveList_AllFree(benchmark::State& state) {
    PrepareBoard(testboard::AllFreeLayout(), kWinnableDealTime);
    for (auto _ : state) {
        BuildMoveList();
        benchmark::DoNotOptimize(GameState.moveCount);
    }
    state.counters["pairs"] = GameState.moveCount;
}
BENCHMARK(BM_BuildMoveList_AllFree);

void BM_DealTiles(benchmark::State& state) {
    PrepareBoard(testboard::PyramidLayout(), kWinnableDealTime);
    int64_t when = 1000000;
    for (auto _ : state) {
        fake::SetTime(++when % 64 + 1000000);   // a spread of deals, each needing its own draws
        DealTiles();
        benchmark::DoNotOptimize(Board.tiles[0].face);
    }
}
BENCHMARK(BM_DealTiles)->Unit(benchmark::kMicrosecond);

// 144 clicks that win the game, each pair followed by the free-flag update, from the dealt board.
void BM_WholeGameOfClicks(benchmark::State& state) {
    PrepareBoard(testboard::PyramidLayout(), kWinnableDealTime);
    TileRecord dealt[kTileCount];
    uint8_t cells[kLevels][kRows][kCols];
    std::memcpy(dealt, Board.tiles, sizeof dealt);
    std::memcpy(cells, Board.cells, sizeof cells);
    const std::vector<std::pair<int, int>> solution = Solver(20000).Solve();
    if (solution.size() != 72) {
        state.SkipWithError("the solver did not win the fixed deal");
        return;
    }
    std::vector<std::pair<intptr_t, intptr_t>> clicks;
    for (auto [a, b] : solution) clicks.push_back({testboard::CentreOf(a), testboard::CentreOf(b)});

    for (auto _ : state) {
        state.PauseTiming();
        std::memcpy(Board.tiles, dealt, sizeof dealt);
        std::memcpy(Board.cells, cells, sizeof cells);
        GameState.tilesLeft = kTileCount;
        GameState.historyDepth = 0;
        GameState.selected = kNone;
        GameState.won = 0;
        state.ResumeTiming();
        for (auto [first, second] : clicks) {
            ClickTile(first);
            ClickTile(second);
        }
        if (GameState.won != 1) state.SkipWithError("the game was not won");
    }
}
BENCHMARK(BM_WholeGameOfClicks)->Unit(benchmark::kMicrosecond);

}  // namespace
