// Material recipes: the low-material bonuses of the set-up and the term group
// of facing chariots, chariot counts and one-attacker endings, with the
// damping that ends the evaluation.
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
using palace_rules_testing::PreparedState;
using testing_support::SetUpFen;

// The working values the evaluator's set-up hands to the recipes, with the
// totals and the balance chosen by the test.
FullEvalState StateOf(const std::vector<At>& pieces, char side, int32_t balance = 0,
                      int32_t redTotal = 0, int32_t blackTotal = 0) {
  SetUpFen(Fen(pieces, side));
  FullEvalState s = PreparedState();
  s.balance = balance;
  s.redTotal = redTotal;
  s.blackTotal = blackTotal;
  s.redCanWin = attackerCount[kRed] >= 3 ? 1 : RedCanWin();
  s.blackCanWin = attackerCount[kBlack] >= 3 ? 1 : BlackCanWin();
  return s;
}

FullEvalState TermGroup(const std::vector<At>& pieces, char side = 'w', int32_t balance = 0,
                        int32_t redTotal = 0, int32_t blackTotal = 0) {
  FullEvalState s = StateOf(pieces, side, balance, redTotal, blackTotal);
  MaterialPatternsTermGroup(s);
  return s;
}

FullEvalState LowMaterial(const std::vector<At>& pieces, char side = 'w',
                          int32_t balance = 0) {
  FullEvalState s = StateOf(pieces, side, balance);
  MaterialPatternsLowMaterial(s);
  return s;
}

// ---------------------------------------------------------------------------
// Term group
// ---------------------------------------------------------------------------

TEST(MaterialTermGroupTest, ChariotsFacingOnAFile) {
  // Three attacking pieces each keep the one-attacker recipes out of it.
  std::vector<At> pieces = {{'K', 3, 9}, {'R', 4, 7}, {'N', 0, 9}, {'N', 8, 9}, {'P', 4, 5},
                            {'k', 5, 0}, {'r', 4, 2}, {'n', 0, 0}, {'n', 8, 0}};
  for (char side : {'w', 'b'}) {
    const FullEvalState s = TermGroup(pieces, side);
    EXPECT_EQ(s.redTotal, 100 * 4 / 7);  // red pawn on rank 5: 57
    EXPECT_EQ(s.blackTotal, 0);
    EXPECT_FALSE(s.finalSumNow);
  }
  // A black pawn between: 100 * rank / 7 to black.
  pieces[4] = {'p', 4, 4};
  EXPECT_EQ(TermGroup(pieces).blackTotal, 57);
  // An unprotected red knight between: 100 * rank / 8 to black; protected
  // by another red piece: nothing.
  pieces[4] = {'N', 4, 3};
  pieces[2] = {'C', 0, 9};
  EXPECT_EQ(TermGroup(pieces).blackTotal, 37);
  pieces[2] = {'C', 4, 9};  // over the red chariot
  EXPECT_EQ(TermGroup(pieces).blackTotal, 0);
  // An unprotected black cannon between: 100 * (9 - rank) / 8 to red.
  pieces[4] = {'c', 4, 6};
  const FullEvalState s = TermGroup(pieces);
  EXPECT_EQ(s.redTotal, 37);
  EXPECT_EQ(s.blackTotal, 0);
  // Two men between: nothing.
  pieces[4] = {'P', 4, 5};
  pieces.push_back({'p', 4, 4});
  EXPECT_EQ(TermGroup(pieces).redTotal, 0);
}

