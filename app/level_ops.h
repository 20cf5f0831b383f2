// The level operations shared by the start-up and the level commands.
#pragma once

#include <cstdint>

// Level mode 1: a fixed time per move; the clock counts up from zero.
void SetTimePerMove(int32_t ms);
// Level mode 3: a game clock of minutes and seconds, reset.
void SetGameTime(int32_t minutes, int32_t seconds);
// Refreshes the clock and mini clock windows when open.
void RefreshClockWindows();
