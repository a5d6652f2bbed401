// The "&Music" menu on the headless front end: the off / playing / paused states with their
// checkmarks after every command, the strings sent to the sequencer, the MIDI chooser, and what
// the settings file keeps of the music for the next run.
#include "shell_fixture.h"

#include "shell/music.h"

namespace shelltest {
namespace {

enum class Music { Off, Playing, Paused };

class MusicTest : public ShellTest {
protected:
    std::string tune, song;

    void SetUp() override {
        ShellTest::SetUp();
        fs::create_directories(home / "SOUNDS" / "My Songs");
        tune = (home / "SOUNDS" / "TUNE.MID").string();
        // A path with blanks in a folder and in the name: it must reach the sequencer whole.
        song = (home / "SOUNDS" / "My Songs" / "slow song.MID").string();
    }

    // The state as the player sees it in the menu, and as the flags say.
    static void ExpectState(Music state, const char* when) {
        SCOPED_TRACE(when);
        EXPECT_EQ(musicOn, state == Music::Off ? 0 : 1);
        EXPECT_EQ(musicPaused, state == Music::Paused ? 1 : 0);
        EXPECT_EQ(fake::IsChecked(IDM_NO_MUSIC), state == Music::Off);
        EXPECT_EQ(fake::IsChecked(IDM_PAUSE_MUSIC), state == Music::Paused);
    }

    // The sequencer commands sent since `from`.
    static std::vector<std::string> SentSince(size_t from) {
        const std::vector<std::string>& all = fake::MciCommands();
        return {all.begin() + static_cast<long>(std::min(from, all.size())), all.end()};
    }

    static std::string Open(const std::string& path) {
        return "open " + path + " type sequencer alias FichierMIDI";
    }

