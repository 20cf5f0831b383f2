#include "engine/search/search_tables.h"

#include <cstring>

uint32_t historyTable[15][172 * 172];
uint32_t followPv;
int32_t iterationDepth;
int32_t ponderMove;
uint64_t moveTriedScore[15][172 * 172];
uint64_t moveCutScore[15][172 * 172];
WrittenRows historyRowsWritten;
WrittenRows cutRowsWritten;
WrittenRows triedRowsWritten;

namespace {

// Zeroes the written rows of `table` ([15][172 * 172] viewed as 2580 rows
// of 172 counters) and forgets them.
template <typename Counter>
void ClearWrittenRows(Counter (&table)[15][172 * 172], WrittenRows& rows) {
  Counter* cells = &table[0][0];
  for (uint32_t i = 0; i < rows.count; ++i) {
    const uint32_t row = rows.list[i];
    std::memset(cells + static_cast<size_t>(row) * kOrderingRowLength, 0,
                kOrderingRowLength * sizeof(Counter));
    rows.marked[row] = 0;
  }
  rows.count = 0;
}

constexpr uint32_t kRedKnightType = kKnight;
constexpr uint32_t kBlackKnightType = kKnight + 7;

// Red's usual knight development moves as (file, rank) from -> to; black's
// are the same with every rank r read as 9 - r.
struct KnightStep {
  int fromFile, fromRank, toFile, toRank;
};
constexpr KnightStep kKnightSteps[12] = {
    {7, 3, 6, 1}, {5, 3, 6, 1}, {1, 3, 2, 1}, {3, 3, 2, 1}, {6, 5, 7, 3}, {6, 5, 5, 3},
    {2, 5, 3, 3}, {2, 5, 1, 3}, {3, 8, 5, 7}, {5, 7, 6, 5}, {5, 8, 3, 7}, {3, 7, 2, 5}};

}  // namespace

void ClearHistoryTables() {
  ClearWrittenRows(historyTable, historyRowsWritten);
  ClearWrittenRows(moveTriedScore, triedRowsWritten);
  ClearWrittenRows(moveCutScore, cutRowsWritten);
}

void MarkHistoryTableWritten() {
  for (uint32_t type = 0; type < 15; ++type)
    for (uint32_t from = 0; from < kOrderingRowLength; ++from)
      historyRowsWritten.Mark(type, MakeMoveCode(from, 0));
}

// Rows never written are zero: the largest counter and the scaling only
// need the written ones.
void RescaleHistory() {
  uint32_t* cells = &historyTable[0][0];
  uint32_t largest = 1;
  for (uint32_t i = 0; i < historyRowsWritten.count; ++i) {
    const uint32_t* row = cells + static_cast<size_t>(historyRowsWritten.list[i]) * kOrderingRowLength;
    for (uint32_t k = 0; k < kOrderingRowLength; ++k)
      if (row[k] > largest) largest = row[k];
  }
  if (largest > kHistoryScaleLimit) {
    for (uint32_t i = 0; i < historyRowsWritten.count; ++i) {
      uint32_t* row = cells + static_cast<size_t>(historyRowsWritten.list[i]) * kOrderingRowLength;
      for (uint32_t k = 0; k < kOrderingRowLength; ++k)
        row[k] = static_cast<uint32_t>(static_cast<uint64_t>(row[k]) * kHistoryScaleLimit / largest);
    }
  }
  for (const KnightStep& k : kKnightSteps) {
    const Square redFrom = MakeSquare(k.fromFile, k.fromRank);
    const Square redTo = MakeSquare(k.toFile, k.toRank);
    const Square blackFrom = MakeSquare(k.fromFile, 9 - k.fromRank);
    const Square blackTo = MakeSquare(k.toFile, 9 - k.toRank);
    AddHistoryScore(kRedKnightType, MakeMoveCode(redFrom, redTo), 1);
    AddHistoryScore(kBlackKnightType, MakeMoveCode(blackFrom, blackTo), 1);
  }
}
