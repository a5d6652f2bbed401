// The settings file and the home directory it names its defaults from: the 3640-byte image
// field by field, defaults on a first run, short, long and damaged files, where the file lives,
// and what happens when it cannot be written.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "board/state.h"
#include "persist/settings.h"
#include "platform/bitmap.h"
#include "platform/fake/fake.h"
#include "shell/home.h"

namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteAll(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void Put32(std::vector<uint8_t>& image, size_t offset, uint32_t v) {
    for (int i = 0; i < 4; ++i) image[offset + i] = static_cast<uint8_t>(v >> (8 * i));
}

// A 500-byte path field: the text, its NUL, and recognisable bytes behind the NUL.
void PutPath(std::vector<uint8_t>& image, size_t offset, const std::string& text, uint8_t behind) {
    std::memset(image.data() + offset, behind, 500);
    std::memcpy(image.data() + offset, text.c_str(), text.size() + 1);
}

// A settings image written out by hand, offset by offset.
std::vector<uint8_t> HandMadeImage() {
    std::vector<uint8_t> image(3640, 0);
    std::memset(image.data(), 0xEE, 104);   // reserved: ignored when read
    image[104] = 1;                          // useColors
    image[105] = 0;                          // soundEffects
    image[106] = 1;                          // showChrono
    image[107] = 1;                          // showExposed
    Put32(image, 108, 0x00102030);           // backgroundColor
    Put32(image, 112, 0x00405060);           // exposedColor
    Put32(image, 116, 0x00708090);           // transparentColor
    Put32(image, 120, 0x00A1A2A3);           // levelColor[0..4]
    Put32(image, 124, 0x00B1B2B3);
    Put32(image, 128, 0x00C1C2C3);
    Put32(image, 132, 0x00D1D2D3);
    Put32(image, 136, 0x00E1E2E3);
    PutPath(image, 140, "/games/LAYOUTS/BRIDGE.TXL", 'a');
    PutPath(image, 640, "/games/GRAPHICS/MINE.BMP", 'b');
    PutPath(image, 1140, "/pictures/sky.bmp", 'c');
    PutPath(image, 1640, "/s/click.wav", 'd');
    PutPath(image, 2140, "/s/pair.wav", 'e');
    PutPath(image, 2640, "/s/bad.wav", 'f');
    PutPath(image, 3140, "/music/tune.mid", 'g');
    return image;
}

class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        char name[] = "/tmp/tolbex-settings-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        dir = name;
        fake::Reset();
        fake::SetConfigDirectory(dir);
        fake::SetCurrentDirectory("/home/ann/tolbex");
        ASSERT_TRUE(TakeStartDir());
        std::memset(&Settings, 0, sizeof Settings);   // as at start-up
        BackgroundPicture.bitmap = nullptr;
        musicOn = 0;
        musicPaused = 0;
    }
    void TearDown() override {
        BackgroundPicture.bitmap = nullptr;
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }
    std::string File() const { return dir + "/TOLBEX13.CFG"; }

    std::string dir;
    platform::Bitmap picture{1, 1};
};

void ExpectDefaults(const char* home) {
    const std::string h = home;
    EXPECT_EQ(Settings.useColors, 0);
    EXPECT_EQ(Settings.soundEffects, 0);
    EXPECT_EQ(Settings.showChrono, 1);
    EXPECT_EQ(Settings.showExposed, 0);
    EXPECT_EQ(Settings.backgroundColor, 0x00C0C0C0u);
    EXPECT_EQ(Settings.exposedColor, 0x00C0C0C0u);
    EXPECT_EQ(Settings.transparentColor, 0x00FFFFFFu);
    EXPECT_EQ(Settings.levelColor[0], 0x00FFFFFFu);
    EXPECT_EQ(Settings.levelColor[1], 0x0000FFFFu);
    EXPECT_EQ(Settings.levelColor[2], 0x00FFFF00u);
    EXPECT_EQ(Settings.levelColor[3], 0x0000FF00u);
    EXPECT_EQ(Settings.levelColor[4], 0x00FF8080u);
    EXPECT_EQ(std::string(Settings.layoutPath), h + "/LAYOUTS/LAYOUT1.TXL");
    EXPECT_EQ(std::string(Settings.tileSheetPath), h + "/GRAPHICS/TOLBEX13.BMP");
    EXPECT_STREQ(Settings.backgroundPath, "");
    EXPECT_EQ(std::string(Settings.soundClickPath), h + "/SOUNDS/SOUND1.WAV");
    EXPECT_EQ(std::string(Settings.soundPairPath), h + "/SOUNDS/SOUND2.WAV");
    EXPECT_EQ(std::string(Settings.soundBadClickPath), h + "/SOUNDS/SOUND3.WAV");
    EXPECT_STREQ(Settings.midiPath, "");
}

