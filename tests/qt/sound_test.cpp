// The real sound service over SDL's disk audio driver, which writes what would reach the speakers
// into a raw file (44100 Hz, 16-bit, stereo): sound effects are heard, a new one cuts the old,
// bad files play nothing, and the sequencer strings open, pause, resume and close MIDI music.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/platform.h"
#include "platform/qt/sound.h"

namespace {

namespace fs = std::filesystem;

constexpr long kBytesPerSecond = 44100 * 2 * 2;

class SoundTest : public ::testing::Test {
protected:
    fs::path dir;
    std::string output;
    std::string driverBefore, fileBefore;   // the environment is put back for the other tests

    void SetUp() override {
        static int serial = 0;
        dir = fs::temp_directory_path() /
              ("tolbex-sound-" + std::to_string(::getpid()) + "-" + std::to_string(++serial));
        fs::create_directories(dir);
        output = (dir / "speakers.raw").string();
        // Each test hears its own file: the device is opened afresh on the first sound.
        platform::CloseSound();
        const char* driver = std::getenv("SDL_AUDIODRIVER");
        const char* file = std::getenv("SDL_DISKAUDIOFILE");
        driverBefore = driver ? driver : "";
        fileBefore = file ? file : "";
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", output.c_str(), 1);
        unsetenv("SDL_DISKAUDIODELAY");   // real-time pacing: file position = time since open
    }
    void TearDown() override {
        platform::CloseSound();
        for (const auto& [name, value] : {std::pair<const char*, const std::string&>{"SDL_AUDIODRIVER", driverBefore},
                                          {"SDL_DISKAUDIOFILE", fileBefore}}) {
            if (value.empty())
                unsetenv(name);
            else
                setenv(name, value.c_str(), 1);
        }
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }

