// Edits that rebuild the engine position outside move making (the set-up
// commands), the list of captured pieces and the board consistency test.
#include <cstdio>
#include <cstring>

#include "engine/bridge.h"
#include "engine/position/position.h"

namespace {

// typeBoard from board; a cell without a valid piece index gets no type.
void RebuildTypeBoard() {
  for (int s = 0; s < kBoardSize; ++s) {
    const int v = board[s];
    typeBoard[s] = static_cast<uint8_t>(v >= 1 && v <= 32 ? colouredTypeOf[v] : 0);
  }
}

// The highest captured index among first..last of a piece list, 0 when all
// are on the board.
uint32_t HighestCaptured(const uint32_t* pieces, PieceIndex first, PieceIndex last) {
  uint32_t found = 0;
  for (PieceIndex i = first; i <= last; ++i)
    if (pieces[i] == 0) found = i;
  return found;
}

// Checks the king of one side: present and inside its palace.
int CheckKing(PieceIndex king, const uint8_t* palace, const char* missing, const char* outside) {
  const uint32_t s = posPiece[king];
  if (s == 0) {
    AppendLogLine(missing);
    return 0;
  }
  if (!palace[s]) {
    AppendLogLine(outside);
    return 0;
  }
  return 1;
}

}  // namespace

void ListCapturedPieces(uint32_t out[14]) { ListCapturedPiecesOf(posPiece, out); }

void ListCapturedPiecesOf(const uint32_t pieces[33], uint32_t out[14]) {
  // Red's kinds in words 1..6, black's in 8..13: pawn, adviser, elephant,
  // knight, cannon, chariot.
  static constexpr PieceIndex kRanges[6][2] = {{12, 16}, {2, 3}, {4, 5},
                                               {6, 7},   {10, 11}, {8, 9}};
  for (int i = 0; i < 14; ++i) out[i] = 0;
  for (int k = 0; k < 6; ++k) {
    out[1 + k] = HighestCaptured(pieces, kRanges[k][0], kRanges[k][1]);
    out[8 + k] = HighestCaptured(pieces, kRanges[k][0] + 16, kRanges[k][1] + 16);
  }
}

void SwapColours() {
  for (int i = 1; i <= 16; ++i) {
    const uint32_t red = posPiece[i];
    posPiece[i] = posPiece[i + 16];
    posPiece[i + 16] = red;
  }
  // Same file, rank 9 - rank.
  for (int i = 1; i <= 32; ++i) {
    const uint32_t s = posPiece[i];
    if (s != 0) posPiece[i] = ((s - 34) & ~15u) - ((s - 34) & 15u) + 43;
  }
  for (int s = 0; s < kBoardSize; ++s) {
    const int v = board[s];
    if (v != 0) board[s] = static_cast<int8_t>(v < 17 ? v + 16 : v - 16);
  }
  for (int file = 0; file <= 8; ++file) {
    for (int rank = 0; rank < 5; ++rank) {
      int8_t& a = board[MakeSquare(file, rank)];
      int8_t& b = board[MakeSquare(file, 9 - rank)];
      const int8_t t = a;
      a = b;
      b = t;
    }
  }
  sideToMove = 1 - sideToMove;
  std::memcpy(displayBoard, board, sizeof displayBoard);
  RebuildTypeBoard();
  if (!ValidateBoard()) AppendLogLine("***** Invalid Board !\r\n");
  RebuildLineMasks();
}

void MirrorPositionLeftRight() {
  for (int i = 1; i <= 32; ++i) {
    const uint32_t s = posPiece[i];
    // A square outside the board array is left for ValidateBoard to report.
    if (s != 0 && s < kBoardSize) posPiece[i] = mirrorSquare[s];
  }
  std::memset(board, 0, sizeof board);
  for (int i = 1; i <= 32; ++i) {
    const uint32_t s = posPiece[i];
    if (s != 0 && s < kBoardSize) board[s] = static_cast<int8_t>(i);
  }
  std::memcpy(displayBoard, board, sizeof displayBoard);
  RebuildTypeBoard();
  if (!ValidateBoard()) AppendLogLine("***** Invalid Board !\r\n");
}

int ValidateBoard() {
  for (int i = 1; i <= 32; ++i) {
    const uint32_t s = posPiece[i];
    if (s == 0) continue;
    if (s >= kBoardSize) {
      AppendLogLine("Bad board setup\r\n");
      return 0;
    }
    if (!onBoard[s] || board[s] != i) {
      char line[96];
      std::snprintf(line, sizeof line, "posPiece[%d]==%d, board[%d]==%d", i, static_cast<int>(s),
                    static_cast<int>(s), board[s]);
      AppendLogLine(line);
      AppendLogLine("\r\n");
      return 0;
    }
  }
  for (int c = 0; c < 192; ++c) {
    const int v = board[c];
    if (v < 0 || v > 32) {
      char line[48];
      std::snprintf(line, sizeof line, "board[%d]==%d", c, v);
      AppendLogLine(line);
      AppendLogLine("\r\n");
      return 0;
    }
  }
  // Every king rule (facing kings, checks, the palace moves) needs one king
  // per side inside its own palace.
  if (!CheckKing(1, redPalace.data(), "Red king missing\r\n",
                 "Red king outside its palace\r\n"))
    return 0;
  if (!CheckKing(17, blackPalace.data(), "Black king missing\r\n",
                 "Black king outside its palace\r\n"))
    return 0;
  return 1;
}

void RemovePiece(PieceIndex piece) {
  if (piece < 1 || piece > 32) return;
  const uint32_t s = posPiece[piece];
  if (s < kBoardSize) board[s] = 0;
  posPiece[piece] = 0;
}
