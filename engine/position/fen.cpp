// Text forms of positions and moves: FEN in the two letter sets and the
// four-character coordinate move text ("h2e2").
#include <cstring>
#include <string>

#include "engine/position/position.h"
#include "engine/search/new_game.h"

namespace {

// Piece letters indexed by PieceIndex - 1. Set 1 writes elephants "E" and
// knights "H", set 0 "B" and "N".
constexpr const char* kLetterSets[2] = {
    "KAABBNNRRCCPPPPPkaabbnnrrccppppp",
    "KAAEEHHRRCCPPPPPkaaeehhrrccppppp",
};

// Range of red PieceIndex values for a piece letter (either set, either
// case); false for anything that is not a piece letter.
bool RedIndexRange(char upper, int* first, int* last) {
  switch (upper) {
    case 'K': *first = 1; *last = 1; return true;
    case 'A': *first = 2; *last = 3; return true;
    case 'B': case 'E': *first = 4; *last = 5; return true;
    case 'H': case 'N': *first = 6; *last = 7; return true;
    case 'R': *first = 8; *last = 9; return true;
    case 'C': *first = 10; *last = 11; return true;
    case 'P': *first = 12; *last = 16; return true;
    default: return false;
  }
}

// Square of a coordinate letter and digit; lowest is the letter of file 8
// ('a' or 'A'). 0 when either character is out of range.
Square CoordSquare(char letter, char digit, char lowest) {
  if (letter < lowest || letter > lowest + 8 || digit < '0' || digit > '9') return 0;
  return static_cast<Square>((lowest + 8 - letter) * 16 - digit + 91);
}

inline bool IsBlankOrEnd(char c) { return c == '\0' || c == ' ' || c == '\t'; }

constexpr int kFileStep = 16;
constexpr int kStartCursor = 162;  // file 8, rank 0
constexpr int kPastFileZero = 27;  // a cursor at or below this ran off file 0
constexpr int kNextRank = 145;     // from beyond file 0 to file 8, next rank

}  // namespace

void WriteFen(const int8_t* cells, char* out, int withSide, int mirrored, int letterSet) {
  const char* letters = kLetterSets[letterSet != 0 ? 1 : 0];
  char* p = out;
  for (int rank = 0; rank <= 9; ++rank) {
    int empty = 0;
    for (int k = 0; k <= 8; ++k) {
      const int file = mirrored ? k : 8 - k;
      const int v = cells[MakeSquare(file, rank)];
      // A cell that holds no valid piece index is written as empty.
      if (v < 1 || v > 32) {
        ++empty;
        continue;
      }
      if (empty != 0) *p++ = static_cast<char>('0' + empty);
      empty = 0;
      *p++ = letters[v - 1];
    }
    if (empty != 0) *p++ = static_cast<char>('0' + empty);
    if (rank != 9) *p++ = '/';
  }
  if (withSide) {
    *p++ = ' ';
    *p++ = sideToMove != kRed ? 'b' : (letterSet != 0 ? 'w' : 'r');
  }
  *p = '\0';
}

void ReadFenBoard(const char* text, int8_t* cells, uint32_t* pieces, uint32_t* sideOut) {
  std::memset(pieces, 0, 33 * sizeof(uint32_t));
  std::memset(cells, 0, kBoardSize);
  if (text == nullptr) text = "";

  const char* p = text;
  int cursor = kStartCursor;
  int rank = 0;  // rank of the cursor; it grows by one at every wrap
  for (; !IsBlankOrEnd(*p); ++p) {
    // Text beyond the tenth rank places nothing; the cursor stops moving so
    // that it can never come back onto the board.
    if (rank > 9) continue;
    const char c = *p;
    int first = 0, last = 0;
    if (c >= '1' && c <= '9') {
      cursor -= kFileStep * (c - '0');
    } else if (RedIndexRange(c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c, &first,
                             &last)) {
      if (c >= 'a' && c <= 'z') {
        first += 16;
        last += 16;
      }
      int index = first;
      while (index <= last && pieces[index] != 0) ++index;
      if (index > last) continue;  // no free index of that kind: takes no square
      // Within the ten ranks the cursor always stands on a playing square;
      // the test keeps every write on the board all the same.
      if (cursor >= 0 && cursor < kBoardSize && onBoard[cursor]) {
        cells[cursor] = static_cast<int8_t>(index);
        pieces[index] = static_cast<uint32_t>(cursor);
      }
      cursor -= kFileStep;
    }
    if (cursor <= kPastFileZero) {
      cursor += kNextRank;
      ++rank;
    }
  }
  while (*p != '\0' && IsBlankOrEnd(*p)) ++p;
  *sideOut = (*p == 'w' || *p == 'r') ? kRed : kBlack;
}

