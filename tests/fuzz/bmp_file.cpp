// BMP files through LoadBmpFile: the file and the same bytes from memory must decode alike, and
// the board is drawn with the picture as the tile sheet and as the background.
#include "platform/bitmap.h"
#include "render/bmp.h"
#include "tests/fuzz/support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const fuzz::Run run;
    const platform::Window window = fuzz::Started();
    const std::string path = fuzz::WriteInput("PICTURE.BMP", data, size);
    platform::Bitmap* fromFile = nullptr;
    LoadBmpFile(window, path.c_str(), &fromFile);
    platform::Bitmap* fromMemory = DecodeBmp(data, size);
    if (!fromFile != !fromMemory) std::abort();
    if (fromFile) {
        if (fromFile->width() != fromMemory->width() || fromFile->height() != fromMemory->height() ||
            std::memcmp(fromFile->data(), fromMemory->data(),
                        sizeof(uint32_t) * fromFile->width() * fromFile->height()) != 0)
            std::abort();
    }
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
