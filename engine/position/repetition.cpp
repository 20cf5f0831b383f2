// Repetition rulings. When a position of the search repeats an earlier one,
// the cycle is judged by the xiangqi rules instead of being scored as a plain
// draw: perpetual check loses, perpetually chasing an undefended piece loses,
// mutual check or mutual attack is a draw, and other repetitions are draws
// valued by the contempt settings.
//
// The rulings read the move records of the game and the search back from
// history[n], n being the record of the last move made. S is the side to
// move, O the other side: m(n), m(n - 2), ... are O's moves. To judge attacks
// at earlier moments the last few moves are taken back on `board` and
// `posPiece` only (the attack tests used here scan `board`); every such
// change is put back before a ruling returns. The caller guarantees that the
// last four moves are non-captures, so taking one back is exact.
#include "engine/position/position.h"

namespace {

// Ruling scores, from the side to move's view, in the search's scale where
// mate at the root is 3,200,000.
constexpr int32_t kRuleWinRepeated = 3199999;  // the offence also repeated earlier
constexpr int32_t kRuleWin = 3199998;
constexpr int32_t kChaseLoss = 1600000;  // a chase seen once, in a long cycle

constexpr uint32_t kExcludeNone = 0xFFFFFFFFu;

enum class Outcome { kRuled, kNoRuling, kNext };

Square FromOf(int k) { return MoveFrom(history[k].move); }
Square ToOf(int k) { return MoveTo(history[k].move); }

// The side that made m(k) was in check before it (m(k - 1) gave check).
bool MoverWasInCheck(int k) { return k >= 1 && history[k].checker != 0; }

// The position before m(k) is the current one.
bool LockBefore(int k) { return k >= 1 && history[k].lock == positionLock; }

PieceIndex PieceOn(Square s) { return static_cast<PieceIndex>(static_cast<uint8_t>(board[s])); }

bool IsType(PieceIndex p, PieceType t) { return pieceTypeOf[p] == t; }
bool IsKingOrPawn(PieceIndex p) { return IsType(p, kKing) || IsType(p, kPawn); }

// Moves the piece of m(k) back from to(k) to from(k). Moves must be taken
// back newest first and put back oldest first. A null move changes nothing.
void TakeBack(int k) {
  const Move m = history[k].move;
  if (m == 0) return;
  const PieceIndex p = PieceOn(MoveTo(m));
  if (p == 0) return;
  board[MoveFrom(m)] = static_cast<int8_t>(p);
  board[MoveTo(m)] = 0;
  posPiece[p] = MoveFrom(m);
}

void PutBack(int k) {
  const Move m = history[k].move;
  if (m == 0) return;
  const PieceIndex p = PieceOn(MoveFrom(m));
  if (p == 0) return;
  board[MoveTo(m)] = static_cast<int8_t>(p);
  board[MoveFrom(m)] = 0;
  posPiece[p] = MoveTo(m);
}

// Attackers of the side to move (S) and of the other side (O), by board scan.
bool SAttacks(Square q, uint32_t excluded) {
  return (sideToMove == kRed ? RedAttackerOfByScan(q, excluded)
                             : BlackAttackerOfByScan(q, excluded)) != 0;
}
bool OAttacks(Square q, uint32_t excluded) {
  return (sideToMove == kRed ? BlackAttackerOfByScan(q, excluded)
                             : RedAttackerOfByScan(q, excluded)) != 0;
}

int Draw(int32_t* score) {
  *score = sideToMove == kRed ? -contemptBlack : -contemptRed;
  return 1;
}

struct Cycle {
  int c;  // cycle length in plies
  int n;  // record of the last move made
  int ply;
  PieceIndex x;  // O's last-moved piece, on to(n)
  PieceIndex y;  // S's last-moved piece, on to(n - 1)
  int32_t* score;
};

Outcome Ruled(int32_t* score, int32_t value) {
  *score = value;
  return Outcome::kRuled;
}

Outcome DrawOutcome(const Cycle& k) {
  Draw(k.score);
  return Outcome::kRuled;
}

// The plain ruling: the four-ply rule for a four-ply cycle, a draw otherwise.
Outcome Short(const Cycle& k) {
  if (k.c == 4)
    return RepetitionDrawFourCycle(k.n, k.score) ? Outcome::kRuled : Outcome::kNoRuling;
  return DrawOutcome(k);
}

// S is in check and O's move before also gave check: O checks perpetually.
// Longer cycles need every O move of the cycle to have given check.
Outcome CheckedSideWins(const Cycle& k) {
  if (k.c == 4) return Ruled(k.score, kRuleWinRepeated - k.ply);
  for (int back = 3; back <= k.c - 1; back += 2)
    if (!MoverWasInCheck(k.n - back)) return DrawOutcome(k);
  const bool earlier = k.n >= k.c + 2 && MoverWasInCheck(k.n - k.c - 1);
  return Ruled(k.score, (earlier ? kRuleWinRepeated : kRuleWin) - k.ply);
}

// O's last move attacks the piece S just moved.
Outcome OpponentChases(const Cycle& k) {
  const int n = k.n;
  const PieceIndex x = k.x;
  const PieceIndex y = k.y;
  if (MoverWasInCheck(n) || MoverWasInCheck(n - 2) || IsKingOrPawn(x) ||
      PieceAttacksTarget(x, ToOf(n), ToOf(n - 1)) == 0)
    return Outcome::kNext;
  // Y attacks its chaser back: mutual attack.
  if (PieceAttacksTarget(y, ToOf(n - 1), ToOf(n)) != 0) return DrawOutcome(k);
  if (k.ply > 1) {
    if (IsType(y, kChariot) && (IsType(x, kKnight) || IsType(x, kCannon))) {
      // A chariot chased by a minor piece counts even when defended; it is
      // decided by whether S's other pieces attacked the chaser's old square.
      TakeBack(n);
      TakeBack(n - 1);
      const bool found = SAttacks(FromOf(n), y);
      PutBack(n - 1);
      PutBack(n);
      if (!found) return DrawOutcome(k);
      const bool twice = n >= 2 * k.c && LockBefore(n + 1 - 2 * k.c);
      return Ruled(k.score, (twice ? kRuleWinRepeated : kRuleWin) - k.ply);
    }
    if (SAttacks(ToOf(n - 1), kExcludeNone)) return Short(k);  // Y is defended
  }
  TakeBack(n);
  if (k.ply > 1) {
    TakeBack(n - 1);
    if (SAttacks(FromOf(n - 1), y)) {
      PutBack(n - 1);
      PutBack(n);
      return Short(k);
    }
    PutBack(n - 1);
  }
  TakeBack(n - 1);
  if (!OAttacks(FromOf(n - 1), kExcludeNone)) {  // Y was not attacked where it stood
    PutBack(n - 1);
    PutBack(n);
    return Short(k);
  }
  PutBack(n - 1);  // X still on from(n)
  if (PieceAttacksTarget(y, ToOf(n - 1), FromOf(n)) == 0) {
    if (IsType(y, kChariot) && !IsType(x, kChariot)) {
      PutBack(n);
      return Ruled(k.score, kRuleWin - k.ply);
    }
    if (SAttacks(ToOf(n - 1), y)) {
      PutBack(n);
      return Outcome::kNext;
    }
    TakeBack(n - 1);
    bool excused = SAttacks(FromOf(n - 1), y);
    if (!excused) {
      TakeBack(n - 2);
      const PieceIndex w = PieceOn(FromOf(n - 2));
      if (SAttacks(FromOf(n - 2), kExcludeNone)) {
        TakeBack(n - 3);
        excused = PieceAttacksTarget(w, FromOf(n - 2), FromOf(n - 3)) == 0;
        PutBack(n - 3);
      }
      PutBack(n - 2);
    }
    PutBack(n - 1);
    PutBack(n);
    if (excused) return Outcome::kNext;
    return Ruled(k.score, kRuleWin - k.ply);
  }
  // Y, where it now stands, attacks the square X came from.
  TakeBack(n - 1);
  if (PieceAttacksTarget(x, FromOf(n), FromOf(n - 1)) != 0) {
    const uint32_t v = PieceAttacksTarget(y, ToOf(n - 1), FromOf(n));  // Y lifted
    PutBack(n - 1);
    PutBack(n);
    if (v == 0) return Ruled(k.score, kRuleWin - k.ply);
    if (k.ply > 1) return DrawOutcome(k);
    return Outcome::kNext;
  }
  PutBack(n - 1);
  PutBack(n);
  return Outcome::kNext;
}

// S's last move attacks the square O's last-moved piece left.
Outcome SideToMoveChases(const Cycle& k) {
  const int n = k.n;
  const PieceIndex x = k.x;
  const PieceIndex z = PieceOn(ToOf(n - 1));
  if (IsKingOrPawn(z) || k.ply < 1 || PieceAttacksTarget(z, ToOf(n - 1), FromOf(n)) == 0)
    return Outcome::kNext;
  if (MoverWasInCheck(n - 1) || MoverWasInCheck(n - 3)) return DrawOutcome(k);
  TakeBack(n);
  if (PieceAttacksTarget(x, FromOf(n), ToOf(n - 1)) != 0) {  // X attacked Z too
    PutBack(n);
    return DrawOutcome(k);
  }
  if (!(IsType(x, kChariot) && (IsType(z, kCannon) || IsType(z, kKnight)))) {
    // A defended piece is not chased (a chariot attacked by a minor piece is).
    if (OAttacks(FromOf(n), x)) {
      PutBack(n);
      return DrawOutcome(k);
    }
    PutBack(n);
    if (OAttacks(ToOf(n), x)) return DrawOutcome(k);
    TakeBack(n);
  }
  if (PieceAttacksTarget(z, FromOf(n - 1), FromOf(n - 2)) != 0) {
    PutBack(n);
    if (n >= 2 * k.c && LockBefore(n + 1 - 2 * k.c)) return Ruled(k.score, k.ply - kRuleWin);
    if (n >= 2 * k.c + 1 && history[n].lock == history[n - 2 * k.c].lock)
      return Ruled(k.score, k.ply - kRuleWin);
    if (k.c == 4) return Outcome::kNoRuling;
    return Ruled(k.score, k.ply - kChaseLoss);
  }
  PutBack(n);
  return Outcome::kNext;
}

// Neither side checks nor chases.
int PlainRepetition(const Cycle& k) {
  if (k.ply < 5 && !(k.n >= 2 * k.c && LockBefore(k.n + 1 - 2 * k.c))) return 0;
  if (MoverWasInCheck(k.n)) return 0;
  return Draw(k.score);
}

int Finish(Outcome o) { return o == Outcome::kRuled ? 1 : 0; }

}  // namespace