int ParseFen(const char* text, int8_t* cells, uint32_t* pieces, uint32_t* sideOut) {
  ResetGameState(0);
  ReadFenBoard(text, cells, pieces, sideOut);
  ComputePositionKeys(&positionLock, &positionKey, posPiece);
  RebuildLineMasks();
  return 0;
}

Move ParseCoordMove(const char* text) {
  if (text == nullptr) return 0;
  // Plain form "h2e2": lower-case letters, the four characters at the start.
  // Bracket form "(...) H2-E2": upper-case letters at the second, third,
  // fifth and sixth characters after the first ")".
  const char* p = text;
  char lowest = 'a';
  int at[4] = {0, 1, 2, 3};
  if (*p == '(') {
    p = std::strchr(p, ')');
    if (p == nullptr) return 0;
    lowest = 'A';
    at[0] = 2, at[1] = 3, at[2] = 5, at[3] = 6;
  }
  // Never read past the end of a short text.
  for (int k = 0; k <= at[3]; ++k)
    if (p[k] == '\0') return 0;
  const Square from = CoordSquare(p[at[0]], p[at[1]], lowest);
  const Square to = CoordSquare(p[at[2]], p[at[3]], lowest);
  if (from == 0 || to == 0) return 0;
  return MakeMoveCode(from, to);
}

Move MirrorMove(Move move) {
  const Square from = MoveFrom(move);
  const Square to = MoveTo(move);
  if (from >= kBoardSize || to >= kBoardSize) return 0;
  const Square mirroredFrom = mirrorSquare[from];
  const Square mirroredTo = mirrorSquare[to];
  if (mirroredFrom == 0 || mirroredTo == 0) return 0;
  return MakeMoveCode(mirroredFrom, mirroredTo);
}

void FormatCoordMove(Move move, char out[5]) {
  const Square squares[2] = {MoveFrom(move), MoveTo(move)};
  for (int i = 0; i < 2; ++i) {
    const Square s = squares[i];
    if (s < kBoardSize && onBoard[s]) {
      out[2 * i] = static_cast<char>('a' + 8 - FileOf(s));
      out[2 * i + 1] = static_cast<char>('0' + 9 - RankOf(s));
    } else {
      // Not a playing square: no coordinate to write.
      out[2 * i] = '-';
      out[2 * i + 1] = '-';
    }
  }
  out[4] = '\0';
}

bool CheckFenText(const char* fen, std::string* error) {
  static const char kLetters[] = "KAEBHNRCPkaebhnrcp";
  int counts[128] = {};
  int rank = 0, files = 0;
  // Ranks are counted as written, from black's side of the board.
  auto wrongRank = [&] {
    *error = "rank " + std::to_string(rank + 1) + " from the top has " + std::to_string(files) +
             " squares, not nine";
    return false;
  };
  const char* p = fen;
  for (; *p != '\0' && *p != ' ' && *p != '\t'; ++p) {
    const char c = *p;
    if (c == '/') {
      if (files != 9) return wrongRank();
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
    } else if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) {
      *error = std::string("unknown piece letter '") + c + "'";
      return false;
    } else {
      *error = std::string("unexpected character '") + c + "'";
      return false;
    }
  }
  if (rank != 9) {
    if (rank < 9 && files != 9) return wrongRank();
    *error = "the board has " + std::to_string(rank + 1) + " ranks, not ten";
    return false;
  }
  if (files != 9) return wrongRank();
  static const struct {
    char kind;
    int most;
    const char* name;
  } kMost[] = {{'K', 1, "kings"},   {'A', 2, "advisers"}, {'E', 2, "elephants"},
               {'H', 2, "knights"}, {'R', 2, "chariots"}, {'C', 2, "cannons"},
               {'P', 5, "pawns"}};
  for (const auto& k : kMost) {
    for (const bool black : {false, true}) {
      const int count = counts[static_cast<unsigned char>(k.kind + (black ? 32 : 0))];
      if (count <= k.most) continue;
      *error = std::to_string(count) + (black ? " black " : " red ") + k.name +
               ", a side has at most " + std::to_string(k.most);
      return false;
    }
  }
  while (*p == ' ' || *p == '\t') ++p;
  if (*p == '\0') {
    *error = "no side to move";
    return false;
  }
  // The letter ends the text or is followed by a blank or a line end.
  const size_t length = std::strcspn(p, " \t\r\n");
  if (length == 1 && (*p == 'w' || *p == 'r' || *p == 'b')) return true;
  *error = length == 1 ? std::string("unknown side letter '") + *p + "'"
                       : "unknown side to move \"" + std::string(p, length) + "\"";
  return false;
}
