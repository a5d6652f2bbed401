// The layout files: the text and binary forms, the paint order the loader gives the tiles, the
// scores path of a layout, the files the loader refuses, the chooser and the built-in layout.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "board/layout.h"
#include "board/state.h"
#include "persist/settings.h"
#include "platform/fake/fake.h"
#include "shell/home.h"
#include "tests/board/layout_files.h"

// The loader ends the program through the shell's ShutDown. When the shell is not linked into
// this program, this stand-in ends it the same visible way: the quit is posted.
__attribute__((weak)) void ShutDown(platform::Window) { platform::PostQuitMessage(0); }

namespace {

using namespace layoutfiles;

class LayoutFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        fake::Reset();
        fake::SetConfigDirectory(dir.Path());
        std::memset(&Board, 0, sizeof Board);
        std::memset(&GameState, 0, sizeof GameState);
        std::memset(&Settings, 0, sizeof Settings);
    }
    // Parses `text` alone into a cleared layout map.
    int16_t ParseText(const std::string& text) {
        const std::string path = dir.File("parse.txl");
        WriteText(path, text);
        std::memset(Board.layoutMap, 0, sizeof Board.layoutMap);
        return ParseLayoutFile(std::fopen(path.c_str(), "rb"));
    }
    int MarksOnMap() {
        int n = 0;
        for (auto& level : Board.layoutMap)
            for (auto& row : level)
                for (uint8_t v : row) n += v;
        return n;
    }
    ScratchDir dir;
};

TEST_F(LayoutFileTest, TextLinesDefineTilesOnlyWhenTheyBeginWithThreeIntegers) {
    const std::string text =
        "; a heading: 1 2 0 in a comment defines nothing\n"
        "\n"
        "3 4 1 followed by words\n"
        "; 5 6 0\n"
        "7,8,0\n"
        "  9\t10  2\n"
        "+11 -0 3\n"
        "12 13\n"
        "14 15 4 16\n"
        "14 15 4\n"            // the same position again counts once
        "19 0 0\n"             // accepted, on the map, never a tile
        "0 33 0\n"
        "16 2 0";              // no newline at the end of the file
    ASSERT_EQ(ParseText(text), 1);
    EXPECT_EQ(Board.layoutMap[1][3][4], 1);
    EXPECT_EQ(Board.layoutMap[2][9][10], 1);
    EXPECT_EQ(Board.layoutMap[3][11][0], 1);
    EXPECT_EQ(Board.layoutMap[4][14][15], 1);
    EXPECT_EQ(Board.layoutMap[0][19][0], 1);
    EXPECT_EQ(Board.layoutMap[0][0][33], 1);
    EXPECT_EQ(Board.layoutMap[0][16][2], 1);
    EXPECT_EQ(Board.layoutMap[0][5][6], 0);
    EXPECT_EQ(Board.layoutMap[0][7][8], 0);
    EXPECT_EQ(MarksOnMap(), 7);
    // A text layout always gets the fixed header.
    const int16_t header[10] = {637, 425, 0, 20, 280, 0, 580, 0, 0, 0};
    EXPECT_EQ(Board.width, header[0]);
    EXPECT_EQ(Board.height, header[1]);
    EXPECT_EQ(Board.originX, header[2]);
    EXPECT_EQ(Board.originY, header[3]);
    EXPECT_EQ(std::memcmp(Board.reserved, header + 4, sizeof Board.reserved), 0);
}

TEST_F(LayoutFileTest, AValueOutOfRangeMakesTheFileInvalidButReadingGoesOn) {
    for (const char* bad : {"20 0 0\n", "0 34 0\n", "0 0 5\n", "-1 0 0\n", "0 -3 0\n", "99999999999999999999 0 0\n",
                            "4294967296 0 0\n"}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(ParseText(std::string("1 1 0\n") + bad + "3 3 0\n"), 0);
        EXPECT_EQ(Board.layoutMap[0][1][1], 1);
        EXPECT_EQ(Board.layoutMap[0][3][3], 1);   // lines after the bad one are still read
        EXPECT_EQ(MarksOnMap(), 2);
    }
    EXPECT_EQ(ParseText("19 33 4\n0 0 0\n"), 1);   // the top of every range is accepted
}

