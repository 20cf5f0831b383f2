// Reader of a vzd game database: gzip-compressed game records reached
// through an index of record offsets. A record is read, inflated in memory
// and parsed into a game header, a game record and the comment store.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "game/header.h"

// Largest stored record; the 3 bytes before its gzip data count.
constexpr size_t kDatabaseRecordSize = 65024;
// Bytes before the gzip data of a stored record.
constexpr size_t kDatabaseRecordLead = 3;
// Longest comment text kept from a record; longer ones are cut.
constexpr size_t kDatabaseCommentCap = 10239;

// The buffer a stored record is read into.
extern uint8_t databaseRecordBuffer[kDatabaseRecordSize];

// One entry of the database index (8 bytes in the database file).
struct DatabaseIndexEntry {
  uint16_t length;    // bytes of the stored record, its 3 lead bytes included
  uint16_t reserved;  // not read
  uint32_t offset;    // of the record from the start of the file
};

// Results of ParseDatabaseGame.
enum DatabaseParseResult : int {
  kDatabaseRecordRead = 0,
  kDatabaseBadVersion = 1,  // logged
  kDatabaseDamaged = 2,     // a field runs past the data, or an unsound start position
};

class CGameDatabase {
 public:
  CGameDatabase() = default;
  virtual ~CGameDatabase() = default;
  CGameDatabase(const CGameDatabase&) = delete;
  CGameDatabase& operator=(const CGameDatabase&) = delete;

  // Reads game `number` of the index into *header and, with load 1, into
  // the game on the board (with withComments 1 the comments too); with
  // load 0 only *header and *moveCountOut are filled and the game stays as
  // it is. Returns 1 when the game was read; 0 when number is outside the
  // index, the file cannot be read, the record's length is outside
  // 3..kDatabaseRecordSize, its gzip data are damaged (bad header, CRC-32
  // mismatch, truncated, more than 16 MB) or the record itself is refused.
  // Nothing is changed when 0 is returned.
  int LoadGame(int32_t number, GameHeader* header, int32_t* moveCountOut, int load,
               int withComments);
  int32_t GetCurrentGame() const { return currentGame; }

  // Nothing in the program opens a database: the index stays empty unless
  // a caller fills these.
  int32_t currentGame = 0;
  std::vector<DatabaseIndexEntry> index;
  int32_t gameCount = 0;  // entries of index that may be read
  std::string fileName;
};

// The program's one game database.
extern CGameDatabase gameDatabase;

// Parses an inflated record of size bytes. With load 1 the game replaces
// the game on the board (a full reset first) once the whole record was read
// and checked; a refused record changes nothing. With load 0 only *header
// and *moveCountOut are filled. Every length and count is checked against
// the data; texts are cut to their fields, comments to kDatabaseCommentCap
// and slots beyond the comment store are skipped; the moves end before the
// first one that cannot be played.
int ParseDatabaseGame(const uint8_t* data, size_t size, GameHeader* header,
                      int32_t* moveCountOut, int load, int withComments);
