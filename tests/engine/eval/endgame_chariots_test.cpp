// Chariot against chariot, and a bare chariot against a chariot with pawns
// or with a cannon: the draws, "cannot lose" verdicts and graded wins, their
// bounds by side to move, and the colour-swapped board giving the same
// verdict through the twin (or through the symmetric rule pair).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/eval/endgame.h"
#include "engine/eval/evaluate.h"
#include "engine/position/position.h"
#include "tests/engine/eval/board_builder.h"
#include "tests/support/test_position.h"

namespace {

using eval_testing::At;
using eval_testing::Fen;

enum class Kind { kRedWins, kBlackWins, kRedCannotLose, kBlackCannotLose, kDraw, kNone };

// The verdict the rules ask for, from the side to move's view, with zero
// contempt.
EndgameVerdict Expected(Kind kind, int32_t x) {
  const int32_t b = materialBalance;
  const bool red = sideToMove == kRed;
  switch (kind) {
    case Kind::kRedWins:
      return red ? EndgameVerdict{b / 2 + x, kVerdictAtLeast}
                 : EndgameVerdict{(-b) / 2 - x, kVerdictAtMost};
    case Kind::kBlackWins:
      return red ? EndgameVerdict{b / 2 - x, kVerdictAtMost}
                 : EndgameVerdict{(-b) / 2 + x, kVerdictAtLeast};
    case Kind::kRedCannotLose:
      return red ? EndgameVerdict{b / 8, kVerdictAtLeast} : EndgameVerdict{-b / 8, kVerdictAtMost};
    case Kind::kBlackCannotLose:
      return red ? EndgameVerdict{b / 8, kVerdictAtMost} : EndgameVerdict{-b / 8, kVerdictAtLeast};
    case Kind::kDraw:
      return red ? EndgameVerdict{b / 16, kVerdictExact} : EndgameVerdict{-b / 16, kVerdictExact};
    case Kind::kNone:
      break;
  }
  return {0, kVerdictNone};
}

struct Case {
  const char* what;
  std::vector<At> pieces;
  Kind kind;
  int32_t x = 0;
  // Which sides to move the case is checked with ("wb", "w" or "b").
  const char* sides = "wb";
  // The colour-swapped board is checked too, through this evaluator (the
  // twin, or the same symmetric evaluator) unless this is false.
  bool mirror = true;
};

// Sets the case up with the given side to move, checks the selector's
// choice and the verdict of `fn`, then (when asked) the same verdict from
// `twin` on the colour-swapped board.
void Check(const Case& c, EndgameEvaluatorFn fn, EndgameEvaluatorFn twin) {
  for (const char* side = c.sides; *side != 0; ++side) {
    SCOPED_TRACE(std::string(c.what) + (*side == 'w' ? ", red to move" : ", black to move"));
    testing_support::SetUpFen(Fen(c.pieces, *side));
    ASSERT_EQ(SelectEndgameEvaluator(), fn);
    EndgameVerdict v{12345, 0};
    fn(&v);
    const EndgameVerdict want = Expected(c.kind, c.x);
    EXPECT_EQ(v.flag, want.flag);
    EXPECT_EQ(v.score, want.score);
    if (!c.mirror) continue;

    const int32_t balance = materialBalance;
    SwapColours();
    PrepareEvaluation();
    ASSERT_EQ(materialBalance, -balance);
    ASSERT_EQ(SelectEndgameEvaluator(), twin);
    EndgameVerdict m{54321, 0};
    twin(&m);
    EXPECT_EQ(m.flag, v.flag) << "mirrored";
    EXPECT_EQ(m.score, v.score) << "mirrored";
  }
}

void CheckAll(const std::vector<Case>& cases, EndgameEvaluatorFn fn, EndgameEvaluatorFn twin) {
  for (const Case& c : cases) Check(c, fn, twin);
}

// --- Bare chariot against chariot and pawns ---------------------------------

TEST(EvalBareChariotVsChariotPawns, PawnOnTheBackRankOrTheMostAdvancedPawn) {
  CheckAll(
      {
          {"pawn on (7, 9), red king on file 5",
           {{'K', 5, 9}, {'R', 0, 7}, {'k', 4, 0}, {'r', 4, 3}, {'p', 7, 9}},
           Kind::kBlackWins,
           199000},
          {"the first square of the order wins over later ones",
           {{'K', 5, 9}, {'R', 0, 7}, {'k', 4, 0}, {'r', 4, 3}, {'p', 0, 9}, {'p', 8, 9}},
           Kind::kBlackWins,
           198500},
          {"black king off the centre file costs 500",
           {{'K', 5, 9}, {'R', 0, 7}, {'k', 3, 0}, {'r', 4, 3}, {'p', 7, 9}},
           Kind::kBlackWins,
           198500},
          {"red king on file 3 mirrors the order",
           {{'K', 3, 9}, {'R', 0, 7}, {'k', 4, 0}, {'r', 4, 3}, {'p', 7, 9}},
           Kind::kBlackWins,
           197000},
          {"most advanced pawn on rank 6",
           {{'K', 5, 9}, {'R', 0, 7}, {'k', 4, 0}, {'r', 4, 5}, {'p', 2, 6}, {'p', 6, 4}},
           Kind::kBlackWins,
           190000},
          {"chariot on (4, 8) behind an empty (4, 4)",
           {{'K', 5, 9}, {'R', 0, 7}, {'k', 4, 0}, {'r', 4, 8}, {'p', 1, 8}},
           Kind::kBlackWins,
           191000},
          {"red edge pawn present",
           {{'K', 5, 9}, {'R', 0, 7}, {'P', 8, 2}, {'k', 4, 0}, {'r', 4, 3}, {'p', 5, 3}},
           Kind::kBlackWins,
           188500},
      },
      EvalBareChariotVsChariotPawnsRed, EvalBareChariotVsChariotPawnsBlack);
}

TEST(EvalBareChariotVsChariotPawns, NoVerdict) {
  CheckAll(
      {
          {"red king on (4, 9), whatever the pawns",
           {{'K', 4, 9}, {'R', 0, 7}, {'k', 3, 0}, {'r', 4, 3}, {'p', 4, 7}, {'p', 6, 9}},
           Kind::kNone},
          {"black pawn on (4, 3)",
           {{'K', 5, 9}, {'R', 0, 7}, {'k', 4, 0}, {'r', 4, 5}, {'p', 4, 3}, {'p', 7, 9}},
           Kind::kNone},
          {"pawn on (4, 4) in front of the chariot",
           {{'K', 5, 9}, {'R', 0, 7}, {'k', 4, 0}, {'r', 4, 5}, {'p', 4, 4}, {'p', 7, 9}},
           Kind::kNone},
          {"black chariot off the centre file",
           {{'K', 5, 9}, {'R', 0, 7}, {'k', 4, 0}, {'r', 2, 3}, {'p', 7, 9}},
           Kind::kNone},
          {"only pawn blocked on the edge file",
           {{'K', 5, 9},
            {'R', 1, 7},
            {'P', 0, 5},
            {'k', 4, 0},
            {'a', 4, 1},
            {'r', 4, 3},
            {'p', 0, 4}},
           Kind::kNone},
      },
      EvalBareChariotVsChariotPawnsRed, EvalBareChariotVsChariotPawnsBlack);
}

// --- Bare chariot against chariot and cannon --------------------------------

TEST(EvalBareChariotVsChariotCannon, GradedByBlackPalaceAndCannon) {
  CheckAll(
      {
          {"k = 1 and no special square",
           {{'K', 4, 9},
            {'R', 0, 7},
            {'k', 4, 0},
            {'a', 4, 1},
            {'r', 4, 5},
            {'c', 7, 2},
            {'p', 4, 7}},
           Kind::kBlackWins,
           196500},
          {"full black palace, k = 3",
           {{'K', 3, 9},
            {'R', 0, 7},
            {'k', 4, 0},
            {'a', 4, 1},
            {'b', 4, 2},
            {'r', 4, 5},
            {'c', 7, 2}},
           Kind::kBlackWins,
           195500},
          {"cannon on (3, 9), chariot on (4, 9)",
           {{'K', 3, 8}, {'R', 0, 7}, {'k', 4, 0}, {'r', 4, 9}, {'c', 3, 9}},
           Kind::kBlackWins,
           197500},
          {"cannon on (1, 9), chariot on (4, 9)",
           {{'K', 3, 8}, {'R', 0, 7}, {'k', 4, 0}, {'r', 4, 9}, {'c', 1, 9}},
           Kind::kBlackWins,
           197000},
          {"cannon on (1, 9), chariot elsewhere on the file",
           {{'K', 3, 8}, {'R', 0, 7}, {'k', 4, 0}, {'r', 4, 5}, {'c', 1, 9}},
           Kind::kBlackWins,
           196500},
          {"cannon on the wing, off file 3",
           {{'K', 3, 8}, {'R', 0, 7}, {'k', 4, 0}, {'r', 4, 5}, {'c', 1, 5}},
           Kind::kBlackWins,
           196000},
          {"cannon on file 3",
           {{'K', 3, 8}, {'R', 0, 7}, {'k', 4, 0}, {'r', 4, 5}, {'c', 3, 5}},
           Kind::kBlackWins,
           195500},
          {"right side: red king on file 5, cannon on (7, 9)",
           {{'K', 5, 8}, {'R', 0, 7}, {'k', 4, 0}, {'r', 4, 5}, {'c', 7, 9}},
           Kind::kBlackWins,
           196500},
          {"black king off the centre file",
           {{'K', 5, 9}, {'R', 0, 7}, {'k', 3, 0}, {'r', 4, 5}, {'c', 7, 2}},
           Kind::kNone},
          {"black chariot off the centre file",
           {{'K', 3, 9}, {'R', 0, 7}, {'k', 4, 0}, {'r', 2, 5}, {'c', 7, 2}},
           Kind::kNone},
      },
      EvalBareChariotVsChariotCannonRed, EvalBareChariotVsChariotCannonBlack);
}

// --- Chariot against chariot -------------------------------------------------

void CheckChariots(const std::vector<Case>& cases) {
  CheckAll(cases, EvalChariotVsChariot, EvalChariotVsChariot);
}

TEST(EvalChariotVsChariot, PawnlessElephantCentre) {
  CheckChariots({
      {"both chariots on files 0 to 3, red elephant on (4, 7)",
       {{'K', 4, 9}, {'B', 4, 7}, {'R', 1, 5}, {'k', 3, 0}, {'r', 2, 3}},
       Kind::kDraw},
      {"chariots on different wings, both out",
       {{'K', 4, 9}, {'B', 4, 7}, {'R', 1, 5}, {'k', 3, 0}, {'r', 6, 3}},
       Kind::kDraw},
      {"black chariot on rank 2, the square behind its king off the board",
       {{'K', 4, 9}, {'B', 4, 7}, {'R', 1, 5}, {'k', 3, 0}, {'r', 6, 2}},
       Kind::kDraw},
      {"black chariot on rank 1",
       {{'K', 4, 9}, {'B', 4, 7}, {'R', 1, 5}, {'k', 3, 0}, {'r', 6, 1}},
       Kind::kNone},
      {"red chariot on rank 7, its king on (3, 8) with (3, 9) empty",
       {{'K', 3, 8}, {'B', 4, 7}, {'R', 1, 7}, {'k', 5, 0}, {'r', 6, 3}},
       Kind::kDraw},
      {"the same with an adviser behind the king",
       {{'K', 3, 8}, {'A', 3, 9}, {'B', 4, 7}, {'R', 1, 7}, {'k', 5, 0}, {'r', 6, 3}},
       Kind::kNone},
      {"a red piece attacks the black chariot",
       {{'K', 4, 9}, {'B', 4, 7}, {'R', 1, 5}, {'k', 3, 0}, {'r', 1, 3}},
       Kind::kNone},
      {"a chariot on the centre file",
       {{'K', 3, 9}, {'B', 4, 7}, {'R', 4, 5}, {'k', 5, 0}, {'r', 2, 3}},
       Kind::kNone},
  });
}

TEST(EvalChariotVsChariot, PawnlessCentralChariotAgainstElephants) {
  CheckChariots({
      {"black chariot on file 4 against red's joined elephants",
       {{'K', 4, 9}, {'B', 4, 7}, {'B', 6, 9}, {'R', 0, 5}, {'k', 3, 0}, {'r', 4, 3}},
       Kind::kBlackCannotLose},
      {"(5, 8) occupied by the red king",
       {{'K', 5, 8}, {'B', 4, 7}, {'B', 6, 9}, {'R', 0, 5}, {'k', 3, 0}, {'r', 4, 3}},
       Kind::kNone},
  });
}

TEST(EvalChariotVsChariot, PawnlessExposedKing) {
  // Red's chariot stands on its king's file in black's half: with black to
  // move and the chariot not attacked, a draw.
  CheckChariots({
      {"red chariot on (4, 4) in front of its king",
       {{'K', 4, 9}, {'R', 4, 4}, {'k', 3, 0}, {'r', 8, 0}},
       Kind::kDraw,
       0,
       "b"},
      {"red king raised to rank 7",
       {{'K', 4, 7}, {'R', 0, 5}, {'k', 3, 0}, {'r', 8, 1}},
       Kind::kDraw,
       0,
       "b"},
      {"red to move: no verdict",
       {{'K', 4, 9}, {'R', 4, 4}, {'k', 3, 0}, {'r', 8, 0}},
       Kind::kNone,
       0,
       "w"},
      {"black chariot attacks red's",
       {{'K', 4, 9}, {'R', 4, 4}, {'k', 3, 0}, {'r', 8, 4}},
       Kind::kNone,
       0,
       "b"},
  });
  // For black the chariot counts on the same ranks 3 to 5 of its king's
  // file: (4, 5) is among them, (4, 6) is not.
  CheckChariots({
      {"black chariot on (4, 5)",
       {{'K', 3, 9}, {'R', 8, 9}, {'k', 4, 0}, {'r', 4, 5}},
       Kind::kDraw,
       0,
       "w",
       false},
      {"black chariot on (4, 6)",
       {{'K', 3, 9}, {'R', 8, 9}, {'k', 4, 0}, {'r', 4, 6}},
       Kind::kNone,
       0,
       "w",
       false},
  });
}

TEST(EvalChariotVsChariot, SingleAdviserDraws) {
  CheckChariots({
      {"raised adviser, chariot on rank 7, pawn on the far wing",
       {{'K', 3, 9}, {'A', 5, 7}, {'R', 0, 7}, {'k', 4, 0}, {'r', 8, 2}, {'p', 6, 8}},
       Kind::kDraw},
      {"the same on the other wing",
       {{'K', 5, 8}, {'A', 3, 7}, {'R', 8, 7}, {'k', 4, 0}, {'r', 0, 2}, {'p', 1, 9}},
       Kind::kDraw},
      {"adviser on (4, 8), chariot on the centre file, pawn on the back rank",
       {{'K', 4, 9}, {'A', 4, 8}, {'R', 4, 5}, {'k', 3, 0}, {'r', 8, 2}, {'p', 2, 9}},
       Kind::kDraw},
      {"central elephant and black chariot on red's back rank: skipped",
       {{'K', 3, 9}, {'A', 5, 7}, {'B', 4, 7}, {'R', 0, 7}, {'k', 4, 0}, {'r', 8, 9}, {'p', 6, 9}},
       Kind::kNone},
      {"central elephant, black chariot elsewhere",
       {{'K', 3, 9}, {'A', 5, 7}, {'B', 4, 7}, {'R', 0, 7}, {'k', 4, 0}, {'r', 8, 2}, {'p', 6, 9}},
       Kind::kDraw},
      {"the same with the pawn still on rank 8",
       {{'K', 4, 9}, {'A', 4, 8}, {'R', 4, 5}, {'k', 3, 0}, {'r', 8, 2}, {'p', 2, 8}},
       Kind::kNone},
  });
}

TEST(EvalChariotVsChariot, PawnOnSecondRank) {
  // Black keeps an elephant (a bare black chariot has its own evaluator), so
  // its king must stand on its back rank.
  CheckChariots({
      {"red pawn on (4, 1), chariot off rank 1",
       {{'K', 4, 9}, {'R', 0, 7}, {'P', 4, 1}, {'k', 3, 0}, {'b', 6, 0}, {'r', 8, 4}},
       Kind::kRedWins,
       198000},
      {"red pawn on rank 1 with the chariot on rank 1",
       {{'K', 4, 9}, {'R', 0, 1}, {'P', 2, 1}, {'k', 3, 0}, {'b', 6, 0}, {'r', 8, 4}},
       Kind::kRedWins,
       197500},
      {"red pawn on (2, 1), chariot off rank 1",
       {{'K', 4, 9}, {'R', 0, 7}, {'P', 2, 1}, {'k', 3, 0}, {'b', 6, 0}, {'r', 8, 4}},
       Kind::kNone},
      {"black king raised to rank 1",
       {{'K', 4, 9}, {'R', 0, 7}, {'P', 4, 1}, {'k', 3, 1}, {'b', 6, 0}, {'r', 8, 4}},
       Kind::kNone},
      {"a black adviser stops it",
       {{'K', 4, 9}, {'R', 0, 7}, {'P', 4, 1}, {'k', 3, 0}, {'a', 3, 2}, {'r', 8, 4}},
       Kind::kNone},
  });
}

TEST(EvalChariotVsChariot, CentreChariotWithTwoAdvisers) {
  CheckChariots({
      {"one red pawn against the chariot on (4, 4)",
       {{'K', 5, 9}, {'R', 0, 7}, {'P', 0, 3}, {'k', 4, 0}, {'a', 3, 0}, {'a', 5, 0}, {'r', 4, 4}},
       Kind::kBlackCannotLose},
      {"no pawns, red with an adviser",
       {{'K', 5, 9}, {'A', 4, 8}, {'R', 0, 7}, {'k', 4, 0}, {'a', 3, 0}, {'a', 5, 0}, {'r', 4, 2}},
       Kind::kBlackCannotLose},
      {"black chariot on (4, 7)",
       {{'K', 5, 9}, {'R', 0, 7}, {'P', 0, 3}, {'k', 4, 0}, {'a', 3, 0}, {'a', 5, 0}, {'r', 4, 7}},
       Kind::kNone},
  });
}

TEST(EvalChariotVsChariot, PawnHeldOnTheSeventhRank) {
  // No black twin for this rule.
  CheckChariots({
      {"chariots on file 7 around the pawn on (7, 7)",
       {{'K', 4, 9}, {'B', 6, 9}, {'B', 2, 9}, {'R', 7, 3}, {'k', 3, 0}, {'r', 7, 9}, {'p', 7, 7}},
       Kind::kRedCannotLose,
       0,
       "wb",
       false},
      {"red chariot between the pawn and black's",
       {{'K', 4, 9}, {'B', 6, 9}, {'B', 2, 9}, {'R', 7, 8}, {'k', 3, 0}, {'r', 7, 9}, {'p', 7, 7}},
       Kind::kNone,
       0,
       "wb",
       false},
  });
}

TEST(EvalChariotVsChariot, UncrossedPawnAgainstElephants) {
  CheckChariots({
      {"red chariot on rank 5",
       {{'K', 4, 9},
        {'B', 4, 7},
        {'B', 2, 9},
        {'R', 1, 5},
        {'k', 4, 0},
        {'b', 2, 0},
        {'b', 6, 0},
        {'r', 6, 2},
        {'p', 6, 4}},
       Kind::kRedCannotLose},
      {"red chariot free on the wing while black's is on the right",
       {{'K', 4, 9},
        {'B', 4, 7},
        {'B', 2, 9},
        {'R', 1, 6},
        {'k', 4, 0},
        {'b', 2, 0},
        {'b', 6, 0},
        {'r', 6, 2},
        {'p', 6, 4}},
       Kind::kNone},
      {"black chariot on the left wing",
       {{'K', 4, 9},
        {'B', 4, 7},
        {'B', 2, 9},
        {'R', 1, 6},
        {'k', 4, 0},
        {'b', 2, 0},
        {'b', 6, 0},
        {'r', 2, 2},
        {'p', 6, 4}},
       Kind::kRedCannotLose},
  });
}

TEST(EvalChariotVsChariot, DeepPawnStoppedOnTheEdge) {
  CheckChariots({
      {"red pawn on (8, 3), chariot behind it, black chariot in front",
       {{'K', 4, 9}, {'R', 8, 1}, {'P', 8, 3}, {'k', 3, 0}, {'b', 4, 2}, {'b', 6, 0}, {'r', 8, 5}},
       Kind::kBlackCannotLose},
      {"red pawn on (6, 2) with the chariot on (6, 1)",
       {{'K', 4, 9},
        {'A', 4, 8},
        {'R', 6, 1},
        {'P', 6, 2},
        {'k', 3, 0},
        {'b', 4, 2},
        {'b', 6, 0},
        {'r', 6, 5}},
       Kind::kBlackCannotLose},
      {"the same without a red adviser or elephant",
       {{'K', 4, 9}, {'R', 6, 1}, {'P', 6, 2}, {'k', 3, 0}, {'b', 4, 2}, {'b', 6, 0}, {'r', 6, 5}},
       Kind::kNone},
  });
}

}  // namespace
