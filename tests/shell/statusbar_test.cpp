// The status text and the chrono: the hint piece and its minute, the end-of-game pieces, the
// carry of minutes into hours and the stop at 999:59:59, and the chrono's timer held while the
// chrono stands (paused, won), bringing the status text up to date after each event.
#include "shell_fixture.h"

namespace shelltest {
namespace {

class StatusTest : public StartedTest {
protected:
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
        {0, 59, 59, "01:00:00"}, {2, 185, 10, "05:05:11"},   // hints charged minutes past 60
        {99, 59, 59, "100:00:00"}, {999, 60, 30, "999:59:59"}, {5000, 0, 0, "999:59:59"},
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

TEST_F(StatusTest, ChronoTimerIsHeldWhileTheChronoStandsAndCatchesUpAfterEachEvent) {
    Settings.showChrono = 1;
    EXPECT_TRUE(fake::TimerRunning(kChronoTimerId) && !fake::TimerHeld(kChronoTimerId));
    Command(IDM_PAUSE);
    EXPECT_TRUE(fake::TimerHeld(kChronoTimerId));
    EXPECT_GE(fake::TicksOnce(kChronoTimerId), 1);   // the status text's refresh at the next beat
    Command(IDM_PAUSE);
    EXPECT_FALSE(fake::TimerHeld(kChronoTimerId));
    Command(IDM_PAUSE);   // a click during the pause is played and ends it: the timer runs again
    ClickTile(FreeTiles().at(0));
    EXPECT_EQ(GameState.paused, 0);
    EXPECT_FALSE(fake::TimerHeld(kChronoTimerId));
    // Won: held. Each event still earns one tick at the next beat, which rewrites the status text
    // as the running timer would have: here it drops the hint piece that the last command ended.
    GameState.won = 1;
    ClickTile(FreeTiles().at(0));
    EXPECT_TRUE(fake::TimerHeld(kChronoTimerId));
    Command(IDM_HINT);
    const int armed = fake::TicksOnce(kChronoTimerId);
    Command(IDM_SHOW_EXPOSED);
    EXPECT_GT(fake::TicksOnce(kChronoTimerId), armed);
    const std::string chrono = GameState.chronoText;
    Tick();
    EXPECT_EQ(GameState.chronoText, chrono);   // won: the chrono stands
    EXPECT_EQ(fake::StatusText(), "144 Tiles" + kGap + "Chrono : " + chrono);
    // Without the chrono shown a tick changes nothing: none is asked for.
    Settings.showChrono = 0;
    const int before = fake::TicksOnce(kChronoTimerId);
    Command(IDM_SHOW_EXPOSED);
    EXPECT_EQ(fake::TicksOnce(kChronoTimerId), before);
    Command(IDM_NEW);   // a new deal: the chrono runs again
    EXPECT_FALSE(fake::TimerHeld(kChronoTimerId));
}

}  // namespace
}  // namespace shelltest
