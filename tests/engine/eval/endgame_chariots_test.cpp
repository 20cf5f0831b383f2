// Chariot against chariot, and a bare chariot against a chariot with pawns
// or with a cannon: the draws, "cannot lose" verdicts and graded wins, their
// bounds by side to move, and the colour-swapped board giving the same
// verdict through the twin (or through the symmetric rule pair).
#include "tests/engine/eval/endgame_test_support.h"

namespace {

using namespace endgame_testing;

// --- Bare chariot against chariot and pawns ---------------------------------

TEST(EvalBareChariotVsChariotPawns, PawnOnTheBackRankOrTheMostAdvancedPawn) {
  CheckAll(
      {
          {"pawn on (7, 9), red king on file 5",
           {{'K', 5, 9}, {'R', 0, 7}, {'k', 4, 0}, {'r', 4, 3}, {'p', 7, 9}},
           Expect::kBlackWins,
           199000},
          {"the first square of the order wins over later ones",
           {{'K', 5, 9}, {'R', 0, 7}, {'k', 4, 0}, {'r', 4, 3}, {'p', 0, 9}, {'p', 8, 9}},
           Expect::kBlackWins,
           198500},
          {"black king off the centre file costs 500",
           {{'K', 5, 9}, {'R', 0, 7}, {'k', 3, 0}, {'r', 4, 3}, {'p', 7, 9}},
           Expect::kBlackWins,
           198500},
          {"red king on file 3 mirrors the order",
           {{'K', 3, 9}, {'R', 0, 7}, {'k', 4, 0}, {'r', 4, 3}, {'p', 7, 9}},
           Expect::kBlackWins,
           197000},
          {"most advanced pawn on rank 6",
           {{'K', 5, 9}, {'R', 0, 7}, {'k', 4, 0}, {'r', 4, 5}, {'p', 2, 6}, {'p', 6, 4}},
           Expect::kBlackWins,
           190000},
          {"chariot on (4, 8) behind an empty (4, 4)",
           {{'K', 5, 9}, {'R', 0, 7}, {'k', 4, 0}, {'r', 4, 8}, {'p', 1, 8}},
           Expect::kBlackWins,
           191000},
          {"red edge pawn present",
           {{'K', 5, 9}, {'R', 0, 7}, {'P', 8, 2}, {'k', 4, 0}, {'r', 4, 3}, {'p', 5, 3}},
           Expect::kBlackWins,
           188500},
      },
      EvalBareChariotVsChariotPawnsRed, EvalBareChariotVsChariotPawnsBlack);
}

TEST(EvalBareChariotVsChariotPawns, NoVerdict) {
  CheckAll(
      {
          {"red king on (4, 9), whatever the pawns",
           {{'K', 4, 9}, {'R', 0, 7}, {'k', 3, 0}, {'r', 4, 3}, {'p', 4, 7}, {'p', 6, 9}},
           Expect::kNone},
          {"black pawn on (4, 3)",
           {{'K', 5, 9}, {'R', 0, 7}, {'k', 4, 0}, {'r', 4, 5}, {'p', 4, 3}, {'p', 7, 9}},
           Expect::kNone},
          {"pawn on (4, 4) in front of the chariot",
           {{'K', 5, 9}, {'R', 0, 7}, {'k', 4, 0}, {'r', 4, 5}, {'p', 4, 4}, {'p', 7, 9}},
           Expect::kNone},
          {"black chariot off the centre file",
           {{'K', 5, 9}, {'R', 0, 7}, {'k', 4, 0}, {'r', 2, 3}, {'p', 7, 9}},
           Expect::kNone},
          {"only pawn blocked on the edge file",
           {{'K', 5, 9},
            {'R', 1, 7},
            {'P', 0, 5},
            {'k', 4, 0},
            {'a', 4, 1},
            {'r', 4, 3},
            {'p', 0, 4}},
           Expect::kNone},
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
           Expect::kBlackWins,
           196500},
          {"full black palace, k = 3",
           {{'K', 3, 9},
            {'R', 0, 7},
            {'k', 4, 0},
            {'a', 4, 1},
            {'b', 4, 2},
            {'r', 4, 5},
            {'c', 7, 2}},
           Expect::kBlackWins,
           195500},
          {"cannon on (3, 9), chariot on (4, 9)",
           {{'K', 3, 8}, {'R', 0, 7}, {'k', 4, 0}, {'r', 4, 9}, {'c', 3, 9}},
           Expect::kBlackWins,
           197500},
          {"cannon on (1, 9), chariot on (4, 9)",
           {{'K', 3, 8}, {'R', 0, 7}, {'k', 4, 0}, {'r', 4, 9}, {'c', 1, 9}},
           Expect::kBlackWins,
           197000},
          {"cannon on (1, 9), chariot elsewhere on the file",
           {{'K', 3, 8}, {'R', 0, 7}, {'k', 4, 0}, {'r', 4, 5}, {'c', 1, 9}},
           Expect::kBlackWins,
           196500},
          {"cannon on the wing, off file 3",
           {{'K', 3, 8}, {'R', 0, 7}, {'k', 4, 0}, {'r', 4, 5}, {'c', 1, 5}},
           Expect::kBlackWins,
           196000},
          {"cannon on file 3",
           {{'K', 3, 8}, {'R', 0, 7}, {'k', 4, 0}, {'r', 4, 5}, {'c', 3, 5}},
           Expect::kBlackWins,
           195500},
          {"right side: red king on file 5, cannon on (7, 9)",
           {{'K', 5, 8}, {'R', 0, 7}, {'k', 4, 0}, {'r', 4, 5}, {'c', 7, 9}},
           Expect::kBlackWins,
           196500},
          {"black king off the centre file",
           {{'K', 5, 9}, {'R', 0, 7}, {'k', 3, 0}, {'r', 4, 5}, {'c', 7, 2}},
           Expect::kNone},
          {"black chariot off the centre file",
           {{'K', 3, 9}, {'R', 0, 7}, {'k', 4, 0}, {'r', 2, 5}, {'c', 7, 2}},
           Expect::kNone},
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
       Expect::kDraw},
      {"chariots on different wings, both out",
       {{'K', 4, 9}, {'B', 4, 7}, {'R', 1, 5}, {'k', 3, 0}, {'r', 6, 3}},
       Expect::kDraw},
      {"black chariot on rank 2, the square behind its king off the board",
       {{'K', 4, 9}, {'B', 4, 7}, {'R', 1, 5}, {'k', 3, 0}, {'r', 6, 2}},
       Expect::kDraw},
      {"black chariot on rank 1",
       {{'K', 4, 9}, {'B', 4, 7}, {'R', 1, 5}, {'k', 3, 0}, {'r', 6, 1}},
       Expect::kNone},
      {"red chariot on rank 7, its king on (3, 8) with (3, 9) empty",
       {{'K', 3, 8}, {'B', 4, 7}, {'R', 1, 7}, {'k', 5, 0}, {'r', 6, 3}},
       Expect::kDraw},
      {"the same with an adviser behind the king",
       {{'K', 3, 8}, {'A', 3, 9}, {'B', 4, 7}, {'R', 1, 7}, {'k', 5, 0}, {'r', 6, 3}},
       Expect::kNone},
      {"a red piece attacks the black chariot",
       {{'K', 4, 9}, {'B', 4, 7}, {'R', 1, 5}, {'k', 3, 0}, {'r', 1, 3}},
       Expect::kNone},
      {"a chariot on the centre file",
       {{'K', 3, 9}, {'B', 4, 7}, {'R', 4, 5}, {'k', 5, 0}, {'r', 2, 3}},
       Expect::kNone},
  });
}

