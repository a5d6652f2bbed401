// The layout chooser: the preview of the highlighted file (picture, name, description, levels,
// best time, or the reason a file cannot be played), and choosing another game's file, which
// plays from a converted copy in LAYOUTS, asks which map of several, and is refused with a
// message that leaves the game as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "board/layout.h"
#include "board/layoutinfo.h"
#include "board/state.h"
#include "persist/halloffame.h"
#include "platform/bitmap.h"
#include "platform/fake/fake.h"
#include "render/preview.h"
#include "tests/files.h"
#include "tests/import/import_fixtures.h"

namespace {

namespace fs = std::filesystem;

// 128 tiles on the table and 16 on level 1, in our text form, with or without the name lines.
std::string OurLayout(bool named) {
    std::string text = named ? "; Tolbex layout: Twin Rows\n; Two rows of tiles stacked.\n" : "";
    for (int i = 0; i < 128; ++i) text += std::to_string(i / 16 * 2) + " " + std::to_string(i % 16 * 2) + " 0\n";
    for (int i = 0; i < 16; ++i) text += "0 " + std::to_string(i * 2) + " 1\n";
    return text;
}

std::string ScoresWithBest(const char* time) {
    std::string bytes(kScoresFileSize, '\0');
    for (int i = 0; i < 10; ++i) {
        HallOfFameEntry row{};
        std::snprintf(row.name, sizeof row.name, "P%d", i);
        std::snprintf(row.timeText, sizeof row.timeText, "%s", i == 0 ? time : "00:59:00");
        row.seconds = 100 + i;
        EncodeHallOfFameRow(row, reinterpret_cast<uint8_t*>(&bytes[static_cast<size_t>(i) * kHallOfFameRowSize]));
    }
    return bytes;
}

class ChooserTest : public ::testing::Test {
protected:
    fs::path home = importfix::ScratchDir("home");
    fs::path other = importfix::ScratchDir("other");
    std::string ours = (home / "LAYOUTS/TWIN.TXL").string();

