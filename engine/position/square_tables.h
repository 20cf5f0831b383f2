// Constant square tables of the position, built at compile time. Indexed by
// Square; every frame square holds 0.
#pragma once

#include <array>
#include <cstdint>

#include "engine/position/types.h"

namespace square_tables_detail {

using SquareTable = std::array<uint8_t, kBoardSize>;

template <typename Pred>
constexpr SquareTable MakeSquareTable(Pred pred) {
  SquareTable t{};
  for (int file = 0; file < 9; ++file)
    for (int rank = 0; rank < 10; ++rank) t[MakeSquare(file, rank)] = pred(file, rank) ? 1 : 0;
  return t;
}

// The seven points a black elephant can reach; red's are rank-mirrored.
constexpr bool IsBlackElephantPoint(int file, int rank) {
  constexpr int pts[7][2] = {{0, 2}, {2, 0}, {2, 4}, {4, 2}, {6, 0}, {6, 4}, {8, 2}};
  for (const auto& p : pts)
    if (p[0] == file && p[1] == rank) return true;
  return false;
}

constexpr std::array<uint32_t, kBoardSize> MakeMirrorTable() {
  std::array<uint32_t, kBoardSize> t{};
  for (int file = 0; file < 9; ++file)
    for (int rank = 0; rank < 10; ++rank) t[MakeSquare(file, rank)] = MakeSquare(8 - file, rank);
  return t;
}

}  // namespace square_tables_detail

inline constexpr square_tables_detail::SquareTable onBoard =
    square_tables_detail::MakeSquareTable([](int, int) { return true; });
inline constexpr square_tables_detail::SquareTable blackPalace =
    square_tables_detail::MakeSquareTable([](int f, int r) { return f >= 3 && f <= 5 && r <= 2; });
inline constexpr square_tables_detail::SquareTable redPalace =
    square_tables_detail::MakeSquareTable([](int f, int r) { return f >= 3 && f <= 5 && r >= 7; });
inline constexpr square_tables_detail::SquareTable blackElephantSquare =
    square_tables_detail::MakeSquareTable(
        [](int f, int r) { return square_tables_detail::IsBlackElephantPoint(f, r); });
inline constexpr square_tables_detail::SquareTable redElephantSquare =
    square_tables_detail::MakeSquareTable(
        [](int f, int r) { return square_tables_detail::IsBlackElephantPoint(f, 9 - r); });
// The square on file 8 - file, same rank; 0 for frame squares.
inline constexpr std::array<uint32_t, kBoardSize> mirrorSquare =
    square_tables_detail::MakeMirrorTable();

// PieceIndex -> colourless PieceType (entry 0 is 0).
inline constexpr std::array<uint32_t, 33> pieceTypeOf = {
    0, 7, 2, 2, 3, 3, 4, 4, 6, 6, 5, 5, 1, 1, 1, 1, 1,
    7, 2, 2, 3, 3, 4, 4, 6, 6, 5, 5, 1, 1, 1, 1, 1};
// PieceIndex -> coloured PieceType (black adds 7).
inline constexpr std::array<uint32_t, 33> colouredTypeOf = {
    0, 7, 2, 2, 3, 3, 4, 4, 6, 6, 5, 5, 1, 1, 1, 1, 1,
    14, 9, 9, 10, 10, 11, 11, 13, 13, 12, 12, 8, 8, 8, 8, 8};

// Start square of each PieceIndex in the standard position: red king (4,9),
// advisers (3,9) (5,9), elephants (2,9) (6,9), knights (1,9) (7,9), chariots
// (0,9) (8,9), cannons (1,7) (7,7), pawns on rank 6 files 0, 2, 4, 6, 8; black
// the same at rank 9 - rank.
inline constexpr std::array<uint32_t, 33> startSquareOf = [] {
  std::array<uint32_t, 33> t{};
  constexpr int files[17] = {0, 4, 3, 5, 2, 6, 1, 7, 0, 8, 1, 7, 0, 2, 4, 6, 8};
  constexpr int ranks[17] = {0, 9, 9, 9, 9, 9, 9, 9, 9, 9, 7, 7, 6, 6, 6, 6, 6};
  for (int i = 1; i <= 16; ++i) {
    t[i] = MakeSquare(files[i], ranks[i]);
    t[i + 16] = MakeSquare(files[i], 9 - ranks[i]);
  }
  return t;
}();

static_assert(colouredTypeOf[17] == 14 && colouredTypeOf[28] == 8);
static_assert(pieceTypeOf[10] == kCannon && pieceTypeOf[8] == kChariot);
static_assert(startSquareOf[1] == kRedKingHome && startSquareOf[17] == kBlackKingHome);
