// The free-tile rule on hand-built boards, the matching classes, the list of open pairs behind
// Hint, and where each face's picture lies in the tile sheet.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "board/deal.h"
#include "board/faces.h"
#include "tests/board/test_boards.h"

namespace {

using testboard::At;
using testboard::Build;

// Builds a board of these positions (every tile of one face) and gives their free flags in order.
std::vector<int> FreeOf(const std::vector<testboard::Pos>& positions) {
    testboard::ResetAll();
    Build(positions);
    UpdateFreeFlags();
    std::vector<int> free;
    for (const testboard::Pos& p : positions) free.push_back(Board.tiles[At(p.level, p.row, p.col)].free);
    return free;
}
using Flags = std::vector<int>;

TEST(FreeTiles, OnlyTheLevelDirectlyAboveCovers) {
    // Half a tile offset above, touching one of the four cells, covers.
    EXPECT_EQ(FreeOf({{0, 2, 2}, {1, 3, 3}}), (Flags{0, 1}));
    EXPECT_EQ(FreeOf({{0, 2, 2}, {1, 1, 1}}), (Flags{0, 1}));
    // Straight above covers; two levels up over an empty level does not.
    EXPECT_EQ(FreeOf({{0, 2, 2}, {1, 2, 2}, {0, 2, 10}, {2, 2, 10}}), (Flags{0, 1, 1, 1}));
    EXPECT_EQ(FreeOf({{0, 6, 6}, {1, 6, 6}, {2, 6, 6}, {3, 6, 6}, {4, 6, 6}}), (Flags{0, 0, 0, 0, 1}));
}

TEST(FreeTiles, SidesCloseOnAnyOverlapAndOpenAcrossAHalfTileGap) {
    // Right neighbour beside, left neighbour half a tile lower, then half a tile higher: closed.
    EXPECT_EQ(FreeOf({{0, 2, 4}, {0, 2, 6}, {0, 3, 2}}), (Flags{0, 1, 1}));
    EXPECT_EQ(FreeOf({{0, 2, 4}, {0, 2, 6}, {0, 1, 2}}), (Flags{0, 1, 1}));
    // One empty column between two tiles leaves both facing sides open; without it both close.
    EXPECT_EQ(FreeOf({{0, 2, 0}, {0, 2, 2}, {0, 2, 5}, {0, 2, 7}}), (Flags{1, 1, 1, 1}));
    EXPECT_EQ(FreeOf({{0, 2, 0}, {0, 2, 2}, {0, 2, 4}, {0, 2, 6}}), (Flags{1, 0, 0, 1}));
    // A tile beside on another level neither covers nor closes.
    EXPECT_EQ(FreeOf({{0, 4, 4}, {0, 4, 6}, {1, 4, 2}}), (Flags{1, 1, 1}));
}

TEST(FreeTiles, GridEdgesCountAsOpen) {
    EXPECT_EQ(FreeOf({{0, 0, 0}, {0, 0, 2}, {0, 0, 30}, {0, 0, 32}}), (Flags{1, 1, 1, 1}));
    EXPECT_EQ(FreeOf({{0, 18, 28}, {0, 18, 30}, {0, 18, 32}, {4, 18, 32}, {3, 10, 0}}), (Flags{1, 0, 1, 1, 1}));
}

TEST(FreeTiles, RemovedTilesAreNeverFreeAndOpenTheirNeighbours) {
    EXPECT_EQ(FreeOf({{0, 2, 0}, {0, 2, 2}, {0, 2, 4}, {1, 2, 2}}), (Flags{1, 0, 1, 1}));
    RemovePair(At(1, 2, 2), At(0, 2, 4));
    UpdateFreeFlags();
    EXPECT_EQ(Board.tiles[At(0, 2, 2)].free, 1);
        for (int t = 0; t < kTileCount; ++t)
        EXPECT_EQ(Board.tiles[t].free, static_cast<int>(t == At(0, 2, 0) || t == At(0, 2, 2))) << t;
}

TEST(Matching, FacesMatchWithinTheirClassOnlyAndBothTilesMustBeFree) {
    testboard::ResetAll();
    struct Case {
        int faceA, faceB;
        bool match;
    } cases[] = {{5, 5, true},    {5, 6, false},   {28, 31, true},  {29, 30, true}, {31, 32, false},
                 {32, 35, true},  {33, 34, true},  {35, 36, false}, {36, 37, false}, {42, 42, true},
                 {27, 28, false}, {9, 10, false}};
    for (const Case& c : cases) {
        Board.tiles[0] = {};
        Board.tiles[1] = {};
        Board.tiles[0].face = static_cast<int8_t>(c.faceA);
        Board.tiles[1].face = static_cast<int8_t>(c.faceB);
        Board.tiles[0].free = Board.tiles[1].free = 1;
        EXPECT_EQ(TilesMatch(0, 1), c.match) << c.faceA << " " << c.faceB;
        EXPECT_EQ(TilesMatch(1, 0), c.match) << c.faceA << " " << c.faceB;
    }
    Board.tiles[0].face = Board.tiles[1].face = 7;
    EXPECT_FALSE(TilesMatch(0, 0));   // a tile never matches itself
    Board.tiles[1].free = 0;
    EXPECT_FALSE(TilesMatch(0, 1));
    EXPECT_FALSE(TilesMatch(0, kNone));
}

class MoveList : public ::testing::Test {
protected:
    void SetUp() override { testboard::ResetAll(); }
};

TEST_F(MoveList, HoldsEveryOpenPairOnceInOrderOnTheBoardWhereEveryTileIsFree) {
    ASSERT_EQ(Build(testboard::AllFreeLayout()), kTileCount);
    fake::SetTime(5000);
    DealTiles();
    UpdateFreeFlags();
    for (int t = 0; t < kTileCount; ++t) ASSERT_EQ(Board.tiles[t].free, 1) << t;
    GameState.hintCursor = 9;
    BuildMoveList();
    // 34 faces four times give 6 pairs each, and each four-face class 6 more: 216.
    EXPECT_EQ(GameState.moveCount, 216);
    EXPECT_EQ(GameState.hintCursor, 0);
    std::set<std::pair<int, int>> seen;
    for (int i = 0; i < GameState.moveCount; ++i) {
        const MovePair m = Board.moves[i];
        EXPECT_LT(m.first, m.second);
        EXPECT_TRUE(TilesMatch(m.first, m.second));
        EXPECT_TRUE(seen.insert({m.first, m.second}).second) << "pair listed twice";
        if (i > 0) {
            EXPECT_LT(std::make_pair(Board.moves[i - 1].first, Board.moves[i - 1].second),
                      std::make_pair(m.first, m.second));
        }
    }
}

TEST_F(MoveList, ABoardOfOneFaceFillsTheListWithoutOverrunningIt) {
    // Not a full set (only a damaged saved game could hold it): 10296 open pairs, 216 kept.
    ASSERT_EQ(Build(testboard::AllFreeLayout(), 9), kTileCount);
    UpdateFreeFlags();
    BuildMoveList();
    EXPECT_EQ(GameState.moveCount, kMoveCapacity);
    // Entries 0..142 pair tile 0 with 1..143; entries 143..215 pair tile 1 with 2..74.
    EXPECT_EQ(Board.moves[kMoveCapacity - 1].first, 1);
    EXPECT_EQ(Board.moves[kMoveCapacity - 1].second, 74);
}

TEST_F(MoveList, MatchesABruteForceSearchOnADealtPyramid) {
    Build(testboard::PyramidLayout());
    for (int64_t when : {100, 2000, 777777}) {
        fake::SetTime(when);
        DealTiles();
        UpdateFreeFlags();
        BuildMoveList();
        std::vector<std::pair<int, int>> expected;
        for (int a = 0; a < kTileCount; ++a)
            for (int b = 0; b < kTileCount; ++b)
                if (a < b && TilesMatch(a, b)) expected.push_back({a, b});
        ASSERT_EQ(GameState.moveCount, static_cast<int>(expected.size()));
        for (size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(Board.moves[i].first, expected[i].first);
            EXPECT_EQ(Board.moves[i].second, expected[i].second);
        }
    }
}

TEST_F(MoveList, EmptyListHoldsTheNoneMarker) {
    Build({{0, 0, 0}, {0, 0, 10}, {0, 4, 4}});
    Board.tiles[At(0, 0, 0)].face = 3;
    Board.tiles[At(0, 0, 10)].face = 4;
    Board.tiles[At(0, 4, 4)].face = 28;
    UpdateFreeFlags();
    Board.moves[0] = {1, 2};
    GameState.moveCount = 5;
    GameState.hintCursor = 3;
    BuildMoveList();
    EXPECT_EQ(GameState.moveCount, 0);
    EXPECT_EQ(GameState.hintCursor, 0);
    EXPECT_EQ(Board.moves[0].first, kNone);
    EXPECT_EQ(Board.moves[0].second, kNone);
}

// The board's part of the hint: clicks that take nothing keep the list and the cursor; taking a
// pair or undoing one drops them, so the next Hint searches the changed board afresh.
TEST_F(MoveList, ListSurvivesIdleClicksAndIsDroppedByEveryChange) {
    Build({{0, 0, 0}, {0, 0, 10}, {0, 0, 20}, {0, 6, 0}});
    const int a = At(0, 0, 0), b = At(0, 0, 10), c = At(0, 0, 20), d = At(0, 6, 0);
    Board.tiles[a].face = Board.tiles[b].face = 1;
    Board.tiles[c].face = Board.tiles[d].face = 2;
    UpdateFreeFlags();
    BuildMoveList();
    ASSERT_EQ(GameState.moveCount, 2);
    GameState.hintCursor = 1;   // one pair has been shown

    ClickTile(platform::MakePointParam(600, 400));   // nothing there
    ClickTile(testboard::CentreOf(a));
    ClickTile(testboard::CentreOf(c));               // selection moves, nothing taken
    EXPECT_EQ(GameState.moveCount, 2);
    EXPECT_EQ(GameState.hintCursor, 1);

    ClickTile(testboard::CentreOf(d));               // c and d leave the board
    EXPECT_EQ(GameState.moveCount, 0);
    EXPECT_EQ(GameState.hintCursor, 0);
    BuildMoveList();
    EXPECT_EQ(GameState.moveCount, 1);
    GameState.hintCursor = 1;
    UndoMove(nullptr);
    EXPECT_EQ(GameState.moveCount, 0);
    EXPECT_EQ(GameState.hintCursor, 0);
}

TEST(FaceSheet, EachFaceHasItsCellAndOthersGiveTheOrigin) {
    struct Case {
        int face, x, y;
    } cases[] = {{1, 0, 0},    {9, 328, 0},   {10, 0, 45},  {18, 328, 45}, {19, 0, 90},
                 {27, 328, 90}, {28, 0, 135}, {35, 287, 135}, {36, 0, 180}, {42, 246, 180},
                 {0, 0, 0},    {43, 0, 0},    {-1, 0, 0},   {250, 0, 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(FaceSheetX(static_cast<int16_t>(c.face)), c.x) << c.face;
        EXPECT_EQ(FaceSheetY(static_cast<int16_t>(c.face)), c.y) << c.face;
    }
}

}  // namespace
