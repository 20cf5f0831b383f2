// The game header of the game on the board, and the name of the last game
// file read or written.
#pragma once

#include <cstddef>
#include <cstdint>

// Result codes of a game.
enum GameResult : int8_t {
  kResultUnknown = 0,    // "*"
  kResultRedWins = 1,    // "1-0"
  kResultBlackWins = 2,  // "0-1"
  kResultDraw = 3,
};

// Every header text is NUL-terminated: at most 127 bytes of 8-bit text
// (Windows code page, or GBK for Chinese).
constexpr int kHeaderTextSize = 128;

// The code page of a header's texts, as far as it is known. A marked page
// shows the texts alike in every interface language.
enum HeaderTextPage : uint8_t {
  // Read from a file that does not say: shown in the interface language's
  // code page.
  kHeaderTextsUnknown = 0,
  // GBK: set by the readers of the formats written in GBK (keyword files,
  // PGN, XQN), and for typed texts that need it.
  kHeaderTextsGbk = 1,
  // Windows-1252: typed texts of the Latin languages.
  kHeaderTextsLatin = 2,
};

// A plain value type, copied whole. textPage is stored only in the binary
// files with a header (egf, vgf).
struct GameHeader {
  uint8_t hasInfo;         // 1 when a reader found a header text or a comment
  int8_t result;           // GameResult
  uint16_t databaseValue;  // copied from a compressed database record
  char event[kHeaderTextSize];
  char site[kHeaderTextSize];
  char date[kHeaderTextSize];
  char round[kHeaderTextSize];
  char redName[kHeaderTextSize];
  char redElo[kHeaderTextSize];
  char blackName[kHeaderTextSize];
  char author[kHeaderTextSize];
  char timeControl[kHeaderTextSize];
  char blackElo[kHeaderTextSize];
  uint8_t textPage;  // HeaderTextPage
  uint8_t unused;    // no padding: headers compare whole
};
static_assert(sizeof(GameHeader) == 4 + 10 * kHeaderTextSize + 2);

// The text fields of a header, in the order of the struct.
enum HeaderField : uint8_t {
  kHeaderEvent,
  kHeaderSite,
  kHeaderDate,
  kHeaderRound,
  kHeaderRedName,
  kHeaderRedElo,
  kHeaderBlackName,
  kHeaderBlackElo,
  kHeaderAuthor,
  kHeaderTimeControl,
  kHeaderFieldCount,
};
// The text of field in header (an unknown field gives the event).
char (&HeaderFieldText(GameHeader& header, HeaderField field))[kHeaderTextSize];
// The field's name in log lines: "event", "site", "date", "round", "red
// player's name", "red rating", "black player's name", "black rating",
// "author", "time control".
const char* HeaderFieldName(HeaderField field);

// All zero; clearing a header means copying this one over it.
extern const GameHeader emptyGameHeader;
// The header of the game on the board; starts equal to emptyGameHeader.
extern GameHeader currentGameHeader;

// Copies text (null = empty) into a header field, cut to 127 bytes and
// NUL-terminated; a cut never splits a double-byte character.
void SetHeaderText(char (&field)[kHeaderTextSize], const char* text);
// The number of bytes of text (length bytes long) to keep when it must fit
// in limit bytes: length when it fits, else at most limit bytes ending on a
// character boundary of the double-byte code pages (GBK, Big5), where a
// byte 0x81..0xFE leads a two-byte character. A lead byte is never left
// alone at the end of a cut text.
size_t FitDoubleByteText(const char* text, size_t length, size_t limit);
// "*", "1-0", "0-1" or the draw text "\xBD-\xBD" (half, dash, half in the
// Windows code page); any other code is shown as "*".
const char* GameResultText(int result);

// Path of the last game file opened for reading or writing: up to 511 bytes
// and a NUL; empty after a new game.
constexpr int kGameFileNameSize = 512;
extern char gameFileName[kGameFileNameSize];
// Copies path (null = empty) into gameFileName, cut to 511 bytes.
void SetGameFileName(const char* path);
void ClearGameFileName();
