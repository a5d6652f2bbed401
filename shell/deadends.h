// The solver in the shell: deals proved winnable when the option asks for them, and the warning
// in the status bar when the position can no longer be won.
#pragma once

#include "platform/platform.h"

// Deals a new game (start-up, New, Layout): DealForPlay, remembering whether it had to give up.
void DealNewGame();

// Called after every message that may have changed the board. When the warning is on and the
// position is not the one last looked at, the solver looks at it away from the UI thread; the
// status bar is rewritten when the answer comes back.
void WatchPosition();

// The menu commands of the two options.
void CmdWinnableDeals(platform::Window window);
void CmdWarnDeadEnds(platform::Window window);

// The status piece of the two options, appended after the others; empty when there is nothing
// to say (always with both options off).
const char* SolverStatusPiece();
