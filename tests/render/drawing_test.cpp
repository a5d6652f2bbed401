// Drawing one tile in every manner and mark, the transparent copy, and the whole board, checked
// pixel by pixel against a synthetic sheet whose every pixel tells where it came from; the
// built-in sheet standing in for an unreadable one, and "Change graphics".
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <unistd.h>

#include "board/state.h"
#include "persist/halloffame.h"
#include "platform/fake/fake.h"
#include "render/bmp.h"
#include "render/drawboard.h"
#include "render/drawtile.h"
#include "render/tilesheet.h"
#include "resources/ids.h"
#include "tests/files.h"
#include "tests/render/sheets.h"

namespace {

using namespace sheets;

void PlaceTile(int i, int x, int y, int col, uint8_t level = 0) {   // with the picture of sheet cell (col, 0)
    Board.tiles[i] = TileRecord{int16_t(x), int16_t(y), int16_t(41 * col), 0, int8_t(1 + col), 0, level, 0, 0};
}

// Writes a 24-bit BMP of the given size whose every byte of pixels is `grey`.
void WriteBmp24(const std::string& path, int width, int height, char grey) {
    std::string d(54 + size_t((width * 3 + 3) & ~3) * height, grey);
    auto put32 = [&](size_t at, uint32_t v) { for (int i = 0; i < 4; ++i) d[at + i] = char(v >> (8 * i)); };
    put32(0, 0x4D42), put32(2, uint32_t(d.size())), put32(6, 0), put32(10, 54), put32(14, 40);
    put32(18, width), put32(22, height), put32(26, 0x180001), put32(30, 0), put32(34, 0);
    testfiles::WriteAll(path, d);
}

}  // namespace

// At 1x, 2x and 3x: the tile's place, silhouette, colour fill and marks.
TEST(DrawTile, EveryMannerAndMarkGivesTheExpectedPictureAtEachScaleAndLeavesTheRestAlone) {
    constexpr uint32_t kPlain = 1, kNothing = 2, grey = 0xC0C0C0, cyan = 0x00FFFF;   // exposed, level 2
    struct Case { uint8_t colors, exposed, free, level; int selected, hintState, cursor; uint32_t fill; bool mark; };
    const Case cases[] = {
        {0, 0, 0, 2, kNone, 0, 0, kPlain, false}, {1, 0, 0, 2, kNone, 0, 0, cyan, false},
        {1, 1, 1, 2, kNone, 0, 0, grey, false},   {0, 1, 1, 2, kNone, 0, 0, grey, false},
        {0, 1, 0, 2, kNone, 0, 0, kPlain, false}, {1, 0, 1, 2, kNone, 0, 0, cyan, false},
        {1, 0, 0, 5, kNone, 0, 0, kNothing, false},   // in colour, a level past 4 gets no picture
        {0, 0, 0, 2, 0, 0, 0, kPlain, true},      {1, 0, 0, 2, 0, 0, 0, cyan, true},
        {0, 0, 0, 2, kNone, 1, 0, kPlain, true},  {1, 0, 0, 2, 0, 1, 0, cyan, true},   // marked once
        {0, 0, 0, 2, kNone, 1, 1, kPlain, false}, {0, 0, 0, 2, kNone, 1, 2, kPlain, true},   // wraps
        {0, 0, 0, 2, kNone, 2, 0, kPlain, false}, {0, 0, 0, 2, kNone, 1, -7, kPlain, false},
    };
    for (int s : {1, 2, 3}) {
        const std::unique_ptr<platform::Bitmap> sheetBitmap = MakeSheet(s);
        platform::Bitmap bufferBitmap(100 * s, 100 * s);
        platform::DeviceContext sheet, buffer;
        sheet.bitmap = sheetBitmap.get(), buffer.bitmap = &bufferBitmap;
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << "scale " << s << " case " << &c - cases);
            ResetRecords();
            drawScale = s;
            PlaceTile(0, 30, 40, 2, c.level);
            Board.tiles[0].sheetY = 45;   // sheet cell (2, 1)
            Board.tiles[0].free = c.free, Settings.useColors = c.colors, Settings.showExposed = c.exposed;
            Board.moves[0] = {0, 5}, Board.moves[1] = {5, 6}, GameState.moveCount = 2;
            GameState.selected = c.selected, GameState.hintState = c.hintState, GameState.hintCursor = c.cursor;
            platform::FillRect(buffer, 0, 0, 100 * s, 100 * s, platform::PixelToColorRef(kMarker));
            DrawTile(buffer, sheet, 0);
            EXPECT_EQ(GameState.hintCursor, c.cursor == 2 ? 0 : c.cursor);
            for (int dy = -1; dy <= 45 * s; ++dy)   // the picture and a ring around it
                for (int dx = -1; dx <= 41 * s; ++dx) {
                    const bool inside = dx >= 0 && dy >= 0 && dx < 41 * s && dy < 45 * s;
                    const uint32_t px = inside ? sheetBitmap->row(45 * s + dy)[82 * s + dx] : 0;
                    const bool fill = dx >= 5 * s && dx < 40 * s && dy >= s && dy < 40 * s;   // not the top row or right column
                    uint32_t want = kMarker;
                    if (inside && c.mark && dx >= 5 * s && dy < 40 * s) want = ~px & 0xFFFFFFu;
                    else if (inside && c.fill == kPlain) want = OutsideCorner(dx, dy, s) ? kMarker : px;
                    else if (inside && c.fill != kNothing) want = px != kWhite ? px : fill ? c.fill : kMarker;
                    ASSERT_EQ(bufferBitmap.row(40 * s + dy)[30 * s + dx], want) << "at " << dx << "," << dy;
                }
        }
    }
    drawScale = 1;
}

