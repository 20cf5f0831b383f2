// Which piece of a side attacks a square: the full attacker tests (every
// piece but the king), the strong-attacker tests (knights, chariots, cannons
// and pawns) and their board-scan forms.
#include "engine/position/attack_rules.h"
#include "engine/position/position.h"

using namespace attack_rules;

namespace {

// The first attacker of T among knights, chariots, cannons, pawns, advisers
// and elephants of the side, skipping the excluded piece; never the king.
// The piece standing on T is not looked at.
template <uint32_t kSide, bool kByScan>
uint32_t FirstAttacker(uint32_t t, uint32_t excluded) {
  constexpr uint32_t o = kPieceOffset<kSide>;
  if (const uint32_t piece = FirstStrongAttacker<kSide, kByScan>(t, excluded)) return piece;
  if (PawnsMayAttack<kSide>(t)) {
    for (uint32_t i = 12 + o; i <= 16 + o; ++i)
      if (i != excluded && posPiece[i] != 0 && PawnReaches<kSide>(posPiece[i], t)) return i;
  }
  if (InOwnPalace<kSide>(t)) {
    for (uint32_t i = 2 + o; i <= 3 + o; ++i)
      if (i != excluded && posPiece[i] != 0 && AdviserReaches<kSide>(posPiece[i], t)) return i;
  }
  if (OnOwnElephantSquare<kSide>(t)) {
    for (uint32_t i = 4 + o; i <= 5 + o; ++i)
      if (i != excluded && posPiece[i] != 0 && ElephantReaches(posPiece[i], t)) return i;
  }
  return 0;
}

// Knights, chariots and cannons, then the first pawn found on board ahead of
// T or (across the river) beside it.
template <uint32_t kSide>
uint32_t FirstStrongAttackerWithPawns(uint32_t t) {
  if (const uint32_t piece = FirstStrongAttacker<kSide, false>(t, 0)) return piece;
  if (!PawnsMayAttack<kSide>(t)) return 0;
  uint32_t from[3];
  const int n = PawnSourceSquares<kSide>(t, from);
  for (int j = 0; j < n; ++j)
    if (const uint32_t pawn = PawnOn<kSide>(from[j])) return pawn;
  return 0;
}

}  // namespace

uint32_t RedAttackerOf(uint32_t square, uint32_t excluded) {
  return FirstAttacker<kRed, false>(square, excluded);
}
uint32_t BlackAttackerOf(uint32_t square, uint32_t excluded) {
  return FirstAttacker<kBlack, false>(square, excluded);
}
uint32_t RedAttackerOfByScan(uint32_t square, uint32_t excluded) {
  return FirstAttacker<kRed, true>(square, excluded);
}
uint32_t BlackAttackerOfByScan(uint32_t square, uint32_t excluded) {
  return FirstAttacker<kBlack, true>(square, excluded);
}

uint32_t RedStrongAttackerOf(uint32_t square) { return FirstStrongAttackerWithPawns<kRed>(square); }
uint32_t BlackStrongAttackerOf(uint32_t square) {
  return FirstStrongAttackerWithPawns<kBlack>(square);
}

uint32_t RedStrongAttackerByScan(uint32_t square) {
  return FirstStrongAttacker<kRed, true>(square, 0);
}
uint32_t BlackStrongAttackerByScan(uint32_t square) {
  return FirstStrongAttacker<kBlack, true>(square, 0);
}

// Red only: a chariot or a cannon with a clear line to the square (a cannon
// counts here as if it were a chariot), or a knight.
uint32_t IsAttackedByRedStrong(uint32_t square) {
  for (uint32_t i = 8; i <= 11; ++i)
    if (posPiece[i] != 0 && ChariotReaches(posPiece[i], square)) return 1;
  for (uint32_t i = 6; i <= 7; ++i)
    if (posPiece[i] != 0 && KnightReaches(posPiece[i], square)) return 1;
  return 0;
}
