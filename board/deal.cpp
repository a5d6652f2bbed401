// Dealing: the 144 faces of a full set go onto the tile slots of the loaded layout at random,
// and a restart takes every removed pair back so that the same deal is played again.
#include "board/deal.h"

#include <cstdlib>

#include "board/click.h"
#include "board/faces.h"
#include "board/state.h"

// The faces in the order in which they are dealt. The order decides which face lands where:
// runs 1-9, 10-18 and 19-27 four times over each, 28-35 once, 36-39 and 40-42 four times over.
const int8_t kDealTable[145] = {
    1,  2,  3,  4,  5,  6,  7,  8,  9,  1,  2,  3,  4,  5,  6,  7,  8,  9,
    1,  2,  3,  4,  5,  6,  7,  8,  9,  1,  2,  3,  4,  5,  6,  7,  8,  9,
    10, 11, 12, 13, 14, 15, 16, 17, 18, 10, 11, 12, 13, 14, 15, 16, 17, 18,
    10, 11, 12, 13, 14, 15, 16, 17, 18, 10, 11, 12, 13, 14, 15, 16, 17, 18,
    19, 20, 21, 22, 23, 24, 25, 26, 27, 19, 20, 21, 22, 23, 24, 25, 26, 27,
    19, 20, 21, 22, 23, 24, 25, 26, 27, 19, 20, 21, 22, 23, 24, 25, 26, 27,
    28, 29, 30, 31, 32, 33, 34, 35,
    36, 37, 38, 39, 36, 37, 38, 39, 36, 37, 38, 39, 36, 37, 38, 39,
    40, 41, 42, 40, 41, 42, 40, 41, 42, 40, 41, 42,
    0,
};

namespace {

// The generator reaches every slot long before this many draws; the bound only guarantees that
// a deal ends whatever the runtime's generator does.
constexpr long kMaxDrawsPerFace = 1000000;

}  // namespace

void DealTiles() {
    int8_t table[145];
    for (int k = 0; k < 145; ++k) table[k] = kDealTable[k];

    GameState.selected = kNone;
    GameState.tilesLeft = kTileCount;
    GameState.paused = 0;
    GameState.historyDepth = 0;
    GameState.won = 0;
    GameState.endShown = 0;
    GameState.hintCursor = 0;
    GameState.moveCount = 0;
    GameState.seconds = 0;
    GameState.minutes = 0;
    GameState.hours = 0;
    GameState.loadedGame = 0;

    for (TileRecord& tile : Board.tiles) tile.face = 0;

    for (int k = 0; k < kTileCount; ++k) {
        // Reseeded before every face on purpose: within one second every face replays the same
        // sequence of draws and takes its first slot still empty, so the deal is the order in
        // which that one sequence first reaches each slot, and two deals in one second are equal.
        std::srand(static_cast<unsigned>(platform::Time()));
        int slot = std::rand() % kTileCount;
        for (long draws = 1; Board.tiles[slot].face != 0; ++draws) {
            if (draws >= kMaxDrawsPerFace) {
                slot = 0;
                while (Board.tiles[slot].face != 0) ++slot;
                break;
            }
            slot = std::rand() % kTileCount;
        }
        TileRecord& tile = Board.tiles[slot];
        tile.face = table[k];
        tile.sheetX = FaceSheetX(table[k]);
        tile.sheetY = FaceSheetY(table[k]);
    }
}

void RestartGame(platform::Window window) {
    // Each undo puts one pair back and recomputes the free flags; the message of an empty history
    // is never reached because the loop stops at depth 0.
    while (GameState.historyDepth > 0 && GameState.historyDepth <= kHistoryCapacity) UndoMove(window);
    GameState.selected = kNone;
    GameState.won = 0;
    GameState.endShown = 0;
    GameState.seconds = 0;
    GameState.minutes = 0;
    GameState.hours = 0;
}
