// The full evaluator's frame: endgame verdicts, the draw exit, the damped
// returns of one-sided endings, the material set-up, the lazy cut and the
// final sum, and the positional rules shared by two term groups, which count
// once.
#include <gtest/gtest.h>

#include <vector>

#include "engine/eval/evaluate.h"
#include "engine/eval/full_eval.h"
#include "tests/engine/eval/board_builder.h"
#include "tests/engine/eval/palace_rules_harness.h"
#include "tests/support/test_position.h"

namespace {

using eval_testing::At;
using eval_testing::Fen;
using testing_support::SetUpFen;

struct Result {
  int32_t score;
  int32_t red;
  int32_t black;
};

class FullEvalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedMargin_ = lazyMargin;
    savedContemptRed_ = contemptRed;
    savedContemptBlack_ = contemptBlack;
  }
  void TearDown() override {
    lazyMargin = savedMargin_;
    contemptRed = savedContemptRed_;
    contemptBlack = savedContemptBlack_;
  }

  static Result Eval(int32_t alpha) {
    Result r{0, -12345, -12345};
    r.score = EvaluateFull(alpha, &r.red, &r.black);
    return r;
  }
  // Evaluation with the lazy cut out of reach.
  static Result Full() { return Eval(-2000); }
  // The set-up alone: a margin far below any score makes the lazy cut end
  // the evaluation right after it, with the set-up's totals.
  static Result SetUpOnly() {
    const int32_t saved = lazyMargin;
    lazyMargin = -1000000;
    const Result r = Eval(1999);
    lazyMargin = saved;
    EXPECT_EQ(r.score, 1999) << "no lazy cut: the set-up ended the evaluation";
    return r;
  }
  // The working balance behind a final sum.
  static int32_t BalanceOf(const Result& r) {
    return sideToMove == kRed ? r.score - r.red + r.black - kTempoBonus
                              : r.black - r.red + kTempoBonus - r.score;
  }

 private:
  int32_t savedMargin_ = 0;
  int32_t savedContemptRed_ = 0;
  int32_t savedContemptBlack_ = 0;
};

TEST_F(FullEvalTest, ExactVerdictIsReturnedUnchanged) {
  contemptRed = 7;
  contemptBlack = -3;
  lazyMargin = -1000000;  // the verdict comes before any lazy cut
  for (char side : {'w', 'b'}) {
    SetUpFen(Fen({{'K', 3, 9}, {'A', 4, 8}, {'k', 4, 0}, {'b', 2, 0}}, side));
    ASSERT_EQ(SelectEndgameEvaluator(), &EvalNoAttackersDraw);
    const int32_t expected =
        side == 'w' ? 7 + materialBalance / 8 : -3 - materialBalance / 8;
    for (int32_t alpha : {-2000, 0, 1999}) {
      const Result r = Eval(alpha);
      EXPECT_EQ(r.score, expected);
      EXPECT_EQ(r.red, 0);
      EXPECT_EQ(r.black, 0);
    }
  }
}

TEST_F(FullEvalTest, DrawishVerdictDampsTheBalanceAndGoesToTheMoversTotal) {
  // Black's lone cannon against two red cannons, red king on (4,7).
  const std::vector<At> pieces = {{'K', 4, 7}, {'C', 1, 7}, {'C', 7, 7}, {'k', 4, 0},
                                  {'c', 1, 2}};
  SetUpFen(Fen(pieces, 'b'));
  const EndgameEvaluatorFn endgame = SelectEndgameEvaluator();
  ASSERT_NE(endgame, nullptr);
  EndgameVerdict verdict{0, kVerdictNone};
  endgame(&verdict);
  ASSERT_EQ(verdict.flag, kVerdictDrawish);
  ASSERT_EQ(verdict.score, 300);
  contemptRed = 0;
  // Set-up totals without the verdict: red 50 (black cannot win, red's two
  // cannons) - 50 (cannon without chariot) + 100 (black's missing advisers
  // and elephants) + 75 (attack strength) - 50 (a pawnless pair of cannons)
  // = 125; black 66 (red's weak cannon pair) - 50 + 100 = 116.
  for (char side : {'b', 'w'}) {
    SetUpFen(Fen(pieces, side));
    const Result setUp = SetUpOnly();
    EXPECT_EQ(setUp.red, 125 + (side == 'w' ? 300 : 0));
    EXPECT_EQ(setUp.black, 116 + (side == 'b' ? 300 : 0));
    EXPECT_EQ(BalanceOf(Full()), materialBalance / 3);
  }
}

