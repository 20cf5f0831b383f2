// The foreign text game formats (PGN-like tag files, MXQ, XQN) and the plain
// coordinate text (one move such as "h2e2" per line), with the helpers the
// readers share. Every reader reads the whole file into a LoadedGame first
// (game/game_loader.h) and replaces the game only when it loads; result
// codes are those of LoadResult. The line readers (coordinate text, PGN,
// XQN) take lines ended by LF, CR LF or CR alike, and text in UTF-8 as its
// GBK form (ConvertGameText).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/position/types.h"
#include "game/game_loader.h"
#include "game/header.h"

// Files longer than this are refused (logged) rather than read in part.
constexpr size_t kTextGameFileCap = 4u * 1024u * 1024u;

// Text in which a reader recognises nothing of its format (no header tag or
// keyword, no start position, no move) is refused with kLoadEmpty and a log
// line. Each reader keeps the moves read before an error: when there are
// some, the game holds them and the result is kLoadPartial; when there are
// none, the load fails and the game on the board stays as it was.

// Plain coordinate text, one move per line (lines of blanks, and zero bytes
// that end the file after its last move, are passed over). Reading: 1
// unreadable file, 2 a line that is not a move of the side to move, or that
// holds a NUL byte (its move before the byte is read; logged), 1 a move that
// leaves the king in check or one more than a game holds (logged), 3 an
// empty file or one without a move (logged); kLoadPartial when such an
// error follows at least one move; 0 loaded.
int ReadCoordinateText(const char* path, GameHeader* header, int fullReset);
// Writes moves 1..gameLength, one "h2e2" line each; sets gameFileName.
// Returns 1 when the file cannot be created or written, else 0.
int SaveCoordinateText(const char* path);

// PGN-like tag file: the tag lines ("[Name \"value\"]", wherever "[Result "
// stands among them; a "[FEN" tag sets the start position), then the moves in
// keyword-file move syntax (WXF, AXF or Chinese texts, "/* */" comments,
// "}END"), with PGN move numbers ("1.", "1...", also glued to their move as
// "12.C2.5"), annotation glyphs ("$1") and a result ("1-0", "0-1",
// "1/2-1/2", "*") that ends the game; text after the result (or "}END") is
// not read, unless it holds moves. Returns 0 when the moves were read to
// their end; kLoadPartial (logged) when they end early: a move that cannot
// be read or made, text the reader does not read (a "{comment}", a
// "(variation)", a move number with no move after it, an unclosed comment,
// a move number that does not follow, a NUL byte: the word before it is
// read; "..." for red's move before the first move where red is to move),
// a result or "}END" that moves follow, more moves than a game holds, or a
// further game in the file (its tags, or its move number 1 after a result);
// the game then holds the tags and the moves before that point, also when
// there are none. Zero bytes that end the file after its last move are
// passed over. A NUL byte in a tag line: the tag is read up to it, and the
// file counts as read in part (logged); when text other than the end of a
// tag follows it on the line (a line end lost, perhaps with the first
// moves), no move is read. 1 when the file cannot be read, 3 when it holds
// no tag read and no move, 4 when the FEN text is malformed or its position
// not sound (StageFileStartFen, logged with the cause).
int ReadPgnGame(const char* path, GameHeader* header, int fullReset);

// MXQ file: recognised by its result word or its "Moves" section. Zero
// bytes read as blanks; blanks and control bytes after the last record end
// the moves as "End" does. 0 loaded; 3 not an MXQ text (a first byte of 32
// or more, an empty file, neither of the two); 2 a header whose moves are
// lost: no "Moves" after it, or neither a move nor "End" after "Moves";
// with no move read before it, 2 an invalid move, 1 a move that leaves the
// king in check; after some moves, kLoadPartial for either and for one more
// move than a game holds, and for a file that ends inside a move record
// (after its last record neither "End" nor only blanks); 1 unreadable.
// Errors are logged.
int ReadMxqGame(const char* path, GameHeader* header, int fullReset);
// The five characters "7C-7E" (file digit 0..8 = "a".."i", rank letter A..J
// = 0..9) as a Move; 0 when they are not a move text.
Move ParseMxqMove(const char* text);

// XQN file: tag lines and numbered move lines of one or two moves, red's
// first (tags not read and result lines such as "1-0" are passed over). The
// moves end at the first move that is not valid or cannot be made, at a line
// that is neither a tag nor a move line, at a third move word on a line, at
// a NUL byte in a move line (the moves before it are read), and at zero
// bytes that end the file after a line that holds no move, in place of the
// moves or tags that were there (all logged): kLoadPartial after some
// moves, else 1 for a move that cannot be made as the first of its line and
// 2 otherwise. Zero bytes that end the file after its last line of moves
// (or result) are passed over. A NUL byte in a tag line loses no move: the
// tag is read up to it (a tag this reader does not read, not at all), and
// the file counts as read in part (kLoadPartial, logged), unless text other
// than the end of a tag follows it on the line (the line end lost, perhaps
// with moves): the moves end there. 1 unreadable, 3 no tag and no move
// found; 0 loaded.
int ReadXqnGame(const char* path, GameHeader* header, int fullReset);
// Splits a numbered move line ("12. h2-e2 h9xg7"): every "-", "x" and "X"
// outside double-byte characters removed, then the number of one to three
// digits and ".", then up to two moves separated by blanks. Returns the
// number of move words found (0, 1 or 2). *rest (when given) receives the
// line's text after the second word, without its leading blanks.
int ParseXqnMoveLine(const char* line, std::string words[2], std::string* rest = nullptr);

