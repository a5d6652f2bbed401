// The status text (tiles left, chrono, hint) and the chrono tick.
#pragma once

#include "platform/platform.h"

void UpdateStatusBar(platform::Window status);
void ChronoTick(platform::Window status);
