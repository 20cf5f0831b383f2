// Move-ordering data owned by the search that the generators and pickers
// read: the history table, the capture-ordering values and the PV flags,
// with the search's other ordering counters.
#pragma once

#include <array>
#include <cstdint>

#include "engine/position/types.h"

// The ordering tables below are read directly but written only through
// AddHistoryScore, AddCutScore and AddTriedScore (and RescaleHistory): each
// records the row (coloured PieceType, from square) it writes, so that
// ClearHistoryTables zeroes only the rows written since the last clear. A
// reset or a search that writes nothing then clears nothing, and a search
// clears the few hundred rows it used rather than all 8.9 MB.
constexpr uint32_t kOrderingRowLength = 172;
constexpr uint32_t kOrderingRows = 15 * kOrderingRowLength;

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

// The rows of one ordering table written since it was last zeroed, each
// listed once.
struct WrittenRows {
  uint8_t marked[kOrderingRows];
  uint16_t list[kOrderingRows];
  uint32_t count;

  void Mark(uint32_t type, Move m) {
    const uint32_t row = kOrderingRowLength * type + MoveFrom(m);
    if (marked[row] != 0) return;
    marked[row] = 1;
    list[count++] = static_cast<uint16_t>(row);
  }
};
extern WrittenRows historyRowsWritten;
extern WrittenRows cutRowsWritten;
extern WrittenRows triedRowsWritten;

// Gains of the move m of a piece of coloured type `type` in each table.
inline void AddHistoryScore(uint32_t type, Move m, uint32_t amount) {
  historyRowsWritten.Mark(type, m);
  historyTable[type][kOrderingRowLength * MoveFrom(m) + MoveTo(m)] += amount;
}
inline void AddCutScore(uint32_t type, Move m, uint64_t amount) {
  cutRowsWritten.Mark(type, m);
  moveCutScore[type][kOrderingRowLength * MoveFrom(m) + MoveTo(m)] += amount;
}
inline void AddTriedScore(uint32_t type, Move m, uint64_t amount) {
  triedRowsWritten.Mark(type, m);
  moveTriedScore[type][kOrderingRowLength * MoveFrom(m) + MoveTo(m)] += amount;
}
// For set-ups that write historyTable directly (tests that give moves
// chosen ordering values): the next clear zeroes the whole table.
void MarkHistoryTableWritten();

// History counters above this are scaled down after a deep iteration.
constexpr uint32_t kHistoryScaleLimit = 1000000;

// Zeroes historyTable and the search's other move-ordering tables
// (moveTriedScore, moveCutScore): the rows written since the last clear.
void ClearHistoryTables();
// After a deep iteration: scales the history so that its largest counter is
// at most 1,000,000, then gives the usual knight development moves of both
// sides one point each.
void RescaleHistory();