TEST_F(LayoutFileTest, LongLinesAreReadInPiecesOf254Characters) {
    // 254 characters fill the first piece exactly, so the numbers behind them form a line.
    EXPECT_EQ(ParseText(std::string(254, 'x') + "5 6 0\n"), 1);
    EXPECT_EQ(Board.layoutMap[0][5][6], 1);
    // One character fewer and the first number joins the first piece: neither piece holds three.
    EXPECT_EQ(ParseText(std::string(253, 'x') + "5 6 0\n"), 1);
    EXPECT_EQ(MarksOnMap(), 0);
    // Numbers split by the piece boundary define nothing either.
    EXPECT_EQ(ParseText("7 8" + std::string(251, ' ') + "0\n"), 1);
    EXPECT_EQ(MarksOnMap(), 0);
    // A very long line of numbers: its pieces are lines of their own.
    std::string many;
    while (many.size() < 2000) many += "2 2 0 ";
    EXPECT_EQ(ParseText(many + "\n"), 1);
    EXPECT_EQ(Board.layoutMap[0][2][2], 1);
}

TEST_F(LayoutFileTest, ParsingAddsToTheMapAndClosesTheFile) {
    Board.layoutMap[4][0][0] = 1;
    const std::string path = dir.File("add.txl");
    WriteText(path, "1 1 1\n");
    std::FILE* f = std::fopen(path.c_str(), "rb");
    std::fseek(f, 3, SEEK_SET);   // positioned anywhere: the whole file is read
    ASSERT_EQ(ParseLayoutFile(f), 1);
    EXPECT_EQ(Board.layoutMap[4][0][0], 1);
    EXPECT_EQ(Board.layoutMap[1][1][1], 1);
}

TEST_F(LayoutFileTest, ABinaryLayoutGivesItsPositionsAndHeader) {
    const std::vector<Pos> tiles = Rectangle144();
    std::vector<uint16_t> entries;
    for (size_t i = 0; i < tiles.size(); ++i)
        entries.push_back(static_cast<uint16_t>(Entry(tiles[i]) | ((i % 4) << 14)));   // bits 14-15 ignored
    const int16_t header[10] = {700, 480, 7, 30, 1, -2, 3, -4, 5, 32767};
    const std::string path = dir.File("BIN.TXL");
    WriteBytes(path, BinaryLayout(entries, header));

    ASSERT_EQ(LoadLayout(nullptr, path.c_str()), 1);
    EXPECT_TRUE(fake::Messages().empty());
    EXPECT_EQ(Board.width, 700);
    EXPECT_EQ(Board.height, 480);
    EXPECT_EQ(Board.originX, 7);
    EXPECT_EQ(Board.originY, 30);
    EXPECT_EQ(std::memcmp(Board.reserved, header + 4, sizeof Board.reserved), 0);
    ExpectConsistentBoard("binary");
    std::vector<Pos> placed = BoardPositions();
    std::sort(placed.begin(), placed.end());
    EXPECT_TRUE(placed == tiles);
    EXPECT_STREQ(GameState.scoresPath, (dir.Path() + "/BIN.txs").c_str());
}

TEST_F(LayoutFileTest, ATextFileOfExactly308BytesIsReadAsBinary) {
    std::string text = TextLayout(Rectangle144());
    text.resize(308);   // cut: the size alone says binary
    const std::string path = dir.File("CUT.TXL");
    WriteText(path, text);
    std::memset(Board.layoutMap, 0, sizeof Board.layoutMap);
    ASSERT_EQ(ParseLayoutFile(std::fopen(path.c_str(), "rb")), 1);   // binary is never invalid
    // The header is whatever the bytes 288..307 say, not the text header.
    EXPECT_EQ(static_cast<uint16_t>(Board.width), static_cast<uint8_t>(text[288]) | static_cast<uint8_t>(text[289]) << 8);
    EXPECT_NE(Board.width, 637);
    EXPECT_EQ(Board.layoutMap[0][0][0], 0);
    // Loading it: the ASCII entries lie off the grid, so the file is refused and named.
    const BoardRecord before = Board;
    EXPECT_EQ(LoadLayout(nullptr, path.c_str()), 0);
    ASSERT_EQ(fake::Messages().size(), 1u);
    EXPECT_EQ(fake::Messages()[0].text.rfind(path + " : ", 0), 0u) << fake::Messages()[0].text;
    EXPECT_NE(fake::Messages()[0].text.find("outside"), std::string::npos);
    EXPECT_EQ(std::memcmp(&before, &Board, sizeof Board), 0);
}

