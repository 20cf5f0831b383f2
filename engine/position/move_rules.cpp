// Movement rules of the pieces: IsValidMove vets a stored move (hash, PV,
// killers) on the engine position, CheckUserMove vets a user's or a game
// file's move on a given board. Neither tests king safety, facing kings or
// the iron-pawn options; MakeMove refuses those moves afterwards.
#include "engine/bridge.h"
#include "engine/position/position.h"

namespace {

// A user move is refused once the game holds its most moves: the move
// would be one too many.
constexpr int32_t kLastAcceptedGamePly = kMaxGameMoves - 1;

inline bool IsRedIndex(int v) { return v >= 1 && v <= 16; }
inline bool IsBlackIndex(int v) { return v >= 17 && v <= 32; }
inline bool SameFile(Square a, Square b) { return (a & 0xF0) == (b & 0xF0); }
inline bool SameRank(Square a, Square b) { return (a & 15) == (b & 15); }

// A square number that may index the 208-cell board and its tables.
inline bool IsPlayingSquare(uint32_t s) { return s < kBoardSize && onBoard[s] != 0; }

// Number of pieces strictly between two squares of one line, counting
// stops at two. Both squares must be playing squares on one file or rank.
int PiecesBetween(const int8_t* cells, Square from, Square to) {
  const int diff = static_cast<int>(to) - static_cast<int>(from);
  const int step = SameFile(from, to) ? (diff > 0 ? 1 : -1) : (diff > 0 ? 16 : -16);
  int count = 0;
  for (int s = static_cast<int>(from) + step; s != static_cast<int>(to); s += step) {
    if (cells[s] != 0 && ++count == 2) break;
  }
  return count;
}

bool KingStep(int diff, bool inPalace) {
  return inPalace && (diff == 1 || diff == -1 || diff == 16 || diff == -16);
}

bool AdviserStep(int diff, bool inPalace) {
  return inPalace && (diff == 15 || diff == -15 || diff == 17 || diff == -17);
}

bool ElephantStep(const int8_t* cells, Square from, Square to, bool ownPoint) {
  const int diff = static_cast<int>(to) - static_cast<int>(from);
  if (!ownPoint || (diff != 30 && diff != -30 && diff != 34 && diff != -34)) return false;
  return cells[static_cast<int>(from) + diff / 2] == 0;
}

// forward is -1 for red, +1 for black; crossed tells whether the pawn's
// from-square lies beyond the river.
bool PawnStep(int diff, int forward, bool crossed) {
  if (diff == forward) return true;
  return crossed && (diff == 16 || diff == -16);
}

bool ChariotByLineTables(Square from, Square to) {
  const int file = FileOf(from);
  const int rank = RankOf(from);
  if (SameFile(from, to))
    return (fileMaskBit[to] & chariotReach[fileOccupancy[file] & 1023][rank]) != 0;
  if (SameRank(from, to))
    return (rankMaskBit[to] & chariotReach[rankOccupancy[rank] & 1023][file]) != 0;
  return false;
}

bool CannonByWalk(const int8_t* cells, Square from, Square to) {
  if (!SameFile(from, to) && !SameRank(from, to)) return false;
  const int between = PiecesBetween(cells, from, to);
  return cells[to] == 0 ? between == 0 : between == 1;
}

// Leg square of a knight move tested on the board itself, for callers that
// pass a board other than the engine's.
bool KnightByLegs(const int8_t* cells, Square from, Square to) {
  const int diff = static_cast<int>(to) - static_cast<int>(from);
  int leg;
  switch (diff) {
    case 31: case 33: leg = 16; break;
    case -31: case -33: leg = -16; break;
    case 14: case -18: leg = -1; break;
    case -14: case 18: leg = 1; break;
    default: return false;
  }
  return cells[static_cast<int>(from) + leg] == 0;
}

}  // namespace

int IsValidMove(Move move) {
  const Square from = MoveFrom(move);
  const Square to = MoveTo(move);
  if (!IsPlayingSquare(from) || board[from] == 0 || !IsPlayingSquare(to) || from == to) return 0;

  const int mover = board[from];
  const int victim = board[to];
  if (sideToMove == kRed) {
    if (!IsRedIndex(mover) || IsRedIndex(victim)) return 0;
  } else {
    if (!IsBlackIndex(mover) || IsBlackIndex(victim)) return 0;
  }

  const int diff = static_cast<int>(to) - static_cast<int>(from);
  switch (typeBoard[from]) {
    case kKing: return KingStep(diff, redPalace[to] != 0);
    case kKing + 7: return KingStep(diff, blackPalace[to] != 0);
    case kAdviser: return AdviserStep(diff, redPalace[to] != 0);
    case kAdviser + 7: return AdviserStep(diff, blackPalace[to] != 0);
    case kElephant: return ElephantStep(board, from, to, redElephantSquare[to] != 0);
    case kElephant + 7: return ElephantStep(board, from, to, blackElephantSquare[to] != 0);
    case kKnight:
    case kKnight + 7: {
      const uint8_t leg = knightLeg[from][to];
      return leg != 0 && board[leg] == 0;
    }
    case kChariot:
    case kChariot + 7: return ChariotByLineTables(from, to);
    case kCannon:
    case kCannon + 7: return CannonByWalk(board, from, to);
    case kPawn: return PawnStep(diff, -1, RankOf(from) <= 4);
    case kPawn + 7: return PawnStep(diff, 1, RankOf(from) >= 5);
    default: return 0;
  }
}

int CheckUserMove(Move move, const int8_t* cells, uint32_t side, int verbose) {
  const Square from = MoveFrom(move);
  const Square to = MoveTo(move);
  // FileOf and RankOf are signed: a square below 34 gives a negative file.
  if (FileOf(from) < 0 || FileOf(from) > 8 || RankOf(from) > 9) return 0;
  if (FileOf(to) < 0 || FileOf(to) > 8 || RankOf(to) > 9) return 0;

  const int mover = cells[from];
  const int victim = cells[to];
  if (mover == 0 || from == to || gamePly > kLastAcceptedGamePly) return 0;

  if (side == kRed) {
    if (mover > 16) {
      if (verbose) AppendLogLine("Red side cannot move black pieces !\r\n");
      return 0;
    }
    if (IsRedIndex(victim)) return 0;
  } else {
    if (IsRedIndex(mover)) {
      if (verbose) AppendLogLine("Black side cannot move Red pieces !\r\n");
      return 0;
    }
    if (victim > 16) return 0;
  }

  const int diff = static_cast<int>(to) - static_cast<int>(from);
  const bool red = IsRedIndex(mover);
  if (!red && !IsBlackIndex(mover)) return 0;  // not a piece index at all
  switch (red ? mover : mover - 16) {
    case 1: return KingStep(diff, (red ? redPalace[to] : blackPalace[to]) != 0);
    case 2: case 3: return AdviserStep(diff, (red ? redPalace[to] : blackPalace[to]) != 0);
    case 4: case 5:
      return ElephantStep(cells, from, to,
                          (red ? redElephantSquare[to] : blackElephantSquare[to]) != 0);
    case 6: case 7: return KnightByLegs(cells, from, to);
    case 8: case 9:
      return (SameFile(from, to) || SameRank(from, to)) && PiecesBetween(cells, from, to) == 0;
    case 10: case 11: return CannonByWalk(cells, from, to);
    default:  // 12..16: pawns
      return red ? PawnStep(diff, -1, RankOf(from) <= 4) : PawnStep(diff, 1, RankOf(from) >= 5);
  }
}
