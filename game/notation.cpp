// Writing moves as text: coordinate texts and the WXF and AXF texts.
#include "game/notation.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "engine/position/position.h"
#include "game/shown_ply.h"

int32_t notationKind = kNotationCoordinate0;

const char pieceLetters[33] = {' ', 'K', 'A', 'A', 'E', 'E', 'H', 'H', 'R', 'R', 'C',
                               'C', 'P', 'P', 'P', 'P', 'P', 'k', 'a', 'a', 'e', 'e',
                               'h', 'h', 'r', 'r', 'c', 'c', 'p', 'p', 'p', 'p', 'p'};

const char* ChinesePieceName(PieceIndex piece) {
  static constexpr const char* kNames[33] = {
      "?",
      "\xCB\xA7",                                      // red king
      "\xCA\xCB", "\xCA\xCB",                          // red advisers
      "\xCF\xE0", "\xCF\xE0",                          // red elephants
      "\xC2\xED", "\xC2\xED",                          // knights
      "\xB3\xB5", "\xB3\xB5",                          // chariots
      "\xC5\xDA", "\xC5\xDA",                          // cannons
      "\xB1\xF8", "\xB1\xF8", "\xB1\xF8", "\xB1\xF8", "\xB1\xF8",  // red pawns
      "\xBD\xAB",                                      // black king
      "\xCA\xBF", "\xCA\xBF",                          // black advisers
      "\xCF\xF3", "\xCF\xF3",                          // black elephants
      "\xC2\xED", "\xC2\xED",                          // knights
      "\xB3\xB5", "\xB3\xB5",                          // chariots
      "\xC5\xDA", "\xC5\xDA",                          // cannons
      "\xD7\xE4", "\xD7\xE4", "\xD7\xE4", "\xD7\xE4", "\xD7\xE4",  // black pawns
  };
  return piece <= 32 ? kNames[piece] : "?";
}

namespace {

bool IsBoardSquare(Square s) { return s < static_cast<Square>(kBoardSize) && onBoard[s] != 0; }

}  // namespace

int FormatCoordinateMove(Move move, int isCapture, char* out, size_t outSize) {
  if (out == nullptr || outSize == 0) return 0;
  const Square from = MoveFrom(move);
  const Square to = MoveTo(move);
  int length;
  if (move == 0 || !IsBoardSquare(from) || !IsBoardSquare(to)) {
    length = std::snprintf(out, outSize, "?\?-?\?");
  } else {
    const int fromFile = FileOf(from), fromRank = RankOf(from);
    const int toFile = FileOf(to), toRank = RankOf(to);
    const char sign = isCapture != 0 ? 'x' : '-';
    if (notationKind == kNotationCoordinateCxq) {
      length = std::snprintf(out, outSize, " %c%c%c%c%c", 'J' - fromRank, '1' + fromFile, sign,
                             'J' - toRank, '1' + toFile);
    } else {
      // Coordinate 1 counts red's back rank as 1, every other kind as 0.
      const int rankBase = notationKind == kNotationCoordinate1 ? 10 : 9;
      length = std::snprintf(out, outSize, " %c%d%c%c%d", 'i' - fromFile, rankBase - fromRank,
                             sign, 'i' - toFile, rankBase - toRank);
    }
  }
  if (length < 0) {
    out[0] = '\0';
    return 0;
  }
  // snprintf tells the length of the whole text; only what fitted was written.
  return static_cast<size_t>(length) < outSize ? length : static_cast<int>(outSize - 1);
}