namespace text_reading {

// The move text that the last call of ReadPgnGame, ReadXqnGame or
// ReadMxqGame left unread: from the point where its moves ended early to the
// end of its move section; empty when the moves were read to their end (or
// to the mark or result that ends them), or the file was not read. A reader
// that returns kLoadOk leaves it empty (the fuzz targets check that).
const std::string& UnreadMoveText();
void SetUnreadMoveText(std::string text);

// Reads a whole file (at most kTextGameFileCap bytes) into out. Returns 0
// when the file cannot be opened, read (logged) or is longer than the cap
// (logged).
int ReadWholeFile(const char* path, std::string& out);
// Converts a file's text to GBK when it is written in UTF-8 (see
// text_encoding.h). Returns true when the UTF-8 text was damaged (a byte
// that is not UTF-8, a character cut at the end) and only the text before
// the damage was kept (logged): the reader reads that part, and a game it
// finds there counts as read in part. Characters GBK lacks read as "?":
// how many is logged and added to lackingCharacters.
extern uint64_t lackingCharacters;
bool ConvertGameText(const char* path, std::string& text);
// Splits text into lines at line ends (LF, CR LF or CR alone), without them.
void SplitLines(const std::string& text, std::vector<std::string>& lines);
// The value of a tag line ("[Red \"name\"]"): the text between the first
// double quote after the tag name and the next double quote; empty when
// there is none.
std::string TagValue(const std::string& line, size_t nameLength);
// A player name of a tag through TranslatePlayerName; one that holds a NUL
// byte (damage, which the storing tells) as it stands.
std::string TranslatedName(const std::string& value);
// Result code of a tag value: "1-0" 1, "0-1" 2, "0-0", half-dash-half in
// the Windows code page or "1/2-1/2" 3, else -1 (result left as it is).
int ResultOfTag(const std::string& value);
// Whether a word is a game result written after the moves: "1-0", "0-1",
// "1/2-1/2", "0-0", half-dash-half in the Windows code page, or "*".
bool IsResultWord(const std::string& word);
// What a word after a game's result (or end mark) holds: kFirstMoveNumber
// a move number 1 ("1.", "1...", "1.C2.5"), with which a further game
// begins; kMoveWord another move number or a move text (WXF, AXF, Chinese,
// full-width), so the game goes on past the mark; kNoMoveWord anything else
// (a banner, the end of a web page), which holds no move.
enum WordAfterResult { kNoMoveWord, kFirstMoveNumber, kMoveWord };
WordAfterResult KindOfWordAfterResult(const std::string& word);
// The move numbers of a game's move text, counted from move 1 at the
// standard start, or from the first number in a game from a set-up position
// (which may begin at any number), in one of two ways:
// - per move pair: each number names the pair of the ply that follows it; a
//   pair may begin with either side's move, and a number may stand before
//   each of its plies ("1. C2.5 1... H8+7"), or before each line of plies;
// - per ply: every half-move has a number of its own ("1. C2.5 2. H8+7
//   3. H2+3"), or a line of plies the number of its first ply.
// Which one a file uses is told by its first numbers that fit only one of
// them; from then on the numbers follow that one. A number that fits
// neither shows moves lost or given twice (a line of the file deleted or
// copied), though the moves after it may still be made.
class MoveNumbering {
 public:
  // Whether number, found when plies moves were read, follows the numbers
  // before it; fromStandardStart: the game starts from the standard
  // position, which is move 1 (a first number after it shows the first
  // moves lost).
  bool Follows(uint64_t number, int plies, bool fromStandardStart);

 private:
  bool seen_ = false;
  uint64_t first_ = 0;
  int firstPly_ = 0;
  bool perPair_ = true;  // the numbers so far fit the count of move pairs
  bool perPly_ = true;   // and that of plies
};
// The reason logged when a number does not follow.
inline constexpr const char* kNumberNotFollowing =
    "a move number that does not follow the moves before it (moves lost or given twice)";
// The reason logged for "..." (or "1...") standing for red's move, not
// written, before black's first one where red is to move: the game's start
// position with black to move was lost, and black's moves would be read as
// red's.
inline constexpr const char* kFirstMoveNotWritten =
    "a move not written before the first one, where red is to move (a start position lost)";
// The number a move number word begins with (its first digits, at most
// nine of them).
uint64_t LeadingNumber(std::string_view word);

// Zero bytes at the end of a file, with nothing but blanks and line ends
// among and after them (what a crash while the file was written, or space
// set aside for it, leaves): removed from text, whose other bytes stay.
// Returns how many there were. Zero bytes before the file's last other byte
// stay in the text: each reader tells them where they stand.
size_t DropZeroTail(std::string& text);
// Why a file with no tag read and no move holds nothing of a game: empty
// (before DropZeroTail), nothing but the zero bytes it took off and blanks,
// or else `noneFound` ("no PGN tag or move found").
const char* NoGameReason(bool empty, size_t zeros, const std::string& text,
                         const char* noneFound);

// Full-width Latin characters (GBK row A3: "\xA3\xC3" for "C") as ASCII;
// every other byte and double-byte character is kept.
std::string NarrowFullWidth(const std::string& text);
// A move text as WXF letters: full-width Latin characters (GBK row A3) become
// their ASCII forms and the other GBK characters go through
// NormalizeMoveText.
std::string NormalizeMoveWord(const std::string& word);

}  // namespace text_reading
