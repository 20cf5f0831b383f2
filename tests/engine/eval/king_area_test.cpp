// Wing attack: attackers massed on one wing of the enemy half against the
// defenders there, and the penalties for stranded chariots and lone
// attackers.
#include <gtest/gtest.h>

#include <vector>

#include "engine/eval/evaluate.h"
#include "tests/engine/eval/board_builder.h"
#include "tests/engine/eval/palace_rules_harness.h"
#include "tests/support/test_position.h"

namespace {

using eval_testing::At;
using eval_testing::Fen;
using palace_rules_testing::ColourMirror;
using palace_rules_testing::FileMirror;
using palace_rules_testing::Totals;
using testing_support::SetUpFen;

// Runs the wing attack on the position with red and with black to move; the
// terms do not depend on the side to move.
Totals WingAttack(const std::vector<At>& pieces, int32_t redNear = 0, int32_t blackNear = 0) {
  Totals result[2];
  for (char side : {'w', 'b'}) {
    SetUpFen(Fen(pieces, side));
    Totals& t = result[side == 'b'];
    t = {0, 0};
    KingAreaAttack(&t.red, &t.black, redNear, blackNear);
  }
  EXPECT_EQ(result[0].red, result[1].red);
  EXPECT_EQ(result[0].black, result[1].black);
  return result[0];
}

TEST(KingAreaAttackTest, MassedAttackersAgainstKingOffTheWing) {
  // Three red attackers with a chariot on black's files 5..8, the black king
  // on file 3 and no black attacker: 50 for the mass, 150 for n > m + 2.
  const std::vector<At> pieces = {{'K', 4, 9}, {'R', 6, 2}, {'N', 7, 3}, {'C', 8, 1},
                                  {'k', 3, 0}, {'a', 4, 1}};
  const Totals t = WingAttack(pieces);
  EXPECT_EQ(t.red, 200);
  EXPECT_EQ(t.black, 0);
  // Black's twin on red's wing.
  const Totals m = WingAttack(ColourMirror(pieces));
  EXPECT_EQ(m.black, 200);
  EXPECT_EQ(m.red, 0);
}

TEST(KingAreaAttackTest, AttackersOneAndTwoAboveTheDefenders) {
  // Chariot and knight against an open wing (no black elephants): t = m + 2
  // gives 50 (adviser on the first near square) + 33 (no defender there).
  std::vector<At> pieces = {{'K', 4, 9}, {'R', 6, 2}, {'N', 7, 3}, {'k', 4, 0},
                            {'a', 3, 0}, {'a', 5, 0}};
  EXPECT_EQ(WingAttack(pieces).red, 83);
  // Red pawns in front of the palace add 25 per attacker on the wing.
  EXPECT_EQ(WingAttack(pieces, 1, 0).red, 83 + 50);
  // The knight withdrawn to red's half: t = m + 1 gives 33, and the chariot
  // alone on the wing costs 20.
  pieces[2] = {'N', 7, 7};
  EXPECT_EQ(WingAttack(pieces).red, 33 - 20);
  // The first near square empty: 50 instead of 33.
  pieces[5] = {'a', 4, 1};
  EXPECT_EQ(WingAttack(pieces).red, 50 - 20);
  // King on the wing's file 5 (on the first near square) with a red knight
  // and chariot on the wing: 75 + 33, and 33 + 75 for the knight and the
  // chariot beside the king.
  pieces = {{'K', 4, 9}, {'R', 6, 3}, {'N', 7, 3}, {'k', 5, 0}, {'a', 4, 1}};
  EXPECT_EQ(WingAttack(pieces).red, 75 + 33 + 33 + 75);
}

TEST(KingAreaAttackTest, FullAttackAndTheWingsThatDiffer) {
  // n = 3 with chariot, knight and corner cannon, a fourth red piece on the
  // centre file, one black defender on the wing: 50 + 200 + 200 (first near
  // square occupied) + 75 + 100 = 625 on black's right wing, plus 33 from
  // the centre cannon against the left wing.
  const std::vector<At> pieces = {{'K', 4, 9}, {'R', 8, 3}, {'N', 6, 4}, {'C', 7, 2},
                                  {'C', 4, 4}, {'k', 4, 0}, {'a', 3, 0}, {'a', 5, 0},
                                  {'n', 6, 0}};
  EXPECT_EQ(WingAttack(pieces).red, 625 + 33);
  // On the other three wings the occupied first near square gives 100.
  EXPECT_EQ(WingAttack(ColourMirror(pieces)).black, 525 + 33);
  EXPECT_EQ(WingAttack(FileMirror(pieces)).red, 525 + 33);
  EXPECT_EQ(WingAttack(ColourMirror(FileMirror(pieces))).black, 525 + 33);
  // With the first near square empty every wing gives 200.
  std::vector<At> open = pieces;
  open[7] = {'a', 4, 1};
  EXPECT_EQ(WingAttack(open).red, 625 + 33);
  EXPECT_EQ(WingAttack(ColourMirror(open)).black, 625 + 33);
  EXPECT_EQ(WingAttack(FileMirror(open)).red, 625 + 33);
}

TEST(KingAreaAttackTest, CoveredKingWithElephantsAndAdvisers) {
  // Elephants on (6,0) and (2,0), advisers on (4,1) and (3,0): the wing is
  // open (S = 2) but the elephants and advisers temper the attack. One
  // chariot, t = m + 1: 25 and nothing more; alone on the wing, -20.
  std::vector<At> pieces = {{'K', 4, 9}, {'R', 6, 3}, {'k', 4, 0}, {'a', 4, 1},
                            {'a', 3, 0}, {'b', 6, 0}, {'b', 2, 0}};
  EXPECT_EQ(WingAttack(pieces).red, 25 - 20);
  // Chariot, knight and corner cannon, t > m + 2: 50 + 200 + 141 (two
  // advisers, no defender on the wing) + 75 + 100.
  pieces.push_back({'N', 7, 3});
  pieces.push_back({'C', 7, 2});
  EXPECT_EQ(WingAttack(pieces).red, 50 + 200 + 141 + 75 + 100);
  // With one adviser the (a) rule applies: 275 with (5,0) empty.
  pieces[4] = {'p', 0, 3};
  EXPECT_EQ(WingAttack(pieces).red, 50 + 200 + 275 + 75 + 100);
}

TEST(KingAreaAttackTest, DefenceStateOfTheWing) {
  // Full black defence with the formation adviser (5,0), elephants (6,0) and
  // (4,2): the wing counts as closed (S = 0) while (5,1) is empty, so two red
  // attackers against none give 75; with (5,1) occupied S = 1 and the t =
  // m + 2 rule applies: 33 (elephants and an adviser) + 33 (no defender).
  std::vector<At> pieces = {{'K', 4, 9}, {'R', 6, 3}, {'N', 7, 3}, {'k', 4, 0},
                            {'a', 4, 1}, {'a', 5, 0}, {'b', 6, 0}, {'b', 4, 2}};
  EXPECT_EQ(WingAttack(pieces).red, 75);
  pieces.push_back({'p', 5, 1});
  EXPECT_EQ(WingAttack(pieces).red, 33 + 33);
}

TEST(KingAreaAttackTest, StrandedChariots) {
  // Red's left wing looks for the black man beside the chariot on (2,2).
  std::vector<At> left = {{'K', 4, 9}, {'R', 2, 1}, {'k', 4, 0}, {'n', 2, 2}, {'c', 7, 7}};
  EXPECT_EQ(WingAttack(left).red, -75 - 20);
  left[3] = {'n', 1, 1};
  EXPECT_EQ(WingAttack(left).red, -33 - 20);
  // Red's right wing looks in front of the chariot, on (6,3).
  std::vector<At> right = {{'K', 4, 9}, {'R', 6, 1}, {'k', 4, 0}, {'n', 6, 2}, {'c', 1, 7}};
  EXPECT_EQ(WingAttack(right).red, -33 - 20);
  right[3] = {'n', 6, 3};
  EXPECT_EQ(WingAttack(right).red, -75 - 20);
  // Black's chariots are judged on (6,6) and (2,6) on both wings.
  std::vector<At> black = {{'k', 4, 0}, {'r', 6, 8}, {'K', 4, 9}, {'N', 6, 6}, {'C', 1, 2}};
  EXPECT_EQ(WingAttack(black).black, -75 - 20);
  black[3] = {'N', 6, 5};
  EXPECT_EQ(WingAttack(black).black, -33 - 20);
  // With a single enemy attacking piece the chariot is not penalised.
  left.pop_back();
  EXPECT_EQ(WingAttack(left).red, -20);
}

TEST(KingAreaAttackTest, NoMoreAttackersThanDefenders) {
  // Red's chariot and knight (and cannon) on black's right wing against
  // black's chariot, knight and cannon there: only the mass of three
  // attackers counts and, with red pawns near the palace, 25 per attacker
  // unless the king is away from the wing. Black's twin scores the same.
  const struct {
    const char* name;
    At king;
    bool cannon;
    int32_t nearPawns;
    int32_t expected;
  } cases[] = {
      {"mass of three", {'k', 4, 0}, true, 0, 50},
      {"mass and near pawns", {'k', 4, 0}, true, 1, 50 + 75},
      {"king away from the wing", {'k', 3, 0}, true, 1, 50},
      {"two attackers and near pawns", {'k', 4, 0}, false, 1, 50},
      {"two attackers alone", {'k', 4, 0}, false, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<At> pieces = {{'K', 4, 9}, {'R', 6, 2}, {'N', 7, 3}, {'r', 8, 0},
                              {'n', 7, 0}, {'c', 5, 3}, c.king};
    if (c.cannon) pieces.push_back({'C', 8, 1});
    const Totals t = WingAttack(pieces, c.nearPawns, 0);
    EXPECT_EQ(t.red, c.expected);
    EXPECT_EQ(t.black, 0);
    const Totals m = WingAttack(ColourMirror(pieces), 0, c.nearPawns);
    EXPECT_EQ(m.black, c.expected);
    EXPECT_EQ(m.red, 0);
  }
}

TEST(KingAreaAttackTest, NothingWithoutChariotsAndFewAttackers) {
  // Two red knights on the open wing would score, but neither side has a
  // chariot and both have fewer than three attacking pieces.
  const std::vector<At> pieces = {{'K', 4, 9}, {'N', 6, 2}, {'N', 7, 3}, {'k', 4, 0},
                                  {'c', 1, 7}};
  const Totals t = WingAttack(pieces);
  EXPECT_EQ(t.red, 0);
  EXPECT_EQ(t.black, 0);
  // A third red attacker opens the terms: t = m + 2 on the open wing gives
  // 75 + 33.
  std::vector<At> more = pieces;
  more[4] = {'c', 1, 2};
  more.push_back({'C', 1, 7});
  EXPECT_EQ(WingAttack(more).red, 108);
}

}  // namespace
