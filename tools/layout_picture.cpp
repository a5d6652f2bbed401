// Draws a dealt board of one layout file with the default tiles, as the game shows it when the
// layout is chosen, and writes it as a PNG picture of the board's size (the layout documentation
// scales it down). Usage: tolbex_layout_picture LAYOUT.TXL OUT.png [deal-time]
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "board/deal.h"
#include "board/layout.h"
#include "board/rules.h"
#include "board/state.h"
#include "platform/fake/fake.h"
#include "render/bmp.h"
#include "render/drawboard.h"
#include "render/tilesheet.h"
#include "tools/png_writer.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s LAYOUT.TXL OUT.png [deal-time]\n", argv[0]);
        return 2;
    }
    fake::Reset();
    fake::SetTime(argc > 3 ? std::atoll(argv[3]) : 1000000);
    std::memset(&Settings, 0, sizeof Settings);
    Settings.backgroundColor = 0x00408000;   // the game's default green
    Settings.transparentColor = 0xFFFFFF;
    if (LoadLayout(fake::MainWindow(), argv[1]) != 1) {
        std::fprintf(stderr, "%s: not a usable layout\n", argv[1]);
        return 1;
    }
    DealTiles();
    UpdateFreeFlags();
    TileSheet.bitmap = DecodeBmp(kBuiltInTileSheet, kBuiltInTileSheetSize);
    if (!TileSheet.bitmap) {
        std::fprintf(stderr, "no tile sheet\n");
        return 1;
    }
    platform::FitMainWindow(fake::MainWindow(), nullptr, Board.width, Board.height);
    DrawBoard(fake::MainWindow());
    const bool ok = WritePng(argv[2], fake::Surface(), Board.width, Board.height);
    if (!ok) std::fprintf(stderr, "cannot write %s\n", argv[2]);
    ReleaseBoardGraphics();
    return ok ? 0 : 1;
}