TEST_F(SettingsFileTest, FirstRunTakesTheDefaultsAndResetsTheRunState) {
    Board.width = 1;
    Board.height = 2;
    GameState.hours = 3;
    GameState.minutes = 4;
    GameState.seconds = 5;
    GameState.paused = 1;
    musicOn = 1;
    musicPaused = 1;
    LoadSettings();
    ExpectDefaults("/home/ann/tolbex");
    EXPECT_EQ(Board.width, 637);
    EXPECT_EQ(Board.height, 445);
    EXPECT_EQ(GameState.hours + GameState.minutes + GameState.seconds, 0);
    EXPECT_EQ(GameState.paused, 0);
    EXPECT_EQ(musicOn, 0);
    EXPECT_EQ(musicPaused, 0);
    EXPECT_TRUE(fake::Messages().empty());
}

TEST_F(SettingsFileTest, AHandMadeFileLoadsIntoItsFieldsAndIsWrittenBackByteForByte) {
    const std::vector<uint8_t> image = HandMadeImage();
    WriteAll(File(), image);
    LoadSettings();
    EXPECT_EQ(Settings.useColors, 1);
    EXPECT_EQ(Settings.soundEffects, 0);
    EXPECT_EQ(Settings.showChrono, 1);
    EXPECT_EQ(Settings.showExposed, 1);
    EXPECT_EQ(Settings.backgroundColor, 0x00102030u);
    EXPECT_EQ(Settings.exposedColor, 0x00405060u);
    EXPECT_EQ(Settings.transparentColor, 0x00708090u);
    EXPECT_EQ(Settings.levelColor[0], 0x00A1A2A3u);
    EXPECT_EQ(Settings.levelColor[4], 0x00E1E2E3u);
    EXPECT_STREQ(Settings.layoutPath, "/games/LAYOUTS/BRIDGE.TXL");
    EXPECT_STREQ(Settings.tileSheetPath, "/games/GRAPHICS/MINE.BMP");
    EXPECT_STREQ(Settings.backgroundPath, "/pictures/sky.bmp");
    EXPECT_STREQ(Settings.soundClickPath, "/s/click.wav");
    EXPECT_STREQ(Settings.soundPairPath, "/s/pair.wav");
    EXPECT_STREQ(Settings.soundBadClickPath, "/s/bad.wav");
    EXPECT_STREQ(Settings.midiPath, "/music/tune.mid");

    // With the picture and the music in use, the same bytes go back, the reserved block zeroed.
    BackgroundPicture.bitmap = &picture;
    musicOn = 1;
    fs::remove(File());
    SaveSettings(nullptr);
    std::vector<uint8_t> expected = image;
    std::memset(expected.data(), 0, 104);
    EXPECT_TRUE(ReadAll(File()) == expected);
    EXPECT_TRUE(fake::Messages().empty());
    // Nothing but the settings file is left in the folder.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

TEST_F(SettingsFileTest, NoPictureAndNoMusicAreNotKeptForTheNextRun) {
    WriteAll(File(), HandMadeImage());
    LoadSettings();
    BackgroundPicture.bitmap = nullptr;   // chosen, but it could not be loaded
    musicOn = 0;                          // stopped
    SaveSettings(nullptr);
    EXPECT_STREQ(Settings.backgroundPath, "");
    EXPECT_STREQ(Settings.midiPath, "");
    EXPECT_STREQ(Settings.soundClickPath, "/s/click.wav");
    const std::vector<uint8_t> saved = ReadAll(File());
    ASSERT_EQ(saved.size(), 3640u);
    EXPECT_EQ(saved[1140], 0);
    EXPECT_EQ(saved[3140], 0);
    EXPECT_EQ(saved[1141], 'p');   // only the first byte is cleared; the rest stays as it was
    EXPECT_EQ(saved[1639], 'c');
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&saved[140])), "/games/LAYOUTS/BRIDGE.TXL");
    std::memset(&Settings, 0, sizeof Settings);
    LoadSettings();
    EXPECT_STREQ(Settings.backgroundPath, "");
    EXPECT_STREQ(Settings.midiPath, "");
}

