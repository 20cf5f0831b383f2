// The full, capture and quiet-move generators: exact lists and orders on
// hand-built positions, agreement with a simple reference generator and with
// each other on positions from random play, and the capacity of the record.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "engine/position/position.h"
#include "engine/search/search_tables.h"
#include "tests/support/board_builder.h"
#include "tests/support/move_lists.h"
#include "tests/support/random_play.h"
#include "tests/support/test_position.h"

namespace {

using testing_support::FenOf;
using testing_support::GeneratedEntries;
using testing_support::GeneratedMoves;
using testing_support::HistoryOf;
using testing_support::M;
using testing_support::MovesOf;
using testing_support::Placed;
using testing_support::RandomMovePreferringCaptures;
using testing_support::SetUpFen;
using testing_support::Sorted;

std::string Show(Move m) {
  const Square a = MoveFrom(m), b = MoveTo(m);
  return "(" + std::to_string(FileOf(a)) + "," + std::to_string(RankOf(a)) + ")-(" + std::to_string(FileOf(b)) +
         "," + std::to_string(RankOf(b)) + ")";
}

std::string Show(const std::vector<Move>& moves) {
  std::string s;
  for (Move m : moves) s += Show(m) + " ";
  return s;
}

void FillHistory(uint32_t seed) {
  std::mt19937 rng(seed);
  for (auto& row : historyTable)
    for (auto& v : row) v = rng() % 100000;
  MarkHistoryTableWritten();
}

// An independent, plain pseudo-legal generator over (file, rank) coordinates.
std::vector<Move> ReferenceMoves() {
  const bool red = sideToMove == kRed;
  auto at = [](int f, int r) -> int { return (f < 0 || f > 8 || r < 0 || r > 9) ? -1 : board[MakeSquare(f, r)]; };
  auto own = [&](int p) { return p > 0 && (p <= 16) == red; };
  std::vector<Move> out;
  for (PieceIndex i = red ? 1 : 17; i <= (red ? 16u : 32u); ++i) {
    const Square s = posPiece[i];
    if (s == 0) continue;
    const int f = FileOf(s), r = RankOf(s);
    auto add = [&](int tf, int tr) {
      const int p = at(tf, tr);
      if (p >= 0 && !own(p)) out.push_back(M(f, r, tf, tr));
    };
    auto inPalace = [&](int tf, int tr) { return tf >= 3 && tf <= 5 && (red ? tr >= 7 : tr <= 2) && tr >= 0 && tr <= 9; };
    const int forward = red ? -1 : 1;
    static const int kOrth[4][2] = {{0, 1}, {0, -1}, {1, 0}, {-1, 0}};
    switch (pieceTypeOf[i]) {
      case kChariot:
      case kCannon:
        for (const auto& d : kOrth) {
          int tf = f + d[0], tr = r + d[1];
          while (at(tf, tr) == 0) {
            out.push_back(M(f, r, tf, tr));
            tf += d[0], tr += d[1];
          }
          if (pieceTypeOf[i] == kCannon && at(tf, tr) > 0) {
            do tf += d[0], tr += d[1];
            while (at(tf, tr) == 0);
          }
          if (at(tf, tr) > 0 && !own(at(tf, tr))) out.push_back(M(f, r, tf, tr));
        }
        break;
      case kKnight:
        for (int df : {-2, -1, 1, 2})
          for (int dr : {-2, -1, 1, 2}) {
            if (std::abs(df) == std::abs(dr)) continue;
            const int lf = f + (std::abs(df) == 2 ? df / 2 : 0), lr = r + (std::abs(dr) == 2 ? dr / 2 : 0);
            if (at(lf, lr) == 0) add(f + df, r + dr);
          }
        break;
      case kPawn:
        if (red ? r <= 4 : r >= 5) add(f - 1, r), add(f + 1, r);
        add(f, r + forward);
        break;
      case kElephant:
        for (int df : {-2, 2})
          for (int dr : {-2, 2}) {
            const int tr = r + dr;
            if ((red ? tr >= 5 : tr <= 4) && at(f + df / 2, r + dr / 2) == 0) add(f + df, tr);
          }
        break;
      case kAdviser:
        for (int df : {-1, 1})
          for (int dr : {-1, 1})
            if (inPalace(f + df, r + dr)) add(f + df, r + dr);
        break;
      case kKing:
        for (const auto& d : kOrth)
          if (inPalace(f + d[0], r + d[1])) add(f + d[0], r + d[1]);
        break;
    }
  }
  return out;
}

// Every property that ties the three generators together, on the current
// position.
void CheckGeneratorsAgree(const std::string& where) {
  SCOPED_TRACE(where);
  const auto all = GeneratedEntries(GenerateAllMoves);
  const auto captures = GeneratedEntries(GenerateCaptures);
  const auto quiet = GeneratedEntries(GenerateQuietMoves);

  EXPECT_EQ(Sorted(MovesOf(all)), Sorted(ReferenceMoves()));
  std::vector<Move> both = MovesOf(captures);
  for (const auto& e : quiet) both.push_back(e.move);
  EXPECT_EQ(Sorted(both), Sorted(MovesOf(all)));

  for (const auto& e : captures) {
    ASSERT_NE(board[MoveTo(e.move)], 0) << Show(e.move);
    EXPECT_EQ(e.score, pieceOrderValue[board[MoveTo(e.move)]]) << Show(e.move);
  }
  for (const auto& e : quiet) {
    ASSERT_EQ(board[MoveTo(e.move)], 0) << Show(e.move);
    EXPECT_EQ(e.score, static_cast<int32_t>(HistoryOf(e.move))) << Show(e.move);
  }
  std::vector<Move> quietOfAll;
  for (const auto& e : all) {
    const int victim = board[MoveTo(e.move)];
    EXPECT_EQ(e.score, victim ? pieceOrderValue[victim] + 10000 : static_cast<int32_t>(HistoryOf(e.move)));
    if (victim == 0) quietOfAll.push_back(e.move);
  }
  // The quiet generator keeps the full generator's order, except for red's
  // adviser on the palace centre, whose corners come in another order.
  if (sideToMove == kBlack || (posPiece[2] != kRedPalaceCentre && posPiece[3] != kRedPalaceCentre)) {
    EXPECT_EQ(MovesOf(quiet), quietOfAll);
  }
}

// ---------------------------------------------------------------------------

TEST(GenerateAllMoves, StartPositionRedInOrder) {
  testing_support::InitEngine();  // the standard piece indices
  FillHistory(1);
  const auto all = GeneratedEntries(GenerateAllMoves);
  const std::vector<Move> expected = {
      M(0, 9, 0, 8), M(0, 9, 0, 7), M(8, 9, 8, 8), M(8, 9, 8, 7),                   // chariots
      M(1, 9, 0, 7), M(1, 9, 2, 7), M(7, 9, 6, 7), M(7, 9, 8, 7),                   // knights
      M(1, 7, 1, 8), M(1, 7, 1, 6), M(1, 7, 1, 5), M(1, 7, 1, 4), M(1, 7, 1, 3),    // cannon
      M(1, 7, 1, 0), M(1, 7, 2, 7), M(1, 7, 3, 7), M(1, 7, 4, 7), M(1, 7, 5, 7),    //
      M(1, 7, 6, 7), M(1, 7, 0, 7),                                                 //
      M(7, 7, 7, 8), M(7, 7, 7, 6), M(7, 7, 7, 5), M(7, 7, 7, 4), M(7, 7, 7, 3),    // cannon
      M(7, 7, 7, 0), M(7, 7, 8, 7), M(7, 7, 6, 7), M(7, 7, 5, 7), M(7, 7, 4, 7),    //
      M(7, 7, 3, 7), M(7, 7, 2, 7),                                                 //
      M(0, 6, 0, 5), M(2, 6, 2, 5), M(4, 6, 4, 5), M(6, 6, 6, 5), M(8, 6, 8, 5),    // pawns
      M(2, 9, 0, 7), M(2, 9, 4, 7), M(6, 9, 4, 7), M(6, 9, 8, 7),                   // elephants
      M(3, 9, 4, 8), M(5, 9, 4, 8),                                                 // advisers
      M(4, 9, 4, 8)};                                                               // king
  EXPECT_EQ(MovesOf(all), expected) << Show(MovesOf(all));
  for (const auto& e : all) {
    if (e.move == M(1, 7, 1, 0) || e.move == M(7, 7, 7, 0)) {
      EXPECT_EQ(e.score, 550 + 10000);
    } else {
      EXPECT_EQ(e.score, static_cast<int32_t>(HistoryOf(e.move))) << Show(e.move);
    }
  }
}

TEST(GenerateAllMoves, StartPositionBlackMirrorsRed) {
  // Read from text, the pieces of a kind are numbered from file 8 down.
  SetUpFen("rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR b");
  ASSERT_EQ(sideToMove, kBlack);
  const auto all = GeneratedMoves(GenerateAllMoves);
  ASSERT_EQ(all.size(), 44u);
  EXPECT_EQ(std::vector<Move>(all.begin(), all.begin() + 6),
            (std::vector<Move>{M(8, 0, 8, 1), M(8, 0, 8, 2), M(0, 0, 0, 1), M(0, 0, 0, 2),
                               M(7, 0, 8, 2), M(7, 0, 6, 2)}))
      << Show(all);  // the black knights start with their forward leg (+1)
  EXPECT_EQ(all.back(), M(4, 0, 4, 1));
  CheckGeneratorsAgree("black start");
}

TEST(GenerateCaptures, StartPositionHasTheTwoCannonCaptures) {
  testing_support::InitEngine();
  const auto captures = GeneratedEntries(GenerateCaptures);
  ASSERT_EQ(captures.size(), 2u);
  EXPECT_EQ(captures[0].move, M(1, 7, 1, 0));
  EXPECT_EQ(captures[1].move, M(7, 7, 7, 0));
  EXPECT_EQ(captures[0].score, 550);
  EXPECT_EQ(captures[1].score, 550);
  EXPECT_EQ(GeneratedEntries(GenerateQuietMoves).size(), 42u);
  CheckGeneratorsAgree("start");
}

TEST(Generators, PawnMoves) {
  // Red pawn on black's back rank: sideways only; black pawn on red's back
  // rank likewise; pawns before the river step forward only.
  const std::vector<Placed> pieces = {{'K', 3, 9}, {'k', 5, 0}, {'P', 2, 0}, {'P', 0, 5}, {'p', 6, 9}, {'p', 8, 4}};
  SetUpFen(FenOf(pieces, 'w'));
  EXPECT_EQ(GeneratedMoves(GenerateAllMoves),
            (std::vector<Move>{M(2, 0, 3, 0), M(2, 0, 1, 0), M(0, 5, 0, 4), M(3, 9, 4, 9), M(3, 9, 3, 8)}));
  CheckGeneratorsAgree("red pawns");
  SetUpFen(FenOf(pieces, 'b'));
  EXPECT_EQ(GeneratedMoves(GenerateAllMoves),
            (std::vector<Move>{M(8, 4, 8, 5), M(6, 9, 7, 9), M(6, 9, 5, 9), M(5, 0, 4, 0), M(5, 0, 5, 1)}));
  CheckGeneratorsAgree("black pawns");
}

TEST(Generators, PawnOnEdgeAndBesideTheKing) {
  // A red pawn on (8,0) with an enemy on (7,0): one sideways capture. A pawn
  // beside the enemy king can take it: 20000 in the full list.
  SetUpFen(FenOf({{'K', 4, 9}, {'k', 3, 1}, {'P', 8, 0}, {'n', 7, 0}, {'P', 4, 1}}, 'w'));
  const auto captures = GeneratedEntries(GenerateCaptures);
  ASSERT_EQ(captures.size(), 2u);
  EXPECT_EQ(captures[0].move, M(8, 0, 7, 0));
  EXPECT_EQ(captures[1].move, M(4, 1, 3, 1));
  EXPECT_EQ(captures[1].score, 10000);
  for (const auto& e : GeneratedEntries(GenerateAllMoves)) {
    if (e.move == M(4, 1, 3, 1)) {
      EXPECT_EQ(e.score, 20000);
    }
  }
  CheckGeneratorsAgree("edge pawn");
}

TEST(Generators, CannonScreens) {
  // Red cannon on (4,5): file towards rank 9 is empty (quiet only); towards
  // rank 0 the screen (4,3) is followed by two black pieces (only the first
  // taken); towards file 8 the screen is the last piece (nothing beyond);
  // towards file 0 the piece beyond the screen is red (no capture).
  SetUpFen(FenOf({{'K', 3, 9}, {'k', 5, 0}, {'C', 4, 5}, {'p', 4, 3}, {'r', 4, 2}, {'n', 4, 1}, {'p', 7, 5},
                {'P', 2, 5}, {'P', 0, 5}},
               'w'));
  const auto all = GeneratedMoves(GenerateAllMoves);
  const std::vector<Move> cannon(all.begin(), all.begin() + 9);
  EXPECT_EQ(cannon, (std::vector<Move>{M(4, 5, 4, 6), M(4, 5, 4, 7), M(4, 5, 4, 8), M(4, 5, 4, 9), M(4, 5, 4, 4),
                                       M(4, 5, 4, 2), M(4, 5, 5, 5), M(4, 5, 6, 5), M(4, 5, 3, 5)}))
      << Show(all);
  const auto captures = GeneratedEntries(GenerateCaptures);
  ASSERT_EQ(captures.size(), 1u);
  EXPECT_EQ(captures[0].move, M(4, 5, 4, 2));
  EXPECT_EQ(captures[0].score, 1280);
  // Quiet cannon moves stop at the screen.
  const auto quiet = GeneratedMoves(GenerateQuietMoves);
  EXPECT_EQ(std::vector<Move>(quiet.begin(), quiet.begin() + 8),
            (std::vector<Move>{M(4, 5, 4, 6), M(4, 5, 4, 7), M(4, 5, 4, 8), M(4, 5, 4, 9), M(4, 5, 4, 4),
                               M(4, 5, 5, 5), M(4, 5, 6, 5), M(4, 5, 3, 5)}));
  EXPECT_NE(MoveFrom(quiet.at(8)), MakeSquare(4, 5));
  CheckGeneratorsAgree("cannon screens");
}

TEST(Generators, ChariotCaptureOrder) {
  SetUpFen(FenOf({{'K', 4, 8}, {'k', 5, 0}, {'R', 0, 9}, {'r', 0, 5}, {'r', 3, 9}}, 'w'));
  const auto captures = GeneratedEntries(GenerateCaptures);
  ASSERT_EQ(captures.size(), 2u);
  EXPECT_EQ(captures[0].move, M(0, 9, 0, 5));
  EXPECT_EQ(captures[1].move, M(0, 9, 3, 9));
  EXPECT_EQ(captures[0].score, 1280);
  EXPECT_EQ(captures[1].score, 1280);
  CheckGeneratorsAgree("chariot");
}

TEST(Generators, KnightOrdersAndLegs) {
  // Knights in the open with every target an enemy piece: the three
  // generators' leg orders differ by side.
  const std::vector<Placed> targets = {{'p', 3, 2}, {'p', 5, 2}, {'p', 2, 3}, {'p', 6, 3},
                                       {'p', 2, 5}, {'n', 6, 5}, {'n', 3, 6}, {'r', 5, 6}};
  std::vector<Placed> red = targets;
  red.insert(red.end(), {{'K', 3, 9}, {'k', 5, 0}, {'N', 4, 4}});
  SetUpFen(FenOf(red, 'w'));
  const std::vector<Move> redAll = {M(4, 4, 3, 2), M(4, 4, 5, 2), M(4, 4, 2, 5), M(4, 4, 2, 3),
                                    M(4, 4, 6, 3), M(4, 4, 6, 5), M(4, 4, 5, 6), M(4, 4, 3, 6)};
  auto all = GeneratedMoves(GenerateAllMoves);
  EXPECT_EQ(std::vector<Move>(all.begin(), all.begin() + 8), redAll) << Show(all);
  const std::vector<Move> capturesOrder = {M(4, 4, 5, 6), M(4, 4, 3, 6), M(4, 4, 3, 2), M(4, 4, 5, 2),
                                           M(4, 4, 2, 5), M(4, 4, 2, 3), M(4, 4, 6, 3), M(4, 4, 6, 5)};
  EXPECT_EQ(GeneratedMoves(GenerateCaptures), capturesOrder);
  CheckGeneratorsAgree("red knight");

  // The same for black (colours swapped): forward leg +1 first.
  std::vector<Placed> black;
  for (auto p : targets) black.push_back({static_cast<char>(p.letter - 32), p.file, p.rank});
  black.insert(black.end(), {{'K', 3, 9}, {'k', 5, 0}, {'n', 4, 4}});
  SetUpFen(FenOf(black, 'b'));
  all = GeneratedMoves(GenerateAllMoves);
  EXPECT_EQ(std::vector<Move>(all.begin(), all.begin() + 8),
            (std::vector<Move>{M(4, 4, 5, 6), M(4, 4, 3, 6), M(4, 4, 2, 5), M(4, 4, 2, 3), M(4, 4, 6, 3),
                               M(4, 4, 6, 5), M(4, 4, 3, 2), M(4, 4, 5, 2)}))
      << Show(all);
  EXPECT_EQ(GeneratedMoves(GenerateCaptures), capturesOrder);
  CheckGeneratorsAgree("black knight");

  // An occupied leg square cuts both targets over it, whatever stands there.
  SetUpFen(FenOf({{'K', 3, 9}, {'k', 5, 0}, {'N', 4, 4}, {'p', 4, 3}, {'r', 3, 2}, {'r', 5, 2}}, 'w'));
  for (Move m : GeneratedMoves(GenerateAllMoves))
    EXPECT_TRUE(MoveTo(m) != MakeSquare(3, 2) && MoveTo(m) != MakeSquare(5, 2)) << Show(m);
  EXPECT_TRUE(GeneratedEntries(GenerateCaptures).empty());
}

TEST(Generators, ElephantEyes) {
  // Eye (3,8) blocked: the move to (2,9) is lost although an enemy stands there.
  SetUpFen(FenOf({{'K', 3, 9}, {'k', 5, 0}, {'B', 4, 7}, {'c', 3, 8}, {'n', 2, 9}, {'n', 6, 5}}, 'w'));
  const auto all = GeneratedMoves(GenerateAllMoves);
  std::vector<Move> elephant;
  for (Move m : all)
    if (MoveFrom(m) == MakeSquare(4, 7)) elephant.push_back(m);
  EXPECT_EQ(elephant, (std::vector<Move>{M(4, 7, 2, 5), M(4, 7, 6, 9), M(4, 7, 6, 5)})) << Show(all);
  CheckGeneratorsAgree("elephant");
}

TEST(Generators, AdviserOnThePalaceCentre) {
  SetUpFen(FenOf({{'K', 3, 9}, {'k', 5, 0}, {'A', 4, 8}}, 'w'));
  auto of = [](const std::vector<Move>& moves) {
    std::vector<Move> out;
    for (Move m : moves)
      if (MoveFrom(m) == kRedPalaceCentre) out.push_back(m);
    return out;
  };
  EXPECT_EQ(of(GeneratedMoves(GenerateAllMoves)),
            (std::vector<Move>{M(4, 8, 5, 9), M(4, 8, 5, 7), M(4, 8, 3, 7)}));
  EXPECT_EQ(of(GeneratedMoves(GenerateQuietMoves)),
            (std::vector<Move>{M(4, 8, 5, 9), M(4, 8, 3, 7), M(4, 8, 5, 7)}));
  SetUpFen(FenOf({{'K', 4, 9}, {'k', 5, 0}, {'A', 4, 8}}, 'w'));
  EXPECT_EQ(of(GeneratedMoves(GenerateQuietMoves)),
            (std::vector<Move>{M(4, 8, 5, 9), M(4, 8, 3, 9), M(4, 8, 3, 7), M(4, 8, 5, 7)}));
  EXPECT_EQ(of(GeneratedMoves(GenerateAllMoves)),
            (std::vector<Move>{M(4, 8, 3, 9), M(4, 8, 5, 9), M(4, 8, 5, 7), M(4, 8, 3, 7)}));
  // Captures from the centre: +15, +17, -17, -15.
  SetUpFen(FenOf({{'K', 4, 9}, {'k', 5, 0}, {'A', 4, 8}, {'n', 3, 9}, {'n', 5, 9}, {'p', 3, 7}, {'p', 5, 7}}, 'w'));
  EXPECT_EQ(of(GeneratedMoves(GenerateCaptures)),
            (std::vector<Move>{M(4, 8, 5, 7), M(4, 8, 5, 9), M(4, 8, 3, 7), M(4, 8, 3, 9)}));
  EXPECT_EQ(of(GeneratedMoves(GenerateAllMoves)),
            (std::vector<Move>{M(4, 8, 3, 9), M(4, 8, 5, 9), M(4, 8, 5, 7), M(4, 8, 3, 7)}));
  // Black: +15, -17, +17, -15 in the full and quiet lists.
  SetUpFen(FenOf({{'K', 3, 9}, {'k', 5, 0}, {'a', 4, 1}}, 'b'));
  const std::vector<Move> blackOrder = {M(4, 1, 5, 0), M(4, 1, 3, 0), M(4, 1, 5, 2), M(4, 1, 3, 2)};
  std::vector<Move> fromCentre;
  for (Move m : GeneratedMoves(GenerateAllMoves))
    if (MoveFrom(m) == kBlackPalaceCentre) fromCentre.push_back(m);
  EXPECT_EQ(fromCentre, std::vector<Move>(blackOrder.begin() + 1, blackOrder.end()));  // (5,0) holds the king
  CheckGeneratorsAgree("black adviser");
}

TEST(Generators, KingStaysInPalaceAndMayFaceTheOtherKing) {
  SetUpFen(FenOf({{'K', 3, 7}, {'k', 4, 0}}, 'w'));
  // (2,7) and (3,6) lie outside the palace; (4,7) faces the black king but is
  // still generated (making the move decides).
  EXPECT_EQ(GeneratedMoves(GenerateAllMoves), (std::vector<Move>{M(3, 7, 4, 7), M(3, 7, 3, 8)}));
  EXPECT_EQ(GeneratedMoves(GenerateQuietMoves), (std::vector<Move>{M(3, 7, 4, 7), M(3, 7, 3, 8)}));
  EXPECT_TRUE(GeneratedEntries(GenerateCaptures).empty());
}

TEST(Generators, PieceOrderOfEachGenerator) {
  // One red piece of each kind, every one with a capture: the from-squares of
  // the captures show the piece order R H C P A E K, those of the full list
  // R H C P E A K.
  SetUpFen(FenOf({{'K', 4, 9}, {'k', 3, 0}, {'R', 0, 9}, {'n', 0, 4}, {'N', 8, 8}, {'p', 7, 6}, {'C', 8, 5},
                {'P', 8, 4}, {'r', 8, 1}, {'P', 2, 3}, {'n', 2, 2}, {'A', 4, 8}, {'b', 3, 9}, {'B', 6, 9},
                {'c', 4, 7}},
               'w'));
  auto pieceRuns = [](const std::vector<Move>& moves) {
    std::vector<int> kinds;
    for (Move m : moves) {
      const int kind = static_cast<int>(pieceTypeOf[board[MoveFrom(m)]]);
      if (kinds.empty() || kinds.back() != kind) kinds.push_back(kind);
    }
    return kinds;
  };
  const std::vector<int> capturesOrder = {kChariot, kKnight, kCannon, kPawn, kAdviser, kElephant, kKing};
  EXPECT_EQ(pieceRuns(GeneratedMoves(GenerateCaptures)), capturesOrder);
  const std::vector<int> fullOrder = {kChariot, kKnight, kCannon, kPawn, kElephant, kAdviser, kKing};
  EXPECT_EQ(pieceRuns(GeneratedMoves(GenerateAllMoves)), fullOrder);
  EXPECT_EQ(pieceRuns(GeneratedMoves(GenerateQuietMoves)), fullOrder);
  CheckGeneratorsAgree("one of each");
}

TEST(Generators, AgreeOnPositionsFromRandomPlay) {
  std::mt19937 rng(977);
  int positions = 0;
  for (int game = 0; game < 60; ++game) {
    SetUpFen(testing_support::kStartFen);
    FillHistory(game);
    for (int ply = 0; ply < 110; ++ply) {
      CheckGeneratorsAgree(testing_support::CurrentFen());
      if (HasFailure()) return;
      ++positions;
      const auto moves = testing_support::LegalMoves();
      if (moves.empty()) break;
      ASSERT_EQ(testing_support::PlayMove(RandomMovePreferringCaptures(moves, rng, 3)), 1);
    }
  }
  EXPECT_GT(positions, 3000);
}

TEST(Generators, CrowdedPositionStaysInsideTheRecord) {
  // 103 pseudo-legal moves for red: chariots and cannons on open lines,
  // knights and pawns in the enemy camp.
  const std::string fen = "2Pk2P2/2P1P1P2/3N1N3/C8/1R7/7R1/8C/4B4/4A4/2B1K4 w";
  SetUpFen(fen);
  FillHistory(5);
  MovePicker& r = movePickers[historyPly];
  r.checker = 0xABCDEF;
  for (void (*generator)() : {GenerateAllMoves, GenerateQuietMoves, GenerateCaptures}) {
    for (auto& e : r.entries) e = {0xFFFFFFFFu, -1};
    r.next = 0;
    r.count = 0;
    generator();
    ASSERT_LE(r.count, kMaxPickerEntries);
    for (int i = r.count; i < kMaxPickerEntries; ++i) ASSERT_EQ(r.entries[i].move, 0xFFFFFFFFu) << i;
    EXPECT_EQ(r.checker, 0xABCDEFu);
  }
  EXPECT_EQ(GeneratedEntries(GenerateAllMoves).size(), 103u);
  EXPECT_EQ(GeneratedEntries(GenerateAllMoves).size(), ReferenceMoves().size());
  CheckGeneratorsAgree(fen);
}

}  // namespace
