// Layout files: the text rules, the 308-byte binary form, the paint order of every shipped and
// random layout, the scores path and the layouts the loader refuses. (Random and damaged files:
// the text_layout and binary_layout fuzz targets.)
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <tuple>

#include "board/layout.h"
#include "board/state.h"
#include "platform/fake/fake.h"
#include "tests/files.h"

namespace {

using P = std::array<int, 3>;   // level, row, column
using Header = std::array<int16_t, 10>;
constexpr Header kTextHeader = {637, 425, 0, 20, 280, 0, 580, 0, 0, 0};

std::string TextOf(const std::vector<P>& tiles) {
    std::string text = "; row column level\n";
    for (const P& p : tiles) text += std::to_string(p[1]) + " " + std::to_string(p[2]) + " " + std::to_string(p[0]) + "\n";
    return text;
}

// Little-endian entries (column, row, level in bits 0-5, 6-10, 11-13; 14-15 mean nothing), then the header.
std::string BinaryOf(const std::vector<P>& tiles, const Header& header) {
    std::string bytes;
    auto put = [&bytes](unsigned v) { bytes += {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)}; };
    for (size_t i = 0; i < tiles.size(); ++i) put(tiles[i][2] | tiles[i][1] << 6 | tiles[i][0] << 11 | (i % 4) << 14);
    for (int16_t v : header) put(static_cast<uint16_t>(v));
    return bytes;
}

std::vector<P> Rectangle() {   // nine rows of sixteen tiles on the table
    std::vector<P> tiles;
    for (int i = 0; i < kTileCount; ++i) tiles.push_back({0, i / 16 * 2, i % 16 * 2});
    return tiles;
}

// One tile per layout position, filling its four cells, drawn from the header's origin, in paint order:
// by level; before the tiles two rows below (down, down-right; not in column 32), after the one two columns right.
void ExpectConsistentBoard(const std::string& what) {
    SCOPED_TRACE(what);
    auto at = [](int l, int r, int c) {   // the tile at a position of the layout, or -1
        return r <= kRows - 2 && c <= kCols - 2 && Board.layoutMap[l][r][c] == 1 ? int{Board.cells[l][r][c]} : -1; };
    uint8_t cells[kLevels][kRows][kCols];
    std::memset(cells, kNone, sizeof cells);
    int tiles = 0;
    for (int l = 0; l < kLevels; ++l)
        for (int r = 0; r <= kRows - 2; ++r)
            for (int c = 0; c <= kCols - 2; ++c) {
                const int a = at(l, r, c), down = at(l, r + 2, c), downRight = at(l, r + 2, c + 1), right = at(l, r, c + 2);
                if (a < 0) continue;
                ++tiles;
                ASSERT_LT(a, kTileCount);
                const TileRecord& t = Board.tiles[a];
                EXPECT_TRUE(t.level == l && t.row == r && t.col == c && t.x == c * 18 + Board.originX + l * 5 &&
                            t.y == r * 20 + Board.originY - l * 5) << "tile " << a;
                for (int d = 0; d < 4; ++d) cells[l][r + d / 2][c + d % 2] = static_cast<uint8_t>(a);
                EXPECT_TRUE(c == kCols - 2 || ((down < 0 || a < down) && (downRight < 0 || a < downRight) && (right < 0 || a > right)))
                    << "paint order at level " << l << ", row " << r << ", column " << c;
            }
    EXPECT_EQ(tiles, kTileCount);
    EXPECT_EQ(std::memcmp(cells, Board.cells, sizeof cells), 0) << "cells disagree with the tiles";
    for (int i = 1; i < kTileCount; ++i) EXPECT_GE(Board.tiles[i].level, Board.tiles[i - 1].level) << i;
}