TEST_F(LayoutFileTest, NumberingExamples) {
    // One row side by side: the right-most tile is drawn first, the left-most last.
    for (int c = 0; c <= 8; c += 2) Board.layoutMap[0][0][c] = 1;
    Board.layoutMap[1][4][4] = 1;
    ASSERT_EQ(NumberLayoutTiles(), 6);
    EXPECT_EQ(Board.cells[0][0][8], 0);
    EXPECT_EQ(Board.cells[0][0][0], 4);
    EXPECT_EQ(Board.cells[1][4][4], 5);   // a higher level after every tile of the table
    EXPECT_EQ(Board.cells[1][5][5], 5);
    EXPECT_EQ(Board.cells[0][1][9], 0);
    EXPECT_EQ(Board.cells[0][2][0], kNone);

    // A at (0,0), B two rows down and one column right: the first numbering takes B first
    // (its column is further right), the sort puts A first so that B covers A's lower strip.
    std::memset(Board.layoutMap, 0, sizeof Board.layoutMap);
    Board.layoutMap[2][0][0] = 1;
    Board.layoutMap[2][2][1] = 1;
    ASSERT_EQ(NumberLayoutTiles(), 2);
    EXPECT_EQ(Board.cells[2][0][0], 0);
    EXPECT_EQ(Board.cells[2][2][1], 1);
    EXPECT_EQ(Board.tiles[1].row, 2);
    EXPECT_EQ(Board.tiles[1].col, 1);
    EXPECT_EQ(Board.tiles[1].x, 1 * 18 + 2 * 5);
    EXPECT_EQ(Board.tiles[1].y, 2 * 20 - 2 * 5);
    // Marks on row 19 or column 33 never become tiles; stale cells are cleared.
    std::memset(Board.layoutMap, 0, sizeof Board.layoutMap);
    Board.layoutMap[0][19][4] = 1;
    Board.layoutMap[0][4][33] = 1;
    EXPECT_EQ(NumberLayoutTiles(), 0);
    EXPECT_EQ(Board.cells[2][0][0], kNone);
}

TEST_F(LayoutFileTest, PaintOrderHoldsOnRandomLayouts) {
    std::mt19937 rng(20261205);
    for (int round = 0; round < 200; ++round) {
        const std::vector<Pos> tiles = RandomLayout(rng);
        std::memset(Board.layoutMap, 0, sizeof Board.layoutMap);
        for (const Pos& p : tiles) Board.layoutMap[p.level][p.row][p.col] = 1;
        Board.originX = static_cast<int16_t>(round % 7);
        Board.originY = static_cast<int16_t>(20 + round % 5);
        ASSERT_EQ(NumberLayoutTiles(), kTileCount);
        ExpectConsistentBoard("random layout " + std::to_string(round));
        if (HasFailure()) break;
    }
}

