// The palace-attack rules chosen by the defending king's square, on
// hand-built positions with either side to move. Each position is also
// scored file-mirrored (red's blocks for a king on file 3 are the mirror of
// those for file 5) and colour-mirrored (black's blocks against the red
// king), except where black's blocks are not the exact mirror of red's.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/eval/evaluate.h"
#include "engine/eval/full_eval.h"
#include "tests/engine/eval/palace_rules_harness.h"

namespace {

using palace_rules_testing::At;
using palace_rules_testing::Case;
using palace_rules_testing::CheckCases;
using palace_rules_testing::ColourMirror;
using palace_rules_testing::FileMirror;
using palace_rules_testing::Score;
using palace_rules_testing::ScoreSwapped;
using palace_rules_testing::Totals;

void CheckKingSquareCases(const std::vector<Case>& cases) {
  CheckCases(cases, KingSquareRulesRed, KingSquareRulesBlack, true);
}

TEST(KingSquareRules, KingOnPalaceFrontCorner) {
  CheckKingSquareCases({
      {"piece before the king, f5r1 covered by a chariot",
       {{'k', 5, 2}, {'b', 4, 2}, {'K', 3, 9}, {'R', 8, 1}},
       {100, 0},
       {100, 0}},
      {"piece before the king, f5r1 not covered",
       {{'k', 5, 2}, {'b', 4, 2}, {'K', 3, 9}, {'R', 8, 3}},
       {50, 0},
       {50, 0}},
      {"knight on f7r2 and a chariot reaching f6r2",
       {{'k', 5, 2}, {'K', 3, 9}, {'N', 7, 2}, {'R', 6, 9}},
       {300, 0},
       {200, 0}},
      {"zone pawn with an attacking piece",
       {{'k', 5, 2}, {'K', 3, 9}, {'P', 2, 3}, {'C', 0, 7}},
       {66, 0},
       {66, 0}},
      {"pawn on f3r1, chariot on f4r0 on the red king's open file",
       {{'k', 5, 2}, {'K', 4, 9}, {'P', 3, 1}, {'R', 4, 0}},
       {716, 0},
       {216, 0}},
      {"pawn on f3r1, chariot on f4r0, red king off the file",
       {{'k', 5, 2}, {'K', 3, 9}, {'P', 3, 1}, {'R', 4, 0}},
       {116, 0},
       {116, 0}},
      {"pawn on f6r1 and a chariot reaching f7r2",
       {{'k', 5, 2}, {'K', 3, 9}, {'P', 6, 1}, {'R', 7, 9}},
       {666, 0},
       {366, 0}},
      {"f7r2 guarded by a black knight",
       {{'k', 5, 2}, {'n', 8, 0}, {'K', 3, 9}, {'P', 6, 1}, {'R', 7, 9}},
       {116, 0},
       {116, 0}},
      {"f7r2 guarded, but a red cannon on f8r2",
       {{'k', 5, 2}, {'n', 8, 0}, {'K', 3, 9}, {'P', 6, 1}, {'R', 7, 9}, {'C', 8, 2}},
       {666, 0},
       {366, 0}},
  });
}

TEST(KingSquareRules, KingOnPalaceSide) {
  CheckKingSquareCases({
      {"advisers on the centre and the back corner",
       {{'k', 5, 1}, {'a', 4, 1}, {'a', 5, 0}, {'K', 3, 9}, {'R', 0, 9}, {'C', 1, 7}},
       {175, 0},
       {175, 0}},
      {"the same with a cannon on the king's file",
       {{'k', 5, 1}, {'a', 4, 1}, {'a', 5, 0}, {'K', 3, 9}, {'R', 0, 9}, {'C', 5, 7}},
       {275, 0},
       {225, 0}},
      {"a knight, not an adviser, on the centre",
       {{'k', 5, 1}, {'n', 4, 1}, {'a', 5, 0}, {'K', 3, 9}, {'R', 0, 9}, {'C', 1, 7}},
       {125, 0},
       {125, 0}},
      {"empty centre",
       {{'k', 5, 1}, {'a', 5, 0}, {'K', 3, 9}, {'R', 0, 9}, {'C', 1, 7}},
       {50, 0},
       {50, 0}},
      {"knight before the palace, a chariot's line square on the king's file",
       {{'k', 5, 1}, {'K', 3, 9}, {'N', 3, 3}, {'R', 8, 5}},
       {700, 0},
       {100, 0}},
      {"the line square covered by a black knight",
       {{'k', 5, 1}, {'n', 6, 7}, {'K', 3, 9}, {'N', 3, 3}, {'R', 8, 5}},
       {100, 0},
       {50, 0}},
      {"pawn on f6r2 opens f7r0 and f7r1 to a chariot",
       {{'k', 5, 1}, {'K', 3, 9}, {'P', 6, 2}, {'R', 7, 9}},
       {1066, 0},
       {766, 0}},
      {"knight on f7r1 and a chariot reaching f6r1",
       {{'k', 5, 1}, {'a', 4, 1}, {'K', 3, 9}, {'N', 7, 1}, {'R', 6, 9}},
       {433, 0},
       {233, 0}},
  });
}

TEST(KingSquareRules, KingOnBackCorner) {
  CheckKingSquareCases({
      {"no attacking piece", {{'k', 5, 0}, {'K', 3, 9}, {'P', 6, 3}}, {0, 0}, {0, 0}},
      {"pawn before the corner",
       {{'k', 5, 0}, {'K', 3, 9}, {'P', 6, 3}, {'C', 0, 7}},
       {66, 0},
       {66, 0}},
      {"pawn on the palace centre, a chariot with two line squares",
       {{'k', 5, 0}, {'K', 3, 9}, {'P', 4, 1}, {'R', 8, 5}},
       {1000, 0},
       {400, 0}},
      {"line squares next to the king",
       {{'k', 5, 0}, {'K', 3, 9}, {'P', 4, 1}, {'R', 6, 4}},
       {1300, 0},
       {600, 0}},
      // The chariot threat through the back-rank corner is added once for
      // pawns on both f6r1 and f5r2.
      {"palace threat of the chariots",
       {{'k', 5, 0}, {'K', 3, 9}, {'P', 6, 1}, {'P', 5, 2}, {'R', 8, 5}},
       {400, 0},
       {250, 0}},
      {"two cannons and a chariot entering f7r0",
       {{'k', 5, 0}, {'n', 4, 0}, {'K', 3, 9}, {'C', 8, 0}, {'C', 6, 1}, {'R', 7, 5}},
       {750, 0},
       {250, 0}},
      {"the entry with f8r1 guarded",
       {{'k', 5, 0}, {'n', 4, 0}, {'r', 8, 3}, {'K', 3, 9}, {'C', 8, 0}, {'C', 6, 1}, {'R', 7, 5}},
       {150, 0},
       {150, 0}},
  });
}

TEST(KingSquareRules, KingOnPalaceFront) {
  CheckKingSquareCases({
      {"only the zone pawn scores without knight and chariot",
       {{'k', 4, 2}, {'K', 3, 9}, {'P', 2, 3}, {'C', 0, 7}, {'N', 0, 9}},
       {66, 0},
       {66, 0}},
      {"knight and chariot, no black adviser",
       {{'k', 4, 2}, {'K', 3, 9}, {'P', 2, 3}, {'C', 0, 7}, {'N', 5, 3}, {'R', 0, 9}},
       {266, 0},
       {266, 0}},
      {"knight and chariot with a black adviser",
       {{'k', 4, 2}, {'a', 4, 1}, {'K', 3, 9}, {'P', 2, 3}, {'C', 0, 7}, {'N', 5, 3}, {'R', 0, 9}},
       {166, 0},
       {166, 0}},
  });
}

TEST(KingSquareRules, KingOnHomeSquare) {
  CheckKingSquareCases({
      {"knight on the centre, chariot on the king's file, no elephant",
       {{'k', 4, 0}, {'a', 3, 0}, {'a', 5, 0}, {'n', 4, 1}, {'K', 3, 9}, {'R', 4, 5}},
       {400, 0},
       {400, 0}},
      {"the same with one black elephant",
       {{'k', 4, 0}, {'a', 3, 0}, {'a', 5, 0}, {'b', 2, 0}, {'n', 4, 1}, {'K', 3, 9}, {'R', 4, 5}},
       {266, 0},
       {266, 0}},
      {"cannon on the centre, chariot in front of it",
       {{'k', 4, 0}, {'a', 3, 0}, {'a', 5, 0}, {'c', 4, 1}, {'K', 3, 9}, {'R', 4, 2}},
       {241, 0},
       {241, 0}},
      {"the same with red pieces on f4r7 and f4r8",
       {{'k', 4, 0},
        {'a', 3, 0},
        {'a', 5, 0},
        {'c', 4, 1},
        {'K', 3, 9},
        {'R', 4, 2},
        {'B', 4, 7},
        {'A', 4, 8}},
       {274, 0},
       {274, 0}},
      {"zone pawn not beyond rank 3",
       {{'k', 4, 0}, {'K', 3, 9}, {'P', 2, 3}, {'C', 0, 7}},
       {33, 0},
       {33, 0}},
      {"zone pawn on rank 2",
       {{'k', 4, 0}, {'K', 3, 9}, {'P', 2, 2}, {'C', 0, 7}},
       {100, 0},
       {100, 0}},
      // Whatever stands on f1r0 and f2r0.
      {"chariots on f3r1 and f0r0 against an unprotected adviser",
       {{'k', 4, 0}, {'a', 3, 0}, {'n', 1, 0}, {'K', 5, 9}, {'R', 3, 1}, {'R', 0, 0}},
       {500, 0},
       {500, 0}},
      {"the adviser protected by the other adviser",
       {{'k', 4, 0}, {'a', 3, 0}, {'a', 4, 1}, {'n', 1, 0}, {'K', 5, 9}, {'R', 3, 1}, {'R', 0, 0}},
       {100, 0},
       {100, 0}},
      {"a red piece on the adviser square",
       {{'k', 4, 0}, {'N', 3, 0}, {'K', 5, 9}, {'R', 3, 1}, {'R', 0, 0}},
       {0, 0},
       {0, 0}},
      {"pawns on f3r1 and f5r1, a chariot reaching the centre",
       {{'k', 4, 0}, {'K', 3, 9}, {'P', 5, 1}, {'P', 3, 1}, {'R', 4, 5}},
       {400, 0},
       {400, 0}},
      {"chariot on f3r1 backed by the red king, no black adviser",
       {{'k', 4, 0}, {'K', 3, 9}, {'R', 3, 1}, {'P', 5, 1}},
       {1200, 0},
       {700, 0}},
      {"the red king off the chariot's file",
       {{'k', 4, 0}, {'K', 5, 9}, {'R', 3, 1}, {'P', 5, 1}},
       {300, 0},
       {300, 0}},
      {"chariot on f3r1 backed by the red king, one black adviser",
       {{'k', 4, 0}, {'a', 5, 0}, {'K', 3, 9}, {'R', 3, 1}, {'P', 5, 1}},
       {800, 0},
       {400, 0}},
      {"chariots on the back rank and on rank 1 across the palace",
       {{'k', 4, 0}, {'a', 3, 0}, {'K', 5, 9}, {'P', 3, 1}, {'R', 1, 0}, {'R', 7, 1}},
       {900, 0},
       {600, 0}},
      {"the back-rank chariot without a rank-1 chariot",
       {{'k', 4, 0}, {'a', 3, 0}, {'K', 5, 9}, {'P', 3, 1}, {'R', 1, 0}, {'R', 7, 3}},
       {200, 0},
       {200, 0}},
      {"knight in front of the king, one square beside it taken",
       {{'k', 4, 0}, {'a', 5, 2}, {'K', 3, 9}, {'N', 4, 2}, {'R', 0, 9}},
       {150, 50},
       {150, 50}},
      {"knight in front of the king hemmed in on three sides",
       {{'k', 4, 0},
        {'a', 5, 2},
        {'a', 3, 2},
        {'p', 4, 3},
        {'K', 3, 9},
        {'N', 4, 2},
        {'R', 0, 9},
        {'R', 8, 9}},
       {200, 250},
       {200, 250}},
      {"knight on f6r2 with a chariot on its wing",
       {{'k', 4, 0}, {'a', 5, 0}, {'K', 3, 9}, {'N', 6, 2}, {'R', 7, 3}},
       {150, 0},
       {150, 0}},
      {"knight on f6r2, the chariot on file 6 off f6r0 and f6r1",
       {{'k', 4, 0}, {'a', 5, 0}, {'K', 3, 9}, {'N', 6, 2}, {'R', 6, 3}},
       {50, 0},
       {50, 0}},
      {"knight on f6r2 and a chariot that can take f5r0",
       {{'k', 4, 0}, {'a', 5, 0}, {'K', 3, 9}, {'N', 6, 2}, {'R', 5, 5}},
       {700, 0},
       {200, 0}},
      {"knights on f6r2 and f2r2",
       {{'k', 4, 0}, {'K', 3, 9}, {'N', 6, 2}, {'N', 2, 2}, {'R', 7, 3}},
       {200, 0},
       {200, 0}},
      {"advisers at home, no chariot on rank 1",
       {{'k', 4, 0}, {'a', 3, 0}, {'a', 5, 0}, {'K', 3, 9}, {'N', 2, 3}, {'R', 0, 9}},
       {25, 0},
       {25, 0}},
      {"advisers at home, a rank-1 chariot reaching the centre",
       {{'k', 4, 0}, {'a', 3, 0}, {'a', 5, 0}, {'K', 3, 9}, {'N', 2, 3}, {'R', 8, 1}},
       {150, 0},
       {100, 0}},
      {"corner cannon behind the empty back rank",
       {{'k', 4, 0}, {'a', 3, 0}, {'K', 5, 9}, {'P', 3, 1}, {'R', 2, 5}, {'C', 0, 1}},
       {300, 0},
       {300, 0}},
      {"pawn in front of the king and the chariots' palace threat",
       {{'k', 4, 0}, {'K', 3, 9}, {'P', 4, 2}, {'R', 8, 5}},
       {500, 0},
       {350, 0}},
  });
}

// Red's king-square rules that black's mirror does not share, and the
// places where black's blocks differ from the mirror of red's.
TEST(KingSquareRules, PalaceCentreDiffersBetweenSides) {
  struct Pair {
    const char* name;
    std::vector<At> pieces;
    Totals red;    // red's rules, red to move and black to move
    Totals black;  // black's rules on the colour mirror, black and red to move
  };
  const std::vector<Pair> cases = {
      {"one chariot", {{'k', 4, 1}, {'K', 3, 9}, {'R', 0, 9}}, {25, 25}, {33, 33}},
      {"two chariots and a zone knight",
       {{'k', 4, 1}, {'K', 3, 9}, {'R', 0, 9}, {'R', 8, 9}, {'N', 1, 3}},
       {150, 150},
       {250, 250}},
      {"knights beside the king",
       {{'k', 4, 1}, {'b', 4, 2}, {'K', 3, 9}, {'R', 0, 9}, {'N', 3, 2}, {'N', 6, 1}},
       {250, 250},
       {274, 274}},
      {"knights on both palace-front corners score once",
       {{'k', 4, 1}, {'b', 4, 2}, {'K', 3, 9}, {'R', 0, 9}, {'N', 3, 2}, {'N', 5, 2}},
       {225, 225},
       {249, 249}},
      // Only red's block has the chariot-and-knight pattern on the empty
      // palace-front corner.
      {"chariot on f3r0, knight on f2r1, pawn on f5r2",
       {{'k', 4, 1}, {'K', 3, 9}, {'P', 5, 2}, {'R', 3, 0}, {'N', 2, 1}},
       {441, 241},
       {157, 157}},
  };
  for (const Pair& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Score(KingSquareRulesRed, c.pieces, 'w').red, c.red.red);
    EXPECT_EQ(Score(KingSquareRulesRed, c.pieces, 'b').red, c.red.black);
    EXPECT_EQ(ScoreSwapped(KingSquareRulesBlack, c.pieces, 'w').black, c.black.red);
    EXPECT_EQ(ScoreSwapped(KingSquareRulesBlack, c.pieces, 'b').black, c.black.black);
  }
}

