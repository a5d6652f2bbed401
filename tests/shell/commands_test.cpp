// The menu commands and mouse messages of the main window, driven through MainWindowProc on the
// headless front end: the pause rules, the toggles, Save and Load, Layout and its Top 10, New
// after a loaded game, the sound-card checks and the dialogs.
#include "shell_fixture.h"

#include "persist/halloffame.h"

namespace shelltest {
namespace {

class CommandsTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        ASSERT_EQ(Start(), 0);
    }

    // Paints the whole client area in one colour, so that a later drawing can be seen.
    static void Smear(uint32_t colorRef) {
        platform::DeviceContext dc;
        dc.bitmap = &fake::Surface();
        platform::FillRect(dc, 0, 0, dc.bitmap->width(), dc.bitmap->height(), colorRef);
    }
    static bool SurfaceIsAll(uint32_t colorRef) {
        platform::Bitmap& s = fake::Surface();
        for (int y = 0; y < s.height(); ++y)
            for (int x = 0; x < s.width(); ++x)
                if ((s.row(y)[x] & 0xFFFFFF) != platform::ColorRefToPixel(colorRef)) return false;
        return true;
    }

    // Removes the first pair of the move list with two clicks.
    static void TakeOnePair() {
        ArrangeFreeFaces({5, 5});
        BuildMoveList();
        ASSERT_GT(GameState.moveCount, 0);
        const MovePair pair = Board.moves[0];
        ClickTile(pair.first);
        ClickTile(pair.second);
        ASSERT_EQ(Board.tiles[pair.first].face, 0);
    }
};

constexpr uint32_t kMarker = 0x00123456;

TEST_F(CommandsTest, PauseHidesTheBoardAndPaintsNothingUntilItEnds) {
    const std::string status = fake::StatusText();
    Command(IDM_PAUSE);
    EXPECT_EQ(GameState.paused, 1);
    EXPECT_TRUE(fake::IsChecked(IDM_PAUSE));
    EXPECT_EQ(NonBackgroundPixels(), 0);   // only the background: no tile shows

    // A paint request while paused draws neither board nor status text.
    Smear(kMarker);
    const int presents = fake::PresentCount();
    fake::Send(platform::WM_PAINT);
    EXPECT_TRUE(SurfaceIsAll(kMarker));
    EXPECT_EQ(fake::PresentCount(), presents);
    EXPECT_EQ(fake::StatusText(), status);

    // The chrono stands still while paused.
    const int32_t seconds = GameState.seconds;
    fake::Send(platform::WM_TIMER, kChronoTimerId);
    EXPECT_EQ(GameState.seconds, seconds);

    // Commands that do not draw the board leave the game paused.
    Command(IDM_SHOW_CHRONO);
    Command(IDM_TOP10);
    Command(IDM_ABOUT);
    fake::Send(platform::WM_RBUTTONDOWN);
    EXPECT_EQ(GameState.paused, 1);
    EXPECT_TRUE(fake::IsChecked(IDM_PAUSE));

    // Pause again resumes: unchecked and the tiles are back.
    Command(IDM_PAUSE);
    EXPECT_EQ(GameState.paused, 0);
    EXPECT_FALSE(fake::IsChecked(IDM_PAUSE));
    EXPECT_GT(NonBackgroundPixels(), 0);
    fake::Send(platform::WM_TIMER, kChronoTimerId);
    EXPECT_EQ(GameState.seconds, seconds + 1);
}

TEST_F(CommandsTest, ClickWhilePausedIsPlayedAndEndsThePause) {
    std::vector<int> free = FreeTiles();
    ASSERT_FALSE(free.empty());
    Command(IDM_PAUSE);
    ClickTile(free[0]);
    EXPECT_EQ(GameState.selected, free[0]);   // carried out as an ordinary click
    EXPECT_EQ(GameState.paused, 0);
    EXPECT_FALSE(fake::IsChecked(IDM_PAUSE));
    EXPECT_GT(NonBackgroundPixels(), 0);
}

TEST_F(CommandsTest, EveryRedrawingCommandEndsThePauseAndItsCheckmark) {
    for (int id : {IDM_NEW, IDM_RESTART, IDM_UNDO, IDM_HINT, IDM_CHANGE_COLORS, IDM_USE_COLORS,
                   IDM_SHOW_EXPOSED, IDM_CHANGE_GRAPHICS}) {
        Command(IDM_PAUSE);
        ASSERT_TRUE(fake::IsChecked(IDM_PAUSE));
        Command(id);
        EXPECT_EQ(GameState.paused, 0) << id;
        EXPECT_FALSE(fake::IsChecked(IDM_PAUSE)) << id;
    }
    // Save does not draw: the game stays paused.
    Command(IDM_PAUSE);
    fake::QueueFileAnswer((root / "paused.txm").string());
    Command(IDM_SAVE);
    EXPECT_EQ(GameState.paused, 1);
    EXPECT_TRUE(fake::IsChecked(IDM_PAUSE));
}

