// The board drawn at 2x and 3x (one tile at each scale: drawing_test.cpp): the coloured tile cut
// by the buffer's edges, the whole board and its background picture (at 1x too), the choice of
// the scale from the tile size and the screen, the sheets made for the scale (the built-in art at
// that size, any other sheet smoothed), and the built-in art: the tile shape at each size, every
// two faces apart in grey.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "board/state.h"
#include "platform/bitmap.h"
#include "platform/fake/fake.h"
#include "render/bmp.h"
#include "render/drawboard.h"
#include "render/drawtile.h"
#include "render/scale.h"
#include "render/tilesheet.h"
#include "tests/render/sheets.h"

namespace {

using namespace sheets;

// The built-in art drawn for scale s, 1 to 3.
std::unique_ptr<platform::Bitmap> Art(int s) {
    return std::unique_ptr<platform::Bitmap>(s == 1   ? DecodeBmp(kBuiltInTileSheet, kBuiltInTileSheetSize)
                                             : s == 2 ? DecodeBmp(kBuiltInTileSheet2, kBuiltInTileSheet2Size)
                                                      : DecodeBmp(kBuiltInTileSheet3, kBuiltInTileSheet3Size));
}

class ScaleTest : public ::testing::Test {
protected:
    void SetUp() override {
        fake::Reset();
        ReleaseBoardGraphics();
        ResetRecords();
    }
    void TearDown() override {
        ReleaseBoardGraphics();
        drawScale = 1;
    }
};

}  // namespace

TEST_F(ScaleTest, TheOnePassColouredTileMatchesFillAndTransparentCopyAtTheBufferEdges) {
    constexpr int s = 2;
    const std::unique_ptr<platform::Bitmap> sheetBitmap = MakeSheet(s);
    platform::DeviceContext sheet;
    sheet.bitmap = sheetBitmap.get();
    // Inside, and cut by each edge of a 60 x 50 board (in board pixels).
    for (const auto& at : {std::pair{10, 5}, {-7, 3}, {3, -9}, {40, 20}, {-40, -44}, {59, 49}, {200, 3}}) {
        SCOPED_TRACE(testing::Message() << at.first << "," << at.second);
        platform::Bitmap drawn(60 * s, 50 * s), expected(60 * s, 50 * s);
        platform::DeviceContext d, e;
        d.bitmap = &drawn, e.bitmap = &expected;
        for (platform::DeviceContext* dc : {&d, &e}) platform::FillRect(*dc, 0, 0, 60 * s, 50 * s, platform::PixelToColorRef(kMarker));
        ResetRecords();
        Settings.useColors = 1;
        Board.tiles[0] = TileRecord{int16_t(at.first), int16_t(at.second), 123, 90, 25, 0, 0, 0, 0};
        drawScale = s;
        DrawTile(d, sheet, 0);
        const int x = at.first * s, y = at.second * s;
        platform::FillRect(e, x + 5 * s, y + s, x + 40 * s, y + 40 * s, Settings.levelColor[0]);
        drawScale = 1;   // the reference: the scale-1 routine on scaled coordinates
        DrawTransparent(e, sheet, 123 * s, 90 * s, 41 * s, 45 * s, x, y, Settings.transparentColor);
        ASSERT_EQ(std::memcmp(drawn.data(), expected.data(), sizeof(uint32_t) * 60 * s * 50 * s), 0);
    }
}

