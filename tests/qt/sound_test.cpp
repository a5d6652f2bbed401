// The sound service over SDL's disk audio driver, which writes what would reach the speakers into
// a raw file (44100 Hz, 16-bit stereo): effects are heard, a new one cuts the old, bad files play
// nothing, and the sequencer strings open (paths with blanks), pause, resume and close MIDI music.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

#include "platform/platform.h"
#include "platform/qt/sound.h"
#include "tests/files.h"
#include "tests/qt/support.h"

namespace fs = std::filesystem;
using platform::MciSendString;
constexpr double kBytesPerSecond = 44100 * 2 * 2;
const std::string kSounds = std::string(TOLBEX_SOURCE_DIR) + "/data/SOUNDS/";

class Sound : public ::testing::Test {
protected:
    fs::path dir = fs::temp_directory_path() / ("tolbex-sound-" + std::to_string(::getpid()));
    std::string output = (dir / "speakers.raw").string();

    void SetUp() override {
        fs::create_directories(dir / "My Music");
        platform::CloseSound();   // the device reopens on the next sound, writing to our file
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", output.c_str(), 1);
        unsetenv("SDL_DISKAUDIODELAY");   // real-time pacing: file position = time since open
    }
    void TearDown() override {
        platform::CloseSound();
        unsetenv("SDL_DISKAUDIOFILE");
        fs::remove_all(dir);
    }
    double Seconds() const { return fs::exists(output) ? fs::file_size(output) / kBytesPerSecond : 0; }
    void Listen(double seconds) const {   // until the device has written that much more sound
        for (double end = Seconds() + seconds, i = 0; i < 2000 && Seconds() < end; ++i) usleep(10000);
    }
    static int Loud(const std::vector<int16_t>& s, double from, double to = 1e9) {
        const size_t end = std::min(s.size(), size_t(to * 44100) * 2), begin = std::min(end, size_t(from * 44100) * 2);
        return int(std::count_if(s.begin() + begin, s.begin() + end, [](int16_t v) { return std::abs(v) > 300; }));
    }
    std::vector<int16_t> Heard() const {   // closes the device so that the file is complete
        platform::CloseSound();
        std::vector<int16_t> samples(fs::file_size(output) / 2);
        std::ifstream(output, std::ios::binary).read(reinterpret_cast<char*>(samples.data()), std::streamsize(samples.size() * 2));
        return samples;
    }
    std::string Write(const std::string& name, const std::string& bytes) const { return testfiles::WriteAll((dir / name).string(), bytes); }
    // A mono 16-bit 22050 Hz wave file of a steady tone (amplitude 0: digital silence).
    std::string Tone(const std::string& name, double seconds, double amplitude) const {
        const uint32_t frames = uint32_t(seconds * 22050);
        std::string b;
        auto put = [&b](uint32_t v, int bytes) { for (int i = 0; i < bytes; ++i) b += char(v >> (8 * i)); };
        b += "RIFF", put(36 + frames * 2, 4), b += "WAVEfmt ";
        put(16, 4), put(1, 2), put(1, 2), put(22050, 4), put(44100, 4), put(2, 2), put(16, 2);
        b += "data", put(frames * 2, 4);
        for (uint32_t i = 0; i < frames; ++i) put(uint16_t(int16_t(amplitude * 32767 * std::sin(i * 0.125))), 2);
        return Write(name, b);
    }
    static std::string Open(const std::string& path) { return "open " + path + " type sequencer alias FichierMIDI"; }
};

TEST_F(Sound, ANewSoundCutsTheOneStillPlayingAndTheClickIsHeard) {
    platform::PlaySound(Tone("LONG.WAV", 3.0, 0.5).c_str());
    Listen(0.3);
    const double cutAt = Seconds();
    platform::PlaySound((kSounds + "SOUND1.WAV").c_str());   // a click of 0.12 s
    Listen(1.0);
    const std::vector<int16_t> heard = Heard();
    if (cutAt > 1.5) GTEST_SKIP() << "the machine was too slow to cut the tone early";
    EXPECT_GT(Loud(heard, 0, cutAt), 1000);
    EXPECT_GT(Loud(heard, cutAt, cutAt + 0.45), 200);
    EXPECT_EQ(Loud(heard, cutAt + 0.45), 0);   // long before the tone would end
}

