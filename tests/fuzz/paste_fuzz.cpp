// libFuzzer target: the paste of a FEN text from the clipboard, on any
// clipboard bytes. The first input byte picks the code page (odd: GBK or
// Big5, even: Windows-1252), the rest is the clipboard's text in it. The
// text is cut as the program cuts it and pasted over the user's game: a
// refused text leaves the game exactly as it was; a pasted position is
// consistent, shown, starts a game without moves, and is itself playable
// when written back as FEN.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "engine/position/position.h"
#include "game/fen_paste.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz_support::InitOnce();
  if (size == 0) return 0;
  fuzz_support::ResetGame();
  const char* bytes = reinterpret_cast<const char*>(data + 1);
  const size_t length = PastedTextLength(bytes, size - 1, kPastedFenBytes, (data[0] & 1) != 0);
  fuzz_support::Require(length <= kPastedFenBytes && length <= size - 1, "text cut to the limit");
  const std::string text(bytes, length);

  const fuzz_support::GameImage before = fuzz_support::GameImage::Take();
  if (!PasteFenPosition(text.c_str())) {
    fuzz_support::Require(fuzz_support::GameImage::Take().bytes == before.bytes,
                          "a refused paste leaves the game unchanged");
    return 0;
  }
  fuzz_support::Require(gameLength == 0 && gamePly == 0, "a pasted position starts a game");
  fuzz_support::Require(std::memcmp(displayBoard, board, sizeof board) == 0, "position shown");
  fuzz_support::Require(shownSideToMove == sideToMove && startSideToMove == sideToMove,
                        "side to move shown");
  fuzz_support::CheckGameAfterLoad(currentGameHeader);

  char written[kFenBufferSize + 2];
  WriteFen(board, written, 0, 0, 1);
  std::strcat(written, sideToMove == kRed ? " w" : " b");
  fuzz_support::Require(IsPlayableFen(written), "the pasted position is playable");
  return 0;
}