TEST_F(LayoutFileTest, ShippedLayoutsLoadAndArePlayable) {
    const std::filesystem::path folder = std::filesystem::path(TOLBEX_SOURCE_DIR) / "data" / "LAYOUTS";
    int layouts = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() != ".TXL") continue;
        const std::string path = entry.path().string();
        SCOPED_TRACE(path);
        ++layouts;
        ASSERT_EQ(LoadLayout(nullptr, path.c_str()), 1);
        EXPECT_TRUE(fake::Messages().empty());
        ExpectConsistentBoard(path);
        // Centred on the grid, five levels used, every upper tile standing on the level below.
        int minRow = kRows, maxRow = 0, minCol = kCols, maxCol = 0, topLevel = 0;
        for (const TileRecord& t : Board.tiles) {
            minRow = std::min<int>(minRow, t.row);
            maxRow = std::max<int>(maxRow, t.row);
            minCol = std::min<int>(minCol, t.col);
            maxCol = std::max<int>(maxCol, t.col);
            topLevel = std::max<int>(topLevel, t.level);
            if (t.level == 0) continue;
            for (int dr = 0; dr < 2; ++dr)
                for (int dc = 0; dc < 2; ++dc)
                    EXPECT_NE(Board.cells[t.level - 1][t.row + dr][t.col + dc], kNone)
                        << "tile at " << +t.level << "," << +t.row << "," << +t.col << " hangs";
        }
        EXPECT_EQ(minCol + maxCol + 2, kCols);
        EXPECT_EQ(minRow + maxRow + 2, kRows);
        EXPECT_EQ(topLevel, 4);
    }
    EXPECT_GE(layouts, 3);
}

TEST_F(LayoutFileTest, TheBuiltInLayoutIsTheDefaultLayoutFile) {
    const std::string path = std::string(TOLBEX_SOURCE_DIR) + "/data/LAYOUTS/LAYOUT1.TXL";
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_EQ(kBuiltInLayoutSize, bytes.size());
    EXPECT_EQ(std::memcmp(kBuiltInLayout, bytes.data(), bytes.size()), 0);

    ASSERT_EQ(LoadLayout(nullptr, path.c_str()), 1);
    const BoardRecord fromFile = Board;
    std::memset(&Board, 0, sizeof Board);
    fake::SetCurrentDirectory("/opt/tolbex");
    ASSERT_TRUE(TakeStartDir());
    LoadBuiltInLayout();
    EXPECT_EQ(std::memcmp(&fromFile, &Board, sizeof Board), 0);
    EXPECT_STREQ(GameState.scoresPath, "/opt/tolbex/LAYOUTS/LAYOUT1.txs");
}

TEST(ScoresPath, FollowsTheLayoutPath) {
    const std::pair<const char*, const char*> examples[] = {
        {"/game/LAYOUTS/PYRAMID.TXL", "/game/LAYOUTS/PYRAMID.txs"},
        {"/game/LAYOUTS/PYRAMID", "/game/LAYOUTS/PYRAMID.txs"},
        {"A.BC", "A.BC.txs"},
        {"AB.CD", "AB.CD.txs"},
        {"AB.CDE", "AB.txs"},
        {"X.TXL", "X.txs"},
        {"/x.y/LAYOUT", "/x.y/LAYOUT.txs"},
        {"/game/a.tx", "/game/a.tx.txs"},
        {"", ".txs"},
    };
    for (const auto& [layout, scores] : examples) {
        char out[500];
        std::memset(out, 'z', sizeof out);
        DeriveScoresPath(layout, out);
        EXPECT_STREQ(out, scores) << layout;
    }
    // A path that fills its buffer is cut rather than overrun.
    std::string longPath(499, 'p');
    char out[500];
    DeriveScoresPath(longPath.c_str(), out);
    EXPECT_EQ(std::strlen(out), 499u);
    EXPECT_EQ(std::string(out).substr(0, 495), longPath.substr(0, 495));
}

TEST_F(LayoutFileTest, AnUnreadableFileKeepsTheBoardButTakesItsScoresPath) {
    const std::string good = dir.File("GOOD.TXL");
    WriteText(good, TextLayout(Rectangle144()));
    ASSERT_EQ(LoadLayout(nullptr, good.c_str()), 1);
    const BoardRecord before = Board;
    const std::string missing = dir.File("MISSING.TXL");
    EXPECT_EQ(LoadLayout(nullptr, missing.c_str()), 0);
    ASSERT_EQ(fake::Messages().size(), 1u);
    EXPECT_EQ(fake::Messages()[0].text, missing + " : read error");
    EXPECT_EQ(fake::Messages()[0].caption, "Tolbex");
    EXPECT_EQ(fake::Messages()[0].style, platform::MB_OK | platform::MB_ICONEXCLAMATION);
    EXPECT_EQ(std::memcmp(&before, &Board, sizeof Board), 0);
    EXPECT_STREQ(GameState.scoresPath, dir.File("MISSING.txs").c_str());
}

