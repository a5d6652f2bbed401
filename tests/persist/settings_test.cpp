// The settings file: a hand-built 3640-byte image read field by field and written back byte for
// byte, short, long and damaged files, the 143-character path limit, an unwritable folder. (Random
// files: the settings_file fuzz target.)
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <tuple>

#include "board/state.h"
#include "persist/settings.h"
#include "platform/bitmap.h"
#include "platform/fake/fake.h"
#include "tests/files.h"

namespace {

namespace fs = std::filesystem;

using testfiles::ReadAll;
using testfiles::WriteAll;

const char* const kPaths[7] = {"/g/LAYOUTS/BRIDGE.TXL", "/g/GRAPHICS/MINE.BMP", "/pictures/sky.bmp",
                               "/s/click.wav", "/s/pair.wav", "/s/bad.wav", "/music/tune.mid"};

// Reserved block, four flags, colours 0x00(16c+3)(16c+2)(16c+1), paths with recognisable bytes behind the NUL.
std::string HandMadeImage() {
    std::string image = std::string(104, '\xEE') + std::string("\1\0\1\1", 4);
    for (int c = 0; c < 8; ++c) image += {char(16 * c + 1), char(16 * c + 2), char(16 * c + 3), '\0'};
    for (int p = 0; p < 7; ++p)
        image += kPaths[p] + std::string(1, '\0') + std::string(499 - std::strlen(kPaths[p]), char('a' + p));
    return image;
}

class SettingsFile : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(dir);
        fake::Reset();
        fake::SetConfigDirectory(dir);
        std::strcpy(startDir, "/home/ann");
        std::memset(&Settings, 0, sizeof Settings);   // as at start-up
        BackgroundPicture.bitmap = &picture;
    }
    void TearDown() override { BackgroundPicture.bitmap = nullptr, fs::remove_all(dir); }
    std::string File() const { return dir + "/TOLBEX13.CFG"; }
    // Loads over a record of noise: what is read, whatever the record held before.
    static SettingsRecord Load() {
        std::memset(&Settings, 0x55, sizeof Settings);
        LoadSettings();
        return Settings;
    }

    const std::string dir = "/dev/shm/tolbex-settings-" + std::to_string(::getpid());
    platform::Bitmap picture{1, 1};
};

TEST_F(SettingsFile, HandMadeAndLongFilesLoadIntoTheirFieldsAndAreWrittenBackByteForByte) {
    const std::string image = HandMadeImage();
    WriteAll(File(), image);
    LoadSettings();
    EXPECT_EQ(Settings.useColors + Settings.soundEffects * 2 + Settings.showChrono * 4 + Settings.showExposed * 8, 13);
    const uint32_t colours[8] = {Settings.backgroundColor, Settings.exposedColor, Settings.transparentColor,
                                 Settings.levelColor[0], Settings.levelColor[1], Settings.levelColor[2],
                                 Settings.levelColor[3], Settings.levelColor[4]};
    for (uint32_t c = 0; c < 8; ++c) EXPECT_EQ(colours[c], 0x101010u * c + 0x030201u) << c;
    const char* paths[7] = {Settings.layoutPath, Settings.tileSheetPath, Settings.backgroundPath, Settings.soundClickPath,
                            Settings.soundPairPath, Settings.soundBadClickPath, Settings.midiPath};
    for (int p = 0; p < 7; ++p) EXPECT_STREQ(paths[p], kPaths[p]);
    // With the picture shown and the music playing the same bytes go back, the reserved block zeroed;
    // without them, neither path is kept for the next run.
    BackgroundPicture.bitmap = &picture, musicOn = 1;
    SaveSettings(nullptr);
    std::string expected = std::string(104, '\0') + image.substr(104);
    EXPECT_TRUE(ReadAll(File()) == expected);
    BackgroundPicture.bitmap = nullptr, musicOn = 0;
    SaveSettings(nullptr);
    EXPECT_TRUE(ReadAll(File()) == expected.replace(1140, 1, 1, '\0').replace(3140, 1, 1, '\0'));

    // 5000 bytes: only the first 3640 count. Texts without a NUL are cut at 499; flags become 0/1.
    WriteAll(File(), image.substr(0, 105) + '\x80' + image.substr(106, 34) + std::string(500, 'A') +
                         image.substr(640, 2500) + std::string(1860, 'M'));
    LoadSettings();
    EXPECT_EQ(std::string(Settings.layoutPath), std::string(499, 'A'));
    EXPECT_EQ(std::string(Settings.midiPath), std::string(499, 'M'));
    EXPECT_EQ(Settings.soundEffects, 1);
}

