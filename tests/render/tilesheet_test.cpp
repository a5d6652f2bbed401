// The graphic objects and the two picture commands: the built-in sheet standing in for an
// unreadable one, the size test of "Change graphics", and "Change background" with its cancel.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>
#include <unistd.h>

#include "platform/fake/fake.h"
#include "render/tilesheet.h"
#include "render_test_support.h"

using namespace rendertest;

namespace {

std::vector<std::string> tempFiles;   // removed after each test

std::string TempPath(const std::string& name) {
    const std::string path = "/tmp/tolbex_sheet_test_" + std::to_string(::getpid()) + "_" + name + ".bmp";
    tempFiles.push_back(path);
    return path;
}

std::string TempBmp(const std::string& name, int width, int height, uint32_t rgb = 0x336699) {
    const std::string path = TempPath(name);
    WriteBmp24(path, width, height, rgb);
    return path;
}

class TileSheetTest : public ::testing::Test {
protected:
    void SetUp() override {
        fake::Reset();
        ReleaseBoardGraphics();
        ResetBoardAndSettings();
        Board.height = 445;
    }
    void TearDown() override {
        ReleaseBoardGraphics();
        for (const std::string& path : tempFiles) std::remove(path.c_str());
        tempFiles.clear();
    }
};

}  // namespace

TEST_F(TileSheetTest, CreateBoardGraphicsFallsBackToTheBuiltInSheet) {
    std::strcpy(Settings.tileSheetPath, "/nonexistent/GRAPHICS/TOLBEX13.BMP");
    const std::string picture = TempBmp("background", 30, 20);
    std::strcpy(Settings.backgroundPath, picture.c_str());
    CreateBoardGraphics(fake::MainWindow());
    ASSERT_NE(BoardBuffer, nullptr);
    EXPECT_EQ(BoardBuffer->width(), 637);
    EXPECT_EQ(BoardBuffer->height(), 445);
    ASSERT_EQ(fake::Messages().size(), 1u);
    EXPECT_EQ(fake::Messages()[0].text, "/nonexistent/GRAPHICS/TOLBEX13.BMP : read error");
    ASSERT_NE(TileSheet.bitmap, nullptr);
    EXPECT_EQ(TileSheet.bitmap->width(), kSheetWidthPx);
    EXPECT_EQ(TileSheet.bitmap->height(), kSheetHeightPx);
    EXPECT_STREQ(Settings.tileSheetPath, "/nonexistent/GRAPHICS/TOLBEX13.BMP");   // kept for the settings
    ASSERT_NE(BackgroundPicture.bitmap, nullptr);
    EXPECT_EQ(BackgroundPicture.width, 30);
    EXPECT_EQ(BackgroundPicture.height, 20);

    // A readable sheet file is used as it is, whatever its size.
    const std::string small = TempBmp("small", 40, 30);
    std::strcpy(Settings.tileSheetPath, small.c_str());
    Settings.backgroundPath[0] = '\0';
    CreateBoardGraphics(fake::MainWindow());
    ASSERT_NE(TileSheet.bitmap, nullptr);
    EXPECT_EQ(TileSheet.bitmap->width(), 40);
    EXPECT_EQ(BackgroundPicture.bitmap, nullptr);
}

TEST_F(TileSheetTest, ChangeGraphicsAcceptsOnly369By225) {
    TileSheet.bitmap = MakeSyntheticSheet();
    platform::Bitmap* original = TileSheet.bitmap;
    std::strcpy(Settings.tileSheetPath, "/old/sheet.bmp");
    const int sizes[][2] = {{368, 225}, {370, 225}, {369, 224}, {369, 226}};
    for (const auto& s : sizes) {
        fake::QueueFileAnswer(TempBmp("wrong", s[0], s[1]));
        ChangeTileSheet(fake::MainWindow());
    }
    ASSERT_EQ(fake::Messages().size(), 4u);
    for (const auto& m : fake::Messages()) {
        EXPECT_EQ(m.text, "The tile picture must be 369 x 225 pixels.");
        EXPECT_EQ(m.caption, "Tolbex");
        EXPECT_EQ(m.style, 0x40u);
    }
    EXPECT_EQ(TileSheet.bitmap, original);
    EXPECT_STREQ(Settings.tileSheetPath, "/old/sheet.bmp");

    const std::string good = TempBmp("good", 369, 225, 0x00FF00);
    fake::QueueFileAnswer(good);
    ChangeTileSheet(fake::MainWindow());
    ASSERT_NE(TileSheet.bitmap, nullptr);
    EXPECT_EQ(TileSheet.bitmap->row(0)[0], 0x00FF00u);
    EXPECT_STREQ(Settings.tileSheetPath, good.c_str());
    EXPECT_EQ(fake::Messages().size(), 4u);

    // Cancelled: the new sheet and its path stay.
    platform::Bitmap* accepted = TileSheet.bitmap;
    fake::QueueFileAnswer(std::nullopt);
    ChangeTileSheet(fake::MainWindow());
    EXPECT_EQ(TileSheet.bitmap, accepted);
    EXPECT_STREQ(Settings.tileSheetPath, good.c_str());
}

TEST_F(TileSheetTest, ChangeGraphicsWithAFileThatGivesNoBitmapShowsTheSizeMessage) {
    TileSheet.bitmap = MakeSyntheticSheet();
    const std::string path = TempPath("text");
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fputs("not a picture", f);
    std::fclose(f);
    fake::QueueFileAnswer(path);
    ChangeTileSheet(fake::MainWindow());
    fake::QueueFileAnswer(path + ".missing");
    ChangeTileSheet(fake::MainWindow());
    ASSERT_EQ(fake::Messages().size(), 3u);
    EXPECT_EQ(fake::Messages()[0].style, 0x40u);
    EXPECT_EQ(fake::Messages()[1].text, path + ".missing : read error");   // then the size message
    EXPECT_EQ(fake::Messages()[2].style, 0x40u);
    EXPECT_NE(TileSheet.bitmap, nullptr);
}

TEST_F(TileSheetTest, ChangeBackgroundTakesAnySizeAndCancelRemovesThePicture) {
    const std::string picture = TempBmp("bg", 100, 100);
    fake::QueueFileAnswer(picture);
    ChangeBackground(fake::MainWindow());
    ASSERT_NE(BackgroundPicture.bitmap, nullptr);
    EXPECT_EQ(BackgroundPicture.width, 100);
    EXPECT_EQ(BackgroundPicture.height, 100);
    EXPECT_STREQ(Settings.backgroundPath, picture.c_str());

    fake::QueueFileAnswer(std::nullopt);
    ChangeBackground(fake::MainWindow());
    EXPECT_EQ(BackgroundPicture.bitmap, nullptr);
    EXPECT_STREQ(Settings.backgroundPath, "");
    EXPECT_TRUE(fake::Messages().empty());
}
