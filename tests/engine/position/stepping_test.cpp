// Game stepping: taking moves back and replaying them through the stored
// game, with the shown board, the records and the notation texts.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "engine/position/position.h"
#include "engine/search/opening_names.h"
#include "engine/search/search_tables.h"
#include "game/notation.h"
#include "tests/support/test_position.h"

namespace {

using testing_support::LegalMoves;
using testing_support::PositionSnapshot;
using testing_support::SetUpFen;

// The position at one game ply, as the user-move path leaves it.
struct PlyState {
  PositionSnapshot position;
  int8_t display[kBoardSize];
  uint64_t lock;
  uint64_t key;
  int32_t checker;
};

PlyState TakeState() {
  PlyState s;
  s.position = PositionSnapshot::Take();
  std::memcpy(s.display, displayBoard, sizeof s.display);
  s.lock = positionLock;
  s.key = positionKey;
  s.checker = 0;
  return s;
}

bool DisplayShowsBoard() {
  return std::memcmp(displayBoard, board, sizeof displayBoard) == 0 &&
         shownSideToMove == sideToMove;
}

class SteppingTest : public ::testing::Test {
 protected:
  // Plays a seeded random game of legal moves the way the user-move path
  // does (each move at historyPly 0 on &history[gamePly + 1]), gives the
  // records engine fields, and keeps the state after every ply.
  void PlayRandomGame(const char* fen, int plies, unsigned seed) {
    SetUpFen(fen);
    std::mt19937 rng(seed);
    states_.clear();
    states_.push_back(TakeState());
    for (int i = 0; i < plies; ++i) {
      historyBase = &history[gamePly + 1];
      historyPly = 0;
      const auto legal = LegalMoves();
      if (legal.empty()) break;
      const Move m = legal[std::uniform_int_distribution<size_t>(0, legal.size() - 1)(rng)];
      const auto checker = static_cast<int32_t>(FindChecker(sideToMove));
      ASSERT_EQ(MakeMove(m, checker), 1);
      ++gamePly;
      gameLength = gamePly;
      HistoryRecord& r = history[gamePly];
      r.engineScore = 1000 + gamePly;
      r.engineDepth = gamePly % 7;
      r.engineMove = static_cast<uint8_t>(gamePly & 1);
      std::memcpy(displayBoard, board, sizeof displayBoard);
      shownSideToMove = sideToMove;
      states_.push_back(TakeState());
      states_.back().checker = checker;
    }
  }

  // Everything of the engine position except where the next record goes,
  // which depends on how the position was reached.
  static void ExpectPositionAt(const PlyState& expected) {
    PositionSnapshot now = PositionSnapshot::Take();
    now.historyBase = expected.position.historyBase;
    now.historyPly = expected.position.historyPly;
    EXPECT_TRUE(now == expected.position);
    EXPECT_EQ(std::memcmp(displayBoard, expected.display, sizeof displayBoard), 0);
  }

