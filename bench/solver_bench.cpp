// Speed of the solver: building its model of a fresh deal, and solving fresh deals of every
// shipped layout (every .TXL of data/LAYOUTS, deals at the times 1..100 in turn, each with a
// 50 ms limit, so that a deal the solver cannot settle costs its limit). The distributions over 1000 deals come from
// tolbex_solver_stats (tools/solver_stats.cpp).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "board/deal.h"
#include "board/layout.h"
#include "board/solver.h"
#include "board/solver_model.h"
#include "platform/fake/fake.h"

namespace {

bool Load(const std::string& name) {
    fake::Reset();
    const std::string path = std::string(TOLBEX_SOURCE_DIR "/data/LAYOUTS/") + name;
    return LoadLayout(nullptr, path.c_str()) == 1;
}

void BM_BuildModel_FreshDeal(benchmark::State& state) {
    if (!Load("LAYOUT1.TXL")) return state.SkipWithError("layout");
    fake::SetTime(1);
    DealTiles();
    static solver::Model model;
    for (auto _ : state) {
        solver::BuildModel(Board, model);
        benchmark::DoNotOptimize(model.need[0]);
    }
}
BENCHMARK(BM_BuildModel_FreshDeal)->Unit(benchmark::kMicrosecond);

void SolveFreshDeals(benchmark::State& state, const std::string& name) {
    if (!Load(name)) return state.SkipWithError("layout");
    int seed = 0;
    for (auto _ : state) {
        state.PauseTiming();
        fake::SetTime(1 + seed++ % 100);
        DealTiles();
        state.ResumeTiming();
        benchmark::DoNotOptimize(SolveBoardTimed(Board, 1L << 40, 50000).verdict);
    }
}

// One benchmark per shipped layout, in the order of their names.
const bool registered = [] {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(TOLBEX_SOURCE_DIR "/data/LAYOUTS"))
        if (entry.path().extension() == ".TXL") names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    for (const std::string& name : names)
        benchmark::RegisterBenchmark(("BM_Solve_FreshDeals/" + name).c_str(),
                                     [name](benchmark::State& state) { SolveFreshDeals(state, name); })
            ->Unit(benchmark::kMillisecond)
            ->Iterations(100);
    return true;
}();

}  // namespace
