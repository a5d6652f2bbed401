// The status text and the chrono: the hint piece and its minute, the end-of-game pieces, the
// carry of minutes into hours and the stop at 999:59:59.
#include "shell_fixture.h"

namespace shelltest {
namespace {

const std::string kGap(20, ' ');

class StatusTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        ASSERT_EQ(WinMain(), 0);
    }
    static void Tick() { fake::Send(platform::WM_TIMER, kChronoTimerId); }
};

TEST_F(StatusTest, HintShowsEachSolutionOrTheEndAndChargesItsMinute) {
    Settings.showChrono = 0;
    Command(IDM_HINT);
    const int moves = GameState.moveCount;
    ASSERT_GE(moves, 2);
    for (int k = 1; k <= moves + 1; ++k) {   // counts through the list and wraps to its start
        if (k > 1) Command(IDM_HINT);
        const std::string sol = "Sol " + std::to_string((k - 1) % moves + 1) + " / " + std::to_string(moves);
        EXPECT_EQ(fake::StatusText(), "144 Tiles" + kGap + sol);
    }
    EXPECT_EQ(GameState.minutes, moves + 1);
    int8_t face = 1;   // free tiles that match nothing: no charge
    for (int i : FreeTiles()) Board.tiles[i].face = face++;
    GameState.hintCursor = 0;
    Command(IDM_HINT);
    EXPECT_EQ(fake::StatusText(), "144 Tiles" + kGap + "Game over !!!");
    for (TileRecord& t : Board.tiles) t.face = 0;
    GameState.tilesLeft = GameState.hintCursor = 0;
    Command(IDM_HINT);
    EXPECT_EQ(fake::StatusText(), "0 Tiles" + kGap + "You won !!!");
    EXPECT_EQ(GameState.minutes, moves + 1);
}

TEST_F(StatusTest, ChronoCarriesAndStops) {
    const struct { int32_t h, m, s; const char* after; } cases[] = {
        {0, 0, 59, "00:01:00"},     {0, 59, 59, "01:00:00"},   {0, 61, 59, "01:02:00"},   // charged past 60
        {2, 185, 10, "05:05:11"},   {99, 59, 59, "100:00:00"}, {999, 59, 58, "999:59:59"},
        {999, 60, 30, "999:59:59"}, {5000, 0, 0, "999:59:59"},
    };
    Settings.showChrono = 1;
    for (const auto& c : cases) {
        GameState.hours = c.h, GameState.minutes = c.m, GameState.seconds = c.s;
        Tick();
        EXPECT_STREQ(GameState.chronoText, c.after) << c.h << ":" << c.m << ":" << c.s;
    }
    Tick();
    EXPECT_EQ(fake::StatusText(), "144 Tiles" + kGap + "Chrono : 999:59:59");
}

}  // namespace
}  // namespace shelltest
