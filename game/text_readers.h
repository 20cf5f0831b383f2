// The foreign text game formats (PGN-like tag files, MXQ, XQN) and the plain
// coordinate text (one move such as "h2e2" per line), with the helpers the
// readers share. Every reader reads the whole file into a LoadedGame first
// (game/game_loader.h) and replaces the game only when it loads; result
// codes are those of LoadResult.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "engine/position/types.h"
#include "game/game_loader.h"
#include "game/header.h"

// Files longer than this are refused rather than read in part.
constexpr size_t kTextGameFileCap = 4u * 1024u * 1024u;

// Plain coordinate text. Reading: 1 unreadable file, 2 a line that is not a
// move of the side to move (logged), 1 a move that leaves the king in check,
// 3 an empty file or one without a move; 0 loaded. Only a 0 replaces the game.
int ReadCoordinateText(const char* path, GameHeader* header, int fullReset);
// Writes moves 1..gameLength, one "h2e2" line each; sets gameFileName.
// Returns 1 when the file cannot be created or written, else 0.
int SaveCoordinateText(const char* path);

// PGN-like tag file: tags up to "[Result ", then the moves in keyword-file
// move syntax (WXF, AXF or Chinese). A "[FEN" tag sets the start position.
// Returns 0 (also when moves are refused: the game ends before the first
// refused move), 1 when the file cannot be read, 4 when the FEN position is
// not sound.
int ReadPgnGame(const char* path, GameHeader* header, int fullReset);

// MXQ file. 0 loaded, 3 not an MXQ text, 2 an invalid move, 1 unreadable or
// a move that leaves the king in check.
int ReadMxqGame(const char* path, GameHeader* header, int fullReset);
// The five characters "7C-7E" (file digit 0..8 = "a".."i", rank letter A..J
// = 0..9) as a Move; 0 when they are not a move text.
Move ParseMxqMove(const char* text);

// XQN file. 0 loaded, 1 unreadable or a first move of a line that leaves the
// king in check, 2 such a second move.
int ReadXqnGame(const char* path, GameHeader* header, int fullReset);
// Splits a numbered move line ("12. h2-e2 h9xg7"): every "-", "x" and "X"
// outside double-byte characters removed, then the number of one to three
// digits and ".", then up to two moves separated by blanks. Returns the
// number of move words found (0, 1 or 2).
int ParseXqnMoveLine(const char* line, std::string words[2]);

namespace text_reading {

// Reads a whole file (at most kTextGameFileCap bytes) into out. Returns 0
// when the file cannot be opened or read or is longer than the cap.
int ReadWholeFile(const char* path, std::string& out);
// Splits text into lines at line feeds, without the line feed and without a
// carriage return before it.
void SplitLines(const std::string& text, std::vector<std::string>& lines);
// The value of a tag line ("[Red \"name\"]"): the text between the first
// double quote after the tag name and the next double quote; empty when
// there is none.
std::string TagValue(const std::string& line, size_t nameLength);
// Result code of a tag value: "1-0" 1, "0-1" 2, "0-0", half-dash-half in
// the Windows code page or "1/2-1/2" 3, else -1 (result left as it is).
int ResultOfTag(const std::string& value);
// Full-width Latin characters (GBK row A3: "\xA3\xC3" for "C") as ASCII;
// every other byte and double-byte character is kept.
std::string NarrowFullWidth(const std::string& text);
// A move text as WXF letters: full-width Latin characters (GBK row A3) become
// their ASCII forms and the other GBK characters go through
// NormalizeMoveText.
std::string NormalizeMoveWord(const std::string& word);

}  // namespace text_reading
