// Start positions with one adviser, elephant or pawn on a square it can or
// cannot ever reach, for both colours: every path that takes a start
// position (the position check, pasted FEN texts, set-up, the readers) must
// accept the first kind and refuse the second.
#pragma once

#include <string>
#include <vector>

#include "tests/support/board_builder.h"

namespace testing_support {

struct PlacementCase {
  std::string fen;
  bool sound;
  std::string what;  // for failure messages
};

// Files 0..8, rank 0 black's back rank, rank 9 red's. The kings stand on
// (4,9) and (3,0), so no tested piece gives check and the kings never face;
// each red case comes with its black twin (ranks mirrored, black to move).
inline std::vector<PlacementCase> PlacementCases() {
  struct Row {
    Placed piece;
    bool sound;
    const char* what;
  };
  static const Row kRows[] = {
      {{'A', 3, 9}, true, "adviser on a back corner of its palace"},
      {{'A', 5, 7}, true, "adviser on a front corner of its palace"},
      {{'A', 4, 8}, true, "adviser on its palace centre"},
      {{'A', 3, 8}, false, "adviser on a palace side point"},
      {{'A', 4, 7}, false, "adviser on the front middle of its palace"},
      {{'A', 6, 7}, false, "adviser outside its palace"},
      {{'A', 5, 2}, false, "adviser in the enemy palace"},
      {{'B', 2, 9}, true, "elephant on its back rank"},
      {{'B', 8, 7}, true, "elephant on the edge"},
      {{'B', 6, 5}, true, "elephant at the river"},
      {{'B', 3, 8}, false, "elephant between its points"},
      {{'B', 4, 6}, false, "elephant off its points"},
      {{'B', 2, 4}, false, "elephant on an enemy elephant point"},
      {{'B', 4, 2}, false, "elephant on the enemy palace front"},
      {{'P', 0, 6}, true, "pawn on its start square"},
      {{'P', 4, 5}, true, "pawn one step from its start"},
      {{'P', 1, 4}, true, "pawn across the river on an odd file"},
      {{'P', 8, 0}, true, "pawn on the enemy back rank"},
      {{'P', 1, 6}, false, "pawn on its start rank off the start files"},
      {{'P', 3, 5}, false, "pawn before the river off the start files"},
      {{'P', 4, 7}, false, "pawn behind its start rank"},
      {{'P', 0, 9}, false, "pawn on its own back rank"},
      {{'N', 0, 9}, true, "knight anywhere"},
      {{'C', 4, 1}, true, "cannon anywhere"},
  };
  std::vector<PlacementCase> out;
  for (const Row& row : kRows) {
    const std::vector<Placed> red = {{'K', 4, 9}, {'k', 3, 0}, row.piece};
    out.push_back({FenOf(red, 'w'), row.sound, std::string("red ") + row.what});
    out.push_back({FenOf(Mirrored(red), 'b'), row.sound, std::string("black ") + row.what});
  }
  return out;
}

}  // namespace testing_support
