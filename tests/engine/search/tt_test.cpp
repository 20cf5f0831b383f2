// Transposition table (store and probe, mate scores, replacement, the
// overflow pool, sizing) and the history table's clearing and rescaling.
#include "engine/search/tt.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstdlib>

#include "engine/bridge.h"
#include "engine/position/position.h"
#include "engine/search/search_tables.h"
#include "tests/support/address_limit.h"
#include "tests/support/test_position.h"

// Huge test allocations must fail by returning null, never abort.
extern "C" const char* __asan_default_options() { return "allocator_may_return_null=1"; }

namespace {

using testing_support::SetUpFen;

constexpr int32_t kInf = 3200000;

class HashTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetUpFen(testing_support::kStartFen);
    SetHashSize(0);
    ClearHashTables();
  }
  void TearDown() override { SetUpFen(testing_support::kStartFen); }

  // Addresses the table as a position with this lock, key and side would:
  // lets a test choose slots and collisions directly.
  static void At(uint64_t lock, uint64_t key, uint32_t side = 0) {
    positionLock = lock;
    positionKey = key;
    sideToMove = side;
  }
};

TEST_F(HashTableTest, StoreAndProbeRoundTripForEachBound) {
  struct Case {
    int32_t score, alpha, beta;
    uint8_t bound;
    Move storedMove;
  } cases[] = {
      {40, -100, 100, kBoundExact, 0x00220033},
      {150, -100, 100, kBoundLower, 0x00220033},
      {-150, -100, 100, kBoundUpper, 0x00220033},  // a fresh slot keeps the move
  };
  uint64_t lock = 1000;
  for (const Case& c : cases) {
    ++lock;
    At(lock, lock * 7);
    EXPECT_EQ(ProbeHashTable(), nullptr);
    StoreHashTable(6, c.score, 0x00220033, c.alpha, c.beta, 0);
    const HashEntry* e = ProbeHashTable();
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->lock, lock);
    EXPECT_EQ(e->bound, c.bound);
    EXPECT_EQ(e->depth, 6);
    EXPECT_EQ(e->score, c.score);
    EXPECT_EQ(e->move, c.storedMove);
    EXPECT_EQ(e->next, 0u);
  }
  // The extended flag sets bit 7; depths are capped at 255.
  ++lock;
  At(lock, lock * 7);
  StoreHashTable(300, 10, 0x00220033, 0, 100, 1);
  ASSERT_NE(ProbeHashTable(), nullptr);
  EXPECT_EQ(ProbeHashTable()->bound, kBoundExact | kBoundExtended);
  EXPECT_EQ(ProbeHashTable()->depth, 255);
}

TEST_F(HashTableTest, RealPositionsAreFoundOnlyInTheirOwnPosition) {
  const uint64_t startLock = positionLock;
  StoreHashTable(3, 25, ParseCoordMove("h2e2"), -kInf, kInf, 0);
  ASSERT_NE(ProbeHashTable(), nullptr);
  ASSERT_EQ(MakeMove(ParseCoordMove("h2e2"), 0), 1);
  EXPECT_EQ(ProbeHashTable(), nullptr);
  UnmakeMove();
  ASSERT_EQ(positionLock, startLock);
  ASSERT_NE(ProbeHashTable(), nullptr);
  EXPECT_EQ(ProbeHashTable()->move, ParseCoordMove("h2e2"));
  // The side to move is not hashed: the other side has its own table.
  sideToMove = 1;
  EXPECT_EQ(ProbeHashTable(), nullptr);
  StoreHashTable(3, -25, 0, -kInf, kInf, 0);
  ASSERT_NE(ProbeHashTable(), nullptr);
  // Clearing empties both side tables, each time something was stored.
  for (int round = 0; round < 2; ++round) {
    ClearHashTables();
    EXPECT_EQ(ProbeHashTable(), nullptr);
    sideToMove = 0;
    EXPECT_EQ(ProbeHashTable(), nullptr);
    StoreHashTable(1, 5, 0, -kInf, kInf, 0);
    sideToMove = 1;
    StoreHashTable(1, 6, 0, -kInf, kInf, 0);
  }
  sideToMove = 0;
}