// Where the source holds the key the target keeps its pixel; elsewhere it takes the source's. Cut
// at both bitmaps' edges, and far off them without overflowing.
TEST(DrawTile, TransparentCopyKeepsTheTargetUnderTheKeyAndStaysInsideBothBitmaps) {
    std::mt19937 rng(7);
    platform::Bitmap src(60, 50), dst(70, 60);
    for (int i = 0; i < 60 * 50; ++i) src.data()[i] = rng() % 3 == 0 ? 0x00FF00u : rng() & 0xFFFFFF;
    for (int i = 0; i < 70 * 60; ++i) dst.data()[i] = rng() & 0xFFFFFF;
    platform::DeviceContext s, d;
    s.bitmap = &src, d.bitmap = &dst;
    for (const auto& [sx, sy, dx, dy] : {std::array<int32_t, 4>{7, 3, 20, 11}, {-5, 40, 50, -3}, {2147483000, -2147483000, 0, 0}}) {
        const platform::Bitmap before = dst;
        DrawTransparent(d, s, sx, sy, 41, 45, dx, dy, 0x0000FF00);
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 70; ++x) {
                const int64_t u = int64_t{x} - dx + sx, v = int64_t{y} - dy + sy;   // the source pixel
                const bool in = x >= dx && x < dx + 41 && y >= dy && y < dy + 45 && u >= 0 && u < 60 && v >= 0 && v < 50;
                const uint32_t want = in && src.row(int(v))[u] != 0x00FF00u ? src.row(int(v))[u] : before.row(y)[x];
                ASSERT_EQ(dst.row(y)[x], want) << sx << " at " << x << "," << y;
            }
    }
}

class BoardGraphicsTest : public ::testing::Test {
protected:
    void SetUp() override {
        fake::Reset();
        ReleaseBoardGraphics();
        ResetRecords();
        TileSheet.bitmap = MakeSheet().release();
        BoardBuffer = new platform::Bitmap(637, 445);
    }
    void TearDown() override {
        ReleaseBoardGraphics();
        std::remove(path.c_str());
    }
    const std::string path = "/tmp/tolbex_drawing_test_" + std::to_string(::getpid()) + ".bmp";
    static uint32_t WindowPx(int x, int y) { return fake::Surface().row(y)[x]; }
    static uint32_t SheetPx(int i, int dx, int dy) { return TileSheet.bitmap->row(dy)[Board.tiles[i].sheetX + dx]; }
    const uint32_t background = platform::ColorRefToPixel(0x00408000);
};

TEST_F(BoardGraphicsTest, LaterTilesCoverEarlierOnesAndRemovedTilesAreSkipped) {
    PlaceTile(0, 12 * 18, 4 * 20 + 20, 3);   // cell (4, 12), then (4, 10) whose face covers its side
    PlaceTile(1, 10 * 18, 4 * 20 + 20, 4);
    PlaceTile(2, 0, 20, 5);                  // cell (0, 0) of level 0 under one of level 1
    PlaceTile(3, 5, 15, 6, 1);
    PlaceTile(4, 300, 300, 0);
    Board.tiles[4].face = 0, GameState.selected = 4;   // removed, though selected
    DrawBoard(fake::MainWindow());
    EXPECT_TRUE(WindowPx(218, 110) == SheetPx(1, 38, 10) && WindowPx(225, 110) == SheetPx(0, 9, 10));
    EXPECT_TRUE(WindowPx(6, 40) == SheetPx(3, 1, 25) && WindowPx(45, 50) == SheetPx(3, 40, 35));
    EXPECT_TRUE(WindowPx(3, 62) == SheetPx(2, 3, 42) && WindowPx(310, 305) == background);
    EXPECT_EQ(fake::PresentCount(), 1);
}

