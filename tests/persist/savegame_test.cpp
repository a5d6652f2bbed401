// Saved games: a save and a load give back every stored field byte for byte; files of the wrong
// size or with any value out of range are refused and leave the game as it was; thousands of
// random and mutated files never lead outside a table.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "board/deal.h"
#include "persist/halloffame.h"
#include "persist/savegame.h"
#include "tests/board/test_boards.h"

namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
void WriteBytes(const fs::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}
int Word(const std::string& image, size_t offset) {
    return static_cast<int16_t>(static_cast<uint8_t>(image[offset]) | (static_cast<uint8_t>(image[offset + 1]) << 8));
}
int Long(const std::string& image, size_t offset) {
    uint32_t v = 0;
    for (int b = 3; b >= 0; --b) v = (v << 8) | static_cast<uint8_t>(image[offset + b]);
    return static_cast<int32_t>(v);
}

// Every record a load may touch, as bytes.
std::string Snapshot() {
    std::string s;
    s.append(reinterpret_cast<const char*>(&Board), sizeof Board);
    s.append(reinterpret_cast<const char*>(&GameState), sizeof GameState);
    s.append(reinterpret_cast<const char*>(HallOfFame), sizeof HallOfFame);
    return s;
}

class SavedGames : public ::testing::Test {
protected:
    void SetUp() override {
        testboard::ResetAll();
        // Thousands of files are written here: a memory file system when there is one.
        const fs::path base = fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
        dir_ = base / ("tolbex-savegame-" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        std::strcpy(startDir, dir_.c_str());
        ASSERT_EQ(testboard::Build(testboard::PyramidLayout()), kTileCount);
        const int16_t reserved[6] = {280, 0, 580, 0, 0, 0};
        std::memcpy(Board.reserved, reserved, sizeof reserved);
        fake::SetTime(1000003);
        DealTiles();
        UpdateFreeFlags();
        std::memcpy(dealtCells_, Board.cells, sizeof dealtCells_);
        // Five pairs taken through clicks, a tile selected, a chrono, a Top 10 of its own.
        for (int i = 0; i < 5; ++i) {
            BuildMoveList();
            ClickTile(testboard::CentreOf(Board.moves[0].first));
            ClickTile(testboard::CentreOf(Board.moves[0].second));
        }
        BuildMoveList();
        ClickTile(testboard::CentreOf(Board.moves[0].first));
        GameState.hours = 1;
        GameState.minutes = 2;
        GameState.seconds = 3;
        for (int i = 0; i < 10; ++i) {
            std::memcpy(HallOfFame[i].name, "Ann\0left-over bytes", 20);
            std::snprintf(HallOfFame[i].timeText, sizeof HallOfFame[i].timeText, "00:0%d:00", i);
            HallOfFame[i].seconds = 60 * i;
        }
        fake::Reset();
    }
    void TearDown() override { fs::remove_all(dir_); }

    // Saves the current game to `name` and returns the file's bytes.
    std::string Save(const std::string& name) {
        fake::QueueFileAnswer((dir_ / name).string());
        SaveGame(nullptr);
        return ReadBytes(dir_ / name);
    }
    int16_t Load(const std::string& name) {
        fake::QueueFileAnswer((dir_ / name).string());
        return LoadGame(nullptr);
    }
    // Loads `image` and expects it refused for its content with the game untouched.
    void ExpectRefused(const std::string& image, const char* what) {
        WriteBytes(dir_ / "bad.txm", image);
        const std::string before = Snapshot();
        const size_t messages = fake::Messages().size();
        EXPECT_EQ(Load("bad.txm"), 0) << what;
        ASSERT_EQ(fake::Messages().size(), messages + 1) << what;
        EXPECT_EQ(fake::Messages().back().text, "TXM file : incorrect content") << what;
        EXPECT_EQ(fake::Messages().back().style, platform::MB_OK | platform::MB_ICONEXCLAMATION);
        EXPECT_TRUE(Snapshot() == before) << what << ": the game changed";
    }

    fs::path dir_;
    uint8_t dealtCells_[kLevels][kRows][kCols];
};

TEST_F(SavedGames, SaveThenLoadGivesBackEveryStoredField) {
    const int selected = GameState.selected;
    ASSERT_NE(selected, kNone);
    const std::string image = Save("game.txm");
    ASSERT_EQ(image.size(), 9453u);
    ASSERT_EQ(fake::FileDialogs().size(), 1u);
    const fake::FileDialogRecord& save = fake::FileDialogs()[0];
    EXPECT_TRUE(save.save);
    EXPECT_EQ(save.filterName, "TXM files (*.txm)");
    EXPECT_EQ(save.filterPattern, "*.txm");
    EXPECT_FALSE(save.allFilesFilter);
    EXPECT_EQ(save.filterIndex, 0);
    EXPECT_EQ(save.initialDir, dir_.string());
    EXPECT_EQ(save.title, "");
    EXPECT_EQ(save.defExt, "TXM");
    EXPECT_EQ(save.flags, platform::OFN_OVERWRITEPROMPT | platform::OFN_SHOWHELP);

    // The blocks at their offsets, read straight from the bytes.
    EXPECT_EQ(Word(image, 9415), 134);   // tiles left, history depth, selected
    EXPECT_EQ(Word(image, 9417), 5);
    EXPECT_EQ(Word(image, 9419), selected);
    EXPECT_EQ(Long(image, 9421), 1);     // hours, minutes, seconds
    EXPECT_EQ(Long(image, 9429), 3);
    EXPECT_EQ(Word(image, 9433), 637);   // the layout header
    EXPECT_EQ(Word(image, 9439), 20);
    EXPECT_EQ(Word(image, 9445), 580);
    EXPECT_EQ(Word(image, 7 * 14), Board.tiles[7].x);
    EXPECT_EQ(static_cast<int8_t>(image[7 * 14 + 8]), Board.tiles[7].face);
    EXPECT_EQ(static_cast<uint8_t>(image[7 * 14 + 12]), Board.tiles[7].col);
    EXPECT_EQ(static_cast<uint8_t>(image[2016 + 2 * 680 + 5 * 34 + 9]), Board.cells[2][5][9]);
    EXPECT_EQ(static_cast<uint8_t>(image[5416 + 4 * 34]), Board.layoutMap[0][4][0]);
    EXPECT_EQ(static_cast<uint8_t>(image[8816 + 3 * 4 + 2]), Board.history[4].second);
    EXPECT_EQ(image.substr(9035 + 38 * 2, 20), std::string("Ann\0left-over bytes", 20));
    EXPECT_EQ(image.substr(9035 + 38 * 2 + 23, 9), std::string("00:02:00\0", 9));
    EXPECT_EQ(Long(image, 9035 + 38 * 9 + 34), 540);

    // Another game in between, then the load.
    fake::SetTime(5);
    DealTiles();
    UpdateFreeFlags();
    GameState.paused = GameState.won = GameState.endShown = 1;
    GameState.hintCursor = 2;
    GameState.moveCount = 3;
    std::memset(HallOfFame, 0, sizeof HallOfFame);
    ASSERT_EQ(Load("game.txm"), 1);
    EXPECT_TRUE(fake::Messages().empty());
    const fake::FileDialogRecord& load = fake::FileDialogs()[1];
    EXPECT_FALSE(load.save);
    EXPECT_EQ(load.filterIndex, 1);
    EXPECT_EQ(load.filterPattern, "*.txm");
    EXPECT_EQ(load.initialDir, dir_.string());
    EXPECT_EQ(load.defExt, "TXM");
    EXPECT_EQ(load.flags, platform::OFN_PATHMUSTEXIST | platform::OFN_FILEMUSTEXIST | platform::OFN_SHOWHELP);
    EXPECT_EQ(GameState.selected, selected);
    EXPECT_EQ(GameState.loadedGame, 1);
    EXPECT_EQ(GameState.paused + GameState.won + GameState.endShown, 0);
    EXPECT_EQ(GameState.hintCursor + GameState.moveCount, 0);

    // Every stored field came back: saving again gives the same bytes. Undo still reaches the deal.
    EXPECT_EQ(Save("again.txm"), image);
    for (int i = 0; i < 5; ++i) UndoMove(nullptr);
    EXPECT_EQ(GameState.tilesLeft, kTileCount);
    EXPECT_EQ(std::memcmp(Board.cells, dealtCells_, sizeof dealtCells_), 0);
    EXPECT_TRUE(fake::Messages().empty());
    UndoMove(nullptr);
    EXPECT_EQ(fake::Messages().back().text, "No more moves");
}

TEST_F(SavedGames, WrongSizesMissingFilesAndCancelsChangeNothing) {
    const std::string image = Save("game.txm");
    const std::string before = Snapshot();
    for (const std::string& bytes : {image.substr(0, 9452), image + '\0', std::string()}) {
        WriteBytes(dir_ / "sized.txm", bytes);
        EXPECT_EQ(Load("sized.txm"), 0);
        EXPECT_EQ(fake::Messages().back().text, "TXM file : incorrect size");
        EXPECT_EQ(fake::Messages().back().style, platform::MB_OK | platform::MB_ICONEXCLAMATION);
    }
    EXPECT_EQ(fake::Messages().size(), 3u);

    const std::string missing = (dir_ / "none.txm").string();
    fake::QueueFileAnswer(missing);
    EXPECT_EQ(LoadGame(nullptr), 0);
    EXPECT_EQ(fake::Messages().back().text, missing + " : read error");

    fake::QueueFileAnswer(std::nullopt);
    EXPECT_EQ(LoadGame(nullptr), 0);
    EXPECT_EQ(fake::Messages().size(), 4u);
    EXPECT_TRUE(Snapshot() == before);

    fake::QueueFileAnswer(std::nullopt);
    SaveGame(nullptr);
    EXPECT_EQ(fake::Messages().size(), 4u);
    const std::string unwritable = (dir_ / "no-folder" / "x.txm").string();
    fake::QueueFileAnswer(unwritable);
    SaveGame(nullptr);
    EXPECT_EQ(fake::Messages().back().text, unwritable + " : write error");
    EXPECT_EQ(fake::Messages().back().style, platform::MB_OK | platform::MB_ICONEXCLAMATION);
    EXPECT_TRUE(Snapshot() == before);
}

TEST_F(SavedGames, AnyValueOutOfRangeIsRefused) {
    const std::string good = Save("game.txm");
    const int selected = GameState.selected;
    auto with = [&](size_t offset, std::initializer_list<uint8_t> bytes) {
        std::string image = good;
        for (uint8_t b : bytes) image[offset++] = static_cast<char>(b);
        return image;
    };
    // A tile that is on the board, one that was removed, and the first history entry.
    int onBoard = 0;
    while (Board.tiles[onBoard].face == 0) ++onBoard;
    const size_t tile = static_cast<size_t>(onBoard) * 14;
    const int removed = Board.history[0].first;
    const size_t cell = 2016 + Board.tiles[onBoard].level * 680 + Board.tiles[onBoard].row * 34 + Board.tiles[onBoard].col;

    ExpectRefused(with(cell, {200}), "a cell naming no tile");
    ExpectRefused(with(cell, {kNone}), "a cell emptied under a tile on the board");
    ExpectRefused(with(tile + 8, {43}), "face 43");
    ExpectRefused(with(tile + 8, {0xFF}), "face -1");
    ExpectRefused(with(tile + 8, {static_cast<uint8_t>(Board.tiles[onBoard].face % 27 + 1)}), "a face too many");
    ExpectRefused(with(tile + 9, {2}), "free 2");
    ExpectRefused(with(static_cast<size_t>(removed) * 14 + 9, {1}), "a removed tile free");
    ExpectRefused(with(tile + 10, {5}), "level 5");
    ExpectRefused(with(tile + 11, {19}), "row 19");
    ExpectRefused(with(tile + 12, {33}), "column 33");
    ExpectRefused(with(tile + 0, {0x00, 0x40}), "x off its cell");
    ExpectRefused(with(tile + 4, {5, 0}), "a picture outside the sheet grid");
    ExpectRefused(with(tile + 6, {0xE1, 0}), "a picture below the sheet");
    ExpectRefused(with(5416 + 100, {2}), "a layout mark of 2");
    ExpectRefused(with(8816 + 1, {144}), "a history entry naming tile 144");
    ExpectRefused(with(8816 + 2, {Board.history[0].first}), "a pair of one tile");
    ExpectRefused(with(8816 + 0, {0}), "a history entry without a face");
    ExpectRefused(with(8816 + 3 * 72, {43}), "an unused entry with face 43");
    ExpectRefused(with(8816 + 3 * 72 + 1, {251}), "an unused entry naming tile 251");
    ExpectRefused(with(9415, {136, 0}), "tiles left disagreeing with the history");
    ExpectRefused(with(9415, {0xFF, 0xFF}), "tiles left -1");
    ExpectRefused(with(9417, {73, 0}), "history depth 73");
    ExpectRefused(with(9417, {0xFF, 0xFF}), "history depth -1");
    ExpectRefused(with(9417, {6, 0}), "history depth naming a tile on the board");
    ExpectRefused(with(9419, {144, 0}), "selected 144");
    ExpectRefused(with(9419, {0xFF, 0xFF}), "selected -1");
    ExpectRefused(with(9421, {0xFF, 0xFF, 0xFF, 0xFF}), "hours -1");
    ExpectRefused(with(9421, {0xE8, 0x03, 0, 0}), "hours 1000");
    ExpectRefused(with(9425, {0, 0, 1, 0}), "minutes 65536");
    ExpectRefused(with(9429, {60, 0, 0, 0}), "seconds 60");
    ExpectRefused(with(9433, {0, 0}), "width 0");
    ExpectRefused(with(9435, {0x00, 0x80}), "height -32768");
    ExpectRefused(with(9433, {0x01, 0x08}), "width 2049");
    ExpectRefused(with(9437, {0x00, 0x80}), "origin far outside");

    // Values in range are taken as they stand.
    EXPECT_EQ(selected, GameState.selected);
    std::string fine = with(9419, {kNone, 0});
    fine = fine.substr(0, 9035) + std::string(380, 'Z') + fine.substr(9415);
    WriteBytes(dir_ / "fine.txm", fine);
    ASSERT_EQ(Load("fine.txm"), 1);
    EXPECT_EQ(GameState.selected, kNone);
    EXPECT_EQ(std::string(HallOfFame[0].name), std::string(22, 'Z'));
    EXPECT_EQ(std::string(HallOfFame[9].timeText), std::string(9, 'Z'));
}

// Plays a little on whatever was loaded: every routine that reads the loaded records.
void Exercise() {
    UpdateFreeFlags();
    BuildMoveList();
    for (int t = 0; t < kTileCount; t += 13) ClickTile(testboard::CentreOf(t));
    ClickTile(platform::MakePointParam(-1, -1));
    if (GameState.moveCount > 0) {
        ClickTile(testboard::CentreOf(Board.moves[0].first));
        ClickTile(testboard::CentreOf(Board.moves[0].second));
    }
    RestartGame(nullptr);
    ASSERT_EQ(GameState.tilesLeft, kTileCount);
}

TEST_F(SavedGames, RandomAndMutatedFilesAreRefusedOrPlayable) {
    const std::string good = Save("game.txm");
    std::mt19937 random(20261205);
    int loaded = 0, refused = 0;
    auto attempt = [&](const std::string& image) {
        WriteBytes(dir_ / "fuzz.txm", image);
        const std::string before = Snapshot();
        const size_t messages = fake::Messages().size();
        if (Load("fuzz.txm") == 1) {
            ++loaded;
            ASSERT_EQ(fake::Messages().size(), messages);
            Exercise();
        } else {
            ++refused;
            ASSERT_EQ(fake::Messages().size(), messages + 1);
            ASSERT_EQ(fake::Messages().back().text, "TXM file : incorrect content");
            ASSERT_TRUE(Snapshot() == before);
        }
    };

    // Noise of the right size.
    std::string image(kSavedGameSize, '\0');
    for (int n = 0; n < 500; ++n) {
        for (char& c : image) c = static_cast<char>(random());
        attempt(image);
        if (HasFatalFailure()) return;
    }
    // A valid game with one byte changed, at every offset.
    for (size_t offset = 0; offset < good.size(); ++offset) {
        image = good;
        image[offset] = static_cast<char>(image[offset] ^ (1 + random() % 255));
        attempt(image);
        if (HasFatalFailure()) return;
    }
    // A valid game with a few bytes set to small values, where range checks bite.
    for (int n = 0; n < 1500; ++n) {
        image = good;
        for (int k = 0; k < 3; ++k) image[random() % good.size()] = static_cast<char>(random() % 4 == 0 ? 250 : random() % 40);
        attempt(image);
        if (HasFatalFailure()) return;
    }
    // Accepted: changes to the Top 10, the unused byte of each tile, the header's reserved words,
    // history entries past the depth, and the free flags that stay 0 or 1.
    EXPECT_GT(loaded, 500);
    EXPECT_GT(refused, 9000);
}

}  // namespace