  std::vector<PlyState> states_;
};

TEST_F(SteppingTest, StepsAtTheEndsOfTheGameReturnZeroAndChangeNothing) {
  PlayRandomGame(testing_support::kStartFen, 6, 1);
  ASSERT_EQ(gameLength, 6);
  ponderMove = 77;
  const PlyState end = TakeState();
  EXPECT_EQ(ReplayOne(), 0);
  EXPECT_EQ(gamePly, 6);
  EXPECT_TRUE(PositionSnapshot::Take() == end.position);
  EXPECT_EQ(ponderMove, 77);

  TakeBackAll();
  ASSERT_EQ(gamePly, 0);
  ponderMove = 77;
  const PlyState start = TakeState();
  EXPECT_EQ(TakeBackOne(), 0);
  EXPECT_EQ(gamePly, 0);
  EXPECT_TRUE(PositionSnapshot::Take() == start.position);
  EXPECT_EQ(std::memcmp(displayBoard, start.display, sizeof displayBoard), 0);
  EXPECT_EQ(ponderMove, 77);
}

TEST_F(SteppingTest, TakeBackAllThenReplayAllRoundTripsAndRefreshesRecords) {
  PlayRandomGame(testing_support::kStartFen, 120, 11);
  const int length = gameLength;
  ASSERT_GE(length, 100);
  int captures = 0, checks = 0;
  for (int k = 1; k <= length; ++k) {
    captures += history[k].captured != 0;
    checks += history[k].checker != 0;
  }
  ASSERT_GT(captures, 0);
  ASSERT_GT(checks, 0);  // moves made out of check are in the game

  TakeBackAll();
  EXPECT_EQ(gamePly, 0);
  EXPECT_EQ(gameLength, length);
  EXPECT_EQ(historyPly, 0);
  EXPECT_EQ(historyBase, &history[1]);
  EXPECT_TRUE(PositionSnapshot::Take() == states_[0].position);
  EXPECT_TRUE(DisplayShowsBoard());

  for (int k = 1; k <= length; ++k) {
    HistoryRecord& r = history[k];
    std::strcpy(r.wxfText, "old");
    std::strcpy(r.axfText, "old");
    std::strcpy(r.wxfTextChinese, "old");
    std::strcpy(r.axfTextChinese, "old");
    r.lock = r.key = 0x1234;
    r.checker = -1;
    r.extended = 1;
  }
  ReplayAll();
  EXPECT_EQ(gamePly, length);
  EXPECT_EQ(gameLength, length);
  EXPECT_TRUE(PositionSnapshot::Take() == states_[length].position);
  EXPECT_TRUE(DisplayShowsBoard());
  for (int k = 1; k <= length; ++k) {
    const HistoryRecord& r = history[k];
    SCOPED_TRACE("move " + std::to_string(k));
    EXPECT_EQ(r.lock, states_[k - 1].lock);
    EXPECT_EQ(r.key, states_[k - 1].key);
    EXPECT_EQ(r.checker, states_[k].checker);
    EXPECT_EQ(r.extended, 0u);
    EXPECT_EQ(r.engineScore, 1000 + k);
    EXPECT_EQ(r.engineDepth, k % 7);
    EXPECT_EQ(r.engineMove, k & 1);
    EXPECT_STRNE(r.wxfText, "old");
    EXPECT_STRNE(r.axfText, "old");
    EXPECT_STRNE(r.wxfTextChinese, "old");
    EXPECT_STRNE(r.axfTextChinese, "old");
  }
}

// One step at a time: after each step the position is the one of that game
// ply, the shown board follows it, ponderMove is cleared, and a replayed
// move's texts are those of the notation writer for the moved piece.
TEST_F(SteppingTest, SingleStepsFollowTheGame) {
  PlayRandomGame("2bak4/4a4/n3b1c2/p3p1R1p/2p6/9/P3P3P/2N1C1N2/4A4/2BAK1B2 w", 40, 5);
  const int length = gameLength;
  ASSERT_GE(length, 20);
  for (int k = length; k > 0; --k) {
    ponderMove = 5;
    ASSERT_EQ(TakeBackOne(), 1);
    EXPECT_EQ(gamePly, k - 1);
    EXPECT_EQ(historyPly, 0);
    EXPECT_EQ(historyBase, &history[k]);
    EXPECT_EQ(ponderMove, 0);
    ExpectPositionAt(states_[k - 1]);
  }
  currentOpening = -3;
  for (int k = 1; k <= length; ++k) {
    SCOPED_TRACE("move " + std::to_string(k));
    const int32_t openingBefore = currentOpening;
    ponderMove = 5;
    ASSERT_EQ(ReplayOne(), 1);
    EXPECT_EQ(gamePly, k);
    EXPECT_EQ(ponderMove, 0);
    // The next record to be written is the one after the replayed move.
    EXPECT_EQ(historyBase + historyPly, &history[k + 1]);
    ExpectPositionAt(states_[k]);

    const HistoryRecord& r = history[k];
    const auto piece = static_cast<PieceIndex>(board[MoveTo(r.move)]);
    char expected[16];
    FormatWxfMove(r.move, expected, '.', piece, 0);
    EXPECT_STREQ(r.wxfText, expected);
    FormatWxfMove(r.move, expected, '.', piece, 1);
    EXPECT_STREQ(r.wxfTextChinese, expected);
    FormatWxfMove(r.move, expected, '=', piece, 0);
    EXPECT_STREQ(r.axfText, expected);
    FormatWxfMove(r.move, expected, '=', piece, 1);
    EXPECT_STREQ(r.axfTextChinese, expected);

    const int32_t found = FindOpeningName(displayBoard);
    EXPECT_EQ(currentOpening, found != 0 ? found : openingBefore);
  }
}

// Replays up to the stored move that does not fit, and expects it to stop
// there with the position, the shown board and gamePly of the ply before.
class BrokenReplayTest : public SteppingTest {
 protected:
  void ExpectReplayStopsAt(int k, Move stored, bool refusedByMakeMove) {
    TakeBackAll();
    history[k].move = stored;
    ReplayAll();
    EXPECT_EQ(gamePly, k - 1);
    EXPECT_EQ(gameLength, static_cast<int>(states_.size()) - 1);
    ExpectPositionAt(states_[k - 1]);
    EXPECT_TRUE(DisplayShowsBoard());
    if (refusedByMakeMove) {
      EXPECT_EQ(historyPly, 0);
      EXPECT_EQ(historyBase, &history[k]);
    }
    EXPECT_EQ(ReplayOne(), 0);
    EXPECT_EQ(gamePly, k - 1);
  }
};

TEST_F(BrokenReplayTest, AMoveFromAnEmptySquareStopsTheReplay) {
  PlayRandomGame(testing_support::kStartFen, 10, 3);
  ASSERT_EQ(gameLength, 10);
  // File 4, rank 4 is empty before the sixth move.
  const Square empty = MakeSquare(4, 4);
  ASSERT_EQ(states_[5].position.board[empty], 0);
  ExpectReplayStopsAt(6, MakeMoveCode(empty, MakeSquare(4, 5)), false);
}

TEST_F(BrokenReplayTest, AMoveThatMakeMoveRefusesStopsTheReplay) {
  // Red's chariot on e2 shields the red king from black's chariot on e4:
  // a stored move taking it off the file leaves the king attacked.
  PlayRandomGame("3k5/9/9/9/9/4r4/9/4R4/9/4K4 w", 4, 9);
  ASSERT_EQ(gameLength, 4);
  ExpectReplayStopsAt(1, testing_support::MoveFromText("e2d2"), true);
}

TEST_F(BrokenReplayTest, AStoredMoveOfTheWrongSideOrOntoOwnPieceStopsTheReplay) {
  PlayRandomGame(testing_support::kStartFen, 4, 2);
  ASSERT_EQ(gameLength, 4);
  // Red is to move at the third ply. Moving a black piece, or capturing
  // one's own piece or the enemy king, would corrupt the position.
  const uint32_t* pieces = states_[2].position.posPiece;
  const Square empty = MakeSquare(3, 4);  // no check from there
  ASSERT_EQ(states_[2].position.board[empty], 0);
  ExpectReplayStopsAt(3, MakeMoveCode(pieces[26], empty), false);
  ExpectReplayStopsAt(3, MakeMoveCode(pieces[8], pieces[12]), false);
  ExpectReplayStopsAt(3, MakeMoveCode(pieces[10], pieces[17]), false);
  // A square off the board.
  ExpectReplayStopsAt(3, MakeMoveCode(pieces[10], 300), false);
}

}  // namespace
