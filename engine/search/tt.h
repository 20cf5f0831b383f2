// The transposition table: two side tables (red to move, black to move)
// addressed by positionKey and matched by positionLock, with one shared
// overflow pool that chains colliding positions behind their slot.
#pragma once

#include <cstdint>

#include "engine/position/types.h"
#include "engine/prefetch.h"

// One stored position; 24 bytes.
struct HashEntry {
  uint64_t lock;   // positionLock of the position, 0 = empty slot
  uint32_t next;   // next entry of this slot's chain in the pool, 0 = end
  uint32_t move;   // best or refuting move, 0 none
  int32_t score;   // exact mate scores are stored ply-independent
  uint8_t bound;   // HashBound, plus kBoundExtended when the node was extended
  uint8_t depth;   // searched depth in plies (255 for exact mate scores)
};
static_assert(sizeof(HashEntry) == 24, "hash entries take 24 bytes");

enum HashBound : uint8_t {
  kBoundExact = 1,
  kBoundLower = 2,      // score >= beta
  kBoundUpper = 4,      // score <= alpha
  kBoundUnusable = 32,  // a mate score on the side of a bound
  kBoundExtended = 128,
};

// Scores beyond this (either sign) are mate scores, kept ply-independent.
constexpr int32_t kHashMateScore = 3199745;
// The smallest table: 43,690 entries (0 or 1 megabyte).
constexpr uint64_t kMinHashEntries = 43690;
constexpr uint64_t kHashEntryBytes = 24;
constexpr uint64_t kMegabyte = 1048576;

// The side tables (index sideToMove) and the overflow pool; null until the
// first SetHashSize or ClearHashTables, and after a failed allocation even
// of the smallest table (probe and store then do nothing).
extern HashEntry* hashTables[2];
extern HashEntry* hashOverflowPool;
extern uint32_t hashTableSize;         // entries per side table
extern uint32_t hashOverflowCapacity;  // entries of the pool (2 x hashTableSize)
extern uint32_t hashOverflowUsed;      // next pool entry to hand out; starts at 1
extern uint64_t hashTotalEntries;      // the configured size in entries

// The entry of the current position (sideToMove, positionKey, positionLock),
// or null.
HashEntry* ProbeHashTable();
// 2^128 / hashTableSize rounded up (0 while the size is 0): key %
// hashTableSize by multiplications instead of a 64-bit division, which costs
// more than the rest of a probe that hits the cache.
extern unsigned __int128 hashSlotMagic;
// The slot of a position key: key % hashTableSize, exactly, for every key and
// every size below 2^32.
inline uint32_t HashSlotIndex(uint64_t key) {
  const unsigned __int128 low = hashSlotMagic * key;
  const unsigned __int128 bottom =
      (static_cast<unsigned __int128>(static_cast<uint64_t>(low)) * hashTableSize) >> 64;
  const unsigned __int128 top =
      static_cast<unsigned __int128>(static_cast<uint64_t>(low >> 64)) * hashTableSize;
  return static_cast<uint32_t>((top + bottom) >> 64);
}
// Starts loading a position's slot into the cache, so that its probe finds
// it there.
inline void PrefetchHashSlot(uint32_t side, uint64_t key) {
  if (hashTableSize != 0 && hashTables[side] != nullptr)
    PrefetchLine(&hashTables[side][HashSlotIndex(key)]);
}
// Stores the result of the current position searched depthPlies deep with
// the window (alpha, beta); extendedFlag marks an extended node.
void StoreHashTable(int32_t depthPlies, int32_t score, Move move, int32_t alpha, int32_t beta,
                    int32_t extendedFlag);
// An exact score read from the table, made relative to the current ply.
inline int32_t HashScoreAtPly(int32_t stored, int32_t ply) {
  if (stored > kHashMateScore) return stored - ply;
  if (stored < -kHashMateScore) return stored + ply;
  return stored;
}

// Allocates the tables at the automatic size when they do not exist yet,
// then empties both side tables and the pool counter.
void ClearHashTables();
// -1 automatic (from the physical memory), 0 the smallest table, otherwise
// megabytes x 1,048,576 / 24 entries; either at most the memory budget of
// the tables (TableMemoryBudgetBeside the learning tables). Reallocates when
// the size changes; the contents are not cleared. A size that cannot be
// allocated is halved until one can, down to the smallest table;
// HashSizeMegabytes then tells the size in force.
void SetHashSize(int32_t megabytes);
// A table size in megabytes capped to a memory size in bytes; sizes of 0 or
// less, and any size when the memory is unknown (0), are returned as they
// are.
int32_t MegabytesWithinMemory(int32_t megabytes, uint64_t physicalBytes);
// The bytes the allocated tables take (0 when absent).
uint64_t HashTablesBytes();
// The automatic size in megabytes for a machine with this physical memory.
int32_t AutomaticHashMegabytes(uint64_t physicalBytes);
// The total entries (side tables and pool) of a size in megabytes (0 or
// less: the smallest table), in 64-bit arithmetic and at most what the
// 32-bit pool indices can address.
uint64_t HashEntriesForMegabytes(int32_t megabytes);
// The configured size in megabytes, for the setting written on close;
// SetHashSize of the result gives the same size again.
int32_t HashSizeMegabytes();
