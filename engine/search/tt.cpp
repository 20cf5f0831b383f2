// Transposition table: sizing, clearing, probing and the store with its
// replacement rules.
#include "engine/search/tt.h"

#include <cstdlib>
#include <cstring>

#include "engine/bridge.h"
#include "engine/position/position.h"
#include "engine/search/learning.h"
#include "engine/search/memory_budget.h"

HashEntry* hashTables[2];
HashEntry* hashOverflowPool;
uint32_t hashTableSize;
uint32_t hashOverflowCapacity;
uint32_t hashOverflowUsed = 1;
uint64_t hashTotalEntries;
unsigned __int128 hashSlotMagic;

namespace {

// The automatic size never exceeds this many megabytes.
constexpr int32_t kMaxAutomaticMegabytes = 200;
constexpr uint64_t kAutomaticThirdAbove = 134217728;  // 128 MB of physical memory
// Keeps every pool index (2 x hashTableSize) inside the 32-bit next field.
constexpr uint64_t kMaxSideTableEntries = 0x7FFFFFFF;

// Set by every store, cleared when the side tables are known to be zero:
// emptying tables that nothing was stored in since (every reset and every
// search does it) then costs nothing, however large they are.
bool slotsWritten = false;

void FreeTables() {
  std::free(hashTables[0]);
  std::free(hashTables[1]);
  std::free(hashOverflowPool);
  hashTables[0] = hashTables[1] = hashOverflowPool = nullptr;
}

HashEntry* AllocateEntries(uint64_t count) {
  if (count > SIZE_MAX / sizeof(HashEntry)) return nullptr;
  return static_cast<HashEntry*>(std::calloc(static_cast<size_t>(count), sizeof(HashEntry)));
}

bool AllocateTables(uint64_t sideEntries) {
  hashTables[0] = AllocateEntries(sideEntries);
  hashTables[1] = AllocateEntries(sideEntries);
  hashOverflowPool = AllocateEntries(2 * sideEntries);
  slotsWritten = false;
  hashOverflowUsed = 1;
  if (hashTables[0] != nullptr && hashTables[1] != nullptr && hashOverflowPool != nullptr)
    return true;
  FreeTables();
  return false;
}

void SetSideTableSize(uint64_t sideEntries) {
  hashTableSize = static_cast<uint32_t>(sideEntries);
  hashSlotMagic = hashTableSize == 0 ? 0 : ~static_cast<unsigned __int128>(0) / hashTableSize + 1;
  hashOverflowCapacity = static_cast<uint32_t>(2 * sideEntries);
}

// Sizes (and, when the size changes or nothing is allocated, allocates) the
// tables for a total of `entries`. False when they could not be allocated;
// the tables are then absent.
bool ApplyTotalEntries(uint64_t entries) {
  if (entries != hashTotalEntries) FreeTables();
  hashTotalEntries = entries;
  SetSideTableSize(entries / 4);
  return hashTables[0] != nullptr || AllocateTables(entries / 4);
}

HashEntry* SlotOfPosition() {
  if (hashTableSize == 0 || hashTables[sideToMove] == nullptr) return nullptr;
  return &hashTables[sideToMove][HashSlotIndex(positionKey)];
}

// Writes the bound and score of a store into an entry whose lock, depth and
// move are already set (the rules of a fresh entry and of a deeper search):
// an exact mate score is made ply-independent and gets depth 255; a mate
// score on the side of a bound cannot be trusted at another ply.
void WriteBoundAndScore(HashEntry& e, int32_t score, int32_t alpha, int32_t beta,
                        uint8_t extendedBit) {
  uint8_t bound;
  if (score <= alpha) {
    bound = score > kHashMateScore ? kBoundUnusable : kBoundUpper;
  } else if (score >= beta) {
    bound = score < -kHashMateScore ? kBoundUnusable : kBoundLower;
  } else {
    bound = kBoundExact;
    if (score > kHashMateScore) {
      score += historyPly;
      e.depth = 255;
    } else if (score < -kHashMateScore) {
      score -= historyPly;
      e.depth = 255;
    }
  }
  e.score = score;
  e.bound = bound | extendedBit;
}

// Stores into the pool entry newly linked at the end of a chain.
void FillOverflowEntry(HashEntry& e, uint8_t depth, int32_t score, Move move, int32_t alpha,
                       int32_t beta, uint8_t extendedBit) {
  e.lock = positionLock;
  e.depth = depth;
  uint8_t bound;
  if (alpha < score && score < beta) {
    bound = kBoundExact;
    e.move = move;
    if (score > kHashMateScore) {
      score += historyPly;
      e.depth = 255;
    } else if (score < -kHashMateScore) {
      score -= historyPly;
      e.depth = 255;
    }
  } else if (score >= beta) {
    if (score < -kHashMateScore) {
      // Marked unusable without taking the entry: the next overflow store
      // writes over it.
      e.bound = kBoundUnusable;
      e.next = 0;
      return;
    }
    bound = kBoundLower;
    e.move = move;
  } else {
    if (score > kHashMateScore) {
      e.bound = kBoundUnusable;
      e.next = 0;
      return;
    }
    bound = kBoundUpper;
    e.move = 0;
  }
  e.score = score;
  e.next = 0;
  e.bound = bound | extendedBit;
  ++hashOverflowUsed;
}

// A new result for a position already in the table.
void UpdateEntry(HashEntry& e, uint8_t depth, int32_t score, Move move, int32_t alpha,
                 int32_t beta, uint8_t extendedBit) {
  if (e.depth < depth) {
    e.depth = depth;
    if (score > alpha) e.move = move;
    WriteBoundAndScore(e, score, alpha, beta, extendedBit);
    return;
  }
  if (e.depth == depth && e.bound != kBoundExact) {
    e.move = move;
    if (score <= alpha) {
      if (score > kHashMateScore) {
        e.bound = kBoundUnusable;
        return;
      }
      const bool keepUpper = (e.bound & ~kBoundExtended) == kBoundUpper && score >= e.score;
      if (!keepUpper) {
        e.bound = kBoundUpper;
        e.score = score;
      }
    } else if (score >= beta) {
      if (score < -kHashMateScore) {
        e.bound = kBoundUnusable;
        return;
      }
      const bool keepLower = (e.bound & ~kBoundExtended) == kBoundLower && score <= e.score;
      if (!keepLower) {
        e.bound = kBoundLower;
        e.score = score;
      }
    } else {
      WriteBoundAndScore(e, score, alpha, beta, 0);
    }
    e.bound |= extendedBit;
    return;
  }
  e.bound |= extendedBit;
}

}  // namespace

