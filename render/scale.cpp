// The drawing scale: the factor chosen from the tile size and the screen, and the tile sheet and
// background picture made at that scale once, so that a redraw only copies pixels.
#include "render/scale.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "board/state.h"
#include "platform/bitmap.h"
#include "render/bmp.h"
#include "render/tilesheet.h"

namespace {

constexpr int kMaxTileFactor = 3;
constexpr int kMaxScaledSidePx = 4096;   // the board buffer's own limit

bool FitsOnScreen(int factor, int boardWidth, int boardHeight, const platform::ScreenArea& room) {
    return static_cast<long long>(boardWidth) * factor + room.frameWidth <= room.availableWidth &&
           static_cast<long long>(boardHeight) * factor + room.frameHeight <= room.availableHeight;
}

bool SamePixels(const platform::Bitmap& a, const platform::Bitmap& b) {
    if (a.width() != b.width() || a.height() != b.height()) return false;
    for (int y = 0; y < a.height(); ++y)
        if (std::memcmp(a.row(y), b.row(y), sizeof(uint32_t) * static_cast<size_t>(a.width())) != 0) return false;
    return true;
}

// The default sheet at `scale`: its art drawn at the largest size that divides the scale,
// enlarged in whole blocks for the rest, so that it stays crisp.
platform::Bitmap* BuiltInSheetAt(int scale) {
    const int art = scale % 3 == 0 ? 3 : scale % 2 == 0 ? 2 : 1;
    const unsigned char* data = art == 3 ? kBuiltInTileSheet3 : art == 2 ? kBuiltInTileSheet2 : kBuiltInTileSheet;
    const unsigned long size = art == 3 ? kBuiltInTileSheet3Size : art == 2 ? kBuiltInTileSheet2Size : kBuiltInTileSheetSize;
    platform::Bitmap* sheet = DecodeBmp(data, size);
    if (!sheet || art == scale) return sheet;
    platform::Bitmap* larger = EnlargeBlocks(*sheet, scale / art);
    platform::DeleteBitmap(sheet);
    return larger;
}

// One axis of the smooth enlargement: the source index at or left of the destination pixel's
// centre and the weight of the next one, in 1 / (2 factor) steps.
struct Tap {
    int index;
    int weight;
};

Tap TapFor(int destination, int factor, int sourceSize) {
    const int num = 2 * destination + 1 - factor;   // 2 factor x the source coordinate
    if (num <= 0) return {0, 0};
    const int index = num / (2 * factor);
    if (index >= sourceSize - 1) return {sourceSize - 1, 0};
    return {index, num % (2 * factor)};
}

}  // namespace

int ChosenTileFactor(int tileSize, int boardWidth, int boardHeight, const platform::ScreenArea& room) {
    if (tileSize >= 1 && tileSize <= kMaxTileFactor) return tileSize;
    for (int factor = kMaxTileFactor; factor > 1; --factor)
        if (FitsOnScreen(factor, boardWidth, boardHeight, room)) return factor;
    return 1;
}

int DrawScaleFor(int factor, int pixelRatio, int boardWidth, int boardHeight) {
    int scale = std::clamp(factor, 1, kMaxTileFactor) * std::clamp(pixelRatio, 1, kMaxDrawScale);
    const int side = std::max({boardWidth, boardHeight, 1});
    scale = std::min({scale, kMaxDrawScale, kMaxScaledSidePx / side});
    return std::max(scale, 1);
}

void ReleaseScaledGraphics() {
    platform::DeleteBitmap(TileSheet.scaled);
    platform::DeleteBitmap(BackgroundPicture.scaled);
}

void RescaleBoardGraphics() {
    ReleaseScaledGraphics();
    const int scale = drawScale;
    if (scale <= 1) return;
    if (TileSheet.bitmap) {
        platform::Bitmap* builtIn = DecodeBmp(kBuiltInTileSheet, kBuiltInTileSheetSize);
        TileSheet.scaled = builtIn && SamePixels(*TileSheet.bitmap, *builtIn)
                               ? BuiltInSheetAt(scale)
                               : EnlargeSmooth(*TileSheet.bitmap, scale, TileSheet.bitmap->width(),
                                               TileSheet.bitmap->height());
        platform::DeleteBitmap(builtIn);
    }
    // Only the part of the picture that can reach the board is enlarged.
    if (const platform::Bitmap* picture = BackgroundPicture.bitmap) {
        const int width = std::min({picture->width(), kMaxScaledSidePx / scale, std::max<int>(Board.width, 1)});
        const int height = std::min({picture->height(), kMaxScaledSidePx / scale, std::max<int>(Board.height, 1)});
        BackgroundPicture.scaled = EnlargeSmooth(*picture, scale, width, height);
    }
}

void SetDrawScale(int scale) {
    scale = std::clamp(scale, 1, kMaxDrawScale);
    // The window is sized again on every layout change; at an unchanged scale the pictures made
    // for it still stand (a new sheet or background remakes its own through RescaleBoardGraphics).
    if (scale == drawScale && (scale == 1 || TileSheet.scaled)) return;
    drawScale = scale;
    RescaleBoardGraphics();
}

platform::Bitmap* DrawnTileSheet() { return TileSheet.scaled ? TileSheet.scaled : TileSheet.bitmap; }
platform::Bitmap* DrawnBackground() {
    return BackgroundPicture.scaled ? BackgroundPicture.scaled : BackgroundPicture.bitmap;
}

platform::Bitmap* EnlargeSmooth(const platform::Bitmap& source, int factor, int width, int height) {
    width = std::clamp(width, 1, source.width());
    height = std::clamp(height, 1, source.height());
    auto* out = new platform::Bitmap(width * factor, height * factor);
    const int unit = 2 * factor;
    std::vector<Tap> across(static_cast<size_t>(out->width()));
    for (int x = 0; x < out->width(); ++x) across[x] = TapFor(x, factor, width);
    for (int y = 0; y < out->height(); ++y) {
        const Tap down = TapFor(y, factor, height);
        const uint32_t* top = source.row(down.index);
        const uint32_t* bottom = source.row(std::min(down.index + 1, height - 1));
        uint32_t* dst = out->row(y);
        for (int x = 0; x < out->width(); ++x) {
            const Tap a = across[x];
            const int right = std::min(a.index + 1, width - 1);
            const uint32_t p[4] = {top[a.index], top[right], bottom[a.index], bottom[right]};
            const int w[4] = {(unit - a.weight) * (unit - down.weight), a.weight * (unit - down.weight),
                              (unit - a.weight) * down.weight, a.weight * down.weight};
            uint32_t pixel = 0;
            for (int shift = 0; shift <= 16; shift += 8) {
                int sum = 0;
                for (int k = 0; k < 4; ++k) sum += static_cast<int>((p[k] >> shift) & 0xFF) * w[k];
                pixel |= static_cast<uint32_t>((sum + unit * unit / 2) / (unit * unit)) << shift;
            }
            dst[x] = pixel;
        }
    }
    return out;
}

platform::Bitmap* EnlargeBlocks(const platform::Bitmap& source, int factor) {
    auto* out = new platform::Bitmap(source.width() * factor, source.height() * factor);
    for (int y = 0; y < out->height(); ++y) {
        const uint32_t* src = source.row(y / factor);
        uint32_t* dst = out->row(y);
        for (int x = 0; x < out->width(); ++x) dst[x] = src[x / factor];
    }
    return out;
}