TEST(KingSquareRules, BlackFrontCornerPawnStandsOnPalaceCentre) {
  // Red: the pawn on the far palace-front corner scores, on the centre not.
  const std::vector<At> corner = {{'k', 5, 2}, {'K', 3, 9}, {'P', 2, 3}, {'P', 3, 2}, {'C', 0, 7}};
  const std::vector<At> centre = {{'k', 5, 2}, {'K', 3, 9}, {'P', 2, 3}, {'P', 4, 1}, {'C', 0, 7}};
  for (const char side : {'w', 'b'}) {
    EXPECT_EQ(Score(KingSquareRulesRed, corner, side).red, 116);
    EXPECT_EQ(Score(KingSquareRulesRed, FileMirror(corner), side).red, 116);
    EXPECT_EQ(Score(KingSquareRulesRed, centre, side).red, 66);
    // Black: the other way round, for the red king on f5r7 and on f3r7.
    EXPECT_EQ(Score(KingSquareRulesBlack, ColourMirror(corner), side).black, 66);
    EXPECT_EQ(Score(KingSquareRulesBlack, ColourMirror(centre), side).black, 116);
    EXPECT_EQ(Score(KingSquareRulesBlack, FileMirror(ColourMirror(centre)), side).black, 116);
  }
}

TEST(KingSquareRules, BlackLeftBackCornerWantsSecondCannonOnF2r5) {
  // Red king on f3r9, black cannons on f0r9 and f2r5, a black chariot on
  // file 1 reaching f1r9, a red piece on f4r9.
  const std::vector<At> black = {{'K', 3, 9}, {'N', 4, 9}, {'k', 5, 0},
                                 {'c', 0, 9}, {'c', 2, 5}, {'r', 1, 4}};
  EXPECT_EQ(Score(KingSquareRulesBlack, black, 'b').black, 750);
  EXPECT_EQ(Score(KingSquareRulesBlack, black, 'w').black, 250);
  // The exact mirror of red's square, f2r8, gives only the 50.
  std::vector<At> mirrorSquare = black;
  mirrorSquare[4] = {'c', 2, 8};
  EXPECT_EQ(Score(KingSquareRulesBlack, mirrorSquare, 'b').black, 50);
  // The right corner keeps the mirror: cannons on f8r9 and f6r8.
  EXPECT_EQ(Score(KingSquareRulesBlack, FileMirror(mirrorSquare), 'b').black, 750);
  EXPECT_EQ(Score(KingSquareRulesBlack, FileMirror(black), 'b').black, 50);
  // Red's left corner: cannons on f0r0 and f2r1.
  EXPECT_EQ(Score(KingSquareRulesRed, ColourMirror(mirrorSquare), 'w').red, 750);
  EXPECT_EQ(Score(KingSquareRulesRed, ColourMirror(black), 'w').red, 50);
}

