// How many pieces of a side attack a square (all pieces, or only the strong
// ones), and the pin test of a chariot move.
#include "engine/position/attack_rules.h"
#include "engine/position/position.h"

using namespace attack_rules;

namespace {

constexpr uint32_t kExcludeNothing = 0xFFFFFFFFu;

template <uint32_t kSide>
uint32_t KnightCount(uint32_t t) {
  constexpr uint32_t o = kPieceOffset<kSide>;
  uint32_t n = 0;
  for (uint32_t i = 6 + o; i <= 7 + o; ++i)
    if (posPiece[i] != 0 && KnightReaches(posPiece[i], t)) ++n;
  return n;
}

// b lies beyond f as seen from t, all three coordinates on one line.
bool Beyond(int b, int f, int t) { return t < f ? b > f : b < f; }

// The chariot `back` stands behind `front` on front's line to T, with only
// empty squares between the two.
bool BacksUp(uint32_t back, uint32_t front, uint32_t t) {
  bool behind;
  if (SameFile(front, t)) {
    behind = SameFile(back, front) && Beyond(RankOf(back), RankOf(front), RankOf(t));
  } else {
    behind = SameRank(back, front) && Beyond(FileOf(back), FileOf(front), FileOf(t));
  }
  return behind && ChariotReaches(back, front);
}

// Battery rule: each chariot with a clear line to T counts one; when exactly
// one of them has, the other counts too when it stands right behind it on
// the same line, so two chariots doubled on a line count two.
template <uint32_t kSide>
uint32_t ChariotCount(uint32_t t) {
  constexpr uint32_t o = kPieceOffset<kSide>;
  const uint32_t c1 = posPiece[8 + o];
  const uint32_t c2 = posPiece[9 + o];
  const bool hits1 = ChariotAttacksSquare(8 + o, t) != 0;
  const bool hits2 = ChariotAttacksSquare(9 + o, t) != 0;
  if (hits1 == hits2) return hits1 ? 2 : 0;
  const uint32_t front = hits1 ? c1 : c2;
  const uint32_t back = hits1 ? c2 : c1;
  return back != 0 && BacksUp(back, front, t) ? 2 : 1;
}

// Pawns read from board ahead of T and, across the river, beside it.
template <uint32_t kSide>
uint32_t PawnCount(uint32_t t) {
  if (!PawnsMayAttack<kSide>(t)) return 0;
  uint32_t from[3];
  const int n = PawnSourceSquares<kSide>(t, from);
  uint32_t count = 0;
  for (int j = 0; j < n; ++j)
    if (PawnOn<kSide>(from[j]) != 0) ++count;
  return count;
}

template <uint32_t kSide>
uint32_t AttackCount(uint32_t t) {
  constexpr uint32_t o = kPieceOffset<kSide>;
  uint32_t n = KnightCount<kSide>(t) + ChariotCount<kSide>(t);
  for (uint32_t i = 10 + o; i <= 11 + o; ++i)
    if (posPiece[i] != 0 && CannonReaches(posPiece[i], t)) ++n;
  n += PawnCount<kSide>(t);
  if (InOwnPalace<kSide>(t)) {
    for (uint32_t i = 2 + o; i <= 3 + o; ++i)
      if (posPiece[i] != 0 && AdviserReaches<kSide>(posPiece[i], t)) ++n;
  }
  if (OnOwnElephantSquare<kSide>(t)) {
    for (uint32_t i = 4 + o; i <= 5 + o; ++i)
      if (posPiece[i] != 0 && ElephantReaches(posPiece[i], t)) ++n;
  }
  return n;
}

// Knights, chariots (battery rule), cannons with exactly two screens, pawns.
template <uint32_t kSide>
uint32_t StrongAttackCount(uint32_t t) {
  constexpr uint32_t o = kPieceOffset<kSide>;
  uint32_t n = KnightCount<kSide>(t) + ChariotCount<kSide>(t);
  for (uint32_t i = 10 + o; i <= 11 + o; ++i)
    if (posPiece[i] != 0 && CannonHasTwoScreens(posPiece[i], t)) ++n;
  return n + PawnCount<kSide>(t);
}

// The chariot reaches the square, and its own king is not attacked once the
// chariot is lifted off board (posPiece and the masks keep it). The chariot
// is not placed on the square, so capturing the pinning piece does not help.
template <uint32_t kSide>
uint32_t ChariotMoveUnpinned(uint32_t piece, uint32_t square) {
  if (ChariotAttacksSquare(piece, square) == 0) return 0;
  const uint32_t from = posPiece[piece];
  board[from] = 0;
  typeBoard[from] = 0;
  const uint32_t attacker = kSide == kBlack
                                ? RedAttackerOfByScan(*blackKingSquarePtr, kExcludeNothing)
                                : BlackAttackerOfByScan(*redKingSquarePtr, kExcludeNothing);
  board[from] = static_cast<int8_t>(piece);
  typeBoard[from] = static_cast<uint8_t>(colouredTypeOf[piece]);
  return attacker == 0 ? 1 : 0;
}

}  // namespace

uint32_t RedAttackCount(uint32_t square) { return AttackCount<kRed>(square); }
uint32_t BlackAttackCount(uint32_t square) { return AttackCount<kBlack>(square); }
uint32_t RedStrongAttackCount(uint32_t square) { return StrongAttackCount<kRed>(square); }
uint32_t BlackStrongAttackCount(uint32_t square) { return StrongAttackCount<kBlack>(square); }

uint32_t BlackChariotMoveUnpinned(uint32_t piece, uint32_t square) {
  return ChariotMoveUnpinned<kBlack>(piece, square);
}
uint32_t RedChariotMoveUnpinned(uint32_t piece, uint32_t square) {
  return ChariotMoveUnpinned<kRed>(piece, square);
}
