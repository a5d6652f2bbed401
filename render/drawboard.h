// Drawing the whole board through the off-screen buffer, and clearing it.
#pragma once

#include "platform/platform.h"

void DrawBoard(platform::Window window);
void ClearBoard(platform::Window window);
