#include "tests/support/move_lists.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "engine/search/search_tables.h"
#include "tests/support/test_position.h"

namespace testing_support {

Move M(int f1, int r1, int f2, int r2) {
  return MakeMoveCode(MakeSquare(f1, r1), MakeSquare(f2, r2));
}

std::vector<MoveEntry> GeneratedEntries(const std::function<void()>& generator) {
  MovePicker& r = movePickers[historyPly];
  r.next = 0;
  r.count = 0;
  generator();
  return std::vector<MoveEntry>(r.entries, r.entries + r.count);
}

std::vector<Move> GeneratedMoves(const std::function<void()>& generator) {
  return MovesOf(GeneratedEntries(generator));
}

std::vector<Move> MovesOf(const std::vector<MoveEntry>& entries) {
  std::vector<Move> moves;
  for (const MoveEntry& e : entries) moves.push_back(e.move);
  return moves;
}

std::vector<Move> Sorted(std::vector<Move> moves) {
  std::sort(moves.begin(), moves.end());
  return moves;
}

std::vector<std::string> Texts(const std::vector<Move>& moves) {
  std::vector<std::string> out;
  for (Move m : moves) out.push_back(MoveText(m));
  return out;
}

std::vector<std::string> SortedTexts(std::vector<Move> moves) { return Texts(Sorted(moves)); }

uint32_t HistoryOf(Move move) {
  const Square from = MoveFrom(move);
  return historyTable[colouredTypeOf[board[from]]][172 * from + MoveTo(move)];
}

void FillHistory(uint32_t seed, uint32_t mask) {
  // The table of the last seed and mask is kept: tests fill it again at
  // every position.
  static std::unique_ptr<uint32_t[]> filled;
  static uint32_t filledSeed = 0, filledMask = 0;
  constexpr size_t kCells = sizeof historyTable / sizeof historyTable[0][0];
  if (!filled || filledSeed != seed || filledMask != mask) {
    if (!filled) filled = std::make_unique<uint32_t[]>(kCells);
    uint32_t x = seed;
    for (size_t i = 0; i < kCells; ++i) {
      x = x * 1103515245u + 12345u;
      filled[i] = (x >> 16) & mask;
    }
    filledSeed = seed;
    filledMask = mask;
  }
  std::memcpy(historyTable, filled.get(), sizeof historyTable);
  MarkHistoryTableWritten();
}

}  // namespace testing_support
