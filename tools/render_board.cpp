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
#include "tools/png_writer.h"

namespace {

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