TEST_F(ScaleTest, TheWholeBoardAndItsBackgroundAreDrawnAtTheScale) {
    for (int s : {1, 2, 3}) {
        SCOPED_TRACE(s);
        ResetRecords();
        std::strcpy(Settings.backgroundPath, "/some/picture.bmp");
        TileSheet.bitmap = MakeSheet(1).release();
        BackgroundPicture.bitmap = new platform::Bitmap(4, 3);
        BackgroundPicture.width = 4, BackgroundPicture.height = 3;
        for (int i = 0; i < 12; ++i) BackgroundPicture.bitmap->data()[i] = 0x000100u * (i + 1);   // four columns
        Board.tiles[0] = TileRecord{600, 380, 0, 0, 1, 0, 0, 0, 0};   // the tile reaching the far corner
        SetDrawScale(s);
        platform::FitMainWindow(fake::MainWindow(), nullptr, Board.width, Board.height, s);
        DrawBoard(fake::MainWindow());
        const platform::Bitmap& surface = fake::Surface();
        ASSERT_TRUE(surface.width() == 637 * s && surface.height() == 425 * s);
        const uint32_t background = platform::ColorRefToPixel(0x00408000);
        // The picture ends at 4 x 3 times s; the background colour fills the rest.
        EXPECT_TRUE(surface.row(425 * s - 1)[0] == background && surface.row(0)[637 * s - 1] == background);
        EXPECT_EQ(surface.row(10 * s)[30 * s], background);
        EXPECT_EQ(surface.row(0)[0], BackgroundPicture.bitmap->row(0)[0]);
        EXPECT_EQ(surface.row(3 * s - 1)[4 * s - 1], BackgroundPicture.bitmap->row(2)[3]);
        EXPECT_NE(surface.row(3 * s)[4 * s], BackgroundPicture.bitmap->row(2)[3]);
        // The tile's face middle and its lower-left side at the scaled place, from the smoothed sheet.
        const platform::Bitmap* sheet = DrawnTileSheet();
        ASSERT_TRUE(sheet && sheet->width() == 369 * s);
        EXPECT_EQ(surface.row(400 * s)[623 * s], sheet->row(20 * s)[23 * s]);
        EXPECT_EQ(surface.row(422 * s)[601 * s], sheet->row(42 * s)[1 * s]);
        ReleaseBoardGraphics();
    }
}

TEST(DrawScaleChoice, TileSizeScreenAndPixelRatioGiveTheScale) {
    const platform::ScreenArea laptop{1366, 728, 16, 90, 1}, big{3000, 2000, 16, 90, 1};
    const std::pair<int, platform::ScreenArea> automatic[] = {   // 2x needs 1290 x 940
        {1, laptop}, {3, big}, {1, {1289, 1000, 16, 90, 1}}, {2, {1290, 940, 16, 90, 1}}, {1, {0, 0, 0, 0, 1}}};
    for (const auto& [factor, screen] : automatic) EXPECT_EQ(ChosenTileFactor(0, 637, 425, screen), factor) << screen.availableWidth;
    EXPECT_EQ(ChosenTileFactor(200, 637, 425, big), 3);   // an unknown size counts as Automatic
    for (int size : {1, 2, 3}) EXPECT_EQ(ChosenTileFactor(size, 637, 425, laptop), size);
    // Tile factor, pixel ratio and board width: a 2x screen at Normal draws with the 2x art; the
    // board stays within 4096 pixels.
    const int scales[][5] = {{1, 1, 637, 425, 1}, {1, 2, 637, 425, 2}, {2, 2, 637, 425, 4}, {3, 3, 637, 425, kMaxDrawScale},
                             {3, 1, 2048, 100, 2}, {3, 1, 4000, 100, 1}, {0, 0, 637, 425, 1}};
    for (const auto& [factor, ratio, w, h, scale] : scales) EXPECT_EQ(DrawScaleFor(factor, ratio, w, h), scale) << factor << ratio << w;
}

TEST(DrawScaleChoice, EnlargementsKeepFlatAreasAndBlendEdges) {
    platform::Bitmap edge(2, 1);
    edge.row(0)[0] = 0x000000, edge.row(0)[1] = 0xFFFFFF;
    std::unique_ptr<platform::Bitmap> smooth(EnlargeSmooth(edge, 2, 2, 1));
    ASSERT_TRUE(smooth->width() == 4 && smooth->height() == 2);
    for (int y = 0; y < 2; ++y)
        EXPECT_EQ(std::vector<uint32_t>(smooth->row(y), smooth->row(y) + 4), (std::vector<uint32_t>{0, 0x404040, 0xBFBFBF, 0xFFFFFF}));
    platform::Bitmap flat(5, 4);
    for (int i = 0; i < 20; ++i) flat.data()[i] = 0x123456;
    flat.row(3)[4] = 0x00FF00;   // outside the part asked for
    std::unique_ptr<platform::Bitmap> part(EnlargeSmooth(flat, 3, 4, 3));
    ASSERT_TRUE(part->width() == 12 && part->height() == 9);
    for (int i = 0; i < 12 * 9; ++i) ASSERT_EQ(part->data()[i], 0x123456u) << i;
    std::unique_ptr<platform::Bitmap> blocks(EnlargeBlocks(edge, 3));
    ASSERT_TRUE(blocks->width() == 6 && blocks->height() == 3);
    for (int x = 0; x < 6; ++x) EXPECT_EQ(blocks->row(2)[x], x < 3 ? 0u : 0xFFFFFFu);
}

