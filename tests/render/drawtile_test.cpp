// Drawing one tile, checked pixel by pixel against a synthetic sheet: the plain silhouette and its
// untouched corners, the coloured fill and what it leaves out, the choice of manner, the
// inverted face of the selection and the hint, and the transparent copy against the two-mask
// method it replaces.
#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "platform/fake/fake.h"
#include "render/drawtile.h"
#include "render_test_support.h"

using namespace rendertest;

namespace {

constexpr uint32_t kMarkerPx = 0xABCDEF;   // what the buffer held before the tile
constexpr int kDx = 30, kDy = 40;          // where the tile is drawn in the buffer
constexpr int kCol = 2, kRow = 1;          // its sheet cell

class DrawTileTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetBoardAndSettings();
        sheetBitmap.reset(MakeSyntheticSheet());
        sheet.bitmap = sheetBitmap.get();
        buffer.bitmap = &bufferBitmap;
        platform::FillRect(buffer, 0, 0, 200, 200, platform::PixelToColorRef(kMarkerPx));
        PlaceTile(0, kDx, kDy, kCol, kRow, 2);
    }
    uint32_t SheetPx(int dx, int dy) const { return sheetBitmap->row(45 * kRow + dy)[41 * kCol + dx]; }
    uint32_t BufferPx(int dx, int dy) const { return bufferBitmap.row(kDy + dy)[kDx + dx]; }
    // Checks the whole picture area (and a one-pixel ring around it, which must stay untouched).
    template <typename Want>
    void ExpectTile(Want want) {
        for (int dy = -1; dy <= 45; ++dy)
            for (int dx = -1; dx <= 41; ++dx) {
                const bool inside = dx >= 0 && dy >= 0 && dx < 41 && dy < 45;
                const uint32_t expected = inside ? want(dx, dy) : kMarkerPx;
                ASSERT_EQ(BufferPx(dx, dy), expected) << "at " << dx << "," << dy;
            }
    }
    static bool InFill(int dx, int dy) { return dx >= 5 && dx <= 39 && dy >= 1 && dy <= 39; }
    static bool InFace(int dx, int dy) { return dx >= 5 && dy < 40; }
    std::unique_ptr<platform::Bitmap> sheetBitmap;
    platform::Bitmap bufferBitmap{200, 200};
    platform::DeviceContext sheet, buffer;
};

}  // namespace

TEST_F(DrawTileTest, PlainTileIsTheSheetWithinItsSilhouetteAndKeepsTheCorners) {
    DrawTile(buffer, sheet, 0);
    ExpectTile([&](int dx, int dy) { return OutsideCorner(dx, dy) ? kMarkerPx : SheetPx(dx, dy); });
}

TEST_F(DrawTileTest, ColouredTileShowsTheFillThroughTheFaceButNotItsTopRowOrRightColumn) {
    Settings.useColors = 1;
    const uint32_t cyan = platform::ColorRefToPixel(Settings.levelColor[2]);
    DrawTile(buffer, sheet, 0);
    ExpectTile([&](int dx, int dy) {
        const uint32_t s = SheetPx(dx, dy);
        if (s != kWhitePx) return s;
        return InFill(dx, dy) ? cyan : kMarkerPx;
    });
    // The white face pixels of the top row and the right column show the buffer, not the fill.
    EXPECT_EQ(SheetPx(5, 0), kWhitePx);
    EXPECT_EQ(BufferPx(5, 0), kMarkerPx);
    EXPECT_EQ(SheetPx(40, 5), kWhitePx);
    EXPECT_EQ(BufferPx(40, 5), kMarkerPx);
    EXPECT_EQ(BufferPx(10, 5), cyan);
}

TEST_F(DrawTileTest, ExposedColourWinsOverLevelColourAndOverThePlainManner) {
    const uint32_t grey = platform::ColorRefToPixel(Settings.exposedColor);
    const uint32_t cyan = platform::ColorRefToPixel(Settings.levelColor[2]);
    struct Case { uint8_t useColors, showExposed, free; uint32_t fill; };   // fill 0: plain
    const Case cases[] = {{1, 1, 1, grey}, {0, 1, 1, grey}, {1, 1, 0, cyan}, {0, 1, 0, 0}, {1, 0, 1, cyan}};
    for (const Case& c : cases) {
        SetUp();
        Settings.useColors = c.useColors;
        Settings.showExposed = c.showExposed;
        Board.tiles[0].free = c.free;
        DrawTile(buffer, sheet, 0);
        SCOPED_TRACE(testing::Message() << int(c.useColors) << int(c.showExposed) << int(c.free));
        EXPECT_EQ(BufferPx(10, 5), c.fill ? c.fill : kWhitePx);   // a white face pixel
        EXPECT_EQ(BufferPx(0, 0), kMarkerPx);
    }
    // In colour, a level outside 0..4 gets no picture at all.
    SetUp();
    Settings.useColors = 1;
    Board.tiles[0].level = 5;
    DrawTile(buffer, sheet, 0);
    ExpectTile([](int, int) { return kMarkerPx; });
}