    long OutputBytes() const {
        struct stat info;
        return stat(output.c_str(), &info) == 0 ? static_cast<long>(info.st_size) : 0;
    }
    // Waits until the device has written `seconds` more of sound (or a generous timeout).
    void Listen(double seconds) const {
        const long target = OutputBytes() + static_cast<long>(seconds * kBytesPerSecond);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (OutputBytes() < target && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    // Everything heard, once the device is closed and the file complete.
    std::vector<int16_t> Heard() const {
        platform::CloseSound();
        std::ifstream in(output, std::ios::binary);
        std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
        std::vector<int16_t> samples(bytes.size() / 2);
        for (size_t i = 0; i < samples.size(); ++i)
            samples[i] = static_cast<int16_t>(static_cast<uint8_t>(bytes[2 * i]) |
                                              (static_cast<uint8_t>(bytes[2 * i + 1]) << 8));
        return samples;
    }
    static int Loud(const std::vector<int16_t>& s, size_t from, size_t to) {
        int count = 0;
        for (size_t i = from; i < std::min(to, s.size()); ++i)
            if (std::abs(s[i]) > 300) ++count;
        return count;
    }
    static size_t SampleAt(double seconds) { return static_cast<size_t>(seconds * 44100) * 2; }

    // A mono 16-bit wave file of a steady tone (amplitude 0 for digital silence).
    std::string WriteTone(const std::string& name, double seconds, double amplitude) const {
        const std::string path = (dir / name).string();
        const uint32_t frames = static_cast<uint32_t>(seconds * 22050);
        std::vector<uint8_t> b;
        auto put = [&b](uint32_t v, int bytes) {
            for (int i = 0; i < bytes; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
        };
        b.insert(b.end(), {'R', 'I', 'F', 'F'});
        put(36 + frames * 2, 4);
        b.insert(b.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
        put(16, 4), put(1, 2), put(1, 2), put(22050, 4), put(44100, 4), put(2, 2), put(16, 2);
        b.insert(b.end(), {'d', 'a', 't', 'a'});
        put(frames * 2, 4);
        for (uint32_t i = 0; i < frames; ++i)
            put(static_cast<uint16_t>(static_cast<int16_t>(amplitude * 32767 * std::sin(i * 0.125))), 2);
        WriteBytes(path, std::string(b.begin(), b.end()));
        return path;
    }
    static void WriteBytes(const std::string& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    static std::string SourceFile(const std::string& sub) { return std::string(TOLBEX_SOURCE_DIR) + sub; }
    static std::string Open(const std::string& path) {
        return "open " + path + " type sequencer alias FichierMIDI";
    }
};

TEST_F(SoundTest, ShippedClickIsHeardOnTheOneDevice) {
    EXPECT_EQ(platform::WaveOutGetNumDevs(), 1u);
    platform::PlaySound(SourceFile("/data/SOUNDS/SOUND1.WAV").c_str());
    Listen(0.4);
    const std::vector<int16_t> heard = Heard();
    EXPECT_GT(Loud(heard, 0, heard.size()), 200);
}

TEST_F(SoundTest, NewSoundCutsTheOneStillPlaying) {
    const std::string longTone = WriteTone("LONG.WAV", 3.0, 0.5);
    const std::string hush = WriteTone("HUSH.WAV", 0.05, 0.0);
    platform::PlaySound(longTone.c_str());
    Listen(0.3);
    const double cutAt = static_cast<double>(OutputBytes()) / kBytesPerSecond;
    platform::PlaySound(hush.c_str());
    Listen(1.0);
    const std::vector<int16_t> heard = Heard();
    if (cutAt > 1.5) GTEST_SKIP() << "the machine was too slow to cut the tone early";
    EXPECT_GT(Loud(heard, 0, SampleAt(cutAt)), 1000);
    // Well before the long tone would have ended, there is only the silence of the second file.
    EXPECT_EQ(Loud(heard, SampleAt(cutAt + 0.3), heard.size()), 0);
    EXPECT_LT(heard.size(), SampleAt(2.6));
}

TEST_F(SoundTest, BadWaveFilesPlayNothing) {
    const std::string text = (dir / "TEXT.WAV").string();
    WriteBytes(text, "this is not a sound, only some words in a file named like one\n");
    const std::string riffJunk = (dir / "JUNK.WAV").string();
    WriteBytes(riffJunk, std::string("RIFF\x24\x00\x00\x00WAVEfmt ", 16) + std::string(200, '\x7f'));
    const std::string midi = (dir / "MUSIC.WAV").string();
    fs::copy_file(SourceFile("/data/SOUNDS/GARDEN.MID"), midi);
    const std::string hush = WriteTone("HUSH.WAV", 0.05, 0.0);
    platform::PlaySound(hush.c_str());   // the device is open: a bad file would be heard
    for (const std::string& path : {(dir / "MISSING.WAV").string(), text, riffJunk, midi, dir.string(),
                                    std::string()})
        platform::PlaySound(path.c_str());
    platform::PlaySound(nullptr);
    Listen(0.3);
    const std::vector<int16_t> heard = Heard();
    EXPECT_FALSE(heard.empty());
    EXPECT_EQ(Loud(heard, 0, heard.size()), 0);

    // A wave file cut short in its data, and one cut inside its header: no crash, whatever plays.
    std::ifstream in(SourceFile("/data/SOUNDS/SOUND2.WAV"), std::ios::binary);
    const std::string whole((std::istreambuf_iterator<char>(in)), {});
    for (size_t keep : {size_t(20), size_t(44), whole.size() / 2}) {
        const std::string cut = (dir / ("CUT" + std::to_string(keep) + ".WAV")).string();
        WriteBytes(cut, whole.substr(0, keep));
        platform::PlaySound(cut.c_str());
    }
}

TEST_F(SoundTest, SequencerStringsAreParsedWhole) {
    using platform::MciSendString;
    // Nothing is open: play, pause and close name no device.
    EXPECT_EQ(MciSendString("play FichierMIDI"), platform::kMciInvalidDeviceName);
    EXPECT_EQ(MciSendString("pause FichierMIDI"), platform::kMciInvalidDeviceName);
    EXPECT_EQ(MciSendString("close FichierMIDI"), platform::kMciInvalidDeviceName);
    for (const char* unknown : {"", "stop FichierMIDI", "play", "PLAY FichierMIDI", "play FichierMIDI ",
                                "play OtherMusic", "open x.MID type waveaudio alias FichierMIDI",
                                "open x.MID type sequencer alias OtherMusic", "open x.MID",
                                "seek FichierMIDI to start"})
        EXPECT_EQ(MciSendString(unknown), platform::kMciUnrecognizedCommand) << '"' << unknown << '"';
    EXPECT_EQ(MciSendString(nullptr), platform::kMciUnrecognizedCommand);
    EXPECT_EQ(MciSendString("open  type sequencer alias FichierMIDI"), platform::kMciFileNotFound);

    // Files the sequencer cannot take: missing, not music, music that is not MIDI.
    const std::string text = (dir / "WORDS.MID").string();
    WriteBytes(text, "no music here\n");
    const std::string wave = (dir / "WAVE.MID").string();
    fs::copy_file(SourceFile("/data/SOUNDS/SOUND1.WAV"), wave);
    for (const std::string& path : {(dir / "MISSING.MID").string(), text, wave}) {
        EXPECT_EQ(MciSendString(Open(path).c_str()), platform::kMciFileNotFound) << path;
        EXPECT_EQ(MciSendString("play FichierMIDI"), platform::kMciInvalidDeviceName);
    }
    // Only the header of a MIDI file: whether it opens or not, nothing breaks and close tidies up.
    const std::string headerOnly = (dir / "HEAD.MID").string();
    WriteBytes(headerOnly, std::string("MThd\0\0\0\x06\0\x01\0\x05\x01\xe0MTrk\0\0\x10\0", 22));
    if (MciSendString(Open(headerOnly).c_str()) == 0) {
        MciSendString("play FichierMIDI");
        Listen(0.1);
        EXPECT_EQ(MciSendString("close FichierMIDI"), 0u);
    }
    const std::vector<int16_t> heard = Heard();
    EXPECT_EQ(Loud(heard, 0, heard.size()), 0);
}

TEST_F(SoundTest, MidiWithBlanksInItsPathPlaysPausesResumesAndCloses) {
    if (!fs::exists("/usr/share/sounds/sf2/TimGM6mb.sf2") && !fs::exists("/usr/share/sounds/sf2/default-GM.sf2"))
        GTEST_SKIP() << "no General MIDI soundfont installed";
    using platform::MciSendString;
    fs::create_directories(dir / "My Music");
    const std::string song = (dir / "My Music" / "a garden tune.MID").string();
    fs::copy_file(SourceFile("/data/SOUNDS/GARDEN.MID"), song);

    ASSERT_EQ(MciSendString(Open(song).c_str()), 0u);
    EXPECT_EQ(MciSendString(Open(song).c_str()), platform::kMciDuplicateAlias);
    ASSERT_EQ(MciSendString("play FichierMIDI"), 0u);
    Listen(1.5);
    EXPECT_EQ(MciSendString("pause FichierMIDI"), 0u);
    const double pausedAt = static_cast<double>(OutputBytes()) / kBytesPerSecond;
    Listen(1.0);
    EXPECT_EQ(MciSendString("pause FichierMIDI"), 0u);   // pausing again changes nothing
    const double resumedAt = static_cast<double>(OutputBytes()) / kBytesPerSecond;
    EXPECT_EQ(MciSendString("play FichierMIDI"), 0u);
    Listen(1.5);
    EXPECT_EQ(MciSendString("close FichierMIDI"), 0u);
    EXPECT_EQ(MciSendString("close FichierMIDI"), platform::kMciInvalidDeviceName);
    const std::vector<int16_t> heard = Heard();

    // The tune starts with a plucked note at once; while paused, silence; then it goes on.
    EXPECT_GT(Loud(heard, 0, SampleAt(pausedAt)), 1000);
    EXPECT_EQ(Loud(heard, SampleAt(pausedAt + 0.2), SampleAt(resumedAt)), 0);
    EXPECT_GT(Loud(heard, SampleAt(resumedAt + 0.1), heard.size()), 1000);
}

TEST_F(SoundTest, PauseOrCloseWhileTheFileIsStillBeingReadIsHonoured) {
    if (!fs::exists("/usr/share/sounds/sf2/TimGM6mb.sf2") && !fs::exists("/usr/share/sounds/sf2/default-GM.sf2"))
        GTEST_SKIP() << "no General MIDI soundfont installed";
    using platform::MciSendString;
    const std::string song = SourceFile("/data/SOUNDS/GARDEN.MID");
    // Closed at once: the reading is waited for and thrown away.
    ASSERT_EQ(MciSendString(Open(song).c_str()), 0u);
    EXPECT_EQ(MciSendString("close FichierMIDI"), 0u);

    // Paused before it could start: it must not start on its own once read.
    ASSERT_EQ(MciSendString(Open(song).c_str()), 0u);
    EXPECT_EQ(MciSendString("play FichierMIDI"), 0u);
    EXPECT_EQ(MciSendString("pause FichierMIDI"), 0u);
    Listen(1.0);
    const double resumedAt = static_cast<double>(OutputBytes()) / kBytesPerSecond;
    EXPECT_EQ(MciSendString("play FichierMIDI"), 0u);
    Listen(1.0);
    const std::vector<int16_t> heard = Heard();   // closes the music with the device
    EXPECT_EQ(Loud(heard, SampleAt(0.3), SampleAt(resumedAt)), 0);
    EXPECT_GT(Loud(heard, SampleAt(resumedAt), heard.size()), 1000);
}

}  // namespace
