// The king-safety test: the first chariot, cannon, knight or pawn of one
// side that attacks the other side's king. Shared by the check tests
// (attacks_king.cpp) and by MakeMove, which inlines it on every move.
#pragma once

#include <algorithm>
#include <cstdint>

#include "engine/position/attack_rules.h"
#include "engine/position/position.h"

namespace attack_rules {

// A pawn of the side can only reach the enemy king from files 2..6 and the
// three ranks of the enemy palace plus the rank in front of it.
template <uint32_t kSide>
inline bool PawnNearEnemyPalace(uint32_t p) {
  const int file = FileOf(p);
  const int rank = RankOf(p);
  if (file < 2 || file > 6) return false;
  return kSide == kRed ? rank <= 3 : rank >= 6;
}

// The side's pawn standing on s and able to check from there, else 0. Reads
// the board and confirms the square from the piece list.
template <uint32_t kSide>
inline uint32_t CheckingPawnOn(uint32_t s) {
  constexpr uint32_t o = kPieceOffset<kSide>;
  const uint32_t piece = static_cast<uint32_t>(board[s]);
  if (piece - (12 + o) > 4) return 0;
  return posPiece[piece] == s && PawnNearEnemyPalace<kSide>(s) ? piece : 0;
}

// The side's pawn giving check to the enemy king on K, in index order. Only
// the three squares next to K (ahead of it and beside it) are looked at,
// rather than every pawn of the list; the lowest index among them wins.
template <uint32_t kSide>
inline uint32_t PawnCheckingKing(uint32_t k) {
  if (pieceCount[kSide][kPawn - 1] == 0 || k == 0) return 0;
  const uint32_t ahead = CheckingPawnOn<kSide>(kSide == kRed ? k + 1 : k - 1);
  const uint32_t above = CheckingPawnOn<kSide>(k + 16);
  const uint32_t below = CheckingPawnOn<kSide>(k - 16);
  // 0 (none) wraps to the largest value, so any pawn found is below it.
  const uint32_t first = std::min({ahead - 1, above - 1, below - 1});
  return first + 1;
}

// Whether a pawn of the side checks the enemy king on K: the squares and
// tests of PawnCheckingKing, stopping at the first pawn found since no
// choice among them is needed.
template <uint32_t kSide>
inline bool PawnChecksKing(uint32_t k) {
  if (pieceCount[kSide][kPawn - 1] == 0 || k == 0) return false;
  return CheckingPawnOn<kSide>(kSide == kRed ? k + 1 : k - 1) != 0 ||
         CheckingPawnOn<kSide>(k + 16) != 0 || CheckingPawnOn<kSide>(k - 16) != 0;
}

// The side's king square, read from posPiece itself: redKingSquarePtr and
// blackKingSquarePtr point there, but reading through them costs a load more.
template <uint32_t kSide>
inline uint32_t KingOf() {
  return kSide == kRed ? posPiece[1] : posPiece[17];
}

// The king-safety test: chariots, cannons, knights, pawns; no facing kings.
// Gives the first attacking piece's index, or with kAnyAttacker only 1 for
// "attacked": the refusal test of every move needs no index, and its pawn
// test may stop at the first pawn found.
template <uint32_t kAttacker, bool kAnyAttacker>
inline uint32_t ScanKingAttackers() {
  constexpr uint32_t o = kPieceOffset<kAttacker>;
  constexpr uint32_t kDefender = kAttacker == kRed ? kBlack : kRed;
  const uint32_t k = KingOf<kDefender>();
  if (k == 0) return 0;
  // With the king on the board an absent piece (square 0) shares neither its
  // file nor its rank and is no knight step away, so the rules answer false
  // for it without a test of their own.
  for (uint32_t i = 8 + o; i <= 9 + o; ++i)
    if (ChariotReaches(posPiece[i], k)) return kAnyAttacker ? 1 : i;
  for (uint32_t i = 10 + o; i <= 11 + o; ++i)
    if (CannonReaches(posPiece[i], k)) return kAnyAttacker ? 1 : i;
  for (uint32_t i = 6 + o; i <= 7 + o; ++i)
    if (KnightReaches(posPiece[i], k)) return kAnyAttacker ? 1 : i;
  if constexpr (kAnyAttacker)
    return PawnChecksKing<kAttacker>(k) ? 1 : 0;
  else
    return PawnCheckingKing<kAttacker>(k);
}

template <uint32_t kAttacker>
inline uint32_t EnemyKingAttacker() {
  return ScanKingAttackers<kAttacker, false>();
}

// Whether the side attacks the enemy king: EnemyKingAttacker() != 0.
template <uint32_t kAttacker>
inline bool EnemyKingAttacked() {
  return ScanKingAttackers<kAttacker, true>() != 0;
}

}  // namespace attack_rules
