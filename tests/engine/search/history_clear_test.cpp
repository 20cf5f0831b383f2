// Clearing of the move-ordering tables: only the rows written since the last
// clear are zeroed, so every write must be recorded. After writes through
// every path (the three adders at the corners of the tables, a rescale, a
// direct set-up marked as such, real searches) a clear must leave all three
// tables zero, and a clear with nothing written must cost nothing.
#include <gtest/gtest.h>

#include <cstdint>

#include "tests/engine/search/search_harness.h"

namespace {

template <typename Counter>
uint64_t NonZeroCells(const Counter (&table)[15][172 * 172]) {
  uint64_t n = 0;
  for (const auto& row : table)
    for (Counter v : row) n += v != 0;
  return n;
}

uint64_t NonZeroCellsOfAllTables() {
  return NonZeroCells(historyTable) + NonZeroCells(moveTriedScore) + NonZeroCells(moveCutScore);
}

void ExpectEveryTableZeroAfterClear() {
  ClearHistoryTables();
  EXPECT_EQ(NonZeroCells(historyTable), 0u);
  EXPECT_EQ(NonZeroCells(moveTriedScore), 0u);
  EXPECT_EQ(NonZeroCells(moveCutScore), 0u);
  EXPECT_EQ(historyRowsWritten.count + triedRowsWritten.count + cutRowsWritten.count, 0u);
}

TEST(HistoryClearTest, WritesThroughEveryAdderAreCleared) {
  struct Write {
    uint32_t type;
    Square from, to;
  };
  // The first and last cells of the tables, both ends of a row, and one cell
  // written twice.
  const Write writes[] = {{0, 0, 0}, {14, 171, 171}, {7, 34, 171}, {7, 34, 0},
                          {1, 171, 0}, {13, 100, 101}, {13, 100, 101}};
  for (const Write& w : writes) {
    const Move m = MakeMoveCode(w.from, w.to);
    AddHistoryScore(w.type, m, 3);
    AddCutScore(w.type, m, 100);
    AddTriedScore(w.type, m, 60);
  }
  EXPECT_EQ(historyTable[13][172 * 100 + 101], 6u);
  EXPECT_EQ(NonZeroCellsOfAllTables(), 18u);
  ExpectEveryTableZeroAfterClear();

  // The knight bonus of a rescale, and the counters it scales down.
  AddHistoryScore(6, MakeMoveCode(50, 60), 4000000000u);
  RescaleHistory();
  EXPECT_EQ(historyTable[6][172 * 50 + 60], kHistoryScaleLimit);
  EXPECT_EQ(NonZeroCells(historyTable), 25u);
  ExpectEveryTableZeroAfterClear();

  // A set-up written straight into the table, marked as such.
  for (auto& row : historyTable)
    for (uint32_t& v : row) v = 1;
  MarkHistoryTableWritten();
  ExpectEveryTableZeroAfterClear();
}

// Real searches write all three tables along every path that writes them;
// a path that did not record its rows would leave counters behind. A
// one-ply search writes only the root's history counters (no other node
// searches deep enough to), so a root path that missed its rows cannot hide
// behind rows the inner nodes also wrote.
TEST(HistoryClearTest, EverythingASearchWroteIsCleared) {
  const char* kPositions[] = {
      testing_support::kStartFen,
      "r1bak1b1r/4a4/c7n/4p1pRp/1n7/2p2CP1P/1p2P4/2N1B1N2/4A4/3RKAB2 w",
      "2bak4/4a4/2n1b4/p1P1p1R1p/4c4/2p6/P3P1P1P/2C1C1N2/4A4/2BAK1B2 b",
  };
  for (const char* fen : kPositions) {
    SCOPED_TRACE(fen);
    search_harness::SetUpSearchFen(fen);
    search_harness::RunFixedDepth(1);
    EXPECT_GT(NonZeroCells(historyTable), 0u);
    ExpectEveryTableZeroAfterClear();

    search_harness::SetUpSearchFen(fen);
    search_harness::RunFixedDepth(6);
    RescaleHistory();
    EXPECT_GT(NonZeroCells(historyTable), 24u);
    EXPECT_GT(NonZeroCells(moveTriedScore), 0u);
    EXPECT_GT(NonZeroCells(moveCutScore), 0u);
    ExpectEveryTableZeroAfterClear();
    // Nothing written since: nothing to clear.
    ExpectEveryTableZeroAfterClear();
  }
}

}  // namespace
