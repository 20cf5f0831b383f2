// Reading WXF and AXF move texts, and translating Chinese move texts.
#include <cstring>

#include "engine/position/position.h"
#include "game/notation.h"

int DigitValue(int c) { return c >= '0' && c <= '9' ? c - '0' : -1; }

namespace {

bool IsBoardSquare(int s) { return s >= 0 && s < kBoardSize && onBoard[s] != 0; }

bool IsMark(char c) { return c == '+' || c == '-'; }

uint32_t ColouredType(uint32_t type, int side) { return side == 1 ? type + 7 : type; }

uint32_t ColouredTypeOn(int square) {
  const int piece = board[square];
  return piece >= 1 && piece <= 32 ? colouredTypeOf[piece] : 0;
}

// The WXF digit of a file in side's numbering, and back.
int FileDigit(int file, int side) { return side == 1 ? 9 - file : file + 1; }
int ColumnOfDigit(int digit, int side) { return side == 1 ? digit - 1 : 9 - digit; }

// Adviser and elephant texts that name one move whatever the board holds:
// squares as "i" - file and 9 - rank.
struct FixedText {
  const char* text;
  const char* move;
};
constexpr FixedText kFixedTexts[] = {
    {"A4+5", "f0e1"}, {"A6+5", "d0e1"}, {"A6-5", "d2e1"}, {"A4-5", "f2e1"},
    {"E3+5", "g0e2"}, {"E3-5", "g4e2"}, {"E7+5", "c0e2"}, {"E7-5", "c4e2"},
    {"E3-1", "g4i2"}, {"E3+1", "g0i2"}, {"E7+9", "c0a2"}, {"E7-9", "c4a2"},
    {"a4+5", "d9e8"}, {"a6+5", "f9e8"}, {"a6-5", "f7e8"}, {"a4-5", "d7e8"},
    {"e3+5", "c9e7"}, {"e3-5", "c5e7"}, {"e7+5", "g9e7"}, {"e7-5", "g5e7"},
    {"e3-1", "c5a7"}, {"e3+1", "c9a7"}, {"e7+9", "g9i7"}, {"e7-9", "g5i7"},
};

Square FixedSquare(const char* text) {
  return MakeSquare('i' - text[0], 9 - (text[1] - '0'));
}

Move FixedMove(const char* text) {
  for (const FixedText& fixed : kFixedTexts) {
    if (std::strncmp(text, fixed.text, 4) == 0)
      return MakeMoveCode(FixedSquare(fixed.move), FixedSquare(fixed.move + 2));
  }
  return 0;
}

// The piece letters of the seven kinds, upper case, by colourless type.
constexpr char kTypeLetters[8] = {0, 'P', 'A', 'E', 'H', 'C', 'R', 'K'};

uint32_t TypeOfLetter(char letter) {
  const char upper = letter >= 'a' && letter <= 'z' ? static_cast<char>(letter - 32) : letter;
  for (uint32_t type = 1; type <= 7; ++type)
    if (kTypeLetters[type] == upper) return type;
  return 0;
}

// The offset of the to-square from the from-square, 0 when the text names
// no move of that piece.
int TargetOffset(uint32_t type, int side, char direction, int d, int t) {
  if (t < 0) return 0;
  const bool red = side == 0;
  const int sideways = red ? (t - d) * 16 : (d - t) * 16;
  const int ahead = red ? -1 : 1;  // one rank forward
  switch (type) {
    case kChariot:
    case kCannon:
    case kPawn:
    case kKing: {
      const int steps = type == kKing ? 1 : t;
      if (direction == '+') return ahead * steps;
      if (direction == '-') return -ahead * steps;
      return sideways;
    }
    case kAdviser:
    case kElephant: {
      if (direction != '+' && direction != '-') return 0;
      const int rankStep = type == kAdviser ? 1 : 2;
      return sideways + (direction == '+' ? ahead : -ahead) * rankStep;
    }
    case kKnight: {
      if (direction != '+' && direction != '-') return 0;
      const int files = red ? t - d : d - t;  // files moved on the board
      int rankStep;
      if (files == 2 || files == -2) {
        rankStep = 1;
      } else if (files == 1 || files == -1) {
        rankStep = 2;
      } else {
        return 0;
      }
      const int forwardSign = direction == '+' ? 1 : -1;
      return files * 16 + ahead * forwardSign * rankStep;
    }
    default:
      return 0;
  }
}

// The middle one of three pawns of side on a file, -1 when no file holds
// exactly three.
int MiddlePawnOfThree(int side) {
  Square pawns[5];
  const int count = TandemPawnsInOrder(side, pawns);
  for (int k = 0; k + 2 < count; ++k) {
    const int file = FileOf(pawns[k]);
    const bool three =
        FileOf(pawns[k + 2]) == file && (k + 3 == count || FileOf(pawns[k + 3]) != file);
    if (three && (k == 0 || FileOf(pawns[k - 1]) != file)) return pawns[k + 1];
  }
  return -1;
}

// The pawn numbered number (1..5) among side's tandem pawns, -1 when there
// are fewer.
int NumberedPawn(int side, int number) {
  Square pawns[5];
  return number <= TandemPawnsInOrder(side, pawns) ? pawns[number - 1] : -1;
}

}  // namespace

