// The menu commands and mouse messages on the headless front end: the pause rules, the toggles,
// the sound-card check, the dialogs, Save, Load, New after a loaded game and Layout's Top 10.
#include "shell_fixture.h"

#include "board/rules.h"

namespace shelltest {
namespace {

class CommandsTest : public StartedTest {
protected:
    static void ExpectPaused(bool paused) {
        EXPECT_EQ(GameState.paused, paused ? 1 : 0);
        EXPECT_EQ(fake::IsChecked(IDM_PAUSE), paused);
    }
};

TEST_F(CommandsTest, PauseEndsOnlyWithAClickOrARedraw) {
    const int tile = FreeTiles().at(0);
    Command(IDM_PAUSE);
    ExpectPaused(true);
    EXPECT_FALSE(Shown(tile));
    const int presents = fake::PresentCount();
    fake::Send(platform::WM_PAINT);
    fake::QueueFileAnswer((root / "paused.txm").string());
    for (int id : {IDM_SHOW_CHRONO, IDM_TOP10, IDM_SAVE}) Command(id);
    fake::Send(platform::WM_RBUTTONDOWN);
    EXPECT_EQ(fake::PresentCount(), presents);
    ExpectPaused(true);
    for (int id : {IDM_PAUSE, IDM_NEW, IDM_UNDO, IDM_CHANGE_COLORS, IDM_SHOW_EXPOSED, 0}) {
        if (id != IDM_PAUSE) Command(IDM_PAUSE);
        id == 0 ? ClickTile(tile) : Command(id);   // 0: a click, played as an ordinary click
        SCOPED_TRACE(id);
        ExpectPaused(false);
    }
    EXPECT_EQ(GameState.selected, tile);
    EXPECT_TRUE(Shown(tile));
}

TEST_F(CommandsTest, TogglesDialogsAndTheSoundCardCheck) {
    for (auto [id, flag] : {std::pair{IDM_USE_COLORS, &Settings.useColors}, {IDM_SHOW_CHRONO, &Settings.showChrono},
                            {IDM_SHOW_EXPOSED, &Settings.showExposed}, {IDM_SOUND_EFFECTS, &Settings.soundEffects}}) {
        const bool before = *flag == 1;
        for (bool now : {!before, before}) {
            Command(id);
            EXPECT_TRUE(*flag == now && fake::IsChecked(id) == now) << id;
        }
    }
    fake::QueueDialogScript([](platform::Window dialog, fake::FakeDialog& about) {
        fake::PressButton(dialog, platform::IDCANCEL);   // only OK closes the About box
        fake::PressButton(dialog, IDC_ABOUT_OK + 0x10000);
        EXPECT_FALSE(about.ended);
    });
    Command(IDM_ABOUT);
    ASSERT_EQ(fake::DialogsRun().size(), 1u);
    EXPECT_TRUE(fake::DialogsRun()[0].ended && fake::DialogsRun()[0].texts.at(IDC_ABOUT_VERSION).rfind("Tolbex 1.3", 0) == 0);
    fake::Send(platform::WM_COMMAND, (uintptr_t{1} << 16) | IDM_EXIT);   // the whole wParam is the command
    EXPECT_FALSE(fake::QuitPosted().has_value());

    fake::SetWaveDevices(0);
    Settings.soundEffects = 0;
    for (int id : {IDM_SOUND_EFFECTS, IDM_CHANGE_SOUNDS, IDM_OPEN_MIDI, IDM_PAUSE_MUSIC, IDM_NO_MUSIC, IDM_REPLAY_MUSIC})
        Command(id);
    ASSERT_EQ(fake::Messages().size(), 6u);
    for (const fake::MessageRecord& m : fake::Messages()) EXPECT_EQ(m.text, "No sound card !");
    EXPECT_TRUE(Settings.soundEffects == 0 && !fake::IsChecked(IDM_SOUND_EFFECTS));
    EXPECT_TRUE(fake::DialogsRun().size() == 1 && fake::FileDialogs().empty() && fake::MciCommands().empty());
}

TEST_F(CommandsTest, SaveLoadNewAndLayout) {
    BuildMoveList();   // one pair played: the saved game has 142 tiles and a move to undo
    ClickTile(Board.moves[0].first);
    ClickTile(Board.moves[0].second);
    const std::string path = (root / "game.txm").string();
    fake::QueueFileAnswer(path);
    Command(IDM_SAVE);
    std::vector<int8_t> faces;
    for (const TileRecord& t : Board.tiles) faces.push_back(t.face);
    Command(IDM_NEW);
    // Loaded (which ends a pause), then New with the layout chooser cancelled: the game is the same.
    Command(IDM_PAUSE);
    fake::QueueFileAnswer(path);
    for (int id : {IDM_LOAD, IDM_NEW}) {
        Command(id);
        SCOPED_TRACE(id);
        ExpectPaused(false);
        EXPECT_EQ(GameState.loadedGame, 1);
        for (int i = 0; i < kTileCount; ++i) ASSERT_EQ(Board.tiles[i].face, faces[i]) << i;
        EXPECT_EQ(fake::StatusText().rfind("142 Tiles", 0), 0u);
        EXPECT_TRUE(Shown(FreeTiles().at(0)));
    }
    fake::QueueFileAnswer(layoutB);
    Command(IDM_NEW);
    EXPECT_EQ(GameState.loadedGame, 0);
    const std::string scoresB = GameState.scoresPath;
    EXPECT_EQ(scoresB, (home / "LAYOUTS/TWOLEVEL.txs").string());
    // A game won on B entered its Top 10: Layout writes it to B's file, then reads A's.
    std::snprintf(HallOfFame[0].name, sizeof HallOfFame[0].name, "Quick Winner");
    hallOfFameDirty = 1;
    fake::QueueFileAnswer(layoutA);
    Command(IDM_LAYOUT);
    EXPECT_NE(ReadFile(scoresB).find("Quick Winner"), std::string::npos);
    EXPECT_EQ(ReadFile((home / "LAYOUTS/LAYOUT1.txs").string()).find("Quick Winner"), std::string::npos);
    EXPECT_STREQ(HallOfFame[0].name, "Tolbex");
}

}  // namespace
}  // namespace shelltest
