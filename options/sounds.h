// The sound effects: the sounds dialog and its file chooser.
#pragma once

#include <cstdint>

#include "platform/platform.h"

intptr_t SoundsDialogProc(platform::Window dialog, uint32_t message, uintptr_t wParam, intptr_t lParam);
void ChooseSoundFile(platform::Window owner, char pathField[500]);
