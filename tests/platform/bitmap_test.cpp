// Our pixel bitmaps: raster operations and their clipping, the colour/monochrome rules of block
// copies, and DIB decoding of hand-made blocks (16-bit masks, run-length escapes, short colour
// tables) including the refusals that keep the decoder inside its two blocks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/bitmap.h"

using namespace platform;

namespace {

DeviceContext Dc(Bitmap& b) {
    DeviceContext dc;
    dc.bitmap = &b;
    return dc;
}

// A 40-byte information header followed by `extra` (colour table or masks).
std::vector<uint8_t> Info(int32_t width, int32_t height, uint16_t bits, uint32_t compression,
                          uint32_t clrUsed = 0, const std::vector<uint8_t>& extra = {}) {
    std::vector<uint8_t> v(40 + extra.size(), 0);
    auto put32 = [&](size_t at, uint32_t x) { for (int i = 0; i < 4; ++i) v[at + i] = uint8_t(x >> (8 * i)); };
    put32(0, 40);
    put32(4, static_cast<uint32_t>(width));
    put32(8, static_cast<uint32_t>(height));
    v[12] = 1;
    v[14] = uint8_t(bits);
    put32(16, compression);
    put32(32, clrUsed);
    std::copy(extra.begin(), extra.end(), v.begin() + 40);
    return v;
}

std::vector<uint8_t> Palette(std::initializer_list<uint32_t> colors) {   // 0x00RRGGBB each
    std::vector<uint8_t> v;
    for (uint32_t c : colors) v.insert(v.end(), {uint8_t(c), uint8_t(c >> 8), uint8_t(c >> 16), 0});
    return v;
}

std::unique_ptr<Bitmap> Decode(const std::vector<uint8_t>& info, const std::vector<uint8_t>& bits) {
    return std::unique_ptr<Bitmap>(CreateDIBitmap(info.data(), info.size(), bits.data(), bits.size()));
}

}  // namespace

TEST(Bitmap, BlockCopiesApplyTheirRasterOperationAndClipToBothBitmaps) {
    Bitmap src(4, 4), dst(5, 5);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) src.row(y)[x] = 0x100000u * x + 0x1000u * y + 0x0F;
    DeviceContext s = Dc(src), d = Dc(dst);
    FillRect(d, 0, 0, 5, 5, 0x00F0F0F0);
    // Placed at (-1, 3): only source columns 1..3 and rows 0..1 land, at x 0..2, y 3..4.
    ASSERT_TRUE(BitBlt(d, -1, 3, 4, 4, s, 0, 0, SRCCOPY));
    EXPECT_EQ(dst.row(3)[0], src.row(0)[1]);
    EXPECT_EQ(dst.row(4)[2], src.row(1)[3]);
    EXPECT_EQ(dst.row(2)[0], 0xF0F0F0u);
    EXPECT_EQ(dst.row(3)[3], 0xF0F0F0u);
    // A negative source origin moves the destination the other way.
    FillRect(d, 0, 0, 5, 5, 0);
    ASSERT_TRUE(BitBlt(d, 0, 0, 3, 3, s, -2, -1, SRCCOPY));
    EXPECT_EQ(dst.row(1)[2], src.row(0)[0]);
    EXPECT_EQ(dst.row(0)[0], 0u);

    FillRect(d, 0, 0, 5, 5, 0x00FF00FF);   // COLORREF magenta is pixel 0xFF00FF too
    BitBlt(d, 0, 0, 1, 1, s, 1, 1, NOTSRCCOPY);
    EXPECT_EQ(dst.row(0)[0], ~src.row(1)[1] & 0xFFFFFFu);
    BitBlt(d, 1, 0, 1, 1, s, 1, 1, SRCAND);
    EXPECT_EQ(dst.row(0)[1], src.row(1)[1] & 0xFF00FFu);
    BitBlt(d, 2, 0, 1, 1, s, 1, 1, SRCINVERT);
    EXPECT_EQ(dst.row(0)[2], src.row(1)[1] ^ 0xFF00FFu);
    EXPECT_FALSE(BitBlt(d, 0, 0, 1, 1, s, 0, 0, 0x00EE0086));   // an operation we do not know
    DeviceContext none;
    EXPECT_FALSE(BitBlt(d, 0, 0, 1, 1, none, 0, 0, SRCCOPY));
    // Enormous coordinates are clipped, not overflowed.
    EXPECT_TRUE(BitBlt(d, 2147483000, -2147483000, 2147483000, 2147483000, s, -2147483000, 5, SRCCOPY));
}

