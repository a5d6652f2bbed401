// Converting other games' layout files: the line-art and XML forms read into our grid, the
// faults that refuse a file (size, levels, width, overlap, headers, truncated XML), and the
// command-line converter on those files.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "board/import.h"
#include "board/layout.h"
#include "board/state.h"
#include "tests/import/import_fixtures.h"

namespace {

using importfix::LineArt;
using importfix::Rows;
using importfix::Tile;

// Reads and fits the only (or the chosen) map of the file; the fault text when refused.
std::string Convert(const std::string& path, LevelGrid& grid, size_t index = 0) {
    std::vector<ForeignMap> maps;
    char fault[256] = {};
    if (!ReadForeignFile(path.c_str(), maps, fault, sizeof fault)) return fault;
    if (index >= maps.size()) return "no such map";
    if (!FitForeignMap(maps[index], grid, fault, sizeof fault)) return fault;
    return "";
}

std::vector<Tile> TilesOf(const LevelGrid& grid) {
    std::vector<Tile> tiles;
    for (int l = 0; l < kLevels; ++l)
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c)
                if (grid[l][r][c]) tiles.push_back({l, r, c});
    return tiles;
}

bool Has(const LevelGrid& grid, int l, int r, int c) { return grid[l][r][c] == 1; }

TEST(LineArtImport, ReadsTilesOnHalfTileCellsCentredWithGapsClosed) {
    const auto dir = importfix::ScratchDir("lineart");
    static LevelGrid grid;
    // 128 tiles filling the default 32 x 16 board, 16 more on level 2 shifted by half a tile both
    // ways; level 1 holds nothing and closes up.
    std::vector<Tile> tiles = Rows(128);
    for (int i = 0; i < 16; ++i) tiles.push_back({2, 3, 1 + 2 * (i % 8) + (i / 8) * 16});
    const std::string path = importfix::Write(dir / "plain.layout", LineArt(tiles, 32, 16, 5, false, "kmahjongg-layout-v1.0"));
    ASSERT_EQ(Convert(path, grid), "");
    const auto placed = TilesOf(grid);
    EXPECT_TRUE(placed.size() == 144u && placed.back()[0] == 1);   // level 2 comes down to level 1
    // 33 x 16 half tiles (the shifted tiles reach one further) centred on 34 x 20: two rows of
    // margin above, none on the left; the half offsets kept (row 3 + 2, column 1).
    EXPECT_TRUE(Has(grid, 0, 2, 0) && Has(grid, 0, 16, 30) && Has(grid, 1, 5, 1) && Has(grid, 1, 5, 31));

    // The name comes from the name file beside the layout, else from the file name.
    std::vector<ForeignMap> maps;
    char fault[256];
    ASSERT_TRUE(ReadForeignFile(path.c_str(), maps, fault, sizeof fault));
    EXPECT_EQ(maps[0].name, "Plain");
    importfix::Write(dir / "plain.desktop", "[Layout]\nName=Flat Field\nName[de]=Feld\nDescription=All on the table\n");
    ASSERT_TRUE(ReadForeignFile(path.c_str(), maps, fault, sizeof fault));
    EXPECT_TRUE(maps[0].name == "Flat Field" && maps[0].description == "All on the table") << maps[0].name;
}

// The largest grid fits exactly; every fault refuses the file with its reason.
TEST(LineArtImport, TheLargestGridFitsAndFaultsAreRefusedWithTheReason) {
    const auto dir = importfix::ScratchDir("linebad");
    static LevelGrid grid;
    // 143 tiles from the corner and one at row 18, column 32: exactly 34 x 20 half tiles.
    auto withLast = [](Tile last) { std::vector<Tile> t = Rows(143); t.push_back(last); return t; };
    const auto text = LineArt(Rows(144, 0, 0, 0), 32, 20, 5, true);
    std::string badSize = text;
    badSize.replace(badSize.find("w32"), 3, "w999");
    std::vector<Tile> six = Rows(139);   // one tile on each of five upper levels
    for (int l = 1; l <= 5; ++l) six.push_back({l, 0, 0});
    // 144 corners, the last one inside another tile: row 15, column 31 is that tile's "3".
    std::string overlap = LineArt(Rows(143), 32, 18, 1, true);
    overlap[overlap.find("-----\n") + 6 + 15 * 33 + 31] = '1';
    const std::string badHeader = "bad header: the first line names no layout version this game reads";
    ASSERT_EQ(Convert(importfix::Write(dir / "a.layout", LineArt(withLast({0, 18, 32}), 34, 20, 1, true)), grid), "");
    EXPECT_TRUE(Has(grid, 0, 18, 32) && Has(grid, 0, 0, 0));
    const std::pair<std::string, std::string> cases[] = {
        {LineArt(Rows(144, 0, 0, 4), 40, 20, 1, true), ""},   // a stated width beyond the tiles: only the tiles count
        {LineArt(withLast({0, 18, 33}), 35, 20, 1, true), "the layout is 35 half-tiles wide and 20 high; the grid holds 34 x 20"},
        {LineArt(withLast({0, 19, 32}), 34, 21, 1, true), "the layout is 34 half-tiles wide and 21 high; the grid holds 34 x 20"},
        {"kmahjongg-layout-v9.9" + text.substr(text.find('\n')), badHeader},
        {"", badHeader},
        {badSize, "bad header: \"w999\" is not a size from 1 to 128"},
        {LineArt(Rows(142)), "the layout must place 144 tiles (it places 142)"},
        {LineArt(six, 32, 18, 6, true), "the layout has 6 levels; the game has 5"},
        {overlap, "two tiles overlap on level 0 after conversion (row 16, column 31)"},
    };
    for (const auto& [file, fault] : cases) EXPECT_EQ(Convert(importfix::Write(dir / "a.layout", file), grid), fault);
}

