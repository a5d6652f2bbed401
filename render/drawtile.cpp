// Drawing one tile into the board buffer: plain (the sheet's picture cut to the tile's
// silhouette), or coloured (the face filled with a colour and the picture laid over it with one
// colour transparent), then the inverted face that marks the selected tile and the hinted pair.
#include "render/drawtile.h"

#include <algorithm>
#ifdef __SSE2__
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

#include "board/state.h"

namespace {

// Geometry within a tile picture (41 x 45 at scale 1): the face at (5, 0), 36 x 40; sides 5
// thick. Every measure is multiplied by drawScale, positions and sheet cells included.
constexpr int kFaceLeft = 5;
constexpr int kFillRight = 40;    // colour fill: x 5..39, y 1..39 (top row, right column left out)
constexpr int kFillTop = 1;
constexpr int kFillBottom = 40;

// Where tile t's picture lies, in the board buffer and in the drawn sheet, at the drawing scale.
struct Placed {
    int x, y, sheetX, sheetY, s;
};

Placed Place(const TileRecord& t) {
    const int s = drawScale;
    return {t.x * s, t.y * s, t.sheetX * s, t.sheetY * s, s};
}

// The face of the tile inverted from the sheet (the mark of the selection and of the hint).
void DrawInvertedFace(platform::DeviceContext& buffer, platform::DeviceContext& sheet, const TileRecord& t) {
    const Placed p = Place(t);
    platform::BitBlt(buffer, p.x + kFaceLeft * p.s, p.y, kFaceWidthPx * p.s, kFaceHeightPx * p.s, sheet,
                     p.sheetX + kFaceLeft * p.s, p.sheetY, platform::NOTSRCCOPY);
}

// True when tile i belongs to the pair the hint shows. Brings the hint cursor back to the first
// pair when it has run past the list; a cursor outside the table names no pair.
bool IsHinted(int i) {
    if (GameState.hintState != 1) return false;
    if (GameState.hintCursor >= GameState.moveCount) GameState.hintCursor = 0;
    const int cursor = GameState.hintCursor;
    if (cursor < 0 || cursor >= kMoveCapacity) return false;
    return Board.moves[cursor].first == i || Board.moves[cursor].second == i;
}

// One row of a transparent copy: where the source holds the key the destination keeps its
// pixel, or takes `fill` when `filling`; elsewhere it takes the source.
void KeyedRowPortable(const uint32_t* sp, uint32_t* dp, int n, uint32_t key, bool filling, uint32_t fill) {
    int x = 0;
#ifdef __SSE2__
    const __m128i k = _mm_set1_epi32(static_cast<int>(key));
    const __m128i f = _mm_set1_epi32(static_cast<int>(fill));
    for (; x + 4 <= n; x += 4) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(sp + x));
        const __m128i under = filling ? f : _mm_loadu_si128(reinterpret_cast<const __m128i*>(dp + x));
        const __m128i keep = _mm_cmpeq_epi32(v, k);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dp + x),
                         _mm_or_si128(_mm_and_si128(keep, under), _mm_andnot_si128(keep, v)));
    }
#endif
    for (; x < n; ++x)
        if (sp[x] != key) dp[x] = sp[x];
        else if (filling) dp[x] = fill;
}

#if defined(__x86_64__) && defined(__GNUC__)
// The same row eight pixels at a time, on processors that have AVX2 (chosen at run time).
__attribute__((target("avx2"))) void KeyedRowAvx2(const uint32_t* sp, uint32_t* dp, int n, uint32_t key,
                                                  bool filling, uint32_t fill) {
    int x = 0;
    const __m256i k = _mm256_set1_epi32(static_cast<int>(key));
    const __m256i f = _mm256_set1_epi32(static_cast<int>(fill));
    for (; x + 8 <= n; x += 8) {
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(sp + x));
        const __m256i under = filling ? f : _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dp + x));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dp + x), _mm256_blendv_epi8(v, under, _mm256_cmpeq_epi32(v, k)));
    }
    KeyedRowPortable(sp + x, dp + x, n - x, key, filling, fill);
}

