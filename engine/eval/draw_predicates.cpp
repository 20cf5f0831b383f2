// Whether a side with few attacking pieces can still force a win, judged
// from the material and a few squares, and the squares from which a piece
// bears on another along a line.
#include <cstdint>

#include "engine/eval/evaluate.h"
#include "engine/position/position.h"

namespace {

inline int32_t Count(uint32_t side, uint32_t type) {
  return static_cast<int32_t>(pieceCount[side][type - 1]);
}

// Rank as seen by the attacking side kUs: 0 on the defender's back rank, 9 on
// the attacker's own.
template <uint32_t kUs>
inline int RankFromDefenderBack(Square s) {
  return kUs == kRed ? RankOf(s) : 9 - RankOf(s);
}

template <uint32_t kUs>
inline int32_t CountUsefulPawns(int32_t n) {
  return kUs == kRed ? CountUsefulPawnsRed(n) : CountUsefulPawnsBlack(n);
}

template <uint32_t kUs>
int32_t CanWin() {
  constexpr uint32_t kThem = 1 - kUs;
  const int32_t pawns = Count(kUs, kPawn);
  const int32_t knights = Count(kUs, kKnight);
  const int32_t cannons = Count(kUs, kCannon);
  const int32_t chariots = Count(kUs, kChariot);
  const int32_t theirPawns = Count(kThem, kPawn);
  const int32_t theirAdvisers = Count(kThem, kAdviser);
  const int32_t theirElephants = Count(kThem, kElephant);
  const int32_t theirAttackers = static_cast<int32_t>(attackerCount[kThem]);
  const bool theirFullDefence = theirAdvisers == 2 && theirElephants == 2;

  // A lone knight against a side with at least one man besides its king.
  if (knights == 1 && cannons == 0 && chariots == 0 &&
      theirPawns + theirAdvisers + theirElephants + theirAttackers > 0) {
    if (pawns == 0) return 0;
    if (pawns >= 2) return 1;
    return theirAdvisers == 2 && theirAttackers >= 1 ? 0 : 1;
  }

  // A lone chariot without pawns.
  if (chariots == 1 && knights == 0 && cannons == 0 && pawns == 0) {
    if (theirFullDefence) return 0;
    if (Count(kThem, kChariot) == 0) return 1;
    // Their chariot on the king's file in front of a king still at home holds.
    const Square king = kThem == kBlack ? *blackKingSquarePtr : *redKingSquarePtr;
    if (RankFromDefenderBack<kUs>(king) <= 1) {
      const PieceIndex first = kThem == kBlack ? 24 : 8;
      for (PieceIndex c = first; c <= first + 1; ++c) {
        const Square s = posPiece[c];
        if (s != 0 && FileOf(s) == FileOf(king) &&
            RankFromDefenderBack<kUs>(s) > RankFromDefenderBack<kUs>(king))
          return 0;
      }
    }
    return 1;
  }

  // A lone cannon.
  if (cannons == 1 && knights == 0 && chariots == 0) {
    if (pawns == 0 && (Count(kUs, kAdviser) == 0 || theirAdvisers == 2 || theirElephants == 2))
      return 0;
    if (pawns >= 2 && theirAttackers == 0) return 1;
    if (CountUsefulPawns<kUs>(0) >= 2) return 1;
    if (theirElephants == 0 || (theirElephants == 1 && theirAttackers == 0)) return 1;
    const Square centralElephantSquare = kUs == kRed ? MakeSquare(4, 2) : MakeSquare(4, 7);
    const uint32_t theirElephant = kElephant + 7 * kThem;
    return theirAdvisers == 2 && typeBoard[centralElephantSquare] == theirElephant ? 0 : 1;
  }

  if (knights + cannons + chariots > 0) return 1;

  // Pawns alone.
  if (pawns == 0) return 0;
  if (theirFullDefence && CountUsefulPawns<kUs>(1) < 3) return 0;
  if (CountUsefulPawns<kUs>(0) > 1) return 1;
  if (theirAttackers > 0) return 0;
  if (pawns >= 2) return 1;
  return theirAdvisers == 0 && theirElephants == 0 && theirPawns == 0 ? 1 : 0;
}

// Every square strictly between a and b (one file or one rank) is empty.
bool ClearBetween(Square a, Square b) {
  const int step = FileOf(a) == FileOf(b) ? (b > a ? 1 : -1) : (b > a ? 16 : -16);
  for (int s = static_cast<int>(a) + step; s != static_cast<int>(b); s += step)
    if (board[s] != 0) return false;
  return true;
}

// The corner square c (on one line with a and with b) is empty and both legs
// a-c and c-b are clear.
bool CornerOpen(Square a, Square c, Square b) {
  return board[c] == 0 && ClearBetween(a, c) && ClearBetween(c, b);
}

}  // namespace

int32_t RedCanWin() { return CanWin<kRed>(); }
int32_t BlackCanWin() { return CanWin<kBlack>(); }

void FindLineAttackSquares(PieceIndex pieceA, PieceIndex pieceB, Square* first,
                           Square* second) {
  *first = 0;
  *second = 0;
  const Square a = posPiece[pieceA];
  const Square b = posPiece[pieceB];
  if (a == 0 || b == 0) return;
  const bool sameFile = FileOf(a) == FileOf(b);
  if (sameFile || RankOf(a) == RankOf(b)) {
    // On one line already: the single man between them, if there is one.
    if (CannonAttacksSquare(pieceA, b) == 0) return;
    const int step = sameFile ? (b > a ? 1 : -1) : (b > a ? 16 : -16);
    int s = static_cast<int>(a) + step;
    while (board[s] == 0) s += step;
    *first = static_cast<Square>(s);
    return;
  }
  const Square c1 = MakeSquare(FileOf(a), RankOf(b));
  if (CornerOpen(a, c1, b)) *first = c1;
  const Square c2 = MakeSquare(FileOf(b), RankOf(a));
  if (CornerOpen(a, c2, b)) *second = c2;
}
