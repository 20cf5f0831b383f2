// Pawn counters, the full-defence test and the chariot palace threat, with
// their black twins on mirrored positions.
#include <gtest/gtest.h>

#include <vector>

#include "engine/eval/evaluate.h"
#include "engine/position/position.h"
#include "tests/engine/eval/board_builder.h"
#include "tests/support/test_position.h"

namespace {

using eval_testing::At;
using eval_testing::Fen;

void Place(const std::vector<At>& pieces, char side = 'w') {
  testing_support::SetUpFen(Fen(pieces, side));
}

TEST(PawnTables, RankCodesAndZones) {
  EXPECT_EQ(pawnRankCodeRed[MakeSquare(3, 6)], 7);
  EXPECT_EQ(pawnRankCodeRed[MakeSquare(3, 0)], 1);
  EXPECT_EQ(pawnRankCodeRed[MakeSquare(3, 7)], 0);
  EXPECT_EQ(pawnRankCodeBlack[MakeSquare(3, 3)], 7);
  EXPECT_EQ(pawnRankCodeBlack[MakeSquare(3, 9)], 1);
  EXPECT_EQ(pawnRankCodeBlack[MakeSquare(3, 2)], 0);
  EXPECT_EQ(palaceFrontZoneBlack[MakeSquare(4, 1)], 3);
  EXPECT_EQ(palaceFrontZoneRed[MakeSquare(6, 6)], 1);
  EXPECT_EQ(palaceFrontZoneRed[MakeSquare(7, 6)], 0);
  EXPECT_EQ(backRankWingFlags[MakeSquare(6, 0)], 2);
  EXPECT_EQ(backRankWingFlags[MakeSquare(0, 9)], 4);
  EXPECT_EQ(backRankWingFlags[MakeSquare(3, 9)], 0);
}

TEST(PawnTerms, StartPosition) {
  testing_support::SetUpFen(testing_support::kStartFen);
  EXPECT_EQ(CountCrossedPawnsRed(), 0);
  EXPECT_EQ(CountCrossedPawnsBlack(), 0);
  EXPECT_EQ(CountUsefulPawnsRed(1), 0);  // every pawn faces an enemy pawn
  EXPECT_EQ(CountUsefulPawnsBlack(1), 0);
  EXPECT_EQ(CountPalaceZonePawnsRed(), 0);
  EXPECT_EQ(CountPalaceZonePawnsBlack(), 0);
  EXPECT_EQ(IsFullDefenceSetupRed(), 0);
  EXPECT_EQ(IsFullDefenceSetupBlack(), 0);
  int32_t right = 9, centre = 9, left = 9;
  CountCrossedPawnWingsRed(&right, &centre, &left);
  EXPECT_EQ(right + centre + left, 0);
  EXPECT_EQ(FindAdvancedPawnRed(7), 0u);
  EXPECT_NE(FindAdvancedPawnRed(8), 0u);
  EXPECT_EQ(FindPawnNotBeyondBlack(7), 0u);
  EXPECT_NE(FindPawnNotBeyondBlack(6), 0u);
}

TEST(PawnTerms, UsefulPawnsLessBlockedFormations) {
  // File 8 faces a pawn; file 6 is held by the central elephant.
  Place({{'K', 4, 9}, {'P', 8, 6}, {'P', 6, 6}, {'k', 3, 0}, {'p', 8, 3}, {'b', 4, 2}});
  EXPECT_EQ(CountUsefulPawnsRed(1), 0);
  // The central elephant is used once: a pawn on file 2 stays useful.
  Place(
      {{'K', 4, 9}, {'P', 8, 6}, {'P', 6, 6}, {'P', 2, 6}, {'k', 3, 0}, {'p', 8, 3}, {'b', 4, 2}});
  EXPECT_EQ(CountUsefulPawnsRed(1), 1);
  Place({{'K', 4, 9},
         {'P', 8, 6},
         {'P', 6, 6},
         {'P', 2, 6},
         {'k', 3, 0},
         {'p', 8, 3},
         {'b', 4, 2},
         {'b', 0, 2}});
  EXPECT_EQ(CountUsefulPawnsRed(1), 0);
  // With file 6 blocked by the edge elephant the central one holds file 2.
  Place({{'K', 4, 9}, {'P', 6, 5}, {'P', 2, 5}, {'k', 3, 0}, {'b', 8, 2}, {'b', 4, 2}});
  EXPECT_EQ(CountUsefulPawnsRed(1), 0);
  // The limit: a pawn on rank 1 (code 2) counts only for n below 2, and a
  // blocked pawn not counted by a high limit drives the count below zero.
  Place({{'K', 4, 9}, {'P', 3, 1}, {'P', 0, 5}, {'k', 3, 0}, {'p', 0, 4}});
  EXPECT_EQ(CountUsefulPawnsRed(1), 1);
  EXPECT_EQ(CountUsefulPawnsRed(2), 0);
  EXPECT_EQ(CountUsefulPawnsRed(7), -1);
}

TEST(PawnTerms, UsefulPawnsBlackTwin) {
  Place({{'K', 3, 9}, {'k', 4, 0}, {'p', 8, 3}, {'p', 6, 3}, {'P', 8, 6}, {'B', 4, 7}});
  EXPECT_EQ(CountUsefulPawnsBlack(1), 0);
  Place(
      {{'K', 3, 9}, {'k', 4, 0}, {'p', 8, 3}, {'p', 6, 3}, {'p', 2, 3}, {'P', 8, 6}, {'B', 4, 7}});
  EXPECT_EQ(CountUsefulPawnsBlack(1), 1);
  // Red's count ignores black's formations.
  EXPECT_EQ(CountUsefulPawnsRed(1), 0);
}

TEST(PawnTerms, CrossedPawnsByWing) {
  Place({{'K', 4, 9},
         {'P', 7, 3},
         {'P', 4, 4},
         {'P', 1, 2},
         {'P', 0, 0},
         {'P', 6, 6},
         {'k', 3, 0},
         {'p', 7, 6},
         {'p', 4, 5},
         {'p', 1, 7},
         {'p', 0, 9},
         {'p', 6, 4}});
  EXPECT_EQ(CountCrossedPawnsRed(), 4);
  EXPECT_EQ(CountCrossedPawnsBlack(), 4);
  int32_t w[3] = {-1, -1, -1};
  CountCrossedPawnWingsRed(&w[0], &w[1], &w[2]);
  EXPECT_EQ(w[0], 1);
  EXPECT_EQ(w[1], 1);
  EXPECT_EQ(w[2], 2);
  int32_t p[3] = {-1, -1, -1};
  CountPawnWingsRed(&p[0], &p[1], &p[2]);
  EXPECT_EQ(p[0], 1);
  EXPECT_EQ(p[1], 1);
  EXPECT_EQ(p[2], 2);
  CountCrossedPawnWingsBlack(&w[0], &w[1], &w[2]);
  EXPECT_EQ(w[0], 1);
  EXPECT_EQ(w[1], 1);
  EXPECT_EQ(w[2], 2);
  CountPawnWingsBlack(&p[0], &p[1], &p[2]);
  EXPECT_EQ(p[0] * 100 + p[1] * 10 + p[2], 112);
}

TEST(PawnTerms, FirstPawnPastOrShortOfARank) {
  Place({{'K', 4, 9}, {'P', 0, 0}, {'P', 1, 2}, {'P', 6, 6}, {'k', 3, 0}, {'p', 4, 5}});
  EXPECT_EQ(FindAdvancedPawnRed(1), 0u);  // codes are 1, 3 and 7
  const PieceIndex first = FindAdvancedPawnRed(2);
  ASSERT_NE(first, 0u);
  EXPECT_EQ(posPiece[first], MakeSquare(0, 0));
  const PieceIndex behind = FindPawnNotBeyondRed(3);
  ASSERT_NE(behind, 0u);
  EXPECT_EQ(posPiece[behind], MakeSquare(6, 6));
  EXPECT_EQ(FindPawnNotBeyondRed(7), 0u);
  const PieceIndex black = FindAdvancedPawnBlack(6);  // code 5 on (4, 5)
  ASSERT_NE(black, 0u);
  EXPECT_EQ(posPiece[black], MakeSquare(4, 5));
  EXPECT_EQ(FindAdvancedPawnBlack(5), 0u);
  // Captured pawns (code 0) are never found.
  Place({{'K', 4, 9}, {'k', 3, 0}});
  EXPECT_EQ(FindAdvancedPawnRed(8), 0u);
  EXPECT_EQ(FindAdvancedPawnBlack(8), 0u);
  EXPECT_EQ(FindPawnNotBeyondRed(-1), 0u);
}

TEST(PawnTerms, PalaceZonePawns) {
  Place({{'K', 4, 9},
         {'P', 4, 1},
         {'P', 2, 3},
         {'P', 7, 2},
         {'P', 6, 1},
         {'k', 3, 0},
         {'p', 4, 8},
         {'p', 2, 6},
         {'p', 7, 7},
         {'p', 1, 8}});
  EXPECT_EQ(CountPalaceZonePawnsRed(), 3);
  EXPECT_EQ(CountPalaceZonePawnsBlack(), 2);
}

TEST(DefenceSetup, FullSetupNeedsEveryPieceInPlace) {
  Place({{'K', 4, 9}, {'A', 4, 8}, {'A', 3, 9}, {'B', 4, 7}, {'B', 6, 9}, {'k', 3, 0}});
  EXPECT_EQ(IsFullDefenceSetupRed(), 1);
  Place({{'K', 4, 9}, {'A', 4, 8}, {'A', 5, 9}, {'B', 4, 7}, {'B', 2, 9}, {'k', 3, 0}});
  EXPECT_EQ(IsFullDefenceSetupRed(), 1);
  Place({{'K', 4, 9}, {'A', 4, 8}, {'A', 5, 9}, {'B', 4, 7}, {'B', 0, 7}, {'k', 3, 0}});
  EXPECT_EQ(IsFullDefenceSetupRed(), 0);
  Place({{'K', 4, 9}, {'A', 4, 8}, {'B', 4, 7}, {'B', 2, 9}, {'k', 3, 0}});
  EXPECT_EQ(IsFullDefenceSetupRed(), 0);
  Place({{'K', 3, 9}, {'A', 4, 8}, {'A', 5, 9}, {'B', 4, 7}, {'B', 2, 9}, {'k', 4, 0}});
  EXPECT_EQ(IsFullDefenceSetupRed(), 0);
  Place({{'K', 3, 9}, {'k', 4, 0}, {'a', 4, 1}, {'a', 5, 0}, {'b', 4, 2}, {'b', 2, 0}});
  EXPECT_EQ(IsFullDefenceSetupBlack(), 1);
  EXPECT_EQ(IsFullDefenceSetupRed(), 0);
}

TEST(ChariotPalaceThreat, BlackChariotOnAnOpenWingSquare) {
  // The chariot on (1,3) would reach the red king from (1,9); the other
  // corner (4,3) is shut by the adviser on (4,8).
  Place({{'K', 4, 9}, {'A', 4, 8}, {'A', 5, 7}, {'k', 4, 0}, {'r', 1, 3}}, 'b');
  EXPECT_EQ(ChariotPalaceThreatBlack(), 50 + 250);
  EXPECT_EQ(ChariotPalaceThreatRed(), 0);
  Place({{'K', 4, 9}, {'A', 4, 8}, {'A', 5, 7}, {'k', 4, 0}, {'r', 1, 3}}, 'w');
  EXPECT_EQ(ChariotPalaceThreatBlack(), 50 + 100);
  // A red knight guarding (1,9) leaves the 50 alone.
  Place({{'K', 4, 9}, {'A', 4, 8}, {'A', 5, 7}, {'N', 3, 8}, {'k', 4, 0}, {'r', 1, 3}}, 'b');
  EXPECT_EQ(ChariotPalaceThreatBlack(), 50);
  // Fewer red advisers add 50 or 100 to a non-zero threat.
  Place({{'K', 4, 9}, {'A', 4, 8}, {'k', 4, 0}, {'r', 1, 3}}, 'b');
  EXPECT_EQ(ChariotPalaceThreatBlack(), 300 + 50);
  Place({{'K', 4, 9}, {'B', 4, 7}, {'k', 4, 0}, {'r', 1, 3}}, 'b');
  EXPECT_EQ(ChariotPalaceThreatBlack(), 300 + 100);
  // No chariot, no threat.
  Place({{'K', 4, 9}, {'k', 3, 0}, {'n', 1, 3}}, 'b');
  EXPECT_EQ(ChariotPalaceThreatBlack(), 0);
}

TEST(ChariotPalaceThreat, RedTwin) {
  Place({{'K', 4, 9}, {'R', 1, 6}, {'k', 4, 0}, {'a', 4, 1}, {'a', 5, 2}}, 'w');
  EXPECT_EQ(ChariotPalaceThreatRed(), 50 + 250);
  Place({{'K', 4, 9}, {'R', 1, 6}, {'k', 4, 0}, {'a', 4, 1}, {'a', 5, 2}}, 'b');
  EXPECT_EQ(ChariotPalaceThreatRed(), 50 + 100);
  Place({{'K', 4, 9}, {'R', 1, 6}, {'k', 4, 0}, {'a', 4, 1}, {'n', 3, 1}}, 'w');
  EXPECT_EQ(ChariotPalaceThreatRed(), 50 + 50);
}

}  // namespace