TEST_F(FullEvalTest, DrawExitWhenNeitherSideCanWin) {
  // Lone cannons without pawns or advisers: nobody can win.
  const std::vector<At> pieces = {{'K', 4, 9}, {'C', 1, 7}, {'k', 4, 0},
                                  {'c', 1, 2}, {'b', 2, 0}, {'b', 6, 0}};
  contemptRed = 5;
  contemptBlack = -4;
  lazyMargin = -1000000;  // the draw exit comes before the lazy cut
  SetUpFen(Fen(pieces, 'w'));
  ASSERT_EQ(RedCanWin(), 0);
  ASSERT_EQ(BlackCanWin(), 0);
  Result r = Eval(1999);
  EXPECT_EQ(r.red, 0);
  EXPECT_EQ(r.black, 0);
  EXPECT_EQ(r.score, materialBalance / 8 + 5);
  // A red-view score of -15 rounds toward zero: -1, not -2.
  materialBalance = -15;
  EXPECT_EQ(Eval(1999).score, -1 + 5);
  SetUpFen(Fen(pieces, 'b'));
  EXPECT_EQ(Eval(1999).score, -materialBalance / 8 - 4);
  materialBalance = -15;
  EXPECT_EQ(Eval(1999).score, 1 - 4);
}

TEST_F(FullEvalTest, LoneMinorAgainstAnUnwinnableDefenceIsDividedByThree) {
  // Only black can win, with a lone knight and one pawn against red's
  // cannon: balance and totals divided by 3, no lazy cut, no other term.
  const std::vector<At> pieces = {{'K', 4, 9}, {'A', 4, 8}, {'C', 1, 7}, {'k', 4, 0},
                                  {'b', 2, 0}, {'b', 6, 0}, {'n', 1, 0}, {'p', 0, 5}};
  lazyMargin = -1000000;
  for (char side : {'w', 'b'}) {
    SetUpFen(Fen(pieces, side));
    ASSERT_EQ(RedCanWin(), 0);
    ASSERT_EQ(BlackCanWin(), 1);
    const Result r = Eval(1999);
    EXPECT_EQ(r.red, 0);
    EXPECT_EQ(r.black, 0);
    const int32_t third = materialBalance / 3;
    EXPECT_EQ(r.score, side == 'w' ? third + kTempoBonus : kTempoBonus - third);
  }
}

TEST_F(FullEvalTest, TwoAttackersEquallyStrongAreHalved) {
  // Red's lone chariot cannot win against the full defence; black's knight
  // and cannon (strength 10 + 1 zone pawn) are not stronger than red's
  // chariot + 1: everything halved.
  const std::vector<At> pieces = {{'K', 4, 9}, {'R', 0, 9}, {'k', 4, 0}, {'a', 3, 0},
                                  {'a', 5, 0}, {'b', 2, 0}, {'b', 6, 0}, {'n', 1, 0},
                                  {'c', 1, 2}, {'p', 4, 7}};
  lazyMargin = -1000000;
  for (char side : {'w', 'b'}) {
    SetUpFen(Fen(pieces, side));
    const Result r = Eval(1999);
    EXPECT_EQ(r.red, 0);
    EXPECT_EQ(r.black, 30 / 2);
    EXPECT_EQ(BalanceOf(r), materialBalance / 2);
  }
}

