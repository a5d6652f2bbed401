// Saved games: a save and a load give back every stored field byte for byte and undo still
// reaches the deal; wrong sizes and values out of range are refused with the game untouched.
// (Random and mutated saves, loaded and played: the saved_game fuzz target.)
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "board/click.h"
#include "board/deal.h"
#include "board/layout.h"
#include "board/rules.h"
#include "board/state.h"
#include "persist/savegame.h"
#include "platform/fake/fake.h"
#include "tests/files.h"

namespace {

class SavedGames : public ::testing::Test {
protected:
    void SetUp() override {
        fake::Reset();
        std::memset(&Board, 0, sizeof Board);
        LoadBuiltInLayout();
        DealTiles();
        std::memcpy(dealtCells_, Board.cells, sizeof dealtCells_);
        // Five pairs taken, a tile selected, a chrono, a Top 10 of its own.
        for (int i = 0; i < 6; ++i) {
            UpdateFreeFlags();
            BuildMoveList();
            if (i < 5) TryPair(Board.moves[0].first, Board.moves[0].second);
        }
        GameState.selected = Board.moves[0].first;
        GameState.hours = 1, GameState.minutes = 2, GameState.seconds = 3;
        for (int i = 0; i < 10; ++i) HallOfFame[i] = {"Ann\0left-over bytes", "00:02:00", 60 * i};
        good_ = Save();
    }
    void TearDown() override { std::remove(file_.c_str()); }

    std::string Save() {
        fake::QueueFileAnswer(file_);
        SaveGame(nullptr);
        return testfiles::ReadAll(file_);
    }
    // Loads `image`: true when refused, with `message` and the game untouched.
    bool Refused(const std::string& image, const char* message = "TXM file : incorrect content") {
        testfiles::WriteAll(file_, image);
        const auto snapshot = [] {   // every record a load may touch
            return std::string(reinterpret_cast<const char*>(&Board), sizeof Board) +
                   std::string(reinterpret_cast<const char*>(&GameState), sizeof GameState) +
                   std::string(reinterpret_cast<const char*>(HallOfFame), sizeof HallOfFame);
        };
        const std::string before = snapshot();
        const size_t messages = fake::Messages().size();
        fake::QueueFileAnswer(file_);
        const bool refused = LoadGame(nullptr) == 0;
        EXPECT_EQ(fake::Messages().size(), messages + refused);
        if (!refused) return false;
        EXPECT_EQ(fake::Messages().back().text, message);
        EXPECT_EQ(fake::Messages().back().style, platform::MB_OK | platform::MB_ICONEXCLAMATION);
        EXPECT_TRUE(snapshot() == before) << "a refused file changed the game";
        return true;
    }

    const std::string file_ = "/dev/shm/tolbex-savegame-" + std::to_string(::getpid()) + ".txm";
    std::string good_;
    uint8_t dealtCells_[kLevels][kRows][kCols];
};

TEST_F(SavedGames, SaveThenLoadGivesBackEveryStoredFieldAndUndoReachesTheDeal) {
    ASSERT_EQ(good_.size(), 9453u);
    // A few fields read straight from the bytes: counters, chrono, header, one of each table.
    const int words[] = {134, 5, GameState.selected, 1, 0, 2, 0, 3, 0, Board.width, Board.height, Board.originX,
                         Board.originY};
    for (int k = 0, at = 9415; k < 13; ++k, at += 2)
        EXPECT_EQ(static_cast<int16_t>(uint8_t(good_[at]) | uint8_t(good_[at + 1]) << 8), words[k]) << k;
    EXPECT_EQ(good_[7 * 14 + 8], Board.tiles[7].face);
    EXPECT_EQ(static_cast<uint8_t>(good_[2016 + 2 * 680 + 5 * 34 + 9]), Board.cells[2][5][9]);
    EXPECT_EQ(good_.substr(9035 + 38 * 2, 32), std::string("Ann\0left-over bytes\0\0\0\0" "00:02:00\0", 32));

    // Everything cleared, then the load: saving again gives the same bytes.
    std::memset(&Board, 0, sizeof Board);
    std::memset(HallOfFame, 0, sizeof HallOfFame);
    GameState.paused = GameState.won = GameState.endShown = GameState.hintCursor = 1;
    ASSERT_FALSE(Refused(good_));
    EXPECT_EQ(GameState.paused + GameState.won + GameState.endShown + GameState.hintCursor + !GameState.loadedGame, 0);
    EXPECT_EQ(Save(), good_);
    for (int i = 0; i < 5; ++i) UndoMove(nullptr);
    EXPECT_EQ(GameState.tilesLeft, kTileCount);
    EXPECT_EQ(std::memcmp(Board.cells, dealtCells_, sizeof dealtCells_), 0);
}

TEST_F(SavedGames, WrongSizesAndValuesOutOfRangeAreRefused) {
    EXPECT_TRUE(Refused(good_.substr(0, 9452), "TXM file : incorrect size"));
    EXPECT_TRUE(Refused(good_ + '\0', "TXM file : incorrect size"));
    const TileRecord& t = Board.tiles[GameState.selected];   // a tile on the board
    const size_t tile = GameState.selected * 14u, cell = 2016u + t.level * 680 + t.row * 34 + t.col;
    const size_t gone = Board.history[0].first;
    // Cells naming no tile or the wrong one; face 43, a class five times, free 2, level 5, column 33, x off its cell, a
    // picture off the sheet; a removed tile free; a map mark 2; history naming tile 144, a pair of one tile, an unused
    // entry of face 43; tiles left, depth, selected, hours, seconds, width and origin out of range.
    const std::pair<size_t, std::vector<uint8_t>> cases[] = {
        {cell, {200}}, {cell, {kNone}}, {tile + 8, {43}}, {tile + 8, {uint8_t(t.face % 27 + 1)}}, {tile + 9, {2}},
        {tile + 10, {5}}, {tile + 12, {33}}, {tile, {0, 0x40}}, {tile + 6, {0xE1, 0}}, {gone * 14 + 9, {1}},
        {5416 + 100, {2}}, {8816 + 1, {144}}, {8816 + 2, {uint8_t(gone)}}, {8816 + 3 * 72, {43}}, {9415, {136, 0}},
        {9417, {73, 0}}, {9419, {144, 0}}, {9421, {0xE8, 3, 0, 0}}, {9429, {60, 0, 0, 0}}, {9433, {0, 0}},
        {9437, {0, 0x80}}};
    for (const auto& [at, bytes] : cases) {
        const std::string image = good_.substr(0, at) + std::string(bytes.begin(), bytes.end());
        EXPECT_TRUE(Refused(image + good_.substr(image.size()))) << "at " << at;
    }
}

}  // namespace
