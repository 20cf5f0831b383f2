// Occupancy masks of the ranks and files and the tables that answer line
// questions (reach of chariots and cannons, blocker distances, chariot
// capture targets) with one look-up by (line pattern, position on the line).
#include <cstring>

#include "engine/position/position.h"

uint16_t rankMaskBit[kBoardSize];
uint16_t fileMaskBit[kBoardSize];
uint16_t chariotReach[1024][10];
uint16_t cannonReach[1024][10];
uint16_t firstBlockerAbove[1024][10];
uint16_t firstBlockerBelow[1024][10];
uint16_t secondBlockerAbove[1024][10];
uint16_t secondBlockerBelow[1024][10];
uint8_t chariotFileTargets[kBoardSize][1024][3];
uint8_t chariotRankTargets[kBoardSize][1024][3];

namespace {

constexpr int kLinePoints = 10;
constexpr int kPatterns = 1024;
// Squares whose mask bits are filled: the playing squares and the frame cells
// between them; the rest of the frame keeps 0.
constexpr int kFirstMaskSquare = 34;
constexpr int kLastMaskSquare = 176;

// Reach, cannon reach and blocker distances of one position p in one
// direction (dir = +1 above, -1 below) of a line pattern.
struct DirectionScan {
  uint16_t reach = 0;
  uint16_t cannon = 0;
  uint16_t first = 0;
  uint16_t second = 0;
};

DirectionScan ScanDirection(int pattern, int p, int dir) {
  DirectionScan r;
  int blockers = 0;
  for (int q = p + dir, d = 1; q >= 0 && q < kLinePoints; q += dir, ++d) {
    const auto bit = static_cast<uint16_t>(1u << q);
    const bool occupied = (pattern & bit) != 0;
    if (blockers == 0) r.reach |= bit;
    if (blockers == 1) r.cannon |= bit;
    if (!occupied) continue;
    ++blockers;
    if (blockers == 1) r.first = static_cast<uint16_t>(d);
    if (blockers == 2) {
      r.second = static_cast<uint16_t>(d);
      break;
    }
  }
  return r;
}

void FillLinePatternTables() {
  std::memset(chariotReach, 0, sizeof chariotReach);
  std::memset(cannonReach, 0, sizeof cannonReach);
  std::memset(firstBlockerAbove, 0, sizeof firstBlockerAbove);
  std::memset(firstBlockerBelow, 0, sizeof firstBlockerBelow);
  std::memset(secondBlockerAbove, 0, sizeof secondBlockerAbove);
  std::memset(secondBlockerBelow, 0, sizeof secondBlockerBelow);
  for (int pattern = 0; pattern < kPatterns; ++pattern) {
    for (int p = 0; p < kLinePoints; ++p) {
      const DirectionScan up = ScanDirection(pattern, p, +1);
      const DirectionScan down = ScanDirection(pattern, p, -1);
      chariotReach[pattern][p] = static_cast<uint16_t>(up.reach | down.reach);
      cannonReach[pattern][p] = static_cast<uint16_t>(up.cannon | down.cannon);
      firstBlockerAbove[pattern][p] = up.first;
      secondBlockerAbove[pattern][p] = up.second;
      firstBlockerBelow[pattern][p] = down.first;
      secondBlockerBelow[pattern][p] = down.second;
    }
  }
}

// Appends a capture target to an entry {target, target, count}.
void AddTarget(uint8_t (&entry)[3], int target) {
  entry[entry[2]] = static_cast<uint8_t>(target);
  ++entry[2];
}

// The chariot capture lists: along the file towards rank 9 first, then
// towards rank 0; along the rank towards file 0 first, then towards file 8.
void FillCaptureTargetTables() {
  std::memset(chariotFileTargets, 0, sizeof chariotFileTargets);
  std::memset(chariotRankTargets, 0, sizeof chariotRankTargets);
  for (int file = 0; file < 9; ++file) {
    for (int rank = 0; rank < 10; ++rank) {
      const int s = static_cast<int>(MakeSquare(file, rank));
      for (int pattern = 0; pattern < kPatterns; ++pattern) {
        uint8_t(&onFile)[3] = chariotFileTargets[s][pattern];
        if (const int d = firstBlockerAbove[pattern][rank]) AddTarget(onFile, s + d);
        if (const int d = firstBlockerBelow[pattern][rank]) AddTarget(onFile, s - d);
        uint8_t(&onRank)[3] = chariotRankTargets[s][pattern];
        if (const int d = firstBlockerBelow[pattern][file]) AddTarget(onRank, s - 16 * d);
        if (const int d = firstBlockerAbove[pattern][file]) AddTarget(onRank, s + 16 * d);
      }
    }
  }
}

void FillSquareMasks() {
  std::memset(rankMaskBit, 0, sizeof rankMaskBit);
  std::memset(fileMaskBit, 0, sizeof fileMaskBit);
  for (int s = kFirstMaskSquare; s <= kLastMaskSquare; ++s) {
    rankMaskBit[s] = static_cast<uint16_t>(1u << ((s - 34) >> 4));
    fileMaskBit[s] = static_cast<uint16_t>(1u << ((s - 34) & 15));
  }
}

}  // namespace

void RebuildLineMasks() {
  std::memset(rankOccupancy, 0, sizeof rankOccupancy);
  std::memset(fileOccupancy, 0, sizeof fileOccupancy);
  for (uint32_t i = 1; i <= 32; ++i) {
    const uint32_t s = posPiece[i];
    if (s == 0) continue;
    rankOccupancy[RankOf(s)] |= rankMaskBit[s];
    fileOccupancy[FileOf(s)] |= fileMaskBit[s];
  }
}

// The mask bits and the line tables depend on the board geometry alone and
// nothing writes them after they are filled, so the first call builds them
// and later calls (one per new game or set-up position) only refresh the
// occupancy masks of the current position.
void InitLineTables() {
  static const bool built = [] {
    FillSquareMasks();
    FillLinePatternTables();
    FillCaptureTargetTables();
    return true;
  }();
  static_cast<void>(built);
  RebuildLineMasks();
}
