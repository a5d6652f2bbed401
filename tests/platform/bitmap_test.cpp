// Our pixel bitmaps: block copies with their raster operations, clipping and colour/monochrome
// rules, and DIB decoding of hand-made blocks, including refusals that keep it inside them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/bitmap.h"

using namespace platform;

TEST(Bitmap, BlockCopiesClipAndFollowTheirOperationAndTheColourMonochromeRules) {
    Bitmap src(4, 4), dst(5, 5), mono(3, 1, true), back(3, 1);
    for (int i = 0; i < 16; ++i) src.data()[i] = 0x100000u * (i % 4) + 0x1000u * (i / 4) + 0x0F;
    DeviceContext s, d, m, k, none;
    s.bitmap = &src, d.bitmap = &dst, m.bitmap = &mono, k.bitmap = &back;
    FillRect(d, 0, 0, 5, 5, 0x00F0F0F0);
    ASSERT_TRUE(BitBlt(d, -1, 3, 4, 4, s, 0, 0, SRCCOPY));   // source columns 1..3, rows 0..1 land
    EXPECT_TRUE(dst.row(3)[0] == src.row(0)[1] && dst.row(4)[2] == src.row(1)[3]);
    EXPECT_TRUE(dst.row(2)[0] == 0xF0F0F0u && dst.row(3)[3] == 0xF0F0F0u);
    ASSERT_TRUE(BitBlt(d, 0, 0, 3, 3, s, -2, -1, SRCCOPY));   // a negative source origin moves the target
    EXPECT_TRUE(dst.row(1)[2] == src.row(0)[0] && dst.row(0)[1] == 0xF0F0F0u);
    FillRect(d, 0, 0, 5, 5, 0x00FF00FF);
    BitBlt(d, 0, 0, 1, 1, s, 1, 1, NOTSRCCOPY);
    BitBlt(d, 1, 0, 1, 1, s, 1, 1, SRCAND);
    BitBlt(d, 2, 0, 1, 1, s, 1, 1, SRCINVERT);
    EXPECT_EQ(std::vector<uint32_t>(dst.row(0), dst.row(0) + 4),
              (std::vector<uint32_t>{~src.row(1)[1] & 0xFFFFFFu, src.row(1)[1] & 0xFF00FF, src.row(1)[1] ^ 0xFF00FF, 0xFF00FF}));
    EXPECT_FALSE(BitBlt(d, 0, 0, 1, 1, s, 0, 0, 0x00EE0086));   // an operation we do not know
    EXPECT_FALSE(BitBlt(d, 0, 0, 1, 1, none, 0, 0, SRCCOPY));
    EXPECT_TRUE(BitBlt(d, 2147483000, -2147483000, 2147483000, 2147483000, s, -2147483000, 5, SRCCOPY));
    // Colour into monochrome: the source's background colour gives 1, all else 0. Monochrome into
    // colour: 1 gives the target's background colour, 0 its text colour.
    src.row(0)[0] = 0x0000FF, src.row(0)[1] = 0x123456, src.row(0)[2] = 0xFFFFFF;
    s.bkColor = 0x00FF0000;
    BitBlt(m, 0, 0, 3, 1, s, 0, 0, SRCCOPY);
    EXPECT_EQ(std::vector<uint32_t>(mono.row(0), mono.row(0) + 3), (std::vector<uint32_t>{0xFFFFFF, 0, 0}));
    k.textColor = 0x00112233, k.bkColor = 0x00445566;
    BitBlt(k, 0, 0, 3, 1, m, 0, 0, SRCCOPY);
    EXPECT_EQ(std::vector<uint32_t>(back.row(0), back.row(0) + 3), (std::vector<uint32_t>{0x665544, 0x332211, 0x332211}));
}

