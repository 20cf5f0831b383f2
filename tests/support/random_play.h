// Positions from play: random legal moves and the master games of the test
// data.
#pragma once

#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "engine/position/position.h"

namespace testing_support {

// One of the moves, drawn with rng.
Move RandomMove(const std::vector<Move>& moves, std::mt19937& rng);
// Like RandomMove, but when there are captures, a capture is drawn unless
// rng() % outOf comes out 0, so that games reach open endgames.
Move RandomMovePreferringCaptures(const std::vector<Move>& moves, std::mt19937& rng,
                                  uint32_t outOf);

// The FEN of every position reached by `games` random games of up to 110
// plies from the start position (moves drawn with a generator seeded with
// seed), and then of every position of the master games of the test data
// (a game that reaches ply 100 goes on from a fresh set-up of its position).
// afterEachMove, when given, runs on each of these positions right after
// its FEN is kept, with the position set up in the engine.
std::vector<std::string> PlayedPositions(uint32_t seed, int games,
                                         const std::function<void()>& afterEachMove = {});

}  // namespace testing_support