std::string Xml(const std::string& maps) { return "<!-- hand made -->\n<mahjongg>\n" + maps + "</mahjongg>\n"; }

TEST(XmlImport, ReadsRowsColumnsBlocksAndHalfStepsOfSeveralMaps) {
    const auto dir = importfix::ScratchDir("xml");
    static LevelGrid grid;
    const std::string path = importfix::Write(dir / "two.map", Xml(
        "  <map name=\"Flat\" scorename=\"flat\">\n"
        "    <layer z=\"0\">\n      <block left=\"0\" right=\"15\" top=\"0\" bottom=\"7\"/>\n    </layer>\n"
        "    <row y='8.5' left='0.5' right='15.5' z='2'/>\n"
        "  </map>\n"
        "  <map name=\"Tower\">\n"
        "    <layer z=\"1\"><column x=\"3\" top=\"0\" bottom=\"8\"/><tile x=\"4.5\" y=\"2\"/></layer>\n"
        "  </map>\n"));
    std::vector<ForeignMap> maps;
    char fault[256];
    ASSERT_TRUE(ReadForeignFile(path.c_str(), maps, fault, sizeof fault)) << fault;
    ASSERT_EQ(maps.size(), 2u);
    EXPECT_TRUE(maps[0].name == "Flat" && maps[1].name == "Tower" && maps[1].tiles.size() == 10u);
    ASSERT_EQ(Convert(path, grid), "");
    // 33 half tiles wide, 19 high: no margin on the left and top; layer 2 over an empty layer 1 becomes level 1.
    EXPECT_TRUE(Has(grid, 0, 0, 0) && Has(grid, 0, 14, 30) && Has(grid, 1, 17, 1) && Has(grid, 1, 17, 31));
    EXPECT_EQ(TilesOf(grid).size(), 144u);
    EXPECT_EQ(Convert(path, grid, 1), "the layout must place 144 tiles (it places 10)");

    // Every value is bounded and checked: thirds, negatives, huge numbers, reversed ranges.
    for (const char* bad : {"<tile x=\"0.3\" y=\"0\"/>", "<tile x=\"-1\" y=\"0\"/>", "<tile x=\"99999999999\" y=\"0\"/>",
                            "<tile y=\"0\"/>", "<row y=\"0\" left=\"5\" right=\"2\"/>", "<tile x=\"1\" y=\"1\" z=\"x\"/>"}) {
        const std::string p = importfix::Write(dir / "bad.map", Xml(std::string("<map name=\"B\">") + bad + "</map>"));
        EXPECT_NE(Convert(p, grid), "") << bad;
    }
    EXPECT_EQ(Convert(importfix::Write(dir / "big.map", Xml("<map name=\"B\"><block left=\"0\" right=\"200\" top=\"0\" bottom=\"200\"/></map>")), grid),
              "the layout must place 144 tiles (it places over 4096)");

    // Names are written as one line, cut between characters: a letter, 100 two-byte letters and
    // a line end give the letter and 39 of the others.
    std::string name = "A";
    for (int i = 0; i < 100; ++i) name += "\xC3\xA9";
    const std::string text = FormatTextLayout(name + "\nX", "a\rb", grid);
    const std::string first = text.substr(0, text.find('\n'));
    EXPECT_EQ(first, "; Tolbex layout: " + name.substr(0, 79));
    EXPECT_EQ(text.substr(first.size() + 1, 6), "; a b\n");
}

