// Definitions of the engine position's variables and the debug consistency
// check that compares every derived variable with a recount from posPiece.
#include "engine/position/position.h"

#include <cstdio>

#include "engine/bridge.h"

int8_t board[kBoardSize];
uint8_t typeBoard[kBoardSize];
uint32_t posPiece[33];
int8_t displayBoard[kBoardSize];
uint32_t* const redKingSquarePtr = &posPiece[1];
uint32_t* const blackKingSquarePtr = &posPiece[17];
uint16_t rankOccupancy[10];
uint16_t fileOccupancy[9];
uint32_t sideToMove;
uint32_t startSideToMove;
uint32_t shownSideToMove;
int32_t gamePly;
int32_t gameLength;
HistoryRecord history[kHistorySize];
HistoryRecord* historyBase = &history[1];
int32_t historyPly;
uint32_t reversibleMoves;
uint64_t positionLock;
uint64_t positionKey;
int32_t materialBalance;
uint32_t pieceCount[2][6];
uint32_t attackerCount[2];
int32_t attackWeight[2];
uint32_t redIronPawn;
uint32_t blackIronPawn;
int32_t contemptRed;
int32_t contemptBlack;

uint8_t knightLeg[kBoardSize][kBoardSize];
uint32_t knightCheckMove1[172][172];
uint8_t knightCheckLeg1[172][172];
uint8_t knightStepLeg1[172][172];
uint32_t knightCheckMove2[172][172];
uint8_t knightCheckLeg2[172][172];
uint8_t knightStepLeg2[172][172];

MovePicker movePickers[kMaxSearchPly];

namespace {

int Fail(const char* what) {
  char line[160];
  std::snprintf(line, sizeof line, "Position check failed: %s\r\n", what);
  AppendLogLine(line);
  return 0;
}

}  // namespace

int CheckPositionConsistency() {
  for (uint32_t i = 1; i <= 32; ++i) {
    const uint32_t s = posPiece[i];
    if (s == 0) continue;
    if (s >= kBoardSize || !onBoard[s]) return Fail("piece off the board");
    if (board[s] != static_cast<int8_t>(i)) return Fail("board disagrees with posPiece");
    if (typeBoard[s] != colouredTypeOf[i]) return Fail("typeBoard disagrees with posPiece");
  }
  for (int s = 0; s < kBoardSize; ++s) {
    const int v = board[s];
    if (v == 0) {
      if (typeBoard[s] != 0) return Fail("typeBoard set on an empty square");
      continue;
    }
    if (v < 0 || v > 32 || !onBoard[s] || posPiece[v] != static_cast<uint32_t>(s))
      return Fail("board cell without its piece");
  }
  uint16_t ranks[10] = {};
  uint16_t files[9] = {};
  for (uint32_t i = 1; i <= 32; ++i) {
    const uint32_t s = posPiece[i];
    if (s == 0) continue;
    ranks[RankOf(s)] |= static_cast<uint16_t>(1u << FileOf(s));
    files[FileOf(s)] |= static_cast<uint16_t>(1u << RankOf(s));
  }
  for (int r = 0; r < 10; ++r)
    if (ranks[r] != rankOccupancy[r]) return Fail("rank mask");
  for (int f = 0; f < 9; ++f)
    if (files[f] != fileOccupancy[f]) return Fail("file mask");
  uint64_t lock = 0, key = 0;
  ComputePositionKeys(&lock, &key, posPiece);
  if (lock != positionLock || key != positionKey) return Fail("position keys");
  uint32_t counts[2][6] = {};
  for (uint32_t i = 1; i <= 32; ++i) {
    if (posPiece[i] == 0 || pieceTypeOf[i] == kKing) continue;
    ++counts[i > 16][pieceTypeOf[i] - 1];
  }
  for (int side = 0; side < 2; ++side) {
    for (int t = 0; t < 6; ++t)
      if (counts[side][t] != pieceCount[side][t]) return Fail("piece counts");
    const uint32_t attackers = counts[side][kKnight - 1] + counts[side][kCannon - 1] +
                               counts[side][kChariot - 1];
    const int32_t weight = static_cast<int32_t>(
        5 * counts[side][kKnight - 1] + 5 * counts[side][kCannon - 1] +
        10 * counts[side][kChariot - 1]);
    if (attackers != attackerCount[side] || weight != attackWeight[side])
      return Fail("attacker counts");
  }
  return 1;
}
