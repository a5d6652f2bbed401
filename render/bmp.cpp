// The BMP reader (a file or bytes in memory) and the BMP file chooser. A BMP is a 14-byte file
// header, an information header with its colour table, and the pixel rows; the reader takes the
// description and the pixels into two blocks and hands them to platform::CreateDIBitmap.
#include "render/bmp.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "board/home.h"
#include "board/state.h"

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr size_t kInfoHeaderSize = 40;
constexpr uint16_t kBmpMark = 0x4D42;   // "BM"

uint32_t U32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t{p[3]} << 24); }
uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
void PutU32At(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// What the file header says, once it has passed the checks that keep the reader inside the file:
// the mark, a pixel offset past both headers and within the data, a size not below the offset.
// The pixel block ends at the file size field or at the real end of the data, whichever is first.
struct BmpLayout {
    size_t pixelOffset = 0;
    size_t pixelBytes = 0;
};

bool ReadFileHeader(const uint8_t header[kFileHeaderSize], size_t realSize, BmpLayout& layout) {
    if (U16(header) != kBmpMark) return false;
    const uint32_t fileSize = U32(header + 2);
    const uint32_t pixelOffset = U32(header + 10);
    if (pixelOffset < kFileHeaderSize + kInfoHeaderSize || pixelOffset > realSize || fileSize < pixelOffset)
        return false;
    layout.pixelOffset = pixelOffset;
    layout.pixelBytes = std::min<size_t>(fileSize, realSize) - pixelOffset;
    return true;
}

// Completes the information header as the reader always has (colours used of an indexed image,
// image size when left 0), then makes the bitmap.
platform::Bitmap* MakeBitmap(uint8_t* info, size_t infoSize, const uint8_t* bits, size_t bitsSize) {
    const uint16_t bitCount = U16(info + 14);
    if (U32(info + 32) == 0 && (bitCount == 1 || bitCount == 4 || bitCount == 8))
        PutU32At(info + 32, 1u << bitCount);
    if (U32(info + 20) == 0) {
        // Header values are bounded before any arithmetic: a size the decoder refuses anyway
        // leaves the field 0 rather than computing a product that cannot be held.
        const int64_t width = static_cast<int32_t>(U32(info + 4));
        const int64_t height = static_cast<int32_t>(U32(info + 8));
        const int64_t side = platform::kMaxDibSide;
        if (width > 0 && width <= side && height >= -side && height <= side && bitCount <= 32) {
            const int64_t stride = ((width * bitCount + 31) & ~int64_t{31}) / 8;
            PutU32At(info + 20, static_cast<uint32_t>(stride * (height < 0 ? -height : height)));
        }
    }
    return platform::CreateDIBitmap(info, infoSize, bits, bitsSize);
}

}  // namespace

void LoadBmpFile(platform::Window window, const char* path, platform::Bitmap** slot) {
    *slot = nullptr;
    platform::DeviceContext dc = platform::GetDC(window);
    std::FILE* file = std::fopen(path, "rb");
    if (!file) {
        ShowFileError(window, path, " : read error");
        platform::ReleaseDC(window, dc);
        return;
    }
    uint8_t header[kFileHeaderSize] = {};
    BmpLayout layout;
    size_t realSize = 0;
    const size_t headerRead = std::fread(header, 1, kFileHeaderSize, file);
    if (headerRead == 0 && std::ferror(file)) {
        // Opened but not readable at all (a folder, for one): the same as a file that cannot be
        // opened.
        std::fclose(file);
        ShowFileError(window, path, " : read error");
        platform::ReleaseDC(window, dc);
        return;
    }
    bool ok = headerRead == kFileHeaderSize;
    if (ok && std::fseek(file, 0, SEEK_END) == 0) {
        const long end = std::ftell(file);
        realSize = end > 0 ? static_cast<size_t>(end) : 0;
    }
    ok = ok && ReadFileHeader(header, realSize, layout);
    if (ok) {
        // The description block: the information header and whatever lies before the pixels.
        std::vector<uint8_t> info(layout.pixelOffset - kFileHeaderSize, 0);
        std::vector<uint8_t> bits(layout.pixelBytes, 0);
        size_t infoRead = 0, bitsRead = 0;
        if (std::fseek(file, static_cast<long>(kFileHeaderSize), SEEK_SET) == 0)
            infoRead = std::fread(info.data(), 1, info.size(), file);
        if (std::fseek(file, static_cast<long>(layout.pixelOffset), SEEK_SET) == 0)
            bitsRead = std::fread(bits.data(), 1, bits.size(), file);
        // A short read leaves fewer bytes than the file claimed: decode only what arrived.
        if (infoRead >= kInfoHeaderSize)
            *slot = MakeBitmap(info.data(), infoRead, bits.data(), bitsRead);
    }
    std::fclose(file);
    platform::ReleaseDC(window, dc);
}

platform::Bitmap* DecodeBmp(const unsigned char* data, unsigned long size) {
    if (!data || size < kFileHeaderSize) return nullptr;
    BmpLayout layout;
    if (!ReadFileHeader(data, size, layout)) return nullptr;
    std::vector<uint8_t> info(data + kFileHeaderSize, data + layout.pixelOffset);
    return MakeBitmap(info.data(), info.size(), data + layout.pixelOffset, layout.pixelBytes);
}

int ChooseBmpFile(platform::Window window, char path[500], platform::Bitmap** slot) {
    static constexpr HomeFileDialog kDialog = {kGraphicsDir, "BMP Files (*.BMP)", "*.BMP", "BMP",
                                               kCaption, false, false};
    // The path buffer is emptied first and stays empty on a cancel; the old picture goes either way.
    const bool chosen = ChooseHomeFile(window, kDialog, path);
    platform::DeleteBitmap(*slot);
    if (!chosen) return 0;
    LoadBmpFile(window, path, slot);
    return 1;
}