TEST_F(LayoutFileTest, RefusedLayoutsAreNamedAndKeepThePreviousBoard) {
    const std::string good = dir.File("GOOD.TXL");
    WriteText(good, TextLayout(Rectangle144()));
    std::vector<Pos> short140 = Rectangle144();
    short140.resize(140);
    std::vector<Pos> extra = Rectangle144();
    extra.push_back({1, 0, 0});
    std::vector<Pos> overlapping = Rectangle144();
    overlapping.back() = {0, 17, 29};   // half over its neighbours on the level
    std::vector<Pos> withMarks = Rectangle144();
    withMarks.pop_back();
    withMarks.push_back({0, 19, 32});   // accepted mark, but no tile: 143 tiles
    std::vector<uint16_t> offGrid;
    for (const Pos& p : Rectangle144()) offGrid.push_back(Entry(p));
    offGrid[17] = Entry({5, 0, 0});
    const int16_t header[10] = {637, 425, 0, 20, 0, 0, 0, 0, 0, 0};
    std::vector<uint16_t> entries;
    for (const Pos& p : Rectangle144()) entries.push_back(Entry(p));
    const int16_t hugeHeader[10] = {30000, 425, 0, 20, 0, 0, 0, 0, 0, 0};
    const int16_t emptyHeader[10] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0};

    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        const char* fault;
    };
    auto text = [](const std::vector<Pos>& tiles) {
        const std::string t = TextLayout(tiles);
        return std::vector<uint8_t>(t.begin(), t.end());
    };
    const Case cases[] = {
        {"SHORT.TXL", text(short140), "the layout must place 144 tiles (it places 140)"},
        {"EXTRA.TXL", text(extra), "the layout must place 144 tiles (it places 145)"},
        {"MARKS.TXL", text(withMarks), "the layout must place 144 tiles (it places 143)"},
        {"OVERLAP.TXL", text(overlapping), "two tiles overlap on level 0"},
        {"OFFGRID.TXL", BinaryLayout(offGrid, header), "tile 18 lies outside the grid"},
        {"HUGE.TXL", BinaryLayout(entries, hugeHeader), "the board of 30000 x 425 pixels"},
        {"FLAT.TXL", BinaryLayout(entries, emptyHeader), "the board of 0 x 0 pixels"},
        {"EMPTY.TXL", {}, "the layout must place 144 tiles (it places 0)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fake::Reset();
        ASSERT_EQ(LoadLayout(nullptr, good.c_str()), 1);
        const BoardRecord before = Board;
        const std::string path = dir.File(c.name);
        WriteBytes(path, c.bytes);
        EXPECT_EQ(LoadLayout(nullptr, path.c_str()), 0);
        ASSERT_EQ(fake::Messages().size(), 1u);
        const fake::MessageRecord& m = fake::Messages()[0];
        EXPECT_EQ(m.text.rfind(path + " : " + c.fault, 0), 0u) << m.text;
        EXPECT_EQ(m.caption, "Tolbex");
        EXPECT_EQ(m.style, platform::MB_OK | platform::MB_ICONEXCLAMATION);
        EXPECT_FALSE(fake::QuitPosted().has_value());
        EXPECT_EQ(std::memcmp(&before, &Board, sizeof Board), 0);
        std::string scores = path;
        scores.replace(scores.size() - 3, 3, "txs");
        EXPECT_STREQ(GameState.scoresPath, scores.c_str());
    }
}

