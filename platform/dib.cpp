// CreateDIBitmap: turns a device-independent bitmap (information header, colour table or masks,
// pixel bits) into a Bitmap. 1/4/8/16/24/32 bits, BI_RGB, BI_BITFIELDS, BI_RLE4 and BI_RLE8,
// bottom-up and top-down rows. Every read is checked against the two blocks it was given.
#include <algorithm>
#include <cstring>

#include "platform/bitmap.h"

namespace platform {

namespace {

constexpr uint32_t BI_RGB = 0;
constexpr uint32_t BI_RLE8 = 1;
constexpr uint32_t BI_RLE4 = 2;
constexpr uint32_t BI_BITFIELDS = 3;

// Largest accepted image: each side at most 16384 pixels and 32 M pixels in all (128 MB), so a
// few bytes of run-length data cannot ask for gigabytes.
constexpr int64_t kMaxSidePx = kMaxDibSide;
#ifndef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
constexpr int64_t kMaxPixels = int64_t{1} << 25;
#else
// Fuzzing builds stop at 256 K pixels: the same checks on the same paths, but a run no longer
// spends tens of milliseconds faulting in and poisoning 128 MB that a few bytes of run-length
// data asked for, which held the BMP target to a few dozen inputs a second.
constexpr int64_t kMaxPixels = int64_t{1} << 18;
#endif

uint32_t U32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t{p[3]} << 24); }
uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

// One channel of a BI_BITFIELDS mask: where it sits and how to widen it to 8 bits.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    int bits = 0;
    uint32_t Extract(uint32_t value) const {
        if (bits == 0) return 0;
        uint32_t v = (value & mask) >> shift;
        if (bits >= 8) return (v >> (bits - 8)) & 0xFF;
        // Widen by repeating the top bits, so that the largest value becomes 255.
        uint32_t out = v << (8 - bits);
        for (int filled = bits; filled < 8; filled += bits) out |= out >> bits;
        return out & 0xFF;
    }
};

Channel MakeChannel(uint32_t mask) {
    Channel c;
    c.mask = mask;
    if (mask == 0) return c;
    while (!((mask >> c.shift) & 1)) ++c.shift;
    uint32_t m = mask >> c.shift;
    while (m) { ++c.bits; m >>= 1; }   // the span from the lowest to the highest bit of the mask
    return c;
}

struct Dib {
    int width = 0;
    int height = 0;        // rows, always positive
    bool topDown = false;
    int bitCount = 0;
    uint32_t compression = BI_RGB;
    uint32_t palette[256] = {};   // 0x00RRGGBB; entries the file does not hold stay black
    Channel red, green, blue;
};

// Writes pixel (x, y) where y counts rows in file order (first row stored first).
inline void Put(Bitmap& b, const Dib& dib, int64_t x, int64_t y, uint32_t pixel) {
    if (x < 0 || y < 0 || x >= dib.width || y >= dib.height) return;
    int row = dib.topDown ? static_cast<int>(y) : dib.height - 1 - static_cast<int>(y);
    b.row(row)[x] = pixel;
}

bool ReadHeader(const uint8_t* info, size_t infoSize, Dib& dib) {
    if (!info || infoSize < 40) return false;
    const uint32_t headerSize = U32(info);
    if (headerSize < 40 || headerSize > infoSize) return false;
    const int64_t width = static_cast<int32_t>(U32(info + 4));
    const int64_t height = static_cast<int32_t>(U32(info + 8));
    dib.bitCount = U16(info + 14);
    dib.compression = U32(info + 16);
    const uint32_t clrUsed = U32(info + 32);
    if (width <= 0 || width > kMaxSidePx || height == 0 || height < -kMaxSidePx || height > kMaxSidePx)
        return false;
    dib.width = static_cast<int>(width);
    dib.height = static_cast<int>(height < 0 ? -height : height);
    dib.topDown = height < 0;
    if (int64_t{dib.width} * dib.height > kMaxPixels) return false;

    switch (dib.bitCount) {
        case 1: case 24:
            if (dib.compression != BI_RGB) return false;
            break;
        case 4:
            if (dib.compression != BI_RGB && dib.compression != BI_RLE4) return false;
            break;
        case 8:
            if (dib.compression != BI_RGB && dib.compression != BI_RLE8) return false;
            break;
        case 16: case 32:
            if (dib.compression != BI_RGB && dib.compression != BI_BITFIELDS) return false;
            break;
        default:
            return false;
    }
    // Run-length data is always stored bottom-up.
    if (dib.topDown && (dib.compression == BI_RLE4 || dib.compression == BI_RLE8)) return false;

    size_t tableStart = headerSize;
    if (dib.compression == BI_BITFIELDS) {
        // The three masks follow a 40-byte header; larger headers hold them at the same place.
        if (infoSize < 52) return false;
        dib.red = MakeChannel(U32(info + 40));
        dib.green = MakeChannel(U32(info + 44));
        dib.blue = MakeChannel(U32(info + 48));
        if (headerSize == 40) tableStart = 52;
    } else if (dib.bitCount == 16) {
        dib.red = MakeChannel(0x7C00);
        dib.green = MakeChannel(0x03E0);
        dib.blue = MakeChannel(0x001F);
    }
    if (dib.bitCount <= 8) {
        const size_t depthEntries = size_t{1} << dib.bitCount;
        size_t entries = clrUsed == 0 ? depthEntries : std::min<size_t>(clrUsed, depthEntries);
        const size_t available = tableStart <= infoSize ? (infoSize - tableStart) / 4 : 0;
        entries = std::min(entries, available);
        for (size_t i = 0; i < entries; ++i) {
            const uint8_t* q = info + tableStart + 4 * i;   // blue, green, red, reserved
            dib.palette[i] = (uint32_t{q[2]} << 16) | (uint32_t{q[1]} << 8) | q[0];
        }
    }
    return true;
}