namespace {

// The two leading characters of a WXF text: the piece slot (the letter, or
// a mark or file digit for pawns that need both characters to be told
// apart) and the file slot (the from-file digit or a tandem mark).
struct PieceHead {
  bool letter;  // the piece slot holds the piece (letter or Chinese name)
  char slot1;   // used when letter is false
  char slot2;
};

// Ranks counted from the mover's front: red moves towards rank 0.
int FrontDistance(Square s, bool red) { return red ? RankOf(s) : 9 - RankOf(s); }

PieceHead DescribePiece(PieceIndex piece, Square from) {
  const bool red = piece <= 16;
  const int file = FileOf(from);
  const char fileDigit = static_cast<char>('0' + (red ? file + 1 : 9 - file));
  const uint32_t type = pieceTypeOf[piece];
  const PieceHead plain{true, 0, fileDigit};
  // Advisers and elephants on one file never share a move text; kings come
  // alone.
  if (type == kAdviser || type == kElephant || type == kKing) return plain;

  // The mover's rank among the pieces of its kind on its file, and how many
  // files hold two or more of them, all as the position stood before the
  // move (the mover on from, every other piece of its side where it is).
  const PieceIndex first = red ? 1 : 17;
  int onFile = 0;
  int ahead = 0;
  int perFile[9] = {};
  for (PieceIndex p = first; p < first + 16; ++p) {
    if (pieceTypeOf[p] != type) continue;
    const Square s = p == piece ? from : posPiece[p];
    if (s == 0) continue;
    ++perFile[FileOf(s)];
    if (p == piece || FileOf(s) != file) continue;
    ++onFile;
    if (FrontDistance(s, red) < FrontDistance(from, red)) ++ahead;
  }
  const int n = onFile + 1;  // pieces of the kind on the file, mover included
  const int i = ahead;       // 0 = the front one
  if (n == 1) return plain;
  if (type != kPawn) return {true, 0, i == 0 ? '+' : '-'};

  int doubledFiles = 0;
  for (int count : perFile) doubledFiles += count >= 2;
  if (doubledFiles >= 2) {
    // The file digit names the file, then front, middle or rear.
    return {false, fileDigit, i == 0 ? '+' : i == n - 1 ? '-' : fileDigit};
  }
  if (n >= 4 && i == 0) return {false, '+', '+'};
  if (n >= 4 && i == n - 1) return {false, '-', '-'};
  if (i == 0 || (n >= 4 && i == 1)) return {true, 0, '+'};
  if (i == n - 1 || (n >= 4 && i == n - 2)) return {true, 0, '-'};
  return plain;  // the middle pawn of three or five
}

// The GBK name that stands before the piece name of a pawn in a Chinese
// text, or nullptr when the pawn is written as the other pieces are (alone
// on its file, or one of two there).
const char* ChinesePawnQualifier(PieceIndex piece, Square from) {
  static constexpr const char* kPlace[3] = {"\xC7\xB0", "\xD6\xD0", "\xBA\xF3"};  // 前 中 后
  static constexpr const char* kRedNumbers[5] = {"\xD2\xBB", "\xB6\xFE", "\xC8\xFD",
                                                 "\xCB\xC4", "\xCE\xE5"};  // 一 to 五
  static constexpr const char* kBlackNumbers[5] = {"\xA3\xB1", "\xA3\xB2", "\xA3\xB3",
                                                   "\xA3\xB4", "\xA3\xB5"};  // １ to ５
  const bool red = piece <= 16;
  Square pawns[5];
  const int count = TandemPawnsInOrder(red ? 0 : 1, pawns, piece, from);
  int index = -1;
  int onFile = 0;
  for (int k = 0; k < count; ++k) {
    if (FileOf(pawns[k]) != FileOf(from)) continue;
    ++onFile;
    if (pawns[k] == from) index = k;
  }
  if (index < 0) return nullptr;
  const bool oneFile = onFile == count;
  if (oneFile && onFile == 2) return nullptr;
  if (oneFile && onFile == 3) return kPlace[index];
  return red ? kRedNumbers[index] : kBlackNumbers[index];
}

}  // namespace