    // A new process on the same home and config directories.
    void Restart() {
        fake::Send(platform::WM_DESTROY);
        fake::Reset();
        fake::SetCurrentDirectory(home.string());
        fake::SetConfigDirectory(config.string());
        Settings = SettingsRecord{};
        musicOn = 0;
        musicPaused = 0;
        ASSERT_EQ(Start(), 0);
    }
};

TEST_F(MusicTest, CommandsWalkTheStateTable) {
    ASSERT_EQ(Start(), 0);
    ExpectState(Music::Off, "start-up without a file");

    // In the off state pause, stop and replay do nothing at all.
    for (int id : {IDM_PAUSE_MUSIC, IDM_NO_MUSIC, IDM_REPLAY_MUSIC}) Command(id);
    EXPECT_TRUE(fake::MciCommands().empty());
    ExpectState(Music::Off, "pause, stop and replay while off");

    fake::QueueFileAnswer(song);
    Command(IDM_OPEN_MIDI);
    ASSERT_EQ(fake::FileDialogs().size(), 1u);
    const fake::FileDialogRecord& dialog = fake::FileDialogs()[0];
    EXPECT_FALSE(dialog.save);
    EXPECT_EQ(dialog.filterName, "MID Files (*.MID)");
    EXPECT_EQ(dialog.filterPattern, "*.MID");
    EXPECT_FALSE(dialog.allFilesFilter);
    EXPECT_EQ(dialog.filterIndex, 1);
    EXPECT_EQ(dialog.initialDir, (home / "SOUNDS").string());
    EXPECT_EQ(dialog.title, "Tolbex");
    EXPECT_EQ(dialog.flags, 0x1810u);
    EXPECT_EQ(dialog.defExt, "MID");
    // Off to playing: no close first, since nothing was open.
    EXPECT_EQ(SentSince(0), (std::vector<std::string>{Open(song), "play FichierMIDI"}));
    EXPECT_EQ(std::string(Settings.midiPath), song);
    ExpectState(Music::Playing, "a file chosen");

    size_t mark = fake::MciCommands().size();
    Command(IDM_PAUSE_MUSIC);
    ExpectState(Music::Paused, "pause");
    Command(IDM_PAUSE_MUSIC);
    ExpectState(Music::Playing, "pause again");
    EXPECT_EQ(SentSince(mark), (std::vector<std::string>{"pause FichierMIDI", "play FichierMIDI"}));

    // Replay while paused: the same file from its start, and the pause is over.
    Command(IDM_PAUSE_MUSIC);
    mark = fake::MciCommands().size();
    Command(IDM_REPLAY_MUSIC);
    EXPECT_EQ(SentSince(mark), (std::vector<std::string>{"close FichierMIDI", Open(song), "play FichierMIDI"}));
    ExpectState(Music::Playing, "replay while paused");

    // Another file while paused: the old one is closed, the new one starts.
    Command(IDM_PAUSE_MUSIC);
    fake::QueueFileAnswer(tune);
    mark = fake::MciCommands().size();
    Command(IDM_OPEN_MIDI);
    EXPECT_EQ(SentSince(mark), (std::vector<std::string>{"close FichierMIDI", Open(tune), "play FichierMIDI"}));
    ExpectState(Music::Playing, "another file while paused");

    Command(IDM_PAUSE_MUSIC);
    mark = fake::MciCommands().size();
    Command(IDM_NO_MUSIC);
    EXPECT_EQ(SentSince(mark), (std::vector<std::string>{"close FichierMIDI"}));
    ExpectState(Music::Off, "no music while paused");
    EXPECT_EQ(std::string(Settings.midiPath), tune);   // kept in memory until the settings are written

    mark = fake::MciCommands().size();
    for (int id : {IDM_PAUSE_MUSIC, IDM_NO_MUSIC, IDM_REPLAY_MUSIC}) Command(id);
    EXPECT_TRUE(SentSince(mark).empty());
    ExpectState(Music::Off, "pause, stop and replay after no music");
    EXPECT_TRUE(fake::Messages().empty());
}

TEST_F(MusicTest, CancelledChooserLeavesTheMusicButForgetsTheFile) {
    WriteSettings([&] { std::snprintf(Settings.midiPath, sizeof Settings.midiPath, "%s", song.c_str()); });
    ASSERT_EQ(Start(), 0);
    EXPECT_EQ(SentSince(0), (std::vector<std::string>{Open(song), "play FichierMIDI"}));
    ExpectState(Music::Playing, "start-up with a file");

    Command(IDM_PAUSE_MUSIC);
    size_t mark = fake::MciCommands().size();
    Command(IDM_OPEN_MIDI);   // no answer queued: cancelled
    // The chooser unchecked "&Pause music" although the sequencer stays paused, and it sent nothing.
    EXPECT_TRUE(SentSince(mark).empty());
    ExpectState(Music::Playing, "open cancelled while paused");
    EXPECT_EQ(Settings.midiPath[0], '\0');
    // So the next pause is sent again, and the one after resumes.
    Command(IDM_PAUSE_MUSIC);
    Command(IDM_PAUSE_MUSIC);
    EXPECT_EQ(SentSince(mark), (std::vector<std::string>{"pause FichierMIDI", "play FichierMIDI"}));

    // Replay now closes the music and has nothing to open.
    mark = fake::MciCommands().size();
    Command(IDM_REPLAY_MUSIC);
    EXPECT_EQ(SentSince(mark), (std::vector<std::string>{"close FichierMIDI"}));
    EXPECT_FALSE(fake::IsChecked(IDM_NO_MUSIC));

    // The next run has no music.
    Command(IDM_EXIT);
    Restart();
    EXPECT_EQ(Settings.midiPath[0], '\0');
    EXPECT_TRUE(fake::MciCommands().empty());
    ExpectState(Music::Off, "next run");
}

TEST_F(MusicTest, NoMusicAtExitMeansNoMusicAtTheNextRun) {
    WriteSettings([&] { std::snprintf(Settings.midiPath, sizeof Settings.midiPath, "%s", tune.c_str()); });
    ASSERT_EQ(Start(), 0);
    Command(IDM_NO_MUSIC);
    const size_t mark = fake::MciCommands().size();
    Command(IDM_EXIT);
    EXPECT_TRUE(SentSince(mark).empty());   // closed already: shutdown does not close it again

    // The file on disk has an empty music path although the record still held one.
    const std::string bytes = ReadFile(SettingsPath());
    ASSERT_EQ(bytes.size(), 3640u);
    EXPECT_EQ(bytes[3140], '\0');

    Restart();
    EXPECT_TRUE(fake::MciCommands().empty());
    ExpectState(Music::Off, "next run");

    // While music plays, exit closes it after the settings kept its path for the next run.
    fake::QueueFileAnswer(song);
    Command(IDM_OPEN_MIDI);
    Command(IDM_EXIT);
    EXPECT_EQ(fake::MciCommands().back(), "close FichierMIDI");
    Restart();
    EXPECT_EQ(SentSince(0), (std::vector<std::string>{Open(song), "play FichierMIDI"}));
    ExpectState(Music::Playing, "the run after");
}

TEST_F(MusicTest, LongPathIsCutToTheCommandBuffer) {
    ASSERT_EQ(Start(), 0);
    // A 499-character path does not fit with the rest of the open command in 500 bytes; the
    // command is cut (and the sequencer will refuse it) but nothing runs past the buffer.
    const std::string longPath = "/" + std::string(498, 'x');
    fake::QueueFileAnswer(longPath);
    Command(IDM_OPEN_MIDI);
    ASSERT_EQ(fake::MciCommands().size(), 2u);
    EXPECT_EQ(fake::MciCommands()[0].size(), 499u);
    EXPECT_EQ(fake::MciCommands()[0].rfind("open /xxx", 0), 0u);
    EXPECT_EQ(fake::MciCommands()[1], "play FichierMIDI");
    EXPECT_EQ(std::string(Settings.midiPath), longPath);
    ExpectState(Music::Playing, "a cut command is still taken to play");
}

}  // namespace
}  // namespace shelltest