    void SetUp() override {
        fake::Reset();
        Board = BoardRecord{};
        GameState = GameStateRecord{};
        Settings = SettingsRecord{};
        fs::create_directories(home / "LAYOUTS");
        std::snprintf(startDir, sizeof startDir, "%s", home.c_str());
        importfix::Write(ours, OurLayout(true));
        ASSERT_EQ(LoadLayout(fake::MainWindow(), ours.c_str()), 1);
        std::snprintf(Settings.layoutPath, sizeof Settings.layoutPath, "%s", ours.c_str());
    }
};

TEST_F(ChooserTest, PreviewShowsNameDescriptionLevelsBestTimeOrTheReason) {
    static BoardRecord scratch;
    LayoutInfo info;
    // No scores file, or one of the wrong size: no best time.
    for (const std::string& scores : {std::string(), ScoresWithBest("00:03:07") + "x"}) {
        if (!scores.empty()) importfix::Write(home / "LAYOUTS/TWIN.txs", scores);
        ASSERT_TRUE(ReadLayoutInfo(ours.c_str(), info, scratch));
        EXPECT_STREQ(info.bestTime, "");
    }
    // Without name lines the file's name stands in. A value off the grid ends the game when
    // loaded; looked at in the chooser it is only a reason.
    ASSERT_TRUE(ReadLayoutInfo(importfix::Write(home / "LAYOUTS/PLAIN.TXL", OurLayout(false)).c_str(), info, scratch));
    EXPECT_TRUE(info.name == std::string("PLAIN") && info.description[0] == '\0');
    EXPECT_FALSE(ReadLayoutInfo(importfix::Write(home / "LAYOUTS/OFF.TXL", OurLayout(false) + "40 0 0\n").c_str(), info, scratch));
    EXPECT_TRUE(std::string(info.reason).find("outside the grid") != std::string::npos && !fake::QuitPosted().has_value());

    // Through the chooser: a file that cannot be played shows why and leaves the board untouched.
    const BoardRecord before = Board;
    fake::QueueFileAnswer(importfix::Write(home / "LAYOUTS/FEW.TXL", "; Tolbex layout: Few\n; Three.\n0 0 0\n0 2 0\n0 4 0\n"));
    EXPECT_EQ(ChooseLayout(fake::MainWindow()), 0);
    EXPECT_EQ(fake::FileDialogs().back().previewText, "Few\nThree.\nCannot be played: the layout must place 144 tiles (it places 3)");
    EXPECT_EQ(fake::FileDialogs().back().previewWidth, 0);
    EXPECT_EQ(std::memcmp(&before.layoutMap, &Board.layoutMap, sizeof Board.layoutMap), 0);
    EXPECT_EQ(std::memcmp(&before.tiles, &Board.tiles, sizeof Board.tiles), 0);
    importfix::Write(home / "LAYOUTS/TWIN.txs", ScoresWithBest("00:03:07"));
    fake::QueueFileAnswer(ours);
    EXPECT_EQ(ChooseLayout(fake::MainWindow()), 1);
    EXPECT_EQ(fake::FileDialogs().back().previewText, "Twin Rows\nTwo rows of tiles stacked.\nLevels: 2\nBest time: 00:03:07");
    EXPECT_GT(fake::FileDialogs().back().previewWidth, 0);
}

TEST_F(ChooserTest, PreviewPictureIsTheBoardDrawnFromTheSheetCutToTheTiles) {
    static BoardRecord scratch;
    LayoutInfo info;
    ASSERT_TRUE(ReadLayoutInfo(ours.c_str(), info, scratch));
    platform::Bitmap sheet(369, 225);
    for (int y = 0; y < 225; ++y) std::fill(sheet.row(y), sheet.row(y) + 369, 0x00FF0000u);   // every tile picture red
    TileSheet.bitmap = &sheet;
    Settings.backgroundColor = 0x00FF0000;   // blue, as a COLORREF
    std::unique_ptr<platform::Bitmap> picture(DrawLayoutPreview(scratch));
    // A window drawn at 2x changes nothing: the picture is made in board pixels from the 1x sheet.
    drawScale = 2;
    std::unique_ptr<platform::Bitmap> atLargeSize(DrawLayoutPreview(scratch));
    drawScale = 1;
    TileSheet.bitmap = nullptr;
    ASSERT_TRUE(picture && atLargeSize && atLargeSize->width() == picture->width() && atLargeSize->height() == picture->height());
    for (int y = 0; y < picture->height(); ++y)
        ASSERT_EQ(std::memcmp(atLargeSize->row(y), picture->row(y), picture->width() * 4u), 0) << y;
    // 16 tiles a row (15 steps of 36 px and one tile of 41), eight rows (7 steps of 40 and one of
    // 45), the level above 5 px further right and up, and 16 px of margin all round.
    EXPECT_TRUE(picture->width() == 15 * 36 + 41 + 5 + 32 && picture->height() == 7 * 40 + 45 + 5 + 32);
    // The background, a face, the cut-off top-left corner of the first tile and its left side below the corner.
    EXPECT_TRUE(picture->row(0)[0] == 0x000000FFu && picture->row(40)[40] == 0x00FF0000u &&
                picture->row(16 + 5)[16] == 0x000000FFu && picture->row(16 + 5 + 5)[16] == 0x00FF0000u);
}

TEST_F(ChooserTest, AnotherGamesFilePlaysFromAConvertedCopyAndTheOriginalIsNeverWritten) {
    std::vector<importfix::Tile> tiles = importfix::Rows(128);
    for (int i = 0; i < 16; ++i) tiles.push_back({1, 0, i * 2});
    const std::string source = importfix::Write(other / "flat_field.layout", importfix::LineArt(tiles));
    const std::string original = testfiles::ReadAll(source);

    fake::QueueFileAnswer(source);
    ASSERT_EQ(ChooseLayout(fake::MainWindow()), 1);
    EXPECT_TRUE(fake::Messages().empty() && fake::FileDialogs().back().previewWidth > 0);
    EXPECT_EQ(fake::FileDialogs().back().previewText.substr(0, 37), "Flat field\nConverted from Flat field.");
    const std::string copy = (home / "LAYOUTS/Flat_field-imported.TXL").string();
    EXPECT_EQ(std::string(Settings.layoutPath), copy);
    EXPECT_EQ(std::string(GameState.scoresPath), (home / "LAYOUTS/Flat_field-imported.txs").string());
    EXPECT_EQ(testfiles::ReadAll(source), original);
    EXPECT_EQ(testfiles::ReadAll(copy).substr(0, 30), "; Tolbex layout: Flat field\n; ");
    EXPECT_EQ(Board.layoutMap[1][2][1], 1);   // 32 x 16 centred: one column, two rows of margin
    EXPECT_EQ(std::count_if(Board.tiles, Board.tiles + kTileCount, [](const TileRecord& t) { return t.level == 1; }), 16);
}

TEST_F(ChooserTest, SeveralMapsAskWhichAndARefusalLeavesTheGameAsItWas) {
    const std::string source = importfix::Write(other / "set.map",
        "<mahjongg><map name=\"Small\"><tile x=\"0\" y=\"0\"/></map>"
        "<map name=\"Wide Field\"><block left=\"0\" right=\"15\" top=\"0\" bottom=\"8\"/></map></mahjongg>");
    const BoardRecord before = Board;
    const std::string layoutBefore = Settings.layoutPath, scoresBefore = GameState.scoresPath;
    auto unchanged = [&] {
        EXPECT_EQ(std::memcmp(&before.layoutMap, &Board.layoutMap, sizeof Board.layoutMap), 0);
        EXPECT_EQ(std::string(Settings.layoutPath), layoutBefore);
        EXPECT_EQ(std::string(GameState.scoresPath), scoresBefore);
    };

    // Cancelled list: nothing happens, nothing is said.
    fake::QueueFileAnswer(source);
    EXPECT_EQ(ChooseLayout(fake::MainWindow()), 0);
    ASSERT_EQ(fake::ListsShown().size(), 1u);
    EXPECT_EQ(fake::ListsShown()[0].items, (std::vector<std::string>{"Small", "Wide Field"}));
    EXPECT_TRUE(fake::Messages().empty());
    unchanged();
    // The small map is refused with the file and the reason, and no copy is made.
    fake::QueueFileAnswer(source);
    fake::QueueListAnswer(0);
    EXPECT_EQ(ChooseLayout(fake::MainWindow()), 0);
    ASSERT_EQ(fake::Messages().size(), 1u);
    EXPECT_TRUE(fake::Messages()[0].text == source + " : the map \"Small\": the layout must place 144 tiles (it places 1)" &&
                fake::Messages()[0].style == (platform::MB_OK | platform::MB_ICONEXCLAMATION)) << fake::Messages()[0].text;
    unchanged();
    EXPECT_FALSE(fs::exists(home / "LAYOUTS/Small-imported.TXL"));

    // The wide map is played; the preview shows the first map that can be played.
    fake::QueueFileAnswer(source);
    fake::QueueListAnswer(1);
    ASSERT_EQ(ChooseLayout(fake::MainWindow()), 1);
    EXPECT_EQ(std::string(Settings.layoutPath), (home / "LAYOUTS/Wide_Field-imported.TXL").string());
    EXPECT_EQ(fake::FileDialogs().back().previewText,
              "Wide Field\nConverted from the map \"Wide Field\".\nLevels: 1\n"
              "This file holds 2 layouts, 1 of them playable here; the first of those is shown.\n"
              "Choosing it makes a copy in LAYOUTS.");
    EXPECT_GT(fake::FileDialogs().back().previewWidth, 0);
}

}  // namespace
