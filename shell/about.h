// The About box and the help command.
#pragma once

#include "platform/platform.h"

constexpr const char* kVersionLine = "Tolbex 1.3 - mahjong solitaire for the desktop";

intptr_t AboutDialogProc(platform::Window dialog, uint32_t message, uintptr_t wParam, intptr_t lParam);
void ShowHelpContents(platform::Window window);