TEST_F(CommandsTest, TogglesFlipTheirFlagsAndCheckmarks) {
    struct Toggle {
        int id;
        uint8_t* flag;
    };
    for (Toggle t : {Toggle{IDM_USE_COLORS, &Settings.useColors}, Toggle{IDM_SHOW_CHRONO, &Settings.showChrono},
                     Toggle{IDM_SHOW_EXPOSED, &Settings.showExposed},
                     Toggle{IDM_SOUND_EFFECTS, &Settings.soundEffects}}) {
        const uint8_t before = *t.flag;
        Command(t.id);
        EXPECT_EQ(*t.flag, before == 0 ? 1 : 0) << t.id;
        EXPECT_EQ(fake::IsChecked(t.id), *t.flag == 1) << t.id;
        Command(t.id);
        EXPECT_EQ(*t.flag, before) << t.id;
        EXPECT_EQ(fake::IsChecked(t.id), before == 1) << t.id;
    }
    // A flag holding something other than 0 or 1 toggles to 0.
    Settings.useColors = 7;
    Command(IDM_USE_COLORS);
    EXPECT_EQ(Settings.useColors, 0);
    EXPECT_FALSE(fake::IsChecked(IDM_USE_COLORS));
    EXPECT_EQ(CountMessages("No sound card !"), 0);
}

TEST_F(CommandsTest, ShowChronoRewritesTheStatusTextAtOnce) {
    Settings.showChrono = 1;
    fake::Send(platform::WM_TIMER, kChronoTimerId);
    ASSERT_NE(fake::StatusText().find("Chrono : 00:00:01"), std::string::npos);
    Command(IDM_SHOW_CHRONO);
    EXPECT_EQ(fake::StatusText(), "144 Tiles");
    // Ticks leave the status bar alone while the chrono is hidden, but it still counts.
    fake::Send(platform::WM_TIMER, kChronoTimerId);
    EXPECT_EQ(fake::StatusText(), "144 Tiles");
    Command(IDM_SHOW_CHRONO);
    EXPECT_EQ(fake::StatusText(), "144 Tiles                    Chrono : 00:00:02");
}

TEST_F(CommandsTest, SoundCommandsWithoutSoundCardSayNoAndDoNothing) {
    fake::SetWaveDevices(0);
    Settings.soundEffects = 0;
    Command(IDM_SOUND_EFFECTS);   // switched on, then refused
    EXPECT_EQ(Settings.soundEffects, 0);
    EXPECT_FALSE(fake::IsChecked(IDM_SOUND_EFFECTS));
    Command(IDM_CHANGE_SOUNDS);
    for (int id : {IDM_OPEN_MIDI, IDM_PAUSE_MUSIC, IDM_NO_MUSIC, IDM_REPLAY_MUSIC}) Command(id);
    EXPECT_EQ(CountMessages("No sound card !"), 6);
    for (const fake::MessageRecord& m : fake::Messages())
        if (m.text == "No sound card !") {
            EXPECT_EQ(m.caption, "Tolbex");
            EXPECT_EQ(m.style, platform::MB_OK | platform::MB_ICONINFORMATION);
        }
    EXPECT_EQ(CountDialogs("CHANGESOUNDSDLG"), 0);
    EXPECT_TRUE(fake::FileDialogs().empty());
    EXPECT_TRUE(fake::MciCommands().empty());
}

TEST_F(CommandsTest, SoundCommandsWithSoundCardReachTheirDialogsAndTheMusic) {
    Command(IDM_CHANGE_SOUNDS);
    EXPECT_EQ(CountDialogs("CHANGESOUNDSDLG"), 1);
    const std::string midi = (home / "TUNE.MID").string();
    fake::QueueFileAnswer(midi);
    Command(IDM_OPEN_MIDI);
    ASSERT_EQ(fake::MciCommands().size(), 2u);
    EXPECT_EQ(fake::MciCommands()[0], "open " + midi + " type sequencer alias FichierMIDI");
    EXPECT_FALSE(fake::IsChecked(IDM_NO_MUSIC));
    Command(IDM_NO_MUSIC);
    EXPECT_EQ(fake::MciCommands().back(), "close FichierMIDI");
    EXPECT_TRUE(fake::IsChecked(IDM_NO_MUSIC));
    EXPECT_EQ(CountMessages("No sound card !"), 0);
}