// At its own size at each scale: scale_test.cpp. A picture larger than the board is cut at the
// board's edge, and an empty path shows none, whatever bitmap is left.
TEST_F(BoardGraphicsTest, BackgroundPictureIsCutAtTheBoardEdge) {
    BackgroundPicture = {new platform::Bitmap(900, 600), 900, 600};
    std::fill_n(BackgroundPicture.bitmap->data(), 900 * 600, 0x654321);
    std::strcpy(Settings.backgroundPath, "/somewhere/picture.bmp");
    fake::Surface().row(430)[10] = 0x000001;
    DrawBoard(fake::MainWindow());
    EXPECT_EQ(WindowPx(636, 424), 0x654321u);
    EXPECT_EQ(WindowPx(10, 430), 0x000001u);   // below the board: untouched
    Settings.backgroundPath[0] = '\0';
    DrawBoard(fake::MainWindow());
    EXPECT_EQ(WindowPx(0, 0), background);
}

TEST_F(BoardGraphicsTest, RedrawEndsAPauseAndStartsTheEndOfGameFlowOnce) {
    GameState.paused = 1, GameState.won = 1;
    platform::CheckMenuItem(fake::MainWindow(), IDM_PAUSE, true);
    HallOfFame[9].seconds = 10;   // a time that does not enter the Top 10: no scores file written
    HallOfFame[10].seconds = 500;
    int innerDraws = 0;
    fake::QueueDialogScript([&](platform::Window dialog, fake::FakeDialog&) {
        DrawBoard(fake::MainWindow());   // a paint request during the modal dialog
        ++innerDraws;
        fake::PressButton(dialog, IDC_WIN_OK);
    });
    DrawBoard(fake::MainWindow());
    DrawBoard(fake::MainWindow());
    EXPECT_TRUE(GameState.paused == 0 && !fake::IsChecked(IDM_PAUSE));
    EXPECT_EQ(innerDraws, 1);
    EXPECT_TRUE(fake::DialogsRun().size() == 1 && fake::DialogsRun()[0].name == "GAGNEDLG");
}

TEST_F(BoardGraphicsTest, UnreadableSheetFileGivesTheBuiltInSheet) {
    std::strcpy(Settings.tileSheetPath, "/nonexistent/TOLBEX13.BMP");
    CreateBoardGraphics(fake::MainWindow());
    ASSERT_EQ(fake::Messages().size(), 1u);
    EXPECT_EQ(fake::Messages()[0].text, "/nonexistent/TOLBEX13.BMP : read error");
    EXPECT_STREQ(Settings.tileSheetPath, "/nonexistent/TOLBEX13.BMP");   // kept for the settings file
    const std::unique_ptr<platform::Bitmap> builtIn(DecodeBmp(kBuiltInTileSheet, kBuiltInTileSheetSize));
    ASSERT_TRUE(TileSheet.bitmap && builtIn && Same(*TileSheet.bitmap, *builtIn));
}

TEST_F(BoardGraphicsTest, ChangeGraphicsTakesOnlyA369By225Picture) {
    platform::Bitmap* original = TileSheet.bitmap;
    std::strcpy(Settings.tileSheetPath, "/old/sheet.bmp");
    for (const auto& size : {std::pair{370, 225}, {369, 224}, {0, 0}}) {
        if (size.first) WriteBmp24(path, size.first, size.second, 0x33);
        fake::QueueFileAnswer(size.first ? path : path + ".missing");   // no bitmap at all: refused too
        ChangeTileSheet(fake::MainWindow());
    }
    ASSERT_EQ(fake::Messages().size(), 4u);
    for (size_t i = 0; i < 4; ++i)
        EXPECT_EQ(fake::Messages()[i].text, i == 2 ? path + ".missing : read error" : "The tile picture must be 369 x 225 pixels.");
    EXPECT_EQ(TileSheet.bitmap, original);
    EXPECT_STREQ(Settings.tileSheetPath, "/old/sheet.bmp");
    WriteBmp24(path, 369, 225, char(0xCC));
    fake::QueueFileAnswer(path);
    ChangeTileSheet(fake::MainWindow());
    EXPECT_EQ(TileSheet.bitmap->row(0)[0], 0xCCCCCCu);
    EXPECT_STREQ(Settings.tileSheetPath, path.c_str());
}
