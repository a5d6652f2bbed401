// Plays every converted layout in the folder named by TOLBEX_FOREIGN_LAYOUTS (made by
// scripts/check_foreign_layouts.sh from other games' files): each loads, deals, offers a hint
// and gives up a few pairs. Skipped when the variable is not set, as in the normal test run.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

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
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        if (entry.path().extension() == ".TXL") files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    ASSERT_FALSE(files.empty());
    int played = 0;
    for (const std::string& file : files) {
        SCOPED_TRACE(file);
        fake::Reset();
        Board = BoardRecord{};
        GameState = GameStateRecord{};
        ASSERT_EQ(LoadLayout(fake::MainWindow(), file.c_str()), 1);
        // A few deals in case one opens with too few pairs to take five off.
        bool fivePairs = false;
        for (int deal = 0; deal < 20 && !fivePairs; ++deal) {
            fake::SetTime(1000 + deal);
            DealTiles();
            UpdateFreeFlags();
            BuildMoveList();
            ASSERT_GT(GameState.moveCount, 0) << "no hint on deal " << deal;
            int pairs = 0;
            while (pairs < 5 && GameState.moveCount > 0) {
                const MovePair m = Board.moves[0];
                const int before = GameState.tilesLeft;
                TryPair(m.first, m.second);
                ASSERT_EQ(GameState.tilesLeft, before - 2);
                ++pairs;
                BuildMoveList();
            }
            fivePairs = pairs == 5;
        }
        EXPECT_TRUE(fivePairs);
        ++played;
    }
    std::printf("played %d converted layouts\n", played);
}

}  // namespace
