// Saved games: a 9453-byte image of the board, the history, the Top 10 and the chrono.
#pragma once

#include <cstdint>

#include "platform/platform.h"

constexpr long kSavedGameSize = 9453;

void SaveGame(platform::Window owner);
int16_t LoadGame(platform::Window owner);   // 1 when a game was read
