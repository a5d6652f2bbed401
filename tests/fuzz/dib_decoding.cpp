// Device-independent bitmaps through CreateDIBitmap: the first two bytes of the input tell how
// many of the rest are the information block, the others are the pixel bits. A decoded bitmap is
// copied in every raster operation, read back, and (once for each size) drawn as the background
// picture.
#include <algorithm>

#include "platform/bitmap.h"
#include "tests/fuzz/support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const size_t infoSize = std::min<size_t>(data[0] | (data[1] << 8), size - 2);
    const uint8_t* info = data + 2;
    const uint8_t* bits = info + infoSize;
    const size_t bitsSize = size - 2 - infoSize;
    platform::Bitmap* b = platform::CreateDIBitmap(info, infoSize, bits, bitsSize);
    if (!b) return 0;
    if (b->width() <= 0 || b->height() <= 0 || b->width() > platform::kMaxDibSide ||
        b->height() > platform::kMaxDibSide)
        std::abort();
    platform::Bitmap target(64, 64);
    platform::DeviceContext src, dst;
    src.bitmap = b, dst.bitmap = &target;
    for (uint32_t rop : {platform::SRCCOPY, platform::NOTSRCCOPY, platform::SRCAND, platform::SRCINVERT})
        platform::BitBlt(dst, -3, -3, 70, 70, src, b->width() - 40, b->height() - 40, rop);
    (void)platform::GetPixel(src, b->width() - 1, b->height() - 1);
    if (!fuzz::FirstTimeOf(b->width(), b->height())) {
        platform::DeleteBitmap(b);
        return 0;
    }
    const fuzz::Run run;
    const platform::Window window = fuzz::Started();
    platform::DeleteBitmap(BackgroundPicture.bitmap);
    BackgroundPicture = {b, b->width(), b->height()};
    Settings.backgroundPath[0] = 'x';
    fuzz::PlayAndDraw(window, 1);
    return 0;
}