int FindPieceFile(uint32_t colouredType, int side) {
  if (colouredType == kPawn || colouredType == kPawn + 7) {
    for (int file = 8; file >= 0; --file) {
      int count = 0;
      for (int rank = 0; rank <= 9; ++rank) count += ColouredTypeOn(MakeSquare(file, rank)) == colouredType;
      if (count >= 2) return FileDigit(file, side);
    }
    return -1;
  }
  for (int rank = 9; rank >= 0; --rank)
    for (int file = 8; file >= 0; --file)
      if (ColouredTypeOn(MakeSquare(file, rank)) == colouredType) return FileDigit(file, side);
  return -1;
}

int FindPieceOnFile(uint32_t colouredType, int column, int side, int tandem) {
  const int file = 8 - column;
  if (file < 0 || file > 8) return -1;
  int squares[10];
  int n = 0;
  for (int rank = 0; rank <= 9; ++rank) {
    const Square s = MakeSquare(file, rank);
    if (ColouredTypeOn(s) == colouredType) squares[n++] = static_cast<int>(s);
  }
  if (n == 0) return -1;
  // Position i counted from the side's front (red's front is rank 0).
  auto fromFront = [&](int i) { return side == 1 ? squares[n - 1 - i] : squares[i]; };
  switch (tandem) {
    case kTandemNone:
      return n >= 3 && n % 2 == 1 ? squares[n / 2] : squares[0];
    case kTandemFront:
      if (n < 2) return -1;
      return fromFront(n >= 4 ? 1 : 0);
    case kTandemRear:
      if (n < 2) return -1;
      return fromFront(n >= 4 ? n - 2 : n - 1);
    case kTandemForemost:
      return n >= 2 ? fromFront(0) : -1;
    case kTandemRearmost:
      return n >= 2 ? fromFront(n - 1) : -1;
    case kTandemMiddle:
      return n >= 3 && n % 2 == 1 ? squares[n / 2] : -1;
    default:
      return -1;
  }
}

Move ParseWxfMove(char* text, int side) {
  for (const char* c = text; *c != '\0'; ++c) {
    if (static_cast<unsigned char>(*c) >= 0x80) {
      NormalizeMoveText(text, text);
      break;
    }
  }
  char* p = text;
  while (*p == ' ') ++p;
  if (p[0] == '\0' || p[1] == '\0') return kWxfNoDirection;
  // A tandem mark written before the piece ("+R.5", or "+7+1" for a pawn
  // named by its file) goes behind it.
  if (IsMark(p[0]) && !IsMark(p[1])) {
    const char mark = p[0];
    p[0] = p[1];
    p[1] = mark;
  }
  const char direction = p[2];
  if (direction != '+' && direction != '-' && direction != '.' && direction != '=')
    return kWxfNoDirection;
  const int tandemMark = p[1] == '+' ? kTandemFront : p[1] == '-' ? kTandemRear : kTandemNone;
  const int t = DigitValue(p[3]);

  uint32_t type;
  int from;
  if ((p[1] == 'P' || p[1] == 'p') && (p[0] == kMiddlePawnMark || (p[0] >= '1' && p[0] <= '5'))) {
    // The Chinese names of tandem pawns: "中兵" the middle one of three on a
    // file, "一兵" to "五兵" numbered in TandemPawnsInOrder's order.
    type = kPawn;
    p[1] = side == 1 ? 'p' : 'P';
    from = p[0] == kMiddlePawnMark ? MiddlePawnOfThree(side) : NumberedPawn(side, p[0] - '0');
  } else if (IsMark(p[0])) {
    // "++" and "--": the foremost and the rearmost of four or five pawns.
    if (p[1] != p[0]) return 0;
    type = kPawn;
    const int d = FindPieceFile(ColouredType(kPawn, side), side);
    if (d < 0) return 0;
    from = FindPieceOnFile(ColouredType(kPawn, side), ColumnOfDigit(d, side), side,
                           p[0] == '+' ? kTandemForemost : kTandemRearmost);
  } else if (p[0] >= '1' && p[0] <= '9') {
    // A pawn named by its file when two files hold several pawns: "7+",
    // "7-", and "77" for the middle one of three.
    type = kPawn;
    const int tandem = p[1] == p[0] ? kTandemMiddle : tandemMark;
    if (tandem == kTandemNone) return 0;
    from = FindPieceOnFile(ColouredType(kPawn, side), ColumnOfDigit(p[0] - '0', side), side,
                           tandem);
  } else {
    if (p[0] < 'A' || p[0] > 'r') return 0;
    type = TypeOfLetter(p[0]);
    if (type == 0) return 0;
    p[0] = static_cast<char>(side == 1 ? kTypeLetters[type] + 32 : kTypeLetters[type]);
    const Move fixed = FixedMove(p);
    if (fixed != 0) return fixed;
    int d;
    if (tandemMark != kTandemNone && type != kKing) {
      d = FindPieceFile(ColouredType(type, side), side);
      if (d < 0) return 0;
    } else {
      d = DigitValue(p[1]);
    }
    from = FindPieceOnFile(ColouredType(type, side), ColumnOfDigit(d, side), side,
                           type == kKing ? kTandemNone : tandemMark);
  }
  if (from < 0) return 0;

  const int d = FileDigit(FileOf(static_cast<Square>(from)), side);
  const int offset = TargetOffset(type, side, direction, d, t);
  const int to = from + offset;
  const Square target = offset != 0 && IsBoardSquare(to) ? static_cast<Square>(to) : 0;
  return MakeMoveCode(static_cast<Square>(from), target);
}

