// Evaluation preparation: dynamic piece values, the banks with their fixed
// corrections, the evaluator's down-grade by material, the diagnostics, and
// the from-scratch balance against the incremental one along random games.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "engine/eval/evaluate.h"
#include "engine/position/position.h"
#include "tests/engine/eval/board_builder.h"
#include "tests/support/test_position.h"

namespace {

using eval_testing::At;
using eval_testing::Fen;

// An off-board square inside the filled range: it holds the piece value
// alone.
constexpr Square kOffBoard = 46;

struct Banks {
  int32_t red[8][176];
  int32_t black[8][176];
  int32_t Red(uint32_t type, int file, int rank) const { return red[type][MakeSquare(file, rank)]; }
  int32_t Black(uint32_t type, int file, int rank) const {
    return black[type][MakeSquare(file, rank)];
  }
};

// The banks as they stood before the position-dependent corrections: the
// prepared banks less what AdjustPieceSquareTables adds to zeroed banks.
Banks BeforeAdjustment() {
  Banks prepared;
  std::memcpy(prepared.red, pieceSquareRed, sizeof prepared.red);
  std::memcpy(prepared.black, pieceSquareBlack, sizeof prepared.black);
  std::memset(pieceSquareRed, 0, sizeof pieceSquareRed);
  std::memset(pieceSquareBlack, 0, sizeof pieceSquareBlack);
  AdjustPieceSquareTables();
  Banks before;
  for (int t = 0; t < 8; ++t) {
    for (int s = 0; s < 176; ++s) {
      before.red[t][s] = prepared.red[t][s] - pieceSquareRed[t][s];
      before.black[t][s] = prepared.black[t][s] - pieceSquareBlack[t][s];
    }
  }
  std::memcpy(pieceSquareRed, prepared.red, sizeof prepared.red);
  std::memcpy(pieceSquareBlack, prepared.black, sizeof prepared.black);
  return before;
}

Banks PreparedBefore(const std::string& fen) {
  testing_support::SetUpFen(fen);
  return BeforeAdjustment();
}

class Prepare : public ::testing::Test {
 protected:
  void SetUp() override {
    std::memcpy(savedValues_, pieceValueTable, sizeof savedValues_);
    savedLevel_ = middleKnowledge;
  }
  void TearDown() override {
    std::memcpy(pieceValueTable, savedValues_, sizeof savedValues_);
    middleKnowledge = savedLevel_;
    testing_support::InitEngine();
  }