int32_t AutomaticHashMegabytes(uint64_t physicalBytes) {
  const uint64_t share =
      physicalBytes > kAutomaticThirdAbove ? physicalBytes / 3 : physicalBytes / 4;
  const uint64_t megabytes = share / kMegabyte;
  return megabytes > static_cast<uint64_t>(kMaxAutomaticMegabytes)
             ? kMaxAutomaticMegabytes
             : static_cast<int32_t>(megabytes);
}

uint64_t HashEntriesForMegabytes(int32_t megabytes) {
  if (megabytes <= 0) return kMinHashEntries;
  const uint64_t entries = static_cast<uint64_t>(megabytes) * kMegabyte / kHashEntryBytes;
  if (entries < kMinHashEntries) return kMinHashEntries;
  return entries / 4 > kMaxSideTableEntries ? 4 * kMaxSideTableEntries : entries;
}

int32_t MegabytesWithinMemory(int32_t megabytes, uint64_t physicalBytes) {
  const uint64_t most = physicalBytes / kMegabyte;
  if (physicalBytes == 0 || megabytes <= 0 || static_cast<uint64_t>(megabytes) <= most)
    return megabytes;
  return most > 0 ? static_cast<int32_t>(most) : 1;
}

void SetHashSize(int32_t megabytes) {
  uint64_t total = 0;
  uint64_t available = 0;
  GetMemoryStatus(&total, &available);
  // Within what the process may use beside the learning tables: a table
  // the system cannot back gets the program killed once a search fills it.
  megabytes = MegabytesWithinMemory(megabytes == -1 ? AutomaticHashMegabytes(total) : megabytes,
                                    TableMemoryBudgetBeside(LearningTablesBytes()));
  // A size the memory cannot give is halved until it can; the smallest
  // table is the last resort, and without it the tables stay absent.
  for (; megabytes > 0; megabytes /= 2) {
    if (ApplyTotalEntries(HashEntriesForMegabytes(megabytes))) return;
  }
  if (!ApplyTotalEntries(kMinHashEntries)) SetSideTableSize(0);
}

uint64_t HashTablesBytes() {
  return hashTables[0] != nullptr ? hashTotalEntries * kHashEntryBytes : 0;
}

int32_t HashSizeMegabytes() {
  // Rounded up, so that the size read back from the setting is this size.
  return static_cast<int32_t>((hashTotalEntries * kHashEntryBytes + kMegabyte - 1) / kMegabyte);
}

void ClearHashTables() {
  if (hashTables[0] == nullptr) SetHashSize(-1);
  if (hashTables[0] == nullptr) return;
  if (slotsWritten) {
    std::memset(hashTables[0], 0, static_cast<size_t>(hashTableSize) * sizeof(HashEntry));
    std::memset(hashTables[1], 0, static_cast<size_t>(hashTableSize) * sizeof(HashEntry));
    slotsWritten = false;
  }
  hashOverflowUsed = 1;
}

HashEntry* ProbeHashTable() {
  HashEntry* e = SlotOfPosition();
  if (e == nullptr) return nullptr;
  for (;;) {
    if (e->lock == positionLock) return e;
    if (e->next == 0) return nullptr;
    e = &hashOverflowPool[e->next];
  }
}

void StoreHashTable(int32_t depthPlies, int32_t score, Move move, int32_t alpha, int32_t beta,
                    int32_t extendedFlag) {
  HashEntry* e = SlotOfPosition();
  if (e == nullptr) return;
  const uint8_t depth =
      static_cast<uint8_t>(depthPlies > 255 ? 255 : depthPlies < 0 ? 0 : depthPlies);
  const uint8_t extendedBit = extendedFlag ? kBoundExtended : 0;
  slotsWritten = true;
  if (e->lock == 0) {
    e->lock = positionLock;
    e->depth = depth;
    e->move = move;
    e->next = 0;
    WriteBoundAndScore(*e, score, alpha, beta, extendedBit);
    return;
  }
  while (e->lock != positionLock) {
    if (e->next == 0) {
      if (hashOverflowUsed >= hashOverflowCapacity) return;
      e->next = hashOverflowUsed;
      FillOverflowEntry(hashOverflowPool[hashOverflowUsed], depth, score, move, alpha, beta,
                        extendedBit);
      return;
    }
    e = &hashOverflowPool[e->next];
  }
  UpdateEntry(*e, depth, score, move, alpha, beta, extendedBit);
}
