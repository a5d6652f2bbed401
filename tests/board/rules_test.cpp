// The rules on hand-built boards (free tiles, matching, the move list behind Hint), dealing, and
// a whole game won through clicks at real pixel points, taken back and restarted.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "board/deal.h"
#include "tests/board/test_boards.h"

namespace {

using namespace testboard;

struct Rules : ::testing::Test {
    void SetUp() override { ResetAll(); }
};

TEST_F(Rules, FreeTilesOnHandBuiltBoards) {
    const std::pair<std::vector<Pos>, std::vector<int>> cases[] = {   // tiles, their free flags
        {{{0, 2, 2}, {1, 3, 3}, {0, 2, 10}, {1, 1, 9}}, {0, 1, 0, 1}},           // half a tile above
        {{{0, 2, 2}, {1, 2, 2}, {0, 2, 10}, {2, 2, 10}}, {0, 1, 1, 1}},          // a level skipped covers nothing
        {{{0, 8, 4}, {0, 8, 6}, {1, 8, 2}}, {1, 1, 1}},                          // beside on another level
        {{{0, 6, 6}, {1, 6, 6}, {2, 6, 6}, {3, 6, 6}, {4, 6, 6}}, {0, 0, 0, 0, 1}},   // a stack of five
        {{{0, 2, 4}, {0, 2, 6}, {0, 3, 2}, {0, 8, 4}, {0, 8, 6}, {0, 7, 2}}, {0, 1, 1, 0, 1, 1}},   // half a tile beside
        {{{0, 2, 0}, {0, 2, 2}, {0, 2, 5}, {0, 2, 7}, {0, 6, 0}, {0, 6, 2}, {0, 6, 4}, {0, 6, 6}},   // an empty column
         {1, 1, 1, 1, 1, 0, 0, 1}},
        {{{0, 0, 0}, {0, 0, 2}, {0, 0, 30}, {0, 0, 32}, {0, 18, 28}, {0, 18, 30}, {0, 18, 32}, {4, 18, 32}, {3, 10, 0}},
         {1, 1, 1, 1, 1, 0, 1, 1, 1}},                                          // grid edges
    };
    for (const auto& [tiles, expected] : cases) {
        Build(tiles);
        UpdateFreeFlags();
        std::vector<int> free;
        for (const Pos& p : tiles) free.push_back(Board.tiles[Board.cells[p.level][p.row][p.col]].free);
        EXPECT_EQ(free, expected);
    }
}

TEST_F(Rules, FacesMatchWithinTheirClassAndOnlyWhenBothAreFree) {
    // Faces 28-31 and 32-35 are classes of four different faces; every other face matches only itself.
    const int cases[][3] = {{5, 5, 1}, {5, 6, 0}, {27, 28, 0}, {28, 31, 1}, {31, 32, 0}, {32, 35, 1}, {35, 36, 0}, {42, 42, 1}};
    Board.tiles[0].free = Board.tiles[1].free = 1;
    for (const auto& [a, b, match] : cases) {
        Board.tiles[0].face = static_cast<int8_t>(a), Board.tiles[1].face = static_cast<int8_t>(b);
        EXPECT_TRUE(TilesMatch(0, 1) == (match == 1) && TilesMatch(1, 0) == (match == 1)) << a << " " << b;
    }
    Board.tiles[1].free = 0;
    EXPECT_FALSE(TilesMatch(0, 1) || TilesMatch(0, 0));
}

// Every open pair once, in the order comparing every two free tiles gives; 216 when all are free.
TEST_F(Rules, MoveListHoldsEveryOpenPairOnceInOrder) {
    for (int round = 0; round < 4; ++round) {
        Build(round == 0 ? AllFreeLayout() : PyramidLayout());
        fake::SetTime(1000 + round * 777);
        DealTiles();
        UpdateFreeFlags();
        GameState.hintCursor = 9;
        BuildMoveList();
        std::vector<std::pair<int, int>> expected, listed;
        for (int a = 0; a < kTileCount; ++a)
            for (int b = a + 1; b < kTileCount; ++b)
                if (TilesMatch(a, b)) expected.push_back({a, b});
        for (int i = 0; i < GameState.moveCount; ++i) listed.push_back({Board.moves[i].first, Board.moves[i].second});
        EXPECT_EQ(listed, expected) << "round " << round;
        EXPECT_TRUE(GameState.hintCursor == 0 && (round > 0 || GameState.moveCount == 216));
    }
    Build(AllFreeLayout(), 9);   // one face everywhere: only a damaged saved game
    UpdateFreeFlags();
    BuildMoveList();
    EXPECT_EQ(GameState.moveCount, kMoveCapacity);
}

std::vector<int> Faces() {
    std::vector<int> faces;
    for (const TileRecord& t : Board.tiles) faces.push_back(t.face);
    return faces;
}

TEST_F(Rules, DealsHoldAFullSetAndRepeatWithinOneSecond) {
    Build(PyramidLayout());
    for (int64_t when : {1, 86400, 2000000000}) {
        fake::SetTime(when);
        DealTiles();
        const std::vector<int> dealt = Faces();
        for (int face = 1; face <= 42; ++face) EXPECT_EQ(std::count(dealt.begin(), dealt.end(), face), face >= 28 && face <= 35 ? 1 : 4);
        DealTiles();
        EXPECT_EQ(Faces(), dealt) << "two deals in one second differ";
        fake::SetTime(when + 1);
        DealTiles();
        EXPECT_NE(Faces(), dealt);
    }
}

// A game taking the first pair of the hint list each time: a click that takes nothing keeps the
// list and its cursor, a pair or an undo drops both so that the next Hint searches afresh.
TEST_F(Rules, AWholeGameIsWonThroughClicksTakenBackAndRestarted) {
    ASSERT_EQ(Build(PyramidLayout()), kTileCount);
    fake::SetTime(22);   // a deal that taking the first open pair every time wins
    GameState = {4, 10, 67, 3, 5, 1, 5, 12, 0, "00:12:34", 1, 1, 1, 0, ""};   // what a deal resets
    DealTiles();
    UpdateFreeFlags();
    const BoardRecord dealt = Board;
    auto play = [](int pairs) {
        for (int i = 0; i < pairs; ++i) {
            BuildMoveList();
            ASSERT_GT(GameState.moveCount, 0) << "no pair left after " << i;
            const MovePair m = Board.moves[0];
            GameState.hintCursor = 1;
            ClickTile(platform::MakePointParam(630, 420));   // nothing there
            ClickTile(CentreOf(m.first));
            ASSERT_TRUE(GameState.selected == m.first && GameState.moveCount > 0 && GameState.hintCursor == 1) << i;
            ClickTile(CentreOf(m.second));
            ASSERT_TRUE(GameState.selected == kNone && GameState.moveCount == 0 && GameState.hintCursor == 0 &&
                        GameState.tilesLeft == kTileCount - 2 * (i + 1) && GameState.won == (i == 71)) << i;
        }
    };
    auto expectDealtBoard = [&dealt] {
        EXPECT_TRUE(GameState.tilesLeft == kTileCount && GameState.historyDepth == 0 &&
                    std::memcmp(Board.cells, dealt.cells, sizeof Board.cells) == 0);
        // Undo gives both tiles the first one's face: a four-face class keeps only its class.
        auto kind = [](int face) { return face >= 28 && face <= 35 ? 100 + (face - 28) / 4 : face; };
        for (int t = 0; t < kTileCount; ++t) {
            const TileRecord &now = Board.tiles[t], &was = dealt.tiles[t];
            EXPECT_TRUE(kind(now.face) == kind(was.face) && now.sheetX == was.sheetX && now.free == was.free) << t;
        }
    };
    GameState.minutes = 12, GameState.seconds = 34;   // the chrono text is the tick's, untouched by a deal
    play(72);
    EXPECT_TRUE(HallOfFame[10].seconds == 12 * 60 + 34 && std::string(HallOfFame[10].timeText) == "00:12:34");
    BuildMoveList();   // an empty list starts with the none marker
    EXPECT_TRUE(GameState.moveCount == 0 && Board.moves[0].first == kNone && Board.moves[0].second == kNone);
    EXPECT_TRUE(Faces() == std::vector<int>(kTileCount, 0) &&
                std::count(&Board.cells[0][0][0], &Board.cells[0][0][0] + sizeof Board.cells, kNone) == sizeof Board.cells);
    for (int i = 0; i < 72; ++i) {
        GameState.moveCount = GameState.hintCursor = 1;
        UndoMove(nullptr);
        ASSERT_TRUE(GameState.moveCount == 0 && GameState.hintCursor == 0);
    }
    EXPECT_TRUE(fake::Messages().empty() && GameState.won == 1);   // the chrono stays stopped
    expectDealtBoard();
    UndoMove(nullptr);
    EXPECT_TRUE(fake::Messages().size() == 1 && fake::Messages()[0].text == "No more moves");

    GameState.won = 0;   // a restart takes back every pair and zeroes the chrono and the end of the game
    play(20);
    GameState.hours = GameState.won = GameState.endShown = GameState.paused = 1;
    RestartGame(nullptr);
    expectDealtBoard();
    EXPECT_TRUE(GameState.hours + GameState.minutes + GameState.seconds + GameState.won + GameState.endShown == 0 &&
                GameState.paused == 1 && fake::Messages().size() == 1u);
}

}  // namespace