TEST_F(FullEvalTest, TwoCannonsAgainstASideThatCannotWin) {
  // Red's lone cannon without adviser cannot win; black's two cannons
  // without pawns get contempt + 50. Set-up totals: red 66 (the weak pair)
  // - 50 (cannon without chariot) + 100 (black's missing advisers and
  // elephants) = 116; black 9 + 50 - 50 + 100 (red's missing advisers and
  // elephant) + 75 (attack strength 10 against 5) - 50 (pawnless cannon
  // pair) = 134. The balance is not shifted.
  const std::vector<At> pieces = {{'K', 4, 9}, {'B', 2, 9}, {'C', 1, 7}, {'k', 4, 0},
                                  {'c', 1, 2}, {'c', 7, 2}};
  contemptBlack = 9;
  for (char side : {'w', 'b'}) {
    SetUpFen(Fen(pieces, side));
    const Result setUp = SetUpOnly();
    EXPECT_EQ(setUp.red, 116);
    EXPECT_EQ(setUp.black, 134);
    EXPECT_EQ(BalanceOf(Full()), materialBalance);
  }
}

TEST_F(FullEvalTest, AttackStrengthShiftsTheBalance) {
  // Red chariot, knight and cannon (20) against black knight and cannon with
  // two pawns in red's palace zone (10 + 2): red gains 75 + 100 and the
  // balance 8 * (306 - 6 * 12) / 5 = 374. Red's total also loses 20 per pawn
  // short (-40); black's gains 30 per zone pawn and loses 50 for its cannon
  // without chariot.
  const std::vector<At> pieces = {{'K', 4, 9}, {'R', 0, 9}, {'N', 1, 9}, {'C', 1, 7},
                                  {'k', 4, 0}, {'a', 3, 0}, {'a', 5, 0}, {'b', 2, 0},
                                  {'b', 6, 0}, {'n', 1, 0}, {'c', 1, 2}, {'p', 3, 7},
                                  {'p', 5, 7}};
  for (char side : {'w', 'b'}) {
    SetUpFen(Fen(pieces, side));
    const Result setUp = SetUpOnly();
    EXPECT_EQ(setUp.red, 175 - 40);
    EXPECT_EQ(setUp.black, 60 - 50);
    EXPECT_EQ(BalanceOf(Full()), materialBalance + 374);
  }
}

TEST_F(FullEvalTest, EachPawnInTheEnemyPalaceZoneAddsThirty) {
  // Six attacking pieces a side with chariots: of the set-up only the zone
  // pawns reach the totals (their strength stays within 3 of black's). The
  // zone table grades its squares 1 to 3; every pawn on one counts once.
  const std::vector<At> base = {
      {'K', 4, 9}, {'A', 3, 9}, {'A', 5, 9}, {'R', 0, 9}, {'R', 8, 9}, {'N', 1, 9},
      {'N', 7, 9}, {'C', 1, 7}, {'C', 7, 7}, {'k', 5, 0}, {'a', 3, 0}, {'a', 5, 2},
      {'r', 0, 0}, {'r', 8, 0}, {'n', 1, 0}, {'n', 7, 0}, {'c', 1, 2}, {'c', 7, 2},
      {'p', 0, 3}, {'p', 8, 3}};
  const struct {
    std::vector<At> pawns;
    int32_t red;
  } cases[] = {
      {{}, 0},
      {{{'P', 4, 1}}, 30},                            // graded 3
      {{{'P', 4, 2}}, 30},                            // graded 2
      {{{'P', 2, 3}}, 30},                            // graded 1
      {{{'P', 4, 1}, {'P', 3, 2}, {'P', 6, 3}}, 90},  // 3, 2 and 1
      {{{'P', 4, 5}}, 0},                             // outside the zone
      {{{'P', 7, 1}}, 0},
      {{{'P', 2, 1}, {'P', 6, 1}, {'P', 0, 6}}, 60},
  };
  for (const auto& c : cases) {
    std::vector<At> pieces = base;
    pieces.insert(pieces.end(), c.pawns.begin(), c.pawns.end());
    for (char side : {'w', 'b'}) {
      SetUpFen(Fen(pieces, side));
      const Result setUp = SetUpOnly();
      EXPECT_EQ(setUp.red, c.red) << Fen(pieces, side);
      EXPECT_EQ(setUp.black, 0) << Fen(pieces, side);
    }
  }
}

