// Whether the side to move has any legal move. Walks the pseudo-legal moves
// in the order most likely to find a legal one quickly and puts each to the
// trial where it is found; no list is built. The answer does not depend on
// the order, as every trial leaves the position as it found it.
#include "engine/position/position.h"

namespace {

#define GEN_INLINE [[gnu::always_inline]] inline

// A target is a candidate when it is empty or holds an enemy piece; the
// trial then decides.
template <uint32_t Side>
GEN_INLINE bool Try(Square from, Square to) {
  const int piece = board[to];
  const bool candidate = Side == kRed ? (piece == 0 || piece > 16) : piece <= 16;
  return candidate && IsLegalByTrial(from, to) != 0;
}

template <int Step>
GEN_INLINE bool InPlay(Square t) {
  if constexpr (Step == 1) return (t & 15) <= 11;
  else if constexpr (Step == -1) return (t & 15) >= 2;
  else if constexpr (Step == 16) return (t & 0xF0) <= 0xA0;
  else return (t & 0xF0) >= 0x20;
}

template <uint32_t Side, int Step>
GEN_INLINE bool KingStep(Square from) {
  constexpr const auto& kPalace = Side == kRed ? redPalace : blackPalace;
  return kPalace[from + Step] && Try<Side>(from, from + Step);
}

template <uint32_t Side>
GEN_INLINE bool King() {
  const Square s = posPiece[Side == kRed ? 1 : 17];
  if (s == 0) return false;
  return KingStep<Side, -16>(s) || KingStep<Side, 16>(s) || KingStep<Side, -1>(s) || KingStep<Side, 1>(s);
}

template <uint32_t Side, PieceIndex Piece>
GEN_INLINE bool Adviser() {
  const Square s = posPiece[Piece];
  if (s == 0) return false;
  constexpr Square kCentre = Side == kRed ? kRedPalaceCentre : kBlackPalaceCentre;
  if (s != kCentre) return Try<Side>(s, kCentre);
  if constexpr (Side == kRed) {
    return Try<Side>(s, s - 15) || Try<Side>(s, s + 17) || Try<Side>(s, s + 15) || Try<Side>(s, s - 17);
  } else {
    return Try<Side>(s, s + 15) || Try<Side>(s, s - 17) || Try<Side>(s, s + 17) || Try<Side>(s, s - 15);
  }
}

template <uint32_t Side, int Eye>
GEN_INLINE bool ElephantStep(Square from) {
  constexpr const auto& kPoints = Side == kRed ? redElephantSquare : blackElephantSquare;
  return kPoints[from + 2 * Eye] && board[from + Eye] == 0 && Try<Side>(from, from + 2 * Eye);
}

template <uint32_t Side, PieceIndex Piece>
GEN_INLINE bool Elephant() {
  const Square s = posPiece[Piece];
  if (s == 0) return false;
  return ElephantStep<Side, -17>(s) || ElephantStep<Side, -15>(s) || ElephantStep<Side, 17>(s) ||
         ElephantStep<Side, 15>(s);
}

// Every empty square of the ray, then the first occupied one.
template <uint32_t Side, int Step>
GEN_INLINE bool ChariotRay(Square from) {
  Square t = from + Step;
  for (; InPlay<Step>(t) && board[t] == 0; t += Step) {
    if (IsLegalByTrial(from, t)) return true;
  }
  return InPlay<Step>(t) && Try<Side>(from, t);
}

template <uint32_t Side, PieceIndex Piece>
GEN_INLINE bool Chariot() {
  const Square s = posPiece[Piece];
  if (s == 0) return false;
  return ChariotRay<Side, 1>(s) || ChariotRay<Side, -1>(s) || ChariotRay<Side, -16>(s) ||
         ChariotRay<Side, 16>(s);
}

// Every empty square up to the screen, then the first occupied square
// beyond it.
template <uint32_t Side, int Step>
GEN_INLINE bool CannonRay(Square from) {
  Square t = from + Step;
  for (; InPlay<Step>(t) && board[t] == 0; t += Step) {
    if (IsLegalByTrial(from, t)) return true;
  }
  if (!InPlay<Step>(t)) return false;
  for (t += Step; InPlay<Step>(t) && board[t] == 0; t += Step) {
  }
  return InPlay<Step>(t) && Try<Side>(from, t);
}

template <uint32_t Side, PieceIndex Piece>
GEN_INLINE bool Cannon() {
  const Square s = posPiece[Piece];
  if (s == 0) return false;
  return CannonRay<Side, 1>(s) || CannonRay<Side, -1>(s) || CannonRay<Side, 16>(s) || CannonRay<Side, -16>(s);
}

template <uint32_t Side, int Leg, int First, int Second>
GEN_INLINE bool KnightLeg(Square from) {
  if (board[from + Leg] != 0) return false;
  return (onBoard[from + First] && Try<Side>(from, from + First)) ||
         (onBoard[from + Second] && Try<Side>(from, from + Second));
}

template <uint32_t Side, PieceIndex Piece>
GEN_INLINE bool Knight() {
  const Square s = posPiece[Piece];
  if (s == 0) return false;
  if constexpr (Side == kRed) {
    return KnightLeg<Side, -1, -18, 14>(s) || KnightLeg<Side, -16, -31, -33>(s) ||
           KnightLeg<Side, 16, 31, 33>(s) || KnightLeg<Side, 1, 18, -14>(s);
  } else {
    return KnightLeg<Side, 1, 18, -14>(s) || KnightLeg<Side, -16, -31, -33>(s) ||
           KnightLeg<Side, 16, 31, 33>(s) || KnightLeg<Side, -1, -18, 14>(s);
  }
}

template <uint32_t Side, PieceIndex Piece>
GEN_INLINE bool Pawn() {
  const Square s = posPiece[Piece];
  if (s == 0) return false;
  const Square rankNibble = s & 15;    // rank + 2
  const Square fileNibble = s & 0xF0;  // 16 * (file + 2)
  constexpr int kForward = Side == kRed ? -1 : 1;
  const bool crossed = Side == kRed ? rankNibble <= 6 : rankNibble >= 7;
  if (!crossed) return Try<Side>(s, s + kForward);
  if (fileNibble < 0xA0 && Try<Side>(s, s + 16)) return true;
  if (fileNibble > 0x20 && Try<Side>(s, s - 16)) return true;
  const bool farRank = Side == kRed ? rankNibble == 2 : rankNibble == 11;
  return !farRank && Try<Side>(s, s + kForward);
}

// Chariots, cannons, knights, pawns, king, advisers, elephants. Out of
// check nearly every chariot move stands, and the first step of a chariot
// ray is reached with fewer tests than a king or adviser step.
template <uint32_t Side>
bool HasLegalMoveFor() {
  constexpr PieceIndex b = Side == kRed ? 0 : 16;
  return Chariot<Side, b + 8>() || Chariot<Side, b + 9>() || Cannon<Side, b + 10>() ||
         Cannon<Side, b + 11>() || Knight<Side, b + 6>() || Knight<Side, b + 7>() ||
         Pawn<Side, b + 12>() || Pawn<Side, b + 13>() || Pawn<Side, b + 14>() ||
         Pawn<Side, b + 15>() || Pawn<Side, b + 16>() || King<Side>() || Adviser<Side, b + 2>() ||
         Adviser<Side, b + 3>() || Elephant<Side, b + 4>() || Elephant<Side, b + 5>();
}

}  // namespace

int HasLegalMove() { return (sideToMove == kRed ? HasLegalMoveFor<kRed>() : HasLegalMoveFor<kBlack>()) ? 1 : 0; }