TEST(EvalChariotVsChariot, PawnlessCentralChariotAgainstElephants) {
  CheckChariots({
      {"black chariot on file 4 against red's joined elephants",
       {{'K', 4, 9}, {'B', 4, 7}, {'B', 6, 9}, {'R', 0, 5}, {'k', 3, 0}, {'r', 4, 3}},
       Expect::kBlackHolds},
      {"(5, 8) occupied by the red king",
       {{'K', 5, 8}, {'B', 4, 7}, {'B', 6, 9}, {'R', 0, 5}, {'k', 3, 0}, {'r', 4, 3}},
       Expect::kNone},
  });
}

TEST(EvalChariotVsChariot, PawnlessExposedKing) {
  // Red's chariot stands on its king's file in black's half: with black to
  // move and the chariot not attacked, a draw.
  CheckChariots({
      {"red chariot on (4, 4) in front of its king",
       {{'K', 4, 9}, {'R', 4, 4}, {'k', 3, 0}, {'r', 8, 0}},
       Expect::kDraw,
       0,
       "b"},
      {"red king raised to rank 7",
       {{'K', 4, 7}, {'R', 0, 5}, {'k', 3, 0}, {'r', 8, 1}},
       Expect::kDraw,
       0,
       "b"},
      {"red to move: no verdict",
       {{'K', 4, 9}, {'R', 4, 4}, {'k', 3, 0}, {'r', 8, 0}},
       Expect::kNone,
       0,
       "w"},
      {"black chariot attacks red's",
       {{'K', 4, 9}, {'R', 4, 4}, {'k', 3, 0}, {'r', 8, 4}},
       Expect::kNone,
       0,
       "b"},
  });
  // Red's chariot counts on ranks 3 to 5, black's on the mirrored ranks 4 to
  // 6; each case is checked again on the colour-swapped board.
  CheckChariots({
      {"black chariot on (4, 6)",
       {{'K', 3, 9}, {'R', 8, 9}, {'k', 4, 0}, {'r', 4, 6}},
       Expect::kDraw,
       0,
       "w"},
      {"black chariot on (4, 4)",
       {{'K', 3, 9}, {'R', 8, 9}, {'k', 4, 0}, {'r', 4, 4}},
       Expect::kDraw,
       0,
       "w"},
      {"black chariot on (4, 3)",
       {{'K', 3, 9}, {'R', 8, 9}, {'k', 4, 0}, {'r', 4, 3}},
       Expect::kNone,
       0,
       "w"},
      {"black chariot on (4, 7)",
       {{'K', 3, 9}, {'R', 8, 9}, {'k', 4, 0}, {'r', 4, 7}},
       Expect::kNone,
       0,
       "w"},
      // 3a5/2r1k4/9/9/9/9/5R3/9/9/5K3 b: red's chariot one rank short of the
      // exposed ranks; its colour-swapped twin must not draw either.
      {"red chariot on (3, 6) in front of its king on (3, 9)",
       {{'K', 3, 9}, {'R', 3, 6}, {'k', 4, 1}, {'a', 5, 0}, {'r', 6, 1}},
       Expect::kNone,
       0,
       "b"},
  });
}

