// Keyword text game files: header keyword lines, an optional FEN start
// position, comments between "/*" and "*/" and the moves in WXF or AXF
// notation between "START{" and "}END". Written as wxf, ccf (WXF moves) and
// axf (AXF moves); read from wxf, ccf, axf, htm and html files, and the same
// move syntax is the move section of PGN files.
#pragma once

#include <cstddef>
#include <string>

#include "game/game_loader.h"
#include "game/header.h"

// Files longer than this are refused rather than read in part.
constexpr size_t kKeywordFileCap = 4u * 1024u * 1024u;
// Longest comment the reader keeps, in bytes as it gathers them (each line
// break as CR LF); longer ones are stored cut, and the load tells it.
constexpr size_t kKeywordCommentCap = 10239;

// The escape of a comment's text in these files: every "*" followed by
// backslashes and a "/" gets one more backslash, so that no text ends its
// comment early; the reader takes one away again.
std::string EscapeComment(const std::string& text);

// Writes the current game ("wxf"/"ccf" with axf 0, "axf" with axf 1) with
// the given header. The shown position is the same afterwards. Comments
// are written with LF line ends, like the rest of the file, and comments
// and header texts typed in Windows-1252 in their GBK form (the code page
// these files are read in). Returns 0, 1 when the file could not be
// created or written, or, with nothing written, when a text would not load
// back whole: kSaveTextsNotKept when a header text typed in Windows-1252
// has a character GBK lacks, kSaveCommentsNotKept when a comment has one,
// kSaveTextsTooLong when a name, the date or the event is longer in GBK
// than a header field holds, kSaveTextsNotOneLine when one of them holds a
// line break or begins with what the reader passes over (load_game.h),
// kSaveRatingsNotKept when a rating is neither a plain whole number (those
// are written as they stand, 0 and negative ones too) nor an unknown one
// (IsUnknownRating: written as none), kSaveCommentsTooLong when a comment
// is longer than kKeywordCommentCap.
int SaveWxfGame(const char* path, int axf, GameHeader header);
// Whether a rating text stands for no known rating: empty, blanks only, or
// the usual marks of an unknown rating "?" and "-". Keyword files write it
// as none (it loads back empty).
bool IsUnknownRating(const char* text);
// The rating of header that a keyword file does not keep, the cause of
// kSaveRatingsNotKept: the red one when both are not kept.
enum class RatingNotKept { kNone, kRed, kBlack };
RatingNotKept KeywordRatingNotKept(const GameHeader& header);
// Whether SaveWxfGame writes the comment of slot ply so that it loads back
// whole (a slot outside the store: true).
bool KeywordFileKeepsComment(int ply);

// Reads a keyword text file into the game record, *header and the comment
// store; a file in UTF-8 is read as the same text in GBK (one damaged in
// it up to the damage, as read in part). Returns kLoadOk when the game was
// loaded, kLoadFailed when the file cannot be read
// (missing, unreadable, longer than kKeywordFileCap: logged) or its FEN
// line is no FEN or its start position not sound (StageFileStartFen, logged
// with the cause), kLoadEmpty (logged) when the text holds no header
// keyword that is read, no start position, no "START" and no move; on
// failure the current game and *header are left exactly as they were.
// kLoadPartial (logged) when the file was read in part: the game holds the
// moves before the first move that cannot be made, text of the move section
// that is not read (a damaged or cut move, another notation, a "/" that
// begins no comment, a result that moves follow, a second "START"), a
// comment that is never closed, the end of a file cut before its "}END",
// the moves beyond what a game holds, or a UTF-8 text damaged before its
// end (reported as that damage alone); or the moves of the first game of a
// file that holds another one after its "}END" or its result; or a NUL byte
// in a line before the moves (a header value or comment is kept up to it,
// other lines not read from it).
int LoadKeywordGameFile(const char* path, GameHeader* header, int fullReset);

// Results of ParseKeywordGame.
enum KeywordParseResult : int {
  kKeywordParsed = 0,
  kKeywordBadStart = 1,     // no session could be opened, or a FEN start position not sound
  kKeywordNothingFound = 2, // no header keyword, start position, "START" or move was found
  kKeywordCut = 3,          // read in part: the moves end before what could not be read, or
                            // the text ends before "}END" or holds a second game (logged)
};
// Parses length bytes of keyword text, its lines ended by LF, CR LF or CR
// alone, into the staged game: header fields into game.header, the FEN
// start position, the moves (checked on the staged position) and the
// comments and marks. movesStarted 1 treats the whole text
// as the move section (the move text of a PGN file, whose tags the caller
// put in game.header; tag lines before the first move are passed over, one
// after a move ends the moves as read in part); 0 waits for "START". The
// moves end at "}END", or at a result ("1-0", "0-1", "1/2-1/2", "0-0", "*")
// that no move follows: text after a result that holds no move (a page's
// end, a comment, "}END") is not read, while a move or move number after it
// ends the moves at the result as read in part (kKeywordCut; a move number 1
// after moves as a second game), and so does a second "START" line. With
// movesStarted 0 a text whose moves do not end so was cut (kKeywordCut),
// and so is one whose lines after that end begin another game ("FORMAT",
// "START" or a header keyword that is read; blank lines, other text and
// moves without "START" after "}END" are not read). A FEN or CFEN line
// before the first move is checked with StageFileStartFen. A comment begins with "/*";
// a "/" alone is text that is not read. Move numbers may be glued to their
// move ("12.C2.5"). Runs inside the caller's staging session when one is
// open, else in one of its own. The caller commits the game
// (CommitLoadedGame). When readTo is given it gets the offset of the first
// byte not read: the length, the end mark or result that ended the moves,
// or (kKeywordCut) the text that stopped them or the line that begins
// another game.
int ParseKeywordGame(const char* text, size_t length, LoadedGame& game, int movesStarted,
                     size_t* readTo = nullptr);
