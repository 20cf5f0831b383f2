// Making and unmaking moves on the engine position. MakeMove places the
// piece, refuses the move when it leaves the kings facing, leaves the mover's
// king attacked or breaks the iron-pawn rule, and otherwise updates counters,
// balance, keys and the history record incrementally. IsLegalByTrial applies
// the same three tests without any of the bookkeeping.
#include <cstdio>
#include <cstdlib>

#include "engine/eval/prepare.h"
#include "engine/position/king_attackers.h"
#include "engine/position/position.h"

namespace {

#ifdef VORELK_POSITION_CHECKS
void CheckOrAbort(const char* where, Move move) {
  if (CheckPositionConsistency()) return;
  std::fprintf(stderr, "Position inconsistent after %s (move %u -> %u)\n", where,
               MoveFrom(move), MoveTo(move));
  std::abort();
}
#define VORELK_CHECK_POSITION(where, move) CheckOrAbort(where, move)
#else
#define VORELK_CHECK_POSITION(where, move) static_cast<void>(0)
#endif

// Moves mover from `from` to `to` on board and posPiece and keeps the
// occupancy masks current; victim (0 when none) is lifted off `to`.
inline void PlacePiece(Square from, Square to, uint32_t mover, uint32_t victim) {
  if (victim != 0) posPiece[victim] = 0;
  posPiece[mover] = to;
  board[to] = static_cast<int8_t>(mover);
  board[from] = 0;
  rankOccupancy[RankOf(from)] &= static_cast<uint16_t>(~rankMaskBit[from]);
  fileOccupancy[FileOf(from)] &= static_cast<uint16_t>(~fileMaskBit[from]);
  if (victim == 0) {
    rankOccupancy[RankOf(to)] |= rankMaskBit[to];
    fileOccupancy[FileOf(to)] |= fileMaskBit[to];
  }
}

// Exact inverse of PlacePiece.
inline void LiftPiece(Square from, Square to, uint32_t mover, uint32_t victim) {
  posPiece[mover] = from;
  board[from] = static_cast<int8_t>(mover);
  board[to] = static_cast<int8_t>(victim);
  rankOccupancy[RankOf(from)] |= rankMaskBit[from];
  fileOccupancy[FileOf(from)] |= fileMaskBit[from];
  if (victim == 0) {
    rankOccupancy[RankOf(to)] &= static_cast<uint16_t>(~rankMaskBit[to]);
    fileOccupancy[FileOf(to)] &= static_cast<uint16_t>(~fileMaskBit[to]);
  } else {
    posPiece[victim] = to;
  }
}

// Does the capturing piece, now on its capture square, attack the square?
inline uint32_t CapturerAttacks(uint32_t mover, Square target) {
  switch (pieceTypeOf[mover]) {
    case kKnight:
      return KnightAttacksSquare(mover, target);
    case kChariot:
      return ChariotAttacksSquare(mover, target);
    case kCannon:
      return CannonAttacksSquare(mover, target);
    default:
      return 1;  // pawns, advisers, elephants and the king are not restricted
  }
}

// KingsFace for kings known to share a file. With the black king below the
// red one (as the palaces place them) the file mask answers, as it does for a
// chariot; any other arrangement, or a missing king, is left to KingsFace.
inline bool KingsFaceOnFile(uint32_t blackKing, uint32_t redKing) {
  if (blackKing == 0 || blackKing >= redKing) return KingsFace() != 0;
  return attack_rules::ChariotReaches(blackKing, redKing);
}

// The rule tests of a move whose piece already stands on `to` (board,
// posPiece and masks updated). Returns true when the move must be refused:
// the kings face each other on an open file, the mover's king is attacked,
// or the capture breaks the iron-pawn rule (the protected central pawn may be
// taken by a knight, chariot or cannon only with check).
[[gnu::always_inline]] inline bool MoveIsRefused(Square from, Square to, uint32_t mover, uint32_t victim) {
  const uint32_t redKing = posPiece[1];  // the kings' squares (posPiece[1], [17])
  const uint32_t blackKing = posPiece[17];
  if ((redKing & 0xF0) == (blackKing & 0xF0) &&
      (mover == 1 || mover == 17 || (from & 0xF0) == (redKing & 0xF0)) &&
      KingsFaceOnFile(blackKing, redKing))
    return true;
  // The king-safety test of RedKingAttacker / BlackKingAttacker, inlined;
  // only whether an attacker exists matters here, not which one.
  if (sideToMove == kRed ? attack_rules::EnemyKingAttacked<kBlack>()
                         : attack_rules::EnemyKingAttacked<kRed>())
    return true;
  if (victim != 0 && pieceTypeOf[victim] == kPawn) {
    if (sideToMove == kRed) {
      if (blackIronPawn && to == kBlackCentralPawnSquare && !CapturerAttacks(mover, blackKing))
        return true;
    } else {
      if (redIronPawn && to == kRedCentralPawnSquare && !CapturerAttacks(mover, redKing))
        return true;
    }
  }
  return false;
}

// Attack weight of each piece type (5 a knight or cannon, 10 a chariot) and
// whether it counts as an attacker; the king and type 0 count for nothing.
constexpr int32_t kAttackWeightOf[8] = {0, 0, 0, 0, 5, 5, 10, 0};
constexpr uint32_t kIsAttacker[8] = {0, 0, 0, 0, 1, 1, 1, 0};

// Adds delta to the counters of the side owning piece (never a king). Read
// from the two tables instead of a switch on the type.
inline void AdjustCounters(uint32_t piece, int delta) {
  const uint32_t side = piece > 16 ? kBlack : kRed;
  const uint32_t type = pieceTypeOf[piece];
  if (type - 1 >= 6) return;  // only pawns up to chariots are counted
  pieceCount[side][type - 1] += static_cast<uint32_t>(delta);
  attackWeight[side] += kAttackWeightOf[type] * delta;
  attackerCount[side] += kIsAttacker[type] * static_cast<uint32_t>(delta);
}

}  // namespace

