// Move notation texts.
#pragma once

#include <cstdint>

#include "engine/position/types.h"

// Writes the WXF (sideways sign ".") or AXF ("=") text of a move just made on
// the engine position: at most 8 bytes with the NUL for Latin letters, 10 for
// Chinese characters.
void FormatWxfMove(Move move, char* out, char sidewaysSign, PieceIndex piece, int chinese);
