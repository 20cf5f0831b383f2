// Step and line rules shared by the attack and check tests (attacks_*.cpp).
// A is the attacker's square, T the target square; every rule reads the
// engine position directly. Internal to the attack tests.
#pragma once

#include <cstdint>

#include "engine/position/position.h"

namespace attack_rules {

// Piece-list offset of a side: black's pieces are red's + 16.
template <uint32_t kSide>
inline constexpr uint32_t kPieceOffset = kSide == kRed ? 0 : 16;

inline bool SameFile(uint32_t a, uint32_t t) { return ((a ^ t) & 0xF0) == 0; }
inline bool SameRank(uint32_t a, uint32_t t) { return ((a ^ t) & 0x0F) == 0; }

// Knight on A reaches T: T is one knight step away and the leg is empty.
inline bool KnightReaches(uint32_t a, uint32_t t) {
  const uint32_t leg = knightLeg[a][t];
  return leg != 0 && board[leg] == 0;
}

// Line look-up through the occupancy masks; the file is tried first.
inline bool LineReaches(const uint16_t (&reach)[1024][10], uint32_t a, uint32_t t) {
  if (SameFile(a, t)) return (fileMaskBit[t] & reach[fileOccupancy[FileOf(t)]][RankOf(a)]) != 0;
  if (SameRank(a, t)) return (rankMaskBit[t] & reach[rankOccupancy[RankOf(t)]][FileOf(a)]) != 0;
  return false;
}
// Only empty squares strictly between A and T (masks).
inline bool ChariotReaches(uint32_t a, uint32_t t) { return LineReaches(chariotReach, a, t); }
// Exactly one occupied square strictly between A and T (masks).
inline bool CannonReaches(uint32_t a, uint32_t t) { return LineReaches(cannonReach, a, t); }

// Walks board from A towards T and counts the occupied squares strictly
// between them, stopping as soon as the count exceeds limit. -1 when A and T
// are not two different squares of one line.
inline int PiecesBetween(uint32_t a, uint32_t t, int limit) {
  int step;
  if (a == t) return -1;
  if (SameFile(a, t)) {
    step = t > a ? 1 : -1;
  } else if (SameRank(a, t)) {
    step = t > a ? 16 : -16;
  } else {
    return -1;
  }
  int count = 0;
  for (int s = static_cast<int>(a) + step; s != static_cast<int>(t); s += step)
    if (board[s] != 0 && ++count > limit) break;
  return count;
}
// The board-scan forms stay right while a piece is off board but not off
// the masks.
inline bool ChariotReachesByScan(uint32_t a, uint32_t t) { return PiecesBetween(a, t, 0) == 0; }
inline bool CannonReachesByScan(uint32_t a, uint32_t t) { return PiecesBetween(a, t, 1) == 1; }
// Cannon with exactly two screens before T: the strong counts' cannon rule.
inline bool CannonHasTwoScreens(uint32_t a, uint32_t t) { return PiecesBetween(a, t, 2) == 2; }

// Pawn on P attacks T, from the piece list: straight ahead, and sideways
// once T lies across the river.
template <uint32_t kSide>
inline bool PawnReaches(uint32_t p, uint32_t t) {
  if constexpr (kSide == kRed) {
    return p == t + 1 || (RankOf(t) <= 4 && (p == t + 16 || p == t - 16));
  } else {
    return p == t - 1 || (RankOf(t) >= 5 && (p == t + 16 || p == t - 16));
  }
}

// Pawns of the side are worth trying against T: the side has pawns and T is
// not on the rank behind the side's pawn start rank, where no pawn reaches.
template <uint32_t kSide>
inline bool PawnsMayAttack(uint32_t t) {
  return pieceCount[kSide][kPawn - 1] != 0 && RankOf(t) != (kSide == kRed ? 6 : 3);
}

// The side's pawn on square s, read from board; 0 when s holds anything else.
template <uint32_t kSide>
inline uint32_t PawnOn(uint32_t s) {
  const uint32_t piece = static_cast<uint32_t>(board[s]);
  return colouredTypeOf[piece] == (kSide == kRed ? 1u : 8u) ? piece : 0;
}

// The squares from which the side's pawn attacks T, in board-reading order:
// ahead, then (across the river only) the file above and the file below.
// Returns how many were written.
template <uint32_t kSide>
inline int PawnSourceSquares(uint32_t t, uint32_t out[3]) {
  out[0] = kSide == kRed ? t + 1 : t - 1;
  const bool crossed = kSide == kRed ? RankOf(t) <= 4 : RankOf(t) >= 5;
  if (!crossed) return 1;
  out[1] = t + 16;
  out[2] = t - 16;
  return 3;
}

// Adviser on A attacks T, a square of its own palace: from the centre the
// four corners, from anywhere else the centre only.
template <uint32_t kSide>
inline bool AdviserReaches(uint32_t a, uint32_t t) {
  constexpr uint32_t centre = kSide == kRed ? kRedPalaceCentre : kBlackPalaceCentre;
  if (a != centre) return t == centre;
  return t == centre - 17 || t == centre - 15 || t == centre + 15 || t == centre + 17;
}

template <uint32_t kSide>
inline bool InOwnPalace(uint32_t t) {
  return (kSide == kRed ? redPalace[t] : blackPalace[t]) != 0;
}

template <uint32_t kSide>
inline bool OnOwnElephantSquare(uint32_t t) {
  return (kSide == kRed ? redElephantSquare[t] : blackElephantSquare[t]) != 0;
}

// Elephant on E attacks T two diagonal steps away when its eye is empty.
inline bool ElephantReaches(uint32_t e, uint32_t t) {
  int eye;
  switch (static_cast<int>(t) - static_cast<int>(e)) {
    case 30: eye = 15; break;
    case 34: eye = 17; break;
    case -30: eye = -15; break;
    case -34: eye = -17; break;
    default: return false;
  }
  return board[static_cast<int>(e) + eye] == 0;
}

// Knights, chariots and cannons of the side, in the order knights, chariots,
// cannons, by the mask or the scan forms of the line rules; the first
// attacker that is not excluded.
template <uint32_t kSide, bool kByScan>
inline uint32_t FirstStrongAttacker(uint32_t t, uint32_t excluded) {
  constexpr uint32_t o = kPieceOffset<kSide>;
  for (uint32_t i = 6 + o; i <= 7 + o; ++i)
    if (i != excluded && posPiece[i] != 0 && KnightReaches(posPiece[i], t)) return i;
  for (uint32_t i = 8 + o; i <= 9 + o; ++i) {
    if (i == excluded || posPiece[i] == 0) continue;
    if (kByScan ? ChariotReachesByScan(posPiece[i], t) : ChariotReaches(posPiece[i], t)) return i;
  }
  for (uint32_t i = 10 + o; i <= 11 + o; ++i) {
    if (i == excluded || posPiece[i] == 0) continue;
    if (kByScan ? CannonReachesByScan(posPiece[i], t) : CannonReaches(posPiece[i], t)) return i;
  }
  return 0;
}

}  // namespace attack_rules
