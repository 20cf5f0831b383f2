// The evaluator pointer, its selection by level, the level-0 evaluator and
// the rule that evaluation allocates nothing.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "engine/eval/evaluate.h"
#include "engine/position/position.h"
#include "tests/engine/eval/board_builder.h"
#include "tests/support/test_position.h"

// Counts every allocation of this test program, to check that evaluation
// allocates nothing. GCC cannot see that the replaced delete pairs with the
// replaced new.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
namespace {
std::atomic<long> allocations{0};
}  // namespace

void* operator new(std::size_t size) {
  ++allocations;
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

using eval_testing::At;
using eval_testing::Fen;

// Runs before any preparation in this program.
TEST(Frame, StartsWithTheFullEvaluatorAndMargin800) {
  EXPECT_EQ(evaluator, EvaluateFull);
  EXPECT_EQ(lazyMargin, 800);
}

class FrameTest : public ::testing::Test {
 protected:
  void SetUp() override { savedLevel_ = middleKnowledge; }
  void TearDown() override {
    middleKnowledge = savedLevel_;
    contemptRed = 0;
    contemptBlack = 0;
    SelectEvaluator();
  }

 private:
  int32_t savedLevel_;
};

TEST_F(FrameTest, SelectEvaluatorByLevel) {
  struct Case {
    int32_t level;
    EvaluatorFn fn;
    int32_t margin;
  };
  const Case cases[] = {
      {0, EvaluateMaterial, 200}, {1, EvaluatorForLevel(1), 400}, {2, EvaluatorForLevel(2), 400},
      {3, EvaluateFull, 300},     {5, EvaluateFull, 500},         {12, EvaluateFull, 1200},
      {-1, EvaluateFull, -100},
  };
  for (const Case& c : cases) {
    middleKnowledge = c.level;
    SelectEvaluator();
    EXPECT_EQ(evaluator, c.fn) << "level " << c.level;
    EXPECT_EQ(lazyMargin, c.margin) << "level " << c.level;
  }
  EXPECT_EQ(EvaluatorForLevel(0), EvaluateMaterial);
  EXPECT_EQ(EvaluatorForLevel(7), EvaluateFull);
  EXPECT_EQ(EvaluatorForLevel(0xFFFFFFFFu), EvaluateFull);
}

TEST_F(FrameTest, MaterialLevelIsBalancePlusTempoForTheSideToMove) {
  testing_support::SetUpFen(testing_support::kStartFen);
  for (int32_t alpha : {-3000000, -2000, 0, 1999, 3000000}) {
    int32_t red = 77, black = 88;
    EXPECT_EQ(EvaluateMaterial(alpha, &red, &black), materialBalance + 6) << alpha;
    EXPECT_EQ(red, 0);
    EXPECT_EQ(black, 0);
  }
  // Black's chariot gone: a large red balance, seen from each side.
  testing_support::SetUpFen("1nbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w");
  const int32_t b = materialBalance;
  EXPECT_GT(b, 900);
  int32_t red = 0, black = 0;
  EXPECT_EQ(EvaluateMaterial(0, &red, &black), b + 6);
  sideToMove = kBlack;
  EXPECT_EQ(EvaluateMaterial(0, &red, &black), 6 - b);
}

TEST_F(FrameTest, ExactVerdictIsReturnedWithoutTempo) {
  // Kings and one red adviser: no attacking piece and no pawn, an exact draw
  // of contempt + B/8 (B = 225 here).
  testing_support::SetUpFen(Fen({{'K', 4, 9}, {'A', 4, 8}, {'k', 3, 0}}));
  ASSERT_EQ(materialBalance, 225);
  contemptRed = 5;
  contemptBlack = -3;
  int32_t red = 1, black = 1;
  EXPECT_EQ(EvaluateMaterial(0, &red, &black), 5 + 28);
  EXPECT_EQ(red, 0);
  EXPECT_EQ(black, 0);
  sideToMove = kBlack;
  EXPECT_EQ(EvaluateMaterial(0, &red, &black), -3 - 28);
}

TEST_F(FrameTest, FewAttackersWithoutAnEndgameRuleScoreMaterial) {
  // Black has two attacking pieces, so the selector is asked, but no rule
  // covers two chariots and a cannon against two chariots.
  testing_support::SetUpFen(Fen(
      {{'K', 4, 9}, {'R', 0, 9}, {'R', 8, 9}, {'C', 1, 7}, {'k', 3, 0}, {'r', 0, 0}, {'r', 8, 0}},
      'b'));
  ASSERT_EQ(SelectEndgameEvaluator(), nullptr);
  int32_t red = 3, black = 3;
  EXPECT_EQ(EvaluateMaterial(-5000, &red, &black), 6 - materialBalance);
  EXPECT_EQ(red + black, 0);
}

TEST_F(FrameTest, EvaluationAllocatesNothing) {
  const char* fens[] = {
      testing_support::kStartFen,
      "3k5/4a4/4b4/9/2p1P4/9/9/4B4/4A4/3AK4 b",
      "3k5/9/9/9/9/9/9/9/4A4/4K4 w",
      "3k5/9/2r6/9/9/9/9/9/9/1R2K4 w",
  };
  for (const char* fen : fens) {
    testing_support::SetUpFen(fen);
    int32_t red = 0, black = 0, sum = 0;
    const long before = allocations.load();
    sum += EvaluateMaterial(0, &red, &black);
    if (const EndgameEvaluatorFn fn = SelectEndgameEvaluator(); fn != nullptr) {
      EndgameVerdict v{0, 0};
      fn(&v);
      sum += v.score;
    }
    EndgameVerdict v{0, 0};
    SetDrawVerdict(&v);
    SetRedWinsVerdict(190000, &v);
    SetBlackCannotLoseVerdict(&v);
    sum += v.score + CountUsefulPawnsRed(1) + CountUsefulPawnsBlack(1) + ChariotPalaceThreatRed() +
           ChariotPalaceThreatBlack() + IsFullDefenceSetupRed() + CountPalaceZonePawnsBlack() +
           static_cast<int32_t>(FindAdvancedPawnRed(5));
    PrepareEvaluation();
    EXPECT_EQ(allocations.load(), before) << fen;
    (void)sum;
  }
}

}  // namespace