TEST(EvalChariotVsChariot, SingleAdviserDraws) {
  CheckChariots({
      {"raised adviser, chariot on rank 7, pawn on the far wing",
       {{'K', 3, 9}, {'A', 5, 7}, {'R', 0, 7}, {'k', 4, 0}, {'r', 8, 2}, {'p', 6, 8}},
       Expect::kDraw},
      {"the same on the other wing",
       {{'K', 5, 8}, {'A', 3, 7}, {'R', 8, 7}, {'k', 4, 0}, {'r', 0, 2}, {'p', 1, 9}},
       Expect::kDraw},
      {"adviser on (4, 8), chariot on the centre file, pawn on the back rank",
       {{'K', 4, 9}, {'A', 4, 8}, {'R', 4, 5}, {'k', 3, 0}, {'r', 8, 2}, {'p', 2, 9}},
       Expect::kDraw},
      {"central elephant and black chariot on red's back rank: skipped",
       {{'K', 3, 9}, {'A', 5, 7}, {'B', 4, 7}, {'R', 0, 7}, {'k', 4, 0}, {'r', 8, 9}, {'p', 6, 9}},
       Expect::kNone},
      {"central elephant, black chariot elsewhere",
       {{'K', 3, 9}, {'A', 5, 7}, {'B', 4, 7}, {'R', 0, 7}, {'k', 4, 0}, {'r', 8, 2}, {'p', 6, 9}},
       Expect::kDraw},
      {"the same with the pawn still on rank 8",
       {{'K', 4, 9}, {'A', 4, 8}, {'R', 4, 5}, {'k', 3, 0}, {'r', 8, 2}, {'p', 2, 8}},
       Expect::kNone},
  });
}

