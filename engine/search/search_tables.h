// Move-ordering data owned by the search that the generators and pickers
// read: the history table, the capture-ordering values and the PV flags,
// with the search's other ordering counters.
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

// Selective-search counters, [coloured PieceType][172 * from + to]:
// moveCutScore gains for a quiet move that cut off, moveTriedScore for the
// quiet moves tried before it without a cut-off.
extern uint64_t moveTriedScore[15][172 * 172];
extern uint64_t moveCutScore[15][172 * 172];

// History counters above this are scaled down after a deep iteration.
constexpr uint32_t kHistoryScaleLimit = 1000000;

// Zeroes historyTable and the search's other move-ordering tables
// (moveTriedScore, moveCutScore).
void ClearHistoryTables();
// After a deep iteration: scales the history so that its largest counter is
// at most 1,000,000, then gives the usual knight development moves of both
// sides one point each.
void RescaleHistory();
