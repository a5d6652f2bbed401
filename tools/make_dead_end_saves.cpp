// Makes two saved games for the end-to-end test of the dead-end warning, through the game's own
// routines on the default layout of a home directory:
//   <lost.TXM>  a deal that the solver proves lost from the start (a kind buried under its own);
//   <trap.TXM>  a winnable position, a few pairs into a winnable deal, in which one open pair
//               makes the game lost while one undo brings it back.
// It prints where to click that careless pair, in board pixels: "CLICK ax ay bx by".
// Usage: tolbex_make_dead_end_saves <home-dir> <lost.TXM> <trap.TXM>
#include <cstdio>
#include <cstring>
#include <string>

#include "board/click.h"
#include "board/deal.h"
#include "board/home.h"
#include "board/layout.h"
#include "board/rules.h"
#include "board/solver.h"
#include "board/state.h"
#include "persist/halloffame.h"
#include "persist/savegame.h"
#include "platform/fake/fake.h"

namespace {

constexpr long kBudget = 100000;

// The middle of a tile's face, clear of `other`.
void ClickPoint(int t, int& x, int& y) {
    x = Board.tiles[t].x + 23;
    y = Board.tiles[t].y + 20;
}

bool Save(const char* path) {
    GameState.selected = kNone;
    GameState.hours = 0;
    GameState.minutes = 1;
    GameState.seconds = 0;
    for (int i = 0; i < 10; ++i) {
        std::snprintf(HallOfFame[i].name, sizeof HallOfFame[i].name, "Tolbex");
        FormatTime(0, 5 + i, 0, HallOfFame[i].timeText);
        HallOfFame[i].seconds = 300 + 60 * i;
    }
    fake::QueueFileAnswer(std::string(path));
    SaveGame(fake::MainWindow());
    return fake::Messages().empty();
}

void NewDeal(long long time) {
    fake::SetTime(time);
    RestartGame(fake::MainWindow());
    DealTiles();
    UpdateFreeFlags();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s <home-dir> <lost.TXM> <trap.TXM>\n", argv[0]);
        return 2;
    }
    fake::Reset();
    fake::SetCurrentDirectory(argv[1]);
    std::snprintf(startDir, sizeof startDir, "%s", argv[1]);
    char layout[kPathSize];
    HomePath(layout, sizeof layout, kDefaultLayout);
    if (LoadLayout(fake::MainWindow(), layout) != 1) {
        std::fprintf(stderr, "cannot load the layout %s\n", layout);
        return 1;
    }

    // A deal lost from the start, proved at once (a kind that can never be paired).
    long long time = 1000000;
    for (;; ++time) {
        NewDeal(time);
        const SolveResult r = SolveBoard(Board, kBudget);
        if (r.verdict == SolveVerdict::NotWinnable && r.nodes <= 1) break;
    }
    if (!Save(argv[2])) return 1;

    // A winnable deal played along its winning sequence until one open pair would lose it.
    for (++time;; ++time) {
        NewDeal(time);
        SolveResult r = SolveBoard(Board, kBudget);
        if (r.verdict != SolveVerdict::Winnable) continue;
        for (int step = 0; step < r.pairCount && step < 30; ++step) {
            BuildMoveList();
            const int moves = GameState.moveCount;
            MovePair list[kMoveCapacity];
            std::memcpy(list, Board.moves, sizeof list);
            for (int k = 0; k < moves; ++k) {
                RemovePair(list[k].first, list[k].second);
                UpdateFreeFlags();
                const SolveVerdict after = SolveBoard(Board, kBudget).verdict;
                UndoMove(fake::MainWindow());
                if (after != SolveVerdict::NotWinnable) continue;
                if (!Save(argv[3])) return 1;
                int ax, ay, bx, by;
                ClickPoint(list[k].first, ax, ay);
                ClickPoint(list[k].second, bx, by);
                std::printf("CLICK %d %d %d %d\n", ax, ay, bx, by);
                std::printf("SIZE %d %d\n", Board.width, Board.height);
                return 0;
            }
            TryPair(r.pairs[step].first, r.pairs[step].second);
        }
    }
}
