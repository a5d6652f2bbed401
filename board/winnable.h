// What the player gets from the solver: deals proved winnable, and how far back the last
// winnable position lies.
#pragma once

#include <atomic>
#include <cstdint>

#include "board/solver.h"
#include "board/state.h"

// Deals as DealTiles does; when Settings.winnableDeals is 1, deals again until the solver proves
// the deal winnable, within a fixed amount of search (about a second). The retries are drawn from
// the first deal, so two deals made in the same second on the same layout are still the same.
// Returns false when no deal was proved winnable in time: the last deal then stands.
bool DealForPlay();

// The search allowed for one retry and for all of them.
constexpr long kDealNodeBudget = 20000;
constexpr long kDealTotalNodeBudget = 250000;

// Where a position stands: winnable; lost but winnable again after `undos` undos; lost from the
// deal on; or not settled within the search allowed.
struct WayBack {
    enum Kind : uint8_t { Winnable, Undo, DealLost, Unknown } kind;
    int undos;
};

// Takes pairs back from `historyDepth` entries of board.history on a copy of `board`, solving at
// each step, until a winnable position comes back. Each solve may search `nodeBudget` positions.
// When `cancel` is given and becomes true, stops between two solves with Unknown.
WayBack FindWayBack(const BoardRecord& board, int historyDepth, long nodeBudget,
                    const std::atomic<bool>* cancel = nullptr);

// Puts the pair of history entry `entry` back on `board`, as Undo does (both tiles with the face
// recorded, their cells filled again), without touching the game's records.
void TakeBackOnCopy(BoardRecord& board, const HistoryEntry& entry);
