// Pawn and knight terms of each side, run on hand-built positions with
// either side to move.
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
using palace_rules_testing::ColourMirror;
using palace_rules_testing::PreparedState;
using palace_rules_testing::Totals;
using testing_support::SetUpFen;

Totals RedTerms(const std::vector<At>& pieces, char side) {
  SetUpFen(Fen(pieces, side));
  FullEvalState s = PreparedState();
  PawnKnightTerms<kRed, RuleSet::kFull>(s);
  return {s.redTotal, s.blackTotal};
}
Totals BlackTerms(const std::vector<At>& pieces, char side) {
  SetUpFen(Fen(pieces, side));
  FullEvalState s = PreparedState();
  PawnKnightTerms<kBlack, RuleSet::kFull>(s);
  return {s.redTotal, s.blackTotal};
}

// Red's terms with either side to move; black's total is never touched.
int32_t RedBonus(const std::vector<At>& pieces, char side = 'w') {
  const Totals t = RedTerms(pieces, side);
  EXPECT_EQ(t.black, 0);
  return t.red;
}

// Black's terms on the colour mirror, black to move where red was, must
// equal red's terms on the original.
void ExpectMirrorTwin(const std::vector<At>& pieces) {
  for (char side : {'w', 'b'}) {
    const Totals red = RedTerms(pieces, side);
    const Totals black = BlackTerms(ColourMirror(pieces), side == 'w' ? 'b' : 'w');
    EXPECT_EQ(black.black, red.red) << "side " << side;
    EXPECT_EQ(black.red, 0);
  }
}

TEST(PiecePawnTermsTest, PawnsAgainstASideWithoutElephants) {
  // Red pawns on (6,5) and (6,6), a black pawn on (6,4): 20 per pawn, 25 and
  // 50 for the blocked file.
  std::vector<At> pieces = {{'K', 4, 9}, {'R', 8, 9}, {'P', 6, 5}, {'P', 6, 6},
                            {'k', 4, 0}, {'r', 0, 0}, {'c', 1, 2}, {'p', 6, 4}};
  EXPECT_EQ(RedBonus(pieces), 40 + 25 + 50);
  EXPECT_EQ(RedBonus(pieces, 'b'), 40 + 25 + 50);
  // The file free of black pawns: 50 and 100.
  pieces.back() = {'p', 8, 3};
  EXPECT_EQ(RedBonus(pieces), 40 + 50 + 100);
  // One black elephant: only the rule for three chariots and cannons is
  // left, and red has one.
  pieces.push_back({'b', 2, 0});
  EXPECT_EQ(RedBonus(pieces), 0);
  pieces.push_back({'C', 1, 7});
  pieces.push_back({'C', 7, 7});
  EXPECT_EQ(RedBonus(pieces), 50);
  // Both black elephants: nothing at all.
  pieces.push_back({'b', 6, 0});
  EXPECT_EQ(RedBonus(pieces), 0);
  ExpectMirrorTwin(pieces);
}

TEST(PiecePawnTermsTest, KnightTargetsAndThePawnOnThePalaceFront) {
  // A zone knight on a sharp target (1,3), red pawn (4,2) between the home
  // advisers: 50 + 200|100, and 20 for the pawn.
  std::vector<At> pieces = {{'K', 4, 9}, {'R', 0, 9}, {'N', 1, 3}, {'P', 4, 2},
                            {'k', 4, 0}, {'a', 3, 0}, {'a', 5, 0}, {'r', 8, 5}};
  EXPECT_EQ(RedBonus(pieces, 'w'), 50 + 200 + 20);
  EXPECT_EQ(RedBonus(pieces, 'b'), 50 + 100 + 20);
  ExpectMirrorTwin(pieces);
  // With the pawn elsewhere only the zone knight and the pawn count.
  pieces[3] = {'P', 0, 6};
  EXPECT_EQ(RedBonus(pieces, 'w'), 50 + 20);
}