bool DecodeRgb(const Dib& dib, const uint8_t* bits, size_t bitsSize, Bitmap& out) {
    const size_t stride = ((static_cast<size_t>(dib.width) * dib.bitCount + 31) & ~size_t{31}) / 8;
    if (!bits || stride * dib.height > bitsSize) return false;
    for (int y = 0; y < dib.height; ++y) {
        const uint8_t* src = bits + stride * y;
        uint32_t* dst = out.row(dib.topDown ? y : dib.height - 1 - y);
        switch (dib.bitCount) {
            case 1:
                for (int x = 0; x < dib.width; ++x) dst[x] = dib.palette[(src[x >> 3] >> (7 - (x & 7))) & 1];
                break;
            case 4:
                for (int x = 0; x < dib.width; ++x)
                    dst[x] = dib.palette[(src[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF];
                break;
            case 8:
                for (int x = 0; x < dib.width; ++x) dst[x] = dib.palette[src[x]];
                break;
            case 24:
                for (int x = 0; x < dib.width; ++x, src += 3)
                    dst[x] = (uint32_t{src[2]} << 16) | (uint32_t{src[1]} << 8) | src[0];
                break;
            case 16:
                for (int x = 0; x < dib.width; ++x, src += 2) {
                    const uint32_t v = U16(src);
                    dst[x] = (dib.red.Extract(v) << 16) | (dib.green.Extract(v) << 8) | dib.blue.Extract(v);
                }
                break;
            default:  // 32
                if (dib.compression == BI_RGB) {
                    for (int x = 0; x < dib.width; ++x, src += 4)
                        dst[x] = (uint32_t{src[2]} << 16) | (uint32_t{src[1]} << 8) | src[0];
                } else {
                    for (int x = 0; x < dib.width; ++x, src += 4) {
                        const uint32_t v = U32(src);
                        dst[x] = (dib.red.Extract(v) << 16) | (dib.green.Extract(v) << 8) |
                                 dib.blue.Extract(v);
                    }
                }
                break;
        }
    }
    return true;
}

// Run-length data, 8 or 4 bits a pixel. Pairs (count, value) give a run; a count of 0 starts
// an escape: 0 end of line, 1 end of bitmap, 2 a move by the next two bytes, 3 and more that
// many pixels stored as they are, padded to a 16-bit boundary. Runs past the row are cut;
// data that ends early leaves the rest of the picture black, as do pixels skipped by a move.
void DecodeRle(const Dib& dib, const uint8_t* bits, size_t bitsSize, Bitmap& out) {
    const bool four = dib.compression == BI_RLE4;
    int64_t x = 0, y = 0;
    size_t p = 0;
    while (bits && p + 2 <= bitsSize && y < dib.height) {
        const unsigned count = bits[p];
        const unsigned value = bits[p + 1];
        p += 2;
        if (count > 0) {
            for (unsigned k = 0; k < count && x < dib.width; ++k, ++x) {
                const unsigned index = four ? ((k & 1) ? value & 0xF : value >> 4) : value;
                Put(out, dib, x, y, dib.palette[index]);
            }
            continue;
        }
        if (value == 0) {
            x = 0;
            ++y;
        } else if (value == 1) {
            break;
        } else if (value == 2) {
            if (p + 2 > bitsSize) break;
            x += bits[p];
            y += bits[p + 1];
            p += 2;
        } else {
            const size_t bytes = four ? (value + 1) / 2 : value;
            for (unsigned k = 0; k < value; ++k, ++x) {
                const size_t at = p + (four ? k / 2 : k);
                if (at >= bitsSize) break;
                const unsigned index = four ? ((k & 1) ? bits[at] & 0xF : bits[at] >> 4) : bits[at];
                Put(out, dib, x, y, dib.palette[index]);
            }
            p += bytes + (bytes & 1);
        }
    }
}

}  // namespace

Bitmap* CreateDIBitmap(const uint8_t* info, size_t infoSize, const uint8_t* bits, size_t bitsSize) {
    Dib dib;
    if (!ReadHeader(info, infoSize, dib)) return nullptr;
    Bitmap* out = new Bitmap(dib.width, dib.height);
    if (dib.compression == BI_RLE4 || dib.compression == BI_RLE8) {
        DecodeRle(dib, bits, bitsSize, *out);
    } else if (!DecodeRgb(dib, bits, bitsSize, *out)) {
        delete out;
        return nullptr;
    }
    return out;
}

}  // namespace platform