TEST_F(SettingsFileTest, AShortFileKeepsWhatLiesBeyondItsEnd) {
    const std::vector<uint8_t> image = HandMadeImage();
    // Cut in the middle of backgroundColor: two of its bytes are read, two keep their value.
    std::memset(&Settings, 0x55, sizeof Settings);
    std::strcpy(Settings.layoutPath, "/kept/LAYOUT.TXL");
    WriteAll(File(), std::vector<uint8_t>(image.begin(), image.begin() + 110));
    LoadSettings();
    EXPECT_EQ(Settings.useColors, 1);
    EXPECT_EQ(Settings.showExposed, 1);
    EXPECT_EQ(Settings.backgroundColor, 0x55552030u);
    EXPECT_EQ(Settings.exposedColor, 0x55555555u);
    EXPECT_STREQ(Settings.layoutPath, "/kept/LAYOUT.TXL");

    // At start-up everything past the end is zero; a path cut short ends where the file ends,
    // and an empty layoutPath gets its default.
    std::memset(&Settings, 0, sizeof Settings);
    WriteAll(File(), std::vector<uint8_t>(image.begin(), image.begin() + 650));
    LoadSettings();
    EXPECT_STREQ(Settings.layoutPath, "/games/LAYOUTS/BRIDGE.TXL");
    EXPECT_STREQ(Settings.tileSheetPath, "/games/GRA");
    EXPECT_EQ(Settings.levelColor[4], 0x00E1E2E3u);
    EXPECT_STREQ(Settings.soundClickPath, "");

    std::memset(&Settings, 0, sizeof Settings);
    WriteAll(File(), std::vector<uint8_t>(image.begin(), image.begin() + 100));
    LoadSettings();
    EXPECT_EQ(Settings.showChrono, 0);
    EXPECT_EQ(Settings.backgroundColor, 0u);
    EXPECT_STREQ(Settings.layoutPath, "/home/ann/tolbex/LAYOUTS/LAYOUT1.TXL");
    EXPECT_STREQ(Settings.tileSheetPath, "");
}

TEST_F(SettingsFileTest, BytesPast3640AreIgnored) {
    std::vector<uint8_t> image = HandMadeImage();
    image.resize(5000, 0xFF);
    WriteAll(File(), image);
    LoadSettings();
    EXPECT_STREQ(Settings.midiPath, "/music/tune.mid");
    EXPECT_EQ(Settings.levelColor[4], 0x00E1E2E3u);
}

TEST_F(SettingsFileTest, DamagedFieldsAreKeptInsideTheirBuffers) {
    std::vector<uint8_t> image = HandMadeImage();
    std::memset(&image[140], 'A', 500);    // layoutPath without a NUL
    std::memset(&image[640], 'B', 500);    // tileSheetPath too
    std::memset(&image[3140], 'M', 500);   // the last field, at the very end of the file
    image[104] = 7;                        // flags are 0 or 1 for the menus
    image[105] = 0x80;
    WriteAll(File(), image);
    LoadSettings();
    EXPECT_EQ(std::string(Settings.layoutPath), std::string(499, 'A'));
    EXPECT_EQ(std::string(Settings.tileSheetPath), std::string(499, 'B'));
    EXPECT_EQ(std::string(Settings.midiPath), std::string(499, 'M'));
    EXPECT_STREQ(Settings.backgroundPath, "/pictures/sky.bmp");
    EXPECT_EQ(Settings.useColors, 1);
    EXPECT_EQ(Settings.soundEffects, 1);
}

