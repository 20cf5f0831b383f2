// The legal-move test: mates, stalemates and only-moves for both colours,
// agreement with "some generated move is accepted by MakeMove" on positions
// from random play, and an untouched position afterwards.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine/position/position.h"
#include "tests/support/board_builder.h"
#include "tests/support/move_lists.h"
#include "tests/support/random_play.h"
#include "tests/support/test_position.h"

namespace {

using testing_support::FenOf;
using testing_support::M;
using testing_support::Mirrored;
using testing_support::Placed;
using testing_support::PositionSnapshot;
using testing_support::RandomMovePreferringCaptures;

// FEN of the pieces; with `mirrored` the colours are exchanged, the ranks
// flipped and the other side is to move, so that the same situation is
// tested for the other side.
std::string Fen(const std::vector<Placed>& pieces, char side, bool mirrored) {
  if (!mirrored) return FenOf(pieces, side);
  return FenOf(Mirrored(pieces), side == 'w' ? 'b' : 'w');
}

// HasLegalMove on the position, checking that it leaves everything as it was
// and that it agrees with the legal moves found through MakeMove.
int HasLegalMoveChecked() {
  const auto before = PositionSnapshot::Take();
  const int result = HasLegalMove();
  EXPECT_TRUE(PositionSnapshot::Take() == before) << testing_support::CurrentFen();
  EXPECT_EQ(result, testing_support::LegalMoves().empty() ? 0 : 1) << testing_support::CurrentFen();
  return result;
}

TEST(HasLegalMove, StartPosition) {
  testing_support::SetUpFen(testing_support::kStartFen);
  EXPECT_EQ(HasLegalMoveChecked(), 1);
  testing_support::SetUpFen("rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR b");
  EXPECT_EQ(HasLegalMoveChecked(), 1);
}

TEST(HasLegalMove, MateAndStalemateForBothSides) {
  for (bool mirrored : {false, true}) {
    SCOPED_TRACE(mirrored ? "red to move" : "black to move");
    // Black king (3,0) checked along rank 0, rank 1 covered too.
    testing_support::SetUpFen(Fen({{'K', 4, 9}, {'k', 3, 0}, {'R', 8, 0}, {'R', 8, 1}}, 'b', mirrored));
    EXPECT_NE(FindChecker(sideToMove), 0u);
    EXPECT_EQ(HasLegalMoveChecked(), 0);

    // Stalemate: not in check, rank 1 covered and (4,0) faces the other king.
    testing_support::SetUpFen(Fen({{'K', 4, 9}, {'k', 3, 0}, {'R', 8, 1}}, 'b', mirrored));
    EXPECT_EQ(FindChecker(sideToMove), 0u);
    EXPECT_EQ(HasLegalMoveChecked(), 0);

    // One step less covered: the king has a move again.
    testing_support::SetUpFen(Fen({{'K', 5, 9}, {'k', 3, 0}, {'R', 8, 1}}, 'b', mirrored));
    EXPECT_EQ(HasLegalMoveChecked(), 1);
  }
}

TEST(HasLegalMove, OnlyMoveIsACapture) {
  for (bool mirrored : {false, true}) {
    SCOPED_TRACE(mirrored ? "red to move" : "black to move");
    // The chariot on (3,2) checks the king on (3,0); (4,0) faces the other
    // king; the knight on (1,1) can take the chariot.
    const std::vector<Placed> mate = {{'K', 4, 9}, {'k', 3, 0}, {'R', 3, 2}};
    std::vector<Placed> rescue = mate;
    rescue.push_back({'n', 1, 1});
    testing_support::SetUpFen(Fen(rescue, 'b', mirrored));
    EXPECT_EQ(HasLegalMoveChecked(), 1);
    const auto legal = testing_support::LegalMoves();
    ASSERT_EQ(legal.size(), 1u);
    EXPECT_EQ(legal[0], mirrored ? M(1, 8, 3, 7) : M(1, 1, 3, 2));

    testing_support::SetUpFen(Fen(mate, 'b', mirrored));
    EXPECT_EQ(HasLegalMoveChecked(), 0);
  }
}

TEST(HasLegalMove, OnlyMoveIsAPawnStepAfterTheRiver) {
  for (bool mirrored : {false, true}) {
    SCOPED_TRACE(mirrored ? "red to move" : "black to move");
    // The pawn on (3,5) is pinned to its king on the file: its side steps
    // are refused, its forward step stays on the file.
    testing_support::SetUpFen(Fen({{'K', 4, 9}, {'k', 3, 0}, {'R', 8, 1}, {'R', 3, 8}, {'p', 3, 5}}, 'b', mirrored));
    EXPECT_EQ(HasLegalMoveChecked(), 1);
    const auto legal = testing_support::LegalMoves();
    ASSERT_EQ(legal.size(), 1u);
    EXPECT_EQ(legal[0], mirrored ? M(3, 4, 3, 3) : M(3, 5, 3, 6));
  }
}

TEST(HasLegalMove, PieceHeldBetweenTheKings) {
  for (bool mirrored : {false, true}) {
    SCOPED_TRACE(mirrored ? "red to move" : "black to move");
    // The adviser on (4,1) is the only piece between the kings, so each of
    // its four moves is refused; the knights cover the king's side steps.
    std::vector<Placed> pieces = {{'K', 4, 9}, {'k', 4, 0}, {'a', 4, 1}, {'N', 2, 2}, {'N', 6, 2}};
    testing_support::SetUpFen(Fen(pieces, 'b', mirrored));
    EXPECT_EQ(FindChecker(sideToMove), 0u);
    EXPECT_EQ(HasLegalMoveChecked(), 0);
    // Without the knight on (6,2) the king may step to (5,0).
    pieces.pop_back();
    testing_support::SetUpFen(Fen(pieces, 'b', mirrored));
    EXPECT_EQ(HasLegalMoveChecked(), 1);
  }
}

TEST(HasLegalMove, AgreesWithMakeMoveOnCrampedPositions) {
  // A stalemated black king (rank 1 covered, (4,0) facing the red king) with
  // one or two more black pieces and a few red ones at random: the answer
  // often hangs on a single move of a single piece.
  std::mt19937 rng(99);
  const char kBlackKinds[] = "pppnrcba";
  const char kRedKinds[] = "PPNRC";
  int tried = 0, singleMove = 0, noMove = 0;
  for (int sample = 0; sample < 2500 && !HasFailure(); ++sample) {
    std::vector<Placed> pieces = {{'k', 3, 0}, {'K', 4, 9}, {'R', 8, 1}};
    auto occupied = [&](int f, int r) {
      for (const auto& p : pieces)
        if (p.file == f && p.rank == r) return true;
      return false;
    };
    auto place = [&](char kind) {
      for (;;) {
        int f = static_cast<int>(rng() % 9), r = static_cast<int>(rng() % 10);
        if (kind == 'b') {
          static const int kPoints[7][2] = {{0, 2}, {2, 0}, {2, 4}, {4, 2}, {6, 0}, {6, 4}, {8, 2}};
          const auto& pt = kPoints[rng() % 7];
          f = pt[0], r = pt[1];
        } else if (kind == 'a') {
          static const int kPoints[5][2] = {{3, 0}, {5, 0}, {4, 1}, {3, 2}, {5, 2}};
          const auto& pt = kPoints[rng() % 5];
          f = pt[0], r = pt[1];
        } else if (kind == 'p' && r < 3) {
          continue;  // black pawns stand on rank 3 or beyond
        }
        if (!occupied(f, r)) {
          pieces.push_back({kind, f, r});
          return;
        }
      }
    };
    const int blackCount = 1 + static_cast<int>(rng() % 2), redCount = static_cast<int>(rng() % 5);
    for (int i = 0; i < blackCount; ++i) place(kBlackKinds[rng() % 8]);
    for (int i = 0; i < redCount; ++i) place(kRedKinds[rng() % 5]);
    testing_support::SetUpFen(Fen(pieces, 'b', false));
    if (FindChecker(kRed) != 0) continue;  // black could take the red king
    ++tried;
    const size_t legal = testing_support::LegalMoves().size();
    singleMove += legal == 1;
    noMove += legal == 0;
    HasLegalMoveChecked();
  }
  EXPECT_GT(tried, 1500);
  EXPECT_GT(singleMove, 100);
  EXPECT_GT(noMove, 100);
}

TEST(HasLegalMove, AgreesWithMakeMoveOnPositionsFromRandomPlay) {
  std::mt19937 rng(2024);
  int positions = 0;
  for (int game = 0; game < 60 && !HasFailure(); ++game) {
    testing_support::SetUpFen(testing_support::kStartFen);
    redIronPawn = game % 3 == 1;
    blackIronPawn = game % 3 == 2;
    for (int ply = 0; ply < 120 && !HasFailure(); ++ply, ++positions) {
      if (HasLegalMoveChecked() == 0) break;
      const Move m = RandomMovePreferringCaptures(testing_support::LegalMoves(), rng, 2);
      ASSERT_EQ(testing_support::PlayMove(m), 1);
    }
  }
  redIronPawn = blackIronPawn = 0;
  EXPECT_GT(positions, 2000);
}

}  // namespace
