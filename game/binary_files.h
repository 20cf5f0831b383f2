// The program's own binary game files: little-endian records of the header
// as tagged values, the start position, the move list with the engine's
// score and depth per move, and the ply comments. Seven versions exist; the
// program writes version 7 ("egf" and the autosave), version 6 ("vgf") and
// version 3 ("vbf"), and reads all seven.
#pragma once

#include <cstdint>

#include "game/header.h"

// File layout, in order (all integers little-endian, texts without a NUL):
//   i8  version 1..7
//   i8  tag count, then the tag records            (versions 4..7)
//   u8  has start position (1: the board follows)
//   208 bytes start board (PieceIndex per Square)  (when the byte above is 1)
//   33 x u32 piece squares (0 or 255 = captured)   (versions 3..7)
//   u32 start side to move, u32 shown ply, u32 move count
//   move records: 8 bytes (versions 1..4) or 20 bytes (versions 5..7)
//   u16 comment count N, then per ply 1..N: u8 mark, u16 length, text
//                                                  (version 7)
constexpr int kBinaryFirstVersion = 1;
constexpr int kBinaryLastVersion = 7;
constexpr int kBinaryVersionEgf = 7;  // also the autosave
constexpr int kBinaryVersionVgf = 6;
constexpr int kBinaryVersionVbf = 3;

// Tag ids. Ids 1..8 and 12, 13 name header texts; a u8 length precedes the
// short texts, a u16 length the game comment, author and time control. In
// versions 4 and 5 round and the ratings are u16 numbers. Any other id is
// followed by a u16 length and that many bytes, which readers skip.
enum BinaryTag : uint8_t {
  kTagEvent = 1,
  kTagSite = 2,
  kTagDate = 3,
  kTagRound = 4,
  kTagRedName = 5,
  kTagRedElo = 6,
  kTagBlackName = 7,
  kTagBlackElo = 8,
  kTagReserved = 9,  // four bytes: 0, or the header texts' code page mark
  kTagResult = 10,   // u8 GameResult
  kTagGameComment = 11,
  kTagAuthor = 12,
  kTagTimeControl = 13,
  // u16 length, then one byte per comment slot from 0 (the game comment):
  // the code page of its text (HeaderTextPage). Written after the other
  // tags only when a comment of the file has a known page; a file without
  // it, and a slot it does not reach or gives no known page, keeps its
  // comments in the interface language's page. Other readers skip it by
  // its length.
  kTagCommentPages = 14,
};

// The reserved tag's four bytes carry the code page of the header texts
// (HeaderTextPage) as kTextPageMark + page, so that texts typed in the
// program show the same when the file is read again; 0 (unknown: the
// interface language's page) otherwise. Other readers skip the tag.
constexpr uint32_t kTextPageMark = 0x50540000;  // "TP" in the high bytes

// Longest text behind a u16 length (game comment, ply comments; the author
// and time control are then cut to their 127-byte fields).
constexpr int kBinaryLongTextCap = 10239;
constexpr int kBinaryMoveRecordShort = 8;
constexpr int kBinaryMoveRecordLong = 20;

// Results of the writers.
enum BinarySaveResult : int {
  kBinarySaveOk = 0,
  kBinarySaveCannotCreate = 1,  // the file could not be created
  kBinarySaveWriteError = 2,    // writing or closing the file failed
  kBinarySaveBadVersion = 3,    // SaveBinaryGame asked for a version other than 6 or 7
};

// Writes the current game as version 6 or 7 with the given header; the game
// comment and (version 7) the ply comments come from the comment store. The
// game is shown at the same ply afterwards. Copies path into gameFileName
// once the file was created.
int SaveBinaryGame(const char* path, int version, GameHeader header);
// Writes the current game as version 3: no tags, no comments.
int SaveVbfGame(const char* path);

// Results of the reader (the codes of LoadResult, game_loader.h).
enum BinaryLoadResult : int {
  kBinaryLoadOk = 0,
  kBinaryLoadFailed = 1,   // not readable, unknown version, or damaged before the moves
  kBinaryLoadPartial = 5,  // loaded up to a refused move or damaged record (logged)
};

// Reads a binary game file of any version into the game record, *header and
// the comment store. Everything is read and checked before the game is
// replaced: a file whose tags or start position are cut short, damaged or
// unsound fails and leaves the game, *header and the comment store exactly
// as they were. Moves are replayed up to the first one that is not legal on
// the board or the first damaged record, and ply comments up to the first
// damaged one (logged, kBinaryLoadPartial); gameLength is the number of moves
// replayed and the shown ply is held to it. A ply's mark byte is kept as
// stored, also one above 5 that shows as no mark, so a save writes it back.
int LoadBinaryGame(const char* path, GameHeader* header, int fullReset);
