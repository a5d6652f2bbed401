// Drawing the whole board through the fake window: paint order, background colour and picture,
// removed tiles, the end of a pause, the end-of-game flow started once even when the board is
// redrawn from inside it, the buffer made again for a larger board, and ClearBoard.
#include <gtest/gtest.h>

#include <memory>

#include "persist/halloffame.h"
#include "platform/fake/fake.h"
#include "render/drawboard.h"
#include "render/tilesheet.h"
#include "render_test_support.h"
#include "resources/ids.h"

using namespace rendertest;

namespace {

class DrawBoardTest : public ::testing::Test {
protected:
    void SetUp() override {
        fake::Reset();
        ReleaseBoardGraphics();
        ResetBoardAndSettings();
        TileSheet.bitmap = MakeSyntheticSheet();
        BoardBuffer = new platform::Bitmap(637, 445);
    }
    void TearDown() override { ReleaseBoardGraphics(); }
    static uint32_t WindowPx(int x, int y) { return fake::Surface().row(y)[x]; }
    static uint32_t SheetPx(const TileRecord& t, int dx, int dy) {
        return TileSheet.bitmap->row(t.sheetY + dy)[t.sheetX + dx];
    }
    static uint32_t BackgroundPx() { return platform::ColorRefToPixel(Settings.backgroundColor); }
    static void SetPicture(int width, int height, uint32_t rgb) {
        BackgroundPicture.bitmap = new platform::Bitmap(width, height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) BackgroundPicture.bitmap->row(y)[x] = rgb;
        BackgroundPicture.width = width;
        BackgroundPicture.height = height;
        std::strcpy(Settings.backgroundPath, "/somewhere/picture.bmp");
    }
};

}  // namespace

TEST_F(DrawBoardTest, LaterTilesCoverEarlierOnesAtTheirRecordedPositions) {
    // Two tiles of one level at cells (4, 12) and (4, 10): the right one comes first in paint
    // order, and the left one's face covers its left side.
    PlaceTile(0, 12 * 18, 4 * 20 + 20, 3, 0);
    PlaceTile(1, 10 * 18, 4 * 20 + 20, 4, 0);
    // A level-1 tile at cell (0, 0) is drawn at (5, 15) over the level-0 tile under it.
    PlaceTile(2, 0, 20, 5, 0);
    PlaceTile(3, 5, 15, 6, 0, 1);
    DrawBoard(fake::MainWindow());
    const TileRecord& right = Board.tiles[0];
    const TileRecord& left = Board.tiles[1];
    // x 216..220 is the right tile's left side and the left tile's face column 36..40.
    EXPECT_EQ(WindowPx(218, 110), SheetPx(left, 38, 10));
    EXPECT_EQ(WindowPx(225, 110), SheetPx(right, 9, 10));
    // The upper tile's left side lies over the lower tile's face.
    EXPECT_EQ(WindowPx(6, 40), SheetPx(Board.tiles[3], 1, 25));
    EXPECT_EQ(WindowPx(45, 50), SheetPx(Board.tiles[3], 40, 35));
    EXPECT_EQ(WindowPx(3, 62), SheetPx(Board.tiles[2], 3, 42));
    // Outside every tile: the background colour.
    EXPECT_EQ(WindowPx(400, 300), BackgroundPx());
    EXPECT_EQ(fake::PresentCount(), 1);
}

TEST_F(DrawBoardTest, RemovedTilesAreSkippedMarksIncluded) {
    PlaceTile(0, 100, 100, 0, 0);
    Board.tiles[0].face = 0;
    GameState.selected = 0;
    DrawBoard(fake::MainWindow());
    EXPECT_EQ(WindowPx(110, 105), BackgroundPx());
}

