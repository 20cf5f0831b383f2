// Measures what one group of the full evaluator's attack rules adds for the
// attacking side on a hand-built position, with the attacker and with the
// defender to move, and the same on the mirrored positions.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "engine/eval/evaluate.h"
#include "engine/eval/full_eval.h"
#include "engine/position/position.h"
#include "tests/engine/eval/board_builder.h"
#include "tests/engine/eval/palace_rules_harness.h"
#include "tests/support/test_position.h"

namespace gain_testing {

using eval_testing::At;

// The attacker's gain with the attacker to move and with the defender to
// move.
struct Gain {
  int32_t onMove;
  int32_t offMove;
  bool operator==(const Gain&) const = default;
};

// The red and the black version of one rule group.
struct RuleGroup {
  void (*red)(FullEvalState&);
  void (*black)(FullEvalState&);
};

// Runs the group of `side` on the current position (with the middlegame
// level forced when level >= 0); the other total and the position stay as
// they were.
inline int32_t RunGroup(const RuleGroup& group, uint32_t side, int32_t level = -1) {
  FullEvalState s = palace_rules_testing::PreparedState();
  if (level >= 0) s.middlegameLevel = level;
  const auto before = testing_support::PositionSnapshot::Take();
  if (side == kRed)
    group.red(s);
  else
    group.black(s);
  EXPECT_TRUE(before == testing_support::PositionSnapshot::Take());
  EXPECT_EQ(side == kRed ? s.blackTotal : s.redTotal, 0);
  return side == kRed ? s.redTotal : s.blackTotal;
}

// The gain of `side` with red and then black to move in the pieces' FEN,
// after swapping the colours and/or mirroring the files of the position
// (set up again from its FEN when changed).
inline Gain GainOf(const RuleGroup& group, uint32_t side, const std::vector<At>& pieces,
                   bool swapColours, bool mirrorFiles, int32_t level = -1) {
  int32_t gain[2];
  for (const char toMove : {'w', 'b'}) {
    testing_support::SetUpFen(eval_testing::Fen(pieces, toMove));
    if (swapColours) SwapColours();
    if (mirrorFiles) MirrorPositionLeftRight();
    if (swapColours || mirrorFiles) testing_support::SetUpFen(testing_support::CurrentFen());
    gain[toMove == 'w' ? 0 : 1] = RunGroup(group, side, level);
  }
  return {gain[0], gain[1]};
}

// Red's gain on the position.
inline Gain RedGain(const RuleGroup& group, const std::vector<At>& pieces, int32_t level = -1) {
  return GainOf(group, kRed, pieces, false, false, level);
}

// Black's gain on the colour-and-rank mirror of the position, and with
// fileMirror on its left-right mirror as well.
inline Gain MirroredBlackGain(const RuleGroup& group, const std::vector<At>& pieces,
                              bool fileMirror = false) {
  return GainOf(group, kBlack, pieces, true, fileMirror);
}

// Red's gain on the left-right mirror of the position.
inline Gain FileMirroredRedGain(const RuleGroup& group, const std::vector<At>& pieces) {
  return GainOf(group, kRed, pieces, false, true);
}

}  // namespace gain_testing
