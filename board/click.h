// The game's answer to the player: clicks, pairs taken off the board, and undo.
#pragma once

#include <cstdint>

#include "platform/platform.h"

void ClickTile(intptr_t point);      // point packed as a mouse message's lParam
void TryPair(int a, int b);
void RemovePair(int a, int b);
void UndoMove(platform::Window window);
