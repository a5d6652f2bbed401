// The exact solver: whether the tiles still on a board can all be taken off by pairs, with one
// winning sequence when they can. It uses the game's own free-tile and matching rules and never
// writes the game's records, so it can run on a copy of the board away from the game.
#pragma once

#include <cstdint>

#include "board/state.h"

enum class SolveVerdict : uint8_t { Winnable, NotWinnable, Unknown };

struct SolveResult {
    SolveVerdict verdict;
    int pairCount;               // Winnable: the pairs of one winning sequence, in playing order
    MovePair pairs[72];
    long nodes;                  // positions searched
};

// Decides whether `board` (tiles with face 0 are removed) can be cleared; never writes the game's
// records. Unknown when more than `nodeBudget` positions would have to be searched, or when the
// grid holds something that no game produces (a tile judged more than twice, covers in a cycle).
SolveResult SolveBoard(const BoardRecord& board, long nodeBudget);

// The same, also stopping with Unknown once `microseconds` of time have passed (0: no limit).
// Only for measuring: a time limit makes the verdict depend on the machine.
SolveResult SolveBoardTimed(const BoardRecord& board, long nodeBudget, long microseconds);
