// Small hand-made layout files of the two other games' forms, written into a scratch folder.
#pragma once

#include <array>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/files.h"

namespace importfix {

using Tile = std::array<int, 3>;   // level, row, column in half-tile characters

// A fresh empty folder below the system's temporary folder.
inline std::filesystem::path ScratchDir(const std::string& name) {
    const auto dir = std::filesystem::temp_directory_path() / ("tolbex-import-" + name);
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

inline std::string Write(const std::filesystem::path& path, const std::string& text) {
    return testfiles::WriteAll(path.string(), text);
}

// The line-art form: "12" over "43" for each tile, the levels one after another. `sizes`
// adds the w, h and d lines.
inline std::string LineArt(const std::vector<Tile>& tiles, int width = 32, int height = 16, int depth = 5,
                           bool sizes = false, const std::string& version = "kmahjongg-layout-v1.1") {
    std::vector<std::string> rows(size_t(depth * height), std::string(size_t(width), '.'));
    for (const Tile& t : tiles) {
        rows[size_t(t[0] * height + t[1])].replace(size_t(t[2]), 2, "12");
        rows[size_t(t[0] * height + t[1] + 1)].replace(size_t(t[2]), 2, "43");
    }
    std::string text = version + "\n";
    if (sizes)
        text += "# Board size in quarter tiles\nw" + std::to_string(width) + "\nh" + std::to_string(height) +
                "\n# Board depth\nd" + std::to_string(depth) + "\n";
    for (int l = 0; l < depth; ++l) {
        text += "# Level " + std::to_string(l) + " -----\n";
        for (int r = 0; r < height; ++r) text += rows[size_t(l * height + r)] + "\n";
    }
    return text;
}

// `count` tiles in rows of sixteen side by side from (row, column), on one level.
inline std::vector<Tile> Rows(int count, int level = 0, int row = 0, int col = 0) {
    std::vector<Tile> tiles;
    for (int i = 0; i < count; ++i) tiles.push_back({level, row + i / 16 * 2, col + i % 16 * 2});
    return tiles;
}

}  // namespace importfix
