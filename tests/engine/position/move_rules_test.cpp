// Piece movement rules of IsValidMove (engine position, line tables) and
// CheckUserMove (any board, diagnostics), against each other and against the
// full move generator.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "engine/position/position.h"
#include "tests/support/move_lists.h"
#include "tests/support/test_position.h"

namespace {

using testing_support::GeneratedMoves;
using testing_support::LogCapture;
using testing_support::M;
using testing_support::SetUpFen;


// Moves of the side to move in one position, with the answer both routines
// must give.
struct RuleCase {
  const char* fen;
  std::vector<std::pair<const char*, int>> moves;
};

TEST(MoveRules, PieceRulesOnBothRoutines) {
  const RuleCase cases[] = {
      // Red pawns: g3, e4 at home, c5 across the river, a6 on the edge.
      {"4k4/9/9/P8/2P6/4P4/6P2/9/9/4K4 w",
       {{"g3g4", 1}, {"g3h3", 0}, {"g3f3", 0}, {"g3g2", 0}, {"e4e5", 1}, {"e4f4", 0},
        {"c5c6", 1}, {"c5d5", 1}, {"c5b5", 1}, {"c5c4", 0}, {"c5c7", 0}, {"a6b6", 1}}},
      // Black pawns: c5 at home, g4 across the river.
      {"4k4/9/9/9/2p6/6p2/9/9/9/4K4 b",
       {{"c5c4", 1}, {"c5d5", 0}, {"c5c6", 0}, {"g4g3", 1}, {"g4h4", 1}, {"g4f4", 1},
        {"g4g5", 0}}},
      // Elephant g4 (eye h3 taken by a black pawn), adviser f2, king f0.
      {"4k4/9/9/9/9/6E2/7p1/5A3/9/5K3 w",
       {{"g4e2", 1}, {"g4i2", 0}, {"g4e6", 0}, {"g4i6", 0}, {"g4f3", 0}, {"f2e1", 1},
        {"f2g3", 0}, {"f2g1", 0}, {"f2f1", 0}, {"f0f1", 1}, {"f0e0", 1}, {"f0g0", 0},
        {"f0e1", 0}, {"f0f2", 0}}},
      {"4k4/4a4/9/9/6e2/9/9/9/9/3K5 b",
       {{"g5i7", 1}, {"g5e3", 0}, {"e8d7", 1}, {"e8f9", 1}, {"e9f9", 1}}},
      {"3k5/9/9/9/9/9/9/9/9/4K4 b", {{"d9c9", 0}}},
      // Knight e4 with its legs e5 and d4 taken, an enemy on f2, own pawn on d2.
      {"4k4/9/9/9/4p4/3pN4/9/3P1p3/9/4K4 w",
       {{"e4g5", 1}, {"e4g3", 1}, {"e4f2", 1}, {"e4d2", 0}, {"e4f6", 0}, {"e4d6", 0},
        {"e4c5", 0}, {"e4c3", 0}, {"e4d3", 0}, {"e4c2", 0}}},
      // Cannon h2 below black pieces on h4, h6, h7; chariot b0 below a pawn
      // on b3, beside its own king on e0.
      {"4k4/9/7n1/7p1/9/7p1/1p7/7C1/9/1R2K4 w",
       {{"h2h3", 1}, {"h2h4", 0}, {"h2h5", 0}, {"h2h6", 1}, {"h2h7", 0}, {"h2a2", 1},
        {"h2g3", 0}, {"b0b2", 1}, {"b0b3", 1}, {"b0b4", 0}, {"b0d0", 1}, {"b0e0", 0},
        {"b0f0", 0}, {"b0c1", 0}}},
      // Ownership, empty from-square, from = to.
      {testing_support::kStartFen,
       {{"i0i2", 1}, {"i0h0", 0}, {"i9i7", 0}, {"i4i5", 0}, {"i0i0", 0}}},
      // The king may be captured as far as these rules know.
      {"R3k4/9/9/9/9/9/9/9/9/4K4 w", {{"a9e9", 1}}},
  };
  for (const RuleCase& c : cases) {
    SetUpFen(c.fen);
    for (const auto& [text, expected] : c.moves) {
      const Move m = ParseCoordMove(text);
      ASSERT_NE(m, 0u) << text;
      EXPECT_EQ(IsValidMove(m), expected) << c.fen << " " << text << " IsValidMove";
      EXPECT_EQ(CheckUserMove(m, board, sideToMove, 0), expected)
          << c.fen << " " << text << " CheckUserMove";
    }
  }
  EXPECT_EQ(IsValidMove(0), 0);
  EXPECT_EQ(CheckUserMove(0, board, sideToMove, 0), 0);
}

TEST(MoveRules, SquaresOutsideTheBoardAreRefusedWithoutIndexing) {
  SetUpFen("4k4/9/9/9/9/9/9/9/9/4K3R w");
  const Square chariot = MakeSquare(0, 9);
  // Rank 10 (the frame after rank 9), file 9, file -1, and numbers beyond
  // the 208-cell board.
  const Square outside[] = {chariot + 1,         MakeSquare(9, 9), MakeSquare(-1, 9),
                            MakeSquare(0, -1),   0,                33,
                            kBoardSize,          255,              0x1234,
                            0xFFFF};
  for (Square s : outside) {
    EXPECT_EQ(IsValidMove(MakeMoveCode(chariot, s)), 0) << "to " << s;
    EXPECT_EQ(IsValidMove(MakeMoveCode(s, chariot)), 0) << "from " << s;
    EXPECT_EQ(CheckUserMove(MakeMoveCode(chariot, s), board, 0, 0), 0) << "to " << s;
    EXPECT_EQ(CheckUserMove(MakeMoveCode(s, chariot), board, 0, 0), 0) << "from " << s;
  }
  EXPECT_EQ(IsValidMove(0xFFFFFFFFu), 0);
  EXPECT_EQ(CheckUserMove(0xFFFFFFFFu, board, 0, 0), 0);
}

TEST(MoveRules, CheckUserMoveRefusesAfterTwelveHundredGameMoves) {
  SetUpFen(testing_support::kStartFen);
  const Move m = M(0, 9, 0, 8);
  gamePly = 1200;
  EXPECT_EQ(CheckUserMove(m, board, 0, 0), 1);
  gamePly = 1201;
  EXPECT_EQ(CheckUserMove(m, board, 0, 0), 0);
  EXPECT_EQ(IsValidMove(m), 1) << "the game length concerns only the user's moves";
  gamePly = 0;
}

TEST(MoveRules, CheckUserMoveLogsOnlyTheWrongColour) {
  SetUpFen(testing_support::kStartFen);
  const Move blackPawn = M(0, 3, 0, 4);
  const Move redPawn = M(0, 6, 0, 5);
  const Move redOwnCapture = M(0, 9, 1, 9);
  {
    LogCapture log;
    EXPECT_EQ(CheckUserMove(blackPawn, board, 0, 1), 0);
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_EQ(log.lines()[0], "Red side cannot move black pieces !\r\n");
  }
  {
    LogCapture log;
    EXPECT_EQ(CheckUserMove(redPawn, board, 1, 1), 0);
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_EQ(log.lines()[0], "Black side cannot move Red pieces !\r\n");
  }
  {
    LogCapture log;
    EXPECT_EQ(CheckUserMove(blackPawn, board, 0, 0), 0);
    EXPECT_EQ(CheckUserMove(redPawn, board, 1, 0), 0);
    EXPECT_EQ(CheckUserMove(redOwnCapture, board, 0, 1), 0);
    EXPECT_EQ(CheckUserMove(M(0, 0, 1, 0), board, 1, 1), 0);
    EXPECT_EQ(CheckUserMove(M(0, 5, 0, 4), board, 0, 1), 0);  // empty from-square
    EXPECT_EQ(CheckUserMove(blackPawn, board, 1, 1), 1);
    EXPECT_EQ(CheckUserMove(redPawn, board, 0, 1), 1);
    for (Move m : {blackPawn, redPawn, redOwnCapture}) IsValidMove(m);
    EXPECT_TRUE(log.lines().empty());
  }
}

TEST(MoveRules, CheckUserMoveWorksOnTheBoardItIsGiven) {
  SetUpFen(testing_support::kStartFen);
  int8_t other[kBoardSize];
  std::memcpy(other, board, sizeof other);
  // Block the leg of the knight on (1,9) towards (2,7) on the copy only.
  other[MakeSquare(1, 8)] = 12;
  const Move knight = M(1, 9, 2, 7);
  EXPECT_EQ(CheckUserMove(knight, board, 0, 0), 1);
  EXPECT_EQ(CheckUserMove(knight, other, 0, 0), 0);
  // The side is the caller's, not sideToMove.
  EXPECT_EQ(sideToMove, 0u);
  EXPECT_EQ(CheckUserMove(M(1, 0, 2, 2), board, 1, 0), 1);
}

// Where a piece may stand in a game: kings in their palaces, advisers on the
// five diagonal palace points, elephants on their own seven points.
bool MayStand(PieceIndex i, Square s) {
  const bool red = i <= 16;
  const auto& palace = red ? redPalace : blackPalace;
  switch (pieceTypeOf[i]) {
    case kKing: return palace[s] != 0;
    case kAdviser: return palace[s] != 0 && (FileOf(s) == 4) == (RankOf(s) == (red ? 8 : 1));
    case kElephant: return (red ? redElephantSquare : blackElephantSquare)[s] != 0;
    default: return true;
  }
}

// Random position: the kings and about two thirds of the other pieces on
// random free squares; shaped keeps every piece where it may stand.
std::string RandomFen(std::mt19937& rng, bool shaped, uint32_t side) {
  int8_t cells[kBoardSize] = {};
  for (PieceIndex i = 1; i <= 32; ++i) {
    if (pieceTypeOf[i] != kKing && rng() % 3 == 0) continue;
    for (int tries = 0; tries < 500; ++tries) {
      const Square s = MakeSquare(static_cast<int>(rng() % 9), static_cast<int>(rng() % 10));
      if (cells[s] == 0 && (!shaped || MayStand(i, s))) {
        cells[s] = static_cast<int8_t>(i);
        break;
      }
    }
  }
  sideToMove = side;
  char text[kFenBufferSize];
  WriteFen(cells, text, 1, 0, 1);
  return text;
}

TEST(MoveRules, IsValidMoveAndCheckUserMoveAgreeOnEveryPair) {
  std::mt19937 rng(20240611);
  // Square numbers of the whole board plus some far outside it.
  std::vector<Square> squares;
  for (Square s = 0; s < kBoardSize; ++s) squares.push_back(s);
  for (Square s : {208u, 255u, 4096u, 0xFFFFu}) squares.push_back(s);
  int valid = 0;
  for (int n = 0; n < 300; ++n) {
    const std::string fen = n == 0 ? testing_support::kStartFen : RandomFen(rng, n % 2, n % 2);
    SetUpFen(fen);
    for (uint32_t side = 0; side < 2; ++side) {
      sideToMove = side;
      for (Square from : squares) {
        for (Square to : squares) {
          const Move m = MakeMoveCode(from, to);
          const int a = IsValidMove(m);
          const int b = CheckUserMove(m, board, side, 0);
          valid += a;
          if (a != b) {
            ADD_FAILURE() << fen << " side " << side << ": " << from << "->" << to
                          << " IsValidMove " << a << " CheckUserMove " << b;
            return;
          }
        }
      }
    }
  }
  EXPECT_GT(valid, 10000) << "the positions exercised too few valid moves";
}

// The moves IsValidMove accepts are exactly the moves GenerateAllMoves lists.
// Nothing has to be left out on either side: both accept captures of the
// enemy king (the generator scores them 20000), neither knows the flying
// capture of one king by the other along an open file, and neither tests
// checks or facing kings. The positions are shaped because the generator
// moves an adviser that is not on its palace centre straight to the centre,
// which is a diagonal step only from the four palace corners.
TEST(MoveRules, IsValidMoveAcceptsExactlyTheGeneratedMoves) {
  std::mt19937 rng(77);
  for (int n = 0; n < 400; ++n) {
    const uint32_t side = n % 2;
    const std::string start = testing_support::kStartFen;
    const std::string fen = n < 2 ? start.substr(0, start.find(' ')) + (side ? " b" : " w")
                                  : RandomFen(rng, true, side);
    ASSERT_EQ(SetUpFen(fen), side);
    const std::vector<Move> generated = testing_support::Sorted(GeneratedMoves(GenerateAllMoves));
    EXPECT_EQ(std::adjacent_find(generated.begin(), generated.end()), generated.end())
        << fen << ": a move generated twice";

    std::vector<Move> accepted;
    for (Square from = kFirstSquare; from <= kLastSquare; ++from)
      for (Square to = kFirstSquare; to <= kLastSquare; ++to)
        if (IsValidMove(MakeMoveCode(from, to))) accepted.push_back(MakeMoveCode(from, to));
    ASSERT_EQ(accepted, generated) << fen;
    if (n < 2) {
      EXPECT_EQ(accepted.size(), 44u) << "start position, side " << side;
    }
  }
}

}  // namespace