TEST(Bitmap, OverlappingCopyWithinOneBitmapReadsTheSourceBeforeItChanges) {
    Bitmap b(6, 1);
    for (int x = 0; x < 6; ++x) b.row(0)[x] = x + 1;
    DeviceContext dc = Dc(b);
    BitBlt(dc, 1, 0, 5, 1, dc, 0, 0, SRCCOPY);
    EXPECT_EQ(std::vector<uint32_t>(b.row(0), b.row(0) + 6), (std::vector<uint32_t>{1, 1, 2, 3, 4, 5}));
}

TEST(Bitmap, ColourAndMonochromeCopiesFollowTheContextColours) {
    Bitmap color(3, 1), mono(3, 1, true), back(3, 1);
    color.row(0)[0] = 0x0000FF;   // COLORREF 0xFF0000
    color.row(0)[1] = 0x123456;
    color.row(0)[2] = 0x0000FF;
    DeviceContext c = Dc(color), m = Dc(mono), k = Dc(back);
    c.bkColor = 0x00FF0000;
    BitBlt(m, 0, 0, 3, 1, c, 0, 0, SRCCOPY);
    EXPECT_EQ(mono.row(0)[0], 0xFFFFFFu);   // the source's background colour gives 1
    EXPECT_EQ(mono.row(0)[1], 0u);
    k.textColor = 0x00112233;
    k.bkColor = 0x00445566;
    BitBlt(k, 0, 0, 3, 1, m, 0, 0, SRCCOPY);
    EXPECT_EQ(GetPixel(k, 0, 0), 0x00445566u);   // 1 takes the destination's background colour
    EXPECT_EQ(GetPixel(k, 1, 0), 0x00112233u);   // 0 its text colour
    SetPixel(m, 1, 0, 0x00FFFFFF);
    SetPixel(m, 2, 0, 0x00FEFFFF);
    EXPECT_EQ(GetPixel(m, 1, 0), 0x00FFFFFFu);
    EXPECT_EQ(GetPixel(m, 2, 0), 0u);
    EXPECT_EQ(GetPixel(m, 3, 0), CLR_INVALID);
    EXPECT_EQ(GetPixel(m, -1, 0), CLR_INVALID);
    SetPixel(m, 99, 99, 0);   // outside: nothing happens
    FillRect(m, 5, 0, 2, 1, 0);   // an empty rectangle past the edge: nothing happens
    EXPECT_EQ(GetPixel(m, 1, 0), 0x00FFFFFFu);
}

TEST(Dib, IndexedDepthsDecodeWithPaddedRowsBothWaysUpAndShortTables) {
    // 1 bit, 3 x 2, bottom-up: the first stored row is the bottom one.
    auto b1 = Decode(Info(3, 2, 1, 0, 2, Palette({0x000000, 0xABCDEF})), {0xA0, 0, 0, 0, 0x40, 0, 0, 0});
    ASSERT_TRUE(b1);
    EXPECT_EQ(b1->row(1)[0], 0xABCDEFu);
    EXPECT_EQ(b1->row(1)[1], 0u);
    EXPECT_EQ(b1->row(1)[2], 0xABCDEFu);
    EXPECT_EQ(b1->row(0)[1], 0xABCDEFu);
    // 4 bits, top-down, a table of two entries although the file says 16: the missing are black.
    auto b4 = Decode(Info(3, -1, 4, 0, 16, Palette({0x111111, 0x222222})), {0x10, 0xF0, 0, 0});
    ASSERT_TRUE(b4);
    EXPECT_EQ(b4->row(0)[0], 0x222222u);
    EXPECT_EQ(b4->row(0)[1], 0x111111u);
    EXPECT_EQ(b4->row(0)[2], 0u);
    // 8 bits with a colour count above 256 reads no further than the table it has.
    auto b8 = Decode(Info(1, 1, 8, 0, 100000, Palette({1, 2, 3})), {2, 0, 0, 0});
    ASSERT_TRUE(b8);
    EXPECT_EQ(b8->row(0)[0], 3u);
}

