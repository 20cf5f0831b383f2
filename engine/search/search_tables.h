// Move-ordering data owned by the search that the generators and pickers
// read: the history table, the capture-ordering values and the PV flags.
#pragma once

#include <array>
#include <cstdint>

#include "engine/position/types.h"

// Ordering value of a quiet move: [coloured PieceType][172 * from + to].
extern uint32_t historyTable[15][172 * 172];
// Victim value of captures and tie-break value of the pickers, by PieceIndex.
inline constexpr std::array<int32_t, 33> pieceOrderValue = {
    0,     10000, 185, 185, 195, 195, 550, 550, 1280, 1280, 570, 570, 100, 100, 100, 100, 100,
    10000, 185,   185, 195, 195, 550, 550, 1280, 1280, 570, 570, 100, 100, 100, 100, 100};
// While set the pickers offer pvMove first.
extern uint32_t followPv;
// Current iteration depth in plies.
extern int32_t iterationDepth;
// The predicted opponent move the engine ponders on; 0 none.
extern int32_t ponderMove;

// Zeroes historyTable and the search's other move-ordering tables.
void ClearHistoryTables();