TEST_F(DrawBoardTest, BackgroundPictureIsDrawnAtItsOwnSizeAndCutAtTheBoardEdge) {
    PlaceTile(0, 60, 60, 0, 0);
    SetPicture(100, 100, 0x123456);
    DrawBoard(fake::MainWindow());
    EXPECT_EQ(WindowPx(0, 0), 0x123456u);
    EXPECT_EQ(WindowPx(99, 0), 0x123456u);
    EXPECT_EQ(WindowPx(0, 99), 0x123456u);
    EXPECT_EQ(WindowPx(100, 50), BackgroundPx());
    EXPECT_EQ(WindowPx(50, 100), BackgroundPx());
    EXPECT_EQ(WindowPx(70, 70), SheetPx(Board.tiles[0], 10, 10));   // tiles go over the picture

    // A picture larger than the board: cut at the board area, the rows below it untouched.
    platform::DeleteBitmap(BackgroundPicture.bitmap);
    SetPicture(900, 600, 0x654321);
    fake::Surface().row(430)[10] = 0x000001;
    DrawBoard(fake::MainWindow());
    EXPECT_EQ(WindowPx(636, 424), 0x654321u);
    EXPECT_EQ(WindowPx(10, 430), 0x000001u);

    // An empty path means no picture, whatever bitmap is still around.
    Settings.backgroundPath[0] = '\0';
    DrawBoard(fake::MainWindow());
    EXPECT_EQ(WindowPx(0, 0), BackgroundPx());
}

TEST_F(DrawBoardTest, AnyRedrawEndsAPause) {
    GameState.paused = 1;
    platform::CheckMenuItem(fake::MainWindow(), IDM_PAUSE, true);
    DrawBoard(fake::MainWindow());
    EXPECT_EQ(GameState.paused, 0);
    EXPECT_FALSE(fake::IsChecked(IDM_PAUSE));
}

TEST_F(DrawBoardTest, EndOfGameFlowRunsOnceEvenWhenTheBoardIsRedrawnFromInsideIt) {
    GameState.won = 1;
    HallOfFame[9].seconds = 10;    // a time that does not enter the Top 10: no scores file written
    HallOfFame[10].seconds = 500;
    int innerDraws = 0;
    fake::QueueDialogScript([&](platform::Window dialog, fake::FakeDialog&) {
        EXPECT_EQ(GameState.endShown, 1);
        DrawBoard(fake::MainWindow());   // a paint request during the modal dialog
        ++innerDraws;
        fake::PressButton(dialog, IDC_WIN_OK);
    });
    DrawBoard(fake::MainWindow());
    EXPECT_EQ(innerDraws, 1);
    ASSERT_EQ(fake::DialogsRun().size(), 1u);
    EXPECT_EQ(fake::DialogsRun()[0].name, "GAGNEDLG");
    EXPECT_EQ(fake::PresentCount(), 2);   // the empty board was on screen before the dialog
    DrawBoard(fake::MainWindow());
    EXPECT_EQ(fake::DialogsRun().size(), 1u);
}

TEST_F(DrawBoardTest, BufferIsMadeAgainWhenTheBoardOutgrowsIt) {
    Board.width = 700;
    Board.height = 500;
    PlaceTile(0, 650, 450, 0, 0);
    platform::FitMainWindow(fake::MainWindow(), nullptr, 700, 500);
    DrawBoard(fake::MainWindow());
    ASSERT_NE(BoardBuffer, nullptr);
    EXPECT_GE(BoardBuffer->width(), 700);
    EXPECT_GE(BoardBuffer->height(), 500);
    EXPECT_EQ(WindowPx(660, 455), SheetPx(Board.tiles[0], 10, 5));
    // A smaller board keeps the buffer it has.
    platform::Bitmap* before = BoardBuffer;
    Board.width = 300;
    Board.height = 200;
    DrawBoard(fake::MainWindow());
    EXPECT_EQ(BoardBuffer, before);
    // A hostile size is bounded, not allocated as asked.
    Board.width = 32767;
    Board.height = -5;
    DrawBoard(fake::MainWindow());
    EXPECT_LE(BoardBuffer->width(), 4096);
}

TEST_F(DrawBoardTest, ClearBoardPaintsTheBackgroundAloneIntoTheWindow) {
    PlaceTile(0, 100, 100, 0, 0);
    DrawBoard(fake::MainWindow());
    SetPicture(50, 50, 0x0000AA);
    GameState.paused = 1;
    ClearBoard(fake::MainWindow());
    EXPECT_EQ(WindowPx(110, 110), BackgroundPx());
    EXPECT_EQ(WindowPx(10, 10), 0x0000AAu);
    EXPECT_EQ(GameState.paused, 1);   // clearing is not a redraw of the board
    EXPECT_NE(BoardBuffer->row(110)[110], BackgroundPx());   // the buffer still holds the tile
}