int MakeMove(Move move, int32_t checker) {
  const Square to = MoveTo(move);
  const Square from = MoveFrom(move);
  const uint32_t victim = static_cast<uint32_t>(board[to]);
  const uint32_t mover = static_cast<uint32_t>(board[from]);

  PlacePiece(from, to, mover, victim);
  // The refusal test does not read typeBoard, so it is updated only for a
  // move that stands.
  if (MoveIsRefused(from, to, mover, victim)) {
    LiftPiece(from, to, mover, victim);
    VORELK_CHECK_POSITION("a refused MakeMove", move);
    return 0;
  }
  typeBoard[to] = typeBoard[from];
  typeBoard[from] = 0;

  HistoryRecord& r = historyBase[historyPly];
  const int32_t balance = materialBalance;
  const uint32_t t = pieceTypeOf[mover];
  const uint32_t v = pieceTypeOf[victim];
  if (victim != 0) AdjustCounters(victim, -1);
  if (sideToMove == kRed) {
    materialBalance = balance + pieceSquareRed[t][to] - pieceSquareRed[t][from];
    if (victim != 0) materialBalance += pieceSquareBlack[v][to];
  } else {
    materialBalance = balance + pieceSquareBlack[t][from] - pieceSquareBlack[t][to];
    if (victim != 0) materialBalance -= pieceSquareRed[v][to];
  }
  sideToMove = 1 - sideToMove;

  r.balance = balance;
  r.captured = victim;
  r.move = move;
  r.lock = positionLock;
  r.key = positionKey;
  r.reversibleMoves = reversibleMoves;
  r.checker = checker;

  reversibleMoves = victim != 0 ? 0 : reversibleMoves + 1;

  if (victim != 0) {
    const uint32_t cv = colouredTypeOf[victim];
    positionLock ^= lockTable[cv][to];
    positionKey ^= keyTable[cv][to];
  }
  const uint32_t c = colouredTypeOf[mover];
  positionLock ^= lockTable[c][to] ^ lockTable[c][from];
  positionKey ^= keyTable[c][to] ^ keyTable[c][from];

  ++historyPly;
  VORELK_CHECK_POSITION("MakeMove", move);
  return 1;
}

void UnmakeMove() {
  sideToMove = 1 - sideToMove;
  --historyPly;
  const HistoryRecord& r = historyBase[historyPly];
  reversibleMoves = r.reversibleMoves;
  positionLock = r.lock;
  positionKey = r.key;
  materialBalance = r.balance;

  const Square from = MoveFrom(r.move);
  const Square to = MoveTo(r.move);
  const uint32_t mover = static_cast<uint32_t>(board[to]);
  const uint32_t captured = r.captured;
  board[from] = static_cast<int8_t>(mover);
  typeBoard[from] = typeBoard[to];
  posPiece[mover] = from;
  rankOccupancy[RankOf(from)] |= rankMaskBit[from];
  fileOccupancy[FileOf(from)] |= fileMaskBit[from];
  if (captured != 0) {
    board[to] = static_cast<int8_t>(captured);
    typeBoard[to] = static_cast<uint8_t>(colouredTypeOf[captured]);
    posPiece[captured] = to;
    AdjustCounters(captured, +1);
  } else {
    board[to] = 0;
    typeBoard[to] = 0;
    rankOccupancy[RankOf(to)] &= static_cast<uint16_t>(~rankMaskBit[to]);
    fileOccupancy[FileOf(to)] &= static_cast<uint16_t>(~fileMaskBit[to]);
  }
  VORELK_CHECK_POSITION("UnmakeMove", r.move);
}

void MakeNullMove() {
  HistoryRecord& r = historyBase[historyPly];
  r.move = 0;
  r.captured = 0;
  r.checker = 0;
  r.lock = positionLock;
  r.key = positionKey;
  r.reversibleMoves = reversibleMoves;
  r.balance = materialBalance;
  sideToMove = 1 - sideToMove;
  ++historyPly;
}

// Applies the same tests as MakeMove, the iron-pawn rule included, so that
// the legal-move test sees exactly the moves MakeMove accepts.
int IsLegalByTrial(Square from, Square to) {
  const uint32_t victim = static_cast<uint32_t>(board[to]);
  const uint32_t mover = static_cast<uint32_t>(board[from]);
  PlacePiece(from, to, mover, victim);
  const bool refused = MoveIsRefused(from, to, mover, victim);
  LiftPiece(from, to, mover, victim);
  return refused ? 0 : 1;
}

uint32_t FindChecker(uint32_t side) {
  return side == kRed ? FindCheckerOfRedKing() : FindCheckerOfBlackKing();
}
