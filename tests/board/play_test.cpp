// Clicks, pairs and undo as the player meets them: the hit area of a tile to the pixel, the
// selection and its sounds, undo, and a whole game won through real clicks and taken back.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "board/deal.h"
#include "tests/board/test_boards.h"

namespace {

using testboard::At;
using testboard::Build;
using testboard::CentreOf;

class Play : public ::testing::Test {
protected:
    void SetUp() override { testboard::ResetAll(); }
    // The sounds played since the last call.
    std::vector<std::string> NewSounds() {
        std::vector<std::string> all = fake::SoundsPlayed();
        std::vector<std::string> fresh(all.begin() + static_cast<long>(seen_), all.end());
        seen_ = all.size();
        return fresh;
    }
    size_t seen_ = 0;
};

using SoundList = std::vector<std::string>;

TEST_F(Play, HitAreaIsTheFaceWithoutItsLeftColumnAndTopRow) {
    Build({{0, 2, 2}});
    UpdateFreeFlags();
    const int t = At(0, 2, 2);
    const int x = Board.tiles[t].x, y = Board.tiles[t].y;
    ASSERT_EQ(x, 36);
    ASSERT_EQ(y, 60);
    struct Case {
        int px, py;
        bool hit;
    } cases[] = {
        {x + 5, y + 20, false},   // left-most column of the face
        {x + 6, y + 20, true},
        {x + 40, y + 20, true},   // right-most column
        {x + 41, y + 20, false},
        {x + 20, y, false},       // top row
        {x + 20, y + 1, true},
        {x + 20, y + 39, true},   // bottom row
        {x + 20, y + 40, false},  // the strip below the face
        {x + 2, y + 20, false},   // the side strip to the left
    };
    for (const Case& c : cases) {
        GameState.selected = kNone;
        ClickTile(platform::MakePointParam(c.px, c.py));
        EXPECT_EQ(GameState.selected, c.hit ? t : kNone) << c.px << "," << c.py;
        EXPECT_EQ(NewSounds(), SoundList{c.hit ? "click.wav" : "bad.wav"}) << c.px << "," << c.py;
    }
}

TEST_F(Play, TheTileDrawnOnTopTakesTheClick) {
    // Two neighbours: the left strip of the right tile lies over the face of the left one.
    Build({{0, 2, 2}, {0, 2, 4}, {0, 8, 2}, {1, 8, 2}});
    UpdateFreeFlags();
    const int left = At(0, 2, 2), right = At(0, 2, 4);
    ClickTile(platform::MakePointParam(Board.tiles[right].x + 2, Board.tiles[right].y + 10));
    EXPECT_EQ(GameState.selected, left);

    // A tile one level up, shifted 5 right and 5 up: where both faces lie the upper one is hit;
    // the visible bottom-left part of the lower one hits the lower tile, which is covered.
    const int lower = At(0, 8, 2), upper = At(1, 8, 2);
    ASSERT_GT(upper, lower);
    GameState.selected = kNone;
    NewSounds();
    ClickTile(platform::MakePointParam(Board.tiles[lower].x + 20, Board.tiles[lower].y + 20));
    EXPECT_EQ(GameState.selected, upper);
    GameState.selected = kNone;
    ClickTile(platform::MakePointParam(Board.tiles[lower].x + 7, Board.tiles[lower].y + 38));
    EXPECT_EQ(GameState.selected, kNone);
    EXPECT_EQ(NewSounds(), (SoundList{"click.wav", "bad.wav"}));
}

TEST_F(Play, ClickPointsAreSignedSixteenBitValues) {
    Board.originX = -40;
    Board.originY = -30;
    Build({{0, 0, 0}});
    UpdateFreeFlags();
    const int t = At(0, 0, 0);
    ASSERT_EQ(Board.tiles[t].x, -40);
    ASSERT_EQ(Board.tiles[t].y, -30);
    ClickTile(platform::MakePointParam(-3, -5));
    EXPECT_EQ(GameState.selected, t);
}

TEST_F(Play, SelectionFollowsTheClicksWithTheirSounds) {
    // a, b: a free pair; c: free, another face; d: covered by e.
    Build({{0, 0, 0}, {0, 0, 10}, {0, 0, 20}, {0, 6, 6}, {1, 6, 6}});
    const int a = At(0, 0, 0), b = At(0, 0, 10), c = At(0, 0, 20), d = At(0, 6, 6), e = At(1, 6, 6);
    Board.tiles[a].face = Board.tiles[b].face = 5;
    Board.tiles[c].face = 6;
    Board.tiles[d].face = 7;
    Board.tiles[e].face = 8;
    UpdateFreeFlags();
    const intptr_t nowhere = platform::MakePointParam(500, 380);
    // The bottom-left corner of d's face, which e above leaves visible.
    const intptr_t visibleD = platform::MakePointParam(Board.tiles[d].x + 8, Board.tiles[d].y + 38);

    ClickTile(nowhere);
    EXPECT_EQ(GameState.selected, kNone);
    ClickTile(visibleD);   // covered
    EXPECT_EQ(GameState.selected, kNone);
    EXPECT_EQ(NewSounds(), (SoundList{"bad.wav", "bad.wav"}));

    ClickTile(CentreOf(a));
    EXPECT_EQ(GameState.selected, a);
    ClickTile(CentreOf(a));   // the selected tile again: dropped
    EXPECT_EQ(GameState.selected, kNone);
    ClickTile(CentreOf(a));
    ClickTile(CentreOf(c));   // another free face: the selection moves
    EXPECT_EQ(GameState.selected, c);
    EXPECT_EQ(NewSounds(), (SoundList{"click.wav", "click.wav", "click.wav", "click.wav"}));

    ClickTile(visibleD);   // a covered tile as second click
    EXPECT_EQ(GameState.selected, kNone);
    ClickTile(CentreOf(c));
    ClickTile(nowhere);
    EXPECT_EQ(GameState.selected, kNone);
    EXPECT_EQ(NewSounds(), (SoundList{"bad.wav", "click.wav", "bad.wav"}));

    const int16_t before = GameState.tilesLeft;
    ClickTile(CentreOf(a));
    ClickTile(CentreOf(b));
    EXPECT_EQ(GameState.selected, kNone);
    EXPECT_EQ(GameState.tilesLeft, before - 2);
    EXPECT_EQ(Board.tiles[a].face, 0);
    EXPECT_EQ(Board.tiles[b].free, 0);
    EXPECT_EQ(Board.cells[0][0][0], kNone);
    EXPECT_EQ(Board.cells[0][1][11], kNone);
    EXPECT_EQ(GameState.historyDepth, 1);
    EXPECT_EQ(Board.history[0].face, 5);
    EXPECT_EQ(Board.history[0].first, a);
    EXPECT_EQ(Board.history[0].second, b);
    EXPECT_EQ(NewSounds(), (SoundList{"click.wav", "pair.wav"}));
    EXPECT_EQ(GameState.won, 0);

    // With the option off nothing is played.
    Settings.soundEffects = 0;
    ClickTile(nowhere);
    ClickTile(CentreOf(c));
    EXPECT_EQ(GameState.selected, c);
    EXPECT_TRUE(NewSounds().empty());
}

TEST_F(Play, UndoPutsAPairBackWithTheFirstFaceAndKeepsTheSelection) {
    // x lies under y; y pairs with z (one class, two faces); w is free and matches nothing.
    Build({{0, 6, 6}, {1, 6, 6}, {0, 0, 0}, {0, 0, 20}});
    const int x = At(0, 6, 6), y = At(1, 6, 6), z = At(0, 0, 0), w = At(0, 0, 20);
    Board.tiles[x].face = 1;
    Board.tiles[y].face = 29;
    Board.tiles[z].face = 31;
    Board.tiles[w].face = 2;
    Board.tiles[y].sheetX = 41;
    Board.tiles[z].sheetX = 123;
    UpdateFreeFlags();

    UndoMove(nullptr);
    ASSERT_EQ(fake::Messages().size(), 1u);
    EXPECT_EQ(fake::Messages()[0].text, "No more moves");
    EXPECT_EQ(fake::Messages()[0].caption, "Tolbex");
    EXPECT_EQ(fake::Messages()[0].style, platform::MB_OK | platform::MB_ICONINFORMATION);
    EXPECT_EQ(GameState.historyDepth, 0);

    ClickTile(CentreOf(y));
    ClickTile(CentreOf(z));
    ASSERT_EQ(GameState.historyDepth, 1);
    EXPECT_EQ(Board.tiles[x].free, 1);
    ClickTile(CentreOf(x));
    ASSERT_EQ(GameState.selected, x);
    GameState.minutes = 3;

    UndoMove(nullptr);
    EXPECT_EQ(fake::Messages().size(), 1u);
    EXPECT_EQ(GameState.historyDepth, 0);
    EXPECT_EQ(GameState.tilesLeft, 4);
    EXPECT_EQ(Board.tiles[y].face, 29);
    EXPECT_EQ(Board.tiles[z].face, 29);   // the first tile's face on both
    EXPECT_EQ(Board.tiles[y].sheetX, 41);   // each keeps its picture
    EXPECT_EQ(Board.tiles[z].sheetX, 123);
    EXPECT_EQ(Board.cells[1][7][7], y);
    EXPECT_EQ(Board.cells[0][1][1], z);
    EXPECT_EQ(Board.tiles[x].free, 0);
    EXPECT_EQ(GameState.selected, x);       // covered again, still selected
    EXPECT_EQ(GameState.minutes, 3);
    EXPECT_TRUE(TilesMatch(y, z));

    // The next click on a free tile moves the selection there: x matches nothing now.
    ClickTile(CentreOf(w));
    EXPECT_EQ(GameState.selected, w);
}

// A deal on the pyramid that the solver below empties; found once by trying times in turn.
constexpr int64_t kWinnableDealTime = 1000003;

TEST_F(Play, AWholeGameIsWonThroughClicksAndTakenBackToTheDeal) {
    ASSERT_EQ(Build(testboard::PyramidLayout()), kTileCount);
    fake::SetTime(kWinnableDealTime);
    DealTiles();
    UpdateFreeFlags();
    TileRecord dealt[kTileCount];
    uint8_t cells[kLevels][kRows][kCols];
    std::memcpy(dealt, Board.tiles, sizeof dealt);
    std::memcpy(cells, Board.cells, sizeof cells);

    const auto solution = testboard::Solver(20000).Solve();
    ASSERT_EQ(solution.size(), 72u) << "the fixed deal is no longer won by the solver";
    ASSERT_EQ(GameState.tilesLeft, kTileCount);
    ASSERT_EQ(std::memcmp(Board.cells, cells, sizeof cells), 0) << "the solver left the board changed";
    // The solver's undos may have renumbered faces within a class; play the deal itself.
    std::memcpy(Board.tiles, dealt, sizeof dealt);

    for (size_t i = 0; i < solution.size(); ++i) {
        auto [a, b] = solution[i];
        if (i + 1 == solution.size()) {
            GameState.hours = 0;
            GameState.minutes = 12;
            GameState.seconds = 34;
            std::strcpy(GameState.chronoText, "00:12:34");
        }
        ClickTile(CentreOf(a));
        ASSERT_EQ(GameState.selected, a) << "pair " << i;
        ClickTile(CentreOf(b));
        ASSERT_EQ(GameState.tilesLeft, kTileCount - 2 * static_cast<int>(i + 1)) << "pair " << i;
        ASSERT_EQ(GameState.won, i + 1 == solution.size() ? 1 : 0);
    }
    EXPECT_EQ(GameState.tilesLeft, 0);
    EXPECT_EQ(GameState.historyDepth, 72);
    EXPECT_EQ(HallOfFame[10].seconds, 12 * 60 + 34);
    EXPECT_STREQ(HallOfFame[10].timeText, "00:12:34");
    for (int t = 0; t < kTileCount; ++t) EXPECT_EQ(Board.tiles[t].face, 0);
    for (int l = 0; l < kLevels; ++l)
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c) ASSERT_EQ(Board.cells[l][r][c], kNone);
    EXPECT_TRUE(fake::Messages().empty());

    for (int i = 0; i < 72; ++i) UndoMove(nullptr);
    EXPECT_TRUE(fake::Messages().empty());
    EXPECT_EQ(GameState.tilesLeft, kTileCount);
    EXPECT_EQ(GameState.won, 1);   // undo leaves the game won: the chrono stays stopped
    EXPECT_EQ(std::memcmp(Board.cells, cells, sizeof cells), 0);
    for (int t = 0; t < kTileCount; ++t) {
        // Faces come back as the first tile of each pair had it; the class stays.
        const int dealtFace = dealt[t].face, face = Board.tiles[t].face;
        if (dealtFace >= 28 && dealtFace <= 35)
            EXPECT_EQ((face - 28) / 4, (dealtFace - 28) / 4) << t;
        else
            EXPECT_EQ(face, dealtFace) << t;
        EXPECT_EQ(Board.tiles[t].sheetX, dealt[t].sheetX);
        EXPECT_EQ(Board.tiles[t].free, dealt[t].free) << t;
    }
    UndoMove(nullptr);
    ASSERT_EQ(fake::Messages().size(), 1u);
    EXPECT_EQ(fake::Messages()[0].text, "No more moves");
}

}  // namespace
