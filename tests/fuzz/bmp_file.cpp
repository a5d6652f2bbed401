// BMP files through LoadBmpFile: the file and the same bytes from memory must decode alike, and
// the board is drawn with the picture as the tile sheet and as the background.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/bitmap.h"
#include "render/bmp.h"
#include "tests/fuzz/support.h"

namespace {

// Compares the whole of a picture of up to 4096 pixels. Of a larger one, 17 rows spread from the
// first to the last, and of each the first and the last 512 pixels: most of a large picture
// decoded from a few bytes of run-length data is never written, and reading it all back faulted
// in every page twice, which took three quarters of the run time.
bool SamePicture(const platform::Bitmap& a, const platform::Bitmap& b) {
    if (a.width() != b.width() || a.height() != b.height()) return false;
    const int64_t width = a.width(), height = a.height();
    if (width * height <= 4096) return std::memcmp(a.data(), b.data(), sizeof(uint32_t) * width * height) == 0;
    const int64_t part = std::min<int64_t>(width, 512);
    for (int64_t k = 0; k <= 16; ++k)
        for (const int64_t at : {k * (height - 1) / 16 * width, (k * (height - 1) / 16 + 1) * width - part})
            if (std::memcmp(a.data() + at, b.data() + at, sizeof(uint32_t) * part) != 0) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const fuzz::Run run;
    const platform::Window window = fuzz::Started();
    const std::string path = fuzz::WriteInput("PICTURE.BMP", data, size);
    platform::Bitmap* fromFile = nullptr;
    LoadBmpFile(window, path.c_str(), &fromFile);
    platform::Bitmap* fromMemory = DecodeBmp(data, size);
    if (!fromFile != !fromMemory) std::abort();
    if (fromFile && !SamePicture(*fromFile, *fromMemory)) std::abort();
    if (!fromFile || !fuzz::FirstTimeOf(fromFile->width(), fromFile->height())) {
        platform::DeleteBitmap(fromFile);
        platform::DeleteBitmap(fromMemory);
        return 0;
    }
    // The picture as the sheet and as the background, as the settings file could name it for
    // both; the built-in sheet goes back afterwards.
    platform::Bitmap* const builtInSheet = TileSheet.bitmap;
    TileSheet.bitmap = fromFile;
    platform::DeleteBitmap(BackgroundPicture.bitmap);
    BackgroundPicture = {fromMemory, fromMemory->width(), fromMemory->height()};
    fuzz::PlayAndDraw(window, 1);
    TileSheet.bitmap = builtInSheet;
    platform::DeleteBitmap(fromFile);
    return 0;
}
