// Back-rank cannon and chariot rules: the gate, the corner cases and the
// chariot counts of each wing, the two-cannon rules, the corner patterns and
// the corner battery, for red and, on the colour-swapped positions, black.
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

constexpr gain_testing::RuleGroup kGroup = {BackRankRulesRed, BackRankRulesBlack};

Gain RedGain(const std::vector<At>& pieces) {
  return gain_testing::RedGain(kGroup, pieces);
}

// Black's gain on the colour-and-rank mirror of the position.
Gain MirroredBlackGain(const std::vector<At>& pieces) {
  return gain_testing::MirroredBlackGain(kGroup, pieces);
}

// Red's gain on the left-right mirror of the position.
Gain FileMirroredRedGain(const std::vector<At>& pieces) {
  return gain_testing::FileMirroredRedGain(kGroup, pieces);
}

// Red's gain, checked against the same gain for black on the mirrored
// position and for red on the other wing.
Gain MirroredRedGain(const std::vector<At>& pieces) {
  const Gain red = RedGain(pieces);
  EXPECT_EQ(MirroredBlackGain(pieces), red);
  EXPECT_EQ(FileMirroredRedGain(pieces), red);
  return red;
}

TEST(BackRankRules, GateNeedsTheKingAtHomeAChariotAndEnoughAttackers) {
  // Corner cannon and chariot with a pawn on (5, 1): a big bonus once the
  // gate holds.
  std::vector<At> pieces = {{'K', 4, 9}, {'A', 4, 8}, {'C', 8, 0}, {'R', 7, 0}, {'P', 5, 1},
                            {'k', 4, 0}, {'a', 5, 0}};
  EXPECT_NE(RedGain(pieces).onMove, 0);
  // Two attacking pieces and no pawn.
  pieces[4] = {'A', 3, 9};
  EXPECT_EQ(RedGain(pieces), (Gain{0, 0}));
  // The king off its home square.
  pieces[4] = {'P', 5, 1};
  pieces[5] = {'k', 3, 0};
  EXPECT_EQ(RedGain(pieces), (Gain{0, 0}));
  // No chariot.
  pieces[5] = {'k', 4, 0};
  pieces[3] = {'N', 7, 2};
  EXPECT_EQ(RedGain(pieces), (Gain{0, 0}));
}

TEST(BackRankRules, CornerCannonAndChariotBehindAPawn) {
  // Corner case 3 (cannon behind its own chariot), the outer back-rank flag
  // 150|100, the pawn on (5, 1) 200 and 75; then the corner pattern with
  // (6, 0) empty, 1000|500. The battery needs (4, 1) occupied.
  const std::vector<At> pieces = {{'K', 4, 9}, {'A', 4, 8}, {'C', 8, 0}, {'R', 7, 0},
                                  {'P', 5, 1}, {'k', 4, 0}, {'a', 5, 0}};
  EXPECT_EQ(MirroredRedGain(pieces), (Gain{1000 + 150 + 200 + 75, 500 + 100 + 200 + 75}));
}

TEST(BackRankRules, TwoCannonsWithAChariotOnTheSecondRank) {
  // Cannon on (8, 0), the other cannon on file 7 over an empty (7, 0), a
  // chariot on (5, 1): corner case 1, one chariot on the adviser file (75)
  // and the two-cannon value with (5, 0) empty.
  std::vector<At> pieces = {{'K', 4, 9}, {'A', 4, 8}, {'C', 8, 0}, {'C', 7, 5},
                            {'R', 5, 1}, {'k', 4, 0}};
  EXPECT_EQ(MirroredRedGain(pieces), (Gain{75 + 600, 75 + 300}));
  // An adviser on (5, 0): corner case 2 through the cannon on file 7, which
  // costs 50 with the chariot on the file; the two-cannon value drops to
  // 400|200 for red and 500|200 for black.
  pieces.push_back({'a', 5, 0});
  EXPECT_EQ(RedGain(pieces), (Gain{-50 + 75 + 400, -50 + 75 + 200}));
  EXPECT_EQ(MirroredBlackGain(pieces), (Gain{-50 + 75 + 500, -50 + 75 + 200}));
  EXPECT_EQ(FileMirroredRedGain(pieces), RedGain(pieces));
  // The dropping cannon blocked on its file: no two-cannon value, and no
  // corner case for the cannon on file 7 either.
  pieces.push_back({'p', 7, 3});
  EXPECT_EQ(RedGain(pieces), (Gain{0, 0}));
}

TEST(BackRankRules, DoubledChariotsOnTheAdviserFile) {
  // Corner case 1 through the cannon on (7, 0); the chariots doubled on
  // file 5 count 2 and a black piece on (4, 1) gives 300|100, then 75.
  std::vector<At> pieces = {{'K', 4, 9}, {'A', 4, 8}, {'R', 5, 1}, {'R', 5, 4},
                            {'C', 7, 0}, {'k', 4, 0}, {'a', 4, 1}};
  EXPECT_EQ(MirroredRedGain(pieces), (Gain{300 + 75, 100 + 75}));
  // Something between the chariots: one chariot on the file, and with two
  // chariots that is 100.
  pieces.push_back({'p', 5, 3});
  EXPECT_EQ(MirroredRedGain(pieces), (Gain{100 + 75, 100 + 75}));
  pieces.pop_back();
  // The king on file 5 with the adviser on (4, 1): 300|50 more.
  pieces[0] = {'K', 5, 9};
  pieces[1] = {'A', 4, 9};
  EXPECT_EQ(MirroredRedGain(pieces), (Gain{300 + 300 + 75, 100 + 50 + 75}));
}

