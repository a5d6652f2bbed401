// Speed of the rendering: a full redraw of a dealt board of the default layout in each manner
// (into the buffer and onto the headless window), at 1x and at the drawing scales 2 and 3, making
// the sheet for a scale, and reading the default tile sheet from a file.
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
#include "render/scale.h"
#include "render/tilesheet.h"

namespace {

void SetUpFullBoard(int scale = 1) {
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
    SetDrawScale(scale);
    platform::FitMainWindow(fake::MainWindow(), nullptr, Board.width, Board.height, scale);
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

// The same full redraw at drawing scale 2 and 3: arguments (scale, manner as above).
void BM_DrawBoardScaled(benchmark::State& state) {
    SetUpFullBoard(static_cast<int>(state.range(0)));
    const int manner = static_cast<int>(state.range(1));
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
    SetDrawScale(1);
}
BENCHMARK(BM_DrawBoardScaled)
    ->ArgsProduct({{2, 3}, {0, 1, 2, 3}})
    ->Unit(benchmark::kMicrosecond);

// Making the sheet for a scale (what a change of tile size costs before the redraw): argument 0
// the built-in art at 2x, 1 at 3x, 2 a player's sheet smoothed to 2x, 3 to 3x.
void BM_SetDrawScale(benchmark::State& state) {
    SetUpFullBoard();
    const int which = static_cast<int>(state.range(0));
    if (which >= 2) TileSheet.bitmap->row(0)[0] ^= 1;   // no longer the built-in sheet
    for (auto _ : state) {
        SetDrawScale(which % 2 == 0 ? 2 : 3);
        benchmark::DoNotOptimize(TileSheet.scaled);
    }
    ReleaseBoardGraphics();
    SetDrawScale(1);
}
BENCHMARK(BM_SetDrawScale)->Arg(0)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);

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
