// Counting the legal-move tree, for testing move generation and for the
// perft tool and benchmark.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "engine/position/types.h"

// Builds the key tables when needed, reads the FEN into the engine position
// and prepares it. Fails, with a reason, when the text does not give a
// position with one king per side inside its palace and no piece off the
// board, or when the side not to move is in check.
bool SetUpPerftPosition(const char* fen, std::string* error);
// The common part of the set-ups from FEN: reads the text (the key tables
// built) into the engine position as the start of a new game, prepares the
// evaluation and shows it. Fails, with a reason, when the position has not
// one king per side inside its palace or the side not to move is in check.
bool LoadFenStartPosition(const char* fen, std::string* error);
// Leaf nodes of the legal-move tree of the engine position to the depth.
uint64_t Perft(int depth);
// The count below each legal root move, in generation order.
void PerftDivide(int depth, const std::function<void(Move, uint64_t)>& report);
