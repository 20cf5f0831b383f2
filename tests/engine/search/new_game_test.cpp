// The new-game reset: the start position less the handicap pieces, what a
// full reset clears beyond a plain one, and the knight tables.
#include "engine/search/new_game.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "engine/eval/prepare.h"
#include "engine/search/opening_names.h"
#include "engine/search/tt.h"
#include "game/comments.h"
#include "game/header.h"
#include "tests/engine/search/driver_harness.h"

namespace {

using driver_harness::DriverTest;
using testing_support::CurrentFen;
using testing_support::kStartFen;

class NewGameTest : public DriverTest {
 protected:
  void TearDown() override {
    Handicap = 0;
    DriverTest::TearDown();
  }
};

TEST_F(NewGameTest, HandicapNineRemovesAChariotACannonAndAKnight) {
  Handicap = 9;
  ResetGameState(0);
  EXPECT_EQ(posPiece[8], 0u);
  EXPECT_EQ(posPiece[10], 0u);
  EXPECT_EQ(posPiece[7], 0u);
  EXPECT_EQ(posPiece[9], startSquareOf[9]);
  // typeBoard and the material counts follow the board.
  EXPECT_EQ(typeBoard[startSquareOf[8]], 0);
  EXPECT_EQ(typeBoard[startSquareOf[10]], 0);
  EXPECT_EQ(pieceCount[kRed][5], 1u);  // chariots
  EXPECT_EQ(pieceCount[kRed][4], 1u);  // cannons
  EXPECT_EQ(pieceCount[kRed][3], 1u);  // knights
  EXPECT_EQ(pieceCount[kBlack][5], 2u);
  EXPECT_TRUE(CheckPositionConsistency());
}

TEST_F(NewGameTest, EveryHandicapLeavesAConsistentPosition) {
  for (int32_t h = 0; h <= 10; ++h) {
    Handicap = h;
    ResetGameState(0);
    EXPECT_TRUE(CheckPositionConsistency()) << h;
    EXPECT_NE(posPiece[1], 0u);
  }
}

TEST_F(NewGameTest, ResetsTwiceToTheSameKeys) {
  UserMove("h2e2");
  ResetGameState(0);
  const uint64_t lock = positionLock;
  const uint64_t key = positionKey;
  ResetGameState(0);
  EXPECT_EQ(positionLock, lock);
  EXPECT_EQ(positionKey, key);
  EXPECT_EQ(CurrentFen(), kStartFen);
}

TEST_F(NewGameTest, PlainResetKeepsTheSearchTablesAndTheDisplay) {
  Think(kThinkPlay, 0);  // the root of the start position is stored
  ASSERT_EQ(gamePly, 1);
  const int8_t shown = displayBoard[MoveTo(history[1].move)];
  ResetGameState(0);
  EXPECT_NE(ProbeHashTable(), nullptr);
  EXPECT_EQ(displayBoard[MoveTo(history[1].move)], shown);
  EXPECT_EQ(gamePly, 0);
  EXPECT_EQ(gameLength, 0);
  EXPECT_TRUE(HistoryPointerAtShownPly());
}

TEST_F(NewGameTest, FullResetClearsTheGameAndTheEngine) {
  Think(kThinkPlay, 0);
  UserMove("h9g7");
  SetComment(1, "a comment");
  SetAnnotation(2, kMarkGood);
  SetHeaderText(currentGameHeader.event, "an event");
  SetGameFileName("/tmp/somewhere.vgf");
  currentOpening = 3;
  ponderMove = 5;
  engineState = kEngineAnalysing;
  gameClock.SwitchSide(0);
  history[1].extension = 16;
  history[1].extended = 1;

  ResetGameState(1);
  EXPECT_EQ(CurrentFen(), kStartFen);
  EXPECT_EQ(std::memcmp(displayBoard, board, sizeof board), 0);
  EXPECT_EQ(ProbeHashTable(), nullptr);
  EXPECT_EQ(moveComments[1].text, nullptr);
  EXPECT_EQ(moveComments[2].annotation, kMarkNone);
  EXPECT_STREQ(currentGameHeader.event, "");
  EXPECT_STREQ(gameFileName, "");
  EXPECT_EQ(currentOpening, 0);
  EXPECT_EQ(ponderMove, 0);
  EXPECT_EQ(engineState, kEngineIdle);
  EXPECT_EQ(gameClock.runningSide, -1);
  EXPECT_EQ(history[1].extension, 0);
  EXPECT_EQ(history[1].extended, 0u);
  for (const auto& row : historyTable)
    for (uint32_t v : row) ASSERT_EQ(v, 0u);
  // The learning files are open in the data folder.
  EXPECT_TRUE(std::filesystem::exists(dir_ + "/V4QelPos1.bin"));
}

TEST_F(NewGameTest, KnightLegsAndCheckingSteps) {
  const Square b0 = MakeSquare(1, 9);
  // b0 -> c2 needs b1 empty; b0 -> a2 too; b0 -> d1 needs c0.
  EXPECT_EQ(knightLeg[b0][MakeSquare(2, 7)], MakeSquare(1, 8));
  EXPECT_EQ(knightLeg[b0][MakeSquare(0, 7)], MakeSquare(1, 8));
  EXPECT_EQ(knightLeg[b0][MakeSquare(3, 8)], MakeSquare(2, 9));
  EXPECT_EQ(knightLeg[b0][MakeSquare(1, 7)], 0);
  // A knight on b4 (file 1, rank 5) has two steps to a square from which it
  // checks a king on e1 (file 4, rank 8): c2 and d3.
  const Square king = MakeSquare(4, 8);
  const Square from = MakeSquare(1, 5);
  const uint32_t m1 = knightCheckMove1[king][from];
  const uint32_t m2 = knightCheckMove2[king][from];
  ASSERT_NE(m1 | m2, 0u);
  for (uint32_t m : {m1, m2}) {
    if (m == 0) continue;
    const Square checkSquare = m & 0xFFFF;
    EXPECT_EQ(m >> 16, from);
    EXPECT_NE(knightLeg[checkSquare][king], 0);  // the square is a knight step from the king
    EXPECT_NE(knightLeg[from][checkSquare], 0);  // and one from where the knight stands
  }
}

}  // namespace