TEST(KingSquareRules, BlackWingKnightCountsItsOwnAdvisers) {
  // Two black advisers at home: red's wing chariot rules stay off, black's
  // (counting red's advisers, none here) run in the colour mirror.
  const std::vector<At> pieces = {{'k', 4, 0}, {'a', 5, 0}, {'a', 3, 0}, {'K', 3, 9},
                                  {'N', 6, 2}, {'R', 5, 5}, {'C', 7, 0}};
  EXPECT_EQ(Score(KingSquareRulesRed, pieces, 'w').red, 625);
  EXPECT_EQ(Score(KingSquareRulesRed, pieces, 'b').red, 425);
  EXPECT_EQ(ScoreSwapped(KingSquareRulesBlack, pieces, 'w').black, 1325);
  EXPECT_EQ(ScoreSwapped(KingSquareRulesBlack, pieces, 'b').black, 625);
  // With two black advisers of its own black's rule stays off as well.
  std::vector<At> guarded = ColourMirror(pieces);
  guarded.push_back({'a', 4, 1});
  guarded.push_back({'a', 3, 2});
  EXPECT_EQ(Score(KingSquareRulesBlack, guarded, 'b').black, 625);
}

TEST(KingSquareRules, BackedChariotNeedsTheAttackersKnightForBlack) {
  // Red: a black knight on f4r1 and a chariot on f3r5 that can take f3r0.
  const std::vector<At> red = {{'k', 4, 0}, {'n', 4, 1}, {'K', 3, 9}, {'R', 3, 5}};
  EXPECT_EQ(Score(KingSquareRulesRed, red, 'w').red, 700);
  EXPECT_EQ(Score(KingSquareRulesRed, red, 'b').red, 200);
  // Backed neither by the king nor by the other chariot: nothing.
  EXPECT_EQ(
      Score(KingSquareRulesRed, {{'k', 4, 0}, {'n', 4, 1}, {'K', 5, 9}, {'R', 3, 5}}, 'w').red, 0);
  // Backed by the other chariot on file 3.
  EXPECT_EQ(Score(KingSquareRulesRed,
                  {{'k', 4, 0}, {'n', 4, 1}, {'K', 5, 9}, {'R', 3, 5}, {'R', 3, 8}}, 'w')
                .red,
            700);
  // Black's mirror asks for its own knight on f4r8, not a red one.
  EXPECT_EQ(ScoreSwapped(KingSquareRulesBlack, red, 'w').black, 0);
  const std::vector<At> black = {{'K', 4, 9}, {'n', 4, 8}, {'k', 3, 0}, {'r', 3, 4}};
  EXPECT_EQ(Score(KingSquareRulesBlack, black, 'b').black, 700);
  EXPECT_EQ(Score(KingSquareRulesBlack, black, 'w').black, 200);
}

TEST(KingSquareRules, ChariotPalaceThreatMatchesItsHelper) {
  // The pawn on f4r2 in front of the king at home adds the helper's value.
  testing_support::SetUpFen(
      eval_testing::Fen({{'k', 4, 0}, {'K', 3, 9}, {'P', 4, 2}, {'R', 8, 5}}, 'w'));
  const int32_t threat = ChariotPalaceThreatRed();
  EXPECT_EQ(threat, 400);
  EXPECT_EQ(palace_rules_testing::RunOnBoard(KingSquareRulesRed).red, 100 + threat);
}

TEST(KingSquareRules, StartPositionScoresNothing) {
  for (const char side : {'w', 'b'}) {
    std::string fen = testing_support::kStartFen;
    fen.back() = side;
    testing_support::SetUpFen(fen);
    const Totals red = palace_rules_testing::RunOnBoard(KingSquareRulesRed);
    const Totals black = palace_rules_testing::RunOnBoard(KingSquareRulesBlack);
    EXPECT_EQ(red.red + red.black + black.red + black.black, 0);
  }
}

}  // namespace