TEST_F(HashTableTest, ExactMateScoresAreStoredPlyIndependent) {
  // Mate found at ply 3 that is delivered 4 plies further on: 3,200,000 - 7.
  historyPly = 3;
  At(77, 77);
  StoreHashTable(5, kInf - 7, 0x00220033, -kInf, kInf, 0);
  const HashEntry* e = ProbeHashTable();
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->score, kInf - 4);
  EXPECT_EQ(e->depth, 255);
  // Read at ply 5 it is still a mate 4 plies beyond the reading node.
  EXPECT_EQ(HashScoreAtPly(e->score, 5), kInf - 9);

  historyPly = 3;
  At(78, 78);
  StoreHashTable(5, -kInf + 7, 0x00220033, -kInf, kInf, 0);
  EXPECT_EQ(ProbeHashTable()->score, -kInf + 4);
  EXPECT_EQ(HashScoreAtPly(ProbeHashTable()->score, 5), -kInf + 9);
  EXPECT_EQ(HashScoreAtPly(1234, 5), 1234);
  historyPly = 0;
}

TEST_F(HashTableTest, MateScoresOnTheSideOfABoundAreUnusable) {
  historyPly = 2;
  // A lost mate as a lower bound, a won mate as an upper bound.
  At(90, 90);
  StoreHashTable(4, -kInf + 10, 0x00220033, -kInf, -kInf + 5, 0);
  EXPECT_EQ(ProbeHashTable()->bound, kBoundUnusable);
  EXPECT_EQ(ProbeHashTable()->score, -kInf + 10);  // not adjusted
  At(91, 91);
  StoreHashTable(4, kInf - 10, 0x00220033, kInf - 5, kInf, 0);
  EXPECT_EQ(ProbeHashTable()->bound, kBoundUnusable);
  // A won mate as a lower bound and a lost one as an upper bound are sound.
  At(92, 92);
  StoreHashTable(4, kInf - 10, 0x00220033, 0, 100, 0);
  EXPECT_EQ(ProbeHashTable()->bound, kBoundLower);
  EXPECT_EQ(ProbeHashTable()->score, kInf - 10);
  At(93, 93);
  StoreHashTable(4, -kInf + 10, 0x00220033, 0, 100, 0);
  EXPECT_EQ(ProbeHashTable()->bound, kBoundUpper);
  historyPly = 0;
}

TEST_F(HashTableTest, DeeperResultsReplaceAndShallowerOnesOnlyMarkExtension) {
  const Move a = 0x00220033, b = 0x00440055;
  At(500, 500);
  StoreHashTable(4, 50, a, 0, 100, 0);
  // Shallower: nothing changes but the extended mark.
  StoreHashTable(3, 500, b, 0, 100, 1);
  const HashEntry* e = ProbeHashTable();
  EXPECT_EQ(e->depth, 4);
  EXPECT_EQ(e->score, 50);
  EXPECT_EQ(e->move, a);
  EXPECT_EQ(e->bound, kBoundExact | kBoundExtended);
  // Deeper fail low: new depth, bound and score, the move stays.
  StoreHashTable(6, -20, b, 0, 100, 0);
  EXPECT_EQ(e->depth, 6);
  EXPECT_EQ(e->bound, kBoundUpper);
  EXPECT_EQ(e->score, -20);
  EXPECT_EQ(e->move, a);
  // Deeper fail high: the move is replaced.
  StoreHashTable(7, 300, b, 0, 100, 0);
  EXPECT_EQ(e->bound, kBoundLower);
  EXPECT_EQ(e->move, b);
  // Deeper exact mate: depth 255.
  historyPly = 1;
  StoreHashTable(8, kInf - 9, a, 0, kInf, 0);
  EXPECT_EQ(e->depth, 255);
  EXPECT_EQ(e->score, kInf - 8);
  historyPly = 0;
}

