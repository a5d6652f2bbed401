// Helpers for the tests of layout files: a scratch folder under /tmp, files written from text or
// bytes, layouts as lists of positions in both file forms, random valid layouts, and the checks
// that every board the loader produces must pass.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "board/layout.h"
#include "board/state.h"
#include "platform/fake/fake.h"

namespace layoutfiles {

struct Pos {
    int level, row, col;
    bool operator<(const Pos& o) const {
        return std::tie(level, row, col) < std::tie(o.level, o.row, o.col);
    }
    bool operator==(const Pos& o) const { return level == o.level && row == o.row && col == o.col; }
};

// A folder of its own under /tmp, removed with everything in it at the end of the test.
class ScratchDir {
public:
    ScratchDir() {
        char name[] = "/tmp/tolbex-layout-XXXXXX";
        path_ = mkdtemp(name) ? name : "";
    }
    ~ScratchDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::string File(const std::string& name) const { return path_ + "/" + name; }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr) << path;
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

inline void WriteText(const std::string& path, const std::string& text) {
    WriteBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
}

inline std::string TextLayout(const std::vector<Pos>& tiles) {
    std::string text = "; row column level\n";
    for (const Pos& p : tiles)
        text += std::to_string(p.row) + " " + std::to_string(p.col) + " " + std::to_string(p.level) + "\n";
    return text;
}

// The 308-byte form: 144 entries (column, row and level packed in bits 0-5, 6-10 and 11-13),
// then the ten header values.
inline std::vector<uint8_t> BinaryLayout(const std::vector<uint16_t>& entries, const int16_t header[10]) {
    std::vector<uint8_t> bytes;
    for (int i = 0; i < kTileCount; ++i) {
        const uint16_t e = i < static_cast<int>(entries.size()) ? entries[i] : 0;
        bytes.push_back(static_cast<uint8_t>(e & 0xFF));
        bytes.push_back(static_cast<uint8_t>(e >> 8));
    }
    for (int i = 0; i < 10; ++i) {
        const uint16_t v = static_cast<uint16_t>(header[i]);
        bytes.push_back(static_cast<uint8_t>(v & 0xFF));
        bytes.push_back(static_cast<uint8_t>(v >> 8));
    }
    return bytes;
}

inline uint16_t Entry(const Pos& p) {
    return static_cast<uint16_t>(p.col | (p.row << 6) | (p.level << 11));
}

// A plain valid layout: nine rows of sixteen tiles on the table.
inline std::vector<Pos> Rectangle144() {
    std::vector<Pos> tiles;
    for (int r = 0; r <= 16; r += 2)
        for (int c = 0; c <= 30; c += 2) tiles.push_back({0, r, c});
    return tiles;
}

inline bool Overlaps(const std::set<Pos>& placed, const Pos& p) {
    for (const Pos& q : placed)
        if (q.level == p.level && std::abs(q.row - p.row) < 2 && std::abs(q.col - p.col) < 2) return true;
    return false;
}

// 144 positions anywhere on the grid, none overlapping another on its level. Tiles need not
// stand on anything: the loader does not ask for it, and the paint order must hold regardless.
inline std::vector<Pos> RandomLayout(std::mt19937& rng) {
    std::set<Pos> placed;
    std::uniform_int_distribution<int> level(0, kLevels - 1), row(0, kRows - 2), col(0, kCols - 2);
    while (placed.size() < static_cast<size_t>(kTileCount)) {
        const Pos p{level(rng), row(rng), col(rng)};
        if (!Overlaps(placed, p)) placed.insert(p);
    }
    return {placed.begin(), placed.end()};
}

// The positions of the tiles now on the board.
inline std::vector<Pos> BoardPositions() {
    std::vector<Pos> out;
    for (int i = 0; i < kTileCount; ++i)
        out.push_back({Board.tiles[i].level, Board.tiles[i].row, Board.tiles[i].col});
    return out;
}

// What every loaded board must satisfy: the tiles are the layout's positions, each covering its
// own four cells and no others, placed by the header's origin, in paint order.
inline void ExpectConsistentBoard(const std::string& what) {
    SCOPED_TRACE(what);
    uint8_t expectedCells[kLevels][kRows][kCols];
    std::memset(expectedCells, kNone, sizeof expectedCells);
    std::set<Pos> fromTiles, fromMap;
    int start[kLevels][kRows][kCols];
    std::memset(start, -1, sizeof start);
    for (int i = 0; i < kTileCount; ++i) {
        const TileRecord& t = Board.tiles[i];
        ASSERT_LT(t.level, kLevels);
        ASSERT_LE(t.row, kRows - 2);
        ASSERT_LE(t.col, kCols - 2);
        fromTiles.insert({t.level, t.row, t.col});
        start[t.level][t.row][t.col] = i;
        EXPECT_EQ(t.x, t.col * 18 + Board.originX + t.level * 5) << "tile " << i;
        EXPECT_EQ(t.y, t.row * 20 + Board.originY - t.level * 5) << "tile " << i;
        for (int dr = 0; dr < 2; ++dr)
            for (int dc = 0; dc < 2; ++dc) expectedCells[t.level][t.row + dr][t.col + dc] = static_cast<uint8_t>(i);
        if (i > 0) {
            EXPECT_GE(t.level, Board.tiles[i - 1].level) << "levels out of order at tile " << i;
        }
    }
    EXPECT_EQ(fromTiles.size(), static_cast<size_t>(kTileCount));
    EXPECT_EQ(std::memcmp(expectedCells, Board.cells, sizeof expectedCells), 0) << "cells disagree with tiles";
    for (int l = 0; l < kLevels; ++l)
        for (int r = 0; r <= kRows - 2; ++r)
            for (int c = 0; c <= kCols - 2; ++c)
                if (Board.layoutMap[l][r][c] == 1) fromMap.insert({l, r, c});
    EXPECT_TRUE(fromMap == fromTiles) << "tiles are not the layout's positions";
    // The paint-order guarantees: below and below-right come later, two columns right earlier.
    for (int l = 0; l < kLevels; ++l)
        for (int r = 0; r <= 16; ++r)
            for (int c = 0; c <= 31; ++c) {
                const int a = start[l][r][c];
                if (a < 0) continue;
                const int below = start[l][r + 2][c], belowRight = start[l][r + 2][c + 1], right = start[l][r][c + 2];
                if (belowRight >= 0) {
                    EXPECT_LT(a, belowRight) << "level " << l << " row " << r << " column " << c;
                }
                if (below >= 0) {
                    EXPECT_LT(a, below) << "level " << l << " row " << r << " column " << c;
                }
                if (right >= 0) {
                    EXPECT_GT(a, right) << "level " << l << " row " << r << " column " << c;
                }
            }
}

}  // namespace layoutfiles