int AdjudicateRepetition(int cycle, int n, uint32_t inCheck, int32_t* score) {
  // Outside the caller's contract (a cycle the search does not try, a cycle
  // longer than the record, a null move among the last three) there is
  // nothing to rule on, and reading further back would leave the records.
  if ((cycle != 4 && cycle != 6 && cycle != 8 && cycle != 10) || n < cycle || n >= kHistorySize)
    return 0;
  if (history[n].move == 0 || history[n - 1].move == 0 || history[n - 2].move == 0) return 0;

  const Cycle k{cycle, n, historyPly, PieceOn(ToOf(n)), PieceOn(ToOf(n - 1)), score};
  bool tryOpponentChase = true;

  if (inCheck != 0) {
    if (MoverWasInCheck(n)) return Draw(score);  // both sides check
    if (!MoverWasInCheck(n - 1)) {
      if (k.ply > 1) return Draw(score);
    } else {
      return Finish(CheckedSideWins(k));
    }
  } else if (n >= 2 && MoverWasInCheck(n)) {
    // S gave check with its last move.
    if (MoverWasInCheck(n - 1)) return Draw(score);
    if (n >= 3 && MoverWasInCheck(n - 2)) {
      const bool earlier = cycle == 4 || (n >= 5 && MoverWasInCheck(n - 4));
      *score = historyPly - (earlier ? kRuleWinRepeated : kRuleWin);
      return 1;
    }
    tryOpponentChase = false;
  }

  if (tryOpponentChase) {
    const Outcome o = OpponentChases(k);
    if (o != Outcome::kNext) return Finish(o);
  }
  const Outcome o = SideToMoveChases(k);
  if (o != Outcome::kNext) return Finish(o);
  return PlainRepetition(k);
}