TEST(XmlImport, RefusesTruncatedAndForeignXml) {
    const auto dir = importfix::ScratchDir("xmlbad");
    static LevelGrid grid;
    const std::string good = Xml("<map name=\"A\"><block left=\"0\" right=\"15\" top=\"0\" bottom=\"8\"/></map>\n");
    ASSERT_EQ(Convert(importfix::Write(dir / "good.map", good), grid), "");
    const std::string truncated = "the XML ends before its elements are closed (truncated file)";
    // Cut anywhere inside the elements: every cut is refused as truncated or as holding no map.
    for (size_t cut = good.find("<mahjongg>") + 1; cut + 1 < good.size(); cut += 3) {
        const std::string fault = Convert(importfix::Write(dir / "cut.map", good.substr(0, cut)), grid);
        EXPECT_TRUE(fault == truncated || fault == "the XML is not well formed") << cut << ": " << fault;
    }
    const std::pair<std::string, std::string> cases[] = {
        {"<!-- never closed <mahjongg>", truncated},
        {"<html><map name=\"A\"/></html>", "bad header: the file is not a layout map (its first element is <html>)"},
        {"just text", "bad header: the file holds no <mahjongg> element"},
        {"<mahjongg></mahjongg>", "the file holds no map"},
        {"<mahjongg><map></layer></map></mahjongg>", "the XML closes <layer> where it is not open"},
    };
    for (const auto& [text, fault] : cases) EXPECT_EQ(Convert(importfix::Write(dir / "x.map", text), grid), fault);
    EXPECT_EQ(Convert((dir / "missing.map").string(), grid), "the file cannot be read");
}

// Mangled copies of good files of both forms (bytes changed, cut, repeated), read with a fixed
// seed: never a crash, and whatever is accepted is 144 tiles on the grid that our loader takes.
TEST(ForeignFiles, MangledFilesAreReadSafely) {
    const auto dir = importfix::ScratchDir("mangled");
    std::vector<Tile> tiles = Rows(128);
    for (int i = 0; i < 16; ++i) tiles.push_back({2, 3, 1 + 2 * i});
    const std::string seeds[] = {
        LineArt(tiles, 34, 16, 5, true),
        Xml("<map name=\"A\"><layer z=\"0\"><block left=\"0\" right=\"15\" top=\"0\" bottom=\"7\"/></layer>"
            "<row y=\"8.5\" left=\"0.5\" right=\"15.5\" z=\"1\"/></map>")};
    const char* names[] = {"m.layout", "m.map"};
    std::mt19937 random(20261206);
    static LevelGrid grid;
    static BoardRecord scratch;
    int accepted = 0;
    for (int round = 0; round < 3000; ++round) {
        std::string text = seeds[round % 2];
        const int edits = 1 + static_cast<int>(random() % 4);
        for (int e = 0; e < edits && !text.empty(); ++e) {   // a byte changed, the file cut, a piece repeated, a telling character
            const size_t at = random() % text.size();
            switch (random() % 4) {
                case 0: text[at] = static_cast<char>(random() % 256); break;
                case 1: text.resize(at); break;
                case 2: text.insert(at, text.substr(at, random() % 64)); break;
                default: text[at] = "0123456789.\"<>/= 12\n"[random() % 20]; break;
            }
        }
        std::vector<ForeignMap> maps;
        char fault[256];
        if (!ReadForeignFile(importfix::Write(dir / names[round % 2], text).c_str(), maps, fault, sizeof fault)) continue;
        for (const ForeignMap& map : maps) {
            if (!FitForeignMap(map, grid, fault, sizeof fault)) continue;
            ++accepted;
            const std::string layout = FormatTextLayout(map.name, map.description, grid);
            std::FILE* file = fmemopen(const_cast<char*>(layout.data()), layout.size(), "rb");
            ASSERT_NE(file, nullptr);
            ASSERT_TRUE(ReadLayoutAside(file, scratch, fault, sizeof fault)) << fault << "\n" << text;
        }
    }
    EXPECT_GT(accepted, 100);   // the mangling leaves many files whole enough to play
}

// The converter tool writes a text layout our own loader accepts, and refuses with the reason.
TEST(ConvertTool, WritesALayoutTheGameLoadsAndRefusesWithTheReason) {
    const auto dir = importfix::ScratchDir("tool");
    const std::string in = importfix::Write(dir / "in.map", Xml(
        "<map name=\"Small\"><tile x=\"0\" y=\"0\"/></map>"
        "<map name=\"Good &amp; big\"><block left=\"0\" right=\"15\" top=\"0\" bottom=\"8\"/></map>"));
    const std::string tool = TOLBEX_CONVERT_TOOL, out = (dir / "OUT.TXL").string(), log = (dir / "log.txt").string();
    EXPECT_EQ(std::system((tool + " " + in + " " + out + " 2>" + log).c_str()), 1 << 8);
    EXPECT_EQ(testfiles::ReadAll(log), in + " : the layout must place 144 tiles (it places 1)\n");
    EXPECT_FALSE(std::filesystem::exists(out));

    ASSERT_EQ(std::system((tool + " --map 2 " + in + " " + out).c_str()), 0);
    static BoardRecord scratch;
    char fault[256];
    ASSERT_TRUE(ReadLayoutAside(out.c_str(), scratch, fault, sizeof fault)) << fault;
    EXPECT_EQ(testfiles::ReadAll(out).substr(0, 32), "; Tolbex layout: Good &amp; big\n");
    EXPECT_EQ(std::system((tool + " --map 3 " + in + " " + out + " 2>/dev/null").c_str()), 1 << 8);
    EXPECT_EQ(std::system((tool + " " + in + " 2>/dev/null").c_str()), 2 << 8);
}

}  // namespace
