// libFuzzer target: ParseWxfMove on any text, for either side, on positions
// with tandem chariots and cannons and several pawns on a file. The first
// input byte picks the position and the side, the rest is the move text in
// a buffer of exactly its size. A move that is found and accepted is made
// and unmade on the engine position.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/eval/prepare.h"
#include "engine/position/position.h"
#include "game/notation.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

constexpr const char* kPositions[] = {
    "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w",
    "3k5/4P4/4P4/4P4/2P6/2P6/R8/R3C4/4C4/4K4 w",
    "4k4/4c4/r3c4/r8/2p6/2p6/4p4/4p4/4p4/5K3 b",
    "2bak4/4a4/2n1b4/p1P1p1R1p/4c4/2p6/P3P1P1P/2C1C1N2/4A4/2BAK1B2 w",
};
constexpr size_t kPositionCount = sizeof kPositions / sizeof kPositions[0];

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz_support::InitOnce();
  if (size == 0) return 0;
  const size_t position = (data[0] >> 1) % kPositionCount;
  const int side = data[0] & 1;
  // The position alone (the game around it plays no part in reading a move
  // text): pieces, evaluation tables, keys and the shown board.
  uint32_t parsedSide = 0;
  ReadFenBoard(kPositions[position], board, posPiece, &parsedSide);
  sideToMove = startSideToMove = shownSideToMove = parsedSide;
  PrepareEvaluation();
  ComputePositionKeys(&positionLock, &positionKey, posPiece);
  std::memcpy(displayBoard, board, sizeof displayBoard);

  std::vector<char> text(data + 1, data + size);
  text.push_back('\0');
  const Move move = ParseWxfMove(text.data(), side);
  fuzz_support::Require(text.back() == '\0', "text stays terminated");
  if (move == 0 || move == kWxfNoDirection) return 0;
  if (static_cast<uint32_t>(side) != sideToMove) return 0;
  if (!CheckUserMove(move, board, sideToMove, 0)) return 0;
  historyBase = &history[1];
  historyPly = 0;
  if (MakeMove(move, static_cast<int32_t>(FindChecker(sideToMove)))) {
    fuzz_support::Require(CheckPositionConsistency() == 1, "consistent after the move");
    UnmakeMove();
  }
  fuzz_support::Require(CheckPositionConsistency() == 1, "consistent after unmaking");
  return 0;
}
