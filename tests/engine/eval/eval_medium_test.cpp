// The medium evaluator: its own rules on hand-built positions (each against
// the full evaluator's group it replaces), the worked numbers of its rules,
// the frame it shares with the full evaluator, differential checks against
// the full evaluator's groups on positions from random play, and a
// robustness sweep of every knowledge level through the evaluator pointer.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "engine/eval/evaluate.h"
#include "engine/eval/full_eval.h"
#include "engine/eval/palace_attack_groups.h"
#include "engine/eval/prepare.h"
#include "engine/position/position.h"
#include "tests/engine/eval/board_builder.h"
#include "tests/engine/eval/level_fixture.h"
#include "tests/engine/eval/palace_rules_harness.h"
#include "tests/support/test_position.h"

namespace {

using eval_testing::At;
using eval_testing::Fen;
using palace_rules_testing::FileMirror;
using palace_rules_testing::GroupFn;
using palace_rules_testing::PreparedState;
using palace_rules_testing::Totals;
using testing_support::SetUpFen;
namespace pa = palace_attack;
constexpr RuleSet kFull = RuleSet::kFull;
constexpr RuleSet kMedium = RuleSet::kMedium;

// ---------------------------------------------------------------------------
// Running groups
// ---------------------------------------------------------------------------

Totals RunGroup(GroupFn group) {
  FullEvalState s = PreparedState();
  group(s);
  return {s.redTotal, s.blackTotal};
}

Totals Minus(Totals a, Totals b) { return {a.red - b.red, a.black - b.black}; }

std::string StartFen(char side) {
  std::string fen = testing_support::kStartFen;
  fen.back() = side;
  return fen;
}

// Medium group minus the full group it replaces, on the board.
Totals GroupDiff(GroupFn medium, GroupFn full) { return Minus(RunGroup(medium), RunGroup(full)); }

// The colour-and-rank mirror of the position given, the other side to move.
void SetUpSwapped(const std::vector<At>& pieces, char side) {
  SetUpFen(Fen(pieces, side));
  SwapColours();
  PrepareEvaluation();
}

// One rule of the medium evaluator: what its group adds beyond the full
// evaluator's group, to the attacker's total, with the attacker to move and
// with the defender to move; red's attack on the position as given, black's
// twin on its colour mirror. The defender's total never differs.
struct DiffCase {
  const char* name;
  std::vector<At> pieces;
  int32_t redOnMove, redOffMove;
  int32_t blackOnMove, blackOffMove;
};

void CheckDiffs(const std::vector<DiffCase>& cases, GroupFn mediumRed, GroupFn fullRed,
                GroupFn mediumBlack, GroupFn fullBlack, bool fileMirrorToo) {
  for (const DiffCase& c : cases) {
    SCOPED_TRACE(c.name);
    for (const char side : {'w', 'b'}) {
      SCOPED_TRACE(side == 'w' ? "red to move" : "black to move");
      SetUpFen(Fen(c.pieces, side));
      Totals d = GroupDiff(mediumRed, fullRed);
      EXPECT_EQ(d.red, side == 'w' ? c.redOnMove : c.redOffMove);
      EXPECT_EQ(d.black, 0);
      if (fileMirrorToo) {
        SetUpFen(Fen(FileMirror(c.pieces), side));
        d = GroupDiff(mediumRed, fullRed);
        EXPECT_EQ(d.red, side == 'w' ? c.redOnMove : c.redOffMove) << "file mirror";
        EXPECT_EQ(d.black, 0) << "file mirror";
      }
      SetUpSwapped(c.pieces, side);
      d = GroupDiff(mediumBlack, fullBlack);
      EXPECT_EQ(d.black, side == 'w' ? c.blackOnMove : c.blackOffMove) << "colour mirror";
      EXPECT_EQ(d.red, 0) << "colour mirror";
    }
  }
}

// ---------------------------------------------------------------------------
// Hand-built positions, rule by rule
// ---------------------------------------------------------------------------

TEST(EvalMediumRules, EnemyChariotMobilityCountsItsFirstFiveRanks) {
  const std::vector<DiffCase> cases = {
      // Counted here on rank 4, not by the full evaluator.
      {"rank 4, piece in front",
       {{'k', 4, 0}, {'K', 4, 9}, {'r', 2, 4}, {'P', 2, 5}},
       33,
       33,
       33,
       33},
      {"rank 4, pieces two and three in front",
       {{'k', 4, 0}, {'K', 4, 9}, {'r', 2, 4}, {'P', 2, 6}, {'N', 2, 7}},
       45,
       45,
       45,
       45},
      // The full evaluator's part for the chariot's far side is absent.
      {"rank 7, piece behind",
       {{'k', 4, 0}, {'K', 4, 9}, {'r', 2, 7}, {'P', 2, 6}},
       -16,
       -16,
       -16,
       -16},
      {"rank 3 counts alike", {{'k', 4, 0}, {'K', 4, 9}, {'r', 2, 3}, {'P', 2, 4}}, 0, 0, 0, 0},
  };
  CheckDiffs(cases, pa::HemmedDefendersGroup<kRed, kMedium>, pa::HemmedDefendersGroup<kRed, kFull>,
             pa::HemmedDefendersGroup<kBlack, kMedium>, pa::HemmedDefendersGroup<kBlack, kFull>,
             true);
}

TEST(EvalMediumRules, KnightBesideOwnElephantIsGradedByTheEdgeSquare) {
  // A black knight across the river on (7,5) beside the red elephant (6,5)
  // with a red knight on (5,5): the flat 50 becomes a grade of (8,3). Red
  // bears on (8,3) twice (chariot, knight), black once (its knight).
  const std::vector<At> base = {{'k', 4, 0}, {'K', 4, 9}, {'n', 7, 5}, {'B', 6, 5},
                                {'N', 5, 5}, {'R', 8, 7}, {'N', 6, 4}};
  auto with = [&](std::vector<At> extra) {
    std::vector<At> p = base;
    p.insert(p.end(), extra.begin(), extra.end());
    return p;
  };
  auto without = [&](char piece, int file, int rank) {
    std::vector<At> p;
    for (const At& a : base)
      if (!(a.piece == piece && a.file == file && a.rank == rank)) p.push_back(a);
    return p;
  };
  // Red grades an empty square by the counts; black gives an empty square
  // 75. A defending piece there gives 75 to both; an attacking piece there is
  // graded by the counts for both.
  const std::vector<DiffCase> cases = {
      {"square empty, red bears more", base, 50, 50, 25, 25},
      {"defending pawn on the square", with({{'p', 8, 3}}), 25, 25, 25, 25},
      {"attacking pawn on the square", with({{'P', 8, 3}}), 50, 50, 50, 50},
      {"counts level", with({{'r', 8, 0}}), 0, 0, 25, 25},
      {"no knight beside the elephant", without('N', 5, 5), 0, 0, 0, 0},
  };
  CheckDiffs(cases, pa::HemmedDefendersGroup<kRed, kMedium>, pa::HemmedDefendersGroup<kRed, kFull>,
             pa::HemmedDefendersGroup<kBlack, kMedium>, pa::HemmedDefendersGroup<kBlack, kFull>,
             true);
}

TEST(EvalMediumRules, PieceInFrontOfCorneredKnightScoresFlat) {
  const std::vector<At> base = {{'k', 4, 0}, {'K', 4, 9}, {'R', 8, 9}, {'n', 1, 0}};
  auto with = [&](std::vector<At> extra) {
    std::vector<At> p = base;
    p.insert(p.end(), extra.begin(), extra.end());
    return p;
  };
  // Full: pawn 150 / 250 and other pieces 100 / 150 by (2,0); here 200 and
  // 100 whatever stands on (2,0). A knight or cannon in front keeps the full
  // evaluator's rule.
  const std::vector<DiffCase> cases = {
      {"pawn, (2,0) empty", with({{'P', 1, 1}}), 50, 50, 50, 50},
      {"pawn, (2,0) occupied", with({{'P', 1, 1}, {'b', 2, 0}}), -50, -50, -50, -50},
      {"chariot, (2,0) empty", with({{'R', 1, 1}}), 0, 0, 0, 0},
      {"chariot, (2,0) occupied", with({{'R', 1, 1}, {'b', 2, 0}}), -50, -50, -50, -50},
      {"knight in front", with({{'N', 1, 1}, {'b', 2, 0}}), 0, 0, 0, 0},
  };
  CheckDiffs(cases, pa::DefendingKnightsGroup<kRed, kMedium>,
             pa::DefendingKnightsGroup<kRed, kFull>, pa::DefendingKnightsGroup<kBlack, kMedium>,
             pa::DefendingKnightsGroup<kBlack, kFull>, true);

  // The worked number: a red pawn in front of the knight on (1,0) gives 200
  // whatever stands on (2,0), any other piece 100.
  for (const bool elephant : {false, true}) {
    std::vector<At> p = with({{'P', 1, 1}});
    if (elephant) p.push_back({'b', 2, 0});
    SetUpFen(Fen(p, 'w'));
    const Totals pawn = RunGroup(pa::DefendingKnightsGroup<kRed, kMedium>);
    p[4] = {'R', 1, 1};
    SetUpFen(Fen(p, 'w'));
    const Totals other = RunGroup(pa::DefendingKnightsGroup<kRed, kMedium>);
    EXPECT_EQ(pawn.red - other.red, 100) << "elephant on (2,0): " << elephant;
  }
}

TEST(EvalMediumRules, PawnAgainstKnightBesideThePalaceIsGraded) {
  // A black adviser on the palace centre; the flat 100 of each row becomes
  // 75 or 100 when blocked, else 200 or 250 when red controls the square in
  // front of the pawn, else 100.
  const std::vector<At> base = {{'k', 4, 0}, {'a', 4, 1}, {'K', 4, 9}};
  auto with = [&](std::vector<At> extra) {
    std::vector<At> p = base;
    p.insert(p.end(), extra.begin(), extra.end());
    return p;
  };
  const std::vector<DiffCase> cases = {
      {"corner knight, (2,3) held by red", with({{'P', 1, 2}, {'n', 1, 0}, {'R', 2, 7}}), 100, 100,
       100, 100},
      {"corner knight, (2,3) free of both", with({{'P', 1, 2}, {'n', 1, 0}}), 0, 0, 0, 0},
      // Blocked on the left: red 75, black's twin 100.
      {"corner knight, blocked", with({{'P', 1, 2}, {'n', 1, 0}, {'n', 2, 1}, {'R', 2, 7}}), -25,
       -25, 0, 0},
      {"knight beside the centre, red ahead on (2,3)",
       with({{'n', 3, 1}, {'P', 2, 2}, {'R', 2, 7}, {'R', 6, 3}}), 150, 150, 150, 150},
      {"knight beside the centre, counts level", with({{'n', 3, 1}, {'P', 2, 2}, {'R', 2, 7}}), 0,
       0, 0, 0},
      {"right corner knight, (6,3) held by red", with({{'P', 7, 2}, {'n', 7, 0}, {'R', 6, 7}}), 100,
       100, 100, 100},
      {"right corner knight, blocked", with({{'P', 7, 2}, {'n', 7, 0}, {'n', 6, 1}}), 0, 0, 0, 0},
      {"no adviser on the centre",
       {{'k', 4, 0}, {'a', 3, 0}, {'K', 4, 9}, {'P', 1, 2}, {'n', 1, 0}, {'R', 2, 7}},
       0,
       0,
       0,
       0},
  };
  CheckDiffs(cases, pa::DefendingKnightsGroup<kRed, kMedium>,
             pa::DefendingKnightsGroup<kRed, kFull>, pa::DefendingKnightsGroup<kBlack, kMedium>,
             pa::DefendingKnightsGroup<kBlack, kFull>, false);
}

TEST(EvalMediumRules, KnightBetweenTwoChariotsOnItsFile) {
  // Four attacking pieces each: middlegame level 1. The black knight on
  // (2,3) has its chariot behind it on (2,2) and a red chariot in front on
  // (2,4).
  const std::vector<At> withCannon = {{'k', 4, 0}, {'K', 4, 9}, {'n', 2, 3}, {'r', 2, 2},
                                      {'c', 7, 2}, {'n', 7, 0}, {'R', 2, 4}, {'C', 0, 7},
                                      {'N', 1, 9}, {'N', 7, 9}};
  std::vector<At> noCannon = withCannon;
  noCannon[7] = {'R', 8, 9};
  std::vector<At> levelZero = withCannon;
  levelZero.erase(levelZero.begin() + 5);  // black down to three attacking pieces
  std::vector<At> notBehind = withCannon;
  notBehind[3] = {'r', 3, 2};
  const std::vector<DiffCase> cases = {
      {"red has a cannon", withCannon, 200, 200, 200, 200},
      {"red has no cannon", noCannon, 150, 150, 150, 150},
      {"middlegame level 0", levelZero, 0, 0, 0, 0},
      {"own chariot not behind", notBehind, 0, 0, 0, 0},
  };
  CheckDiffs(cases, PawnKnightTerms<kRed, kMedium>, PawnKnightTerms<kRed, kFull>,
             PawnKnightTerms<kBlack, kMedium>, PawnKnightTerms<kBlack, kFull>, true);
}

TEST(EvalMediumRules, CapturedWingPawnHoldsNoKnightBack) {
  // Start position: black knights on (1,0) and (7,0). The full evaluator
  // counts a captured wing pawn as advanced and gives 50 per knight in its
  // wing; the medium evaluator gives nothing.
  for (const char side : {'w', 'b'}) {
    for (const uint32_t colour : {kRed, kBlack}) {
      SetUpFen(StartFen(side));
      const PieceIndex offset = colour == kRed ? 0 : 16;
      const GroupFn medium =
          colour == kRed ? PawnKnightTerms<kRed, kMedium> : PawnKnightTerms<kBlack, kMedium>;
      const GroupFn full =
          colour == kRed ? PawnKnightTerms<kRed, kFull> : PawnKnightTerms<kBlack, kFull>;
      const auto own = [colour](Totals t) { return colour == kRed ? t.red : t.black; };
      EXPECT_EQ(own(GroupDiff(medium, full)), 0);
      RemovePiece(13 + offset);
      PrepareEvaluation();
      EXPECT_EQ(own(GroupDiff(medium, full)), -50) << "one wing pawn captured";
      RemovePiece(15 + offset);
      PrepareEvaluation();
      EXPECT_EQ(own(GroupDiff(medium, full)), -100) << "both wing pawns captured";
    }
  }
}

TEST(EvalMediumRules, TwoChariotBonusAmounts) {
  const std::vector<DiffCase> cases = {
      // Off the palace lines, knights + cannons 3, one black adviser: here
      // 50 + 37 + 50 = 137, full 25 + 18 + 33 = 76.
      {"chariots off the palace lines",
       {{'k', 4, 0},
        {'a', 4, 1},
        {'K', 4, 9},
        {'R', 0, 5},
        {'R', 8, 5},
        {'N', 2, 9},
        {'C', 1, 7},
        {'C', 7, 7}},
       61,
       61,
       61,
       61},
      // On ranks 0..2, no black adviser, one elephant: 200 + D here, 100 + D
      // under the full evaluator.
      {"chariots on the palace lines, none on the centre",
       {{'k', 4, 0}, {'b', 2, 0}, {'K', 4, 9}, {'R', 0, 1}, {'R', 8, 2}},
       100,
       100,
       100,
       100},
      // A chariot on the palace centre: 500|300 here, 400|200 there.
      {"a chariot on the palace centre",
       {{'k', 3, 0}, {'b', 2, 0}, {'K', 4, 9}, {'R', 4, 1}, {'R', 8, 2}},
       100,
       100,
       100,
       100},
      {"both black advisers",
       {{'k', 4, 0}, {'a', 4, 1}, {'a', 3, 0}, {'K', 4, 9}, {'R', 0, 5}, {'R', 8, 5}},
       0,
       0,
       0,
       0},
  };
  CheckDiffs(cases, ClosingAttack<kRed, kMedium>, ClosingAttack<kRed, kFull>,
             ClosingAttack<kBlack, kMedium>, ClosingAttack<kBlack, kFull>, true);

  // The worked amounts, from the steps for a defender without advisers: the
  // chariots on the palace lines, no adviser, one elephant score 200 (first
  // part) + 200 + D 300 + 50 (at most one elephant); then 50 for the chariot
  // on rank 1 that reaches the palace centre and 75 for chariots at the
  // palace.
  SetUpFen(Fen({{'k', 4, 0}, {'b', 2, 0}, {'K', 4, 9}, {'R', 0, 1}, {'R', 8, 2}}, 'w'));
  EXPECT_EQ(RunGroup(ClosingPressureSteps<kRed, kMedium>).red, 200 + 500 + 50 + 50 + 75);
}

TEST(EvalMediumRules, ThinDefenceRulesAreLeftOut) {
  const std::vector<DiffCase> cases = {
      // One black adviser, no elephant, a red zone pawn and a chariot: the
      // full evaluator's 50.
      {"one adviser",
       {{'k', 4, 1}, {'a', 5, 0}, {'K', 3, 9}, {'R', 0, 9}, {'P', 2, 2}},
       -50,
       -50,
       -50,
       -50},
      // No adviser, a red pawn diagonally in front of the king: 100 + 50.
      {"pawn beside the king",
       {{'k', 4, 1}, {'K', 3, 9}, {'R', 0, 9}, {'P', 3, 2}},
       -150,
       -150,
       -150,
       -150},
  };
  CheckDiffs(cases, ClosingAttack<kRed, kMedium>, ClosingAttack<kRed, kFull>,
             ClosingAttack<kBlack, kMedium>, ClosingAttack<kBlack, kFull>, false);
}

TEST(EvalMediumRules, LeftWingBackRankEntryUsesFixedTargets) {
  // King at home, a red zone pawn on (3,1), two black advisers off (3,0)
  // and (5,0) so that nothing else of the closing group scores.
  const std::vector<At> base = {{'k', 4, 0}, {'a', 4, 1}, {'a', 5, 2}, {'K', 4, 9}, {'P', 3, 1}};
  auto with = [&](std::vector<At> extra) {
    std::vector<At> p = base;
    p.insert(p.end(), extra.begin(), extra.end());
    return p;
  };
  struct Case {
    const char* name;
    std::vector<At> pieces;
    int32_t onMove, offMove;
  };
  const std::vector<Case> cases = {
      // Reaches (0,0) unguarded, at most two black attackers of (3,0).
      {"chariot on (0,5) reaches (0,0)", with({{'R', 0, 5}}), 50 + 700, 50 + 400},
      {"chariot on (1,6) reaches (1,0)", with({{'R', 1, 6}}), 50 + 700, 50 + 400},
      {"(0,0) guarded by a knight", with({{'R', 0, 5}, {'n', 1, 2}}), 50, 50},
      {"(3,0) occupied", with({{'R', 0, 5}, {'n', 3, 0}}), 0, 0},
      {"(2,0) held and attacked", with({{'R', 2, 5}, {'n', 2, 0}, {'r', 0, 0}}), 0, 0},
      {"chariot off the left wing", with({{'R', 5, 5}}), 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (const char side : {'w', 'b'}) {
      SCOPED_TRACE(side == 'w' ? "red to move" : "black to move");
      const int32_t want = side == 'w' ? c.onMove : c.offMove;
      SetUpFen(Fen(c.pieces, side));
      const Totals red = RunGroup(ClosingAttack<kRed, kMedium>);
      EXPECT_EQ(red.red, want);
      EXPECT_EQ(red.black, 0);
      SetUpSwapped(c.pieces, side);
      const Totals black = RunGroup(ClosingAttack<kBlack, kMedium>);
      EXPECT_EQ(black.black, want) << "colour mirror";
      EXPECT_EQ(black.red, 0) << "colour mirror";
    }
  }
  // With a black adviser on (5,0) only the adviser's own 50 scores, not the
  // chariot targets.
  SetUpFen(
      Fen({{'k', 4, 0}, {'a', 4, 1}, {'a', 5, 0}, {'K', 4, 9}, {'P', 3, 1}, {'R', 0, 5}}, 'w'));
  EXPECT_EQ(RunGroup(ClosingAttack<kRed, kMedium>).red, 50);
}

TEST(EvalMediumRules, CentralCannonGroupIsTheFullEvaluatorsAlone) {
  // A red cannon on the open king file with the king at home and both
  // advisers: only the central-cannon group of the palace attack scores.
  for (const char side : {'w', 'b'}) {
    SetUpFen(
        Fen({{'k', 4, 0}, {'a', 3, 0}, {'a', 5, 0}, {'K', 3, 9}, {'C', 4, 5}, {'R', 0, 9}}, side));
    const int32_t cannon = RunGroup(CentralCannonRed).red;
    EXPECT_GT(cannon, 0);
    EXPECT_EQ(RunGroup(PalaceAttack<kRed, kFull>).red, cannon);
    EXPECT_EQ(RunGroup(PalaceAttack<kRed, kMedium>).red, 0);
  }
}

// ---------------------------------------------------------------------------
// The frame
// ---------------------------------------------------------------------------

struct Score {
  int32_t score, red, black;
  bool operator==(const Score&) const = default;
};

Score Eval(EvaluatorFn fn, int32_t alpha) {
  Score r{0, -1, -1};
  r.score = fn(alpha, &r.red, &r.black);
  return r;
}

class EvalMediumFrame : public ::testing::Test {
 protected:
  void SetUp() override { savedMargin_ = lazyMargin; }
  void TearDown() override { lazyMargin = savedMargin_; }

 private:
  int32_t savedMargin_ = 0;
};

TEST_F(EvalMediumFrame, StartPositionScoresAsTheFullEvaluator) {
  for (const char side : {'w', 'b'}) {
    SetUpFen(StartFen(side));
    for (const int32_t alpha : {-2000, 0, 1999}) {
      const Score medium = Eval(EvaluateMedium, alpha);
      EXPECT_EQ(medium, Eval(EvaluateFull, alpha)) << side << " alpha " << alpha;
      if (alpha == 1999) continue;  // the lazy cut may answer alpha
      EXPECT_EQ(medium.score, side == 'w' ? 6 + medium.red - medium.black + materialBalance
                                          : 6 + medium.black - medium.red - materialBalance);
    }
  }
}

void NoPositionalTerms(FullEvalState&) {}

TEST_F(EvalMediumFrame, DeepEnemyChariotCountsUnderTheFullEvaluatorOnly) {
  // A black chariot on rank 7 with a man one rank nearer black's back rank:
  // 16 to red's total under the full evaluator, nothing here. Nothing else
  // of red's positional rules applies.
  const std::vector<At> pieces = {{'K', 5, 9}, {'N', 7, 9}, {'C', 6, 9}, {'R', 3, 9}, {'P', 6, 6},
                                  {'k', 4, 0}, {'a', 3, 0}, {'a', 5, 0}, {'b', 2, 0}, {'b', 6, 0},
                                  {'c', 4, 2}, {'n', 4, 4}, {'r', 6, 7}};
  for (const char side : {'w', 'b'}) {
    SetUpFen(Fen(pieces, side));
    Score frame{0, 0, 0};
    frame.score = EvaluatePatterns(-2000, &frame.red, &frame.black, NoPositionalTerms);
    EXPECT_EQ(Eval(EvaluateFull, -2000).red - frame.red, 16) << side;
    EXPECT_EQ(Eval(EvaluateMedium, -2000).red - frame.red, 0) << side;
  }
}

TEST_F(EvalMediumFrame, EarlyExitsAreTheFullEvaluators) {
  struct Case {
    const char* name;
    std::vector<At> pieces;
  };
  const std::vector<Case> cases = {
      {"no attacking piece: exact verdict", {{'K', 3, 9}, {'A', 4, 8}, {'k', 4, 0}, {'b', 2, 0}}},
      {"lone cannons, nobody can win", {{'K', 4, 9}, {'C', 1, 7}, {'k', 4, 0}, {'c', 7, 2}}},
      {"lone knight against a lone cannon",
       {{'K', 4, 9}, {'C', 1, 7}, {'k', 4, 0}, {'n', 1, 0}, {'p', 4, 6}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (const char side : {'w', 'b'}) {
      SetUpFen(Fen(c.pieces, side));
      for (const int32_t alpha : {-2000, 0, 1999}) {
        const Score full = Eval(EvaluateFull, alpha);
        EXPECT_EQ(Eval(EvaluateMedium, alpha), full) << side << " alpha " << alpha;
        EXPECT_EQ(Eval(EvaluateLight, alpha), full) << side << " alpha " << alpha;
      }
    }
  }
  // The lazy cut: far below alpha 1999 the result is alpha itself for every
  // pattern evaluator; at 2000 the cut is out of reach.
  SetUpFen(testing_support::kStartFen);
  lazyMargin = -1000000;
  for (const EvaluatorFn fn : {EvaluateLight, EvaluateMedium, EvaluateFull}) {
    EXPECT_EQ(Eval(fn, 1999).score, 1999);
    EXPECT_NE(Eval(fn, 2000).score, 2000);
  }
}

// ---------------------------------------------------------------------------
// Differential checks on positions from random play
// ---------------------------------------------------------------------------

const std::vector<std::string>& PlayFens() {
  static const std::vector<std::string> fens = {
      testing_support::kStartFen,
      "r2akab1r/9/1cn1b2c1/p1p1p3p/6p2/2P6/P3P1P1P/1CN1B1NC1/9/R2AKA2R w",
      "r1bakabr1/9/1cn3nc1/p1p1p1p1p/9/9/P1P1P1P1P/1C2C1N2/9/RNBAKAB1R b",
      "2bak4/4a4/2n1b4/p3p3p/2p3c2/6R2/P3P3P/2N1B1C2/4A4/3AK4 b",
      "3k5/4a4/4b4/9/2p6/6P2/9/4B4/4A4/2R1K1c2 w",
      "4k4/4a4/9/9/9/2R3R2/9/4B4/4A4/4K4 w",
  };
  return fens;
}

// Plays `plies` random legal moves from the position set up, visiting it and
// every position reached; stops early when the side to move has no move.
template <class Visit>
void PlayOn(uint32_t seed, int plies, Visit visit) {
  std::mt19937 rng(seed);
  visit();
  for (int ply = 0; ply < plies; ++ply) {
    const std::vector<Move> legal = testing_support::LegalMoves();
    if (legal.empty()) return;
    const Move m = legal[rng() % legal.size()];
    ASSERT_NE(MakeMove(m, static_cast<int32_t>(FindChecker(sideToMove))), 0);
    visit();
  }
}

// Visits the positions of random games from each FEN.
template <class Visit>
void ForRandomPositions(int gamesPerFen, int plies, Visit visit) {
  uint32_t seed = 11;
  for (const std::string& fen : PlayFens())
    for (int game = 0; game < gamesPerFen; ++game) {
      SetUpFen(fen);
      PlayOn(seed++, plies, visit);
    }
}

// A random position: a random selection of each side's pieces on squares
// they can reach, the knights, cannons, chariots and pawns mostly in the
// enemy half; the side not to move is not in check.
std::vector<At> RandomPlacement(std::mt19937& rng) {
  std::vector<At> pieces;
  bool taken[9][10] = {};
  const auto pick = [&](auto allowed) {
    for (;;) {
      const int f = static_cast<int>(rng() % 9);
      const int r = static_cast<int>(rng() % 10);
      if (!taken[f][r] && allowed(f, r)) {
        taken[f][r] = true;
        return std::pair<int, int>(f, r);
      }
    }
  };
  for (const uint32_t colour : {kRed, kBlack}) {
    const bool red = colour == kRed;
    // Ranks as red counts them: 0 the enemy back rank, 9 the own.
    const auto rank = [red](int r) { return red ? r : 9 - r; };
    const auto put = [&](char piece, auto allowed) {
      const auto [f, r] = pick([&](int file, int rk) { return allowed(file, rank(rk)); });
      pieces.push_back({static_cast<char>(red ? piece : piece + 32), f, r});
    };
    const auto palace = [](int f, int r) { return f >= 3 && f <= 5 && r >= 7; };
    put('K', palace);
    for (uint32_t n = rng() % 3; n > 0; --n)
      put('A', [&](int f, int r) { return palace(f, r) && (f + r) % 2 == 0; });
    for (uint32_t n = rng() % 3; n > 0; --n)
      put('B', [](int f, int r) {
        return r % 2 == 1 && r >= 5 && f % 2 == 0 && (f % 4 == 0) == (r == 7);
      });
    for (uint32_t n = rng() % 6; n > 0; --n)
      put('P', [](int f, int r) { return r <= 4 || (r <= 6 && f % 2 == 0); });
    for (const char piece : {'N', 'C', 'R'}) {
      for (uint32_t n = rng() % 3; n > 0; --n) {
        if (rng() % 3 != 0)
          put(piece, [](int f, int r) { return r <= 4 && f >= 1 && f <= 7; });
        else
          put(piece, [](int, int) { return true; });
      }
    }
  }
  return pieces;
}

// Visits positions of random play from random placements.
template <class Visit>
void ForPlacedPositions(Visit visit) {
  std::mt19937 rng(2024);
  for (int game = 0; game < 60; ++game) {
    const char side = game % 2 == 0 ? 'w' : 'b';
    do {
      SetUpFen(Fen(RandomPlacement(rng), side));
    } while ((sideToMove == kRed ? FindCheckerOfBlackKing() : FindCheckerOfRedKing()) != 0);
    PlayOn(rng(), 36, visit);
  }
}

// Counts mismatches and reports the first few with the position.
class Mismatches {
 public:
  explicit Mismatches(const char* what) : what_(what) {}
  ~Mismatches() { EXPECT_EQ(count_, 0) << what_ << ": " << count_ << " mismatches"; }
  void Check(int32_t got, int32_t want) {
    ++checked_;
    if (got == want) return;
    if (count_++ < 5)
      ADD_FAILURE() << what_ << " in " << testing_support::CurrentFen() << ": got " << got
                    << ", want " << want;
  }
  int checked() const { return checked_; }

 private:
  const char* what_;
  int count_ = 0;
  int checked_ = 0;
};

Square SideSquare(uint32_t side, int file, int rank) {
  return MakeSquare(file, side == kRed ? rank : 9 - rank);
}
bool TypeOn(Square s, uint32_t side, uint32_t type) { return typeBoard[s] == type + 7 * side; }
bool Holds(Square s, uint32_t side) {
  return side == kRed ? board[s] > 0 && board[s] <= 16 : board[s] > 16;
}
int32_t CountOf(uint32_t side, uint32_t type) {
  return static_cast<int32_t>(pieceCount[side][type - 1]);
}
int32_t AttackCountOf(uint32_t side, Square s) {
  return static_cast<int32_t>(side == kRed ? RedAttackCount(s) : BlackAttackCount(s));
}
bool Wins(uint32_t side, Square s) {
  const int32_t own = AttackCountOf(side, s);
  return own != 0 && own > AttackCountOf(1 - side, s);
}

// What the medium pawn and knight terms add beyond the full ones, told from
// the rule text.
template <uint32_t kSide>
int32_t PawnTermsExtra(const FullEvalState& s) {
  constexpr uint32_t kThem = 1 - kSide;
  const int toward = kSide == kRed ? 1 : -1;
  if (s.middlegameLevel == 0) return 0;
  int32_t extra = 0;
  if (CountOf(kSide, kPawn) > 0 && CountOf(kThem, kKnight) > 0) {
    const struct {
      PieceIndex pawn;
      uint32_t zone;
    } wings[2] = {{13 + 16 * kSide, 3 + 3 * kSide}, {15 + 16 * kSide, 1 + 3 * kSide}};
    for (const auto& w : wings) {
      if (posPiece[w.pawn] != 0) continue;
      for (const PieceIndex k : {6 + 16 * kThem, 7 + 16 * kThem}) {
        const Square sq = posPiece[k];
        const int rank = kSide == kRed ? RankOf(sq) : 9 - RankOf(sq);
        if (sq != 0 && wingZone[sq] == w.zone && rank <= 2) extra -= 50;
      }
    }
  }
  if (CountOf(kThem, kKnight) > 0 && CountOf(kThem, kChariot) > 0) {
    for (const PieceIndex k : {6 + 16 * kThem, 7 + 16 * kThem}) {
      const Square sq = posPiece[k];
      if (sq != 0 && TypeOn(sq - toward, kThem, kChariot) && TypeOn(sq + toward, kSide, kChariot))
        extra += CountOf(kSide, kCannon) > 0 ? 200 : 150;
    }
  }
  return extra;
}

// What the medium group 0 adds beyond the full one.
template <uint32_t kSide>
int32_t HemmedDefendersExtra() {
  constexpr uint32_t kThem = 1 - kSide;
  const auto sq = [](int f, int r) { return SideSquare(kSide, f, r); };
  int32_t extra = 0;
  if (CountOf(kThem, kKnight) > 0 && CountOf(kSide, kElephant) > 0) {
    for (const int w : {0, 1}) {
      const auto f = [w](int file) { return w == 0 ? file : 8 - file; };
      if (!TypeOn(sq(f(7), 5), kThem, kKnight) || !TypeOn(sq(f(6), 5), kSide, kElephant) ||
          !TypeOn(sq(f(5), 5), kSide, kKnight))
        continue;
      const Square g = sq(f(8), 3);
      const bool graded = kSide == kRed ? !Holds(g, kThem) : Holds(g, kSide);
      extra += (graded ? (Wins(kSide, g) ? 100 : 50) : 75) - 50;
    }
  }
  const int toward = kSide == kRed ? 1 : -1;
  for (const PieceIndex c : {8 + 16 * kThem, 9 + 16 * kThem}) {
    const Square at = posPiece[c];
    if (at == 0) continue;
    const int rank = kSide == kRed ? RankOf(at) : 9 - RankOf(at);
    const auto occupied = [](Square s) { return board[s] != 0 ? 1 : 0; };
    const int32_t near = 33 * occupied(at + toward) + 25 * occupied(at + 2 * toward) +
                         20 * occupied(at + 3 * toward);
    const int32_t far = 16 * occupied(at - toward) + 12 * occupied(at - 2 * toward) +
                        10 * occupied(at - 3 * toward);
    if (rank == 4) extra += near;
    if (rank >= 6) extra -= far;
  }
  return extra;
}

// What the medium group 2 adds beyond the full one.
template <uint32_t kSide>
int32_t DefendingKnightsExtra() {
  constexpr uint32_t kThem = 1 - kSide;
  const auto sq = [](int f, int r) { return SideSquare(kSide, f, r); };
  const auto occupied = [&](int f, int r) { return board[sq(f, r)] != 0; };
  int32_t extra = 0;
  if (attackerCount[kSide] > 0) {
    for (const int w : {0, 1}) {
      const auto f = [w](int file) { return w == 0 ? file : 8 - file; };
      if (!TypeOn(sq(f(7), 0), kThem, kKnight) || !occupied(f(7), 1)) continue;
      const Square front = sq(f(7), 1);
      if (TypeOn(front, kSide, kKnight) || TypeOn(front, kSide, kCannon)) continue;
      const bool side = occupied(f(6), 0);
      extra += TypeOn(front, kSide, kPawn) ? 200 - (side ? 250 : 150) : 100 - (side ? 150 : 100);
    }
  }
  if (CountOf(kSide, kPawn) > 0 && CountOf(kThem, kKnight) > 0 &&
      TypeOn(sq(4, 1), kThem, kAdviser)) {
    const auto pawn = [&](int f, int r) { return TypeOn(sq(f, r), kSide, kPawn); };
    const auto knight = [&](int f, int r) { return TypeOn(sq(f, r), kThem, kKnight); };
    const auto guarded = [&](int f, int r) {
      return (kSide == kRed ? BlackStrongAttackerOf(sq(f, r)) : RedStrongAttackerOf(sq(f, r))) != 0;
    };
    const int32_t left = kSide == kRed ? 75 : 100;
    const auto row = [&](bool blocked, int32_t blockedBonus, Square c, int32_t won) {
      return (blocked ? blockedBonus : Wins(kSide, c) ? won : 100) - 100;
    };
    if (pawn(1, 2) && knight(1, 0))
      extra += row(occupied(1, 1) || occupied(2, 1), left, sq(2, 3), 200);
    if (knight(3, 1) && (pawn(1, 1) || pawn(2, 2)))
      extra += row(occupied(2, 1) || guarded(2, 1), left, sq(2, 3), 250);
    if (pawn(7, 2) && knight(7, 0))
      extra += row(occupied(7, 1) || occupied(6, 1), 100, sq(6, 3), 200);
    if (knight(5, 1) && (pawn(7, 1) || pawn(6, 2)))
      extra += row(occupied(6, 1) || guarded(6, 1), 100, sq(6, 3), 250);
  }
  return extra;
}

// Whether any rule the medium closing group changes can apply.
template <uint32_t kSide>
bool ClosingRulesDiffer(const FullEvalState& s) {
  constexpr uint32_t kThem = 1 - kSide;
  const int32_t zonePawns = kSide == kRed ? s.redZonePawns : s.blackZonePawns;
  const int32_t strength = kSide == kRed ? s.redAttackStrength : s.blackAttackStrength;
  const bool twoChariots =
      CountOf(kSide, kChariot) == 2 && CountOf(kThem, kAdviser) <= 1 && strength >= 7;
  return twoChariots || (zonePawns > 0 && CountOf(kSide, kChariot) > 0) ||
         (zonePawns > 0 && posPiece[1 + 16 * kThem] == SideSquare(kSide, 4, 0));
}

template <uint32_t kSide>
void CheckGroupsAgainstFull(Mismatches& pawnTerms, Mismatches& group0, Mismatches& group2,
                            Mismatches& closing, Mismatches& palace) {
  const auto own = [](Totals t) { return kSide == kRed ? t.red : t.black; };
  const auto other = [](Totals t) { return kSide == kRed ? t.black : t.red; };
  const FullEvalState s = PreparedState();
  const Totals pawnDiff = GroupDiff(PawnKnightTerms<kSide, kMedium>, PawnKnightTerms<kSide, kFull>);
  pawnTerms.Check(own(pawnDiff), PawnTermsExtra<kSide>(s));
  pawnTerms.Check(other(pawnDiff), 0);
  const Totals g0 =
      GroupDiff(pa::HemmedDefendersGroup<kSide, kMedium>, pa::HemmedDefendersGroup<kSide, kFull>);
  group0.Check(own(g0), HemmedDefendersExtra<kSide>());
  const Totals g2 =
      GroupDiff(pa::DefendingKnightsGroup<kSide, kMedium>, pa::DefendingKnightsGroup<kSide, kFull>);
  group2.Check(own(g2), DefendingKnightsExtra<kSide>());
  const Totals g10 = GroupDiff(ClosingAttack<kSide, kMedium>, ClosingAttack<kSide, kFull>);
  if (!ClosingRulesDiffer<kSide>(s)) closing.Check(own(g10), 0);
  closing.Check(other(g10), 0);

  // The whole attack: the full one less its central-cannon and back-rank
  // cannon groups, with the medium groups' differences.
  const GroupFn fullPalace = PalaceAttack<kSide, kFull>;
  const GroupFn centralCannon = kSide == kRed ? CentralCannonRed : CentralCannonBlack;
  const GroupFn backRank = kSide == kRed ? BackRankRulesRed : BackRankRulesBlack;
  const bool kingHome = posPiece[1 + 16 * (1 - kSide)] == SideSquare(kSide, 4, 0);
  const Totals whole = GroupDiff(PalaceAttack<kSide, kMedium>, fullPalace);
  Totals expected{g0.red + g2.red + g10.red, g0.black + g2.black + g10.black};
  expected = Minus(expected, RunGroup(centralCannon));
  expected = Minus(expected, RunGroup(pa::BackRankBatteryGroup<kSide>));
  if (kingHome) expected = Minus(expected, RunGroup(backRank));
  palace.Check(whole.red, expected.red);
  palace.Check(whole.black, expected.black);
}

TEST(EvalMediumDifferential, GroupsDifferFromTheFullOnesOnlyByTheirOwnRules) {
  Mismatches pawnTerms("pawn and knight terms"), group0("group 0"), group2("group 2"),
      closing("closing attack"), palace("palace attack");
  const auto check = [&] {
    CheckGroupsAgainstFull<kRed>(pawnTerms, group0, group2, closing, palace);
    CheckGroupsAgainstFull<kBlack>(pawnTerms, group0, group2, closing, palace);
  };
  ForRandomPositions(2, 110, check);
  ForPlacedPositions(check);
  EXPECT_GT(pawnTerms.checked(), 4000);
  EXPECT_GT(closing.checked(), 2000);
}

bool termsRan = false;
void NoTerms(FullEvalState&) { termsRan = true; }

TEST(EvalMediumDifferential, EvaluatorIsTheFullFrameWithTheMediumGroups) {
  Mismatches red("red total"), black("black total"), score("score");
  ForRandomPositions(2, 110, [&] {
    for (const int32_t alpha : {-2000, 300}) {
      termsRan = false;
      Score base{0, 0, 0};
      base.score = EvaluatePatterns(alpha, &base.red, &base.black, NoTerms);
      Totals extra{0, 0};
      if (termsRan) {
        const Totals pawnsRed =
            GroupDiff(PawnKnightTerms<kRed, kMedium>, PawnKnightTerms<kRed, kFull>);
        const Totals pawnsBlack =
            GroupDiff(PawnKnightTerms<kBlack, kMedium>, PawnKnightTerms<kBlack, kFull>);
        const Totals palaceRed = GroupDiff(PalaceAttack<kRed, kMedium>, PalaceAttack<kRed, kFull>);
        const Totals palaceBlack =
            GroupDiff(PalaceAttack<kBlack, kMedium>, PalaceAttack<kBlack, kFull>);
        extra = {pawnsRed.red + pawnsBlack.red + palaceRed.red + palaceBlack.red,
                 pawnsRed.black + pawnsBlack.black + palaceRed.black + palaceBlack.black};
      }
      const Score full = Eval(EvaluateFull, alpha);
      const Score medium = Eval(EvaluateMedium, alpha);
      red.Check(medium.red - full.red, extra.red);
      black.Check(medium.black - full.black, extra.black);
      const int32_t sign = sideToMove == kRed ? 1 : -1;
      score.Check(medium.score - full.score, termsRan ? sign * (extra.red - extra.black) : 0);
    }
  });
}

// ---------------------------------------------------------------------------
// Robustness sweep through the evaluator pointer
// ---------------------------------------------------------------------------

// The endgame knowledge settles the position (a result returned unchanged).
bool HasVerdict() {
  if (attackerCount[kRed] > 2 && attackerCount[kBlack] > 2) return false;
  const EndgameEvaluatorFn endgame = SelectEndgameEvaluator();
  if (endgame == nullptr) return false;
  EndgameVerdict verdict{0, kVerdictNone};
  endgame(&verdict);
  return verdict.flag < 8;
}

class EvalSweep : public eval_testing::LevelRestoringTest {};

TEST_F(EvalSweep, EveryLevelStaysInRangeOnRandomPlay) {
  int positions = 0;
  for (const int32_t level : {0, 1, 2, 5}) {
    SCOPED_TRACE(level);
    middleKnowledge = level;
    int ply = 0;
    Mismatches outside("outside the window, alpha changed the result");
    Mismatches inside("inside the window, neither alpha nor the full result");
    Mismatches unchanged("evaluation changed the position");
    ForRandomPositions(3, 80, [&] {
      // A new search prepares the tables and may lower the level.
      if (++ply % 8 == 0) PrepareEvaluation();
      ++positions;
      const auto before = testing_support::PositionSnapshot::Take();
      const Score open = Eval(evaluator, -2000);
      unchanged.Check(before == testing_support::PositionSnapshot::Take(), true);
      EXPECT_LT(std::abs(open.score), 3200000);
      // Without an endgame verdict only the full evaluator's mate patterns
      // (198500 each, at most four per side) go beyond 200000.
      const int32_t bound = evaluator == EvaluateFull ? 1000000 : 200000;
      if (!HasVerdict()) {
        if (std::abs(open.score) >= bound)
          ADD_FAILURE() << open.score << " in " << testing_support::CurrentFen();
        EXPECT_LT(std::abs(open.red), bound);
        EXPECT_LT(std::abs(open.black), bound);
      }
      if (evaluator == EvaluateMaterial) {
        EXPECT_EQ(open.red, 0);
        EXPECT_EQ(open.black, 0);
      }
      outside.Check(Eval(evaluator, 2000).score, open.score);
      outside.Check(Eval(evaluator, -1000000).score, open.score);
      for (const int32_t alpha : {1999, 150, -1999}) {
        const int32_t got = Eval(evaluator, alpha).score;
        inside.Check(got == alpha || got == open.score, true);
      }
    });
  }
  EXPECT_GT(positions, 4 * 1200);
}

}  // namespace