TEST_F(CommandsTest, DialogsOpenFromTheirCommandsAndTheRightButton) {
    int presents = fake::PresentCount();
    fake::Send(platform::WM_RBUTTONDOWN, 0, platform::MakePointParam(100, 100));
    EXPECT_EQ(CountDialogs("CHANGECOLORSDLG"), 1);
    EXPECT_EQ(fake::PresentCount(), presents);   // the right button does not redraw
    Command(IDM_CHANGE_COLORS);
    EXPECT_EQ(CountDialogs("CHANGECOLORSDLG"), 2);
    EXPECT_GT(fake::PresentCount(), presents);   // the menu command does

    Command(IDM_TOP10);
    ASSERT_EQ(CountDialogs("JOUEURSDLG"), 1);
    EXPECT_EQ(fake::DialogsRun().back().texts.at(IDC_TOP_NAME0), std::string(HallOfFame[0].name));

    Command(IDM_ABOUT);
    ASSERT_EQ(CountDialogs("ABOUTDLG"), 1);
    EXPECT_EQ(fake::DialogsRun().back().texts.at(IDC_ABOUT_VERSION).rfind("Tolbex 1.3", 0), 0u);

    Command(IDM_CONTENTS);
    ASSERT_EQ(fake::HelpRequests().size(), 1u);
    EXPECT_EQ(fake::HelpRequests()[0], home.string() + "/Tolbex13.hlp");
}

TEST_F(CommandsTest, UnknownCommandsOnlyClearTheHintState) {
    ArrangeFreeFaces({5, 5});
    Command(IDM_HINT);
    ASSERT_EQ(GameState.hintState, 2);
    const std::string status = fake::StatusText();
    const int presents = fake::PresentCount();
    for (uintptr_t id : {uintptr_t{1099}, uintptr_t{1106}, uintptr_t{1125}, uintptr_t{0},
                         (uintptr_t{1} << 16) | IDM_EXIT})
        EXPECT_EQ(fake::Send(platform::WM_COMMAND, id), 0);
    EXPECT_EQ(GameState.hintState, 0);
    EXPECT_EQ(fake::PresentCount(), presents);
    EXPECT_EQ(fake::StatusText(), status);
    EXPECT_FALSE(fake::QuitPosted().has_value());
}

TEST_F(CommandsTest, SaveThenLoadBringsTheGameBackAndEndsAPause) {
    TakeOnePair();
    const std::string path = (root / "game.txm").string();
    fake::QueueFileAnswer(path);
    Command(IDM_SAVE);
    ASSERT_TRUE(fs::exists(path));
    int8_t faces[kTileCount];
    for (int i = 0; i < kTileCount; ++i) faces[i] = Board.tiles[i].face;

    Command(IDM_NEW);
    ASSERT_EQ(GameState.tilesLeft, 144);
    Command(IDM_PAUSE);
    fake::QueueFileAnswer(path);
    Command(IDM_LOAD);
    EXPECT_EQ(GameState.tilesLeft, 142);
    EXPECT_EQ(GameState.loadedGame, 1);
    for (int i = 0; i < kTileCount; ++i) ASSERT_EQ(Board.tiles[i].face, faces[i]) << i;
    EXPECT_EQ(GameState.paused, 0);
    EXPECT_FALSE(fake::IsChecked(IDM_PAUSE));
    EXPECT_EQ(fake::StatusText().rfind("142 Tiles", 0), 0u);
    EXPECT_GT(NonBackgroundPixels(), 0);

    // Undo still reaches back to the deal after a load.
    Command(IDM_UNDO);
    EXPECT_EQ(GameState.tilesLeft, 144);
}

TEST_F(CommandsTest, LoadThatReadsNothingChangesNothing) {
    const std::string path = (root / "short.txm").string();
    WriteText(path, std::string(100, 'x'));
    Command(IDM_PAUSE);
    const int presents = fake::PresentCount();
    fake::QueueFileAnswer(path);
    Command(IDM_LOAD);
    EXPECT_EQ(CountMessages("TXM file : incorrect size"), 1);
    fake::QueueFileAnswer(std::nullopt);
    Command(IDM_LOAD);
    EXPECT_EQ(fake::PresentCount(), presents);
    EXPECT_EQ(GameState.paused, 1);
    EXPECT_TRUE(fake::IsChecked(IDM_PAUSE));
    EXPECT_EQ(GameState.loadedGame, 0);
}