TEST(MaterialTermGroupTest, FacingChariotsCountOnlyTheMenBetween) {
  // File 4 holds the two chariots and the men of each case; the pieces on
  // the other files keep three attackers a side.
  const std::vector<At> base = {{'K', 3, 9}, {'C', 0, 9}, {'N', 8, 9},
                                {'k', 5, 0}, {'n', 0, 0}, {'n', 8, 0}};
  struct Case {
    const char* name;
    std::vector<At> file;
    int32_t red, black;
  };
  const std::vector<Case> cases = {
      {"man next to the black chariot", {{'R', 4, 9}, {'r', 4, 0}, {'c', 4, 1}}, 100, 0},
      {"man next to the red chariot", {{'R', 4, 9}, {'r', 4, 0}, {'N', 4, 8}}, 0, 100},
      {"men beyond both chariots", {{'A', 4, 8}, {'R', 4, 7}, {'P', 4, 5}, {'r', 4, 2}, {'a', 4, 1}},
       57, 0},
      {"black chariot nearer red's back rank", {{'R', 4, 2}, {'P', 4, 5}, {'r', 4, 7}}, 0, 0},
      {"chariots side by side", {{'R', 4, 5}, {'r', 4, 4}}, 0, 0},
      {"two men between", {{'R', 4, 9}, {'P', 4, 5}, {'p', 4, 4}, {'r', 4, 0}}, 0, 0},
  };
  for (const Case& c : cases) {
    std::vector<At> pieces = base;
    pieces.insert(pieces.end(), c.file.begin(), c.file.end());
    const FullEvalState s = TermGroup(pieces);
    EXPECT_EQ(s.redTotal, c.red) << c.name;
    EXPECT_EQ(s.blackTotal, c.black) << c.name;
  }
}

TEST(MaterialTermGroupTest, BlackChariotsSharingAFileCountOnce) {
  // The second black chariot behind the first on the same file: the pair
  // with it is skipped, and the pair with the first chariot has two men.
  std::vector<At> pieces = {{'K', 3, 9}, {'R', 4, 7}, {'N', 0, 9}, {'N', 8, 9}, {'P', 4, 5},
                            {'k', 5, 0}, {'r', 4, 2}, {'r', 4, 0}, {'n', 8, 0}};
  EXPECT_EQ(TermGroup(pieces).redTotal, 0);
  // The same chariot on another file: the pair counts.
  pieces[7] = {'r', 0, 0};
  EXPECT_EQ(TermGroup(pieces).redTotal, 57);
}

TEST(MaterialTermGroupTest, ChariotCounts) {
  // More chariots at nearly equal strength: 50. Red 2 chariots (20), black
  // chariot, knight, cannon (20).
  const std::vector<At> more = {{'K', 4, 9}, {'R', 0, 9}, {'R', 8, 7}, {'k', 4, 0},
                                {'r', 0, 0}, {'n', 7, 0}, {'c', 1, 2}};
  FullEvalState s = TermGroup(more);
  EXPECT_EQ(s.redTotal, 50);
  EXPECT_EQ(s.blackTotal, 0);
  // No black chariot against red's chariot and knight with two pawns:
  // 100 + 200 / 3.
  const std::vector<At> none = {{'K', 4, 9}, {'R', 0, 9}, {'N', 7, 9}, {'P', 0, 6},
                                {'P', 2, 6}, {'k', 4, 0}, {'n', 7, 0}, {'c', 1, 2}};
  s = TermGroup(none);
  EXPECT_EQ(s.redTotal, 166);
  EXPECT_EQ(s.blackTotal, 0);
}