const bool kHasAvx2 = __builtin_cpu_supports("avx2");
#endif

void KeyedRow(const uint32_t* sp, uint32_t* dp, int n, uint32_t key, bool filling, uint32_t fill) {
    if (n <= 0) return;
#if defined(__x86_64__) && defined(__GNUC__)
    if (kHasAvx2) return KeyedRowAvx2(sp, dp, n, key, filling, fill);
#endif
    KeyedRowPortable(sp, dp, n, key, filling, fill);
}

// The coloured manner at scales above 1 in one pass over the tile instead of a fill and then a
// transparent copy, for half the memory traffic on a board of many megabytes. The picture is
// the same, except where the tile's picture would lie off the sheet (the deal never puts it
// there): that part is left alone instead of filled.
void DrawColouredInOnePass(platform::DeviceContext& buffer, platform::DeviceContext& sheet, const Placed& p,
                           uint32_t colorRef) {
    platform::Bitmap* d = buffer.bitmap;
    const platform::Bitmap* s = sheet.bitmap;
    if (!d || !s || d == s) return;
    const uint32_t key = platform::ColorRefToPixel(Settings.transparentColor);
    uint32_t fill = platform::ColorRefToPixel(colorRef);
    if (d->monochrome()) fill = fill == 0xFFFFFF ? 0xFFFFFFu : 0u;
    const int width = kTileWidthPx * p.s, height = kTileHeightPx * p.s;
    const int x0 = std::max({0, -p.sheetX, -p.x}), y0 = std::max({0, -p.sheetY, -p.y});
    const int x1 = std::min({width, s->width() - p.sheetX, d->width() - p.x});
    const int y1 = std::min({height, s->height() - p.sheetY, d->height() - p.y});
    if (x0 >= x1 || y0 >= y1) return;
    const int fillLeft = std::clamp(kFaceLeft * p.s, x0, x1), fillRight = std::clamp(kFillRight * p.s, x0, x1);
    for (int y = y0; y < y1; ++y) {
        const uint32_t* sp = s->row(p.sheetY + y) + p.sheetX;
        uint32_t* dp = d->row(p.y + y) + p.x;
        if (y < kFillTop * p.s || y >= kFillBottom * p.s) {
            KeyedRow(sp + x0, dp + x0, x1 - x0, key, false, 0);
            continue;
        }
        KeyedRow(sp + x0, dp + x0, fillLeft - x0, key, false, 0);
        KeyedRow(sp + fillLeft, dp + fillLeft, fillRight - fillLeft, key, true, fill);
        KeyedRow(sp + fillRight, dp + fillRight, x1 - fillRight, key, false, 0);
    }
}

}  // namespace

void DrawTile(platform::DeviceContext& buffer, platform::DeviceContext& sheet, int index) {
    if (index < 0 || index >= kTileCount) return;
    const TileRecord& t = Board.tiles[index];
    bool colored = true;
    uint32_t color = 0;
    if (Settings.showExposed == 1 && t.free == 1) {
        color = Settings.exposedColor;
    } else if (Settings.useColors == 0) {
        colored = false;
        DrawTileShape(buffer, sheet, index);
    } else if (t.level < kLevels) {
        color = Settings.levelColor[t.level];
    } else {
        colored = false;   // a level outside 0..4 has no colour and gets no picture
    }
    if (colored && drawScale > 1) {
        DrawColouredInOnePass(buffer, sheet, Place(t), color);
    } else if (colored) {
        const Placed p = Place(t);
        platform::FillRect(buffer, p.x + kFaceLeft * p.s, p.y + kFillTop * p.s, p.x + kFillRight * p.s,
                           p.y + kFillBottom * p.s, color);
        DrawTransparent(buffer, sheet, p.sheetX, p.sheetY, kTileWidthPx * p.s, kTileHeightPx * p.s, p.x, p.y,
                        Settings.transparentColor);
    }
    // Selected and hinted at once still shows one inverted face: the marks do not cancel.
    const bool selected = GameState.selected == index;
    const bool hinted = IsHinted(index);
    if (selected || hinted) DrawInvertedFace(buffer, sheet, t);
}

