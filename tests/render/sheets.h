// Shared by the drawing tests: a synthetic tile sheet at any scale whose every pixel tells where
// it came from, the tile's outside corners, and records reset to a known plain board.
#pragma once

#include <cstring>
#include <memory>

#include "board/state.h"
#include "platform/bitmap.h"

namespace sheets {

constexpr uint32_t kWhite = 0xFFFFFF, kMarker = 0xABCDEF;   // kMarker: what lay under a tile

// The pixels of a (41 s) x (45 s) picture outside the tile: the corners cut by the slanted ends.
inline bool OutsideCorner(int dx, int dy, int s = 1) {
    const int d = 5 * s;
    return (dx < d && dy < d && dx + dy < d - 1) || (dx >= 36 * s && dy >= 40 * s && (dx - 36 * s) + (dy - 40 * s) > d - 1);
}

// A sheet at scale s: pixel (x, y) is 0x010000 + 4096 (x % 256) + y, except that in every cell the
// outside corners and the face pixels with (dx + dy) divisible by 7 are white.
inline std::unique_ptr<platform::Bitmap> MakeSheet(int s = 1) {
    auto b = std::make_unique<platform::Bitmap>(369 * s, 225 * s);
    for (int y = 0; y < b->height(); ++y)
        for (int x = 0; x < b->width(); ++x) {
            const int dx = x % (41 * s), dy = y % (45 * s);
            const bool hole = dx >= 5 * s && dy < 40 * s && (dx + dy) % 7 == 0;
            b->row(y)[x] = OutsideCorner(dx, dy, s) || hole ? kWhite : 0x010000u + 4096u * (x % 256) + y;
        }
    return b;
}

inline bool Same(const platform::Bitmap& a, const platform::Bitmap& b) {
    if (a.width() != b.width() || a.height() != b.height()) return false;
    return std::memcmp(a.data(), b.data(), sizeof(uint32_t) * size_t(a.width()) * a.height()) == 0;
}

// Every tile removed, nothing selected or hinted, plain manner at 1x; levels 0 and 2 tinted cyan.
inline void ResetRecords() {
    drawScale = 1;
    std::memset(&Board, 0, sizeof Board);
    std::memset(&GameState, 0, sizeof GameState);
    std::memset(&Settings, 0, sizeof Settings);
    Board.width = 637, Board.height = 425, GameState.selected = kNone;
    Settings.backgroundColor = 0x00408000, Settings.exposedColor = 0xC0C0C0, Settings.transparentColor = 0xFFFFFF;
    Settings.levelColor[0] = Settings.levelColor[2] = 0x00FFFF00;
}

}  // namespace sheets
