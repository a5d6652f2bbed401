// A fresh run of the whole game on the headless front end, in a home and a config directory of
// its own: two text layouts of our own making, the shipped tile sheet when there is one, and
// helpers to start the game, click tiles and arrange faces on the board.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "board/rules.h"
#include "board/state.h"
#include "persist/settings.h"
#include "platform/fake/fake.h"
#include "resources/ids.h"
#include "shell/home.h"
#include "shell/winmain.h"

namespace shelltest {

namespace fs = std::filesystem;

// Layout A: one level of 9 rows by 16 tiles. Free tiles are the two ends of each row.
inline std::string GridLayoutText() {
    std::string text = "; nine rows of sixteen\n";
    for (int r = 0; r < 18; r += 2)
        for (int c = 0; c < 32; c += 2) text += std::to_string(r) + " " + std::to_string(c) + " 0\n";
    return text;
}

// Layout B: 8 rows by 16 tiles on the table and two rows of 8 on level 1.
inline std::string TwoLevelLayoutText() {
    std::string text;
    for (int r = 0; r < 16; r += 2)
        for (int c = 0; c < 32; c += 2) text += std::to_string(r) + " " + std::to_string(c) + " 0\n";
    for (int r = 0; r < 4; r += 2)
        for (int c = 0; c < 16; c += 2) text += std::to_string(r) + " " + std::to_string(c) + " 1\n";
    return text;
}

class ShellTest : public ::testing::Test {
protected:
    fs::path root, home, config;
    std::string layoutA, layoutB, scoresA, scoresB;

    void SetUp() override {
        static int serial = 0;
        root = fs::temp_directory_path() /
               ("tolbex-shell-" + std::to_string(::getpid()) + "-" + std::to_string(++serial));
        home = root / "home";
        config = root / "config";
        fs::create_directories(home / "LAYOUTS");
        fs::create_directories(home / "GRAPHICS");
        fs::create_directories(config);
        layoutA = (home / "LAYOUTS" / "LAYOUT1.TXL").string();
        layoutB = (home / "LAYOUTS" / "TWOLEVEL.TXL").string();
        scoresA = (home / "LAYOUTS" / "LAYOUT1.txs").string();
        scoresB = (home / "LAYOUTS" / "TWOLEVEL.txs").string();
        WriteText(layoutA, GridLayoutText());
        WriteText(layoutB, TwoLevelLayoutText());
        fs::path sheet = fs::path(TOLBEX_SOURCE_DIR) / "data" / "GRAPHICS" / "TOLBEX13.BMP";
        if (fs::exists(sheet)) fs::copy_file(sheet, home / "GRAPHICS" / "TOLBEX13.BMP");

        fake::Reset();
        fake::SetCurrentDirectory(home.string());
        fake::SetConfigDirectory(config.string());
        // A new process: every record starts zeroed.
        Board = BoardRecord{};
        GameState = GameStateRecord{};
        Settings = SettingsRecord{};
        musicOn = 0;
        musicPaused = 0;
        hallOfFameDirty = 0;
    }

    void TearDown() override {
        fake::Send(platform::WM_DESTROY);   // frees the bitmaps; a second ShutDown does nothing
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }

    static void WriteText(const std::string& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }

    std::string SettingsPath() const { return (config / "TOLBEX13.CFG").string(); }

    // Writes a settings file as the previous run would have left it: defaults plus `tweak`.
    void WriteSettings(const std::function<void()>& tweak) {
        ASSERT_TRUE(TakeStartDir());
        LoadSettings();
        tweak();
        musicOn = Settings.midiPath[0] != '\0' ? 1 : 0;   // else the music path is dropped
        SaveSettings(nullptr);
        musicOn = 0;
    }

    // Starts the program: start-up, window creation, the first paint.
    int Start() { return WinMain(); }

    static intptr_t Command(int id) { return fake::Send(platform::WM_COMMAND, static_cast<uintptr_t>(id)); }

    static void ClickTile(int index) {
        const TileRecord& t = Board.tiles[index];
        fake::Send(platform::WM_LBUTTONDOWN, 0, platform::MakePointParam(t.x + 23, t.y + 20));
    }

    static std::vector<int> FreeTiles() {
        std::vector<int> free;
        for (int i = 0; i < kTileCount; ++i)
            if (Board.tiles[i].face != 0 && Board.tiles[i].free == 1) free.push_back(i);
        return free;
    }

    // Gives the free tiles the faces of `freeFaces` in index order, and the other free tiles
    // faces that match nothing, by exchanging faces between tiles: the board still holds a full
    // set, as a saved game must. Faces 28..35 come once each and cannot be asked for.
    static void ArrangeFreeFaces(const std::vector<int8_t>& freeFaces) {
        std::vector<int> free = FreeTiles();
        std::vector<int8_t> wanted = freeFaces;
        for (int8_t f = 1; f <= 42 && wanted.size() < free.size(); ++f)
            if ((f < 28 || f > 35) && std::find(freeFaces.begin(), freeFaces.end(), f) == freeFaces.end())
                wanted.push_back(f);
        ASSERT_EQ(wanted.size(), free.size());
        std::vector<bool> fixed(kTileCount, false);
        for (size_t k = 0; k < free.size(); ++k) {
            TileRecord& a = Board.tiles[free[k]];
            fixed[free[k]] = true;
            if (a.face == wanted[k]) continue;
            int j = 0;
            while (j < kTileCount && (fixed[j] || Board.tiles[j].face != wanted[k])) ++j;
            ASSERT_LT(j, kTileCount) << "face " << int(wanted[k]);
            TileRecord& b = Board.tiles[j];
            std::swap(a.face, b.face);
            std::swap(a.sheetX, b.sheetX);
            std::swap(a.sheetY, b.sheetY);
        }
        GameState.hintCursor = 0;
        GameState.moveCount = 0;
    }

    // Counts of board pixels that differ from the background colour.
    static int NonBackgroundPixels() {
        platform::Bitmap& s = fake::Surface();
        const uint32_t bg = platform::ColorRefToPixel(Settings.backgroundColor);
        int count = 0;
        for (int y = 0; y < std::min<int>(s.height(), Board.height); ++y)
            for (int x = 0; x < std::min<int>(s.width(), Board.width); ++x)
                if ((s.row(y)[x] & 0xFFFFFF) != bg) ++count;
        return count;
    }

    static int CountMessages(const std::string& text) {
        int n = 0;
        for (const fake::MessageRecord& m : fake::Messages())
            if (m.text == text) ++n;
        return n;
    }

    static int CountDialogs(const std::string& name) {
        int n = 0;
        for (const fake::FakeDialog& d : fake::DialogsRun())
            if (d.name == name) ++n;
        return n;
    }

    static std::string ReadFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
};

}  // namespace shelltest