// A text value out of range ends the program with no message and the board untouched. Run in a
// fresh process: the shell's ShutDown acts only once per run.
bool LoadOutOfRangeText() {
    ScratchDir dir;
    fake::Reset();
    fake::SetConfigDirectory(dir.Path());
    const std::string good = dir.File("GOOD.TXL"), bad = dir.File("BAD.TXL");
    WriteText(good, TextLayout(Rectangle144()));
    WriteText(bad, TextLayout(Rectangle144()) + "20 0 0\n");
    const bool loaded = LoadLayout(nullptr, good.c_str()) == 1;
    const BoardRecord before = Board;
    const bool refused = LoadLayout(nullptr, bad.c_str()) == 0;
    return loaded && refused && fake::QuitPosted().has_value() && fake::Messages().empty() &&
           std::memcmp(&before, &Board, sizeof Board) == 0 && std::string(GameState.scoresPath) == dir.File("BAD.txs");
}

void LoadOutOfRangeTextAndExit() {
    const bool ok = LoadOutOfRangeText();
    std::fprintf(stderr, ok ? "ended as expected\n" : "unexpected ending\n");
    std::exit(ok ? 0 : 1);
}

TEST(LayoutFileDeathTest, ATextValueOutOfRangeEndsTheProgramSilently) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(LoadOutOfRangeTextAndExit(), ::testing::ExitedWithCode(0), "ended as expected");
}

TEST_F(LayoutFileTest, TheChooserOffersLayoutsBelowTheHomeDirectory) {
    fake::SetCurrentDirectory(dir.Path());
    ASSERT_TRUE(TakeStartDir());
    const std::string first = dir.File("FIRST.TXL"), second = dir.File("SECOND.TXL"), bad = dir.File("BAD.TXL");
    WriteText(first, TextLayout(Rectangle144()));
    std::mt19937 rng(7);
    WriteText(second, TextLayout(RandomLayout(rng)));
    WriteText(bad, "1 1 0\n");
    std::strcpy(Settings.layoutPath, first.c_str());
    ASSERT_EQ(LoadLayout(nullptr, Settings.layoutPath), 1);
    const BoardRecord firstBoard = Board;

    // Cancelled: nothing changes.
    fake::QueueFileAnswer(std::nullopt);
    EXPECT_EQ(ChooseLayout(nullptr), 0);
    ASSERT_EQ(fake::FileDialogs().size(), 1u);
    const fake::FileDialogRecord& d = fake::FileDialogs()[0];
    EXPECT_FALSE(d.save);
    EXPECT_EQ(d.title, "Tolbex - Choose a layout");
    EXPECT_EQ(d.filterName, "Layouts (*.TXL)");
    EXPECT_EQ(d.filterPattern, "*.TXL");
    EXPECT_TRUE(d.allFilesFilter);
    EXPECT_EQ(d.filterIndex, 1);
    EXPECT_EQ(d.initialDir, dir.Path() + "/LAYOUTS");
    EXPECT_EQ(d.defExt, "TXL");
    EXPECT_EQ(d.flags, platform::OFN_FILEMUSTEXIST | platform::OFN_PATHMUSTEXIST | platform::OFN_SHOWHELP);
    EXPECT_STREQ(Settings.layoutPath, first.c_str());
    EXPECT_STREQ(GameState.scoresPath, dir.File("FIRST.txs").c_str());
    EXPECT_EQ(std::memcmp(&firstBoard, &Board, sizeof Board), 0);

    // A refused file: its message, then the game goes on as it was.
    fake::QueueFileAnswer(bad);
    EXPECT_EQ(ChooseLayout(nullptr), 0);
    EXPECT_EQ(fake::Messages().size(), 1u);
    EXPECT_STREQ(Settings.layoutPath, first.c_str());
    EXPECT_STREQ(GameState.scoresPath, dir.File("FIRST.txs").c_str());
    EXPECT_EQ(std::memcmp(&firstBoard, &Board, sizeof Board), 0);

    // Chosen: the path is kept in the settings and the board holds the new layout.
    fake::QueueFileAnswer(second);
    EXPECT_EQ(ChooseLayout(nullptr), 1);
    EXPECT_STREQ(Settings.layoutPath, second.c_str());
    EXPECT_STREQ(GameState.scoresPath, dir.File("SECOND.txs").c_str());
    ExpectConsistentBoard("chosen");
    EXPECT_NE(std::memcmp(&firstBoard.tiles, &Board.tiles, sizeof Board.tiles), 0);
}

}  // namespace