TEST_F(SettingsFile, OwnOptionsLiveInTheFirstReservedBytesAndUnknownValuesReadAsDefault) {
    std::string image = HandMadeImage();
    for (const auto& [bytes, deals, warn, size] :
         {std::tuple{"\1\1\3", 1, 1, 3}, {"\0\1\2", 0, 1, 2}, {"\2\xFF\4", 0, 0, 0}, {"\1\0\1", 1, 0, 1}}) {
        WriteAll(File(), image.replace(0, 3, bytes, 3));
        LoadSettings();
        EXPECT_EQ(std::tuple(int(Settings.winnableDeals), int(Settings.warnDeadEnds), int(Settings.tileSize)),
                  std::tuple(deals, warn, size)) << bytes;
        musicOn = 1;
        SaveSettings(nullptr);
        const std::string written = ReadAll(File());
        const std::string options{char(deals), char(warn), char(size)};
        EXPECT_EQ(written.substr(0, 3), options);
        EXPECT_EQ(written.substr(3), std::string(101, '\0') + image.substr(104));
    }
    fs::remove(File());
    LoadSettings();   // no file: every option of ours is off
    EXPECT_EQ(Settings.winnableDeals + Settings.warnDeadEnds + Settings.tileSize, 0);
}

TEST_F(SettingsFile, EmptyShortAndFolderFilesGiveTheDefaultsForWhatTheyDoNotHold) {
    const SettingsRecord defaults = Load();   // no file
    EXPECT_TRUE(defaults.showChrono == 1 && defaults.backgroundColor == 0x00C0C0C0u);
    EXPECT_STREQ(defaults.tileSheetPath, "/home/ann/GRAPHICS/TOLBEX13.BMP");
    // 0 bytes, or a folder of that name: exactly as no file, and nothing is said.
    for (bool folder : {false, true}) {
        folder ? (void)fs::create_directory(File()) : (void)WriteAll(File(), "");
        const SettingsRecord read = Load();
        EXPECT_EQ(std::memcmp(&read, &defaults, sizeof read), 0) << folder;
        fs::remove(File());
    }
    // A file that ends inside the tile-sheet path: the fields before it are read, the cut path
    // keeps its bytes over the default's, the rest are defaults.
    const std::string image = HandMadeImage();
    WriteAll(File(), image.substr(0, 640 + 9));
    Load();
    EXPECT_EQ(Settings.useColors + Settings.showExposed, 2);
    EXPECT_EQ(Settings.levelColor[4], 0x00737271u);
    EXPECT_STREQ(Settings.layoutPath, kPaths[0]);
    EXPECT_STREQ(Settings.tileSheetPath, "/g/GRAPHI/GRAPHICS/TOLBEX13.BMP");
    EXPECT_TRUE(!std::strcmp(Settings.soundPairPath, defaults.soundPairPath) && Settings.midiPath[0] == '\0');
    EXPECT_TRUE(fake::Messages().empty());
}

TEST_F(SettingsFile, UnwritableFolderAndOverlongPath) {
    fake::SetConfigDirectory(dir + "/plain-file");
    WriteAll(dir + "/plain-file", "abc");
    LoadSettings();   // no file there: the defaults
    EXPECT_STREQ(Settings.tileSheetPath, "/home/ann/GRAPHICS/TOLBEX13.BMP");
    SaveSettings(nullptr);
    ASSERT_EQ(fake::Messages().size(), 1u);
    EXPECT_TRUE(fake::Messages()[0].text == dir + "/plain-file/TOLBEX13.CFG : write error" &&
                fake::Messages()[0].style == (platform::MB_OK | platform::MB_ICONEXCLAMATION));

    // A settings path of 143 characters is used; one of 144 is neither read nor written, and nothing is said.
    for (size_t length : {143u, 144u}) {
        const std::string folder = dir + "/" + std::string(length - dir.size() - 14, 'k');
        ASSERT_TRUE(fs::create_directory(folder));
        WriteAll(folder + "/TOLBEX13.CFG", HandMadeImage());
        fake::SetConfigDirectory(folder + "/");   // a trailing slash gets no second one
        LoadSettings();
        EXPECT_STREQ(Settings.midiPath, length == 143 ? kPaths[6] : "");
        fs::remove(folder + "/TOLBEX13.CFG");
        SaveSettings(nullptr);
        EXPECT_EQ(fs::is_empty(folder), length == 144);   // not even a file of a cut name
    }
    EXPECT_EQ(fake::Messages().size(), 1u);
}

}  // namespace