TEST_F(Sound, BadFilesPlayNothingAndUnknownCommandsAreRefused) {
    platform::PlaySound(Tone("HUSH.WAV", 0.05, 0.0).c_str());   // the device is open: a bad file would be heard
    for (const std::string& path : {(dir / "MISSING.WAV").string(),
                                    Write("JUNK.WAV", std::string("RIFF\x24\0\0\0WAVEfmt ", 16) + std::string(200, 0x7f)),
                                    Write("MUSIC.WAV", std::string("MThd\0\0\0\x06\0\x01\0\x05\x01\xe0MTrk\0\0\x10\0", 22)),
                                    std::string()})
        platform::PlaySound(path.c_str());
    platform::PlaySound(nullptr);

    EXPECT_EQ(MciSendString("play FichierMIDI"), platform::kMciInvalidDeviceName);   // nothing open
    for (const char* unknown : {"stop FichierMIDI", "play FichierMIDI ", "open x.MID type waveaudio alias FichierMIDI"})
        EXPECT_EQ(MciSendString(unknown), platform::kMciUnrecognizedCommand) << '"' << unknown << '"';
    EXPECT_EQ(MciSendString(nullptr), platform::kMciUnrecognizedCommand);
    for (const std::string& path : {(dir / "MISSING.MID").string(), Tone("WAVE.MID", 0.1, 0.5)}) {
        EXPECT_EQ(MciSendString(Open(path).c_str()), platform::kMciFileNotFound) << path;
        EXPECT_EQ(MciSendString("play FichierMIDI"), platform::kMciInvalidDeviceName);
    }
    Listen(0.3);
    const std::vector<int16_t> heard = Heard();
    EXPECT_TRUE(!heard.empty() && Loud(heard, 0) == 0);
}

// Paused at once, while the file is still being read, it must not start on its own; resumed it
// plays; paused again it falls silent; closed it is gone.
TEST_F(Sound, MidiWithBlanksInItsPathPausesPlaysAndCloses) {
    if (!fs::exists("/usr/share/sounds/sf2/default-GM.sf2")) GTEST_SKIP() << "no General MIDI soundfont installed";
    const std::string song = (dir / "My Music" / "a garden tune.MID").string();
    fs::copy_file(kSounds + "GARDEN.MID", song);
    ASSERT_EQ(MciSendString(Open(song).c_str()), 0u);
    EXPECT_EQ(MciSendString(Open(song).c_str()), platform::kMciDuplicateAlias);
    EXPECT_EQ(MciSendString("play FichierMIDI"), 0u);
    EXPECT_EQ(MciSendString("pause FichierMIDI"), 0u);
    Listen(1.0);
    const double resumedAt = Seconds();
    EXPECT_EQ(MciSendString("play FichierMIDI"), 0u);
    Listen(1.5);
    EXPECT_EQ(MciSendString("pause FichierMIDI"), 0u);
    const double pausedAt = Seconds();
    Listen(0.8);
    EXPECT_EQ(MciSendString("close FichierMIDI"), 0u);
    EXPECT_EQ(MciSendString("close FichierMIDI"), platform::kMciInvalidDeviceName);
    const std::vector<int16_t> heard = Heard();
    EXPECT_EQ(Loud(heard, 0.3, resumedAt), 0);
    EXPECT_GT(Loud(heard, resumedAt, pausedAt), 1000);
    EXPECT_EQ(Loud(heard, pausedAt + 0.2), 0);
}

// An open device keeps a thread of the mixer awake: it goes once no sound plays and no music is
// open for the idle time, and not before; the next sound opens it again.
TEST_F(Sound, TheDeviceIsGivenBackWhenIdleAndNotWhileMusicIsOpen) {
    qttest::App();
    platform::SetSoundIdleClose(300);
    const auto threads = [] { return std::distance(fs::directory_iterator("/proc/self/task"), fs::directory_iterator()); };
    const auto wait = [](int ms) {
        for (int i = 0; i < ms / 10; ++i) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            usleep(10000);
        }
    };
    const auto alone = threads();
    platform::PlaySound(Tone("SHORT.WAV", 0.1, 0.5).c_str());
    EXPECT_GT(threads(), alone);
    wait(800);
    EXPECT_EQ(threads(), alone);

    platform::PlaySound(Tone("AGAIN.WAV", 0.1, 0.5).c_str());
    const auto playing = threads();
    EXPECT_GT(playing, alone);   // the next sound opened it again
    ASSERT_EQ(MciSendString(Open(kSounds + "GARDEN.MID").c_str()), 0u);
    wait(800);
    EXPECT_GE(threads(), playing);   // the music is open: the device stays
    EXPECT_EQ(MciSendString("close FichierMIDI"), 0u);
    wait(800);
    EXPECT_EQ(threads(), alone);
    platform::SetSoundIdleClose(5000);
}
