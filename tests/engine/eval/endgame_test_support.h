// Shared helpers of the endgame evaluator tests: pieces from a compact text,
// the verdict a rule writes for the position now set up, and the checks that
// run an evaluator with each side to move and again through its twin on the
// colour-swapped board.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/eval/endgame.h"
#include "engine/eval/evaluate.h"
#include "engine/eval/prepare.h"
#include "engine/position/position.h"
#include "tests/engine/eval/board_builder.h"
#include "tests/support/test_position.h"

namespace endgame_testing {

using eval_testing::At;
using eval_testing::Fen;
using Pieces = std::vector<At>;

// Pieces from a compact text: one token per piece, its letter (upper case
// red) followed by its file and rank digits, "K49 r05".
inline Pieces Board(const std::string& text) {
  Pieces pieces;
  for (size_t i = 0; i + 3 <= text.size(); i += 4)
    pieces.push_back({text[i], text[i + 1] - '0', text[i + 2] - '0'});
  return pieces;
}

// The kinds of verdict a rule writes. "Holds" is the "cannot lose" bound of
// the named side; kDraw and kNoAttackersDraw are exact draws scaled by b/16
// and b/8; kDrawish carries its value x.
enum class Expect {
  kRedWins,
  kBlackWins,
  kRedHolds,
  kBlackHolds,
  kDraw,
  kNoAttackersDraw,
  kDrawish,
  kNone
};

// The verdict the writers give for the position now set up, from the side
// to move's view; x is the win value (or the drawish value).
inline EndgameVerdict Written(Expect e, int32_t x = 0) {
  const int32_t b = materialBalance;
  const bool red = sideToMove == kRed;
  switch (e) {
    case Expect::kRedWins:
      return red ? EndgameVerdict{b / 2 + x, kVerdictAtLeast}
                 : EndgameVerdict{(-b) / 2 - x, kVerdictAtMost};
    case Expect::kBlackWins:
      return red ? EndgameVerdict{b / 2 - x, kVerdictAtMost}
                 : EndgameVerdict{(-b) / 2 + x, kVerdictAtLeast};
    case Expect::kRedHolds:
      return red ? EndgameVerdict{contemptRed + b / 8, kVerdictAtLeast}
                 : EndgameVerdict{contemptRed - b / 8, kVerdictAtMost};
    case Expect::kBlackHolds:
      return red ? EndgameVerdict{contemptBlack + b / 8, kVerdictAtMost}
                 : EndgameVerdict{contemptBlack - b / 8, kVerdictAtLeast};
    case Expect::kDraw:
      return red ? EndgameVerdict{contemptRed + b / 16, kVerdictExact}
                 : EndgameVerdict{contemptBlack - b / 16, kVerdictExact};
    case Expect::kNoAttackersDraw:
      return red ? EndgameVerdict{contemptRed + b / 8, kVerdictExact}
                 : EndgameVerdict{contemptBlack - b / 8, kVerdictExact};
    case Expect::kDrawish:
      return {x, kVerdictDrawish};
    case Expect::kNone:
      break;
  }
  return {0, kVerdictNone};
}

// Runs fn with each side to move and expects verdict e; the selector must
// pick fn (unless selected is false), and the twin (when there is one) must
// give the same verdict on the colour-swapped position.
inline void Check(EndgameEvaluatorFn fn, EndgameEvaluatorFn twin, const Pieces& pieces, Expect e,
                  int32_t x = 0, bool selected = true) {
  for (const char side : {'w', 'b'}) {
    const std::string fen = Fen(pieces, side);
    SCOPED_TRACE(fen);
    testing_support::SetUpFen(fen);
    if (selected) {
      EXPECT_EQ(SelectEndgameEvaluator(), fn);
    }
    EndgameVerdict v{-1, -1};
    fn(&v);
    const EndgameVerdict want = Written(e, x);
    EXPECT_EQ(v.flag, want.flag);
    if (want.flag != kVerdictNone) {
      EXPECT_EQ(v.score, want.score);
    }
    if (twin == nullptr) continue;
    SwapColours();
    PrepareEvaluation();
    if (selected) {
      EXPECT_EQ(SelectEndgameEvaluator(), twin);
    }
    EndgameVerdict w{-1, -1};
    twin(&w);
    EXPECT_EQ(w.flag, v.flag) << "mirror";
    if (v.flag != kVerdictNone) {
      EXPECT_EQ(w.score, v.score) << "mirror";
    }
  }
}

// A named case for the table-driven tests.
struct Case {
  const char* what;
  Pieces pieces;
  Expect kind;
  int32_t x = 0;
  // Which sides to move the case is checked with ("wb", "w" or "b").
  const char* sides = "wb";
  // The colour-swapped board is checked too, through this evaluator (the
  // twin, or the same symmetric evaluator) unless this is false.
  bool mirror = true;
};

// Sets the case up with the given side to move, checks the selector's
// choice and the verdict of `fn` (score included, with zero contempt), then
// (when asked) the same verdict from `twin` on the colour-swapped board.
inline void Check(const Case& c, EndgameEvaluatorFn fn, EndgameEvaluatorFn twin) {
  for (const char* side = c.sides; *side != 0; ++side) {
    SCOPED_TRACE(std::string(c.what) + (*side == 'w' ? ", red to move" : ", black to move"));
    testing_support::SetUpFen(Fen(c.pieces, *side));
    ASSERT_EQ(contemptRed, 0);
    ASSERT_EQ(contemptBlack, 0);
    ASSERT_EQ(SelectEndgameEvaluator(), fn);
    EndgameVerdict v{12345, 0};
    fn(&v);
    const EndgameVerdict want = Written(c.kind, c.x);
    EXPECT_EQ(v.flag, want.flag);
    EXPECT_EQ(v.score, want.score);
    if (!c.mirror) continue;

    const int32_t balance = materialBalance;
    SwapColours();
    PrepareEvaluation();
    ASSERT_EQ(materialBalance, -balance);
    ASSERT_EQ(SelectEndgameEvaluator(), twin);
    EndgameVerdict m{54321, 0};
    twin(&m);
    EXPECT_EQ(m.flag, v.flag) << "mirrored";
    EXPECT_EQ(m.score, v.score) << "mirrored";
  }
}

inline void CheckAll(const std::vector<Case>& cases, EndgameEvaluatorFn fn,
                     EndgameEvaluatorFn twin) {
  for (const Case& c : cases) Check(c, fn, twin);
}

}  // namespace endgame_testing
