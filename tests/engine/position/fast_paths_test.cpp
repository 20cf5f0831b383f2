// Short cuts of the position code held against their plain forms: the
// quiet-move sort against the plain gap-insertion passes it replaces, and the
// king-safety test and the quiet-check generator with the king they look at
// off the board (where the short cuts stop before reading any square).
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "engine/position/position.h"
#include "engine/search/search_tables.h"
#include "tests/support/test_position.h"

namespace {

// The quiet-move sort written plainly: every entry of every pass is lifted
// and put back, whether or not it moves.
void PlainShellSort(std::vector<MoveEntry>& e) {
  static constexpr int kGaps[] = {1093, 364, 121, 40, 13, 4, 1};
  const int n = static_cast<int>(e.size());
  for (const int h : kGaps) {
    if (h >= n) continue;
    for (int i = h; i < n; ++i) {
      const MoveEntry lifted = e[i];
      int j = i - h;
      while (j >= 0 && lifted.score > e[j].score) {
        e[j + h] = e[j];
        j -= h;
      }
      e[j + h] = lifted;
    }
  }
}

struct SortCase {
  int count;
  int distinctScores;  // scores drawn from 0..distinctScores-1: few values, many ties
};

TEST(FastPaths, QuietSortKeepsThePlainOrderOfEqualScores) {
  const SortCase kCases[] = {{2, 2},
                             {5, 2},
                             {13, 3},
                             {14, 3},
                             {41, 2},
                             {41, 50},
                             {60, 4},
                             {90, 1},
                             {121, 5},
                             {122, 7},
                             {kMaxPickerEntries, 3},
                             {kMaxPickerEntries, 1000}};
  std::mt19937 rng(17);
  MovePicker& r = movePickers[0];
  for (const SortCase& c : kCases) {
    for (int round = 0; round < 20; ++round) {
      std::vector<MoveEntry> plain(c.count);
      for (int i = 0; i < c.count; ++i) {
        plain[i] = {static_cast<Move>(i), static_cast<int32_t>(rng() % c.distinctScores)};
        r.entries[i] = plain[i];
      }
      r.count = c.count;
      SortByScore(r);
      PlainShellSort(plain);
      for (int i = 0; i < c.count; ++i) {
        ASSERT_EQ(r.entries[i].move, plain[i].move)
            << "count " << c.count << ", scores " << c.distinctScores << ", entry " << i;
      }
    }
  }
}

// Each colour's king taken off the board in turn, the other side keeping
// chariots, cannons, knights and pawns, some of them already captured: no
// attacker is reported, a move of the side without a king stands, and no
// quiet check is generated against the missing king.
TEST(FastPaths, KingOffTheBoardHasNoAttackerAndDrawsNoCheck) {
  struct KingCase {
    const char* fen;
    PieceIndex removedKing;
    const char* sideMove;  // a move of the side whose king is removed, when it is to move
  };
  const KingCase kCases[] = {
      {"4k4/9/9/4P4/9/9/9/2N6/4R4/2B1KC3 w", 17, nullptr},
      {"r2k5/9/4P4/9/2N6/9/9/4C4/9/4K4 b", 17, "a9a8"},
      {"4k4/9/9/9/9/9/4p4/9/4r4/4K4 b", 1, nullptr},
      {"5k3/9/9/9/9/9/9/3n5/4p4/R4K3 w", 1, "a0a1"},
  };
  for (const KingCase& c : kCases) {
    const uint32_t side = testing_support::SetUpFen(c.fen);
    SCOPED_TRACE(c.fen);
    // The king is lifted with every record of it: board, type board, masks
    // and keys, so that the position stays consistent without it.
    const Square kingSquare = posPiece[c.removedKing];
    RemovePiece(c.removedKing);
    typeBoard[kingSquare] = 0;
    RebuildLineMasks();
    ComputePositionKeys(&positionLock, &positionKey, posPiece);
    ASSERT_EQ(CheckPositionConsistency(), 1);
    EXPECT_EQ(c.removedKing == 17 ? BlackKingAttacker() : RedKingAttacker(), 0u);
    EXPECT_EQ(c.removedKing == 17 ? FindCheckerOfBlackKing() : FindCheckerOfRedKing(), 0u);
    const bool kinglessToMove = (side == kRed) == (c.removedKing == 1);
    if (!kinglessToMove) {
      GenerateQuietChecks(1);
      EXPECT_EQ(movePickers[historyPly].count, 0);
    } else {
      const Move move = testing_support::MoveFromText(c.sideMove);
      ASSERT_NE(board[MoveFrom(move)], 0);
      EXPECT_EQ(HasLegalMove(), 1);
      EXPECT_EQ(IsLegalByTrial(MoveFrom(move), MoveTo(move)), 1);
      ASSERT_EQ(MakeMove(move, 0), 1);
      UnmakeMove();
      EXPECT_EQ(CheckPositionConsistency(), 1);
    }
  }
}

}  // namespace
