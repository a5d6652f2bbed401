// Plays every converted layout in the folder named by TOLBEX_FOREIGN_LAYOUTS (made by
// scripts/check_foreign_layouts.sh from other games' files): each loads, deals, offers a hint
// and gives up a few pairs. Skipped when the variable is not set, as in the normal test run.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "board/click.h"
#include "board/deal.h"
#include "board/layout.h"
#include "board/rules.h"
#include "board/state.h"
#include "platform/fake/fake.h"

namespace {

TEST(ForeignLayouts, EveryConvertedLayoutDealsHintsAndPlays) {
    const char* dir = std::getenv("TOLBEX_FOREIGN_LAYOUTS");
    if (!dir) GTEST_SKIP() << "TOLBEX_FOREIGN_LAYOUTS names no folder of converted layouts";
    int played = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (entry.path().extension() != ".TXL") continue;
        SCOPED_TRACE(entry.path().string());
        fake::Reset();
        Board = BoardRecord{};
        GameState = GameStateRecord{};
        ASSERT_EQ(LoadLayout(fake::MainWindow(), entry.path().c_str()), 1);
        // A few deals in case one opens with too few pairs to take five off.
        int pairs = 0;
        for (int deal = 0; deal < 20 && pairs < 5; ++deal) {
            fake::SetTime(1000 + deal);
            DealTiles();
            UpdateFreeFlags();
            BuildMoveList();
            ASSERT_GT(GameState.moveCount, 0) << "no hint on deal " << deal;
            for (pairs = 0; pairs < 5 && GameState.moveCount > 0; ++pairs, BuildMoveList()) {
                const int before = GameState.tilesLeft;
                TryPair(Board.moves[0].first, Board.moves[0].second);
                ASSERT_EQ(GameState.tilesLeft, before - 2);
            }
        }
        EXPECT_EQ(pairs, 5);
        ++played;
    }
    ASSERT_GT(played, 0);
    std::printf("played %d converted layouts\n", played);
}

}  // namespace
