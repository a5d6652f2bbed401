// Dealing the 144 faces of a full set onto the layout, and restarting the same deal.
#pragma once

#include <cstdint>

#include "platform/platform.h"

extern const int8_t kDealTable[145];   // 144 faces in dealing order, then 0

void DealTiles();
void RestartGame(platform::Window window);