TEST(EvalChariotVsChariot, PawnOnSecondRank) {
  // Black keeps an elephant (a bare black chariot has its own evaluator), so
  // its king must stand on its back rank.
  CheckChariots({
      {"red pawn on (4, 1), chariot off rank 1",
       {{'K', 4, 9}, {'R', 0, 7}, {'P', 4, 1}, {'k', 3, 0}, {'b', 6, 0}, {'r', 8, 4}},
       Expect::kRedWins,
       198000},
      {"red pawn on rank 1 with the chariot on rank 1",
       {{'K', 4, 9}, {'R', 0, 1}, {'P', 2, 1}, {'k', 3, 0}, {'b', 6, 0}, {'r', 8, 4}},
       Expect::kRedWins,
       197500},
      {"red pawn on (2, 1), chariot off rank 1",
       {{'K', 4, 9}, {'R', 0, 7}, {'P', 2, 1}, {'k', 3, 0}, {'b', 6, 0}, {'r', 8, 4}},
       Expect::kNone},
      {"black king raised to rank 1",
       {{'K', 4, 9}, {'R', 0, 7}, {'P', 4, 1}, {'k', 3, 1}, {'b', 6, 0}, {'r', 8, 4}},
       Expect::kNone},
      {"a black adviser stops it",
       {{'K', 4, 9}, {'R', 0, 7}, {'P', 4, 1}, {'k', 3, 0}, {'a', 3, 2}, {'r', 8, 4}},
       Expect::kNone},
  });
}

TEST(EvalChariotVsChariot, CentreChariotWithTwoAdvisers) {
  CheckChariots({
      {"one red pawn against the chariot on (4, 4)",
       {{'K', 5, 9}, {'R', 0, 7}, {'P', 0, 3}, {'k', 4, 0}, {'a', 3, 0}, {'a', 5, 0}, {'r', 4, 4}},
       Expect::kBlackHolds},
      {"no pawns, red with an adviser",
       {{'K', 5, 9}, {'A', 4, 8}, {'R', 0, 7}, {'k', 4, 0}, {'a', 3, 0}, {'a', 5, 0}, {'r', 4, 2}},
       Expect::kBlackHolds},
      {"black chariot on (4, 7)",
       {{'K', 5, 9}, {'R', 0, 7}, {'P', 0, 3}, {'k', 4, 0}, {'a', 3, 0}, {'a', 5, 0}, {'r', 4, 7}},
       Expect::kNone},
  });
}

TEST(EvalChariotVsChariot, PawnHeldOnTheSeventhRank) {
  // No black twin for this rule.
  CheckChariots({
      {"chariots on file 7 around the pawn on (7, 7)",
       {{'K', 4, 9}, {'B', 6, 9}, {'B', 2, 9}, {'R', 7, 3}, {'k', 3, 0}, {'r', 7, 9}, {'p', 7, 7}},
       Expect::kRedHolds,
       0,
       "wb",
       false},
      {"red chariot between the pawn and black's",
       {{'K', 4, 9}, {'B', 6, 9}, {'B', 2, 9}, {'R', 7, 8}, {'k', 3, 0}, {'r', 7, 9}, {'p', 7, 7}},
       Expect::kNone,
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
       Expect::kRedHolds},
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
       Expect::kNone},
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
       Expect::kRedHolds},
  });
}

TEST(EvalChariotVsChariot, DeepPawnStoppedOnTheEdge) {
  CheckChariots({
      {"red pawn on (8, 3), chariot behind it, black chariot in front",
       {{'K', 4, 9}, {'R', 8, 1}, {'P', 8, 3}, {'k', 3, 0}, {'b', 4, 2}, {'b', 6, 0}, {'r', 8, 5}},
       Expect::kBlackHolds},
      {"red pawn on (6, 2) with the chariot on (6, 1)",
       {{'K', 4, 9},
        {'A', 4, 8},
        {'R', 6, 1},
        {'P', 6, 2},
        {'k', 3, 0},
        {'b', 4, 2},
        {'b', 6, 0},
        {'r', 6, 5}},
       Expect::kBlackHolds},
      {"the same without a red adviser or elephant",
       {{'K', 4, 9}, {'R', 6, 1}, {'P', 6, 2}, {'k', 3, 0}, {'b', 4, 2}, {'b', 6, 0}, {'r', 6, 5}},
       Expect::kNone},
  });
}

}  // namespace
