// Helpers shared by the engine tests: setting up positions, capturing log
// lines and snapshotting the whole position for bit-for-bit comparisons.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/position/position.h"

namespace testing_support {

inline constexpr const char* kStartFen =
    "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w";

// Once per process: builds the key tables and points installDirectory at a
// scratch folder of this process. A test that points installDirectory
// elsewhere calls this first, so that the first InitEngine does not move it.
void InitTestProcess();
// InitTestProcess, then resets the game to the standard position.
void InitEngine();
// Resets the game, reads the FEN into the engine position and prepares it
// (typeBoard, counters, masks, banks, balance), as every real caller does.
// Returns the side read from the FEN.
uint32_t SetUpFen(const std::string& fen);
// The FEN of the engine board (letter set 0, side suffix " w"/" b").
std::string CurrentFen();

// Collects every AppendLogLine text while alive.
class LogCapture {
 public:
  LogCapture();
  ~LogCapture();
  const std::vector<std::string>& lines() const;
};

// Every variable of the engine position, for bit-for-bit comparisons.
struct PositionSnapshot {
  int8_t board[kBoardSize];
  uint8_t typeBoard[kBoardSize];
  uint32_t posPiece[33];
  uint16_t rankOccupancy[10];
  uint16_t fileOccupancy[9];
  uint32_t sideToMove;
  int32_t historyPly;
  HistoryRecord* historyBase;
  uint32_t reversibleMoves;
  uint64_t positionLock;
  uint64_t positionKey;
  int32_t materialBalance;
  uint32_t pieceCount[2][6];
  uint32_t attackerCount[2];
  int32_t attackWeight[2];

  static PositionSnapshot Take();
  bool operator==(const PositionSnapshot& other) const;
};

// All legal moves of the side to move, from GenerateAllMoves filtered by
// MakeMove, in generation order. Uses the picker record of the current ply.
std::vector<Move> LegalMoves();
// Coordinate text of a move, "h2e2".
std::string MoveText(Move move);
// Parses "h2e2"; fails the current test on bad text.
Move MoveFromText(const std::string& text);
// MakeMove with the checker of the side to move, as the searches call it;
// returns MakeMove's answer.
int PlayMove(Move move);
// A fresh engine and an empty header and comments, then a game of these
// moves from the standard start committed as a loaded game; false when the
// game could not be committed.
bool StartGameOf(const std::vector<std::string>& moves);

}  // namespace testing_support