TEST_F(HashTableTest, EqualDepthKeepsTheTighterBound) {
  const Move a = 0x00220033, b = 0x00440055;
  At(600, 600);
  StoreHashTable(5, -40, a, 0, 100, 0);  // upper bound -40
  StoreHashTable(5, -10, b, 0, 100, 0);  // higher: the bound stays
  const HashEntry* e = ProbeHashTable();
  EXPECT_EQ(e->bound, kBoundUpper);
  EXPECT_EQ(e->score, -40);
  EXPECT_EQ(e->move, b);  // the move is replaced at equal depth
  StoreHashTable(5, -60, a, 0, 100, 1);  // lower: taken, with the mark
  EXPECT_EQ(e->bound, kBoundUpper | kBoundExtended);
  EXPECT_EQ(e->score, -60);
  StoreHashTable(5, -50, a, 0, 100, 0);  // an extended upper bound stays too
  EXPECT_EQ(e->bound, kBoundUpper | kBoundExtended);
  EXPECT_EQ(e->score, -60);

  At(601, 601);
  StoreHashTable(5, 200, a, 0, 100, 0);  // lower bound 200
  StoreHashTable(5, 150, b, 0, 100, 0);  // not higher: stays
  e = ProbeHashTable();
  EXPECT_EQ(e->score, 200);
  StoreHashTable(5, 250, b, 0, 100, 0);
  EXPECT_EQ(e->score, 250);
  // A bound becomes exact at equal depth ...
  StoreHashTable(5, 30, a, 0, 100, 0);
  EXPECT_EQ(e->bound, kBoundExact);
  EXPECT_EQ(e->score, 30);
  // ... and an exact entry of equal depth is kept.
  StoreHashTable(5, 400, b, 0, 100, 1);
  EXPECT_EQ(e->bound, kBoundExact | kBoundExtended);
  EXPECT_EQ(e->score, 30);
  EXPECT_EQ(e->move, a);
  // An extended exact entry is not exactly 1: it takes the new result.
  StoreHashTable(5, 60, b, 0, 100, 0);
  EXPECT_EQ(e->bound, kBoundExact);
  EXPECT_EQ(e->score, 60);

  // A mate on the wrong side of the bound marks the entry unusable and
  // keeps its score.
  At(602, 602);
  StoreHashTable(5, 200, a, 0, 100, 0);
  StoreHashTable(5, kInf - 30, b, kInf - 20, kInf, 1);
  EXPECT_EQ(ProbeHashTable()->bound, kBoundUnusable);
  EXPECT_EQ(ProbeHashTable()->score, 200);
  EXPECT_EQ(ProbeHashTable()->move, b);
  At(603, 603);
  StoreHashTable(5, -20, a, 0, 100, 0);
  StoreHashTable(5, -kInf + 30, b, -kInf, -kInf + 20, 0);
  EXPECT_EQ(ProbeHashTable()->bound, kBoundUnusable);
  EXPECT_EQ(ProbeHashTable()->score, -20);
  // An unusable entry takes the next result of its depth.
  StoreHashTable(5, 10, a, 0, 100, 0);
  EXPECT_EQ(ProbeHashTable()->bound, kBoundExact);
}

TEST_F(HashTableTest, CollisionsChainThroughTheOverflowPool) {
  const uint64_t slot = 4321;
  At(1, slot);
  StoreHashTable(2, 10, 0x00220033, 0, 100, 0);
  At(2, slot + hashTableSize);  // same slot, other position
  StoreHashTable(3, 20, 0x00440055, 0, 100, 0);
  At(3, slot + 2 * hashTableSize);
  StoreHashTable(4, -30, 0x00440055, 0, 100, 1);  // fail low: no move kept
  EXPECT_EQ(hashOverflowUsed, 3u);
  At(1, slot);
  EXPECT_EQ(ProbeHashTable()->score, 10);
  EXPECT_EQ(ProbeHashTable()->next, 1u);
  At(2, slot);
  EXPECT_EQ(ProbeHashTable()->score, 20);
  EXPECT_EQ(ProbeHashTable()->move, 0x00440055u);
  At(3, slot);
  const HashEntry* e = ProbeHashTable();
  EXPECT_EQ(e->score, -30);
  EXPECT_EQ(e->move, 0u);
  EXPECT_EQ(e->bound, kBoundUpper | kBoundExtended);
  At(4, slot);
  EXPECT_EQ(ProbeHashTable(), nullptr);
  // A chained entry is updated in place.
  At(2, slot);
  StoreHashTable(9, 70, 0x00220033, 0, 100, 0);
  EXPECT_EQ(hashOverflowUsed, 3u);
  EXPECT_EQ(ProbeHashTable()->depth, 9);
  EXPECT_EQ(ProbeHashTable()->score, 70);
}

