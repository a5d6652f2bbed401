// The status text and the chrono: the hint pieces and their minute, the end-of-game pieces, the
// carry of minutes into hours and the stop at 999:59:59.
#include "shell_fixture.h"

#include "shell/statusbar.h"

namespace shelltest {
namespace {

const std::string kGap(20, ' ');

class StatusTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        ASSERT_EQ(Start(), 0);
        Settings.showChrono = 1;
    }
    static void SetChrono(int32_t h, int32_t m, int32_t s) {
        GameState.hours = h;
        GameState.minutes = m;
        GameState.seconds = s;
    }
    static std::string Chrono() { return GameState.chronoText; }
    static void Tick() { fake::Send(platform::WM_TIMER, kChronoTimerId); }
};

TEST_F(StatusTest, HintCountsThroughThePairsAndChargesAMinuteEach) {
    ArrangeFreeFaces({3, 3, 7, 7, 12, 12});   // three pairs among the free tiles
    SetChrono(0, 10, 0);
    Tick();   // 00:10:01
    const std::string prefix = "144 Tiles" + kGap + "Chrono : 00:10:01" + kGap;
    const char* expected[] = {"Sol 1 / 3", "Sol 2 / 3", "Sol 3 / 3", "Sol 1 / 3"};
    for (const char* sol : expected) {
        Command(IDM_HINT);
        EXPECT_EQ(fake::StatusText(), prefix + sol);
        EXPECT_EQ(GameState.hintState, 2);
    }
    EXPECT_EQ(GameState.moveCount, 3);
    // Four minutes charged; the chrono text takes them at the next tick.
    EXPECT_EQ(GameState.minutes, 14);
    Tick();
    EXPECT_EQ(Chrono(), "00:14:02");
    // The solution stays through the ticks until the next click or command.
    EXPECT_EQ(fake::StatusText(), "144 Tiles" + kGap + "Chrono : 00:14:02" + kGap + "Sol 1 / 3");
    Command(IDM_SHOW_EXPOSED);
    Command(IDM_SHOW_EXPOSED);
    Tick();
    EXPECT_EQ(fake::StatusText(), "144 Tiles" + kGap + "Chrono : 00:14:03");
}

TEST_F(StatusTest, HintOnABoardWithoutPairsSaysGameOverForFree) {
    ArrangeFreeFaces({});
    SetChrono(0, 3, 0);
    Tick();
    for (int i = 0; i < 2; ++i) {
        Command(IDM_HINT);
        EXPECT_EQ(fake::StatusText(), "144 Tiles" + kGap + "Chrono : 00:03:01" + kGap + "Game over !!!");
    }
    EXPECT_EQ(GameState.minutes, 3);
    // The chrono goes on: a board without moves does not end the game.
    Tick();
    EXPECT_EQ(Chrono(), "00:03:02");
    // Without the chrono the hint piece follows the tile count directly.
    Command(IDM_SHOW_CHRONO);
    Command(IDM_HINT);
    EXPECT_EQ(fake::StatusText(), "144 Tiles" + kGap + "Game over !!!");
}

TEST_F(StatusTest, HintOnAnEmptyBoardSaysYouWon) {
    for (TileRecord& t : Board.tiles) t.face = 0;
    for (auto& level : Board.cells)
        for (auto& row : level)
            for (uint8_t& cell : row) cell = kNone;
    GameState.tilesLeft = 0;
    GameState.hintCursor = 0;
    Settings.showChrono = 0;
    for (int i = 0; i < 3; ++i) {
        Command(IDM_HINT);
        EXPECT_EQ(fake::StatusText(), "0 Tiles" + kGap + "You won !!!");
    }
    EXPECT_EQ(GameState.minutes, 0);
}