TEST(PiecePawnTermsTest, AdvancedPawnsAgainstABareDefence) {
  // Chariot and cannon, black without elephants, cannons or chariots beyond
  // one: the pawn nearest black's back rank grades the bonus.
  std::vector<At> pieces = {{'K', 4, 9}, {'R', 0, 9}, {'C', 1, 7}, {'P', 0, 4},
                            {'k', 4, 0}, {'n', 8, 0}, {'b', 6, 0}};
  // With one black elephant none of these rules runs; what stays is the lone
  // knight's 33 and its edge square's 35.
  const int32_t base = RedBonus(pieces);
  EXPECT_EQ(base, 33 + 35);
  pieces.pop_back();
  // Pawn (0,4): rank code 5 gives 200; 20 for the pawn, 100 for the chariot
  // black does not have.
  EXPECT_EQ(RedBonus(pieces) - base, 200 + 20 + 100);
  pieces[3] = {'P', 0, 2};  // rank code 3
  EXPECT_EQ(RedBonus(pieces) - base, 250 + 20 + 100);
  pieces[3] = {'P', 3, 2};  // in front of the palace: a zone pawn
  EXPECT_EQ(RedBonus(pieces) - base, 350 + 20 + 100);
}

TEST(PiecePawnTermsTest, TrappedAndHemmedInKnights) {
  // Black knight in the corner, a red pawn on its inward square (1,0): 54,
  // 50 more with fewer than five black attackers, 27 for the occupied
  // neighbour on file 1.
  std::vector<At> pieces = {{'K', 4, 9}, {'P', 1, 0}, {'k', 4, 0},
                            {'n', 0, 0}, {'b', 2, 0}, {'b', 6, 0}};
  EXPECT_EQ(RedBonus(pieces), 54 + 50 + 27);
  // A piece in front of it, one rank nearer red, blocks the strong leg.
  pieces.push_back({'P', 0, 1});
  EXPECT_EQ(RedBonus(pieces), 54 + 50 + 27 + 70);
  ExpectMirrorTwin(pieces);
  // Inward square empty: 35.
  pieces = {{'K', 4, 9}, {'P', 5, 4}, {'k', 4, 0}, {'n', 0, 0}, {'b', 2, 0}, {'b', 6, 0}};
  EXPECT_EQ(RedBonus(pieces), 35);
  // A red chariot on the inward square of (0,2) with no black elephant on
  // (2,0) or (2,4): 210, and 27 for the chariot beside it.
  pieces = {{'K', 4, 9}, {'R', 1, 2}, {'k', 4, 0}, {'n', 0, 2},
            {'c', 7, 7}, {'b', 6, 0}, {'b', 4, 2}};
  EXPECT_EQ(RedBonus(pieces), 210 + 27);
  pieces[5] = {'b', 2, 4};
  EXPECT_EQ(RedBonus(pieces), 27);
}

TEST(PiecePawnTermsTest, PawnsAgainstKnightsCountEveryRow) {
  // A red pawn on (6,3) against black knights on (8,1) and (4,1): 100 + 50;
  // with a red cannon on (8,0) or (7,0) the first row gives 166.
  std::vector<At> pieces = {{'K', 4, 9}, {'k', 3, 0}, {'n', 8, 1}, {'n', 4, 1},
                            {'b', 2, 0}, {'b', 6, 0}, {'C', 7, 0}};
  const int32_t without = RedBonus(pieces);
  pieces.push_back({'P', 6, 3});
  EXPECT_EQ(RedBonus(pieces) - without, 166 + 50);
  pieces[6] = {'C', 1, 7};
  const int32_t farCannon = RedBonus(pieces);
  pieces.pop_back();
  EXPECT_EQ(farCannon - RedBonus(pieces), 100 + 50);
}

