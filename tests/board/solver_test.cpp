// The solver against the game's own rules: its free tiles and matches agree with UpdateFreeFlags
// and TilesMatch on positions of every shipped layout, every winning sequence empties the board
// when played through TryPair, "not winnable" agrees with a plain exhaustive search on small
// boards, and a search cut short says Unknown.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <algorithm>
#include <vector>

#include "board/deal.h"
#include "board/solver.h"
#include "board/solver_model.h"
#include "tests/board/test_boards.h"

namespace {

std::vector<std::string> ShippedLayouts() {
    std::vector<std::string> paths;
    for (const auto& entry : std::filesystem::directory_iterator(TOLBEX_SOURCE_DIR "/data/LAYOUTS"))
        if (entry.path().extension() == ".TXL") paths.push_back(entry.path().string());
    return paths;
}

class Solver : public ::testing::Test {
protected:
    void SetUp() override { testboard::ResetAll(); }
};

// The model's free tiles and matches against the game's on the current Board.
void ExpectModelAgrees(const std::string& where) {
    UpdateFreeFlags();
    solver::Model model;
    solver::BuildModel(Board, model);
    ASSERT_TRUE(model.sound) << where;
    const solver::Bits none;
    for (int t = 0; t < kTileCount; ++t)
        ASSERT_EQ(model.IsFree(t, none), Board.tiles[t].free == 1) << where << " tile " << t;
    for (int a = 0; a < kTileCount; ++a)
        for (int b = 0; b < kTileCount; ++b) {
            const bool modelMatch = a != b && model.IsFree(a, none) && model.IsFree(b, none) &&
                                    model.tiles[a].cls == model.tiles[b].cls;
            ASSERT_EQ(modelMatch, TilesMatch(a, b)) << where << " tiles " << a << ", " << b;
        }
}

TEST_F(Solver, FreeTilesAndMatchesAgreeWithTheRulesOnEveryShippedLayout) {
    std::mt19937 random(7);
    int positions = 0;
    for (const std::string& path : ShippedLayouts()) {
        ASSERT_EQ(LoadLayout(nullptr, path.c_str()), 1) << path;
        for (int deal = 0; deal < 25; ++deal) {
            RestartGame(nullptr);   // the cells of the tiles taken off come back
            fake::SetTime(5000 + deal);
            DealTiles();
            UpdateFreeFlags();
            // Random open pairs until none is left, checking every position on the way.
            for (;;) {
                ExpectModelAgrees(path + " deal " + std::to_string(deal));
                ++positions;
                BuildMoveList();
                if (GameState.moveCount == 0) break;
                const MovePair m = Board.moves[random() % GameState.moveCount];
                TryPair(m.first, m.second);
            }
        }
    }
    EXPECT_GT(positions, 1000);
}

// A plain exhaustive search through the game's own routines: every open pair of every position,
// positions already seen skipped. Only for boards of a few dozen tiles.
class PlainSearch {
public:
    bool Winnable() {
        UpdateFreeFlags();
        return Search();
    }

private:
    bool Search() {
        if (GameState.tilesLeft == 0) return true;
        std::string key;
        for (const TileRecord& t : Board.tiles) key += t.face ? '1' : '0';
        if (!seen_.insert(key).second) return false;
        BuildMoveList();
        const std::vector<MovePair> moves(Board.moves, Board.moves + GameState.moveCount);
        for (const MovePair m : moves) {
            RemovePair(m.first, m.second);
            UpdateFreeFlags();
            const bool won = Search();
            UndoMove(nullptr);
            if (won) return true;
        }
        return false;
    }
    std::set<std::string> seen_;
};

// Plays the sequence through TryPair on the game's records; true when the board ends empty.
bool ReplayEmptiesTheBoard(const SolveResult& result) {
    UpdateFreeFlags();
    for (int k = 0; k < result.pairCount; ++k) {
        const int before = GameState.tilesLeft;
        TryPair(result.pairs[k].first, result.pairs[k].second);
        if (GameState.tilesLeft != before - 2) return false;
    }
    return GameState.tilesLeft == 0;
}

// A small random board: `count` tiles on up to three levels of a 6 x 10 cell area, at whole and
// half offsets (rows and columns of any parity), upper tiles over lower ones or beside them, and
// faces of a few classes in even numbers, the four-face classes mixed in.
int RandomSmallBoard(std::mt19937& random, int count) {
    std::vector<testboard::Pos> positions;
    std::set<std::tuple<int, int, int>> used;
    for (int tries = 0; static_cast<int>(positions.size()) < count && tries < 5000; ++tries) {
        const int level = static_cast<int>(random() % 3);
        const int row = 2 + static_cast<int>(random() % 5);
        const int col = 3 + static_cast<int>(random() % 9);
        bool clash = false;
        for (int dr = -1; dr <= 1 && !clash; ++dr)
            for (int dc = -1; dc <= 1 && !clash; ++dc) clash = used.count({level, row + dr, col + dc}) > 0;
        if (clash) continue;
        used.insert({level, row, col});
        positions.push_back({level, row, col});
    }
    positions.resize(positions.size() & ~size_t{1});
    const int n = testboard::Build(positions);
    const int8_t faces[] = {1, 2, 3, 28, 29, 30, 31, 36, 32, 35};
    std::vector<int8_t> deck;
    while (static_cast<int>(deck.size()) < n) {
        const int8_t face = faces[random() % (sizeof faces)];
        deck.push_back(face);
        // The partner: the same face, or another of its four-face class.
        deck.push_back(face >= 28 && face <= 31 ? static_cast<int8_t>(28 + random() % 4) : face);
    }
    deck.resize(n);
    std::shuffle(deck.begin(), deck.end(), random);
    for (int t = 0; t < n; ++t) Board.tiles[t].face = deck[t];
    return n;
}

}  // namespace

