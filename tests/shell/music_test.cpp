// The "&Music" menu on the headless front end: the states and checkmarks, the strings sent to
// the sequencer, and the one shutdown that keeps the music path (or none) for the next run.
#include "shell_fixture.h"

namespace shelltest {
namespace {

enum Music { kOff, kPlaying, kPaused };
const std::string kPlay = "play FichierMIDI", kPause = "pause FichierMIDI", kClose = "close FichierMIDI";
std::string Open(const std::string& path) { return "open " + path + " type sequencer alias FichierMIDI"; }

class MusicTest : public StartedTest {
protected:
    const std::string tune = (home / "SOUNDS/TUNE.MID").string();
    const std::string song = (home / "SOUNDS/My Songs/slow song.MID").string();   // blanks carried whole
    size_t mark = 0;

    // Runs one command (the chooser answering `answer`), then checks what reached the sequencer
    // since the last step and the state shown by the flags and the checkmarks.
    void Step(int id, const std::vector<std::string>& sent, Music state, std::optional<std::string> answer = {}) {
        if (answer) fake::QueueFileAnswer(answer);
        Command(id);
        const std::vector<std::string>& all = fake::MciCommands();
        EXPECT_EQ(std::vector<std::string>(all.begin() + long(mark), all.end()), sent) << id;
        mark = all.size();
        EXPECT_TRUE(musicOn == (state != kOff) && musicPaused == (state == kPaused)) << id;
        EXPECT_TRUE(fake::IsChecked(IDM_NO_MUSIC) == (state == kOff) && fake::IsChecked(IDM_PAUSE_MUSIC) == (state == kPaused)) << id;
    }
};

TEST_F(MusicTest, CommandsWalkTheStateTable) {
    for (int id : {IDM_PAUSE_MUSIC, IDM_NO_MUSIC, IDM_REPLAY_MUSIC}) Step(id, {}, kOff);
    Step(IDM_OPEN_MIDI, {Open(song), kPlay}, kPlaying, song);
    Step(IDM_PAUSE_MUSIC, {kPause}, kPaused);
    Step(IDM_REPLAY_MUSIC, {kClose, Open(song), kPlay}, kPlaying);
    Step(IDM_PAUSE_MUSIC, {kPause}, kPaused);
    Step(IDM_OPEN_MIDI, {kClose, Open(tune), kPlay}, kPlaying, tune);
    Step(IDM_PAUSE_MUSIC, {kPause}, kPaused);
    Step(IDM_PAUSE_MUSIC, {kPlay}, kPlaying);
    Step(IDM_NO_MUSIC, {kClose}, kOff);
    for (int id : {IDM_PAUSE_MUSIC, IDM_NO_MUSIC, IDM_REPLAY_MUSIC}) Step(id, {}, kOff);
}

TEST_F(MusicTest, ShutdownKeepsTheMusicForTheNextRun) {
    Step(IDM_OPEN_MIDI, {Open(song), kPlay}, kPlaying, song);
    Restart();   // the window's destruction wrote the path
    mark = 0;
    Step(IDM_PAUSE_MUSIC, {Open(song), kPlay, kPause}, kPaused);
    // A cancelled chooser: the music goes on (its checkmark goes, the sequencer stays paused)
    // but nothing will start at the next run.
    Step(IDM_OPEN_MIDI, {}, kPlaying);
    EXPECT_EQ(Settings.midiPath[0], '\0');
    Step(IDM_PAUSE_MUSIC, {kPause}, kPaused);
    Restart();
    mark = 0;
    Step(IDM_OPEN_MIDI, {Open(tune), kPlay}, kPlaying, tune);
    Step(IDM_NO_MUSIC, {kClose}, kOff);
    fs::remove(settingsPath);
    Step(IDM_EXIT, {}, kOff);   // closed already: the one ending does not close it again
    EXPECT_EQ(fake::QuitPosted(), 0);
    const std::string bytes = ReadFile(settingsPath);
    ASSERT_EQ(bytes.size(), 3640u);
    EXPECT_EQ(bytes[3140], '\0');
    fs::remove(settingsPath);
    fake::Send(platform::WM_DESTROY);
    EXPECT_FALSE(fs::exists(settingsPath));
}

}  // namespace
}  // namespace shelltest