TEST_F(StatusTest, AClickEndsTheHintDisplayAndARemovalRebuildsTheList) {
    ArrangeFreeFaces({9, 9, 11, 11});
    Command(IDM_HINT);
    Command(IDM_HINT);
    ASSERT_NE(fake::StatusText().find("Sol 2 / 2"), std::string::npos);
    const MovePair pair = Board.moves[0];
    ClickTile(pair.first);
    EXPECT_EQ(fake::StatusText().find("Sol"), std::string::npos);
    ClickTile(pair.second);
    ASSERT_EQ(GameState.tilesLeft, 142);
    // The removal opened new tiles, so the list is built afresh and counted from its start.
    Command(IDM_HINT);
    ASSERT_GE(GameState.moveCount, 1);
    EXPECT_EQ(fake::StatusText().rfind("142 Tiles", 0), 0u);
    EXPECT_NE(fake::StatusText().find("Sol 1 / " + std::to_string(GameState.moveCount)), std::string::npos);
}

TEST_F(StatusTest, ChronoCarriesAndStops) {
    struct Case {
        int32_t h, m, s;
        const char* after;
    };
    const Case cases[] = {
        {0, 0, 0, "00:00:01"},
        {0, 0, 59, "00:01:00"},
        {0, 59, 59, "01:00:00"},
        {0, 60, 0, "01:00:01"},       // a hint charged at minute 59
        {0, 61, 59, "01:02:00"},      // charged past 60 while paused
        {2, 185, 10, "05:05:11"},     // carried as often as needed
        {99, 59, 59, "100:00:00"},
        {999, 59, 58, "999:59:59"},
        {999, 59, 59, "999:59:59"},   // the chrono stops here
        {999, 60, 30, "999:59:59"},   // a hint charged at the top cannot push it further
        {5000, 0, 0, "999:59:59"},
    };
    for (const Case& c : cases) {
        SetChrono(c.h, c.m, c.s);
        Tick();
        EXPECT_EQ(Chrono(), c.after) << c.h << ":" << c.m << ":" << c.s;
        EXPECT_LT(std::strlen(GameState.chronoText), sizeof GameState.chronoText);
    }
    Tick();
    EXPECT_EQ(Chrono(), "999:59:59");
    EXPECT_EQ(GameState.hours, 999);
    EXPECT_EQ(fake::StatusText(), "144 Tiles" + kGap + "Chrono : 999:59:59");
}

TEST_F(StatusTest, ChronoStandsWhilePausedOrWonAndRestartsWithADeal) {
    SetChrono(0, 0, 41);
    Tick();
    Command(IDM_PAUSE);
    Tick();
    Tick();
    EXPECT_EQ(Chrono(), "00:00:42");
    Command(IDM_PAUSE);
    GameState.won = 1;
    Tick();
    EXPECT_EQ(Chrono(), "00:00:42");
    EXPECT_EQ(GameState.seconds, 42);
    // The status text is still written on every tick while the chrono is shown.
    EXPECT_EQ(fake::StatusText(), "144 Tiles" + kGap + "Chrono : 00:00:42");

    // New: the counters are zeroed but the text keeps the last time until the first tick.
    GameState.won = 0;
    GameState.endShown = 0;
    Command(IDM_NEW);
    EXPECT_EQ(fake::StatusText(), "144 Tiles" + kGap + "Chrono : 00:00:42");
    Tick();
    EXPECT_EQ(fake::StatusText(), "144 Tiles" + kGap + "Chrono : 00:00:01");
}

TEST_F(StatusTest, StatusTextFitsWhateverTheCounters) {
    GameState.tilesLeft = -32768;
    GameState.hintCursor = -32768;
    GameState.moveCount = 32767;
    GameState.hintState = 2;
    std::memset(GameState.chronoText, '9', sizeof GameState.chronoText);   // no NUL at all
    UpdateStatusBar(statusBar);
    EXPECT_EQ(fake::StatusText(), "-32768 Tiles" + kGap + "Chrono : 999999999" + kGap + "Sol -32768 / 32767");
    EXPECT_LT(std::strlen(statusText), sizeof statusText);
    GameState.tilesLeft = 144;
    GameState.hintState = 0;
}

}  // namespace
}  // namespace shelltest
