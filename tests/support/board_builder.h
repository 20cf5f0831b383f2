// Positions built from piece lists, so that a test can name squares the way
// the rules do: file 0..8, rank 0 black's back rank, rank 9 red's.
#pragma once

#include <string>
#include <vector>

namespace testing_support {

struct Placed {
  char letter;  // FEN letter: K A B N R C P red, lower case black
  int file;
  int rank;
};

// FEN of the pieces (rank 0 first, each rank from file 8 down to file 0),
// with side letter 'w' or 'b'.
std::string FenOf(const std::vector<Placed>& pieces, char side = 'w');

// The same pieces seen from the other side: colours exchanged, rank r moved
// to rank 9 - r, files kept.
std::vector<Placed> Mirrored(const std::vector<Placed>& pieces);

}  // namespace testing_support
