// The Top 10: the time formatter, the scores file (defaults, wrong size, texts without a NUL,
// unwritable), the ranking of a new time with its dialogs and messages, and the quicksort.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "board/state.h"
#include "persist/halloffame.h"
#include "platform/fake/fake.h"
#include "resources/ids.h"

namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const fs::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

class TopTen : public ::testing::Test {
protected:
    void SetUp() override {
        fake::Reset();
        std::memset(HallOfFame, 0, sizeof HallOfFame);
        std::memset(&GameState, 0, sizeof GameState);
        std::memset(playerName, 0, sizeof playerName);
        hallOfFameDirty = 0;
        dir_ = fs::temp_directory_path() / ("tolbex-topten-" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        scores_ = dir_ / "LAYOUT1.txs";
        std::strcpy(GameState.scoresPath, scores_.c_str());
    }
    void TearDown() override { fs::remove_all(dir_); }

    // A fresh default table on disk and in memory, then a won game with this time.
    void WinIn(int32_t seconds) {
        LoadHallOfFame(nullptr);
        HallOfFame[10].seconds = seconds;
        FormatTime(seconds / 3600, seconds / 60 % 60, seconds % 60, GameState.chronoText);
        std::strcpy(HallOfFame[10].timeText, GameState.chronoText);
        GameState.won = GameState.endShown = 1;
    }
    static void Name(const std::string& name) {
        fake::QueueDialogScript([name](platform::Window d, fake::FakeDialog&) {
            fake::TypeText(d, IDC_WIN_NAME, name);
            fake::PressButton(d, IDC_WIN_OK);
        });
    }

    fs::path dir_, scores_;
};

TEST(FormatTime, TwoDigitsAtLeastAndNeverPastTheField) {
    struct Case {
        int h, m, s;
        const char* text;
    } cases[] = {{0, 5, 0, "00:05:00"},   {1, 2, 3, "01:02:03"}, {123, 4, 5, "123:04:05"},
                 {0, 0, 0, "00:00:00"},   {10, 10, 10, "10:10:10"}, {999, 59, 59, "999:59:59"},
                 {1000, 0, 0, "1000:00:0"}, {0, 60, 9, "00:60:09"}};
    for (const Case& c : cases) {
        char out[12];
        std::memset(out, '#', sizeof out);
        FormatTime(c.h, c.m, c.s, out);
        EXPECT_STREQ(out, c.text);
        EXPECT_EQ(out[10], '#') << "written past the 10-byte field";
    }
}

TEST_F(TopTen, MissingFileGivesTheDefaultRowsWrittenBesideTheLayout) {
    hallOfFameDirty = 1;
    LoadHallOfFame(nullptr);
    EXPECT_EQ(hallOfFameDirty, 0);
    EXPECT_TRUE(fake::Messages().empty());
    for (int i = 0; i < 10; ++i) {
        EXPECT_STREQ(HallOfFame[i].name, "Tolbex");
        EXPECT_EQ(HallOfFame[i].seconds, 300 + 60 * i);
    }
    EXPECT_STREQ(HallOfFame[0].timeText, "00:05:00");
    EXPECT_STREQ(HallOfFame[9].timeText, "00:14:00");
    const std::string file = ReadBytes(scores_);
    ASSERT_EQ(file.size(), 380u);
    // Row 9 at offset 342: name, time text, a zero byte, the seconds little-endian.
    EXPECT_EQ(file.substr(342, 7), std::string("Tolbex\0", 7));
    EXPECT_EQ(file.substr(342 + 23, 9), std::string("00:14:00\0", 9));
    EXPECT_EQ(file[342 + 33], '\0');
    EXPECT_EQ(static_cast<uint8_t>(file[342 + 34]), 840 % 256);
    EXPECT_EQ(static_cast<uint8_t>(file[342 + 35]), 840 / 256);

    // Read back: the same rows, nothing written, no message.
    std::memset(HallOfFame, 0, sizeof HallOfFame);
    LoadHallOfFame(nullptr);
    EXPECT_EQ(HallOfFame[9].seconds, 840);
    EXPECT_STREQ(HallOfFame[4].timeText, "00:09:00");
    EXPECT_TRUE(fake::Messages().empty());
}

TEST_F(TopTen, WrongSizeIsReportedAndReplacedByTheDefaults) {
    for (size_t size : {0u, 379u, 381u}) {
        WriteBytes(scores_, std::string(size, 'x'));
        fake::Reset();
        LoadHallOfFame(nullptr);
        ASSERT_EQ(fake::Messages().size(), 1u);
        EXPECT_EQ(fake::Messages()[0].text, "Scores file : incorrect size");
        EXPECT_EQ(fake::Messages()[0].style, platform::MB_OK | platform::MB_ICONEXCLAMATION);
        EXPECT_EQ(ReadBytes(scores_).size(), 380u);
        EXPECT_EQ(HallOfFame[0].seconds, 300);
    }
}

TEST_F(TopTen, TextsWithoutTheirNulAreCutAtTheFieldEnd) {
    std::string file(380, 'A');
    for (int k = 0; k < 10; ++k) {
        file[38 * k + 33] = '\x7F';   // the ignored byte
        const uint32_t s = 1000u + k;
        for (int b = 0; b < 4; ++b) file[38 * k + 34 + b] = static_cast<char>(s >> (8 * b));
    }
    WriteBytes(scores_, file);
    LoadHallOfFame(nullptr);
    EXPECT_TRUE(fake::Messages().empty());
    EXPECT_EQ(std::string(HallOfFame[3].name), std::string(22, 'A'));
    EXPECT_EQ(std::string(HallOfFame[3].timeText), std::string(9, 'A'));
    EXPECT_EQ(HallOfFame[9].seconds, 1009);

    // The dialog and the ranking only ever see the cut texts.
    platform::DialogBoxParam("JOUEURSDLG", nullptr, TopTenDialogProc, 0);
    ASSERT_EQ(fake::DialogsRun().size(), 1u);
    EXPECT_EQ(fake::DialogsRun()[0].texts.at(IDC_TOP_NAME0 + 3), std::string(22, 'A'));
    EXPECT_EQ(fake::DialogsRun()[0].texts.at(IDC_TOP_TIME0 + 9), std::string(9, 'A'));
    HallOfFame[10] = {};
    SortHallOfFame(0, 10);
    EXPECT_EQ(std::string(HallOfFame[1].name), std::string(22, 'A'));
}

TEST_F(TopTen, UnwritableScoresFileIsReportedAndTheTableStands) {
    const std::string bad = (dir_ / "missing-folder" / "X.txs").string();
    std::strcpy(GameState.scoresPath, bad.c_str());
    LoadHallOfFame(nullptr);
    ASSERT_EQ(fake::Messages().size(), 1u);
    EXPECT_EQ(fake::Messages()[0].text, bad + " : write error");
    EXPECT_EQ(fake::Messages()[0].style, platform::MB_OK | platform::MB_ICONEXCLAMATION);
    EXPECT_EQ(HallOfFame[9].seconds, 840);

    hallOfFameDirty = 1;
    SaveHallOfFame(nullptr);
    EXPECT_EQ(fake::Messages().size(), 2u);
    hallOfFameDirty = 0;
    SaveHallOfFame(nullptr);   // nothing new: nothing written, nothing said
    EXPECT_EQ(fake::Messages().size(), 2u);
}

TEST_F(TopTen, ATimeJustUnderTheLastRowEntersAndIsStored) {
    WinIn(839);
    Name("Ann");
    EnterHallOfFame(nullptr);
    ASSERT_EQ(fake::DialogsRun().size(), 2u);
    EXPECT_EQ(fake::DialogsRun()[0].name, "GAGNEDLG");
    EXPECT_EQ(fake::DialogsRun()[1].name, "JOUEURSDLG");
    EXPECT_EQ(fake::DialogsRun()[1].texts.at(IDC_TOP_NAME0 + 9), "Ann");
    EXPECT_EQ(fake::DialogsRun()[1].texts.at(IDC_TOP_TIME0 + 9), "00:13:59");
    EXPECT_EQ(fake::DialogsRun()[1].texts.at(IDC_TOP_NAME0), "Tolbex");
    EXPECT_TRUE(fake::Messages().empty());
    EXPECT_STREQ(HallOfFame[9].name, "Ann");
    EXPECT_EQ(HallOfFame[9].seconds, 839);
    EXPECT_EQ(HallOfFame[10].seconds, 840);   // the row that fell out
    EXPECT_EQ(hallOfFameDirty, 1);

    std::memset(HallOfFame, 0, sizeof HallOfFame);
    LoadHallOfFame(nullptr);
    EXPECT_STREQ(HallOfFame[9].name, "Ann");
    EXPECT_STREQ(HallOfFame[9].timeText, "00:13:59");
}

TEST_F(TopTen, AnEqualTimeToTheLastRowDoesNotEnter) {
    WinIn(840);
    const std::string before = ReadBytes(scores_);
    EnterHallOfFame(nullptr);   // Enter at once: the name stays "Player"
    ASSERT_EQ(fake::DialogsRun().size(), 1u);
    EXPECT_EQ(fake::DialogsRun()[0].texts.at(IDC_WIN_NAME), "Player");
    ASSERT_EQ(fake::Messages().size(), 1u);
    EXPECT_EQ(fake::Messages()[0].text,
              "You won Player !!!\nYour time (00:14:00) is not enough for the hall the fame.");
    EXPECT_EQ(fake::Messages()[0].caption, "Tolbex");
    EXPECT_EQ(fake::Messages()[0].style, platform::MB_OK | platform::MB_ICONINFORMATION);
    EXPECT_EQ(hallOfFameDirty, 0);
    EXPECT_EQ(ReadBytes(scores_), before);
    EXPECT_EQ(HallOfFame[9].seconds, 840);
    EXPECT_STREQ(HallOfFame[9].name, "Tolbex");
}

TEST_F(TopTen, EqualTimeGoesDirectlyAboveAndFastTimesLeadTheTable) {
    WinIn(600);
    Name("Eve");
    EnterHallOfFame(nullptr);
    EXPECT_STREQ(HallOfFame[5].name, "Eve");
    EXPECT_STREQ(HallOfFame[6].name, "Tolbex");
    const int32_t expected[11] = {300, 360, 420, 480, 540, 600, 600, 660, 720, 780, 840};
    for (int i = 0; i < 11; ++i) EXPECT_EQ(HallOfFame[i].seconds, expected[i]) << i;

    WinIn(299);
    Name("Zed");
    EnterHallOfFame(nullptr);
    EXPECT_STREQ(HallOfFame[0].name, "Zed");
    EXPECT_EQ(HallOfFame[1].seconds, 300);
}

TEST_F(TopTen, NamesAreCutAtTwentyOneCharacters) {
    WinIn(100);
    Name("ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    EnterHallOfFame(nullptr);
    EXPECT_STREQ(playerName, "ABCDEFGHIJKLMNOPQRSTU");
    EXPECT_STREQ(HallOfFame[0].name, "ABCDEFGHIJKLMNOPQRSTU");
}

TEST_F(TopTen, ALoadedGameShowsTheTableButWritesNothing) {
    WinIn(500);
    const std::string before = ReadBytes(scores_);
    GameState.loadedGame = 1;
    Name("Kim");
    EnterHallOfFame(nullptr);
    ASSERT_EQ(fake::DialogsRun().size(), 2u);
    EXPECT_EQ(fake::DialogsRun()[1].name, "JOUEURSDLG");
    ASSERT_EQ(fake::Messages().size(), 1u);
    EXPECT_EQ(fake::Messages()[0].text, "To keep your score, you have to save the game.");
    EXPECT_EQ(fake::Messages()[0].style, platform::MB_OK | platform::MB_ICONINFORMATION);
    EXPECT_EQ(hallOfFameDirty, 0);
    EXPECT_EQ(ReadBytes(scores_), before);
    EXPECT_STREQ(HallOfFame[4].name, "Kim");   // in memory only
}

TEST(SortHallOfFame, SortsAnyRowsByTimeKeepingEachRowWhole) {
    std::mt19937 random(7);
    for (int round = 0; round < 2000; ++round) {
        std::vector<std::pair<int32_t, std::string>> rows;
        for (int i = 0; i < 11; ++i) {
            HallOfFameEntry& row = HallOfFame[i];
            std::memset(&row, 0, sizeof row);
            row.seconds = static_cast<int32_t>(random() % 6) - 2;   // many equal and negative times
            if (round % 5 == 0) row.seconds = static_cast<int32_t>(random());
            std::snprintf(row.name, sizeof row.name, "row%d", i);
            std::snprintf(row.timeText, sizeof row.timeText, "t%d", row.seconds % 1000);
            rows.push_back({row.seconds, row.name});
        }
        SortHallOfFame(0, 10);
        std::vector<std::pair<int32_t, std::string>> sorted;
        for (int i = 0; i < 11; ++i) {
            sorted.push_back({HallOfFame[i].seconds, HallOfFame[i].name});
            char expectedTime[10];
            std::snprintf(expectedTime, sizeof expectedTime, "t%d", HallOfFame[i].seconds % 1000);
            ASSERT_STREQ(HallOfFame[i].timeText, expectedTime) << "a row was torn apart";
            if (i > 0) {
                ASSERT_LE(HallOfFame[i - 1].seconds, HallOfFame[i].seconds) << "round " << round;
            }
        }
        std::sort(rows.begin(), rows.end());
        std::sort(sorted.begin(), sorted.end());
        ASSERT_EQ(rows, sorted);
    }
}

}  // namespace
