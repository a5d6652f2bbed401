// The colours dialog: one button and one swatch for each of the eight colours.
#pragma once

#include <cstdint>

#include "platform/platform.h"

intptr_t ColoursDialogProc(platform::Window dialog, uint32_t message, uintptr_t wParam, intptr_t lParam);
uint32_t ChooseColour(platform::Window owner);   // 0 = nothing chosen
void PaintSwatch(platform::Window dialog, int swatchId, uint32_t colour);
