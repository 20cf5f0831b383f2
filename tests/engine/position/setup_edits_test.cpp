// Set-up edits (colour swap, left-right mirror, piece removal), the list of
// captured pieces and the board consistency test with its log lines.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/position/position.h"
#include "tests/support/test_position.h"

namespace {

using testing_support::LogCapture;
using testing_support::SetUpFen;

std::string BoardFen(const int8_t* cells) {
  char text[kFenBufferSize];
  WriteFen(cells, text, 0, 0, 1);
  return text;
}

// The parts of the position the set-up edits keep in step with each other:
// board, typeBoard, displayBoard and posPiece agree, and the line masks
// match the pieces.
void ExpectBoardsAgree() {
  for (uint32_t i = 1; i <= 32; ++i) {
    const uint32_t s = posPiece[i];
    if (s == 0) continue;
    ASSERT_LT(s, static_cast<uint32_t>(kBoardSize));
    EXPECT_EQ(board[s], static_cast<int8_t>(i)) << "piece " << i;
  }
  for (int s = 0; s < kBoardSize; ++s) {
    const int v = board[s];
    EXPECT_EQ(typeBoard[s], v == 0 ? 0u : colouredTypeOf[v]) << "square " << s;
    if (v != 0) {
      EXPECT_EQ(posPiece[v], static_cast<uint32_t>(s));
    }
  }
  EXPECT_EQ(std::memcmp(board, displayBoard, sizeof board), 0);
}

void ExpectMasksMatchPieces() {
  uint16_t ranks[10] = {}, files[9] = {};
  for (uint32_t i = 1; i <= 32; ++i) {
    if (posPiece[i] == 0) continue;
    ranks[RankOf(posPiece[i])] |= static_cast<uint16_t>(1u << FileOf(posPiece[i]));
    files[FileOf(posPiece[i])] |= static_cast<uint16_t>(1u << RankOf(posPiece[i]));
  }
  EXPECT_EQ(std::memcmp(ranks, rankOccupancy, sizeof ranks), 0);
  EXPECT_EQ(std::memcmp(files, fileOccupancy, sizeof files), 0);
}

TEST(CapturedPieces, ListsTheHighestCapturedIndexOfEachKind) {
  uint32_t out[14];
  SetUpFen(testing_support::kStartFen);
  ListCapturedPieces(out);
  for (uint32_t w : out) EXPECT_EQ(w, 0u);

  // Red keeps one knight (index 6) and no pawns; black keeps one chariot
  // (24), one cannon (26) and two pawns (28, 29).
  SetUpFen("r3k4/9/7c1/p1p6/9/9/9/9/9/RH1AKAER1 w");
  std::memset(out, 0xFF, sizeof out);
  ListCapturedPieces(out);
  const uint32_t expected[14] = {0, 16, 0, 5, 7, 11, 0, 0, 32, 19, 21, 23, 27, 25};
  for (int i = 0; i < 14; ++i) EXPECT_EQ(out[i], expected[i]) << "word " << i;
}

TEST(SwapColours, ExchangesTheSidesAndTurnsTheBoard) {
  SetUpFen("3k5/4a4/9/9/2C6/9/9/9/4A4/4K3R w");
  const auto before = testing_support::PositionSnapshot::Take();
  {
    LogCapture log;
    SwapColours();
    EXPECT_TRUE(log.lines().empty());
  }
  EXPECT_EQ(sideToMove, kBlack);
  EXPECT_EQ(BoardFen(board), "4k3r/4a4/9/9/9/2c6/9/9/4A4/3K5");
  ExpectBoardsAgree();
  ExpectMasksMatchPieces();
  // The old black king (17) is now the red king (1) on the mirrored rank.
  EXPECT_EQ(posPiece[1], MakeSquare(5, 9));
  EXPECT_EQ(posPiece[17], kBlackKingHome);

  SwapColours();
  const auto after = testing_support::PositionSnapshot::Take();
  EXPECT_EQ(std::memcmp(before.board, after.board, sizeof before.board), 0);
  EXPECT_EQ(std::memcmp(before.posPiece, after.posPiece, sizeof before.posPiece), 0);
  EXPECT_EQ(std::memcmp(before.typeBoard, after.typeBoard, sizeof before.typeBoard), 0);
  EXPECT_EQ(after.sideToMove, before.sideToMove);
}

TEST(SwapColours, TwiceRestoresTheStartPosition) {
  SetUpFen(testing_support::kStartFen);
  const auto before = testing_support::PositionSnapshot::Take();
  SwapColours();
  // The start position is its own colour swap up to the piece indices.
  EXPECT_EQ(BoardFen(board), BoardFen(before.board));
  SwapColours();
  EXPECT_TRUE(testing_support::PositionSnapshot::Take() == before);
}

TEST(MirrorPositionLeftRight, MirrorsEveryFileAndKeepsCapturedPiecesOff) {
  SetUpFen("2bak4/4a4/4b4/6C2/p8/9/9/4K4/9/3A1R3 w");
  char mirroredText[kFenBufferSize];
  WriteFen(board, mirroredText, 0, 1, 1);
  const auto before = testing_support::PositionSnapshot::Take();
  {
    LogCapture log;
    MirrorPositionLeftRight();
    EXPECT_TRUE(log.lines().empty());
  }
  EXPECT_EQ(BoardFen(board), mirroredText);
  EXPECT_EQ(sideToMove, before.sideToMove);
  ExpectBoardsAgree();
  for (uint32_t i = 1; i <= 32; ++i)
    EXPECT_EQ(posPiece[i], before.posPiece[i] == 0 ? 0u : mirrorSquare[before.posPiece[i]]);

  MirrorPositionLeftRight();
  EXPECT_EQ(std::memcmp(before.board, board, sizeof board), 0);
  EXPECT_EQ(std::memcmp(before.posPiece, posPiece, sizeof posPiece), 0);
}

TEST(ValidateBoard, AcceptsRealPositionsSilently) {
  LogCapture log;
  for (const char* fen : {testing_support::kStartFen, "3k5/9/9/9/9/9/9/9/9/5K3 w",
                          "5k3/3P5/9/9/9/9/9/9/9/3K5 b"}) {
    SetUpFen(fen);
    EXPECT_EQ(ValidateBoard(), 1) << fen;
  }
  EXPECT_TRUE(log.lines().empty());
}

TEST(ValidateBoard, ReportsABadPieceSquareBeforeABadCell) {
  SetUpFen(testing_support::kStartFen);
  const uint32_t elephant = posPiece[5];
  // Elephant 5 moved onto a frame square, and a frame cell holding 40.
  posPiece[5] = 33;
  board[20] = 40;
  {
    LogCapture log;
    EXPECT_EQ(ValidateBoard(), 0);
    EXPECT_EQ(log.lines(), (std::vector<std::string>{"posPiece[5]==33, board[33]==0", "\r\n"}));
  }
  // A piece whose square holds another index.
  posPiece[5] = elephant;
  const uint32_t knight = posPiece[7];
  posPiece[7] = MakeSquare(4, 9);
  {
    LogCapture log;
    EXPECT_EQ(ValidateBoard(), 0);
    EXPECT_EQ(log.lines(), (std::vector<std::string>{"posPiece[7]==107, board[107]==1", "\r\n"}));
  }
  posPiece[7] = knight;
  {
    LogCapture log;
    EXPECT_EQ(ValidateBoard(), 0);
    EXPECT_EQ(log.lines(), (std::vector<std::string>{"board[20]==40", "\r\n"}));
  }
  board[20] = -2;
  {
    LogCapture log;
    EXPECT_EQ(ValidateBoard(), 0);
    EXPECT_EQ(log.lines(), (std::vector<std::string>{"board[20]==-2", "\r\n"}));
  }
  board[20] = 0;
  posPiece[9] = 4000;
  {
    LogCapture log;
    EXPECT_EQ(ValidateBoard(), 0);
    EXPECT_EQ(log.lines(), (std::vector<std::string>{"Bad board setup\r\n"}));
  }
  SetUpFen(testing_support::kStartFen);
}

TEST(ValidateBoard, NeedsOneKingPerSideInsideItsPalace) {
  struct Case {
    const char* fen;
    const char* line;
  };
  const Case cases[] = {
      {"9/9/9/9/9/9/9/9/9/4K4 w", "Black king missing\r\n"},
      {"4k4/9/9/9/9/9/9/9/9/9 w", "Red king missing\r\n"},
      {"4k4/9/9/9/9/9/4K4/9/9/9 w", "Red king outside its palace\r\n"},
      {"4k4/9/9/9/9/9/9/9/9/2K6 w", "Red king outside its palace\r\n"},
      {"9/9/9/4k4/9/9/9/9/9/4K4 w", "Black king outside its palace\r\n"},
      {"4K4/9/9/9/9/9/9/9/9/4k4 w", "Red king outside its palace\r\n"},
  };
  for (const Case& c : cases) {
    SetUpFen(c.fen);
    LogCapture log;
    EXPECT_EQ(ValidateBoard(), 0) << c.fen;
    EXPECT_EQ(log.lines(), std::vector<std::string>{c.line}) << c.fen;
  }
}

TEST(SetupEdits, InvalidBoardIsLoggedAfterAnEdit) {
  SetUpFen("4k4/9/9/9/9/9/9/9/9/9 w");  // no red king
  {
    LogCapture log;
    SwapColours();
    EXPECT_EQ(log.lines(), (std::vector<std::string>{"Black king missing\r\n",
                                                      "***** Invalid Board !\r\n"}));
  }
  {
    LogCapture log;
    MirrorPositionLeftRight();
    EXPECT_EQ(log.lines(), (std::vector<std::string>{"Black king missing\r\n",
                                                      "***** Invalid Board !\r\n"}));
  }
  SetUpFen(testing_support::kStartFen);
}

TEST(SetupEdits, RemovePieceClearsOnlyItsSquareAndSlot) {
  SetUpFen(testing_support::kStartFen);
  const auto before = testing_support::PositionSnapshot::Take();
  const Square s = posPiece[10];
  RemovePiece(10);
  EXPECT_EQ(board[s], 0);
  EXPECT_EQ(posPiece[10], 0u);
  auto after = testing_support::PositionSnapshot::Take();
  after.board[s] = before.board[s];
  after.posPiece[10] = before.posPiece[10];
  EXPECT_TRUE(after == before) << "nothing else changes, typeBoard and masks included";
  // Removing an absent piece or an index outside 1..32 changes nothing.
  const auto removed = testing_support::PositionSnapshot::Take();
  RemovePiece(10);
  RemovePiece(0);
  RemovePiece(33);
  RemovePiece(0xFFFFFFFFu);
  EXPECT_TRUE(testing_support::PositionSnapshot::Take() == removed);
  SetUpFen(testing_support::kStartFen);
}

}  // namespace