TEST(MaterialTermGroupTest, TwoChariotsEachWithoutElephants) {
  const std::vector<At> black = {{'k', 4, 0}, {'a', 3, 0}, {'a', 5, 0}, {'r', 0, 0},
                                 {'r', 7, 0}, {'b', 2, 0}};
  const auto with = [](std::vector<At> red, const std::vector<At>& other) {
    red.insert(red.end(), other.begin(), other.end());
    return red;
  };
  // Red without elephants, fewer advisers than black but one left: 100.
  EXPECT_EQ(TermGroup(with({{'K', 4, 9}, {'A', 4, 8}, {'R', 0, 9}, {'R', 8, 7}}, black))
                .blackTotal,
            100);
  // None left: 200; an elephant instead: nothing.
  EXPECT_EQ(TermGroup(with({{'K', 4, 9}, {'R', 0, 9}, {'R', 8, 7}}, black)).blackTotal, 200);
  EXPECT_EQ(TermGroup(with({{'K', 4, 9}, {'B', 2, 9}, {'R', 0, 9}, {'R', 8, 7}}, black))
                .blackTotal,
            0);
  // As many advisers as black, both none: 100.
  const std::vector<At> noAdvisers = {{'k', 4, 0}, {'b', 2, 0}, {'b', 6, 0}, {'p', 8, 3},
                                      {'r', 0, 0}, {'r', 7, 0}};
  EXPECT_EQ(TermGroup(with({{'K', 4, 9}, {'R', 0, 9}, {'R', 8, 7}}, noAdvisers)).blackTotal,
            100);
}

TEST(MaterialTermGroupTest, ThreeAttackingPiecesEach) {
  std::vector<At> pieces = {{'K', 4, 9}, {'R', 0, 9}, {'R', 8, 7}, {'C', 1, 7},
                            {'k', 4, 0}, {'r', 0, 0}, {'r', 7, 0}, {'n', 1, 0}};
  EXPECT_EQ(TermGroup(pieces).redTotal, 50);
  pieces[3] = {'N', 1, 9};
  pieces[7] = {'c', 1, 2};
  EXPECT_EQ(TermGroup(pieces).blackTotal, 50);
}

TEST(MaterialTermGroupTest, SideWithoutAttackingPieces) {
  // Two advisers and one elephant lose 185 * 2 / 3 + 195 / 3 = 123 + 65.
  const std::vector<At> pieces = {{'K', 4, 9}, {'R', 0, 9}, {'R', 8, 7}, {'k', 4, 0},
                                  {'a', 3, 0}, {'a', 5, 0}, {'b', 2, 0}};
  for (char side : {'w', 'b'}) {
    const FullEvalState s = TermGroup(pieces, side);
    EXPECT_EQ(s.blackTotal, -188);
    EXPECT_FALSE(s.finalSumNow);
  }
}

TEST(MaterialTermGroupTest, LoneCannonAgainstLoneCannonIsDampedByAThird) {
  const std::vector<At> pieces = {{'K', 4, 9}, {'A', 4, 8}, {'C', 1, 8}, {'P', 0, 6},
                                  {'k', 4, 0}, {'a', 4, 1}, {'c', 1, 1}, {'p', 8, 3}};
  for (char side : {'w', 'b'}) {
    const FullEvalState s = TermGroup(pieces, side, -1000, 101, 50);
    EXPECT_TRUE(s.finalSumNow);
    EXPECT_EQ(s.balance, -333);
    EXPECT_EQ(s.redTotal, 33);
    EXPECT_EQ(s.blackTotal, 16);
  }
  // Unequal pawns: not damped; cannons on their two back ranks are not
  // penalised.
  std::vector<At> more = pieces;
  more.push_back({'P', 2, 6});
  const FullEvalState s = TermGroup(more, 'w', -1000, 101, 50);
  EXPECT_FALSE(s.finalSumNow);
  EXPECT_EQ(s.balance, -1000);
  EXPECT_EQ(s.redTotal, 101);
  // A lone cannon that has left its two back ranks: 50 less.
  more.back() = {'P', 2, 6};
  more[2] = {'C', 1, 5};
  EXPECT_EQ(TermGroup(more, 'w', 0, 0, 0).redTotal, -50);
}

