// Closing attack terms: each rule block on hand-built positions for red,
// with red and black to move, the same for black on the colour-swapped
// positions where black's rules are the mirror, and black's own variants
// where they are not.
#include <gtest/gtest.h>

#include <vector>

#include "engine/eval/evaluate.h"
#include "engine/eval/full_eval.h"
#include "engine/position/position.h"
#include "tests/engine/eval/board_builder.h"
#include "tests/engine/eval/gain_harness.h"
#include "tests/engine/eval/palace_rules_harness.h"
#include "tests/support/test_position.h"

namespace {

using eval_testing::At;
using gain_testing::Gain;

constexpr gain_testing::RuleGroup kGroup = {ClosingAttack<kRed, RuleSet::kFull>,
                                            ClosingAttack<kBlack, RuleSet::kFull>};

Gain RedGain(const std::vector<At>& pieces, int32_t level = -1) {
  return gain_testing::RedGain(kGroup, pieces, level);
}

// Black's gain on the colour-and-rank mirror of the position, and with
// fileMirror on its left-right mirror as well.
Gain MirroredBlackGain(const std::vector<At>& pieces, bool fileMirror = false) {
  return gain_testing::MirroredBlackGain(kGroup, pieces, fileMirror);
}

// Red's gain on the left-right mirror of the position.
Gain FileMirroredRedGain(const std::vector<At>& pieces) {
  return gain_testing::FileMirroredRedGain(kGroup, pieces);
}

// Red's gain, checked against black's gain on the mirrored position.
Gain MirroredRedGain(const std::vector<At>& pieces) {
  const Gain red = RedGain(pieces);
  EXPECT_EQ(MirroredBlackGain(pieces), red);
  return red;
}

TEST(ClosingAttack, TwoChariotsBesideAKingOnASideFile) {
  // Two advisers keep the defender-without-advisers block out.
  std::vector<At> pieces = {{'K', 4, 9}, {'R', 7, 2}, {'R', 8, 3}, {'k', 5, 0},
                            {'a', 4, 1}, {'a', 3, 0}};
  // 50, the pair bears 200, no elephant on (4, 2) or (8, 2) 100.
  EXPECT_EQ(MirroredRedGain(pieces), (Gain{350, 350}));
  EXPECT_EQ(FileMirroredRedGain(pieces), (Gain{350, 350}));
  // Both cannons on the wing: 300.
  pieces.push_back({'C', 5, 4});
  pieces.push_back({'C', 6, 4});
  EXPECT_EQ(MirroredRedGain(pieces), (Gain{650, 650}));
  EXPECT_EQ(FileMirroredRedGain(pieces), (Gain{650, 650}));
  pieces.resize(6);
  // The king on (5, 1), a chariot on rank 1: 400 and 300.
  pieces[1] = {'R', 6, 1};
  pieces[3] = {'k', 5, 1};
  pieces[5] = {'a', 5, 0};
  EXPECT_EQ(MirroredRedGain(pieces), (Gain{50 + 400 + 300 + 100, 850}));
  pieces[1] = {'R', 7, 2};
  pieces[3] = {'k', 5, 0};
  pieces[5] = {'a', 3, 0};
  // One file: 200 on the enemy half, else 100.
  pieces[2] = {'R', 7, 4};
  EXPECT_EQ(MirroredRedGain(pieces), (Gain{250, 250}));
  pieces[2] = {'R', 7, 6};
  EXPECT_EQ(MirroredRedGain(pieces), (Gain{150, 150}));
  // From its own half a chariot bears through the open file 8 ...
  pieces[2] = {'R', 8, 6};
  EXPECT_EQ(MirroredRedGain(pieces), (Gain{350, 350}));
  // ... not once an elephant on (8, 2) closes it.
  pieces.push_back({'b', 8, 2});
  EXPECT_EQ(MirroredRedGain(pieces), (Gain{50, 50}));
  // An elephant on (4, 2) only costs the 100.
  pieces.back() = {'b', 4, 2};
  EXPECT_EQ(MirroredRedGain(pieces), (Gain{250, 250}));
  // The king on the central file: nothing.
  pieces[3] = {'k', 4, 0};
  pieces[5] = {'a', 5, 0};
  EXPECT_EQ(MirroredRedGain(pieces), (Gain{0, 0}));
}

TEST(ClosingAttack, IntruderAndCannonPair) {
  // A black chariot on red's king square with both red advisers: 150; a
  // knight: 100.
  std::vector<At> pieces = {{'K', 5, 8}, {'A', 3, 9}, {'A', 4, 8}, {'r', 4, 9},
                            {'k', 4, 0}};
  EXPECT_EQ(MirroredRedGain(pieces), (Gain{150, 150}));
  pieces[3] = {'n', 4, 9};
  EXPECT_EQ(MirroredRedGain(pieces), (Gain{100, 100}));
  // One chariot and both cannons on one wing, no knight: 50.
  pieces = {{'K', 3, 9}, {'R', 0, 9}, {'C', 6, 3}, {'C', 7, 4},
            {'k', 4, 0}, {'a', 3, 0}, {'a', 5, 0}};
  EXPECT_EQ(MirroredRedGain(pieces), (Gain{50, 50}));
  pieces[2] = {'C', 2, 3};
  EXPECT_EQ(MirroredRedGain(pieces), (Gain{0, 0}));
}

TEST(ClosingAttack, IntruderAndCannonPairWithAZonePawn) {
  // A red pawn in the zone sends the group through all of its rules; on
  // these positions none of the others scores, so the intruder and the
  // cannon pair score as they do without the pawn.
  const At zonePawn = {'P', 6, 2};
  const struct {
    std::vector<At> pieces;
    int32_t gain;
  } cases[] = {
      {{{'K', 5, 8}, {'A', 3, 9}, {'A', 4, 8}, {'r', 4, 9}, {'k', 4, 0}}, 150},
      {{{'K', 5, 8}, {'A', 3, 9}, {'A', 4, 8}, {'n', 4, 9}, {'k', 4, 0}}, 100},
      {{{'K', 3, 9}, {'R', 0, 9}, {'C', 6, 3}, {'C', 7, 4}, {'k', 4, 0}, {'a', 3, 0}, {'a', 5, 0}},
       50},
      {{{'K', 3, 9}, {'R', 0, 9}, {'C', 2, 3}, {'C', 7, 4}, {'k', 4, 0}, {'a', 3, 0}, {'a', 5, 0}},
       0},
  };
  for (const auto& c : cases) {
    std::vector<At> pieces = c.pieces;
    pieces.push_back(zonePawn);
    EXPECT_EQ(MirroredRedGain(c.pieces), (Gain{c.gain, c.gain}));
    EXPECT_EQ(MirroredRedGain(pieces), (Gain{c.gain, c.gain}));
  }
}

TEST(ClosingAttack, ChariotsOnBothAdviserFiles) {
  // One black adviser, the chariot on (3, 1) sees its king and (5, 0) is
  // unattacked: 800|300. The two-chariot bonus follows: 200 - 100, 100 for
  // the chariot on the king's file, 50 + 300 on ranks 0..2, 50 without
  // elephants: 600.
  std::vector<At> pieces = {{'K', 3, 9}, {'R', 3, 1}, {'R', 5, 1}, {'k', 4, 0}, {'a', 3, 0}};
  EXPECT_EQ(MirroredRedGain(pieces), (Gain{800 + 600, 300 + 600}));
  // Neither chariot sees its king: 200, and no king-file 100.
  pieces[0] = {'K', 4, 9};
  pieces.push_back({'A', 4, 8});
  EXPECT_EQ(MirroredRedGain(pieces), (Gain{200 + 500, 200 + 500}));
  // Two black advisers: 150 for each unguarded adviser that red attacks
  // twice (once more on the palace centre).
  pieces[4] = {'a', 5, 0};
  pieces.push_back({'a', 3, 0});
  EXPECT_EQ(MirroredRedGain(pieces), (Gain{0, 0}));
  pieces.push_back({'N', 2, 2});
  EXPECT_EQ(MirroredRedGain(pieces), (Gain{150, 150}));
  pieces.push_back({'N', 6, 2});
  EXPECT_EQ(MirroredRedGain(pieces), (Gain{300, 300}));
  // Five red attacking pieces against five black ones: nothing.
  pieces.push_back({'C', 0, 7});
  for (const At p : {At{'n', 0, 0}, At{'n', 8, 0}, At{'c', 0, 2}, At{'c', 8, 2}, At{'r', 0, 3}})
    pieces.push_back(p);
  EXPECT_EQ(RedGain(pieces), (Gain{0, 0}));
}

TEST(ClosingAttack, TwoChariotBonus) {
  // Chariots on the palace lines of ranks 0..2, one zone knight, one black
  // adviser, two black elephants: 50 for the knight, then 200 + 150.
  std::vector<At> pieces = {{'K', 4, 9}, {'A', 4, 8}, {'R', 0, 2}, {'R', 8, 1}, {'N', 1, 3},
                            {'k', 4, 0}, {'a', 5, 0}, {'b', 2, 0}, {'b', 6, 0}};
  EXPECT_EQ(MirroredRedGain(pieces), (Gain{50 + 200 + 150, 50 + 200 + 150}));
  // One chariot on (4, 3): the palace lines hold but not ranks 0..2.
  pieces[3] = {'R', 4, 3};
  EXPECT_EQ(MirroredRedGain(pieces), (Gain{50 + 200, 50 + 200}));
  // A chariot off the palace lines with three knights and cannons and no
  // black adviser: 25 + 18 + 66; the knight off the zone adds 30, the
  // chariot seeing its king 100 and the chariots at the palace 75.
  pieces = {{'K', 4, 9}, {'R', 0, 5}, {'R', 4, 5}, {'C', 1, 7}, {'C', 7, 7},
            {'N', 1, 9}, {'k', 4, 0}, {'b', 2, 0}, {'b', 6, 0}};
  EXPECT_EQ(MirroredRedGain(pieces), (Gain{30 + 109 + 100 + 75, 314}));
  // At most one black elephant: 50 more.
  pieces.pop_back();
  EXPECT_EQ(MirroredRedGain(pieces), (Gain{364, 364}));
}

TEST(ClosingAttack, OneChariotWithKnights) {
  // The chariot on (4, 1) with a zone knight on (4, 3): 50 for the knight,
  // 300 and 100 + 100.
  std::vector<At> pieces = {{'K', 5, 9}, {'R', 4, 1}, {'N', 4, 3}, {'k', 4, 0}, {'a', 3, 0}};
  EXPECT_EQ(MirroredRedGain(pieces), (Gain{550, 550}));
  // The chariot elsewhere: 24.
  pieces[1] = {'R', 0, 5};
  EXPECT_EQ(MirroredRedGain(pieces), (Gain{50 + 24, 50 + 24}));
  // A knight off the zone: red asks whether it has a knight (30 + 300),
  // black whether it has zone knights (30 + 12).
  pieces[1] = {'R', 4, 1};
  pieces[2] = {'N', 0, 9};
  EXPECT_EQ(RedGain(pieces), (Gain{330, 330}));
  EXPECT_EQ(MirroredBlackGain(pieces), (Gain{42, 42}));
  // No knight: 12.
  pieces.erase(pieces.begin() + 2);
  EXPECT_EQ(MirroredRedGain(pieces), (Gain{12, 12}));
}

TEST(ClosingAttack, PawnAndChariotOnTheAdviserFiles) {
  // A pawn on (5, 1), a chariot on (3, 1): 100 for the king's clear line,
  // 100 for (3, 0) unattacked. Around it: 35 for the zone pawn, 12 for the
  // lone chariot, 50 for the single black adviser.
  std::vector<At> pieces = {{'K', 3, 9}, {'R', 3, 1}, {'P', 5, 1}, {'k', 4, 0}, {'a', 5, 0}};
  EXPECT_EQ(MirroredRedGain(pieces), (Gain{35 + 12 + 200 + 50, 297}));
  EXPECT_EQ(FileMirroredRedGain(pieces), (Gain{297, 297}));
  pieces[0] = {'K', 5, 9};
  EXPECT_EQ(MirroredRedGain(pieces), (Gain{197, 197}));
}

TEST(ClosingAttack, DefenderWithoutAdvisers) {
  // A zone knight and a chariot on file 4, no black adviser or elephant:
  // 50 + 24 for the knight and the lone chariot, 300|150 and 400|200.
  std::vector<At> pieces = {{'K', 5, 9}, {'R', 4, 5}, {'N', 2, 3}, {'k', 4, 0}};
  EXPECT_EQ(MirroredRedGain(pieces), (Gain{74 + 700, 74 + 350}));
  // Two more black attacking pieces than red's: 200 less.
  std::vector<At> more = pieces;
  for (const At p : {At{'n', 1, 0}, At{'n', 7, 0}, At{'c', 1, 2}, At{'c', 7, 2}}) more.push_back(p);
  EXPECT_EQ(MirroredRedGain(more), (Gain{574, 224}));
  // The chariot off the palace lines: 50.
  pieces[1] = {'R', 0, 5};
  EXPECT_EQ(MirroredRedGain(pieces), (Gain{74 + 50, 74 + 50}));
  // Crossed pawns on both wings: 12 for the lone chariot, 33 for each
  // useful pawn, 50 + 50 for the advanced pawns.
  pieces = {{'K', 5, 9}, {'R', 0, 7}, {'P', 0, 3}, {'P', 8, 2}, {'k', 4, 0}};
  EXPECT_EQ(MirroredRedGain(pieces), (Gain{12 + 66 + 100, 178}));
  // Not advanced enough for the second 50.
  pieces[3] = {'P', 8, 3};
  EXPECT_EQ(MirroredRedGain(pieces), (Gain{128, 128}));
}

TEST(ClosingAttack, ChariotsAtThePalaceWithoutZonePawns) {
  // Both chariots on rank 1 beside (4, 1): marked, 50 + 50, and 300 with
  // (4, 1) unattacked, then 75. Before them: 200 for the adviser-file
  // chariots that do not see their king, and the two-chariot bonus 200 +
  // 500 + 50.
  std::vector<At> pieces = {{'K', 4, 9}, {'A', 4, 8}, {'R', 3, 1}, {'R', 5, 1}, {'k', 4, 0}};
  EXPECT_EQ(MirroredRedGain(pieces), (Gain{1425, 1425}));
  // A black knight attacking (4, 1): 100 instead of 300.
  pieces.push_back({'n', 2, 2});
  EXPECT_EQ(MirroredRedGain(pieces), (Gain{1225, 1225}));
}

TEST(ClosingAttack, ChariotsAtThePalaceWithAPawn) {
  // A pawn on (4, 2): 35; the two-chariot bonus off the palace lines 91 +
  // 50; useful pawn 33 and palace pawn 66; the marked chariot 50, the back-
  // rank entries of both chariots 300 + 300, 75; no elephant 50; the pawn on
  // (4, 2) at middlegame level 0 against no black chariot, 300.
  std::vector<At> pieces = {{'K', 5, 9}, {'R', 3, 1}, {'R', 7, 5}, {'P', 4, 2}, {'k', 4, 0}};
  EXPECT_EQ(MirroredRedGain(pieces), (Gain{1350, 1350}));
  EXPECT_EQ(RedGain(pieces, 1), (Gain{1050, 1050}));
  // A chariot on file 4 enters for 50 whatever it reaches (and now stands
  // on the palace lines: 250 for the two-chariot bonus).
  std::vector<At> centre = pieces;
  centre[2] = {'R', 4, 5};
  EXPECT_EQ(MirroredRedGain(centre), (Gain{1350 - 250 + 109, 1209}));
  // A pawn on (6, 1) as well: 35, 33 + 66 more for the pawns, 200 for the
  // pawn rule, 150 for two zone pawns against a side without chariots.
  pieces.push_back({'P', 6, 1});
  EXPECT_EQ(MirroredRedGain(pieces), (Gain{1350 + 35 + 99 + 200 + 150, 1834}));
}

TEST(ClosingAttack, PawnsNextToTheKingAtHome) {
  // Pawns on (5, 1), (3, 1) and (5, 2), a cannon for strength: 105 for the
  // zone pawns, 99 + 198 + 100 for the pawns, 300 + 200 next to the king,
  // 150 against no chariot, 100 + 100 for the back-rank entry parts.
  const std::vector<At> pieces = {{'K', 5, 9}, {'C', 0, 7}, {'P', 5, 1}, {'P', 3, 1},
                                  {'P', 5, 2}, {'k', 4, 0}};
  EXPECT_EQ(RedGain(pieces), (Gain{1352, 1352}));
  // Black pairs the squares the other way round: on the rank mirror its
  // third pawn on file 5 adds nothing, on the full mirror it adds 200.
  EXPECT_EQ(MirroredBlackGain(pieces), (Gain{1152, 1152}));
  EXPECT_EQ(MirroredBlackGain(pieces, true), (Gain{1352, 1352}));
  // The king on (5, 0): a pawn on (4, 1) and one on (5, 2) add 400.
  const std::vector<At> corner = {{'K', 5, 9}, {'C', 0, 7}, {'P', 4, 1}, {'P', 5, 2},
                                  {'k', 5, 0}};
  // 70 for the zone pawns, 66 + 132 for the pawns, 400, 150.
  const Gain g = MirroredRedGain(corner);
  EXPECT_EQ(g, (Gain{818, 818}));
  EXPECT_EQ(FileMirroredRedGain(corner), g);
  // The second pawn beside the first instead: only the 400 goes.
  std::vector<At> apart = corner;
  apart[3] = {'P', 6, 2};
  EXPECT_EQ(RedGain(apart).onMove, g.onMove - 400);
}

TEST(ClosingAttack, BackRankEntryWithTheKingAtHome) {
  // A pawn on (5, 1), a black adviser on (3, 0) with no knight by it: 50;
  // the chariot on file 7 bears through (7, 0): 50 + 700|400. Around it:
  // 35 + 12 and 50 for the single adviser.
  std::vector<At> pieces = {{'K', 5, 9}, {'R', 7, 5}, {'P', 5, 1}, {'k', 4, 0}, {'a', 3, 0}};
  EXPECT_EQ(MirroredRedGain(pieces), (Gain{897, 597}));
  EXPECT_EQ(FileMirroredRedGain(pieces), (Gain{897, 597}));
  // A knight by the adviser: red asks about black's knights, black about its
  // own.
  std::vector<At> defenderKnight = pieces;
  defenderKnight.push_back({'n', 1, 3});
  EXPECT_EQ(RedGain(defenderKnight), (Gain{997, 697}));
  EXPECT_EQ(MirroredBlackGain(defenderKnight), (Gain{897, 597}));
  std::vector<At> ownKnight = pieces;
  ownKnight.push_back({'N', 1, 3});
  EXPECT_EQ(RedGain(ownKnight), (Gain{959, 659}));
  EXPECT_EQ(MirroredBlackGain(ownKnight), (Gain{1059, 759}));
  // Three black attackers of (5, 0): 400|200.
  for (const At p : {At{'n', 4, 2}, At{'n', 3, 1}, At{'c', 5, 4}}) pieces.push_back(p);
  EXPECT_EQ(RedGain(pieces), (Gain{897 - 300, 597 - 200}));
}

TEST(ClosingAttack, ThinDefence) {
  // A pawn diagonally in front of the king, no adviser or elephant: 100 and
  // 50; 100 for no adviser with the pawn on (5, 1). Around it: 35 + 12,
  // 33 + 66 for the pawn, 75 for the chariot.
  std::vector<At> pieces = {{'K', 5, 9}, {'R', 0, 5}, {'P', 5, 1}, {'k', 4, 0}};
  EXPECT_EQ(MirroredRedGain(pieces), (Gain{471, 471}));
  EXPECT_EQ(FileMirroredRedGain(pieces), (Gain{471, 471}));
  // And a pawn on (4, 1): 400 instead of 100, with the second pawn's 35,
  // 33 + 66 and 150.
  pieces.push_back({'P', 4, 1});
  EXPECT_EQ(MirroredRedGain(pieces), (Gain{1055, 1055}));
}

TEST(ClosingAttack, BothAdviserFileSquaresHeld) {
  // Pawns on (5, 1) and (3, 1), two black advisers: the adviser on (5, 0)
  // lifted lets the chariot on (8, 0) reach the king, 500; the back-rank
  // entry parts 100 + 50 twice.
  std::vector<At> pieces = {{'K', 5, 9}, {'R', 8, 0}, {'P', 5, 1}, {'P', 3, 1},
                            {'k', 4, 0}, {'a', 5, 0}, {'a', 3, 0}};
  EXPECT_EQ(MirroredRedGain(pieces), (Gain{800, 800}));
  EXPECT_EQ(FileMirroredRedGain(pieces), (Gain{800, 800}));
  // A pawn on (6, 0): 400 without the lift.
  std::vector<At> corner = pieces;
  corner.push_back({'P', 6, 0});
  EXPECT_EQ(MirroredRedGain(corner), (Gain{700, 700}));
  // The adviser square empty: the test runs on the board as it is, and
  // the lifted (3, 0) lets the chariot through as well. With one adviser
  // the attack-strength block runs (70 + 12) and 50 for the single adviser.
  pieces.erase(pieces.begin() + 5);
  EXPECT_EQ(MirroredRedGain(pieces), (Gain{1382, 1382}));
}

TEST(ClosingAttack, ChariotOnTheCentralFile) {
  // A pawn on (5, 1), a chariot on file 4 reaching (4, 1), the other on
  // rank 1 reaching it: 600|300; 50 for the back-rank entry part.
  std::vector<At> pieces = {{'K', 5, 9}, {'R', 4, 3}, {'R', 2, 1}, {'P', 5, 1},
                            {'k', 4, 0}, {'a', 5, 0}, {'a', 3, 0}};
  EXPECT_EQ(MirroredRedGain(pieces), (Gain{650, 350}));
  // The other chariot off rank 1: 100.
  pieces[2] = {'R', 2, 5};
  EXPECT_EQ(MirroredRedGain(pieces), (Gain{150, 150}));
}

}  // namespace
