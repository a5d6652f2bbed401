// The two solver options in the running game: the dead-end warning's pieces on small boards
// whose fate is known, that they go away with Undo and with the option, that with both options
// off the status text stays as it was, and that winnable deals are proved, repeatable within one
// second and differ from plain deals only when the first deal could not be proved.
#include "board/faces.h"
#include "board/solver.h"
#include "shell/deadends.h"
#include "shell_fixture.h"
#include "tests/board/test_boards.h"

namespace shelltest {
namespace {

class DeadEndTest : public StartedTest {
protected:
    void SetUp() override {
        StartedTest::SetUp();
        Settings.showChrono = 0;
    }
    struct Placed { int level, row, col; int8_t face; };
    // Replaces the game by a board of the given tiles, as a fresh deal.
    std::vector<int> SmallBoard(const std::vector<Placed>& placed) {
        std::vector<testboard::Pos> positions;
        for (const Placed& p : placed) positions.push_back({p.level, p.row, p.col});
        testboard::Build(positions);
        std::vector<int> index;
        for (const Placed& p : placed) {
            index.push_back(Board.cells[p.level][p.row][p.col]);
            Board.tiles[index.back()].face = p.face;
        }
        GameState.historyDepth = 0;
        GameState.selected = kNone;
        UpdateFreeFlags();
        return index;
    }
    static void Pair(int a, int b) { ClickTile(a), ClickTile(b); }
    static std::vector<int8_t> Faces() {
        std::vector<int8_t> faces;
        for (const TileRecord& t : Board.tiles) faces.push_back(t.face);
        return faces;
    }
};

TEST_F(DeadEndTest, WarningNamesTheUndosBackClearsWithUndoAndWithTheOptionAndIsKept) {
    Command(IDM_WARN_DEAD_ENDS);
    EXPECT_TRUE(Settings.warnDeadEnds == 1 && fake::IsChecked(IDM_WARN_DEAD_ENDS));
    // x1 lies on y1 and y2 on x2; x3 and x4 stand alone. Taking x3 with x4 leaves x1 to pair
    // with x2, under y2, whose partner y1 lies under x1: lost, and one undo away from a win.
    const auto t = SmallBoard({{1, 2, 2, 1}, {0, 2, 2, 2}, {0, 2, 8, 1}, {1, 2, 8, 2}, {0, 2, 14, 1}, {0, 2, 20, 1}});
    const int x3 = t[4], x4 = t[5];
    WatchPosition();   // winnable: no piece
    EXPECT_EQ(fake::StatusText(), "6 Tiles");
    Pair(x3, x4);
    ASSERT_EQ(GameState.tilesLeft, 4);
    EXPECT_EQ(fake::StatusText(), "4 Tiles" + kGap + "No way out: Undo 1");
    Command(IDM_UNDO);
    EXPECT_EQ(fake::StatusText(), "6 Tiles");
    Pair(x3, x4);
    Command(IDM_WARN_DEAD_ENDS);   // off: the piece goes at once
    EXPECT_EQ(Settings.warnDeadEnds, 0);
    EXPECT_EQ(fake::StatusText(), "4 Tiles");

    // Two of a kind, one on the other: no undo helps, and the pieces come after the chrono.
    Command(IDM_WARN_DEAD_ENDS);
    Settings.showChrono = 1;
    const auto s = SmallBoard({{1, 2, 2, 1}, {0, 2, 2, 1}, {0, 2, 8, 2}, {0, 2, 14, 2}});
    WatchPosition();
    const std::string chrono = kGap + "Chrono : " + std::string(GameState.chronoText);
    EXPECT_EQ(fake::StatusText(), "4 Tiles" + chrono + kGap + "This deal cannot be won");
    Pair(s[2], s[3]);
    EXPECT_EQ(fake::StatusText(), "2 Tiles" + chrono + kGap + "This deal cannot be won");

    // Both options are kept in the settings file.
    Command(IDM_WINNABLE_DEALS);
    Restart();
    EXPECT_TRUE(Settings.winnableDeals == 1 && Settings.warnDeadEnds == 1);
    EXPECT_TRUE(fake::IsChecked(IDM_WINNABLE_DEALS) && fake::IsChecked(IDM_WARN_DEAD_ENDS));
    EXPECT_EQ(ReadFile(settingsPath).substr(0, 2), std::string("\1\1"));
}

TEST_F(DeadEndTest, WithBothOptionsOffTheStatusTextIsUnchanged) {
    Settings.showChrono = 1;
    SmallBoard({{1, 2, 2, 1}, {0, 2, 2, 1}, {0, 2, 8, 2}, {0, 2, 14, 2}});
    Command(IDM_SHOW_EXPOSED);
    fake::Send(platform::WM_PAINT);
    EXPECT_EQ(fake::StatusText(), "4 Tiles" + kGap + "Chrono : " + std::string(GameState.chronoText));
    EXPECT_FALSE(fake::IsChecked(IDM_WARN_DEAD_ENDS) || fake::IsChecked(IDM_WINNABLE_DEALS));
    EXPECT_EQ(std::string(SolverStatusPiece()), "");
}

TEST_F(DeadEndTest, WinnableDealsAreProvedAndRepeatWithinOneSecond) {
    // On the shipped Lantern: on the fixture's nine flat rows most deals are lost, and whether
    // a winnable one turns up within the bounded effort is luck. A plain deal for reference.
    fs::copy_file(fs::path(TOLBEX_SOURCE_DIR) / "data/LAYOUTS/LAYOUT1.TXL", layoutA, fs::copy_options::overwrite_existing);
    Restart();
    fake::SetTime(4242);
    Command(IDM_NEW);
    const std::vector<int8_t> plain = Faces();
    const SolveVerdict plainVerdict = SolveBoard(Board, 1000000).verdict;

    Command(IDM_WINNABLE_DEALS);
    EXPECT_TRUE(fake::IsChecked(IDM_WINNABLE_DEALS));
    Command(IDM_NEW);
    const std::vector<int8_t> first = Faces();
    EXPECT_EQ(SolveBoard(Board, 1000000).verdict, SolveVerdict::Winnable);
    EXPECT_EQ(first == plain, plainVerdict == SolveVerdict::Winnable);
    for (const TileRecord& tile : Board.tiles)   // pictures follow the faces
        EXPECT_TRUE(tile.sheetX == FaceSheetX(tile.face) && tile.sheetY == FaceSheetY(tile.face));
    Command(IDM_NEW);
    EXPECT_EQ(Faces(), first);
    ClickTile(FreeTiles()[0]);
    Command(IDM_RESTART);   // brings back this deal, not another
    EXPECT_EQ(Faces(), first);
}

}  // namespace
}  // namespace shelltest