TEST(MaterialTermGroupTest, LoneChariotAgainstLoneCannon) {
  // Red pawn, no black crossed pawn, a useful red pawn: 300 + 100 + 100, and
  // the evaluation goes straight to the final sum without damping.
  std::vector<At> pieces = {{'K', 4, 9}, {'R', 0, 9}, {'P', 4, 4}, {'k', 4, 0}, {'c', 1, 2}};
  for (char side : {'w', 'b'}) {
    const FullEvalState s = TermGroup(pieces, side, 700, 10, 20);
    EXPECT_TRUE(s.finalSumNow);
    EXPECT_EQ(s.balance, 700);
    EXPECT_EQ(s.redTotal, 10 + 500);
    EXPECT_EQ(s.blackTotal, 20);
  }
  // A black pawn across the river takes one 100 away.
  pieces.push_back({'p', 8, 6});
  EXPECT_EQ(TermGroup(pieces).redTotal, 400);
  // Black's twin.
  const std::vector<At> twin = {{'K', 4, 9}, {'C', 1, 7}, {'k', 4, 0}, {'r', 0, 0}, {'p', 4, 5}};
  EXPECT_EQ(TermGroup(twin, 'b').blackTotal, 500);
}

TEST(MaterialTermGroupTest, ChariotEndings) {
  // Black chariot on red's back-rank centre against red's fortress: adviser
  // on the palace centre and (5,9), elephants (2,9) and (4,7): 400, and no
  // quarter damping. Each side has at most one pawn against both enemy
  // advisers (75 less), and black's king and chariot share file 4 (100).
  std::vector<At> pieces = {{'K', 3, 8}, {'A', 4, 8}, {'A', 5, 9}, {'B', 2, 9}, {'B', 4, 7},
                            {'R', 0, 5}, {'k', 4, 0}, {'a', 3, 0}, {'a', 5, 0},
                            {'b', 2, 0}, {'b', 6, 0}, {'r', 4, 9}};
  FullEvalState s = TermGroup(pieces, 'w', 1000);
  EXPECT_FALSE(s.finalSumNow);
  EXPECT_EQ(s.redTotal, 400 - 75);
  EXPECT_EQ(s.blackTotal, 100 - 75);
  EXPECT_EQ(s.balance, 1000);
  // Without the fortress the full defences on both sides damp to a quarter.
  pieces[11] = {'r', 8, 5};
  s = TermGroup(pieces, 'b', 1000, 8, 4);
  EXPECT_TRUE(s.finalSumNow);
  EXPECT_EQ(s.balance, 250);
  EXPECT_EQ(s.redTotal, (8 - 75) / 4);
  EXPECT_EQ(s.blackTotal, (4 - 75) / 4);
  // King and chariot on the centre file: 100; one pawn against both enemy
  // advisers: 75 less.
  pieces = {{'K', 4, 9}, {'B', 2, 9}, {'R', 4, 5}, {'P', 0, 6}, {'k', 3, 0}, {'a', 4, 1},
            {'a', 5, 0}, {'r', 8, 3}};
  s = TermGroup(pieces);
  EXPECT_EQ(s.redTotal, 100 - 75);
  std::vector<At> twoPawns = pieces;
  twoPawns.push_back({'P', 8, 6});
  EXPECT_EQ(TermGroup(twoPawns).redTotal, 100);
  // A side without advisers against a useful enemy pawn: 200, 300 with a
  // zone pawn.
  EXPECT_EQ(s.blackTotal, 0);
  pieces.push_back({'p', 0, 5});
  EXPECT_EQ(TermGroup(pieces).blackTotal, 200);
  pieces.back() = {'p', 3, 7};
  EXPECT_EQ(TermGroup(pieces).blackTotal, 300);
}