 private:
  int32_t savedValues_[12];
  int32_t savedLevel_;
};

TEST_F(Prepare, StandardPositionLogsNothing) {
  testing_support::LogCapture log;
  testing_support::SetUpFen(testing_support::kStartFen);
  PrepareEvaluation();
  EXPECT_TRUE(log.lines().empty()) << log.lines().front();
}

TEST_F(Prepare, InvalidBoardIsReportedAndTheBanksAreBuiltAnyway) {
  testing_support::SetUpFen(testing_support::kStartFen);
  board[posPiece[12]] = 0;  // a pawn in the piece list but not on the board
  testing_support::LogCapture log;
  PrepareEvaluation();
  ASSERT_FALSE(log.lines().empty());
  EXPECT_EQ(log.lines().back(), "***** Invalid Board !\r\n");
  EXPECT_EQ(pieceSquareRed[kChariot][kOffBoard], 1280);
  EXPECT_EQ(pieceCount[kRed][kPawn - 1], 4u);
}

TEST_F(Prepare, StartPositionValuesAndCounts) {
  testing_support::SetUpFen(testing_support::kStartFen);
  const int32_t expected[8] = {0, 76, 185, 195, 550, 570, 1280, 0};
  for (uint32_t t = kPawn; t <= kKing; ++t) {
    EXPECT_EQ(pieceSquareRed[t][kOffBoard], expected[t]) << "type " << t;
    EXPECT_EQ(pieceSquareBlack[t][kOffBoard], expected[t]) << "type " << t;
  }
  EXPECT_EQ(attackerCount[kRed], 6u);
  EXPECT_EQ(attackerCount[kBlack], 6u);
  EXPECT_EQ(attackWeight[kRed], 40);
  EXPECT_EQ(pieceCount[kBlack][kPawn - 1], 5u);
  EXPECT_EQ(typeBoard[MakeSquare(4, 0)], 14);
  EXPECT_EQ(typeBoard[MakeSquare(1, 7)], kCannon);
  // Red's corner chariot pays nine times the attacker count, black's eight.
  EXPECT_EQ(materialBalance, -12);
  EXPECT_EQ(materialBalance, RecomputeBalance());
}

TEST_F(Prepare, StartPositionWorkedEntries) {
  const Banks b = PreparedBefore(testing_support::kStartFen);
  EXPECT_EQ(b.Red(kPawn, 4, 6), 55 + 76 + 50);
  EXPECT_EQ(b.Red(kChariot, 0, 9), -80 + 1280 - 108);
  EXPECT_EQ(b.Red(kChariot, 8, 9), -80 + 1280 - 96);
  EXPECT_EQ(b.Black(kChariot, 0, 0), -80 + 1280 - 96);
  EXPECT_EQ(b.Black(kChariot, 8, 0), -80 + 1280 - 96);
  EXPECT_EQ(b.Red(kChariot, 8, 7), -82 + 1280 - 25);
  EXPECT_EQ(b.Red(kChariot, 7, 6), -8 + 1280 - 25);
  EXPECT_EQ(b.Black(kChariot, 7, 3), -8 + 1280 - 25);
  EXPECT_EQ(b.Red(kKnight, 7, 9), -65 + 550 - 48);
  EXPECT_EQ(b.Black(kKnight, 1, 0), -65 + 550 - 48);
  EXPECT_EQ(b.Black(kPawn, 4, 3), 55 + 76 + 50);
  // Squares the enemy elephants cover.
  EXPECT_EQ(b.Red(kChariot, 6, 4), 3 + 1280 - 20);
  EXPECT_EQ(b.Red(kCannon, 8, 2), -10 + 570 - 12);
  EXPECT_EQ(b.Black(kCannon, 2, 5), -25 + 570 - 16);
  // Black's banks read the base tables rank-mirrored.
  EXPECT_EQ(b.Black(kPawn, 4, 6), 185 + 76);
  EXPECT_EQ(b.Black(kKing, 4, 0), 20);
  EXPECT_EQ(b.Red(kKing, 4, 7), -200);
}

TEST_F(Prepare, CentrePawnBonusNeedsBlacksPawnAndUndevelopedKnights) {
  // Black knights 22 and 23 on (6,2) and (2,2): no bonus.
  Banks b = PreparedBefore("r1bakab1r/9/1cn3nc1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w");
  EXPECT_EQ(b.Red(kPawn, 4, 6), 55 + 76);
  EXPECT_EQ(b.Black(kPawn, 4, 3), 55 + 76 + 50);
  // Two black pawns only: pawn 30 is off the board.
  b = PreparedBefore("rnbakabnr/9/1c5c1/p7p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w");
  EXPECT_EQ(b.Red(kPawn, 4, 6), 55 + 76);
  // Five attacking pieces in all: no corner penalties.
  b = PreparedBefore(Fen(
      {{'K', 4, 9}, {'R', 0, 9}, {'C', 1, 7}, {'k', 3, 0}, {'r', 0, 0}, {'c', 1, 2}, {'n', 7, 0}}));
  EXPECT_EQ(b.Red(kChariot, 0, 9), -80 + 1280);
  EXPECT_EQ(b.Black(kKnight, 7, 0), -65 + pieceSquareBlack[kKnight][kOffBoard]);
}

TEST_F(Prepare, DynamicValuesFollowTheMaterial) {
  // No attacking piece and three pawns: pawns 184, the knight capped at 585
  // and the cannon raised to 540.
  Banks b = PreparedBefore(Fen({{'K', 4, 9}, {'P', 0, 6}, {'P', 4, 6}, {'k', 3, 0}, {'p', 4, 3}}));
  EXPECT_EQ(b.red[kPawn][kOffBoard], 184);
  EXPECT_EQ(b.black[kPawn][kOffBoard], 184);
  EXPECT_EQ(b.red[kKnight][kOffBoard], 585);
  EXPECT_EQ(b.red[kCannon][kOffBoard], 540);
  // Red with two attackers, black with three, eight pawns: each side's pawn
  // by its own count, the knight by both counts (579, under the cap) and
  // the cannon against the knight (541, above the floor).
  b = PreparedBefore(Fen({{'K', 4, 9},
                          {'R', 0, 9},
                          {'N', 1, 9},
                          {'P', 0, 6},
                          {'P', 2, 6},
                          {'P', 4, 6},
                          {'P', 6, 6},
                          {'k', 3, 0},
                          {'r', 0, 0},
                          {'c', 1, 2},
                          {'c', 7, 2},
                          {'p', 0, 3},
                          {'p', 2, 3},
                          {'p', 4, 3},
                          {'p', 8, 3}}));
  EXPECT_EQ(b.red[kPawn][kOffBoard], 100 + 84 - 36);
  EXPECT_EQ(b.black[kPawn][kOffBoard], 100 + 84 - 54);
  EXPECT_EQ(b.red[kKnight][kOffBoard], 550 + 76 - 15 - 32);
  EXPECT_EQ(b.black[kKnight][kOffBoard], 579);
  EXPECT_EQ(b.black[kCannon][kOffBoard], 570 + 550 - 579);
}

TEST_F(Prepare, PieceValueTableFeedsEachSide) {
  pieceValueTable[3] = 700;  // red knight
  Banks b = PreparedBefore(testing_support::kStartFen);
  EXPECT_EQ(b.red[kKnight][kOffBoard], 585);
  EXPECT_EQ(b.red[kCannon][kOffBoard], 540);
  EXPECT_EQ(b.black[kKnight][kOffBoard], 550);
  pieceValueTable[4] = 600;    // red cannon
  pieceValueTable[6] = 120;    // black pawn
  pieceValueTable[11] = 1300;  // black chariot
  b = PreparedBefore(testing_support::kStartFen);
  EXPECT_EQ(b.red[kCannon][kOffBoard], 600 + 550 - 585);
  EXPECT_EQ(b.black[kPawn][kOffBoard], 120 + 84 - 108);
  EXPECT_EQ(b.red[kPawn][kOffBoard], 76);
  EXPECT_EQ(b.black[kChariot][kOffBoard], 1300);
}

TEST_F(Prepare, KingWithoutAdvisersStaysHome) {
  const Banks b =
      PreparedBefore(Fen({{'K', 4, 9}, {'R', 0, 8}, {'k', 3, 0}, {'a', 4, 1}, {'n', 2, 2}}));
  for (int f = 3; f <= 5; ++f)
    for (int r = 7; r <= 9; ++r)
      EXPECT_EQ(b.Red(kKing, f, r), (f == 4 && r == 9) ? 1 : 0) << f << "," << r;
  // Black keeps an adviser: its king entries are the table's.
  EXPECT_EQ(b.Black(kKing, 4, 0), 20);
  EXPECT_EQ(b.Black(kKing, 3, 2), -220);
  // With two black attackers red's king table stays.
  const Banks c = PreparedBefore(
      Fen({{'K', 4, 9}, {'R', 0, 8}, {'k', 3, 0}, {'a', 4, 1}, {'n', 2, 2}, {'c', 6, 2}}));
  EXPECT_EQ(c.Red(kKing, 4, 9), 20);
  EXPECT_EQ(c.Red(kKing, 4, 8), -125);
}

TEST_F(Prepare, LoneKnightIsPulledToTheCentre) {
  const Banks b = PreparedBefore(Fen({{'K', 4, 9}, {'R', 1, 7}, {'k', 3, 0}, {'n', 2, 2}}));
  const int32_t knight = b.black[kKnight][kOffBoard];
  EXPECT_EQ(knight, 585);
  EXPECT_EQ(b.Black(kKnight, 6, 8), 85 + knight - 50);
  EXPECT_EQ(b.Black(kKnight, 2, 8), 85 + knight - 50);
  EXPECT_EQ(b.Black(kKnight, 4, 5), 31 + knight + 50);
  EXPECT_EQ(b.Black(kKnight, 4, 4), 10 + knight + 50);
  EXPECT_EQ(b.Black(kKnight, 5, 5), 50 + knight + 50);
  // Red's knight table is unchanged (red's piece is a chariot).
  EXPECT_EQ(b.Red(kKnight, 4, 4), 31 + b.red[kKnight][kOffBoard]);
}

TEST_F(Prepare, EvaluatorIsLoweredByMaterialOnlyFromTheFullLevel) {
  struct Case {
    const char* what;
    std::vector<At> pieces;
    uint32_t level;
  };
  const std::vector<Case> cases = {
      {"two each",
       {{'K', 4, 9}, {'R', 0, 9}, {'C', 1, 7}, {'k', 3, 0}, {'r', 0, 0}, {'n', 1, 0}},
       2},
      {"one each", {{'K', 4, 9}, {'R', 0, 9}, {'k', 3, 0}, {'n', 1, 0}}, 1},
      {"one against two", {{'K', 4, 9}, {'C', 1, 7}, {'k', 3, 0}, {'n', 1, 0}, {'c', 7, 2}}, 2},
      {"three minors each",
       {{'K', 4, 9},
        {'N', 1, 9},
        {'C', 1, 7},
        {'C', 7, 7},
        {'k', 3, 0},
        {'n', 1, 0},
        {'n', 7, 0},
        {'c', 1, 2}},
       2},
      {"three each with a chariot",
       {{'K', 4, 9},
        {'R', 0, 9},
        {'C', 1, 7},
        {'C', 7, 7},
        {'k', 3, 0},
        {'n', 1, 0},
        {'n', 7, 0},
        {'c', 1, 2}},
       3},
      {"four minors",
       {{'K', 4, 9},
        {'N', 1, 9},
        {'N', 7, 9},
        {'C', 1, 7},
        {'C', 7, 7},
        {'k', 3, 0},
        {'n', 1, 0},
        {'c', 1, 2}},
       3},
  };
  middleKnowledge = 5;
  for (const Case& c : cases) {
    testing_support::SetUpFen(Fen(c.pieces));
    EXPECT_EQ(evaluator, EvaluatorForLevel(c.level)) << c.what;
    EXPECT_EQ(lazyMargin, 500) << c.what;
  }
  testing_support::SetUpFen(testing_support::kStartFen);
  EXPECT_EQ(evaluator, EvaluateFull);
  // Levels 0, 1 and 2 are never changed.
  for (int32_t level : {0, 1, 2}) {
    middleKnowledge = level;
    testing_support::SetUpFen(Fen(cases[1].pieces));
    EXPECT_EQ(evaluator, EvaluatorForLevel(static_cast<uint32_t>(level))) << level;
    EXPECT_EQ(lazyMargin, level == 0 ? 200 : 400) << level;
  }
  middleKnowledge = 0;
  testing_support::SetUpFen(Fen(cases[1].pieces));
  EXPECT_EQ(evaluator, EvaluateMaterial);
}

// Plays random legal moves and takes them back, comparing the incremental
// balance with the recount after every step.
TEST_F(Prepare, RecomputeBalanceMatchesTheIncrementalBalanceAlongRandomGames) {
  const std::vector<std::string> starts = {
      testing_support::kStartFen,
      "2bakab2/9/2n1c1n2/p1p1p1p1p/4r4/2R6/P1P1P1P1P/1C2C1N2/9/2BAKAB2 w",
      "3k5/4a4/4b4/9/2p1P4/9/9/4B4/4A4/3AK4 b",
  };
  std::mt19937 rng(20240611);
  for (const std::string& fen : starts) {
    for (int game = 0; game < 8; ++game) {
      testing_support::SetUpFen(fen);
      const int32_t startBalance = materialBalance;
      ASSERT_EQ(startBalance, RecomputeBalance()) << fen;
      int made = 0;
      for (; made < 100; ++made) {
        const std::vector<Move> moves = testing_support::LegalMoves();
        if (moves.empty()) break;
        const Move m = moves[rng() % moves.size()];
        ASSERT_EQ(MakeMove(m, static_cast<int32_t>(FindChecker(sideToMove))), 1);
        ASSERT_EQ(materialBalance, RecomputeBalance())
            << fen << " after " << testing_support::MoveText(m) << " at ply " << made;
      }
      for (; made > 0; --made) {
        UnmakeMove();
        ASSERT_EQ(materialBalance, RecomputeBalance()) << fen << " unmaking ply " << made;
      }
      EXPECT_EQ(materialBalance, startBalance);
    }
  }
}

}  // namespace
