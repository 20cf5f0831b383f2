// Recognition of named opening positions.
#pragma once

#include <cstdint>

// Index 1..21 of the last named opening met, 0 none; follows the shown game
// and is reset with the game.
extern int32_t currentOpening;

// Index of the named opening whose position is on the given board, 0 none.
int32_t FindOpeningName(const int8_t* board);
