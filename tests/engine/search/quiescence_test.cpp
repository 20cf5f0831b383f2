// The quiescence search: standing pat, evasions in check, the stalemate
// rule, the pickers by ply, the ply-127 evaluators and what it stores.
#include <gtest/gtest.h>

#include "engine/eval/evaluate.h"
#include "tests/engine/search/search_harness.h"

namespace {

using search_harness::SetUpSearchFen;
using testing_support::LegalMoves;
using testing_support::MoveFromText;

// Positions keep more than three attacking pieces on one side, so that no
// endgame verdict answers before the stand pat.
// Red has neither a capture nor a check.
constexpr const char* kQuietFen = "3aka3/9/9/9/4p4/9/9/9/9/RN1K3NR w";
// Black king e9 not in check; d9, f9 and e8 covered.
constexpr const char* kStalemateFen = "4k4/9/4P4/9/3R1R3/9/9/9/9/1N1K3N1 b";
// Black in check from Ra9; the chariot c4 and the adviser e8 can block.
constexpr const char* kBlockableCheckFen = "R3k4/4a4/9/9/9/2r6/9/9/9/3K5 b";
// Black checkmated: Rb9 along rank 9, Ra8 over rank 8.
constexpr const char* kMatedFen = "1R2k4/R8/9/9/9/9/9/9/9/3K5 b";
// Red mates with the quiet chariot check b7-b9.
constexpr const char* kQuietMateFen = "4k4/R8/1R7/9/9/9/9/9/9/CN1K3N1 w";

void ResetQuiescence(int iteration, int base) {
  iterationDepth = iteration;
  quiescenceBasePly = base;
  historyPly = 0;
  followPv = 0;
}

int32_t StaticEval(int32_t alpha) {
  int32_t red = 0;
  int32_t black = 0;
  return evaluator(alpha, &red, &black);
}

TEST(StandPat, QuietSideKeepsItsStaticScore) {
  SetUpSearchFen(kQuietFen);
  ResetQuiescence(1, 1);
  // The mate-distance bound raises alpha to -3,199,998 before the stand pat.
  const int32_t eval = StaticEval(-3199998);
  EXPECT_EQ(QuiescenceSearch(-kMateScore, kMateScore, kNoEval), eval);
  // A known parent evaluation replaces the evaluator.
  EXPECT_EQ(QuiescenceSearch(-kMateScore, kMateScore, -1234), 1234);
  EXPECT_EQ(QuiescenceSearch(-kMateScore, kMateScore, 4321), -4321);
}

TEST(StandPat, CutsAtBetaWhenTheSideCanMove) {
  SetUpSearchFen(kQuietFen);
  ResetQuiescence(1, 1);
  EXPECT_EQ(QuiescenceSearch(-200, 100, -5000), 5000);
}

TEST(StandPat, RefusedWithoutALegalMoveAndStalemateLoses) {
  SetUpSearchFen(kStalemateFen);
  ASSERT_TRUE(LegalMoves().empty());
  ASSERT_EQ(FindChecker(sideToMove), 0u);
  ResetQuiescence(1, 1);
  // Standing pat at 5,000 would cut at beta 100; without a move the side
  // has lost at this ply instead.
  EXPECT_EQ(QuiescenceSearch(-200, 100, -5000), -kMateScore);
  EXPECT_EQ(QuiescenceSearch(-kMateScore, kMateScore, kNoEval), -kMateScore);
  historyPly = 3;
  EXPECT_EQ(QuiescenceSearch(-kMateScore, kMateScore, kNoEval), 3 - kMateScore);
}

TEST(Evasions, InCheckTheParentEvaluationIsIgnored) {
  SetUpSearchFen(kBlockableCheckFen);
  const uint32_t checker = FindChecker(sideToMove);
  ASSERT_NE(checker, 0u);
  ResetQuiescence(1, 1);
  const int32_t searched = QuiescenceSearch(-kMateScore, kMateScore, kNoEval);
  EXPECT_EQ(movePickers[0].checker, checker);
  ResetQuiescence(1, 1);
  EXPECT_EQ(QuiescenceSearch(-kMateScore, kMateScore, -5000), searched);
  EXPECT_NE(searched, 5000);
  EXPECT_GT(searched, -kDecidedBound) << "black has evasions";
}

TEST(Evasions, CheckmatedSideScoresMateAtItsPly) {
  SetUpSearchFen(kMatedFen);
  ResetQuiescence(1, 1);
  EXPECT_EQ(QuiescenceSearch(-kMateScore, kMateScore, -5000), -kMateScore);
  historyPly = 2;
  EXPECT_EQ(QuiescenceSearch(-kMateScore, kMateScore, kNoEval), 2 - kMateScore);
}

// ---------------------------------------------------------------------------
// Which quiet checks are tried, by ply
// ---------------------------------------------------------------------------
TEST(Pickers, NearTheHorizonChariotChecksAreTried) {
  SetUpSearchFen(kQuietMateFen);
  ResetQuiescence(0, 0);  // ply 0 is within one ply of both
  EXPECT_EQ(QuiescenceSearch(-kMateScore, kMateScore, kNoEval), kMateScore - 1);
  EXPECT_EQ(principalVariation[0][0], MoveFromText("b7b9"));
}

TEST(Pickers, ThreePliesBeyondBothOnlyCapturesAreTried) {
  SetUpSearchFen(kQuietMateFen);
  ResetQuiescence(-5, -5);
  const int32_t score = QuiescenceSearch(-kMateScore, kMateScore, kNoEval);
  EXPECT_EQ(score, StaticEval(-3199998)) << "no capture: the stand pat";
  // Beyond the iteration depth but near the quiescence start: checks again.
  ResetQuiescence(-5, 0);
  EXPECT_EQ(QuiescenceSearch(-kMateScore, kMateScore, kNoEval), kMateScore - 1);
}

TEST(Pickers, TwoPliesBeyondOnlyThePvAddsChariotChecks) {
  SetUpSearchFen(kQuietMateFen);
  ResetQuiescence(-2, -2);
  EXPECT_LT(QuiescenceSearch(-kMateScore, kMateScore, kNoEval), kDecidedBound)
      << "knight and pawn checks only";
  ResetQuiescence(-2, -2);
  followPv = 1;
  EXPECT_EQ(QuiescenceSearch(-kMateScore, kMateScore, kNoEval), kMateScore - 1);
  followPv = 0;
}

// ---------------------------------------------------------------------------
// The deepest ply
// ---------------------------------------------------------------------------
TEST(DeepestPly, QuiescenceUsesTheFullEvaluatorAndSearchTheMaterialOne) {
  SetUpSearchFen("r1bakab1r/9/1cn4c1/p1p1p1p1p/9/9/P1P1P1P1P/1C2C1N2/9/RNBAKAB1R b");
  int32_t r = 0;
  int32_t b = 0;
  const int32_t full = EvaluateFull(-100000, &r, &b);
  const int32_t material = EvaluateMaterial(-100000, &r, &b);
  ASSERT_NE(full, material) << "the position must tell the evaluators apart";
  const EvaluatorFn saved = evaluator;
  evaluator = EvaluateMaterial;
  historyPly = 127;
  EXPECT_EQ(QuiescenceSearch(-100000, 100000, kNoEval), full);
  EXPECT_EQ(pvLength[127], 127);
  evaluator = EvaluateFull;
  historyPly = 127;
  EXPECT_EQ(SearchNode(-100000, 100000, 64, 1, kNoEval, 0, 0), material);
  evaluator = saved;
  historyPly = 0;
}

// ---------------------------------------------------------------------------
// The hash table
// ---------------------------------------------------------------------------
TEST(HashStore, CaptureCutOffOutOfCheckIsNotStored) {
  // Red takes the loose chariot on a5 from d5; the stand pat (-1,000) is
  // below beta.
  SetUpSearchFen("4k4/9/9/9/r2R5/9/9/9/9/CN1K3N1 w");
  ASSERT_EQ(FindChecker(sideToMove), 0u);
  ResetQuiescence(1, 1);
  EXPECT_GE(QuiescenceSearch(-100, 0, 1000), 0);
  EXPECT_EQ(ProbeHashTable(), nullptr);
}

TEST(HashStore, EvasionCutOffIsStoredWithDepthOne) {
  // The black chariot on d5 checks the red king; Ra5xd5 answers it.
  SetUpSearchFen("4k4/9/9/9/R2r5/9/9/9/9/1N1K3NC w");
  ASSERT_NE(FindChecker(sideToMove), 0u);
  ResetQuiescence(1, 1);
  const int32_t score = QuiescenceSearch(-100, 0, kNoEval);
  EXPECT_GE(score, 0);
  const HashEntry* entry = ProbeHashTable();
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->depth, 1);
  EXPECT_EQ(entry->bound & ~kBoundExtended, kBoundLower);
  EXPECT_EQ(entry->move, MoveFromText("a5d5"));
  EXPECT_EQ(entry->score, score);
}

}  // namespace
