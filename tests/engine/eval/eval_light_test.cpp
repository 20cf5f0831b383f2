// The light evaluator: the king-square rules it adds to the shared frame,
// its worked numbers, the frame's exits that skip them, a differential check
// on positions from random play, and the choice of the evaluator by
// knowledge level and by the material on the board.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine/eval/evaluate.h"
#include "engine/eval/full_eval.h"
#include "engine/eval/prepare.h"
#include "engine/position/position.h"
#include "tests/engine/eval/board_builder.h"
#include "tests/engine/eval/level_fixture.h"
#include "tests/engine/eval/palace_rules_harness.h"
#include "tests/support/test_position.h"

namespace {

using eval_testing::At;
using eval_testing::Fen;
using palace_rules_testing::PreparedState;
using palace_rules_testing::Totals;
using testing_support::SetUpFen;

struct Score {
  int32_t score, red, black;
};

bool termsRan = false;
void NoTerms(FullEvalState&) { termsRan = true; }

// What the light evaluator adds to the shared frame (set-up, king-area
// attack and material patterns), to each total and to the score; zero
// when the frame ends the evaluation early.
Score LightAdditions(int32_t alpha) {
  Score frame{0, 0, 0};
  termsRan = false;
  frame.score = EvaluatePatterns(alpha, &frame.red, &frame.black, NoTerms);
  Score light{0, 0, 0};
  light.score = EvaluateLight(alpha, &light.red, &light.black);
  return {light.score - frame.score, light.red - frame.red, light.black - frame.black};
}

struct Case {
  const char* name;
  std::vector<At> pieces;
  Totals added;        // red's and black's additions
  Totals mirrorAdded;  // the same on the colour mirror
};

TEST(EvalLight, KingSquareRulesAreAllItAdds) {
  const std::vector<Case> cases = {
      // Black king on the palace front, a red zone pawn, knight (on a target
      // square) and chariot, black without advisers: 66 + 100 + 50 + 50.
      {"king on (4,2)",
       {{'k', 4, 2},
        {'r', 0, 0},
        {'c', 1, 0},
        {'n', 8, 0},
        {'K', 3, 9},
        {'R', 0, 9},
        {'N', 5, 3},
        {'P', 2, 2},
        {'C', 7, 7}},
       {266, 0},
       {0, 266}},
      // King on the palace centre, two red chariots, no knight target: 25
      // per chariot. Black's twin against the red king on (4,8) counts a
      // third of 100 per chariot: 66.
      {"king on (4,1), no target",
       {{'k', 4, 1}, {'r', 0, 0}, {'c', 1, 0}, {'n', 8, 0}, {'K', 3, 9}, {'R', 0, 9}, {'R', 8, 9}},
       {50, 0},
       {0, 66}},
      // With one knight target: 50 per chariot and per target. Black's twin
      // with two chariots and a target: 100 per chariot and 50 per target.
      {"king on (4,1), one target",
       {{'k', 4, 1},
        {'r', 0, 0},
        {'c', 1, 0},
        {'n', 8, 0},
        {'K', 3, 9},
        {'R', 0, 9},
        {'R', 8, 9},
        {'N', 6, 3}},
       {150, 0},
       {0, 250}},
      // King in the back corner, a red zone pawn on (4,1), no red chariot:
      // 100 + 100 per chariot.
      {"king on (5,0)",
       {{'k', 5, 0},
        {'r', 0, 0},
        {'c', 1, 0},
        {'n', 8, 0},
        {'K', 3, 9},
        {'P', 4, 1},
        {'N', 0, 9},
        {'C', 1, 9},
        {'C', 7, 9}},
       {100, 0},
       {0, 100}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (const char side : {'w', 'b'}) {
      SCOPED_TRACE(side == 'w' ? "red to move" : "black to move");
      SetUpFen(Fen(c.pieces, side));
      Score add = LightAdditions(-2000);
      ASSERT_TRUE(termsRan);
      EXPECT_EQ(add.red, c.added.red);
      EXPECT_EQ(add.black, c.added.black);
      EXPECT_EQ(add.score, (side == 'w' ? 1 : -1) * (add.red - add.black));
      SetUpFen(Fen(palace_rules_testing::ColourMirror(c.pieces), side == 'w' ? 'b' : 'w'));
      add = LightAdditions(-2000);
      ASSERT_TRUE(termsRan);
      EXPECT_EQ(add.red, c.mirrorAdded.red) << "colour mirror";
      EXPECT_EQ(add.black, c.mirrorAdded.black) << "colour mirror";
    }
  }
}

TEST(EvalLight, EarlyExitsSkipTheKingSquareRules) {
  const int32_t savedMargin = lazyMargin;
  // The position of the first worked number: far below alpha the lazy cut
  // answers alpha and nothing is added.
  SetUpFen(Fen({{'k', 4, 2},
                {'r', 0, 0},
                {'c', 1, 0},
                {'n', 8, 0},
                {'K', 3, 9},
                {'R', 0, 9},
                {'N', 5, 3},
                {'P', 2, 2},
                {'C', 7, 7}},
               'w'));
  lazyMargin = -1000000;
  Score add = LightAdditions(1999);
  EXPECT_FALSE(termsRan);
  EXPECT_EQ(add.score, 0);
  EXPECT_EQ(add.red, 0);
  EXPECT_EQ(add.black, 0);
  lazyMargin = savedMargin;
  // A lone red chariot with a pawn against a lone black cannon: the
  // material patterns end the evaluation before the king-square rules.
  SetUpFen(Fen({{'k', 4, 1}, {'c', 1, 0}, {'K', 3, 9}, {'R', 0, 9}, {'P', 3, 2}}, 'w'));
  add = LightAdditions(-2000);
  EXPECT_EQ(add.red, 0);
  EXPECT_EQ(add.black, 0);
  int32_t red = 0, black = 0;
  EXPECT_EQ(EvaluateLight(-2000, &red, &black), EvaluateFull(-2000, &red, &black));
}

TEST(EvalLight, AddsTheKingSquareRulesOnRandomPlay) {
  const std::vector<std::string> fens = {
      testing_support::kStartFen,
      "r1bakabr1/9/1cn3nc1/p1p1p1p1p/9/9/P1P1P1P1P/1C2C1N2/9/RNBAKAB1R b",
      "2bak4/4a4/2n1b4/p3p3p/2p3c2/6R2/P3P3P/2N1B1C2/4A4/3AK4 b",
  };
  int checked = 0, mismatches = 0;
  std::mt19937 rng(7);
  for (const std::string& fen : fens) {
    for (int game = 0; game < 4; ++game) {
      SetUpFen(fen);
      for (int ply = 0; ply < 100; ++ply) {
        const Score add = LightAdditions(-2000);
        Totals want{0, 0};
        if (termsRan) {
          FullEvalState s = PreparedState();
          KingSquareRulesBlack(s);
          KingSquareRulesRed(s);
          want = {s.redTotal, s.blackTotal};
        }
        ++checked;
        if ((add.red != want.red || add.black != want.black) && mismatches++ < 5)
          ADD_FAILURE() << testing_support::CurrentFen() << ": added " << add.red << "/"
                        << add.black << ", king-square rules " << want.red << "/" << want.black;
        const std::vector<Move> legal = testing_support::LegalMoves();
        if (legal.empty()) break;
        ASSERT_NE(
            MakeMove(legal[rng() % legal.size()], static_cast<int32_t>(FindChecker(sideToMove))),
            0);
      }
    }
  }
  EXPECT_EQ(mismatches, 0);
  EXPECT_GT(checked, 800);
}

// ---------------------------------------------------------------------------
// Choosing the evaluator
// ---------------------------------------------------------------------------

class EvaluatorChoice : public eval_testing::LevelRestoringTest {};

TEST_F(EvaluatorChoice, LevelsSelectEvaluatorAndMargin) {
  const struct {
    int32_t level;
    EvaluatorFn fn;
    int32_t margin;
  } cases[] = {{0, EvaluateMaterial, 200}, {1, EvaluateLight, 400}, {2, EvaluateMedium, 400},
               {3, EvaluateFull, 300},     {5, EvaluateFull, 500},  {12, EvaluateFull, 1200},
               {-1, EvaluateFull, -100}};
  for (const auto& c : cases) {
    middleKnowledge = c.level;
    SelectEvaluator();
    EXPECT_EQ(evaluator, c.fn) << "level " << c.level;
    EXPECT_EQ(lazyMargin, c.margin) << "level " << c.level;
    EXPECT_EQ(EvaluatorForLevel(static_cast<uint32_t>(c.level)), c.fn) << "level " << c.level;
  }
}

TEST_F(EvaluatorChoice, PreparationLowersTheFullLevelByMaterial) {
  const std::vector<At> twoEach = {{'k', 4, 0}, {'r', 0, 0}, {'n', 1, 0}, {'K', 4, 9},
                                   {'R', 0, 9}, {'C', 1, 7}, {'A', 4, 8}};
  const std::vector<At> oneEach = {{'k', 4, 0}, {'r', 0, 0}, {'K', 4, 9}, {'C', 1, 7}, {'A', 4, 8}};
  const std::vector<At> minorsOnly = {{'k', 4, 0}, {'n', 1, 0}, {'c', 1, 2},
                                      {'n', 7, 0}, {'K', 4, 9}, {'N', 1, 9},
                                      {'C', 1, 7}, {'C', 7, 7}, {'A', 4, 8}};
  const struct {
    int32_t level;
    const std::vector<At>* pieces;
    EvaluatorFn fn;
  } cases[] = {
      {5, nullptr, EvaluateFull},      {5, &twoEach, EvaluateMedium},
      {5, &oneEach, EvaluateLight},    {5, &minorsOnly, EvaluateMedium},
      {3, &oneEach, EvaluateLight},    {2, &oneEach, EvaluateMedium},
      {1, &twoEach, EvaluateLight},    {1, nullptr, EvaluateLight},
      {0, &oneEach, EvaluateMaterial},
  };
  for (const auto& c : cases) {
    middleKnowledge = c.level;
    SetUpFen(c.pieces == nullptr ? std::string(testing_support::kStartFen) : Fen(*c.pieces));
    EXPECT_EQ(evaluator, c.fn) << "level " << c.level;
    EXPECT_EQ(lazyMargin, c.level == 0 ? 200 : c.level <= 2 ? 400 : 100 * c.level);
  }
}

}  // namespace
