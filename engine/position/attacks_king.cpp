// Check tests: which piece gives check to a king, the kings-facing scan, and
// the single-piece tests of the quiet-check generator.
#include "engine/position/attack_rules.h"
#include "engine/position/king_attackers.h"
#include "engine/position/position.h"

using namespace attack_rules;

namespace {

// The first piece of the attacking side that checks the enemy king: knights,
// chariots, cannons, pawns, then the attacking king when the kings face.
template <uint32_t kAttacker>
uint32_t FindCheckerOfEnemyKing() {
  constexpr uint32_t o = kPieceOffset<kAttacker>;
  constexpr uint32_t kDefender = kAttacker == kRed ? kBlack : kRed;
  const uint32_t k = KingOf<kDefender>();
  if (const uint32_t piece = FirstStrongAttacker<kAttacker, false>(k, 0)) return piece;
  if (const uint32_t pawn = PawnCheckingKing<kAttacker>(k)) return pawn;
  if (SameFile(posPiece[1], posPiece[17]) && KingsFace()) return 1 + o;
  return 0;
}

}  // namespace

uint32_t KnightAttacksSquare(uint32_t piece, uint32_t square) {
  const uint32_t a = posPiece[piece];
  return a != 0 && KnightReaches(a, square) ? piece : 0;
}

uint32_t CannonAttacksSquare(uint32_t piece, uint32_t square) {
  const uint32_t a = posPiece[piece];
  return a != 0 && CannonReaches(a, square) ? piece : 0;
}

uint32_t ChariotAttacksSquare(uint32_t piece, uint32_t square) {
  const uint32_t a = posPiece[piece];
  return a != 0 && ChariotReaches(a, square) ? piece : 0;
}

uint32_t FindCheckerOfBlackKing() { return FindCheckerOfEnemyKing<kRed>(); }
uint32_t FindCheckerOfRedKing() { return FindCheckerOfEnemyKing<kBlack>(); }

// Scans board from the square above the black king up to the square below
// the red king; meaningful only when the kings share a file.
uint32_t KingsFace() {
  const uint32_t top = posPiece[1];
  for (uint32_t s = posPiece[17] + 1; s < top; ++s)
    if (board[s] != 0) return 0;
  return 1;
}

uint32_t BlackKingAttacker() { return EnemyKingAttacker<kRed>(); }
uint32_t RedKingAttacker() { return EnemyKingAttacker<kBlack>(); }
