// Loading a game file of any supported kind, and saving one, with the
// format chosen by the file's extension.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/game_loader.h"
#include "game/header.h"

// The extension of path in lower case: the text after the last "." of the
// last path component (a "." at the component's first character does not
// count), after a leading and a trailing double quote were set aside.
// Empty when there is none. The path itself is not changed.
std::string GameFileExtension(const char* path);

// Loads a game file into the game record and *header (currentGameHeader
// when null): "vgf", "vbf", "egf" binary; "xqn"; "mxq"; "wxf", "ccf", "htm",
// "html", "axf" keyword text; "pgn"; anything else plain coordinate text.
// The extension is compared in lower case; a path in double quotes loads
// like the path without them. Returns the reader's LoadResult (game_loader.h),
// 1 without an extension, 4 when the board check fails afterwards. Only a
// file that loads (kLoadOk) or loads in part (kLoadPartial: the game holds
// the moves read before an error, which was logged) replaces the game;
// otherwise it stays exactly as it was. A "vzd" game database is not
// opened: kLoadNotAGameFile, and the game stays.
int LoadGameFile(const char* path, GameHeader* header, int fullReset);
// The characters of the text the last LoadGameFile read that GBK, the code
// page game texts are kept in, lacks: read as "?" (from UTF-8 files).
uint64_t LastLoadLackingCharacters();
// The header texts and comments of the file the last LoadGameFile loaded
// that were longer than the program keeps: stored cut, each logged with its
// length and what was kept. Empty when nothing was cut or nothing loaded.
// A text that holds a NUL byte (a damaged file) is stored up to it and
// logged, and the load answers kLoadPartial: it is not in this list.
const std::vector<CutText>& LastLoadCutTexts();

// LoadGameFile's answer for a file whose extension names a game database
// ("vzd"): it holds many games and no reader takes it as one game file.
inline constexpr int kLoadNotAGameFile = 6;

// SaveGameFile's answer for an extension that names a format this program
// reads but does not write ("pgn", "xqn", "mxq", "htm", "html") or the game
// database it does not open ("vzd"), and
// for a name without an extension: such a file would not load back, so
// nothing is written.
inline constexpr int kSaveFormatNotWritten = -1;

// SaveGameFile's answer for coordinate text of a game it would not load
// back: one that does not start from the standard start position (a set-up
// position, a handicap) or that has no moves. Nothing is written.
inline constexpr int kSaveStartNotKept = -2;

// SaveGameFile's answer for a keyword text file (wxf, ccf, axf) whose header
// texts hold a character GBK, the code page such files are read in, lacks:
// the texts would load back as other characters. Nothing is written.
inline constexpr int kSaveTextsNotKept = -3;
// The same for a comment typed in Windows-1252 with a character GBK lacks.
inline constexpr int kSaveCommentsNotKept = -4;
// The same for a header text, or a comment, longer (in GBK) than a keyword
// text file keeps of it: it would load back cut.
inline constexpr int kSaveTextsTooLong = -5;
inline constexpr int kSaveCommentsTooLong = -6;
// The same for a header text a keyword text file would read back as
// another text or as another line: one that holds a line break (CR or LF),
// an event or a date that begins with a blank or a tab, or a name that
// begins with a tab (the reader passes over them after the keyword).
inline constexpr int kSaveTextsNotOneLine = -7;
// The same for a rating other than a whole number written plainly
// ("2400", "0", "-5") or an unknown one (empty, blanks, "?", "-"): a
// keyword text file keeps a rating as a number only, an unknown one as
// none (KeywordRatingNotKept names the rating).
inline constexpr int kSaveRatingsNotKept = -8;

// Writes the current game with the writer of the extension: "egf" binary
// version 7, "vgf" version 6, "vbf" version 3, "wxf" and "ccf" keyword text
// with WXF moves, "axf" with AXF moves; "txt" and every extension that no
// reader claims plain coordinate text. Returns 0;
// before anything is written, kSaveFormatNotWritten for a format that is
// only read and kSaveStartNotKept for coordinate text that would not load
// back, kSaveTextsNotKept, kSaveCommentsNotKept, kSaveTextsTooLong,
// kSaveCommentsTooLong, kSaveTextsNotOneLine and kSaveRatingsNotKept for
// header texts and comments a keyword file cannot hold whole; or
// the writer's non-zero code when the file could not be created
// or written.
int SaveGameFile(const char* path, const GameHeader& header);

// The extensions SaveGameFile writes a format of its own for, as a list
// for messages: "egf, vgf, vbf, ccf, wxf, axf, txt".
const char* WrittenGameFileExtensions();
// Those of them that keep header texts and comments in any code page, and
// the header texts as they stand (line breaks, blanks, any rating): the
// binary files with a header, "egf, vgf".
const char* TextKeepingGameFileExtensions();
// Those of them that keep the comments of the current game: "egf, vgf",
// or "egf" alone once a move comment is one a keyword file does not keep
// whole (vgf keeps the game comment only).
const char* CommentKeepingGameFileExtensions();
// Those of them that keep any start position and a game without moves:
// "egf, vgf, vbf, ccf, wxf, axf".
const char* StartKeepingGameFileExtensions();
