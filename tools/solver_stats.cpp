// How long the solver takes on fresh deals: for each layout file given, `count` deals made by
// DealTiles at the times 1..count, each solved with a 50 ms limit. Prints the median, 99th and
// 99.9th percentile and the longest time, the mean number of positions searched, and the shares
// of winnable, not winnable and unknown deals.
// With --winnable-deals: how long DealForPlay takes with "Winnable deals only" on instead.
// --nodes N: a limit of N positions instead of the time limit, to compare searches by their work.
// --first F: the deals at the times F..F+count-1 instead (to look again at a few slow deals).
// Usage: tolbex_solver_stats [--count N] [--first F] [--budget-ms M | --nodes N] [--winnable-deals] <layout.TXL>...
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "board/deal.h"
#include "board/layout.h"
#include "board/solver.h"
#include "board/state.h"
#include "board/winnable.h"
#include "platform/fake/fake.h"

namespace {

double Percentile(std::vector<double> sorted, double p) {
    if (sorted.empty()) return 0;
    const size_t index = std::min(sorted.size() - 1, static_cast<size_t>(p * static_cast<double>(sorted.size())));
    return sorted[index];
}

}  // namespace

int main(int argc, char** argv) {
    int count = 1000;
    int first = 1;
    long nodeLimit = 0;
    long budgetMs = 50;
    bool winnableDeals = false;
    std::vector<const char*> layouts;
    for (int k = 1; k < argc; ++k) {
        if (std::strcmp(argv[k], "--count") == 0 && k + 1 < argc) count = std::atoi(argv[++k]);
        else if (std::strcmp(argv[k], "--nodes") == 0 && k + 1 < argc) nodeLimit = std::atol(argv[++k]);
        else if (std::strcmp(argv[k], "--first") == 0 && k + 1 < argc) first = std::atoi(argv[++k]);
        else if (std::strcmp(argv[k], "--budget-ms") == 0 && k + 1 < argc) budgetMs = std::atol(argv[++k]);
        else if (std::strcmp(argv[k], "--winnable-deals") == 0) winnableDeals = true;
        else layouts.push_back(argv[k]);
    }
    if (layouts.empty() || count < 1) {
        std::fprintf(stderr, "usage: %s [--count N] [--first F] [--budget-ms M | --nodes N] [--winnable-deals] <layout.TXL>...\n", argv[0]);
        return 2;
    }
    std::printf("%-12s %6s %9s %9s %9s %9s %10s %8s %8s %8s\n", "layout", "deals", "median", "p99", "p99.9",
                "max", "nodes", "win", "lost", "unknown");
    for (const char* path : layouts) {
        fake::Reset();
        if (LoadLayout(nullptr, path) != 1) {
            std::fprintf(stderr, "%s: cannot be used\n", path);
            return 1;
        }
        std::vector<double> ms;
        long nodes = 0;
        if (winnableDeals) {
            // How long "Winnable deals only" takes to deal, and how often it gives up.
            Settings.winnableDeals = 1;
            int givenUp = 0;
            for (int seed = 1; seed <= count; ++seed) {
                fake::SetTime(seed);
                const auto start = std::chrono::steady_clock::now();
                givenUp += !DealForPlay();
                const auto stop = std::chrono::steady_clock::now();
                ms.push_back(std::chrono::duration<double, std::milli>(stop - start).count());
            }
            std::sort(ms.begin(), ms.end());
            std::printf("%s: winnable deals: median %.1f ms, p99 %.1f ms, max %.1f ms, given up %d of %d\n", path,
                        Percentile(ms, 0.5), Percentile(ms, 0.99), ms.back(), givenUp, count);
            continue;
        }
        int verdicts[3] = {};
        for (int seed = first; seed < first + count; ++seed) {
            fake::SetTime(seed);
            DealTiles();
            const auto start = std::chrono::steady_clock::now();
            const SolveResult r = nodeLimit > 0 ? SolveBoard(Board, nodeLimit)
                                                : SolveBoardTimed(Board, 1L << 40, budgetMs * 1000);
            const auto stop = std::chrono::steady_clock::now();
            ms.push_back(std::chrono::duration<double, std::milli>(stop - start).count());
            nodes += r.nodes;
            ++verdicts[static_cast<int>(r.verdict)];
            if (std::getenv("TOLBEX_SOLVER_TRACE"))
                std::printf("deal %d: verdict %d nodes %ld %.3f ms\n", seed, static_cast<int>(r.verdict), r.nodes,
                            ms.back());
        }
        std::sort(ms.begin(), ms.end());
        const char* name = std::strrchr(path, '/') ? std::strrchr(path, '/') + 1 : path;
        std::printf("%-12s %6d %7.3fms %7.3fms %7.3fms %7.3fms %10ld %7.1f%% %7.1f%% %7.2f%%\n", name, count,
                    Percentile(ms, 0.5), Percentile(ms, 0.99), Percentile(ms, 0.999), ms.back(), nodes / count,
                    100.0 * verdicts[0] / count, 100.0 * verdicts[1] / count, 100.0 * verdicts[2] / count);
    }
    return 0;
}
