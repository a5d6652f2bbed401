// The main window procedure: the one dispatcher of paints, clicks, the timer and the commands.
#pragma once

#include "platform/platform.h"

intptr_t MainWindowProc(platform::Window window, uint32_t message, uintptr_t wParam, intptr_t lParam);
void PaintBoard(platform::Window window, platform::Window status);
