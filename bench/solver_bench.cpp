// Speed of the solver: building its model of a fresh deal, and solving fresh deals of every
// shipped layout (deals at the times 1..100 in turn, each with a 50 ms limit, so that a deal the
// solver cannot settle costs its limit). The distributions over 1000 deals come from
// tolbex_solver_stats (tools/solver_stats.cpp).
#include <benchmark/benchmark.h>

#include <string>

#include "board/deal.h"
#include "board/layout.h"
#include "board/solver.h"
#include "board/solver_model.h"
#include "platform/fake/fake.h"

namespace {

const char* const kLayouts[] = {"LAYOUT1.TXL", "BRIDGE.TXL", "CASTLE.TXL"};

bool Load(int layout) {
    fake::Reset();
    const std::string path = std::string(TOLBEX_SOURCE_DIR "/data/LAYOUTS/") + kLayouts[layout];
    return LoadLayout(nullptr, path.c_str()) == 1;
}

void BM_BuildModel_FreshDeal(benchmark::State& state) {
    if (!Load(0)) return state.SkipWithError("layout");
    fake::SetTime(1);
    DealTiles();
    static solver::Model model;
    for (auto _ : state) {
        solver::BuildModel(Board, model);
        benchmark::DoNotOptimize(model.need[0]);
    }
}
BENCHMARK(BM_BuildModel_FreshDeal)->Unit(benchmark::kMicrosecond);

void BM_Solve_FreshDeals(benchmark::State& state) {
    if (!Load(static_cast<int>(state.range(0)))) return state.SkipWithError("layout");
    state.SetLabel(kLayouts[state.range(0)]);
    int seed = 0;
    for (auto _ : state) {
        state.PauseTiming();
        fake::SetTime(1 + seed++ % 100);
        DealTiles();
        state.ResumeTiming();
        benchmark::DoNotOptimize(SolveBoardTimed(Board, 1L << 40, 50000).verdict);
    }
}
BENCHMARK(BM_Solve_FreshDeals)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(100);

}  // namespace
