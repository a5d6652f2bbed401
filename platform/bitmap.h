// Plain C++ pixel bitmaps standing in for device bitmaps and device contexts: solid fills, block
// copies with four raster operations, single pixels, colour/monochrome conversion by the Windows
// rules, and DIB decoding. No toolkit: the Qt front end only shows a window's Bitmap as it is.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

namespace platform {

constexpr uint32_t SRCCOPY = 0x00CC0020;
constexpr uint32_t NOTSRCCOPY = 0x00330008;
constexpr uint32_t SRCAND = 0x008800C6;
constexpr uint32_t SRCINVERT = 0x00660046;

constexpr uint32_t CLR_INVALID = 0xFFFFFFFF;

// COLORREF is 0x00BBGGRR; pixels are stored as 0x00RRGGBB (what a 32-bit screen image holds).
inline uint32_t ColorRefToPixel(uint32_t c) {
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}
inline uint32_t PixelToColorRef(uint32_t p) {
    return ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF);
}

// A bitmap of width x height pixels, rows top-down. A monochrome bitmap holds only
// 0x000000 (bit 0) and 0xFFFFFF (bit 1).
class Bitmap {
public:
    Bitmap(int width, int height, bool monochrome = false);
    Bitmap(const Bitmap& other);
    Bitmap& operator=(const Bitmap& other);
    Bitmap(Bitmap&&) noexcept = default;
    Bitmap& operator=(Bitmap&&) noexcept = default;
    int width() const { return width_; }
    int height() const { return height_; }
    bool monochrome() const { return mono_; }
    uint32_t* row(int y) { return pixels_.get() + static_cast<size_t>(y) * width_; }
    const uint32_t* row(int y) const { return pixels_.get() + static_cast<size_t>(y) * width_; }
    uint32_t* data() { return pixels_.get(); }
    const uint32_t* data() const { return pixels_.get(); }

private:
    struct Free {
        void operator()(uint32_t* p) const { std::free(p); }
    };
    int width_;
    int height_;
    bool mono_;
    // Zeroed by calloc: a large picture gets fresh zero pages from the system without a pass
    // over them, so pixels never written (a short run-length picture, the board's margins until
    // drawn) cost nothing.
    std::unique_ptr<uint32_t[], Free> pixels_;
};

// A device context: the bitmap selected into it and the two colours that colour/monochrome
// copies use (both COLORREF). A new memory context has black text on a white background.
struct DeviceContext {
    Bitmap* bitmap = nullptr;
    uint32_t textColor = 0x00000000;
    uint32_t bkColor = 0x00FFFFFF;
};

// Fills left..right-1, top..bottom-1 (clipped) with a COLORREF.
void FillRect(DeviceContext& dc, int left, int top, int right, int bottom, uint32_t colorRef);

// Block copy with SRCCOPY, NOTSRCCOPY, SRCAND or SRCINVERT, clipped to both bitmaps.
// Colour source into a monochrome destination: pixels equal to src.bkColor give 1, others 0.
// Monochrome source into a colour destination: 0 gives dst.textColor, 1 gives dst.bkColor.
// False when either context holds no bitmap or the operation is unknown.
bool BitBlt(DeviceContext& dst, int x, int y, int width, int height,
            const DeviceContext& src, int srcX, int srcY, uint32_t rop);

uint32_t GetPixel(const DeviceContext& dc, int x, int y);   // COLORREF, CLR_INVALID outside
void SetPixel(DeviceContext& dc, int x, int y, uint32_t colorRef);

// The largest side CreateDIBitmap accepts, in pixels; it refuses any larger image.
constexpr int kMaxDibSide = 16384;

// CreateDIBitmap with CBM_INIT and DIB_RGB_COLORS: `info` is the BITMAPINFOHEADER followed by
// whatever colour table or masks came with it, `bits` the pixel data. Decodes 1/4/8/16/24/32-bit,
// BI_RGB, BI_BITFIELDS, BI_RLE4/BI_RLE8, bottom-up and top-down. Null when refused; never reads
// outside the two blocks.
Bitmap* CreateDIBitmap(const uint8_t* info, size_t infoSize, const uint8_t* bits, size_t bitsSize);

void DeleteBitmap(Bitmap*& bitmap);  // deletes and sets the handle to null

}  // namespace platform
