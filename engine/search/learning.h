// Learning files: what the engine found in earlier games, kept in an
// in-memory position table and a mate table and in the files
// "V4QelPos1.bin".."V4QelPos3.bin" (28-byte records) and "V4QelPos.egm"
// (44-byte mate records), each after the version word.
#pragma once

#include <cstdint>
#include <cstdio>

#include "engine/position/types.h"

constexpr uint32_t learningVersion = 3;
constexpr int kLearningRecordBytes = 28;
constexpr int kLearningMateRecordBytes = 44;
constexpr uint32_t kMaxLearningRecords = 3276800;  // per position file
constexpr uint32_t kMaxLearningMateRecords = 1638400;
constexpr uint32_t kDefaultLearningTableSize = 65536;
constexpr uint32_t kDefaultMateTableSize = 32768;
// The largest learning tables size the settings keep, in megabytes.
constexpr int32_t kMaxLearningMegabytes = 1 << 12;

// One learnt position: the entry of the learning table and, encoded
// little-endian, the record of the position files (28 bytes either way).
#pragma pack(push, 4)
struct LearningRecord {
  uint64_t lock;   // positionLock
  uint64_t key;    // positionKey
  uint32_t move;   // the Move found
  int32_t score;   // the engine's score for the side to move
  uint16_t depth;  // search depth in plies minus one
  uint8_t side;    // 0 red, 1 black
  uint8_t reserved;
};
#pragma pack(pop)
static_assert(sizeof(LearningRecord) == 28);

// One learnt mate: the entry of the mate table (48 bytes).
struct LearningMateEntry {
  uint32_t lockLow;  // low half of positionLock
  uint32_t move;
  uint8_t pieces[32];  // Square of PieceIndex i at [i - 1], 0 absent
  int32_t score;
  uint8_t side;
};
static_assert(sizeof(LearningMateEntry) == 48);

extern uint32_t learningTableSize;
extern uint32_t mateTableSize;
extern LearningRecord* learningTable;
extern LearningMateEntry* mateTable;
// "Use learning": the search probes the tables. "Learn Moves": the engine
// learns after its moves (tested by the caller).
extern uint8_t useLearning;
extern uint8_t learnMoves;

// Opens (creating when missing) the main files and loads the tables, then
// merges the read-only copies of the "inner" folder. Returns -1 when the
// files are open already, 1 when a main file could not be created (learning
// is then off for this run: the tables stay empty and nothing is learnt),
// else 0.
int OpenLearningFiles();
// Opens path for reading and writing; a missing or empty file is created
// holding only the version word. Null when it cannot be created.
FILE* OpenOrCreateLearningFile(const char* path);
// Opens an existing, non-empty file read-only; null otherwise.
FILE* OpenExistingLearningFile(const char* path);
// Zeroes both tables and reads the main files into them: of a file longer
// than its table holds (or than the program ever appends to it) only the
// last records, as many as that. Returns the records read.
uint64_t LoadLearningFiles();
// Learns the result of an engine move for the position before it.
void LearnPosition(int32_t score, int32_t previousScore, int32_t depth, Move move, uint64_t lock,
                   uint64_t key, const uint32_t pieces[33], uint32_t side);
void StoreLearningEntry(int32_t score, int32_t previousScore, int32_t depth, Move move,
                        uint64_t lock, uint64_t key, uint32_t side);
void StoreLearningMate(int32_t score, Move move, uint64_t lock, uint64_t key,
                       const uint32_t pieces[33], uint32_t side);
// The entries for the current position (positionLock, positionKey,
// sideToMove, posPiece), null when none.
const LearningRecord* ProbeLearning();
const LearningMateEntry* ProbeLearningMate();
// Sets the file paths from installDirectory and the table sizes (negative:
// the default sizes; otherwise a quarter of the megabytes for positions and
// three quarters for mates, the megabytes capped to the memory budget of the
// tables beside the hash table (TableMemoryBudgetBeside) and halved until
// the tables can be allocated, the default sizes as the last resort),
// reallocates and zeroes both tables and closes the files. The tables take
// memory only as entries are written.
void SetLearningPaths(int32_t megabytes);
// The bytes both tables take (0 when absent).
uint64_t LearningTablesBytes();
// 3 when flag is set; else the tables' size in megabytes, at least 1.
int GetLearningTableSize(int flag);
void CloseLearningFiles();
// Closes and deletes every learning file (not the "inner" copies), then
// reopens them empty. Returns 0 on success; 1 when a file could not be
// deleted (each such file is logged) or the files could not be recreated.
int ResetLearning();