int RepetitionDrawFourCycle(int n, int32_t* score) {
  if (n < 1 || n >= kHistorySize) return 0;
  const int ply = historyPly;
  const bool twice = n >= 8 && LockBefore(n - 7);
  if (ply <= 3 && !twice) return 0;  // ply <= 1 always needs the earlier occurrence
  if (MoverWasInCheck(n)) return 0;
  return Draw(score);
}

namespace {

// Pieces strictly between two squares on one file or rank; -1 when the
// squares share no line.
int PiecesBetween(Square from, Square target) {
  int step;
  if (from == target) return -1;
  if ((from & 0xF0) == (target & 0xF0))
    step = target > from ? 1 : -1;
  else if ((from & 0x0F) == (target & 0x0F))
    step = target > from ? 16 : -16;
  else
    return -1;
  int count = 0;
  for (int s = static_cast<int>(from) + step; s != static_cast<int>(target); s += step)
    if (board[s] != 0) ++count;
  return count;
}

bool KnightReaches(Square from, Square target) {
  const int d = static_cast<int>(target) - static_cast<int>(from);
  int leg;
  if (d == 31 || d == 33)
    leg = 16;
  else if (d == -31 || d == -33)
    leg = -16;
  else if (d == 18 || d == -14)
    leg = 1;
  else if (d == -18 || d == 14)
    leg = -1;
  else
    return false;
  return board[static_cast<int>(from) + leg] == 0;
}

bool PawnReaches(bool red, Square from, Square target) {
  const bool sideways = target == from + 16 || target + 16 == from;
  if (red) return target + 1 == from || (sideways && RankOf(target) <= 4);
  return target == from + 1 || (sideways && RankOf(target) >= 5);
}

bool AdviserReaches(bool red, Square from, Square target) {
  const Square centre = red ? kRedPalaceCentre : kBlackPalaceCentre;
  if (from != centre) return target == centre;
  const int d = static_cast<int>(target) - static_cast<int>(centre);
  return d == 15 || d == 17 || d == -15 || d == -17;
}

bool ElephantReaches(bool red, Square from, Square target) {
  if ((red ? redElephantSquare : blackElephantSquare)[target] == 0) return false;
  const int d = static_cast<int>(target) - static_cast<int>(from);
  if (d != 30 && d != 34 && d != -30 && d != -34) return false;
  return board[static_cast<int>(from) + d / 2] == 0;
}

}  // namespace

uint32_t PieceAttacksTarget(PieceIndex piece, Square from, Square target) {
  // Square 0 stands for the missing squares of a null move; nothing attacks
  // from or to it.
  if (piece == 0 || piece > 32 || from == 0 || target == 0 || from >= kBoardSize ||
      target >= kBoardSize)
    return 0;
  // Pawns, advisers and elephants take their colour from the piece on the
  // from-square; an empty square counts as red.
  const bool red = PieceOn(from) < 17;
  bool attacks = false;
  switch (pieceTypeOf[piece]) {
    case kChariot:
      attacks = PiecesBetween(from, target) == 0;
      break;
    case kCannon:
      attacks = PiecesBetween(from, target) == 1;
      break;
    case kKnight:
      attacks = KnightReaches(from, target);
      break;
    case kPawn:
      attacks = PawnReaches(red, from, target);
      break;
    case kAdviser:
      attacks = AdviserReaches(red, from, target);
      break;
    case kElephant:
      attacks = ElephantReaches(red, from, target);
      break;
    default:  // the king never chases
      break;
  }
  return attacks ? piece : 0;
}
