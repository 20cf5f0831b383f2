// The shared verdict writers: values, flags and truncation toward zero for
// both sides to move, and the trivial draw evaluator on real positions.
#include <gtest/gtest.h>

#include "engine/eval/evaluate.h"
#include "engine/position/position.h"
#include "tests/engine/eval/board_builder.h"
#include "tests/support/test_position.h"

namespace {

using eval_testing::At;
using eval_testing::Fen;

struct Expected {
  int32_t score;
  int32_t flag;
};

class VerdictWriters : public ::testing::Test {
 protected:
  void SetUp() override { testing_support::InitEngine(); }
  void TearDown() override {
    contemptRed = 0;
    contemptBlack = 0;
    testing_support::InitEngine();
  }

  // Runs a writer with the given balance, side and draw values.
  template <typename Writer>
  EndgameVerdict Run(Writer writer, int32_t balance, uint32_t side) {
    materialBalance = balance;
    sideToMove = side;
    EndgameVerdict v{12345, 0};
    writer(&v);
    return v;
  }

  void Check(const char* name, void (*writer)(EndgameVerdict*), int32_t balance, Expected red,
             Expected black) {
    const EndgameVerdict r = Run(writer, balance, kRed);
    EXPECT_EQ(r.score, red.score) << name << " red to move, B=" << balance;
    EXPECT_EQ(r.flag, red.flag) << name << " red to move, B=" << balance;
    const EndgameVerdict b = Run(writer, balance, kBlack);
    EXPECT_EQ(b.score, black.score) << name << " black to move, B=" << balance;
    EXPECT_EQ(b.flag, black.flag) << name << " black to move, B=" << balance;
  }
};

void RedWins190k(EndgameVerdict* v) { SetRedWinsVerdict(190000, v); }
void BlackWins190k(EndgameVerdict* v) { SetBlackWinsVerdict(190000, v); }

TEST_F(VerdictWriters, NegativeBalanceTruncatesTowardZero) {
  // B = -15: B/16 = 0, B/8 = -1, B/2 = -7, (-B)/2 = 7.
  contemptRed = 3;
  contemptBlack = -5;
  Check("draw", SetDrawVerdict, -15, {3, kVerdictExact}, {-5, kVerdictExact});
  Check("no attackers", EvalNoAttackersDraw, -15, {2, kVerdictExact}, {-4, kVerdictExact});
  Check("red cannot lose", SetRedCannotLoseVerdict, -15, {2, kVerdictAtLeast}, {4, kVerdictAtMost});
  Check("black cannot lose", SetBlackCannotLoseVerdict, -15, {-6, kVerdictAtMost},
        {-4, kVerdictAtLeast});
  Check("red wins", RedWins190k, -15, {189993, kVerdictAtLeast}, {-189993, kVerdictAtMost});
  Check("black wins", BlackWins190k, -15, {-190007, kVerdictAtMost}, {190007, kVerdictAtLeast});
}

TEST_F(VerdictWriters, PositiveBalance) {
  // B = 100: B/16 = 6, B/8 = 12, B/2 = 50.
  contemptRed = -20;
  contemptBlack = 30;
  Check("draw", SetDrawVerdict, 100, {-14, kVerdictExact}, {24, kVerdictExact});
  Check("no attackers", EvalNoAttackersDraw, 100, {-8, kVerdictExact}, {18, kVerdictExact});
  Check("red cannot lose", SetRedCannotLoseVerdict, 100, {-8, kVerdictAtLeast},
        {-32, kVerdictAtMost});
  Check("black cannot lose", SetBlackCannotLoseVerdict, 100, {42, kVerdictAtMost},
        {18, kVerdictAtLeast});
  Check("red wins", RedWins190k, 100, {190050, kVerdictAtLeast}, {-190050, kVerdictAtMost});
  Check("black wins", BlackWins190k, 100, {-189950, kVerdictAtMost}, {189950, kVerdictAtLeast});
}

TEST_F(VerdictWriters, OddNegativeBalanceHalvesTowardZero) {
  // B = -101: B/2 = -50 and (-B)/2 = 50 (not -51 / 51).
  Check("red wins", RedWins190k, -101, {189950, kVerdictAtLeast}, {-189950, kVerdictAtMost});
  Check("black wins", BlackWins190k, -101, {-190050, kVerdictAtMost}, {190050, kVerdictAtLeast});
  // B = -7: B/8 is 0, so a cannot-lose verdict is the plain draw value.
  Check("red cannot lose", SetRedCannotLoseVerdict, -7, {0, kVerdictAtLeast}, {0, kVerdictAtMost});
}

TEST(EdgeFileSquare, MarksExactlyTheTwentyEdgeFileSquares) {
  int marked = 0;
  for (int s = 0; s < kBoardSize; ++s) {
    if (edgeFileSquare[s] == 0) continue;
    ++marked;
    EXPECT_TRUE(onBoard[s]) << s;
    EXPECT_TRUE(FileOf(s) == 0 || FileOf(s) == 8) << s;
  }
  EXPECT_EQ(marked, 20);
  for (int r = 0; r < 10; ++r) {
    EXPECT_EQ(edgeFileSquare[MakeSquare(0, r)], 1);
    EXPECT_EQ(edgeFileSquare[MakeSquare(8, r)], 1);
  }
}

TEST(NoAttackersDraw, BareKingsAreAnExactZeroWithoutContempt) {
  testing_support::SetUpFen(Fen({{'K', 4, 9}, {'A', 4, 8}, {'k', 4, 0}, {'a', 4, 1}}));
  ASSERT_EQ(materialBalance, 0);
  EndgameVerdict v{99, 0};
  EvalNoAttackersDraw(&v);
  EXPECT_EQ(v.score, 0);
  EXPECT_EQ(v.flag, kVerdictExact);
}

TEST(NoAttackersDraw, UsesTheDrawValueOfTheSideToMove) {
  // Red: king 20 + adviser 185 + 20; black: a king without advisers off its
  // home square, priced 0.
  testing_support::SetUpFen(Fen({{'K', 4, 9}, {'A', 4, 8}, {'k', 3, 0}}, 'b'));
  ASSERT_EQ(materialBalance, 225);
  contemptRed = 4;
  contemptBlack = 9;
  EndgameVerdict v{99, 0};
  EvalNoAttackersDraw(&v);
  EXPECT_EQ(v.score, 9 - 28);
  EXPECT_EQ(v.flag, kVerdictExact);
  sideToMove = kRed;
  EvalNoAttackersDraw(&v);
  EXPECT_EQ(v.score, 4 + 28);
  contemptRed = 0;
  contemptBlack = 0;
}

}  // namespace