TEST_F(FullEvalTest, LazyCutEdges) {
  // Start position: the set-up adds nothing, so the partial score is the
  // material balance seen by the side to move.
  lazyMargin = 500;
  for (char side : {'w', 'b'}) {
    SetUpFen(Fen({{'R', 0, 9}, {'N', 1, 9}, {'B', 2, 9}, {'A', 3, 9}, {'K', 4, 9},
                    {'A', 5, 9}, {'B', 6, 9}, {'N', 7, 9}, {'R', 8, 9}, {'C', 1, 7},
                    {'C', 7, 7}, {'P', 0, 6}, {'P', 2, 6}, {'P', 4, 6}, {'P', 6, 6},
                    {'P', 8, 6}, {'r', 0, 0}, {'n', 1, 0}, {'b', 2, 0}, {'a', 3, 0},
                    {'k', 4, 0}, {'a', 5, 0}, {'b', 6, 0}, {'n', 7, 0}, {'r', 8, 0},
                    {'c', 1, 2}, {'c', 7, 2}, {'p', 0, 3}, {'p', 2, 3}, {'p', 4, 3},
                    {'p', 6, 3}, {'p', 8, 3}},
                   side));
    const int32_t partial = side == 'w' ? materialBalance : -materialBalance;
    const Result full = Full();
    // Cut exactly when partial + margin + 6 < alpha; the result is alpha.
    const int32_t edge = partial + 500 + kTempoBonus;
    const Result cut = Eval(edge + 1);
    EXPECT_EQ(cut.score, edge + 1);
    EXPECT_EQ(cut.red, 0);
    EXPECT_EQ(cut.black, 0);
    const Result kept = Eval(edge);
    EXPECT_EQ(kept.score, full.score);
    EXPECT_EQ(kept.red, full.red);
    EXPECT_EQ(kept.black, full.black);
  }
  // Alpha of exactly -2000 or 2000 never cuts, 1999 and -1999 do.
  SetUpFen(testing_support::kStartFen);
  lazyMargin = -1000000;
  const Result full = Full();
  EXPECT_EQ(Eval(2000).score, full.score);
  EXPECT_EQ(Eval(1999).score, 1999);
  EXPECT_EQ(Eval(-1999).score, -1999);
}

void NoPositionalTerms(FullEvalState&) {}

// Red's and black's positional terms in the full evaluation: its totals less
// those of the same frame without any positional group.
Result PositionalTermsOfFull() {
  Result frame{0, 0, 0};
  frame.score = EvaluatePatterns(-2000, &frame.red, &frame.black, NoPositionalTerms);
  Result full{0, 0, 0};
  full.score = EvaluateFull(-2000, &full.red, &full.black);
  return {full.score - frame.score, full.red - frame.red, full.black - frame.black};
}

TEST_F(FullEvalTest, HemmedPieceRulesCountOnce) {
  // Three attacking pieces a side. Of red's positional rules only the
  // mobility of the black chariot applies: deep in red's half with a man one
  // rank nearer black's back rank, 16. The rule closes red's pawn and knight
  // terms and opens red's palace attack, and counts once.
  std::vector<At> pieces = {{'K', 5, 9}, {'N', 7, 9}, {'C', 6, 9}, {'R', 3, 9}, {'P', 6, 6},
                            {'k', 4, 0}, {'a', 3, 0}, {'a', 5, 0}, {'b', 2, 0}, {'b', 6, 0},
                            {'c', 4, 2}, {'n', 4, 4}, {'r', 6, 7}};
  for (const char side : {'w', 'b'}) {
    SetUpFen(Fen(pieces, side));
    EXPECT_EQ(PositionalTermsOfFull().red, 16) << side;
    // Black's twin on the colour mirror.
    SetUpFen(Fen(palace_rules_testing::ColourMirror(pieces), side == 'w' ? 'b' : 'w'));
    EXPECT_EQ(PositionalTermsOfFull().black, 16) << side;
  }
  // The man moved off the chariot's file: nothing.
  pieces[4] = {'P', 2, 6};
  SetUpFen(Fen(pieces, 'w'));
  EXPECT_EQ(PositionalTermsOfFull().red, 0);
}

}  // namespace
