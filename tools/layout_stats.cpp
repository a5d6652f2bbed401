// How playable a layout is: deals it a number of times through the game's own loader and dealer
// (the deal clock set to 1, 2, 3, ... seconds, so every run deals the same boards), counts the open
// pairs at the start with the game's move list, and asks the game's solver whether each deal can be
// cleared. Prints one tab-separated line per layout file: the file name, the number of levels,
// the deals found winnable, not winnable and undecided, the deals made, the mean of open pairs.
// Usage: tolbex_layout_stats [--deals N] [--budget NODES] LAYOUT.TXL...
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "board/deal.h"
#include "board/layout.h"
#include "board/rules.h"
#include "board/solver.h"
#include "board/state.h"
#include "platform/fake/fake.h"

namespace {

// The one place that names the search: a board in, a verdict out.
SolveVerdict Decide(const BoardRecord& board, long budget) { return SolveBoard(board, budget).verdict; }

struct Figures {
    int winnable = 0, notWinnable = 0, unknown = 0;
    long openPairs = 0;
    int maxLevel = 0;
};

bool Measure(const char* path, int deals, long budget, Figures& out) {
    fake::Reset();
    if (LoadLayout(nullptr, path) != 1) {
        std::fprintf(stderr, "%s: not a usable layout\n", path);
        return false;
    }
    for (const TileRecord& t : Board.tiles) out.maxLevel = std::max<int>(out.maxLevel, t.level);
    for (int d = 1; d <= deals; ++d) {
        fake::SetTime(d);
        DealTiles();
        UpdateFreeFlags();
        BuildMoveList();
        out.openPairs += GameState.moveCount;
        switch (Decide(Board, budget)) {
            case SolveVerdict::Winnable: ++out.winnable; break;
            case SolveVerdict::NotWinnable: ++out.notWinnable; break;
            case SolveVerdict::Unknown: ++out.unknown; break;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    int deals = 200;
    long budget = 200000;
    int first = 1;
    for (; first + 1 < argc && argv[first][0] == '-'; first += 2) {
        if (std::strcmp(argv[first], "--deals") == 0) deals = std::max(1, std::atoi(argv[first + 1]));
        else if (std::strcmp(argv[first], "--budget") == 0) budget = std::max(1L, std::atol(argv[first + 1]));
        else break;
    }
    if (first >= argc) {
        std::fprintf(stderr, "usage: %s [--deals N] [--budget NODES] LAYOUT.TXL...\n", argv[0]);
        return 2;
    }
    bool ok = true;
    for (int i = first; i < argc; ++i) {
        Figures f;
        if (!Measure(argv[i], deals, budget, f)) {
            ok = false;
            continue;
        }
        std::string file = argv[i];
        file = file.substr(file.find_last_of('/') + 1);
        std::printf("%s\t%d\t%d\t%d\t%d\t%d\t%.2f\n", file.c_str(), f.maxLevel + 1, f.winnable, f.notWinnable,
                    f.unknown, deals, static_cast<double>(f.openPairs) / deals);
        std::fflush(stdout);
    }
    return ok ? 0 : 1;
}