TEST(MaterialTermGroupTest, ChariotAndCannonAgainstLoneChariot) {
  // Black chariot and cannon on red's back rank beside the adviser on
  // (5,9); the red chariot attacks the cannon: damped to an eighth.
  std::vector<At> pieces = {{'K', 4, 9}, {'A', 4, 8}, {'A', 5, 9}, {'R', 7, 5},
                            {'k', 4, 0}, {'c', 7, 9}, {'r', 8, 9}};
  for (char side : {'w', 'b'}) {
    const FullEvalState s = TermGroup(pieces, side, 800, 16, 24);
    EXPECT_TRUE(s.finalSumNow);
    EXPECT_EQ(s.balance, 100);
    EXPECT_EQ(s.redTotal, 2);
    EXPECT_EQ(s.blackTotal, 3);
  }
  // The red chariot on rank 6 not attacking the cannon: a fifth with red to
  // move; with black to move nothing, and without both elephants the totals
  // stay.
  pieces[3] = {'R', 0, 6};
  FullEvalState s = TermGroup(pieces, 'w', 800, 16, 24);
  EXPECT_TRUE(s.finalSumNow);
  EXPECT_EQ(s.balance, 160);
  s = TermGroup(pieces, 'b', 800, 16, 24);
  EXPECT_FALSE(s.finalSumNow);
  EXPECT_EQ(s.balance, 800);
  EXPECT_EQ(s.redTotal, 16);
  // With both red elephants the totals are divided by three instead.
  pieces.push_back({'B', 2, 9});
  pieces.push_back({'B', 6, 9});
  s = TermGroup(pieces, 'b', 800, 16, 24);
  EXPECT_FALSE(s.finalSumNow);
  EXPECT_EQ(s.balance, 800);
  EXPECT_EQ(s.redTotal, 5);
  EXPECT_EQ(s.blackTotal, 8);
}

TEST(MaterialTermGroupTest, OneSidedEndings) {
  // A lone knight without pawns against no attacking piece: a third.
  const std::vector<At> knight = {{'K', 4, 9}, {'A', 4, 8}, {'A', 3, 9}, {'N', 2, 5},
                                  {'k', 4, 0}, {'p', 0, 3}, {'p', 8, 3}};
  FullEvalState s = TermGroup(knight, 'w', 300, 0, 0);
  EXPECT_TRUE(s.finalSumNow);
  EXPECT_EQ(s.balance, 100);
  // Lone knight and a pawn against the full defence: 200 less.
  const std::vector<At> full = {{'K', 4, 9}, {'N', 2, 5}, {'P', 4, 4}, {'k', 4, 0},
                                {'a', 3, 0}, {'a', 5, 0}, {'b', 2, 0}, {'b', 6, 0},
                                {'c', 1, 2}, {'n', 7, 0}};
  s = TermGroup(full, 'b');
  EXPECT_FALSE(s.finalSumNow);
  EXPECT_EQ(s.redTotal, -200);
  // Chariot and knight without pawns against a lone chariot and the full
  // defence: two fifths, a fifth with the full set-up.
  std::vector<At> ck = {{'K', 4, 9}, {'A', 3, 9}, {'A', 5, 9}, {'B', 2, 9}, {'B', 6, 9},
                        {'R', 0, 9}, {'k', 4, 0}, {'a', 4, 1}, {'r', 8, 0}, {'n', 7, 0}};
  s = TermGroup(ck, 'w', 1000);
  EXPECT_TRUE(s.finalSumNow);
  EXPECT_EQ(s.balance, 400);
  ck[1] = {'A', 4, 8};
  ck[3] = {'B', 4, 7};
  s = TermGroup(ck, 'w', 1000);
  EXPECT_EQ(s.balance, 200);
}

// ---------------------------------------------------------------------------
// Low-material bonuses of the set-up
// ---------------------------------------------------------------------------

TEST(LowMaterialPatternsTest, WeakAttackingPairs) {
  // Black's two knights without cannon: 50; red's cannon and knight: 100.
  std::vector<At> pieces = {{'K', 4, 9}, {'R', 0, 9}, {'k', 4, 0}, {'n', 1, 0}, {'n', 7, 0}};
  EXPECT_EQ(LowMaterial(pieces).redTotal, 50);
  pieces.push_back({'C', 1, 7});
  pieces.push_back({'N', 7, 9});
  pieces[1] = {'B', 2, 9};
  EXPECT_EQ(LowMaterial(pieces).redTotal, 100);
  // Two cannons without knight or pawn: 66; a black pawn spoils it.
  pieces = {{'K', 4, 9}, {'R', 0, 9}, {'k', 4, 0}, {'c', 1, 2}, {'c', 7, 2}};
  EXPECT_EQ(LowMaterial(pieces).redTotal, 66);
  pieces.push_back({'p', 0, 3});
  EXPECT_EQ(LowMaterial(pieces).redTotal, 0);
}

