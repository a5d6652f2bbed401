// What the fuzz targets share: a headless game (the fake front end) whose files live in a
// scratch folder of this process, the input written there as a file for the readers that take a
// path, and a few moves of play and a drawing of the board, so that a bad value a reader lets
// through is used at once and shows up as a sanitizer report.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <utility>

#include "board/click.h"
#include "board/deal.h"
#include "board/layout.h"
#include "board/rules.h"
#include "board/state.h"
#include "persist/settings.h"
#include "platform/fake/fake.h"
#include "render/drawboard.h"
#include "render/tilesheet.h"

namespace fuzz {

// /dev/shm/tolbex-fuzz-<pid>: memory, not disk, and removed when the process ends normally.
inline const std::string& Scratch() {
    // Made once and never freed, so that it outlives the removal at exit.
    static const std::string* dir = [] {
        auto* d = new std::string("/dev/shm/tolbex-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(*d);
        std::atexit([] { std::filesystem::remove_all(Scratch()); });
        return d;
    }();
    return *dir;
}

// Writes the input to `name` in the scratch folder and returns the file's path.
inline std::string WriteInput(const char* name, const uint8_t* data, size_t size) {
    const std::string path = Scratch() + "/" + name;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    if (size > 0 && std::fwrite(data, 1, size, f) != size) std::abort();
    std::fclose(f);
    return path;
}

// The fake front end with the settings file in the scratch folder and a home folder that does
// not exist, so that no shipped file is read by chance. It is made once: a new one also makes a
// new window surface, which would cost more than most runs.
inline platform::Window World() {
    static const bool made = [] {
        fake::Reset();
        fake::SetConfigDirectory(Scratch());
        fake::SetCurrentDirectory(Scratch() + "/home");
        std::snprintf(startDir, sizeof startDir, "%s/home", Scratch().c_str());
        return true;
    }();
    (void)made;
    return fake::MainWindow();
}

// Held for the length of one run: empties the fake's records at its end, so that what a run
// allocates it also frees (libFuzzer looks for leaks in any run that does not).
struct Run {
    Run() = default;
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;
    ~Run() { fake::ClearRecords(); }
};

// The default settings as the game starts without a file, the built-in layout dealt and the
// board graphics made (the built-in sheet stands in for the missing file).
inline void StartGame(platform::Window window) {
    std::remove((Scratch() + "/TOLBEX13.CFG").c_str());
    LoadSettings();
    std::memset(&Board, 0, sizeof Board);
    LoadBuiltInLayout();
    DealTiles();
    CreateBoardGraphics(window);
}

// The world with the game started once in this process.
inline platform::Window Started() {
    const platform::Window window = World();
    static const bool started = (StartGame(window), true);
    (void)started;
    return window;
}

// Up to `pairs` hinted pairs taken off the board, one undone, then the board drawn.
inline void PlayAndDraw(platform::Window window, int pairs) {
    // A text value out of range in a layout ends the game once, freeing its graphics: make them anew.
    if (!BoardBuffer || !TileSheet.bitmap) CreateBoardGraphics(window);
    for (int i = 0; i < pairs; ++i) {
        UpdateFreeFlags();
        BuildMoveList();
        if (GameState.moveCount <= 0) break;
        TryPair(Board.moves[0].first, Board.moves[0].second);
    }
    if (GameState.historyDepth > 0) UndoMove(window);
    UpdateFreeFlags();
    BuildMoveList();
    DrawBoard(window);
}

// True the first time a shape (of a picture, or of the drawing options) is met in this process.
// Drawing the board costs milliseconds under the sanitizers; what it can get wrong depends on the
// shape alone, not on the pixels or the colours, so each shape is drawn once.
inline bool FirstTimeOf(int64_t a, int64_t b) {
    static std::set<std::pair<int64_t, int64_t>> seen;
    return seen.insert({a, b}).second;
}

}  // namespace fuzz
