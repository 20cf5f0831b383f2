// Winning chances of a side with few attacking pieces, and the squares from
// which a piece bears on another along a line.
#include <gtest/gtest.h>

#include "engine/eval/evaluate.h"
#include "tests/engine/eval/board_builder.h"
#include "tests/support/test_position.h"

namespace {

using eval_testing::At;
using eval_testing::Fen;
using testing_support::SetUpFen;

int32_t RedCanWinIn(std::initializer_list<At> pieces) {
  SetUpFen(Fen(pieces));
  return RedCanWin();
}
int32_t BlackCanWinIn(std::initializer_list<At> pieces) {
  SetUpFen(Fen(pieces, 'b'));
  return BlackCanWin();
}

TEST(CanWinTest, LoneChariotAgainstChariotInFrontOfKingAtHome) {
  // Black chariot one rank in front of its king: held while the king is on
  // rank 0 or 1, not once it has stepped up to rank 2.
  EXPECT_EQ(RedCanWinIn({{'K', 3, 9}, {'R', 0, 5}, {'k', 4, 1}, {'r', 4, 2}}), 0);
  EXPECT_EQ(RedCanWinIn({{'K', 3, 9}, {'R', 0, 5}, {'k', 4, 2}, {'r', 4, 3}}), 1);
  // Further away on the file still holds; behind the king it does not.
  EXPECT_EQ(RedCanWinIn({{'K', 3, 9}, {'R', 0, 5}, {'k', 4, 0}, {'r', 4, 6}}), 0);
  EXPECT_EQ(RedCanWinIn({{'K', 3, 9}, {'R', 0, 5}, {'k', 4, 1}, {'r', 4, 0}}), 1);
  // The second black chariot is tested too.
  EXPECT_EQ(RedCanWinIn({{'K', 3, 9}, {'R', 0, 5}, {'k', 4, 1}, {'r', 0, 0}, {'r', 4, 3}}), 0);
  // Without a black chariot, and against a full defence.
  EXPECT_EQ(RedCanWinIn({{'K', 3, 9}, {'R', 0, 5}, {'k', 4, 1}, {'n', 4, 2}}), 1);
  EXPECT_EQ(RedCanWinIn({{'K', 3, 9}, {'R', 0, 5}, {'k', 4, 0}, {'a', 3, 0}, {'a', 5, 0},
                         {'b', 2, 0}, {'b', 6, 0}}),
            0);
  // Black's twin reads the ranks from red's side.
  EXPECT_EQ(BlackCanWinIn({{'k', 3, 0}, {'r', 0, 4}, {'K', 4, 8}, {'R', 4, 7}}), 0);
  EXPECT_EQ(BlackCanWinIn({{'k', 3, 0}, {'r', 0, 4}, {'K', 4, 7}, {'R', 4, 6}}), 1);
  EXPECT_EQ(BlackCanWinIn({{'k', 3, 0}, {'r', 0, 4}, {'K', 4, 8}, {'R', 4, 9}}), 1);
}

TEST(CanWinTest, LoneCannon) {
  // Two pawns against a bare king win.
  EXPECT_EQ(RedCanWinIn({{'K', 4, 9}, {'C', 1, 7}, {'P', 0, 6}, {'P', 2, 6}, {'k', 4, 0}}), 1);
  // Without pawns and without advisers nothing wins, whatever black has.
  EXPECT_EQ(RedCanWinIn({{'K', 4, 9}, {'C', 1, 7}, {'k', 4, 0}}), 0);
  EXPECT_EQ(RedCanWinIn({{'K', 4, 9}, {'C', 1, 7}, {'k', 4, 0}, {'p', 0, 6}}), 0);
  // An adviser lets the cannon win against a thin defence ...
  EXPECT_EQ(RedCanWinIn({{'K', 4, 9}, {'A', 4, 8}, {'C', 1, 7}, {'k', 4, 0}, {'a', 4, 1}}), 1);
  // ... but not against both elephants.
  EXPECT_EQ(RedCanWinIn({{'K', 4, 9}, {'A', 4, 8}, {'C', 1, 7}, {'k', 4, 0}, {'b', 2, 0},
                         {'b', 6, 0}}),
            0);
  // One pawn against both advisers and both elephants: the elephant on the
  // palace front square decides.
  EXPECT_EQ(RedCanWinIn({{'K', 4, 9}, {'C', 1, 7}, {'P', 4, 4}, {'k', 4, 0}, {'a', 3, 0},
                         {'a', 5, 0}, {'b', 4, 2}, {'b', 2, 0}}),
            0);
  EXPECT_EQ(RedCanWinIn({{'K', 4, 9}, {'C', 1, 7}, {'P', 4, 4}, {'k', 4, 0}, {'a', 3, 0},
                         {'a', 5, 0}, {'b', 6, 0}, {'b', 2, 0}}),
            1);
  EXPECT_EQ(BlackCanWinIn({{'k', 4, 0}, {'c', 1, 2}, {'p', 4, 5}, {'K', 4, 9}, {'A', 3, 9},
                           {'A', 5, 9}, {'B', 4, 7}, {'B', 2, 9}}),
            0);
  EXPECT_EQ(BlackCanWinIn({{'k', 4, 0}, {'c', 1, 2}, {'p', 4, 5}, {'K', 4, 9}, {'A', 3, 9},
                           {'A', 5, 9}, {'B', 2, 9}, {'B', 6, 9}}),
            1);
}

TEST(CanWinTest, LoneKnight) {
  // A knight and one pawn against two advisers win; a black cannon added
  // holds the draw.
  EXPECT_EQ(RedCanWinIn({{'K', 4, 9}, {'N', 2, 5}, {'P', 4, 4}, {'k', 4, 0}, {'a', 3, 0},
                         {'a', 5, 0}}),
            1);
  EXPECT_EQ(RedCanWinIn({{'K', 4, 9}, {'N', 2, 5}, {'P', 4, 4}, {'k', 4, 0}, {'a', 3, 0},
                         {'a', 5, 0}, {'c', 1, 2}}),
            0);
  // No pawn: no win, unless black has nothing but the king.
  EXPECT_EQ(RedCanWinIn({{'K', 4, 9}, {'N', 2, 5}, {'k', 4, 0}, {'a', 3, 0}}), 0);
  EXPECT_EQ(RedCanWinIn({{'K', 4, 9}, {'N', 2, 5}, {'k', 4, 0}}), 1);
  EXPECT_EQ(BlackCanWinIn({{'k', 4, 0}, {'n', 2, 4}, {'p', 4, 5}, {'K', 4, 9}, {'A', 3, 9},
                           {'A', 5, 9}, {'C', 1, 7}}),
            0);
}

TEST(CanWinTest, PawnsAlone) {
  EXPECT_EQ(RedCanWinIn({{'K', 4, 9}, {'A', 4, 8}, {'k', 4, 0}}), 0);
  // One pawn wins only against a king without advisers, elephants or pawns.
  EXPECT_EQ(RedCanWinIn({{'K', 4, 9}, {'P', 4, 4}, {'k', 3, 0}}), 1);
  EXPECT_EQ(RedCanWinIn({{'K', 4, 9}, {'P', 4, 4}, {'k', 3, 0}, {'a', 4, 1}}), 0);
  // Two free pawns win even against a knight; one does not.
  EXPECT_EQ(RedCanWinIn({{'K', 4, 9}, {'P', 4, 4}, {'P', 2, 4}, {'k', 3, 0}, {'n', 0, 0}}), 1);
  EXPECT_EQ(RedCanWinIn({{'K', 4, 9}, {'P', 4, 4}, {'k', 3, 0}, {'n', 0, 0}}), 0);
  // Two pawns against the full defence are not enough.
  EXPECT_EQ(RedCanWinIn({{'K', 4, 9}, {'P', 4, 4}, {'P', 2, 4}, {'k', 4, 0}, {'a', 3, 0},
                         {'a', 5, 0}, {'b', 2, 0}, {'b', 6, 0}}),
            0);
  EXPECT_EQ(BlackCanWinIn({{'k', 4, 0}, {'p', 4, 5}, {'K', 3, 9}}), 1);
  EXPECT_EQ(BlackCanWinIn({{'k', 4, 0}, {'p', 4, 5}, {'K', 3, 9}, {'B', 2, 9}}), 0);
}

TEST(CanWinTest, AnyOtherAttackIsEnough) {
  EXPECT_EQ(RedCanWinIn({{'K', 4, 9}, {'N', 2, 5}, {'C', 1, 7}, {'k', 4, 0}, {'a', 3, 0},
                         {'a', 5, 0}, {'b', 2, 0}, {'b', 6, 0}, {'r', 0, 0}}),
            1);
  EXPECT_EQ(BlackCanWinIn({{'k', 4, 0}, {'r', 0, 0}, {'p', 0, 3}, {'K', 4, 9}}), 1);
}

class LineAttackTest : public ::testing::Test {
 protected:
  void Find(PieceIndex a, PieceIndex b) { FindLineAttackSquares(a, b, &first_, &second_); }
  Square first_ = 99;
  Square second_ = 99;
};

TEST_F(LineAttackTest, SharedLineGivesTheSingleScreen) {
  SetUpFen(Fen({{'K', 3, 9}, {'R', 4, 6}, {'P', 4, 4}, {'k', 4, 0}}));
  Find(8, 17);
  EXPECT_EQ(first_, MakeSquare(4, 4));
  EXPECT_EQ(second_, 0u);
  SetUpFen(Fen({{'K', 3, 9}, {'R', 4, 6}, {'P', 4, 4}, {'a', 4, 1}, {'k', 4, 0}}));
  Find(8, 17);
  EXPECT_EQ(first_, 0u);
  EXPECT_EQ(second_, 0u);
  // No man between: nothing either (the corners are the two pieces).
  SetUpFen(Fen({{'K', 3, 9}, {'R', 4, 6}, {'k', 4, 0}}));
  Find(8, 17);
  EXPECT_EQ(first_, 0u);
  EXPECT_EQ(second_, 0u);
  // Along a rank.
  SetUpFen(Fen({{'K', 3, 9}, {'R', 8, 1}, {'N', 6, 1}, {'k', 4, 1}}));
  Find(8, 17);
  EXPECT_EQ(first_, MakeSquare(6, 1));
  EXPECT_EQ(second_, 0u);
}

TEST_F(LineAttackTest, CornersOnDifferentLines) {
  // Chariot (0,5), king (4,1): corners (0,1) and (4,5).
  SetUpFen(Fen({{'K', 3, 9}, {'R', 0, 5}, {'k', 4, 1}}));
  Find(8, 17);
  EXPECT_EQ(first_, MakeSquare(0, 1));
  EXPECT_EQ(second_, MakeSquare(4, 5));
  // A man of either colour on a corner removes that corner.
  SetUpFen(Fen({{'K', 3, 9}, {'R', 0, 5}, {'p', 0, 1}, {'k', 4, 1}}));
  Find(8, 17);
  EXPECT_EQ(first_, 0u);
  EXPECT_EQ(second_, MakeSquare(4, 5));
  SetUpFen(Fen({{'K', 3, 9}, {'R', 0, 5}, {'P', 4, 5}, {'k', 4, 1}}));
  Find(8, 17);
  EXPECT_EQ(first_, MakeSquare(0, 1));
  EXPECT_EQ(second_, 0u);
  // A man on either leg of a corner's path removes it too.
  SetUpFen(Fen({{'K', 3, 9}, {'R', 0, 5}, {'p', 0, 3}, {'a', 4, 3}, {'k', 4, 1}}));
  Find(8, 17);
  EXPECT_EQ(first_, 0u);
  EXPECT_EQ(second_, 0u);
  SetUpFen(Fen({{'K', 3, 9}, {'R', 0, 5}, {'n', 2, 1}, {'p', 2, 5}, {'k', 4, 1}}));
  Find(8, 17);
  EXPECT_EQ(first_, 0u);
  EXPECT_EQ(second_, 0u);
}

TEST_F(LineAttackTest, CapturedPieceFindsNothing) {
  SetUpFen(Fen({{'K', 3, 9}, {'R', 0, 5}, {'k', 4, 1}}));
  Find(9, 17);  // the second red chariot is not on the board
  EXPECT_EQ(first_, 0u);
  EXPECT_EQ(second_, 0u);
  // A black chariot against the red king.
  SetUpFen(Fen({{'K', 3, 9}, {'r', 8, 8}, {'k', 4, 1}}));
  Find(24, 1);
  EXPECT_EQ(first_, MakeSquare(8, 9));
  EXPECT_EQ(second_, MakeSquare(3, 8));
}

}  // namespace