bool IsNumberedPawnWord(std::string_view word) {
  size_t name = 1;  // where the pawn's name begins
  if (word.size() >= 2 && word[0] == '\xA3' && word[1] >= '\xB1' && word[1] <= '\xB5') {
    name = 2;  // a full-width digit
  } else if (word.empty() || word[0] < '1' || word[0] > '5') {
    return false;
  }
  const std::string_view rest = word.substr(name);
  return rest.starts_with("\xB1\xF8") || rest.starts_with("\xD7\xE4");  // 兵 卒
}

int TranslateChineseMoveChar(uint32_t code, char* out) {
  struct Entry {
    uint16_t code;
    char text;
  };
  static constexpr Entry kEntries[] = {
      {0xD2BB, '1'}, {0xB6FE, '2'}, {0xC8FD, '3'}, {0xCBC4, '4'}, {0xCEE5, '5'},
      {0xC1F9, '6'}, {0xC6DF, '7'}, {0xB0CB, '8'}, {0xBEC5, '9'},
      {0xCBA7, 'K'}, {0xBDAB, 'K'},  // king
      {0xCACB, 'A'}, {0xCABF, 'A'},  // adviser
      {0xCFE0, 'E'}, {0xCFF3, 'E'},  // elephant
      {0xC2ED, 'H'}, {0xB3B5, 'R'}, {0xC5DA, 'C'},
      {0xB1F8, 'P'}, {0xD7E4, 'P'},  // pawn
      {0xC6BD, '.'},                 // sideways
      {0xBDF8, '+'}, {0xCDCB, '-'},  // forward, backward
      {0xC7B0, '+'}, {0xBAF3, '-'},  // front, rear
      {0xD6D0, kMiddlePawnMark},     // middle
      {0x2020, ' '},
  };
  char c = '?';
  if (code >= 0xA3B0 && code <= 0xA3B9) {
    c = static_cast<char>('0' + (code - 0xA3B0));  // full-width digits
  } else {
    for (const Entry& e : kEntries)
      if (e.code == code) c = e.text;
  }
  out[0] = c;
  out[1] = '\0';
  return 1;
}

void NormalizeMoveText(const char* in, char* out) {
  // Every character becomes one byte, so out may be in itself.
  size_t i = 0;
  size_t j = 0;
  while (in[i] != '\0') {
    const auto lead = static_cast<unsigned char>(in[i]);
    if (lead < 0x80) {
      // Blanks, tabs and line ends belong to the text; only bytes of 0x80
      // and above begin a double-byte character.
      out[j++] = in[i++];
      continue;
    }
    const auto trail = static_cast<unsigned char>(in[i + 1]);
    if (trail == 0) break;  // a lone lead byte at the end
    char translated[2];
    TranslateChineseMoveChar(static_cast<uint32_t>(lead) << 8 | trail, translated);
    out[j++] = translated[0];
    i += 2;
  }
  out[j] = '\0';
}