TEST_F(DrawTileTest, SelectedTileShowsTheNegativeOfTheSheetFaceInEveryManner) {
    GameState.selected = 0;
    for (uint8_t useColors : {0, 1}) {
        SetUp();
        GameState.selected = 0;
        Settings.useColors = useColors;
        DrawTile(buffer, sheet, 0);
        SCOPED_TRACE(int(useColors));
        ExpectTile([&](int dx, int dy) {
            const uint32_t s = SheetPx(dx, dy);
            if (InFace(dx, dy)) return ~s & 0xFFFFFFu;
            if (OutsideCorner(dx, dy)) return kMarkerPx;
            return s == kWhitePx && useColors ? kMarkerPx : s;   // the sides stay as drawn
        });
    }
}

TEST_F(DrawTileTest, HintMarksThePairAtTheCursorAndMarksOnceWhenAlsoSelected) {
    PlaceTile(1, 100, 40, 0, 0);
    PlaceTile(2, 100, 120, 1, 0);
    Board.moves[0] = {1, 2};
    Board.moves[1] = {0, 2};
    GameState.hintState = 1;
    GameState.moveCount = 3;
    GameState.hintCursor = 3;   // past the list: back to the first pair
    DrawTile(buffer, sheet, 0);
    EXPECT_EQ(GameState.hintCursor, 0);
    EXPECT_EQ(BufferPx(10, 5), kWhitePx);   // tile 0 is not in pair 0
    DrawTile(buffer, sheet, 1);
    EXPECT_EQ(bufferBitmap.row(40 + 5)[100 + 10], 0u);   // white inverted
    GameState.selected = 2;   // selected and hinted: inverted once, not twice
    DrawTile(buffer, sheet, 2);
    EXPECT_EQ(bufferBitmap.row(120 + 3)[100 + 8], ~sheetBitmap->row(3)[41 + 8] & 0xFFFFFFu);

    SetUp();
    Board.moves[0] = {0, 2};
    GameState.hintState = 2;   // already shown: no mark
    GameState.moveCount = 1;
    DrawTile(buffer, sheet, 0);
    EXPECT_EQ(BufferPx(10, 5), kWhitePx);
    GameState.hintState = 1;
    GameState.hintCursor = -7;   // a cursor outside the table names no pair
    DrawTile(buffer, sheet, 0);
    EXPECT_EQ(BufferPx(10, 5), kWhitePx);
}

TEST(DrawTransparent, MatchesTheTwoMaskMethodThroughMonochromeBitmaps) {
    std::mt19937 rng(7);
    platform::Bitmap src(60, 50), dst(70, 60);
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 60; ++x) src.row(y)[x] = rng() % 3 == 0 ? 0x00FF00u : rng() & 0xFFFFFF;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 70; ++x) dst.row(y)[x] = rng() & 0xFFFFFF;
    platform::Bitmap expected = dst;
    const int sx = 7, sy = 3, w = 41, h = 45, dx = 20, dy = 11;
    const uint32_t key = 0x0000FF00;   // COLORREF green, the same as pixel 0x00FF00

    // The reference: mask, inverse mask, back and front, as the Windows drawing would do it.
    {
        platform::DeviceContext s, d;
        s.bitmap = &src;
        d.bitmap = &expected;
        platform::Bitmap mask(w, h, true), inverse(w, h, true), back(w, h), front(w, h);
        platform::DeviceContext m, i, b, f;
        m.bitmap = &mask;
        i.bitmap = &inverse;
        b.bitmap = &back;
        f.bitmap = &front;
        s.bkColor = key;
        platform::BitBlt(m, 0, 0, w, h, s, sx, sy, platform::SRCCOPY);
        platform::BitBlt(i, 0, 0, w, h, m, 0, 0, platform::NOTSRCCOPY);
        platform::BitBlt(b, 0, 0, w, h, d, dx, dy, platform::SRCCOPY);
        platform::BitBlt(b, 0, 0, w, h, m, 0, 0, platform::SRCAND);
        platform::BitBlt(f, 0, 0, w, h, s, sx, sy, platform::SRCCOPY);
        platform::BitBlt(f, 0, 0, w, h, i, 0, 0, platform::SRCAND);
        platform::BitBlt(b, 0, 0, w, h, f, 0, 0, platform::SRCINVERT);
        platform::BitBlt(d, dx, dy, w, h, b, 0, 0, platform::SRCCOPY);
    }
    platform::DeviceContext s, d;
    s.bitmap = &src;
    d.bitmap = &dst;
    DrawTransparent(d, s, sx, sy, w, h, dx, dy, key);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 70; ++x) ASSERT_EQ(dst.row(y)[x], expected.row(y)[x]) << x << "," << y;
    // Rectangles reaching past either bitmap are cut, never read or written outside.
    DrawTransparent(d, s, -5, 40, 41, 45, 50, -3, key);
    DrawTransparent(d, s, 2147483000, -2147483000, 41, 45, 0, 0, key);
}
