// The quiet-check generator against a brute-force list of checking moves,
// its generation order on hand-built positions, and the knight-check tables
// it reads against the knight geometry worked out from files and ranks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "engine/position/position.h"
#include "engine/search/search_tables.h"
#include "tests/support/board_builder.h"
#include "tests/support/move_lists.h"
#include "tests/support/random_play.h"
#include "tests/support/reference_attacks.h"
#include "tests/support/test_position.h"

namespace {

using testing_support::AttacksByRule;
using testing_support::FenOf;
using testing_support::HistoryOf;
using testing_support::M;
using testing_support::Mirrored;
using testing_support::MovesOf;
using testing_support::Placed;
using testing_support::PlayedPositions;
using testing_support::SetUpFen;
using testing_support::Texts;

// ---------------------------------------------------------------------------
// Position helpers
// ---------------------------------------------------------------------------

Move MirrorRanks(Move m) { return MakeMoveCode(RankMirror(MoveFrom(m)), RankMirror(MoveTo(m))); }

// Distinct, deterministic history values so that every entry's score can be
// traced to its own table cell (the reset clears the table).
void FillHistory() { testing_support::FillHistory(12345, 0x7FFF); }

// What GenerateQuietChecks wrote into the record of the current ply.
std::vector<MoveEntry> Generated(uint32_t extra) {
  MovePicker& r = movePickers[historyPly];
  r.count = 77;  // stale value the generator must replace
  GenerateQuietChecks(extra);
  EXPECT_GE(r.count, 0);
  EXPECT_LE(r.count, 22);  // 4 knight, 10 pawn, 4 chariot and 4 cannon moves at most
  return std::vector<MoveEntry>(r.entries, r.entries + std::max(0, r.count));
}

// ---------------------------------------------------------------------------
// Brute force: a scan of board on files and ranks (AttacksByRule),
// independent of the engine's attack tests and tables.
// ---------------------------------------------------------------------------

int Sign(int v) { return (v > 0) - (v < 0); }

// Whether the piece now standing on s attacks square k by its own rule.
bool PieceOnAttacks(Square s, Square k) { return AttacksByRule(board[s], s, k); }

// The checks that the generator leaves out on purpose. It covers only direct
// checks by the moving piece (a move that only uncovers a check from another
// piece is never listed), and of those:
//  - knights: every one;
//  - pawns: only from files 2..6 on ranks 0..3 (red) or 6..9 (black), the
//    same window the king tests use; so a pawn on file 1 or 7 stepping
//    beside the king, or a red pawn on rank 4 stepping in front of a king on
//    rank 2, is left out;
//  - chariots: only with extra set, and only from a square on neither the
//    king's file nor its rank (a slide along a line that already holds the
//    king is not listed);
//  - cannons: as chariots, and only while historyPly <= iterationDepth;
//  - king, advisers, elephants: never (they cannot give a direct check).
bool GeneratorCovers(Square from, Square king, uint32_t extra, bool cannonsAllowed) {
  const int piece = board[from];
  const bool offLines = (from & 0xF0) != (king & 0xF0) && (from & 0x0F) != (king & 0x0F);
  switch (pieceTypeOf[piece]) {
    case kKnight:
      return true;
    case kPawn: {
      const int file = FileOf(from), rank = RankOf(from);
      const bool nearPalace = piece <= 16 ? rank <= 3 : rank >= 6;
      return file >= 2 && file <= 6 && nearPalace;
    }
    case kChariot:
      return extra != 0 && offLines;
    case kCannon:
      return extra != 0 && cannonsAllowed && offLines;
    default:
      return false;
  }
}

struct BruteForceTally {
  std::map<uint32_t, int> coveredByType;  // colourless type -> checks expected
  int discoveredOnly = 0;
  int leftOutDirect = 0;
  int occupiedKnightTargets = 0;
};

// Rank in the generation order: knights, pawns, chariots, cannons, each group
// by piece index.
int OrderKey(int piece) {
  const int red = piece > 16 ? piece - 16 : piece;
  if (red == 6 || red == 7) return red - 6;
  if (red >= 12) return 2 + red - 12;
  if (red == 8 || red == 9) return 7 + red - 8;
  return 9 + red - 10;
}

void CompareWithBruteForce(uint32_t extra, bool cannonsAllowed, BruteForceTally* tally) {
  historyPly = 0;
  iterationDepth = cannonsAllowed ? 0 : -1;
  const uint32_t side = sideToMove;
  const Square king = side == kRed ? posPiece[17] : posPiece[1];
  const std::vector<MoveEntry> generated = Generated(extra);

  MovePicker& r = movePickers[historyPly];
  r.next = r.count = 0;
  GenerateAllMoves();
  std::set<Move> quiet;
  for (int i = 0; i < r.count; ++i)
    if (board[MoveTo(r.entries[i].move)] == 0) quiet.insert(r.entries[i].move);

  const auto checker = static_cast<int32_t>(FindChecker(side));
  std::set<Move> seen, generatedLegal;
  int lastKey = -1;
  for (const MoveEntry& e : generated) {
    const Square from = MoveFrom(e.move), to = MoveTo(e.move);
    const std::string text = testing_support::MoveText(e.move);
    const int piece = board[from];
    ASSERT_TRUE(piece != 0 && (piece > 16) == (side == kBlack)) << text;
    EXPECT_EQ(e.score, static_cast<int32_t>(HistoryOf(e.move)));
    EXPECT_GE(OrderKey(piece), lastKey) << "out of order: " << text;
    lastKey = OrderKey(piece);
    EXPECT_TRUE(seen.insert(e.move).second) << "listed twice: " << text;
    // Every listed move, legal or not, puts the moved piece where it attacks
    // the king (tried on board alone).
    const int held = board[to];
    board[to] = static_cast<int8_t>(piece);
    board[from] = 0;
    EXPECT_TRUE(PieceOnAttacks(to, king)) << "not a check: " << text;
    board[from] = static_cast<int8_t>(piece);
    board[to] = static_cast<int8_t>(held);
    if (held != 0) {
      // Only a knight check may land on an occupied square; the picker
      // skips it.
      EXPECT_EQ(pieceTypeOf[piece], kKnight) << text;
      EXPECT_NE(knightLeg[from][to], 0) << text;
      ++tally->occupiedKnightTargets;
      continue;
    }
    EXPECT_TRUE(quiet.count(e.move)) << "not a pseudo-legal quiet move: " << text;
    if (MakeMove(e.move, checker)) {
      UnmakeMove();
      generatedLegal.insert(e.move);
    }
  }

  std::set<Move> expected;
  for (Move m : quiet) {
    const Square from = MoveFrom(m), to = MoveTo(m);
    const bool covered = GeneratorCovers(from, king, extra, cannonsAllowed);
    const uint32_t type = pieceTypeOf[board[from]];
    if (!MakeMove(m, checker)) continue;
    const bool direct = PieceOnAttacks(to, king);
    const bool inCheck = (side == kRed ? BlackKingAttacker() : RedKingAttacker()) != 0;
    UnmakeMove();
    if (direct && covered) {
      expected.insert(m);
      ++tally->coveredByType[type];
    } else if (direct) {
      ++tally->leftOutDirect;
    } else if (inCheck) {
      ++tally->discoveredOnly;
    }
  }
  EXPECT_EQ(Texts({generatedLegal.begin(), generatedLegal.end()}),
            Texts({expected.begin(), expected.end()}))
      << testing_support::CurrentFen() << " extra " << extra << " cannons " << cannonsAllowed;
}

// ---------------------------------------------------------------------------
// Tests
// ---------------------------------------------------------------------------

TEST(KnightCheckTables, MatchTheKnightGeometry) {
  testing_support::InitEngine();
  const int kVectors[8][2] = {{1, 2},   {2, 1},   {2, -1}, {1, -2},
                              {-1, -2}, {-2, -1}, {-2, 1}, {-1, 2}};
  auto onBoardAt = [](int f, int r) { return f >= 0 && f <= 8 && r >= 0 && r <= 9; };
  // Leg of a knight step from (f, r) by (df, dr): one orthogonal step along
  // the longer leg.
  auto leg = [](int f, int r, int df, int dr) {
    return std::abs(df) == 2 ? MakeSquare(f + Sign(df), r) : MakeSquare(f, r + Sign(dr));
  };
  for (int s = 0; s < kBoardSize; ++s)
    for (int t = 0; t < kBoardSize; ++t) {
      uint8_t want = 0;
      if (onBoard[s] && onBoard[t]) {
        const int df = FileOf(t) - FileOf(s), dr = RankOf(t) - RankOf(s);
        if (std::abs(df * dr) == 2) want = static_cast<uint8_t>(leg(FileOf(s), RankOf(s), df, dr));
      }
      ASSERT_EQ(knightLeg[s][t], want) << s << " -> " << t;
    }
  for (int k = 0; k < 172; ++k)
    for (int n = 0; n < 172; ++n) {
      // (move, check leg, step leg) of every N -> T -> K path.
      std::set<std::tuple<uint32_t, int, int>> want, got;
      if (onBoard[k] && onBoard[n] && k != n) {
        const int kf = FileOf(k), kr = RankOf(k);
        for (const auto& a : kVectors) {
          const int tf = kf + a[0], tr = kr + a[1];
          if (!onBoardAt(tf, tr)) continue;
          for (const auto& b : kVectors) {
            if (MakeSquare(tf + b[0], tr + b[1]) != static_cast<Square>(n) ||
                !onBoardAt(tf + b[0], tr + b[1]))
              continue;
            const Square t = MakeSquare(tf, tr);
            want.insert({MakeMoveCode(n, t), static_cast<int>(leg(tf, tr, -a[0], -a[1])),
                         static_cast<int>(leg(tf + b[0], tr + b[1], -b[0], -b[1]))});
          }
        }
      }
      ASSERT_LE(want.size(), 2u);
      if (knightCheckMove1[k][n] != 0)
        got.insert({knightCheckMove1[k][n], knightCheckLeg1[k][n], knightStepLeg1[k][n]});
      else
        ASSERT_EQ(knightCheckMove2[k][n], 0u) << k << "," << n;
      if (knightCheckMove2[k][n] != 0)
        got.insert({knightCheckMove2[k][n], knightCheckLeg2[k][n], knightStepLeg2[k][n]});
      ASSERT_EQ(got, want) << "king " << k << " knight " << n;
    }
}

TEST(QuietChecks, MatchBruteForceOnPlayedPositions) {
  const std::vector<std::string> fens = PlayedPositions(7071, 16);
  ASSERT_GT(fens.size(), 1500u);
  BruteForceTally tally;
  for (const std::string& fen : fens) {
    SetUpFen(fen);
    FillHistory();
    for (uint32_t extra : {0u, 1u})
      for (bool cannons : {true, false}) {
        if (extra == 0 && !cannons) continue;
        CompareWithBruteForce(extra, cannons, &tally);
        if (HasFailure()) return;
      }
  }
  // The positions exercise every kind of check the generator lists and the
  // kinds it leaves out.
  EXPECT_GT(tally.coveredByType[kKnight], 100);
  EXPECT_GT(tally.coveredByType[kPawn], 40);
  EXPECT_GT(tally.coveredByType[kChariot], 500);
  EXPECT_GT(tally.coveredByType[kCannon], 200);
  EXPECT_GT(tally.leftOutDirect, 500);
  EXPECT_GT(tally.discoveredOnly, 100);
  EXPECT_GT(tally.occupiedKnightTargets, 10);
}

// Hand-built positions, red to move, each also checked as its black twin.
struct Case {
  const char* name;
  std::vector<Placed> pieces;
  uint32_t extra;
  bool cannonsAllowed;
  std::vector<Move> want;  // in generation order (pawns listed by square; see below)
};

// Runs a red-to-move case and its rank-mirrored black twin. Pawn moves are
// expected grouped per pawn in the order of the pawns' indices, which the FEN
// reader assigns; the case lists them per pawn square.
void RunCase(const Case& c, bool black) {
  SCOPED_TRACE(std::string(c.name) + (black ? " (black twin)" : ""));
  SetUpFen(FenOf(black ? Mirrored(c.pieces) : c.pieces, black ? 'b' : 'w'));
  FillHistory();
  historyPly = 0;
  iterationDepth = c.cannonsAllowed ? 0 : -1;
  std::vector<Move> want;
  for (Move m : c.want) want.push_back(black ? MirrorRanks(m) : m);
  // Group the expected pawn moves by pawn index, keeping the case's order
  // within one pawn and the other pieces where they stand.
  std::stable_sort(want.begin(), want.end(), [](Move a, Move b) {
    return OrderKey(board[MoveFrom(a)]) < OrderKey(board[MoveFrom(b)]);
  });
  // A knight's two checks come in the order of the check tables, which is
  // not symmetric between the colours (tested on its own below): compare a
  // knight's moves as a set.
  std::vector<Move> got = MovesOf(Generated(c.extra));
  for (std::vector<Move>* list : {&want, &got})
    for (auto it = list->begin(); it != list->end();) {
      auto end = it;
      while (end != list->end() && MoveFrom(*end) == MoveFrom(*it)) ++end;
      if (pieceTypeOf[board[MoveFrom(*it)]] == kKnight) std::sort(it, end);
      it = end;
    }
  EXPECT_EQ(Texts(got), Texts(want));
}

TEST(QuietChecks, HandBuiltPositionsInGenerationOrder) {
  const std::vector<Case> cases = {
      {"knight with two checking squares, both free",
       {{'k', 4, 0}, {'K', 3, 9}, {'N', 4, 4}},
       0,
       true,
       {M(4, 4, 5, 2), M(4, 4, 3, 2)}},
      {"check leg of one square blocked: only the other",
       {{'k', 4, 0}, {'c', 5, 1}, {'K', 3, 9}, {'N', 4, 4}},
       0,
       true,
       {M(4, 4, 3, 2)}},
      {"step leg blocked: nothing",
       {{'k', 4, 0}, {'K', 3, 9}, {'N', 4, 4}, {'p', 4, 3}},
       0,
       true,
       {}},
      {"checking square held by a piece: listed anyway",
       {{'k', 4, 0}, {'K', 3, 9}, {'N', 4, 4}, {'C', 5, 2}, {'c', 3, 2}},
       0,
       true,
       {M(4, 4, 5, 2), M(4, 4, 3, 2)}},
      {"pawns around a king on rank 2",
       {{'k', 4, 2}, {'K', 3, 9}, {'P', 5, 3}, {'P', 3, 3}, {'P', 2, 2}, {'P', 6, 2}, {'P', 4, 4}},
       0,
       true,
       {// K + 17: in front of the king, then beside it
        M(5, 3, 4, 3), M(5, 3, 5, 2),
        // K - 15
        M(3, 3, 4, 3), M(3, 3, 3, 2),
        // K - 32 and K + 32
        M(2, 2, 3, 2), M(6, 2, 5, 2)}},
      {"pawn targets that are occupied, a pawn outside the window",
       {{'k', 3, 2}, {'n', 3, 3}, {'b', 4, 2}, {'K', 5, 9}, {'P', 4, 3}, {'P', 1, 2}},
       0,
       true,
       // (4,3) = K + 17 finds both its targets, (3,3) and (4,2), held; (1,2)
       // = K - 32 would check from (2,2) but stands on file 1.
       {}},
      {"extra 0: no chariot or cannon moves",
       {{'k', 4, 0}, {'b', 2, 0}, {'a', 5, 0}, {'K', 5, 8}, {'R', 1, 3}, {'C', 7, 4}},
       0,
       true,
       {}},
      {"chariot and cannon corners",
       {{'k', 4, 0}, {'b', 2, 0}, {'a', 5, 0}, {'K', 5, 8}, {'R', 1, 3}, {'C', 7, 4}},
       1,
       true,
       // Chariot: (1,0) has the elephant between it and the king; (4,3) is
       // clear both ways. Cannon: (7,0) has the adviser as its screen; (4,4)
       // has no screen.
       {M(1, 3, 4, 3), M(7, 4, 7, 0)}},
      {"beyond the iteration depth: chariots only",
       {{'k', 4, 0}, {'b', 2, 0}, {'a', 5, 0}, {'K', 5, 8}, {'R', 1, 3}, {'C', 7, 4}},
       1,
       false,
       {M(1, 3, 4, 3)}},
      {"a chariot on the king's file, a corner held by a piece",
       {{'k', 4, 0}, {'p', 4, 3}, {'K', 5, 8}, {'R', 4, 6}, {'R', 1, 3}, {'C', 1, 0}},
       1,
       true,
       // Chariot (1,3): its corner (1,0) holds its own cannon and (4,3) a
       // pawn. The cannon on the king's rank gets nothing either.
       {}},
      {"order: knights, pawns, chariots, cannons",
       {{'k', 4, 0}, {'p', 4, 3}, {'K', 3, 9}, {'C', 6, 5}, {'R', 0, 2}, {'P', 3, 1}, {'N', 8, 2}},
       1,
       true,
       {M(8, 2, 6, 1), M(3, 1, 4, 1), M(3, 1, 3, 0), M(0, 2, 0, 0), M(0, 2, 4, 2), M(6, 5, 4, 5)}},
  };
  for (const Case& c : cases) {
    RunCase(c, false);
    RunCase(c, true);
  }
}

TEST(QuietChecks, KnightChecksInTableOrderWithHistoryScores) {
  SetUpFen(FenOf({{'k', 4, 0}, {'K', 3, 9}, {'N', 4, 4}}));
  historyPly = 0;
  const Move a = M(4, 4, 5, 2), b = M(4, 4, 3, 2);
  historyTable[kKnight][172 * MoveFrom(a) + MoveTo(a)] = 900;
  historyTable[kKnight][172 * MoveFrom(b) + MoveTo(b)] = 0x80000001u;
  MarkHistoryTableWritten();
  const std::vector<MoveEntry> got = Generated(0);
  ASSERT_EQ(got.size(), 2u);
  // The first check of the tables comes first.
  EXPECT_EQ(got[0].move, knightCheckMove1[MakeSquare(4, 0)][MakeSquare(4, 4)]);
  EXPECT_EQ(got[1].move, knightCheckMove2[MakeSquare(4, 0)][MakeSquare(4, 4)]);
  for (const MoveEntry& e : got)
    // The unsigned table value is stored as a signed score.
    EXPECT_EQ(e.score, e.move == a ? 900 : static_cast<int32_t>(0x80000001u));
}

TEST(QuietChecks, WritesTheRecordOfTheCurrentPly) {
  SetUpFen(FenOf({{'k', 4, 0}, {'K', 3, 9}, {'N', 4, 4}}));
  historyPly = 5;
  movePickers[4].count = 3;
  GenerateQuietChecks(0);
  EXPECT_EQ(movePickers[5].count, 2);
  EXPECT_EQ(movePickers[4].count, 3);
  historyPly = 0;
}

}  // namespace