TEST_F(Solver, VerdictsOnSmallBoardsAgreeWithAPlainExhaustiveSearch) {
    std::mt19937 random(11);
    int winnable = 0, lost = 0, twosAndFours = 0;
    for (int board = 0; board < 3000; ++board) {
        testboard::ResetAll();
        const int n = RandomSmallBoard(random, 8 + 2 * static_cast<int>(random() % 9));
        ASSERT_GE(n, 8);
        // Boards whose classes all hold two or four tiles go to the search over pairings, the
        // others to the search over moves; both must be well represented.
        solver::Model model;
        solver::BuildModel(Board, model);
        bool pairings = true;
        for (int c = 0; c < model.classCount; ++c) {
            const int count = model.classMembers[c].Count();
            pairings = pairings && (count == 2 || count == 4);
        }
        twosAndFours += pairings;
        const SolveResult result = SolveBoard(Board, 1000000);
        ASSERT_NE(result.verdict, SolveVerdict::Unknown) << "board " << board;
        const bool plain = PlainSearch().Winnable();
        ASSERT_EQ(result.verdict == SolveVerdict::Winnable, plain) << "board " << board << " of " << n << " tiles";
        if (plain) {
            ++winnable;
            ASSERT_TRUE(ReplayEmptiesTheBoard(result)) << "board " << board;
        } else {
            ++lost;
        }
    }
    // Both verdicts must be well represented for the comparison to mean anything.
    EXPECT_GT(winnable, 300);
    EXPECT_GT(lost, 300);
    EXPECT_GT(twosAndFours, 300);
    EXPECT_LT(twosAndFours, 2700);
}

TEST_F(Solver, ABudgetTooSmallGivesUnknownAndTheRecordsStayUntouched) {
    ASSERT_EQ(LoadLayout(nullptr, TOLBEX_SOURCE_DIR "/data/LAYOUTS/LAYOUT1.TXL"), 1);
    int unknown = 0, settled = 0;
    for (int deal = 0; deal < 20; ++deal) {
        fake::SetTime(700 + deal);
        DealTiles();
        UpdateFreeFlags();
        const BoardRecord before = Board;
        const GameStateRecord state = GameState;
        const SolveResult tight = SolveBoard(Board, 3);
        EXPECT_EQ(std::memcmp(&before, &Board, sizeof Board), 0);
        EXPECT_EQ(std::memcmp(&state, &GameState, sizeof GameState), 0);
        EXPECT_LE(tight.nodes, 4);
        if (tight.verdict == SolveVerdict::Unknown) {
            ++unknown;
        } else {
            // Only a deal settled within three positions may be settled with that budget, and
            // then the same way as with room to spare.
            ++settled;
            EXPECT_EQ(tight.verdict, SolveBoard(Board, 1000000).verdict);
        }
    }
    EXPECT_GT(unknown, 10);
}

TEST_F(Solver, WinningSequencesOfFullDealsReplayOnEveryShippedLayout) {
    // Full deals are mostly won by the quick descents, whose sequences (some starting from an
    // earlier descent's pairs) must play out through the game's own rules.
    int winnable = 0;
    for (const char* name : {"LAYOUT1.TXL", "CASTLE.TXL"}) {
        for (int deal = 0; deal < 15; ++deal) {
            // A replay takes the tiles off; the layout is loaded again for the next deal.
            ASSERT_EQ(LoadLayout(nullptr, (std::string(TOLBEX_SOURCE_DIR "/data/LAYOUTS/") + name).c_str()), 1);
            fake::SetTime(900 + deal);
            DealTiles();
            UpdateFreeFlags();
            const SolveResult result = SolveBoard(Board, 40000);
            if (result.verdict != SolveVerdict::Winnable) continue;
            ++winnable;
            EXPECT_EQ(result.pairCount, 72) << name << " deal " << deal;
            EXPECT_TRUE(ReplayEmptiesTheBoard(result)) << name << " deal " << deal;
        }
    }
    EXPECT_GE(winnable, 12);
}
