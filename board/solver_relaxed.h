// A relaxed game, for telling which pairings a loss cannot do without. Internal to
// board/solver*.cpp and its tests.
//
// The tiles of `paired` leave with their partner once both are free; those of a class of
// `fours` (all four on the board, pairing open) only once two of them are free at once, and then
// the other two one by one; every other tile leaves on its own as soon as it is free. Every way
// of clearing the board with the pairs of `paired` plays this game too, and taking a tile off
// only frees others, so where the game sticks does not depend on the order. What it sticks with
// waits only on itself: whatever came before, none of it can leave first while those pairs are
// paired the same way.
#pragma once

#include "board/solver_model.h"

namespace solver {

struct RelaxedGame {
    Bits gone;      // off the board
    Bits free;      // free, still on the board
    Bits paired;
    Bits fours;
    Bits started;   // tiles of `fours` classes whose first two have left
};

// Plays on from the free tiles of `from`, `partner` giving the partner of each paired tile;
// false when more than `limit` tiles left (the game then stops where it got to).
bool PlayRelaxed(const Model& model, const uint8_t* partner, RelaxedGame& game, const Bits& from,
                 int limit = kTileCount);

// For a game that sticks with paired tiles left: peels off what holds back nothing else left (a
// pair, an open class, a single tile), then opens each class of `openable` in turn (plays it as
// an open class of four when all its tiles are left, on its own otherwise) and keeps it open
// when the game still sticks. Returns the classes of `openable` whose pairs it sticks with in the
// end. A class whose play takes off more than a few tiles stays without playing on: such plays
// nearly always come unstuck, and they are most of the cost.
Bits NeededPairings(const Model& model, const uint8_t* partner, RelaxedGame& game, const Bits& openable);

}  // namespace solver
