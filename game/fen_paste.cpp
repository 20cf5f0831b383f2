// The clipboard FEN: the bytes read, the playability check and the set-up.
#include "game/fen_paste.h"

#include <cstring>
#include <string>

#include "engine/eval/prepare.h"
#include "engine/position/position.h"
#include "game/game_loader.h"

size_t PastedTextLength(const char* bytes, size_t size, size_t maxBytes, bool twoByteCodePage) {
  if (bytes == nullptr) return 0;
  const size_t length = strnlen(bytes, size);
  if (!twoByteCodePage) return length < maxBytes ? length : maxBytes;
  size_t used = 0;
  while (used < length) {
    const unsigned char lead = static_cast<unsigned char>(bytes[used]);
    const size_t step = (lead >= 0x81 && lead <= 0xFE && used + 1 < length) ? 2 : 1;
    if (used + step > maxBytes) break;
    used += step;
  }
  return used;
}

bool IsPlayableFen(const char* text) {
  // The text must be a well-formed FEN first: the board is read leniently
  // (a long rank runs on into the next one, a missing side gives black).
  std::string error;
  if (text == nullptr || !CheckFenText(text, &error)) return false;
  LoadedGame scratch;
  StagingSession session(scratch);
  return session.open() && StageStartFen(scratch, text != nullptr ? text : "") != 0;
}

int PasteFenPosition(const char* text) {
  if (!IsPlayableFen(text)) return 0;
  ParseFen(text, board, posPiece, &sideToMove);
  PrepareEvaluation();
  startSideToMove = shownSideToMove = sideToMove;
  std::memcpy(displayBoard, board, sizeof displayBoard);
  return 1;
}