TEST(Dib, DirectDepthsAndMasks) {
    // 16 bits without masks: 5-5-5, widened so that 31 becomes 255.
    auto b16 = Decode(Info(2, 1, 16, 0), {0x00, 0x7C, 0x1F, 0x00});
    ASSERT_TRUE(b16);
    EXPECT_EQ(b16->row(0)[0], 0xFF0000u);
    EXPECT_EQ(b16->row(0)[1], 0x0000FFu);
    // 16 bits with 5-6-5 masks.
    std::vector<uint8_t> masks565 = {0x00, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0};
    auto b565 = Decode(Info(2, 1, 16, 3, 0, masks565), {0xE0, 0x07, 0x10, 0x84});
    ASSERT_TRUE(b565);
    EXPECT_EQ(b565->row(0)[0], 0x00FF00u);
    EXPECT_EQ(b565->row(0)[1], 0x848284u);   // r 16/31, g 32/63, b 16/31
    // 32 bits with masks in an unusual order (blue high, red low).
    std::vector<uint8_t> masksBgr = {0xFF, 0, 0, 0, 0, 0xFF, 0, 0, 0, 0, 0xFF, 0};
    auto b32 = Decode(Info(1, 1, 32, 3, 0, masksBgr), {0x12, 0x34, 0x56, 0x78});
    ASSERT_TRUE(b32);
    EXPECT_EQ(b32->row(0)[0], 0x123456u);
    // 32 bits plain: blue, green, red, unused.
    auto b32rgb = Decode(Info(1, 1, 32, 0), {0x56, 0x34, 0x12, 0xFF});
    ASSERT_TRUE(b32rgb);
    EXPECT_EQ(b32rgb->row(0)[0], 0x123456u);
    // Masks missing from the block: refused rather than read past it.
    EXPECT_FALSE(Decode(Info(1, 1, 32, 3, 0, {0xFF, 0, 0, 0}), {0, 0, 0, 0}));
}

