// Shared by the drawing tests: a synthetic tile sheet whose every pixel tells where it came from,
// a clean board and settings, and a small BMP writer for files the commands are offered.
#pragma once

#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "board/state.h"
#include "platform/bitmap.h"

namespace rendertest {

constexpr uint32_t kWhitePx = 0xFFFFFF;

// True for the 20 pixels of a tile picture that lie outside the tile (the cut corners).
inline bool OutsideCorner(int dx, int dy) {
    if (dx <= 4 && dy <= 4) return dx + dy < 4;
    if (dx >= 36 && dy >= 40) return (dx - 36) + (dy - 40) > 4;
    return false;
}

// 369 x 225. Pixel (x, y) is 0x010000 + 256 x + y, unique and never white, except that in every
// cell the outside corners and the face pixels with (dx + dy) divisible by 5 are white.
inline platform::Bitmap* MakeSyntheticSheet() {
    auto* b = new platform::Bitmap(369, 225);
    for (int y = 0; y < 225; ++y)
        for (int x = 0; x < 369; ++x) {
            const int dx = x % 41, dy = y % 45;
            const bool face = dx >= 5 && dy < 40;
            const bool white = OutsideCorner(dx, dy) || (face && (dx + dy) % 5 == 0);
            b->row(y)[x] = white ? kWhitePx : 0x010000u + 256u * x + y;
        }
    return b;
}

// Every tile removed, no selection or hint, default colours, plain manner.
inline void ResetBoardAndSettings() {
    std::memset(&Board, 0, sizeof Board);
    std::memset(&GameState, 0, sizeof GameState);
    std::memset(&Settings, 0, sizeof Settings);
    Board.width = 637;
    Board.height = 425;
    Board.originY = 20;
    Board.moves[0] = {kNone, kNone};
    GameState.selected = kNone;
    Settings.backgroundColor = 0x00408000;
    Settings.exposedColor = 0xC0C0C0;
    Settings.transparentColor = 0xFFFFFF;
    const uint32_t levels[kLevels] = {0xFFFFFF, 0x00FFFF, 0xFFFF00, 0x00FF00, 0xFF8080};
    std::memcpy(Settings.levelColor, levels, sizeof levels);
}

// Puts tile `index` on the board at picture position (x, y) with the picture of sheet cell
// (column, row).
inline void PlaceTile(int index, int x, int y, int sheetCol, int sheetRow, uint8_t level = 0, uint8_t free = 0) {
    TileRecord& t = Board.tiles[index];
    t.x = static_cast<int16_t>(x);
    t.y = static_cast<int16_t>(y);
    t.sheetX = static_cast<int16_t>(41 * sheetCol);
    t.sheetY = static_cast<int16_t>(45 * sheetRow);
    t.face = static_cast<int8_t>(1 + sheetCol + 9 * sheetRow);
    t.free = free;
    t.level = level;
}

// Writes a 24-bit bottom-up BMP of the given size, every pixel `rgb` (0x00RRGGBB).
inline void WriteBmp24(const std::string& path, int width, int height, uint32_t rgb) {
    const int stride = (width * 3 + 3) & ~3;
    std::vector<uint8_t> d(54 + static_cast<size_t>(stride) * height, 0);
    auto put32 = [&](size_t at, uint32_t v) { for (int i = 0; i < 4; ++i) d[at + i] = uint8_t(v >> (8 * i)); };
    d[0] = 'B';
    d[1] = 'M';
    put32(2, static_cast<uint32_t>(d.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(width));
    put32(22, static_cast<uint32_t>(height));
    d[26] = 1;
    d[28] = 24;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t* p = &d[54 + static_cast<size_t>(y) * stride + 3 * x];
            p[0] = uint8_t(rgb);
            p[1] = uint8_t(rgb >> 8);
            p[2] = uint8_t(rgb >> 16);
        }
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(d.data()),
                                                static_cast<std::streamsize>(d.size()));
}

}  // namespace rendertest