TEST_F(HashTableTest, UnusableOverflowStoresDoNotTakeAPoolEntry) {
  At(1, 99);
  StoreHashTable(2, 10, 0x00220033, 0, 100, 0);
  At(2, 99);
  StoreHashTable(2, -kInf + 5, 0x00220033, -kInf, -kInf + 2, 0);  // lost mate, lower bound
  EXPECT_EQ(hashOverflowUsed, 1u);
  ASSERT_NE(ProbeHashTable(), nullptr);
  EXPECT_EQ(ProbeHashTable()->bound, kBoundUnusable);
  // The next collision takes the same pool entry over.
  At(3, 99);
  StoreHashTable(2, 40, 0x00220033, 0, 100, 0);
  EXPECT_EQ(hashOverflowUsed, 2u);
  EXPECT_EQ(ProbeHashTable()->score, 40);
  EXPECT_EQ(ProbeHashTable()->next, 0u);
  At(2, 99);
  EXPECT_EQ(ProbeHashTable(), nullptr);
  At(1, 99);
  EXPECT_EQ(ProbeHashTable()->next, 1u);
}

TEST_F(HashTableTest, AFullPoolDropsFurtherCollisions) {
  ASSERT_EQ(hashOverflowCapacity, 21844u);
  // 50 slots with long chains: the first 50 stores own the slots, the pool
  // takes capacity - 1 more (entry 0 is never handed out), the rest drop.
  const uint64_t kept = 50 + hashOverflowCapacity - 1;
  const uint64_t stores = kept + 10;
  for (uint64_t i = 1; i <= stores; ++i) {
    At(i, (i % 50) + hashTableSize * i);
    StoreHashTable(1, static_cast<int32_t>(i), 0x00220033, -kInf, kInf, 0);
  }
  EXPECT_EQ(hashOverflowUsed, hashOverflowCapacity);
  uint64_t found = 0;
  for (uint64_t i = 1; i <= stores; ++i) {
    At(i, i % 50);
    const HashEntry* e = ProbeHashTable();
    if (e == nullptr) continue;
    EXPECT_EQ(e->score, static_cast<int32_t>(i));
    EXPECT_LE(i, kept);
    ++found;
  }
  EXPECT_EQ(found, kept);
  // A stored position is still updated when the pool is full.
  At(kept - 3, (kept - 3) % 50);
  StoreHashTable(2, -1, 0x00220033, -kInf, kInf, 0);
  EXPECT_EQ(ProbeHashTable()->score, -1);
  // Clearing empties the slots and resets the pool counter.
  ClearHashTables();
  EXPECT_EQ(hashOverflowUsed, 1u);
  EXPECT_EQ(ProbeHashTable(), nullptr);
  StoreHashTable(1, 3, 0x00220033, -kInf, kInf, 0);
  EXPECT_EQ(ProbeHashTable()->score, 3);
  EXPECT_EQ(ProbeHashTable()->next, 0u);
}

TEST(HashSizeTest, MegabytesMapToEntriesIn64BitArithmetic) {
  EXPECT_EQ(HashEntriesForMegabytes(0), 43690u);
  EXPECT_EQ(HashEntriesForMegabytes(1), 43690u);
  EXPECT_EQ(HashEntriesForMegabytes(-7), 43690u);
  EXPECT_EQ(HashEntriesForMegabytes(64), 2796202u);
  EXPECT_EQ(HashEntriesForMegabytes(2048), 89478485u);     // 2048 MB overflows 32 bits
  EXPECT_EQ(HashEntriesForMegabytes(4096), 178956970u);    // and 4096 MB wraps to 0
  EXPECT_EQ(HashEntriesForMegabytes(100000), 4369066666u);  // beyond 32 bits
  // The pool indices stay inside their 32-bit field.
  const uint64_t most = HashEntriesForMegabytes(INT32_MAX);
  EXPECT_LE(most / 4 * 2, uint64_t{UINT32_MAX});
  EXPECT_GE(most, HashEntriesForMegabytes(1000000));
}