namespace {

// A BITMAPINFOHEADER of `size` bytes claimed, followed by `extra` (colour table or masks).
std::vector<uint8_t> Info(int32_t width, int32_t height, uint16_t bits, uint32_t compression, uint32_t clrUsed = 0,
                          std::vector<uint8_t> extra = {}, uint32_t size = 40) {
    std::vector<uint8_t> v(40 + extra.size(), 0);
    auto put32 = [&](size_t at, uint32_t x) { for (int i = 0; i < 4; ++i) v[at + i] = uint8_t(x >> (8 * i)); };
    put32(0, size), put32(4, uint32_t(width)), put32(8, uint32_t(height)), put32(16, compression), put32(32, clrUsed);
    v[12] = 1, v[14] = uint8_t(bits);
    std::copy(extra.begin(), extra.end(), v.begin() + 40);
    return v;
}

}  // namespace

TEST(Dib, HandMadeBlocksDecodeToTheirPixelsOrAreRefused) {
    const uint32_t A = 0x111111, B = 0x222222, C = 0x333333;
    const std::vector<uint8_t> pal = {0, 0, 0, 0, 0x11, 0x11, 0x11, 0, 0x22, 0x22, 0x22, 0, 0x33, 0x33, 0x33, 0};
    const std::vector<uint8_t> zeros(64, 0);
    struct Case { const char* what; std::vector<uint8_t> info, bits; std::vector<uint32_t> want; };   // empty: refused
    const Case cases[] = {
        {"4 bits top-down, short table", Info(3, -1, 4, 0, 16, std::vector<uint8_t>(pal.begin() + 4, pal.begin() + 12)), {0x10, 0xF0, 0, 0}, {B, A, 0}},
        {"16 bits 5-5-5", Info(2, 1, 16, 0), {0x00, 0x7C, 0x1F, 0x00}, {0xFF0000, 0x0000FF}},
        {"16 bits 5-6-5", Info(2, 1, 16, 3, 0, {0, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0}), {0xE0, 0x07, 0x10, 0x84}, {0x00FF00, 0x848284}},
        // A run of 6 cut at the row's end; an absolute run; a move by (2, 1); end of bitmap.
        {"RLE8", Info(4, 4, 8, 1, 4, pal), {6, 1, 0, 0, 0, 3, 2, 3, 2, 0, 0, 0, 0, 2, 2, 1, 1, 3, 0, 1, 9, 2},
         {0, 0, C, 0, 0, 0, 0, 0, B, C, B, 0, A, A, A, A}},
        {"RLE4", Info(4, 2, 4, 2, 4, pal), {5, 0x12, 0, 0, 0, 3, 0x32, 0x10, 0, 1}, {C, B, A, 0, A, B, A, B}},
        {"RLE8 stopping inside an absolute run", Info(4, 1, 8, 1, 4, pal), {0, 4, 1, 2}, {A, B, 0, 0}},
        {"rows need more bytes", Info(16, 2, 24, 0), zeros, {}},
        {"too wide", Info(16385, 1, 1, 1), zeros, {}},
        {"height INT32_MIN", Info(1, INT32_MIN, 8, 1), zeros, {}},
        {"too many pixels", Info(16384, 16384, 8, 1), zeros, {}},
        {"masks missing", Info(1, 1, 32, 3, 0, {0xFF, 0, 0, 0}), zeros, {}},
        {"header past the block", Info(1, 1, 24, 0, 0, {}, 124), zeros, {}},
    };
    for (const Case& c : cases) {
        std::unique_ptr<Bitmap> b(CreateDIBitmap(c.info.data(), c.info.size(), c.bits.data(), c.bits.size()));
        ASSERT_EQ(b != nullptr, !c.want.empty()) << c.what;
        EXPECT_EQ(b ? std::vector<uint32_t>(b->data(), b->data() + b->width() * b->height()) : c.want, c.want) << c.what;
    }
    EXPECT_EQ(CreateDIBitmap(cases[0].info.data(), 39, zeros.data(), zeros.size()), nullptr);
}
