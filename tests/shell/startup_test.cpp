// Start-up on the headless front end: what the creation handler leaves behind, the built-in
// layout when the configured one cannot be read, and the refusal of a too long home directory.
#include "shell_fixture.h"
#include "shell/home.h"

namespace shelltest {
namespace {

TEST_F(ShellTest, StartUpBuildsTheGameInOrder) {
    ASSERT_EQ(WinMain(), 0);   // a first run leaves the settings and a music file (blanks in its path)
    Settings.useColors = Settings.soundEffects = Settings.showChrono = 1;
    const std::string midi = (home / "My Tunes/slow song.MID").string();
    fake::QueueFileAnswer(midi);
    Command(IDM_OPEN_MIDI);
    Restart(0);   // without a wave device
    EXPECT_TRUE(fake::TimerRunning(kChronoTimerId) && FreeTiles().size() == 18u);
    EXPECT_TRUE(fs::exists(home / "LAYOUTS/LAYOUT1.txs"));   // its Top 10, read or made
    EXPECT_EQ(fake::WindowWidth() * 1000 + fake::WindowHeight(), 637425);
    // The sound check runs before the checkmarks: "&Sound effects" read as 1 comes up unchecked.
    for (int id : {IDM_USE_COLORS, IDM_SOUND_EFFECTS, IDM_SHOW_CHRONO, IDM_SHOW_EXPOSED, IDM_PAUSE, IDM_NO_MUSIC}) {
        EXPECT_TRUE(fake::WasCheckSet(id)) << id;
        EXPECT_EQ(fake::IsChecked(id), id == IDM_USE_COLORS || id == IDM_SHOW_CHRONO) << id;
    }
    // The music is started anyway, after the check that cleared musicOn.
    EXPECT_EQ(musicOn, 1);
    EXPECT_EQ(fake::MciCommands(),
              (std::vector<std::string>{"open " + midi + " type sequencer alias FichierMIDI", "play FichierMIDI"}));
    EXPECT_TRUE(Shown(FreeTiles()[0]));
    EXPECT_EQ(fake::StatusText(), "144 Tiles                    Chrono : 00:00:00");
}

TEST_F(ShellTest, UnreadableLayoutAtStartUpPlaysTheBuiltInOne) {
    fs::remove(layoutA);
    ASSERT_EQ(WinMain(), 0);
    EXPECT_EQ(fake::Messages().at(0).text, layoutA + " : read error");
    EXPECT_TRUE(GameState.tilesLeft == 144 && Shown(FreeTiles().at(0)));
    EXPECT_FALSE(fake::QuitPosted().has_value());
}

TEST_F(ShellTest, TooLongCurrentDirectoryIsRefusedWithExitCodeOne) {
    fake::SetCurrentDirectory("/" + std::string(520, 'd'));
    EXPECT_EQ(WinMain(), 1);
    EXPECT_EQ(fake::Messages().at(0).text, kStartDirTooLongText);
    EXPECT_FALSE(fake::TimerRunning(kChronoTimerId) || fs::exists(settingsPath));
}

}  // namespace
}  // namespace shelltest
