#include "engine/search/search_tables.h"

#include <cstring>

uint32_t historyTable[15][172 * 172];
uint32_t followPv;
int32_t iterationDepth;
int32_t ponderMove;
uint64_t moveTriedScore[15][172 * 172];
uint64_t moveCutScore[15][172 * 172];

void ClearHistoryTables() {
  std::memset(historyTable, 0, sizeof historyTable);
  std::memset(moveTriedScore, 0, sizeof moveTriedScore);
  std::memset(moveCutScore, 0, sizeof moveCutScore);
}

namespace {

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

void RescaleHistory() {
  uint32_t largest = 1;
  for (const auto& row : historyTable)
    for (uint32_t value : row)
      if (value > largest) largest = value;
  if (largest > kHistoryScaleLimit) {
    for (auto& row : historyTable)
      for (uint32_t& value : row)
        value = static_cast<uint32_t>(static_cast<uint64_t>(value) * kHistoryScaleLimit / largest);
  }
  for (const KnightStep& k : kKnightSteps) {
    const Square redFrom = MakeSquare(k.fromFile, k.fromRank);
    const Square redTo = MakeSquare(k.toFile, k.toRank);
    const Square blackFrom = MakeSquare(k.fromFile, 9 - k.fromRank);
    const Square blackTo = MakeSquare(k.toFile, 9 - k.toRank);
    historyTable[kRedKnightType][172 * redFrom + redTo] += 1;
    historyTable[kBlackKnightType][172 * blackFrom + blackTo] += 1;
  }
}
