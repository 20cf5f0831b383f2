// Recognition of named opening positions and the opening names in the six
// interface languages.
#pragma once

#include <cstdint>

constexpr int kOpeningCount = 21;

// Index 1..21 of the last named opening met, 0 none; follows the shown game
// and is reset with the game.
extern int32_t currentOpening;

// FEN of each named opening (letter set with H and E, side "w" or "b");
// entry 0 is unused.
extern const char* const openingFens[kOpeningCount + 1];
// Name of each opening in French, English, Spanish, German (Windows-1252),
// Simplified Chinese (GBK) and Traditional Chinese (Big5); row 0 is empty.
extern const char* const openingNameTexts[kOpeningCount + 1][6];

// Index of the named opening whose position (or its left-right mirror image)
// is on the given board with sideToMove to move, 0 none. Changes nothing.
int32_t FindOpeningName(const int8_t* board);
