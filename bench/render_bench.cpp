// Speed of the rendering: a full redraw of a dealt board of the default layout in each manner
// (into the buffer and onto the headless window), and reading the default tile sheet from a file.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

#include "board/deal.h"
#include "board/layout.h"
#include "board/rules.h"
#include "board/state.h"
#include "platform/bitmap.h"
#include "platform/fake/fake.h"
#include "render/bmp.h"
#include "render/drawboard.h"
#include "render/tilesheet.h"

namespace {

void SetUpFullBoard() {
    fake::Reset();
    ReleaseBoardGraphics();
    std::memset(&Settings, 0, sizeof Settings);
    Settings.backgroundColor = 0x00408000;
    Settings.exposedColor = 0xC0C0C0;
    Settings.transparentColor = 0xFFFFFF;
    const uint32_t levels[kLevels] = {0xFFFFFF, 0x00FFFF, 0xFFFF00, 0x00FF00, 0xFF8080};
    std::memcpy(Settings.levelColor, levels, sizeof levels);
    LoadBuiltInLayout();
    DealTiles();
    UpdateFreeFlags();
    TileSheet.bitmap = DecodeBmp(kBuiltInTileSheet, kBuiltInTileSheetSize);
    platform::FitMainWindow(fake::MainWindow(), nullptr, Board.width, Board.height);
}

// Argument: 0 plain, 1 level colours, 2 level colours with exposed tiles, 3 plain with a
// selected tile and the hint pair.
void BM_DrawBoard(benchmark::State& state) {
    SetUpFullBoard();
    const int manner = static_cast<int>(state.range(0));
    Settings.useColors = manner == 1 || manner == 2;
    Settings.showExposed = manner == 2;
    if (manner == 3) {
        BuildMoveList();
        GameState.selected = Board.moves[0].first;
        GameState.hintState = 1;
    }
    for (auto _ : state) {
        DrawBoard(fake::MainWindow());
        benchmark::DoNotOptimize(fake::Surface().data());
    }
    ReleaseBoardGraphics();
}
BENCHMARK(BM_DrawBoard)->Arg(0)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMicrosecond);

void BM_LoadBmpFileDefaultSheet(benchmark::State& state) {
    fake::Reset();
    const std::string path = "/tmp/tolbex_render_bench_" + std::to_string(::getpid()) + ".bmp";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f || std::fwrite(kBuiltInTileSheet, 1, kBuiltInTileSheetSize, f) != kBuiltInTileSheetSize) {
        if (f) std::fclose(f);
        state.SkipWithError("cannot write the sheet file");
        return;
    }
    std::fclose(f);
    for (auto _ : state) {
        platform::Bitmap* sheet = nullptr;
        LoadBmpFile(fake::MainWindow(), path.c_str(), &sheet);
        benchmark::DoNotOptimize(sheet);
        platform::DeleteBitmap(sheet);
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_LoadBmpFileDefaultSheet)->Unit(benchmark::kMicrosecond);

}  // namespace
