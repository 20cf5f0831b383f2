// Line masks and line tables: an empty line and a piece between blockers
// worked out by hand, every pattern table against a plain walk along the
// line, the chariot capture-target tables against the blocker distances,
// and the occupancy masks.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "engine/position/position.h"
#include "tests/support/test_position.h"

namespace {

uint16_t Bits(std::initializer_list<int> points) {
  uint16_t m = 0;
  for (int p : points) m = static_cast<uint16_t>(m | (1u << p));
  return m;
}

class LineTables : public ::testing::Test {
 protected:
  void SetUp() override { testing_support::InitEngine(); }
};

TEST_F(LineTables, EmptyLine) {
  for (int p = 0; p < 10; ++p) {
    EXPECT_EQ(chariotReach[0][p], 0x3FF & ~(1u << p)) << p;
    EXPECT_EQ(cannonReach[0][p], 0) << p;
    EXPECT_EQ(firstBlockerAbove[0][p], 0) << p;
    EXPECT_EQ(firstBlockerBelow[0][p], 0) << p;
    EXPECT_EQ(secondBlockerAbove[0][p], 0) << p;
    EXPECT_EQ(secondBlockerBelow[0][p], 0) << p;
  }
}

TEST_F(LineTables, PieceAtZeroWithBlockersAtThreeAndSeven) {
  // The piece's own bit is ignored whether set or not.
  for (uint16_t pattern : {Bits({3, 7}), Bits({0, 3, 7})}) {
    EXPECT_EQ(chariotReach[pattern][0], Bits({1, 2, 3}));
    EXPECT_EQ(cannonReach[pattern][0], Bits({4, 5, 6, 7}));
    EXPECT_EQ(firstBlockerAbove[pattern][0], 3);
    EXPECT_EQ(secondBlockerAbove[pattern][0], 7);
    EXPECT_EQ(firstBlockerBelow[pattern][0], 0);
    EXPECT_EQ(secondBlockerBelow[pattern][0], 0);
  }
  // From the middle: both directions at once.
  const uint16_t pattern = Bits({1, 2, 5, 8});
  EXPECT_EQ(chariotReach[pattern][4], Bits({2, 3, 5}));
  EXPECT_EQ(cannonReach[pattern][4], Bits({1, 6, 7, 8}));
  EXPECT_EQ(firstBlockerBelow[pattern][4], 2);
  EXPECT_EQ(secondBlockerBelow[pattern][4], 3);
  EXPECT_EQ(firstBlockerAbove[pattern][4], 1);
  EXPECT_EQ(secondBlockerAbove[pattern][4], 4);
}

// Every pattern and position against a plain walk: the occupied points above
// and below p in order of distance.
TEST_F(LineTables, PatternTablesMatchWalkAlongTheLine) {
  for (int pattern = 0; pattern < 1024; ++pattern) {
    for (int p = 0; p < 10; ++p) {
      uint16_t reach = 0, cannon = 0;
      int blockers[2][2] = {};  // [direction][nth] distances
      for (int dir = 0; dir < 2; ++dir) {
        std::vector<int> occupied;  // points in walking order
        std::vector<int> walked;
        for (int q = dir == 0 ? p + 1 : p - 1; q >= 0 && q < 10; q += dir == 0 ? 1 : -1) {
          walked.push_back(q);
          if (pattern & (1 << q)) occupied.push_back(q);
        }
        for (size_t n = 0; n < 2 && n < occupied.size(); ++n)
          blockers[dir][n] = occupied[n] > p ? occupied[n] - p : p - occupied[n];
        for (int q : walked) {
          const int dist = q > p ? q - p : p - q;
          const bool beforeFirst = occupied.empty() || dist <= blockers[dir][0];
          if (beforeFirst) reach = static_cast<uint16_t>(reach | (1u << q));
          const bool afterScreen = !occupied.empty() && dist > blockers[dir][0] &&
                                   (occupied.size() < 2 || dist <= blockers[dir][1]);
          if (afterScreen) cannon = static_cast<uint16_t>(cannon | (1u << q));
        }
      }
      ASSERT_EQ(chariotReach[pattern][p], reach) << pattern << " " << p;
      ASSERT_EQ(cannonReach[pattern][p], cannon) << pattern << " " << p;
      ASSERT_EQ(firstBlockerAbove[pattern][p], blockers[0][0]) << pattern << " " << p;
      ASSERT_EQ(secondBlockerAbove[pattern][p], blockers[0][1]) << pattern << " " << p;
      ASSERT_EQ(firstBlockerBelow[pattern][p], blockers[1][0]) << pattern << " " << p;
      ASSERT_EQ(secondBlockerBelow[pattern][p], blockers[1][1]) << pattern << " " << p;
    }
  }
}

TEST_F(LineTables, MaskBits) {
  EXPECT_EQ(rankMaskBit[171], 1 << 8);
  EXPECT_EQ(fileMaskBit[171], 1 << 9);
  EXPECT_EQ(rankMaskBit[34], 1);
  EXPECT_EQ(fileMaskBit[43], 1 << 9);
  EXPECT_EQ(rankMaskBit[0], 0);
  EXPECT_EQ(fileMaskBit[33], 0);
  EXPECT_EQ(rankMaskBit[177], 0);
  EXPECT_EQ(fileMaskBit[207], 0);
  for (int file = 0; file < 9; ++file)
    for (int rank = 0; rank < 10; ++rank) {
      const Square s = MakeSquare(file, rank);
      EXPECT_EQ(rankMaskBit[s], 1 << file) << s;
      EXPECT_EQ(fileMaskBit[s], 1 << rank) << s;
    }
}

TEST_F(LineTables, ChariotCaptureTargetsOnCorner) {
  // Red chariot on 171 (file 8, rank 9), its own bit set in the pattern.
  const uint8_t* alone = chariotFileTargets[171][Bits({9})];
  EXPECT_EQ(alone[0], 0);
  EXPECT_EQ(alone[1], 0);
  EXPECT_EQ(alone[2], 0);
  const uint8_t* oneAhead = chariotFileTargets[171][Bits({5, 9})];
  EXPECT_EQ(oneAhead[0], 167);
  EXPECT_EQ(oneAhead[1], 0);
  EXPECT_EQ(oneAhead[2], 1);
  // Along rank 9 from file 8: only targets towards file 0 exist.
  const uint8_t* onRank = chariotRankTargets[171][Bits({2, 8})];
  EXPECT_EQ(onRank[0], MakeSquare(2, 9));
  EXPECT_EQ(onRank[2], 1);
}

TEST_F(LineTables, ChariotCaptureTargetOrder) {
  const Square s = MakeSquare(4, 5);
  // File: towards rank 9 first, then towards rank 0.
  const uint8_t* onFile = chariotFileTargets[s][Bits({1, 3, 5, 8})];
  EXPECT_EQ(onFile[0], MakeSquare(4, 8));
  EXPECT_EQ(onFile[1], MakeSquare(4, 3));
  EXPECT_EQ(onFile[2], 2);
  // Rank: towards file 0 first, then towards file 8.
  const uint8_t* onRank = chariotRankTargets[s][Bits({0, 4, 7})];
  EXPECT_EQ(onRank[0], MakeSquare(0, 5));
  EXPECT_EQ(onRank[1], MakeSquare(7, 5));
  EXPECT_EQ(onRank[2], 2);
}

// Every playing square and pattern: the targets are the nearest occupied
// points of the line, stored from the first slot on, unused slots 0.
TEST_F(LineTables, CaptureTargetTablesMatchNearestPieces) {
  for (int file = 0; file < 9; ++file) {
    for (int rank = 0; rank < 10; ++rank) {
      const Square s = MakeSquare(file, rank);
      for (int pattern = 0; pattern < 1024; ++pattern) {
        std::vector<int> fileTargets, rankTargets;
        for (int r = rank + 1; r < 10; ++r)
          if (pattern & (1 << r)) { fileTargets.push_back(MakeSquare(file, r)); break; }
        for (int r = rank - 1; r >= 0; --r)
          if (pattern & (1 << r)) { fileTargets.push_back(MakeSquare(file, r)); break; }
        if (pattern < 512) {  // rank patterns have nine points
          for (int f = file - 1; f >= 0; --f)
            if (pattern & (1 << f)) { rankTargets.push_back(MakeSquare(f, rank)); break; }
          for (int f = file + 1; f < 9; ++f)
            if (pattern & (1 << f)) { rankTargets.push_back(MakeSquare(f, rank)); break; }
        }
        const uint8_t* ft = chariotFileTargets[s][pattern];
        ASSERT_EQ(ft[2], fileTargets.size()) << s << " " << pattern;
        for (size_t k = 0; k < 2; ++k)
          ASSERT_EQ(ft[k], k < fileTargets.size() ? fileTargets[k] : 0) << s << " " << pattern;
        if (pattern >= 512) continue;
        const uint8_t* rt = chariotRankTargets[s][pattern];
        ASSERT_EQ(rt[2], rankTargets.size()) << s << " " << pattern;
        for (size_t k = 0; k < 2; ++k)
          ASSERT_EQ(rt[k], k < rankTargets.size() ? rankTargets[k] : 0) << s << " " << pattern;
      }
    }
  }
  // Frame squares hold nothing.
  for (Square s : {0u, 33u, 44u, 48u, 172u, 207u})
    for (int pattern : {0, 1, 0x155, 1023}) {
      EXPECT_EQ(chariotFileTargets[s][pattern][2], 0) << s;
      EXPECT_EQ(chariotRankTargets[s][pattern][2], 0) << s;
    }
}

TEST_F(LineTables, StartPositionMasks) {
  testing_support::SetUpFen(testing_support::kStartFen);
  EXPECT_EQ(rankOccupancy[0], 0x1FF);
  EXPECT_EQ(rankOccupancy[1], 0);
  EXPECT_EQ(rankOccupancy[2], Bits({1, 7}));
  EXPECT_EQ(rankOccupancy[3], Bits({0, 2, 4, 6, 8}));
  EXPECT_EQ(rankOccupancy[9], 0x1FF);
  EXPECT_EQ(fileOccupancy[0], Bits({0, 3, 6, 9}));
  EXPECT_EQ(fileOccupancy[1], Bits({0, 2, 7, 9}));
  EXPECT_EQ(fileOccupancy[3], Bits({0, 9}));
}

// The masks follow posPiece (captured pieces left out), whatever they held.
TEST_F(LineTables, RebuildLineMasksFromPieceList) {
  testing_support::SetUpFen(testing_support::kStartFen);
  std::mt19937 rng(7);
  for (int round = 0; round < 20; ++round) {
    for (int i = 2; i <= 32; ++i)
      if (i != 17 && rng() % 3 == 0) posPiece[i] = 0;
    for (auto& w : rankOccupancy) w = static_cast<uint16_t>(rng());
    for (auto& w : fileOccupancy) w = static_cast<uint16_t>(rng());
    RebuildLineMasks();
    for (int file = 0; file < 9; ++file)
      for (int rank = 0; rank < 10; ++rank) {
        bool occupied = false;
        for (int i = 1; i <= 32; ++i) occupied |= posPiece[i] == MakeSquare(file, rank);
        ASSERT_EQ((rankOccupancy[rank] >> file) & 1, occupied ? 1 : 0);
        ASSERT_EQ((fileOccupancy[file] >> rank) & 1, occupied ? 1 : 0);
      }
    for (int rank = 0; rank < 10; ++rank) ASSERT_LT(rankOccupancy[rank], 512);
    for (int file = 0; file < 9; ++file) ASSERT_LT(fileOccupancy[file], 1024);
    testing_support::SetUpFen(testing_support::kStartFen);
  }
}

// Every reset refreshes the occupancy masks of the current position and
// keeps the tables as the first call built them.
TEST_F(LineTables, InitRefreshesMasksAndKeepsTables) {
  fileOccupancy[4] = 0;
  rankOccupancy[0] = 0;
  rankOccupancy[4] = 0x1FF;
  InitLineTables();
  InitLineTables();
  EXPECT_EQ(fileOccupancy[4], Bits({0, 3, 6, 9}));
  EXPECT_EQ(rankOccupancy[0], 0x1FF);
  EXPECT_EQ(rankOccupancy[4], 0);
  EXPECT_EQ(chariotReach[5][3], Bits({2, 4, 5, 6, 7, 8, 9}));
  EXPECT_EQ(cannonReach[5][3], Bits({0, 1}));
  EXPECT_EQ(secondBlockerBelow[1023][9], 2);
  // Square 100 is file 4, rank 2; pattern 7 holds ranks 0..2.
  EXPECT_EQ(chariotFileTargets[100][7][0], 99);
  EXPECT_EQ(chariotFileTargets[100][7][2], 1);
  EXPECT_EQ(chariotRankTargets[0][0][0], 0);
  EXPECT_EQ(rankMaskBit[0], 0);
  EXPECT_EQ(fileMaskBit[34], 1);
  EXPECT_EQ(rankMaskBit[171], 1u << 8);
}

}  // namespace
