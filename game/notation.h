// Move texts: the coordinate notations, the WXF and AXF notations in Latin
// letters and with Chinese (GBK) piece names, the WXF parser, and the
// translation of Chinese move texts and player names.
#pragma once

#include <string>
#include <string_view>

#include <cstddef>
#include <cstdint>

#include "engine/position/types.h"

// How moves are shown (settings key "Notation type").
enum NotationKind : int32_t {
  kNotationCoordinate0 = 0,    // "Coordinate 0"
  kNotationCoordinate1 = 1,    // "Coordinate 1"
  kNotationWxf = 2,            // "WXF"
  kNotationAxf = 3,            // "AXF"
  kNotationCoordinateCxq = 4,  // "Coordinate CXQ"
  kNotationAxfChinese = 5,     // "AXF ( Chinese )"
  kNotationWxfChinese = 6,     // "WXF ( Chinese )"
};
extern int32_t notationKind;

// Buffer sizes: coordinate texts, and the four texts of a HistoryRecord.
// The longest coordinate text is a Coordinate 1 move between the back
// ranks (" a10-b10"), eight characters and the NUL.
constexpr int kCoordTextSize = 9;
constexpr int kWxfTextSize = 8;
constexpr int kWxfChineseTextSize = 10;

// One letter per PieceIndex ("K", "A", "E", "H", "R", "C", "P"; lower case
// for black), index 0 a blank.
extern const char pieceLetters[33];
// The GBK name (two bytes and a NUL) of a PieceIndex; "?" outside 1..32.
const char* ChinesePieceName(PieceIndex piece);

// Writes the coordinate text of move in the current notationKind (" h2-e2",
// " h2xe2", " a10-b10" for Coordinate 1, " B8-B5" for CXQ) or "??-??" for
// move 0 into out, which holds outSize bytes (kCoordTextSize hold every
// text); a text that does not fit is cut. Returns the length written.
int FormatCoordinateMove(Move move, int isCapture, char* out, size_t outSize);

// Writes the WXF (sidewaysSign '.') or AXF ('=') text of a move just made on
// the engine position, beginning with a blank: piece, from-file, direction,
// target ("C2.5", "H2+3", "R1-3"). piece is the PieceIndex now on the
// to-square; chinese 1 writes the piece as its GBK name. Two or more pieces
// of one kind on the from-file (judged on the position before the move) are
// told apart by "+" (front) and "-" (rear) in place of the file digit;
// pawns follow the WXF rules for three to five pawns on a file ("++", "P+",
// "P3", "P-", "--") and, when two files hold several pawns, the file digit
// in place of the letter ("7+", "77", "7-"). The Chinese texts name such
// pawns as Chinese records do: three on a file "前兵", "中兵", "后兵", four or
// five on a file, or several on two files, numbered "一兵" to "五兵" (black
// "１卒" to "５卒" in full-width digits) in TandemPawnsInOrder's order; two
// on a file keep the marks ("兵+"). Advisers and elephants always take their
// file digit: their texts are never ambiguous.
void FormatWxfMove(Move move, char* out, char sidewaysSign, PieceIndex piece, int chinese);

// Result of ParseWxfMove when the third character is not a direction sign.
constexpr Move kWxfNoDirection = 255;

// Reads a WXF or AXF text (leading blanks skipped; GBK text is translated
// first) for side 0 red or 1 black on the engine position. Returns
// kWxfNoDirection when the third character is not "+", "-", "." or "=", 0
// for an unknown piece or no such piece on the board, else a move that the
// caller still checks with CheckUserMove and MakeMove. Edits text in place
// (letter case, tandem mark order, the translation of GBK text).
Move ParseWxfMove(char* text, int side);

// 0..9 for "0".."9", else -1.
int DigitValue(int c);

// Tandem marks of FindPieceOnFile.
enum TandemMark : int {
  kTandemNone = 0,
  kTandemFront = 1,     // "+": the front one (of 4 or 5 pawns the second)
  kTandemRear = 2,      // "-": the rear one (of 4 or 5 pawns the second last)
  kTandemForemost = 3,  // "++"
  kTandemRearmost = 4,  // "--"
  kTandemMiddle = 5,    // the middle one of an odd number
};

// The WXF file digit (1..9, in side's numbering) of the first file holding
// a piece of colouredType (scanning rank 9 to 0, file 8 to 0); for pawns the
// first file (8 down to 0) holding two or more of them. -1 when none.
int FindPieceFile(uint32_t colouredType, int side);
// The square of the piece of colouredType on file 8 - column picked by the
// tandem mark; without a mark the first one from rank 0 (the middle one of
// three or five). -1 when none.
int FindPieceOnFile(uint32_t colouredType, int column, int side, int tandem);

// The pawns of side (0 red, 1 black) on files that hold two or more of
// them, in the order Chinese records number them: the files from the side's
// own file 1 (its right) to its file 9, on each file from the front. A moved
// pawn (not 0) is counted on movedFrom. Returns how many were written (at
// most 5).
int TandemPawnsInOrder(int side, Square out[5], PieceIndex moved = 0, Square movedFrom = 0);

// The character NormalizeMoveText writes for the GBK "middle" (中), which
// names the middle one of three pawns on a file ("中兵" reads as "MP").
constexpr char kMiddlePawnMark = 'M';

// Whether a move word begins with a pawn's number written as a digit in
// front of its Chinese name ("2卒平2", "２卒平２"): a move, not a move number.
bool IsNumberedPawnWord(std::string_view word);

// Copies text, replacing every GBK double-byte character by its WXF
// character; out needs the size of in.
void NormalizeMoveText(const char* in, char* out);
// Writes the WXF text of one GBK character (code = first byte * 256 +
// second byte), "?" when it has none; returns its length.
int TranslateChineseMoveChar(uint32_t code, char* out);

// The Latin transcription of a known Chinese (GBK) player name, else name.
const char* TranslatePlayerName(const char* name);

// The text of game move `ply` (1..gameLength) in the current notation kind,
// as the move list and the comments window show it: the stored WXF or AXF
// text of that move's record (read within its field), or its coordinate
// text. The record is the shown game's (ShownGameRecord), also while a
// search writes its own records over the game.
std::string GameMoveText(int ply);
