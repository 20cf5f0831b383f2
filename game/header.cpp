// The game header and the game file name.
#include "game/header.h"

#include <cstring>

namespace {

// Copies at most size - 1 bytes of text and a NUL.
void CopyBounded(char* out, int size, const char* text) {
  if (text == nullptr) text = "";
  size_t n = std::strlen(text);
  if (n > static_cast<size_t>(size - 1)) n = static_cast<size_t>(size - 1);
  std::memcpy(out, text, n);
  out[n] = '\0';
}

}  // namespace

constinit const GameHeader emptyGameHeader{};
// Zero-initialised like the empty header, so it is valid before anything
// else runs.
constinit GameHeader currentGameHeader{};

char gameFileName[kGameFileNameSize];

void SetHeaderText(char (&field)[kHeaderTextSize], const char* text) {
  CopyBounded(field, kHeaderTextSize, text);
}

const char* GameResultText(int result) {
  switch (result) {
    case kResultRedWins: return "1-0";
    case kResultBlackWins: return "0-1";
    case kResultDraw: return "\xBD-\xBD";
    default: return "*";
  }
}

void SetGameFileName(const char* path) { CopyBounded(gameFileName, kGameFileNameSize, path); }

void ClearGameFileName() { gameFileName[0] = '\0'; }
