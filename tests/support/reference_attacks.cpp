#include "tests/support/reference_attacks.h"

#include <cstdlib>

namespace testing_support {

namespace {

bool Occupied(int file, int rank) {
  return file >= 0 && file < 9 && rank >= 0 && rank < 10 && board[MakeSquare(file, rank)] != 0;
}

bool InPalace(bool red, Square s) {
  return FileOf(s) >= 3 && FileOf(s) <= 5 && (red ? RankOf(s) >= 7 : RankOf(s) <= 2);
}

}  // namespace

int PiecesBetween(Square a, Square b) {
  const int fa = FileOf(a), ra = RankOf(a), fb = FileOf(b), rb = RankOf(b);
  if (a == b || (fa != fb && ra != rb)) return -1;
  const int df = (fb > fa) - (fb < fa);
  const int dr = (rb > ra) - (rb < ra);
  int n = 0;
  for (int f = fa + df, r = ra + dr; f != fb || r != rb; f += df, r += dr) n += Occupied(f, r);
  return n;
}

bool AttacksByRule(int piece, Square from, Square target, int cannonScreens) {
  const bool red = piece >= 1 && piece <= 16;
  const int f = FileOf(from), r = RankOf(from);
  const int df = FileOf(target) - f, dr = RankOf(target) - r;
  switch (pieceTypeOf[piece]) {
    case kKnight:
      if (std::abs(df) == 1 && std::abs(dr) == 2) return !Occupied(f, r + dr / 2);
      if (std::abs(df) == 2 && std::abs(dr) == 1) return !Occupied(f + df / 2, r);
      return false;
    case kChariot:
      return PiecesBetween(from, target) == 0;
    case kCannon:
      return PiecesBetween(from, target) == cannonScreens;
    case kPawn: {
      const int forward = red ? -1 : 1;
      const bool crossed = red ? r <= 4 : r >= 5;
      return (df == 0 && dr == forward) || (crossed && dr == 0 && std::abs(df) == 1);
    }
    case kAdviser:
      return std::abs(df) == 1 && std::abs(dr) == 1 && InPalace(red, target);
    case kElephant:
      return std::abs(df) == 2 && std::abs(dr) == 2 && !Occupied(f + df / 2, r + dr / 2) &&
             (red ? RankOf(target) >= 5 : RankOf(target) <= 4);
    default:
      return false;
  }
}

}  // namespace testing_support