TEST_F(ScaleTest, TheBuiltInSheetTakesItsOwnArtAndAnyOtherSheetIsSmoothed) {
    const auto art2 = Art(2), art3 = Art(3);
    ASSERT_TRUE(art2 && art3);
    TileSheet.bitmap = Art(1).release();
    SetDrawScale(2);
    EXPECT_TRUE(Same(*TileSheet.scaled, *art2));
    SetDrawScale(3);
    EXPECT_TRUE(Same(*TileSheet.scaled, *art3));
    for (int scale : {4, 6}) {   // a 2x screen: the 2x or 3x art in blocks of two
        SetDrawScale(scale);
        EXPECT_TRUE(Same(*TileSheet.scaled, *std::unique_ptr<platform::Bitmap>(EnlargeBlocks(scale == 4 ? *art2 : *art3, 2))));
    }
    SetDrawScale(1);
    EXPECT_EQ(TileSheet.scaled, nullptr);
    EXPECT_EQ(DrawnTileSheet(), TileSheet.bitmap);
    // A player's sheet, one pixel away from ours, is enlarged smoothly.
    TileSheet.bitmap->row(100)[100] ^= 0x010101;
    SetDrawScale(2);
    ASSERT_TRUE(TileSheet.scaled && TileSheet.scaled->width() == 738 && TileSheet.scaled->height() == 450);
    EXPECT_FALSE(Same(*TileSheet.scaled, *art2));
    EXPECT_TRUE(Same(*TileSheet.scaled, *std::unique_ptr<platform::Bitmap>(EnlargeSmooth(*TileSheet.bitmap, 2, 369, 225))));
}

TEST(TileArt, EachSizeHasTheTileShapeAndEveryTwoFacesDifferInGrey) {
    for (int s = 1; s <= 3; ++s) {
        SCOPED_TRACE(testing::Message() << "scale " << s);
        const std::unique_ptr<platform::Bitmap> art = Art(s);
        const platform::Bitmap& sheet = *art;
        ASSERT_TRUE(sheet.width() == 369 * s && sheet.height() == 225 * s);
        auto at = [&](int cell, int x, int y) { return sheet.row(45 * s * (cell / 9) + y)[41 * s * (cell % 9) + x]; };
        // Same outside corners as the tile shape the drawing cuts; the sides never white (they
        // would turn see-through) and, at 1x, alike in every cell.
        for (int cell = 0; cell < 45; ++cell)
            for (int y = 0; y < 45 * s; ++y)
                for (int x = 0; x < 41 * s; ++x) {
                    const bool side = x < 5 * s || y >= 40 * s, white = at(cell, x, y) == kWhite;
                    ASSERT_TRUE(OutsideCorner(x, y, s) ? white : !side || (!white && (s > 1 || at(cell, x, y) == at(0, x, y))))
                        << "cell " << cell << " at " << x << "," << y;
                }
        // At 1x the 42 faces have a white ground for the tint and an outline on the top row and
        // right column that the tint leaves out.
        const int area = 36 * 40 * s * s;
        auto face = [&](int f, int i) { return at(f < 35 ? f : f + 1, 5 * s + i % (36 * s), i / (36 * s)); };
        auto grey = [&](int f, int i) {
            const uint32_t p = face(f, i);
            return (299 * int(p >> 16 & 0xFF) + 587 * int(p >> 8 & 0xFF) + 114 * int(p & 0xFF)) / 1000;
        };
        for (int f = 0; f < 42 && s == 1; ++f) {
            int white = 0, outline = 0;
            for (int i = 0; i < area; ++i) white += face(f, i) == kWhite, outline += face(f, i) == kWhite && (i < 36 || i % 36 == 35);
            EXPECT_TRUE(outline == 0 && white > 400 && white < 1200) << "face " << f << ": " << white << ", " << outline;
        }
        // A player who sees no colour tells every two faces apart: at least 3% of the face differs
        // by more than 48 grey levels.
        for (int f = 0; f < 42; ++f)
            for (int g = f + 1; g < 42; ++g) {
                int differing = 0;
                for (int i = 0; i < area; ++i) differing += std::abs(grey(f, i) - grey(g, i)) > 48;
                EXPECT_GT(differing * 100, area * 3) << "faces " << f + 1 << " and " << g + 1 << " look alike in grey";
            }
    }
}