// The face, the left side and the lower side as three rectangles, then the two slanted ends:
// in the top-left and bottom-right squares of side 5 (times the scale) the pixels on the tile's
// side of the diagonal, row by row; the rest of each square is outside the tile and keeps what
// the buffer held.
void DrawTileShape(platform::DeviceContext& dst, platform::DeviceContext& sheet, int index) {
    if (index < 0 || index >= kTileCount) return;
    DrawTileShape(dst, sheet, Board.tiles[index]);
}

void DrawTileShape(platform::DeviceContext& dst, platform::DeviceContext& sheet, const TileRecord& t) {
    const Placed p = Place(t);
    const int s = p.s, face = kFaceLeft * s, depth = kTileDepthPx * s;
    const int faceW = kFaceWidthPx * s, faceH = kFaceHeightPx * s;
    using platform::BitBlt;
    using platform::SRCCOPY;
    BitBlt(dst, p.x + face, p.y, faceW, faceH, sheet, p.sheetX + face, p.sheetY, SRCCOPY);
    BitBlt(dst, p.x, p.y + depth, depth, faceH, sheet, p.sheetX, p.sheetY + depth, SRCCOPY);
    BitBlt(dst, p.x, p.y + faceH, faceW, depth, sheet, p.sheetX, p.sheetY + faceH, SRCCOPY);
    for (int row = 0; row < depth; ++row) {
        const int upperFrom = depth - 1 - row;          // top-left square: x + y >= depth - 1
        BitBlt(dst, p.x + upperFrom, p.y + row, depth - upperFrom, 1, sheet, p.sheetX + upperFrom, p.sheetY + row,
               SRCCOPY);
        const int lowerCount = depth - row;             // bottom-right square: x + y <= depth - 1
        BitBlt(dst, p.x + faceW, p.y + faceH + row, lowerCount, 1, sheet, p.sheetX + faceW, p.sheetY + faceH + row,
               SRCCOPY);
    }
}

// A direct loop rather than the two-mask method through monochrome bitmaps: the result is the
// same pixel for pixel (the destination kept where the source has the transparent colour, the
// source everywhere else) without four bitmaps per tile. Pixels whose source lies outside the
// source bitmap leave the destination as it was; a source that is the destination itself draws
// nothing (the game never asks for it).
void DrawTransparent(platform::DeviceContext& dst, platform::DeviceContext& src, int32_t srcX, int32_t srcY,
                     int32_t width, int32_t height, int32_t dstX, int32_t dstY, uint32_t transparentColor) {
    platform::Bitmap* d = dst.bitmap;
    const platform::Bitmap* s = src.bitmap;
    if (!d || !s || d == s) return;
    const uint32_t key = platform::ColorRefToPixel(transparentColor);
    // Clip in 64 bits, moving source and destination together.
    int64_t x0 = 0, y0 = 0, x1 = width, y1 = height;
    x0 = std::max<int64_t>({x0, -int64_t{srcX}, -int64_t{dstX}});
    y0 = std::max<int64_t>({y0, -int64_t{srcY}, -int64_t{dstY}});
    x1 = std::min<int64_t>({x1, int64_t{s->width()} - srcX, int64_t{d->width()} - dstX});
    y1 = std::min<int64_t>({y1, int64_t{s->height()} - srcY, int64_t{d->height()} - dstY});
    if (x0 >= x1 || y0 >= y1) return;
    const int n = static_cast<int>(x1 - x0);
    for (int64_t y = y0; y < y1; ++y)
        KeyedRow(s->row(static_cast<int>(srcY + y)) + (srcX + x0), d->row(static_cast<int>(dstY + y)) + (dstX + x0), n,
                 key, false, 0);
}
