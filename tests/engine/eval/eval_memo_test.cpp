// A search remembers evaluations by position. What the memory gives back must
// be what evaluating afresh gives, the score and both totals, whatever alpha
// asks of the lazy cut, whichever evaluator asks, and in whatever order the
// positions come back.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/eval/evaluate.h"
#include "engine/position/position.h"
#include "tests/support/random_play.h"
#include "tests/support/test_position.h"

namespace {

struct Result {
  int32_t score, red, black;
  bool operator==(const Result&) const = default;
};

constexpr EvaluatorFn kEvaluators[] = {EvaluateFull, EvaluateMedium, EvaluateLight};
constexpr int32_t kAlphas[] = {-3000, -1999, -400, 0, 120, 700, 1999, 2600};
constexpr int kCalls = 3 * 8;

// Every evaluator at every alpha, in the order given.
void EvaluateHere(bool reversed, std::vector<Result>* out) {
  std::vector<Result> here;
  for (int k = 0; k < kCalls; ++k) {
    const int i = reversed ? kCalls - 1 - k : k;
    Result r{};
    r.score = kEvaluators[i / 8](kAlphas[i % 8], &r.red, &r.black);
    here.push_back(r);
  }
  if (reversed) std::reverse(here.begin(), here.end());
  out->insert(out->end(), here.begin(), here.end());
}

// The position itself, then the position after each move; a move 0 passes,
// as the null-move search does, so that the same placement comes again with
// the other side to move.
std::vector<Result> EvaluateAfterEachMove(const std::vector<Move>& moves, bool reversed) {
  std::vector<Result> out;
  EvaluateHere(reversed, &out);
  const auto checker = static_cast<int32_t>(FindChecker(sideToMove));
  for (Move m : moves) {
    if (m == 0)
      MakeNullMove();
    else
      EXPECT_EQ(MakeMove(m, checker), 1);
    EvaluateHere(reversed, &out);
    if (m == 0) {
      sideToMove = 1 - sideToMove;
      --historyPly;
    } else {
      UnmakeMove();
    }
  }
  return out;
}

TEST(EvalMemo, GivesBackWhatEvaluatingAfreshGives) {
  const auto fens = testing_support::PlayedPositions(11, 4);
  ASSERT_GT(fens.size(), 200u);
  int lazyCuts = 0;
  for (size_t f = 0; f < fens.size(); f += 7) {
    testing_support::SetUpFen(fens[f]);
    auto moves = testing_support::LegalMoves();
    moves.push_back(0);
    StopEvalMemo();
    const auto fresh = EvaluateAfterEachMove(moves, false);
    StartEvalMemo();
    const auto first = EvaluateAfterEachMove(moves, false);
    const auto again = EvaluateAfterEachMove(moves, true);
    StopEvalMemo();
    ASSERT_EQ(first.size(), fresh.size());
    for (size_t i = 0; i < fresh.size(); ++i) {
      ASSERT_EQ(first[i], fresh[i]) << fens[f] << " call " << i;
      ASSERT_EQ(again[i], fresh[i]) << fens[f] << " call " << i;
      lazyCuts += fresh[i].score == kAlphas[i % 8] && kAlphas[i % 8] > -2000 ? 1 : 0;
    }
  }
  EXPECT_GT(lazyCuts, 100) << "the positions should reach the lazy cut";
}

}  // namespace
