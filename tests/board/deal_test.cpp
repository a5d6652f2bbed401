// Dealing and restarting: the deal follows the reseeded draw sequence, holds a full set, resets
// the game, and a restart brings back the dealt board with the chrono at zero.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <map>

#include "board/deal.h"
#include "board/faces.h"
#include "tests/board/test_boards.h"

namespace {

std::vector<int> Faces() {
    std::vector<int> faces;
    for (const TileRecord& t : Board.tiles) faces.push_back(t.face);
    return faces;
}

class Deal : public ::testing::Test {
protected:
    void SetUp() override {
        testboard::ResetAll();
        ASSERT_EQ(testboard::Build(testboard::PyramidLayout()), kTileCount);
    }
};

TEST_F(Deal, FollowsTheOrderInWhichOneSeededSequenceFirstReachesEachSlot) {
    const int64_t when = 1234567;
    fake::SetTime(when);
    std::srand(99);   // whatever the generator held before does not matter
    DealTiles();

    // Independently: walk one sequence from the seed and note each slot's first visit.
    std::srand(static_cast<unsigned>(when));
    std::vector<int> order;
    bool seen[kTileCount] = {};
    while (order.size() < static_cast<size_t>(kTileCount)) {
        const int r = std::rand() % kTileCount;
        if (!seen[r]) {
            seen[r] = true;
            order.push_back(r);
        }
    }
    for (int k = 0; k < kTileCount; ++k) {
        const TileRecord& t = Board.tiles[order[k]];
        EXPECT_EQ(t.face, kDealTable[k]) << "entry " << k;
        EXPECT_EQ(t.sheetX, FaceSheetX(kDealTable[k]));
        EXPECT_EQ(t.sheetY, FaceSheetY(kDealTable[k]));
    }
    EXPECT_EQ(kDealTable[144], 0);

    const std::vector<int> first = Faces();
    DealTiles();
    EXPECT_EQ(Faces(), first) << "two deals in one second differ";
    fake::SetTime(when + 1);
    DealTiles();
    EXPECT_NE(Faces(), first);
}

TEST_F(Deal, HoldsAFullSetOnEverySlot) {
    for (int64_t when : {0, 1, 86400, 2000000000}) {
        fake::SetTime(when);
        DealTiles();
        std::map<int, int> count;
        for (const TileRecord& t : Board.tiles) ++count[t.face];
        EXPECT_EQ(count.count(0), 0u);
        for (int face = 1; face <= 42; ++face)
            EXPECT_EQ(count[face], face >= 28 && face <= 35 ? 1 : 4) << "face " << face << " at " << when;
    }
}

TEST_F(Deal, ResetsTheGameButNotTheLayout) {
    uint8_t cells[kLevels][kRows][kCols];
    std::memcpy(cells, Board.cells, sizeof cells);
    const TileRecord before = Board.tiles[77];
    GameState = {4, 10, 67, 3, 5, 1, 5, 6, 7, "07:06:05", 1, 1, 1, 0, ""};
    DealTiles();
    const GameStateRecord& g = GameState;
    EXPECT_EQ(g.selected, kNone);
    EXPECT_EQ(g.tilesLeft, kTileCount);
    EXPECT_EQ(g.historyDepth + g.hintCursor + g.moveCount + g.loadedGame, 0);
    EXPECT_EQ(g.seconds + g.minutes + g.hours, 0);
    EXPECT_EQ(g.paused + g.won + g.endShown, 0);   // the shell drops the Pause checkmark
    EXPECT_STREQ(g.chronoText, "07:06:05");        // renewed by the next tick, not here
    EXPECT_EQ(std::memcmp(Board.cells, cells, sizeof cells), 0);
    EXPECT_EQ(Board.tiles[77].x, before.x);
    EXPECT_EQ(Board.tiles[77].y, before.y);
    EXPECT_EQ(Board.tiles[77].level, before.level);
}

TEST_F(Deal, RestartBringsBackTheDealAndZeroesTheChrono) {
    fake::SetTime(424242);
    DealTiles();
    UpdateFreeFlags();
    TileRecord dealt[kTileCount];
    std::memcpy(dealt, Board.tiles, sizeof dealt);

    // Restart with nothing taken: the board stays, the chrono and the end flags are zeroed.
    GameState.minutes = 4;
    GameState.won = GameState.endShown = 1;
    GameState.selected = 3;
    RestartGame(nullptr);
    EXPECT_EQ(std::memcmp(Board.tiles, dealt, sizeof dealt), 0);
    EXPECT_EQ(GameState.minutes, 0);
    EXPECT_EQ(GameState.won + GameState.endShown, 0);
    EXPECT_EQ(GameState.selected, kNone);

    // Take every open pair a few times over, then restart.
    for (int round = 0; round < 5; ++round) {
        BuildMoveList();
        if (GameState.moveCount == 0) break;
        const MovePair m = Board.moves[0];
        ClickTile(testboard::CentreOf(m.first));
        ClickTile(testboard::CentreOf(m.second));
    }
    ASSERT_GT(GameState.historyDepth, 0);
    GameState.hours = 1;
    GameState.seconds = 9;
    GameState.paused = 1;
    GameState.loadedGame = 1;
    RestartGame(nullptr);
    EXPECT_EQ(GameState.historyDepth, 0);
    EXPECT_EQ(GameState.tilesLeft, kTileCount);
    EXPECT_EQ(GameState.hours + GameState.minutes + GameState.seconds, 0);
    EXPECT_EQ(GameState.paused, 1);
    EXPECT_EQ(GameState.loadedGame, 1);
    EXPECT_TRUE(fake::Messages().empty());
    for (int t = 0; t < kTileCount; ++t) {
        EXPECT_EQ(Board.tiles[t].sheetX, dealt[t].sheetX);
        EXPECT_EQ(Board.tiles[t].sheetY, dealt[t].sheetY);
        EXPECT_EQ(Board.tiles[t].free, dealt[t].free);
        EXPECT_NE(Board.tiles[t].face, 0);
    }
}

}  // namespace
