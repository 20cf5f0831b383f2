// The two opening books: the "VKBOOK01" files, their in-memory position
// indexes and the choice of a book move by book mode.
#pragma once

#include <cstdint>

#include "engine/position/types.h"

// How a book is used: 0 off, 1 normal (uniform choice), 2 tournament,
// 3 blitz (by weight).
enum BookMode : int32_t {
  kBookOff = 0,
  kBookNormal = 1,
  kBookTournament = 2,
  kBookBlitz = 3,
};

// One move of a book entry, as stored in the file and handed to the caller.
struct BookMove {
  uint32_t move;    // Move in this program's Square numbering
  int32_t weight;   // preference; only blitz mode reads it
  uint32_t extra1;  // carried unchanged
  uint32_t extra2;  // carried unchanged
};
static_assert(sizeof(BookMove) == 16);

// One indexed position: its key (positionLock of its piece list), the file
// offset of its piece list (just after the side byte) and its side to move.
struct BookEntry {
  uint64_t key;
  uint32_t offset;
  uint8_t side;
};

constexpr int kBookCount = 2;
constexpr int kMaxBookEntries = 150000;
// Moves of one position that are read; further moves of a longer list in a
// book file are ignored.
constexpr int kMaxBookMovesRead = 20;
constexpr int kBookFileNameSize = 200;

// Book file names (settings "Book1", "Book2"), joined to installDirectory.
extern char bookFile1[kBookFileNameSize];
extern char bookFile2[kBookFileNameSize];
extern int32_t bookMode1;
extern int32_t bookMode2;
// Index of each book and the number of entries filled.
extern BookEntry* bookIndex[kBookCount][kMaxBookEntries];
extern int32_t bookEntryCount[kBookCount];

// Frees and rebuilds both indexes from bookFile1 and bookFile2 (default
// names "USERVKBOOK" and "VKBook" when empty), logging the outcome.
void LoadBooks();
// Builds the index of one book (0 or 1) from its file, in place of the one
// it held; returns the number of positions indexed.
int LoadBookFile(int book);
// Releases every entry of both indexes.
void FreeBooks();
// Looks the current position (posPiece, side) up in book 0 or 1, directly
// and as its left-right mirror image, and chooses a move by the book's mode,
// never excludedMove (0 = none). Returns 1 with the move in out, else 0.
int ProbeBook(int book, BookMove* out, Move excludedMove, uint32_t side);
// Reads the moves of the entry at offset and chooses one by the book's mode.
int PickBookMove(int book, long offset, BookMove* out, Move excludedMove);
// Reads up to kMaxBookMovesRead valid moves of the entry at offset into
// list; returns how many, 0 when the file cannot be read or no longer holds
// that entry.
int ReadBookMoves(int book, long offset, BookMove list[kMaxBookMovesRead]);
// Offsets of the entries holding the current position directly and
// mirrored, -1 for none.
void FindBookPosition(int book, long* directOffset, long* mirrorOffset, uint32_t side);
// The squares of pieces 1..32 (low byte of posPiece), and their left-right
// mirror images.
void BookPieceList(uint8_t out[32]);
void MirrorPieceList(uint8_t out[32]);
// positionLock of a position with the given 32 piece squares (0 = absent).
void BookKey(const uint8_t pieces[32], uint64_t* out);
// Dormant registration of an endgame file by its material signature;
// returns 1458 times the second side's signature (the path's length when it
// does not end in "endgame", -1 for a name whose counts are out of range).
int RegisterEndgameFile(const char* path);
