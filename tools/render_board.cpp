// Draws a dealt board of the default layout without a window and writes it as PNG pictures: one
// for each manner (plain, level colours, exposed tiles) and one with a selected tile and the hint
// pair marked. Usage: tolbex_render_board [output-directory] [tile-sheet.bmp] [deal-time] [scale]
// (the tile-sheet argument "-" keeps the built-in sheet; the scale is 1, 2 or 3).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "board/deal.h"
#include "board/layout.h"
#include "board/rules.h"
#include "board/state.h"
#include "platform/bitmap.h"
#include "platform/fake/fake.h"
#include "render/bmp.h"
#include "render/drawboard.h"
#include "render/scale.h"
#include "render/tilesheet.h"

namespace {

// ---- A small PNG writer: 8-bit RGB, no filtering, zlib stored (uncompressed) blocks. --------

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0) {
    static uint32_t table[256];
    if (!table[1]) {
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[n] = c;
        }
    }
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

uint32_t Adler32(const std::vector<uint8_t>& data) {
    uint32_t a = 1, b = 0;
    for (uint8_t byte : data) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

void PutBe32(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

void PutChunk(std::vector<uint8_t>& out, const char type[4], const std::vector<uint8_t>& data) {
    PutBe32(out, static_cast<uint32_t>(data.size()));
    std::vector<uint8_t> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    out.insert(out.end(), body.begin(), body.end());
    PutBe32(out, Crc32(body.data(), body.size()));
}

bool WritePng(const std::string& path, const platform::Bitmap& b, int width, int height) {
    std::vector<uint8_t> raw;
    raw.reserve(static_cast<size_t>(height) * (1 + 3 * width));
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);   // filter: none
        for (int x = 0; x < width; ++x) {
            const uint32_t p = b.row(y)[x];
            raw.insert(raw.end(), {uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p)});
        }
    }
    std::vector<uint8_t> zlib = {0x78, 0x01};
    for (size_t at = 0; at < raw.size() || at == 0;) {
        const size_t len = std::min<size_t>(65535, raw.size() - at);
        const bool last = at + len >= raw.size();
        zlib.push_back(last ? 1 : 0);
        zlib.insert(zlib.end(), {uint8_t(len), uint8_t(len >> 8), uint8_t(~len), uint8_t(~len >> 8)});
        zlib.insert(zlib.end(), raw.begin() + static_cast<long>(at), raw.begin() + static_cast<long>(at + len));
        at += len;
        if (last) break;
    }
    PutBe32(zlib, Adler32(raw));

    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> ihdr;
    PutBe32(ihdr, static_cast<uint32_t>(width));
    PutBe32(ihdr, static_cast<uint32_t>(height));
    ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});   // 8 bits, RGB, deflate, no filter, no interlace
    PutChunk(png, "IHDR", ihdr);
    PutChunk(png, "IDAT", zlib);
    PutChunk(png, "IEND", {});
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(png.data(), 1, png.size(), f) == png.size();
    return std::fclose(f) == 0 && ok;
}

// ---- The board -------------------------------------------------------------------------------

void DefaultSettings() {
    std::memset(&Settings, 0, sizeof Settings);
    Settings.backgroundColor = 0x00408000;
    Settings.exposedColor = 0xC0C0C0;
    Settings.transparentColor = 0xFFFFFF;
    const uint32_t levels[kLevels] = {0xFFFFFF, 0x00FFFF, 0xFFFF00, 0x00FF00, 0xFF8080};
    std::memcpy(Settings.levelColor, levels, sizeof levels);
}

bool Render(const std::string& dir, const char* name) {
    DrawBoard(fake::MainWindow());
    const std::string path = dir + "/" + name;
    if (!WritePng(path, fake::Surface(), Board.width * drawScale, Board.height * drawScale)) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return false;
    }
    std::printf("%s\n", path.c_str());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string dir = argc > 1 ? argv[1] : ".";
    fake::Reset();
    fake::SetTime(argc > 3 ? std::atoll(argv[3]) : 1000000);
    DefaultSettings();
    LoadBuiltInLayout();
    DealTiles();
    UpdateFreeFlags();

    if (argc > 2 && std::strcmp(argv[2], "-") != 0) LoadBmpFile(fake::MainWindow(), argv[2], &TileSheet.bitmap);
    if (!TileSheet.bitmap) TileSheet.bitmap = DecodeBmp(kBuiltInTileSheet, kBuiltInTileSheetSize);
    if (!TileSheet.bitmap) {
        std::fprintf(stderr, "no tile sheet\n");
        return 1;
    }
    const int scale = argc > 4 ? std::clamp(std::atoi(argv[4]), 1, 3) : 1;
    SetDrawScale(scale);
    platform::FitMainWindow(fake::MainWindow(), nullptr, Board.width, Board.height, scale);

    bool ok = Render(dir, "board_plain.png");
    Settings.useColors = 1;
    ok = Render(dir, "board_colors.png") && ok;
    Settings.showExposed = 1;
    ok = Render(dir, "board_exposed.png") && ok;

    // Plain again, with the first open pair hinted and another free tile selected.
    Settings.useColors = 0;
    Settings.showExposed = 0;
    BuildMoveList();
    GameState.hintState = 1;
    GameState.hintCursor = 0;
    for (int i = kTileCount - 1; i >= 0; --i)
        if (Board.tiles[i].free == 1 && i != Board.moves[0].first && i != Board.moves[0].second) {
            GameState.selected = static_cast<int16_t>(i);
            break;
        }
    ok = Render(dir, "board_marks.png") && ok;
    ReleaseBoardGraphics();
    return ok ? 0 : 1;
}