TEST(LowMaterialPatternsTest, ThinAttack) {
  // A lone red cannon against chariot and knight: black's strength 15 > 11
  // gives 3 * 15 + 100 (red has no pawn).
  std::vector<At> pieces = {{'K', 4, 9}, {'C', 1, 7}, {'k', 4, 0}, {'r', 0, 0}, {'n', 1, 0}};
  FullEvalState s = LowMaterial(pieces, 'b');
  EXPECT_EQ(s.blackTotal, 45 + 100);
  // Black's advisers on the palace centre and a front corner, no red zone
  // pawn: 33 more.
  pieces.push_back({'a', 4, 1});
  pieces.push_back({'a', 3, 2});
  EXPECT_EQ(LowMaterial(pieces, 'w').blackTotal, 45 + 100 + 33);
}

TEST(LowMaterialPatternsTest, EndingsAtMiddlegameLevelZero) {
  // A lone red chariot against chariot and knight: 100, 200 with a black
  // knight on its targets.
  std::vector<At> pieces = {{'K', 4, 9}, {'R', 0, 9}, {'k', 4, 0}, {'r', 0, 0}, {'n', 1, 0}};
  EXPECT_EQ(LowMaterial(pieces).blackTotal, 100);
  pieces[4] = {'n', 3, 7};
  EXPECT_EQ(LowMaterial(pieces).blackTotal, 200);
  // The same without pawns against red's two elephants: 150 to red.
  pieces.push_back({'B', 2, 9});
  pieces.push_back({'B', 6, 9});
  EXPECT_EQ(LowMaterial(pieces).redTotal, 150);
  // Knights only, both full advisers, one pawn apart: two thirds of the
  // balance.
  const std::vector<At> knights = {{'K', 4, 9}, {'A', 3, 9}, {'A', 5, 9}, {'N', 1, 9},
                                   {'P', 0, 6}, {'k', 4, 0}, {'a', 3, 0}, {'a', 5, 0},
                                   {'n', 1, 0}};
  EXPECT_EQ(LowMaterial(knights, 'w', -301).balance, -200);
  // A cannon on either side rules the ending out: the balance stays.
  for (const At cannon : {At{'C', 7, 7}, At{'c', 7, 2}}) {
    std::vector<At> withCannon = knights;
    withCannon.push_back(cannon);
    EXPECT_EQ(LowMaterial(withCannon, 'w', -301).balance, -301);
  }
}

TEST(LowMaterialPatternsTest, FixedPairings) {
  // A lone red chariot with two pawns, two crossed, against knight and two
  // cannons without pawns and with one adviser: (200 - 100 + 100) + (100 +
  // 100).
  const std::vector<At> pieces = {{'K', 4, 9}, {'R', 0, 9}, {'P', 0, 4}, {'P', 8, 4},
                                  {'k', 4, 0}, {'a', 4, 1}, {'n', 1, 0}, {'c', 1, 2},
                                  {'c', 7, 2}};
  for (char side : {'w', 'b'}) EXPECT_EQ(LowMaterial(pieces, side).redTotal, 200 + 200);
  // Black's chariot and knight with two pawns against knight and two
  // cannons: 200.
  const std::vector<At> twin = {{'K', 4, 9}, {'N', 1, 9}, {'C', 1, 7}, {'C', 7, 7},
                                {'k', 4, 0}, {'r', 0, 0}, {'n', 7, 0}, {'p', 0, 3},
                                {'p', 8, 3}};
  EXPECT_EQ(LowMaterial(twin).blackTotal, 200);
}

}  // namespace