class LayoutTest : public ::testing::Test {
protected:
    void SetUp() override {
        char name[] = "/tmp/tolbex-layout-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        dir = name;
        fake::Reset();
        fake::SetConfigDirectory(dir);   // where ShutDown saves the settings
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string Write(const std::string& name, const std::string& bytes) { return testfiles::WriteAll(dir + "/" + name, bytes); }
    // Over the rectangle, `path` is refused with "<path> : <fault>..." and the board kept.
    void ExpectRefused(const std::string& path, const std::string& fault) {
        ASSERT_EQ(LoadLayout(nullptr, Write("GOOD.TXL", TextOf(Rectangle())).c_str()), 1);
        const BoardRecord before = Board;
        const size_t messages = fake::Messages().size();
        EXPECT_EQ(LoadLayout(nullptr, path.c_str()), 0);
        ASSERT_EQ(fake::Messages().size(), messages + 1);
        const fake::MessageRecord& m = fake::Messages().back();
        EXPECT_TRUE(m.text.rfind(path + " : " + fault, 0) == 0 && m.caption == "Tolbex" &&
                    m.style == (platform::MB_OK | platform::MB_ICONEXCLAMATION)) << m.text;
        EXPECT_EQ(std::memcmp(&before, &Board, sizeof Board), 0) << "a refused file changed the board";
        EXPECT_EQ(GameState.scoresPath, path.substr(0, path.size() - 3) + "txs");
    }
    std::string dir;
};

TEST_F(LayoutTest, TextLinesDefineTilesOnlyWhenTheyBeginWithThreeIntegers) {
    const std::tuple<std::string, int, std::set<P>> cases[] = {   // text, valid, marks on the map
        {"; 1 2 0 in a comment\n\n3 4 1 then words\n7,8,0\n  9\t10  2\n+11 -0 3\n12 13\n14 15 4 16\n14 15 4\n"
         "19 0 0\n0 33 0\n16 2 0",
         1, {{1, 3, 4}, {2, 9, 10}, {3, 11, 0}, {4, 14, 15}, {0, 19, 0}, {0, 0, 33}, {0, 16, 2}}},
        {std::string(254, 'x') + "5 6 0\n", 1, {{0, 5, 6}}},   // lines are read in pieces of 254 characters
        {std::string(253, 'x') + "5 6 0\n", 1, {}},
        {"7 8" + std::string(251, ' ') + "0\n", 1, {}},
        {"1 1 0\n20 0 0\n3 3 0\n", 0, {{0, 1, 1}, {0, 3, 3}}},   // off the grid: invalid, reading goes on
        {"0 34 0\n", 0, {}}, {"0 0 5\n", 0, {}}, {"-1 0 0\n", 0, {}}, {"0 -3 0\n", 0, {}},
        {"99999999999999999999 0 0\n", 0, {}}, {"4294967296 0 0\n", 0, {}}, {"19 33 4\n", 1, {{4, 19, 33}}},
    };
    for (const auto& [text, valid, expected] : cases) {
        SCOPED_TRACE(text.substr(0, 60));
        std::memset(Board.layoutMap, 0, sizeof Board.layoutMap);
        ASSERT_EQ(ParseLayoutFile(std::fopen(Write("T.TXL", text).c_str(), "rb")), valid);
        std::set<P> marks;
        for (int i = 0; i < kLevels * kRows * kCols; ++i)
            if (reinterpret_cast<const uint8_t*>(Board.layoutMap)[i]) marks.insert({i / (kRows * kCols), i / kCols % kRows, i % kCols});
        EXPECT_TRUE(marks == expected && Board.width == 637 && Board.originY == 20);
    }
}

TEST_F(LayoutTest, RandomLayoutsLoadInPaintOrder) {
    std::mt19937 rng(20261205);
    for (int round = 0; round < 120 && !HasFailure(); ++round) {
        std::vector<P> tiles;   // anywhere on the grid, in any order, no two sharing a cell
        while (tiles.size() < kTileCount) {
            const P p{static_cast<int>(rng() % kLevels), static_cast<int>(rng() % 19), static_cast<int>(rng() % 33)};
            if (std::none_of(tiles.begin(), tiles.end(), [&p](const P& q) {
                    return q[0] == p[0] && std::abs(q[1] - p[1]) < 2 && std::abs(q[2] - p[2]) < 2; }))
                tiles.push_back(p);
        }
        Header header = {static_cast<int16_t>(1 + rng() % 2048), static_cast<int16_t>(1 + rng() % 2048)};
        for (int k = 2; k < 10; ++k) header[k] = static_cast<int16_t>(static_cast<int>(rng() % 1000) - 500);
        ASSERT_EQ(LoadLayout(nullptr, Write("R.TXL", round % 2 ? BinaryOf(tiles, header) : TextOf(tiles)).c_str()), 1);
        Header got = {Board.width, Board.height, Board.originX, Board.originY};
        std::copy(Board.reserved, Board.reserved + 6, got.begin() + 4);
        EXPECT_EQ(got, round % 2 ? header : kTextHeader);
        ExpectConsistentBoard("random layout " + std::to_string(round));
    }
}

// The shipped library: at least 24 layouts, a few in the binary form, each loaded in paint order;
// each text layout opens with its name and a one-line description (the names all different);
// every tile is drawn inside the board and stands with all four cells on tiles of the level below.
TEST_F(LayoutTest, ShippedLayoutsAreNamedRestOnTheLevelBelowAndFitTheBoard) {
    int shipped = 0, binary = 0;
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(TOLBEX_SOURCE_DIR "/data/LAYOUTS")) {
        const std::string file = entry.path().filename().string();
        if (entry.path().extension() != ".TXL") continue;
        SCOPED_TRACE(file);
        ++shipped;
        EXPECT_TRUE(file.size() <= 12 && std::none_of(file.begin(), file.end(), [](char ch) { return std::islower(ch); }));
        std::ifstream in(entry.path());
        std::string first, second, mark = "; Tolbex layout: ";
        std::getline(in, first), std::getline(in, second);
        if (std::filesystem::file_size(entry.path()) == kBinaryLayoutSize) ++binary;
        else EXPECT_TRUE(first.rfind(mark, 0) == 0 && first.size() > mark.size() && first.back() != ' ' &&
                         names.insert(first.substr(mark.size())).second && second.rfind("; ", 0) == 0 && second.size() > 12 &&
                         second.find("Tolbex layout") == std::string::npos) << "unnamed, named twice or undescribed:\n" << first << "\n" << second;
        ASSERT_EQ(LoadLayout(nullptr, entry.path().c_str()), 1);
        ExpectConsistentBoard(file);
        for (const TileRecord& t : Board.tiles) {
            bool resting = true;   // all four cells over tiles of the level below
            for (int d = 0; d < 4 && t.level > 0; ++d) resting &= Board.cells[t.level - 1][t.row + d / 2][t.col + d % 2] != kNone;
            EXPECT_TRUE(resting && t.x >= 0 && t.y >= 0 && t.x + kTileWidthPx <= Board.width && t.y + kTileHeightPx <= Board.height)
                << "tile at level " << int{t.level} << ", row " << int{t.row} << ", column " << int{t.col} << " hangs or is drawn off the board";
        }
    }
    EXPECT_TRUE(shipped >= 24 && binary >= 2 && fake::Messages().empty());
}

