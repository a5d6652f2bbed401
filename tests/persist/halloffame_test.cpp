// The Top 10: the scores file (default rows, wrong size) and where a new time is ranked, with its
// dialogs, its messages and what reaches the file.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "board/state.h"
#include "persist/halloffame.h"
#include "platform/fake/fake.h"
#include "resources/ids.h"
#include "tests/files.h"

namespace {

class TopTen : public ::testing::Test {
protected:
    void SetUp() override {
        fake::Reset();
        std::memset(&GameState, 0, sizeof GameState);
        std::strcpy(GameState.scoresPath, scores_.c_str());
    }
    void TearDown() override { std::remove(scores_.c_str()); }
    std::string Scores() const { return testfiles::ReadAll(scores_); }
    const std::string scores_ = "/dev/shm/tolbex-topten-" + std::to_string(::getpid()) + ".txs";
};

TEST_F(TopTen, AScoresFileOfTheWrongSizeIsReportedAndReplacedByTheDefaultRows) {
    for (size_t size : {379u, 381u}) {
        testfiles::WriteAll(scores_, std::string(size, 'x'));
        fake::Reset();
        LoadHallOfFame(nullptr);
        ASSERT_EQ(fake::Messages().size(), 1u);
        EXPECT_TRUE(fake::Messages()[0].text == "Scores file : incorrect size" &&
                    fake::Messages()[0].style == (platform::MB_OK | platform::MB_ICONEXCLAMATION));
        EXPECT_TRUE(Scores().size() == 380u && HallOfFame[9].seconds == 840);
    }
}

TEST_F(TopTen, ANewTimeIsRankedNamedAndStored) {
    const struct { int32_t seconds; const char* typed; int16_t loaded; int row; const char* message; } cases[] = {
        {839, "Ann", 0, 9, nullptr},
        {840, nullptr, 0, -1, "You won Player !!!\nYour time (00:14:00) is not enough for the hall the fame."},
        {600, "Eve", 0, 5, nullptr},   // equal to row 5: directly above it
        {100, "ABCDEFGHIJKLMNOPQRSTUVWXYZ", 0, 0, nullptr},
        {500, "Kim", 1, 4, "To keep your score, you have to save the game."},   // a loaded game
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.seconds);
        fake::Reset();
        std::remove(scores_.c_str());
        LoadHallOfFame(nullptr);   // missing: the default rows, written out
        const std::string before = Scores();
        // Row 9 at offset 342: name, time text, an unused zero byte, 840 seconds little-endian.
        ASSERT_EQ(before.substr(342), std::string("Tolbex\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0"
                                                  "00:14:00\0\0\0\x48\x03\0\0", 38));
        HallOfFame[10].seconds = c.seconds;
        FormatTime(0, c.seconds / 60, c.seconds % 60, GameState.chronoText);
        GameState.loadedGame = c.loaded;
        if (c.typed)
            fake::QueueDialogScript([&c](platform::Window d, fake::FakeDialog&) {
                fake::TypeText(d, IDC_WIN_NAME, c.typed), fake::PressButton(d, IDC_WIN_OK); });
        EnterHallOfFame(nullptr);
        ASSERT_EQ(fake::Messages().size(), c.message ? 1u : 0u);
        for (const fake::MessageRecord& m : fake::Messages())
            EXPECT_TRUE(m.text == c.message && m.style == (platform::MB_OK | platform::MB_ICONINFORMATION)) << m.text;
        const bool stored = c.row >= 0 && c.loaded == 0;
        EXPECT_EQ(hallOfFameDirty, stored ? 1 : 0);
        EXPECT_EQ(Scores() == before, !stored);
        ASSERT_EQ(fake::DialogsRun().size(), c.row < 0 ? 1u : 2u);
        if (c.row < 0) continue;
        const std::string name = std::string(c.typed).substr(0, 21);
        EXPECT_EQ(fake::DialogsRun()[1].texts.at(IDC_TOP_NAME0 + c.row), name);
        // Sorted, the new row right above the next old one.
        for (int i = 0; i < 11; ++i) {
            EXPECT_EQ(HallOfFame[i].name, i == c.row ? name : "Tolbex") << i;
            EXPECT_LE(HallOfFame[i > 0 ? i - 1 : 0].seconds, HallOfFame[i].seconds) << i;
        }
        std::memset(HallOfFame, 0, sizeof HallOfFame);
        LoadHallOfFame(nullptr);
        EXPECT_EQ(HallOfFame[c.row].name, stored ? name : "Tolbex");
    }
}

}  // namespace
