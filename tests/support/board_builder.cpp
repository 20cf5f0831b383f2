#include "tests/support/board_builder.h"

#include <cctype>

namespace testing_support {

std::string FenOf(const std::vector<Placed>& pieces, char side) {
  char cells[10][9] = {};
  for (const Placed& p : pieces) cells[p.rank][p.file] = p.letter;
  std::string fen;
  for (int rank = 0; rank < 10; ++rank) {
    int empty = 0;
    for (int file = 8; file >= 0; --file) {
      if (cells[rank][file] == 0) {
        ++empty;
        continue;
      }
      if (empty != 0) fen += static_cast<char>('0' + empty);
      empty = 0;
      fen += cells[rank][file];
    }
    if (empty != 0) fen += static_cast<char>('0' + empty);
    if (rank != 9) fen += '/';
  }
  return fen + ' ' + side;
}

std::vector<Placed> Mirrored(const std::vector<Placed>& pieces) {
  std::vector<Placed> out;
  for (Placed p : pieces) {
    const auto c = static_cast<unsigned char>(p.letter);
    p.letter = static_cast<char>(std::isupper(c) ? std::tolower(c) : std::toupper(c));
    p.rank = 9 - p.rank;
    out.push_back(p);
  }
  return out;
}

}  // namespace testing_support
