// Start-up and shutdown of the whole program on the headless front end: what the creation
// handler leaves behind, the refusal of an unusable home directory, and the one shutdown.
#include "shell_fixture.h"

namespace shelltest {
namespace {

TEST_F(ShellTest, StartUpBuildsTheGameInOrder) {
    WriteSettings([] {
        Settings.useColors = 1;
        Settings.soundEffects = 1;
        Settings.showChrono = 1;
        Settings.showExposed = 0;
    });
    ASSERT_EQ(Start(), 0);

    EXPECT_TRUE(fake::TimerRunning(kChronoTimerId));
    // The layout of the settings is on the board, dealt and with its free tiles known.
    EXPECT_EQ(GameState.tilesLeft, 144);
    EXPECT_EQ(std::string(GameState.scoresPath), scoresA);
    EXPECT_EQ(FreeTiles().size(), 18u);   // the two ends of each of the nine rows
    EXPECT_TRUE(fs::exists(scoresA));     // its Top 10 was read, or made with the default rows
    EXPECT_EQ(fake::WindowWidth(), 637);
    EXPECT_EQ(fake::WindowHeight(), 425);
    // Checkmarks from the settings; pause and music pause start unchecked.
    EXPECT_TRUE(fake::IsChecked(IDM_USE_COLORS));
    EXPECT_TRUE(fake::IsChecked(IDM_SOUND_EFFECTS));
    EXPECT_TRUE(fake::IsChecked(IDM_SHOW_CHRONO));
    EXPECT_FALSE(fake::IsChecked(IDM_SHOW_EXPOSED));
    EXPECT_TRUE(fake::WasCheckSet(IDM_SHOW_EXPOSED));
    EXPECT_FALSE(fake::IsChecked(IDM_PAUSE));
    // No music file: "No music" checked and nothing sent to the sequencer.
    EXPECT_TRUE(fake::IsChecked(IDM_NO_MUSIC));
    EXPECT_TRUE(fake::MciCommands().empty());
    EXPECT_EQ(musicOn, 0);
    // The first paint drew the tiles and wrote the status text.
    EXPECT_GT(NonBackgroundPixels(), 0);
    EXPECT_EQ(fake::StatusText().rfind("144 Tiles                    Chrono : ", 0), 0u) << fake::StatusText();
    EXPECT_FALSE(fake::QuitPosted().has_value());
}

TEST_F(ShellTest, StartUpWithoutSoundCardStillStartsTheMusic) {
    const std::string midi = (home / "SOUNDS" / "TUNE.MID").string();
    WriteSettings([&] {
        Settings.soundEffects = 1;
        std::snprintf(Settings.midiPath, sizeof Settings.midiPath, "%s", midi.c_str());
    });
    fake::SetWaveDevices(0);
    ASSERT_EQ(Start(), 0);

    // The sound check ran before the checkmarks: the option read as 1 comes up unchecked.
    EXPECT_EQ(Settings.soundEffects, 0);
    EXPECT_FALSE(fake::IsChecked(IDM_SOUND_EFFECTS));
    EXPECT_TRUE(fake::WasCheckSet(IDM_SOUND_EFFECTS));
    // The music is attempted anyway, after the check (which had cleared musicOn).
    EXPECT_EQ(musicOn, 1);
    EXPECT_FALSE(fake::IsChecked(IDM_NO_MUSIC));
    EXPECT_TRUE(fake::WasCheckSet(IDM_NO_MUSIC));
    ASSERT_GE(fake::MciCommands().size(), 2u);
    EXPECT_EQ(fake::MciCommands()[0], "open " + midi + " type sequencer alias FichierMIDI");
    EXPECT_EQ(fake::MciCommands()[1], "play FichierMIDI");
}

TEST_F(ShellTest, UnreadableLayoutAtStartUpPlaysTheBuiltInOne) {
    fs::remove(layoutA);
    ASSERT_EQ(Start(), 0);
    EXPECT_EQ(CountMessages(layoutA + " : read error"), 1);
    // The board is whole and playable although no layout file could be read.
    EXPECT_EQ(GameState.tilesLeft, 144);
    int onBoard = 0;
    for (int i = 0; i < kTileCount; ++i) {
        const TileRecord& t = Board.tiles[i];
        if (t.face == 0) continue;
        ++onBoard;
        ASSERT_LT(t.level, kLevels);
        EXPECT_EQ(Board.cells[t.level][t.row][t.col], i) << "tile " << i;
    }
    EXPECT_EQ(onBoard, 144);
    EXPECT_FALSE(FreeTiles().empty());
    EXPECT_GT(Board.width, 0);
    EXPECT_EQ(fake::WindowWidth(), Board.width);
    EXPECT_FALSE(fake::QuitPosted().has_value());
}

TEST_F(ShellTest, TooLongCurrentDirectoryIsRefusedWithExitCodeOne) {
    fake::SetCurrentDirectory("/" + std::string(520, 'd'));
    EXPECT_EQ(Start(), 1);
    ASSERT_EQ(fake::Messages().size(), 1u);
    EXPECT_NE(fake::Messages()[0].text.find("too long"), std::string::npos);
    EXPECT_EQ(fake::Messages()[0].caption, "Tolbex");
    // No window was made: no timer, no status text, no settings written.
    EXPECT_FALSE(fake::TimerRunning(kChronoTimerId));
    EXPECT_EQ(fake::StatusText(), "");
    EXPECT_FALSE(fs::exists(SettingsPath()));
}

TEST_F(ShellTest, ExitThenDestroyShutsDownOnce) {
    const std::string midi = (home / "TUNE.MID").string();
    WriteSettings([&] { std::snprintf(Settings.midiPath, sizeof Settings.midiPath, "%s", midi.c_str()); });
    ASSERT_EQ(Start(), 0);
    ASSERT_EQ(musicOn, 1);
    Command(IDM_USE_COLORS);   // a change that must reach the settings file
    fs::remove(SettingsPath());

    Command(IDM_EXIT);
    EXPECT_EQ(fake::QuitPosted(), 0);
    EXPECT_FALSE(fake::TimerRunning(kChronoTimerId));
    ASSERT_TRUE(fs::exists(SettingsPath()));
    std::string bytes = ReadFile(SettingsPath());
    ASSERT_EQ(bytes.size(), static_cast<size_t>(kSettingsFileSize));
    EXPECT_EQ(bytes[104], 1);                                    // "Use colors"
    EXPECT_EQ(std::string(bytes.c_str() + 3140), midi);          // the music plays next time
    auto closes = [] {
        return std::count(fake::MciCommands().begin(), fake::MciCommands().end(), "close FichierMIDI");
    };
    EXPECT_EQ(closes(), 1);

    // The window is destroyed afterwards: nothing is written or closed a second time.
    fs::remove(SettingsPath());
    fake::Send(platform::WM_DESTROY);
    EXPECT_FALSE(fs::exists(SettingsPath()));
    EXPECT_EQ(closes(), 1);
}

TEST_F(ShellTest, ClosingTheWindowSavesTheSettings) {
    ASSERT_EQ(Start(), 0);
    Command(IDM_SHOW_EXPOSED);
    fake::Send(platform::WM_DESTROY);
    EXPECT_EQ(fake::QuitPosted(), 0);
    EXPECT_FALSE(fake::TimerRunning(kChronoTimerId));
    ASSERT_TRUE(fs::exists(SettingsPath()));
    // Byte 107 of the settings file is the "Show exposed tiles" flag.
    std::string bytes = ReadFile(SettingsPath());
    ASSERT_EQ(bytes.size(), static_cast<size_t>(kSettingsFileSize));
    EXPECT_EQ(bytes[107], 1);
    // No music was open, so nothing was closed.
    EXPECT_TRUE(fake::MciCommands().empty());
}

TEST_F(ShellTest, OutOfRangeTextLayoutEndsTheRunAfterStartUp) {
    WriteText(layoutA, GridLayoutText() + "20 0 0\n");
    ASSERT_EQ(Start(), 0);
    // The shutdown came in the middle of the creation; the rest of it still ran on a board
    // that can be drawn, and the loop ends on the quit.
    EXPECT_EQ(fake::QuitPosted(), 0);
    EXPECT_TRUE(fs::exists(SettingsPath()));
    EXPECT_EQ(GameState.tilesLeft, 144);
    fs::remove(SettingsPath());
    fake::Send(platform::WM_DESTROY);
    EXPECT_FALSE(fs::exists(SettingsPath()));
}

}  // namespace
}  // namespace shelltest