TEST(HashSizeTest, AutomaticSizeFollowsPhysicalMemory) {
  EXPECT_EQ(AutomaticHashMegabytes(512 * kMegabyte), 170);
  EXPECT_EQ(AutomaticHashMegabytes(100 * kMegabyte), 25);
  EXPECT_EQ(AutomaticHashMegabytes(128 * kMegabyte), 32);  // not above 128 MB: a quarter
  EXPECT_EQ(AutomaticHashMegabytes(129 * kMegabyte), 43);
  EXPECT_EQ(AutomaticHashMegabytes(1024 * kMegabyte), 200);
  EXPECT_EQ(AutomaticHashMegabytes(uint64_t{64} << 30), 200);
  EXPECT_EQ(AutomaticHashMegabytes(3 * kMegabyte), 0);

  uint64_t total = 0, available = 0;
  GetMemoryStatus(&total, &available);
  SetHashSize(-1);
  EXPECT_EQ(hashTotalEntries, HashEntriesForMegabytes(AutomaticHashMegabytes(total)));
  SetHashSize(0);
}

TEST(HashSizeTest, SetHashSizeShapesTheTables) {
  SetHashSize(0);
  EXPECT_EQ(hashTotalEntries, 43690u);
  EXPECT_EQ(hashTableSize, 10922u);
  EXPECT_EQ(hashOverflowCapacity, 21844u);
  ASSERT_NE(hashTables[0], nullptr);
  ASSERT_NE(hashTables[1], nullptr);
  ASSERT_NE(hashOverflowPool, nullptr);
  EXPECT_EQ(HashSizeMegabytes(), 1);

  SetHashSize(64);
  EXPECT_EQ(hashTotalEntries, 2796202u);
  EXPECT_EQ(hashTableSize, 699050u);
  EXPECT_EQ(hashOverflowCapacity, 1398100u);
  // The size written back to the setting gives the same table again.
  EXPECT_EQ(HashSizeMegabytes(), 64);
  for (int mb : {1, 2, 3, 17, 100, 200}) {
    SetHashSize(mb);
    EXPECT_EQ(HashSizeMegabytes(), mb);
  }

  // The same size keeps the contents; ClearHashTables empties them.
  testing_support::SetUpFen(testing_support::kStartFen);
  SetHashSize(3);
  ClearHashTables();
  StoreHashTable(2, 11, 0x00220033, -100, 100, 0);
  SetHashSize(3);
  ASSERT_NE(ProbeHashTable(), nullptr);
  EXPECT_EQ(ProbeHashTable()->score, 11);
  ClearHashTables();
  EXPECT_EQ(ProbeHashTable(), nullptr);
  SetHashSize(0);
}

// The slot is worked out by multiplications; it must be key % size exactly,
// at every table size, for keys at the edges and keys from the generator.
TEST(HashSizeTest, SlotIndexIsTheKeyModuloTheTableSize) {
  uint64_t x = 0x9E3779B97F4A7C15ull;
  for (int mb : {0, 1, 3, 16, 64, 100, 200}) {
    SetHashSize(mb);
    const uint64_t n = hashTableSize;
    for (uint64_t key : {uint64_t{0}, uint64_t{1}, n - 1, n, n + 1, 1000 * n - 1, ~uint64_t{0},
                         ~uint64_t{0} - n, uint64_t{1} << 63})
      ASSERT_EQ(HashSlotIndex(key), key % n) << mb << " MB, key " << key;
    for (int i = 0; i < 200000; ++i) {
      x ^= x << 13;
      x ^= x >> 7;
      x ^= x << 17;
      ASSERT_EQ(HashSlotIndex(x), x % n) << mb << " MB, key " << x;
    }
  }
  SetHashSize(0);
}

// With the address space limited to 384 MB more than the process holds (8
// GiB of it mapped unusable, so that the budget, half the limit, allows
// 2,048 MB), a 2,048 MB table is halved until it fits: 256 MB, and that is
// the size reported for the setting.
void AllocateUnderAddressLimit() {
  if (!testing_support::ReserveAddressSpace(uint64_t{8} << 30) ||
      !testing_support::LimitAddressSpace(uint64_t{384} << 20)) std::_Exit(2);
  SetHashSize(2048);
  const bool halved = hashTotalEntries == HashEntriesForMegabytes(256) &&
                      HashSizeMegabytes() == 256 && hashTables[0] != nullptr &&
                      hashTables[1] != nullptr && hashOverflowPool != nullptr;
  if (!halved) std::_Exit(3);
  ClearHashTables();
  StoreHashTable(2, 11, 0x00220033, -100, 100, 0);
  std::_Exit(ProbeHashTable() != nullptr && ProbeHashTable()->score == 11 ? 0 : 4);
}

