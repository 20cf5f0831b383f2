// The position-dependent corrections of the piece-square banks. Each test
// prepares a position, clears both banks and runs the corrections alone, so
// that the banks then hold the corrections and nothing else.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "engine/eval/evaluate.h"
#include "engine/position/position.h"
#include "tests/engine/eval/board_builder.h"
#include "tests/support/test_position.h"

namespace {

using eval_testing::At;
using eval_testing::Fen;

enum Bank { kRedBank = 0, kBlackBank = 1 };

struct Entry {
  int bank;
  uint32_t type;
  Square square;
  bool operator<(const Entry& o) const {
    if (bank != o.bank) return bank < o.bank;
    if (type != o.type) return type < o.type;
    return square < o.square;
  }
  bool operator==(const Entry& o) const {
    return bank == o.bank && type == o.type && square == o.square;
  }
};
using Corrections = std::map<Entry, int32_t>;

Corrections CorrectionsOf(const std::string& fen) {
  testing_support::SetUpFen(fen);
  std::memset(pieceSquareRed, 0, sizeof pieceSquareRed);
  std::memset(pieceSquareBlack, 0, sizeof pieceSquareBlack);
  AdjustPieceSquareTables();
  Corrections c;
  for (uint32_t t = 0; t < 8; ++t) {
    for (Square s = 0; s < 176; ++s) {
      if (pieceSquareRed[t][s] != 0) c[{kRedBank, t, s}] = pieceSquareRed[t][s];
      if (pieceSquareBlack[t][s] != 0) c[{kBlackBank, t, s}] = pieceSquareBlack[t][s];
    }
  }
  return c;
}

int32_t At_(const Corrections& c, int bank, uint32_t type, int file, int rank) {
  const auto it = c.find({bank, type, MakeSquare(file, rank)});
  return it == c.end() ? 0 : it->second;
}

void Add(Corrections& c, int bank, uint32_t type, int file, int rank, int32_t delta) {
  int32_t& v = c[{bank, type, MakeSquare(file, rank)}];
  v += delta;
  if (v == 0) c.erase({bank, type, MakeSquare(file, rank)});
}

std::string Describe(const Corrections& c) {
  std::ostringstream out;
  for (const auto& [e, v] : c)
    out << (e.bank == kRedBank ? "red" : "black") << " type " << e.type << " (" << FileOf(e.square)
        << "," << RankOf(e.square) << ") " << v << "\n";
  return out.str();
}

// The start position: the elephant-and-knight guards of the fourth file
// pairs, and the shut-in corner chariots on the elephants' and advisers'
// home squares.
Corrections StartCorrections() {
  Corrections c;
  Add(c, kRedBank, kPawn, 6, 5, 12);
  Add(c, kRedBank, kPawn, 2, 5, 12);
  Add(c, kBlackBank, kPawn, 6, 4, 12);
  Add(c, kBlackBank, kPawn, 2, 4, 12);
  Add(c, kRedBank, kElephant, 2, 9, -10);
  Add(c, kRedBank, kElephant, 6, 9, -10);
  Add(c, kBlackBank, kElephant, 2, 0, -10);
  Add(c, kBlackBank, kElephant, 6, 0, -10);
  Add(c, kRedBank, kAdviser, 3, 9, -10);
  Add(c, kRedBank, kAdviser, 5, 9, -10);
  Add(c, kBlackBank, kAdviser, 3, 0, -10);
  Add(c, kBlackBank, kAdviser, 5, 0, -10);
  return c;
}

TEST(AdjustPieceSquareTables, StartPositionCorrectionsExactly) {
  const Corrections got = CorrectionsOf(testing_support::kStartFen);
  const Corrections want = StartCorrections();
  EXPECT_EQ(got.size(), want.size()) << Describe(got);
  EXPECT_TRUE(got == want) << "got:\n" << Describe(got) << "want:\n" << Describe(want);
}

TEST(AdjustPieceSquareTables, PieceOnThePalaceCentre) {
  // The right adviser steps to (4,8): the knights beside it and the chariot
  // rank 8 lose, and the emptied (5,9) opens file 5 to red's chariots.
  const Corrections got =
      CorrectionsOf("rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/4A4/RNB1KABNR w");
  Corrections want = StartCorrections();
  Add(want, kRedBank, kKnight, 3, 8, -6);
  Add(want, kRedBank, kKnight, 5, 8, -6);
  for (int f = 0; f < 9; ++f) Add(want, kRedBank, kChariot, f, 8, -5);
  for (int r = 0; r < 10; ++r) Add(want, kRedBank, kChariot, 5, r, 10);
  EXPECT_TRUE(got == want) << "got:\n" << Describe(got) << "want:\n" << Describe(want);
}

TEST(AdjustPieceSquareTables, ChariotBehindItsKnightFile) {
  // Chariot on (1,9) and the knight in the corner: shut in while a piece
  // stands on file 1 in front of it.
  Corrections got = CorrectionsOf("rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABRN w");
  EXPECT_EQ(At_(got, kRedBank, kAdviser, 3, 9), -10);
  EXPECT_EQ(At_(got, kRedBank, kElephant, 2, 9), -10);
  got = CorrectionsOf("rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C2C4/9/RNBAKABRN w");
  EXPECT_EQ(At_(got, kRedBank, kAdviser, 3, 9), 0);
  EXPECT_EQ(At_(got, kRedBank, kElephant, 2, 9), 0);
  EXPECT_EQ(At_(got, kRedBank, kAdviser, 5, 9), -10);
}

TEST(AdjustPieceSquareTables, ElephantPenaltyNeedsFourAttackersEach) {
  // Two chariots and two cannons each: elephants and advisers both lose.
  Corrections got = CorrectionsOf("r1bakab1r/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/R1BAKAB1R w");
  EXPECT_EQ(At_(got, kRedBank, kElephant, 2, 9), -10);
  EXPECT_EQ(At_(got, kBlackBank, kElephant, 6, 0), -10);
  EXPECT_EQ(At_(got, kRedBank, kAdviser, 3, 9), -10);
  // One cannon less on red's side: only the advisers' entries change.
  got = CorrectionsOf("r1bakab1r/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C7/9/R1BAKAB1R w");
  EXPECT_EQ(At_(got, kRedBank, kElephant, 2, 9), 0);
  EXPECT_EQ(At_(got, kRedBank, kElephant, 6, 9), 0);
  EXPECT_EQ(At_(got, kBlackBank, kElephant, 6, 0), 0);
  EXPECT_EQ(At_(got, kRedBank, kAdviser, 3, 9), -10);
  EXPECT_EQ(At_(got, kBlackBank, kAdviser, 5, 0), -10);
}

TEST(AdjustPieceSquareTables, ElephantFormationGuardsTheFlank) {
  const Corrections got = CorrectionsOf(Fen({{'K', 4, 9},
                                             {'A', 3, 9},
                                             {'A', 5, 9},
                                             {'B', 6, 9},
                                             {'B', 4, 7},
                                             {'k', 4, 0},
                                             {'a', 4, 1},
                                             {'b', 2, 0},
                                             {'b', 4, 2}}));
  EXPECT_EQ(At_(got, kRedBank, kKnight, 8, 7), 5);
  EXPECT_EQ(At_(got, kRedBank, kCannon, 8, 7), 5);
  EXPECT_EQ(At_(got, kRedBank, kKnight, 0, 7), 0);
  EXPECT_EQ(At_(got, kBlackBank, kKnight, 0, 2), 5);
  EXPECT_EQ(At_(got, kBlackBank, kCannon, 0, 2), 5);
  EXPECT_EQ(At_(got, kBlackBank, kCannon, 8, 2), 0);
}

TEST(AdjustPieceSquareTables, KnightAndPawnsWithoutEnemyWingCannons) {
  // No black cannon at all: a captured cannon stands in no wing zone.
  const Corrections none = CorrectionsOf(Fen({{'K', 4, 9}, {'N', 6, 7}, {'P', 6, 6}, {'k', 3, 0}}));
  EXPECT_EQ(At_(none, kRedBank, kPawn, 6, 6), -15 - 20 - 20);
  EXPECT_EQ(At_(none, kRedBank, kPawn, 6, 5), 10);
  EXPECT_EQ(At_(none, kRedBank, kKnight, 6, 7), 10);
  EXPECT_EQ(At_(none, kRedBank, kPawn, 2, 6), -20);
  EXPECT_EQ(At_(none, kRedBank, kKnight, 2, 7), 10);
  // Black's twin rules on its own pawns (no red cannon either) add to the
  // knight's +15 on (6,4).
  EXPECT_EQ(At_(none, kBlackBank, kPawn, 6, 4), 15 + 10);
  EXPECT_EQ(At_(none, kBlackBank, kPawn, 6, 3), -20);
  EXPECT_EQ(At_(none, kBlackBank, kKnight, 6, 2), 10);

  // A black cannon on (7,2) covers the right wing; a black pawn on (2,4)
  // keeps the left knight's bonus away.
  const Corrections some = CorrectionsOf(
      Fen({{'K', 4, 9}, {'N', 6, 7}, {'P', 6, 6}, {'k', 3, 0}, {'c', 7, 2}, {'p', 2, 4}}));
  EXPECT_EQ(At_(some, kRedBank, kPawn, 6, 6), -15 - 20);
  EXPECT_EQ(At_(some, kRedBank, kPawn, 6, 5), 0);
  EXPECT_EQ(At_(some, kRedBank, kKnight, 6, 7), 0);
  EXPECT_EQ(At_(some, kRedBank, kPawn, 2, 5), 10);
  EXPECT_EQ(At_(some, kRedBank, kKnight, 2, 7), 0);
  // A black cannon on (4,2) cancels the knight's (6,7) pawn rule.
  const Corrections central =
      CorrectionsOf(Fen({{'K', 4, 9}, {'N', 6, 7}, {'k', 3, 0}, {'c', 4, 2}, {'c', 7, 2}}));
  EXPECT_EQ(At_(central, kRedBank, kPawn, 6, 6), -20);
  EXPECT_EQ(At_(central, kBlackBank, kPawn, 6, 4), 10);
}

TEST(AdjustPieceSquareTables, KnightInFrontOfTheFlankPawns) {
  // Knights on (2,7) and (8,7): the pawn in front loses, the black pawn that
  // would face it gains; 7 on the (2,7) wing, 15 on the others. A red cannon
  // on (7,7) and black cannons on both wings keep the other rules out.
  const Corrections got = CorrectionsOf(Fen(
      {{'K', 4, 9}, {'N', 2, 7}, {'N', 8, 7}, {'C', 7, 7}, {'k', 3, 0}, {'c', 1, 2}, {'c', 7, 2}}));
  EXPECT_EQ(At_(got, kRedBank, kPawn, 2, 6), -7);
  EXPECT_EQ(At_(got, kBlackBank, kPawn, 2, 4), 7 + 10);  // + black's own left-wing rule
  EXPECT_EQ(At_(got, kRedBank, kPawn, 8, 6), -15);
  EXPECT_EQ(At_(got, kBlackBank, kPawn, 8, 4), 15);
  // Without a red cannon on the third-rank squares of the other wing, the
  // (2,7) knight's pawn loses 20 more.
  const Corrections noCannon = CorrectionsOf(
      Fen({{'K', 4, 9}, {'N', 2, 7}, {'N', 8, 7}, {'k', 3, 0}, {'c', 1, 2}, {'c', 7, 2}}));
  EXPECT_EQ(At_(noCannon, kRedBank, kPawn, 2, 6), -7 - 20);
  // A black cannon on red's half stands in no wing zone of black's half.
  const Corrections ownHalf =
      CorrectionsOf(Fen({{'K', 4, 9}, {'C', 1, 7}, {'k', 3, 0}, {'c', 1, 2}, {'c', 7, 6}}));
  EXPECT_EQ(At_(ownHalf, kRedBank, kPawn, 6, 5), 10);
  EXPECT_EQ(At_(ownHalf, kRedBank, kPawn, 2, 5), 0);
}

TEST(AdjustPieceSquareTables, ChariotShutInByAPieceOnTheKnightFile) {
  // Red chariot on (1,9) with a black pawn far up the file on (1,5).
  Corrections got =
      CorrectionsOf(Fen({{'K', 4, 9}, {'R', 1, 9}, {'k', 3, 0}, {'r', 0, 0}, {'p', 1, 5}}));
  EXPECT_EQ(At_(got, kRedBank, kAdviser, 3, 9), -10);
  got = CorrectionsOf(Fen({{'K', 4, 9}, {'R', 1, 9}, {'k', 3, 0}, {'r', 0, 0}, {'p', 1, 4}}));
  EXPECT_EQ(At_(got, kRedBank, kAdviser, 3, 9), 0);
  EXPECT_EQ(At_(got, kBlackBank, kAdviser, 3, 0), -10);  // black's corner chariot
}

TEST(AdjustPieceSquareTables, FacingPawnsRaiseTheChariotsRank) {
  // Black pawns on rank 4 facing red pawns on rank 6: n pairs give
  // 100 * n / 8 on every red chariot entry of rank 5.
  const int expected[6] = {0, 12, 25, 37, 50, 62};
  for (int pairs = 0; pairs <= 5; ++pairs) {
    std::vector<At> pieces = {{'K', 4, 9}, {'k', 3, 0}};
    const int files[5] = {0, 2, 4, 6, 8};
    for (int i = 0; i < 5; ++i) {
      pieces.push_back({'P', files[i], 6});
      if (i < pairs) pieces.push_back({'p', files[i], 4});
    }
    const Corrections got = CorrectionsOf(Fen(pieces));
    for (int f = 0; f < 9; ++f) {
      const int32_t openFile = (f == 3 || f == 5) ? 10 : 0;  // (3,9) and (5,9) are empty
      EXPECT_EQ(At_(got, kRedBank, kChariot, f, 5), expected[pairs] + openFile)
          << pairs << " pairs, file " << f;
      EXPECT_EQ(At_(got, kRedBank, kChariot, f, 4), openFile) << pairs << " pairs, file " << f;
    }
    // Black's own count looks at black pawns on rank 3: none.
    EXPECT_EQ(At_(got, kBlackBank, kChariot, 0, 4), 0);
  }
}

TEST(AdjustPieceSquareTables, ChariotlessEndingMovesTheCannonToTheSecondRank) {
  // Red: one cannon; black: two cannons, left alone.
  const Corrections got =
      CorrectionsOf(Fen({{'K', 4, 9}, {'C', 1, 7}, {'k', 3, 0}, {'c', 1, 2}, {'c', 7, 2}}));
  for (int f = 0; f < 9; ++f) {
    for (int r = 0; r < 10; ++r) {
      const int32_t want = r == 8 ? 50 : (r == 7 || r == 9) ? 0 : -50;
      EXPECT_EQ(At_(got, kRedBank, kCannon, f, r), want) << f << "," << r;
      EXPECT_EQ(At_(got, kBlackBank, kCannon, f, r), 0) << f << "," << r;
    }
  }
  // Only cannon entries of the red bank change in that step: with the same
  // pieces but a black chariot, no cannon entry changes at all.
  const Corrections withChariot = CorrectionsOf(
      Fen({{'K', 4, 9}, {'C', 1, 7}, {'k', 3, 0}, {'c', 1, 2}, {'c', 7, 2}, {'r', 0, 0}}));
  for (const auto& [e, v] : withChariot) EXPECT_NE(e.type, kCannon) << Describe(withChariot);
  Corrections rest = got;
  for (auto it = rest.begin(); it != rest.end();)
    it = it->first.type == kCannon ? rest.erase(it) : std::next(it);
  Corrections restWithChariot = withChariot;
  // The black chariot also shuts its corner in: the black adviser entry on
  // (3,0) is the only other difference.
  for (auto it = restWithChariot.begin(); it != restWithChariot.end();)
    it = it->first.type == kAdviser ? restWithChariot.erase(it) : std::next(it);
  EXPECT_TRUE(rest == restWithChariot) << Describe(rest) << "vs\n" << Describe(restWithChariot);
}

}  // namespace
