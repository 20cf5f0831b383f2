// The king-safety test on pawns standing next to the king: which pawn is
// reported when several check at once, pawns next to the king that do not
// attack it, and MakeMove and the legality trial refusing a king step into a
// pawn's attack. Every case runs for both colours (the position mirrored).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/position/position.h"
#include "tests/support/board_builder.h"
#include "tests/support/test_position.h"

namespace {

using testing_support::FenOf;
using testing_support::Mirrored;
using testing_support::Placed;
using testing_support::SetUpFen;

struct FileRank {
  int file;
  int rank;
};

uint32_t At(FileRank s) { return static_cast<uint32_t>(board[MakeSquare(s.file, s.rank)]); }

FileRank Mirror(FileRank s) { return {s.file, 9 - s.rank}; }

// Red pawns round the black king; checking lists the squares of the pawns
// that attack it (the test expects the lowest piece index among them).
struct PawnCase {
  const char* name;
  std::vector<Placed> pieces;
  std::vector<FileRank> checking;
};

const PawnCase kPawnCases[] = {
    {"ahead", {{'K', 3, 9}, {'k', 4, 1}, {'P', 4, 2}}, {{4, 2}}},
    {"beside, lower file", {{'K', 3, 9}, {'k', 4, 1}, {'P', 3, 1}}, {{3, 1}}},
    {"beside, higher file", {{'K', 3, 9}, {'k', 4, 1}, {'P', 5, 1}}, {{5, 1}}},
    {"behind", {{'K', 3, 9}, {'k', 4, 1}, {'P', 4, 0}}, {}},
    {"diagonal", {{'K', 3, 9}, {'k', 4, 1}, {'P', 5, 2}, {'P', 3, 0}}, {}},
    {"two squares away", {{'K', 3, 9}, {'k', 4, 0}, {'P', 4, 2}, {'P', 2, 0}}, {}},
    {"ahead and beside", {{'K', 3, 9}, {'k', 4, 1}, {'P', 4, 2}, {'P', 3, 1}}, {{4, 2}, {3, 1}}},
    {"all three squares",
     {{'K', 3, 9}, {'k', 4, 1}, {'P', 4, 2}, {'P', 3, 1}, {'P', 5, 1}},
     {{4, 2}, {3, 1}, {5, 1}}},
    {"corner of the palace", {{'K', 4, 9}, {'k', 3, 2}, {'P', 2, 2}, {'P', 3, 3}, {'P', 4, 3}},
     {{2, 2}, {3, 3}}},
};

TEST(KingAttackers, PawnsNextToTheKingInIndexOrder) {
  for (const PawnCase& c : kPawnCases) {
    for (const bool mirrored : {false, true}) {
      const std::string where = std::string(c.name) + (mirrored ? " (black pawns)" : "");
      SetUpFen(FenOf(mirrored ? Mirrored(c.pieces) : c.pieces));
      uint32_t expected = 0;
      for (const FileRank s : c.checking) {
        const uint32_t pawn = At(mirrored ? Mirror(s) : s);
        ASSERT_NE(pawn, 0u) << where;
        if (expected == 0 || pawn < expected) expected = pawn;
      }
      if (mirrored) {
        EXPECT_EQ(RedKingAttacker(), expected) << where;
        EXPECT_EQ(FindCheckerOfRedKing(), expected) << where;
        EXPECT_EQ(BlackKingAttacker(), 0u) << where;
      } else {
        EXPECT_EQ(BlackKingAttacker(), expected) << where;
        EXPECT_EQ(FindCheckerOfBlackKing(), expected) << where;
        EXPECT_EQ(RedKingAttacker(), 0u) << where;
      }
    }
  }
}

// Black king steps with red pawns about; the same with colours exchanged.
struct StepCase {
  const char* name;
  std::vector<Placed> pieces;
  FileRank from;
  FileRank to;
  bool accepted;
};

const StepCase kStepCases[] = {
    {"beside a pawn", {{'K', 3, 9}, {'k', 4, 0}, {'P', 3, 1}}, {4, 0}, {4, 1}, false},
    {"in front of a pawn", {{'K', 3, 9}, {'k', 4, 0}, {'P', 4, 2}}, {4, 0}, {4, 1}, false},
    {"behind a pawn", {{'K', 3, 9}, {'k', 5, 2}, {'P', 4, 1}}, {5, 2}, {4, 2}, true},
    {"out of a pawn's check", {{'K', 3, 9}, {'k', 4, 0}, {'P', 4, 1}}, {4, 0}, {5, 0}, true},
    {"diagonal to a pawn", {{'K', 5, 9}, {'k', 4, 1}, {'P', 4, 2}}, {4, 1}, {3, 1}, true},
    {"capturing a pawn guarded by a pawn",
     {{'K', 3, 9}, {'k', 4, 0}, {'P', 4, 1}, {'P', 3, 1}},
     {4, 0},
     {4, 1},
     false},
    {"capturing an unguarded pawn", {{'K', 3, 9}, {'k', 4, 0}, {'P', 4, 1}, {'P', 2, 1}}, {4, 0},
     {4, 1}, true},
    {"capturing one of two checking pawns",
     {{'K', 5, 9}, {'k', 4, 1}, {'P', 4, 2}, {'P', 3, 1}},
     {4, 1},
     {3, 1},
     true},
    {"beside a pawn on the higher file, a chariot off the king's lines",
     {{'K', 3, 9}, {'k', 4, 0}, {'P', 5, 1}, {'R', 0, 5}},
     {4, 0},
     {4, 1},
     false},
};

TEST(KingAttackers, KingStepsNextToPawnsRefusedByMakeMoveAndTrial) {
  for (const StepCase& c : kStepCases) {
    for (const bool mirrored : {false, true}) {
      const std::string where = std::string(c.name) + (mirrored ? " (red king)" : "");
      SetUpFen(FenOf(mirrored ? Mirrored(c.pieces) : c.pieces, mirrored ? 'w' : 'b'));
      const FileRank from = mirrored ? Mirror(c.from) : c.from;
      const FileRank to = mirrored ? Mirror(c.to) : c.to;
      const Square f = MakeSquare(from.file, from.rank), t = MakeSquare(to.file, to.rank);
      const std::string before = testing_support::CurrentFen();
      EXPECT_EQ(IsLegalByTrial(f, t), c.accepted ? 1 : 0) << where;
      EXPECT_EQ(testing_support::CurrentFen(), before) << where;
      const int made = MakeMove(MakeMoveCode(f, t), 0);
      EXPECT_EQ(made, c.accepted ? 1 : 0) << where;
      if (made != 0) UnmakeMove();
      EXPECT_EQ(testing_support::CurrentFen(), before) << where;
    }
  }
}

}  // namespace