TEST(PiecePawnTermsTest, KnightPinnedByPawnAndCannonDependsOnTheMover) {
  // Middlegame level 1. The black knight on (6,2) behind its pawn, our pawn
  // on (6,4) and cannon on (6,7): 150 with red to move, 75 with black.
  // Also: both wing rules for pawns 13 and 15, which are not on the board
  // (a captured pawn counts as advanced): 50 for the knight (1,0) in zone 3
  // and 50 for (6,2) in zone 1; 20 for the pawn; 50 for three chariots and
  // cannons against a side without elephants; knight legs 70 (6,2) and 35 +
  // 27 (1,0); pawn (6,4) against the knight 33. The black chariot (0,0)
  // beside the knight belongs to the palace attack's mobility rule.
  const std::vector<At> pieces = {{'K', 4, 9}, {'C', 6, 7}, {'R', 0, 9}, {'R', 8, 9}, {'N', 1, 9},
                                  {'P', 6, 4}, {'k', 4, 0}, {'n', 6, 2}, {'n', 1, 0}, {'r', 0, 0},
                                  {'r', 8, 0}, {'c', 1, 2}, {'p', 6, 3}};
  const int32_t rest = 50 + 50 + 20 + 50 + 70 + 35 + 27 + 33;
  EXPECT_EQ(RedBonus(pieces, 'w'), 150 + rest);
  EXPECT_EQ(RedBonus(pieces, 'b'), 75 + rest);
  ExpectMirrorTwin(pieces);
}


TEST(PiecePawnTermsTest, MiddlegameRulesScoreOnlyWithTheirPieces) {
  // Each case differs from its twin in one piece, which only the named rule
  // reads; four attacking pieces a side keep the middlegame rules on. The
  // difference is the rule's bonus, for red and for black's colour mirror,
  // with either side to move.
  struct Case {
    const char* name;
    std::vector<At> with, without;
    int32_t bonus;
  };
  const std::vector<At> pinRed = {{'K', 4, 9}, {'R', 0, 9}, {'R', 8, 9}, {'N', 1, 9}, {'P', 6, 3}};
  const std::vector<At> pinBlack = {{'k', 4, 0}, {'b', 2, 0}, {'b', 6, 0}, {'r', 0, 0},
                                    {'r', 8, 0}, {'n', 6, 2}, {'c', 1, 2}};
  // One chariot each side: the rule names the chariot by its piece index.
  const std::vector<At> cornerRest = {{'K', 4, 9}, {'N', 7, 9}, {'N', 1, 9}, {'C', 1, 7},
                                      {'k', 4, 0}, {'b', 2, 0}, {'b', 6, 0}, {'r', 0, 0},
                                      {'n', 7, 0}, {'c', 7, 2}, {'c', 1, 2}};
  const std::vector<At> screenRest = {{'K', 4, 9}, {'A', 4, 8}, {'B', 4, 7}, {'B', 6, 9},
                                      {'R', 0, 9}, {'R', 8, 9}, {'N', 1, 9}, {'C', 1, 7},
                                      {'k', 4, 0}, {'b', 2, 0}, {'b', 6, 0}, {'r', 6, 7},
                                      {'r', 0, 0}, {'n', 1, 0}, {'c', 1, 2}};
  const auto plus = [](std::vector<At> pieces, std::vector<At> more) {
    pieces.insert(pieces.end(), more.begin(), more.end());
    return pieces;
  };
  const std::vector<Case> cases = {
      // Our pawn in front of their knight scores only while we keep a cannon.
      {"pawn pins the knight, a cannon on the board", plus(plus(pinRed, pinBlack), {{'C', 7, 7}}),
       plus(plus(pinRed, pinBlack), {{'N', 7, 7}}), 100},
      // Their knight and cannon at home in the corner, our chariot on the file.
      {"corner, chariot reaches the cannon", plus(cornerRest, {{'R', 7, 5}}),
       plus(cornerRest, {{'R', 6, 5}}), 100},
      {"corner, chariot blocked", plus(cornerRest, {{'R', 7, 5}, {'P', 7, 4}}),
       plus(cornerRest, {{'R', 6, 5}, {'P', 7, 4}}), 33},
      // Their chariot behind the man on (6,6), facing our full defence.
      {"chariot behind a screen", plus(screenRest, {{'P', 6, 6}}), plus(screenRest, {{'P', 8, 6}}),
       100},
  };
  for (const Case& c : cases) {
    for (char side : {'w', 'b'}) {
      EXPECT_EQ(RedBonus(c.with, side) - RedBonus(c.without, side), c.bonus) << c.name;
      const char mirrored = side == 'w' ? 'b' : 'w';
      const Totals with = BlackTerms(ColourMirror(c.with), mirrored);
      const Totals without = BlackTerms(ColourMirror(c.without), mirrored);
      EXPECT_EQ(with.black - without.black, c.bonus) << c.name << " (black)";
    }
  }
}

}  // namespace
