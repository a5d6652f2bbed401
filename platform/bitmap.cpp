// Pixel bitmaps and device contexts in plain C++: fills, block copies with raster operations,
// single pixels, and the colour/monochrome conversions of block copies. DIB decoding is in
// platform/dib.cpp.
#include "platform/bitmap.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace platform {

namespace {

// A monochrome bitmap holds white only for pure white; every other colour is black.
uint32_t ToMono(uint32_t pixel) { return pixel == 0xFFFFFF ? 0xFFFFFFu : 0u; }

// Clips a rectangle to 0..limit, returning the clipped start and length (length <= 0: empty).
// Works in 64 bits so that hostile coordinates cannot overflow.
void Clip1D(int64_t& start, int64_t& length, int64_t& other, int64_t limit, int64_t otherLimit) {
    if (start < 0) { length += start; other -= start; start = 0; }
    if (other < 0) { length += other; start -= other; other = 0; }
    length = std::min({length, limit - start, otherLimit - other});
}

}  // namespace

Bitmap::Bitmap(int width, int height, bool monochrome)
    : width_(std::max(width, 0)), height_(std::max(height, 0)), mono_(monochrome),
      pixels_(static_cast<uint32_t*>(std::calloc(std::max<size_t>(static_cast<size_t>(width_) * height_, 1), sizeof(uint32_t)))) {
    if (!pixels_) throw std::bad_alloc();
}

Bitmap::Bitmap(const Bitmap& other) : Bitmap(other.width_, other.height_, other.mono_) {
    std::memcpy(pixels_.get(), other.pixels_.get(), static_cast<size_t>(width_) * height_ * sizeof(uint32_t));
}

Bitmap& Bitmap::operator=(const Bitmap& other) {
    if (this != &other) *this = Bitmap(other);
    return *this;
}

void FillRect(DeviceContext& dc, int left, int top, int right, int bottom, uint32_t colorRef) {
    Bitmap* b = dc.bitmap;
    if (!b) return;
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, b->width());
    bottom = std::min(bottom, b->height());
    if (left >= right || top >= bottom) return;
    uint32_t pixel = ColorRefToPixel(colorRef);
    if (b->monochrome()) pixel = ToMono(pixel);
    // One row by hand, the others copied from it: the library's block copy is much faster than
    // an element loop for the large fills of the board background.
    uint32_t* first = b->row(top) + left;
    const int count = right - left;
    for (int x = 0; x < count; ++x) first[x] = pixel;
    for (int y = top + 1; y < bottom; ++y)
        std::memcpy(b->row(y) + left, first, static_cast<size_t>(count) * sizeof(uint32_t));
}

bool BitBlt(DeviceContext& dst, int x, int y, int width, int height, const DeviceContext& src,
            int srcX, int srcY, uint32_t rop) {
    Bitmap* d = dst.bitmap;
    const Bitmap* s = src.bitmap;
    if (!d || !s) return false;
    if (rop != SRCCOPY && rop != NOTSRCCOPY && rop != SRCAND && rop != SRCINVERT) return false;
    // Clip the rectangle against both bitmaps, moving source and destination together.
    int64_t dx = x, dy = y, sx = srcX, sy = srcY, w = width, h = height;
    Clip1D(dx, w, sx, d->width(), s->width());
    Clip1D(dy, h, sy, d->height(), s->height());
    if (w <= 0 || h <= 0) return true;

    // A copy within one bitmap whose rectangles overlap reads the source from a copy first,
    // so that every pixel takes its value from before the copy began.
    std::vector<uint32_t> overlapCopy;
    const uint32_t* srcBase = s->data();
    int64_t srcStride = s->width();
    if (d == s && dx < sx + w && sx < dx + w && dy < sy + h && sy < dy + h) {
        overlapCopy.resize(static_cast<size_t>(w * h));
        for (int64_t r = 0; r < h; ++r)
            std::memcpy(&overlapCopy[static_cast<size_t>(r * w)], s->row(static_cast<int>(sy + r)) + sx,
                        static_cast<size_t>(w) * sizeof(uint32_t));
        srcBase = overlapCopy.data();
        srcStride = w;
        sx = sy = 0;
    }

    const uint32_t srcBk = ColorRefToPixel(src.bkColor);
    const uint32_t dstText = ColorRefToPixel(dst.textColor);
    const uint32_t dstBk = ColorRefToPixel(dst.bkColor);
    const bool toMono = d->monochrome() && !s->monochrome();
    const bool fromMono = s->monochrome() && !d->monochrome();
    const int cols = static_cast<int>(w);
    for (int64_t r = 0; r < h; ++r) {
        const uint32_t* sp = srcBase + static_cast<size_t>((sy + r) * srcStride + sx);
        uint32_t* dp = d->row(static_cast<int>(dy + r)) + dx;
        if (rop == SRCCOPY && !toMono && !fromMono) {
            std::memcpy(dp, sp, static_cast<size_t>(cols) * sizeof(uint32_t));
            continue;
        }
        for (int col = 0; col < cols; ++col) {
            uint32_t v = sp[col];
            if (toMono) v = v == srcBk ? 0xFFFFFFu : 0u;
            else if (fromMono) v = v ? dstBk : dstText;
            switch (rop) {
                case SRCCOPY: dp[col] = v; break;
                case NOTSRCCOPY: dp[col] = ~v & 0xFFFFFFu; break;
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
    if (b->monochrome()) pixel = ToMono(pixel);
    b->row(y)[x] = pixel;
}

void DeleteBitmap(Bitmap*& bitmap) {
    delete bitmap;
    bitmap = nullptr;
}

}  // namespace platform