TEST_F(SettingsFileTest, AnEmptyLayoutPathAloneGetsItsDefault) {
    std::vector<uint8_t> image = HandMadeImage();
    image[140] = 0;
    WriteAll(File(), image);
    LoadSettings();
    EXPECT_STREQ(Settings.layoutPath, "/home/ann/tolbex/LAYOUTS/LAYOUT1.TXL");
    EXPECT_STREQ(Settings.tileSheetPath, "/games/GRAPHICS/MINE.BMP");
    EXPECT_STREQ(Settings.soundClickPath, "/s/click.wav");
}

TEST_F(SettingsFileTest, AFolderThatCannotBeWrittenIsReported) {
    const std::string notADir = dir + "/plain-file";
    WriteAll(notADir, {1, 2, 3});
    fake::SetConfigDirectory(notADir);
    LoadSettings();
    ExpectDefaults("/home/ann/tolbex");
    SaveSettings(nullptr);
    ASSERT_EQ(fake::Messages().size(), 1u);
    EXPECT_EQ(fake::Messages()[0].text, notADir + "/TOLBEX13.CFG : write error");
    EXPECT_EQ(fake::Messages()[0].caption, "Tolbex");
    EXPECT_EQ(fake::Messages()[0].style, platform::MB_OK | platform::MB_ICONEXCLAMATION);
    EXPECT_TRUE(ReadAll(notADir) == (std::vector<uint8_t>{1, 2, 3}));
}

TEST_F(SettingsFileTest, AFolderEndingInASlashGetsNoSecondOne) {
    fake::SetConfigDirectory(dir + "/");
    char path[144];
    ASSERT_TRUE(BuildSettingsPath(path));
    EXPECT_EQ(std::string(path), dir + "/TOLBEX13.CFG");
    fake::SetConfigDirectory("/");
    ASSERT_TRUE(BuildSettingsPath(path));
    EXPECT_STREQ(path, "/TOLBEX13.CFG");

    fake::SetConfigDirectory(dir + "/");
    LoadSettings();
    SaveSettings(nullptr);
    EXPECT_EQ(ReadAll(File()).size(), 3640u);
}

TEST_F(SettingsFileTest, ASettingsPathLongerThan143CharactersIsNeverUsed) {
    // A folder whose settings path is exactly 143 characters still works; one more does not.
    const size_t fits = 143 - std::strlen("/TOLBEX13.CFG");
    const std::string base = dir + "/";
    const std::string ok = base + std::string(fits - base.size(), 'k');
    const std::string tooLong = base + std::string(fits + 1 - base.size(), 'n');
    ASSERT_TRUE(fs::create_directory(ok));
    ASSERT_TRUE(fs::create_directory(tooLong));
    std::vector<uint8_t> image = HandMadeImage();
    WriteAll(ok + "/TOLBEX13.CFG", image);
    WriteAll(tooLong + "/TOLBEX13.CFG", image);

    char path[144];
    fake::SetConfigDirectory(ok);
    ASSERT_TRUE(BuildSettingsPath(path));
    EXPECT_EQ(std::strlen(path), 143u);
    LoadSettings();
    EXPECT_STREQ(Settings.midiPath, "/music/tune.mid");

    std::memset(&Settings, 0, sizeof Settings);
    fake::SetConfigDirectory(tooLong);
    EXPECT_FALSE(BuildSettingsPath(path));
    EXPECT_STREQ(path, "");
    LoadSettings();   // the file there is not read: a first run
    ExpectDefaults("/home/ann/tolbex");
    fs::remove(tooLong + "/TOLBEX13.CFG");
    SaveSettings(nullptr);   // nor written, and no message
    EXPECT_FALSE(fs::exists(tooLong + "/TOLBEX13.CFG"));
    EXPECT_TRUE(fake::Messages().empty());

    fake::SetConfigDirectory(std::string(300, 'x'));   // does not even fit the directory buffer
    EXPECT_FALSE(BuildSettingsPath(path));
    fake::SetConfigDirectory("");
    EXPECT_FALSE(BuildSettingsPath(path));
}

