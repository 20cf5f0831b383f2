// One side's view of the board for the endgame evaluators. Each rule is
// written once from the point of view of a side S: squares are (file, rank)
// with rank 9 S's back rank and rank 0 the other side's. For black as S the
// board is read upside down (rank r becomes 9 - r), which makes the red and
// black evaluators exact mirrors. Internal to the endgame evaluators.
#pragma once

#include <cstdint>

#include "engine/eval/endgame.h"
#include "engine/eval/evaluate.h"
#include "engine/position/position.h"

template <uint32_t S>
struct EndgameView {
  static constexpr uint32_t kOther = S ^ 1u;

  static Square At(int file, int rank) { return MakeSquare(file, S == kRed ? rank : 9 - rank); }
  static int Rank(Square s) { return S == kRed ? RankOf(s) : 9 - RankOf(s); }
  // A piece of the side and type stands on the square.
  static bool Holds(uint32_t side, uint32_t type, int file, int rank) {
    return typeBoard[At(file, rank)] == type + (side == kBlack ? 7 : 0);
  }
  static bool Empty(int file, int rank) { return board[At(file, rank)] == 0; }
  static bool Occupied(int file, int rank) { return board[At(file, rank)] != 0; }
  static Square KingOf(uint32_t side) {
    return side == kRed ? *redKingSquarePtr : *blackKingSquarePtr;
  }
  static bool KingOn(uint32_t side, int file, int rank) { return KingOf(side) == At(file, rank); }
  static int32_t Count(uint32_t side, uint32_t type) {
    return static_cast<int32_t>(pieceCount[side][type - 1]);
  }
  // The side's piece of red's PieceIndex redFirst.
  static PieceIndex First(uint32_t side, PieceIndex redFirst) {
    return redFirst + (side == kBlack ? 16 : 0);
  }
  // The first piece of the side's pair of this kind still on the board, 0
  // when neither is.
  static PieceIndex FirstLive(uint32_t side, PieceIndex redFirst) {
    const PieceIndex first = First(side, redFirst);
    if (posPiece[first] != 0) return first;
    return posPiece[first + 1] != 0 ? first + 1 : 0;
  }
  static int32_t UsefulPawns(uint32_t side, int32_t n) {
    return side == kRed ? CountUsefulPawnsRed(n) : CountUsefulPawnsBlack(n);
  }
};
