// Moves as lists: building them from coordinates, reading what a generator
// wrote into the picker record, printing them, and the history values the
// generators score quiet moves with.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/position/position.h"

namespace testing_support {

// The move from (f1, r1) to (f2, r2).
Move M(int f1, int r1, int f2, int r2);

// Empties the picker record of the current ply, runs the generator and
// returns what it wrote there.
std::vector<MoveEntry> GeneratedEntries(const std::function<void()>& generator);
// The same, the moves only.
std::vector<Move> GeneratedMoves(const std::function<void()>& generator);

std::vector<Move> MovesOf(const std::vector<MoveEntry>& entries);
std::vector<Move> Sorted(std::vector<Move> moves);
// Coordinate texts ("h2e2") in the given order, or sorted by move code.
std::vector<std::string> Texts(const std::vector<Move>& moves);
std::vector<std::string> SortedTexts(std::vector<Move> moves);

// The history value of the move, for the piece now on its from-square.
uint32_t HistoryOf(Move move);
// Fills historyTable with deterministic values: a linear congruential
// sequence from seed, each value masked with mask (a small mask gives many
// ties). The reset clears the table, so tests fill it again after each one.
void FillHistory(uint32_t seed, uint32_t mask);

}  // namespace testing_support