TEST(ScoresPath, FollowsTheLayoutPath) {
    // The last four characters are replaced when they begin with a dot, else ".txs" is added.
    const std::pair<std::string, std::string> examples[] = {{"/game/PYRAMID.TXL", "/game/PYRAMID.txs"}, {"A.BC", "A.BC.txs"},
        {"/x.y/LAYOUT", "/x.y/LAYOUT.txs"}, {"", ".txs"}, {std::string(499, 'p'), std::string(499, 'p')}};   // full: cut, no overrun
    for (const auto& [layout, scores] : examples) {
        char out[500];
        DeriveScoresPath(layout.c_str(), out);
        EXPECT_EQ(out, scores) << layout;
    }
}

TEST_F(LayoutTest, RefusedLayoutsAreNamedAndKeepThePreviousBoard) {
    const std::vector<P> r = Rectangle();
    auto with = [&r](size_t at, const P& p) { std::vector<P> v = r; v.resize(std::max(at + 1, v.size())); v[at] = p; return v; };
    const std::pair<std::string, std::string> cases[] = {
        {TextOf({r.begin(), r.end() - 4}), "the layout must place 144 tiles (it places 140)"},
        {TextOf(with(144, {1, 0, 0})), "the layout must place 144 tiles (it places 145)"},
        {TextOf(with(143, {0, 19, 32})), "the layout must place 144 tiles (it places 143)"},   // a mark, no tile
        {"", "the layout must place 144 tiles (it places 0)"},
        {TextOf(with(143, {0, 17, 29})), "two tiles overlap on level 0"},
        {BinaryOf(with(17, {5, 0, 0}), kTextHeader), "tile 18 lies outside the grid"},
        {TextOf(r).substr(0, 308), "tile 1 lies outside the grid"},   // read as binary: "; " is column 59
        {BinaryOf(r, {30000, 425, 0, 20}), "the board of 30000 x 425 pixels"},
        {BinaryOf(r, {}), "the board of 0 x 0 pixels"},
    };
    for (const auto& [bytes, fault] : cases) {
        SCOPED_TRACE(fault);
        ExpectRefused(Write("BAD.TXL", bytes), fault);
    }
    ExpectRefused(dir + "/MISSING.TXL", "read error");
}

// A text value off the grid ends the program silently; ShutDown acts once per process.
using LayoutDeathTest = LayoutTest;
TEST_F(LayoutDeathTest, ATextValueOffTheGridEndsTheProgramSilently) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT({
        LoadLayout(nullptr, Write("GOOD.TXL", TextOf(Rectangle())).c_str());
        const BoardRecord before = Board;
        const bool ok = LoadLayout(nullptr, Write("BAD.TXL", TextOf(Rectangle()) + "20 0 0\n").c_str()) == 0 &&
                        fake::QuitPosted() && fake::Messages().empty() && GameState.scoresPath == dir + "/BAD.txs" &&
                        std::memcmp(&before, &Board, sizeof Board) == 0;
        std::filesystem::remove_all(dir);
        std::exit(ok ? 0 : 1);
    }, ::testing::ExitedWithCode(0), "");
}

}  // namespace
