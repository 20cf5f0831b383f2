// The evaluators' answers over many positions, folded into one number. Work on
// the evaluators' speed must leave every score and total exactly as it is;
// a changed fingerprint means a changed evaluation.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "engine/eval/evaluate.h"
#include "engine/position/position.h"
#include "tests/support/random_play.h"
#include "tests/support/test_position.h"

namespace {

constexpr EvaluatorFn kEvaluators[] = {EvaluateFull, EvaluateMedium, EvaluateLight,
                                       EvaluateMaterial};
constexpr int32_t kAlphas[] = {-2500, -150, 0, 250, 1500};

uint64_t Fold(uint64_t h, int32_t v) {
  h ^= static_cast<uint32_t>(v);
  return h * 0x100000001B3ull;
}

// Every evaluator at every alpha, in the position and after each legal move.
uint64_t FingerprintHere(uint64_t h, int* evaluations) {
  auto evaluateAll = [&] {
    for (EvaluatorFn eval : kEvaluators) {
      for (int32_t alpha : kAlphas) {
        int32_t red = 0, black = 0;
        h = Fold(h, eval(alpha, &red, &black));
        h = Fold(Fold(h, red), black);
        ++*evaluations;
      }
    }
  };
  evaluateAll();
  const auto checker = static_cast<int32_t>(FindChecker(sideToMove));
  for (Move m : testing_support::LegalMoves()) {
    EXPECT_EQ(MakeMove(m, checker), 1);
    evaluateAll();
    UnmakeMove();
  }
  return h;
}

TEST(EvalFingerprint, EveryEvaluatorAnswersAsBefore) {
  const auto fens = testing_support::PlayedPositions(20261207, 16);
  ASSERT_GT(fens.size(), 1000u);
  uint64_t h = 0xCBF29CE484222325ull;
  int evaluations = 0;
  for (size_t i = 0; i < fens.size(); i += 5) {
    testing_support::SetUpFen(fens[i]);
    h = FingerprintHere(h, &evaluations);
  }
  EXPECT_GT(evaluations, 100000);
  EXPECT_EQ(h, 16854950670870738194ull) << "positions " << fens.size() << ", evaluations " << evaluations;
}

}  // namespace
