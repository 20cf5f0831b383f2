#include "engine/position/perft.h"

#include <cstring>

#include "engine/eval/prepare.h"
#include "engine/position/position.h"
#include "engine/search/new_game.h"

namespace {

// Checks the board part and side letter of a FEN: ten ranks of nine squares,
// known piece letters in either letter set, no more pieces of a kind than a
// side owns, and a side letter "w", "r" or "b" when one is given.
bool CheckFenText(const char* fen, std::string* error) {
  static const char kLetters[] = "KAEBHNRCPkaebhnrcp";
  int counts[128] = {};
  int rank = 0, files = 0;
  const char* p = fen;
  for (; *p != '\0' && *p != ' ' && *p != '\t'; ++p) {
    const char c = *p;
    if (c == '/') {
      if (files != 9) break;
      ++rank;
      files = 0;
    } else if (c >= '1' && c <= '9') {
      files += c - '0';
    } else if (std::strchr(kLetters, c) != nullptr) {
      ++files;
      char kind = c;
      if (kind == 'B' || kind == 'b') kind = static_cast<char>(kind + ('E' - 'B'));
      if (kind == 'N' || kind == 'n') kind = static_cast<char>(kind + ('H' - 'N'));
      ++counts[static_cast<unsigned char>(kind)];
    } else {
      *error = std::string("unexpected character '") + c + "'";
      return false;
    }
    if (files > 9) break;
  }
  if (rank != 9 || files != 9) {
    *error = "the board needs ten ranks of nine squares";
    return false;
  }
  static const struct { char kind; int most; } kMost[] = {
      {'K', 1}, {'A', 2}, {'E', 2}, {'H', 2}, {'R', 2}, {'C', 2}, {'P', 5}};
  for (const auto& k : kMost) {
    if (counts[static_cast<unsigned char>(k.kind)] > k.most ||
        counts[static_cast<unsigned char>(k.kind + 32)] > k.most) {
      *error = std::string("too many pieces of kind ") + k.kind;
      return false;
    }
  }
  while (*p == ' ' || *p == '\t') ++p;
  if (*p != '\0' && *p != 'w' && *p != 'r' && *p != 'b') {
    *error = std::string("unknown side letter '") + *p + "'";
    return false;
  }
  return true;
}

// Moves of the current ply, copied out of the picker record because the
// record of the next ply is reused below.
int CollectMoves(Move* out) {
  MovePicker& r = movePickers[historyPly];
  r.next = 0;
  r.count = 0;
  GenerateAllMoves();
  for (int i = 0; i < r.count; ++i) out[i] = r.entries[i].move;
  return r.count;
}

uint64_t PerftNode(int depth) {
  Move moves[kMaxPickerEntries];
  const int n = CollectMoves(moves);
  const auto checker = static_cast<int32_t>(FindChecker(sideToMove));
  uint64_t total = 0;
  for (int i = 0; i < n; ++i) {
    if (!MakeMove(moves[i], checker)) continue;
    total += depth <= 1 ? 1 : PerftNode(depth - 1);
    UnmakeMove();
  }
  return total;
}

}  // namespace

bool SetUpPerftPosition(const char* fen, std::string* error) {
  InitKeyTables();
  if (fen == nullptr || !CheckFenText(fen, error)) {
    if (fen == nullptr) *error = "no text";
    return false;
  }
  ResetGameState(1);
  return LoadFenStartPosition(fen, error);
}

bool LoadFenStartPosition(const char* fen, std::string* error) {
  ParseFen(fen, board, posPiece, &sideToMove);
  if (!ValidateBoard()) {
    *error = "the position needs one king per side inside its palace";
    return false;
  }
  PrepareEvaluation();
  std::memcpy(displayBoard, board, sizeof displayBoard);
  startSideToMove = shownSideToMove = sideToMove;
  historyBase = &history[1];
  historyPly = 0;
  // The side that has just moved may not be left in check (kings facing
  // included): such a position cannot arise in a game.
  if (FindChecker(1 - sideToMove) != 0) {
    *error = "the side not to move is in check";
    return false;
  }
  return true;
}

uint64_t Perft(int depth) {
  if (depth <= 0) return 1;
  // A search never goes deeper than the picker records allow.
  if (depth >= kMaxSearchPly) depth = kMaxSearchPly - 1;
  return PerftNode(depth);
}

void PerftDivide(int depth, const std::function<void(Move, uint64_t)>& report) {
  if (depth <= 0) return;
  if (depth >= kMaxSearchPly) depth = kMaxSearchPly - 1;
  Move moves[kMaxPickerEntries];
  const int n = CollectMoves(moves);
  const auto checker = static_cast<int32_t>(FindChecker(sideToMove));
  for (int i = 0; i < n; ++i) {
    if (!MakeMove(moves[i], checker)) continue;
    report(moves[i], depth <= 1 ? 1 : PerftNode(depth - 1));
    UnmakeMove();
  }
}
