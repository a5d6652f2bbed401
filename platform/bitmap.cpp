// Pixel bitmaps and device contexts in plain C++: fills, block copies with raster operations,
// single pixels, and the colour/monochrome conversions of block copies.
#include "platform/bitmap.h"

#include <algorithm>

namespace platform {

Bitmap::Bitmap(int width, int height, bool monochrome)
    : width_(std::max(width, 0)), height_(std::max(height, 0)), mono_(monochrome),
      pixels_(static_cast<size_t>(width_) * height_, 0u) {}

void FillRect(DeviceContext& dc, int left, int top, int right, int bottom, uint32_t colorRef) {
    Bitmap* b = dc.bitmap;
    if (!b) return;
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, b->width());
    bottom = std::min(bottom, b->height());
    uint32_t pixel = ColorRefToPixel(colorRef);
    if (b->monochrome()) pixel = pixel == 0xFFFFFF ? 0xFFFFFF : 0;
    for (int y = top; y < bottom; ++y) std::fill(b->row(y) + left, b->row(y) + std::max(left, right), pixel);
}

bool BitBlt(DeviceContext& dst, int x, int y, int width, int height, const DeviceContext& src,
            int srcX, int srcY, uint32_t rop) {
    Bitmap* d = dst.bitmap;
    const Bitmap* s = src.bitmap;
    if (!d || !s) return false;
    if (rop != SRCCOPY && rop != NOTSRCCOPY && rop != SRCAND && rop != SRCINVERT) return false;
    // Clip the rectangle against both bitmaps, moving source and destination together.
    if (x < 0) { width += x; srcX -= x; x = 0; }
    if (y < 0) { height += y; srcY -= y; y = 0; }
    if (srcX < 0) { width += srcX; x -= srcX; srcX = 0; }
    if (srcY < 0) { height += srcY; y -= srcY; srcY = 0; }
    width = std::min({width, d->width() - x, s->width() - srcX});
    height = std::min({height, d->height() - y, s->height() - srcY});
    if (width <= 0 || height <= 0) return true;

    const uint32_t srcBk = ColorRefToPixel(src.bkColor);
    const uint32_t dstText = ColorRefToPixel(dst.textColor);
    const uint32_t dstBk = ColorRefToPixel(dst.bkColor);
    const bool toMono = d->monochrome() && !s->monochrome();
    const bool fromMono = s->monochrome() && !d->monochrome();
    for (int row = 0; row < height; ++row) {
        const uint32_t* sp = s->row(srcY + row) + srcX;
        uint32_t* dp = d->row(y + row) + x;
        for (int col = 0; col < width; ++col) {
            uint32_t v = sp[col];
            if (toMono) v = v == srcBk ? 0xFFFFFF : 0;
            else if (fromMono) v = v ? dstBk : dstText;
            switch (rop) {
                case SRCCOPY: dp[col] = v; break;
                case NOTSRCCOPY: dp[col] = ~v & 0xFFFFFF; break;
                case SRCAND: dp[col] &= v; break;
                default: dp[col] ^= v; break;
            }
        }
    }
    return true;
}

uint32_t GetPixel(const DeviceContext& dc, int x, int y) {
    const Bitmap* b = dc.bitmap;
    if (!b || x < 0 || y < 0 || x >= b->width() || y >= b->height()) return CLR_INVALID;
    return PixelToColorRef(b->row(y)[x]);
}

void SetPixel(DeviceContext& dc, int x, int y, uint32_t colorRef) {
    Bitmap* b = dc.bitmap;
    if (!b || x < 0 || y < 0 || x >= b->width() || y >= b->height()) return;
    uint32_t pixel = ColorRefToPixel(colorRef);
    if (b->monochrome()) pixel = pixel == 0xFFFFFF ? 0xFFFFFF : 0;
    b->row(y)[x] = pixel;
}

void DeleteBitmap(Bitmap*& bitmap) {
    delete bitmap;
    bitmap = nullptr;
}

}  // namespace platform