TEST(BackRankRules, BackRankFlags) {
  // A chariot standing on (6, 0) sets the inner flag; the chariot on file 7
  // does not set the outer one while the cannon stands on (7, 0).
  std::vector<At> pieces = {{'K', 4, 9}, {'A', 4, 8}, {'R', 6, 0}, {'C', 7, 0},
                            {'R', 7, 5}, {'k', 4, 0}, {'a', 5, 0}};
  EXPECT_EQ(MirroredRedGain(pieces), (Gain{150 + 75, 100 + 75}));
  // With the cannon in the corner the chariot reaches (7, 0) and sets it.
  pieces[3] = {'C', 8, 0};
  EXPECT_EQ(MirroredRedGain(pieces), (Gain{150 + 150 + 75, 100 + 100 + 75}));
  // Four attacking pieces: 200|150 a flag.
  pieces.push_back({'N', 1, 9});
  EXPECT_EQ(MirroredRedGain(pieces), (Gain{200 + 200 + 75, 150 + 150 + 75}));
}

TEST(BackRankRules, DroppingCannonWithAFlagCostsFifty) {
  // Corner case 2 (cannon on file 8 over an empty, unguarded (8, 0)) and a
  // chariot on file 6 reaching (6, 0).
  const std::vector<At> pieces = {{'K', 4, 9}, {'A', 4, 8}, {'C', 8, 5}, {'R', 6, 4},
                                  {'P', 0, 4}, {'k', 4, 0}, {'a', 5, 0}};
  EXPECT_EQ(MirroredRedGain(pieces), (Gain{-50 + 150 + 75, -50 + 100 + 75}));
}

TEST(BackRankRules, SupportingPawnsAndKnight) {
  // Corner case 1 with no chariot on the wing's files bearing: pawns on
  // (5, 1), (6, 1) and (4, 2) score 75, 50 and 25, then 75.
  std::vector<At> pieces = {{'K', 4, 9}, {'A', 4, 8}, {'C', 7, 0}, {'R', 8, 5}, {'P', 5, 1},
                            {'P', 6, 1}, {'P', 4, 2}, {'k', 4, 0}};
  EXPECT_EQ(MirroredRedGain(pieces), (Gain{75 + 50 + 25 + 75, 75 + 50 + 25 + 75}));
  // A knight on the wing in black's half: 50.
  pieces.push_back({'N', 6, 3});
  EXPECT_EQ(MirroredRedGain(pieces), (Gain{275, 275}));
  pieces.pop_back();
  // With the inner flag set (chariot on file 6 over empty squares) the
  // pawns on (5, 2) and (4, 2) score 100 and 50.
  pieces = {{'K', 4, 9}, {'A', 4, 8}, {'C', 7, 0}, {'R', 6, 5}, {'P', 5, 2},
            {'P', 4, 2}, {'k', 4, 0}};
  EXPECT_EQ(MirroredRedGain(pieces), (Gain{150 + 100 + 50 + 75, 100 + 100 + 50 + 75}));
}

TEST(BackRankRules, InnerFlagWithAChariotOnTheSecondRank) {
  // Corner case 1 (chariot on (6, 0), cannon on (7, 0)), a chariot on
  // (5, 1) and a black adviser on (4, 1): the inner flag 150|100, one
  // chariot on the file with two chariots 100, the inner flag with the
  // chariot on (5, 1) 400|200 (black: 500|200), 75, and the corner pattern
  // of cannon (7, 0) and chariot (6, 0), 1000|500.
  const std::vector<At> pieces = {{'K', 4, 9}, {'A', 4, 8}, {'C', 7, 0}, {'R', 6, 0},
                                  {'R', 5, 1}, {'k', 4, 0}, {'a', 4, 1}, {'a', 5, 0}};
  EXPECT_EQ(RedGain(pieces), (Gain{150 + 100 + 400 + 75 + 1000, 100 + 100 + 200 + 75 + 500}));
  EXPECT_EQ(MirroredBlackGain(pieces),
            (Gain{150 + 100 + 500 + 75 + 1000, 100 + 100 + 200 + 75 + 500}));
}

TEST(BackRankRules, CornerBatteryOverADefender) {
  // A black knight on (6, 0) between the chariot and the adviser square,
  // (4, 1) occupied. Black's only elephant on (4, 2) attacks (6, 0): red
  // scores the 50 only; in the mirrored position red's only elephant on
  // (4, 7) stops black's 50.
  std::vector<At> pieces = {{'K', 4, 9}, {'A', 4, 8}, {'C', 8, 0}, {'R', 7, 0}, {'P', 0, 4},
                            {'k', 4, 0}, {'a', 4, 1}, {'n', 6, 0}, {'b', 4, 2}};
  EXPECT_EQ(RedGain(pieces), (Gain{50, 50}));
  EXPECT_EQ(MirroredBlackGain(pieces), (Gain{0, 0}));
  EXPECT_EQ(FileMirroredRedGain(pieces), (Gain{50, 50}));
  // With both elephants, one on (4, 2), neither side scores the 50.
  pieces.push_back({'b', 2, 0});
  EXPECT_EQ(RedGain(pieces), (Gain{0, 0}));
  EXPECT_EQ(MirroredBlackGain(pieces), (Gain{0, 0}));
  // No elephant: the knight's square is unattacked, 50 + 600|300.
  pieces.pop_back();
  pieces.pop_back();
  EXPECT_EQ(MirroredRedGain(pieces), (Gain{650, 350}));
  // A piece on (3, 0): 100 more.
  pieces.push_back({'a', 3, 0});
  EXPECT_EQ(MirroredRedGain(pieces), (Gain{750, 450}));
  // A black chariot in between scores nothing.
  pieces[7] = {'r', 6, 0};
  EXPECT_EQ(MirroredRedGain(pieces), (Gain{0, 0}));
}

}  // namespace