TEST_F(CommandsTest, LayoutWritesTheOutgoingTopTenToItsOwnFile) {
    const std::string defaultsA = ReadFile(scoresA);
    ASSERT_EQ(defaultsA.size(), static_cast<size_t>(kScoresFileSize));
    // A game won on layout A entered the Top 10.
    std::snprintf(HallOfFame[0].name, sizeof HallOfFame[0].name, "Quick Winner");
    HallOfFame[0].seconds = 61;
    hallOfFameDirty = 1;

    fake::QueueFileAnswer(layoutB);
    Command(IDM_LAYOUT);
    EXPECT_EQ(std::string(Settings.layoutPath), layoutB);
    EXPECT_EQ(std::string(GameState.scoresPath), scoresB);
    // A's file took the new row; B's file has only its default rows, and so does the table.
    EXPECT_NE(ReadFile(scoresA).find("Quick Winner"), std::string::npos);
    ASSERT_TRUE(fs::exists(scoresB));
    EXPECT_EQ(ReadFile(scoresB).find("Quick Winner"), std::string::npos);
    EXPECT_STREQ(HallOfFame[0].name, "Tolbex");
    EXPECT_EQ(hallOfFameDirty, 0);
    // The new layout was dealt and the window fitted to it.
    EXPECT_EQ(GameState.tilesLeft, 144);
    EXPECT_EQ(Board.tiles[kTileCount - 1].level, 1);
    EXPECT_EQ(fake::WindowWidth(), 637);

    // Back to A with an unchanged table: A's file is not touched.
    fs::remove(scoresB);
    fake::QueueFileAnswer(layoutA);
    Command(IDM_LAYOUT);
    EXPECT_NE(ReadFile(scoresA).find("Quick Winner"), std::string::npos);
    EXPECT_STREQ(HallOfFame[0].name, "Quick Winner");
    EXPECT_FALSE(fs::exists(scoresB));
}

TEST_F(CommandsTest, CancelledLayoutChangesNothing) {
    TakeOnePair();
    const std::string path(Settings.layoutPath);
    const int presents = fake::PresentCount();
    fake::QueueFileAnswer(std::nullopt);
    Command(IDM_LAYOUT);
    EXPECT_EQ(std::string(Settings.layoutPath), path);
    EXPECT_EQ(GameState.tilesLeft, 142);
    EXPECT_EQ(fake::PresentCount(), presents);
}

TEST_F(CommandsTest, NewAfterLoadedGameWithChooserCancelledKeepsTheGame) {
    TakeOnePair();
    const std::string path = (root / "loaded.txm").string();
    fake::QueueFileAnswer(path);
    Command(IDM_SAVE);
    fake::QueueFileAnswer(path);
    Command(IDM_LOAD);
    ASSERT_EQ(GameState.loadedGame, 1);
    int8_t faces[kTileCount];
    for (int i = 0; i < kTileCount; ++i) faces[i] = Board.tiles[i].face;

    // Cancelled, then a layout file that cannot be read: both leave the loaded game as it was.
    const std::string gone = (home / "LAYOUTS" / "GONE.TXL").string();
    for (std::optional<std::string> answer : {std::optional<std::string>(), std::optional<std::string>(gone)}) {
        fake::QueueFileAnswer(answer);
        const int presents = fake::PresentCount();
        Command(IDM_NEW);
        EXPECT_EQ(GameState.loadedGame, 1);
        EXPECT_EQ(GameState.tilesLeft, 142);
        for (int i = 0; i < kTileCount; ++i) ASSERT_EQ(Board.tiles[i].face, faces[i]) << i;
        EXPECT_GE(fake::PresentCount(), presents + 2);   // cleared, then drawn again
        EXPECT_GT(NonBackgroundPixels(), 0);
        EXPECT_EQ(fake::StatusText().rfind("142 Tiles", 0), 0u);
    }
    EXPECT_EQ(CountMessages(gone + " : read error"), 1);
    EXPECT_EQ(std::string(Settings.layoutPath), layoutA);

    // Chosen this time: a fresh deal on the chosen layout with its own Top 10.
    fake::QueueFileAnswer(layoutB);
    Command(IDM_NEW);
    EXPECT_EQ(GameState.loadedGame, 0);
    EXPECT_EQ(GameState.tilesLeft, 144);
    EXPECT_EQ(std::string(GameState.scoresPath), scoresB);
}

}  // namespace
}  // namespace shelltest
