// Builds FEN text from a list of pieces on (file, rank) squares, so that the
// evaluation tests can name squares the way the rules do: file 0..8, rank 0
// black's back rank, rank 9 red's. Upper case is red, lower case black
// (K king, A adviser, B elephant, N knight, R chariot, C cannon, P pawn).
#pragma once

#include <cstring>
#include <string>
#include <vector>

namespace eval_testing {

struct At {
  char piece;
  int file;
  int rank;
};

// FEN rows run from rank 0 to rank 9, each from file 8 down to file 0.
inline std::string Fen(const std::vector<At>& pieces, char side = 'w') {
  char grid[10][9];
  std::memset(grid, 0, sizeof grid);
  for (const At& p : pieces) grid[p.rank][8 - p.file] = p.piece;
  std::string fen;
  for (int r = 0; r < 10; ++r) {
    int empty = 0;
    for (int c = 0; c < 9; ++c) {
      if (grid[r][c] == 0) {
        ++empty;
        continue;
      }
      if (empty != 0) fen += static_cast<char>('0' + empty);
      empty = 0;
      fen += grid[r][c];
    }
    if (empty != 0) fen += static_cast<char>('0' + empty);
    if (r != 9) fen += '/';
  }
  fen += ' ';
  fen += side;
  return fen;
}

}  // namespace eval_testing