TEST(HomeDirectory, TakesTheCurrentDirectoryWhenItFits) {
    fake::Reset();
    const std::string fits = "/" + std::string(498, 'd');   // 499 characters and the NUL
    fake::SetCurrentDirectory(fits);
    ASSERT_TRUE(TakeStartDir());
    EXPECT_EQ(std::string(startDir), fits);
    fake::SetCurrentDirectory(fits + "e");
    EXPECT_FALSE(TakeStartDir());
    EXPECT_STREQ(startDir, "");
    EXPECT_NE(std::string(kStartDirTooLongText).find("499"), std::string::npos);

    // Sub-paths are appended as they stand: a root directory gives two slashes.
    fake::SetCurrentDirectory("/");
    ASSERT_TRUE(TakeStartDir());
    char out[500];
    HomePath(out, sizeof out, kDefaultLayout);
    EXPECT_STREQ(out, "//LAYOUTS/LAYOUT1.TXL");
    // A path that would not fit its buffer is cut, never overrun.
    fake::SetCurrentDirectory(fits);
    ASSERT_TRUE(TakeStartDir());
    char small[600];
    std::memset(small, 'z', sizeof small);
    HomePath(small, 500, kDefaultTileSheet);
    EXPECT_EQ(std::strlen(small), 499u);
    EXPECT_EQ(small[500], 'z');
}

TEST_F(SettingsFileTest, HostileFilesLoadIntoBoundedFields) {
    std::mt19937 rng(3640);
    const std::vector<uint8_t> base = HandMadeImage();
    for (int i = 0; i < 800 && !HasFailure(); ++i) {
        std::vector<uint8_t> bytes;
        if (i % 2 == 0) {
            bytes.resize(rng() % 5000);
            for (uint8_t& b : bytes) b = static_cast<uint8_t>(rng());
        } else {
            bytes = base;
            for (int k = 0, n = 1 + static_cast<int>(rng() % 50); k < n; ++k)
                bytes[rng() % bytes.size()] = static_cast<uint8_t>(rng() % 3 == 0 ? 0 : rng());
            if (rng() % 4 == 0) bytes.resize(rng() % bytes.size());
        }
        WriteAll(File(), bytes);
        std::memset(&Settings, 0, sizeof Settings);   // as at start-up
        LoadSettings();
        const char* paths[] = {Settings.layoutPath, Settings.tileSheetPath, Settings.backgroundPath,
                               Settings.soundClickPath, Settings.soundPairPath, Settings.soundBadClickPath,
                               Settings.midiPath};
        for (const char* p : paths) ASSERT_NE(std::memchr(p, 0, 500), nullptr) << "file #" << i;
        ASSERT_NE(Settings.layoutPath[0], '\0');
        if (bytes.size() >= 108) {
            for (uint8_t flag : {Settings.useColors, Settings.soundEffects, Settings.showChrono, Settings.showExposed})
                ASSERT_LE(flag, 1) << "file #" << i;
        }
        // What was read is written back and read again unchanged.
        BackgroundPicture.bitmap = &picture;
        musicOn = 1;
        const SettingsRecord loaded = Settings;
        SaveSettings(nullptr);
        LoadSettings();
        ASSERT_EQ(std::memcmp(&loaded, &Settings, sizeof Settings), 0) << "file #" << i;
        BackgroundPicture.bitmap = nullptr;
        musicOn = 0;
    }
    EXPECT_TRUE(fake::Messages().empty());
}

}  // namespace
