// libFuzzer target: ParseFen on any text. The board and piece list must
// agree and stay on the board, and writing the FEN back and reading it
// again must give the same pieces on the same squares. The texts written
// back are read with ReadFenBoard, the board reader of ParseFen without the
// new-game reset around it.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "engine/position/position.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

void CheckBoardAndPieces() {
  for (uint32_t i = 1; i <= 32; ++i) {
    const uint32_t s = posPiece[i];
    if (s == 0) continue;
    fuzz_support::Require(s < kBoardSize && onBoard[s] != 0, "piece on a playing square");
    fuzz_support::Require(board[s] == static_cast<int8_t>(i), "board holds the piece");
  }
  for (int s = 0; s < kBoardSize; ++s) {
    const int v = board[s];
    if (v == 0) continue;
    fuzz_support::Require(v > 0 && v <= 32 && posPiece[v] == static_cast<uint32_t>(s),
                          "board byte is a piece on its square");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz_support::InitOnce();
  const std::string text(reinterpret_cast<const char*>(data), size);
  uint32_t side = 2;
  ParseFen(text.c_str(), board, posPiece, &side);
  fuzz_support::Require(side == kRed || side == kBlack, "side is red or black");
  CheckBoardAndPieces();

  int8_t first[kBoardSize];
  std::memcpy(first, board, sizeof first);
  char written[kFenBufferSize];
  const uint32_t savedSide = sideToMove;
  sideToMove = side;
  for (int letterSet = 0; letterSet <= 1; ++letterSet) {
    sideToMove = side;
    WriteFen(first, written, 1, 0, letterSet);
    fuzz_support::Require(std::strlen(written) < sizeof written, "FEN text fits");
    uint32_t again = 2;
    ReadFenBoard(written, board, posPiece, &again);
    CheckBoardAndPieces();
    fuzz_support::Require(again == side, "side survives the round trip");
    for (int s = 0; s < kBoardSize; ++s) {
      const int a = first[s];
      const int b = board[s];
      fuzz_support::Require(colouredTypeOf[a] == colouredTypeOf[b], "same piece kinds after the round trip");
    }
  }
  sideToMove = savedSide;
  return 0;
}