TEST(Dib, RunLengthEscapesAndRunsPastTheRow) {
    auto pal = Palette({0x000000, 0x111111, 0x222222, 0x333333});
    // 4 x 4, bottom-up. File row 0 (the bottom one): a run of 6 of colour 1 cut at the row's
    // end, end of line. File row 1: an absolute run 2, 3, 2 padded to a word, end of line. File
    // row 2: a move by (2, 1) to file row 3 column 2, a run of 1 of colour 3, end of bitmap, then
    // bytes never read.
    std::vector<uint8_t> rle8 = {6, 1, 0, 0, 0, 3, 2, 3, 2, 0, 0, 0, 0, 2, 2, 1, 1, 3, 0, 1, 9, 2};
    auto b = Decode(Info(4, 4, 8, 1, 4, pal), rle8);
    ASSERT_TRUE(b);
    for (int x = 0; x < 4; ++x) EXPECT_EQ(b->row(3)[x], 0x111111u) << x;
    EXPECT_EQ(b->row(2)[0], 0x222222u);
    EXPECT_EQ(b->row(2)[1], 0x333333u);
    EXPECT_EQ(b->row(2)[2], 0x222222u);
    EXPECT_EQ(b->row(2)[3], 0u);
    for (int x = 0; x < 4; ++x) EXPECT_EQ(b->row(1)[x], 0u) << x;   // skipped by the move
    EXPECT_EQ(b->row(0)[1], 0u);
    EXPECT_EQ(b->row(0)[2], 0x333333u);
    EXPECT_EQ(b->row(0)[3], 0u);
    // The same with 4 bits a pixel: runs alternate the two nibbles, absolute runs pack two.
    std::vector<uint8_t> rle4 = {5, 0x12, 0, 0, 0, 3, 0x32, 0x10, 0, 1};
    auto c = Decode(Info(4, 2, 4, 2, 4, pal), rle4);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->row(1)[0], 0x111111u);
    EXPECT_EQ(c->row(1)[1], 0x222222u);
    EXPECT_EQ(c->row(1)[2], 0x111111u);
    EXPECT_EQ(c->row(1)[3], 0x222222u);
    EXPECT_EQ(c->row(0)[0], 0x333333u);
    EXPECT_EQ(c->row(0)[1], 0x222222u);
    EXPECT_EQ(c->row(0)[2], 0x111111u);
    // Data that stops in the middle of an absolute run or of a move decodes what it has.
    auto d = Decode(Info(4, 1, 8, 1, 4, pal), {0, 4, 1, 2});
    ASSERT_TRUE(d);
    EXPECT_EQ(d->row(0)[1], 0x222222u);
    EXPECT_EQ(d->row(0)[2], 0u);
    EXPECT_TRUE(Decode(Info(4, 1, 8, 1, 4, pal), {0, 2, 1}));
    // Run-length rows cannot be stored top-down.
    EXPECT_FALSE(Decode(Info(4, -1, 8, 1, 4, pal), {0, 1}));
}

TEST(Dib, AbsurdOrInconsistentDescriptionsAreRefused) {
    const std::vector<uint8_t> bits(64, 0);
    EXPECT_TRUE(Decode(Info(16, 1, 24, 0), bits));
    EXPECT_FALSE(Decode(Info(16, 2, 24, 0), bits));       // fewer pixel bytes than the rows need
    EXPECT_FALSE(Decode(Info(0, 1, 24, 0), bits));
    EXPECT_FALSE(Decode(Info(-4, 1, 24, 0), bits));
    EXPECT_FALSE(Decode(Info(1, 0, 24, 0), bits));
    EXPECT_FALSE(Decode(Info(16385, 1, 1, 1), bits));
    EXPECT_FALSE(Decode(Info(1, INT32_MIN, 8, 1), bits));
    EXPECT_FALSE(Decode(Info(16384, 16384, 8, 1), bits));  // too many pixels even for run lengths
    EXPECT_TRUE(Decode(Info(16384, 1, 8, 1), bits));
    EXPECT_FALSE(Decode(Info(1, 1, 24, 1), bits));        // run lengths need 4 or 8 bits
    EXPECT_FALSE(Decode(Info(1, 1, 8, 2), bits));
    EXPECT_FALSE(Decode(Info(1, 1, 24, 3), bits));
    EXPECT_FALSE(Decode(Info(1, 1, 2, 0), bits));         // no such depth
    EXPECT_FALSE(Decode(Info(1, 1, 8, 4), bits));         // an embedded JPEG
    auto shortHeader = Info(1, 1, 24, 0);
    shortHeader[0] = 12;
    EXPECT_FALSE(Decode(shortHeader, bits));
    auto headerPastBlock = Info(1, 1, 24, 0);
    headerPastBlock[0] = 124;
    EXPECT_FALSE(Decode(headerPastBlock, bits));
    auto info = Info(1, 1, 24, 0);
    EXPECT_EQ(CreateDIBitmap(info.data(), 39, bits.data(), bits.size()), nullptr);
    EXPECT_EQ(CreateDIBitmap(info.data(), info.size(), nullptr, 0), nullptr);
}
