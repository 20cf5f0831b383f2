// Attacks worked out by walking the board on files and ranks, independent of
// the engine's attack tests and line tables, for brute-force comparisons.
#pragma once

#include "engine/position/position.h"

namespace testing_support {

// Occupied squares strictly between a and b; -1 when a and b are the same
// square or not on one file or rank.
int PiecesBetween(Square a, Square b);

// Whether the piece, standing on `from` (board may or may not hold it
// there), attacks `target` by its own rule on the current board. Kings
// attack nothing here. A cannon needs cannonScreens pieces between (1 for a
// capture, 2 for the strong counts).
bool AttacksByRule(int piece, Square from, Square target, int cannonScreens = 1);

}  // namespace testing_support