int TandemPawnsInOrder(int side, Square out[5], PieceIndex moved, Square movedFrom) {
  const PieceIndex first = side == 1 ? 17 : 1;
  Square squares[5];
  int perFile[9] = {};
  int n = 0;
  for (PieceIndex p = first; p < first + 16 && n < 5; ++p) {
    if (pieceTypeOf[p] != kPawn) continue;
    const Square s = p == moved ? movedFrom : posPiece[p];
    if (!IsBoardSquare(s)) continue;  // captured: square 0
    squares[n++] = s;
    ++perFile[FileOf(s)];
  }
  int count = 0;
  for (int digit = 1; digit <= 9; ++digit) {
    const int file = side == 1 ? 9 - digit : digit - 1;
    if (perFile[file] < 2) continue;
    const int start = count;
    for (int k = 0; k < n; ++k)
      if (FileOf(squares[k]) == file) out[count++] = squares[k];
    // Front first: red's front is rank 0, black's rank 9.
    std::sort(out + start, out + count, [side](Square a, Square b) {
      return side == 1 ? RankOf(a) > RankOf(b) : RankOf(a) < RankOf(b);
    });
  }
  return count;
}

void FormatWxfMove(Move move, char* out, char sidewaysSign, PieceIndex piece, int chinese) {
  const Square from = MoveFrom(move);
  const Square to = MoveTo(move);
  if (piece < 1 || piece > 32 || !IsBoardSquare(from) || !IsBoardSquare(to) || from == to) {
    out[0] = '\0';
    return;
  }
  const bool red = piece <= 16;
  const int fromFile = FileOf(from), fromRank = RankOf(from);
  const int toFile = FileOf(to), toRank = RankOf(to);
  const bool forward = red ? toRank < fromRank : toRank > fromRank;
  const int toDigit = red ? toFile + 1 : 9 - toFile;
  const uint32_t type = pieceTypeOf[piece];

  const PieceHead head = DescribePiece(piece, from);
  int at = 0;
  out[at++] = ' ';
  const char* qualifier =
      chinese != 0 && type == kPawn ? ChinesePawnQualifier(piece, from) : nullptr;
  if (qualifier != nullptr) {
    // "中兵", "二兵": the qualifier and the name take both leading slots.
    for (const char* part : {qualifier, ChinesePieceName(piece)}) {
      std::memcpy(out + at, part, 2);
      at += 2;
    }
  } else if (!head.letter) {
    out[at++] = head.slot1;
  } else if (chinese != 0) {
    const char* name = ChinesePieceName(piece);
    const size_t length = std::strlen(name);
    std::memcpy(out + at, name, length);
    at += static_cast<int>(length);
  } else {
    out[at++] = pieceLetters[piece];
  }
  if (qualifier == nullptr) out[at++] = head.slot2;

  char direction;
  int target;
  if (fromFile != toFile && fromRank != toRank &&
      (type == kKnight || type == kElephant || type == kAdviser)) {
    direction = forward ? '+' : '-';
    target = toDigit;
  } else if (fromFile != toFile) {
    direction = sidewaysSign;
    target = toDigit;
  } else {
    direction = forward ? '+' : '-';
    target = forward ? fromRank - toRank : toRank - fromRank;
    if (target < 0) target = -target;
  }
  out[at++] = direction;
  // Files and rank distances are single digits on the board.
  out[at++] = static_cast<char>('0' + target);
  out[at] = '\0';
}

namespace {

// A fixed-size text field of a record as a string: the field need not hold
// a NUL.
template <size_t N>
std::string FieldText(const char (&field)[N]) {
  return std::string(field, strnlen(field, N));
}

}  // namespace

std::string GameMoveText(int ply) {
  if (ply < 1 || ply >= kHistorySize) return {};
  const HistoryRecord& r = ShownGameRecord(ply);
  switch (notationKind) {
    case kNotationWxf:
      return FieldText(r.wxfText);
    case kNotationWxfChinese:
      return FieldText(r.wxfTextChinese);
    case kNotationAxf:
      return FieldText(r.axfText);
    case kNotationAxfChinese:
      return FieldText(r.axfTextChinese);
    default: {
      char text[kCoordTextSize];
      FormatCoordinateMove(r.move, r.captured != 0 ? 1 : 0, text, sizeof text);
      return text;
    }
  }
}
