// A search for the tools and benchmarks: the engine plays one move of a
// given position at a fixed depth or time, with the books, the learning,
// pondering and the autosave off.
#pragma once

#include <cstdint>
#include <string>

#include "engine/position/types.h"

struct FixedSearchResult {
  Move move;          // the move played, 0 when the side to move had none
  int32_t score;      // from the side to move's view
  int32_t depth;      // completed iterations
  uint64_t nodes;     // nodes searched
  uint32_t ms;        // wall time of the think
};

// Turns the books, learning, pondering and autosave off, sets the
// evaluator's knowledge level and the transposition table size.
void PrepareFixedSearchEngine(int32_t knowledgeLevel, int32_t hashMegabytes);
// Reads the FEN into the engine position as the start of a new game. Fails,
// with a reason, when the position has not one king per side inside its
// palace, a piece off the board, or the side not to move in check.
bool SetUpFixedSearchPosition(const char* fen, std::string* error);
// Plays one move by Think in play mode: depth > 0 searches that many
// iterations (level mode 2); otherwise moveTimeMs per move (level mode 1).
FixedSearchResult RunFixedSearch(int32_t depth, uint32_t moveTimeMs);
// How many iterations of the last search ran to their end (its unfinished
// last iteration, when it was stopped, is not counted).
int CompletedIterations();