TEST(HashSizeDeathTest, ASizeTheMemoryCannotGiveIsHalvedUntilItFits) {
  if (!testing_support::kAddressLimitUsable) GTEST_SKIP() << "no address limit under ASan";
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  testing_support::SetUpFen(testing_support::kStartFen);
  SetHashSize(0);
  EXPECT_EXIT(AllocateUnderAddressLimit(), ::testing::ExitedWithCode(0), "");
}

// A stored size above the machine's memory is capped to it, as the options
// page caps what it accepts.
TEST(HashSizeTest, SizesAreCappedToThePhysicalMemory) {
  struct Case {
    int32_t megabytes;
    uint64_t physicalBytes;
    int32_t expected;
  };
  const Case cases[] = {
      {65536, uint64_t{8} << 30, 8192}, {8192, uint64_t{8} << 30, 8192},
      {100, uint64_t{8} << 30, 100},    {4096, 512 * kMegabyte + 5, 512},
      {4096, 1000, 1},                  {4096, 0, 4096},
      {0, 512 * kMegabyte, 0},          {-1, 512 * kMegabyte, -1},
  };
  for (const Case& c : cases)
    EXPECT_EQ(MegabytesWithinMemory(c.megabytes, c.physicalBytes), c.expected)
        << c.megabytes << " MB on " << c.physicalBytes << " bytes";
}

TEST(HistoryTableTest, ClearHistoryTablesZeroesEveryOrderingTable) {
  AddHistoryScore(4, MakeMoveCode(50, 80), 9);
  AddTriedScore(11, MakeMoveCode(171, 34), 60);
  AddCutScore(0, 0, 100);
  ClearHistoryTables();
  EXPECT_EQ(historyTable[4][172 * 50 + 80], 0u);
  EXPECT_EQ(moveTriedScore[11][172 * 171 + 34], 0u);
  EXPECT_EQ(moveCutScore[0][0], 0u);
}

uint32_t Knight(uint32_t type, int ff, int fr, int tf, int tr) {
  return historyTable[type][172 * MakeSquare(ff, fr) + MakeSquare(tf, tr)];
}

TEST(HistoryTableTest, RescaleBringsTheLargestCounterToTheLimit) {
  ClearHistoryTables();
  const Move rookMove = MakeMoveCode(MakeSquare(0, 9), MakeSquare(0, 7));
  const uint32_t quietRook = 172 * MoveFrom(rookMove) + MoveTo(rookMove);
  AddHistoryScore(6, rookMove, 4000000000u);  // a product that needs 64 bits
  AddHistoryScore(13, rookMove, 3000000000u);
  AddHistoryScore(4, MakeMoveCode(MakeSquare(1, 9), MakeSquare(2, 7)), 7);
  AddHistoryScore(4, MakeMoveCode(MakeSquare(7, 3), MakeSquare(6, 1)), 400000000u);
  RescaleHistory();
  EXPECT_EQ(historyTable[6][quietRook], 1000000u);
  EXPECT_EQ(historyTable[13][quietRook], 750000u);
  EXPECT_EQ(historyTable[4][172 * MakeSquare(1, 9) + MakeSquare(2, 7)], 0u);
  EXPECT_EQ(Knight(4, 7, 3, 6, 1), 100001u);  // scaled, then the knight bonus
  // Twelve knight moves of each side gain one point; black's mirror ranks.
  int redCount = 0, blackCount = 0;
  for (uint32_t v : historyTable[4]) redCount += v == 1;
  for (uint32_t v : historyTable[11]) blackCount += v == 1;
  EXPECT_EQ(redCount, 11);  // the twelfth holds the scaled counter
  EXPECT_EQ(blackCount, 12);
  EXPECT_EQ(Knight(11, 7, 6, 6, 8), 1u);
  EXPECT_EQ(Knight(11, 3, 1, 5, 2), 1u);
  EXPECT_EQ(Knight(4, 3, 8, 5, 7), 1u);

  // Counters at or below the limit are left alone (only the bonus is added).
  ClearHistoryTables();
  AddHistoryScore(6, rookMove, 1000000u);
  AddHistoryScore(5, rookMove, 999u);
  RescaleHistory();
  EXPECT_EQ(historyTable[6][quietRook], 1000000u);
  EXPECT_EQ(historyTable[5][quietRook], 999u);
  EXPECT_EQ(Knight(4, 7, 3, 6, 1), 1u);
  ClearHistoryTables();
}

}  // namespace
