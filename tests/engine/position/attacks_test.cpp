// Attack and check tests: hand-built positions for each rule and for the
// order in which attackers are reported, and every test against a plain
// board walk on positions from random placement and from random play.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "engine/position/position.h"
#include "tests/support/board_builder.h"
#include "tests/support/reference_attacks.h"
#include "tests/support/test_position.h"

namespace {

using testing_support::FenOf;
using testing_support::PiecesBetween;
using testing_support::Placed;
using testing_support::SetUpFen;

constexpr uint32_t kNone = 0xFFFFFFFFu;  // excluded argument that skips nothing

Square Sq(int file, int rank) { return MakeSquare(file, rank); }
uint32_t At(int file, int rank) { return static_cast<uint32_t>(board[Sq(file, rank)]); }

// ---------------------------------------------------------------------------
// Reference attacks, computed by walking the board in (file, rank) terms
// (PiecesBetween, AttacksByRule).
// ---------------------------------------------------------------------------
bool IsRed(uint32_t piece) { return piece >= 1 && piece <= 16; }
int F(Square s) { return FileOf(s); }
int R(Square s) { return RankOf(s); }
bool Inside(int file, int rank) { return file >= 0 && file < 9 && rank >= 0 && rank < 10; }

// Does the piece, from its posPiece square, attack t? The king attacks nothing
// here. Cannons use the given number of screens (1 normally, 2 for the
// strong counts).
bool RefAttacks(uint32_t piece, Square t, int cannonScreens = 1) {
  const Square a = posPiece[piece];
  return a != 0 && testing_support::AttacksByRule(static_cast<int>(piece), a, t, cannonScreens);
}

// The side's other chariot is the only piece between chariot c and t: with
// clear lines from c to it and from it to t, it stands between them.
bool RefBattery(uint32_t c, Square t) {
  const uint32_t other = c == 8 ? 9 : c == 9 ? 8 : c == 24 ? 25 : 24;
  const Square a = posPiece[c], b = posPiece[other];
  return a != 0 && b != 0 && PiecesBetween(a, t) == 1 && PiecesBetween(a, b) == 0 &&
         PiecesBetween(b, t) == 0;
}

std::vector<uint32_t> Offset(std::vector<uint32_t> pieces, bool red) {
  if (!red)
    for (auto& p : pieces) p += 16;
  return pieces;
}

uint32_t RefFirst(const std::vector<uint32_t>& order, Square t, uint32_t excluded = kNone) {
  for (uint32_t p : order)
    if (p != excluded && RefAttacks(p, t)) return p;
  return 0;
}

const std::vector<uint32_t> kAttackerOrder = {6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 2, 3, 4, 5};
const std::vector<uint32_t> kStrongOrder = {6, 7, 8, 9, 10, 11};
const std::vector<uint32_t> kCheckerOrder = {6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
const std::vector<uint32_t> kKingTestOrder = {8, 9, 10, 11, 6, 7, 12, 13, 14, 15, 16};

// Strong attacker with pawns: the pieces, then the pawn ahead of t, then the
// pawns beside it on the higher and the lower file.
uint32_t RefStrongAttacker(bool red, Square t) {
  if (const uint32_t p = RefFirst(Offset(kStrongOrder, red), t)) return p;
  const int ahead = red ? 1 : -1;
  for (auto [df, dr] : {std::pair{0, ahead}, std::pair{1, 0}, std::pair{-1, 0}}) {
    if (!Inside(F(t) + df, R(t) + dr)) continue;
    const uint32_t p = At(F(t) + df, R(t) + dr);
    if (p != 0 && pieceTypeOf[p] == kPawn && IsRed(p) == red && RefAttacks(p, t)) return p;
  }
  return 0;
}

uint32_t RefCount(bool red, Square t, bool strong) {
  uint32_t n = 0;
  for (uint32_t p = red ? 2 : 18; p <= (red ? 16u : 32u); ++p) {
    const uint32_t type = pieceTypeOf[p];
    if (strong && (type == kAdviser || type == kElephant)) continue;
    if (RefAttacks(p, t, strong ? 2 : 1) || (type == kChariot && RefBattery(p, t))) ++n;
  }
  return n;
}

bool RefKingsFace() {
  const Square r = *redKingSquarePtr, b = *blackKingSquarePtr;
  return F(r) == F(b) && PiecesBetween(r, b) == 0;
}

uint32_t RefChecker(bool redKing) {
  const Square k = posPiece[redKing ? 1 : 17];
  if (const uint32_t p = RefFirst(Offset(kCheckerOrder, !redKing), k)) return p;
  return RefKingsFace() ? (redKing ? 17 : 1) : 0;
}

uint32_t RefUnpinned(uint32_t chariot, Square t) {
  if (PiecesBetween(posPiece[chariot], t) != 0) return 0;
  const Square from = posPiece[chariot];
  const int8_t saved = board[from];
  board[from] = 0;
  const bool red = IsRed(chariot);
  const uint32_t attacker = RefFirst(Offset(kAttackerOrder, !red), posPiece[red ? 1 : 17]);
  board[from] = saved;
  return attacker == 0;
}

// Compares every test with the reference on every playing square.
void CheckAllTests(const std::string& where, uint32_t excludeSeed) {
  ASSERT_EQ(FindCheckerOfBlackKing(), RefChecker(false)) << where;
  ASSERT_EQ(FindCheckerOfRedKing(), RefChecker(true)) << where;
  ASSERT_EQ(BlackKingAttacker(), RefFirst(kKingTestOrder, *blackKingSquarePtr)) << where;
  ASSERT_EQ(RedKingAttacker(), RefFirst(Offset(kKingTestOrder, false), *redKingSquarePtr))
      << where;
  if (F(*redKingSquarePtr) == F(*blackKingSquarePtr)) {
    ASSERT_EQ(KingsFace(), RefKingsFace()) << where;
  }
  for (int file = 0; file < 9; ++file) {
    for (int rank = 0; rank < 10; ++rank) {
      const Square t = Sq(file, rank);
      const std::string at = where + " square " + std::to_string(t);
      for (bool red : {true, false}) {
        const auto order = Offset(kAttackerOrder, red);
        const uint32_t excluded = order[(excludeSeed + t) % order.size()];
        const uint32_t first = RefFirst(order, t);
        const uint32_t firstExcl = RefFirst(order, t, excluded);
        const uint32_t strong = RefFirst(Offset(kStrongOrder, red), t);
        ASSERT_EQ(red ? RedAttackerOf(t, kNone) : BlackAttackerOf(t, kNone), first) << at;
        ASSERT_EQ(red ? RedAttackerOf(t, excluded) : BlackAttackerOf(t, excluded), firstExcl)
            << at << " excluding " << excluded;
        ASSERT_EQ(red ? RedAttackerOfByScan(t, kNone) : BlackAttackerOfByScan(t, kNone), first)
            << at;
        ASSERT_EQ(red ? RedAttackerOfByScan(t, excluded) : BlackAttackerOfByScan(t, excluded),
                  firstExcl)
            << at;
        ASSERT_EQ(red ? RedStrongAttackerOf(t) : BlackStrongAttackerOf(t),
                  RefStrongAttacker(red, t))
            << at;
        ASSERT_EQ(red ? RedStrongAttackerByScan(t) : BlackStrongAttackerByScan(t), strong) << at;
        ASSERT_EQ(red ? RedAttackCount(t) : BlackAttackCount(t), RefCount(red, t, false)) << at;
        ASSERT_EQ(red ? RedStrongAttackCount(t) : BlackStrongAttackCount(t),
                  RefCount(red, t, true))
            << at;
        for (uint32_t p : Offset({6, 7}, red))
          ASSERT_EQ(KnightAttacksSquare(p, t), RefAttacks(p, t) ? p : 0) << at << " " << p;
        for (uint32_t p : Offset({8, 9}, red)) {
          ASSERT_EQ(ChariotAttacksSquare(p, t), RefAttacks(p, t) ? p : 0) << at << " " << p;
          if (posPiece[p] == 0) continue;
          ASSERT_EQ(red ? RedChariotMoveUnpinned(p, t) : BlackChariotMoveUnpinned(p, t),
                    RefUnpinned(p, t))
              << at << " " << p;
        }
        for (uint32_t p : Offset({10, 11}, red))
          ASSERT_EQ(CannonAttacksSquare(p, t), RefAttacks(p, t) ? p : 0) << at << " " << p;
      }
      const bool redStrong =
          std::any_of(kStrongOrder.begin(), kStrongOrder.end(), [&](uint32_t p) {
            if (pieceTypeOf[p] != kCannon) return RefAttacks(p, t);
            return posPiece[p] != 0 && PiecesBetween(posPiece[p], t) == 0;
          });
      ASSERT_EQ(IsAttackedByRedStrong(t), redStrong ? 1u : 0u) << at;
    }
  }
}

// A random position whose pieces all stand on squares they can reach in a
// game; kings may face, both sides may be in check.
std::string RandomPlacement(std::mt19937& rng) {
  std::vector<Placed> placed;
  auto taken = [&](int f, int r) {
    return std::any_of(placed.begin(), placed.end(),
                       [&](const Placed& p) { return p.file == f && p.rank == r; });
  };
  auto put = [&](char letter, bool red, auto allowed) {
    std::vector<std::pair<int, int>> free;
    for (int f = 0; f < 9; ++f)
      for (int r = 0; r < 10; ++r) {
        const int rr = red ? r : 9 - r;  // rank as seen from the piece's own side
        if (!taken(f, r) && allowed(f, rr)) free.emplace_back(f, r);
      }
    if (free.empty()) return;
    const auto [f, r] = free[rng() % free.size()];
    placed.push_back({red ? letter : static_cast<char>(letter + 32), f, r});
  };
  auto palace = [](int f, int r) { return f >= 3 && f <= 5 && r >= 7; };
  auto adviserPoint = [](int f, int r) {
    return (r == 8 && f == 4) || ((r == 7 || r == 9) && (f == 3 || f == 5));
  };
  auto elephantPoint = [](int f, int r) {
    return (r == 5 || r == 9) ? f == 2 || f == 6 : r == 7 && (f % 4 == 0);
  };
  auto anywhere = [](int, int) { return true; };
  auto pawnPoint = [](int f, int r) { return r <= 4 || ((r == 5 || r == 6) && f % 2 == 0); };
  for (bool red : {true, false}) {
    put('K', red, palace);
    for (int i = 0; i < 2; ++i) {
      if (rng() % 4) put('A', red, adviserPoint);
      if (rng() % 4) put('B', red, elephantPoint);
      if (rng() % 4) put('N', red, anywhere);
      if (rng() % 4) put('R', red, anywhere);
      if (rng() % 4) put('C', red, anywhere);
    }
    for (int i = 0; i < 5; ++i)
      if (rng() % 3) put('P', red, pawnPoint);
  }
  return FenOf(placed, rng() % 2 ? 'w' : 'b');
}

// ---------------------------------------------------------------------------
// Rules, one at a time.
// ---------------------------------------------------------------------------

TEST(AttackRules, ChariotAndCannonLines) {
  // Red chariot (0,5), a black pawn screen at (3,5), red cannon (0,2) with a
  // screen at (0,4).
  SetUpFen(FenOf({{'K', 4, 9}, {'k', 4, 0}, {'R', 0, 5}, {'p', 3, 5}, {'C', 0, 2}, {'P', 0, 4}}));
  const uint32_t chariot = At(0, 5), cannon = At(0, 2);
  ASSERT_EQ(chariot, 8u);
  ASSERT_EQ(cannon, 10u);
  EXPECT_EQ(ChariotAttacksSquare(chariot, Sq(2, 5)), chariot);  // empty, clear line
  EXPECT_EQ(ChariotAttacksSquare(chariot, Sq(3, 5)), chariot);  // the first piece
  EXPECT_EQ(ChariotAttacksSquare(chariot, Sq(4, 5)), 0u);       // behind it
  EXPECT_EQ(ChariotAttacksSquare(chariot, Sq(1, 6)), 0u);       // off the lines
  EXPECT_EQ(ChariotAttacksSquare(chariot, Sq(0, 5)), 0u);       // its own square
  EXPECT_EQ(CannonAttacksSquare(cannon, Sq(0, 3)), 0u);  // between cannon and screen
  EXPECT_EQ(CannonAttacksSquare(cannon, Sq(0, 4)), 0u);  // the screen itself
  EXPECT_EQ(CannonAttacksSquare(cannon, Sq(0, 5)), cannon);  // behind the screen: own chariot
  EXPECT_EQ(CannonAttacksSquare(cannon, Sq(0, 6)), 0u);      // two screens
  EXPECT_EQ(CannonAttacksSquare(cannon, Sq(5, 2)), 0u);      // along the rank, no screen
  // The piece on the target is not looked at: the own chariot is defended.
  EXPECT_EQ(RedAttackerOf(Sq(0, 5), kNone), cannon);
  // Captured pieces attack nothing.
  EXPECT_EQ(ChariotAttacksSquare(9, Sq(8, 0)), 0u);
  EXPECT_EQ(KnightAttacksSquare(6, Sq(1, 1)), 0u);
}

TEST(AttackRules, KnightLeg) {
  SetUpFen(FenOf({{'K', 4, 9}, {'k', 4, 0}, {'N', 4, 5}, {'p', 4, 4}}));
  const uint32_t knight = At(4, 5);
  EXPECT_EQ(KnightAttacksSquare(knight, Sq(3, 3)), 0u);  // leg (4,4) blocked
  EXPECT_EQ(KnightAttacksSquare(knight, Sq(5, 3)), 0u);
  EXPECT_EQ(KnightAttacksSquare(knight, Sq(3, 7)), knight);
  EXPECT_EQ(KnightAttacksSquare(knight, Sq(6, 4)), knight);
  EXPECT_EQ(KnightAttacksSquare(knight, Sq(6, 6)), knight);
  EXPECT_EQ(KnightAttacksSquare(knight, Sq(5, 5)), 0u);
}

TEST(AttackRules, PawnsAttackSidewaysOnlyAcrossTheRiver) {
  SetUpFen(FenOf({{'K', 4, 9}, {'k', 4, 0}, {'P', 2, 5}, {'P', 6, 4}, {'p', 0, 4}, {'p', 8, 5}}));
  EXPECT_EQ(RedAttackerOf(Sq(3, 5), kNone), 0u);  // rank 5: not across
  EXPECT_EQ(RedAttackerOf(Sq(2, 4), kNone), At(2, 5));
  EXPECT_EQ(RedAttackerOf(Sq(7, 4), kNone), At(6, 4));
  EXPECT_EQ(RedAttackerOf(Sq(5, 4), kNone), At(6, 4));
  EXPECT_EQ(RedAttackerOf(Sq(6, 5), kNone), 0u);  // never backwards
  EXPECT_EQ(RedStrongAttackerOf(Sq(3, 5)), 0u);
  EXPECT_EQ(RedStrongAttackerOf(Sq(7, 4)), At(6, 4));
  EXPECT_EQ(BlackAttackerOf(Sq(1, 4), kNone), 0u);  // rank 4: not across for black
  EXPECT_EQ(BlackAttackerOf(Sq(0, 5), kNone), At(0, 4));
  EXPECT_EQ(BlackAttackerOf(Sq(7, 5), kNone), At(8, 5));
  EXPECT_EQ(BlackStrongAttackerOf(Sq(7, 5)), At(8, 5));
  EXPECT_EQ(BlackAttackCount(Sq(7, 5)), 1u);
}

TEST(AttackRules, AdvisersAndElephants) {
  SetUpFen(FenOf({{'K', 4, 9},
                  {'k', 4, 0},
                  {'A', 3, 9},
                  {'A', 4, 8},
                  {'B', 2, 9},
                  {'B', 6, 9},
                  {'n', 5, 8},
                  {'a', 4, 1}}));
  const uint32_t corner = At(3, 9), centre = At(4, 8);
  EXPECT_EQ(RedAttackerOf(Sq(4, 8), kNone), corner);  // corner adviser: the centre only
  EXPECT_EQ(RedAttackerOf(Sq(5, 7), kNone), centre);  // centre adviser: the corners
  EXPECT_EQ(RedAttackerOf(Sq(5, 9), kNone), centre);
  EXPECT_EQ(RedAttackerOf(Sq(3, 7), centre), 0u) << "corner to corner is no adviser step";
  // Elephant (2,9) reaches (4,7) and (0,7); elephant (6,9) has its eye (5,8)
  // blocked towards (4,7) but reaches (8,7).
  EXPECT_EQ(RedAttackerOf(Sq(0, 7), kNone), At(2, 9));
  EXPECT_EQ(RedAttackerOf(Sq(8, 7), kNone), At(6, 9));
  EXPECT_EQ(RedAttackerOf(Sq(4, 7), kNone), At(2, 9));
  EXPECT_EQ(RedAttackCount(Sq(4, 7)), 1u);
  EXPECT_EQ(RedAttackerOf(Sq(4, 7), At(2, 9)), 0u);
  // Strong tests and counts leave advisers and elephants out.
  EXPECT_EQ(RedStrongAttackerOf(Sq(0, 7)), 0u);
  EXPECT_EQ(RedStrongAttackCount(Sq(5, 7)), 0u);
  EXPECT_EQ(RedAttackCount(Sq(5, 7)), 1u);
  // Black's adviser on its palace centre.
  EXPECT_EQ(BlackAttackerOf(Sq(3, 0), kNone), At(4, 1));
  EXPECT_EQ(BlackAttackerOf(Sq(4, 2), kNone), 0u);
}

TEST(AttackRules, ExcludedPiece) {
  SetUpFen(FenOf({{'K', 4, 9}, {'k', 3, 0}, {'R', 0, 5}}));
  const Square t = Sq(6, 5);
  EXPECT_EQ(RedAttackerOf(t, 8), 0u);
  EXPECT_EQ(RedAttackerOf(t, kNone), 8u);
  EXPECT_EQ(RedAttackerOfByScan(t, 8), 0u);
  EXPECT_EQ(RedAttackerOfByScan(t, kNone), 8u);
  EXPECT_EQ(RedAttackerOf(t, 0), 8u);
}

// ---------------------------------------------------------------------------
// Which piece is reported.
// ---------------------------------------------------------------------------

TEST(AttackOrder, AttackerOfTriesKnightsChariotsCannonsPawns) {
  // Red knight (3,5), chariot (8,3), cannon (4,6) over the pawn (4,4), and
  // the pawn itself all attack (4,3). Set up again without the first piece
  // each time: the next one in the order is reported.
  const std::vector<Placed> kings = {{'K', 5, 9}, {'k', 3, 0}};
  const std::vector<Placed> attackers = {{'N', 3, 5}, {'R', 8, 3}, {'C', 4, 6}, {'P', 4, 4}};
  const Square t = Sq(4, 3);
  for (size_t first = 0; first < attackers.size(); ++first) {
    auto all = kings;
    all.insert(all.end(), attackers.begin() + static_cast<long>(first), attackers.end());
    SetUpFen(FenOf(all));
    const uint32_t expected = At(attackers[first].file, attackers[first].rank);
    EXPECT_EQ(RedAttackerOf(t, kNone), expected) << first;
    EXPECT_EQ(RedAttackerOfByScan(t, kNone), expected) << first;
    EXPECT_EQ(RedStrongAttackerOf(t), expected) << first;
    EXPECT_EQ(RedAttackCount(t), attackers.size() - first) << first;
  }
  SetUpFen(FenOf({kings[0], kings[1], attackers[0], attackers[1], attackers[2], attackers[3]}));
  const uint32_t knight = At(3, 5), chariot = At(8, 3);
  EXPECT_EQ(RedAttackerOf(t, knight), chariot);
  EXPECT_EQ(RedAttackerOf(t, chariot), knight);
  EXPECT_EQ(RedStrongAttackCount(t), 3u) << "the cannon has one screen only";
}

TEST(AttackOrder, PawnsByPieceListAndByBoard) {
  // Three red pawns round (4,3), across the river. Reading order gives the
  // pawn on (5,3) index 12, (3,3) index 13 and (4,4) index 14.
  SetUpFen(FenOf({{'K', 4, 9}, {'k', 3, 0}, {'P', 5, 3}, {'P', 3, 3}, {'P', 4, 4}}));
  ASSERT_EQ(At(5, 3), 12u);
  ASSERT_EQ(At(3, 3), 13u);
  ASSERT_EQ(At(4, 4), 14u);
  const Square t = Sq(4, 3);
  EXPECT_EQ(RedAttackerOf(t, kNone), 12u);    // index order
  EXPECT_EQ(RedAttackerOf(t, 12), 13u);
  EXPECT_EQ(RedStrongAttackerOf(t), 14u);     // ahead first, then file above, file below
  EXPECT_EQ(RedStrongAttackerByScan(t), 0u);  // no pawns in the scan form
  EXPECT_EQ(RedAttackCount(t), 3u);
  EXPECT_EQ(RedStrongAttackCount(t), 3u);
}

TEST(AttackOrder, CheckerFindersAndKingAttackers) {
  // Red knight (3,2) and red chariot (4,6) both check the black king (4,0).
  SetUpFen(FenOf({{'K', 3, 9}, {'k', 4, 0}, {'N', 3, 2}, {'R', 4, 6}}, 'b'));
  EXPECT_EQ(FindCheckerOfBlackKing(), At(3, 2));
  EXPECT_EQ(BlackKingAttacker(), At(4, 6)) << "chariot before knight";
  // A red pawn (4,1) checks and blocks the chariot: the knight for both.
  SetUpFen(FenOf({{'K', 3, 9}, {'k', 4, 0}, {'N', 3, 2}, {'R', 4, 6}, {'P', 4, 1}}, 'b'));
  EXPECT_EQ(FindCheckerOfBlackKing(), At(3, 2));
  EXPECT_EQ(BlackKingAttacker(), At(3, 2));
  // Red cannon over the pawn and a pawn checker: cannon first for the king
  // test, knight first for the finder.
  SetUpFen(FenOf({{'K', 3, 9}, {'k', 4, 0}, {'N', 3, 2}, {'C', 4, 6}, {'P', 4, 1}}, 'b'));
  EXPECT_EQ(FindCheckerOfBlackKing(), At(3, 2));
  EXPECT_EQ(BlackKingAttacker(), At(4, 6));
  // Only the pawn.
  SetUpFen(FenOf({{'K', 3, 9}, {'k', 4, 0}, {'P', 4, 1}, {'P', 5, 0}}, 'b'));
  EXPECT_EQ(FindCheckerOfBlackKing(), At(5, 0)) << "pawns in index order";
  EXPECT_EQ(BlackKingAttacker(), At(5, 0));
  // Black's twin: a black pawn, a cannon over it and a knight all check.
  SetUpFen(FenOf({{'K', 4, 9}, {'k', 3, 0}, {'p', 4, 8}, {'c', 4, 2}, {'n', 6, 8}}));
  EXPECT_EQ(FindCheckerOfRedKing(), At(6, 8));
  EXPECT_EQ(RedKingAttacker(), At(4, 2));
  SetUpFen(FenOf({{'K', 4, 9}, {'k', 3, 0}, {'p', 4, 8}}));
  EXPECT_EQ(FindCheckerOfRedKing(), At(4, 8));
  EXPECT_EQ(RedKingAttacker(), At(4, 8));
}

TEST(AttackOrder, FacingKings) {
  SetUpFen(FenOf({{'K', 4, 9}, {'k', 4, 0}, {'R', 0, 0}}));
  EXPECT_EQ(KingsFace(), 1u);
  EXPECT_EQ(FindCheckerOfBlackKing(), 8u) << "a real checker comes before the kings";
  SetUpFen(FenOf({{'K', 4, 9}, {'k', 4, 0}, {'R', 0, 5}}));
  EXPECT_EQ(FindCheckerOfBlackKing(), 1u);
  EXPECT_EQ(FindCheckerOfRedKing(), 17u);
  EXPECT_EQ(BlackKingAttacker(), 0u);
  EXPECT_EQ(RedKingAttacker(), 0u);
  SetUpFen(FenOf({{'K', 4, 9}, {'k', 4, 2}, {'R', 4, 5}}));
  EXPECT_EQ(KingsFace(), 0u);
  EXPECT_EQ(FindCheckerOfBlackKing(), 8u);
  EXPECT_EQ(FindCheckerOfRedKing(), 0u);
  SetUpFen(FenOf({{'K', 4, 8}, {'k', 4, 1}}));
  EXPECT_EQ(KingsFace(), 1u);
  SetUpFen(FenOf({{'K', 3, 8}, {'k', 4, 1}}));
  EXPECT_EQ(FindCheckerOfBlackKing(), 0u);
  EXPECT_EQ(FindCheckerOfRedKing(), 0u);
}

// ---------------------------------------------------------------------------
// Counts and the strong tests.
// ---------------------------------------------------------------------------

TEST(AttackCounts, CannonScreens) {
  // Red cannon (0,9) on file 0; target (0,3).
  const std::vector<Placed> base = {{'K', 4, 9}, {'k', 4, 0}, {'C', 0, 9}, {'p', 0, 3}};
  auto with = [&](std::vector<Placed> extra) {
    auto all = base;
    all.insert(all.end(), extra.begin(), extra.end());
    SetUpFen(FenOf(all));
  };
  const Square t = Sq(0, 3);
  with({{'P', 0, 6}});  // one screen
  EXPECT_EQ(RedAttackCount(t), 1u);
  EXPECT_EQ(RedStrongAttackCount(t), 0u);
  EXPECT_EQ(IsAttackedByRedStrong(t), 0u);
  EXPECT_EQ(RedStrongAttackerOf(t), At(0, 9));
  with({{'P', 0, 6}, {'n', 0, 5}});  // two screens
  EXPECT_EQ(RedAttackCount(t), 0u);
  EXPECT_EQ(RedStrongAttackCount(t), 1u);
  EXPECT_EQ(RedStrongAttackerOf(t), 0u);
  with({{'P', 0, 6}, {'n', 0, 5}, {'r', 0, 4}});  // three screens
  EXPECT_EQ(RedStrongAttackCount(t), 0u);
  with({});  // clear line: the cannon counts as a chariot only here
  EXPECT_EQ(IsAttackedByRedStrong(t), 1u);
  EXPECT_EQ(RedAttackCount(t), 0u);
  EXPECT_EQ(RedStrongAttackCount(t), 0u);
  EXPECT_EQ(RedAttackerOf(t, kNone), 0u);
  with({{'P', 0, 6}, {'N', 2, 4}});  // a knight, the cannon screened
  EXPECT_EQ(IsAttackedByRedStrong(t), 1u);
  with({{'P', 0, 6}, {'N', 2, 4}, {'p', 1, 4}});  // its leg blocked
  EXPECT_EQ(IsAttackedByRedStrong(t), 0u);
}

TEST(AttackCounts, ChariotBattery) {
  const Square t = Sq(4, 2);
  // Two chariots on file 4 behind each other, the front one clear to T.
  SetUpFen(FenOf({{'K', 3, 9}, {'k', 5, 0}, {'R', 4, 5}, {'R', 4, 8}}));
  EXPECT_EQ(RedAttackCount(t), 2u);
  EXPECT_EQ(RedStrongAttackCount(t), 2u);
  EXPECT_EQ(RedAttackerOf(t, kNone), At(4, 5));
  // A piece between the two chariots: only the front one.
  SetUpFen(FenOf({{'K', 3, 9}, {'k', 5, 0}, {'R', 4, 5}, {'P', 4, 6}, {'R', 4, 8}}));
  EXPECT_EQ(RedAttackCount(t), 1u);
  EXPECT_EQ(RedStrongAttackCount(t), 1u);
  // Doubled on the rank.
  SetUpFen(FenOf({{'K', 3, 9}, {'k', 5, 0}, {'R', 1, 2}, {'R', 0, 2}}));
  EXPECT_EQ(RedAttackCount(t), 2u);
  // From two different lines, and from both sides of T on one line.
  SetUpFen(FenOf({{'K', 3, 9}, {'k', 5, 0}, {'R', 4, 5}, {'R', 8, 2}}));
  EXPECT_EQ(RedAttackCount(t), 2u);
  SetUpFen(FenOf({{'K', 3, 9}, {'k', 5, 0}, {'R', 4, 5}, {'R', 4, 1}}));
  EXPECT_EQ(RedStrongAttackCount(t), 2u);
  // The rear chariot on the front one's line but not on T's line.
  SetUpFen(FenOf({{'K', 3, 9}, {'k', 5, 0}, {'R', 4, 5}, {'R', 7, 5}}));
  EXPECT_EQ(RedAttackCount(t), 1u);
  // A chariot defended by the other: the defender counts, the chariot on T
  // itself does not.
  SetUpFen(FenOf({{'K', 3, 9}, {'k', 5, 0}, {'R', 4, 2}, {'R', 4, 5}}));
  EXPECT_EQ(RedAttackCount(t), 1u);
  EXPECT_EQ(RedStrongAttackCount(t), 1u);
  // Black's twin.
  SetUpFen(FenOf({{'K', 3, 9}, {'k', 5, 0}, {'r', 4, 4}, {'r', 4, 0}}));
  EXPECT_EQ(BlackAttackCount(Sq(4, 7)), 2u);
  EXPECT_EQ(BlackStrongAttackCount(Sq(4, 7)), 2u);
}

// ---------------------------------------------------------------------------
// Board-scan forms and the chariot pin test.
// ---------------------------------------------------------------------------

TEST(AttackScan, ScanFormsSeeAPieceLiftedFromBoardOnly) {
  // File 0: red cannon (0,8), black pawn (0,7), red chariot (0,5), black
  // knight (0,3).
  SetUpFen(FenOf({{'K', 4, 9}, {'k', 4, 0}, {'C', 0, 8}, {'p', 0, 7}, {'R', 0, 5}, {'n', 0, 3}}));
  const uint32_t cannon = At(0, 8), chariot = At(0, 5);
  auto lift = [](Square s) {
    const int8_t piece = board[s];
    board[s] = 0;
    typeBoard[s] = 0;
    return piece;
  };
  auto putBack = [](Square s, int8_t piece) {
    board[s] = piece;
    typeBoard[s] = static_cast<uint8_t>(colouredTypeOf[piece]);
  };
  // Lift the knight: the chariot now reaches (0,1) on board.
  const Square t = Sq(0, 1);
  EXPECT_EQ(RedAttackerOf(t, kNone), 0u);
  const int8_t knight = lift(Sq(0, 3));
  EXPECT_EQ(RedAttackerOfByScan(t, kNone), chariot);
  EXPECT_EQ(RedStrongAttackerByScan(t), chariot);
  EXPECT_EQ(RedAttackerOf(t, kNone), 0u) << "the masks still hold the lifted piece";
  putBack(Sq(0, 3), knight);
  EXPECT_EQ(RedAttackerOfByScan(t, kNone), 0u);
  // Lift the pawn: the cannon keeps one screen (the chariot) towards (0,4).
  const int8_t pawn = lift(Sq(0, 7));
  EXPECT_EQ(RedAttackerOfByScan(Sq(0, 4), chariot), cannon);
  EXPECT_EQ(RedAttackerOf(Sq(0, 4), chariot), 0u);
  EXPECT_EQ(RedAttackerOfByScan(Sq(0, 6), chariot), 0u) << "no screen left";
  putBack(Sq(0, 7), pawn);
  EXPECT_EQ(RedAttackerOfByScan(Sq(0, 6), chariot), cannon);
}

TEST(AttackScan, ChariotMoveUnpinned) {
  // Black chariot (4,3) alone shields the black king (4,0) from the red
  // chariot (4,7).
  SetUpFen(FenOf({{'K', 3, 9}, {'k', 4, 0}, {'r', 4, 3}, {'R', 4, 7}}, 'b'));
  const uint32_t chariot = At(4, 3);
  const auto before = testing_support::PositionSnapshot::Take();
  EXPECT_EQ(BlackChariotMoveUnpinned(chariot, Sq(4, 7)), 0u) << "capturing the pinner";
  EXPECT_EQ(BlackChariotMoveUnpinned(chariot, Sq(0, 3)), 0u);
  EXPECT_TRUE(testing_support::PositionSnapshot::Take() == before);
  EXPECT_EQ(BlackChariotMoveUnpinned(chariot, Sq(0, 4)), 0u) << "unreachable square";
  // The black chariot alone separates the kings, nothing red attacks the
  // black king: facing kings are not tested.
  SetUpFen(FenOf({{'K', 4, 9}, {'k', 4, 0}, {'r', 4, 3}, {'R', 0, 5}}, 'b'));
  const auto before2 = testing_support::PositionSnapshot::Take();
  EXPECT_EQ(BlackChariotMoveUnpinned(At(4, 3), Sq(1, 3)), 1u);
  EXPECT_EQ(BlackChariotMoveUnpinned(At(4, 3), Sq(4, 5)), 1u);
  EXPECT_TRUE(testing_support::PositionSnapshot::Take() == before2);
  // Red's twin: the black cannon (4,1) has the red knight (4,3) and the red
  // chariot (4,5) before the red king. The chariot is not placed on the
  // target, so even a move along the file counts as exposing the king.
  SetUpFen(FenOf({{'K', 4, 9}, {'k', 3, 0}, {'R', 4, 5}, {'N', 4, 3}, {'c', 4, 1}}));
  EXPECT_EQ(RedChariotMoveUnpinned(At(4, 5), Sq(4, 4)), 0u);
  EXPECT_EQ(RedChariotMoveUnpinned(At(4, 5), Sq(2, 5)), 0u);
  // With a red adviser also on the file the cannon has two screens left.
  SetUpFen(FenOf({{'K', 4, 9}, {'k', 3, 0}, {'R', 4, 5}, {'N', 4, 3}, {'c', 4, 1}, {'A', 4, 8}}));
  EXPECT_EQ(RedChariotMoveUnpinned(At(4, 5), Sq(2, 5)), 1u);
}

// ---------------------------------------------------------------------------
// Everything against the board walk.
// ---------------------------------------------------------------------------

TEST(AttackCrossCheck, RandomPlacements) {
  std::mt19937 rng(20240611);
  for (int n = 0; n < 400; ++n) {
    const std::string fen = RandomPlacement(rng);
    SetUpFen(fen);
    const auto before = testing_support::PositionSnapshot::Take();
    ASSERT_NO_FATAL_FAILURE(CheckAllTests(fen, static_cast<uint32_t>(n)));
    ASSERT_TRUE(testing_support::PositionSnapshot::Take() == before) << fen;
  }
}

// Lift one piece from board and typeBoard only: the scan forms follow board.
TEST(AttackCrossCheck, ScanFormsWithALiftedPiece) {
  std::mt19937 rng(99);
  for (int n = 0; n < 300; ++n) {
    const std::string fen = RandomPlacement(rng);
    SetUpFen(fen);
    std::vector<uint32_t> onBoardPieces;
    for (uint32_t i = 2; i <= 32; ++i)
      if (i != 17 && posPiece[i] != 0) onBoardPieces.push_back(i);
    if (onBoardPieces.empty()) continue;
    const uint32_t lifted = onBoardPieces[rng() % onBoardPieces.size()];
    const Square s = posPiece[lifted];
    board[s] = 0;
    typeBoard[s] = 0;
    for (int file = 0; file < 9; ++file)
      for (int rank = 0; rank < 10; ++rank) {
        const Square t = Sq(file, rank);
        for (bool red : {true, false}) {
          const auto order = Offset(kAttackerOrder, red);
          const uint32_t excluded = order[(n + t) % order.size()];
          ASSERT_EQ(red ? RedAttackerOfByScan(t, excluded) : BlackAttackerOfByScan(t, excluded),
                    RefFirst(order, t, excluded))
              << fen << " lifted " << lifted << " square " << t;
          ASSERT_EQ(red ? RedStrongAttackerByScan(t) : BlackStrongAttackerByScan(t),
                    RefFirst(Offset(kStrongOrder, red), t))
              << fen << " lifted " << lifted << " square " << t;
        }
      }
    board[s] = static_cast<int8_t>(lifted);
    typeBoard[s] = static_cast<uint8_t>(colouredTypeOf[lifted]);
  }
}

TEST(AttackCrossCheck, RandomPlay) {
  std::mt19937 rng(5);
  for (int game = 0; game < 12; ++game) {
    SetUpFen(testing_support::kStartFen);
    for (int ply = 0; ply < 60; ++ply) {
      ASSERT_NO_FATAL_FAILURE(
          CheckAllTests("game " + std::to_string(game) + " ply " + std::to_string(ply), ply));
      ASSERT_EQ(FindChecker(sideToMove), sideToMove == kRed ? FindCheckerOfRedKing()
                                                            : FindCheckerOfBlackKing());
      const auto moves = testing_support::LegalMoves();
      if (moves.empty() || historyPly + 1 >= kMaxSearchPly) break;
      const Move m = moves[rng() % moves.size()];
      ASSERT_EQ(MakeMove(m, static_cast<int32_t>(FindChecker(sideToMove))), 1);
    }
  }
}

}  // namespace
