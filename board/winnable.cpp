// Deals proved winnable, and the way back from a lost position, both on the solver.
#include "board/winnable.h"

#include <algorithm>
#include <initializer_list>
#include <memory>

#include "board/deal.h"
#include "board/faces.h"

namespace {

uint64_t SplitMix(uint64_t& state) {
    uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

// Shuffles the faces among the slots, the pictures following their faces.
void Reshuffle(uint64_t& state) {
    for (int k = kTileCount - 1; k > 0; --k) {
        const int j = static_cast<int>(SplitMix(state) % static_cast<uint64_t>(k + 1));
        const int8_t face = Board.tiles[k].face;
        Board.tiles[k].face = Board.tiles[j].face;
        Board.tiles[j].face = face;
    }
    for (TileRecord& tile : Board.tiles) {
        tile.sheetX = FaceSheetX(tile.face);
        tile.sheetY = FaceSheetY(tile.face);
    }
}

}  // namespace

bool DealForPlay() {
    DealTiles();
    if (Settings.winnableDeals != 1) return true;
    // The retries are seeded from the first deal's faces, which depend only on the second and
    // the layout.
    uint64_t state = 0x5EED;
    for (const TileRecord& tile : Board.tiles) state = state * 131 + static_cast<uint8_t>(tile.face);
    long spent = 0;
    for (;;) {
        const long budget = std::min(kDealNodeBudget, kDealTotalNodeBudget - spent);
        const SolveResult result = SolveBoard(Board, budget);
        if (result.verdict == SolveVerdict::Winnable) return true;
        spent += result.nodes;
        if (spent >= kDealTotalNodeBudget) return false;
        Reshuffle(state);
    }
}

void TakeBackOnCopy(BoardRecord& board, const HistoryEntry& entry) {
    for (int t : {static_cast<int>(entry.first), static_cast<int>(entry.second)}) {
        if (t < 0 || t >= kTileCount) continue;
        TileRecord& tile = board.tiles[t];
        tile.face = entry.face;
        if (tile.level >= kLevels || tile.row + 1 >= kRows || tile.col + 1 >= kCols) continue;
        for (int dr = 0; dr < 2; ++dr)
            for (int dc = 0; dc < 2; ++dc) board.cells[tile.level][tile.row + dr][tile.col + dc] = static_cast<uint8_t>(t);
    }
}

WayBack FindWayBack(const BoardRecord& board, int historyDepth, long nodeBudget, const std::atomic<bool>* cancel) {
    if (historyDepth < 0 || historyDepth > kHistoryCapacity) return {WayBack::Unknown, 0};
    auto cancelled = [cancel] { return cancel && cancel->load(); };
    const auto copy = std::make_unique<BoardRecord>(board);
    SolveVerdict verdict = SolveBoard(*copy, nodeBudget).verdict;
    if (verdict != SolveVerdict::NotWinnable) return {verdict == SolveVerdict::Winnable ? WayBack::Winnable : WayBack::Unknown, 0};

    // The deal itself first: when it cannot be won, no undo helps.
    if (cancelled()) return {WayBack::Unknown, 0};
    const auto deal = std::make_unique<BoardRecord>(board);
    for (int k = historyDepth - 1; k >= 0; --k) TakeBackOnCopy(*deal, board.history[k]);
    verdict = SolveBoard(*deal, nodeBudget).verdict;
    if (verdict == SolveVerdict::NotWinnable) return {WayBack::DealLost, historyDepth};
    if (verdict == SolveVerdict::Unknown) return {WayBack::Unknown, 0};

    for (int undos = 1; undos < historyDepth; ++undos) {
        if (cancelled()) return {WayBack::Unknown, 0};
        TakeBackOnCopy(*copy, board.history[historyDepth - undos]);
        verdict = SolveBoard(*copy, nodeBudget).verdict;
        if (verdict == SolveVerdict::Winnable) return {WayBack::Undo, undos};
        if (verdict == SolveVerdict::Unknown) return {WayBack::Unknown, 0};
    }
    return {WayBack::Undo, historyDepth};   // the deal, proved winnable above
}
