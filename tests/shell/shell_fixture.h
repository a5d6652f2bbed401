// A fresh run of the whole game on the headless front end, in a home and a config directory of
// its own with two text layouts of our own making, and helpers to drive and inspect the run.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "board/state.h"
#include "platform/fake/fake.h"
#include "resources/ids.h"
#include "shell/winmain.h"
#include "tests/files.h"

namespace shelltest {

namespace fs = std::filesystem;

const std::string kGap(20, ' ');   // between the status text's pieces

class ShellTest : public ::testing::Test {
protected:
    fs::path root = fs::temp_directory_path() / ("tolbex-shell-" + std::to_string(::getpid()));
    fs::path home = root / "home", config = root / "config";
    std::string layoutA = (home / "LAYOUTS/LAYOUT1.TXL").string(), layoutB = (home / "LAYOUTS/TWOLEVEL.TXL").string();
    std::string settingsPath = (config / "TOLBEX13.CFG").string();

    void SetUp() override {
        fs::remove_all(root);
        for (const fs::path& dir : {home / "LAYOUTS", home / "GRAPHICS", config}) fs::create_directories(dir);
        std::string text;   // nine rows of sixteen tiles: 18 free tiles, the two ends of each row
        for (int i = 0; i < 144; ++i) text += std::to_string(i / 16 * 2) + " " + std::to_string(i % 16 * 2) + " 0\n";
        std::ofstream(layoutA) << text;
        std::ofstream(layoutB) << text;
        fs::copy_file(fs::path(TOLBEX_SOURCE_DIR) / "data/GRAPHICS/TOLBEX13.BMP", home / "GRAPHICS/TOLBEX13.BMP");
        NewProcess();
    }
    void TearDown() override {
        fake::Send(platform::WM_DESTROY);   // frees the bitmaps; a second ShutDown does nothing
        fs::remove_all(root);
    }
    // A new process on the same directories: every record starts zeroed.
    void NewProcess() {
        fake::Reset();
        fake::SetCurrentDirectory(home.string());
        fake::SetConfigDirectory(config.string());
        Board = BoardRecord{};
        GameState = GameStateRecord{};
        Settings = SettingsRecord{};
        musicOn = musicPaused = hallOfFameDirty = 0;
    }
    void Restart(unsigned waveDevices = 1) {
        fake::Send(platform::WM_DESTROY);
        NewProcess();
        fake::SetWaveDevices(waveDevices);
        ASSERT_EQ(WinMain(), 0);
    }
    static std::string ReadFile(const std::string& path) { return testfiles::ReadAll(path); }
    static void Command(int id) { fake::Send(platform::WM_COMMAND, static_cast<uintptr_t>(id)); }
    static void ClickTile(int index) {
        fake::Send(platform::WM_LBUTTONDOWN, 0, platform::MakePointParam(Board.tiles[index].x + 23, Board.tiles[index].y + 20));
    }
    // Whether the middle of the tile shows something other than the background.
    static bool Shown(int index) {
        const uint32_t pixel = fake::Surface().row(Board.tiles[index].y + 20)[Board.tiles[index].x + 23];
        return (pixel & 0xFFFFFF) != platform::ColorRefToPixel(Settings.backgroundColor);
    }
    static std::vector<int> FreeTiles() {
        std::vector<int> free;
        for (int i = 0; i < kTileCount; ++i)
            if (Board.tiles[i].face != 0 && Board.tiles[i].free == 1) free.push_back(i);
        return free;
    }
};

// The same, with the game started.
class StartedTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        ASSERT_EQ(WinMain(), 0);
    }
};

}  // namespace shelltest
