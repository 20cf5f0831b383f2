// New-game reset of the engine position and the game record, the handicap
// removal and the one-time knight tables.
#pragma once

#include <cstdint>

// Handicap code 0..9: red pieces removed at every reset.
extern int32_t Handicap;

// Puts the engine position and the game record back to the standard start
// position. full = 1 at start-up also clears the search tables, resets the
// clock and opens the learning files.
void ResetGameState(int full);
void ApplyHandicap();
void InitTwoStepTables();
